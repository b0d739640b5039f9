// How fast the capture reader decodes the real capture recorded at sea, from its compressed file. The
// radar sent about 1,000 spokes a second.
#include <benchmark/benchmark.h>

#include <string>

#include "services/radar/capture_reader.h"

namespace {

void DecodeWholeCapture(benchmark::State& state) {
  std::uint64_t spokes = 0;
  for (auto _ : state) {
    std::string error;
    auto reader = radarsim::CaptureReader::Open(SORVIK_BENCH_CAPTURE, error);
    if (!reader) {
      state.SkipWithError(error.c_str());
      return;
    }
    radarsim::CaptureEvent event;
    while (reader->Next(event)) benchmark::DoNotOptimize(event);
    if (!reader->Error().empty()) {
      state.SkipWithError(reader->Error().c_str());
      return;
    }
    spokes += reader->Counts().spokes;
  }
  state.counters["spokes_per_second"] = benchmark::Counter(static_cast<double>(spokes), benchmark::Counter::kIsRate);
}
BENCHMARK(DecodeWholeCapture)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
