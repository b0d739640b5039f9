// The chart under the radar: one paint of a chart of many crossing lines (`paint_ms`, half a million
// lines spread over four times the view's area, a quarter of them in view), one paint of the Wadden
// chart, and a frame's copy of the cached chart under the radar at 1280 × 800 and 1920 × 1080
// (`frame_ms`). Times are the processor time of the calling thread.
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "common/units.h"
#include "support/memory_lines.h"
#include "viewer/chart/chart_cache.h"
#include "viewer/chart/chart_layers.h"
#include "viewer/chart/chart_painter.h"
#include "viewer/chart/chart_projection.h"
#include "viewer/chart/colour_scheme.h"
#include "viewer/module_host/view_pixels.h"

namespace {

const PosType kCentre(53.2 * kRadiansPerDegree, 5.2 * kRadiansPerDegree);

double ThreadNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

LinePoint At(const ChartProjection& projection, double x, double y) {
  const PosType position = projection.ToGeo({x, y});
  return {position.longitude / kRadiansPerDegree, position.latitude / kRadiansPerDegree};
}

// `count` lines of two points in random directions, each up to a tenth of the view long.
ChartLayers CrossingLines(const ChartProjection& projection, std::size_t count) {
  const double width = projection.Width(), height = projection.Height();
  std::mt19937 random(61);
  std::uniform_real_distribution<double> x(-width / 2.0, width * 1.5), y(-height / 2.0, height * 1.5);
  std::uniform_real_distribution<double> step(-width / 20.0, width / 20.0);
  std::vector<ChartLine> lines(count);
  for (ChartLine& line : lines) {
    const double x0 = x(random), y0 = y(random);
    line = {At(projection, x0, y0), At(projection, x0 + step(random), y0 + step(random))};
  }
  const MemoryLines file("bench-crossing", lines);
  ChartLayers layers;
  std::string error;
  layers.Load("", file.Path(), error);
  return layers;
}

void Paint(benchmark::State& state, const ChartLayers& layers, const ChartProjection& projection) {
  ViewPixels pixels(projection.Width(), projection.Height());
  ChartPaintCounts counts;
  double nanoseconds = 0;
  for (auto _ : state) {
    const double start = ThreadNanoseconds();
    counts = PaintChart(pixels.Surface(), projection, layers, ColoursFor(LightMode::kDay));
    nanoseconds += ThreadNanoseconds() - start;
  }
  state.counters["paint_ms"] = nanoseconds / static_cast<double>(state.iterations()) / 1e6;
  state.counters["lines_in_view"] = static_cast<double>(counts.coastLines);
  state.counters["strokes"] = static_cast<double>(counts.coastStrokes);
}

void BM_PaintCrossingLines(benchmark::State& state) {
  const ChartProjection projection(1280, 800, kCentre, 15.0);
  static const ChartLayers layers = CrossingLines(projection, 500'000);
  Paint(state, layers, projection);
}
BENCHMARK(BM_PaintCrossingLines)->Unit(benchmark::kMillisecond)->Iterations(3);

ChartLayers WaddenChart() {
  ChartLayers layers;
  std::string error;
  const std::string charts = SORVIK_SOURCE_DIR "/data/charts/";
  layers.Load(charts + "wadden-land.geojson", charts + "wadden-coast.geojson", error);
  return layers;
}

void BM_PaintWaddenChart(benchmark::State& state) {
  static const ChartLayers layers = WaddenChart();
  Paint(state, layers, ChartProjection(1280, 800, kCentre, 15.0));
}
BENCHMARK(BM_PaintWaddenChart)->Unit(benchmark::kMillisecond);

// The view unchanged between frames: the cached chart copied under the radar.
void BM_CachedChartFrame(benchmark::State& state) {
  static const ChartLayers layers = WaddenChart();
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  const ChartProjection projection(width, height, kCentre, 15.0);
  ViewPixels pixels(width, height);
  ChartCache cache;
  cache.PutUnder(pixels.Surface(), projection, layers, LightMode::kDay);
  double nanoseconds = 0;
  for (auto _ : state) {
    const double start = ThreadNanoseconds();
    cache.PutUnder(pixels.Surface(), projection, layers, LightMode::kDay);
    nanoseconds += ThreadNanoseconds() - start;
    benchmark::DoNotOptimize(pixels.Surface().pixels);
  }
  state.counters["frame_ms"] = nanoseconds / static_cast<double>(state.iterations()) / 1e6;
  state.counters["paints"] = cache.Paints();
}
BENCHMARK(BM_CachedChartFrame)->Args({1280, 800})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
