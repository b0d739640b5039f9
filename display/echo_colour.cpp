#include "display/echo_colour.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::int32_t, 3> kSingleColours = {0x0000FF, 0x3BF279, 0x00C8C8};

constexpr std::array<EchoLevelLook, 8> kPalette = {{
    {0x1A6428, 0},
    {0x133C13, 140},
    {0x29A129, 140},
    {0x34DE8C, 100},
    {0x01F6FF, 120},
    {0x01F6FF, 140},
    {0x0FC4FF, 150},
    {0x0000FF, 150},
}};

constexpr std::uint8_t kHighestEchoLevel = 7;
// The strongest trail level; stronger samples would overflow the opacity.
constexpr std::uint8_t kHighestTrailLevel = 15;

}  // namespace

std::int32_t EchoColourTable(int index) {
  if (index < 0 || index >= static_cast<int>(kSingleColours.size())) return kNoEchoColour;
  return kSingleColours[static_cast<std::size_t>(index)];
}

EchoLevelLook MapEchoLevel(std::uint8_t level, std::int32_t trailColour, std::int32_t echoColour) {
  if (level > kHighestEchoLevel) {
    if (trailColour == kNoEchoColour) return {};
    const int trailStep = std::min(level, kHighestTrailLevel) - kHighestEchoLevel;
    const auto opacity = static_cast<std::uint8_t>(trailStep * 0.125 * 127 + 50);
    return {static_cast<std::uint32_t>(trailColour), opacity};
  }
  if (echoColour == kNoEchoColour) return kPalette[level];
  if (level == 0) return {0x00FF00, 0};
  const int opacity = level <= 3 ? 64 + 9 * level : 128 + 18 * (level - 4);
  return {static_cast<std::uint32_t>(echoColour), static_cast<std::uint8_t>(opacity)};
}
