// The radar display's own work, each against the least any implementation must do, in the same
// iterations and in processor time of the calling thread:
// - one repaint of a 1280 × 800 view with a radar disc 800 pixels across, echo and highlight passes,
//   against a plain loop that fetches the texel each disc pixel shows and alpha-blends it
//   (`ratio_to_plain_blend`);
// - a rewrite of every sweep row into the echo textures, against a memcpy of the same texel bytes
//   (`ratio_to_memcpy`).
// Both run in the normal (argument 0) and the type-approved (argument 1) geometry. Run from the staging
// folder, where the unit converter is found.
#include <benchmark/benchmark.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <vector>

#include "d3d9.h"
#include "display/echo_geometry.h"
#include "display/echo_rows.h"
#include "display/echo_texture_set.h"
#include "display/module_display_sorvik.h"
#include "display/sweep_store.h"
#include "extensions/d3d9.h"
#include "extensions/kernel32.h"
#include "module/module_data_sorvik.h"
#include "plain_blend.h"
#include "support/fake_navigation.h"
#include "support/fake_radar.h"
#include "support/test_data_module.h"
#include "support/local_chart_view.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr double kDiscRadius = 400;  // pixels of the sweep distance, one nautical mile
const PosType kOwnShip(0.9, 0.1);

double ThreadNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

const EchoGeometry& UseGeometry(bool imoMode) {
  ResetEchoGeometryForTesting();
  ConfigureEchoGeometry(imoMode);
  return GetEchoGeometry();
}

// One turn of random echo levels, none transparent, with a sweep distance of one nautical mile.
void FillTurn(SweepStore& store, const EchoGeometry& geometry) {
  std::mt19937 random(8192);
  std::vector<std::uint8_t> samples(static_cast<std::size_t>(geometry.textureSize));
  for (int row = 0; row < geometry.rows; ++row) {
    for (std::uint8_t& sample : samples) sample = static_cast<std::uint8_t>(1 + random() % 7);
    SweepRecord sweep;
    sweep.kind = kSweepKindSamples;
    sweep.samples = samples.data();
    sweep.sampleCount = static_cast<std::uint16_t>(samples.size());
    sweep.rangeSampleCount = static_cast<std::uint16_t>(samples.size());
    sweep.angle = static_cast<std::uint16_t>(row * geometry.AngleUnitsPerRow());
    sweep.heading = 0;
    store.AddSweep(&sweep, 1.0);
  }
}

// The tick count held still for the life of the object.
class FrozenTicks {
public:
  static constexpr DWORD kNow = 1'000'000;
  FrozenTicks() { SetTickCountOverride(kNow); }
  ~FrozenTicks() { ClearTickCountOverride(); }
  FrozenTicks(const FrozenTicks&) = delete;
  FrozenTicks& operator=(const FrozenTicks&) = delete;
};


// The texel each pixel of the disc shows, worked out from the picture's polar layout: the plain loop
// fetches these in the device's order, sector by sector, each sector line by line.
struct DiscTexels {
  std::vector<std::size_t> pixels;
  std::vector<std::uint32_t> places;  // texture << 24 | texel index
};

DiscTexels MapDisc(const EchoGeometry& geometry) {
  struct Entry {
    int sector;
    std::size_t pixel;
    std::uint32_t place;
  };
  std::vector<Entry> entries;
  const double sectorAngle = EchoGeometry::kSectorSpan;
  const int size = geometry.textureSize;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double east = x - kWidth / 2.0;
      const double south = y - kHeight / 2.0;
      const double radius = std::hypot(east, south);
      if (radius >= kDiscRadius) continue;
      double bearing = std::atan2(east, -south);
      if (bearing < 0) bearing += kTwoPi;
      const int sector = std::min(EchoGeometry::kSectors - 1, static_cast<int>(bearing / sectorAngle));
      const double rowInTurn = bearing / (kTwoPi) * geometry.rows;
      const int row = std::min(geometry.rows - 1, static_cast<int>(rowInTurn));
      const int sample = static_cast<int>(radius / kDiscRadius * geometry.validSamples);
      const auto texture = static_cast<std::uint32_t>(sector * EchoGeometry::kTextures / EchoGeometry::kSectors);
      entries.push_back({sector, static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x),
                         texture << 24 | static_cast<std::uint32_t>((row % size) * size + sample)});
    }
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.sector < b.sector; });
  DiscTexels disc;
  for (const Entry& entry : entries) {
    disc.pixels.push_back(entry.pixel);
    disc.places.push_back(entry.place);
  }
  return disc;
}

void BlendPlainly(const DiscTexels& disc, const std::vector<std::vector<std::uint32_t>>& texels,
                  std::vector<DWORD>& pixels) {
  for (std::size_t i = 0; i < disc.pixels.size(); ++i) {
    const std::uint32_t place = disc.places[i];
    const std::uint32_t texel = texels[place >> 24][place & 0xFFFFFFu];
    pixels[disc.pixels[i]] = PlainBlend(texel, pixels[disc.pixels[i]]);
  }
}

