// sorvik_capture_send: plays the UDP datagrams of a recording (the radar's spokes, the ship's NMEA) to a
// destination at the recorded pace, so that a live radar source and a host's NMEA reader can be tried
// without the boat. By default to this machine (127.0.0.1) only, each datagram to the port it was
// recorded for; --port sends a recorded port to another one. For trials of lossy networks it drops or
// reorders a share of the datagrams.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "services/radar/capture_datagrams.h"
#include "services/radar/ipv4_endpoint.h"

namespace {

using Clock = std::chrono::steady_clock;
using radarsim::CaptureDatagrams;

struct SendOptions {
  std::string capture;
  std::string destination = "127.0.0.1";
  std::vector<std::string> portMaps;
  double pace = 1.0;
  int loops = 0;
  double seconds = 0.0;
  double dropPercent = 0.0;
  double reorderPercent = 0.0;
  unsigned seed = 1;
};

struct Totals {
  std::uint64_t sent = 0, dropped = 0, reordered = 0, failed = 0;
  int passes = 0;
};

class Sender {
public:
  Sender(const SendOptions& options, std::uint32_t address, std::map<std::uint16_t, std::uint16_t> ports)
      : options_(options), ports_(std::move(ports)), random_(options.seed) {
    socket_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    destination_.sin_family = AF_INET;
    destination_.sin_addr.s_addr = htonl(address);
  }
  ~Sender() { close(socket_); }

  // Plays one pass of the capture from `start`; false when the capture cannot be read or time is up.
  bool PlayPass(Clock::time_point start, Clock::time_point& end, Totals& totals) {
    std::string error;
    auto stream = radarsim::CaptureStream::OpenFile(options_.capture, error);
    std::unique_ptr<CaptureDatagrams> datagrams = stream ? CaptureDatagrams::Over(std::move(stream), error) : nullptr;
    if (!datagrams) {
      std::fprintf(stderr, "sorvik_capture_send: %s: %s\n", options_.capture.c_str(), error.c_str());
      return false;
    }
    radarsim::CapturedDatagram datagram;
    double last = 0.0;
    std::uint64_t count = 0;
    CaptureDatagrams::Result result;
    while ((result = datagrams->Next(datagram)) == CaptureDatagrams::Result::kDatagram) {
      const auto due = start + std::chrono::duration_cast<Clock::duration>(
                                   std::chrono::duration<double>(datagram.seconds / options_.pace));
      if (deadline_ && due > *deadline_) return false;
      std::this_thread::sleep_until(due);
      last = datagram.seconds;
      ++count;
      if (datagram.udp.lengthValid) Offer(datagram, totals);
    }
    if (result != CaptureDatagrams::Result::kEnd) {
      std::fprintf(stderr, "sorvik_capture_send: %s: the capture ends early: %s\n", options_.capture.c_str(),
                   datagrams->ErrorText().c_str());
    }
    if (count == 0) return false;
    // The next pass follows at the capture's own spacing between datagrams.
    const double gap = last / static_cast<double>(count);
    end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>((last + gap) / options_.pace));
    return true;
  }

  void SetDeadline(Clock::time_point deadline) { deadline_ = deadline; }

private:
  void Offer(const radarsim::CapturedDatagram& datagram, Totals& totals) {
    std::vector<std::uint8_t> bytes(datagram.udp.payload.begin(), datagram.udp.payload.end());
    const std::uint16_t port = PortFor(datagram.udp.destinationPort);
    if (Chance(options_.dropPercent)) {
      ++totals.dropped;
      return;
    }
    // A reordered datagram goes after the next one to the same port: after the next spoke frame, or the
    // next sentence, so that each stream sees the swap.
    const auto held = held_.find(port);
    if (held == held_.end() && Chance(options_.reorderPercent)) {
      held_.emplace(port, std::move(bytes));
      ++totals.reordered;
      return;
    }
    Send(bytes, port, totals);
    if (held != held_.end()) {
      Send(held->second, port, totals);
      held_.erase(held);
    }
  }

