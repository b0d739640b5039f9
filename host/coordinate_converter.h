#pragma once
// A view's conversion from screen points to geographic positions.
#include <cstdint>

#include "host/pos_type.h"

// A point on the view's screen, in pixels.
struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

class CoordinateConverter {
public:
  // The geographic position shown at `point`.
  virtual void ScreenToGeo(PosType& position, const ScreenPoint& point) = 0;

protected:
  ~CoordinateConverter() = default;
};
