#include "common/navigation_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "common/no_value.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2 * kPi;
constexpr double kHalfPi = kPi / 2;
// Nine digits of a radian: far below anything a chart shows, far above rounding noise.
constexpr double kTolerance = 1e-9;
// π/2 as a single-precision position holds it: just beyond the pole.
const double kFloatPole = static_cast<double>(static_cast<float>(kHalfPi));
const double kNaN = std::numeric_limits<double>::quiet_NaN();

using RouteFunction = void (*)(double, double, double, double, double&, double&);

struct Route {
  double lat1, lon1, lat2, lon2, bearing, distance;
};

void ExpectRoutes(RouteFunction function, const std::vector<Route>& routes) {
  for (const Route& r : routes) {
    SCOPED_TRACE(testing::Message() << "(" << r.lat1 << ", " << r.lon1 << ") to (" << r.lat2 << ", " << r.lon2
                                    << ")");
    double bearing = -1;
    double distance = -1;
    function(r.lat1, r.lon1, r.lat2, r.lon2, bearing, distance);
    EXPECT_NEAR(bearing, r.bearing, kTolerance);
    EXPECT_NEAR(distance, r.distance, kTolerance);
  }
}

// Every pair of a grid with the poles, rounded poles and the antimeridian gets a bearing in [0, 2π]
// and a finite distance (a rhumb line between points near opposite poles is a bit over half a turn).
void ExpectSaneOnGrid(RouteFunction function) {
  const double nearPole = kHalfPi - 1e-9;
  const double latitudes[] = {-kFloatPole, -kHalfPi, -nearPole, 0, 0.7, nearPole, kHalfPi, kFloatPole};
  const double longitudes[] = {-kPi, -3, -0.05, 0, 0.04, 1, kPi};
  for (double lat1 : latitudes)
    for (double lon1 : longitudes)
      for (double lat2 : latitudes)
        for (double lon2 : longitudes) {
          double bearing = kNaN;
          double distance = kNaN;
          function(lat1, lon1, lat2, lon2, bearing, distance);
          EXPECT_TRUE(bearing >= 0 && bearing <= kTwoPi && distance >= 0 && distance < kTwoPi)
              << "(" << lat1 << ", " << lon1 << ") to (" << lat2 << ", " << lon2 << "): " << bearing << ", "
              << distance;
        }
}

TEST(NormalizeAngle, ReducesToOneTurnAndKeepsNoValue) {
  const double cases[][2] = {
      {7, 7 - kTwoPi}, {-1, kTwoPi - 1}, {-kTwoPi, kTwoPi}, {3, 3}, {-13, 6 * kPi - 13}};
  for (const auto& c : cases) EXPECT_NEAR(NormalizeAngle(c[0]), c[1], kTolerance) << c[0];
  EXPECT_EQ(NormalizeAngle(NoValueDouble), NoValueDouble);
  // Far from zero, rounding must not leave the turn.
  for (int turns = -3000; turns <= 3000; ++turns) {
    const double angle = turns * kTwoPi;
    for (double a : {angle, std::nextafter(angle, 1e300), std::nextafter(angle, -1e300)})
      ASSERT_TRUE(NormalizeAngle(a) >= 0 && NormalizeAngle(a) <= kTwoPi) << a;
  }
}

TEST(ArcSin, AnswersTheArcSineAndNaNOutsideItsDomain) {
  const double cases[][2] = {{1, kHalfPi}, {-1, -kHalfPi}, {0.5, kPi / 6}, {-0.5, -kPi / 6}, {0, 0}};
  for (const auto& c : cases) EXPECT_NEAR(ArcSin(c[0]), c[1], kTolerance) << c[0];
  EXPECT_TRUE(std::isnan(ArcSin(1.5)));
}

TEST(RhumbLineDestination, FollowsTheBearingAndStopsAtAPole) {
  // start latitude, start longitude, bearing, distance, end latitude, end longitude
  const double cases[][6] = {
      {0, 0, kHalfPi, 0.01, 0, 0.01},
      {0.5, 1, kPi, 0.1, 0.4, 1},
      {0, 3.14, kHalfPi, 0.01, 0, 3.15 - kTwoPi},
      {1.5, 0.2, 0, 0.2, kHalfPi, 0.2},
      {-1.5, 0.2, kPi, 0.2, -kHalfPi, 0.2},
      {kFloatPole, 0.3, 0, 0.1, kHalfPi, 0.3},
      {kHalfPi, 0.3, kHalfPi, 0.1, kHalfPi, 0.3},
      {1.5, 0, kHalfPi, 1, 1.5, 1.570462288610731},  // more than two turns round the pole
  };
  for (const auto& c : cases) {
    double latitude = 0;
    double longitude = 0;
    ASSERT_TRUE(RhumbLineDestination(c[0], c[1], c[2], c[3], latitude, longitude)) << c[0] << ", " << c[2];
    EXPECT_NEAR(latitude, c[4], kTolerance) << c[0] << ", " << c[2];
    EXPECT_NEAR(longitude, c[5], kTolerance) << c[0] << ", " << c[2];
  }
}

