#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "gdi_objects.h"

using namespace gdi32;

namespace {

void SetColour(cairo_t* cr, COLORREF colour) {
  cairo_set_source_rgb(cr, GetRValue(colour) / 255.0, GetGValue(colour) / 255.0, GetBValue(colour) / 255.0);
}

// The ellipse through the centres of the box's edge pixels: GDI leaves the right and bottom edge out.
void EllipsePath(cairo_t* cr, double left, double top, double right, double bottom) {
  const double radiusX = (right - left - 1) / 2.0, radiusY = (bottom - top - 1) / 2.0;
  if (radiusX <= 0 || radiusY <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, (left + right) / 2.0, (top + bottom) / 2.0);
  cairo_scale(cr, radiusX, radiusY);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

}  // namespace

BOOL Ellipse(HDC handle, int left, int top, int right, int bottom) {
  DeviceContext* dc = AsDeviceContext(handle);
  if (dc == nullptr) return FALSE;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const ViewSurface& view = dc->surface_;
  cairo_surface_t* surface =
      cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(view.pixels), CAIRO_FORMAT_ARGB32,
                                          static_cast<int>(view.width), static_cast<int>(view.height),
                                          static_cast<int>(view.pitch));
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  EllipsePath(cr, left, top, right, bottom);
  if (!dc->brush_->hollow_) {
    SetColour(cr, dc->brush_->colour_);
    cairo_fill_preserve(cr);
  }
  const Pen& pen = *dc->pen_;
  if (pen.style_ != PS_NULL) {
    SetColour(cr, pen.colour_);
    cairo_set_line_width(cr, std::max(pen.width_, 1));
    cairo_stroke(cr);
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  return TRUE;
}