  void Send(const std::vector<std::uint8_t>& bytes, std::uint16_t port, Totals& totals) {
    destination_.sin_port = htons(port);
    const ssize_t sent = sendto(socket_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&destination_),
                                sizeof destination_);
    ++(sent == static_cast<ssize_t>(bytes.size()) ? totals.sent : totals.failed);
  }

  std::uint16_t PortFor(std::uint16_t recorded) const {
    const auto mapped = ports_.find(recorded);
    return mapped == ports_.end() ? recorded : mapped->second;
  }

  bool Chance(double percent) {
    return percent > 0.0 && std::uniform_real_distribution<double>(0.0, 100.0)(random_) < percent;
  }

  const SendOptions& options_;
  const std::map<std::uint16_t, std::uint16_t> ports_;
  std::mt19937 random_;
  int socket_ = -1;
  sockaddr_in destination_{};
  std::map<std::uint16_t, std::vector<std::uint8_t>> held_;  // by destination port
  std::optional<Clock::time_point> deadline_;
};

bool ParsePortMaps(const std::vector<std::string>& texts, std::map<std::uint16_t, std::uint16_t>& ports,
                   std::string& error) {
  for (const std::string& text : texts) {
    unsigned from = 0, to = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%u=%u%c", &from, &to, &end) != 2 || from == 0 || from > 65535 || to == 0 ||
        to > 65535) {
      error = "bad value for --port: '" + text + "' (RECORDED=PORT, ports 1 to 65535)";
      return false;
    }
    ports[static_cast<std::uint16_t>(from)] = static_cast<std::uint16_t>(to);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  SendOptions options;
  CLI::App app("Plays the UDP datagrams of a capture (spokes, NMEA) to a destination at the recorded pace.",
               "sorvik_capture_send");
  app.add_option("capture", options.capture, "The capture (pcap, plain or gzip)")->required()->check(CLI::ExistingFile);
  app.add_option("--to", options.destination, "The destination address")->capture_default_str();
  app.add_option("--port", options.portMaps, "Send what was recorded for one port to another, e.g. 7059=17059")
      ->type_name("RECORDED=PORT");
  app.add_option("--pace", options.pace, "A factor on the recorded pace (2 plays twice as fast)")
      ->check(CLI::Range(0.01, 100.0))->capture_default_str();
  app.add_option("--loops", options.loops, "Passes of the capture; 0 plays it for ever")
      ->check(CLI::Range(0, 1000000))->capture_default_str();
  app.add_option("--seconds", options.seconds, "Stop after this long; 0: no limit")
      ->check(CLI::Range(0.0, 1e7))->capture_default_str();
  app.add_option("--drop", options.dropPercent, "Percent of the datagrams not sent, at random")
      ->check(CLI::Range(0.0, 100.0));
  app.add_option("--reorder", options.reorderPercent,
                 "Percent of the datagrams sent after the next one to the same port")
      ->check(CLI::Range(0.0, 100.0));
  app.add_option("--seed", options.seed, "Seed of the random drops and reorders")->capture_default_str();
  CLI11_PARSE(app, argc, argv);

  const auto address = radarsim::ParseIpv4Address(options.destination);
  if (!address) {
    std::fprintf(stderr, "sorvik_capture_send: bad value for --to: '%s' (an IPv4 address)\n",
                 options.destination.c_str());
    return 2;
  }
  std::map<std::uint16_t, std::uint16_t> ports;
  std::string error;
  if (!ParsePortMaps(options.portMaps, ports, error)) {
    std::fprintf(stderr, "sorvik_capture_send: %s\n", error.c_str());
    return 2;
  }
  Sender sender(options, *address, ports);
  Totals totals;
  auto start = Clock::now();
  if (options.seconds > 0.0) {
    sender.SetDeadline(start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.seconds)));
  }
  while (options.loops == 0 || totals.passes < options.loops) {
    Clock::time_point end;
    if (!sender.PlayPass(start, end, totals)) break;
    ++totals.passes;
    start = end;
  }
  std::printf("sent %llu datagrams to %s (%llu dropped, %llu reordered, %llu failed) in %d passes\n",
              static_cast<unsigned long long>(totals.sent), options.destination.c_str(),
              static_cast<unsigned long long>(totals.dropped), static_cast<unsigned long long>(totals.reordered),
              static_cast<unsigned long long>(totals.failed), totals.passes);
  return totals.passes == 0 && totals.sent == 0 ? 1 : 0;
}
