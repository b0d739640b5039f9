#include "vertex_layout.h"

#include <cstring>

namespace d3d9 {

namespace {

constexpr DWORD kMaxTexCoordSets = 8;

float ReadFloat(const std::byte* bytes) {
  float value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

// Floats in texture coordinate set `set` of `fvf`.
int TexCoordFloats(DWORD fvf, DWORD set) {
  switch ((fvf >> (16 + 2 * set)) & 3u) {
    case D3DFVF_TEXTUREFORMAT1: return 1;
    case D3DFVF_TEXTUREFORMAT3: return 3;
    case D3DFVF_TEXTUREFORMAT4: return 4;
    default: return 2;
  }
}

}  // namespace

std::optional<VertexLayout> VertexLayout::FromFvf(DWORD fvf, DWORD texCoordSet) {
  const DWORD sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  // Pre-transformed vertices carry no normal.
  if ((fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZRHW || (fvf & D3DFVF_NORMAL) != 0 || sets > kMaxTexCoordSets) {
    return std::nullopt;
  }
  VertexLayout layout;
  UINT offset = 4 * sizeof(float);  // x, y, z, rhw
  if (fvf & D3DFVF_PSIZE) offset += sizeof(float);
  if (fvf & D3DFVF_DIFFUSE) {
    layout.diffuseOffset_ = static_cast<int>(offset);
    offset += sizeof(D3DCOLOR);
  }
  if (fvf & D3DFVF_SPECULAR) offset += sizeof(D3DCOLOR);
  for (DWORD set = 0; set < sets; ++set) {
    const int floats = TexCoordFloats(fvf, set);
    if (set == texCoordSet) {
      layout.texCoordOffset_ = static_cast<int>(offset);
      layout.texCoordFloats_ = floats;
    }
    offset += static_cast<UINT>(floats) * sizeof(float);
  }
  layout.size_ = offset;
  return layout;
}

ScreenVertex VertexLayout::Read(const std::byte* bytes) const {
  ScreenVertex vertex;
  vertex.x = ReadFloat(bytes);
  vertex.y = ReadFloat(bytes + sizeof(float));
  D3DCOLOR diffuse = 0xFFFFFFFFu;
  if (diffuseOffset_ >= 0) std::memcpy(&diffuse, bytes + diffuseOffset_, sizeof diffuse);
  for (int channel = 0; channel < 4; ++channel) vertex.colour[channel] = (diffuse >> (8 * channel)) & 0xFFu;
  if (texCoordOffset_ >= 0) {
    vertex.u = ReadFloat(bytes + texCoordOffset_);
    if (texCoordFloats_ > 1) vertex.v = ReadFloat(bytes + texCoordOffset_ + sizeof(float));
  }
  return vertex;
}

}  // namespace d3d9
