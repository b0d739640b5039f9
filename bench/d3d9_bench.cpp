// The software Direct3D 9 device drawing a radar picture: a disc 800 pixels across on a 1280 × 800 view,
// cut into 128 sectors drawn as textured, alpha-blended strips of eleven vertices, each from a vertex
// buffer made for the draw, as the radar display draws them. Against it, in the same iterations, a
// plain loop that fetches the same texels and alpha-blends the same pixels: the least any renderer of
// the picture must do (`ratio_to_plain_blend`). A second loop reads its texels along texture rows
// instead, showing what the picture's rotated texture reads cost in memory traffic alone
// (`ratio_to_sequential_blend`). All are timed in processor time of the calling thread.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <numbers>
#include <random>
#include <vector>

#include "d3d9.h"
#include "extensions/d3d9.h"
#include "plain_blend.h"

namespace {

constexpr UINT kWidth = 1280;
constexpr UINT kHeight = 800;
constexpr double kCentreX = 640;
constexpr double kCentreY = 400;
constexpr double kRadius = 400;
constexpr int kSectors = 128;
constexpr int kTextures = 8;
constexpr UINT kTextureSize = 1024;
constexpr double kValidSamples = 884;
constexpr DWORD kBackground = 0xFF203040u;

struct EchoVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};
constexpr DWORD kEchoFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

double ThreadNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Echo texels: one colour with an opacity that varies from texel to texel, as mapped echo levels do;
// never below half, so that every drawn pixel shows in the coverage counts.
std::vector<DWORD> EchoTexels(std::mt19937& random) {
  std::vector<DWORD> texels(std::size_t{kTextureSize} * kTextureSize);
  for (DWORD& texel : texels) texel = ((random() | 0x80000000u) & 0xFF000000u) | 0x0079F23Bu;
  return texels;
}

class RadarPicture {
public:
  RadarPicture() : pixels_(std::size_t{kWidth} * kHeight, kBackground) {
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    CreateViewDevice(d3d_, {pixels_.data(), kWidth, kHeight, kWidth * 4}, &device_);
    std::mt19937 random(4096);
    for (IDirect3DTexture9*& texture : textures_) {
      texels_.push_back(EchoTexels(random));
      if (device_->CreateTexture(kTextureSize, kTextureSize, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                 nullptr) != D3D_OK) {
        return;
      }
    }
    MapTexels();
  }
  ~RadarPicture() {
    for (IDirect3DTexture9* texture : textures_) {
      if (texture) texture->Release();
    }
    device_->Release();
    d3d_->Release();
  }
  RadarPicture(const RadarPicture&) = delete;
  RadarPicture& operator=(const RadarPicture&) = delete;

  bool Ready() const { return device_ != nullptr && textures_[kTextures - 1] != nullptr; }

  void DrawWithDevice() {
    device_->BeginScene();
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    for (int sector = 0; sector < kSectors; ++sector) DrawSector(sector);
    device_->EndScene();
  }

  // The texel each pixel of the disc shows, found by drawing the disc once with textures whose texels
  // hold their own place; the plain loop then fetches exactly the texels the device fetches.
  void MapTexels() {
    std::vector<DWORD> places(std::size_t{kTextureSize} * kTextureSize);
    for (int t = 0; t < kTextures; ++t) {
      for (std::size_t i = 0; i < places.size(); ++i) places[i] = kPlaceMark | (t << 20) | static_cast<DWORD>(i);
      Fill(textures_[t], places);
    }
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    Clear();
    device_->BeginScene();
    for (int sector = 0; sector < kSectors; ++sector) DrawSector(sector);
    device_->EndScene();
    spans_.clear();
    texelPlaces_.clear();
    for (UINT y = 0; y < kHeight; ++y) {
      for (UINT x = 0; x < kWidth; ++x) {
        const DWORD pixel = pixels_[std::size_t{y} * kWidth + x];
        if ((pixel & 0xFF000000u) != kPlaceMark) continue;
        if (spans_.empty() || spans_.back().end != std::size_t{y} * kWidth + x) {
          spans_.push_back({std::size_t{y} * kWidth + x, std::size_t{y} * kWidth + x});
        }
        ++spans_.back().end;
        texelPlaces_.push_back(pixel & 0x00FFFFFFu);
      }
    }
    for (int t = 0; t < kTextures; ++t) Fill(textures_[t], texels_[t]);
    Clear();
  }

  // The disc's pixels, each blended with its texel by the texel's opacity.
  void DrawPlainly() {
    const std::uint32_t* place = texelPlaces_.data();
    for (const Span& span : spans_) {
      for (std::size_t i = span.begin; i < span.end; ++i, ++place) {
        const std::uint32_t texel = texels_[*place >> 20][*place & 0xFFFFFu];
        pixels_[i] = PlainBlend(texel, pixels_[i]);
      }
    }
  }

  // The same pixels blended with texels read along texture rows, as a picture without rotation reads
  // them: what the rotated, polar layout of the echo textures costs in memory traffic, for any renderer.
  void DrawSequentially() {
    const std::uint32_t* texels = texels_[0].data();
    for (const Span& span : spans_) {
      const std::size_t y = span.begin / kWidth;
      const std::uint32_t* line = texels + (y % kTextureSize) * kTextureSize;
      for (std::size_t i = span.begin; i < span.end; ++i) {
        const std::uint32_t texel = line[i % kTextureSize];
        pixels_[i] = PlainBlend(texel, pixels_[i]);
      }
    }
  }

