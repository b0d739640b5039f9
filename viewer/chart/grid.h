#pragma once
// The chart's latitude/longitude grid: lines under the radar, labels at the view's edges.
#include <string>

typedef struct _cairo cairo_t;
class ChartProjection;
struct ChartColours;

// The grid spacing in minutes of arc for a view spanning `spanMinutes`: the smallest of the usual chart
// spacings that leaves at most six lines across the span.
double GridStepMinutes(double spanMinutes);
// "53°10'N", "5°16.5'E": degrees and minutes, with as many decimals of the minute as `stepMinutes` needs.
std::string FormatLatitude(double degrees, double stepMinutes);
std::string FormatLongitude(double degrees, double stepMinutes);

void DrawGridLines(cairo_t* cairo, const ChartProjection& projection, const ChartColours& colours);
void DrawGridLabels(cairo_t* cairo, const ChartProjection& projection, const ChartColours& colours);
