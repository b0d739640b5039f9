#include "texture.h"

#include <algorithm>
#include <memory>
#include <new>

#include "texel_format.h"

namespace d3d9 {

namespace {

// Lines start on 16-byte boundaries, as a driver's would.
constexpr UINT kPitchAlignment = 16;

bool IsInside(const RECT& rect, UINT width, UINT height) {
  return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
         static_cast<UINT>(rect.right) <= width && static_cast<UINT>(rect.bottom) <= height;
}

}  // namespace

UINT Texture::FullChainLength(UINT width, UINT height) {
  UINT levels = 1;
  for (UINT size = std::max(width, height); size > 1; size /= 2) ++levels;
  return levels;
}

Texture* Texture::Create(const TextureRequest& request, const void* owner) {
  try {
    std::unique_ptr<Texture> texture(new Texture(request, owner));
    const UINT count = request.levels == 0 ? FullChainLength(request.width, request.height) : request.levels;
    const UINT bytesPerTexel = BytesPerTexel(request.format);
    texture->levels_.resize(count);
    for (UINT i = 0; i < count; ++i) {
      Level& level = texture->levels_[i];
      level.width = std::max(1u, request.width >> i);
      level.height = std::max(1u, request.height >> i);
      level.pitch = (level.width * bytesPerTexel + kPitchAlignment - 1) / kPitchAlignment * kPitchAlignment;
      level.store.assign(std::size_t{level.pitch} / 4 * level.height, 0);
    }
    texture->sampled_.emplace(texture->levels_[0].width, texture->levels_[0].height);
    if (bytesPerTexel == 2) texture->expandedRow_.assign(texture->levels_[0].width, 0);
    return texture.release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (level >= levels_.size() || desc == nullptr) return D3DERR_INVALIDCALL;
  *desc = {request_.format,      D3DRTYPE_SURFACE,     request_.usage, request_.pool, D3DMULTISAMPLE_NONE, 0,
           levels_[level].width, levels_[level].height};
  return D3D_OK;
}

HRESULT Texture::LockRect(UINT levelIndex, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
  if (levelIndex >= levels_.size() || lockedRect == nullptr) return D3DERR_INVALIDCALL;
  Level& level = levels_[levelIndex];
  const bool lockable = request_.pool != D3DPOOL_DEFAULT || (request_.usage & D3DUSAGE_DYNAMIC) != 0;
  if (level.locked || !lockable) return D3DERR_INVALIDCALL;
  const RECT whole{0, 0, static_cast<LONG>(level.width), static_cast<LONG>(level.height)};
  const RECT area = rect ? *rect : whole;
  if (!IsInside(area, level.width, level.height)) return D3DERR_INVALIDCALL;

  level.locked = true;
  level.lockedReadOnly = (flags & D3DLOCK_READONLY) != 0;
  level.lockedRect = area;
  auto* bytes = reinterpret_cast<unsigned char*>(level.store.data());
  lockedRect->Pitch = static_cast<INT>(level.pitch);
  lockedRect->pBits =
      bytes + std::size_t{level.pitch} * area.top + std::size_t{BytesPerTexel(request_.format)} * area.left;
  return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT levelIndex) {
  if (levelIndex >= levels_.size() || !levels_[levelIndex].locked) return D3DERR_INVALIDCALL;
  Level& level = levels_[levelIndex];
  level.locked = false;
  if (levelIndex == 0 && !level.lockedReadOnly) {
    const RECT& rect = level.lockedRect;
    stale_ = stale_ ? RECT{std::min(stale_->left, rect.left), std::min(stale_->top, rect.top),
                           std::max(stale_->right, rect.right), std::max(stale_->bottom, rect.bottom)}
                    : rect;
  }
  return D3D_OK;
}

void Texture::RefreshSampledTexels(const RECT& rect) const {
  const Level& level = levels_[0];
  const auto* bytes = reinterpret_cast<const unsigned char*>(level.store.data());
  const auto left = static_cast<UINT>(rect.left);
  const auto count = static_cast<UINT>(rect.right - rect.left);
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    const unsigned char* line = bytes + std::size_t{level.pitch} * static_cast<std::size_t>(y);
    const std::uint32_t* texels = nullptr;
    if (expandedRow_.empty()) {
      texels = reinterpret_cast<const std::uint32_t*>(line) + left;
    } else {
      ExpandA4R4G4B4(line + 2 * std::size_t{left}, expandedRow_.data(), count);
      texels = expandedRow_.data();
    }
    sampled_->StoreRow(left, static_cast<UINT>(y), texels, count);
  }
}

TexelView Texture::SamplingView() const {
  if (stale_) {
    RefreshSampledTexels(*stale_);
    stale_.reset();
  }
  return sampled_->View(request_.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0);
}

}  // namespace d3d9
