// Pixel conventions of lines, outlines, fills, pens and brushes.
#include <gtest/gtest.h>

#include "canvas.h"

namespace qelo::test {
namespace {

struct LineCase {
  const char* name;
  POINT from;
  POINT to;
  int pixels;
};

class LineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineTest, StartPixelIsDrawnEndPixelIsNot) {
  const LineCase& c = GetParam();
  Canvas canvas(16, 16);
  MoveToEx(canvas.dc(), c.from.x, c.from.y, nullptr);
  ASSERT_TRUE(LineTo(canvas.dc(), c.to.x, c.to.y));
  if (c.pixels > 0) {
    EXPECT_EQ(canvas.At(c.from.x, c.from.y), kBlack) << canvas.Picture();
  }
  EXPECT_EQ(canvas.At(c.to.x, c.to.y), kWhite) << canvas.Picture();
  EXPECT_EQ(canvas.Count(kBlack), c.pixels) << canvas.Picture();
  POINT now;
  MoveToEx(canvas.dc(), 0, 0, &now);
  EXPECT_EQ(now.x, c.to.x);
  EXPECT_EQ(now.y, c.to.y);
}

INSTANTIATE_TEST_SUITE_P(Gdi, LineTest,
                         ::testing::Values(LineCase{"right", {2, 5}, {10, 5}, 8},
                                           LineCase{"left", {10, 5}, {2, 5}, 8},
                                           LineCase{"down", {4, 1}, {4, 12}, 11},
                                           LineCase{"up", {4, 12}, {4, 1}, 11},
                                           LineCase{"diagonal", {1, 1}, {9, 9}, 8},
                                           LineCase{"shallow", {1, 3}, {13, 7}, 12},
                                           LineCase{"steep", {6, 1}, {3, 14}, 13},
                                           LineCase{"empty", {5, 5}, {5, 5}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GdiLines, PolylineJointsAreSetOnceUnderXor) {
  Canvas canvas(16, 16, kBlack);
  SetROP2(canvas.dc(), R2_XORPEN);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, 1, kWhite));
  const POINT points[] = {{2, 2}, {10, 2}, {10, 10}, {2, 10}};
  ASSERT_TRUE(Polyline(canvas.dc(), points, 4));
  EXPECT_EQ(canvas.At(10, 2), kWhite) << "a joint inverted twice would be black again";
  EXPECT_EQ(canvas.At(10, 10), kWhite);
  EXPECT_EQ(canvas.At(2, 10), kBlack) << "the last point is left out";
  EXPECT_EQ(canvas.Count(kWhite), 8 + 8 + 8);
}

TEST(GdiLines, DottedPenLeavesGapsAndOpaqueModeFillsThem) {
  for (int mode : {TRANSPARENT, OPAQUE}) {
    Canvas canvas(20, 4, kRed);
    Selected pen(canvas.dc(), CreatePen(PS_DOT, 1, kBlack));
    SetBkMode(canvas.dc(), mode);
    SetBkColor(canvas.dc(), kBlue);
    MoveToEx(canvas.dc(), 0, 1, nullptr);
    LineTo(canvas.dc(), 12, 1);
    std::string row;
    for (int x = 0; x < 12; ++x) row += canvas.At(x, 1) == kBlack ? '#' : canvas.At(x, 1) == kBlue ? 'o' : '.';
    EXPECT_EQ(row, mode == OPAQUE ? "###ooo###ooo" : "###...###...");
  }
  // The pattern runs on across the joints of a polyline.
  Canvas canvas(20, 4);
  Selected pen(canvas.dc(), CreatePen(PS_DOT, 1, kBlack));
  SetBkMode(canvas.dc(), TRANSPARENT);
  const POINT points[] = {{0, 1}, {4, 1}, {8, 1}, {12, 1}};
  Polyline(canvas.dc(), points, 4);
  std::string row;
  for (int x = 0; x < 12; ++x) row += canvas.At(x, 1) == kBlack ? '#' : '.';
  EXPECT_EQ(row, "###...###...");
}

struct OutlineCase {
  const char* name;
  int style;
  int width;
  int outerLeft;   // first x of the outline on the middle row
  int innerLeft;   // first x of the brush
  int innerRight;  // last x of the brush
  int outerRight;  // last x of the outline
};

class RectangleTest : public ::testing::TestWithParam<OutlineCase> {};

// Rectangle(4, 4, 14, 14) with a blue brush, seen along the middle row.
TEST_P(RectangleTest, EdgesFollowPenWidthAndStyle) {
  const OutlineCase& c = GetParam();
  Canvas canvas(20, 20);
  Selected pen(canvas.dc(), CreatePen(c.style, c.width, kBlack));
  Selected brush(canvas.dc(), CreateSolidBrush(kBlue));
  ASSERT_TRUE(Rectangle(canvas.dc(), 4, 4, 14, 14));
  std::string row, expected;
  for (int x = 0; x < 20; ++x) {
    const COLORREF p = canvas.At(x, 9);
    row += p == kBlack ? '#' : p == kBlue ? 'o' : '.';
    const bool outline = x >= c.outerLeft && x <= c.outerRight && (x < c.innerLeft || x > c.innerRight);
    const bool inside = x >= c.innerLeft && x <= c.innerRight;
    expected += c.style == PS_NULL ? (inside ? 'o' : '.') : outline ? '#' : inside ? 'o' : '.';
  }
  EXPECT_EQ(row, expected) << canvas.Picture();
  const RECT box = canvas.InkBox();
  EXPECT_EQ(box.left, c.outerLeft);
  EXPECT_EQ(box.right - 1, c.outerRight);
  EXPECT_EQ(box.top, c.outerLeft) << "square: same on the vertical";
}

INSTANTIATE_TEST_SUITE_P(
    Gdi, RectangleTest,
    ::testing::Values(OutlineCase{"solid1", PS_SOLID, 1, 4, 5, 12, 13},
                      OutlineCase{"solid2", PS_SOLID, 2, 3, 5, 11, 13},
                      OutlineCase{"insideframe2", PS_INSIDEFRAME, 2, 4, 6, 11, 13},
                      OutlineCase{"insideframe3", PS_INSIDEFRAME, 3, 4, 7, 10, 13},
                      OutlineCase{"nullpen", PS_NULL, 1, 4, 4, 12, 12}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GdiLines, WidePenIsASquareSteppedAlongTheLineEndIncluded) {
  Canvas canvas(24, 24);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, 5, kBlack));
  MoveToEx(canvas.dc(), 5, 10, nullptr);
  LineTo(canvas.dc(), 15, 10);
  const RECT ink = canvas.InkBox();
  const RECT expected{3, 8, 18, 13};
  EXPECT_TRUE(EqualRect(&ink, &expected)) << canvas.Picture();
  EXPECT_EQ(canvas.Count(kBlack), 15 * 5);
}

