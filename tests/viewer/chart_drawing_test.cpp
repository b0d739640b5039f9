// The chart drawn as a live view needs it: bounded strokes however many lines the chart holds, shapes
// outside the view passed over, and the painted chart kept until the view or its mode changes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "support/memory_lines.h"
#include "viewer/chart/chart_cache.h"
#include "viewer/chart/chart_layers.h"
#include "viewer/chart/chart_painter.h"
#include "viewer/chart/chart_projection.h"
#include "viewer/chart/colour_scheme.h"
#include "viewer/module_host/view_pixels.h"

namespace {

constexpr double kDegree = M_PI / 180.0;
constexpr int kWidth = 600;
constexpr int kHeight = 400;

using Degrees = LinePoint;
using Line = ChartLine;

ChartLayers CoastOf(const std::string& name, const std::vector<Line>& lines) {
  const MemoryLines file(name, lines);
  ChartLayers layers;
  std::string error;
  EXPECT_TRUE(layers.Load("", file.Path(), error)) << error;
  return layers;
}

ChartProjection TheView() { return ChartProjection(kWidth, kHeight, PosType(53.2 * kDegree, 5.2 * kDegree), 15.0); }

Degrees At(const ChartProjection& projection, double x, double y) {
  const PosType position = projection.ToGeo({x, y});
  return {position.longitude / kDegree, position.latitude / kDegree};
}

std::uint32_t Rgb(const ViewSurface& surface, int x, int y) {
  return surface.pixels[static_cast<std::size_t>(y) * surface.width + static_cast<std::size_t>(x)] & 0xFFFFFFu;
}

// 200,000 short lines in random directions over four times the view's area, crossing one another all
// over: before, stroked as one path, such a chart never finished drawing.
TEST(ChartDrawing, DrawsAChartOfManyCrossingLines) {
  const ChartProjection projection = TheView();
  const Degrees low = At(projection, -kWidth / 2.0, kHeight * 1.5);
  const Degrees high = At(projection, kWidth * 1.5, -kHeight / 2.0);
  std::mt19937 random(500);
  std::uniform_real_distribution<double> longitude(low.longitude, high.longitude);
  std::uniform_real_distribution<double> latitude(low.latitude, high.latitude);
  std::uniform_real_distribution<double> step(-0.03, 0.03);
  constexpr std::size_t kLines = 200'000;
  std::vector<Line> lines(kLines);
  for (Line& line : lines) {
    const Degrees start{longitude(random), latitude(random)};
    line = {start, {start.longitude + step(random), start.latitude + step(random)}};
  }
  const ChartLayers layers = CoastOf("crossing", lines);
  ASSERT_EQ(layers.Coast().size(), kLines);

  ViewPixels pixels(kWidth, kHeight);
  const ChartColours& colours = ColoursFor(LightMode::kDay);
  const ChartPaintCounts counts = PaintChart(pixels.Surface(), projection, layers, colours);
  // About a quarter lies in the view; the rest is passed over.
  EXPECT_GT(counts.coastLines, kLines / 5);
  EXPECT_LT(counts.coastLines, kLines / 3);
  EXPECT_GE(counts.coastStrokes, 2 * counts.coastLines / (2 * kMaxLinePiecePoints));
  std::size_t coast = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) coast += Rgb(pixels.Surface(), x, y) == colours.coast;
  EXPECT_GT(coast, std::size_t{kWidth} * kHeight / 4) << "the lines cover much of the view";
}

// A line longer than a piece is kept in pieces that join where they meet, and only the pieces that
// reach into the view are stroked.
TEST(ChartDrawing, KeepsLongLinesInPiecesAndStrokesThoseInView) {
  Line line;
  constexpr int kPoints = 5000;
  for (int i = 0; i < kPoints; ++i) line.push_back({3.0 + 4.0 * i / (kPoints - 1), 53.2 + 0.001 * (i % 2)});
  const ChartLayers layers = CoastOf("long", {line});
  const std::vector<ChartShape>& pieces = layers.Coast();
  ASSERT_EQ(pieces.size(), 3u);
  std::size_t points = 0;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::vector<MercatorPoint>& part = pieces[i].parts.at(0);
    EXPECT_LE(part.size(), kMaxLinePiecePoints);
    points += part.size();
    if (i > 0) {
      EXPECT_EQ(part.front().x, pieces[i - 1].parts[0].back().x) << "piece " << i << " starts where the last ended";
      EXPECT_EQ(part.front().y, pieces[i - 1].parts[0].back().y);
    }
  }
  EXPECT_EQ(points, kPoints + pieces.size() - 1);

  ViewPixels pixels(kWidth, kHeight);
  // The view spans about 4.5°E to 5.9°E: the first two pieces reach into it, the last does not.
  const ChartPaintCounts counts = PaintChart(pixels.Surface(), TheView(), layers, ColoursFor(LightMode::kDay));
  EXPECT_EQ(counts.coastLines, 2u);
}