  int CoveredPixels() const {
    int covered = 0;
    for (DWORD pixel : pixels_) covered += pixel != kBackground;
    return covered;
  }
  void Clear() { std::fill(pixels_.begin(), pixels_.end(), kBackground); }

private:
  static constexpr DWORD kPlaceMark = 0x5A000000u;
  struct Span {
    std::size_t begin, end;  // pixel indices
  };

  static void Fill(IDirect3DTexture9* texture, const std::vector<DWORD>& texels) {
    D3DLOCKED_RECT locked{};
    if (texture->LockRect(0, &locked, nullptr, 0) != D3D_OK) return;
    for (UINT y = 0; y < kTextureSize; ++y) {
      std::memcpy(static_cast<unsigned char*>(locked.pBits) + std::size_t(locked.Pitch) * y,
                  &texels[std::size_t{y} * kTextureSize], kTextureSize * 4);
    }
    texture->UnlockRect(0);
  }

  // A sector as the radar display draws it: the centre, then a pair of points at each fifth of the
  // radius on the sector's two bearings, with the sector's band of texture rows along v.
  void DrawSector(int sector) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (device_->CreateVertexBuffer(11 * sizeof(EchoVertex), 0, kEchoFormat, D3DPOOL_DEFAULT, &buffer, nullptr) !=
        D3D_OK) {
      return;
    }
    const double start = 2 * std::numbers::pi * sector / kSectors;
    const double end = 2 * std::numbers::pi * (sector + 1) / kSectors;
    const float bandStart = static_cast<float>(sector % (kSectors / kTextures)) / (kSectors / kTextures);
    const float bandEnd = bandStart + 1.0f / (kSectors / kTextures);
    const D3DCOLOR diffuse = 0xE0FFFFFFu;
    EchoVertex vertices[11];
    vertices[0] = {static_cast<float>(kCentreX), static_cast<float>(kCentreY), 0.5f, 1, diffuse, 0,
                   (bandStart + bandEnd) / 2};
    for (int ring = 1; ring <= 5; ++ring) {
      const double radius = kRadius * ring / 5;
      const float u = static_cast<float>(ring * 0.2 * kValidSamples / kTextureSize);
      vertices[2 * ring - 1] = {static_cast<float>(kCentreX + radius * std::sin(start)),
                                static_cast<float>(kCentreY - radius * std::cos(start)),
                                0.5f,
                                1,
                                diffuse,
                                u,
                                bandStart};
      vertices[2 * ring] = {static_cast<float>(kCentreX + radius * std::sin(end)),
                            static_cast<float>(kCentreY - radius * std::cos(end)),
                            0.5f,
                            1,
                            diffuse,
                            u,
                            bandEnd};
    }
    void* data = nullptr;
    if (buffer->Lock(0, sizeof vertices, &data, 0) == D3D_OK) {
      std::memcpy(data, vertices, sizeof vertices);
      buffer->Unlock();
      device_->SetStreamSource(0, buffer, 0, sizeof(EchoVertex));
      device_->SetFVF(kEchoFormat);
      device_->SetTexture(0, textures_[sector * kTextures / kSectors]);
      device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 9);
    }
    device_->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
  }

  std::vector<DWORD> pixels_;
  std::vector<std::vector<DWORD>> texels_;
  std::vector<Span> spans_;
  std::vector<std::uint32_t> texelPlaces_;  // texture << 20 | texel index, pixel by pixel along the spans
  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  IDirect3DTexture9* textures_[kTextures] = {};
};

void BM_EchoDisc(benchmark::State& state) {
  RadarPicture picture;
  if (!picture.Ready()) {
    state.SkipWithError("the device could not be set up");
    return;
  }
  picture.Clear();
  picture.DrawWithDevice();
  const int deviceCovered = picture.CoveredPixels();
  picture.Clear();
  picture.DrawPlainly();
  const int plainCovered = picture.CoveredPixels();

  double deviceNanoseconds = 0;
  double plainNanoseconds = 0;
  double sequentialNanoseconds = 0;
  for (auto _ : state) {
    const double start = ThreadNanoseconds();
    picture.DrawWithDevice();
    const double deviceEnd = ThreadNanoseconds();
    picture.DrawPlainly();
    const double plainEnd = ThreadNanoseconds();
    picture.DrawSequentially();
    deviceNanoseconds += deviceEnd - start;
    plainNanoseconds += plainEnd - deviceEnd;
    sequentialNanoseconds += ThreadNanoseconds() - plainEnd;
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["device_ms"] = deviceNanoseconds / iterations / 1e6;
  state.counters["plain_blend_ms"] = plainNanoseconds / iterations / 1e6;
  state.counters["ratio_to_plain_blend"] = deviceNanoseconds / plainNanoseconds;
  state.counters["sequential_blend_ms"] = sequentialNanoseconds / iterations / 1e6;
  state.counters["ratio_to_sequential_blend"] = deviceNanoseconds / sequentialNanoseconds;
  state.counters["device_pixels"] = deviceCovered;
  state.counters["plain_pixels"] = plainCovered;
}
BENCHMARK(BM_EchoDisc)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
