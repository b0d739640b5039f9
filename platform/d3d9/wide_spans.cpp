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
// How many pixels, in drawing order, the texels and view pixels are asked for ahead of their use: a
// triangle's spans are mostly a few pixels long, so the requests run ahead over the rows to come
// rather than along the row being drawn.
constexpr int kPixelsAhead = 128;
using Pixels = std::uint32_t __attribute__((vector_size(4 * kLanes)));
// Two 8-bit channels of a pixel in the two 16-bit halves of its lane, as the scalar helpers pair them.
using ChannelPairs = std::uint16_t __attribute__((vector_size(4 * kLanes)));

constexpr std::uint32_t kEvenChannels = 0x00FF00FFu;

Pixels Splat(std::uint32_t value) { return Pixels{} + value; }

// Asks for the line of memory at `address` ahead of its use, into the second-level cache: nearly every
// texel of a rotated picture lies on a line of its own, and the first-level cache holds too few lines in
// flight to ask far enough ahead (measured: 1.39-1.48 times the sequential blend asking for the
// first-level cache 32 pixels ahead, 1.21-1.23 asking for the second 128 ahead). A request is kept even
// where nothing else comes of the code around it: the compiler may drop a plain prefetch builtin along
// with a loop that only computes its addresses.
void Prefetch(const void* address) { asm volatile("prefetcht1 %0" : : "m"(*static_cast<const char*>(address))); }

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

// A texel coordinate per lane, in the samplers' fixed point of 32 fractional bits, as two vectors of
// four 64-bit lanes: vectors of the width the instruction sets work on, so that nothing is split
// through memory. The texel's index is the upper half of each lane.
using FourCoordinates = std::uint64_t __attribute__((vector_size(32)));
struct Coordinates {
  FourCoordinates first{};  // lanes 0 to 3
  FourCoordinates last{};   // lanes 4 to 7

  static Coordinates Of(const std::int64_t (&values)[kLanes]) {
    Coordinates lanes;
    for (int lane = 0; lane < 4; ++lane) {
      lanes.first[lane] = static_cast<std::uint64_t>(values[lane]);
      lanes.last[lane] = static_cast<std::uint64_t>(values[lane + 4]);
    }
    return lanes;
  }
  Coordinates Plus(std::uint64_t step) const { return {first + step, last + step}; }
  Pixels WholeTexels() const {
    return __builtin_shufflevector(std::bit_cast<Pixels>(first), std::bit_cast<Pixels>(last), 1, 3, 5, 7, 9, 11, 13,
                                   15);
  }
};

// The steps whose best form depends on the instruction set: loading the texel at each lane's offset,
// and reading and writing the first few pixels of a span's last lanes. Vectors go in and out by
// reference: where a build does not inline the call (an unoptimised one), a vector passed by value from
// code without AVX arrives in another place than AVX code looks for it.
struct Sse2Lanes {
  static void Gather(const std::uint32_t* texels, const Pixels& offsets, Pixels& loaded) {
    for (int lane = 0; lane < kLanes; ++lane) loaded[lane] = texels[offsets[lane]];
  }
  // The first `count` (fewer than kLanes) pixels at `pixels`; the other lanes are zero.
  static void LoadFirst(const std::uint32_t* pixels, int count, Pixels& loaded) {
    loaded = Pixels{};
    for (int lane = 0; lane < count; ++lane) loaded[lane] = pixels[lane];
  }
  static void StoreFirst(std::uint32_t* pixels, int count, const Pixels& values) {
    for (int lane = 0; lane < count; ++lane) pixels[lane] = values[lane];
  }
  static bool AllZero(const Pixels& values) {
    std::uint32_t any = 0;
    for (int lane = 0; lane < kLanes; ++lane) any |= values[lane];
    return any == 0;
  }
};

struct Avx2Lanes {
  __attribute__((target("avx2"))) static void Gather(const std::uint32_t* texels, const Pixels& offsets,
                                                     Pixels& loaded) {
    const __m256i lanes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&offsets));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(&loaded),
                        _mm256_i32gather_epi32(reinterpret_cast<const int*>(texels), lanes, 4));
  }
  // Masked moves touch no pixel past the span, not even to read it.
  __attribute__((target("avx2"))) static void LoadFirst(const std::uint32_t* pixels, int count, Pixels& loaded) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(&loaded),
                        _mm256_maskload_epi32(reinterpret_cast<const int*>(pixels), FirstLanes(count)));
  }
  __attribute__((target("avx2"))) static void StoreFirst(std::uint32_t* pixels, int count, const Pixels& values) {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(pixels), FirstLanes(count),
                           _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&values)));
  }

  __attribute__((target("avx2"))) static bool AllZero(const Pixels& values) {
    const __m256i lanes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&values));
    return _mm256_testz_si256(lanes, lanes) != 0;
  }

