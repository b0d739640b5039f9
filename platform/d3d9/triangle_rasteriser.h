#pragma once
// Turns one triangle of pre-transformed vertices into pixels of the view: culling by screen winding,
// guard-band clipping, snapping to 1/256 pixel, coverage by the top-left rule and interpolation of the
// diffuse colour and texture coordinates at pixel centres.
#include "d3d9types.h"
#include "pixel_pipeline.h"
#include "vertex_layout.h"

namespace d3d9 {

// Draws `corners` unless `cullMode` culls its winding (D3DCULL_CCW culls triangles that wind
// counter-clockwise on screen). Nothing is drawn for a corner that is not finite, and nothing outside
// the target, whatever the coordinates.
void RasteriseTriangle(const ScreenVertex (&corners)[3], DWORD cullMode, const PixelPipeline& pipeline,
                       const RenderTarget& target);

}  // namespace d3d9
