#include "viewer/live/png_tile.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <new>

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  bool appended = false;
  try {
    out->append(reinterpret_cast<const char*>(data), length);
    appended = true;
  } catch (const std::bad_alloc&) {
  }
  // Out of the handler first: the jump back to the encoder's setjmp passes no C++ frame that needs
  // unwinding.
  if (!appended) png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

constexpr int kRun = 4;
using Four = std::uint32_t __attribute__((vector_size(4 * kRun)));

// Whether the four pixels at `pixels`, made opaque, are all `colours`.
bool SameColours(const std::uint32_t* pixels, const Four& colours) {
  Four four;
  std::memcpy(&four, pixels, sizeof four);
  const Four same = (four | 0xFF000000u) == colours;
  return (same[0] & same[1] & same[2] & same[3]) != 0;
}

}  // namespace

bool PngTileEncoder::IndexColours(const std::uint32_t* pixels, int width, int height, int stride) {
  std::memset(slotColours_, 0, sizeof slotColours_);
  palette_.clear();
  indices_.resize(static_cast<std::size_t>(width) * height);
  std::uint8_t* index = indices_.data();
  Four lastColours = {};  // no colour with the alpha set: the first pixel is looked up
  std::uint8_t lastIndex = 0;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* line = pixels + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < width;) {
      // Most of a tile is runs of one colour (the sea, the land): four pixels at a time while they last.
      if (x + kRun <= width && SameColours(line + x, lastColours)) {
        std::memset(index, lastIndex, kRun);
        index += kRun;
        x += kRun;
        continue;
      }
      const std::uint32_t colour = line[x++] | 0xFF000000u;
      if (colour != lastColours[0]) {
        std::uint32_t slot = (colour * 2654435761u) >> 22;  // the top 10 bits of a Fibonacci hash
        while (slotColours_[slot] != 0 && slotColours_[slot] != colour) slot = (slot + 1) % kSlots;
        if (slotColours_[slot] == 0) {
          if (palette_.size() == 256) return false;
          slotColours_[slot] = colour;
          slotIndices_[slot] = static_cast<std::uint8_t>(palette_.size());
          palette_.push_back(colour);
        }
        lastColours = Four{} + colour;
        lastIndex = slotIndices_[slot];
      }
      *index++ = lastIndex;
    }
  }
  return true;
}

bool PngTileEncoder::Append(const std::uint32_t* pixels, int width, int height, int stride, std::string& out) {
  if (width <= 0 || height <= 0 || stride < width) return false;
  const std::size_t before = out.size();
  bool indexed = false;
  try {
    indexed = IndexColours(pixels, width, height, stride);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (Write(pixels, width, height, stride, indexed, out)) return true;
  out.resize(before);
  return false;
}

// Only trivially destructible values live in this frame, since libpng's errors unwind it with longjmp.
bool PngTileEncoder::Write(const std::uint32_t* pixels, int width, int height, int stride, bool indexed,
                           std::string& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, AppendBytes, FlushNothing);
  png_set_compression_level(png, 1);
  png_set_compression_strategy(png, Z_RLE);
  png_set_filter(png, 0, indexed ? PNG_FILTER_NONE : PNG_FILTER_SUB);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (indexed) {
    png_color colours[256];
    for (std::size_t i = 0; i < palette_.size(); ++i)
      colours[i] = {static_cast<png_byte>(palette_[i] >> 16), static_cast<png_byte>(palette_[i] >> 8),
                    static_cast<png_byte>(palette_[i])};
    png_set_PLTE(png, info, colours, static_cast<int>(palette_.size()));
  }
  png_write_info(png, info);
  if (indexed) {
    for (int y = 0; y < height; ++y) png_write_row(png, &indices_[static_cast<std::size_t>(y) * width]);
  } else {
    // The lines are read where they lie: blue, green, red and a fourth byte the encoder drops.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < height; ++y)
      png_write_row(png, reinterpret_cast<png_const_bytep>(pixels + static_cast<std::size_t>(y) * stride));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
