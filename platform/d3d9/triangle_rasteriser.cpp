#include "triangle_rasteriser.h"

#include <cmath>
#include <utility>

#include "guard_band_clipper.h"
#include "span_renderers.h"
#include "triangle_coverage.h"

namespace d3d9 {

namespace {

// The screen windings drawn. With y pointing down, a positive signed area winds clockwise.
struct Windings {
  bool clockwise;
  bool counterClockwise;
};

Windings DrawnWindings(DWORD cullMode) {
  switch (cullMode) {
    case D3DCULL_CW: return {false, true};
    case D3DCULL_CCW: return {true, false};
    default: return {true, true};
  }
}

std::int64_t Snap(double coordinate) {
  return static_cast<std::int64_t>(std::floor(coordinate * kSubpixelsPerPixel + 0.5));
}

AttributePlane PlaneThrough(const double (&x)[3], const double (&y)[3], double f0, double f1, double f2) {
  const double x1 = x[1] - x[0], y1 = y[1] - y[0];
  const double x2 = x[2] - x[0], y2 = y[2] - y[0];
  const double determinant = x1 * y2 - x2 * y1;
  AttributePlane plane;
  plane.dx = ((f1 - f0) * y2 - (f2 - f0) * y1) / determinant;
  plane.dy = (x1 * (f2 - f0) - x2 * (f1 - f0)) / determinant;
  plane.base = f0 - plane.dx * x[0] - plane.dy * y[0];
  return plane;
}

TriangleAttributes InterpolatedAttributes(const ScreenVertex* (&corners)[3], const SnappedPoint (&points)[3],
                                          const PixelPipeline& pipeline) {
  double x[3], y[3];
  for (int i = 0; i < 3; ++i) {
    x[i] = static_cast<double>(points[i].x) / kSubpixelsPerPixel;
    y[i] = static_cast<double>(points[i].y) / kSubpixelsPerPixel;
  }
  TriangleAttributes attributes;
  attributes.originX = static_cast<int>(points[0].x >> kSubpixelBits);
  attributes.originY = static_cast<int>(points[0].y >> kSubpixelBits);
  for (int channel = 0; channel < 4; ++channel) {
    const double c0 = corners[0]->colour[channel], c1 = corners[1]->colour[channel], c2 = corners[2]->colour[channel];
    attributes.colour[channel] = PlaneThrough(x, y, c0, c1, c2);
    attributes.flat = attributes.flat && c0 == c1 && c0 == c2;
    attributes.flatColour |= static_cast<std::uint32_t>(std::lround(c0)) << (8 * channel);
  }
  if (pipeline.readsTexels && pipeline.hasTexture) {
    const double width = pipeline.texture.width, height = pipeline.texture.height;
    attributes.u = PlaneThrough(x, y, corners[0]->u * width, corners[1]->u * width, corners[2]->u * width);
    attributes.v = PlaneThrough(x, y, corners[0]->v * height, corners[1]->v * height, corners[2]->v * height);
  }
  return attributes;
}

// Draws a triangle whose corners lie inside the guard band, when its snapped winding is drawn.
void DrawInsideBand(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, Windings drawn,
                    const PixelPipeline& pipeline, const RenderTarget& target) {
  const ScreenVertex* corners[3] = {&a, &b, &c};
  SnappedPoint points[3];
  for (int i = 0; i < 3; ++i) points[i] = {Snap(corners[i]->x), Snap(corners[i]->y)};
  const std::int64_t area = (points[1].x - points[0].x) * (points[2].y - points[0].y) -
                            (points[2].x - points[0].x) * (points[1].y - points[0].y);
  if (area > 0 ? !drawn.clockwise : area < 0 ? !drawn.counterClockwise : true) return;
  if (area < 0) {
    // Coverage walks clockwise corners.
    std::swap(corners[1], corners[2]);
    std::swap(points[1], points[2]);
  }
  TriangleCoverage coverage(points, target.width, target.height);
  if (coverage.IsEmpty()) return;
  RenderTriangleSpans(coverage, InterpolatedAttributes(corners, points, pipeline), pipeline, target);
}

}  // namespace

void RasteriseTriangle(const ScreenVertex (&corners)[3], DWORD cullMode, const PixelPipeline& pipeline,
                       const RenderTarget& target) {
  for (const ScreenVertex& corner : corners) {
    if (!std::isfinite(corner.x) || !std::isfinite(corner.y)) return;
  }
  const Windings drawn = DrawnWindings(cullMode);
  if (IsInsideGuardBand(corners[0]) && IsInsideGuardBand(corners[1]) && IsInsideGuardBand(corners[2])) {
    DrawInsideBand(corners[0], corners[1], corners[2], drawn, pipeline, target);
    return;
  }
  // The winding of the whole triangle decides culling; a piece whose snapped winding turns the other
  // way is a sliver that rounding flipped, and is dropped.
  const double area = (corners[1].x - corners[0].x) * (corners[2].y - corners[0].y) -
                      (corners[2].x - corners[0].x) * (corners[1].y - corners[0].y);
  const Windings winding{area > 0, area < 0};
  if (!(winding.clockwise && drawn.clockwise) && !(winding.counterClockwise && drawn.counterClockwise)) return;
  ScreenVertex polygon[kMaxClippedCorners];
  const int count = ClipToGuardBand(corners, polygon);
  for (int i = 1; i + 1 < count; ++i) DrawInsideBand(polygon[0], polygon[i], polygon[i + 1], winding, pipeline, target);
}

}  // namespace d3d9
