#include "common/navigation_geometry.h"

#include <algorithm>
#include <cmath>

#include "common/no_value.h"
#include "common/units.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kQuarterPi = 0.7853981633974483;
constexpr double kInverseTwoPi = 0.15915494309189535;
constexpr double kLn2 = 0.6931471805599453;
// Up to this longitude difference GreatCircleBearingDistance follows the rhumb line.
constexpr double kFiveDegrees = 0.08726646259971647;
// How far a start at a pole is moved off it.
constexpr double kPoleOffset = 1e-8;
// Below this |cos bearing| a rhumb line is measured along the parallel.
constexpr double kEastWestThreshold = 0.01;

bool IsMissing(double value) { return value == NoValueDouble || !std::isfinite(value); }

double NaturalLog(double x) { return std::log2(x) * kLn2; }

// A latitude beyond a pole is taken as the pole: π/2 rounded to single precision lies just beyond it.
double ClampLatitude(double latitude) { return std::clamp(latitude, -kHalfPi, kHalfPi); }

bool AtPole(double clampedLatitude) { return std::abs(clampedLatitude) == kHalfPi; }

// A longitude brought into [-π, π], however many turns off it is.
double WrapLongitude(double longitude) {
  return longitude > kPi || longitude < -kPi ? std::remainder(longitude, kTwoPi) : longitude;
}

// Longitude 2 minus longitude 1, the shorter way round when they are more than half a turn apart.
double LongitudeDifference(double longitude1, double longitude2) {
  if (std::abs(longitude2 - longitude1) > kPi) longitude2 += longitude1 < longitude2 ? -kTwoPi : kTwoPi;
  return longitude2 - longitude1;
}

// Equal points once the longitudes are wrapped; at a pole the longitude does not matter.
bool SamePoint(double latitude1, double latitude2, double longitudeDifference) {
  return latitude1 == latitude2 && (longitudeDifference == 0 || AtPole(latitude1));
}

void AlongMeridian(double latitude1, double latitude2, double& bearing, double& distance) {
  bearing = latitude1 < latitude2 ? 0.0 : kPi;
  distance = std::abs(latitude2 - latitude1);
}

// tan(π/4 + φ/2), written so that neither pole's side loses its digits to cancellation.
double MercatorTangent(double latitude) {
  const double sine = std::sin(latitude);
  const double cosine = std::cos(latitude);
  return latitude >= 0 ? (1 + sine) / cosine : cosine / (1 - sine);
}

}  // namespace

double NormalizeAngle(double angle) {
  if (angle == NoValueDouble) return angle;
  double turns = std::trunc(angle * kInverseTwoPi);
  if (angle < 0) turns -= 1;
  double reduced = angle - turns * kTwoPi;
  // Far from zero the product above can round across a turn boundary.
  if (reduced < 0) {
    reduced += kTwoPi;
  } else if (reduced > kTwoPi) {
    reduced -= kTwoPi;
  }
  return reduced;
}

double ArcSin(double x) {
  if (std::abs(x) == 1) return x * kHalfPi;
  const double square = x * x;
  return std::copysign(std::atan(std::abs(x) / std::sqrt(1 - square)), x);
}

bool RhumbLineDestination(double startLatitude, double startLongitude, double bearing, double distance,
                          double& endLatitude, double& endLongitude) {
  endLatitude = NoValueDouble;
  endLongitude = NoValueDouble;
  if (IsMissing(startLatitude) || IsMissing(startLongitude) || IsMissing(bearing) || IsMissing(distance)) {
    return false;
  }
  if (bearing < 0 || bearing > kTwoPi || distance > kPi) return false;

  const double latitude1 = ClampLatitude(startLatitude);
  double latitude2 = latitude1 + distance * std::cos(bearing);
  if (std::abs(latitude2) > kHalfPi) {
    // A track of constant bearing spirals into the pole and ends there.
    latitude2 = std::copysign(kHalfPi, latitude2);
    distance = (latitude2 - latitude1) / std::cos(bearing);
  }
  const double meanLatitude = (latitude1 + latitude2) / 2;
  // A track that runs at the pole itself stays on one point: keep the start's longitude.
  const double longitude2 = AtPole(meanLatitude)
                                ? startLongitude
                                : startLongitude + distance * std::sin(bearing) / std::cos(meanLatitude);
  endLatitude = latitude2;
  endLongitude = WrapLongitude(longitude2);
  return true;
}

