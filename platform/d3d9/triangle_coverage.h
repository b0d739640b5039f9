#pragma once
// Which pixels a triangle covers, by Direct3D 9's rules: a pixel belongs to a triangle when its centre,
// at integer coordinates, lies inside; a centre exactly on an edge belongs to it only when the edge is
// a top edge (horizontal, the triangle below it) or a left edge. Two triangles sharing an edge thus
// never both cover a pixel on it.
//
// Corners are snapped to 1/256 pixel. Each edge bounds the covered pixels of a row from the left or
// from the right (a horizontal edge admits or excludes whole rows); the bound is the edge function
// solved for x, kept exactly in integers and stepped from row to row without division.
#include <algorithm>
#include <cstdint>

namespace d3d9 {

constexpr int kSubpixelBits = 8;
constexpr std::int64_t kSubpixelsPerPixel = std::int64_t{1} << kSubpixelBits;

struct SnappedPoint {
  std::int64_t x;  // 1/256 pixel
  std::int64_t y;
};

// floor(numerator / denominator) for a numerator that changes by the same step on every row.
class RowStepper {
public:
  void Start(std::int64_t numerator, std::int64_t denominator, std::int64_t step);
  std::int64_t Value() const { return quotient_; }
  void Advance() {
    quotient_ += stepQuotient_;
    remainder_ += stepRemainder_;
    if (remainder_ >= denominator_) {
      remainder_ -= denominator_;
      ++quotient_;
    }
  }

private:
  std::int64_t quotient_ = 0;
  std::int64_t remainder_ = 0;  // 0 <= remainder_ < denominator_
  std::int64_t denominator_ = 1;
  std::int64_t stepQuotient_ = 0;
  std::int64_t stepRemainder_ = 0;
};

// The covered pixels of one row: left to right, both included.
struct CoveredSpan {
  int y = 0;
  int left = 0;
  int right = -1;
};

class TriangleCoverage {
public:
  // `corners` wind clockwise on screen (positive area) and lie within 2^22 subpixels of the origin.
  // Only pixels of the width × height surface are reported.
  TriangleCoverage(const SnappedPoint (&corners)[3], int width, int height);

  bool IsEmpty() const { return firstRow_ > lastRow_; }

  // The next row with covered pixels, top to bottom: false once every row has been given. A copy of
  // the coverage walks on by itself, so that a renderer can look ahead of the row it draws.
  bool NextSpan(CoveredSpan& span) {
    while (nextRow_ <= lastRow_) {
      const int y = nextRow_++;
      std::int64_t left = 0;
      std::int64_t right = lastColumn_;
      bool rowAdmitted = true;
      for (Edge& edge : edges_) {
        const std::int64_t bound = edge.stepper.Value();
        switch (edge.kind) {
          case EdgeKind::kLeft: left = std::max(left, bound); break;
          case EdgeKind::kRight: right = std::min(right, bound); break;
          case EdgeKind::kHorizontal: rowAdmitted = rowAdmitted && bound >= 0; break;
        }
        edge.stepper.Advance();
      }
      if (rowAdmitted && left <= right) {
        span = {y, static_cast<int>(left), static_cast<int>(right)};
        return true;
      }
    }
    return false;
  }

  // Calls span(y, left, right) for every row with covered pixels, top to bottom; left <= right.
  template <class SpanFunction>
  void ForEachSpan(SpanFunction&& span) {
    CoveredSpan covered;
    while (NextSpan(covered)) span(covered.y, covered.left, covered.right);
  }

private:
  enum class EdgeKind {
    kLeft,        // stepper gives the first covered x
    kRight,       // stepper gives the last covered x
    kHorizontal,  // stepper gives a value that is negative on excluded rows
  };
  struct Edge {
    EdgeKind kind = EdgeKind::kHorizontal;
    RowStepper stepper;
  };

  Edge edges_[3];
  int firstRow_ = 0;
  int lastRow_ = -1;
  int nextRow_ = 0;
  std::int64_t lastColumn_ = -1;
};

}  // namespace d3d9
