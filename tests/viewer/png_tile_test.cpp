// Tiles as PNG images: whatever their colours, size or line spacing, they decode to exactly their pixels
// made opaque, as palette images while they have at most 256 colours.
#include "viewer/live/png_tile.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kPaletteType = PNG_COLOR_TYPE_PALETTE, kRgbType = PNG_COLOR_TYPE_RGB;

std::vector<std::uint32_t> Decode(const std::string& encoded, int& width, int& height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, encoded.data(), encoded.size())) return {};
  image.format = PNG_FORMAT_BGRA;
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  std::vector<std::uint32_t> pixels(std::size_t(width) * height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  return pixels;
}

TEST(PngTile, DecodesToExactlyThePixelsInTheSmallestKindThatHoldsThem) {
  struct Case {
    const char* name;
    int width, height, stride;
    int colours;  // pixel i gets colour i % colours
    std::uint32_t alpha;
    int colourType;
  };
  const Case cases[] = {
      {"one colour", 128, 128, 128, 1, 0xFF000000u, kPaletteType},
      {"a single pixel", 1, 1, 1, 1, 0xFF000000u, kPaletteType},
      {"256 colours", 128, 128, 128, 256, 0xFF000000u, kPaletteType},
      {"257 colours", 128, 128, 128, 257, 0xFF000000u, kRgbType},
      {"a colour per pixel", 128, 128, 128, 128 * 128, 0xFF000000u, kRgbType},
      {"short lines within longer ones", 13, 5, 300, 7, 0xFF000000u, kPaletteType},
      {"many colours within longer lines", 127, 9, 300, 1000, 0xFF000000u, kRgbType},
      {"transparent pixels shown opaque", 16, 16, 16, 3, 0x00000000u, kPaletteType},
  };
  PngTileEncoder encoder;  // one for all, as a view's tiles share it
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint32_t> view(std::size_t(c.stride) * c.height, 0xFFFFFFFFu);
    std::vector<std::uint32_t> expected;
    for (int y = 0, i = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x, ++i) {
        const std::uint32_t colour = (static_cast<std::uint32_t>(i % c.colours) * 2654435761u) >> 8;
        view[std::size_t(y) * c.stride + x] = c.alpha | colour;
        expected.push_back(0xFF000000u | colour);
      }
    std::string out = "before";
    ASSERT_TRUE(encoder.Append(view.data(), c.width, c.height, c.stride, out));
    ASSERT_EQ(out.substr(0, 6), "before");
    const std::string encoded = out.substr(6);
    ASSERT_GT(encoded.size(), 25u);
    EXPECT_EQ(encoded[25], c.colourType);
    int width = 0, height = 0;
    EXPECT_EQ(Decode(encoded, width, height), expected);
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
  }
}

TEST(PngTile, ImpossibleSizesAreRefusedAndLeaveTheOutputAsItWas) {
  const std::uint32_t pixels[4] = {};
  PngTileEncoder encoder;
  for (const auto& [width, height, stride] : {std::tuple{0, 1, 1}, {1, 0, 1}, {2, 1, 1}, {-1, 1, 1}}) {
    std::string out = "kept";
    EXPECT_FALSE(encoder.Append(pixels, width, height, stride, out));
    EXPECT_EQ(out, "kept");
  }
}

}  // namespace
