#include "viewer/view_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ParseOutcome Parse(std::vector<const char*> arguments, ViewerOptions& options, std::string& error) {
  arguments.insert(arguments.begin(), "sorvik_viewer");
  std::string help;
  return ParseViewerOptions(static_cast<int>(arguments.size()), arguments.data(), options, error, help);
}

TEST(ViewOptions, ReadsEveryOption) {
  ViewerOptions options;
  std::string error;
  ASSERT_EQ(Parse({"--seconds", "2.5", "--imo", "--profile", "p.ini", "--module", "m.so", "--views", "3",
                   "--size", "640x480", "--size", "8192x100", "--mode", "night", "--hide", "2:rings,TRAIL_LAYER",
                   "--show", "trail", "--range-index", "6", "--echo-colour", "0", "--real-time", "off",
                   "--shift-bearing", "180", "--shift-distance", "0.5", "--standby", "--png", "out.png",
                   "--png-every", "3", "--png-at", "1", "0.5", "--geotiff", "r.tif", "--navigation", "fixed"},
                  options, error),
            ParseOutcome::kRun)
      << error;
  EXPECT_EQ(options.seconds, 2.5);
  EXPECT_TRUE(options.imoMode);
  EXPECT_EQ(options.profilePath, "p.ini");
  EXPECT_EQ(options.modulePath, "m.so");
  ASSERT_EQ(options.views.size(), 3u);
  EXPECT_EQ(options.views[0].width, 640);
  EXPECT_EQ(options.views[1].width, 8192);
  EXPECT_EQ(options.views[2].height, 100) << "the last size applies to the views after it";
  EXPECT_EQ(options.views[2].mode, LightMode::kNight);
  EXPECT_FALSE(options.views[0].hiddenLayers.has_value());
  EXPECT_EQ(options.views[1].hiddenLayers, (std::vector<std::string>{"RINGS_LAYER", "TRAIL_LAYER"}));
  EXPECT_EQ(options.shownLayers, std::vector<std::string>{"TRAIL_LAYER"});
  EXPECT_EQ(options.radar.rangeIndex, 6);
  EXPECT_EQ(options.radar.echoColour, 0);
  EXPECT_EQ(options.radar.realTime, false);
  EXPECT_EQ(options.radar.shiftBearingDegrees, 180.0);
  EXPECT_FALSE(options.radar.transmit);
  EXPECT_EQ(options.pngPath, "out.png");
  EXPECT_EQ(options.pngEvery, 3);
  EXPECT_EQ(options.pngTimes, (std::vector<double>{1.0, 0.5}));
  EXPECT_EQ(options.geotiffPath, "r.tif");
  EXPECT_EQ(options.navigation, NavigationChoice::kFixed);
}

TEST(ViewOptions, RefusesBadInputWithAReason) {
  const std::vector<std::vector<const char*>> cases = {
      {"--size", "0x10"},         {"--size", "8193x10"},     {"--size", "12px"},        {"--views", "9"},
      {"--size"},                 {"--png", ""},             {"--png-every", "0"},      {"--seconds", "soon"},
      {"--seconds", "-1"},        {"--seconds", "nan"},      {"--colour", "red"},       {"--mode", "dawn"},
      {"--hide", "2:RINGS"},      {"--hide", "1:BOATS"},     {"--show", "BOATS"},       {"--range-index", "11"},
      {"--shift-bearing", "10"},  {"--land", "/no/such/file"}, {"--trail-time", "14"},
      {"--serve", "65536"},       {"--serve", "host:80"},    {"--serve", "1.2.3:80"},   {"--serve", ":80"},
      {"--serve", "80", "--png-every", "2"},                 {"--control-token", "a b"}, {"--control-token", ""},
  };
  for (const auto& arguments : cases) {
    ViewerOptions options;
    std::string error;
    EXPECT_EQ(Parse(arguments, options, error), ParseOutcome::kError) << arguments[0];
    EXPECT_NE(error.find(arguments[0] + 2), std::string::npos) << error;
  }
}

// Served, the run lasts until it is stopped unless its time is given; the address defaults to loopback.
TEST(ViewOptions, ReadsWhereToServe) {
  struct Case {
    std::vector<const char*> arguments;
    const char* host;
    int port;
    double seconds;
  };
  const Case cases[] = {
      {{"--serve"}, "127.0.0.1", 8080, kServeForever},
      {{"--serve", "0"}, "127.0.0.1", 0, kServeForever},
      {{"--serve", "0.0.0.0:8081", "--seconds", "3"}, "0.0.0.0", 8081, 3.0},
      {{"--seconds", "3", "--serve", "localhost:9"}, "127.0.0.1", 9, 3.0},
  };
  for (const Case& c : cases) {
    ViewerOptions options;
    std::string error;
    ASSERT_EQ(Parse(c.arguments, options, error), ParseOutcome::kRun) << error;
    ASSERT_TRUE(options.serve.has_value());
    EXPECT_EQ(options.serve->host, c.host);
    EXPECT_EQ(options.serve->port, c.port);
    EXPECT_EQ(options.seconds, c.seconds);
  }
  ViewerOptions batch;
  std::string error;
  ASSERT_EQ(Parse({"--seconds", "3"}, batch, error), ParseOutcome::kRun);
  EXPECT_FALSE(batch.serve.has_value());
}

TEST(ViewOptions, HelpIsShownNotRun) {
  ViewerOptions options;
  std::string error, help;
  const char* arguments[] = {"sorvik_viewer", "--help"};
  EXPECT_EQ(ParseViewerOptions(2, arguments, options, error, help), ParseOutcome::kHelpShown);
  EXPECT_NE(help.find("--geotiff"), std::string::npos);
}

}  // namespace
