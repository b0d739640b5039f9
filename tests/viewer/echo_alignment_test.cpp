// The replayed echo lies on the chart's land: measured on the radar's own drawing as the viewer writes
// it (GeoTIFF, alpha = opacity) against the land polygons rasterised by GDAL into the same pixel grid.
// The same capture replayed with the antenna turned 5 degrees either way, or with the range 6% short,
// must measure clearly worse, so that a real heading or range fault fails the measure.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "support/land_share.h"
#include "viewer_runner.h"

namespace {

struct Variant {
  const char* name;
  double bearingAlignment;
  double rangeFactor;
};

TEST(EchoAlignment, ReplayedEchoLiesOnTheCoastAndFaultsShow) {
  const Variant variants[] = {{"aligned", 0.0, 1.0}, {"turned-right", 5.0, 1.0}, {"turned-left", -5.0, 1.0},
                              {"short", 0.0, 0.94}};
  // All four replays run at once: each takes the recording's own time.
  std::vector<FILE*> runs;
  for (const Variant& variant : variants) {
    const std::string name = variant.name;
    runs.push_back(StartViewer("--radar-config " + ReplayRadarConfig(variant.name, variant.bearingAlignment, variant.rangeFactor) + " --profile " + Scratch(name + ".ini") +
                               " --output " + Scratch(name) + " --geotiff " + Scratch(name + ".tif") +
                               " --seconds 8 --size 1280x800 --echo-colour 0 --real-time off --printing"
                               " --hide 1:RINGS,TRAIL"));
  }
  GDALAllRegister();
  double shares[4] = {};
  std::vector<std::uint8_t> nearLand;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const ViewerResult result = FinishViewer(runs[i]);
    ASSERT_EQ(result.exitCode, 0) << variants[i].name << "\n" << result.output;
    land_share::Score score;
    std::string error;
    ASSERT_TRUE(land_share::ScoreRun(Scratch(std::string(variants[i].name) + ".tif"), result.output,
                                     SORVIK_SOURCE_DIR "/data/charts/wadden-land.geojson", nearLand, score, error))
        << variants[i].name << ": " << error << "\n" << result.output;
    shares[i] = score.Percent();
    std::printf("%s: %.1f%% of the strong echo on or near land\n", variants[i].name, shares[i]);
  }
  EXPECT_GT(shares[0], 40.0);
  EXPECT_GE(shares[0] - shares[1], 3.0) << "turned 5 degrees to the right";
  EXPECT_GE(shares[0] - shares[2], 3.0) << "turned 5 degrees to the left";
  EXPECT_GE(shares[0] - shares[3], 5.0) << "range 6% short";
}

}  // namespace
