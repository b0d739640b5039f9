#include <gtest/gtest.h>

#include <cmath>

#include "viewer/chart/chart_layers.h"
#include "viewer/chart/chart_painter.h"
#include "viewer/chart/chart_projection.h"
#include "viewer/chart/colour_scheme.h"
#include "viewer/chart/grid.h"
#include "viewer/chart/scale_bar.h"
#include "viewer/module_host/view_pixels.h"

namespace {

constexpr double kDegree = M_PI / 180.0;

std::string ChartFile(const char* name) { return std::string(SORVIK_SOURCE_DIR "/data/charts/") + name; }

TEST(Grid, PicksAChartSpacingAndLabelsIt) {
  struct Case {
    double spanMinutes, step;
  };
  for (const Case& c : {Case{0.4, 0.1}, Case{7.0, 2.0}, Case{12.0, 2.0}, Case{13.0, 5.0}, Case{100.0, 20.0},
                        Case{1e6, 1800.0}})
    EXPECT_EQ(GridStepMinutes(c.spanMinutes), c.step) << c.spanMinutes;
  EXPECT_EQ(FormatLatitude(53.0 + 10.0 / 60.0, 5.0), "53\u00B010'N");
  EXPECT_EQ(FormatLatitude(-(33.0 + 59.999 / 60.0), 1.0), "34\u00B000'S") << "rounds into the next degree";
  EXPECT_EQ(FormatLongitude(5.0 + 16.5 / 60.0, 0.5), "5\u00B016.5'E");
  EXPECT_EQ(FormatLongitude(-4.5, 30.0), "4\u00B030'W");
  EXPECT_EQ(FormatLongitude(181.0, 60.0), "179\u00B000'W");
}

TEST(ScaleBar, TakesTheLongestRoundLengthThatFits) {
  struct Case {
    double metresPerPixel, maxPixels, miles;
  };
  for (const Case& c : {Case{10.0, 320.0, 1.0}, Case{10.0, 150.0, 0.5}, Case{10.0, 50.0, 0.25},
                        Case{100.0, 320.0, 10.0}, Case{1.0, 5.0, 0.0}}) {
    const ScaleBarLength bar = ScaleBarFor(c.metresPerPixel, c.maxPixels);
    EXPECT_EQ(bar.miles, c.miles) << c.metresPerPixel << " " << c.maxPixels;
    EXPECT_LE(bar.pixels, c.maxPixels);
  }
  EXPECT_EQ(ScaleBarFor(10.0, 320.0).label, "1 NM");
  EXPECT_EQ(ScaleBarFor(10.0, 50.0).label, "0.25 NM");
}

TEST(ChartLayers, RefusesWhatIsNoVectorData) {
  ChartLayers layers;
  std::string error;
  EXPECT_FALSE(layers.Load(ChartFile("NOTICE-gshhg.txt"), "", error));
  EXPECT_NE(error.find("NOTICE-gshhg.txt"), std::string::npos);
}

// Friesland's land fills with the land colour, the North Sea off Texel stays sea, in every light mode.
TEST(ChartPainter, PaintsLandFromTheChartFiles) {
  ChartLayers layers;
  std::string error;
  ASSERT_TRUE(layers.Load(ChartFile("wadden-land.geojson"), ChartFile("wadden-coast.geojson"), error)) << error;
  EXPECT_GE(layers.Land().size(), 10u);
  EXPECT_GT(layers.Coast().size(), 10u);
  ViewPixels pixels(600, 400);
  const ChartProjection projection(600, 400, PosType(53.2 * kDegree, 5.2 * kDegree), 15.0);
  for (LightMode mode : {LightMode::kDay, LightMode::kDusk, LightMode::kNight}) {
    const ChartColours& colours = ColoursFor(mode);
    PaintChart(pixels.Surface(), projection, layers, colours);
    const auto colourAt = [&](double latitude, double longitude) {
      const ScreenPosition point = projection.ToScreen(PosType(latitude * kDegree, longitude * kDegree));
      return pixels.Surface().pixels[static_cast<int>(point.y) * 600 + static_cast<int>(point.x)] & 0xFFFFFFu;
    };
    EXPECT_EQ(colourAt(53.07, 5.55), colours.land) << "inland Friesland";
    EXPECT_EQ(colourAt(53.23, 4.78), colours.sea) << "the North Sea";
  }
}

}  // namespace
