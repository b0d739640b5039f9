#include "tiled_texels.h"

#include <algorithm>
#include <cstring>

#include <sys/mman.h>

namespace d3d9 {

namespace {

UINT RoundUp(UINT size, UINT step) { return (size + step - 1) / step * step; }

constexpr std::size_t kCacheLine = 64;
// A read along a slanted line meets another 4 KiB page at nearly every pixel; on pages of 2 MiB, as
// the system gives them where asked, a level of a few MiB needs only a few translations.
constexpr std::size_t kLargePage = std::size_t{2} << 20;

}  // namespace

TiledTexels::TiledTexels(UINT width, UINT height)
    : width_(width), height_(height), tileRowPitch_(std::ptrdiff_t{RoundUp(width, kTileWidth)} * kTileHeight) {
  const std::size_t count = std::size_t{RoundUp(width, kTileWidth)} * RoundUp(height, kTileHeight);
  std::size_t bytes = count * sizeof(std::uint32_t);
  const bool large = bytes >= kLargePage;
  if (large) bytes = (bytes + kLargePage - 1) / kLargePage * kLargePage;
  const std::align_val_t alignment{large ? kLargePage : kCacheLine};
  texels_ = {static_cast<std::uint32_t*>(::operator new[](bytes, alignment)), AlignedDelete{alignment}};
  // Only a hint: where the system keeps no large pages, the level lies on small ones.
  if (large) madvise(texels_.get(), bytes, MADV_HUGEPAGE);
  std::fill_n(texels_.get(), count, 0u);
}

template <class Copy>
void TiledTexels::ForEachRun(UINT x, UINT y, UINT count, Copy copy) {
  std::uint32_t* const tiled = texels_.get();
  const UINT first = x;
  const UINT end = x + count;
  for (; x < end && x % kTileWidth != 0; ++x)
    copy(tiled + TiledOffset<std::ptrdiff_t>(x, y, tileRowPitch_), x - first, 1);
  // Whole tile widths: each tile holds a run of the row's texels, and the next tile follows.
  if (x + kTileWidth <= end) {
    std::uint32_t* run = tiled + TiledOffset<std::ptrdiff_t>(x, y, tileRowPitch_);
    for (; x + kTileWidth <= end; x += kTileWidth, run += kTileTexels) copy(run, x - first, kTileWidth);
  }
  for (; x < end; ++x) copy(tiled + TiledOffset<std::ptrdiff_t>(x, y, tileRowPitch_), x - first, 1);
}

void TiledTexels::StoreRow(UINT x, UINT y, const std::uint32_t* texels, UINT count) {
  ForEachRun(x, y, count, [texels](std::uint32_t* run, UINT from, UINT length) {
    std::memcpy(run, texels + from, std::size_t{length} * sizeof(std::uint32_t));
  });
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
