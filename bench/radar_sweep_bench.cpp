// How fast the simulated radar makes sweeps on one core. The antenna needs 4096 * 24 / 60 = 1638 sweeps
// a second in normal mode and twice that in type-approved mode at the default rate.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "services/radar/scene.h"
#include "services/radar/sweep_generator.h"

namespace {

constexpr std::uint64_t kSeed = 1;
constexpr int kSeaState = 40;
constexpr double kSceneSecondsPerSweep = 2.5 / 4096;

radarsim::SweepSettings SettingsFor(int rangeIndex, int trailTime) {
  radarsim::SweepSettings settings;
  settings.rangeIndex = rangeIndex;
  settings.trailTime = trailTime;
  return settings;
}

// Sweeps after the first turn: the fixed echoes of the range are traced already.
void SteadySweeps(benchmark::State& state, bool imoMode, int trailTime) {
  const radarsim::Scene scene(kSeed);
  radarsim::SweepGenerator generator(scene, imoMode, kSeed, kSeaState);
  const radarsim::SweepSettings settings = SettingsFor(static_cast<int>(state.range(0)), trailTime);
  const auto sweepsPerTurn = static_cast<std::uint64_t>(generator.SweepsPerTurn());
  std::uint64_t index = 0;
  for (; index < sweepsPerTurn; ++index) generator.Generate(index, index * kSceneSecondsPerSweep, settings);
  for (auto _ : state) {
    benchmark::DoNotOptimize(generator.Generate(index, index * kSceneSecondsPerSweep, settings));
    ++index;
  }
  state.SetItemsProcessed(state.iterations());
}

// The first turn after a change of range, when every sweep traces its ray through the scene.
void FirstTurnSweeps(benchmark::State& state, bool imoMode) {
  const radarsim::Scene scene(kSeed);
  radarsim::SweepGenerator generator(scene, imoMode, kSeed, kSeaState);
  const auto sweepsPerTurn = static_cast<std::uint64_t>(generator.SweepsPerTurn());
  int rangeIndex = static_cast<int>(state.range(0));
  std::uint64_t index = 0;
  for (auto _ : state) {
    if (index % sweepsPerTurn == 0) rangeIndex ^= 1;  // a new range each turn
    const radarsim::SweepSettings settings = SettingsFor(rangeIndex, 0);
    benchmark::DoNotOptimize(generator.Generate(index, index * kSceneSecondsPerSweep, settings));
    ++index;
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(SteadySweeps, Normal, false, 0)->Arg(4)->Arg(8);
BENCHMARK_CAPTURE(SteadySweeps, NormalWithTrails, false, 180)->Arg(4);
BENCHMARK_CAPTURE(SteadySweeps, Imo, true, 0)->Arg(4)->Arg(8);
BENCHMARK_CAPTURE(FirstTurnSweeps, Normal, false)->Arg(8);
BENCHMARK_CAPTURE(FirstTurnSweeps, Imo, true)->Arg(8);

BENCHMARK_MAIN();
