#include <new>

#include "gdi_objects.h"

using namespace gdi32;

HDC CreateViewDC(const ViewSurface& surface) {
  if (surface.pixels == nullptr || surface.width == 0 || surface.height == 0 || surface.pitch % 4 != 0 ||
      surface.pitch / 4 < surface.width)
    return nullptr;
  Pen* pen = StockPen(BLACK_PEN);
  Brush* brush = StockBrush(WHITE_BRUSH);
  auto* dc = new (std::nothrow) DeviceContext(surface, pen, brush);
  if (dc == nullptr) return nullptr;
  ++pen->selections_;
  ++brush->selections_;
  Remember(dc);
  return reinterpret_cast<HDC>(static_cast<GdiObject*>(dc));
}

bool GetViewDCSurface(HDC handle, ViewSurface& surface) {
  DeviceContext* dc = AsDeviceContext(handle);
  if (dc == nullptr) return false;
  surface = dc->surface_;
  return true;
}

BOOL DeleteDC(HDC handle) {
  DeviceContext* dc = AsDeviceContext(handle);
  if (dc == nullptr) return FALSE;
  --dc->pen_->selections_;
  --dc->brush_->selections_;
  Forget(dc);
  delete dc;
  return TRUE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
  DeviceContext* dc = AsDeviceContext(handle);
  if (dc == nullptr) return nullptr;
  GdiObject* previous = nullptr;
  if (Pen* pen = AsPen(object)) {
    previous = dc->pen_;
    --dc->pen_->selections_;
    dc->pen_ = pen;
    ++pen->selections_;
  } else if (Brush* brush = AsBrush(object)) {
    previous = dc->brush_;
    --dc->brush_->selections_;
    dc->brush_ = brush;
    ++brush->selections_;
  }
  return previous;
}

DWORD GetObjectType(HGDIOBJ object) {
  if (AsPen(object)) return OBJ_PEN;
  if (AsBrush(object)) return OBJ_BRUSH;
  if (AsDeviceContext(static_cast<HDC>(object))) return OBJ_DC;
  return 0;
}
