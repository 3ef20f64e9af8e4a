// The gradient painter: end rows and columns, centre lines, box symmetry,
// diagonals, tiny and huge rectangles.
#include <gtest/gtest.h>

#include "ct_grafx_gradient.h"
#include "paint_canvas.h"

namespace qelo::ct {
namespace {

using test::PaintCanvas;
using vcl::clBlue;
using vcl::clRed;

constexpr win::COLORREF kRed = win::RGB(255, 0, 0), kBlue = win::RGB(0, 0, 255);
constexpr win::COLORREF kGreen = win::RGB(0, 255, 0);

int RedOf(win::COLORREF c) { return win::GetRValue(c); }

TEST(Gradient, HorizontalEndRunsFromTopToBottomAcrossTheWholeWidth) {
  PaintCanvas c(37, 20, kGreen);  // wider than the painted strip: copies double, the last is cut
  PaintGradient(c.canvas, TRect{0, 0, 37, 20}, gdHorizontalEnd, clRed, clBlue, 1);
  for (int y = 0; y < 20; ++y) {
    for (int x = 1; x < 37; ++x) ASSERT_EQ(c.At(x, y), c.At(0, y)) << x << "," << y;
    if (y > 0) {
      EXPECT_LT(RedOf(c.At(0, y)), RedOf(c.At(0, y - 1))) << "row " << y;
    }
  }
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(36, 19), kBlue);
  EXPECT_EQ(c.Count(kGreen), 0);
}

TEST(Gradient, VerticalEndRunsFromLeftToRightDownTheWholeHeight) {
  PaintCanvas c(20, 19, kGreen);
  PaintGradient(c.canvas, TRect{0, 0, 20, 19}, gdVerticalEnd, clRed, clBlue, 1);
  for (int x = 0; x < 20; ++x) {
    for (int y = 1; y < 19; ++y) ASSERT_EQ(c.At(x, y), c.At(x, 0)) << x << "," << y;
  }
  EXPECT_EQ(c.At(0, 5), kRed);
  EXPECT_EQ(c.At(19, 5), kBlue);
}

struct CentreCase {
  int size;
  int middle;
};

class CentreGradient : public testing::TestWithParam<CentreCase> {};

TEST_P(CentreGradient, StopColourOnTheMiddleLineStartColourOnBothEdges) {
  const auto [size, middle] = GetParam();
  PaintCanvas rows(9, size), columns(size, 9);
  PaintGradient(rows.canvas, TRect{0, 0, 9, size}, gdHorizontalCenter, clRed, clBlue, 1);
  PaintGradient(columns.canvas, TRect{0, 0, size, 9}, gdVerticalCenter, clRed, clBlue, 1);
  EXPECT_EQ(rows.At(4, middle), kBlue);
  EXPECT_EQ(columns.At(middle, 4), kBlue);
  if (middle > 0) {
    EXPECT_EQ(rows.At(4, 0), kRed);
    EXPECT_EQ(columns.At(0, 4), kRed);
  }
  if (middle < size - 1) {
    EXPECT_EQ(rows.At(4, size - 1), kRed);
    EXPECT_EQ(columns.At(size - 1, 4), kRed);
  }
  for (int i = 0; i < size; ++i) EXPECT_EQ(rows.At(0, i), columns.At(i, 0)) << i;
}

INSTANTIATE_TEST_SUITE_P(Sizes, CentreGradient,
                         testing::Values(CentreCase{21, 10}, CentreCase{20, 10}, CentreCase{2, 1},
                                         CentreCase{1, 0}));

TEST(Gradient, OddCentreGradientIsSymmetric) {
  PaintCanvas c(5, 21);
  PaintGradient(c.canvas, TRect{0, 0, 5, 21}, gdHorizontalCenter, clRed, clBlue, 1);
  for (int y = 0; y < 21; ++y) EXPECT_EQ(c.At(2, y), c.At(2, 20 - y)) << y;
}

struct BoxCase {
  TGradientDirection direction;
  int width, height;
};

class BoxGradient : public testing::TestWithParam<BoxCase> {};

TEST_P(BoxGradient, IsMirroredBothWaysWithStartOutsideAndStopInside) {
  const auto [direction, w, h] = GetParam();
  PaintCanvas c(w, h, kGreen);
  PaintGradient(c.canvas, TRect{0, 0, w, h}, direction, clRed, clBlue, 1);
  ASSERT_EQ(c.Count(kGreen), 0) << c.Picture(kGreen);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      ASSERT_EQ(c.At(x, y), c.At(w - 1 - x, y)) << x << "," << y;
      ASSERT_EQ(c.At(x, y), c.At(x, h - 1 - y)) << x << "," << y;
    }
  }
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(w / 2, h / 2), kBlue);
  EXPECT_EQ(c.At(w / 2, 0), kRed) << "the outer ring runs round the edge";
  EXPECT_EQ(c.At(0, h / 2), kRed);
}

