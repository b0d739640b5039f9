// The live view's cost for one 1280 × 800 view over the Wadden chart with the echo turning, per frame:
// - `frames_per_second`: the frames one core can draw (chart copy, poll, the display's drawing), hand
//   over (the one copy into the frame hub), encode (the tiles that changed, as PNG) and send (the
//   message of a browser that got the frame before, written to a local socket that another thread
//   drains), at processor time of the calling thread; `draw_ms`, `handover_ms`,
//   `encode_ms`, `send_ms` are its parts, `tiles_per_frame` the tiles encoded and sent;
// - `bytes_per_frame`: what one whole frame costs on the wire in each encoding the live view could use
//   (PNG as the live view encodes its tiles, lossless WebP at efforts 0 and 1, lossy WebP), with
//   `encode_ms`.
// The echo is random levels on every sample, the worst case for the encoders: a real radar picture is
// mostly empty sea and compresses better. Run from the staging folder.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/units.h"
#include "display/echo_geometry.h"
#include "display/module_display_sorvik.h"
#include "display/sweep_store.h"
#include "module/module_data_sorvik.h"
#include "support/fake_navigation.h"
#include "support/fake_radar.h"
#include "support/test_data_module.h"
#include "viewer/chart/chart_layers.h"
#include "viewer/chart/chart_painter.h"
#include "viewer/chart/colour_scheme.h"
#include "viewer/live/frame_hub.h"
#include "viewer/live/tiled_frame.h"
#include "viewer/live/png_tile.h"
#include "viewer/module_host/sea_chart_view.h"
#include "webp_encoding.h"

namespace {

// Off Harlingen, where the chart is.
const PosType kOwnShip((53.0 + 10.7378 / 60.0) * kRadiansPerDegree, (5.0 + 16.0582 / 60.0) * kRadiansPerDegree);
constexpr double kRangeMiles = 6.0;
constexpr int kFramesPerSecond = 10;
constexpr int kTurnsPerMinute = 24;
constexpr int kWidth = 1280, kHeight = 800;

double ThreadNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

void FeedSweeps(SweepStore& store, const EchoGeometry& geometry, int& next, int count) {
  static std::vector<std::uint8_t> samples = [&] {
    std::mt19937 random(8192);
    std::vector<std::uint8_t> values(std::size_t(geometry.textureSize) * 16);
    for (std::uint8_t& value : values) value = static_cast<std::uint8_t>(random() % 8 < 6 ? 0 : random() % 16);
    return values;
  }();
  for (int i = 0; i < count; ++i, next = (next + 1) % geometry.rows) {
    SweepRecord sweep;
    sweep.kind = kSweepKindSamples;
    sweep.samples = &samples[std::size_t(next % 16) * geometry.textureSize];
    sweep.sampleCount = static_cast<std::uint16_t>(geometry.textureSize);
    sweep.rangeSampleCount = static_cast<std::uint16_t>(geometry.validSamples);
    sweep.angle = static_cast<std::uint16_t>(next * geometry.AngleUnitsPerRow());
    store.AddSweep(&sweep, kRangeMiles);
  }
}

// One view over the chart with the module's display, drawing frame after frame.
class LiveScene {
public:
  bool Open(std::string& error) {
    ResetEchoGeometryForTesting();
    ConfigureEchoGeometry(false);
    geometry_ = GetEchoGeometry();
    store_.Reset();
    FeedSweeps(store_, geometry_, next_, geometry_.rows);
    store_.StampSweepArrival(GetTickCount());
    view_ = SeaChartView::Create(kWidth, kHeight, kOwnShip, error);
    if (!view_) return false;
    view_->FitRange(kRangeMiles);
    if (!chart_.Load(SORVIK_SOURCE_DIR "/data/charts/wadden-land.geojson",
                     SORVIK_SOURCE_DIR "/data/charts/wadden-coast.geojson", error))
      return false;
    data_ = TestDataModule(&navigation_, radar_.Accessor());
    if (!SwitchRealTimeOn(*data_)) {
      error = "the radar settings cannot be written";
      return false;
    }
    display_ = std::make_unique<ModuleDisplaySorvik>(data_.get(), store_);
    const ViewSurface surface = view_->Surface();
    PaintChart(surface, view_->Projection(), chart_, ColoursFor(LightMode::kDay));
    chartPixels_.assign(surface.pixels, surface.pixels + std::size_t{surface.width} * surface.height);
    for (int i = 0; i < 2; ++i) Draw();  // the textures, then the outlines
    return true;
  }
  // The radar's thread: one frame's sweeps come in between frames.
  void Sweep() {
    FeedSweeps(store_, geometry_, next_, geometry_.rows * kTurnsPerMinute / 60 / kFramesPerSecond);
    store_.StampSweepArrival(GetTickCount());
  }
  void Draw() {
    const ViewSurface surface = view_->Surface();
    std::memcpy(surface.pixels, chartPixels_.data(), chartPixels_.size() * 4);
    display_->PollRedraw();
    display_->Draw(view_.get(), 0, nullptr, 0);
  }
  ViewSurface Surface() { return view_->Surface(); }
  ~LiveScene() { display_.reset(); }

private:
  EchoGeometry geometry_{};
  SweepStore& store_ = TheSweepStore();
  int next_ = 0;
  std::unique_ptr<SeaChartView> view_;
  ChartLayers chart_;
  FakeNavigation navigation_{kOwnShip};
  FakeRadar radar_;
  std::unique_ptr<ModuleDataSorvik> data_;
  std::unique_ptr<ModuleDisplaySorvik> display_;
  std::vector<DWORD> chartPixels_;
};

// A local socket whose other end a thread reads and drops, as a browser's connection takes the frames.
class DrainedSocket {
public:
  DrainedSocket() {
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends_) != 0) ends_[0] = ends_[1] = -1;
    reader_ = std::thread([this] {
      std::vector<char> buffer(1 << 16);
      while (read(ends_[1], buffer.data(), buffer.size()) > 0) {
      }
    });
  }
  ~DrainedSocket() {
    shutdown(ends_[0], SHUT_RDWR);
    close(ends_[0]);
    reader_.join();
    close(ends_[1]);
  }
  bool Send(const std::string& message) {
    for (std::size_t sent = 0; sent < message.size();) {
      const ssize_t written = write(ends_[0], message.data() + sent, message.size() - sent);
      if (written <= 0) return false;
      sent += static_cast<std::size_t>(written);
    }
    return true;
  }

