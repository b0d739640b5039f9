#include "viewer/view_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool Parse(std::vector<const char*> arguments, ViewerOptions& options, std::string& error) {
  arguments.insert(arguments.begin(), "sorvik_viewer");
  return ParseViewerOptions(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(ViewOptions, ReadsEveryOption) {
  ViewerOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--seconds", "2.5", "--imo", "--profile", "p.ini", "--module", "m.so", "--width", "640",
                     "--height", "8192", "--png", "out.png", "--png-every", "3"},
                    options, error))
      << error;
  EXPECT_EQ(options.seconds, 2.5);
  EXPECT_TRUE(options.imoMode);
  EXPECT_EQ(options.profilePath, "p.ini");
  EXPECT_EQ(options.modulePath, "m.so");
  EXPECT_EQ(options.viewWidth, 640);
  EXPECT_EQ(options.viewHeight, 8192);
  EXPECT_EQ(options.pngPath, "out.png");
  EXPECT_EQ(options.pngEvery, 3);
}

TEST(ViewOptions, RefusesBadInputWithAReason) {
  const std::vector<std::vector<const char*>> cases = {
      {"--width", "0"},      {"--height", "8193"},  {"--width", "12px"},   {"--width", "-5"},
      {"--width"},           {"--png", ""},         {"--png-every", "0"},  {"--seconds", "soon"},
      {"--seconds", "-1"},   {"--seconds", "nan"},  {"--colour", "red"},
  };
  for (const auto& arguments : cases) {
    ViewerOptions options;
    std::string error;
    EXPECT_FALSE(Parse(arguments, options, error)) << arguments[0];
    EXPECT_NE(error.find(arguments[0]), std::string::npos) << error;
  }
}

}  // namespace