TEST(GdiShapes, VeryWidePensStayBounded) {
  Canvas canvas(32, 32);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, 1 << 30, kBlack));
  Selected brush(canvas.dc(), CreateSolidBrush(kBlue));
  ASSERT_TRUE(Ellipse(canvas.dc(), 0, 0, 32, 32));
  EXPECT_EQ(canvas.Count(kBlue), 0) << "the pen covers the whole shape";
  MoveToEx(canvas.dc(), 0, 0, nullptr);
  ASSERT_TRUE(LineTo(canvas.dc(), 31, 31));
  EXPECT_EQ(canvas.Count(kWhite), 0);
}

TEST(GdiShapes, PolygonOutlinePassesThroughEveryVertex) {
  for (int width : {1, 2}) {
    Canvas canvas(20, 20);
    Selected pen(canvas.dc(), CreatePen(PS_SOLID, width, kBlack));
    Selected brush(canvas.dc(), CreateSolidBrush(kBlue));
    const POINT square[] = {{4, 4}, {14, 4}, {14, 14}, {4, 14}};
    ASSERT_TRUE(Polygon(canvas.dc(), square, 4));
    for (const POINT& p : square) EXPECT_EQ(canvas.At(p.x, p.y), kBlack) << width << canvas.Picture();
    EXPECT_EQ(canvas.At(9, 9), kBlue);
    const RECT box = canvas.InkBox();
    EXPECT_EQ(box.left, 4 - width / 2);
    EXPECT_EQ(box.right, 15 + (width - 1 - width / 2));
  }
}

TEST(GdiShapes, PolygonFillModesDifferOnlyInOverlaps) {
  // A five-pointed star: its centre is inside under WINDING only.
  const POINT star[] = {{10, 1}, {16, 19}, {1, 7}, {19, 7}, {4, 19}};
  for (int mode : {ALTERNATE, WINDING}) {
    Canvas canvas(21, 21);
    SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
    SelectObject(canvas.dc(), GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(canvas.dc(), mode);
    Polygon(canvas.dc(), star, 5);
    EXPECT_EQ(canvas.At(10, 11), mode == WINDING ? kBlack : kWhite) << canvas.Picture();
    EXPECT_EQ(canvas.At(10, 4), kBlack);
  }
}

TEST(GdiShapes, EllipseStaysInsideItsBoxAndIsSymmetric) {
  Canvas canvas(20, 20);
  Selected brush(canvas.dc(), CreateSolidBrush(kBlue));
  ASSERT_TRUE(Ellipse(canvas.dc(), 2, 3, 16, 13));
  const RECT box = canvas.InkBox();
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.top, 3);
  EXPECT_EQ(box.right, 16);
  EXPECT_EQ(box.bottom, 13);
  EXPECT_EQ(canvas.At(2, 3), kWhite) << "corners are outside";
  EXPECT_EQ(canvas.At(9, 8), kBlue);
  for (int y = 3; y < 13; ++y) {
    for (int x = 2; x < 16; ++x) {
      ASSERT_EQ(canvas.At(x, y), canvas.At(17 - x, y)) << x << "," << y << canvas.Picture();
      ASSERT_EQ(canvas.At(x, y), canvas.At(x, 15 - y)) << x << "," << y << canvas.Picture();
    }
  }
}

