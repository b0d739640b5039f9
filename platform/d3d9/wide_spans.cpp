// The lane helpers here are flattened into the renderers in an optimised build, and the one helper built
// for AVX2 alone (the gather) takes and gives its vectors by reference: no vector crosses a call between
// the two instruction sets, whatever their calling conventions say about vector arguments.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "wide_spans.h"

#include <immintrin.h>

#include <bit>
#include <cstdint>
#include <cstring>

#include "pixel_stages.h"
#include "texel_view.h"

namespace d3d9 {

namespace {

constexpr int kLanes = 8;
// How many rows below a span the texels under its pixels are asked for ahead of their use.
constexpr int kRowsAhead = 1;
using Pixels = std::uint32_t __attribute__((vector_size(4 * kLanes)));
// Two 8-bit channels of a pixel in the two 16-bit halves of its lane, as the scalar helpers pair them.
using ChannelPairs = std::uint16_t __attribute__((vector_size(4 * kLanes)));

constexpr std::uint32_t kEvenChannels = 0x00FF00FFu;

Pixels Splat(std::uint32_t value) { return Pixels{} + value; }

// Each 16-bit half (at most 255 × 255) divided by 255 and rounded to nearest, as DivideLanesBy255.
Pixels DivideBy255(ChannelPairs products) {
  const ChannelPairs x = products + 128;
  return std::bit_cast<Pixels>((x + (x >> 8)) >> 8) & kEvenChannels;
}

ChannelPairs Pairs(Pixels lanes) { return std::bit_cast<ChannelPairs>(lanes); }

// Each channel of `a` times the same channel of `b`, over 255, as Modulate.
Pixels Modulate(Pixels a, Pixels b) {
  const Pixels blueRed = DivideBy255(Pairs(a & kEvenChannels) * Pairs(b & kEvenChannels));
  const Pixels greenAlpha = DivideBy255(Pairs((a >> 8) & kEvenChannels) * Pairs((b >> 8) & kEvenChannels));
  return blueRed | (greenAlpha << 8);
}

// A 64-bit fixed-point texel coordinate per lane, as its integer and fractional halves: the lanes of
// AVX2 and SSE2 add 32-bit values, and a carry out of the fraction moves the integer on.
struct LaneCoordinates {
  Pixels whole{};
  Pixels fraction{};

  static LaneCoordinates Of(const std::int64_t (&values)[kLanes]) {
    LaneCoordinates lanes;
    for (int lane = 0; lane < kLanes; ++lane) {
      const auto value = static_cast<std::uint64_t>(values[lane]);
      lanes.whole[lane] = static_cast<std::uint32_t>(value >> 32);
      lanes.fraction[lane] = static_cast<std::uint32_t>(value);
    }
    return lanes;
  }
  void Add(std::uint64_t step) {
    const Pixels sum = fraction + static_cast<std::uint32_t>(step);
    // A lane whose fraction wrapped compares true, all ones: subtracting it adds the carry.
    whole = whole + static_cast<std::uint32_t>(step >> 32) - std::bit_cast<Pixels>(sum < fraction);
    fraction = sum;
  }
};

// Loads the texel at each lane's offset: one by one, or with AVX2's gather. Vectors go in and out by
// reference: where a build does not inline the call (an unoptimised one), a vector passed by value from
// code without AVX arrives in another place than AVX code looks for it.
struct LoadOneByOne {
  static void Load(const std::uint32_t* texels, const Pixels& offsets, Pixels& loaded) {
    for (int lane = 0; lane < kLanes; ++lane) loaded[lane] = texels[offsets[lane]];
  }
};

struct GatherWithAvx2 {
  __attribute__((target("avx2"))) static void Load(const std::uint32_t* texels, const Pixels& offsets,
                                                   Pixels& loaded) {
    const __m256i lanes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&offsets));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(&loaded),
                        _mm256_i32gather_epi32(reinterpret_cast<const int*>(texels), lanes, 4));
  }
};

// --- Sources: the colour of each pixel out of texture stage 0 -----------------------------------------

template <class>
struct FlatColour {
  Pixels colour;

  FlatColour(const TriangleAttributes& attributes, const PixelPipeline&) : colour(Splat(attributes.flatColour)) {}
  void StartSpan(int, int) {}
  Pixels Next() const { return colour; }
};

// Point sampling with wrap addressing on power-of-two sides, as WrappedPointSampler, times the flat
// colour, as ModulateCombine.
template <class Loader>
struct ModulatedTexels {
  TexelCursor cursor;
  const std::uint32_t* texels;
  std::uint32_t tileRowPitch;
  std::uint32_t maskU;
  std::uint32_t maskV;
  std::uint32_t alphaFill;
  Pixels diffuse;
  LaneCoordinates u;  // rounded as the samplers round, so that the whole half is the texel's index
  LaneCoordinates v;
  LaneCoordinates uBelow;  // the same pixels one row down
  LaneCoordinates vBelow;
  std::uint64_t stepU = 0;  // from one batch of lanes to the next
  std::uint64_t stepV = 0;