void BM_DisplayRepaint(benchmark::State& state) {
  const EchoGeometry& geometry = UseGeometry(state.range(0) != 0);
  SweepStore store;
  FillTurn(store, geometry);
  // The radar has just sent its sweeps, and time stands still: no transmitter status hides the echo.
  const FrozenTicks frozen;
  store.StampSweepArrival(FrozenTicks::kNow);

  std::vector<DWORD> pixels(std::size_t{kWidth} * kHeight, 0xFF203040u);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  IDirect3DDevice9* device = nullptr;
  CreateViewDevice(d3d, {pixels.data(), kWidth, kHeight, kWidth * 4}, &device);
  TestRenderContext context(device);
  LocalChartView view(kWidth, kHeight, kOwnShip, kDiscRadius, &context);

  FakeNavigation navigation(kOwnShip);
  FakeRadar radar;
  ModuleDataSorvik data;
  data.ConnectSettings(&navigation, nullptr, false, radar.Accessor());
  if (!SwitchRealTimeOn(data)) {  // real time, so that the highlight pass runs too
    state.SkipWithError("the radar settings cannot be written");
    return;
  }
  auto display = std::make_unique<ModuleDisplaySorvik>(&data, store);
  display->PollRedraw();
  display->Draw(&view, 0, nullptr, 0);  // creates the textures
  display->PollRedraw();
  std::fill(pixels.begin(), pixels.end(), 0u);
  display->Draw(&view, 0, nullptr, 0);  // computes the outlines
  // Every pixel of the disc whose texel is not transparent shows the echo.
  const auto displayPixels = std::count_if(pixels.begin(), pixels.end(), [](DWORD pixel) { return pixel != 0; });

  // The texels the plain loop fetches: the display's own, read back from its textures.
  std::vector<std::vector<std::uint32_t>> texels;
  for (int slot = 0; slot < EchoGeometry::kTextures; ++slot) {
    IDirect3DTexture9* texture = display->Textures().Texture(slot);
    D3DLOCKED_RECT locked{};
    if (texture == nullptr || texture->LockRect(0, &locked, nullptr, 0) != D3D_OK) {
      state.SkipWithError("the display has no echo textures");
      return;
    }
    const auto size = static_cast<std::size_t>(geometry.textureSize);
    texels.emplace_back(size * size);
    for (std::size_t line = 0; line < size; ++line) {
      std::memcpy(&texels.back()[line * size], static_cast<const std::uint8_t*>(locked.pBits) + line * locked.Pitch,
                  size * 4);
    }
    texture->UnlockRect(0);
  }
  const DiscTexels disc = MapDisc(geometry);

  double displayNanoseconds = 0;
  double plainNanoseconds = 0;
  for (auto _ : state) {
    const double start = ThreadNanoseconds();
    display->Draw(&view, 0, nullptr, 0);
    const double displayEnd = ThreadNanoseconds();
    BlendPlainly(disc, texels, pixels);
    plainNanoseconds += ThreadNanoseconds() - displayEnd;
    displayNanoseconds += displayEnd - start;
    benchmark::DoNotOptimize(pixels.data());
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["display_ms"] = displayNanoseconds / iterations / 1e6;
  state.counters["plain_blend_ms"] = plainNanoseconds / iterations / 1e6;
  state.counters["ratio_to_plain_blend"] = displayNanoseconds / plainNanoseconds;
  state.counters["disc_pixels"] = static_cast<double>(disc.pixels.size());
  state.counters["display_pixels"] = static_cast<double>(displayPixels);

  display.reset();
  device->Release();
  d3d->Release();
}
BENCHMARK(BM_DisplayRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EchoRowRewrite(benchmark::State& state) {
  const EchoGeometry& geometry = UseGeometry(state.range(0) != 0);
  SweepStore store;
  FillTurn(store, geometry);
  std::vector<DWORD> pixels(16 * 16);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  IDirect3DDevice9* device = nullptr;
  CreateViewDevice(d3d, {pixels.data(), 16, 16, 16 * 4}, &device);
  {
    EchoTextureSet textures(geometry);
    if (!textures.Create(device)) {
      state.SkipWithError("no echo textures");
    } else {
      const std::size_t bytes = std::size_t{4} * geometry.textureSize * static_cast<std::size_t>(geometry.rows);
      std::vector<std::uint8_t> source(bytes, 0x5A);
      std::vector<std::uint8_t> destination(bytes);
      double rewriteNanoseconds = 0;
      double copyNanoseconds = 0;
      for (auto _ : state) {
        const double start = ThreadNanoseconds();
        UpdateEchoRows(2, 3, {0, geometry.rows}, store, &textures);
        const double rewriteEnd = ThreadNanoseconds();
        std::memcpy(destination.data(), source.data(), bytes);
        benchmark::DoNotOptimize(destination.data());
        copyNanoseconds += ThreadNanoseconds() - rewriteEnd;
        rewriteNanoseconds += rewriteEnd - start;
      }
      const double iterations = static_cast<double>(state.iterations());
      state.counters["rewrite_ms"] = rewriteNanoseconds / iterations / 1e6;
      state.counters["memcpy_ms"] = copyNanoseconds / iterations / 1e6;
      state.counters["ratio_to_memcpy"] = rewriteNanoseconds / copyNanoseconds;
    }
  }
  device->Release();
  d3d->Release();
}
BENCHMARK(BM_EchoRowRewrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
