#include "display/echo_texel_mapping.h"

#include <algorithm>
#include <cstring>

#include "display/echo_colour.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SORVIK_BYTE_SHUFFLE 1
#endif

namespace {

constexpr std::uint8_t kStrongestLevel = 15;
constexpr std::size_t kBlock = 16;

// One byte of every texel of the table: byte `byte` (0 is the lowest) of each entry.
std::array<std::uint8_t, 16> BytePlane(const EchoTexelTable& table, int byte) {
  std::array<std::uint8_t, 16> plane{};
  for (std::size_t level = 0; level < table.size(); ++level) plane[level] = static_cast<std::uint8_t>(table[level] >> (8 * byte));
  return plane;
}

std::uint16_t ToA4R4G4B4(std::uint32_t texel) {
  return static_cast<std::uint16_t>((texel >> 16 & 0xF000u) | (texel >> 12 & 0x0F00u) | (texel >> 8 & 0x00F0u) |
                                    (texel >> 4 & 0x000Fu));
}

// The 16-bit texels of the table, split into their low and high bytes.
std::array<std::array<std::uint8_t, 16>, 2> A4R4G4B4Planes(const EchoTexelTable& table) {
  std::array<std::array<std::uint8_t, 16>, 2> planes{};
  for (std::size_t level = 0; level < table.size(); ++level) {
    const std::uint16_t texel = ToA4R4G4B4(table[level]);
    planes[0][level] = static_cast<std::uint8_t>(texel);
    planes[1][level] = static_cast<std::uint8_t>(texel >> 8);
  }
  return planes;
}

std::uint8_t Level(std::uint8_t sample) { return std::min(sample, kStrongestLevel); }

#ifdef SORVIK_BYTE_SHUFFLE

// A table lookup of sixteen levels at once: each 16-entry byte plane is one byte shuffle.
__attribute__((target("ssse3"))) std::size_t MapBlocksToA8R8G8B8(std::span<const std::uint8_t> samples,
                                                                 const EchoTexelTable& table, std::uint8_t* line) {
  const auto load = [](const std::array<std::uint8_t, 16>& plane) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(plane.data()));
  };
  const __m128i blue = load(BytePlane(table, 0)), green = load(BytePlane(table, 1));
  const __m128i red = load(BytePlane(table, 2)), alpha = load(BytePlane(table, 3));
  const __m128i strongest = _mm_set1_epi8(static_cast<char>(kStrongestLevel));
  std::size_t i = 0;
  for (; i + kBlock <= samples.size(); i += kBlock) {
    const __m128i levels =
        _mm_min_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(samples.data() + i)), strongest);
    const __m128i b = _mm_shuffle_epi8(blue, levels), g = _mm_shuffle_epi8(green, levels);
    const __m128i r = _mm_shuffle_epi8(red, levels), a = _mm_shuffle_epi8(alpha, levels);
    const __m128i bgLow = _mm_unpacklo_epi8(b, g), bgHigh = _mm_unpackhi_epi8(b, g);
    const __m128i raLow = _mm_unpacklo_epi8(r, a), raHigh = _mm_unpackhi_epi8(r, a);
    auto* out = reinterpret_cast<__m128i*>(line + i * 4);
    _mm_storeu_si128(out, _mm_unpacklo_epi16(bgLow, raLow));
    _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(bgLow, raLow));
    _mm_storeu_si128(out + 2, _mm_unpacklo_epi16(bgHigh, raHigh));
    _mm_storeu_si128(out + 3, _mm_unpackhi_epi16(bgHigh, raHigh));
  }
  return i;
}

__attribute__((target("ssse3"))) std::size_t MapBlocksToA4R4G4B4(std::span<const std::uint8_t> samples,
                                                                 const EchoTexelTable& table, std::uint8_t* line) {
  const auto planes = A4R4G4B4Planes(table);
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(planes[0].data()));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(planes[1].data()));
  const __m128i strongest = _mm_set1_epi8(static_cast<char>(kStrongestLevel));
  std::size_t i = 0;
  for (; i + kBlock <= samples.size(); i += kBlock) {
    const __m128i levels =
        _mm_min_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(samples.data() + i)), strongest);
    const __m128i l = _mm_shuffle_epi8(low, levels), h = _mm_shuffle_epi8(high, levels);
    auto* out = reinterpret_cast<__m128i*>(line + i * 2);
    _mm_storeu_si128(out, _mm_unpacklo_epi8(l, h));
    _mm_storeu_si128(out + 1, _mm_unpackhi_epi8(l, h));
  }
  return i;
}

bool HasByteShuffle() {
  static const bool supported = __builtin_cpu_supports("ssse3");
  return supported;
}
#else
std::size_t MapBlocksToA8R8G8B8(std::span<const std::uint8_t>, const EchoTexelTable&, std::uint8_t*) { return 0; }
std::size_t MapBlocksToA4R4G4B4(std::span<const std::uint8_t>, const EchoTexelTable&, std::uint8_t*) { return 0; }
bool HasByteShuffle() { return false; }
#endif

}  // namespace

EchoTexelTable MakeEchoTexelTable(std::int32_t trailColour, std::int32_t echoColour) {
  EchoTexelTable table{};
  for (std::size_t level = 0; level < table.size(); ++level) {
    table[level] = EchoTexel(MapEchoLevel(static_cast<std::uint8_t>(level), trailColour, echoColour));
  }
  return table;
}

void MapToA8R8G8B8(std::span<const std::uint8_t> samples, const EchoTexelTable& table, std::uint8_t* line) {
  std::size_t i = HasByteShuffle() ? MapBlocksToA8R8G8B8(samples, table, line) : 0;
  for (; i < samples.size(); ++i) std::memcpy(line + i * 4, &table[Level(samples[i])], 4);
}

void MapToA4R4G4B4(std::span<const std::uint8_t> samples, const EchoTexelTable& table, std::uint8_t* line) {
  std::size_t i = HasByteShuffle() ? MapBlocksToA4R4G4B4(samples, table, line) : 0;
  for (; i < samples.size(); ++i) {
    const std::uint16_t texel = ToA4R4G4B4(table[Level(samples[i])]);
    std::memcpy(line + i * 2, &texel, 2);
  }
}
