#include "installed_fonts.h"
#include "native_objects.h"
#include "wide_text.h"

namespace Gdiplus::DllExports {

namespace {

constexpr double kPixelsPerInch = 96.0;

// The em size in pixels for a size in `unit`; 0 for a unit a font cannot have.
double EmPixels(REAL size, Unit unit) {
  switch (unit) {
    case UnitWorld:
    case UnitPixel: return size;
    case UnitPoint: return size * kPixelsPerInch / 72.0;
    case UnitInch: return size * kPixelsPerInch;
    case UnitDocument: return size * kPixelsPerInch / 300.0;
    case UnitMillimeter: return size * kPixelsPerInch / 25.4;
    default: return 0;
  }
}

}  // namespace

GpStatus GdipCreateFontFamilyFromName(const WCHAR* name, GpFontCollection* collection, GpFontFamily** family) {
  if (name == nullptr || family == nullptr || collection != nullptr) return InvalidParameter;
  const std::optional<InstalledFamily> installed = FindInstalledFamily(Utf8FromWide(name, -1));
  if (!installed) return FontFamilyNotFound;
  GpFontFamily* created = NewObject<GpFontFamily>();
  if (created == nullptr) return OutOfMemory;
  created->name_ = installed->name;
  created->unitsPerEm_ = installed->unitsPerEm;
  created->ascent_ = installed->ascent;
  created->lineSpacing_ = installed->lineSpacing;
  *family = created;
  return Ok;
}

GpStatus GdipDeleteFontFamily(GpFontFamily* family) {
  if (family == nullptr) return InvalidParameter;
  DeleteObject(family);
  return Ok;
}

GpStatus GdipCreateFont(const GpFontFamily* family, REAL emSize, INT style, Unit unit, GpFont** font) {
  if (family == nullptr || font == nullptr || emSize <= 0 || unit == UnitDisplay) return InvalidParameter;
  const double emPixels = EmPixels(emSize, unit);
  if (emPixels <= 0) return InvalidParameter;
  GpFont* created = NewObject<GpFont>();
  if (created == nullptr) return OutOfMemory;
  created->family_ = *family;
  created->emPixels_ = static_cast<REAL>(emPixels);
  created->style_ = style;
  *font = created;
  return Ok;
}

GpStatus GdipCloneFont(GpFont* font, GpFont** clone) {
  if (font == nullptr || clone == nullptr) return InvalidParameter;
  GpFont* created = NewObject<GpFont>();
  if (created == nullptr) return OutOfMemory;
  *created = *font;
  *clone = created;
  return Ok;
}

GpStatus GdipDeleteFont(GpFont* font) {
  if (font == nullptr) return InvalidParameter;
  DeleteObject(font);
  return Ok;
}

}  // namespace Gdiplus::DllExports
