#include "host/gen_data.h"

namespace _GenData {

void CFormat::SetProprieteDecimale(int value, int parameter) {
  const bool known = value == kDecimalDefault || value == kDecimalFixed || value == kDecimalAtMost;
  if (!known || parameter < 0 || parameter > 9) return;
  decimal_ = value;
  decimalParameter_ = parameter;
}

void CFormat::SetProprieteDuree(int value) {
  if (value == kDurationHoursMinutesSeconds || value == kDurationMinutesSeconds) duration_ = value;
}

}  // namespace _GenData
