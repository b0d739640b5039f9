// One whole frame of a live radar view, as a host presents it in real time, at 1280 × 800 and
// 1920 × 1080 (`frame_ms`, processor time of the calling thread):
// - the cached chart copied under the radar (a copy of a whole view of pixels);
// - the display polled after a frame's worth of sweeps came in (`PollRedraw`, which rewrites their rows);
// - the display drawn: echo and highlight passes, range rings, radar labels and the transmitter status;
// - the frame encoded as the live view does: copied out of the view, its tiles that changed since the
//   frame before encoded as PNG and put into the message of a browser that got that frame
//   (`encode_ms`, `tiles_per_frame`, `bytes_per_frame`; the steps before it are `draw_ms`).
// `core_share_at_30_fps` is the share of one processor core thirty such frames a second take.
// Two echoes: random levels on every sample over the open sea, the encoder's worst case
// (`recorded:0`), and the real capture recorded at sea off Harlingen over the Wadden chart at its
// recorded range, as the replay shows it (`recorded:1`). Run from the staging folder, where the radar
// service and the unit converter are found.
#include <benchmark/benchmark.h>
#include <ogrsf_frmts.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/units.h"
#include "display/echo_geometry.h"
#include "display/module_display_sorvik.h"
#include "display/sweep_store.h"
#include "host/navigation_source.h"
#include "module/module_data_sorvik.h"
#include "services/radar/capture_reader.h"
#include "services/radar/range_table.h"
#include "services/radar/spoke_mapping.h"
#include "services/radar/spoke_sweeps.h"
#include "support/fake_navigation.h"
#include "support/fake_radar.h"
#include "support/test_data_module.h"
#include "viewer/chart/chart_cache.h"
#include "viewer/chart/chart_layers.h"
#include "viewer/live/raw_frame.h"
#include "viewer/live/tiled_frame.h"
#include "viewer/module_host/sea_chart_view.h"

