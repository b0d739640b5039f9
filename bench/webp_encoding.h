#pragma once
// Frames as WebP images, lossless and lossy, for the benchmarks that weigh the live view's encodings
// against each other.
#include <webp/encode.h>

#include <cstdint>
#include <string>

namespace webp_detail {

inline int AppendTo(const std::uint8_t* data, std::size_t size, const WebPPicture* picture) {
  auto* out = static_cast<std::string*>(picture->custom_ptr);
  out->append(reinterpret_cast<const char*>(data), size);
  return 1;
}

inline bool Encode(const WebPConfig& config, const std::uint32_t* pixels, int width, int height, int stride,
                   std::string& out) {
  WebPPicture picture;
  if (!WebPPictureInit(&picture)) return false;
  picture.use_argb = 1;
  picture.width = width;
  picture.height = height;
  // The encoder reads the pixels where they are: `exact` keeps it from rewriting any of them.
  picture.argb = const_cast<std::uint32_t*>(pixels);
  picture.argb_stride = stride;
  picture.writer = AppendTo;
  picture.custom_ptr = &out;
  const std::size_t before = out.size();
  const bool encoded = WebPEncode(&config, &picture) != 0;
  if (!encoded) out.resize(before);
  // The picture does not own the pixels: only what the encoder allocated for itself is freed.
  picture.argb = nullptr;
  WebPPictureFree(&picture);
  return encoded;
}

}  // namespace webp_detail

// Appends to `out` the `width` × `height` pixels (0xAARRGGBB, alpha 255; lines `stride` pixels apart) as a
// lossless WebP image; `effort` from 0 (fastest) to 9 (smallest). The pixels are only read. False when
// the encoder fails (out of memory); `out` is then as it was.
inline bool AppendLosslessWebp(const std::uint32_t* pixels, int width, int height, int stride, int effort,
                               std::string& out) {
  WebPConfig config;
  if (!WebPConfigInit(&config) || !WebPConfigLosslessPreset(&config, effort)) return false;
  config.exact = 1;
  return webp_detail::Encode(config, pixels, width, height, stride, out);
}

// The same as a lossy WebP at `quality` (0 to 100).
inline bool AppendLossyWebp(const std::uint32_t* pixels, int width, int height, int stride, float quality,
                            std::string& out) {
  WebPConfig config;
  if (!WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, quality)) return false;
  config.method = 0;
  return webp_detail::Encode(config, pixels, width, height, stride, out);
}
