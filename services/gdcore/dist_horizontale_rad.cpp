#include <atomic>

#include "common/units.h"
#include "host/gen_data.h"

namespace _GenData {

namespace {
std::atomic<DistanceUnit> userDistanceUnit{DistanceUnit::kNauticalMiles};


struct UnitWriting {
  double perNauticalMile;
  const char* symbol;
};

UnitWriting WritingOf(DistanceUnit unit) {
  switch (unit) {
    case DistanceUnit::kKilometres:
      return {kMetresPerNauticalMile / 1000.0, "km"};
    case DistanceUnit::kStatuteMiles:
      return {kMetresPerNauticalMile / kMetresPerStatuteMile, "mi"};
    case DistanceUnit::kNauticalMiles:
      break;
  }
  return {1.0, "NM"};
}
}  // namespace

void SetUserDistanceUnit(DistanceUnit unit) { userDistanceUnit.store(unit); }
DistanceUnit GetUserDistanceUnit() { return userDistanceUnit.load(); }

CString CDistHorizontaleRad::ToString(const CFormat& format) const {
  if (!HasValue()) return CString();
  const UnitWriting writing = WritingOf(GetUserDistanceUnit());
  return FormatNumber(GetValue() / kRadiansPerNauticalMile * writing.perNauticalMile, format) + " " +
         writing.symbol;
}

}  // namespace _GenData
