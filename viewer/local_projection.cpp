#include "viewer/local_projection.h"

#include <algorithm>
#include <cmath>

namespace {

// A nautical mile is one minute of arc.
constexpr double kMilesPerRadian = 60.0 * 180.0 / M_PI;
// Keeps the projection finite within a few metres of a pole.
constexpr double kSmallestLongitudeScale = 1e-6;

// `angle` brought into [-pi, pi], so that a view across the date line stays continuous.
double Wrapped(double angle) { return std::remainder(angle, 2.0 * M_PI); }

}  // namespace

LocalProjection::LocalProjection(const PosType& centre, ScreenPosition centrePixel, double pixelsPerMile)
    : centrePixel_(centrePixel), pixelsPerMile_(pixelsPerMile) {
  SetCentre(centre);
}

void LocalProjection::SetCentre(const PosType& centre) {
  centre_ = centre;
  longitudeScale_ = std::max(std::cos(static_cast<double>(centre.latitude)), kSmallestLongitudeScale);
}

ScreenPosition LocalProjection::ToScreen(const PosType& position) const {
  const double pixelsPerRadian = kMilesPerRadian * pixelsPerMile_;
  const double east = Wrapped(static_cast<double>(position.longitude) - centre_.longitude) * longitudeScale_;
  const double north = static_cast<double>(position.latitude) - centre_.latitude;
  return {centrePixel_.x + east * pixelsPerRadian, centrePixel_.y - north * pixelsPerRadian};
}

PosType LocalProjection::ToGeo(ScreenPosition point) const {
  const double pixelsPerRadian = kMilesPerRadian * pixelsPerMile_;
  const double east = (point.x - centrePixel_.x) / pixelsPerRadian;
  const double north = (centrePixel_.y - point.y) / pixelsPerRadian;
  return PosType(centre_.latitude + north, Wrapped(centre_.longitude + east / longitudeScale_));
}
