#include "viewer/chart/scale_bar.h"

#include <cairo.h>

#include <array>
#include <cstdio>

#include "viewer/chart/chart_painter.h"
#include "viewer/chart/chart_projection.h"
#include "viewer/chart/colour_scheme.h"

namespace {

constexpr std::array<double, 17> kLengthsMiles = {0.01, 0.02, 0.05, 0.1, 0.2, 0.25, 0.5, 1,  2,
                                                  5,    10,   20,   50,  100, 200, 500, 1000};
// The bar takes at most this share of the view's width.
constexpr double kWidthShare = 0.25;
constexpr double kMargin = 12.0;

}  // namespace

ScaleBarLength ScaleBarFor(double metresPerPixel, double maxPixels) {
  ScaleBarLength best;
  for (double miles : kLengthsMiles) {
    const double pixels = miles * kMetresPerNauticalMile / metresPerPixel;
    if (pixels > maxPixels) break;
    best.miles = miles;
    best.pixels = pixels;
  }
  if (best.miles > 0.0) {
    char text[32];
    std::snprintf(text, sizeof text, "%g NM", best.miles);
    best.label = text;
  }
  return best;
}

void DrawScaleBar(cairo_t* cairo, const ChartProjection& projection, const ChartColours& colours) {
  const ScaleBarLength bar = ScaleBarFor(projection.GroundMetresPerPixel(), kWidthShare * projection.Width());
  if (bar.miles <= 0.0) return;
  const double left = kMargin, base = projection.Height() - 24.0;
  SetSourceColour(cairo, colours.labelBackground, 0.75);
  cairo_rectangle(cairo, left - 4.0, base - 20.0, bar.pixels + 8.0, 28.0);
  cairo_fill(cairo);
  SetSourceColour(cairo, colours.text);
  cairo_set_line_width(cairo, 2.0);
  cairo_move_to(cairo, left, base - 5.0);
  cairo_line_to(cairo, left, base);
  cairo_line_to(cairo, left + bar.pixels, base);
  cairo_line_to(cairo, left + bar.pixels, base - 5.0);
  cairo_stroke(cairo);
  cairo_select_font_face(cairo, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cairo, 11.0);
  cairo_move_to(cairo, left + 4.0, base - 7.0);
  cairo_show_text(cairo, bar.label.c_str());
}
