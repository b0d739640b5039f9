#include "services/radar/range_table.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace radarsim {
namespace {

struct RangeEntry {
  double range;
  float ringInterval;
  int ringCount;
};

using RangeTable = std::array<RangeEntry, kRangeCount>;

// Nautical and statute miles share their numbers; kilometres follow the same steps from a quarter.
constexpr RangeTable kMileRanges = {{
    {0.125, 0.025f, 5}, {0.25, 0.05f, 5}, {0.5, 0.1f, 5}, {0.75, 0.25f, 3}, {1.5, 0.25f, 6}, {3, 0.5f, 6},
    {6, 1, 6}, {12, 2, 6}, {24, 4, 6}, {48, 8, 6}, {96, 16, 6},
}};
constexpr RangeTable kKilometreRanges = {{
    {0.25, 0.05f, 5}, {0.5, 0.1f, 5}, {1, 0.25f, 4}, {1.5, 0.5f, 3}, {3, 0.5f, 6}, {6, 1, 6},
    {12, 2, 6}, {24, 4, 6}, {48, 8, 6}, {96, 16, 6}, {192, 32, 6},
}};

const RangeEntry* FindRange(int rangeIndex, int rangeUnit) {
  if (rangeIndex < 0 || rangeIndex >= kRangeCount) return nullptr;
  switch (rangeUnit) {
    case kNauticalMiles:
    case kStatuteMiles: return &kMileRanges[static_cast<std::size_t>(rangeIndex)];
    case kKilometres: return &kKilometreRanges[static_cast<std::size_t>(rangeIndex)];
    default: return nullptr;
  }
}

// Ranges fall into five bands by index, whatever the unit: the tables step alike.
int RangeBand(int rangeIndex) { return std::min(4, std::max(0, (rangeIndex - 1) / 2)); }

// Pulse lengths in microseconds: three for the standard model, five for the other.
constexpr std::array<double, 3> kStandardPulses = {0.05, 0.25, 0.8};
constexpr std::array<double, 5> kFivePulses = {0.04, 0.1, 0.25, 0.5, 1.0};
// Half the distance light travels in one microsecond, in nautical miles.
constexpr double kNauticalMilesPerPulseMicrosecond = 149.896229 / kMetresPerNauticalMile;

}  // namespace

bool IsValidRange(int rangeIndex, int rangeUnit) { return FindRange(rangeIndex, rangeUnit) != nullptr; }

double NauticalMilesPerUnit(int rangeUnit) {
  switch (rangeUnit) {
    case kNauticalMiles: return 1.0;
    case kKilometres: return 1000.0 / kMetresPerNauticalMile;
    case kStatuteMiles: return 1609.344 / kMetresPerNauticalMile;
    default: return 0.0;
  }
}

double RangeInUnit(int rangeIndex, int rangeUnit) {
  const RangeEntry* entry = FindRange(rangeIndex, rangeUnit);
  return entry ? entry->range : 0.0;
}

double RangeInNauticalMiles(int rangeIndex, int rangeUnit) {
  return RangeInUnit(rangeIndex, rangeUnit) * NauticalMilesPerUnit(rangeUnit);
}

bool RingLayoutOf(int rangeIndex, int rangeUnit, float& interval, int& count) {
  const RangeEntry* entry = FindRange(rangeIndex, rangeUnit);
  if (!entry) return false;
  interval = entry->ringInterval;
  count = entry->ringCount;
  return true;
}

double RingIntervalInNauticalMiles(int rangeIndex, int rangeUnit) {
  const RangeEntry* entry = FindRange(rangeIndex, rangeUnit);
  return entry ? static_cast<double>(entry->ringInterval) * NauticalMilesPerUnit(rangeUnit) : 0.0;
}

std::string FormatRangeValue(int rangeIndex, int rangeUnit) {
  const RangeEntry* entry = FindRange(rangeIndex, rangeUnit);
  if (!entry) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%g", entry->range);
  // A radar panel writes ranges below one without the leading zero (".125"), the width the range label
  // is laid out for.
  return entry->range < 1.0 ? std::string(text + 1) : std::string(text);
}

int EffectivePulse(int rangeIndex, int pulse, int model) {
  if (rangeIndex < 0 || rangeIndex >= kRangeCount || pulse < kShortPulse || pulse > kLongPulse) return -1;
  const int band = RangeBand(rangeIndex);
  if (model == kFivePulseModel) return std::clamp(band + pulse - kMediumPulse, 0, 4);
  if (model != kStandardModel) return -1;
  // Bands 0 and 1 allow short pulses, band 2 short and medium, band 3 medium and long, band 4 long.
  static constexpr std::array<int, 5> kShortest = {kShortPulse, kShortPulse, kShortPulse, kMediumPulse,
                                                   kLongPulse};
  static constexpr std::array<int, 5> kLongest = {kShortPulse, kShortPulse, kMediumPulse, kLongPulse,
                                                  kLongPulse};
  const auto slot = static_cast<std::size_t>(band);
  return std::clamp(pulse, kShortest[slot], kLongest[slot]);
}

int PulseLabelCodeOf(int rangeIndex, int pulse, int rangeUnit, int model) {
  if (!IsValidRange(rangeIndex, rangeUnit)) return -1;
  const int radarModel = model == -1 ? kStandardModel : model;
  const int effective = EffectivePulse(rangeIndex, pulse, radarModel);
  if (effective < 0) return -1;
  return radarModel == kFivePulseModel ? 10 + effective : effective;
}

double PulseExtentInNauticalMiles(int rangeIndex, int pulse, int model) {
  const int effective = EffectivePulse(rangeIndex, pulse, model);
  if (effective < 0) return 0.0;
  const double microseconds = model == kFivePulseModel ? kFivePulses[static_cast<std::size_t>(effective)]
                                                       : kStandardPulses[static_cast<std::size_t>(effective)];
  return microseconds * kNauticalMilesPerPulseMicrosecond;
}

}  // namespace radarsim
