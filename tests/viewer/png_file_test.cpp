#include "viewer/outputs/png_file.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

std::string ScratchPath(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "-" + name)).string();
}

// The file's pixels as 0xRRGGBB values, read by libpng; empty when it does not read as a PNG.
std::vector<DWORD> ReadRgb(const std::string& path, png_uint_32& width, png_uint_32& height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  width = image.width;
  height = image.height;
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return {};
  std::vector<DWORD> pixels;
  for (std::size_t i = 0; i < bytes.size(); i += 3)
    pixels.push_back(DWORD{bytes[i]} << 16 | DWORD{bytes[i + 1]} << 8 | bytes[i + 2]);
  return pixels;
}

// Distinct colours with alphas from transparent to opaque, on lines padded beyond their pixels, so that
// a mix-up of channels, lines or pitch shows.
TEST(PngFile, WritesTheViewAsOpaqueRgbThatReadsBack) {
  constexpr UINT kWidth = 7, kHeight = 5, kPitchPixels = 9;
  std::vector<DWORD> store(kPitchPixels * kHeight, 0xFFFFFFFFu);
  std::vector<DWORD> expected;
  for (UINT y = 0; y < kHeight; ++y) {
    for (UINT x = 0; x < kWidth; ++x) {
      const DWORD rgb = (x * 37u) << 16 | (y * 51u) << 8 | (x * 13u + y * 7u + 1u);
      store[y * kPitchPixels + x] = ((x + y) * 40u % 256u) << 24 | rgb;
      expected.push_back(rgb);
    }
  }
  const ViewSurface view{store.data(), kWidth, kHeight, kPitchPixels * 4};
  const std::string path = ScratchPath("view.png");
  std::string error;
  ASSERT_TRUE(WritePng(view, path, error)) << error;

  png_uint_32 width = 0, height = 0;
  EXPECT_EQ(ReadRgb(path, width, height), expected);
  EXPECT_EQ(width, kWidth);
  EXPECT_EQ(height, kHeight);
  std::filesystem::remove(path);
}

TEST(PngFile, RefusesPathsItCannotWrite) {
  DWORD pixel = 0xFF000000u;
  const ViewSurface view{&pixel, 1, 1, 4};
  const std::string missingFolder = ScratchPath("no-such-folder") + "/view.png";
  const std::string folder = std::filesystem::temp_directory_path().string();
  for (const std::string& path : {missingFolder, folder}) {
    std::string error;
    EXPECT_FALSE(CanWriteFile(path, error)) << path;
    EXPECT_NE(error.find(path), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(WritePng(view, path, error)) << path;
    EXPECT_FALSE(error.empty());
  }
  std::string error;
  EXPECT_TRUE(CanWriteFile(ScratchPath("new.png"), error)) << error;
  EXPECT_FALSE(std::filesystem::exists(ScratchPath("new.png")));
}

TEST(PngFile, NumbersRepaintsBeforeTheExtension) {
  EXPECT_EQ(NumberedPath("out/view.png", 12), "out/view-0012.png");
  EXPECT_EQ(NumberedPath("view", 3), "view-0003");
  EXPECT_EQ(NumberedPath("a.b/view", 3), "a.b/view-0003");
  EXPECT_EQ(NumberedPath("out/.view", 3), "out/.view-0003");
  EXPECT_EQ(NumberedPath("view.png", 12345), "view-12345.png");
}

}  // namespace
