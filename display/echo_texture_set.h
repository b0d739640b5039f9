#pragma once
// A display's eight echo textures: each holds `textureSize` consecutive sweep rows, one texel per
// sample, so that the textures together hold one antenna turn.
#include <array>
#include <cstdint>
#include <span>

#include "d3d9.h"
#include "display/echo_geometry.h"
#include "display/echo_texel_mapping.h"

class EchoTextureSet {
public:
  explicit EchoTextureSet(const EchoGeometry& geometry) : geometry_(geometry) {}
  ~EchoTextureSet() { ReleaseAll(); }
  EchoTextureSet(const EchoTextureSet&) = delete;
  EchoTextureSet& operator=(const EchoTextureSet&) = delete;

  // Creates the textures on `device` in A8R8G8B8, or A4R4G4B4 when the adapter refuses the former.
  // False, with no texture, when the adapter offers neither or a creation fails.
  bool Create(IDirect3DDevice9* device);
  // Unlocks and releases every texture.
  void ReleaseAll();

  // Writes the texels of `samples` (at most textureSize of them; texels past them are transparent) to
  // sweep row `row`. Each row is locked on its own, until the next row or FinishWriting: the device
  // turns only what a lock covered into its sampling layout when the lock ends. Rows outside the turn,
  // rows without textures and rows that cannot be locked are dropped.
  void WriteRow(int row, std::span<const std::uint8_t> samples, const EchoTexelTable& table);
  // Makes row `row` transparent, under the same rules.
  void ClearRow(int row);
  void FinishWriting();

  bool HasTextures() const { return textures_[0] != nullptr; }
  // The texture of slot `slot`, or null.
  IDirect3DTexture9* Texture(int slot) const;
  D3DFORMAT Format() const { return format_; }
  const EchoGeometry& Geometry() const { return geometry_; }

private:
  // The start of row `row`, locked, or null when the row is dropped.
  std::uint8_t* LockedLine(int row);
  std::size_t TexelBytes() const { return format_ == D3DFMT_A8R8G8B8 ? 4 : 2; }

  EchoGeometry geometry_;
  std::array<IDirect3DTexture9*, EchoGeometry::kTextures> textures_{};
  D3DFORMAT format_ = D3DFMT_UNKNOWN;
  int lockedSlot_ = -1;
};