INSTANTIATE_TEST_SUITE_P(Styles, BoxGradient,
                         testing::Values(BoxCase{gdSquareBox, 21, 15}, BoxCase{gdSquareBox, 20, 14},
                                         BoxCase{gdHorizontalBox, 21, 15}, BoxCase{gdVerticalBox, 20, 15},
                                         BoxCase{gdBigSquareBox, 21, 16}, BoxCase{gdBigSquareBox, 5, 5}));

TEST(Gradient, BoxCoresHaveTheirShape) {
  // w = 21: half width 10, core half width 21 div 4 = 5, so the bar spans
  // columns 5 to 15 of the middle row.
  PaintCanvas bar(21, 15), column(21, 15), big(21, 15);
  PaintGradient(bar.canvas, TRect{0, 0, 21, 15}, gdHorizontalBox, clRed, clBlue, 1);
  PaintGradient(column.canvas, TRect{0, 0, 21, 15}, gdVerticalBox, clRed, clBlue, 1);
  PaintGradient(big.canvas, TRect{0, 0, 21, 15}, gdBigSquareBox, clRed, clBlue, 1);
  EXPECT_EQ(bar.At(5, 7), kBlue);
  EXPECT_EQ(bar.At(15, 7), kBlue);
  EXPECT_NE(bar.At(4, 7), kBlue);
  EXPECT_NE(bar.At(10, 6), kBlue);
  // h = 15: half height 7, core half height 3: rows 4 to 10 of the middle column.
  EXPECT_EQ(column.At(10, 4), kBlue);
  EXPECT_EQ(column.At(10, 10), kBlue);
  EXPECT_NE(column.At(10, 3), kBlue);
  EXPECT_NE(column.At(9, 7), kBlue);
  EXPECT_EQ(big.At(5, 4), kBlue);
  EXPECT_EQ(big.At(15, 10), kBlue);
  EXPECT_NE(big.At(4, 4), kBlue);
}

TEST(Gradient, SmallOrEvenBoxesArePlainFills) {
  const BoxCase cases[] = {{gdSquareBox, 4, 20}, {gdBigSquareBox, 20, 4}, {gdHorizontalBox, 3, 3}};
  for (const auto& [direction, w, h] : cases) {
    PaintCanvas c(w, h, kGreen);
    PaintGradient(c.canvas, TRect{0, 0, w, h}, direction, clRed, clBlue, 1);
    EXPECT_EQ(c.Count(kRed), w * h) << w << "x" << h;
  }
  PaintCanvas same(20, 20, kGreen);
  PaintGradient(same.canvas, TRect{0, 0, 20, 20}, gdSquareBox, clBlue, clBlue, 1);
  EXPECT_EQ(same.Count(kBlue), 400);
}

