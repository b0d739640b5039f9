#include "services/radar/spoke_mapping.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "services/radar/spoke_frame.h"
#include "services/radar/range_table.h"
#include "services/radar/sweep_generator.h"

namespace radarsim {
namespace {

constexpr int kUnitsPerSpokeAngle = kAngleUnitsPerTurn / kSpokeAnglesPerTurn;
constexpr std::uint8_t kStrongestStrength = 15;

int Wrap(int units) { return ((units % kAngleUnitsPerTurn) + kAngleUnitsPerTurn) % kAngleUnitsPerTurn; }

}  // namespace

SweepLayout SweepLayoutFor(bool imoMode) {
  return imoMode ? SweepLayout{kImoSweepsPerTurn, kImoSampleCount, true}
                 : SweepLayout{kNormalSweepsPerTurn, kNormalSampleCount, false};
}

int AlignmentUnitsOf(double degrees) {
  return static_cast<int>(std::lround(degrees / 360.0 * kAngleUnitsPerTurn));
}

std::uint16_t SweepAngleOf(std::uint16_t spokeAngle, int alignmentUnits) {
  return static_cast<std::uint16_t>(Wrap(spokeAngle * kUnitsPerSpokeAngle + alignmentUnits));
}

std::int16_t SweepHeadingOf(std::uint16_t headingWord) {
  if (!HasTrueHeading(headingWord)) return -1;
  return static_cast<std::int16_t>((headingWord & kSpokeHeadingMask) * kUnitsPerSpokeAngle);
}

int RowsToFill(std::uint16_t from, std::uint16_t to, int unitsPerRow) {
  const int gap = Wrap(to - from);
  if (gap == 0 || unitsPerRow <= 0) return 0;
  const int width = gap <= kWidestSpokeGapUnits ? gap : kSpokeWidthUnits;
  return (width + unitsPerRow - 1) / unitsPerRow;
}

std::uint8_t EchoLevelOf(std::uint8_t strength, bool byteStrengths) {
  strength = std::min(strength, kStrongestStrength);
  return static_cast<std::uint8_t>(byteStrengths ? strength * 17 : strength / 2);
}

void ResampleStrengths(std::span<const std::uint8_t> strengths, std::span<std::uint8_t> levels,
                       bool byteStrengths) {
  const std::size_t in = strengths.size();
  const std::size_t out = levels.size();
  if (in == 0) {
    std::fill(levels.begin(), levels.end(), 0);
    return;
  }
  // Output j takes the inputs [j*in/out, (j+1)*in/out): with fewer outputs than inputs these ranges
  // share every input out exactly once; with more, each output holds at least the input beneath it.
  for (std::size_t j = 0; j < out; ++j) {
    const std::size_t first = j * in / out;
    const std::size_t end = std::max(first + 1, (j + 1) * in / out);
    const std::uint8_t strongest = *std::max_element(strengths.begin() + static_cast<std::ptrdiff_t>(first),
                                                     strengths.begin() + static_cast<std::ptrdiff_t>(end));
    levels[j] = EchoLevelOf(strongest, byteStrengths);
  }
}

double RecordedNauticalMiles(std::uint32_t metres, double rangeFactor) {
  return metres * rangeFactor / kMetresPerNauticalMile;
}

int RangeIndexFor(double nauticalMiles, int rangeUnit) {
  // A hair of slack: a recording of exactly a table range selects that range despite rounding.
  const double limit = nauticalMiles * (1.0 + 1e-9);
  int chosen = 0;
  for (int index = 0; index < kRangeCount; ++index) {
    if (RangeInNauticalMiles(index, rangeUnit) <= limit) chosen = index;
  }
  return chosen;
}

std::uint16_t RangeSampleCountFor(double settingNauticalMiles, double recordedNauticalMiles, int sampleCount) {
  constexpr double kMost = std::numeric_limits<std::uint16_t>::max();
  if (!(recordedNauticalMiles > 0.0) || !(settingNauticalMiles > 0.0)) {
    return static_cast<std::uint16_t>(std::clamp(sampleCount, 1, static_cast<int>(kMost)));
  }
  const double count = std::round(sampleCount * settingNauticalMiles / recordedNauticalMiles);
  return static_cast<std::uint16_t>(std::clamp(count, 1.0, kMost));
}

}  // namespace radarsim
