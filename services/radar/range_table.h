#pragma once
// The radar's ranges: one table of eleven ranges per range unit, with the range rings that go with each,
// and the pulse length the transmitter uses on it. A range is named by its index in the table of its unit.
#include <string>

namespace radarsim {

enum RangeUnitCode { kNauticalMiles = 0, kKilometres = 1, kStatuteMiles = 2 };

enum PulseSetting { kShortPulse = 0, kMediumPulse = 1, kLongPulse = 2 };

// The radar models: the standard one with three pulse lengths, and one with five.
enum RadarModel { kStandardModel = 0, kFivePulseModel = 1 };

constexpr int kRangeCount = 11;
constexpr double kMetresPerNauticalMile = 1852.0;

bool IsValidRange(int rangeIndex, int rangeUnit);
// The range in its own unit, or 0 for an unknown range.
double RangeInUnit(int rangeIndex, int rangeUnit);
// The range in nautical miles, or 0 for an unknown range.
double RangeInNauticalMiles(int rangeIndex, int rangeUnit);
// How many nautical miles one unit of `rangeUnit` is; 0 for an unknown unit.
double NauticalMilesPerUnit(int rangeUnit);

// Ring interval in the range unit and ring count; false for an unknown range.
bool RingLayoutOf(int rangeIndex, int rangeUnit, float& interval, int& count);
// Ring interval in nautical miles, or 0 for an unknown range.
double RingIntervalInNauticalMiles(int rangeIndex, int rangeUnit);

// The range as text in its unit, as a radar panel writes it (".75", "1.5", "12"); empty for an unknown
// range.
std::string FormatRangeValue(int rangeIndex, int rangeUnit);

// The pulse the transmitter really uses for a requested pulse setting on a range: short ranges allow
// only short pulses, long ranges only long ones. For the five-pulse model the answer is 0 to 4.
// -1 when the range, the setting or the model is unknown.
int EffectivePulse(int rangeIndex, int pulse, int model);
// Label code of the pulse in use: 0, 1, 2 (short, medium, long) for the standard model, 10 to 14 for
// the five-pulse model, -1 (no label) when unknown. Model -1 stands for "not given": the standard model.
int PulseLabelCodeOf(int rangeIndex, int pulse, int rangeUnit, int model);
// Length in nautical miles that one echo is stretched by the pulse in use; 0 when unknown.
double PulseExtentInNauticalMiles(int rangeIndex, int pulse, int model);

}  // namespace radarsim
