#include "viewer/module_host/view_pixels.h"

#include <algorithm>

ViewPixels::ViewPixels(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

ViewSurface ViewPixels::Surface() {
  ViewSurface surface;
  surface.pixels = pixels_.data();
  surface.width = static_cast<UINT>(width_);
  surface.height = static_cast<UINT>(height_);
  surface.pitch = static_cast<UINT>(width_) * sizeof(DWORD);
  return surface;
}

void ViewPixels::Fill(std::uint32_t colour) { std::fill(pixels_.begin(), pixels_.end(), colour); }
