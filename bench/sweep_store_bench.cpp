// The cost of taking in one sweep: the radar service's callback, the range queries to the service and
// the row copy under the store's lock, compared with the least any locked store could do, a mutex and
// the copy of one row, both in processor time. Run from the staging folder, where the radar service is found.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <mutex>
#include <random>
#include <vector>

#include "display/echo_geometry.h"
#include "display/sweep_store.h"
#include "host/radar_service.h"
#include "module/radar_callbacks.h"
#include "module/service_libraries.h"

namespace {

// Processor time of the calling thread: the machine may be busy with other work meanwhile.
double ThreadNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// One turn of sweeps as a radar sends it in one mode: one sweep per row, a row's width of samples,
// drawn from a handful of random echo lines.
class RadarTurn {
public:
  explicit RadarTurn(const EchoGeometry& geometry) : rowLength_(geometry.textureSize) {
    std::mt19937 random(8192);
    lines_.resize(kLines, std::vector<std::uint8_t>(static_cast<std::size_t>(rowLength_)));
    for (std::vector<std::uint8_t>& line : lines_)
      for (std::uint8_t& sample : line) sample = static_cast<std::uint8_t>(random());
    for (int row = 0; row < geometry.rows; ++row) {
      SweepRecord sweep;
      sweep.kind = kSweepKindSamples;
      sweep.samples = lines_[static_cast<std::size_t>(row) % kLines].data();
      sweep.sampleCount = static_cast<std::uint16_t>(rowLength_);
      sweep.rangeSampleCount = static_cast<std::uint16_t>(geometry.validSamples);
      sweep.angle = static_cast<std::uint16_t>(row * geometry.AngleUnitsPerRow());
      sweep.heading = 1024;
      sweeps_.push_back(sweep);
    }
  }

  const SweepRecord& operator[](std::size_t index) const { return sweeps_[index]; }
  std::size_t Size() const { return sweeps_.size(); }
  int RowLength() const { return rowLength_; }

private:
  static constexpr std::size_t kLines = 16;
  int rowLength_;
  std::vector<std::vector<std::uint8_t>> lines_;
  std::vector<SweepRecord> sweeps_;
};

// What the data module's Init does for the store, for either mode in one process. The radar is not
// opened: it answers the range all the same, and its own thread would only compete for the processor
// with the benchmark, where in use the sweeps arrive on that very thread.
bool ConnectStore(bool imoMode) {
  int rangeValue = 0;
  int rangeUnit = 0;
  if (GetSorVikRadar()->GetCurrentRange(&rangeValue, &rangeUnit) != 0) return false;
  ResetEchoGeometryForTesting();
  ConfigureEchoGeometry(imoMode);
  TheSweepStore().Reset();
  TheSweepStore().SetShiftSamples(imoMode);
  return true;
}

// Nanoseconds per row of a mutex-guarded copy of each sweep into its row.
double LockedRowCopyNanoseconds(const RadarTurn& turn, std::int64_t iterations) {
  const std::size_t rowLength = static_cast<std::size_t>(turn.RowLength());
  std::vector<std::uint8_t> rows(turn.Size() * rowLength);
  std::mutex mutex;
  std::size_t next = 0;
  const double start = ThreadNanoseconds();
  for (std::int64_t i = 0; i < iterations; ++i) {
    {
      std::lock_guard lock(mutex);
      std::memcpy(rows.data() + next * rowLength, turn[next].samples, rowLength);
    }
    benchmark::ClobberMemory();
    if (++next == turn.Size()) next = 0;
  }
  const double elapsed = ThreadNanoseconds() - start;
  benchmark::DoNotOptimize(rows.data());
  return elapsed / static_cast<double>(iterations);
}

void BM_SweepCallback(benchmark::State& state) {
  const bool imoMode = state.range(0) != 0;
  if (!ConnectStore(imoMode)) {
    state.SkipWithError("the radar tells no range");
    return;
  }
  const RadarTurn turn(GetEchoGeometry());
  SweepCallback(&turn[0]);
  if (TheSweepStore().GetDimensions().rowLength != turn.RowLength()) {
    state.SkipWithError("the store refused the sweeps");
    return;
  }

  std::size_t next = 0;
  const double start = ThreadNanoseconds();
  for (auto _ : state) {
    SweepCallback(&turn[next]);
    if (++next == turn.Size()) next = 0;
  }
  const double sweepNanoseconds = (ThreadNanoseconds() - start) / static_cast<double>(state.iterations());
  const double copyNanoseconds = LockedRowCopyNanoseconds(turn, state.iterations());
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(imoMode ? "imo" : "normal");
  state.counters["sweep_ns"] = sweepNanoseconds;
  state.counters["locked_copy_ns"] = copyNanoseconds;
  state.counters["ratio_to_locked_copy"] = sweepNanoseconds / copyNanoseconds;
  benchmark::DoNotOptimize(TheSweepStore().GetSweepDistance());
}
BENCHMARK(BM_SweepCallback)->ArgName("imo")->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
