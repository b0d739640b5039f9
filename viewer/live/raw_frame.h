#pragma once
// A view's pixels as the host drew them at one frame, copied out of the view for the live view's readers.
#include <cstdint>
#include <vector>

#include "extensions/d3d9.h"

struct RawFrame {
  std::uint32_t number = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xFFRRGGBB, line after line

  // Copies `surface` in as frame `number`, alpha made opaque on the way, as a screen shows the pixels.
  void CopyFrom(std::uint32_t frameNumber, const ViewSurface& surface);
  ViewSurface Surface() const;
};
