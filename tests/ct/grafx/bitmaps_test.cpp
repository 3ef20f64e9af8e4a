// Bitmaps drawn with a transparent colour, tiled, stretched and flipped.
#include <gtest/gtest.h>

#include "ct_grafx_bitmaps.h"
#include "paint_canvas.h"

namespace qelo::ct {
namespace {

using namespace vcl;
using test::kGround;
using test::PaintCanvas;

constexpr TColor kKey = clFuchsia;

// A 3 x 2 picture: red, key, blue on top; key, white, black below.
std::unique_ptr<TBitmap> Picture() {
  auto bitmap = std::make_unique<TBitmap>(3, 2);
  const TColor pixels[2][3] = {{clRed, kKey, clBlue}, {kKey, clWhite, clBlack}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) bitmap->Canvas()->SetPixel(x, y, pixels[y][x]);
  return bitmap;
}

using DrawFunction = void (*)(TCanvas&, TBitmap&, const TRect&, TColor, const TRect&);

class TransparentDraw : public testing::TestWithParam<DrawFunction> {};

TEST_P(TransparentDraw, LeavesTheTransparentColourOut) {
  auto bitmap = Picture();
  PaintCanvas c(6, 4, kGround);
  GetParam()(c.canvas, *bitmap, TRect{1, 1, 4, 3}, kKey, TRect{0, 0, 3, 2});
  EXPECT_EQ(c.At(1, 1), ColorToRGB(clRed));
  EXPECT_EQ(c.At(2, 1), kGround);
  EXPECT_EQ(c.At(3, 1), ColorToRGB(clBlue));
  EXPECT_EQ(c.At(1, 2), kGround);
  EXPECT_EQ(c.At(2, 2), ColorToRGB(clWhite));
  EXPECT_EQ(c.At(3, 2), ColorToRGB(clBlack));
  EXPECT_EQ(c.Count(kGround), 24 - 4);
}

TEST_P(TransparentDraw, StretchesThePartOfTheSourceIntoTheDestination) {
  auto bitmap = Picture();
  PaintCanvas c(6, 4, kGround);
  GetParam()(c.canvas, *bitmap, TRect{0, 0, 4, 4}, kKey, TRect{1, 0, 3, 2});  // key, blue / white, black
  EXPECT_EQ(c.At(0, 0), kGround);
  EXPECT_EQ(c.At(1, 1), kGround);
  EXPECT_EQ(c.At(2, 0), ColorToRGB(clBlue));
  EXPECT_EQ(c.At(3, 1), ColorToRGB(clBlue));
  EXPECT_EQ(c.At(0, 2), ColorToRGB(clWhite));
  EXPECT_EQ(c.At(3, 3), ColorToRGB(clBlack));
  EXPECT_EQ(c.At(4, 0), kGround) << "nothing outside the destination";
}

TEST_P(TransparentDraw, BlackCanBeTheTransparentColour) {
  auto bitmap = Picture();
  PaintCanvas c(3, 2, kGround);
  GetParam()(c.canvas, *bitmap, TRect{0, 0, 3, 2}, clBlack, TRect{0, 0, 3, 2});
  EXPECT_EQ(c.At(2, 1), kGround);
  EXPECT_EQ(c.At(1, 0), ColorToRGB(kKey));
}

INSTANTIATE_TEST_SUITE_P(BothWays, TransparentDraw,
                         testing::Values(&DrawBitmapTransparent, &DrawBitmapTransparentMasked));

TEST(TransparentDraw, MaskedDrawingKeepsTheCanvasColours) {
  auto bitmap = Picture();
  PaintCanvas c(6, 4, kGround);
  c.canvas.Font()->SetColor(clRed);
  c.canvas.Brush()->SetColor(clYellow);
  win::HDC dc = c.canvas.Handle();
  const win::COLORREF text = win::GetTextColor(dc), background = win::GetBkColor(dc);
  DrawBitmapTransparentMasked(c.canvas, *bitmap, TRect{0, 0, 3, 2}, kKey, TRect{0, 0, 3, 2});
  EXPECT_EQ(win::GetTextColor(dc), text);
  EXPECT_EQ(win::GetBkColor(dc), background);
}

TEST(TileBitmap, FillsRowByRowAndCutsTheLastTiles) {
  auto bitmap = Picture();
  PaintCanvas c(10, 6, kGround);
  TileBitmapTransparent(c.canvas, *bitmap, TRect{1, 1, 9, 6}, kKey);  // 8 x 5: 3 + 3 + 2 across, 2 + 2 + 1 down
  for (int y = 1; y < 6; ++y) {
    for (int x = 1; x < 9; ++x) {
      const TColor source = bitmap->Canvas()->Pixels((x - 1) % 3, (y - 1) % 2);
      const win::COLORREF expected = source == kKey ? kGround : ColorToRGB(source);
      EXPECT_EQ(c.At(x, y), expected) << x << "," << y;
    }
  }
  EXPECT_EQ(c.At(9, 1), kGround);
  EXPECT_EQ(c.At(0, 0), kGround);
}

TEST(TileBitmap, AnEmptyBitmapDrawsNothingAndReturns) {
  TBitmap empty;
  PaintCanvas c(10, 6, kGround);
  TileBitmapTransparent(c.canvas, empty, TRect{0, 0, 10, 6}, kKey);
  TBitmap flat(0, 4);
  TileBitmapTransparent(c.canvas, flat, TRect{0, 0, 10, 6}, kKey);
  EXPECT_EQ(c.Count(kGround), 60);
}

TEST(StretchBitmap, DrawsTheWholeBitmapIntoTheRectangle) {
  auto bitmap = Picture();
  PaintCanvas c(6, 4, kGround);
  StretchBitmapTransparent(c.canvas, *bitmap, TRect{0, 0, 6, 4}, kKey);
  EXPECT_EQ(c.At(0, 0), ColorToRGB(clRed));
  EXPECT_EQ(c.At(1, 1), ColorToRGB(clRed));
  EXPECT_EQ(c.At(2, 0), kGround);
  EXPECT_EQ(c.At(5, 3), ColorToRGB(clBlack));
}

TEST(FlipBitmap, TurnsTheRowsUpsideDownAndKeepsTheSettings) {
  auto bitmap = Picture();
  bitmap->SetTransparentColor(kKey);
  FlipBitmapVertical(*bitmap);
  EXPECT_EQ(bitmap->Canvas()->Pixels(0, 0), kKey);
  EXPECT_EQ(bitmap->Canvas()->Pixels(2, 0), clBlack);
  EXPECT_EQ(bitmap->Canvas()->Pixels(0, 1), clRed);
  EXPECT_EQ(bitmap->Canvas()->Pixels(2, 1), clBlue);
  EXPECT_EQ(bitmap->TransparentMode(), tmFixed);
  EXPECT_EQ(bitmap->TransparentColor(), kKey);
  TBitmap empty;
  FlipBitmapVertical(empty);
  EXPECT_TRUE(empty.Empty());
}

}  // namespace
}  // namespace qelo::ct
