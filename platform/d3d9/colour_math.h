#pragma once
// 8-bit channel arithmetic on 0xAARRGGBB colours, rounded to nearest like a hardware blender.
#include <cstdint>

namespace d3d9 {

constexpr std::uint32_t Channel(std::uint32_t colour, int index) { return (colour >> (8 * index)) & 0xFFu; }

// a × b / 255 rounded to nearest, exact for all a, b in 0..255.
constexpr std::uint32_t MultiplyChannels(std::uint32_t a, std::uint32_t b) {
  const std::uint32_t x = a * b + 128;
  return (x + (x >> 8)) >> 8;
}

// Each colour channel of `a` times the same channel of `b`.
constexpr std::uint32_t Modulate(std::uint32_t a, std::uint32_t b) {
  return MultiplyChannels(a & 0xFFu, b & 0xFFu) | (MultiplyChannels((a >> 8) & 0xFFu, (b >> 8) & 0xFFu) << 8) |
         (MultiplyChannels((a >> 16) & 0xFFu, (b >> 16) & 0xFFu) << 16) | (MultiplyChannels(a >> 24, b >> 24) << 24);
}

// Each of two 16-bit lanes (at most 255 × 255) divided by 255 and rounded to nearest.
constexpr std::uint32_t DivideLanesBy255(std::uint32_t lanes) {
  lanes += 0x00800080u;
  return ((lanes + ((lanes >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// `source` over `destination`: source × alpha + destination × (255 − alpha), every channel.
constexpr std::uint32_t BlendOver(std::uint32_t source, std::uint32_t destination, std::uint32_t alpha) {
  const std::uint32_t inverse = 255 - alpha;
  const std::uint32_t redBlue = (source & 0x00FF00FFu) * alpha + (destination & 0x00FF00FFu) * inverse;
  const std::uint32_t alphaGreen = ((source >> 8) & 0x00FF00FFu) * alpha + ((destination >> 8) & 0x00FF00FFu) * inverse;
  return DivideLanesBy255(redBlue) | (DivideLanesBy255(alphaGreen) << 8);
}

// a + (b − a) × weight / 256 for weight 0..256, every channel.
constexpr std::uint32_t Interpolate(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
  const std::uint32_t keep = 256 - weight;
  const std::uint32_t redBlue = (((a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
  const std::uint32_t alphaGreen =
      ((((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
  return redBlue | (alphaGreen << 8);
}

}  // namespace d3d9
