// The own ship read from NMEA 0183 datagrams sent to 127.0.0.1: the fix from good sentences only, and a
// fix that is not renewed lapses.
#include "viewer/module_host/network_own_ship.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <thread>

#include "support/free_udp_port.h"

namespace {

using namespace std::chrono_literals;

constexpr double kDegree = M_PI / 180.0;
// The position is kept in single precision: about 6 m.
constexpr double kPositionRadians = 1e-6;

// `body` (between '$' and '*') as a sentence with its checksum.
std::string Sentence(const std::string& body) {
  unsigned sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

void SendTo(std::uint16_t port, const std::string& datagram) {
  const int out = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  sendto(out, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  close(out);
}

// Waits until the reader has taken `sentences` good and `bad` bad sentences; false after a second.
bool WaitForCounts(const NetworkOwnShip& ship, std::uint64_t sentences, std::uint64_t bad) {
  for (int n = 0; n < 100; ++n) {
    const NetworkOwnShip::Counts counts = ship.ReadCounts();
    if (counts.sentences >= sentences && counts.badSentences >= bad) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

TEST(NetworkOwnShip, TakesTheFixFromGoodSentencesAndLetsItLapse) {
  const std::uint16_t port = FreeUdpPort();
  NmeaFeed feed;
  std::string error;
  ASSERT_TRUE(ParseNmeaFeed("udp:127.0.0.1:" + std::to_string(port), feed, error)) << error;
  NetworkOwnShip ship(feed, 1.0 * kDegree, 2.0 * kDegree, 300ms);
  ASSERT_TRUE(ship.Start(error)) << error;

  double heading = 0.0;
  EXPECT_FALSE(ship.GetHeading(&heading)) << "no heading before the first sentence";
  EXPECT_TRUE(ship.QueryNavigationFlag());
  EXPECT_NEAR(ship.GetPosition().latitude, 1.0 * kDegree, kPositionRadians) << "the fallback until the first fix";

  std::string bad = Sentence("GPHDT,100.0,T");
  bad[bad.size() - 3] ^= 1;  // the checksum no longer fits
  SendTo(port, Sentence("GPGLL,5310.7378,N,00516.0582,E,120000.00,A,A") + Sentence("HEHDT,296.0,T") + bad);
  ASSERT_TRUE(WaitForCounts(ship, 2, 1));
  const PosType position = ship.GetPosition();
  EXPECT_NEAR(position.latitude, (53.0 + 10.7378 / 60.0) * kDegree, kPositionRadians);
  EXPECT_NEAR(position.longitude, (5.0 + 16.0582 / 60.0) * kDegree, kPositionRadians);
  ASSERT_TRUE(ship.GetHeading(&heading));
  EXPECT_NEAR(heading, 296.0 * kDegree, 1e-9) << "the sentence with the bad checksum changes nothing";
  EXPECT_FALSE(ship.QueryNavigationFlag());

  std::this_thread::sleep_for(400ms);
  EXPECT_FALSE(ship.GetHeading(&heading)) << "a heading older than the lifetime";
  EXPECT_TRUE(ship.QueryNavigationFlag()) << "a position older than the lifetime";
  EXPECT_NEAR(ship.GetPosition().latitude, (53.0 + 10.7378 / 60.0) * kDegree, kPositionRadians)
      << "still the best guess";
}

}  // namespace
