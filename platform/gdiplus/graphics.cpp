#include "extensions/gdi32.h"
#include "native_objects.h"

namespace Gdiplus::DllExports {

GpStatus GdipCreateFromHDC(HDC dc, GpGraphics** graphics) {
  ViewSurface view;
  if (graphics == nullptr || !GetViewDCSurface(dc, view)) return InvalidParameter;
  GpGraphics* created = NewObject<GpGraphics>();
  if (created == nullptr) return OutOfMemory;
  created->surface_ = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(view.pixels), CAIRO_FORMAT_ARGB32, static_cast<int>(view.width),
      static_cast<int>(view.height), static_cast<int>(view.pitch));
  created->cairo_ = cairo_create(created->surface_);
  cairo_matrix_init_identity(&created->world_);
  if (cairo_status(created->cairo_) != CAIRO_STATUS_SUCCESS) {
    GdipDeleteGraphics(created);
    return OutOfMemory;
  }
  *graphics = created;
  return Ok;
}

GpStatus GdipDeleteGraphics(GpGraphics* graphics) {
  if (graphics == nullptr) return InvalidParameter;
  if (graphics->cairo_) cairo_destroy(graphics->cairo_);
  if (graphics->surface_) {
    cairo_surface_flush(graphics->surface_);
    cairo_surface_destroy(graphics->surface_);
  }
  DeleteObject(graphics);
  return Ok;
}

GpStatus GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode) {
  if (graphics == nullptr || mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias8x8)
    return InvalidParameter;
  graphics->smoothing_ = mode;
  return Ok;
}

GpStatus GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode) {
  if (graphics == nullptr || mode == nullptr) return InvalidParameter;
  *mode = graphics->smoothing_;
  return Ok;
}

GpStatus GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix) {
  if (graphics == nullptr || matrix == nullptr) return InvalidParameter;
  matrix->elements_ = graphics->world_;
  return Ok;
}

GpStatus GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix) {
  if (graphics == nullptr || matrix == nullptr) return InvalidParameter;
  cairo_matrix_t inverse = matrix->elements_;
  if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) return InvalidParameter;
  graphics->world_ = matrix->elements_;
  return Ok;
}

}  // namespace Gdiplus::DllExports

namespace Gdiplus {

void PrepareToDraw(GpGraphics& graphics) {
  cairo_surface_mark_dirty(graphics.surface_);  // the Direct3D device may have drawn since
  // GDI+ puts pixel centres on whole coordinates, cairo half a pixel further.
  cairo_matrix_t toDevice = graphics.world_;
  toDevice.x0 += 0.5;
  toDevice.y0 += 0.5;
  cairo_set_matrix(graphics.cairo_, &toDevice);
  const SmoothingMode mode = graphics.smoothing_;
  const bool smooth = mode == SmoothingModeHighQuality || mode == SmoothingModeAntiAlias || mode == SmoothingModeAntiAlias8x8;
  cairo_set_antialias(graphics.cairo_, smooth ? CAIRO_ANTIALIAS_GOOD : CAIRO_ANTIALIAS_NONE);
}

void FinishDrawing(GpGraphics& graphics) { cairo_surface_flush(graphics.surface_); }

void SetSourceColour(cairo_t* cairo, ARGB colour) {
  cairo_set_source_rgba(cairo, ((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                        (colour & 0xFF) / 255.0, (colour >> 24) / 255.0);
}

}  // namespace Gdiplus
