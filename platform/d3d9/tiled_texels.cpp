#include "tiled_texels.h"

#include <algorithm>
#include <cstring>

namespace d3d9 {

namespace {

UINT RoundUpToTile(UINT size) { return (size + kTileSide - 1) / kTileSide * kTileSide; }

}  // namespace

TiledTexels::TiledTexels(UINT width, UINT height)
    : width_(width), height_(height), tileRowPitch_(std::ptrdiff_t{RoundUpToTile(width)} * kTileSide) {
  const std::size_t count = std::size_t{RoundUpToTile(width)} * RoundUpToTile(height);
  texels_.reset(static_cast<std::uint32_t*>(::operator new[](count * sizeof(std::uint32_t), kAlignment)));
  std::fill_n(texels_.get(), count, 0u);
}

void TiledTexels::StoreRow(UINT x, UINT y, const std::uint32_t* texels, UINT count) {
  std::uint32_t* const tiled = texels_.get();
  const UINT end = x + count;
  for (; x < end && x % kTileSide != 0; ++x) tiled[TexelView::TiledOffset(x, y, tileRowPitch_)] = *texels++;
  // Whole tile widths: each tile holds four texels of the row side by side, and the next tile follows.
  if (x + kTileSide <= end) {
    std::uint32_t* target = tiled + TexelView::TiledOffset(x, y, tileRowPitch_);
    for (; x + kTileSide <= end; x += kTileSide, texels += kTileSide, target += kTileTexels) {
      std::memcpy(target, texels, kTileSide * sizeof(std::uint32_t));
    }
  }
  for (; x < end; ++x) tiled[TexelView::TiledOffset(x, y, tileRowPitch_)] = *texels++;
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
