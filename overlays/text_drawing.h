#pragma once
// The text and box drawing every overlay goes through, on a GDI+ drawing surface made by the caller.
// Each call creates and deletes all other GDI+ objects it needs. Texts are narrow (ANSI code page);
// fonts are Arial, in pixels.
#include <cstdint>

#include <gdiplus.h>

// A font of the installed family `family`, `size` pixels, `style` 0 regular or 1 bold, in GDI+'s own
// memory; the caller deletes it (which deletes the native font too). Null when that memory is short.
Gdiplus::Font* CreateLabelFont(const WCHAR* family, std::int32_t size, std::int32_t style);

struct TextSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The size of the text's line box: its line breaks kept, the byte 0xA1 shown as the degree sign.
TextSize MeasureTextSize(Gdiplus::Graphics* surface, const Gdiplus::Font* font, const char* text);

// Draws the text about the point (0, 0) of the surface's current coordinates. Horizontal: "left" puts
// its left edge there, "right" its right edge, anything else its centre; vertical: "top" puts the text
// just below, "bottom" just above, anything else centred. The words are compared exactly.
void DrawAlignedText(Gdiplus::Graphics* surface, const Gdiplus::Font* font, const Gdiplus::ARGB* colour,
                     const char* text, const char* horizontal, const char* vertical);

// As DrawAlignedText, about the point (x, y), turned by `angle` radians clockwise about it. The
// surface's world transform is the same afterwards.
void DrawRotatedText(Gdiplus::Graphics* surface, const Gdiplus::Font* font, std::int32_t x, std::int32_t y,
                     double angle, const Gdiplus::ARGB* colour, const char* text, const char* horizontal,
                     const char* vertical);

// The box of the text in bold Arial of `size` pixels, followed by a line break, laid out from `origin`.
Gdiplus::RectF MeasureLabel(Gdiplus::Graphics* surface, const char* text, const Gdiplus::PointF& origin,
                            std::int32_t size);

// MeasureLabel's box grown by two pixels each way and centred one pixel up and left of `point`.
Gdiplus::RectF MeasureCentredBox(Gdiplus::Graphics* surface, const char* text, const Gdiplus::PointF& point,
                                 std::int32_t size);

// Fills `box` with the background colour, frames it in the text colour when `framed`, and writes the
// text in bold Arial of `size` pixels, aligned in the box by `alignment` (a GDI+ string alignment):
// first in the relief colour one pixel up and left, then in the text colour. `box` is as it came.
void DrawLabelBox(Gdiplus::Graphics* surface, const char* text, Gdiplus::RectF* box, std::int32_t size,
                  Gdiplus::ARGB background, Gdiplus::ARGB textColour, Gdiplus::ARGB relief, std::uint8_t framed,
                  std::int32_t alignment);

// The text in a translucent framed box centred on `point`, as the status message shows.
void DrawCentredLabel(Gdiplus::Graphics* surface, const char* text, const Gdiplus::PointF& point, std::int32_t size);
