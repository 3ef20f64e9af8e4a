// Pane layout and picture fitting.
#include <gtest/gtest.h>

#include "pane_geometry.h"

namespace qelo::player {
namespace {

TEST(PaneLayout, TwoPanesSplitAroundAnEightPixelGap) {
  const PaneLayout two{782, 282, true};
  EXPECT_EQ(two.paneWidth(), 387);
  EXPECT_EQ(two.pane2Offset(), 395);
  EXPECT_EQ(two.DecodeSize().cx, 387);
  EXPECT_EQ(two.DecodeSize().cy, 282);
  const PaneLayout one{352, 225, false};
  EXPECT_EQ(one.paneWidth(), 352);
  EXPECT_EQ(one.pane2Offset(), 0);
  EXPECT_EQ(one.DecodeSize().cx, 352) << "one pane decodes at its own size too";
  EXPECT_EQ(one.DecodeSize().cy, 225);
}

TEST(FitAspect, CentresThePictureInThePane) {
  struct Case {
    win::RECT pane;
    int w, h;
    win::RECT expected;
  };
  const Case cases[] = {
      {{0, 0, 400, 300}, 640, 360, {0, 37, 400, 262}},       // wider: bars above and below
      {{0, 0, 400, 300}, 300, 400, {87, 0, 312, 300}},       // taller: bars left and right
      {{0, 0, 400, 300}, 4, 3, {0, 0, 400, 300}},            // same aspect
      {{395, 0, 782, 282}, 387, 218, {395, 32, 782, 250}},   // second pane keeps its offset
  };
  for (const Case& c : cases) {
    win::RECT r{-1, -1, -1, -1};
    ASSERT_TRUE(FitAspect(&r, c.pane, c.w, c.h));
    EXPECT_EQ(r.left, c.expected.left) << c.w << "x" << c.h;
    EXPECT_EQ(r.top, c.expected.top) << c.w << "x" << c.h;
    EXPECT_EQ(r.right, c.expected.right) << c.w << "x" << c.h;
    EXPECT_EQ(r.bottom, c.expected.bottom) << c.w << "x" << c.h;
  }
}

TEST(FitAspect, AnEmptyPictureOrPaneLeavesTheRectangleAlone) {
  const win::RECT before{1, 2, 3, 4};
  for (auto [pane, w, h] : {std::tuple{win::RECT{0, 0, 400, 300}, 0, 300}, std::tuple{win::RECT{0, 0, 400, 300}, 400, 0},
                            std::tuple{win::RECT{0, 0, 0, 300}, 400, 300}}) {
    win::RECT r = before;
    EXPECT_FALSE(FitAspect(&r, pane, w, h));
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.bottom, 4);
  }
}

TEST(VideoRects, FitTheFirstPaneAndShiftIntoTheSecond) {
  struct Case {
    PaneLayout layout;
    int w, h;
    gdiplus::RectF first;
    float secondX;
  };
  const Case cases[] = {
      {{400, 300, false}, 640, 360, {0, 37.5f, 400, 225}, 0},
      {{400, 300, false}, 300, 400, {87.5f, 0, 225, 300}, 87.5f},
      {{782, 282, true}, 387, 218, {0, 32, 387, 218}, 395},
  };
  for (const Case& c : cases) {
    const VideoRects r = ComputeVideoRects(c.layout, c.w, c.h);
    EXPECT_FLOAT_EQ(r.videoRect.X, c.first.X);
    EXPECT_FLOAT_EQ(r.videoRect.Y, c.first.Y);
    EXPECT_FLOAT_EQ(r.videoRect.Width, c.first.Width);
    EXPECT_FLOAT_EQ(r.videoRect.Height, c.first.Height);
    EXPECT_FLOAT_EQ(r.videoRect2.X, c.secondX);
    EXPECT_FLOAT_EQ(r.videoRect2.Y, c.first.Y);
  }
  const VideoRects none = ComputeVideoRects({400, 300, false}, 0, 0);
  EXPECT_EQ(none.videoRect.Width, 0);
  EXPECT_EQ(none.videoRect.Height, 0);
}

TEST(Contains, HoldsTheLeftAndTopEdgesOnly) {
  const gdiplus::RectF r{10, 20, 5, 5};
  EXPECT_TRUE(Contains(r, 10, 20));
  EXPECT_TRUE(Contains(r, 14.9f, 24.9f));
  EXPECT_FALSE(Contains(r, 15, 22));
  EXPECT_FALSE(Contains(r, 12, 25));
}

}  // namespace
}  // namespace qelo::player
