#include "adapter_caps.h"

#include "guard_band_clipper.h"

namespace d3d9 {

void FillDeviceCaps(D3DCAPS9& caps) {
  caps = D3DCAPS9{};
  caps.DeviceType = D3DDEVTYPE_HAL;
  caps.AdapterOrdinal = D3DADAPTER_DEFAULT;
  caps.PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
  caps.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND;
  const DWORD blends = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCCOLOR | D3DPBLENDCAPS_INVSRCCOLOR |
                       D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA | D3DPBLENDCAPS_DESTALPHA |
                       D3DPBLENDCAPS_INVDESTALPHA | D3DPBLENDCAPS_DESTCOLOR | D3DPBLENDCAPS_INVDESTCOLOR |
                       D3DPBLENDCAPS_SRCALPHASAT | D3DPBLENDCAPS_BOTHSRCALPHA | D3DPBLENDCAPS_BOTHINVSRCALPHA;
  caps.SrcBlendCaps = blends;
  caps.DestBlendCaps = blends;
  caps.TextureCaps = D3DPTEXTURECAPS_ALPHA;
  caps.TextureFilterCaps =
      D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
  caps.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                            D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV | D3DPTADDRESSCAPS_MIRRORONCE;
  caps.MaxTextureWidth = kMaxTextureSize;
  caps.MaxTextureHeight = kMaxTextureSize;
  caps.MaxTextureRepeat = kMaxTextureSize;
  caps.MaxTextureAspectRatio = kMaxTextureSize;
  caps.MaxAnisotropy = 1;
  caps.MaxVertexW = 1.0f;
  caps.GuardBandLeft = static_cast<float>(-kGuardBand);
  caps.GuardBandTop = static_cast<float>(-kGuardBand);
  caps.GuardBandRight = static_cast<float>(kGuardBand);
  caps.GuardBandBottom = static_cast<float>(kGuardBand);
  caps.FVFCaps = 8;  // texture coordinate sets
  caps.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                       D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X | D3DTEXOPCAPS_ADD |
                       D3DTEXOPCAPS_ADDSIGNED | D3DTEXOPCAPS_SUBTRACT;
  caps.MaxTextureBlendStages = 1;
  caps.MaxSimultaneousTextures = 1;
  caps.MaxPrimitiveCount = 0xFFFFFFu;
  caps.MaxVertexIndex = 0xFFFFFFu;
  caps.MaxStreams = 1;
  caps.MaxStreamStride = 0xFFFFu;
}

D3DDISPLAYMODE AdapterDisplayMode() { return {1920, 1080, 60, D3DFMT_X8R8G8B8}; }

}  // namespace d3d9
