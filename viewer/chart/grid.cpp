#include "viewer/chart/grid.h"

#include <cairo.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>

#include "viewer/chart/chart_painter.h"
#include "viewer/chart/chart_projection.h"
#include "viewer/chart/colour_scheme.h"

namespace {

constexpr double kDegree = M_PI / 180.0;
constexpr double kMaxLines = 6.0;
constexpr double kFontSize = 11.0;

constexpr std::array<double, 16> kStepsMinutes = {0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 20, 30,
                                                  60, 120, 300, 600, 1200, 1800};

std::string FormatAngle(double degrees, double stepMinutes, char positive, char negative) {
  const char hemisphere = degrees < 0.0 ? negative : positive;
  const int decimals = stepMinutes >= 1.0 ? 0 : 1;
  const double scale = decimals == 0 ? 1.0 : 10.0;
  // Rounded once to the printed precision, so that 59.99' never shows as 60'.
  const long long units = std::llround(std::fabs(degrees) * 60.0 * scale);
  const long long perDegree = static_cast<long long>(60.0 * scale);
  const long long whole = units / perDegree;
  const double minutes = static_cast<double>(units % perDegree) / scale;
  char text[32];
  std::snprintf(text, sizeof text, "%lld\u00B0%0*.*f'%c", whole, decimals == 0 ? 2 : 4, decimals, minutes,
                hemisphere);
  return text;
}

// Calls `each` with every multiple of `step` (degrees) from `low` to `high`.
void ForEachLine(double low, double high, double step, const std::function<void(double)>& each) {
  for (double index = std::ceil(low / step); index * step <= high; index += 1.0) each(index * step);
}

struct GridSpan {
  double south, north, west, east, stepDegrees, stepMinutes;
};

GridSpan SpanOf(const ChartProjection& projection) {
  const PosType topLeft = projection.ToGeo({0.0, 0.0});
  const PosType bottomRight = projection.ToGeo({static_cast<double>(projection.Width()),
                                                static_cast<double>(projection.Height())});
  GridSpan span{bottomRight.latitude / kDegree, topLeft.latitude / kDegree, topLeft.longitude / kDegree,
                bottomRight.longitude / kDegree, 0.0, 0.0};
  if (span.east < span.west) span.east += 360.0;
  const double spanMinutes = std::max(span.north - span.south, span.east - span.west) * 60.0;
  span.stepMinutes = GridStepMinutes(spanMinutes);
  span.stepDegrees = span.stepMinutes / 60.0;
  return span;
}

}  // namespace

double GridStepMinutes(double spanMinutes) {
  for (double step : kStepsMinutes)
    if (spanMinutes / step <= kMaxLines) return step;
  return kStepsMinutes.back();
}

std::string FormatLatitude(double degrees, double stepMinutes) { return FormatAngle(degrees, stepMinutes, 'N', 'S'); }

std::string FormatLongitude(double degrees, double stepMinutes) {
  const double wrapped = std::remainder(degrees, 360.0);
  return FormatAngle(wrapped, stepMinutes, 'E', 'W');
}

void DrawGridLines(cairo_t* cairo, const ChartProjection& projection, const ChartColours& colours) {
  const GridSpan span = SpanOf(projection);
  SetSourceColour(cairo, colours.grid, 0.8);
  cairo_set_line_width(cairo, 1.0);
  const double width = projection.Width(), height = projection.Height();
  ForEachLine(span.south, span.north, span.stepDegrees, [&](double latitude) {
    const double y = std::round(projection.ToScreen(PosType(latitude * kDegree, 0.0)).y) + 0.5;
    cairo_move_to(cairo, 0.0, y);
    cairo_line_to(cairo, width, y);
  });
  ForEachLine(span.west, span.east, span.stepDegrees, [&](double longitude) {
    const double x = std::round(projection.ToScreen(PosType(0.0, longitude * kDegree)).x) + 0.5;
    cairo_move_to(cairo, x, 0.0);
    cairo_line_to(cairo, x, height);
  });
  cairo_stroke(cairo);
}

void DrawGridLabels(cairo_t* cairo, const ChartProjection& projection, const ChartColours& colours) {
  const GridSpan span = SpanOf(projection);
  cairo_select_font_face(cairo, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cairo, kFontSize);
  // Latitudes at the right edge, longitudes at the bottom edge: the radar's own labels take the top.
  ForEachLine(span.south, span.north, span.stepDegrees, [&](double latitude) {
    const double y = projection.ToScreen(PosType(latitude * kDegree, 0.0)).y;
    DrawLabel(cairo, FormatLatitude(latitude, span.stepMinutes), projection.Width() - 3.0, y - 2.0,
              LabelAnchor::kRight, colours);
  });
  ForEachLine(span.west, span.east, span.stepDegrees, [&](double longitude) {
    const double x = projection.ToScreen(PosType(0.0, longitude * kDegree)).x;
    DrawLabel(cairo, FormatLongitude(longitude, span.stepMinutes), x + 3.0, projection.Height() - 4.0,
              LabelAnchor::kLeft, colours);
  });
}