TEST(RhumbLineDestination, FailsOnMissingOrOutOfRangeInput) {
  const double cases[][4] = {
      {0, 0, 7, 0.1},           {0, 0, -0.1, 0.1}, {0, 0, 1, 4}, {NoValueDouble, 0, 1, 0.1},
      {0, 0, 1, NoValueDouble}, {0, 0, kNaN, 0.1}};
  for (const auto& c : cases) {
    double latitude = 0;
    double longitude = 0;
    EXPECT_FALSE(RhumbLineDestination(c[0], c[1], c[2], c[3], latitude, longitude)) << c[0] << ", " << c[2];
    EXPECT_EQ(latitude, NoValueDouble);
    EXPECT_EQ(longitude, NoValueDouble);
  }
}

TEST(RhumbLineBearingDistance, AnswersConstantBearingAndLength) {
  ExpectRoutes(RhumbLineBearingDistance,
               {
                   {0.1, 0.2, 0.4, 0.2, 0, 0.3},
                   {0.4, 0.2, 0.1, 0.2, kPi, 0.3},
                   {0, 0, 0, 0.1, kHalfPi, 0.1},
                   {0, 3, 0, -3, kHalfPi, kTwoPi - 6},
                   {0, 0, 0.1, 0.1, 0.7845634382024859, 0.14130345592394145},
                   {0.5, 1, 0.3, 0.8, 3.8847920138840264, 0.27162564811974876},
                   {0.3, -kPi, 0.3, kPi, 0, 0},
                   // A pole is reached along a meridian, and every longitude there is one point.
                   {0, 0, kHalfPi, 1, 0, kHalfPi},
                   {0, 0, -kHalfPi, 1, kPi, kHalfPi},
                   {-kHalfPi, 0, 0, -1, 0, kHalfPi},
                   {-kHalfPi, 0, -kHalfPi, 2, 0, 0},
               });
  ExpectSaneOnGrid(RhumbLineBearingDistance);
}

TEST(GreatCircleBearingDistance, AnswersInitialBearingAndLength) {
  ExpectRoutes(GreatCircleBearingDistance,
               {
                   {0, 0, 0, kHalfPi, kHalfPi, kHalfPi},
                   {0, 3, 0, -3, kHalfPi, kTwoPi - 6},
                   {0, 0, 0.5, 1, 0.9949673772330904, 1.0767867445664643},
                   {0.5, 1, 0, 0, 4.413759156230317, 1.0767867445664643},
                   {0.5, 0.05, 0.5, 0, 3 * kHalfPi, 0.05 * std::cos(0.5)},  // the rhumb line up to 5 degrees
                   {0.3, -kPi, 0.3, kPi, 0, 0},
                   {kHalfPi, 0, kHalfPi, 2, 0, 0},
                   {1, 0, kFloatPole, 0.05, 0, kHalfPi - 1},
                   {0, 0, -kHalfPi, 1, kPi, kHalfPi},
               });
  ExpectSaneOnGrid(GreatCircleBearingDistance);
}

TEST(BearingDistance, DispatchesOnTheRouteType) {
  double bearing = 0;
  double distance = 0;
  ASSERT_TRUE(BearingDistance(0, 0, 0.5, 1, kGreatCircleRoute, bearing, distance));
  EXPECT_NEAR(distance, 1.0767867445664643, kTolerance);
  ASSERT_TRUE(BearingDistance(0, 0, 0.1, 0.1, kRhumbLineRoute, bearing, distance));
  EXPECT_NEAR(distance, 0.14130345592394145, kTolerance);
  // Unknown route types and missing inputs fail with both outputs marked.
  const double failing[][5] = {{0, 0, 0.1, 0.1, 3},
                               {NoValueDouble, 0, 0.1, 0.1, 1},
                               {0, 0, 0.1, NoValueDouble, 2},
                               {0, 0, kNaN, 0.1, 1}};
  for (const auto& c : failing) {
    EXPECT_FALSE(BearingDistance(c[0], c[1], c[2], c[3], static_cast<int>(c[4]), bearing, distance));
    EXPECT_EQ(bearing, NoValueDouble);
    EXPECT_EQ(distance, NoValueDouble);
  }
}

}  // namespace