TEST(GdiShapes, RoundRectCutsItsCornersOnly) {
  Canvas canvas(20, 20);
  Selected brush(canvas.dc(), CreateSolidBrush(kBlue));
  ASSERT_TRUE(RoundRect(canvas.dc(), 2, 2, 18, 18, 8, 8));
  EXPECT_EQ(canvas.At(2, 2), kWhite);
  EXPECT_EQ(canvas.At(17, 17), kWhite);
  EXPECT_EQ(canvas.At(10, 2), kBlack);
  EXPECT_EQ(canvas.At(2, 10), kBlack);
  EXPECT_EQ(canvas.At(17, 10), kBlack);
  EXPECT_EQ(canvas.At(10, 18), kWhite);
  EXPECT_EQ(canvas.At(10, 10), kBlue);
}

TEST(GdiShapes, FillRectAndFrameRectCoverLeftTopButNotRightBottom) {
  Canvas canvas(12, 12);
  RECT r{2, 3, 8, 9};
  HBRUSH blue = CreateSolidBrush(kBlue);
  FillRect(canvas.dc(), &r, blue);
  EXPECT_EQ(canvas.InkBox().right, 8);
  EXPECT_EQ(canvas.Count(kBlue), 6 * 6);
  canvas.Fill(kWhite);
  FrameRect(canvas.dc(), &r, blue);
  EXPECT_EQ(canvas.Count(kBlue), 2 * 6 + 2 * 4);
  EXPECT_EQ(canvas.At(4, 5), kWhite);
  DeleteObject(blue);
}

TEST(GdiShapes, FocusRectIsDottedAndUndoneByASecondCall) {
  Canvas canvas(12, 10);
  RECT r{1, 1, 11, 9};
  ASSERT_TRUE(DrawFocusRect(canvas.dc(), &r));
  EXPECT_EQ(canvas.At(1, 1), kBlack);
  EXPECT_EQ(canvas.At(2, 1), kWhite);
  EXPECT_EQ(canvas.At(3, 1), kBlack);
  EXPECT_EQ(canvas.At(5, 5), kWhite);
  EXPECT_EQ(canvas.InkBox().right, 11);
  DrawFocusRect(canvas.dc(), &r);
  EXPECT_EQ(canvas.Count(kWhite), 12 * 10);
}

