#include "viewer/chart/chart_layers.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kDegree = M_PI / 180.0;

std::vector<MercatorPoint> ProjectedPoints(const OGRSimpleCurve& curve) {
  std::vector<MercatorPoint> points;
  points.reserve(static_cast<std::size_t>(curve.getNumPoints()));
  for (int i = 0; i < curve.getNumPoints(); ++i)
    points.push_back(ToMercator(curve.getY(i) * kDegree, curve.getX(i) * kDegree));
  return points;
}

MercatorBox BoxAround(const std::vector<std::vector<MercatorPoint>>& parts) {
  constexpr double kHuge = std::numeric_limits<double>::max();
  MercatorBox box{kHuge, kHuge, -kHuge, -kHuge};
  for (const auto& part : parts) {
    for (const MercatorPoint& point : part) {
      box.minX = std::min(box.minX, point.x);
      box.minY = std::min(box.minY, point.y);
      box.maxX = std::max(box.maxX, point.x);
      box.maxY = std::max(box.maxY, point.y);
    }
  }
  return box;
}

void AddShape(std::vector<std::vector<MercatorPoint>> parts, std::vector<ChartShape>& shapes) {
  if (parts.empty()) return;
  const MercatorBox box = BoxAround(parts);
  shapes.push_back({std::move(parts), box});
}

// A line as shapes of at most kMaxLinePiecePoints points, the last point of one the first of the next.
void AddLine(std::vector<MercatorPoint> points, std::vector<ChartShape>& lines) {
  if (points.size() <= kMaxLinePiecePoints) return AddShape({std::move(points)}, lines);
  for (std::size_t first = 0; first + 1 < points.size(); first += kMaxLinePiecePoints - 1) {
    const std::size_t end = std::min(points.size(), first + kMaxLinePiecePoints);
    AddShape({std::vector<MercatorPoint>(points.begin() + static_cast<std::ptrdiff_t>(first),
                                         points.begin() + static_cast<std::ptrdiff_t>(end))},
             lines);
  }
}

// Polygons become one shape each, their rings its parts; lines one shape each, or pieces of one;
// anything else (points, collections of other kinds) is left out.
void Collect(const OGRGeometry& geometry, std::vector<ChartShape>& polygons, std::vector<ChartShape>& lines) {
  switch (wkbFlatten(geometry.getGeometryType())) {
    case wkbPolygon: {
      const auto& polygon = *geometry.toPolygon();
      std::vector<std::vector<MercatorPoint>> rings;
      for (const OGRLinearRing* ring : polygon) rings.push_back(ProjectedPoints(*ring));
      AddShape(std::move(rings), polygons);
      break;
    }
    case wkbLineString:
      AddLine(ProjectedPoints(*geometry.toLineString()), lines);
      break;
    case wkbMultiPolygon:
    case wkbMultiLineString:
    case wkbGeometryCollection:
      for (const OGRGeometry* part : *geometry.toGeometryCollection()) Collect(*part, polygons, lines);
      break;
    default: break;
  }
}

// The data set's features, in WGS 84 degrees (the chart files' own reference system).
bool ReadShapes(const std::string& path, std::vector<ChartShape>& polygons, std::vector<ChartShape>& lines,
                std::string& error) {
  GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  if (!dataset) {
    error = "cannot read " + path + " as vector data";
    return false;
  }
  for (OGRLayer* layer : dataset->GetLayers()) {
    for (const auto& feature : *layer) {
      if (const OGRGeometry* geometry = feature->GetGeometryRef()) Collect(*geometry, polygons, lines);
    }
  }
  return true;
}

}  // namespace

bool ChartLayers::Load(const std::string& landPath, const std::string& coastPath, std::string& error) {
  GDALAllRegister();
  land_.clear();
  coast_.clear();
  std::vector<ChartShape> ignored;
  if (!landPath.empty() && !ReadShapes(landPath, land_, ignored, error)) return false;
  if (!coastPath.empty() && !ReadShapes(coastPath, ignored, coast_, error)) return false;
  return true;
}
