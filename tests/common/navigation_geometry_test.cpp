#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "common/navigation_geometry.h"
#include "settings/no_value.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2 * kPi;
constexpr double kHalfPi = kPi / 2;
// Nine digits of a radian: well below anything a chart can show, well above rounding noise.
constexpr double kTolerance = 1e-9;
// π/2 as a single-precision position holds it: just beyond the pole.
const double kFloatPole = static_cast<double>(static_cast<float>(kHalfPi));
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Route {
  double lat1, lon1, lat2, lon2;
  double bearing, distance;
};

using BearingDistanceFunction = void (*)(double, double, double, double, double&, double&);

void ExpectRoutes(BearingDistanceFunction function, const std::vector<Route>& routes) {
  for (const Route& route : routes) {
    SCOPED_TRACE(testing::Message() << "(" << route.lat1 << ", " << route.lon1 << ") to (" << route.lat2
                                    << ", " << route.lon2 << ")");
    double bearing = -1;
    double distance = -1;
    function(route.lat1, route.lon1, route.lat2, route.lon2, bearing, distance);
    EXPECT_NEAR(bearing, route.bearing, kTolerance);
    EXPECT_NEAR(distance, route.distance, kTolerance);
  }
}

// Every pair of a grid that holds both poles, rounded poles and the antimeridian gets a bearing in
// [0, 2π] and a finite distance (a rhumb line between points near opposite poles is a little longer
// than half a turn).
void ExpectSaneOnGrid(BearingDistanceFunction function) {
  const std::vector<double> latitudes{-kFloatPole, -kHalfPi, -kHalfPi + 1e-9, -1.2, 0, 0.7, kHalfPi - 1e-9,
                                      kHalfPi, kFloatPole};
  const std::vector<double> longitudes{-kPi, -3, -0.05, 0, 0.04, 1, 3, kPi};
  for (double lat1 : latitudes) {
    for (double lon1 : longitudes) {
      for (double lat2 : latitudes) {
        for (double lon2 : longitudes) {
          double bearing = kNaN;
          double distance = kNaN;
          function(lat1, lon1, lat2, lon2, bearing, distance);
          EXPECT_TRUE(bearing >= 0 && bearing <= kTwoPi && distance >= 0 && distance < kTwoPi)
              << "(" << lat1 << ", " << lon1 << ") to (" << lat2 << ", " << lon2 << "): " << bearing << ", "
              << distance;
        }
      }
    }
  }
}

TEST(NormalizeAngle, ReducesToOneTurn) {
  const struct {
    double angle, expected;
  } cases[] = {{7, 7 - kTwoPi}, {-1, kTwoPi - 1}, {-kTwoPi, kTwoPi}, {0, 0}, {3, 3}, {-13, 6 * kPi - 13}};
  for (const auto& c : cases) EXPECT_NEAR(NormalizeAngle(c.angle), c.expected, kTolerance) << c.angle;
  EXPECT_EQ(NormalizeAngle(NoValueDouble), NoValueDouble);
}

TEST(NormalizeAngle, StaysWithinATurnAtLargeMultiples) {
  for (int turns = -3000; turns <= 3000; ++turns) {
    double angle = turns * kTwoPi;
    for (int step = 0; step < 4; ++step, angle = std::nextafter(angle, 1e300)) {
      const double reduced = NormalizeAngle(angle);
      ASSERT_TRUE(reduced >= 0 && reduced <= kTwoPi) << angle << " gave " << reduced;
    }
  }
}

TEST(ArcSin, AnswersTheArcSineAndNaNOutsideItsDomain) {
  const struct {
    double x, expected;
  } cases[] = {{1, kHalfPi}, {-1, -kHalfPi}, {0.5, kPi / 6}, {-0.5, -kPi / 6}, {0, 0}};
  for (const auto& c : cases) EXPECT_NEAR(ArcSin(c.x), c.expected, kTolerance) << c.x;
  EXPECT_TRUE(std::isnan(ArcSin(1.5)));
}

TEST(RhumbLineDestination, FollowsTheBearing) {
  const struct {
    double lat, lon, bearing, distance, endLat, endLon;
  } cases[] = {
      {0, 0, kHalfPi, 0.01, 0, 0.01},
      {0.5, 1, 0, 0.1, 0.6, 1},
      {0.5, 1, kPi, 0.1, 0.4, 1},
      {0, 3.14, kHalfPi, 0.01, 0, 3.15 - kTwoPi},  // across the antimeridian
      {0, -3.14, 3 * kHalfPi, 0.01, 0, kTwoPi - 3.15},
      // Past a pole the track ends at it.
      {1.5, 0.2, 0, 0.2, kHalfPi, 0.2},
      {-1.5, 0.2, kPi, 0.2, -kHalfPi, 0.2},
      {kFloatPole, 0.3, 0, 0.1, kHalfPi, 0.3},
      // Due east at the pole goes nowhere; near it, many turns round it.
      {kHalfPi, 0.3, kHalfPi, 0.1, kHalfPi, 0.3},
      {1.5, 0, kHalfPi, 1, 1.5, 1.570462288610731},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lat << ", " << c.lon << ", " << c.bearing << ", " << c.distance);
    double latitude = 0;
    double longitude = 0;
    ASSERT_TRUE(RhumbLineDestination(c.lat, c.lon, c.bearing, c.distance, latitude, longitude));
    EXPECT_NEAR(latitude, c.endLat, kTolerance);
    EXPECT_NEAR(longitude, c.endLon, kTolerance);
  }
}