// Shapes far larger than the bitmap cost only their visible part, and
// extreme coordinates do not overflow.
TEST(GdiShapes, HugeAndExtremeCoordinatesAreSafe) {
  Canvas canvas(16, 16);
  HDC dc = canvas.dc();
  Selected brush(dc, CreateSolidBrush(kBlue));
  ASSERT_TRUE(Ellipse(dc, -1000000, -1000000, 1000000, 1000000));
  EXPECT_EQ(canvas.Count(kBlue), 16 * 16) << "the inside of a huge ellipse covers the bitmap";
  Selected pen(dc, CreatePen(PS_SOLID, 3, kRed));
  ASSERT_TRUE(Rectangle(dc, -1, -1, 2000000000, 2000000000));
  EXPECT_EQ(canvas.At(0, 5), kRed) << "left edge, three pixels wide around x = -1";
  EXPECT_EQ(canvas.At(1, 5), kBlue);
  EXPECT_EQ(canvas.At(8, 8), kBlue);
  MoveToEx(dc, -2000000000, 8, nullptr);
  LineTo(dc, 2000000000, 8);
  EXPECT_EQ(canvas.At(8, 8), kRed);
  RECT all{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  EXPECT_TRUE(FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
  EXPECT_EQ(canvas.Count(kWhite), 16 * 16);
  EXPECT_TRUE(DrawFocusRect(dc, &all));
  EXPECT_TRUE(StretchBlt(dc, 0, 0, INT32_MAX, INT32_MAX, dc, 0, 0, 2, 2, SRCCOPY));
  SetViewportOrgEx(dc, INT32_MAX, INT32_MAX, nullptr);
  EXPECT_TRUE(FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  EXPECT_TRUE(TextOut(dc, INT32_MAX, INT32_MIN, "far away"));
}

TEST(GdiShapes, SetPixelAndGetPixelHonourBounds) {
  Canvas canvas(4, 4);
  EXPECT_EQ(SetPixel(canvas.dc(), 1, 2, kRed), kRed);
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 2), kRed);
  EXPECT_EQ(SetPixel(canvas.dc(), 4, 0, kRed), CLR_INVALID);
  EXPECT_EQ(GetPixel(canvas.dc(), -1, 0), CLR_INVALID);
}

TEST(GdiBrushes, MonoPatternUsesTextAndBackgroundColoursFromBrushOrigin) {
  // Columns alternate 0 and 1 bits: 0xAA = 10101010 (first pixel white).
  const uint8_t bits[16] = {0xAA, 0, 0xAA, 0, 0xAA, 0, 0xAA, 0, 0xAA, 0, 0xAA, 0, 0xAA, 0, 0xAA, 0};
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH brush = CreatePatternBrush(pattern);
  ASSERT_NE(brush, nullptr);
  Canvas canvas(20, 4);
  SetTextColor(canvas.dc(), kRed);
  SetBkColor(canvas.dc(), kBlue);
  RECT r{0, 0, 20, 4};
  FillRect(canvas.dc(), &r, brush);
  for (int x = 0; x < 20; ++x) EXPECT_EQ(canvas.At(x, 2), x % 2 == 0 ? kBlue : kRed) << x;
  SetBrushOrgEx(canvas.dc(), 1, 0, nullptr);
  FillRect(canvas.dc(), &r, brush);
  for (int x = 0; x < 20; ++x) EXPECT_EQ(canvas.At(x, 2), x % 2 == 1 ? kBlue : kRed) << x;
  DeleteObject(brush);
  DeleteObject(pattern);
}

TEST(GdiBrushes, ColourPatternRepeatsEveryEightPixels) {
  Canvas source(8, 8);
  SetPixel(source.dc(), 3, 5, kRed);
  HBRUSH brush = CreatePatternBrush(source.bitmap());
  Canvas canvas(24, 24);
  RECT r{0, 0, 24, 24};
  FillRect(canvas.dc(), &r, brush);
  EXPECT_EQ(canvas.Count(kRed), 9);
  EXPECT_EQ(canvas.At(19, 21), kRed);
  DeleteObject(brush);
}

TEST(GdiPens, BinaryRasterModesMixPenAndDestination) {
  struct Case {
    int mode;
    COLORREF expected;  // pen 0x0000FF over 0x00FF0F
  };
  const COLORREF pen = RGB(0xFF, 0, 0);
  const COLORREF dest = RGB(0x0F, 0xFF, 0);
  const Case cases[] = {
      {R2_COPYPEN, pen},      {R2_XORPEN, RGB(0xF0, 0xFF, 0)}, {R2_NOT, RGB(0xF0, 0, 0xFF)},
      {R2_MERGEPEN, RGB(0xFF, 0xFF, 0)}, {R2_MASKPEN, RGB(0x0F, 0, 0)}, {R2_NOP, dest},
      {R2_BLACK, kBlack},     {R2_WHITE, kWhite},   {R2_NOTCOPYPEN, RGB(0, 0xFF, 0xFF)},
  };
  for (const Case& c : cases) {
    Canvas canvas(4, 4, dest);
    Selected p(canvas.dc(), CreatePen(PS_SOLID, 1, pen));
    SetROP2(canvas.dc(), c.mode);
    MoveToEx(canvas.dc(), 0, 1, nullptr);
    LineTo(canvas.dc(), 4, 1);
    EXPECT_EQ(canvas.At(2, 1), c.expected) << "mode " << c.mode;
    EXPECT_EQ(canvas.At(2, 2), dest);
  }
}

TEST(GdiMono, DrawingOnAMonochromeBitmapPicksTheNearestOfBlackAndWhite) {
  Canvas canvas(8, 8, kBlack, true);
  HBRUSH light = CreateSolidBrush(RGB(200, 220, 180));
  HBRUSH dark = CreateSolidBrush(RGB(90, 20, 60));
  RECT left{0, 0, 4, 8}, right{4, 0, 8, 8};
  FillRect(canvas.dc(), &left, light);
  FillRect(canvas.dc(), &right, dark);
  EXPECT_EQ(canvas.At(1, 1), kWhite);
  EXPECT_EQ(canvas.At(6, 1), kBlack);
  EXPECT_EQ(GetDeviceCaps(canvas.dc(), BITSPIXEL), 1);
  DeleteObject(light);
  DeleteObject(dark);
}

}  // namespace
}  // namespace qelo::test
