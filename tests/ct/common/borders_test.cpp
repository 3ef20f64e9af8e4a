// The composite border, the framed controls' non-client frame and the
// request to paint a frame again.
#include <gtest/gtest.h>

#include "common/case_name.h"
#include "controls_fixture.h"
#include "ct_common_borders.h"
#include "ct_common_color.h"
#include "paint_canvas.h"
#include "vcl/controls/scripting.h"

namespace qelo::ct {
namespace {

using namespace vcl;
using test::kGround;
using test::PaintCanvas;
using test::Rgb;

struct StyledCase {
  const char* name;
  TStyledFrame frame;
  TRect inner;
  std::vector<std::pair<TPoint, TColor>> pixels;
};

void PrintTo(const StyledCase& c, std::ostream* out) { *out << c.name; }

class StyledFrame : public testing::TestWithParam<StyledCase> {};

TEST_P(StyledFrame, PaintsItsRingsFromTheOutsideIn) {
  const StyledCase& c = GetParam();
  PaintCanvas canvas(16, 16, kGround);
  const TRect inner = PaintStyledFrame(canvas.canvas, TRect{0, 0, 16, 16}, c.frame);
  EXPECT_TRUE(win::EqualRect(&inner, &c.inner))
      << inner.left << "," << inner.top << "," << inner.right << "," << inner.bottom;
  for (const auto& [p, color] : c.pixels)
    EXPECT_EQ(canvas.At(p.x, p.y), Rgb(color)) << "at " << p.x << "," << p.y << canvas.Picture(kGround);
}

TStyledFrame Frame(TFrameStyleEx outer, int width, TFrameStyleEx inner) {
  TStyledFrame f;
  f.BorderOuter = outer;
  f.BorderWidth = width;
  f.BorderInner = inner;
  f.BorderColor = clYellow;
  f.FlatColor = clRed;
  f.Color = clWhite;
  f.ParentColor = clBlue;
  return f;
}

TStyledFrame With(TStyledFrame f, auto change) {
  change(f);
  return f;
}

INSTANTIATE_TEST_SUITE_P(
    Golden, StyledFrame,
    testing::Values(
        StyledCase{"nothing", Frame(fsNone, 0, fsNone), {0, 0, 16, 16}, {{{0, 0}, kGround}, {{8, 8}, kGround}}},
        StyledCase{"raised, border, lowered",
                   Frame(fsRaised, 2, fsLowered),
                   {6, 6, 10, 10},
                   {{{0, 0}, cl3DLight}, {{1, 1}, clBtnHighlight}, {{2, 2}, clYellow}, {{3, 3}, clYellow},
                    {{4, 4}, clBtnShadow}, {{5, 5}, cl3DDkShadow}, {{10, 10}, cl3DLight}, {{6, 6}, kGround}}},
        StyledCase{"flat colour adjusted",
                   With(Frame(fsFlat, 0, fsFlatBold), [](TStyledFrame& f) { f.FlatColorAdjustment = -50; }),
                   {3, 3, 13, 13},
                   {{{0, 0}, DarkenColor(clRed, 50)}, {{2, 2}, DarkenColor(clRed, 50)}, {{3, 3}, kGround}}},
        StyledCase{"status and popup bevels",
                   With(Frame(fsStatus, 0, fsPopup), [](TStyledFrame& f) { f.BevelWidth = 2; }),
                   {4, 4, 12, 12},
                   {{{1, 1}, clBtnShadow}, {{14, 14}, clBtnHighlight}, {{3, 3}, clBtnHighlight},
                    {{12, 12}, clBtnShadow}}},
        // Rounded: the parent's colour shows in the cut corners, the
        // control's colour inside the rounded line.
        StyledCase{"rounded outer",
                   Frame(fsFlatRounded, 0, fsNone),
                   {2, 2, 14, 14},
                   {{{0, 0}, clBlue}, {{1, 0}, clBlue}, {{0, 1}, clBlue}, {{1, 1}, clRed}, {{2, 0}, clRed},
                    {{0, 2}, clRed}, {{2, 1}, clWhite}, {{15, 15}, clBlue}, {{14, 14}, clRed}, {{2, 2}, kGround}}},
        StyledCase{"rounded outer round a border",
                   Frame(fsFlatRounded, 1, fsNone),
                   {3, 3, 13, 13},
                   {{{0, 0}, clBlue}, {{1, 1}, clRed}, {{2, 1}, clYellow}, {{2, 2}, clYellow}, {{3, 3}, kGround}}},
        StyledCase{"rounded outer, transparent",
                   With(Frame(fsFlatRounded, 0, fsNone), [](TStyledFrame& f) { f.Transparent = true; }),
                   {2, 2, 14, 14},
                   {{{0, 0}, kGround}, {{1, 1}, clRed}, {{2, 1}, kGround}, {{2, 0}, clRed}}},
        StyledCase{"rounded inner",
                   Frame(fsFlat, 0, fsFlatRounded),
                   {3, 3, 13, 13},
                   {{{0, 0}, clRed}, {{1, 1}, clYellow}, {{2, 2}, clRed}, {{3, 1}, clRed}, {{3, 2}, clWhite},
                    {{3, 3}, kGround}}},
        StyledCase{"square flat inner",
                   With(Frame(fsNone, 1, fsFlat), [](TStyledFrame& f) {
                     f.SquareFlat = true;
                     f.BorderSides = TSides{sdTop};
                   }),
                   {1, 2, 15, 15},
                   {{{0, 0}, clYellow}, {{0, 1}, kGround}, {{1, 1}, clRed}, {{14, 1}, clRed}, {{15, 1}, kGround},
                    {{0, 2}, clRed}, {{0, 14}, clRed}, {{0, 15}, kGround}, {{1, 15}, clRed}}},
        StyledCase{"sides", With(Frame(fsFlat, 1, fsNone), [](TStyledFrame& f) { f.BorderSides = TSides{sdLeft}; }),
                   {2, 0, 16, 16},
                   {{{0, 5}, clRed}, {{1, 5}, clYellow}, {{5, 0}, kGround}}}),
    qelo::test::CaseName());

TEST(ControlFrame, WindowColouredControlsUseSystemColours) {
  PaintCanvas canvas(12, 12, kGround);
  const TRect inner = PaintControlFrame(canvas.canvas, 12, 12, fsLowered, clWindow, clRed, kAllSides, false);
  EXPECT_TRUE(win::EqualRect(&inner, std::array<TRect, 1>{TRect{2, 2, 10, 10}}.data()));
  EXPECT_EQ(canvas.At(0, 0), Rgb(clBtnShadow));
  EXPECT_EQ(canvas.At(1, 1), Rgb(cl3DDkShadow));
  EXPECT_EQ(canvas.At(11, 11), Rgb(clBtnHighlight));
  EXPECT_EQ(canvas.At(2, 2), kGround) << "only the two-pixel band is painted";
}

TEST(ControlFrame, OtherColoursUseTheirOwnShades) {
  PaintCanvas canvas(12, 12, kGround);
  PaintControlFrame(canvas.canvas, 12, 12, fsLowered, clYellow, clRed, kAllSides, false);
  EXPECT_EQ(canvas.At(0, 0), Rgb(DarkenColor(clYellow, 50)));
  EXPECT_EQ(canvas.At(1, 1), Rgb(DarkenColor(clYellow, 100)));
}

TEST(ControlFrame, FlatStylesUseTheFrameColourOverTheControlsColour) {
  PaintCanvas canvas(12, 12, kGround);
  const TRect inner =
      PaintControlFrame(canvas.canvas, 12, 12, fsFlat, clYellow, clRed, TSides{sdLeft, sdTop}, false);
  EXPECT_TRUE(win::EqualRect(&inner, std::array<TRect, 1>{TRect{1, 1, 12, 12}}.data()));
  EXPECT_EQ(canvas.At(0, 0), Rgb(clRed));
  EXPECT_EQ(canvas.At(1, 1), Rgb(clYellow));
  EXPECT_EQ(canvas.At(11, 11), Rgb(clYellow)) << "the band is filled on every side";
  EXPECT_EQ(canvas.At(10, 10), Rgb(clYellow));
  EXPECT_EQ(canvas.At(2, 2), kGround);

  PaintCanvas bold(12, 12, kGround);
  PaintControlFrame(bold.canvas, 12, 12, fsFlatBold, clYellow, clRed, kAllSides, true);
  EXPECT_EQ(bold.At(1, 1), Rgb(clRed));
  EXPECT_EQ(bold.At(2, 2), kGround);
}

TEST(ControlFrame, SkipFillLeavesTheBandAlone) {
  PaintCanvas canvas(12, 12, kGround);
  PaintControlFrame(canvas.canvas, 12, 12, fsFlat, clYellow, clRed, kAllSides, true);
  EXPECT_EQ(canvas.At(0, 0), Rgb(clRed));
  EXPECT_EQ(canvas.At(1, 1), kGround);
}

// Counts the frame paints of a windowed control.
class FramePaints : public vcl::test::FormTest {
 protected:
  TWinControl* AddControl(int width, int height) {
    auto* control = new TWinControl(form);
    control->SetParent(form);
    control->SetBounds(10, 10, width, height);
    control->HandleNeeded();
    auto previous = control->WindowProc;
    control->WindowProc = [this, previous](TMessage& m) {
      if (m.Msg == win::WM_NCPAINT) ++framePaints;
      previous(m);
    };
    script::Pump();
    framePaints = 0;
    return control;
  }
  int framePaints = 0;
};

TEST_F(FramePaints, AVisibleWindowHasItsFramePaintedAgain) {
  TWinControl* control = AddControl(40, 30);
  RedrawControlFrame(control->Handle(), nullptr);
  script::Pump();
  EXPECT_GE(framePaints, 1);
}

TEST_F(FramePaints, AWindowWithNothingToShowIsLeftAlone) {
  TWinControl* control = AddControl(40, 30);
  win::SetWindowRgn(control->Handle(), win::CreateRectRgn(0, 0, 0, 0), 0);
  script::Pump();
  framePaints = 0;
  RedrawControlFrame(control->Handle(), nullptr);
  script::Pump();
  EXPECT_EQ(framePaints, 0);
}

}  // namespace
}  // namespace qelo::ct
