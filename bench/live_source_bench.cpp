// How fast the live radar source turns spoke datagrams into sweeps: the real capture's spoke frames sent
// to its socket on 127.0.0.1, received through its listener, decoded and mapped to sweeps. The recorded
// radar sent about 1,000 spokes a second; a fast radar of the family about 3,300.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "services/radar/capture_datagrams.h"
#include "services/radar/live_source.h"
#include "services/radar/spoke_frame.h"

namespace {

// The payloads of the capture's spoke frames, in recorded order.
std::vector<std::vector<std::uint8_t>> RecordedFrames(std::string& error) {
  std::vector<std::vector<std::uint8_t>> frames;
  auto stream = radarsim::CaptureStream::OpenFile(SORVIK_BENCH_CAPTURE, error);
  auto datagrams = stream ? radarsim::CaptureDatagrams::Over(std::move(stream), error) : nullptr;
  if (!datagrams) return frames;
  radarsim::CapturedDatagram datagram;
  while (datagrams->Next(datagram) == radarsim::CaptureDatagrams::Result::kDatagram) {
    if (datagram.udp.lengthValid && radarsim::IsSpokeFrameShape(datagram.udp.payload))
      frames.emplace_back(datagram.udp.payload.begin(), datagram.udp.payload.end());
  }
  if (frames.empty() && error.empty()) error = "no spoke frames in the capture";
  return frames;
}

// Sends state.range(0) frames, then lets the source take them in one delivery, as its thread does when
// the radar's datagrams wait at the socket.
void LiveSpokesToSweeps(benchmark::State& state) {
  std::string error;
  const auto frames = RecordedFrames(error);
  radarsim::LiveSettings settings;
  settings.listen.endpoint = {INADDR_LOOPBACK, 0};
  settings.listen.sender = INADDR_LOOPBACK;
  auto source = frames.empty() ? nullptr : radarsim::LiveSource::Open(settings, false, error);
  if (!source) {
    state.SkipWithError(error.c_str());
    return;
  }
  sockaddr_in address{};
  socklen_t length = sizeof address;
  getsockname(source->Descriptor(), reinterpret_cast<sockaddr*>(&address), &length);
  const int out = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  source->StartTurning(radarsim::RadarSource::Clock::now());
  const auto batch = static_cast<std::size_t>(state.range(0));
  std::size_t next = 0;
  std::uint64_t sweeps = 0;
  const auto sink = [&sweeps](const SweepRecord& record) {
    benchmark::DoNotOptimize(record.samples[0]);
    ++sweeps;
  };
  for (auto _ : state) {
    for (std::size_t n = 0; n < batch; ++n, next = (next + 1) % frames.size())
      sendto(out, frames[next].data(), frames[next].size(), 0, reinterpret_cast<const sockaddr*>(&address),
             sizeof address);
    source->TakeDue(radarsim::RadarSource::Clock::now());
    source->Deliver(radarsim::SweepSettings{}, sink);
  }
  close(out);
  const radarsim::LiveCounts& counts = source->Counts();
  if (counts.badFrames != 0 || counts.foreign != 0) state.SkipWithError("the recorded frames were refused");
  state.counters["spokes_per_second"] =
      benchmark::Counter(static_cast<double>(counts.spokes), benchmark::Counter::kIsRate);
  state.counters["sweeps_per_spoke"] =
      counts.spokes == 0 ? 0.0 : static_cast<double>(sweeps) / static_cast<double>(counts.spokes);
}
BENCHMARK(LiveSpokesToSweeps)->Arg(1)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
