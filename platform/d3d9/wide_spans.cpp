#include "wide_spans.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "pixel_stages.h"

// The lane helpers below are flattened into the renderers: no vector crosses a call, whatever the
// calling convention of either instruction set says about vector arguments.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace d3d9 {

namespace {

constexpr int kLanes = 8;
using Pixels = std::uint32_t __attribute__((vector_size(4 * kLanes)));
using Bytes = std::uint8_t __attribute__((vector_size(4 * kLanes)));
using Channels = std::uint16_t __attribute__((vector_size(8 * kLanes)));  // b, g, r, a of each pixel
using Coordinates = std::int64_t __attribute__((vector_size(8 * kLanes)));
using UnsignedCoordinates = std::uint64_t __attribute__((vector_size(8 * kLanes)));

Pixels Splat(std::uint32_t value) { return Pixels{} + value; }

Channels Widen(Pixels pixels) { return __builtin_convertvector(std::bit_cast<Bytes>(pixels), Channels); }

Pixels Narrow(Channels channels) {
  return std::bit_cast<Pixels>(__builtin_convertvector(channels, Bytes));
}

// Each channel's a × b / 255 rounded to nearest, as MultiplyChannels.
Channels MultiplyChannels(Channels a, Channels b) {
  const Channels x = a * b + 128;
  return (x + (x >> 8)) >> 8;
}

// Every channel of a pixel replaced by that pixel's alpha.
Channels Alphas(Channels channels) {
  constexpr Channels kAlphaOfEach = {3,  3,  3,  3,  7,  7,  7,  7,  11, 11, 11, 11, 15, 15, 15, 15,
                                     19, 19, 19, 19, 23, 23, 23, 23, 27, 27, 27, 27, 31, 31, 31, 31};
  return __builtin_shuffle(channels, kAlphaOfEach);
}

// The texel index each lane's fixed-point coordinate falls on, as the samplers round it: the top half
// of the rounded coordinate, whose low 32 bits a logical shift gives as well as an arithmetic one.
Pixels TexelIndices(Coordinates coordinates) {
  const auto rounded = std::bit_cast<UnsignedCoordinates>(coordinates + kTexelRounding);
  return __builtin_convertvector(rounded >> kTexelFractionBits, Pixels);
}

// --- Sources: the colour of each pixel out of texture stage 0 -----------------------------------------

struct FlatColour {
  Pixels colour;

  FlatColour(const TriangleAttributes& attributes, const PixelPipeline&) : colour(Splat(attributes.flatColour)) {}
  void StartSpan(int, int) {}
  Pixels Next() const { return colour; }
};

// Point sampling with wrap addressing on power-of-two sides, as WrappedPointSampler, times the flat
// colour, as ModulateCombine.
struct ModulatedTexels {
  TexelCursor cursor;
  const std::uint32_t* texels;
  std::uint32_t tileRowPitch;
  std::uint32_t maskU;
  std::uint32_t maskV;
  std::uint32_t alphaFill;
  Channels diffuse;
  Coordinates u{};
  Coordinates v{};
  Coordinates laneU;  // from the first lane to each
  Coordinates laneV;

