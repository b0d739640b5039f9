#pragma once
// A texture in system memory: its levels as the program locks them, linear, and level 0 again as the
// pixel pipeline samples it, in 32-bit texels and tiles. As a driver uploads a managed texture when it
// is used, the tiles catch up with what locks for writing changed when the texture is next sampled,
// over the rectangle that takes in every such lock since.
#include <cstdint>
#include <optional>
#include <vector>

#include "com_object.h"
#include "d3d9.h"
#include "texel_view.h"
#include "tiled_texels.h"

namespace d3d9 {

struct TextureRequest {
  UINT width = 0;
  UINT height = 0;
  UINT levels = 0;  // 0: the whole chain down to 1 × 1
  DWORD usage = 0;
  D3DFORMAT format = D3DFMT_UNKNOWN;
  D3DPOOL pool = D3DPOOL_MANAGED;
};

class Texture final : public ComObject<IDirect3DTexture9> {
public:
  // A texture for `request`, already checked by the device, or null when memory runs out. `owner`
  // identifies the device that created it and is never dereferenced.
  static Texture* Create(const TextureRequest& request, const void* owner);

  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;

  bool BelongsTo(const void* owner) const { return owner_ == owner; }
  D3DPOOL Pool() const { return request_.pool; }
  // Brings the tiles up to date first.
  TexelView SamplingView() const;

  // The number of levels of a full chain for a width × height texture.
  static UINT FullChainLength(UINT width, UINT height);

private:
  struct Level {
    UINT width = 0;
    UINT height = 0;
    UINT pitch = 0;  // bytes
    std::vector<std::uint32_t> store;
    bool locked = false;
    bool lockedReadOnly = false;
    RECT lockedRect{};
  };

  Texture(const TextureRequest& request, const void* owner) : request_(request), owner_(owner) {}
  void RefreshSampledTexels(const RECT& rect) const;

  TextureRequest request_;
  const void* owner_;
  std::vector<Level> levels_;
  // The sampling copy catches up on use: these change when a const user asks for it.
  mutable std::optional<TiledTexels> sampled_;
  mutable std::optional<RECT> stale_;  // of level 0, changed since the tiles were last brought up to date
  mutable std::vector<std::uint32_t> expandedRow_;  // one row of a 16-bit format in 32-bit texels
};

}  // namespace d3d9
