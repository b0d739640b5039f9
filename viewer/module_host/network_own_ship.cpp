#include "viewer/module_host/network_own_ship.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>

#include "common/units.h"
#include "services/radar/nmea_sentence.h"
#include "services/radar/udp_listener.h"

namespace {

using namespace std::chrono_literals;

// How often the reader looks whether it must stop.
constexpr auto kLookForStop = 100ms;
// Datagrams the UDP reader takes between two looks.
constexpr int kDatagramsPerLook = 256;
// The pause before connecting again: from the first, doubled at every failure up to the last.
constexpr auto kFirstRetryPause = 250ms;
constexpr auto kLongestRetryPause = 8000ms;
// NMEA 0183 sentences are at most 82 characters; a longer line from a server is not one.
constexpr std::size_t kLongestLine = 1024;

bool ParsePort(std::string_view text, std::uint16_t& port) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value == 0 || value > 65535) return false;
  port = static_cast<std::uint16_t>(value);
  return true;
}

// A socket connected to `host`:`port` within `timeout`; -1 when none.
int ConnectWithin(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
  int result = -1;
  for (addrinfo* entry = found; entry != nullptr && result < 0; entry = entry->ai_next) {
    const int fd = socket(entry->ai_family, entry->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, entry->ai_protocol);
    if (fd < 0) continue;
    if (connect(fd, entry->ai_addr, entry->ai_addrlen) == 0) {
      result = fd;
      break;
    }
    pollfd waiting{fd, POLLOUT, 0};
    int failure = 0;
    socklen_t length = sizeof failure;
    if (errno == EINPROGRESS && poll(&waiting, 1, static_cast<int>(timeout.count())) == 1 &&
        getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &length) == 0 && failure == 0) {
      result = fd;
    } else {
      close(fd);
    }
  }
  freeaddrinfo(found);
  return result;
}

}  // namespace

bool ParseNmeaFeed(std::string_view text, NmeaFeed& feed, std::string& error) {
  const std::string given(text);
  NmeaFeed parsed;
  const auto colon = text.find(':');
  const std::string_view scheme = text.substr(0, colon);
  const std::string_view rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
  const auto lastColon = rest.rfind(':');
  if (scheme == "udp") {
    parsed.kind = NmeaFeed::Kind::kUdp;
    const std::string_view port = lastColon == std::string_view::npos ? rest : rest.substr(lastColon + 1);
    if (lastColon != std::string_view::npos) {
      parsed.host = std::string(rest.substr(0, lastColon));
      if (!radarsim::ParseIpv4Address(parsed.host)) {
        error = "bad value for --nmea: '" + given + "' (udp:[ADDR:]PORT, ADDR an IPv4 address)";
        return false;
      }
    }
    if (!port.empty() && !ParsePort(port, parsed.port)) {
      error = "bad value for --nmea: '" + given + "' (udp:[ADDR:]PORT, PORT 1 to 65535)";
      return false;
    }
  } else if (scheme == "tcp") {
    parsed.kind = NmeaFeed::Kind::kTcp;
    parsed.host = lastColon == std::string_view::npos ? std::string() : std::string(rest.substr(0, lastColon));
    if (parsed.host.empty() || !ParsePort(rest.substr(lastColon + 1), parsed.port)) {
      error = "bad value for --nmea: '" + given + "' (tcp:HOST:PORT)";
      return false;
    }
  } else {
    error = "bad value for --nmea: '" + given + "' (udp:[ADDR:]PORT or tcp:HOST:PORT)";
    return false;
  }
  feed = parsed;
  return true;
}

NetworkOwnShip::NetworkOwnShip(NmeaFeed feed, double fallbackLatitudeRadians, double fallbackLongitudeRadians,
                               std::chrono::milliseconds lifetime)
    : feed_(std::move(feed)),
      fallbackLatitude_(fallbackLatitudeRadians),
      fallbackLongitude_(fallbackLongitudeRadians),
      lifetime_(lifetime) {}

NetworkOwnShip::~NetworkOwnShip() {
  stop_ = true;
  if (reader_.joinable()) reader_.join();
}

