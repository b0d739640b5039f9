#include "native_objects.h"

namespace Gdiplus::DllExports {

GpStatus GdipCreateSolidFill(ARGB colour, GpSolidFill** brush) {
  if (brush == nullptr) return InvalidParameter;
  GpSolidFill* created = NewObject<GpSolidFill>();
  if (created == nullptr) return OutOfMemory;
  created->colour_ = colour;
  *brush = created;
  return Ok;
}

GpStatus GdipDeleteBrush(GpBrush* brush) {
  if (brush == nullptr) return InvalidParameter;
  DeleteObject(static_cast<GpSolidFill*>(brush));
  return Ok;
}

GpStatus GdipCreatePen1(ARGB colour, REAL width, GpUnit unit, GpPen** pen) {
  if (pen == nullptr || width < 0 || (unit != UnitWorld && unit != UnitPixel)) return InvalidParameter;
  GpPen* created = NewObject<GpPen>();
  if (created == nullptr) return OutOfMemory;
  created->colour_ = colour;
  created->width_ = width;
  *pen = created;
  return Ok;
}

GpStatus GdipDeletePen(GpPen* pen) {
  if (pen == nullptr) return InvalidParameter;
  DeleteObject(pen);
  return Ok;
}

GpStatus GdipDrawRectangle(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height) {
  if (graphics == nullptr || pen == nullptr || width < 0 || height < 0) return InvalidParameter;
  PrepareToDraw(*graphics);
  cairo_t* cairo = graphics->cairo_;
  cairo_rectangle(cairo, x, y, width, height);
  SetSourceColour(cairo, pen->colour_);
  cairo_set_line_width(cairo, pen->width_ > 0 ? pen->width_ : 1.0);
  cairo_set_line_join(cairo, CAIRO_LINE_JOIN_MITER);
  cairo_stroke(cairo);
  FinishDrawing(*graphics);
  return Ok;
}

GpStatus GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height) {
  if (graphics == nullptr || brush == nullptr || width < 0 || height < 0) return InvalidParameter;
  PrepareToDraw(*graphics);
  cairo_t* cairo = graphics->cairo_;
  cairo_rectangle(cairo, x, y, width, height);
  SetSourceColour(cairo, brush->colour_);
  cairo_fill(cairo);
  FinishDrawing(*graphics);
  return Ok;
}

}  // namespace Gdiplus::DllExports
