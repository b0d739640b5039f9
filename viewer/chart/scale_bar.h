#pragma once
// The chart's scale bar: a round number of nautical miles, drawn at the view's bottom-left corner.
#include <string>

typedef struct _cairo cairo_t;
class ChartProjection;
struct ChartColours;

struct ScaleBarLength {
  double miles = 0.0;
  double pixels = 0.0;
  std::string label;
};

// The longest round length (1, 2 or 5 times a power of ten, or a quarter mile) that fits in `maxPixels`
// at `metresPerPixel` true metres per pixel.
ScaleBarLength ScaleBarFor(double metresPerPixel, double maxPixels);

void DrawScaleBar(cairo_t* cairo, const ChartProjection& projection, const ChartColours& colours);
