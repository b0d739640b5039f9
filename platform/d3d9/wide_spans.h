#pragma once
// Span renderers that work on eight pixels at a time, for the flat-shaded triangles a picture is mostly
// made of: a flat colour or a point-sampled texture on a power-of-two texture with wrap addressing,
// modulated by the flat colour, written over the view or blended by its alpha. The pixels are exactly
// those of the pixel-by-pixel renderers. The form for the running processor is chosen once.
#include "pixel_pipeline.h"
#include "triangle_attributes.h"
#include "triangle_coverage.h"

namespace d3d9 {

using TriangleRenderer = void (*)(TriangleCoverage&, const TriangleAttributes&, const PixelPipeline&,
                                  const RenderTarget&);

enum class WideSource {
  kFlatColour,       // the diffuse colour alone
  kModulatedTexels,  // the texel, each channel times the diffuse colour's
};
enum class WideBlend { kReplace, kSourceAlpha };

TriangleRenderer WideSpanRenderer(WideSource source, WideBlend blend);

}  // namespace d3d9
