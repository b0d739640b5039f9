#pragma once
// The host's own-ship navigation source, handed to the radar module at initialisation.
#include "host/pos_type.h"

class NavigationSource {
public:
  // Own-ship position, latitude and longitude in radians.
  virtual PosType GetPosition() = 0;
  // Writes the own-ship heading in radians; false when the host has none.
  virtual bool GetHeading(double* heading) = 0;
  // True when the host flags its navigation data as not to be trusted for the radar picture.
  virtual bool QueryNavigationFlag() = 0;

protected:
  ~NavigationSource() = default;
};
