#pragma once
// The pixels of the viewer's one view: 32-bit 0xAARRGGBB values, line after line without padding.
#include <cstdint>
#include <vector>

#include "extensions/d3d9.h"

class ViewPixels {
public:
  // Throws std::bad_alloc when the pixels cannot be had.
  ViewPixels(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The pixels as a device surface; they stay at one place for the life of this object.
  ViewSurface Surface();
  void Fill(std::uint32_t colour);

private:
  int width_;
  int height_;
  std::vector<DWORD> pixels_;
};
