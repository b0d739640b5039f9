#include "viewer/chart/chart_projection.h"

#include <algorithm>
#include <cmath>

namespace {

// The share of the view's shorter side that the radar range's diameter takes.
constexpr double kRangeFill = 0.9;
// Mercator's northing grows without bound towards the poles; latitudes are held short of them.
constexpr double kLatitudeLimit = 85.0 * M_PI / 180.0;

// `angle` brought into [-pi, pi], so that a view across the date line stays continuous.
double Wrapped(double angle) { return std::remainder(angle, 2.0 * M_PI); }

}  // namespace

MercatorPoint ToMercator(double latitude, double longitude) {
  const double clamped = std::clamp(latitude, -kLatitudeLimit, kLatitudeLimit);
  return {kMercatorRadius * longitude, kMercatorRadius * std::log(std::tan(M_PI / 4.0 + clamped / 2.0))};
}

MercatorPoint ToMercator(const PosType& position) {
  return ToMercator(static_cast<double>(position.latitude), static_cast<double>(position.longitude));
}

PosType FromMercator(const MercatorPoint& point) {
  const double latitude = 2.0 * std::atan(std::exp(point.y / kMercatorRadius)) - M_PI / 2.0;
  return PosType(latitude, Wrapped(point.x / kMercatorRadius));
}

ChartProjection::ChartProjection(int width, int height, const PosType& centre, double rangeMiles)
    : width_(width), height_(height) {
  SetCentre(centre);
  FitRange(rangeMiles);
}

void ChartProjection::SetCentre(const PosType& centre) {
  centreLatitude_ = std::clamp(static_cast<double>(centre.latitude), -kLatitudeLimit, kLatitudeLimit);
  centreLongitude_ = Wrapped(static_cast<double>(centre.longitude));
  centreMetres_ = ::ToMercator(centreLatitude_, centreLongitude_);
}

void ChartProjection::FitRange(double miles) {
  if (!(miles > 0.0)) return;
  const double groundMetres = 2.0 * miles * kMetresPerNauticalMile;
  metresPerPixel_ = groundMetres / std::cos(centreLatitude_) / (kRangeFill * std::min(width_, height_));
}

ScreenPosition ChartProjection::ToScreen(const PosType& position) const {
  const MercatorPoint point = ::ToMercator(static_cast<double>(position.latitude), static_cast<double>(position.longitude));
  // Eastings measured from the centre the short way round the earth.
  const double east = kMercatorRadius * Wrapped(static_cast<double>(position.longitude) - centreLongitude_);
  return {width_ / 2.0 + east / metresPerPixel_, height_ / 2.0 - (point.y - centreMetres_.y) / metresPerPixel_};
}

PosType ChartProjection::ToGeo(ScreenPosition point) const { return FromMercator(ToMercator(point)); }

ScreenPosition ChartProjection::ToScreen(const MercatorPoint& point) const {
  return {width_ / 2.0 + (point.x - centreMetres_.x) / metresPerPixel_,
          height_ / 2.0 - (point.y - centreMetres_.y) / metresPerPixel_};
}

MercatorPoint ChartProjection::ToMercator(ScreenPosition point) const {
  return {centreMetres_.x + (point.x - width_ / 2.0) * metresPerPixel_,
          centreMetres_.y - (point.y - height_ / 2.0) * metresPerPixel_};
}

double ChartProjection::GroundMetresPerPixel() const { return metresPerPixel_ * std::cos(centreLatitude_); }

std::array<double, 6> ChartProjection::GeoTransform() const {
  const MercatorPoint corner = ToMercator(ScreenPosition{0.0, 0.0});
  return {corner.x, metresPerPixel_, 0.0, corner.y, 0.0, -metresPerPixel_};
}

PosType ChartProjection::Centre() const { return PosType(centreLatitude_, centreLongitude_); }
