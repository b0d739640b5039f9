#include "text_layout.h"
#include "wide_text.h"

namespace Gdiplus::DllExports {

namespace {

GpStatus CheckTextCall(GpGraphics* graphics, const WCHAR* text, INT length, const GpFont* font, const RectF* box) {
  if (graphics == nullptr || text == nullptr || length < -1 || font == nullptr || box == nullptr)
    return InvalidParameter;
  return Ok;
}

StringAlignment AlignmentOf(const GpStringFormat* format) {
  return format != nullptr ? format->align_ : StringAlignmentNear;
}

}  // namespace

GpStatus GdipMeasureString(GpGraphics* graphics, const WCHAR* text, INT length, const GpFont* font,
                           const RectF* layoutRect, const GpStringFormat* format, RectF* boundingBox,
                           INT* codepointsFitted, INT* linesFilled) {
  if (const GpStatus status = CheckTextCall(graphics, text, length, font, layoutRect); status != Ok) return status;
  if (boundingBox == nullptr) return InvalidParameter;
  PrepareToDraw(*graphics);
  const std::string utf8 = Utf8FromWide(text, length);
  const TextLayout layout(graphics->cairo_, *font, utf8, *layoutRect, AlignmentOf(format));
  *boundingBox = layout.Bounds();
  if (codepointsFitted != nullptr) {
    INT count = 0;
    while (length < 0 ? text[count] != 0 : count < length) ++count;
    *codepointsFitted = count;
  }
  if (linesFilled != nullptr) *linesFilled = layout.LineCount();
  return Ok;
}

GpStatus GdipDrawString(GpGraphics* graphics, const WCHAR* text, INT length, const GpFont* font,
                        const RectF* layoutRect, const GpStringFormat* format, const GpBrush* brush) {
  if (const GpStatus status = CheckTextCall(graphics, text, length, font, layoutRect); status != Ok) return status;
  if (brush == nullptr) return InvalidParameter;
  PrepareToDraw(*graphics);
  const TextLayout layout(graphics->cairo_, *font, Utf8FromWide(text, length), *layoutRect, AlignmentOf(format));
  SetSourceColour(graphics->cairo_, brush->colour_);
  layout.Draw(graphics->cairo_);
  FinishDrawing(*graphics);
  return Ok;
}

}  // namespace Gdiplus::DllExports
