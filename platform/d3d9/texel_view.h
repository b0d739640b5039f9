#pragma once
// Level 0 of a texture as the pixel pipeline samples it.
#include <cstddef>
#include <cstdint>

namespace d3d9 {

struct TexelView {
  const std::uint32_t* texels = nullptr;  // 0xAARRGGBB
  std::ptrdiff_t pitch = 0;               // in texels
  int width = 0;
  int height = 0;
  std::uint32_t alphaFill = 0;  // 0xFF000000 for formats without alpha, so their texels read opaque
};

}  // namespace d3d9
