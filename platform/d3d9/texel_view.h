#pragma once
// Level 0 of a texture as the pixel pipeline samples it: 32-bit texels in square tiles of 4 × 4, each
// tile one 64-byte cache line, tiles row by row. A read that walks the texture along a slanted line finds
// the texels beside and below the last one in the same line of cache.
#include <cstddef>
#include <cstdint>

namespace d3d9 {

constexpr int kTileSideBits = 2;
constexpr int kTileSide = 1 << kTileSideBits;  // texels
constexpr int kTileTexels = kTileSide * kTileSide;

struct TexelView {
  const std::uint32_t* texels = nullptr;  // 0xAARRGGBB, tiled
  std::ptrdiff_t tileRowPitch = 0;        // texels from one row of tiles to the next
  int width = 0;
  int height = 0;
  std::uint32_t alphaFill = 0;  // 0xFF000000 for formats without alpha, so their texels read opaque

  // Where texel (x, y) of the texture lies, for 0 <= x < width and 0 <= y < height.
  std::ptrdiff_t Offset(std::ptrdiff_t x, std::ptrdiff_t y) const { return TiledOffset(x, y, tileRowPitch); }

  static constexpr std::ptrdiff_t TiledOffset(std::ptrdiff_t x, std::ptrdiff_t y, std::ptrdiff_t tileRowPitch) {
    constexpr std::ptrdiff_t kInTile = kTileSide - 1;
    return (y >> kTileSideBits) * tileRowPitch + ((x & ~kInTile) << kTileSideBits) + ((y & kInTile) << kTileSideBits) +
           (x & kInTile);
  }
};

}  // namespace d3d9