private:
  int ends_[2];
  std::thread reader_;
};

void BM_FramesPerSecond(benchmark::State& state) {
  LiveScene scene;
  std::string error;
  if (!scene.Open(error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  FrameHub hub;
  DrainedSocket socket;
  TiledFrameEncoder encoder;
  std::uint64_t held = 0;
  double draw = 0, handover = 0, encode = 0, send = 0;
  std::size_t bytes = 0, tiles = 0;
  std::uint32_t number = 0;
  for (auto _ : state) {
    scene.Sweep();
    const double t0 = ThreadNanoseconds();
    scene.Draw();
    const double t1 = ThreadNanoseconds();
    hub.Publish(1, ++number, scene.Surface());
    const std::shared_ptr<const RawFrame> frame = hub.LatestRaw(1);
    const double t2 = ThreadNanoseconds();
    const std::shared_ptr<const EncodedFrame> encoded = encoder.Encode(frame, number);
    if (!encoded) {
      state.SkipWithError("the frame cannot be encoded");
      break;
    }
    const std::string message = FrameMessage(1, *encoded, held);
    held = encoded->serial;
    tiles += static_cast<std::size_t>(encoder.TilesEncoded());
    const double t3 = ThreadNanoseconds();
    if (!socket.Send(message)) {
      state.SkipWithError("the frame cannot be sent");
      break;
    }
    const double t4 = ThreadNanoseconds();
    draw += t1 - t0;
    handover += t2 - t1;
    encode += t3 - t2;
    send += t4 - t3;
    bytes += message.size();
  }
  const double n = static_cast<double>(state.iterations());
  const double frameNs = (draw + handover + encode + send) / n;
  state.counters["frames_per_second"] = 1e9 / frameNs;
  state.counters["draw_ms"] = draw / n / 1e6;
  state.counters["handover_ms"] = handover / n / 1e6;
  state.counters["encode_ms"] = encode / n / 1e6;
  state.counters["send_ms"] = send / n / 1e6;
  state.counters["bytes_per_frame"] = static_cast<double>(bytes) / n;
  state.counters["tiles_per_frame"] = static_cast<double>(tiles) / n;
  state.counters["core_share_at_10_fps"] = frameNs * kFramesPerSecond / 1e9;
}
BENCHMARK(BM_FramesPerSecond)->Unit(benchmark::kMillisecond)->MinTime(3.0);

enum Codec { kPng, kWebpLossless0, kWebpLossless1, kWebpLossy75 };

void BM_BytesPerFrame(benchmark::State& state) {
  const auto codec = static_cast<Codec>(state.range(0));
  LiveScene scene;
  std::string error;
  if (!scene.Open(error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  for (int i = 0; i < 5; ++i) {
    scene.Sweep();
    scene.Draw();
  }
  FrameHub hub;
  hub.Publish(1, 1, scene.Surface());
  const std::shared_ptr<const RawFrame> frame = hub.LatestRaw(1);
  PngTileEncoder png;
  std::string out;
  std::size_t bytes = 0;
  double nanoseconds = 0;
  for (auto _ : state) {
    out.clear();
    const double start = ThreadNanoseconds();
    bool encoded = false;
    switch (codec) {
      case kPng: encoded = png.Append(frame->pixels.data(), kWidth, kHeight, kWidth, out); break;
      case kWebpLossless0: encoded = AppendLosslessWebp(frame->pixels.data(), kWidth, kHeight, kWidth, 0, out); break;
      case kWebpLossless1: encoded = AppendLosslessWebp(frame->pixels.data(), kWidth, kHeight, kWidth, 1, out); break;
      case kWebpLossy75: encoded = AppendLossyWebp(frame->pixels.data(), kWidth, kHeight, kWidth, 75.0f, out); break;
    }
    nanoseconds += ThreadNanoseconds() - start;
    if (!encoded) {
      state.SkipWithError("the frame cannot be encoded");
      break;
    }
    bytes = out.size();
  }
  state.counters["bytes_per_frame"] = static_cast<double>(bytes);
  state.counters["encode_ms"] = nanoseconds / static_cast<double>(state.iterations()) / 1e6;
}
BENCHMARK(BM_BytesPerFrame)
    ->ArgName("png_0_webp_lossless_e0_1_e1_2_webp_lossy_q75_3")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
