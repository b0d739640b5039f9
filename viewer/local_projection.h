#pragma once
// A plain local chart projection: equirectangular around a centre position, north up, a fixed number of
// pixels per nautical mile. Good enough for the few nautical miles a radar picture spans.
#include "host/pos_type.h"

struct ScreenPosition {
  double x = 0.0;
  double y = 0.0;
};

class LocalProjection {
public:
  // `centre` shows at the screen point `centrePixel`.
  LocalProjection(const PosType& centre, ScreenPosition centrePixel, double pixelsPerMile);

  ScreenPosition ToScreen(const PosType& position) const;
  PosType ToGeo(ScreenPosition point) const;

  void SetCentre(const PosType& centre);
  void SetPixelsPerMile(double pixelsPerMile) { pixelsPerMile_ = pixelsPerMile; }
  double PixelsPerMile() const { return pixelsPerMile_; }

private:
  PosType centre_;
  ScreenPosition centrePixel_;
  double pixelsPerMile_;
  // How much shorter a mile of longitude is than a mile of latitude at the centre.
  double longitudeScale_ = 1.0;
};
