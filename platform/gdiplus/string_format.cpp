#include "native_objects.h"

namespace Gdiplus::DllExports {

GpStatus GdipCreateStringFormat(INT formatFlags, LANGID /*language*/, GpStringFormat** format) {
  if (format == nullptr) return InvalidParameter;
  GpStringFormat* created = NewObject<GpStringFormat>();
  if (created == nullptr) return OutOfMemory;
  created->flags_ = formatFlags;
  *format = created;
  return Ok;
}

GpStatus GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align) {
  if (format == nullptr || align < StringAlignmentNear || align > StringAlignmentFar) return InvalidParameter;
  format->align_ = align;
  return Ok;
}

GpStatus GdipGetStringFormatAlign(GpStringFormat* format, StringAlignment* align) {
  if (format == nullptr || align == nullptr) return InvalidParameter;
  *align = format->align_;
  return Ok;
}

GpStatus GdipDeleteStringFormat(GpStringFormat* format) {
  if (format == nullptr) return InvalidParameter;
  DeleteObject(format);
  return Ok;
}

}  // namespace Gdiplus::DllExports