TEST(RhumbLineDestination, FailsOnMissingOrOutOfRangeInput) {
  const struct {
    double lat, lon, bearing, distance;
  } cases[] = {
      {0, 0, 7, 0.1},  {0, 0, -0.1, 0.1}, {0, 0, 1, 4},    {NoValueDouble, 0, 1, 0.1}, {0, NoValueDouble, 1, 0.1},
      {0, 0, NoValueDouble, 0.1},         {0, 0, 1, NoValueDouble}, {kNaN, 0, 1, 0.1}, {0, 0, kNaN, 0.1},
  };
  for (const auto& c : cases) {
    double latitude = 0;
    double longitude = 0;
    EXPECT_FALSE(RhumbLineDestination(c.lat, c.lon, c.bearing, c.distance, latitude, longitude))
        << c.lat << ", " << c.lon << ", " << c.bearing << ", " << c.distance;
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
                   {0.5, 0.1, 0.5, 0, 3 * kHalfPi, 0.1 * std::cos(0.5)},
                   {0, 3, 0, -3, kHalfPi, kTwoPi - 6},
                   {0, 0, 0.1, 0.1, 0.7845634382024859, 0.14130345592394145},
                   {0.5, 1, 0.3, 0.8, 3.8847920138840264, 0.27162564811974876},
                   {0.3, 0.4, 0.3, 0.4, 0, 0},
                   {0.3, -kPi, 0.3, kPi, 0, 0},
                   // A pole is reached along a meridian, and every longitude there is one point.
                   {0, 0, kHalfPi, 1, 0, kHalfPi},
                   {0, 0, kFloatPole, 1, 0, kHalfPi},
                   {0, 0, -kHalfPi, 1, kPi, kHalfPi},
                   {-kHalfPi, 0, 0, -1, 0, kHalfPi},
                   {kHalfPi, 0, 0.5, 2, kPi, kHalfPi - 0.5},
                   {-kHalfPi, 0, -kHalfPi, 2, 0, 0},
               });
}

TEST(RhumbLineBearingDistance, IsSaneEverywhere) { ExpectSaneOnGrid(RhumbLineBearingDistance); }

TEST(GreatCircleBearingDistance, AnswersInitialBearingAndLength) {
  ExpectRoutes(GreatCircleBearingDistance,
               {
                   {0, 0, 0, kHalfPi, kHalfPi, kHalfPi},
                   {0, 3, 0, -3, kHalfPi, kTwoPi - 6},
                   {0, 0, 0.5, 1, 0.9949673772330904, 1.0767867445664643},
                   {0.5, 1, 0, 0, 4.413759156230317, 1.0767867445664643},
                   // Up to five degrees of longitude apart, the rhumb line.
                   {0.5, 0.05, 0.5, 0, 3 * kHalfPi, 0.05 * std::cos(0.5)},
                   {0.1, 0.2, 0.4, 0.2, 0, 0.3},
                   {0.3, -kPi, 0.3, kPi, 0, 0},
                   {kHalfPi, 0, kHalfPi, 2, 0, 0},
                   {1, 0, kHalfPi, 1, 0, kHalfPi - 1},
                   {1, 0, kFloatPole, 0.05, 0, kHalfPi - 1},
                   {0, 0, -kHalfPi, 1, kPi, kHalfPi},
               });
}

TEST(GreatCircleBearingDistance, IsSaneEverywhere) { ExpectSaneOnGrid(GreatCircleBearingDistance); }

TEST(BearingDistance, DispatchesOnTheRouteType) {
  double bearing = 0;
  double distance = 0;
  ASSERT_TRUE(BearingDistance(0, 0, 0.5, 1, kGreatCircleRoute, bearing, distance));
  EXPECT_NEAR(distance, 1.0767867445664643, kTolerance);
  ASSERT_TRUE(BearingDistance(0, 0, 0.1, 0.1, kRhumbLineRoute, bearing, distance));
  EXPECT_NEAR(bearing, 0.7845634382024859, kTolerance);
  EXPECT_NEAR(distance, 0.14130345592394145, kTolerance);
}

TEST(BearingDistance, FailsOnMissingInputOrUnknownRoute) {
  const struct {
    double lat1, lon1, lat2, lon2;
    int routeType;
  } cases[] = {
      {0, 0, 0.1, 0.1, 3},          {0, 0, 0.1, 0.1, 0},         {NoValueDouble, 0, 0.1, 0.1, 1},
      {0, NoValueDouble, 0.1, 0.1, 1}, {0, 0, NoValueDouble, 0.1, 2}, {0, 0, 0.1, NoValueDouble, 2},
      {0, 0, kNaN, 0.1, 1},
  };
  for (const auto& c : cases) {
    double bearing = 0;
    double distance = 0;
    EXPECT_FALSE(BearingDistance(c.lat1, c.lon1, c.lat2, c.lon2, c.routeType, bearing, distance))
        << c.lat1 << ", " << c.lon1 << ", " << c.lat2 << ", " << c.lon2 << ", " << c.routeType;
    EXPECT_EQ(bearing, NoValueDouble);
    EXPECT_EQ(distance, NoValueDouble);
  }
}

}  // namespace
