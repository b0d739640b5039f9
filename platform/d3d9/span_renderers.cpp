#include "span_renderers.h"

#include <array>

#include "pixel_stages.h"
#include "wide_spans.h"

namespace d3d9 {

namespace {

template <class Diffuse, class Sampler, class Combine, class Blend>
void RenderSpans(TriangleCoverage& coverage, const TriangleAttributes& attributes, const PixelPipeline& pipeline,
                 const RenderTarget& target) {
  Diffuse diffuse(attributes);
  Sampler sampler(attributes, pipeline);
  const Combine combine(pipeline);
  const Blend blend(pipeline);
  coverage.ForEachSpan([&](int y, int left, int right) {
    diffuse.StartSpan(y, left, right);
    sampler.StartSpan(y, left, right);
    std::uint32_t* row = target.pixels + static_cast<std::ptrdiff_t>(y) * target.pitch;
    if (y + 1 < target.height) {
      // A thin triangle meets each line of the view only briefly: ask early for the pixels below.
      const std::uint32_t* below = row + target.pitch;
      for (int x = left; x <= right; x += 16) __builtin_prefetch(below + x, 1);
      __builtin_prefetch(below + right, 1);
    }
    for (int x = left; x <= right; ++x) {
      const std::uint32_t shade = diffuse.Next();
      const std::uint32_t texel = sampler.Next();
      row[x] = blend(combine(texel, shade), row[x]);
    }
  });
}

// The texel and stage step pairs that occur: a stage that passes the diffuse colour on reads no texels.
enum Texturing {
  kDiffuseOnly,
  kModulatePoint,
  kModulateGeneralPoint,
  kModulateGeneralLinear,
  kFadePoint,
  kFadeGeneralPoint,
  kFadeGeneralLinear,
  kStageNoTexels,
  kStagePoint,
  kStageGeneralPoint,
  kStageGeneralLinear,
  kTexturings
};
enum Blending { kReplace, kSourceAlpha, kFactors };

template <class Diffuse, class Sampler, class Combine>
constexpr std::array<TriangleRenderer, 3> kForEachBlend = {
    &RenderSpans<Diffuse, Sampler, Combine, ReplaceBlend>,
    &RenderSpans<Diffuse, Sampler, Combine, SourceAlphaBlend>,
    &RenderSpans<Diffuse, Sampler, Combine, FactorBlend>,
};

template <class Diffuse>
constexpr std::array<std::array<TriangleRenderer, 3>, kTexturings> kForEachTexturing = {
    kForEachBlend<Diffuse, NoTexels, DiffuseCombine>,
    kForEachBlend<Diffuse, WrappedPointSampler, ModulateCombine>,
    kForEachBlend<Diffuse, GeneralSampler<false>, ModulateCombine>,
    kForEachBlend<Diffuse, GeneralSampler<true>, ModulateCombine>,
    kForEachBlend<Diffuse, WrappedPointSampler, FadeCombine>,
    kForEachBlend<Diffuse, GeneralSampler<false>, FadeCombine>,
    kForEachBlend<Diffuse, GeneralSampler<true>, FadeCombine>,
    kForEachBlend<Diffuse, NoTexels, StageCombine>,
    kForEachBlend<Diffuse, WrappedPointSampler, StageCombine>,
    kForEachBlend<Diffuse, GeneralSampler<false>, StageCombine>,
    kForEachBlend<Diffuse, GeneralSampler<true>, StageCombine>,
};

constexpr std::array<std::array<std::array<TriangleRenderer, 3>, kTexturings>, 2> kRenderers = {
    kForEachTexturing<FlatDiffuse>,
    kForEachTexturing<GouraudDiffuse>,
};

bool IsPowerOfTwo(int size) { return size > 0 && (size & (size - 1)) == 0; }

// Whether the default sampling (point, wrapped, power-of-two sides) applies to this triangle.
bool TakesWrappedPointSampling(const TriangleAttributes& attributes, const PixelPipeline& pipeline) {
  const SamplerSettings& sampler = pipeline.sampler;
  return !SamplesLinearly(attributes, sampler) && sampler.addressU == D3DTADDRESS_WRAP &&
         sampler.addressV == D3DTADDRESS_WRAP && IsPowerOfTwo(pipeline.texture.width) && IsPowerOfTwo(pipeline.texture.height);
}

// One of a combination's three samplers: the default one, or the general one with point or bilinear
// filtering, whose three texturings follow each other in that order.
Texturing WithSampler(Texturing wrappedPoint, const TriangleAttributes& attributes, const PixelPipeline& pipeline) {
  if (TakesWrappedPointSampling(attributes, pipeline)) return wrappedPoint;
  return static_cast<Texturing>(wrappedPoint + (SamplesLinearly(attributes, pipeline.sampler) ? 2 : 1));
}

Texturing ChooseTexturing(const TriangleAttributes& attributes, const PixelPipeline& pipeline) {
  switch (pipeline.combine) {
    case CombineKind::kDiffuse: return kDiffuseOnly;
    case CombineKind::kModulate:
      if (attributes.flat && (attributes.flatColour & 0x00FFFFFFu) == 0x00FFFFFFu) {
        return WithSampler(kFadePoint, attributes, pipeline);
      }
      return WithSampler(kModulatePoint, attributes, pipeline);
    case CombineKind::kStage:
      if (!pipeline.readsTexels || !pipeline.hasTexture) return kStageNoTexels;
      return WithSampler(kStagePoint, attributes, pipeline);
  }
  return kDiffuseOnly;
}

Blending ChooseBlending(const PixelPipeline& pipeline) {
  switch (pipeline.blend) {
    case BlendKind::kReplace: return kReplace;
    case BlendKind::kSourceAlpha: return kSourceAlpha;
    case BlendKind::kFactors: return kFactors;
  }
  return kReplace;
}

// The eight-pixel renderer for the flat-shaded cases it covers, or null.
TriangleRenderer ChooseWideRenderer(const TriangleAttributes& attributes, Texturing texturing, Blending blending) {
  if (!attributes.flat || blending == kFactors) return nullptr;
  const WideBlend blend = blending == kSourceAlpha ? WideBlend::kSourceAlpha : WideBlend::kReplace;
  switch (texturing) {
    case kDiffuseOnly: return WideSpanRenderer(WideSource::kFlatColour, blend);
    case kModulatePoint:
    case kFadePoint: return WideSpanRenderer(WideSource::kModulatedTexels, blend);
    default: return nullptr;
  }
}

}  // namespace

void RenderTriangleSpans(TriangleCoverage& coverage, const TriangleAttributes& attributes,
                         const PixelPipeline& pipeline, const RenderTarget& target) {
  const Texturing texturing = ChooseTexturing(attributes, pipeline);
  const Blending blending = ChooseBlending(pipeline);
  TriangleRenderer render = ChooseWideRenderer(attributes, texturing, blending);
  if (render == nullptr) render = kRenderers[attributes.flat ? 0 : 1][texturing][blending];
  render(coverage, attributes, pipeline, target);
}

}  // namespace d3d9
