// The live source: the group it joins, checked through the request and the socket's options, and what it
// makes of datagrams sent to it on 127.0.0.1.
#include "services/radar/live_source.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

#include "capture_builder.h"

namespace radarsim {
namespace {

using capture_test::Bytes;
using capture_test::SpokeDatagram;
using capture_test::Text;
using namespace std::chrono_literals;

constexpr std::uint32_t kLoopback = 0x7F000001;
constexpr std::uint32_t kRecordedGroup = 0xEC060933;

TEST(LiveMembership, JoinsTheGroupOnTheInterfaceNamedByAddressOrName) {
  struct Case {
    std::string interface;
    std::uint32_t address;  // host order
    int index;
  };
  const Case cases[] = {
      {"", INADDR_ANY, 0},  // the routing table's interface for the group
      {"127.0.0.1", kLoopback, 0},
      {"lo", INADDR_ANY, static_cast<int>(if_nametoindex("lo"))},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto request = MembershipRequest(kRecordedGroup, c.interface, error);
    ASSERT_TRUE(request) << c.interface << ": " << error;
    EXPECT_EQ(ntohl(request->imr_multiaddr.s_addr), kRecordedGroup) << c.interface;
    EXPECT_EQ(ntohl(request->imr_address.s_addr), c.address) << c.interface;
    EXPECT_EQ(request->imr_ifindex, c.index) << c.interface;
  }
  std::string error;
  EXPECT_FALSE(MembershipRequest(kRecordedGroup, "no-such-nic0", error));
  EXPECT_NE(error.find("no-such-nic0"), std::string::npos);
}

int ReceiveBufferOf(int socket) {
  int bytes = 0;
  socklen_t length = sizeof bytes;
  getsockopt(socket, SOL_SOCKET, SO_RCVBUF, &bytes, &length);
  return bytes;
}

// A live source on 127.0.0.1 at a free port, and a socket that sends to it.
struct LoopbackRadar {
  explicit LoopbackRadar(std::optional<std::uint32_t> sender = std::nullopt,
                         std::chrono::milliseconds silence = kLiveSilenceLimit) {
    LiveSettings settings;
    settings.listen.endpoint = {kLoopback, 0};
    settings.listen.sender = sender;
    settings.silenceLimit = silence;
    std::string error;
    source = LiveSource::Open(settings, false, error);
    EXPECT_TRUE(source) << error;
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    getsockname(source->Descriptor(), reinterpret_cast<sockaddr*>(&bound), &length);
    destination = bound;
    sender_ = socket(AF_INET, SOCK_DGRAM, 0);
    source->StartTurning(RadarSource::Clock::now());
  }
  ~LoopbackRadar() { close(sender_); }

  void Send(const Bytes& datagram) const {
    sendto(sender_, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&destination),
           sizeof destination);
  }
  SourceOutcome Deliver() {
    source->TakeDue(RadarSource::Clock::now());
    return source->Deliver(SweepSettings{}, [this](const SweepRecord&) { ++sweeps; });
  }

  std::unique_ptr<LiveSource> source;
  sockaddr_in destination{};
  int sweeps = 0;

private:
  int sender_ = -1;
};

TEST(LiveSource, ListensOnALargeReceiveBuffer) {
  LoopbackRadar radar;
  const int plain = socket(AF_INET, SOCK_DGRAM, 0);
  EXPECT_GT(ReceiveBufferOf(radar.source->Descriptor()), ReceiveBufferOf(plain));
  close(plain);
  EXPECT_EQ(ntohl(radar.destination.sin_addr.s_addr), kLoopback);
}

TEST(LiveSource, CountsAndSkipsWhatIsNoSpoke) {
  Bytes impossible = SpokeDatagram(0, 2);
  impossible[8] = 20;  // the first spoke's header length
  Bytes truncated = SpokeDatagram(0, 2);
  truncated.resize(truncated.size() - 100);
  struct Case {
    const char* what;
    Bytes datagram;
    std::optional<std::uint32_t> sender;
    std::uint64_t spokes, bad, foreign;
  };
  const Case cases[] = {
      {"a frame", SpokeDatagram(0, 32), std::nullopt, 32, 0, 0},
      {"an impossible spoke header", impossible, std::nullopt, 1, 1, 0},
      {"a truncated frame", truncated, std::nullopt, 0, 1, 0},
      {"text", Text("$GPHDT,296.0,T*00\r\n"), std::nullopt, 0, 1, 0},
      {"an empty datagram", Bytes{}, std::nullopt, 0, 1, 0},
      {"another sender", SpokeDatagram(0, 32), 0x7F000002, 0, 0, 1},
  };
  for (const Case& c : cases) {
    LoopbackRadar radar(c.sender);
    radar.Send(c.datagram);
    radar.Send(SpokeDatagram(64, 1));  // reaches for the held spoke of the case
    while (radar.source->Counts().datagrams < 2) radar.Deliver();
    const LiveCounts& counts = radar.source->Counts();
    const std::uint64_t reach = c.sender ? 0 : 1;
    EXPECT_EQ(counts.spokes, c.spokes + reach) << c.what;
    EXPECT_EQ(counts.badFrames, c.bad) << c.what;
    EXPECT_EQ(counts.foreign, c.foreign + (c.sender ? 1 : 0)) << c.what;
    EXPECT_EQ(radar.sweeps, static_cast<int>(c.spokes) * 2) << c.what << ": two rows per spoke";
  }
}

TEST(LiveSource, TakesABoundedShareOfAFloodPerDelivery) {
  LoopbackRadar radar;
  for (int n = 0; n < 3 * kLiveDatagramsPerDelivery; ++n) radar.Send(Text("junk"));
  radar.Deliver();
  EXPECT_EQ(radar.source->Counts().datagrams, static_cast<std::uint64_t>(kLiveDatagramsPerDelivery));
}

TEST(LiveSource, TellsWhenTheRadarFallsSilentAndWhenItIsHeardAgain) {
  LoopbackRadar radar(std::nullopt, 100ms);
  EXPECT_FALSE(radar.Deliver().signal) << "heard from the start";
  std::this_thread::sleep_for(150ms);
  EXPECT_EQ(radar.Deliver().signal, std::optional<bool>(false));
  radar.Send(Text("junk"));
  EXPECT_FALSE(radar.Deliver().signal) << "junk is not the radar";
  radar.Send(SpokeDatagram(0, 1));
  EXPECT_EQ(radar.Deliver().signal, std::optional<bool>(true));
}

TEST(LiveSource, ForgetsWhatArrivedInStandby) {
  LoopbackRadar radar;
  radar.Send(SpokeDatagram(0, 32));
  std::this_thread::sleep_for(20ms);
  radar.source->StartTurning(RadarSource::Clock::now());
  radar.Deliver();
  EXPECT_EQ(radar.source->Counts().datagrams, 0u);
}

}  // namespace
}  // namespace radarsim
