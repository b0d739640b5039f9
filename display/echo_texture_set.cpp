#include "display/echo_texture_set.h"

#include <algorithm>
#include <cstring>

namespace {

// The first texel format of the echo textures that the device's adapter accepts, or D3DFMT_UNKNOWN.
D3DFORMAT ChooseTexelFormat(IDirect3DDevice9* device) {
  IDirect3D9* d3d = nullptr;
  if (device->GetDirect3D(&d3d) != D3D_OK || d3d == nullptr) return D3DFMT_UNKNOWN;
  D3DFORMAT chosen = D3DFMT_UNKNOWN;
  D3DCAPS9 caps{};
  D3DDISPLAYMODE mode{};
  if (device->GetDeviceCaps(&caps) == D3D_OK && d3d->GetAdapterDisplayMode(caps.AdapterOrdinal, &mode) == D3D_OK) {
    for (D3DFORMAT candidate : {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4}) {
      if (d3d->CheckDeviceFormat(caps.AdapterOrdinal, caps.DeviceType, mode.Format, 0, D3DRTYPE_TEXTURE,
                                 candidate) == D3D_OK) {
        chosen = candidate;
        break;
      }
    }
  }
  d3d->Release();
  return chosen;
}

}  // namespace

bool EchoTextureSet::Create(IDirect3DDevice9* device) {
  ReleaseAll();
  if (device == nullptr) return false;
  format_ = ChooseTexelFormat(device);
  if (format_ == D3DFMT_UNKNOWN) return false;
  const auto size = static_cast<UINT>(geometry_.textureSize);
  for (IDirect3DTexture9*& texture : textures_) {
    if (device->CreateTexture(size, size, 1, 0, format_, D3DPOOL_MANAGED, &texture, nullptr) != D3D_OK ||
        texture == nullptr) {
      texture = nullptr;
      ReleaseAll();
      return false;
    }
  }
  return true;
}

void EchoTextureSet::ReleaseAll() {
  FinishWriting();
  for (IDirect3DTexture9*& texture : textures_) {
    if (texture != nullptr) texture->Release();
    texture = nullptr;
  }
}

IDirect3DTexture9* EchoTextureSet::Texture(int slot) const {
  if (slot < 0 || slot >= static_cast<int>(textures_.size())) return nullptr;
  return textures_[static_cast<std::size_t>(slot)];
}

void EchoTextureSet::WriteRow(int row, std::span<const std::uint8_t> samples, const EchoTexelTable& table) {
  std::uint8_t* line = LockedLine(row);
  if (line == nullptr) return;
  const std::size_t size = static_cast<std::size_t>(geometry_.textureSize);
  const std::span<const std::uint8_t> given = samples.first(std::min(samples.size(), size));
  if (format_ == D3DFMT_A8R8G8B8) {
    MapToA8R8G8B8(given, table, line);
  } else {
    MapToA4R4G4B4(given, table, line);
  }
  std::memset(line + given.size() * TexelBytes(), 0, (size - given.size()) * TexelBytes());
}

void EchoTextureSet::ClearRow(int row) {
  if (std::uint8_t* line = LockedLine(row)) {
    std::memset(line, 0, static_cast<std::size_t>(geometry_.textureSize) * TexelBytes());
  }
}

std::uint8_t* EchoTextureSet::LockedLine(int row) {
  FinishWriting();
  if (!HasTextures() || row < 0 || row >= geometry_.rows) return nullptr;
  const int slot = row / geometry_.textureSize;
  const LONG line = row - slot * geometry_.textureSize;
  const RECT rect{0, line, geometry_.textureSize, line + 1};
  IDirect3DTexture9* texture = Texture(slot);
  D3DLOCKED_RECT locked{};
  if (texture == nullptr || texture->LockRect(0, &locked, &rect, 0) != D3D_OK) return nullptr;
  lockedSlot_ = slot;
  if (locked.pBits == nullptr) FinishWriting();
  return static_cast<std::uint8_t*>(locked.pBits);
}

void EchoTextureSet::FinishWriting() {
  if (lockedSlot_ >= 0) textures_[static_cast<std::size_t>(lockedSlot_)]->UnlockRect(0);
  lockedSlot_ = -1;
}
