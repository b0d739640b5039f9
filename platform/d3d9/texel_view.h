#pragma once
// Level 0 of a texture as the pixel pipeline samples it: 32-bit texels in tiles of 4 × 4, each tile one
// 64-byte cache line, tiles row by row. A read that walks the texture along a slanted line finds
// the texels beside and below the last one in the same line of cache.
#include <cstddef>
#include <cstdint>

namespace d3d9 {

constexpr int kTileWidthBits = 2;
constexpr int kTileHeightBits = 2;
constexpr int kTileWidth = 1 << kTileWidthBits;  // texels
constexpr int kTileHeight = 1 << kTileHeightBits;
constexpr int kTileTexels = kTileWidth * kTileHeight;

// Where texel (x, y) lies among tiles `tileRowPitch` texels apart from one row of tiles to the next. For
// single indices and for lanes of them alike.
template <class Index, class Pitch>
constexpr Index TiledOffset(Index x, Index y, Pitch tileRowPitch) {
  constexpr int kAcross = kTileWidth - 1;
  constexpr int kDown = kTileHeight - 1;
  return (y >> kTileHeightBits) * tileRowPitch + ((x & ~kAcross) << kTileHeightBits) + ((y & kDown) << kTileWidthBits) +
         (x & kAcross);
}

struct TexelView {
  const std::uint32_t* texels = nullptr;  // 0xAARRGGBB, tiled
  std::ptrdiff_t tileRowPitch = 0;        // texels from one row of tiles to the next
  int width = 0;
  int height = 0;
  std::uint32_t alphaFill = 0;  // 0xFF000000 for formats without alpha, so their texels read opaque

  // Where texel (x, y) of the texture lies, for 0 <= x < width and 0 <= y < height.
  std::ptrdiff_t Offset(std::ptrdiff_t x, std::ptrdiff_t y) const { return TiledOffset(x, y, tileRowPitch); }
};

}  // namespace d3d9
