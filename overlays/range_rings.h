#pragma once
// The range rings around the radar centre, with their distances, and the block of radar information
// labels in the view's corner.
#include <cstdint>
#include <functional>

#include "module/service_libraries.h"

class ChartView;
struct OverlayInputs;

// How the rings and labels reach the radar service; null when there is none.
using RadarServiceAccessor = std::function<VKSorVikAPI*()>;

// Draws the rings and labels of the settings of `inputs` on `view` around the centre (radians, as the two
// floats of a position), for the view's day/night mode and printing status. The ring layout and the label
// texts come from the radar of `service`. Labels are left out of printouts unless the printing status asks
// for them; rings follow the rings layer and are hidden while the last status says the radar is not
// available or its source is lost. Nothing is drawn on a view without a device context, or when the
// settings or the ring layout cannot be read.
void DrawRingsAndLabels(ChartView* view, const OverlayInputs& inputs, float centreLatitude, float centreLongitude,
                        std::int32_t dayNightMode, std::int32_t printingStatus,
                        const RadarServiceAccessor& service = GetSorVikService);