// Lines outside the view cost nothing but the test of their boxes; a line whose pen reaches into the
// view from just outside it is drawn.
TEST(ChartDrawing, PassesOverWhatLiesOutsideTheView) {
  const ChartProjection projection = TheView();
  struct Case {
    const char* name;
    double x0, y0, x1, y1;  // screen pixels
    std::size_t drawn;
    int probeX, probeY;  // a pixel it must colour, when drawn
  };
  const Case cases[] = {
      {"inside", 100, 100, 200, 150, 1, 150, 125},
      {"across, both ends outside", -100, 200, 700, 200, 1, 300, 200},
      {"its pen reaching in from the left", -0.3, 50, -0.3, 150, 1, 0, 100},
      {"left of the view", -60, 100, -10, 120, 0, 0, 0},
      {"below the view", 100, 420, 300, 500, 0, 0, 0},
      {"far away", 5000, -9000, 5100, -9100, 0, 0, 0},
  };
  const ChartColours& colours = ColoursFor(LightMode::kDay);
  for (const Case& c : cases) {
    const ChartLayers layers = CoastOf("culled", {{At(projection, c.x0, c.y0), At(projection, c.x1, c.y1)}});
    ViewPixels pixels(kWidth, kHeight);
    const ChartPaintCounts counts = PaintChart(pixels.Surface(), projection, layers, colours);
    EXPECT_EQ(counts.coastLines, c.drawn) << c.name;
    if (c.drawn != 0) {
      EXPECT_NE(Rgb(pixels.Surface(), c.probeX, c.probeY), colours.sea) << c.name;
    }
  }
}

// The chart is painted once for a view and mode, copied under the radar at every later frame, and
// painted again when the view moves, zooms or changes size, or the mode changes.
TEST(ChartCache, PaintsAgainOnlyWhenTheViewOrModeChanges) {
  ChartLayers layers;
  std::string error;
  const std::string charts = SORVIK_SOURCE_DIR "/data/charts/";
  ASSERT_TRUE(layers.Load(charts + "wadden-land.geojson", charts + "wadden-coast.geojson", error)) << error;

  struct Step {
    const char* name;
    int width, height;
    double latitude, longitude, range;
    LightMode mode;
    int paints;  // after this step
  };
  const Step steps[] = {
      {"first frame", kWidth, kHeight, 53.2, 5.2, 15.0, LightMode::kDay, 1},
      {"same view", kWidth, kHeight, 53.2, 5.2, 15.0, LightMode::kDay, 1},
      {"same view again", kWidth, kHeight, 53.2, 5.2, 15.0, LightMode::kDay, 1},
      {"moved", kWidth, kHeight, 53.21, 5.2, 15.0, LightMode::kDay, 2},
      {"zoomed", kWidth, kHeight, 53.21, 5.2, 8.0, LightMode::kDay, 3},
      {"dusk", kWidth, kHeight, 53.21, 5.2, 8.0, LightMode::kDusk, 4},
      {"dusk again", kWidth, kHeight, 53.21, 5.2, 8.0, LightMode::kDusk, 4},
      {"night", kWidth, kHeight, 53.21, 5.2, 8.0, LightMode::kNight, 5},
      {"resized", 500, 300, 53.21, 5.2, 8.0, LightMode::kNight, 6},
  };
  ChartCache cache;
  for (const Step& step : steps) {
    const ChartProjection projection(step.width, step.height,
                                     PosType(step.latitude * kDegree, step.longitude * kDegree), step.range);
    ViewPixels frame(step.width, step.height);
    frame.Fill(0xFF123456u);  // what the radar drew over the last frame
    cache.PutUnder(frame.Surface(), projection, layers, step.mode);
    EXPECT_EQ(cache.Paints(), step.paints) << step.name;

    ViewPixels fresh(step.width, step.height);
    PaintChart(fresh.Surface(), projection, layers, ColoursFor(step.mode));
    const std::size_t count = std::size_t{static_cast<unsigned>(step.width)} * static_cast<unsigned>(step.height);
    EXPECT_TRUE(std::equal(frame.Surface().pixels, frame.Surface().pixels + count, fresh.Surface().pixels))
        << step.name << ": the chart under the radar is the one this view and mode paint";
  }
}

}  // namespace