private:
  __attribute__((target("avx2"))) static __m256i FirstLanes(int count) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  }
};

// --- Sources: the colour of each pixel out of texture stage 0 -----------------------------------------

template <class>
struct FlatColour {
  Pixels colour;

  FlatColour(const TriangleAttributes& attributes, const PixelPipeline&) : colour(Splat(attributes.flatColour)) {}
  struct SpanStart {};
  SpanStart Prefetch(const CoveredSpan&) const { return {}; }
  void StartSpan(const SpanStart&) {}
  Pixels Next() const { return colour; }
};

// Point sampling with wrap addressing on power-of-two sides, as WrappedPointSampler, times the flat
// colour, as ModulateCombine.
template <class Lanes>
struct ModulatedTexels {
  TexelCursor cursor;
  const std::uint32_t* texels;
  std::uint32_t tileRowPitch;
  std::uint32_t maskU;
  std::uint32_t maskV;
  std::uint32_t alphaFill;
  Pixels diffuse;
  // Each lane's distance from the span's first pixel, with the samplers' rounding, so that the whole
  // half of a coordinate is the texel's index.
  Coordinates laneU{};
  Coordinates laneV{};
  std::uint64_t stepU;  // from one batch of lanes to the next
  std::uint64_t stepV;
  Coordinates u{};
  Coordinates v{};

  ModulatedTexels(const TriangleAttributes& attributes, const PixelPipeline& pipeline)
      : cursor(attributes),
        texels(pipeline.texture.texels),
        tileRowPitch(static_cast<std::uint32_t>(pipeline.texture.tileRowPitch)),
        maskU(static_cast<std::uint32_t>(pipeline.texture.width - 1)),
        maskV(static_cast<std::uint32_t>(pipeline.texture.height - 1)),
        alphaFill(pipeline.texture.alphaFill),
        diffuse(Splat(attributes.flatColour)),
        stepU(static_cast<std::uint64_t>(kLanes * cursor.du)),
        stepV(static_cast<std::uint64_t>(kLanes * cursor.dv)) {
    std::int64_t us[kLanes], vs[kLanes];
    for (int lane = 0; lane < kLanes; ++lane) {
      us[lane] = kTexelRounding + lane * cursor.du;
      vs[lane] = kTexelRounding + lane * cursor.dv;
    }
    laneU = Coordinates::Of(us);
    laneV = Coordinates::Of(vs);
  }
  // The coordinates of a span's first pixel.
  struct SpanStart {
    std::uint64_t u;
    std::uint64_t v;
  };
  // Asks for the texels under a span to come: a slanted read finds them in memory rather than in
  // cache, and asking early overlaps that wait with the work on the spans before it.
  SpanStart Prefetch(const CoveredSpan& span) const {
    const SpanStart start{static_cast<std::uint64_t>(cursor.UAt(span.y, span.left)),
                          static_cast<std::uint64_t>(cursor.VAt(span.y, span.left))};
    Coordinates aheadU = laneU.Plus(start.u);
    Coordinates aheadV = laneV.Plus(start.v);
    for (int x = span.left; x <= span.right; x += kLanes) {
      const Pixels offsets = Offsets(aheadU, aheadV);
      for (int lane = 0; lane < kLanes; ++lane) d3d9::Prefetch(texels + offsets[lane]);
      aheadU = aheadU.Plus(stepU);
      aheadV = aheadV.Plus(stepV);
    }
    return start;
  }
  void StartSpan(const SpanStart& start) {
    u = laneU.Plus(start.u);
    v = laneV.Plus(start.v);
  }
  Pixels Next() {
    const Pixels offsets = Offsets(u, v);
    Pixels texel;
    Lanes::Gather(texels, offsets, texel);
    u = u.Plus(stepU);
    v = v.Plus(stepV);
    return Modulate(texel | alphaFill, diffuse);
  }
  Pixels Offsets(const Coordinates& atU, const Coordinates& atV) const {
    const Pixels x = atU.WholeTexels() & maskU;
    const Pixels y = atV.WholeTexels() & maskV;
    return TiledOffset(x, y, tileRowPitch);
  }
};

// --- Blends --------------------------------------------------------------------------------------------

