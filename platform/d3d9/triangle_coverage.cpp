#include "triangle_coverage.h"

namespace d3d9 {

namespace {

std::int64_t FloorDivide(std::int64_t numerator, std::int64_t denominator) {
  std::int64_t quotient = numerator / denominator;
  if (numerator % denominator != 0 && numerator < 0) --quotient;
  return quotient;
}

std::int64_t CeilDivide(std::int64_t numerator, std::int64_t denominator) {
  return -FloorDivide(-numerator, denominator);
}

}  // namespace

void RowStepper::Start(std::int64_t numerator, std::int64_t denominator, std::int64_t step) {
  denominator_ = denominator;
  quotient_ = FloorDivide(numerator, denominator);
  remainder_ = numerator - quotient_ * denominator;
  stepQuotient_ = FloorDivide(step, denominator);
  stepRemainder_ = step - stepQuotient_ * denominator;
}

TriangleCoverage::TriangleCoverage(const SnappedPoint (&corners)[3], int width, int height) {
  std::int64_t minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
  for (const SnappedPoint& corner : corners) {
    minX = std::min(minX, corner.x);
    maxX = std::max(maxX, corner.x);
    minY = std::min(minY, corner.y);
    maxY = std::max(maxY, corner.y);
  }
  firstRow_ = static_cast<int>(std::max<std::int64_t>(0, CeilDivide(minY, kSubpixelsPerPixel)));
  lastRow_ = static_cast<int>(std::min<std::int64_t>(height - 1, FloorDivide(maxY, kSubpixelsPerPixel)));
  lastColumn_ = width - 1;
  if (maxX < 0 || minX > lastColumn_ * kSubpixelsPerPixel) lastRow_ = firstRow_ - 1;
  nextRow_ = firstRow_;
  if (firstRow_ > lastRow_) return;

  const std::int64_t rowY = firstRow_ * kSubpixelsPerPixel;
  for (int i = 0; i < 3; ++i) {
    const SnappedPoint& from = corners[i];
    const SnappedPoint& to = corners[(i + 1) % 3];
    const std::int64_t dx = to.x - from.x;
    const std::int64_t dy = to.y - from.y;
    // Edge function at pixel (x, y): E = dx·(256y − from.y) − dy·(256x − from.x) = K(y) − 256·dy·x,
    // positive inside. A centre on the edge (E = 0) is inside only for a top or left edge.
    const bool topOrLeft = dy < 0 || (dy == 0 && dx > 0);
    const std::int64_t threshold = topOrLeft ? 0 : 1;  // inside: E >= threshold
    const std::int64_t k = dx * (rowY - from.y) + dy * from.x;
    const std::int64_t kStep = dx * kSubpixelsPerPixel;
    Edge& edge = edges_[i];
    if (dy < 0) {
      // x >= ceil((threshold − K) / a) with a = −256·dy > 0.
      const std::int64_t a = -dy * kSubpixelsPerPixel;
      edge.kind = EdgeKind::kLeft;
      edge.stepper.Start(threshold - k + a - 1, a, -kStep);
    } else if (dy > 0) {
      // x <= floor((K − threshold) / b) with b = 256·dy > 0.
      edge.kind = EdgeKind::kRight;
      edge.stepper.Start(k - threshold, dy * kSubpixelsPerPixel, kStep);
    } else {
      edge.kind = EdgeKind::kHorizontal;
      edge.stepper.Start(k - threshold, 1, kStep);
    }
  }
}

}  // namespace d3d9
