#pragma once
// The native objects behind GDI+'s handles.
#include <cairo.h>

#include <string>

#include "extensions/gdiplus.h"

namespace Gdiplus {

// A world transform as cairo holds one: xx = m11, yx = m12, xy = m21, yy = m22, x0 = dx, y0 = dy.
struct GpMatrix {
  cairo_matrix_t elements_;
};

struct GpGraphics {
  cairo_surface_t* surface_ = nullptr;  // over the view's pixels
  cairo_t* cairo_ = nullptr;
  SmoothingMode smoothing_ = SmoothingModeDefault;
  cairo_matrix_t world_;
};

// A family as the installed fonts resolve it, with its design metrics in font units.
struct GpFontFamily {
  std::string name_;  // the installed family that answers the name asked for
  double unitsPerEm_ = 2048;
  double ascent_ = 0;       // baseline below the line's top
  double lineSpacing_ = 0;  // baseline to baseline
};

struct GpFont {
  GpFontFamily family_;
  REAL emPixels_ = 0;
  INT style_ = FontStyleRegular;
  double AscentPixels() const { return family_.ascent_ * emPixels_ / family_.unitsPerEm_; }
  double LineSpacingPixels() const { return family_.lineSpacing_ * emPixels_ / family_.unitsPerEm_; }
};

struct GpBrush {
  ARGB colour_ = 0;
};
struct GpSolidFill : GpBrush {};

struct GpPen {
  ARGB colour_ = 0;
  REAL width_ = 1;
};

struct GpStringFormat {
  INT flags_ = 0;
  StringAlignment align_ = StringAlignmentNear;
};

// Makes and deletes native objects, counting them; null from New when memory is short.
template <typename Object>
Object* NewObject();
template <typename Object>
void DeleteObject(Object* object);

void SetSourceColour(cairo_t* cairo, ARGB colour);
// Applies the surface's world transform and antialiasing before a drawing call.
void PrepareToDraw(GpGraphics& graphics);
// Hands what cairo drew to the view's pixels.
void FinishDrawing(GpGraphics& graphics);

}  // namespace Gdiplus
