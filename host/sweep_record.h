#pragma once
// One sweep as the radar service delivers it: the echo samples the antenna received at one angle.
// The radar service and the module share this one declaration; fields keep their order with natural
// alignment.
#include <cstdint>

struct SweepRecord {
  // 1 or 4: the record carries samples; any other value: an empty sweep that clears its row.
  std::uint16_t kind = 0;
  std::uint16_t reserved = 0;
  // One byte per sample; `sampleCount` of them.
  const std::uint8_t* samples = nullptr;
  std::uint16_t sampleCount = 0;
  // How many of the samples span the current range.
  std::uint16_t rangeSampleCount = 0;
  // Antenna angle, 0 to 8191 for one turn.
  std::uint16_t angle = 0;
  // Ship's heading in the same units, -1 when the radar has none.
  std::int16_t heading = -1;
};

constexpr std::uint16_t kSweepKindSamples = 1;
constexpr std::uint16_t kSweepKindSamplesAlt = 4;
