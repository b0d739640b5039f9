#pragma once
// The quantities interpolated over a triangle: its diffuse colour and its texture coordinates in
// texels. Each varies linearly over the screen, so it is held as a plane through the three corners.
#include <cstdint>

namespace d3d9 {

struct AttributePlane {
  double base = 0;  // the value at pixel (0, 0)
  double dx = 0;    // change per pixel to the right
  double dy = 0;    // change per pixel down

  double At(double x, double y) const { return base + dx * x + dy * y; }
};

struct TriangleAttributes {
  int originX = 0;  // a pixel at a corner, where fixed-point walks over the planes start
  int originY = 0;
  bool flat = true;              // one diffuse colour over the whole triangle
  std::uint32_t flatColour = 0;  // 0xAARRGGBB, when flat
  AttributePlane colour[4];      // blue, green, red, alpha (0 to 255), when not flat
  AttributePlane u;              // texels, when the pipeline reads texels
  AttributePlane v;
};

}  // namespace d3d9
