#include "tiled_texels.h"

#include <algorithm>
#include <cstring>

namespace d3d9 {

namespace {

UINT RoundUp(UINT size, UINT step) { return (size + step - 1) / step * step; }

}  // namespace

TiledTexels::TiledTexels(UINT width, UINT height)
    : width_(width), height_(height), tileRowPitch_(std::ptrdiff_t{RoundUp(width, kTileWidth)} * kTileHeight) {
  const std::size_t count = std::size_t{RoundUp(width, kTileWidth)} * RoundUp(height, kTileHeight);
  texels_.reset(static_cast<std::uint32_t*>(::operator new[](count * sizeof(std::uint32_t), kAlignment)));
  std::fill_n(texels_.get(), count, 0u);
}

void TiledTexels::StoreRow(UINT x, UINT y, const std::uint32_t* texels, UINT count) {
  std::uint32_t* const tiled = texels_.get();
  const UINT end = x + count;
  for (; x < end && x % kTileWidth != 0; ++x) tiled[TiledOffset<std::ptrdiff_t>(x, y, tileRowPitch_)] = *texels++;
  // Whole tile widths: each tile holds a run of the row's texels, and the next tile follows.
  if (x + kTileWidth <= end) {
    std::uint32_t* target = tiled + TiledOffset<std::ptrdiff_t>(x, y, tileRowPitch_);
    for (; x + kTileWidth <= end; x += kTileWidth, texels += kTileWidth, target += kTileTexels) {
      std::memcpy(target, texels, kTileWidth * sizeof(std::uint32_t));
    }
  }
  for (; x < end; ++x) tiled[TiledOffset<std::ptrdiff_t>(x, y, tileRowPitch_)] = *texels++;
}

TexelView TiledTexels::View(std::uint32_t alphaFill) const {
  TexelView view;
  view.texels = texels_.get();
  view.tileRowPitch = tileRowPitch_;
  view.width = static_cast<int>(width_);
  view.height = static_cast<int>(height_);
  view.alphaFill = alphaFill;
  return view;
}

}  // namespace d3d9
