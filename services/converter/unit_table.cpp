#include "services/converter/unit_table.h"

#include "common/units.h"
#include "host/converter_api.h"

namespace {
struct UnitLength {
  std::int32_t unit;
  double perNauticalMile;
};

constexpr UnitLength kUnits[] = {
    {converter_units::kNauticalMiles, 1.0},
    {converter_units::kRangeNauticalMiles, 1.0},
    {converter_units::kArcRadians, kRadiansPerNauticalMile},
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
