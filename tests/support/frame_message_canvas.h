#pragma once
// A browser's picture of one view, as the live page keeps it: each frame message's tiles drawn over
// what the messages before it left.
#include <png.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct FrameMessageCanvas {
  int viewId = -1;
  std::uint32_t number = 0;
  int width = 0;
  int height = 0;
  int tilesDrawn = 0;                 // by the last message
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, line after line

  // False for a message that is cut short, or a tile that does not decode or fit.
  bool Apply(const std::string& message) {
    const auto word = [&](std::size_t at) {
      std::uint32_t value = 0;
      for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<std::uint8_t>(message[at + i]);
      return value;
    };
    if (message.size() < 17) return false;
    viewId = static_cast<std::uint8_t>(message[0]);
    number = word(1);
    const int newWidth = static_cast<int>(word(5)), newHeight = static_cast<int>(word(9));
    if (newWidth != width || newHeight != height) {
      width = newWidth;
      height = newHeight;
      pixels.assign(std::size_t(width) * height, 0);  // a new size clears, as a canvas does
    }
    const std::uint32_t count = word(13);
    tilesDrawn = 0;
    std::size_t at = 17;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (at + 12 > message.size()) return false;
      const int left = static_cast<int>(word(at)), top = static_cast<int>(word(at + 4));
      const std::uint32_t length = word(at + 8);
      at += 12;
      if (at + length > message.size()) return false;
      png_image image;
      std::memset(&image, 0, sizeof image);
      image.version = PNG_IMAGE_VERSION;
      if (!png_image_begin_read_from_memory(&image, message.data() + at, length)) return false;
      at += length;
      image.format = PNG_FORMAT_BGRA;
      const int tileWidth = static_cast<int>(image.width), tileHeight = static_cast<int>(image.height);
      if (left + tileWidth > width || top + tileHeight > height) {
        png_image_free(&image);
        return false;
      }
      // Straight into the picture, whose lines are `width` pixels apart.
      if (!png_image_finish_read(&image, nullptr, &pixels[std::size_t(top) * width + left], width * 4, nullptr))
        return false;
      ++tilesDrawn;
    }
    return at == message.size();
  }
};
