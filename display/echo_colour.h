#pragma once
// What one echo sample looks like: the colour and opacity a sample level is drawn with.
#include <cstdint>

// Colours are 0x00BBGGRR. kNoEchoColour selects the multi-colour palette for echo levels and hides
// trail levels.
inline constexpr std::int32_t kNoEchoColour = -1;

// The single colour of colour index 0, 1 or 2 of the radar settings; kNoEchoColour for any other index.
std::int32_t EchoColourTable(int index);

struct EchoLevelLook {
  std::uint32_t colour = 0;  // 0x00BBGGRR
  std::uint8_t opacity = 0;
};

// Levels 0 to 7 are echo, drawn in `echoColour` with an opacity rising with the level, or in the
// palette when `echoColour` is kNoEchoColour. Levels above 7 are trail levels, drawn in `trailColour`
// or not at all when it is kNoEchoColour; levels above 15 look like level 15.
EchoLevelLook MapEchoLevel(std::uint8_t level, std::int32_t trailColour, std::int32_t echoColour);

// The A8R8G8B8 texel (in memory: blue, green, red, alpha) of `look`.
inline std::uint32_t EchoTexel(const EchoLevelLook& look) {
  const std::uint32_t red = look.colour & 0xFFu;
  const std::uint32_t green = (look.colour >> 8) & 0xFFu;
  const std::uint32_t blue = (look.colour >> 16) & 0xFFu;
  return std::uint32_t{look.opacity} << 24 | red << 16 | green << 8 | blue;
}
