// The drop-down arrow, the gradient ring and the check glyph.
#include <gtest/gtest.h>

#include "ct_common_color.h"
#include "ct_common_glyphs.h"
#include "paint_canvas.h"

namespace qelo::ct {
namespace {

using namespace vcl;
using test::kGround;
using test::PaintCanvas;
using test::Rgb;

TEST(DropDownArrow, IsASolidTriangleBelowTheCentre) {
  // 12 x 12: centre x 6; the height is even, so y = 6 - 1 + 2 = 7.
  PaintCanvas c(12, 12, kGround);
  c.canvas.Brush()->SetColor(clWhite);
  PaintDropDownButton(c.canvas, TRect{0, 0, 12, 12}, 0, true);
  EXPECT_EQ(c.At(6, 7), Rgb(clBlack));
  for (int row = 1; row <= 3; ++row) {
    EXPECT_EQ(c.At(6 - row, 7 - row), Rgb(clBlack)) << row;
    EXPECT_EQ(c.At(6 + row, 7 - row), Rgb(clBlack)) << row;
    EXPECT_EQ(c.At(6 - row - 1, 7 - row), kGround) << row;
    EXPECT_EQ(c.At(6 + row + 1, 7 - row), kGround) << row;
  }
  EXPECT_EQ(c.Count(Rgb(clBlack)), 1 + 3 + 5 + 7);
  EXPECT_EQ(c.At(6, 8), kGround);
  EXPECT_EQ(c.At(6, 3), kGround);
}

TEST(DropDownArrow, OddHeightsCentreOneLower) {
  PaintCanvas c(11, 11, kGround);
  PaintDropDownButton(c.canvas, TRect{0, 0, 11, 11}, 0, true);
  EXPECT_EQ(c.At(5, 7), Rgb(clBlack));  // 0 + 5 + 2
  EXPECT_EQ(c.At(5, 8), kGround);
}

TEST(DropDownArrow, ColourFollowsTheStateAndTheBrush) {
  PaintCanvas disabled(12, 12, kGround), dark(12, 12, kGround);
  PaintDropDownButton(disabled.canvas, TRect{0, 0, 12, 12}, 0, false);
  EXPECT_EQ(disabled.At(6, 7), Rgb(clBtnShadow));
  dark.canvas.Brush()->SetColor(0x101010);  // similar to black: the arrow must stay visible
  PaintDropDownButton(dark.canvas, TRect{0, 0, 12, 12}, 0, true);
  EXPECT_EQ(dark.At(6, 7), Rgb(cl3DDkShadow));
}

TEST(DropDownArrow, KeepsTheCanvasPenStyleAndBrushColour) {
  PaintCanvas c(12, 12, kGround);
  c.canvas.Brush()->SetColor(clYellow);
  c.canvas.Pen()->SetStyle(psDot);
  PaintDropDownButton(c.canvas, TRect{0, 0, 12, 12}, 0, true);
  EXPECT_EQ(c.canvas.Brush()->Color(), clYellow);
  EXPECT_EQ(c.canvas.Pen()->Style(), psDot);
}

TEST(DropDownArrow, ThemedStyleDrawsTheChevron) {
  // y = 10 - 1 + 4 = 13 on a 20-high rectangle; the chevron's tip is (10, 13).
  PaintCanvas c(20, 20, kGround);
  PaintDropDownButton(c.canvas, TRect{0, 0, 20, 20}, 1, true);
  EXPECT_NE(c.At(10, 11), kGround) << c.Picture(kGround);
  EXPECT_NE(c.At(7, 8), kGround) << c.Picture(kGround);
  EXPECT_NE(c.At(13, 8), kGround) << c.Picture(kGround);
  EXPECT_EQ(c.At(10, 7), kGround) << "the notch above the tip" << c.Picture(kGround);
  const TRect ink = c.InkBox(kGround);
  EXPECT_GE(ink.top, 6);
  EXPECT_LE(ink.bottom, 14);
}

TEST(GradientRing, PaintsTwoPixelsInsideTheRectangleOnly) {
  SetFullColorDisplay(true);
  PaintCanvas c(12, 12, kGround);
  PaintGradientRing(c.canvas, TRect{1, 1, 11, 11}, gdHorizontalEnd, clRed, clBlue);
  EXPECT_EQ(c.At(1, 1), Rgb(clRed));
  EXPECT_EQ(c.At(10, 10), Rgb(clBlue));
  EXPECT_NE(c.At(2, 6), kGround);
  EXPECT_NE(c.At(9, 6), kGround);
  EXPECT_EQ(c.At(3, 3), kGround);
  EXPECT_EQ(c.At(0, 0), kGround);
  EXPECT_EQ(c.Count(kGround), 144 - (100 - 36));
}

TEST(GradientRing, KeepsTheCanvasClipping) {
  SetFullColorDisplay(true);
  PaintCanvas c(12, 12, kGround);
  win::IntersectClipRect(c.canvas.Handle(), 0, 0, 6, 12);
  PaintGradientRing(c.canvas, TRect{0, 0, 12, 12}, gdVerticalEnd, clRed, clBlue);
  EXPECT_EQ(c.At(11, 0), kGround) << "outside the clip before the ring";
  c.canvas.Brush()->SetColor(clYellow);
  c.canvas.FillRect(TRect{0, 0, 12, 12});
  EXPECT_EQ(c.At(3, 3), Rgb(clYellow)) << "inside the ring's hole";
  EXPECT_EQ(c.At(8, 3), kGround) << "still clipped";
}

TEST(GradientRing, NeedsAFullColourDisplay) {
  SetFullColorDisplay(false);
  PaintCanvas c(12, 12, kGround);
  PaintGradientRing(c.canvas, TRect{0, 0, 12, 12}, gdHorizontalEnd, clRed, clBlue);
  EXPECT_EQ(c.Count(kGround), 144);
  SetFullColorDisplay(true);
}

constexpr TRect kGlyph{0, 0, 13, 13};

TCheckGlyph Glyph(TCheckGlyphState state, TCheckDrawState draw) {
  TCheckGlyph g;
  g.State = state;
  g.DrawState = draw;
  g.FrameColor = clNavy;
  g.Color = clWhite;
  g.FocusColor = clAqua;
  g.ReadOnlyColor = clSilver;
  g.DisabledColor = clGray;
  g.CheckColor = clBlack;
  g.HotFrameColor = clRed;
  g.HotFillColor = clYellow;
  return g;
}

// The tick's pixels for a 13 x 13 glyph: the inner rectangle starts at
// (1, 1), so x0 = 1 and y0 = 0.
std::vector<TPoint> TickPixels() {
  std::vector<TPoint> tick{{3, 5}, {3, 6}, {3, 7}, {4, 6}, {4, 7}, {4, 8}, {5, 7}};
  for (int i = 0; i <= 3; ++i) {
    tick.push_back({5 + i, 8 - i});
    tick.push_back({5 + i, 9 - i});
    tick.push_back({6 + i, 6 - i});
  }
  tick.push_back({9, 4});
  tick.push_back({9, 5});
  return tick;
}

TEST(CheckGlyph, CheckedDrawsOutlineFillAndTick) {
  PaintCanvas c(13, 13, kGround);
  const TRect inner = PaintCheckGlyph(c.canvas, kGlyph, Glyph(cgsChecked, cdsNormal));
  EXPECT_TRUE(win::EqualRect(&inner, std::array<TRect, 1>{TRect{1, 1, 12, 12}}.data()));
  EXPECT_EQ(c.Count(Rgb(clNavy)), 48);
  for (const TPoint& p : TickPixels()) EXPECT_EQ(c.At(p.x, p.y), Rgb(clBlack)) << p.x << "," << p.y;
  EXPECT_EQ(c.Count(Rgb(clBlack)), 21);
  EXPECT_EQ(c.Count(Rgb(clWhite)), 121 - 21);
}

TEST(CheckGlyph, GrayedFillsTheMiddle) {
  PaintCanvas c(13, 13, kGround);
  PaintCheckGlyph(c.canvas, kGlyph, Glyph(cgsGrayed, cdsNormal));
  EXPECT_EQ(c.Count(Rgb(clBlack)), 49);
  EXPECT_EQ(c.At(3, 3), Rgb(clBlack));
  EXPECT_EQ(c.At(9, 9), Rgb(clBlack));
  EXPECT_EQ(c.At(2, 2), Rgb(clWhite));
}

struct FillCase {
  TCheckDrawState draw;
  bool focused, readOnly, readOnlyOnFocus;
  TColor fill;
};

class CheckGlyphFill : public testing::TestWithParam<FillCase> {};

TEST_P(CheckGlyphFill, ChoosesTheFillColour) {
  const FillCase f = GetParam();
  TCheckGlyph g = Glyph(cgsUnchecked, f.draw);
  g.Focused = f.focused;
  g.ReadOnly = f.readOnly;
  g.ReadOnlyColorOnFocus = f.readOnlyOnFocus;
  PaintCanvas c(13, 13, kGround);
  PaintCheckGlyph(c.canvas, kGlyph, g);
  EXPECT_EQ(c.At(6, 6), Rgb(f.fill));
}

INSTANTIATE_TEST_SUITE_P(States, CheckGlyphFill,
                         testing::Values(FillCase{cdsNormal, false, false, false, clWhite},
                                         FillCase{cdsNormal, false, true, false, clSilver},
                                         FillCase{cdsNormal, true, false, false, clAqua},
                                         FillCase{cdsNormal, true, true, false, clAqua},
                                         FillCase{cdsNormal, true, true, true, clSilver},
                                         FillCase{cdsPressed, false, false, false, DarkenColor(clAqua, 20)},
                                         FillCase{cdsDisabled, true, false, false, clGray}));

TEST(CheckGlyph, DisabledTickIsInShadow) {
  PaintCanvas c(13, 13, kGround);
  PaintCheckGlyph(c.canvas, kGlyph, Glyph(cgsChecked, cdsDisabled));
  EXPECT_EQ(c.At(3, 5), Rgb(clBtnShadow));
  EXPECT_EQ(c.Count(Rgb(clBlack)), 0);
}

TEST(CheckGlyph, HotInteriorGetsAGradientRing) {
  SetFullColorDisplay(true);
  PaintCanvas c(13, 13, kGround);
  PaintCheckGlyph(c.canvas, kGlyph, Glyph(cgsUnchecked, cdsHot));
  EXPECT_EQ(c.At(0, 0), Rgb(clNavy)) << "the frame keeps its colour";
  EXPECT_EQ(c.At(1, 1), Rgb(clRed));
  EXPECT_EQ(c.At(11, 11), Rgb(clYellow));
  EXPECT_EQ(c.At(6, 6), Rgb(clWhite));
  EXPECT_EQ(c.At(3, 3), Rgb(clWhite));
}

TEST(CheckGlyph, HotFrameStyleDrawsTwoOutlines) {
  TCheckGlyph g = Glyph(cgsChecked, cdsHot);
  g.HotTrackStyle = htsFrame;
  PaintCanvas c(13, 13, kGround);
  PaintCheckGlyph(c.canvas, kGlyph, g);
  EXPECT_EQ(c.At(0, 0), Rgb(clRed));
  EXPECT_EQ(c.At(1, 1), Rgb(clRed));
  EXPECT_EQ(c.At(2, 2), Rgb(clWhite));
  EXPECT_EQ(c.Count(Rgb(clRed)), 48 + 40);
}

}  // namespace
}  // namespace qelo::ct
