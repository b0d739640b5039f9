#include "overlays/text_drawing.h"

#include <cstring>
#include <string>

#include "overlays/ansi_text.h"

using namespace Gdiplus;

namespace {

constexpr REAL kDegreesPerRadian = 57.29577951308232f;
constexpr WCHAR kLabelFamily[] = L"Arial";
constexpr ARGB kCentredBackground = 0x64FF0000u;
constexpr ARGB kCentredText = 0x640000FFu;
constexpr ARGB kCentredRelief = 0x6400FF00u;

}  // namespace

Font* CreateLabelFont(const WCHAR* family, std::int32_t size, std::int32_t style) {
  const FontFamily fontFamily(family);
  const Font font(&fontFamily, static_cast<REAL>(size), style, UnitPixel);
  return font.Clone();
}

TextSize MeasureTextSize(Graphics* surface, const Font* font, const char* text) {
  if (surface == nullptr || text == nullptr) return {};
  const std::wstring wide = WideLabelText(text);
  RectF box;
  if (surface->MeasureString(wide.c_str(), -1, font, RectF(0, 0, 0, 0), nullptr, &box) != Ok) return {};
  return {static_cast<std::int32_t>(box.Width), static_cast<std::int32_t>(box.Height)};
}

void DrawAlignedText(Graphics* surface, const Font* font, const ARGB* colour, const char* text,
                     const char* horizontal, const char* vertical) {
  if (surface == nullptr || colour == nullptr || text == nullptr || horizontal == nullptr || vertical == nullptr)
    return;
  const TextSize size = MeasureTextSize(surface, font, text);
  const REAL width = static_cast<REAL>(size.width), height = static_cast<REAL>(size.height);
  REAL x = -width * 0.5f;
  if (std::strcmp(horizontal, "left") == 0) x = 0;
  if (std::strcmp(horizontal, "right") == 0) x = -width;
  // The line box holds space above the capitals and below the descenders, so "top" and "bottom" move
  // by less than the whole height.
  REAL y = -height * 0.5f;
  if (std::strcmp(vertical, "top") == 0) y = -height * 0.25f;
  if (std::strcmp(vertical, "bottom") == 0) y = -height * 0.5f - height * 0.25f;
  const std::wstring wide = WideLabelText(text);
  const SolidBrush brush{Color(*colour)};
  surface->DrawString(wide.c_str(), -1, font, RectF(x, y, 0, 0), nullptr, &brush);
}

void DrawRotatedText(Graphics* surface, const Font* font, std::int32_t x, std::int32_t y, double angle,
                     const ARGB* colour, const char* text, const char* horizontal, const char* vertical) {
  if (surface == nullptr) return;
  Matrix saved;
  surface->GetTransform(&saved);
  Matrix placed;
  placed.Translate(static_cast<REAL>(x), static_cast<REAL>(y));
  placed.Rotate(static_cast<REAL>(angle * kDegreesPerRadian));  // turns the text before it is moved
  surface->SetTransform(&placed);
  DrawAlignedText(surface, font, colour, text, horizontal, vertical);
  surface->SetTransform(&saved);
}

RectF MeasureLabel(Graphics* surface, const char* text, const PointF& origin, std::int32_t size) {
  RectF box;
  if (surface == nullptr || text == nullptr) return box;
  // The whole text is measured, however long.
  const std::wstring wide = WideFromAnsi(text) + L'\n';
  const Font font(kLabelFamily, static_cast<REAL>(size), FontStyleBold, UnitPixel);
  surface->MeasureString(wide.c_str(), -1, &font, RectF(origin.X, origin.Y, 0, 0), nullptr, &box);
  return box;
}

RectF MeasureCentredBox(Graphics* surface, const char* text, const PointF& point, std::int32_t size) {
  RectF box = MeasureLabel(surface, text, point, size);
  box.Width += 2;
  box.Height += 2;
  box.X -= box.Width * 0.5f + 1;
  box.Y -= box.Height * 0.5f + 1;
  return box;
}

void DrawLabelBox(Graphics* surface, const char* text, RectF* box, std::int32_t size, ARGB background,
                  ARGB textColour, ARGB relief, std::uint8_t framed, std::int32_t alignment) {
  if (surface == nullptr || text == nullptr || box == nullptr) return;
  surface->SetSmoothingMode(SmoothingModeHighQuality);
  if (framed != 0) {
    const Pen frame{Color(textColour), 2.0f};
    surface->DrawRectangle(&frame, *box);
  }
  const SolidBrush fill{Color(background)};
  surface->FillRectangle(&fill, *box);

  const std::wstring wide = WideFromAnsi(text);
  const Font font(kLabelFamily, static_cast<REAL>(size), FontStyleBold, UnitPixel);
  StringFormat format(0, LANG_NEUTRAL);
  format.SetAlignment(static_cast<StringAlignment>(alignment));
  const SolidBrush reliefBrush{Color(relief)};
  box->Offset(-1, -1);
  surface->DrawString(wide.c_str(), -1, &font, *box, &format, &reliefBrush);
  box->Offset(1, 1);
  const SolidBrush textBrush{Color(textColour)};
  surface->DrawString(wide.c_str(), -1, &font, *box, &format, &textBrush);
}

void DrawCentredLabel(Graphics* surface, const char* text, const PointF& point, std::int32_t size) {
  RectF box = MeasureCentredBox(surface, text, point, size);
  DrawLabelBox(surface, text, &box, size, kCentredBackground, kCentredText, kCentredRelief, 1,
               StringAlignmentCenter);
}
