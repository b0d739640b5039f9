#include "native_objects.h"

#include <atomic>
#include <new>

namespace Gdiplus {

namespace {
std::atomic<UINT> liveObjects{0};
}  // namespace

template <typename Object>
Object* NewObject() {
  auto* object = new (std::nothrow) Object();
  if (object != nullptr) ++liveObjects;
  return object;
}

template <typename Object>
void DeleteObject(Object* object) {
  if (object == nullptr) return;
  --liveObjects;
  delete object;
}

template GpGraphics* NewObject<GpGraphics>();
template GpFontFamily* NewObject<GpFontFamily>();
template GpFont* NewObject<GpFont>();
template GpSolidFill* NewObject<GpSolidFill>();
template GpPen* NewObject<GpPen>();
template GpStringFormat* NewObject<GpStringFormat>();
template GpMatrix* NewObject<GpMatrix>();
template void DeleteObject(GpGraphics*);
template void DeleteObject(GpFontFamily*);
template void DeleteObject(GpFont*);
template void DeleteObject(GpSolidFill*);
template void DeleteObject(GpPen*);
template void DeleteObject(GpStringFormat*);
template void DeleteObject(GpMatrix*);

}  // namespace Gdiplus

UINT LiveGdiplusObjects() { return Gdiplus::liveObjects.load(); }
