#pragma once
// The texel formats a texture can hold and how they become the 32-bit 0xAARRGGBB texels the pixel
// pipeline samples.
#include <cstdint>

#include "d3d9types.h"

namespace d3d9 {

// D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8 (alpha read as opaque) and D3DFMT_A4R4G4B4.
bool IsTextureFormat(D3DFORMAT format);
UINT BytesPerTexel(D3DFORMAT format);

// Expands `count` A4R4G4B4 texels (two bytes each, little-endian 0xARGB): each 4-bit channel n becomes
// the 8-bit n × 17, so 0 stays 0 and 15 becomes 255.
void ExpandA4R4G4B4(const unsigned char* source, std::uint32_t* target, UINT count);

}  // namespace d3d9
