#pragma once
// The range rings around the radar centre, with their distances, and the block of radar information
// labels in the view's corner.
#include <cstdint>

class ChartView;
class ModuleDisplaySorvik;

// Draws the rings and labels of `display` on `view` around the centre (radians, as the two floats of a
// position), for the view's day/night mode and printing status.
void DrawRingsAndLabels(ModuleDisplaySorvik& display, ChartView* view, float centreLatitude, float centreLongitude,
                        std::int32_t dayNightMode, std::int32_t printingStatus);
