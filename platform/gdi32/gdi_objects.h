#pragma once
// What GDI's handles stand for: pens, brushes and device contexts, each told apart by a tag so that a
// handle of the wrong kind, or a stray pointer that is none of ours, is refused.
#include <cstdint>

#include "extensions/gdi32.h"

namespace gdi32 {

enum class ObjectKind : std::uint32_t { kPen = 0x50454e31, kBrush = 0x42525331, kDeviceContext = 0x44435831 };

struct GdiObject {
  explicit GdiObject(ObjectKind kind, bool stock) : kind_(kind), stock_(stock) {}
  virtual ~GdiObject() = default;
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ObjectKind kind_;
  bool stock_;
  int selections_ = 0;  // device contexts that have it selected
};

struct Pen : GdiObject {
  Pen(int style, int width, COLORREF colour, bool stock = false)
      : GdiObject(ObjectKind::kPen, stock), style_(style), width_(width), colour_(colour) {}
  int style_;
  int width_;
  COLORREF colour_;
};

struct Brush : GdiObject {
  Brush(bool hollow, COLORREF colour, bool stock = false)
      : GdiObject(ObjectKind::kBrush, stock), hollow_(hollow), colour_(colour) {}
  bool hollow_;
  COLORREF colour_;
};

struct DeviceContext : GdiObject {
  DeviceContext(const ViewSurface& surface, Pen* pen, Brush* brush)
      : GdiObject(ObjectKind::kDeviceContext, false), surface_(surface), pen_(pen), brush_(brush) {}
  ViewSurface surface_;
  Pen* pen_;
  Brush* brush_;
};

// The object behind `handle` when it is one of ours of that kind, else null.
Pen* AsPen(HGDIOBJ handle);
Brush* AsBrush(HGDIOBJ handle);
DeviceContext* AsDeviceContext(HDC handle);

Pen* StockPen(int index);
Brush* StockBrush(int index);

// A new object becomes a valid handle and counts as alive until Forget.
void Remember(GdiObject* object);
void Forget(GdiObject* object);

}  // namespace gdi32