namespace {

const PosType kOpenSea(0.9, 0.1);
constexpr double kOpenSeaRangeMiles = 1.0;
constexpr int kFramesPerSecond = 30;
constexpr int kTurnsPerMinute = 24;  // a common antenna speed

double ThreadNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Where a frame's sweeps are drawn: the own ship's position and the range they span.
struct EchoScene {
  PosType ownShip = kOpenSea;
  int rangeIndex = 6;  // the fake radar's
  double rangeMiles = kOpenSeaRangeMiles;
};

// Sweeps handed out in arrival order, turn after turn.
class SweepFeed {
public:
  virtual ~SweepFeed() = default;
  virtual void Feed(SweepStore& store, int count) = 0;
};

// One antenna turn in the normal mode, random echo levels.
class RandomSweeps final : public SweepFeed {
public:
  explicit RandomSweeps(const EchoGeometry& geometry) : geometry_(geometry) {
    std::mt19937 random(8192);
    lines_.resize(kLines, std::vector<std::uint8_t>(static_cast<std::size_t>(geometry.textureSize)));
    for (std::vector<std::uint8_t>& line : lines_)
      for (std::uint8_t& sample : line) sample = static_cast<std::uint8_t>(random() % 8);
  }
  void Feed(SweepStore& store, int count) override {
    for (int i = 0; i < count; ++i, next_ = (next_ + 1) % geometry_.rows) {
      SweepRecord sweep;
      sweep.kind = kSweepKindSamples;
      sweep.samples = lines_[static_cast<std::size_t>(next_) % kLines].data();
      sweep.sampleCount = static_cast<std::uint16_t>(geometry_.textureSize);
      sweep.rangeSampleCount = static_cast<std::uint16_t>(geometry_.validSamples);
      sweep.angle = static_cast<std::uint16_t>(next_ * geometry_.AngleUnitsPerRow());
      store.AddSweep(&sweep, kOpenSeaRangeMiles);
    }
  }

private:
  static constexpr std::size_t kLines = 16;
  EchoGeometry geometry_;
  std::vector<std::vector<std::uint8_t>> lines_;
  int next_ = 0;
};

// The first turns of the capture recorded at sea, turned into sweeps as the replay does, at the range
// setting the replay starts with; the own ship where the capture's first position puts it.
class RecordedSweeps final : public SweepFeed {
public:
  bool Load(EchoScene& scene, std::string& error) {
    auto reader = radarsim::CaptureReader::Open(SORVIK_BENCH_CAPTURE, error);
    if (!reader) return false;
    std::optional<radarsim::SpokeSweeps> sweeps;
    radarsim::SweepSettings settings;
    radarsim::SourceOutcome outcome;
    bool placed = false;
    const auto keep = [&](const SweepRecord& sweep) {
      Kept kept{sweep, std::vector<std::uint8_t>(sweep.samples, sweep.samples + sweep.sampleCount)};
      sweeps_.push_back(std::move(kept));
    };
    radarsim::CaptureEvent event;
    while (sweeps_.size() < kSweeps && reader->Next(event)) {
      if (event.kind == radarsim::CaptureEvent::Kind::kNavigation) {
        const radarsim::NavigationUpdate& fix = event.navigation;
        if (!placed && fix.latitudeDegrees && fix.longitudeDegrees) {
          scene.ownShip = PosType(*fix.latitudeDegrees * kRadiansPerDegree, *fix.longitudeDegrees * kRadiansPerDegree);
          placed = true;
        }
        continue;
      }
      if (!sweeps) {
        const double recorded = radarsim::RecordedNauticalMiles(event.spoke.rangeMetres, 1.0);
        settings.rangeIndex = radarsim::RangeIndexFor(recorded, settings.rangeUnit);
        sweeps.emplace(radarsim::SweepLayoutFor(false), radarsim::SpokeSweepSettings{}, recorded);
      }
      sweeps->Take(event.spoke, settings, keep, outcome);
    }
    if (sweeps_.size() < kSweeps || !placed) {
      error = "the capture holds too few sweeps or no position";
      return false;
    }
    scene.rangeIndex = settings.rangeIndex;
    scene.rangeMiles = radarsim::RangeInNauticalMiles(settings.rangeIndex, settings.rangeUnit);
    rangeMiles_ = scene.rangeMiles;
    return true;
  }
  void Feed(SweepStore& store, int count) override {
    for (int i = 0; i < count; ++i, next_ = (next_ + 1) % sweeps_.size()) {
      Kept& kept = sweeps_[next_];
      kept.sweep.samples = kept.samples.data();
      store.AddSweep(&kept.sweep, rangeMiles_);
    }
  }

private:
  static constexpr std::size_t kSweeps = 3 * 4096;  // three turns
  struct Kept {
    SweepRecord sweep;
    std::vector<std::uint8_t> samples;
  };
  std::vector<Kept> sweeps_;
  std::size_t next_ = 0;
  double rangeMiles_ = 0;
};

void BM_Frame(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const bool recorded = state.range(2) != 0;
  ResetEchoGeometryForTesting();
  ConfigureEchoGeometry(false);
  const EchoGeometry& geometry = GetEchoGeometry();
  SweepStore& store = TheSweepStore();
  store.Reset();
  std::string error;
  EchoScene scene;
  std::unique_ptr<SweepFeed> feed;
  ChartLayers chartLayers;  // none on the open sea: its sea and grid only
  if (recorded) {
    auto sweeps = std::make_unique<RecordedSweeps>();
    if (!sweeps->Load(scene, error) ||
        !chartLayers.Load(SORVIK_SOURCE_DIR "/data/charts/wadden-land.geojson",
                          SORVIK_SOURCE_DIR "/data/charts/wadden-coast.geojson", error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    feed = std::move(sweeps);
  } else {
    feed = std::make_unique<RandomSweeps>(geometry);
  }
  feed->Feed(store, geometry.rows);
  store.StampSweepArrival(GetTickCount());

  std::unique_ptr<SeaChartView> view = SeaChartView::Create(width, height, scene.ownShip, error);
  if (!view) {
    state.SkipWithError(error.c_str());
    return;
  }
  view->FitRange(scene.rangeMiles);

  FakeNavigation navigation(scene.ownShip);
  FakeRadar radar;
  radar.range_ = scene.rangeIndex;
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

  // The chart as the host keeps it per view: painted once, copied under the radar at every frame.
  const ViewSurface surface = view->Surface();
  ChartCache chart;
  chart.PutUnder(surface, view->Projection(), chartLayers, LightMode::kDay);
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
    feed->Feed(store, sweepsPerFrame);
    store.StampSweepArrival(GetTickCount());
    const double start = ThreadNanoseconds();
    chart.PutUnder(surface, view->Projection(), chartLayers, LightMode::kDay);
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
BENCHMARK(BM_Frame)
    ->ArgNames({"width", "height", "recorded"})
    ->ArgsProduct({{1280}, {800}, {0, 1}})
    ->ArgsProduct({{1920}, {1080}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
