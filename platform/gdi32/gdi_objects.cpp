#include "gdi_objects.h"

#include <atomic>
#include <mutex>
#include <new>
#include <unordered_set>

namespace gdi32 {

namespace {

std::atomic<UINT> liveObjects{0};

// Every object this library has made and not yet deleted, so that a handle can be checked before use.
std::mutex registryMutex;
std::unordered_set<const void*>& Registry() {
  static std::unordered_set<const void*> registry;
  return registry;
}

GdiObject* Registered(const void* handle, ObjectKind kind) {
  if (handle == nullptr) return nullptr;
  {
    std::lock_guard lock(registryMutex);
    if (!Registry().contains(handle)) return nullptr;
  }
  auto* object = static_cast<GdiObject*>(const_cast<void*>(handle));
  return object->kind_ == kind ? object : nullptr;
}

void Register(GdiObject* object) {
  std::lock_guard lock(registryMutex);
  Registry().insert(object);
}

void Unregister(GdiObject* object) {
  std::lock_guard lock(registryMutex);
  Registry().erase(object);
}

}  // namespace

Pen* AsPen(HGDIOBJ handle) { return static_cast<Pen*>(Registered(handle, ObjectKind::kPen)); }
Brush* AsBrush(HGDIOBJ handle) { return static_cast<Brush*>(Registered(handle, ObjectKind::kBrush)); }
DeviceContext* AsDeviceContext(HDC handle) {
  return static_cast<DeviceContext*>(Registered(handle, ObjectKind::kDeviceContext));
}

Pen* StockPen(int index) {
  static Pen* const pens[] = {new Pen(PS_SOLID, 1, RGB(255, 255, 255), true),
                              new Pen(PS_SOLID, 1, RGB(0, 0, 0), true), new Pen(PS_NULL, 1, 0, true)};
  static const bool registered = [] {
    for (Pen* pen : pens) Register(pen);
    return true;
  }();
  (void)registered;
  return index >= WHITE_PEN && index <= NULL_PEN ? pens[index - WHITE_PEN] : nullptr;
}

Brush* StockBrush(int index) {
  static Brush* const brushes[] = {
      new Brush(false, RGB(255, 255, 255), true), new Brush(false, RGB(192, 192, 192), true),
      new Brush(false, RGB(128, 128, 128), true), new Brush(false, RGB(64, 64, 64), true),
      new Brush(false, RGB(0, 0, 0), true),       new Brush(true, 0, true)};
  static const bool registered = [] {
    for (Brush* brush : brushes) Register(brush);
    return true;
  }();
  (void)registered;
  return index >= WHITE_BRUSH && index <= NULL_BRUSH ? brushes[index - WHITE_BRUSH] : nullptr;
}

void Remember(GdiObject* object) {
  Register(object);
  ++liveObjects;
}

void Forget(GdiObject* object) {
  Unregister(object);
  --liveObjects;
}

}  // namespace gdi32

using namespace gdi32;

HPEN CreatePen(int style, int width, COLORREF colour) {
  if ((style != PS_SOLID && style != PS_NULL) || width < 0) return nullptr;
  auto* pen = new (std::nothrow) Pen(style, width, colour);
  if (pen == nullptr) return nullptr;
  Remember(pen);
  return reinterpret_cast<HPEN>(static_cast<GdiObject*>(pen));
}

HBRUSH CreateSolidBrush(COLORREF colour) {
  auto* brush = new (std::nothrow) Brush(false, colour);
  if (brush == nullptr) return nullptr;
  Remember(brush);
  return reinterpret_cast<HBRUSH>(static_cast<GdiObject*>(brush));
}

HGDIOBJ GetStockObject(int index) {
  if (Pen* pen = StockPen(index)) return static_cast<GdiObject*>(pen);
  return static_cast<GdiObject*>(StockBrush(index));
}

BOOL DeleteObject(HGDIOBJ handle) {
  GdiObject* object = AsPen(handle);
  if (object == nullptr) object = AsBrush(handle);
  if (object == nullptr || object->selections_ > 0) return FALSE;
  if (object->stock_) return TRUE;
  Forget(object);
  delete object;
  return TRUE;
}

UINT LiveGdiObjects() { return liveObjects.load(); }