void RhumbLineBearingDistance(double latitude1, double longitude1, double latitude2, double longitude2,
                              double& bearing, double& distance) {
  bearing = 0;
  distance = 0;
  latitude1 = ClampLatitude(latitude1);
  latitude2 = ClampLatitude(latitude2);
  const double deltaLongitude = LongitudeDifference(longitude1, longitude2);
  if (SamePoint(latitude1, latitude2, deltaLongitude)) return;
  // A pole is reached along a meridian, whatever the longitudes.
  if (deltaLongitude == 0 || AtPole(latitude1) || AtPole(latitude2)) {
    AlongMeridian(latitude1, latitude2, bearing, distance);
    return;
  }

  const double deltaPsi = NaturalLog(MercatorTangent(latitude2) / MercatorTangent(latitude1));
  double theta = std::atan(deltaLongitude / deltaPsi);
  if (deltaLongitude > 0) {
    if (theta < 0) theta += kPi;
  } else {
    theta += theta < 0 ? kTwoPi : kPi;
  }
  bearing = theta;
  const double cosine = std::cos(theta);
  distance = std::abs(cosine) < kEastWestThreshold ? std::abs(deltaLongitude * std::cos(latitude2))
                                                   : std::abs((latitude2 - latitude1) / cosine);
}

void GreatCircleBearingDistance(double latitude1, double longitude1, double latitude2, double longitude2,
                                double& bearing, double& distance) {
  bearing = 0;
  distance = 0;
  latitude1 = ClampLatitude(latitude1);
  latitude2 = ClampLatitude(latitude2);
  const double deltaLongitude = LongitudeDifference(longitude1, longitude2);
  if (SamePoint(latitude1, latitude2, deltaLongitude)) return;
  // The meridian is the route to a pole from anywhere, and the route along one longitude.
  if (deltaLongitude == 0 || AtPole(latitude2)) {
    AlongMeridian(latitude1, latitude2, bearing, distance);
    return;
  }
  const bool eastward = deltaLongitude > 0;
  if (latitude1 == kHalfPi) {
    latitude1 -= kPoleOffset;
  } else if (latitude1 == -kHalfPi) {
    latitude1 += kPoleOffset;
  }

  if (std::abs(deltaLongitude) > kFiveDegrees) {
    const double sin1 = std::sin(latitude1);
    const double sin2 = std::sin(latitude2);
    // Rounding can push both cosines a hair beyond ±1, where the arc sine has no value.
    const double cosD = std::clamp(
        std::cos(latitude1) * std::cos(latitude2) * std::cos(deltaLongitude) + sin1 * sin2, -1.0, 1.0);
    const double d = kHalfPi - ArcSin(cosD);
    const double sinD = std::sin(d);
    if (sinD == 0) return;  // the points coincide within rounding
    const double cosBearing = std::clamp((sin2 - sin1 * cosD) / std::cos(latitude1) / sinD, -1.0, 1.0);
    const double eastBearing = kHalfPi - ArcSin(cosBearing);
    bearing = eastward ? eastBearing : kTwoPi - eastBearing;
    distance = std::abs(d);
    return;
  }

  const double deltaPsi =
      NaturalLog(std::tan(latitude2 / 2 + kQuarterPi) / std::tan(latitude1 / 2 + kQuarterPi));
  double theta = std::atan(deltaLongitude / deltaPsi);
  if (latitude2 < latitude1) {
    theta += kPi;
  } else if (!eastward) {
    theta += kTwoPi;
  }
  bearing = theta;
  distance = latitude2 == latitude1 ? std::abs(deltaLongitude * std::cos(latitude1))
                                    : std::abs((latitude2 - latitude1) / std::cos(theta));
}

bool BearingDistance(double latitude1, double longitude1, double latitude2, double longitude2,
                     std::int32_t routeType, double& bearing, double& distance) {
  bearing = NoValueDouble;
  distance = NoValueDouble;
  if (IsMissing(latitude1) || IsMissing(longitude1) || IsMissing(latitude2) || IsMissing(longitude2)) {
    return false;
  }
  switch (routeType) {
    case kGreatCircleRoute:
      GreatCircleBearingDistance(latitude1, longitude1, latitude2, longitude2, bearing, distance);
      return true;
    case kRhumbLineRoute:
      RhumbLineBearingDistance(latitude1, longitude1, latitude2, longitude2, bearing, distance);
      return true;
    default:
      return false;
  }
}
