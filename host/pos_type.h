#pragma once
// A geographic position of the host's basic-types library: latitude then longitude, in radians,
// held in single precision.

struct PosType {
  float latitude = 0.0f;
  float longitude = 0.0f;

  PosType();
  PosType(double latitudeRadians, double longitudeRadians);
  bool operator==(const PosType& other) const;
};
