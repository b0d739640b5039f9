#pragma once
// GDI+'s wrapper classes over its flat interface. Each object keeps the status of its last call; a
// failed creation leaves a null native object that later calls refuse with InvalidParameter.
#include "gdiplusflat.h"

namespace Gdiplus {

// Objects of the wrapper classes live in GDI+'s own memory.
class GdiplusBase {
public:
  static void* operator new(std::size_t size) { return DllExports::GdipAlloc(size); }
  static void operator delete(void* pointer) { DllExports::GdipFree(pointer); }
  static void* operator new[](std::size_t size) { return DllExports::GdipAlloc(size); }
  static void operator delete[](void* pointer) { DllExports::GdipFree(pointer); }
};

class Color {
public:
  Color() = default;
  Color(ARGB argb) : argb_(argb) {}  // NOLINT: GDI+ converts ARGB values implicitly
  Color(BYTE a, BYTE r, BYTE g, BYTE b)
      : argb_((ARGB{a} << 24) | (ARGB{r} << 16) | (ARGB{g} << 8) | ARGB{b}) {}
  ARGB GetValue() const { return argb_; }

private:
  ARGB argb_ = 0xFF000000u;
};

class Matrix : public GdiplusBase {
public:
  Matrix() { lastResult_ = DllExports::GdipCreateMatrix(&native_); }
  Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
    lastResult_ = DllExports::GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, &native_);
  }
  ~Matrix() { DllExports::GdipDeleteMatrix(native_); }
  Matrix(const Matrix&) = delete;
  Matrix& operator=(const Matrix&) = delete;

  Status Translate(REAL offsetX, REAL offsetY, MatrixOrder order = MatrixOrderPrepend) {
    return Keep(DllExports::GdipTranslateMatrix(native_, offsetX, offsetY, order));
  }
  Status Rotate(REAL angle, MatrixOrder order = MatrixOrderPrepend) {
    return Keep(DllExports::GdipRotateMatrix(native_, angle, order));
  }
  Status Multiply(const Matrix* other, MatrixOrder order = MatrixOrderPrepend) {
    return Keep(DllExports::GdipMultiplyMatrix(native_, other ? other->native_ : nullptr, order));
  }
  Status GetElements(REAL* elements) const { return DllExports::GdipGetMatrixElements(native_, elements); }
  Status GetLastStatus() const { return lastResult_; }

private:
  friend class Graphics;
  Status Keep(Status status) { return status == Ok ? status : (lastResult_ = status); }
  GpMatrix* native_ = nullptr;
  Status lastResult_ = Ok;
};

class FontFamily : public GdiplusBase {
public:
  FontFamily() = default;
  explicit FontFamily(const WCHAR* name, const void* collection = nullptr) {
    lastResult_ = collection ? InvalidParameter : DllExports::GdipCreateFontFamilyFromName(name, nullptr, &native_);
  }
  ~FontFamily() { DllExports::GdipDeleteFontFamily(native_); }
  FontFamily(const FontFamily&) = delete;
  FontFamily& operator=(const FontFamily&) = delete;

  BOOL IsAvailable() const { return native_ != nullptr; }
  Status GetLastStatus() const { return lastResult_; }

private:
  friend class Font;
  GpFontFamily* native_ = nullptr;
  Status lastResult_ = Ok;
};

class Font : public GdiplusBase {
public:
  Font(const FontFamily* family, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint) {
    lastResult_ = DllExports::GdipCreateFont(family ? family->native_ : nullptr, emSize, style, unit, &native_);
  }
  Font(const WCHAR* familyName, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint) {
    FontFamily family(familyName);
    lastResult_ = DllExports::GdipCreateFont(family.native_, emSize, style, unit, &native_);
  }
  ~Font() { DllExports::GdipDeleteFont(native_); }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // A copy in GDI+'s memory, or null when that memory is short; the caller deletes it.
  Font* Clone() const {
    GpFont* clone = nullptr;
    const Status status = DllExports::GdipCloneFont(native_, &clone);
    Font* font = new Font(clone, status);
    if (font == nullptr) DllExports::GdipDeleteFont(clone);
    return font;
  }
  BOOL IsAvailable() const { return native_ != nullptr; }
  Status GetLastStatus() const { return lastResult_; }

protected:
  Font(GpFont* font, Status status) : native_(font), lastResult_(status) {}

private:
  friend class Graphics;
  GpFont* native_ = nullptr;
  Status lastResult_ = Ok;
};

class Brush : public GdiplusBase {
public:
  virtual ~Brush() { DllExports::GdipDeleteBrush(native_); }
  Brush(const Brush&) = delete;
  Brush& operator=(const Brush&) = delete;
  Status GetLastStatus() const { return lastResult_; }

protected:
  Brush() = default;
  friend class Graphics;
  GpBrush* native_ = nullptr;
  Status lastResult_ = Ok;
};

