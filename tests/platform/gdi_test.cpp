// GDI and MFC device contexts on a view surface, and GDI+'s objects on the same surface.
#include <gtest/gtest.h>

#include <vector>

#include "afxwin.h"
#include "extensions/gdi32.h"
#include "extensions/gdiplus.h"

namespace {

constexpr DWORD kBackground = 0xFF000000u;

struct ViewPixels {
  ViewPixels(UINT width, UINT height) : pixels(std::size_t{width} * height, kBackground) {
    surface = {pixels.data(), width, height, width * 4};
  }
  DWORD At(UINT x, UINT y) const { return pixels[std::size_t{y} * surface.width + x]; }
  std::vector<DWORD> pixels;
  ViewSurface surface;
};

TEST(GdiDeviceContext, EllipseOutlinesTheBoxWithoutItsRightAndBottomEdge) {
  const UINT liveBefore = LiveGdiObjects();
  ViewPixels view(80, 80);
  {
    CDC dc;
    ASSERT_TRUE(dc.Attach(CreateViewDC(view.surface)));
    CPen pen(PS_SOLID, 1, RGB(50, 50, 50));
    CPen* oldPen = dc.SelectObject(&pen);
    CGdiObject* oldBrush = dc.SelectStockObject(HOLLOW_BRUSH);
    ASSERT_NE(oldPen, nullptr);
    ASSERT_NE(oldBrush, nullptr);
    EXPECT_TRUE(dc.Ellipse(10, 10, 51, 51));
    EXPECT_EQ(dc.SelectObject(oldPen), &pen);
    dc.SelectObject(oldBrush);
  }
  constexpr DWORD kPen = 0xFF323232u;
  struct Case {
    UINT x, y;
    DWORD expected;
  };
  for (const Case& c : {Case{10, 30, kPen}, Case{50, 30, kPen}, Case{30, 10, kPen}, Case{30, 50, kPen},
                        Case{9, 30, kBackground}, Case{51, 30, kBackground}, Case{30, 51, kBackground},
                        Case{30, 30, kBackground}})
    EXPECT_EQ(view.At(c.x, c.y), c.expected) << c.x << "," << c.y;
  EXPECT_EQ(LiveGdiObjects(), liveBefore);
}

TEST(GdiDeviceContext, SelectedObjectsAreNotDeletedAndForeignHandlesAreRefused) {
  ViewPixels view(4, 4);
  HDC dc = CreateViewDC(view.surface);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  HGDIOBJ old = SelectObject(dc, pen);
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_EQ(SelectObject(dc, old), pen);
  EXPECT_TRUE(DeleteObject(pen));
  int notAnObject = 0;
  EXPECT_EQ(SelectObject(dc, &notAnObject), nullptr);
  EXPECT_FALSE(Ellipse(reinterpret_cast<HDC>(&notAnObject), 0, 0, 2, 2));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(CreateViewDC(ViewSurface{view.pixels.data(), 4, 4, 6}), nullptr);
}

TEST(GdiplusMatrix, PrependedOperationsApplyFirst) {
  Gdiplus::Matrix matrix;
  matrix.Translate(10, 20);
  matrix.Rotate(90);  // before the translation
  Gdiplus::REAL m[6];
  ASSERT_EQ(matrix.GetElements(m), Gdiplus::Ok);
  const Gdiplus::REAL expected[] = {0, 1, -1, 0, 10, 20};
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(m[i], expected[i], 1e-6) << i;

  Gdiplus::Matrix appended;
  appended.Translate(10, 20);
  appended.Rotate(90, Gdiplus::MatrixOrderAppend);  // turns the translation too
  ASSERT_EQ(appended.GetElements(m), Gdiplus::Ok);
  EXPECT_NEAR(m[4], -20, 1e-5);
  EXPECT_NEAR(m[5], 10, 1e-5);
}

TEST(GdiplusObjects, StatusCodesAndLiveCount) {
  const UINT liveBefore = LiveGdiplusObjects();
  ViewPixels view(8, 8);
  HDC dc = CreateViewDC(view.surface);
  {
    Gdiplus::Graphics graphics(dc);
    EXPECT_EQ(graphics.GetLastStatus(), Gdiplus::Ok);
    Gdiplus::FontFamily arial(L"Arial");
    EXPECT_EQ(arial.GetLastStatus(), Gdiplus::Ok);
    Gdiplus::FontFamily missing(L"No Such Family Anywhere");
    EXPECT_EQ(missing.GetLastStatus(), Gdiplus::FontFamilyNotFound);
    Gdiplus::Font font(&missing, 10, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    EXPECT_EQ(font.GetLastStatus(), Gdiplus::InvalidParameter);
    EXPECT_EQ(graphics.SetSmoothingMode(Gdiplus::SmoothingModeInvalid), Gdiplus::InvalidParameter);
    EXPECT_GT(LiveGdiplusObjects(), liveBefore);
  }
  Gdiplus::Graphics unbound(nullptr);
  EXPECT_EQ(unbound.GetLastStatus(), Gdiplus::InvalidParameter);
  EXPECT_EQ(LiveGdiplusObjects(), liveBefore);
  DeleteDC(dc);
}

}  // namespace
