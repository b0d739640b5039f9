#include "viewer/live/raw_frame.h"

void RawFrame::CopyFrom(std::uint32_t frameNumber, const ViewSurface& surface) {
  number = frameNumber;
  width = static_cast<int>(surface.width);
  height = static_cast<int>(surface.height);
  pixels.resize(std::size_t{surface.width} * surface.height);
  for (UINT y = 0; y < surface.height; ++y) {
    // Never the same memory: said so, the loop is done several pixels at a time.
    const auto* __restrict from = reinterpret_cast<const std::uint32_t*>(
        reinterpret_cast<const char*>(surface.pixels) + std::size_t{y} * surface.pitch);
    std::uint32_t* __restrict to = &pixels[std::size_t{y} * surface.width];
    for (UINT x = 0; x < surface.width; ++x) to[x] = from[x] | 0xFF000000u;
  }
}

ViewSurface RawFrame::Surface() const {
  ViewSurface surface;
  surface.pixels = const_cast<DWORD*>(reinterpret_cast<const DWORD*>(pixels.data()));
  surface.width = static_cast<UINT>(width);
  surface.height = static_cast<UINT>(height);
  surface.pitch = static_cast<UINT>(width) * 4;
  return surface;
}
