#include "services/converter/unit_table.h"

#include <numbers>

#include "host/converter_api.h"

namespace {
struct UnitLength {
  std::int32_t unit;
  double perNauticalMile;
};

constexpr double kMetresPerNauticalMile = 1852.0;
constexpr double kMetresPerStatuteMile = 1609.344;

// A nautical mile is one minute of arc of the earth: π/10800 radians.
constexpr UnitLength kUnits[] = {
    {converter_units::kNauticalMiles, 1.0},
    {converter_units::kRangeNauticalMiles, 1.0},
    {converter_units::kArcRadians, std::numbers::pi / 10800.0},
    {converter_units::kMetres, kMetresPerNauticalMile},
    {converter_units::kKilometres, kMetresPerNauticalMile / 1000.0},
    {converter_units::kStatuteMiles, kMetresPerNauticalMile / kMetresPerStatuteMile},
};
}  // namespace

std::optional<double> UnitsPerNauticalMile(std::int32_t unit) {
  for (const UnitLength& length : kUnits)
    if (length.unit == unit) return length.perNauticalMile;
  return std::nullopt;
}
