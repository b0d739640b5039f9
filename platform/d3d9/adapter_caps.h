#pragma once
// What the software adapter offers: its capabilities, its display mode and its size limits.
#include "d3d9.h"

namespace d3d9 {

// Widest and highest texture and view surface, in pixels.
constexpr UINT kMaxTextureSize = 8192;
constexpr UINT kMaxSurfaceSize = 8192;

void FillDeviceCaps(D3DCAPS9& caps);
// There is no real display: the adapter reports a fixed desktop mode.
D3DDISPLAYMODE AdapterDisplayMode();

}  // namespace d3d9
