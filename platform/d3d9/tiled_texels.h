#pragma once
// The sampling copy of a texture's level 0 in the tiled layout of TexelView, written row piece by row
// piece from the linear texels a program locked.
#include <cstdint>
#include <memory>
#include <new>

#include "d3d9types.h"
#include "texel_view.h"

namespace d3d9 {

class TiledTexels {
public:
  // Transparent black texels for a width × height level; throws std::bad_alloc when memory runs out.
  TiledTexels(UINT width, UINT height);

  // Stores `count` 0xAARRGGBB texels as texels x to x + count − 1 of row y, all inside the level.
  void StoreRow(UINT x, UINT y, const std::uint32_t* texels, UINT count);
  TexelView View(std::uint32_t alphaFill) const;

private:
  // Calls copy(tiled, index, length) for each run of the row's texels that lie side by side in a tile:
  // `length` texels at `tiled`, the row's texels from x + index on.
  template <class Copy>
  void ForEachRun(UINT x, UINT y, UINT count, Copy copy);

  // Tiles start on cache lines; large levels on large pages (see the constructor).
  struct AlignedDelete {
    std::align_val_t alignment;
    void operator()(std::uint32_t* texels) const { ::operator delete[](texels, alignment); }
  };

  UINT width_;
  UINT height_;
  std::ptrdiff_t tileRowPitch_;
  std::unique_ptr<std::uint32_t[], AlignedDelete> texels_{nullptr, AlignedDelete{std::align_val_t{64}}};
};

}  // namespace d3d9