TEST(Gradient, ZeroStepsOnABoxPaintLikeOneStep) {
  PaintCanvas zero(21, 15), one(21, 15);
  PaintGradient(zero.canvas, TRect{0, 0, 21, 15}, gdSquareBox, clRed, clBlue, 0);
  PaintGradient(one.canvas, TRect{0, 0, 21, 15}, gdSquareBox, clRed, clBlue, 1);
  EXPECT_EQ(zero.Pixels(), one.Pixels());
}

TEST(Gradient, MoreStepsMakeCoarserBands) {
  PaintCanvas fine(4, 64), coarse(4, 64);
  PaintGradient(fine.canvas, TRect{0, 0, 4, 64}, gdHorizontalEnd, clRed, clBlue, 1);
  PaintGradient(coarse.canvas, TRect{0, 0, 4, 64}, gdHorizontalEnd, clRed, clBlue, 16);
  auto bands = [](const PaintCanvas& c) {
    int count = 1;
    for (int y = 1; y < c.height(); ++y) count += c.At(0, y) != c.At(0, y - 1);
    return count;
  };
  EXPECT_EQ(bands(fine), 64);
  EXPECT_EQ(bands(coarse), 4) << "bands of 255 div 16 + 1 = 16 rows";
}

// Band lines join the left edge to the bottom edge, then the top edge to the
// right edge, so they lie along the other diagonal.
TEST(Gradient, DiagonalUpRunsFromLowerLeftToUpperRightInDiagonalBands) {
  PaintCanvas c(16, 16, kGreen);
  PaintGradient(c.canvas, TRect{0, 0, 16, 16}, gdDiagonalUp, clRed, clBlue, 1);
  ASSERT_EQ(c.Count(kGreen), 0) << c.Picture(kGreen);
  for (int y = 0; y + 1 < 16; ++y) {
    for (int x = 0; x + 1 < 16; ++x) ASSERT_EQ(c.At(x, y), c.At(x + 1, y + 1)) << x << "," << y;
  }
  for (int x = 1; x < 16; ++x) EXPECT_LE(RedOf(c.At(x, 15)), RedOf(c.At(x - 1, 15))) << x;
  for (int y = 1; y < 16; ++y) EXPECT_GE(RedOf(c.At(15, y)), RedOf(c.At(15, y - 1))) << y;
  EXPECT_EQ(c.At(0, 15), kRed);
  EXPECT_EQ(c.At(15, 0), kBlue);
}

TEST(Gradient, DiagonalDownRunsFromUpperLeftToLowerRight) {
  PaintCanvas up(16, 10), down(16, 10);
  PaintGradient(up.canvas, TRect{0, 0, 16, 10}, gdDiagonalUp, clRed, clBlue, 1);
  PaintGradient(down.canvas, TRect{0, 0, 16, 10}, gdDiagonalDown, clRed, clBlue, 1);
  EXPECT_EQ(down.At(0, 0), kRed);
  EXPECT_EQ(down.At(15, 9), kBlue);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 16; ++x) ASSERT_EQ(down.At(x, y), up.At(x, 9 - y)) << x << "," << y;
  }
}

TEST(Gradient, EqualDiagonalColoursAreAPlainFill) {
  PaintCanvas c(9, 7, kGreen);
  PaintGradient(c.canvas, TRect{0, 0, 9, 7}, gdDiagonalDown, clRed, clRed, 1);
  EXPECT_EQ(c.Count(kRed), 63);
}

TEST(Gradient, PaintsAtLeftAndTopWithTheAbsoluteSize) {
  PaintCanvas c(40, 30);
  PaintGradient(c.canvas, TRect{20, 5, 10, 15}, gdVerticalEnd, clRed, clBlue, 1);
  const TRect ink = c.InkBox();
  EXPECT_EQ(ink.left, 20);
  EXPECT_EQ(ink.top, 5);
  EXPECT_EQ(ink.right, 30);
  EXPECT_EQ(ink.bottom, 15);
}