  ModulatedTexels(const TriangleAttributes& attributes, const PixelPipeline& pipeline)
      : cursor(attributes),
        texels(pipeline.texture.texels),
        tileRowPitch(static_cast<std::uint32_t>(pipeline.texture.tileRowPitch)),
        maskU(static_cast<std::uint32_t>(pipeline.texture.width - 1)),
        maskV(static_cast<std::uint32_t>(pipeline.texture.height - 1)),
        alphaFill(pipeline.texture.alphaFill),
        diffuse(Widen(Splat(attributes.flatColour))) {
    constexpr Coordinates kLaneIndex = {0, 1, 2, 3, 4, 5, 6, 7};
    laneU = kLaneIndex * cursor.du;
    laneV = kLaneIndex * cursor.dv;
  }
  void StartSpan(int y, int left) {
    cursor.StartSpan(y, left);
    u = cursor.u + laneU;
    v = cursor.v + laneV;
  }
  Pixels Next() {
    using Indices = Pixels;
    // The texel's integer coordinate is the top half of the fixed-point one, after rounding.
    const Indices x = TexelIndices(u) & maskU;
    const Indices y = TexelIndices(v) & maskV;
    constexpr std::uint32_t kInTile = kTileSide - 1;
    const Indices offsets = (y >> kTileSideBits) * tileRowPitch + ((x & ~kInTile) << kTileSideBits) +
                            ((y & kInTile) << kTileSideBits) + (x & kInTile);
    Pixels texel;
    for (int lane = 0; lane < kLanes; ++lane) texel[lane] = texels[offsets[lane]];
    u += kLanes * cursor.du;
    v += kLanes * cursor.dv;
    return Narrow(MultiplyChannels(Widen(texel | alphaFill), diffuse));
  }
};

// --- Blends --------------------------------------------------------------------------------------------

struct Replace {
  Pixels operator()(Pixels source, Pixels) const { return source; }
};

// source × alpha + destination × (255 − alpha), every channel, as BlendOver.
struct SourceAlpha {
  Pixels operator()(Pixels source, Pixels destination) const {
    const Channels s = Widen(source);
    const Channels alpha = Alphas(s);
    const Channels sum = s * alpha + Widen(destination) * (255 - alpha) + 128;
    return Narrow((sum + (sum >> 8)) >> 8);
  }
};

template <class Source, class Blend>
void RenderSpans(TriangleCoverage& coverage, const TriangleAttributes& attributes,
                                  const PixelPipeline& pipeline, const RenderTarget& target) {
  Source source(attributes, pipeline);
  const Blend blend;
  coverage.ForEachSpan([&](int y, int left, int right) {
    source.StartSpan(y, left);
    std::uint32_t* row = target.pixels + static_cast<std::ptrdiff_t>(y) * target.pitch;
    if (y + 1 < target.height) {
      // A thin triangle meets each line of the view only briefly: ask early for the pixels below.
      const std::uint32_t* below = row + target.pitch;
      for (int x = left; x <= right; x += 16) __builtin_prefetch(below + x, 1);
      __builtin_prefetch(below + right, 1);
    }
    std::uint32_t* pixel = row + left;
    int count = right - left + 1;
    for (; count >= kLanes; count -= kLanes, pixel += kLanes) {
      Pixels destination;
      std::memcpy(&destination, pixel, sizeof destination);
      const Pixels result = blend(source.Next(), destination);
      std::memcpy(pixel, &result, sizeof result);
    }
    if (count > 0) {
      // The last pixels of the span in lanes of their own; the lanes past its end are dropped.
      Pixels destination{};
      std::memcpy(&destination, pixel, sizeof(std::uint32_t) * static_cast<std::size_t>(count));
      const Pixels result = blend(source.Next(), destination);
      std::memcpy(pixel, &result, sizeof(std::uint32_t) * static_cast<std::size_t>(count));
    }
  });
}

// Each renderer in two forms: for any x86-64 processor (SSE2) and for one with AVX2. Flattening puts
// every step into the renderer itself, so each form runs wholly on its own instruction set.
template <class Source, class Blend>
__attribute__((flatten)) void RenderSpansSse2(TriangleCoverage& coverage, const TriangleAttributes& attributes,
                                              const PixelPipeline& pipeline, const RenderTarget& target) {
  RenderSpans<Source, Blend>(coverage, attributes, pipeline, target);
}

template <class Source, class Blend>
__attribute__((target("avx2"), flatten)) void RenderSpansAvx2(TriangleCoverage& coverage,
                                                              const TriangleAttributes& attributes,
                                                              const PixelPipeline& pipeline,
                                                              const RenderTarget& target) {
  RenderSpans<Source, Blend>(coverage, attributes, pipeline, target);
}

template <class Source, class Blend>
TriangleRenderer ForProcessor() {
  static const bool kHasAvx2 = __builtin_cpu_supports("avx2");
  return kHasAvx2 ? &RenderSpansAvx2<Source, Blend> : &RenderSpansSse2<Source, Blend>;
}

}  // namespace

TriangleRenderer WideSpanRenderer(WideSource source, WideBlend blend) {
  const bool over = blend == WideBlend::kSourceAlpha;
  if (source == WideSource::kFlatColour) {
    return over ? ForProcessor<FlatColour, SourceAlpha>() : ForProcessor<FlatColour, Replace>();
  }
  return over ? ForProcessor<ModulatedTexels, SourceAlpha>() : ForProcessor<ModulatedTexels, Replace>();
}

}  // namespace d3d9
