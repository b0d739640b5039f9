#pragma once
// The chart's vector content: land polygons and coast lines, read once with GDAL/OGR and kept in
// Mercator metres so that drawing them needs no further projection.
#include <string>
#include <vector>

#include "viewer/chart/chart_projection.h"

struct MercatorBox {
  double minX, minY, maxX, maxY;
  bool Overlaps(const MercatorBox& other) const {
    return minX <= other.maxX && other.minX <= maxX && minY <= other.maxY && other.minY <= maxY;
  }
};

// A polygon's rings (the outer ring, then any holes) or a single line, with the box around it.
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
