#include "guard_band_clipper.h"

#include <algorithm>
#include <iterator>

namespace d3d9 {

namespace {

// Room for the polygons between cuts. A convex polygon gains at most one corner per cut; rounding can
// make a nearly degenerate one wiggle, and such a polygon is dropped rather than overrun the room.
constexpr int kRoom = 16;

struct Side {
  bool vertical;  // x = bound rather than y = bound
  double bound;
  bool keepsBelow;

  double Coordinate(const ScreenVertex& vertex) const { return vertical ? vertex.x : vertex.y; }
  bool Keeps(const ScreenVertex& vertex) const {
    const double c = Coordinate(vertex);
    return keepsBelow ? c <= bound : c >= bound;
  }
};

// The point where the edge from `inside` to `outside` crosses `side`.
ScreenVertex Crossing(const ScreenVertex& inside, const ScreenVertex& outside, const Side& side) {
  const double t = (side.bound - side.Coordinate(inside)) / (side.Coordinate(outside) - side.Coordinate(inside));
  const auto lerp = [t](double a, double b) { return a + t * (b - a); };
  ScreenVertex point;
  point.x = lerp(inside.x, outside.x);
  point.y = lerp(inside.y, outside.y);
  for (int channel = 0; channel < 4; ++channel)
    point.colour[channel] = lerp(inside.colour[channel], outside.colour[channel]);
  point.u = lerp(inside.u, outside.u);
  point.v = lerp(inside.v, outside.v);
  (side.vertical ? point.x : point.y) = side.bound;
  return point;
}

// Answers the corners kept, or 0 when they would not fit the room.
int ClipToSide(const ScreenVertex* corners, int count, const Side& side, ScreenVertex* kept) {
  int keptCount = 0;
  for (int i = 0; i < count; ++i) {
    if (keptCount > kRoom - 2) return 0;
    const ScreenVertex& previous = corners[(i + count - 1) % count];
    const ScreenVertex& current = corners[i];
    const bool previousKept = side.Keeps(previous);
    const bool currentKept = side.Keeps(current);
    if (currentKept != previousKept) {
      kept[keptCount++] = currentKept ? Crossing(current, previous, side) : Crossing(previous, current, side);
    }
    if (currentKept) kept[keptCount++] = current;
  }
  return keptCount;
}

}  // namespace

bool IsInsideGuardBand(const ScreenVertex& vertex) {
  return vertex.x >= -kGuardBand && vertex.x <= kGuardBand && vertex.y >= -kGuardBand && vertex.y <= kGuardBand;
}

int ClipToGuardBand(const ScreenVertex (&triangle)[3], ScreenVertex (&polygon)[kMaxClippedCorners]) {
  static constexpr Side kSides[] = {
      {true, -kGuardBand, false}, {true, kGuardBand, true}, {false, -kGuardBand, false}, {false, kGuardBand, true}};
  ScreenVertex buffers[2][kRoom];
  std::copy(std::begin(triangle), std::end(triangle), buffers[0]);
  int count = 3;
  int current = 0;
  for (const Side& side : kSides) {
    count = ClipToSide(buffers[current], count, side, buffers[1 - current]);
    current = 1 - current;
    if (count < 3) return 0;
  }
  if (count > kMaxClippedCorners) return 0;
  for (int i = 0; i < count; ++i) {
    // Rounding in a crossing may leave a coordinate a hair outside a side cut earlier.
    ScreenVertex corner = buffers[current][i];
    corner.x = std::clamp(corner.x, -kGuardBand, kGuardBand);
    corner.y = std::clamp(corner.y, -kGuardBand, kGuardBand);
    polygon[i] = corner;
  }
  return count;
}

}  // namespace d3d9