  ModulatedTexels(const TriangleAttributes& attributes, const PixelPipeline& pipeline)
      : cursor(attributes),
        texels(pipeline.texture.texels),
        tileRowPitch(static_cast<std::uint32_t>(pipeline.texture.tileRowPitch)),
        maskU(static_cast<std::uint32_t>(pipeline.texture.width - 1)),
        maskV(static_cast<std::uint32_t>(pipeline.texture.height - 1)),
        alphaFill(pipeline.texture.alphaFill),
        diffuse(Splat(attributes.flatColour)),
        stepU(static_cast<std::uint64_t>(kLanes * cursor.du)),
        stepV(static_cast<std::uint64_t>(kLanes * cursor.dv)) {}
  void StartSpan(int y, int left) {
    cursor.StartSpan(y, left);
    std::int64_t us[kLanes], vs[kLanes];
    for (int lane = 0; lane < kLanes; ++lane) {
      us[lane] = cursor.u + kTexelRounding + lane * cursor.du;
      vs[lane] = cursor.v + kTexelRounding + lane * cursor.dv;
    }
    u = LaneCoordinates::Of(us);
    v = LaneCoordinates::Of(vs);
    for (int lane = 0; lane < kLanes; ++lane) {
      us[lane] += kRowsAhead * cursor.duDown;
      vs[lane] += kRowsAhead * cursor.dvDown;
    }
    uBelow = LaneCoordinates::Of(us);
    vBelow = LaneCoordinates::Of(vs);
  }
  Pixels Next() {
    const Pixels offsets = Offsets(u, v);
    // The texels under the same pixels one row down, which the next span most likely reads: a slanted
    // read finds them in memory rather than in cache, and asking now overlaps that wait with this work.
    const Pixels below = Offsets(uBelow, vBelow);
    for (int lane = 0; lane < kLanes; ++lane) __builtin_prefetch(texels + below[lane]);
    Pixels texel;
    Loader::Load(texels, offsets, texel);
    for (LaneCoordinates* coordinates : {&u, &uBelow}) coordinates->Add(stepU);
    for (LaneCoordinates* coordinates : {&v, &vBelow}) coordinates->Add(stepV);
    return Modulate(texel | alphaFill, diffuse);
  }
  Pixels Offsets(const LaneCoordinates& atU, const LaneCoordinates& atV) const {
    const Pixels x = atU.whole & maskU;
    const Pixels y = atV.whole & maskV;
    return TiledOffset(x, y, tileRowPitch);
  }
};

// --- Blends --------------------------------------------------------------------------------------------

struct Replace {
  Pixels operator()(Pixels source, Pixels) const { return source; }
};

// source × alpha + destination × (255 − alpha), every channel, as BlendOver.
struct SourceAlpha {
  Pixels operator()(Pixels source, Pixels destination) const {
    const Pixels alpha = source >> 24;
    const ChannelPairs alphas = Pairs(alpha | (alpha << 16));
    const ChannelPairs inverse = 255 - alphas;
    const Pixels blueRed =
        DivideBy255(Pairs(source & kEvenChannels) * alphas + Pairs(destination & kEvenChannels) * inverse);
    const Pixels greenAlpha = DivideBy255(Pairs((source >> 8) & kEvenChannels) * alphas +
                                          Pairs((destination >> 8) & kEvenChannels) * inverse);
    return blueRed | (greenAlpha << 8);
  }
};

template <class Source, class Blend>
void RenderSpans(TriangleCoverage& coverage, const TriangleAttributes& attributes, const PixelPipeline& pipeline,
                 const RenderTarget& target) {
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
template <template <class> class Source, class Blend>
__attribute__((flatten)) void RenderSpansSse2(TriangleCoverage& coverage, const TriangleAttributes& attributes,
                                              const PixelPipeline& pipeline, const RenderTarget& target) {
  RenderSpans<Source<LoadOneByOne>, Blend>(coverage, attributes, pipeline, target);
}

template <template <class> class Source, class Blend>
__attribute__((target("avx2"), flatten)) void RenderSpansAvx2(TriangleCoverage& coverage,
                                                              const TriangleAttributes& attributes,
                                                              const PixelPipeline& pipeline,
                                                              const RenderTarget& target) {
  RenderSpans<Source<GatherWithAvx2>, Blend>(coverage, attributes, pipeline, target);
}

template <template <class> class Source, class Blend>
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
