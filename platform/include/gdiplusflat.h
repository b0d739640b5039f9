#pragma once
// GDI+'s flat interface: the functions the wrapper classes call. Each answers a status; a null object
// or a missing output is InvalidParameter. Colours are 0xAARRGGBB; coordinates are in the world space
// of the drawing surface, mapped to pixels by its world transform.
#include "gdiplusenums.h"
#include "gdiplustypes.h"
#include "wingdi.h"

namespace Gdiplus::DllExports {

extern "C" {

void* GdipAlloc(std::size_t size);
void GdipFree(void* pointer);

GpStatus GdipCreateFromHDC(HDC dc, GpGraphics** graphics);
GpStatus GdipDeleteGraphics(GpGraphics* graphics);
GpStatus GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode);
GpStatus GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode);
GpStatus GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
GpStatus GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);

// Fonts come from the installed fonts, by family name; `collection` must be null.
GpStatus GdipCreateFontFamilyFromName(const WCHAR* name, GpFontCollection* collection, GpFontFamily** family);
GpStatus GdipDeleteFontFamily(GpFontFamily* family);
GpStatus GdipCreateFont(const GpFontFamily* family, REAL emSize, INT style, Unit unit, GpFont** font);
GpStatus GdipCloneFont(GpFont* font, GpFont** clone);
GpStatus GdipDeleteFont(GpFont* font);

// `length` -1 for a null-terminated text. A layout box of zero width or height is unbounded that way.
GpStatus GdipMeasureString(GpGraphics* graphics, const WCHAR* text, INT length, const GpFont* font,
                           const RectF* layoutRect, const GpStringFormat* format, RectF* boundingBox,
                           INT* codepointsFitted, INT* linesFilled);
GpStatus GdipDrawString(GpGraphics* graphics, const WCHAR* text, INT length, const GpFont* font,
                        const RectF* layoutRect, const GpStringFormat* format, const GpBrush* brush);

GpStatus GdipCreateSolidFill(ARGB colour, GpSolidFill** brush);
GpStatus GdipDeleteBrush(GpBrush* brush);
GpStatus GdipCreatePen1(ARGB colour, REAL width, GpUnit unit, GpPen** pen);
GpStatus GdipDeletePen(GpPen* pen);
GpStatus GdipDrawRectangle(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);

GpStatus GdipCreateStringFormat(INT formatFlags, LANGID language, GpStringFormat** format);
GpStatus GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align);
GpStatus GdipGetStringFormatAlign(GpStringFormat* format, StringAlignment* align);
GpStatus GdipDeleteStringFormat(GpStringFormat* format);

// Matrices map row vectors: (x, y, 1) times [m11 m12 0; m21 m22 0; dx dy 1]. Prepending an operation
// applies it before the matrix, appending after it.
GpStatus GdipCreateMatrix(GpMatrix** matrix);
GpStatus GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix);
GpStatus GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY, GpMatrixOrder order);
// `angle` in degrees, clockwise on the screen.
GpStatus GdipRotateMatrix(GpMatrix* matrix, REAL angle, GpMatrixOrder order);
GpStatus GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* other, GpMatrixOrder order);
// Six elements: m11, m12, m21, m22, dx, dy.
GpStatus GdipGetMatrixElements(const GpMatrix* matrix, REAL* elements);
GpStatus GdipDeleteMatrix(GpMatrix* matrix);

}  // extern "C"

}  // namespace Gdiplus::DllExports
