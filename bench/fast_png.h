#pragma once
// PNG of a view, encoded into memory at zlib's fastest level, for the benchmarks that weigh the frame
// encodings against each other.
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <vector>

#include "extensions/d3d9.h"

// PNG of a view for a viewer, encoded into memory at zlib's fastest level, matching runs only: a chart
// and a radar picture repeat colours along rows far more than they repeat longer strings. The rows are handed to the
// encoder where they lie; it drops the fourth byte of each pixel itself.
class FastPng {
public:
  bool Encode(const ViewSurface& view) {
    encoded_.clear();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
      png_destroy_write_struct(&png, &info);
      return false;
    }
    png_set_write_fn(png, &encoded_, &Append, nullptr);
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_filter(png, 0, PNG_FILTER_SUB);
    png_set_IHDR(png, info, view.width, view.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (UINT y = 0; y < view.height; ++y) {
      png_write_row(png, reinterpret_cast<png_const_bytep>(view.pixels) + std::size_t{view.pitch} * y);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
  }
  std::size_t Size() const { return encoded_.size(); }

private:
  static void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* encoded = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    encoded->insert(encoded->end(), data, data + length);
  }
  std::vector<std::uint8_t> encoded_;
};
