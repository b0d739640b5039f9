#pragma once
// The radar's state as the page shows it, read from the radar feature.
#include "viewer/live/live_state.h"

class OGRFeature;
class OGRLayer;

// `rangeMiles`: the range the data module gives, in nautical miles (0: none), for the range text.
LiveRadarState RadarStateOf(OGRFeature& feature, double rangeMiles);
LiveRadarState ReadRadarState(OGRLayer* layer, double rangeMiles);

// "0.75 NM", "1.5 km": the range in the unit of `unitCode` (the radar fields' range unit codes); empty
// without a range.
std::string RangeText(double rangeMiles, int unitCode);
