// Crop geometry, edge drags, moves and forced aspects, in window pixels of a
// picture rectangle at the window's origin.
#include <gtest/gtest.h>

#include <cmath>

#include "crop_editor.h"

namespace qelo::player {
namespace {

void ExpectCrop(const RelativeRect& actual, const RelativeRect& expected, const std::string& what) {
  EXPECT_NEAR(actual.left, expected.left, 1e-9) << what;
  EXPECT_NEAR(actual.top, expected.top, 1e-9) << what;
  EXPECT_NEAR(actual.width, expected.width, 1e-9) << what;
  EXPECT_NEAR(actual.height, expected.height, 1e-9) << what;
}

CropEditor EditorOn(float width, float height, const RelativeRect& crop, int32_t aspect = CLIP_ASPECT_FREE) {
  CropEditor editor;
  editor.SetCrop(crop);
  editor.SetClipAspect(aspect);
  editor.UpdateGeometry({0, 0, width, height}, static_cast<int>(width), static_cast<int>(height));
  return editor;
}

struct DragCase {
  const char* what;
  RelativeRect start;
  int32_t aspect;
  DragMode mode;
  int dx, dy;
  RelativeRect expected;
};

void RunDrags(const DragCase* cases, size_t count, float width, float height) {
  for (size_t i = 0; i < count; ++i) {
    const DragCase& c = cases[i];
    CropEditor editor = EditorOn(width, height, c.start, c.aspect);
    editor.BeginDrag();
    ASSERT_TRUE(editor.Drag(c.mode, c.dx, c.dy)) << c.what;
    ExpectCrop(editor.crop(), c.expected, c.what);
  }
}

TEST(CropDrag, EdgesAndMovesStayInsideTheFrameAndAboveTheMinimum) {
  const RelativeRect s{0.25, 0.25, 0.5, 0.5};
  const DragCase cases[] = {
      {"left out", s, 0, DragMode::LeftEdge, -100, 0, {0, 0.25, 0.75, 0.5}},
      {"left past the border keeps the right edge", s, 0, DragMode::LeftEdge, -200, 0, {0, 0.25, 0.75, 0.5}},
      {"left past the right edge stops at the minimum", s, 0, DragMode::LeftEdge, 300, 0, {0.73, 0.25, 0.02, 0.5}},
      {"top past the border keeps the bottom edge", s, 0, DragMode::TopEdge, 0, -150, {0.25, 0, 0.5, 0.75}},
      {"top past the bottom stops at the minimum", s, 0, DragMode::TopEdge, 0, 300, {0.25, 0.73, 0.5, 0.02}},
      {"right past the border", s, 0, DragMode::RightEdge, 200, 0, {0.25, 0.25, 0.75, 0.5}},
      {"right below the minimum", s, 0, DragMode::RightEdge, -300, 0, {0.25, 0.25, 0.02, 0.5}},
      {"bottom past the border", s, 0, DragMode::BottomEdge, 0, 150, {0.25, 0.25, 0.5, 0.75}},
      {"bottom below the minimum", s, 0, DragMode::BottomEdge, 0, -300, {0.25, 0.25, 0.5, 0.02}},
      {"move", s, 0, DragMode::MoveCrop, 40, 30, {0.35, 0.35, 0.5, 0.5}},
      {"move past the corners is held", s, 0, DragMode::MoveCrop, 400, -400, {0.5, 0, 0.5, 0.5}},
  };
  RunDrags(cases, std::size(cases), 400, 300);
}

TEST(CropDrag, AForcedAspectMakesTheOtherSideFollow) {
  const DragCase cases[] = {
      {"4:3 right: height from width", {0, 0, 0.5, 0.5}, CLIP_ASPECT_4_3, DragMode::RightEdge, 40, 0, {0, 0, 0.6, 0.6}},
      {"4:3 left keeps the right edge", {0.5, 0, 0.5, 0.5}, CLIP_ASPECT_4_3, DragMode::LeftEdge, -40, 0, {0.4, 0, 0.6, 0.6}},
      {"16:9 bottom: width from height", {0, 0, 0.5, 0.5}, CLIP_ASPECT_16_9, DragMode::BottomEdge, 0, 30, {0, 0, 0.8, 0.6}},
      {"picture aspect", {0, 0, 0.5, 0.5}, CLIP_ASPECT_PICTURE, DragMode::RightEdge, 40, 0, {0, 0, 0.6, 0.6}},
      // Too tall for the room below the top: the room sets the height and
      // the width follows, so the crop keeps 4:3 and stays in the frame.
      {"4:3 right past the bottom", {0, 0.5, 0.5, 0.25}, CLIP_ASPECT_4_3, DragMode::RightEdge, 200, 0, {0, 0.5, 0.5, 0.5}},
      // 225 rows want 400 columns; 200 are left, which give 112 rows.
      {"16:9 top past the right", {0.5, 0.5, 0.25, 0.25}, CLIP_ASPECT_16_9, DragMode::TopEdge, 0, -150,
       {0.5, 0.75 - 112 / 300.0, 0.5, 112 / 300.0}},
  };
  RunDrags(cases, std::size(cases), 400, 300);
}

TEST(CropDrag, AnEmptyPictureRefusesTheDragInsteadOfDividingByZero) {
  CropEditor editor;
  editor.SetCrop({0.25, 0.25, 0.5, 0.5});
  editor.SetClipAspect(CLIP_ASPECT_PICTURE);
  editor.UpdateGeometry({0, 0, 0, 0}, 0, 0);
  editor.BeginDrag();
  for (DragMode mode : {DragMode::LeftEdge, DragMode::TopEdge, DragMode::RightEdge, DragMode::BottomEdge, DragMode::MoveCrop}) {
    EXPECT_FALSE(editor.Drag(mode, 10, 10));
    ExpectCrop(editor.crop(), {0.25, 0.25, 0.5, 0.5}, "unchanged");
  }
  EXPECT_FALSE(editor.ApplyClipAspect());
}

TEST(CropGeometry, AZeroCropGivesAnEmptyDestinationNotNaN) {
  CropEditor editor = EditorOn(400, 300, {0.5, 0.5, 0, 0});
  const gdiplus::RectF& dest = editor.geometry().cropDest;
  EXPECT_TRUE(std::isfinite(dest.X) && std::isfinite(dest.Y) && std::isfinite(dest.Width) && std::isfinite(dest.Height));
  EXPECT_EQ(dest.Width, 0);
}

void ExpectRect(const gdiplus::RectF& r, float x, float y, float width, float height, const char* which) {
  EXPECT_FLOAT_EQ(r.X, x) << which;
  EXPECT_FLOAT_EQ(r.Y, y) << which;
  EXPECT_FLOAT_EQ(r.Width, width) << which;
  EXPECT_FLOAT_EQ(r.Height, height) << which;
}

TEST(CropGeometry, FrameWindowAndDestinationRectangles) {
  CropEditor editor;
  editor.SetCrop({0.25, 0.5, 0.5, 0.25});
  editor.UpdateGeometry({10, 20, 200, 100}, 640, 480);
  const CropGeometry& g = editor.geometry();
  ExpectRect(g.cropPixels, 160, 240, 320, 120, "frame");
  ExpectRect(g.cropWindow, 60, 70, 100, 25, "window");
  // 320 x 120 fitted into 640 x 480: full width, centred vertically.
  ExpectRect(g.cropDest, 0, 120, 640, 240, "destination");
  EXPECT_FLOAT_EQ(g.cropHandlesWindow[kHandleRight].X, 154);
  EXPECT_FLOAT_EQ(g.cropHandlesWindow[kHandleRight].Y, 76.5f);
}

TEST(CropHitTest, HandlesThenInsideThenNothing) {
  const CropEditor editor = EditorOn(400, 300, {0.25, 0.25, 0.5, 0.5});  // window 100, 75, 200 x 150
  struct Case {
    float x, y;
    DragMode zone;
  };
  const Case cases[] = {
      {199, 77, DragMode::TopEdge},     {199, 222, DragMode::BottomEdge}, {102, 150, DragMode::LeftEdge},
      {297, 150, DragMode::RightEdge},  {150, 100, DragMode::MoveCrop},   {50, 50, DragMode::None},
      {300, 150, DragMode::None},  // the right edge itself lies outside
  };
  for (const Case& c : cases) EXPECT_EQ(editor.HitTest(c.x, c.y), c.zone) << c.x << ", " << c.y;
}

TEST(ClipAspect, ForcingShrinksTheLongerSide) {
  struct Case {
    const char* what;
    int32_t aspect;
    RelativeRect crop;
    bool changes;
    double width, height;
  };
  // A 400 x 400 picture: fractions are window pixels / 400.
  const Case cases[] = {
      {"4:3 of 400 x 200 is 266 x 200", CLIP_ASPECT_4_3, {0, 0, 1, 0.5}, true, 266 / 400.0, 0.5},
      {"4:3 of 300 x 300 is 300 x 225", CLIP_ASPECT_4_3, {0, 0, 0.75, 0.75}, true, 0.75, 225 / 400.0},
      {"4:3 already", CLIP_ASPECT_4_3, {0, 0, 1, 0.75}, false, 1, 0.75},
      {"16:9 of 400 x 200 is 355 x 200", CLIP_ASPECT_16_9, {0, 0, 1, 0.5}, true, 355 / 400.0, 0.5},
      {"16:9 of 160 x 160 is 160 x 90", CLIP_ASPECT_16_9, {0, 0, 0.4, 0.4}, true, 0.4, 90 / 400.0},
      {"picture of 400 x 200 is 200 x 200", CLIP_ASPECT_PICTURE, {0, 0, 1, 0.5}, true, 0.5, 0.5},
      {"free changes nothing", CLIP_ASPECT_FREE, {0, 0, 1, 0.5}, false, 1, 0.5},
  };
  for (const Case& c : cases) {
    CropEditor editor = EditorOn(400, 400, c.crop, c.aspect);
    EXPECT_EQ(editor.ApplyClipAspect(), c.changes) << c.what;
    ExpectCrop(editor.crop(), {0, 0, c.width, c.height}, c.what);
  }
}

}  // namespace
}  // namespace qelo::player
