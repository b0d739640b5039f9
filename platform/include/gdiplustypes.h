#pragma once
// GDI+'s basic types: status codes, colours, points and rectangles, and the native objects' names.
#include <cstddef>

#include "windef.h"

namespace Gdiplus {

using REAL = float;
using ARGB = DWORD;  // 0xAARRGGBB
using GraphicsState = UINT;

enum Status {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20,
  ProfileNotFound = 21,
};
using GpStatus = Status;

struct PointF {
  PointF() = default;
  PointF(REAL x, REAL y) : X(x), Y(y) {}
  REAL X = 0;
  REAL Y = 0;
};

struct SizeF {
  SizeF() = default;
  SizeF(REAL width, REAL height) : Width(width), Height(height) {}
  REAL Width = 0;
  REAL Height = 0;
};

struct RectF {
  RectF() = default;
  RectF(REAL x, REAL y, REAL width, REAL height) : X(x), Y(y), Width(width), Height(height) {}
  RectF(const PointF& location, const SizeF& size) : RectF(location.X, location.Y, size.Width, size.Height) {}
  void Offset(REAL dx, REAL dy) {
    X += dx;
    Y += dy;
  }
  REAL X = 0;
  REAL Y = 0;
  REAL Width = 0;
  REAL Height = 0;
};

// The native objects behind the wrapper classes; callers hold them only as pointers.
struct GpGraphics;
struct GpFontFamily;
struct GpFontCollection;
struct GpFont;
struct GpBrush;
struct GpSolidFill;
struct GpPen;
struct GpStringFormat;
struct GpMatrix;

}  // namespace Gdiplus
