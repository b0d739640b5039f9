#pragma once
// What a display's overlays are drawn from: the values the display reads of its data module once per
// poll or repaint and hands down, so that the overlays neither know the display nor read the settings
// again.
#include "overlays/transmitter_status.h"

class NavigationSource;
class OGRFeature;

struct OverlayInputs {
  OGRFeature* settings = nullptr;          // the radar settings feature (not owned); null when there is none
  bool imoMode = false;
  NavigationSource* navigation = nullptr;  // the host's; null when it gave none
  bool ringsLayerVisible = true;
  TransmitterStatus lastStatus;            // as the last poll found it
};
