// Text measured and drawn on a real view surface, against the metrics in the font file.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "extensions/gdi32.h"
#include "extensions/gdiplus.h"
#include "overlays/ansi_text.h"
#include "overlays/text_drawing.h"

namespace {

constexpr DWORD kBackground = 0xFF000000u;

// A view surface with a GDI+ drawing surface on it.
class TextDrawingTest : public testing::Test {
protected:
  TextDrawingTest()
      : pixels_(std::size_t{kWidth} * kHeight, kBackground),
        dc_(CreateViewDC(ViewSurface{pixels_.data(), kWidth, kHeight, kWidth * 4})),
        graphics_(dc_) {}
  ~TextDrawingTest() override { DeleteDC(dc_); }

  struct Ink {
    int left = kWidth, top = kHeight, right = -1, bottom = -1;
  };
  Ink InkBounds() const {
    Ink ink;
    for (int y = 0; y < static_cast<int>(kHeight); ++y)
      for (int x = 0; x < static_cast<int>(kWidth); ++x)
        if (pixels_[std::size_t(y) * kWidth + x] != kBackground) {
          ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
          ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
  }

  static constexpr UINT kWidth = 200, kHeight = 160;
  std::vector<DWORD> pixels_;
  HDC dc_;
  Gdiplus::Graphics graphics_;
};

// The regular face that "Arial" resolves to, opened straight from its file.
class FontFile {
public:
  FontFile() {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Arial"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    FcPatternGetString(match, FC_FILE, 0, &file);
    FT_Init_FreeType(&library_);
    FT_New_Face(library_, reinterpret_cast<const char*>(file), 0, &face_);
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);
  }
  ~FontFile() {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }
  double AdvanceWidth(const std::string& text, int pixels) const {
    long units = 0;
    for (unsigned char c : text) {
      FT_Fixed advance = 0;
      FT_Get_Advance(face_, FT_Get_Char_Index(face_, c), FT_LOAD_NO_SCALE, &advance);
      units += advance;
    }
    return static_cast<double>(units) * pixels / face_->units_per_EM;
  }
  double LineSpacing(int pixels) const { return static_cast<double>(face_->height) * pixels / face_->units_per_EM; }
  std::string Family() const { return face_->family_name; }

private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

TEST_F(TextDrawingTest, MeasuredTextAgreesWithTheFontsAdvancesAndLineSpacing) {
  const FontFile font;
  ASSERT_EQ(font.Family(), "Liberation Sans");
  for (int pixels : {10, 15, 30}) {
    Gdiplus::Font* label = CreateLabelFont(L"Arial", pixels, 0);
    for (const std::string text : {"0.25 NM", "AVATAR Wave", "Standby 12:30"}) {
      const TextSize size = MeasureTextSize(&graphics_, label, text.c_str());
      // One sixth of an em of padding at each end of the line.
      EXPECT_NEAR(size.width, font.AdvanceWidth(text, pixels) + pixels / 3.0, 1.0) << text << " " << pixels;
      EXPECT_NEAR(size.height, font.LineSpacing(pixels), 1.0) << text << " " << pixels;
    }
    delete label;
  }
}

TEST_F(TextDrawingTest, AlignedTextLandsAboutThePointAndRotationIsUndone) {
  const Gdiplus::ARGB white = 0xFFFFFFFFu;
  Gdiplus::Font* font = CreateLabelFont(L"Arial", 20, 0);
  const TextSize size = MeasureTextSize(&graphics_, font, "HHH");
  DrawRotatedText(&graphics_, font, 100, 80, 0, &white, "HHH", "left", "top");
  Ink ink = InkBounds();
  EXPECT_GE(ink.left, 100);
  EXPECT_LE(ink.right, 100 + size.width);
  EXPECT_GE(ink.top, 80 - size.height / 4);
  EXPECT_LE(ink.bottom, 80 + size.height * 3 / 4);
  EXPECT_LT(ink.left, ink.right);

  std::fill(pixels_.begin(), pixels_.end(), kBackground);
  DrawRotatedText(&graphics_, font, 100, 80, 1.5707963267948966, &white, "HHH", "left", "top");
  ink = InkBounds();  // a quarter turn clockwise: the text runs downwards, its top to the right
  EXPECT_GE(ink.top, 80);
  EXPECT_LE(ink.bottom, 80 + size.width);
  EXPECT_LE(ink.right, 100 + size.height / 4 + 1);
  EXPECT_GE(ink.left, 100 - size.height * 3 / 4 - 1);
  EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left);

  Gdiplus::Matrix after;
  graphics_.GetTransform(&after);
  Gdiplus::REAL m[6];
  after.GetElements(m);
  const Gdiplus::REAL identity[] = {1, 0, 0, 1, 0, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(m[i], identity[i]);
  delete font;
}

TEST_F(TextDrawingTest, CentredBoxGrowsTheLabelAndCentresItOnThePoint) {
  const Gdiplus::PointF point(100, 80);
  const Gdiplus::RectF label = MeasureLabel(&graphics_, "12 NM", point, 15);
  const Gdiplus::RectF box = MeasureCentredBox(&graphics_, "12 NM", point, 15);
  EXPECT_FLOAT_EQ(box.Width, label.Width + 2);
  EXPECT_FLOAT_EQ(box.Height, label.Height + 2);
  EXPECT_FLOAT_EQ(box.X, label.X - (box.Width * 0.5f + 1));
  EXPECT_FLOAT_EQ(box.Y, label.Y - (box.Height * 0.5f + 1));
}

TEST_F(TextDrawingTest, LongLabelsAreMeasuredWhole) {
  const Gdiplus::PointF origin(0, 0);
  const Gdiplus::RectF short_ = MeasureLabel(&graphics_, std::string(200, 'W').c_str(), origin, 10);
  const Gdiplus::RectF long_ = MeasureLabel(&graphics_, std::string(2000, 'W').c_str(), origin, 10);
  EXPECT_NEAR(long_.Width - 20.0 / 6, (short_.Width - 20.0 / 6) * 10, 2.0);
  EXPECT_FLOAT_EQ(long_.Height, short_.Height);
}

TEST_F(TextDrawingTest, CentredLabelDrawsTranslucentlyAroundThePointAndLeavesNoObjects) {
  const UINT liveBefore = LiveGdiplusObjects();
  DrawCentredLabel(&graphics_, "Standby", Gdiplus::PointF(100, 80), 15);
  EXPECT_EQ(LiveGdiplusObjects(), liveBefore);
  const Ink ink = InkBounds();
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 99, 2.0);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 79, 2.0);
  const DWORD inside = pixels_[std::size_t(ink.top + 3) * kWidth + ink.left + 3];
  EXPECT_EQ(inside >> 24, 0xFFu);  // the view stays opaque
  EXPECT_GT((inside >> 16) & 0xFF, 0u);
  EXPECT_LT((inside >> 16) & 0xFF, 0xFFu);
}

TEST(AnsiText, ConvertsAsWindows1252) {
  struct Case {
    std::string narrow;
    std::wstring wide;
    std::wstring label;
  };
  for (const Case& c : {Case{"12\xB0", L"12\u00B0", L"12\u00B0"}, Case{"\xA1", L"\u00A1", L"\u00B0"},
                        Case{"\x80\x81", L"\u20AC\u0081", L"\u20AC\u0081"}, Case{"a\rb", L"a\rb", L"a\r\nb"}}) {
    EXPECT_EQ(WideFromAnsi(c.narrow), c.wide);
    EXPECT_EQ(WideLabelText(c.narrow), c.label);
  }
}

}  // namespace
