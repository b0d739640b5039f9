#include "host/pos_type.h"

PosType::PosType() = default;

PosType::PosType(double latitudeRadians, double longitudeRadians)
    : latitude(static_cast<float>(latitudeRadians)), longitude(static_cast<float>(longitudeRadians)) {}

bool PosType::operator==(const PosType& other) const {
  return latitude == other.latitude && longitude == other.longitude;
}
