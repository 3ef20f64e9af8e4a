// Regions (combination, hit tests, filling, clipping) and dashed pens.
#include <gtest/gtest.h>

#include <string>

#include "canvas.h"
#include "gdiplus/graphics.h"

namespace qelo::test {
namespace {

using namespace qelo::gdiplus;

class RegionsAndPens : public GdiplusTest {};

struct RegionCase {
  const char* name;
  Region region;
};

std::vector<RegionCase> RegionCases() {
  std::vector<RegionCase> cases;
  Region frameMinusCrop(RectF{0, 0, 24, 16});
  frameMinusCrop.Exclude(RectF{6.2f, 4.7f, 9.6f, 6.1f});
  cases.push_back({"frame minus crop", frameMinusCrop});
  Region united(RectF{1, 1, 5, 5});
  united.Union(RectF{4, 3, 10, 2});
  cases.push_back({"union", united});
  Region crossed(RectF{2, 2, 12, 8});
  crossed.Intersect(RectF{8, 0, 20, 5});
  cases.push_back({"intersect", crossed});
  Region either(RectF{0, 0, 10, 10});
  either.Xor(RectF{5, 5, 10, 10});
  cases.push_back({"xor", either});
  Region nested;  // infinite
  nested.Exclude(united);
  nested.Intersect(RectF{0, 0, 20, 12});
  cases.push_back({"infinite minus a region", nested});
  Region nothing;
  nothing.MakeEmpty();
  cases.push_back({"empty", nothing});
  return cases;
}

TEST_F(RegionsAndPens, FillRegionPaintsExactlyTheInsidePixels) {
  for (const RegionCase& c : RegionCases()) {
    Canvas canvas(24, 16);
    ASSERT_EQ(Graphics(&canvas.bitmap).FillRegion(SolidBrush(Color(0xFFFFFFFF)), c.region), Status::Ok) << c.name;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 24; ++x) {
        EXPECT_EQ(canvas.At(x, y) != 0, c.region.IsVisible(x, y)) << c.name << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(RegionsAndPens, ShadeOutsideTheCropLeavesTheCropUntouched) {
  // The player's crop editing: darken the frame outside the crop rectangle.
  Canvas frame(16, 12);
  FillFragile(frame);
  const std::vector<uint32_t> before = frame.pixels;
  Region outside(RectF{0, 0, 16, 12});
  outside.Exclude(RectF{4, 3, 6, 5});
  ASSERT_EQ(Graphics(&frame.bitmap).FillRegion(SolidBrush(Color(0x80000000)), outside), Status::Ok);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool crop = x >= 4 && x < 10 && y >= 3 && y < 8;
      if (crop) {
        EXPECT_EQ(frame.At(x, y), before[y * 16 + x]) << x << "," << y;
      } else {
        EXPECT_GE(frame.At(x, y) >> 24, 0x80u) << x << "," << y;
      }
    }
  }
}

TEST_F(RegionsAndPens, ClipsCombine) {
  Canvas canvas(10, 10);
  Graphics graphics(&canvas.bitmap);
  ASSERT_EQ(graphics.SetClip(Region(RectF{0, 0, 6, 10})), Status::Ok);
  ASSERT_EQ(graphics.SetClip(Region(RectF{3, 0, 7, 10}), CombineMode::Intersect), Status::Ok);
  ASSERT_EQ(graphics.SetClip(Region(RectF{0, 0, 10, 2}), CombineMode::Exclude), Status::Ok);
  ASSERT_EQ(graphics.FillRectangle(SolidBrush(Color(0xFF00FF00)), {0, 0, 10, 10}), Status::Ok);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      EXPECT_EQ(canvas.At(x, y) != 0, x >= 3 && x < 6 && y >= 2) << x << "," << y;
    }
  }
  graphics.ResetClip();
  ASSERT_EQ(graphics.FillRectangle(SolidBrush(Color(0xFF0000FF)), {0, 0, 1, 1}), Status::Ok);
  EXPECT_EQ(canvas.At(0, 0), 0xFF0000FFu);
}

TEST_F(RegionsAndPens, RegionBoundsHoldTheInside) {
  for (const RegionCase& c : RegionCases()) {
    const RectF b = c.region.GetBounds();
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 24; ++x) {
        if (!c.region.IsVisible(x, y)) continue;
        EXPECT_TRUE(x + 0.5f >= b.X && x + 0.5f < b.X + b.Width && y + 0.5f >= b.Y && y + 0.5f < b.Y + b.Height)
            << c.name;
      }
    }
  }
}

