#include "viewer/chart/chart_projection.h"

#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <cmath>
#include <memory>

namespace {

constexpr double kDegree = M_PI / 180.0;

// GDAL's own EPSG:4326 → EPSG:3857 transform is the reference the chart must agree with.
TEST(ChartProjection, MercatorAgreesWithGdal) {
  OGRSpatialReference wgs84, mercator;
  wgs84.importFromEPSG(4326);
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  mercator.importFromEPSG(3857);
  std::unique_ptr<OGRCoordinateTransformation> transform(OGRCreateCoordinateTransformation(&wgs84, &mercator));
  ASSERT_TRUE(transform);
  for (const auto& [latitude, longitude] : {std::pair{53.18, 5.27}, std::pair{-33.9, 18.4}, std::pair{0.0, -179.9},
                                            std::pair{78.2, 15.6}}) {
    double x = longitude, y = latitude;
    ASSERT_TRUE(transform->Transform(1, &x, &y));
    const MercatorPoint point = ToMercator(latitude * kDegree, longitude * kDegree);
    EXPECT_NEAR(point.x, x, 0.01) << latitude << " " << longitude;
    EXPECT_NEAR(point.y, y, 0.01) << latitude << " " << longitude;
    const PosType back = FromMercator(point);
    EXPECT_NEAR(back.latitude / kDegree, latitude, 1e-5);
    EXPECT_NEAR(back.longitude / kDegree, longitude, 1e-5);
  }
}

// The geotransform, the screen mapping and the range fit describe one and the same pixel grid.
TEST(ChartProjection, GeoTransformMatchesTheScreenAndTheRange) {
  const PosType centre(53.18 * kDegree, 5.27 * kDegree);
  ChartProjection projection(1280, 800, centre, 3.0);
  const std::array<double, 6> transform = projection.GeoTransform();
  const MercatorPoint middle = ToMercator(centre);
  EXPECT_NEAR(transform[0] + 640.0 * transform[1], middle.x, 1e-3);
  EXPECT_NEAR(transform[3] + 400.0 * transform[5], middle.y, 1e-3);
  EXPECT_EQ(transform[2], 0.0);
  EXPECT_EQ(transform[4], 0.0);
  // 3 miles of ground take 0.45 of the 800 pixels.
  EXPECT_NEAR(3.0 * kMetresPerNauticalMile / projection.GroundMetresPerPixel(), 360.0, 1e-6);
  const ScreenPosition screen = projection.ToScreen(PosType(53.2 * kDegree, 5.3 * kDegree));
  const MercatorPoint expected = ToMercator(53.2 * kDegree, 5.3 * kDegree);
  // Positions travel as single-precision radians: good to about half a metre.
  EXPECT_NEAR(transform[0] + screen.x * transform[1], expected.x, 1.0);
  EXPECT_NEAR(transform[3] + screen.y * transform[5], expected.y, 1.0);
  const PosType back = projection.ToGeo(screen);
  EXPECT_NEAR(back.latitude / kDegree, 53.2, 1e-5);
  EXPECT_NEAR(back.longitude / kDegree, 5.3, 1e-5);
}

TEST(ChartProjection, StaysContinuousAcrossTheDateLine) {
  ChartProjection projection(400, 300, PosType(10.0 * kDegree, 179.99 * kDegree), 5.0);
  const ScreenPosition east = projection.ToScreen(PosType(10.0 * kDegree, -179.99 * kDegree));
  EXPECT_GT(east.x, 200.0);
  EXPECT_LT(east.x, 250.0);
}

}  // namespace
