#include "services/radar/spoke_frame.h"

namespace radarsim {
namespace {

constexpr std::uint16_t kShortRangeWord = 0x80;
constexpr std::uint16_t kNoRangeWord = 0xFFFF;
constexpr std::uint32_t kRangeWordScale = 512;
constexpr std::uint32_t kShortRangeScale = 4;
// Scan counter steps beyond this are read as a spoke arriving late rather than as 128 or more lost.
constexpr int kLatestStep = 128;

std::uint16_t LittleEndian16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

bool HasFrameSize(std::size_t bytes) {
  return bytes >= kSpokeFrameHeaderBytes + kSpokeBytes && (bytes - kSpokeFrameHeaderBytes) % kSpokeBytes == 0;
}

// False for a header no spoke can have: the wrong length, an angle past one turn.
bool DecodeSpoke(const std::uint8_t* bytes, Spoke& spoke) {
  spoke.status = bytes[1];
  spoke.scanCounter = bytes[2];
  spoke.rangeMetres = SpokeRangeMetres(LittleEndian16(bytes + 6), LittleEndian16(bytes + 12));
  spoke.angle = LittleEndian16(bytes + 8);
  spoke.headingWord = LittleEndian16(bytes + 10);
  if (bytes[0] != kSpokeHeaderBytes || spoke.angle >= kSpokeAnglesPerTurn) return false;
  const std::uint8_t* samples = bytes + kSpokeHeaderBytes;
  for (std::size_t i = 0; i < kSpokeSampleBytes; ++i) {
    spoke.strengths[2 * i] = samples[i] & 0x0F;
    spoke.strengths[2 * i + 1] = samples[i] >> 4;
  }
  return true;
}

}  // namespace

std::uint32_t SpokeRangeMetres(std::uint16_t large, std::uint16_t small) {
  if (large != kShortRangeWord) return std::uint32_t{large} * small / kRangeWordScale;
  return small == kNoRangeWord ? 0 : small / kShortRangeScale;
}

bool HasTrueHeading(std::uint16_t headingWord) {
  return (headingWord & ~kSpokeHeadingBits) == 0 && (headingWord & kSpokeHeadingTrue) != 0;
}

bool IsDrawnSpoke(const Spoke& spoke) {
  return (spoke.status == kSpokeStatusNormal || spoke.status == kSpokeStatusAlternate) && spoke.rangeMetres != 0;
}

bool IsSpokeFrameShape(ByteView datagram) {
  return HasFrameSize(datagram.size()) && datagram[kSpokeFrameHeaderBytes] == kSpokeHeaderBytes;
}

std::size_t SpokeCountOf(ByteView datagram) {
  return HasFrameSize(datagram.size()) ? (datagram.size() - kSpokeFrameHeaderBytes) / kSpokeBytes : 0;
}

bool DecodeSpokeAt(ByteView datagram, std::size_t index, Spoke& spoke) {
  return DecodeSpoke(datagram.data() + kSpokeFrameHeaderBytes + index * kSpokeBytes, spoke);
}

SpokeFrame DecodeSpokeFrame(ByteView datagram) {
  SpokeFrame frame;
  if (!HasFrameSize(datagram.size())) return frame;
  frame.sizeValid = true;
  const std::size_t count = SpokeCountOf(datagram);
  frame.spokes.resize(count);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (DecodeSpokeAt(datagram, i, frame.spokes[kept])) {
      ++kept;
    } else {
      ++frame.badSpokes;
    }
  }
  frame.spokes.resize(kept);
  return frame;
}

int SpokeLossCounter::Take(std::uint8_t scanCounter) {
  if (!last_) {
    last_ = scanCounter;
    missing_.reset();
    return 0;
  }
  const int step = static_cast<std::uint8_t>(scanCounter - *last_);
  if (step == 0) return 0;
  // A step back (within half the counter's cycle) is a late spoke, or one repeated.
  if (step > kLatestStep) {
    if (!missing_.test(scanCounter)) return 0;
    missing_.reset(scanCounter);
    return -1;
  }
  for (int skipped = 1; skipped < step; ++skipped) missing_.set(static_cast<std::uint8_t>(*last_ + skipped));
  missing_.reset(scanCounter);
  last_ = scanCounter;
  return step - 1;
}

}  // namespace radarsim
