#pragma once
// Where a flexible vertex format puts the parts of a pre-transformed vertex, and the vertex as the
// rasteriser takes it. Depth and rhw are not read: with no depth buffer and every vertex taken at
// rhw 1, texture coordinates and colours interpolate linearly across the screen.
#include <cstddef>
#include <optional>

#include "d3d9types.h"

namespace d3d9 {

struct ScreenVertex {
  double x = 0;  // pixels; pixel centres lie at integer coordinates
  double y = 0;
  double colour[4] = {};  // blue, green, red, alpha, each 0 to 255
  double u = 0;           // texture coordinates of the set texture stage 0 reads
  double v = 0;
};

class VertexLayout {
public:
  // The layout of `fvf`, reading texture coordinate set `texCoordSet`; nothing unless the format is a
  // valid pre-transformed one (D3DFVF_XYZRHW).
  static std::optional<VertexLayout> FromFvf(DWORD fvf, DWORD texCoordSet);

  UINT Size() const { return size_; }
  // The vertex at `bytes`, which hold at least Size() bytes. Without a diffuse colour a vertex is
  // opaque white; without the texture coordinate set they are 0.
  ScreenVertex Read(const std::byte* bytes) const;

private:
  UINT size_ = 0;
  int diffuseOffset_ = -1;
  int texCoordOffset_ = -1;
  int texCoordFloats_ = 0;
};

}  // namespace d3d9
