#include "viewer/outputs/png_file.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <vector>

#include "extensions/whole_file.h"

bool EncodePng(const ViewSurface& view, std::string& encoded, std::string& error) {
  if (view.pixels == nullptr || view.width == 0 || view.height == 0) {
    error = "there is no picture to encode";
    return false;
  }
  std::vector<png_byte> rgb;
  try {
    rgb.resize(std::size_t{view.width} * view.height * 3);
  } catch (const std::bad_alloc&) {
    error = "no memory to encode the picture";
    return false;
  }
  png_byte* out = rgb.data();
  for (UINT y = 0; y < view.height; ++y) {
    const DWORD* line = reinterpret_cast<const DWORD*>(reinterpret_cast<const char*>(view.pixels) +
                                                       std::size_t{view.pitch} * y);
    for (UINT x = 0; x < view.width; ++x) {
      const DWORD pixel = line[x];
      *out++ = static_cast<png_byte>(pixel >> 16);
      *out++ = static_cast<png_byte>(pixel >> 8);
      *out++ = static_cast<png_byte>(pixel);
    }
  }

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = view.width;
  image.height = view.height;
  image.format = PNG_FORMAT_RGB;
  // Encoded in memory first (its size asked for, then filled), so that the file is written in one piece.
  png_alloc_size_t size = 0;
  if (png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) {
    encoded.resize(size);
    if (!png_image_write_to_memory(&image, encoded.data(), &size, 0, rgb.data(), 0, nullptr)) size = 0;
  }
  if (size == 0) {
    error = std::string("cannot encode the picture: ") + image.message;
    png_image_free(&image);
    return false;
  }
  encoded.resize(size);
  return true;
}

bool WritePng(const ViewSurface& view, const std::string& path, std::string& error) {
  std::string encoded;
  if (!EncodePng(view, encoded, error)) {
    error = "cannot write " + path + ": " + error;
    return false;
  }
  return WriteWholeFile(path, encoded, error);
}

bool CanWriteFile(const std::string& path, std::string& error) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    error = "cannot write " + path + ": it is a folder";
    return false;
  }
  const std::string folder = std::filesystem::path(path).parent_path().string();
  const std::string probe = access(path.c_str(), F_OK) == 0 ? path : folder.empty() ? "." : folder;
  if (access(probe.c_str(), W_OK) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

std::string NumberedPath(const std::string& path, int index) {
  char number[24];
  std::snprintf(number, sizeof number, "-%04d", index);
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  // A leading dot starts a hidden name, not an extension.
  const bool hasExtension = dot != std::string::npos && dot > nameStart;
  if (!hasExtension) return path + number;
  return path.substr(0, dot) + number + path.substr(dot);
}
