#include "viewer/chart/colour_scheme.h"

namespace {

// Night colours stay dark and low in blue light, so that the bridge keeps its night vision.
constexpr ChartColours kDay = {0xB9D7EA, 0xE9DDB0, 0x6B5A35, 0x7F98AA, 0x1E2C3A, 0xF4F1E6};
constexpr ChartColours kDusk = {0x3F5D73, 0x76694A, 0x2B2416, 0x7890A2, 0xDDE4EA, 0x2A3440};
constexpr ChartColours kNight = {0x08121C, 0x1B1710, 0x3A3222, 0x26323E, 0x7A8694, 0x0C0F12};

}  // namespace

const ChartColours& ColoursFor(LightMode mode) {
  switch (mode) {
    case LightMode::kDusk: return kDusk;
    case LightMode::kNight: return kNight;
    case LightMode::kDay: break;
  }
  return kDay;
}
