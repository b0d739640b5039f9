#include "viewer/chart/chart_painter.h"

#include <cairo.h>

#include <memory>

#include "viewer/chart/chart_layers.h"
#include "viewer/chart/chart_projection.h"
#include "viewer/chart/colour_scheme.h"
#include "viewer/chart/grid.h"
#include "viewer/chart/scale_bar.h"

namespace {

struct CairoDeleter {
  void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;

// A Cairo context on the view's own pixels: 0xAARRGGBB words are Cairo's ARGB32 layout.
CairoPtr CairoOn(const ViewSurface& surface) {
  cairo_surface_t* target = cairo_image_surface_create_for_data(
      static_cast<unsigned char*>(static_cast<void*>(surface.pixels)), CAIRO_FORMAT_ARGB32,
      static_cast<int>(surface.width), static_cast<int>(surface.height), static_cast<int>(surface.pitch));
  CairoPtr cairo(cairo_create(target));
  cairo_surface_destroy(target);
  return cairo;
}

// The coast's pen, and how far beyond the view's edges a shape may lie and still reach into it.
constexpr double kCoastWidth = 1.2;
constexpr double kCullMarginPixels = kCoastWidth + 1.0;

// The view's area in Mercator metres, grown by the cull margin.
MercatorBox ViewBox(const ChartProjection& projection) {
  const MercatorPoint topLeft = projection.ToMercator(ScreenPosition{0.0, 0.0});
  const MercatorPoint bottomRight = projection.ToMercator(
      ScreenPosition{static_cast<double>(projection.Width()), static_cast<double>(projection.Height())});
  const MercatorBox view{topLeft.x, bottomRight.y, bottomRight.x, topLeft.y};
  return view.Grown(kCullMarginPixels * projection.MercatorMetresPerPixel());
}

void AddPath(cairo_t* cairo, const ChartProjection& projection, const std::vector<MercatorPoint>& points,
             bool closed) {
  bool first = true;
  for (const MercatorPoint& point : points) {
    const ScreenPosition screen = projection.ToScreen(point);
    if (first)
      cairo_move_to(cairo, screen.x, screen.y);
    else
      cairo_line_to(cairo, screen.x, screen.y);
    first = false;
  }
  if (closed && !first) cairo_close_path(cairo);
}

std::size_t FillLand(cairo_t* cairo, const ChartProjection& projection, const ChartLayers& layers,
                     const MercatorBox& view) {
  // Holes are rings inside rings: even-odd filling leaves them open.
  cairo_set_fill_rule(cairo, CAIRO_FILL_RULE_EVEN_ODD);
  std::size_t filled = 0;
  for (const ChartShape& shape : layers.Land()) {
    if (!shape.box.Overlaps(view)) continue;
    for (const auto& ring : shape.parts) AddPath(cairo, projection, ring, true);
    cairo_fill(cairo);
    ++filled;
  }
  return filled;
}

// Cairo scan-converts a stroke's outline as a whole, every crossing of its edges adding to the cost, and
// the crossings of many lines grow with the square of their number: a chart of many crossing lines
// stroked as one path never finished. Lines are stroked together (where they meet, they join as one outline) until this many
// points are gathered; a line of more is in pieces of at most kMaxLinePiecePoints.
constexpr std::size_t kStrokePointBudget = 2 * kMaxLinePiecePoints;

void StrokeCoast(cairo_t* cairo, const ChartProjection& projection, const ChartLayers& layers,
                 const MercatorBox& view, ChartPaintCounts& counts) {
  cairo_set_line_width(cairo, kCoastWidth);
  cairo_set_line_join(cairo, CAIRO_LINE_JOIN_ROUND);
  std::size_t gathered = 0;
  const auto stroke = [&] {
    if (gathered == 0) return;
    cairo_stroke(cairo);
    ++counts.coastStrokes;
    gathered = 0;
  };
  for (const ChartShape& shape : layers.Coast()) {
    if (!shape.box.Overlaps(view)) continue;
    std::size_t points = 0;
    for (const auto& line : shape.parts) points += line.size();
    if (gathered + points > kStrokePointBudget) stroke();
    for (const auto& line : shape.parts) AddPath(cairo, projection, line, false);
    gathered += points;
    ++counts.coastLines;
  }
  stroke();
}

}  // namespace

void SetSourceColour(cairo_t* cairo, std::uint32_t rgb, double alpha) {
  cairo_set_source_rgba(cairo, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                        alpha);
}

void DrawLabel(cairo_t* cairo, const std::string& text, double x, double y, LabelAnchor anchor,
               const ChartColours& colours) {
  cairo_text_extents_t extents;
  cairo_text_extents(cairo, text.c_str(), &extents);
  const double left = anchor == LabelAnchor::kLeft ? x : x - extents.x_advance;
  SetSourceColour(cairo, colours.labelBackground, 0.75);
  cairo_rectangle(cairo, left - 2.0, y + extents.y_bearing - 2.0, extents.x_advance + 4.0, extents.height + 4.0);
  cairo_fill(cairo);
  SetSourceColour(cairo, colours.text);
  cairo_move_to(cairo, left, y);
  cairo_show_text(cairo, text.c_str());
}

ChartPaintCounts PaintChart(const ViewSurface& surface, const ChartProjection& projection,
                            const ChartLayers& layers, const ChartColours& colours) {
  CairoPtr cairo = CairoOn(surface);
  SetSourceColour(cairo.get(), colours.sea);
  cairo_paint(cairo.get());
  const MercatorBox view = ViewBox(projection);
  ChartPaintCounts counts;
  SetSourceColour(cairo.get(), colours.land);
  counts.landShapes = FillLand(cairo.get(), projection, layers, view);
  SetSourceColour(cairo.get(), colours.coast);
  StrokeCoast(cairo.get(), projection, layers, view, counts);
  DrawGridLines(cairo.get(), projection, colours);
  cairo_surface_flush(cairo_get_target(cairo.get()));
  return counts;
}

void PaintAnnotations(const ViewSurface& surface, const ChartProjection& projection, const ChartColours& colours) {
  CairoPtr cairo = CairoOn(surface);
  DrawGridLabels(cairo.get(), projection, colours);
  DrawScaleBar(cairo.get(), projection, colours);
  cairo_surface_flush(cairo_get_target(cairo.get()));
}
