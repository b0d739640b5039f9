#pragma once
// The chart's projection: spherical Mercator (EPSG:3857) around a centre position, north up, scaled so
// that a given radar range fills most of the view.
#include <array>

#include "common/units.h"
#include "host/pos_type.h"

struct ScreenPosition {
  double x = 0.0;
  double y = 0.0;
};

// Easting and northing in metres of EPSG:3857.
struct MercatorPoint {
  double x = 0.0;
  double y = 0.0;
};

inline constexpr double kMercatorRadius = 6378137.0;

// Latitude and longitude in radians.
MercatorPoint ToMercator(double latitude, double longitude);
MercatorPoint ToMercator(const PosType& position);
PosType FromMercator(const MercatorPoint& point);

class ChartProjection {
public:
  ChartProjection(int width, int height, const PosType& centre, double rangeMiles);

  // The centre shows at the middle of the view.
  void SetCentre(const PosType& centre);
  // Scales the view so that a circle of `miles` around the centre takes 90% of its shorter side.
  // Ignored unless `miles` is positive.
  void FitRange(double miles);

  ScreenPosition ToScreen(const PosType& position) const;
  PosType ToGeo(ScreenPosition point) const;
  ScreenPosition ToScreen(const MercatorPoint& point) const;
  MercatorPoint ToMercator(ScreenPosition point) const;

  // Mercator metres per pixel, and true metres per pixel at the centre's latitude.
  double MercatorMetresPerPixel() const { return metresPerPixel_; }
  double GroundMetresPerPixel() const;
  // The GDAL geotransform of the view's pixel grid: origin at the top-left corner of the top-left pixel.
  std::array<double, 6> GeoTransform() const;
  // The position shown at the view's middle.
  PosType Centre() const;
  int Width() const { return width_; }
  int Height() const { return height_; }

private:
  int width_;
  int height_;
  double centreLatitude_ = 0.0;
  double centreLongitude_ = 0.0;
  MercatorPoint centreMetres_;
  double metresPerPixel_ = 1.0;
};
