#pragma once
// Draws the chart on a view's pixels with Cairo: the sea, the land filled, the coast lines and the grid
// under the radar; the grid labels and the scale bar over it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "extensions/d3d9.h"

typedef struct _cairo cairo_t;
class ChartLayers;
class ChartProjection;
struct ChartColours;

// What a paint drew: the shapes that lie in the view or reach into it; the others cost only the test
// of their boxes.
struct ChartPaintCounts {
  std::size_t landShapes = 0;
  std::size_t coastLines = 0;    // lines and pieces of lines
  std::size_t coastStrokes = 0;  // the strokes they took, each of a bounded number of points
};

ChartPaintCounts PaintChart(const ViewSurface& surface, const ChartProjection& projection,
                            const ChartLayers& layers, const ChartColours& colours);
void PaintAnnotations(const ViewSurface& surface, const ChartProjection& projection, const ChartColours& colours);

// Helpers shared by the chart's pieces.
void SetSourceColour(cairo_t* cairo, std::uint32_t rgb, double alpha = 1.0);
enum class LabelAnchor { kLeft, kRight };
// `text` with its baseline at `y`, starting at `x` (kLeft) or ending there (kRight), on a small
// background plate.
void DrawLabel(cairo_t* cairo, const std::string& text, double x, double y, LabelAnchor anchor,
               const ChartColours& colours);
