// Datagrams as the boat's network may bring them to the live radar source: spoke frames of any content,
// frames cut short or padded, text, empty ones, each sent for real to the source's socket on 127.0.0.1 and
// taken in through its listener, with no sender chosen, with this one chosen, or with another one chosen.
// Every datagram must be counted, a foreign one must never reach the sweeps, and every sweep must be
// one the display can store.
//
// Input: one byte choosing the source, then datagrams, each a kind byte and its bytes. Kind bit 0: a
// spoke frame of 1 + (next byte % 32) spokes, each a 24-byte header from the input (bit 1 clear: its length
// byte forced to 24) and samples repeating up to 16 input bytes; bit 2: one byte more or less than that
// frame. Otherwise a datagram of (next word % 2048) input bytes.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "fuzz_input.h"
#include "services/radar/live_source.h"
#include "services/radar/spoke_frame.h"
#include "services/radar/sweep_generator.h"

namespace {

constexpr int kMaxDatagrams = 16;
constexpr std::uint32_t kLoopback = INADDR_LOOPBACK;
constexpr std::uint32_t kOtherSender = INADDR_LOOPBACK + 1;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "live datagrams: %s\n", what);
  std::abort();
}

struct Listening {
  std::unique_ptr<radarsim::LiveSource> source;
  sockaddr_in address{};
  bool foreign = false;  // every datagram this fuzzer sends is from another sender than the chosen one
};

Listening Listen(std::optional<std::uint32_t> sender, bool imoMode) {
  radarsim::LiveSettings settings;
  settings.listen.endpoint = {kLoopback, 0};
  settings.listen.sender = sender;
  std::string error;
  Listening listening;
  listening.source = radarsim::LiveSource::Open(settings, imoMode, error);
  if (!listening.source) Fail(error.c_str());
  socklen_t length = sizeof listening.address;
  getsockname(listening.source->Descriptor(), reinterpret_cast<sockaddr*>(&listening.address), &length);
  listening.foreign = sender && *sender != kLoopback;
  return listening;
}

std::vector<std::uint8_t> NextDatagram(FuzzInput& input) {
  const std::uint8_t kind = input.Byte();
  std::vector<std::uint8_t> datagram;
  if ((kind & 1) == 0) {
    datagram.resize(input.Word() % 2048);
    input.Bytes(datagram.data(), datagram.size());
    return datagram;
  }
  const std::size_t spokes = 1 + input.Byte() % 32;
  datagram.resize(radarsim::kSpokeFrameHeaderBytes + spokes * radarsim::kSpokeBytes);
  input.Bytes(datagram.data(), radarsim::kSpokeFrameHeaderBytes);
  for (std::size_t spoke = 0; spoke < spokes; ++spoke) {
    std::uint8_t* header = datagram.data() + radarsim::kSpokeFrameHeaderBytes + spoke * radarsim::kSpokeBytes;
    input.Bytes(header, radarsim::kSpokeHeaderBytes);
    if ((kind & 2) == 0) header[0] = radarsim::kSpokeHeaderBytes;
    std::uint8_t pattern[16] = {};
    input.Bytes(pattern, sizeof pattern);
    for (std::size_t i = 0; i < radarsim::kSpokeSampleBytes; ++i)
      header[radarsim::kSpokeHeaderBytes + i] = pattern[i % sizeof pattern];
  }
  if (kind & 4) {
    if (kind & 8)
      datagram.pop_back();
    else
      datagram.push_back(input.Byte());
  }
  return datagram;
}

void CheckSweep(const SweepRecord& record) {
  if (record.kind != kSweepKindSamples && record.kind != kSweepKindSamplesAlt) Fail("a sweep of an unknown kind");
  if (record.samples == nullptr || record.sampleCount == 0) Fail("a sweep without samples");
  if (record.rangeSampleCount == 0) Fail("a sweep spanning no range");
  if (record.angle >= radarsim::kAngleUnitsPerTurn) Fail("a sweep angle beyond a turn");
  if (record.heading < -1 || record.heading >= radarsim::kAngleUnitsPerTurn) Fail("a heading beyond a turn");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Listening sources[] = {Listen(std::nullopt, false), Listen(kLoopback, true), Listen(kOtherSender, false)};
  static const int out = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  FuzzInput input(data, size);
  Listening& listening = sources[input.Byte() % 3];
  radarsim::LiveSource& source = *listening.source;
  source.StartTurning(radarsim::RadarSource::Clock::now());
  const radarsim::LiveCounts before = source.Counts();
  int sweeps = 0;
  const auto sink = [&sweeps](const SweepRecord& record) {
    CheckSweep(record);
    ++sweeps;
  };
  std::uint64_t sent = 0;
  for (int n = 0; n < kMaxDatagrams && !input.Empty(); ++n) {
    const std::vector<std::uint8_t> datagram = NextDatagram(input);
    if (sendto(out, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&listening.address),
               sizeof listening.address) != static_cast<ssize_t>(datagram.size()))
      continue;
    ++sent;
    // A datagram sent on 127.0.0.1 waits at the socket at once: one delivery takes it.
    source.TakeDue(radarsim::RadarSource::Clock::now());
    source.Deliver(radarsim::SweepSettings{}, sink);
  }
  // Should the network hold one back, a few more deliveries wait for it.
  for (int tries = 0; tries < 10 && source.Counts().datagrams - before.datagrams < sent; ++tries) {
    source.TakeDue(radarsim::RadarSource::Clock::now());
    source.Deliver(radarsim::SweepSettings{}, sink);
  }
  const radarsim::LiveCounts& after = source.Counts();
  if (after.datagrams - before.datagrams != sent) Fail("a datagram sent but not counted");
  if (listening.foreign && (after.foreign - before.foreign != sent || after.spokes != before.spokes || sweeps != 0))
    Fail("a datagram of another sender taken");
  if (!listening.foreign && after.foreign != before.foreign) Fail("a datagram of the chosen sender refused");
  if (after.spokes - before.spokes > 32 * sent) Fail("more spokes than the frames hold");
  return 0;
}
