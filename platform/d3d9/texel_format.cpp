#include "texel_format.h"

namespace d3d9 {

bool IsTextureFormat(D3DFORMAT format) {
  return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_A4R4G4B4;
}

UINT BytesPerTexel(D3DFORMAT format) { return format == D3DFMT_A4R4G4B4 ? 2 : 4; }

void ExpandA4R4G4B4(const unsigned char* source, std::uint32_t* target, UINT count) {
  for (UINT i = 0; i < count; ++i) {
    const std::uint32_t texel = source[2 * i] | (source[2 * i + 1] << 8);
    // Spread the four nibbles to the low nibble of each byte, then copy each into its high nibble.
    const std::uint32_t spread =
        (texel & 0x000Fu) | ((texel & 0x00F0u) << 4) | ((texel & 0x0F00u) << 8) | ((texel & 0xF000u) << 12);
    target[i] = spread * 0x11u;
  }
}

}  // namespace d3d9
