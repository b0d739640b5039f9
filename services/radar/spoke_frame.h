#pragma once
// Decoding one spoke datagram of the radar (a UDP payload, from a capture or the network): an 8-byte frame
// header, then spokes of 536 bytes, each a 24-byte little-endian header and 512 bytes holding 1024
// four-bit strengths, the low nibble first. The spoke header: byte 0 its length (24), byte 1 the status,
// byte 2 the scan counter, bytes 6-7 the large range word L, 8-9 the angle, 10-11 the heading word, 12-13
// the small range word S.
#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <vector>

#include "services/radar/packet_layers.h"

namespace radarsim {

inline constexpr int kSpokeSamples = 1024;
inline constexpr int kSpokeAnglesPerTurn = 4096;
inline constexpr std::size_t kSpokeFrameHeaderBytes = 8;
inline constexpr std::size_t kSpokeHeaderBytes = 24;
inline constexpr std::size_t kSpokeSampleBytes = kSpokeSamples / 2;
inline constexpr std::size_t kSpokeBytes = kSpokeHeaderBytes + kSpokeSampleBytes;

// The heading word: bit 14 says its low 12 bits hold a true heading in 4096ths of a turn; a word with any
// bit outside kSpokeHeadingBits set holds no heading at all.
inline constexpr std::uint16_t kSpokeHeadingTrue = 0x4000;
inline constexpr std::uint16_t kSpokeHeadingMask = 0x0FFF;
inline constexpr std::uint16_t kSpokeHeadingBits = kSpokeHeadingTrue | kSpokeHeadingMask;

// The statuses of a spoke to draw; any other marks one the radar did not mean to be shown.
inline constexpr std::uint8_t kSpokeStatusNormal = 0x02;
inline constexpr std::uint8_t kSpokeStatusAlternate = 0x12;

struct Spoke {
  std::uint8_t status = kSpokeStatusNormal;
  std::uint8_t scanCounter = 0;   // one step per spoke sent, wrapping at 256
  std::uint16_t angle = 0;        // antenna angle relative to the bow, 0 to 4095 for one turn
  std::uint16_t headingWord = 0;  // as sent
  std::uint32_t rangeMetres = 0;  // the distance the samples span; 0 when the radar gave none
  std::array<std::uint8_t, kSpokeSamples> strengths{};  // echo strengths 0 (none) to 15, nearest first
};

// The metres the samples span for the large and small range words: L × S / 512, or S / 4 on the short
// ranges (L = 0x80); 0 (no range) when L is 0x80 and S is 0xFFFF.
std::uint32_t SpokeRangeMetres(std::uint16_t large, std::uint16_t small);
// True when the heading word holds a true heading.
bool HasTrueHeading(std::uint16_t headingWord);
// True for a spoke to draw: a status that allows it, and a range.
bool IsDrawnSpoke(const Spoke& spoke);

struct SpokeFrame {
  bool sizeValid = false;        // the datagram is a frame header and a whole number (>= 1) of spokes
  std::vector<Spoke> spokes;     // the spokes whose headers are possible, in datagram order
  std::size_t badSpokes = 0;     // spokes skipped for an impossible header
};

// True when `datagram` has a spoke frame's shape, whatever port it came to: a frame header and whole
// spokes, the first of them with the spoke header's length.
bool IsSpokeFrameShape(ByteView datagram);
SpokeFrame DecodeSpokeFrame(ByteView datagram);
// The spokes of a datagram of a frame's size (0 for any other size), and spoke `index` of them decoded
// into `spoke`, every field written: false for a header no spoke can have. For a reader that keeps its
// spokes' memory from one datagram to the next.
std::size_t SpokeCountOf(ByteView datagram);
bool DecodeSpokeAt(ByteView datagram, std::size_t index, Spoke& spoke);

// Counts the spokes lost between those received, from the jumps of their scan counters. A spoke that
// arrives late (its counter a step back, as a reordering network delivers it) was counted lost when the
// counter jumped past it; it takes that count back.
class SpokeLossCounter {
public:
  // The change in spokes lost that a spoke with `scanCounter` tells: the spokes skipped just before it;
  // -1 for a late one that was counted lost; 0 for the first spoke, a repeated one, and a late one that
  // already arrived.
  int Take(std::uint8_t scanCounter);
  // The next spoke starts afresh (a new pass of a capture).
  void Restart() { last_.reset(); }

private:
  std::optional<std::uint8_t> last_;
  // The counters counted lost since the counter last passed them.
  std::bitset<256> missing_;
};

}  // namespace radarsim
