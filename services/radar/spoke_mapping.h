#pragma once
// How a recorded radar spoke becomes the service's sweeps: its angle and heading in the service's
// 8192 units per turn, the rows of the module's store it covers, its 1024 strengths fitted to the
// sweep's samples and levels, and the range setting and sample count that keep the recorded distance.
#include <cstdint>
#include <span>

namespace radarsim {

// The sweeps the module stores in one mode.
struct SweepLayout {
  int rows = 4096;          // store rows per turn: 4096 normal, 8192 type-approved
  int sampleCount = 464;    // samples per sweep: 464 normal, 884 type-approved
  bool byteStrengths = false;  // type-approved sweeps carry strengths 0-255 instead of levels 0-7
};

SweepLayout SweepLayoutFor(bool imoMode);

// Service angle units of the nearest whole number to `degrees` (the antenna's mounting offset).
int AlignmentUnitsOf(double degrees);
// A spoke angle (0-4095) in service units (0-8191), turned by `alignmentUnits`.
std::uint16_t SweepAngleOf(std::uint16_t spokeAngle, int alignmentUnits);
// The sweep's heading word: the spoke's true heading in service units, or -1 when its heading word holds
// none.
std::int16_t SweepHeadingOf(std::uint16_t headingWord);

// The usual distance between two spokes' angles in service units (2048 spokes per turn), and the
// widest gap one spoke is stretched over: beyond it spokes were lost, and the spoke covers only its
// usual width rather than smearing itself over the lost sector.
inline constexpr int kSpokeWidthUnits = 4;
inline constexpr int kWidestSpokeGapUnits = 4 * kSpokeWidthUnits;

// How many consecutive rows (each `unitsPerRow` service units wide), starting at `from`, a spoke at
// `from` fills when the next spoke is at `to`. Zero when both are at the same angle.
int RowsToFill(std::uint16_t from, std::uint16_t to, int unitsPerRow);

// The level a sweep carries for a spoke strength (0-15): 0-7 in normal mode, 0-255 in type-approved.
std::uint8_t EchoLevelOf(std::uint8_t strength, bool byteStrengths);
// Fits `strengths` to `levels`: each output sample takes the strongest of the input samples that fall
// on it, so that a small strong echo survives, then becomes an echo level.
void ResampleStrengths(std::span<const std::uint8_t> strengths, std::span<std::uint8_t> levels,
                       bool byteStrengths);

// The recorded distance in nautical miles, scaled by the range calibration factor.
double RecordedNauticalMiles(std::uint32_t metres, double rangeFactor);
// The largest range of the table in `rangeUnit` not beyond `nauticalMiles`; the smallest when all are.
int RangeIndexFor(double nauticalMiles, int rangeUnit);
// How many samples span the range setting's distance when `sampleCount` samples span the recorded
// distance, so that the module's row distance (setting distance × sampleCount / this) is the recorded
// one. Limited to what the sweep record can carry.
std::uint16_t RangeSampleCountFor(double settingNauticalMiles, double recordedNauticalMiles, int sampleCount);

}  // namespace radarsim