// The top edge of a rectangle outline, as 'x' for drawn and '.' for not.
std::string TopEdge(DashStyle dash, float width = 1) {
  Canvas canvas(40, 12);
  Pen pen(Color(0xFF0000FF), width);
  pen.SetDashStyle(dash);
  EXPECT_EQ(Graphics(&canvas.bitmap).DrawRectangle(pen, {2, 2, 32, 6}), Status::Ok);
  std::string edge;
  for (int x = 2; x <= 34; ++x) edge += canvas.At(x, 2) ? 'x' : '.';
  return edge;
}

TEST_F(RegionsAndPens, SolidOutlineCoversEdgePixelsOnly) {
  Canvas canvas(20, 12);
  FillFragile(canvas);
  const std::vector<uint32_t> before = canvas.pixels;
  ASSERT_EQ(Graphics(&canvas.bitmap).DrawRectangle(Pen(Color(0xFF0000FF)), {2, 3, 10, 5}), Status::Ok);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool inBox = x >= 2 && x <= 12 && y >= 3 && y <= 8;
      const bool edge = inBox && (x == 2 || x == 12 || y == 3 || y == 8);
      EXPECT_EQ(canvas.At(x, y), edge ? 0xFF0000FFu : before[y * 20 + x]) << x << "," << y;
    }
  }
}

TEST_F(RegionsAndPens, DashStylesFollowTheirPatterns) {
  EXPECT_EQ(TopEdge(DashStyle::Solid), std::string(33, 'x'));
  const struct {
    DashStyle dash;
    const char* period;
  } cases[] = {{DashStyle::Dash, "xxx."}, {DashStyle::Dot, "x."}, {DashStyle::DashDot, "xxx.x."},
               {DashStyle::DashDotDot, "xxx.x.x."}};
  for (const auto& c : cases) {
    const std::string edge = TopEdge(c.dash);
    const std::string period = c.period;
    // The pattern starts at the corner; compare whole periods after it.
    const std::string body = edge.substr(1, 24);
    bool found = false;
    for (std::size_t shift = 0; shift < period.size() && !found; ++shift) {
      std::string expected;
      while (expected.size() < body.size() + shift) expected += period;
      found = body == expected.substr(shift, body.size());
    }
    EXPECT_TRUE(found) << edge << " should repeat " << period;
  }
}

TEST_F(RegionsAndPens, DashesScaleWithThePenWidth) {
  Canvas canvas(60, 20);
  Pen pen(Color(0xFF0000FF), 3);
  pen.SetDashStyle(DashStyle::Dash);
  ASSERT_EQ(Graphics(&canvas.bitmap).DrawRectangle(pen, {4, 4, 48, 10}), Status::Ok);
  int longestRun = 0, run = 0;
  for (int x = 8; x < 50; ++x) {
    run = canvas.At(x, 4) ? run + 1 : 0;
    longestRun = std::max(longestRun, run);
  }
  EXPECT_EQ(longestRun, 9);  // 3 widths of 3 pixels
}

TEST_F(RegionsAndPens, HugeShapesDrawWhatFallsOnTheSurface) {
  constexpr float kFar = 3e9f;
  Canvas canvas(12, 8);
  Graphics graphics(&canvas.bitmap);
  ASSERT_EQ(graphics.FillRectangle(SolidBrush(Color(0xFF0000FF)), {-kFar, -kFar, 2 * kFar, 2 * kFar}), Status::Ok);
  EXPECT_EQ(canvas.pixels, std::vector<uint32_t>(96, 0xFF0000FF));
  Region huge(RectF{-kFar, 2, 2 * kFar, 3});
  ASSERT_EQ(graphics.FillRegion(SolidBrush(Color(0xFF00FF00)), huge), Status::Ok);
  ASSERT_EQ(graphics.DrawRectangle(Pen(Color(0xFFFF0000)), {-kFar, 6, 2 * kFar, kFar}), Status::Ok);
  for (int y = 0; y < 8; ++y) {
    const uint32_t expected = y >= 2 && y < 5 ? 0xFF00FF00 : y == 6 ? 0xFFFF0000 : 0xFF0000FF;
    for (int x = 0; x < 12; ++x) EXPECT_EQ(canvas.At(x, y), expected) << x << "," << y;
  }
}

TEST_F(RegionsAndPens, BadPensAreRefused) {
  Canvas canvas(4, 4);
  Graphics graphics(&canvas.bitmap);
  EXPECT_EQ(graphics.DrawRectangle(Pen(Color(0xFFFFFFFF), 0), {0, 0, 2, 2}), Status::InvalidParameter);
  EXPECT_EQ(graphics.DrawRectangle(Pen(Color(0xFFFFFFFF), NAN), {0, 0, 2, 2}), Status::InvalidParameter);
  EXPECT_EQ(canvas.pixels, std::vector<uint32_t>(16, 0));
}

}  // namespace
}  // namespace qelo::test
