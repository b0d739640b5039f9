#include "viewer/module_host/sea_chart_view.h"

#include <gtest/gtest.h>

#include <cmath>

#include "extensions/gdi32.h"

namespace {

constexpr double kDegree = M_PI / 180.0;
constexpr double kMileInRadians = M_PI / (180.0 * 60.0);

std::unique_ptr<SeaChartView> ViewAt(double latitudeDegrees, double longitudeDegrees) {
  std::string error;
  auto view = SeaChartView::Create(400, 300, PosType(latitudeDegrees * kDegree, longitudeDegrees * kDegree), error);
  EXPECT_TRUE(view) << error;
  return view;
}

// With a range of 5 miles fitted, 5 miles of latitude or of longitude (shorter by the cosine of the
// latitude) reach 0.9 × 150 pixels from the centre, give or take Mercator's stretch over those miles;
// ScreenToGeo takes screen points back to within a pixel.
TEST(SeaChartView, ProjectsTheRangeIntoTheViewAndBack) {
  struct Case {
    double latitude, longitude;
  };
  for (const Case& place : {Case{53.18, 5.27}, Case{-33.9, 18.4}, Case{10.0, 179.99}}) {
    auto view = ViewAt(place.latitude, place.longitude);
    view->FitRange(5.0);
    const double lat = place.latitude * kDegree, lon = place.longitude * kDegree;
    const double east = 5.0 * kMileInRadians / std::cos(lat);
    float x = 0, y = 0;
    view->GeoToScreen(x, y, PosType(lat + 5.0 * kMileInRadians, lon), 0);
    EXPECT_NEAR(x, 200.0, 0.5);
    EXPECT_NEAR(y, 150.0 - 135.0, 0.5);
    view->GeoToScreen(x, y, PosType(lat, lon + east), 0);
    EXPECT_NEAR(x, 200.0 + 135.0, 0.5);
    EXPECT_NEAR(y, 150.0, 0.5);

    const double pixel = 5.0 * kMileInRadians / 135.0;
    PosType back;
    view->ScreenToGeo(back, ScreenPoint{335, 15});
    EXPECT_NEAR(back.latitude, lat + 5.0 * kMileInRadians, pixel);
    EXPECT_NEAR(std::remainder(back.longitude - (lon + east), 2 * M_PI), 0.0, pixel / std::cos(lat));
  }
}

TEST(SeaChartView, OffersADeviceOnItsPixelsAndClearsToTheSea) {
  auto view = ViewAt(53.18, 5.27);
  ASSERT_NE(view->GetRenderContext(), nullptr);
  EXPECT_NE(view->GetRenderContext()->GetDevice(), nullptr);
  EXPECT_EQ(view->GetRenderMode(), kDisplayRenderMode);
  const ViewSurface surface = view->Surface();
  EXPECT_EQ(surface.pixels[0], kSeaColour);
  EXPECT_EQ(surface.pixels[surface.width * surface.height - 1], kSeaColour);
  EXPECT_EQ(view->GetViewSize().width, 400);
  EXPECT_EQ(view->GetViewSize().height, 300);
}

// GDI drawing through the view's device context lands in the view's pixels; the context goes with the view.
TEST(SeaChartView, OffersADeviceContextOnItsPixels) {
  const UINT before = LiveGdiObjects();
  {
    auto view = ViewAt(53.18, 5.27);
    CDC* dc = view->GetViewDC(0);
    ASSERT_NE(dc, nullptr);
    ViewSurface surface;
    ASSERT_TRUE(GetViewDCSurface(dc->GetSafeHdc(), surface));
    EXPECT_EQ(surface.pixels, view->Surface().pixels);
    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* old = dc->SelectObject(&pen);
    dc->SelectStockObject(HOLLOW_BRUSH);
    EXPECT_TRUE(dc->Ellipse(100, 50, 300, 250));
    dc->SelectObject(old);
    EXPECT_NE(view->Surface().pixels[150 * 400 + 100], kSeaColour) << "the circle's left edge";
    EXPECT_EQ(view->Surface().pixels[150 * 400 + 200], kSeaColour) << "its hollow middle";
  }
  EXPECT_EQ(LiveGdiObjects(), before);
}

TEST(SeaChartView, RefusesSizesWithoutADevice) {
  for (const auto& [width, height] : {std::pair{0, 10}, std::pair{10, -1}, std::pair{9000, 10}}) {
    std::string error;
    EXPECT_FALSE(SeaChartView::Create(width, height, PosType(), error)) << width << "x" << height;
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
