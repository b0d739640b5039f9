#pragma once
// Decoding the radar's spoke datagrams: an 8-byte frame header, then spokes of 536 bytes, each a 24-byte
// little-endian header (length, range in metres at bytes 6-7, angle at 8-9, heading word at 10-11) and 512
// bytes holding 1024 four-bit strengths, the low nibble first.
#include <cstdint>
#include <vector>

#include "services/radar/capture_reader.h"
#include "services/radar/packet_layers.h"

namespace radarsim {

inline constexpr std::size_t kSpokeFrameHeaderBytes = 8;
inline constexpr std::size_t kSpokeHeaderBytes = 24;
inline constexpr std::size_t kSpokeSampleBytes = kSpokeSamples / 2;
inline constexpr std::size_t kSpokeBytes = kSpokeHeaderBytes + kSpokeSampleBytes;

struct SpokeFrame {
  bool sizeValid = false;        // the datagram is a frame header and a whole number (>= 1) of spokes
  std::vector<Spoke> spokes;     // the spokes whose headers are possible, in datagram order
  std::size_t badSpokes = 0;     // spokes skipped for an impossible header
};

SpokeFrame DecodeSpokeFrame(ByteView datagram);

}  // namespace radarsim
