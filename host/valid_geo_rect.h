#pragma once
// A geographic rectangle of the host's basic-types library, with a flag saying whether it holds an
// extent at all: the south-west and north-east corners, in radians.
#include "host/pos_type.h"

struct ValidGeoRect {
  PosType southWest;
  PosType northEast;
  bool valid = false;

  ValidGeoRect();
  ValidGeoRect(const PosType& southWestCorner, const PosType& northEastCorner);
  // True when the rectangle is valid and `position` lies inside it or on its edge.
  bool Contains(const PosType& position) const;
  bool operator==(const ValidGeoRect& other) const;
};
