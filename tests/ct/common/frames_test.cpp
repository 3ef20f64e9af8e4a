// Frame sides, the frame styles in system colours and in shades of one
// colour, the push-button edge, boxes, the focus outline and the rounded
// flat border: golden pixels and returned rectangles on small canvases.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "common/case_name.h"
#include "ct_common_color.h"
#include "ct_common_frames.h"
#include "paint_canvas.h"

namespace qelo::ct {
namespace {

using namespace vcl;
using test::kGround;
using test::PaintCanvas;
using test::Rgb;

struct Pixel {
  int x, y;
  TColor color;
};

struct FrameCase {
  const char* name;
  std::function<TRect(TCanvas&, const TRect&)> paint;
  TRect rect;
  TRect inner;
  std::vector<Pixel> pixels;
  int untouched = -1;  // pixels left in the ground colour, when checked
};

void PrintTo(const FrameCase& c, std::ostream* out) { *out << c.name; }

class FramePainters : public testing::TestWithParam<FrameCase> {};

TEST_P(FramePainters, DrawTheirPixelsAndReturnTheRectangleInside) {
  const FrameCase& c = GetParam();
  PaintCanvas canvas(10, 10, kGround);
  const TRect inner = c.paint(canvas.canvas, c.rect);
  EXPECT_TRUE(win::EqualRect(&inner, &c.inner))
      << inner.left << "," << inner.top << "," << inner.right << "," << inner.bottom;
  for (const Pixel& p : c.pixels)
    EXPECT_EQ(canvas.At(p.x, p.y), Rgb(p.color)) << "at " << p.x << "," << p.y << canvas.Picture(kGround);
  if (c.untouched >= 0) {
    EXPECT_EQ(canvas.Count(kGround), c.untouched) << canvas.Picture(kGround);
  }
}

constexpr TRect kBox{1, 1, 9, 9};
constexpr TSides kTop{sdTop};

auto Sides(TColor upperLeft, TColor lowerRight, TSides sides) {
  return [=](TCanvas& c, const TRect& r) { return PaintFrameSides(c, r, upperLeft, lowerRight, sides); };
}
auto Border(TFrameStyle style, TSides sides = kAllSides) {
  return [=](TCanvas& c, const TRect& r) { return PaintBorderSides(c, r, style, sides); };
}
auto ColorBorder(TColor color, TFrameStyle style, TSides sides = kAllSides) {
  return [=](TCanvas& c, const TRect& r) { return PaintColorBorderSides(c, r, color, sides, style); };
}

const TColor kD50 = DarkenColor(clRed, 50), kD100 = DarkenColor(clRed, 100);
const TColor kL50 = LightenColor(clRed, 50), kL100 = LightenColor(clRed, 100);

INSTANTIATE_TEST_SUITE_P(
    Golden, FramePainters,
    testing::Values(
        // Left and top in the first colour; right and bottom own the corners they end in.
        FrameCase{"sides", Sides(clRed, clBlue, kAllSides), kBox, {2, 2, 8, 8},
                  {{1, 1, clRed}, {1, 7, clRed}, {7, 1, clRed}, {8, 1, clBlue}, {8, 8, clBlue}, {1, 8, clBlue},
                   {2, 2, kGround}},
                  100 - 28},
        FrameCase{"no colour still shrinks", Sides(clNone, clNone, kAllSides), kBox, {2, 2, 8, 8}, {}, 100},
        FrameCase{"top and right", Sides(clRed, clBlue, TSides{sdTop, sdRight}), kBox, {1, 2, 8, 9},
                  {{1, 1, clRed}, {7, 1, clRed}, {8, 1, clBlue}, {8, 8, clBlue}, {1, 2, kGround}},
                  100 - 15},
        FrameCase{"repeated",
                  [](TCanvas& c, const TRect& r) { return PaintFrameSidesRepeated(c, r, clRed, clBlue, kAllSides, 3); },
                  kBox, {4, 4, 6, 6}, {{3, 3, clRed}, {6, 6, clBlue}, {4, 4, kGround}}, 100 - 60},
        FrameCase{"flat", Border(fsFlat), kBox, {2, 2, 8, 8}, {{1, 1, cl3DDkShadow}, {8, 8, cl3DDkShadow}}},
        FrameCase{"flat bold", Border(fsFlatBold), kBox, {3, 3, 7, 7},
                  {{1, 1, clBtnShadow}, {2, 2, clBtnShadow}, {7, 7, clBtnShadow}, {3, 3, kGround}}},
        FrameCase{"status", Border(fsStatus), kBox, {2, 2, 8, 8}, {{1, 1, clBtnShadow}, {8, 8, clBtnHighlight}}},
        FrameCase{"popup", Border(fsPopup), kBox, {2, 2, 8, 8}, {{1, 1, clBtnHighlight}, {8, 8, clBtnShadow}}},
        FrameCase{"raised", Border(fsRaised), kBox, {3, 3, 7, 7},
                  {{1, 1, cl3DLight}, {8, 8, cl3DDkShadow}, {2, 2, clBtnHighlight}, {7, 7, clBtnShadow}}},
        FrameCase{"lowered", Border(fsLowered), kBox, {3, 3, 7, 7},
                  {{1, 1, clBtnShadow}, {8, 8, clBtnHighlight}, {2, 2, cl3DDkShadow}, {7, 7, cl3DLight}}},
        FrameCase{"button up", Border(fsButtonUp), kBox, {3, 3, 7, 7},
                  {{1, 1, clBtnHighlight}, {8, 8, cl3DDkShadow}, {2, 2, cl3DLight}, {7, 7, clBtnShadow}}},
        FrameCase{"button down", Border(fsButtonDown), kBox, {3, 3, 7, 7},
                  {{1, 1, clBtnText}, {8, 8, clBtnText}, {2, 2, clBtnShadow}, {7, 7, clBtnShadow}}},
        // The etched pair: a shadow line with a highlight line inside it on
        // the left and top, and outside it on the right and bottom.
        FrameCase{"groove", Border(fsGroove), kBox, {3, 3, 7, 7},
                  {{1, 1, clBtnShadow}, {2, 2, clBtnHighlight}, {7, 7, clBtnShadow}, {8, 8, clBtnHighlight},
                   {8, 1, clBtnHighlight}, {1, 8, clBtnHighlight}, {7, 2, clBtnShadow}, {2, 7, clBtnShadow}},
                  100 - 48},
        FrameCase{"bump", Border(fsBump), kBox, {3, 3, 7, 7},
                  {{1, 1, clBtnHighlight}, {2, 2, clBtnShadow}, {7, 7, clBtnHighlight}, {8, 8, clBtnShadow}}},
        FrameCase{"groove on the top only", Border(fsGroove, kTop), kBox, {1, 3, 9, 9},
                  {{1, 1, clBtnShadow}, {8, 1, clBtnShadow}, {1, 2, clBtnHighlight}, {8, 2, clBtnHighlight},
                   {1, 3, kGround}},
                  100 - 16},
        FrameCase{"groove on the left only", Border(fsGroove, TSides{sdLeft}), kBox, {3, 1, 9, 9},
                  {{1, 1, clBtnShadow}, {1, 8, clBtnShadow}, {2, 1, clBtnHighlight}, {2, 8, clBtnHighlight}},
                  100 - 16},
        FrameCase{"colour flat", ColorBorder(clRed, fsFlat), kBox, {2, 2, 8, 8}, {{1, 1, kD50}, {8, 8, kD50}}},
        FrameCase{"colour lowered", ColorBorder(clRed, fsLowered), kBox, {3, 3, 7, 7},
                  {{1, 1, kD50}, {8, 8, kL100}, {2, 2, kD100}, {7, 7, kL50}}},
        FrameCase{"colour raised", ColorBorder(clRed, fsRaised), kBox, {3, 3, 7, 7},
                  {{1, 1, kL50}, {8, 8, kD100}, {2, 2, kL100}, {7, 7, kD50}}},
        FrameCase{"colour button down", ColorBorder(clRed, fsButtonDown), kBox, {3, 3, 7, 7},
                  {{1, 1, kD100}, {8, 8, kD100}, {2, 2, kD50}, {7, 7, kD50}}},
        FrameCase{"colour button up", ColorBorder(clRed, fsButtonUp), kBox, {3, 3, 7, 7},
                  {{1, 1, kL100}, {8, 8, kD100}, {2, 2, LightenColor(clRed, 40)}, {7, 7, kD50}}},
        FrameCase{"colour groove", ColorBorder(clRed, fsGroove), kBox, {3, 3, 7, 7},
                  {{1, 1, kD50}, {2, 2, kL100}, {8, 8, kL100}}},
        FrameCase{"colour status", ColorBorder(clRed, fsStatus), kBox, {2, 2, 8, 8}, {{1, 1, kD50}, {8, 8, kL100}}},
        FrameCase{"colour popup", ColorBorder(clRed, fsPopup), kBox, {2, 2, 8, 8}, {{1, 1, kL100}, {8, 8, kD50}}},
        FrameCase{"colour of a system colour", ColorBorder(clBtnFace, fsFlat), kBox, {2, 2, 8, 8},
                  {{1, 1, DarkenColor(clBtnFace, 50)}}},
        FrameCase{"button edge up", [](TCanvas& c, const TRect& r) { return PaintButtonEdge(c, r, false); }, kBox,
                  {3, 3, 7, 7}, {{1, 1, clBtnHighlight}, {8, 8, cl3DDkShadow}, {2, 2, cl3DLight}, {7, 7, clBtnShadow}}},
        FrameCase{"button edge down", [](TCanvas& c, const TRect& r) { return PaintButtonEdge(c, r, true); }, kBox,
                  {3, 3, 7, 7}, {{1, 1, clBtnText}, {8, 1, clBtnText}, {2, 2, clBtnShadow}, {7, 7, clBtnShadow}}},
        FrameCase{"box outline", [](TCanvas& c, const TRect& r) { return PaintBoxOutline(c, r, clRed); }, kBox,
                  {2, 2, 8, 8}, {{1, 1, clRed}, {8, 8, clRed}, {8, 1, clRed}}, 100 - 28},
        FrameCase{"box corners", [](TCanvas& c, const TRect& r) { return PaintBoxCorners(c, r, clRed, 3); }, kBox,
                  {2, 2, 8, 8},
                  {{1, 1, clRed}, {3, 1, clRed}, {1, 3, clRed}, {4, 1, kGround}, {1, 4, kGround},
                   {8, 1, clRed}, {6, 1, clRed}, {8, 3, clRed}, {1, 8, clRed}, {1, 6, clRed}, {3, 8, clRed},
                   {8, 8, clRed}, {6, 8, clRed}, {8, 6, clRed}},
                  100 - 20},
        FrameCase{"focus outline", [](TCanvas& c, const TRect& r) { return PaintFocusOutline(c, r); }, kBox,
                  {2, 2, 8, 8},
                  {{1, 1, kGround}, {1, 2, clBlack}, {1, 3, kGround}, {1, 8, clBlack}, {2, 1, clBlack},
                   {3, 1, kGround}, {8, 2, clBlack}, {2, 8, clBlack}, {8, 8, clBlack}},
                  100 - 15},
        FrameCase{"rounded flat border",
                  [](TCanvas& c, const TRect& r) { return PaintRoundedFlatBorder(c, r, clRed, kAllSides); }, kBox,
                  {3, 3, 7, 7},
                  {{1, 1, kGround}, {2, 1, kGround}, {1, 2, kGround}, {3, 1, clRed}, {6, 1, clRed}, {7, 1, kGround},
                   {1, 3, clRed}, {1, 6, clRed}, {1, 7, kGround}, {2, 2, clRed}, {7, 2, clRed}, {7, 7, clRed},
                   {2, 7, clRed}, {8, 3, clRed}, {3, 8, clRed}},
                  100 - 20},
        FrameCase{"rounded top only",
                  [](TCanvas& c, const TRect& r) { return PaintRoundedFlatBorder(c, r, clRed, kTop); }, kBox,
                  {1, 3, 9, 9}, {{1, 1, clRed}, {8, 1, clRed}, {2, 2, kGround}}, 100 - 8}),
    qelo::test::CaseName());

TEST(FramePainters, NoSidesLeaveTheRectangleAndCanvasAsTheyAre) {
  for (int style = fsNone; style <= fsFlatRounded; ++style) {
    PaintCanvas canvas(10, 10, kGround);
    const auto s = static_cast<TFrameStyle>(style);
    const TRect a = PaintBorderSides(canvas.canvas, kBox, s, TSides{});
    const TRect b = PaintColorBorderSides(canvas.canvas, kBox, clRed, TSides{}, s);
    const TRect c = PaintRoundedFlatBorder(canvas.canvas, kBox, clRed, TSides{});
    EXPECT_TRUE(win::EqualRect(&a, &kBox)) << style;
    EXPECT_TRUE(win::EqualRect(&b, &kBox)) << style;
    EXPECT_TRUE(win::EqualRect(&c, &kBox)) << style;
    EXPECT_EQ(canvas.Count(kGround), 100) << style << canvas.Picture(kGround);
  }
}

TEST(FramePainters, NoneDrawsNothingInEitherColouring) {
  PaintCanvas canvas(10, 10, kGround);
  const TRect a = PaintBorder(canvas.canvas, kBox, fsNone);
  const TRect b = PaintColorBorder(canvas.canvas, kBox, clRed, fsNone);
  EXPECT_TRUE(win::EqualRect(&a, &kBox));
  EXPECT_TRUE(win::EqualRect(&b, &kBox));
  EXPECT_EQ(canvas.Count(kGround), 100);
}

TEST(FramePainters, ChainedPaintersNestInsideEachOther) {
  PaintCanvas canvas(10, 10, kGround);
  TRect r = PaintBorder(canvas.canvas, TRect{0, 0, 10, 10}, fsRaised);
  r = PaintBoxOutline(canvas.canvas, r, clRed);
  r = PaintColorBorder(canvas.canvas, r, clBlue, fsFlat);
  EXPECT_TRUE(win::EqualRect(&r, std::array<TRect, 1>{TRect{4, 4, 6, 6}}.data()));
  EXPECT_EQ(canvas.At(2, 2), Rgb(clRed));
  EXPECT_EQ(canvas.At(3, 3), Rgb(DarkenColor(clBlue, 50)));
  EXPECT_EQ(canvas.Count(kGround), 4);
}

}  // namespace
}  // namespace qelo::ct
