#pragma once
// Frames as lossless WebP images, the form they travel to the page in.
#include <cstdint>
#include <string>

// Appends to `out` the `width` × `height` pixels (0xAARRGGBB, alpha 255; lines `stride` pixels apart) as a
// lossless WebP image; `effort` from 0 (fastest) to 9 (smallest). The pixels are only read. False when
// the encoder fails (out of memory); `out` is then as it was.
bool AppendLosslessWebp(const std::uint32_t* pixels, int width, int height, int stride, int effort,
                        std::string& out);

// The same as a lossy WebP at `quality` (0 to 100), for comparison in the benchmarks.
bool AppendLossyWebp(const std::uint32_t* pixels, int width, int height, int stride, float quality,
                     std::string& out);

// The effort the live view encodes its tiles at: the fastest, since frames are sent ten times a second
// and the bytes they save at higher efforts cost far more time (see the frame benchmarks).
inline constexpr int kLiveWebpEffort = 0;
