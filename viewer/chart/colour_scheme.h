#pragma once
// The chart's colours for day, dusk and night, as 0xRRGGBB.
#include <cstdint>

#include "viewer/view_options.h"

struct ChartColours {
  std::uint32_t sea;
  std::uint32_t land;
  std::uint32_t coast;
  std::uint32_t grid;
  std::uint32_t text;
  // Behind grid labels and the scale bar, so that they read over land and echo alike.
  std::uint32_t labelBackground;
};

const ChartColours& ColoursFor(LightMode mode);
