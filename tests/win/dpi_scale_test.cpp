// Sizes for the DPI: the rounding every layout number goes through, the
// whole factors pictures grow by, the pixel-for-pixel growth itself, and
// the stored window rectangle's 96-DPI units.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "shell/window_places.h"
#include "win/dpi.h"

namespace quill {
namespace {

TEST(DpiScaleTest, LengthsRoundToTheNearestPixelAndComeBack) {
  const struct {
    int value, dpi, scaled;
  } cases[] = {
      {0, 144, 0},     {5, 96, 5},      {5, 120, 6},    {5, 144, 8},     {5, 192, 10},
      {15, 144, 23},   {-15, 144, -23}, {203, 144, 305}, {1024, 192, 2048}, {1, 120, 1},
      {3, 120, 4},     {-3, 120, -4},   {7, 168, 12},   {25, 240, 63},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
    EXPECT_EQ(ScaleForDpi(c.value, c.dpi), MulDiv(c.value, c.dpi, 96)) << c.value;
    // Back to 96 DPI within the rounding of one pixel at that DPI.
    EXPECT_NEAR(UnscaleForDpi(c.scaled, c.dpi), c.value, 1) << c.value;
  }
  EXPECT_EQ(ScaleForDpi(ControlBox{205, 90, 100, 20}, 192), (ControlBox{410, 180, 200, 40}));
}

TEST(DpiScaleTest, PicturesGrowOnlyByWholeFactors) {
  const struct {
    int dpi, factor;
  } cases[] = {{96, 1}, {120, 1}, {144, 1}, {168, 1}, {191, 1}, {192, 2}, {240, 2}, {288, 3}, {72, 1}};
  for (const auto& c : cases) EXPECT_EQ(WholeFactor(c.dpi), c.factor) << c.dpi;
  // A DPI from a message or the registry that no screen has counts as 96.
  for (const int odd : {0, -96, 47, 769, 65535}) EXPECT_EQ(SaneDpi(odd), 96) << odd;
  for (const int fine : {48, 96, 144, 192, 768}) EXPECT_EQ(SaneDpi(fine), fine);
}

TEST(DpiScaleTest, EveryPixelBecomesASquare) {
  const DWORD pixels[] = {1, 2, 3, 4, 5, 6};  // 3 x 2
  std::vector<DWORD> out(6 * 4);
  ScalePixelsWhole(pixels, 3, 2, 2, out.data());
  const std::vector<DWORD> expected = {1, 1, 2, 2, 3, 3,  //
                                       1, 1, 2, 2, 3, 3,  //
                                       4, 4, 5, 5, 6, 6,  //
                                       4, 4, 5, 5, 6, 6};
  EXPECT_EQ(out, expected);

  // Through a real bitmap: the grown one holds the same colours in squares.
  HDC screen = GetDC(nullptr);
  HBITMAP small = CreateCompatibleBitmap(screen, 3, 2);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, small);
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                              RGB(10, 20, 30), RGB(255, 255, 255), RGB(0, 0, 0)};
  for (int i = 0; i < 6; ++i) SetPixel(dc, i % 3, i / 3, colours[i]);
  SelectObject(dc, old);
  const ScopedBitmap grown = ScaleBitmapWhole(small, 3);
  ASSERT_TRUE(grown);
  BITMAP shape{};
  GetObjectW(grown.get(), sizeof shape, &shape);
  EXPECT_EQ(shape.bmWidth, 9);
  EXPECT_EQ(shape.bmHeight, 6);
  old = SelectObject(dc, grown.get());
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 9; ++x) EXPECT_EQ(GetPixel(dc, x, y), colours[(y / 3) * 3 + x / 3]) << x << "," << y;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(small);
  ReleaseDC(nullptr, screen);
  EXPECT_FALSE(ScaleBitmapWhole(nullptr, 2));
}

TEST(DpiScaleTest, TheWindowRectangleIsStoredIn96DpiUnits) {
  const struct {
    RECT pixels;
    int dpi;
    RECT stored;
  } cases[] = {
      {{0, 0, 800, 600}, 96, {0, 0, 800, 600}},
      {{150, 75, 1350, 975}, 144, {100, 50, 900, 650}},
      {{-20, 40, 1580, 1240}, 192, {-10, 20, 790, 620}},
  };
  for (const auto& c : cases) {
    const RECT stored = ToStoredRect(c.pixels, c.dpi);
    EXPECT_EQ(stored.left, c.stored.left);
    EXPECT_EQ(stored.top, c.stored.top);
    EXPECT_EQ(stored.right, c.stored.right);
    EXPECT_EQ(stored.bottom, c.stored.bottom);
    const RECT back = FromStoredRect(c.stored, c.dpi);
    EXPECT_EQ(back.left, c.pixels.left);
    EXPECT_EQ(back.bottom, c.pixels.bottom);
  }
  // A damaged value far outside any screen is left for the size checks,
  // not scaled into an overflow.
  const RECT damaged = FromStoredRect({0x7FFFFFF0, 0, -0x7FFFFFF0, 10}, 192);
  EXPECT_EQ(damaged.left, 0x7FFFFFF0);
  EXPECT_EQ(damaged.right, -0x7FFFFFF0);
  EXPECT_EQ(damaged.bottom, 20);
}

}  // namespace
}  // namespace quill