TEST(Gradient, EmptyRectanglesPaintNothing) {
  PaintCanvas c(10, 10);
  for (int d = gdDiagonalUp; d <= gdBigSquareBox; ++d) {
    PaintGradient(c.canvas, TRect{2, 2, 2, 8}, static_cast<TGradientDirection>(d), clRed, clBlue, 1);
    PaintGradient(c.canvas, TRect{2, 2, 8, 2}, static_cast<TGradientDirection>(d), clRed, clBlue, 1);
  }
  EXPECT_EQ(c.Count(qelo::test::kWhite), 100);
}

TEST(Gradient, OnePixelRectanglesTakeOneOfTheColours) {
  for (int d = gdDiagonalUp; d <= gdBigSquareBox; ++d) {
    const auto direction = static_cast<TGradientDirection>(d);
    PaintCanvas c(3, 3, kGreen);
    PaintGradient(c.canvas, TRect{1, 1, 2, 2}, direction, clRed, clBlue, 1);
    const bool centre = direction == gdHorizontalCenter || direction == gdVerticalCenter;
    if (direction == gdDiagonalUp || direction == gdDiagonalDown)
      EXPECT_TRUE(c.At(1, 1) == kRed || c.At(1, 1) == kBlue) << d;
    else
      EXPECT_EQ(c.At(1, 1), centre ? kBlue : kRed) << d;
    EXPECT_EQ(c.Count(kGreen), 8) << d;
  }
  PaintCanvas line(1, 12);
  PaintGradient(line.canvas, TRect{0, 0, 1, 12}, gdHorizontalEnd, clRed, clBlue, 1);
  EXPECT_EQ(line.At(0, 0), kRed);
  EXPECT_EQ(line.At(0, 11), kBlue);
}

TEST(Gradient, SystemColoursAreUsedAsTheirPaletteEntries) {
  PaintCanvas c(4, 10);
  PaintGradient(c.canvas, TRect{0, 0, 4, 10}, gdHorizontalEnd, vcl::clBtnFace, vcl::clHighlight, 1);
  EXPECT_EQ(c.At(0, 0), win::GetSysColor(win::COLOR_BTNFACE));
  EXPECT_EQ(c.At(0, 9), win::GetSysColor(win::COLOR_HIGHLIGHT));
}

// On a long thin rectangle the band edges lie almost along the length: the
// corner pixels sit a sixth of the way in from the ends, and the middle
// row runs from a quarter to three quarters of the sweep.
TEST(Gradient, LongThinDiagonalSweepsItsWholeLength) {
  constexpr int kWidth = 32767;  // as wide as an off-screen bitmap can be
  PaintCanvas c(kWidth, 3, kGreen);
  PaintGradient(c.canvas, TRect{0, 0, kWidth, 3}, gdDiagonalUp, clRed, clBlue, 1);
  EXPECT_NEAR(RedOf(c.At(0, 2)), 255 - 255 / 12, 1);
  EXPECT_EQ(RedOf(c.At(0, 2)) + RedOf(c.At(kWidth - 1, 0)), 255) << "both corners alike";
  int previous = 256;
  for (int x = 0; x < kWidth; x += 997) {
    ASSERT_LE(RedOf(c.At(x, 1)), previous) << x;
    previous = RedOf(c.At(x, 1));
  }
  EXPECT_NEAR(RedOf(c.At(0, 1)), 191, 1);
  EXPECT_NEAR(RedOf(c.At(kWidth - 1, 1)), 64, 1);
}

TEST(Gradient, RectanglesBeyondAnyBitmapPaintNothingAndRaiseNothing) {
  PaintCanvas c(10, 10);
  EXPECT_NO_THROW(PaintGradient(c.canvas, TRect{0, 0, 70000, 70000}, gdDiagonalUp, clRed, clBlue, 1));
  EXPECT_EQ(c.Count(qelo::test::kWhite), 100);
}

}  // namespace
}  // namespace qelo::ct
