#pragma once
// The chart's vector content: land polygons and coast lines, read once with GDAL/OGR and kept in
// Mercator metres so that drawing them needs no further projection.
#include <cstddef>
#include <string>
#include <vector>

#include "viewer/chart/chart_projection.h"

struct MercatorBox {
  double minX, minY, maxX, maxY;
  bool Overlaps(const MercatorBox& other) const {
    return minX <= other.maxX && other.minX <= maxX && minY <= other.maxY && other.minY <= maxY;
  }
  MercatorBox Grown(double metres) const { return {minX - metres, minY - metres, maxX + metres, maxY + metres}; }
};

// A line of more points than this is kept as pieces of at most this many, each starting at the point
// where the one before ends: a piece is culled and stroked on its own, so that a long coast costs what
// its part in view costs.
inline constexpr std::size_t kMaxLinePiecePoints = 2048;

// A polygon's rings (the outer ring, then any holes) or a single line (or a piece of one), with the box
// around it.
struct ChartShape {
  std::vector<std::vector<MercatorPoint>> parts;
  MercatorBox box;
};

class ChartLayers {
public:
  // Reads every polygon of `landPath` and every line of `coastPath` (each may be empty: no such layer).
  // False with the reason in `error` when a file cannot be read as vector data.
  bool Load(const std::string& landPath, const std::string& coastPath, std::string& error);

  const std::vector<ChartShape>& Land() const { return land_; }
  const std::vector<ChartShape>& Coast() const { return coast_; }

private:
  std::vector<ChartShape> land_;
  std::vector<ChartShape> coast_;
};
