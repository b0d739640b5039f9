#pragma once
// The own ship from the boat's NMEA 0183 on the network: sentences received as UDP datagrams (the usual
// broadcast to port 10110) or read from a TCP server, which is connected again with a growing pause
// whenever it cannot be reached or closes. Position from GLL, RMC or GGA and true heading from HDT, each
// sentence with a good checksum; a part not renewed within the fix lifetime is no longer valid: the heading
// is then missing and the navigation flagged as not to be trusted. Sentences are read on a thread of this
// object's own; the module reads the fix from any thread.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "host/navigation_source.h"

// Where the sentences come from, as `--nmea` writes it: udp:[ADDR:]PORT or tcp:HOST:PORT.
struct NmeaFeed {
  enum class Kind { kUdp, kTcp };
  Kind kind = Kind::kUdp;
  std::string host;  // UDP: the address to listen on (empty: any); TCP: the server
  std::uint16_t port = 10110;
};

inline constexpr std::uint16_t kNmeaDefaultPort = 10110;
inline constexpr std::chrono::milliseconds kNetworkFixLifetime{5000};

// False with the reason in `error` for a text that is no feed.
bool ParseNmeaFeed(std::string_view text, NmeaFeed& feed, std::string& error);

class NetworkOwnShip final : public NavigationSource {
public:
  // Until the first fix the position is the fallback one (flagged as not to be trusted).
  NetworkOwnShip(NmeaFeed feed, double fallbackLatitudeRadians, double fallbackLongitudeRadians,
                 std::chrono::milliseconds lifetime = kNetworkFixLifetime);
  ~NetworkOwnShip();
  NetworkOwnShip(const NetworkOwnShip&) = delete;
  NetworkOwnShip& operator=(const NetworkOwnShip&) = delete;

  // Starts reading; false with the reason in `error` when a UDP port cannot be listened on (a TCP server
  // that cannot be reached yet is tried again and again instead).
  bool Start(std::string& error);

  PosType GetPosition() override;
  bool GetHeading(double* heading) override;
  bool QueryNavigationFlag() override;

  struct Counts {
    std::uint64_t sentences = 0;     // with a good checksum
    std::uint64_t badSentences = 0;  // bad or missing checksum, bad fields, too long
    std::uint64_t connections = 0;   // TCP connections made
  };
  Counts ReadCounts() const;

private:
  using Clock = std::chrono::steady_clock;
  void ReadTcp();
  // Reads one server connection until it ends or the reader stops.
  void ReadConnection(int socket);
  void TakeText(std::string_view text);
  // Waits `pause`, cut short by a stop.
  void Pause(std::chrono::milliseconds pause);
  bool Fresh(const std::optional<Clock::time_point>& stamp) const;

  const NmeaFeed feed_;
  const double fallbackLatitude_;
  const double fallbackLongitude_;
  const std::chrono::milliseconds lifetime_;

  mutable std::mutex mutex_;
  double latitudeDegrees_ = 0.0, longitudeDegrees_ = 0.0, headingDegrees_ = 0.0;
  std::optional<Clock::time_point> positionAt_, headingAt_;
  Counts counts_;

  std::atomic<bool> stop_{false};
  std::thread reader_;
};
