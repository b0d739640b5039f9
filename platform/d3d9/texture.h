#pragma once
// A texture in system memory. Level 0 is kept as the pixel pipeline samples it, in 32-bit texels and
// tiles; the program locks it linear, as it locks the other levels. For 32-bit formats level 0 is kept
// only tiled: a lock copies the locked rectangle out into a linear staging area and, unless it was for
// reading, back into the tiles when it ends, as a driver does. A 16-bit format keeps its linear texels
// as well, and the tiles are refreshed from them over the rectangle when a lock for writing ends.
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
  TexelView SamplingView() const;

  // The number of levels of a full chain for a width × height texture.
  static UINT FullChainLength(UINT width, UINT height);

private:
  struct Level {
    UINT width = 0;
    UINT height = 0;
    UINT pitch = 0;  // bytes
    std::vector<std::uint32_t> store;  // empty for a level kept only tiled
    bool locked = false;
    bool lockedReadOnly = false;
    RECT lockedRect{};
  };

  Texture(const TextureRequest& request, const void* owner) : request_(request), owner_(owner) {}
  bool KeptOnlyTiled(UINT level) const { return level == 0 && levels_[0].store.empty(); }
  // Copies the tiled texels of `rect` out to the staging area; false when memory runs out.
  bool Stage(const RECT& rect);
  void RefreshSampledTexels(const RECT& rect);

  TextureRequest request_;
  const void* owner_;
  std::vector<Level> levels_;
  std::optional<TiledTexels> sampled_;
  std::vector<std::uint32_t> staging_;  // the locked rectangle of a level kept only tiled
  UINT stagingPitch_ = 0;               // texels
  std::vector<std::uint32_t> expandedRow_;  // one row of a 16-bit format in 32-bit texels, while refreshing
};

}  // namespace d3d9
