// One whole frame of a live radar view, as a host presents it in real time, at 1280 × 800 and
// 1920 × 1080 (`frame_ms`, processor time of the calling thread):
// - the cached chart copied under the radar (a copy of a whole view of pixels);
// - the display polled after a frame's worth of sweeps came in (`PollRedraw`, which rewrites their rows);
// - the display drawn: echo and highlight passes, range rings, radar labels and the transmitter status;
// - the frame encoded as the live view does: copied out of the view, its tiles that changed since the
//   frame before encoded as PNG and put into the message of a browser that got that frame
//   (`encode_ms`, `tiles_per_frame`, `bytes_per_frame`; the steps before it are `draw_ms`).
// `core_share_at_30_fps` is the share of one processor core thirty such frames a second take. Run from
// the staging folder, where the radar service and the unit converter are found.
#include <benchmark/benchmark.h>
#include <ogrsf_frmts.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "display/echo_geometry.h"
#include "display/module_display_sorvik.h"
#include "display/sweep_store.h"
#include "host/navigation_source.h"
#include "module/module_data_sorvik.h"
#include "support/fake_navigation.h"
#include "support/fake_radar.h"
#include "support/test_data_module.h"
#include "viewer/chart/chart_cache.h"
#include "viewer/chart/chart_layers.h"
#include "viewer/live/raw_frame.h"
#include "viewer/live/tiled_frame.h"
#include "viewer/module_host/sea_chart_view.h"

namespace {

const PosType kOwnShip(0.9, 0.1);
constexpr double kRangeMiles = 1.0;
constexpr int kFramesPerSecond = 30;
constexpr int kTurnsPerMinute = 24;  // a common antenna speed

double ThreadNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// The sweeps of one antenna turn in the normal mode, random echo levels, handed out in arrival order.
class SweepFeed {
public:
  explicit SweepFeed(const EchoGeometry& geometry) : geometry_(geometry) {
    std::mt19937 random(8192);
    lines_.resize(kLines, std::vector<std::uint8_t>(static_cast<std::size_t>(geometry.textureSize)));
    for (std::vector<std::uint8_t>& line : lines_)
      for (std::uint8_t& sample : line) sample = static_cast<std::uint8_t>(random() % 8);
  }
  void Feed(SweepStore& store, int count) {
    for (int i = 0; i < count; ++i, next_ = (next_ + 1) % geometry_.rows) {
      SweepRecord sweep;
      sweep.kind = kSweepKindSamples;
      sweep.samples = lines_[static_cast<std::size_t>(next_) % kLines].data();
      sweep.sampleCount = static_cast<std::uint16_t>(geometry_.textureSize);
      sweep.rangeSampleCount = static_cast<std::uint16_t>(geometry_.validSamples);
      sweep.angle = static_cast<std::uint16_t>(next_ * geometry_.AngleUnitsPerRow());
      store.AddSweep(&sweep, kRangeMiles);
    }
  }

private:
  static constexpr std::size_t kLines = 16;
  EchoGeometry geometry_;
  std::vector<std::vector<std::uint8_t>> lines_;
  int next_ = 0;
};

void BM_Frame(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  ResetEchoGeometryForTesting();
  ConfigureEchoGeometry(false);
  const EchoGeometry& geometry = GetEchoGeometry();
  SweepStore& store = TheSweepStore();
  store.Reset();
  SweepFeed feed(geometry);
  feed.Feed(store, geometry.rows);
  store.StampSweepArrival(GetTickCount());

  std::string error;
  std::unique_ptr<SeaChartView> view = SeaChartView::Create(width, height, kOwnShip, error);
  if (!view) {
    state.SkipWithError(error.c_str());
    return;
  }
  view->FitRange(kRangeMiles);

  FakeNavigation navigation(kOwnShip);
  FakeRadar radar;
  const std::unique_ptr<ModuleDataSorvik> dataModule = TestDataModule(&navigation, radar.Accessor());
  ModuleDataSorvik& data = *dataModule;
  if (!SwitchRealTimeOn(data)) {
    state.SkipWithError("the radar settings cannot be written");
    return;
  }
  auto display = std::make_unique<ModuleDisplaySorvik>(&data, store);
  display->PollRedraw();
  display->Draw(view.get(), 0, nullptr, 0);  // creates the textures
  display->PollRedraw();
  display->Draw(view.get(), 0, nullptr, 0);  // computes the outlines

  // The chart as the host keeps it per view (here the sea and the grid, no land this far offshore):
  // painted once, copied under the radar at every frame.
  const ViewSurface surface = view->Surface();
  const ChartLayers noLand;
  ChartCache chart;
  chart.PutUnder(surface, view->Projection(), noLand, LightMode::kDay);
  const int sweepsPerFrame = geometry.rows * kTurnsPerMinute / 60 / kFramesPerSecond;
  // The hand-over's two buffers in turn: the encoder holds the one before to compare with.
  std::shared_ptr<RawFrame> frames[2] = {std::make_shared<RawFrame>(), std::make_shared<RawFrame>()};
  TiledFrameEncoder encoder;
  std::uint32_t number = 0;
  std::uint64_t held = 0;
  std::size_t tiles = 0, bytes = 0;

  double nanoseconds = 0;
  double encodeNanoseconds = 0;
  for (auto _ : state) {
    // The radar's thread in use: its sweeps of one frame come in between frames.
    feed.Feed(store, sweepsPerFrame);
    store.StampSweepArrival(GetTickCount());
    const double start = ThreadNanoseconds();
    chart.PutUnder(surface, view->Projection(), noLand, LightMode::kDay);
    display->PollRedraw();
    display->Draw(view.get(), 0, nullptr, 0);
    const double drawn = ThreadNanoseconds();
    const std::shared_ptr<RawFrame>& frame = frames[++number % 2];
    frame->CopyFrom(number, surface);
    const std::shared_ptr<const EncodedFrame> encoded = encoder.Encode(frame, number);
    if (!encoded) {
      state.SkipWithError("the frame cannot be encoded");
      break;
    }
    bytes += FrameMessage(1, *encoded, held).size();
    held = encoded->serial;
    tiles += static_cast<std::size_t>(encoder.TilesEncoded());
    const double end = ThreadNanoseconds();
    nanoseconds += end - start;
    encodeNanoseconds += end - drawn;
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["frame_ms"] = nanoseconds / iterations / 1e6;
  state.counters["encode_ms"] = encodeNanoseconds / iterations / 1e6;
  state.counters["draw_ms"] = (nanoseconds - encodeNanoseconds) / iterations / 1e6;
  state.counters["core_share_at_30_fps"] = nanoseconds / iterations * kFramesPerSecond / 1e9;
  state.counters["tiles_per_frame"] = static_cast<double>(tiles) / iterations;
  state.counters["bytes_per_frame"] = static_cast<double>(bytes) / iterations;
  state.counters["chart_paints"] = chart.Paints();
  display.reset();
}
BENCHMARK(BM_Frame)->Args({1280, 800})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
