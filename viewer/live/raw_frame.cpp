#include "viewer/live/raw_frame.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// One line of pixels made opaque. A frame is far larger than the caches and is next read by another
// thread: the line is written straight to memory (streaming stores, where the processor has them)
// rather than first read into the cache only to be overwritten.
void CopyOpaque(const std::uint32_t* __restrict from, std::uint32_t* __restrict to, UINT count) {
  UINT x = 0;
#if defined(__SSE2__)
  for (; x < count && reinterpret_cast<std::uintptr_t>(to + x) % 16 != 0; ++x) to[x] = from[x] | 0xFF000000u;
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; x + 4 <= count; x += 4) {
    const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
    _mm_stream_si128(reinterpret_cast<__m128i*>(to + x), _mm_or_si128(four, opaque));
  }
#endif
  for (; x < count; ++x) to[x] = from[x] | 0xFF000000u;
}

}  // namespace

void RawFrame::CopyFrom(std::uint32_t frameNumber, const ViewSurface& surface) {
  number = frameNumber;
  width = static_cast<int>(surface.width);
  height = static_cast<int>(surface.height);
  pixels.resize(std::size_t{surface.width} * surface.height);
  for (UINT y = 0; y < surface.height; ++y) {
    const auto* from = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const char*>(surface.pixels) +
                                                              std::size_t{y} * surface.pitch);
    CopyOpaque(from, &pixels[std::size_t{y} * surface.width], surface.width);
  }
#if defined(__SSE2__)
  // Streaming stores are not ordered by the lock that hands the frame on: they are made visible first.
  _mm_sfence();
#endif
}

ViewSurface RawFrame::Surface() const {
  ViewSurface surface;
  surface.pixels = const_cast<DWORD*>(reinterpret_cast<const DWORD*>(pixels.data()));
  surface.width = static_cast<UINT>(width);
  surface.height = static_cast<UINT>(height);
  surface.pitch = static_cast<UINT>(width) * 4;
  return surface;
}
