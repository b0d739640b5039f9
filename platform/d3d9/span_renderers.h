#pragma once
// Renders the covered spans of one triangle with the pixel steps its attributes and the draw's pipeline
// call for, chosen once per triangle.
#include "pixel_pipeline.h"
#include "triangle_attributes.h"
#include "triangle_coverage.h"

namespace d3d9 {

void RenderTriangleSpans(TriangleCoverage& coverage, const TriangleAttributes& attributes,
                         const PixelPipeline& pipeline, const RenderTarget& target);

}  // namespace d3d9
