#pragma once
// The block of radar information labels in the view's top-left corner: the range (large) with the ring
// interval to its right and the pulse length under it; below the range, the radar's name and, when
// known, its antenna.
#include <cstdint>

#include <gdiplus.h>

#include "afxstr.h"

class SorVikRadar;

// What the labels show, as read from the radar settings. -1 for an antenna or model not known.
struct RadarLabelValues {
  int range = 0;
  int rangeUnit = 0;
  int pulse = 0;
  int antenna = -1;
  int model = -1;
  CString radarName;
};

// Draws the labels on `surface`, with the texts `radar` gives for the values. The range text keeps its
// right edge where that of the widest range, ".125/", would end, so nothing moves when it changes.
void DrawRadarLabels(Gdiplus::Graphics* surface, SorVikRadar& radar, std::int32_t dayNightMode,
                     const RadarLabelValues& values);