class SolidBrush : public Brush {
public:
  explicit SolidBrush(const Color& colour) {
    GpSolidFill* fill = nullptr;
    lastResult_ = DllExports::GdipCreateSolidFill(colour.GetValue(), &fill);
    native_ = reinterpret_cast<GpBrush*>(fill);
  }
};

class Pen : public GdiplusBase {
public:
  explicit Pen(const Color& colour, REAL width = 1.0f) {
    lastResult_ = DllExports::GdipCreatePen1(colour.GetValue(), width, UnitWorld, &native_);
  }
  ~Pen() { DllExports::GdipDeletePen(native_); }
  Pen(const Pen&) = delete;
  Pen& operator=(const Pen&) = delete;
  Status GetLastStatus() const { return lastResult_; }

private:
  friend class Graphics;
  GpPen* native_ = nullptr;
  Status lastResult_ = Ok;
};

class StringFormat : public GdiplusBase {
public:
  explicit StringFormat(INT formatFlags = 0, LANGID language = LANG_NEUTRAL) {
    lastResult_ = DllExports::GdipCreateStringFormat(formatFlags, language, &native_);
  }
  ~StringFormat() { DllExports::GdipDeleteStringFormat(native_); }
  StringFormat(const StringFormat&) = delete;
  StringFormat& operator=(const StringFormat&) = delete;

  Status SetAlignment(StringAlignment align) {
    return lastResult_ = DllExports::GdipSetStringFormatAlign(native_, align);
  }
  StringAlignment GetAlignment() const {
    StringAlignment align = StringAlignmentNear;
    DllExports::GdipGetStringFormatAlign(native_, &align);
    return align;
  }
  Status GetLastStatus() const { return lastResult_; }

private:
  friend class Graphics;
  GpStringFormat* native_ = nullptr;
  Status lastResult_ = Ok;
};

class Graphics : public GdiplusBase {
public:
  explicit Graphics(HDC dc) { lastResult_ = DllExports::GdipCreateFromHDC(dc, &native_); }
  static Graphics* FromHDC(HDC dc) { return new Graphics(dc); }
  ~Graphics() { DllExports::GdipDeleteGraphics(native_); }
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  Status SetSmoothingMode(SmoothingMode mode) { return Keep(DllExports::GdipSetSmoothingMode(native_, mode)); }
  SmoothingMode GetSmoothingMode() const {
    SmoothingMode mode = SmoothingModeInvalid;
    DllExports::GdipGetSmoothingMode(native_, &mode);
    return mode;
  }
  Status GetTransform(Matrix* matrix) const {
    return DllExports::GdipGetWorldTransform(native_, matrix ? matrix->native_ : nullptr);
  }
  Status SetTransform(const Matrix* matrix) {
    return Keep(DllExports::GdipSetWorldTransform(native_, matrix ? matrix->native_ : nullptr));
  }

  Status MeasureString(const WCHAR* text, INT length, const Font* font, const RectF& layoutRect,
                       const StringFormat* format, RectF* boundingBox, INT* codepointsFitted = nullptr,
                       INT* linesFilled = nullptr) const {
    return DllExports::GdipMeasureString(native_, text, length, font ? font->native_ : nullptr, &layoutRect,
                                         format ? format->native_ : nullptr, boundingBox, codepointsFitted,
                                         linesFilled);
  }
  Status MeasureString(const WCHAR* text, INT length, const Font* font, const PointF& origin,
                       const StringFormat* format, RectF* boundingBox) const {
    return MeasureString(text, length, font, RectF(origin.X, origin.Y, 0, 0), format, boundingBox);
  }
  Status DrawString(const WCHAR* text, INT length, const Font* font, const RectF& layoutRect,
                    const StringFormat* format, const Brush* brush) {
    return Keep(DllExports::GdipDrawString(native_, text, length, font ? font->native_ : nullptr, &layoutRect,
                                           format ? format->native_ : nullptr, brush ? brush->native_ : nullptr));
  }
  Status DrawString(const WCHAR* text, INT length, const Font* font, const PointF& origin, const Brush* brush) {
    return DrawString(text, length, font, RectF(origin.X, origin.Y, 0, 0), nullptr, brush);
  }
  Status DrawRectangle(const Pen* pen, REAL x, REAL y, REAL width, REAL height) {
    return Keep(DllExports::GdipDrawRectangle(native_, pen ? pen->native_ : nullptr, x, y, width, height));
  }
  Status DrawRectangle(const Pen* pen, const RectF& rect) {
    return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height);
  }
  Status FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height) {
    return Keep(DllExports::GdipFillRectangle(native_, brush ? brush->native_ : nullptr, x, y, width, height));
  }
  Status FillRectangle(const Brush* brush, const RectF& rect) {
    return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
  }
  Status GetLastStatus() {
    const Status status = lastResult_;
    lastResult_ = Ok;
    return status;
  }

private:
  Status Keep(Status status) { return status == Ok ? status : (lastResult_ = status); }
  GpGraphics* native_ = nullptr;
  Status lastResult_ = Ok;
};

}  // namespace Gdiplus
