#pragma once
// The baseline the device's drawing is measured against: one texel blended over one pixel by the texel's
// opacity, each channel rounded exactly, in the plainest code.
#include <cstdint>

inline std::uint32_t PlainBlend(std::uint32_t texel, std::uint32_t destination) {
  const std::uint32_t alpha = texel >> 24;
  std::uint32_t blended = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t sum = ((texel >> shift) & 0xFFu) * alpha + ((destination >> shift) & 0xFFu) * (255 - alpha);
    blended |= ((sum + 127) / 255) << shift;
  }
  return blended;
}