bool NetworkOwnShip::Start(std::string& error) {
  if (reader_.joinable()) return true;
  if (feed_.kind == NmeaFeed::Kind::kTcp) {
    reader_ = std::thread(&NetworkOwnShip::ReadTcp, this);
    return true;
  }
  radarsim::ListenSettings listen;
  listen.endpoint.port = feed_.port;
  if (!feed_.host.empty()) listen.endpoint.address = *radarsim::ParseIpv4Address(feed_.host);
  std::unique_ptr<radarsim::UdpListener> listener = radarsim::UdpListener::Open(listen, error);
  if (!listener) return false;
  reader_ = std::thread([this, listener = std::move(listener)] {
    std::array<std::uint8_t, 65536> buffer{};
    while (!stop_) {
      if (!listener->Wait(kLookForStop)) continue;
      // A bounded number at a time: under a flood the reader still sees a stop request.
      for (int taken = 0; taken < kDatagramsPerLook && !stop_; ++taken) {
        const auto received = listener->Receive(buffer);
        if (!received) break;
        const std::size_t size = std::min(received->size, buffer.size());
        TakeText(std::string_view(reinterpret_cast<const char*>(buffer.data()), size));
      }
    }
  });
  return true;
}

void NetworkOwnShip::ReadTcp() {
  auto pause = std::chrono::milliseconds(kFirstRetryPause);
  while (!stop_) {
    const int fd = ConnectWithin(feed_.host, feed_.port, kLookForStop * 10);
    if (fd >= 0) {
      {
        std::lock_guard lock(mutex_);
        ++counts_.connections;
      }
      pause = kFirstRetryPause;
      ReadConnection(fd);
      close(fd);
    }
    Pause(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(kLongestRetryPause));
  }
}

void NetworkOwnShip::ReadConnection(int socket) {
  std::string line;
  std::array<char, 4096> chunk{};
  bool overlong = false;
  while (!stop_) {
    pollfd waiting{socket, POLLIN, 0};
    if (poll(&waiting, 1, static_cast<int>(kLookForStop.count())) <= 0) continue;
    const ssize_t size = recv(socket, chunk.data(), chunk.size(), 0);
    if (size == 0) return;  // the server closed
    if (size < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return;
    }
    for (const char c : std::string_view(chunk.data(), static_cast<std::size_t>(size))) {
      if (c != '\n') {
        if (line.size() < kLongestLine) {
          line.push_back(c);
        } else {
          overlong = true;
        }
        continue;
      }
      if (overlong) {
        std::lock_guard lock(mutex_);
        ++counts_.badSentences;
      } else {
        TakeText(line);
      }
      line.clear();
      overlong = false;
    }
  }
}

void NetworkOwnShip::TakeText(std::string_view text) {
  for (const std::string_view line : radarsim::SplitSentences(text)) {
    const radarsim::NmeaSentence sentence = radarsim::ReadSentence(line);
    const auto now = Clock::now();
    std::lock_guard lock(mutex_);
    if (sentence.status == radarsim::NmeaSentence::Status::kBad) {
      ++counts_.badSentences;
      continue;
    }
    ++counts_.sentences;
    const radarsim::NavigationUpdate& update = sentence.navigation;
    if (update.latitudeDegrees && update.longitudeDegrees) {
      latitudeDegrees_ = *update.latitudeDegrees;
      longitudeDegrees_ = *update.longitudeDegrees;
      positionAt_ = now;
    }
    if (update.headingDegrees) {
      headingDegrees_ = *update.headingDegrees;
      headingAt_ = now;
    }
  }
}

void NetworkOwnShip::Pause(std::chrono::milliseconds pause) {
  const auto until = Clock::now() + pause;
  while (!stop_ && Clock::now() < until) std::this_thread::sleep_for(std::min<Clock::duration>(kLookForStop, until - Clock::now()));
}

bool NetworkOwnShip::Fresh(const std::optional<Clock::time_point>& stamp) const {
  return stamp && Clock::now() - *stamp <= lifetime_;
}

PosType NetworkOwnShip::GetPosition() {
  std::lock_guard lock(mutex_);
  // A position too old to trust is still the best guess of where the ship is; the flag says it is old.
  if (!positionAt_) return PosType(fallbackLatitude_, fallbackLongitude_);
  return PosType(latitudeDegrees_ * kRadiansPerDegree, longitudeDegrees_ * kRadiansPerDegree);
}

bool NetworkOwnShip::GetHeading(double* heading) {
  if (heading == nullptr) return false;
  std::lock_guard lock(mutex_);
  if (!Fresh(headingAt_)) return false;
  *heading = headingDegrees_ * kRadiansPerDegree;
  return true;
}

bool NetworkOwnShip::QueryNavigationFlag() {
  std::lock_guard lock(mutex_);
  return !Fresh(positionAt_);
}

NetworkOwnShip::Counts NetworkOwnShip::ReadCounts() const {
  std::lock_guard lock(mutex_);
  return counts_;
}
