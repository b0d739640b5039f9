#include "services/radar/spoke_frame.h"

namespace radarsim {
namespace {

std::uint16_t LittleEndian16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

// False for a header no spoke can have: the wrong length, an angle past one turn, no range.
bool DecodeSpoke(const std::uint8_t* bytes, Spoke& spoke) {
  spoke.rangeMetres = LittleEndian16(bytes + 6);
  spoke.angle = LittleEndian16(bytes + 8);
  spoke.headingWord = LittleEndian16(bytes + 10);
  if (bytes[0] != kSpokeHeaderBytes || spoke.angle >= kSpokeAnglesPerTurn || spoke.rangeMetres == 0) return false;
  const std::uint8_t* samples = bytes + kSpokeHeaderBytes;
  for (std::size_t i = 0; i < kSpokeSampleBytes; ++i) {
    spoke.strengths[2 * i] = samples[i] & 0x0F;
    spoke.strengths[2 * i + 1] = samples[i] >> 4;
  }
  return true;
}

}  // namespace

SpokeFrame DecodeSpokeFrame(ByteView datagram) {
  SpokeFrame frame;
  if (datagram.size() < kSpokeFrameHeaderBytes + kSpokeBytes ||
      (datagram.size() - kSpokeFrameHeaderBytes) % kSpokeBytes != 0) {
    return frame;
  }
  frame.sizeValid = true;
  const std::size_t count = (datagram.size() - kSpokeFrameHeaderBytes) / kSpokeBytes;
  frame.spokes.resize(count);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* bytes = datagram.data() + kSpokeFrameHeaderBytes + i * kSpokeBytes;
    if (DecodeSpoke(bytes, frame.spokes[kept])) {
      ++kept;
    } else {
      ++frame.badSpokes;
    }
  }
  frame.spokes.resize(kept);
  return frame;
}

}  // namespace radarsim