struct Replace {
  Pixels operator()(Pixels source, Pixels) const { return source; }
  // Whether the blend of `source` leaves every destination pixel as it is, so that it need not be read
  // nor written.
  template <class Lanes>
  static bool LeavesDestination(const Pixels&) {
    return false;
  }
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
  // A source of alpha 0 gives each channel d × 255 / 255 = d exactly. Most of a radar picture is empty
  // sea, its echo texels transparent: those pixels cost no view memory at all.
  template <class Lanes>
  static bool LeavesDestination(const Pixels& source) {
    return Lanes::AllZero(source & 0xFF000000u);
  }
};

// Asks for the view's pixels under a span to come.
void PrefetchPixels(const RenderTarget& target, const CoveredSpan& span) {
  const std::uint32_t* row = target.pixels + static_cast<std::ptrdiff_t>(span.y) * target.pitch;
  constexpr int kPixelsPerLine = 16;
  for (int x = span.left; x <= span.right; x += kPixelsPerLine) Prefetch(row + x);
  Prefetch(row + span.right);
}

int Length(const CoveredSpan& span) { return span.right - span.left + 1; }

// The spans walked ahead of drawing and asked for, oldest first, each with where its source starts:
// each is walked once.
template <class Start>
class SpanQueue {
public:
  struct Entry {
    CoveredSpan span;
    Start start;
  };
  bool Empty() const { return head_ == tail_; }
  bool Full() const { return tail_ - head_ == kCapacity; }
  const Entry& Front() const { return entries_[head_ % kCapacity]; }
  void Push(const Entry& entry) { entries_[tail_++ % kCapacity] = entry; }
  Entry Pop() { return entries_[head_++ % kCapacity]; }

private:
  static constexpr unsigned kCapacity = 64;
  Entry entries_[kCapacity];
  unsigned head_ = 0;
  unsigned tail_ = 0;
};

template <class Lanes, class Source, class Blend>
void RenderSpans(TriangleCoverage& coverage, const TriangleAttributes& attributes, const PixelPipeline& pipeline,
                 const RenderTarget& target) {
  Source source(attributes, pipeline);
  const Blend blend;
  SpanQueue<typename Source::SpanStart> asked;
  int pixelsAsked = 0;  // of the spans in the queue
  CoveredSpan next;
  for (;;) {
    while (!asked.Full() && (asked.Empty() || pixelsAsked < Length(asked.Front().span) + kPixelsAhead) &&
           coverage.NextSpan(next)) {
      asked.Push({next, source.Prefetch(next)});
      PrefetchPixels(target, next);
      pixelsAsked += Length(next);
    }
    if (asked.Empty()) break;
    const auto [span, start] = asked.Pop();
    int count = Length(span);
    pixelsAsked -= count;
    source.StartSpan(start);
    std::uint32_t* pixel = target.pixels + static_cast<std::ptrdiff_t>(span.y) * target.pitch + span.left;
    for (; count >= kLanes; count -= kLanes, pixel += kLanes) {
      const Pixels colour = source.Next();
      if (Blend::template LeavesDestination<Lanes>(colour)) continue;
      Pixels destination;
      std::memcpy(&destination, pixel, sizeof destination);
      const Pixels result = blend(colour, destination);
      std::memcpy(pixel, &result, sizeof result);
    }
    if (count > 0) {
      // The last pixels of the span in lanes of their own; the lanes past its end are dropped.
      const Pixels colour = source.Next();
      if (Blend::template LeavesDestination<Lanes>(colour)) continue;
      Pixels destination;
      Lanes::LoadFirst(pixel, count, destination);
      const Pixels result = blend(colour, destination);
      Lanes::StoreFirst(pixel, count, result);
    }
  }
}

// Each renderer in two forms: for any x86-64 processor (SSE2) and for one with AVX2. Flattening puts
// every step into the renderer itself, so each form runs wholly on its own instruction set.
template <template <class> class Source, class Blend>
__attribute__((flatten)) void RenderSpansSse2(TriangleCoverage& coverage, const TriangleAttributes& attributes,
                                              const PixelPipeline& pipeline, const RenderTarget& target) {
  RenderSpans<Sse2Lanes, Source<Sse2Lanes>, Blend>(coverage, attributes, pipeline, target);
}

template <template <class> class Source, class Blend>
__attribute__((target("avx2"), flatten)) void RenderSpansAvx2(TriangleCoverage& coverage,
                                                              const TriangleAttributes& attributes,
                                                              const PixelPipeline& pipeline,
                                                              const RenderTarget& target) {
  RenderSpans<Avx2Lanes, Source<Avx2Lanes>, Blend>(coverage, attributes, pipeline, target);
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
