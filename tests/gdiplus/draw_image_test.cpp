// Drawing images: exact same-size copies, scaling from a source rectangle
// without bleed, and fitted draws like the engine's crop.
#include <gtest/gtest.h>

#include <cstdlib>

#include "canvas.h"
#include "gdiplus/graphics.h"

namespace qelo::test {
namespace {

using namespace qelo::gdiplus;

class DrawImage : public GdiplusTest {};

int Channel(uint32_t argb, int shift) { return static_cast<int>(argb >> shift & 0xFF); }

TEST_F(DrawImage, SameSizeDrawOverTransparentIsAnExactCopy) {
  Canvas source(8, 6);
  FillFragile(source);
  source.At(1, 1) = 0xFF123456;
  source.At(2, 1) = 0x80FFFFFF;
  Canvas target(12, 10);
  Graphics graphics(&target.bitmap);
  ASSERT_EQ(graphics.DrawImage(source.bitmap, 3, 2), Status::Ok);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 3 && x < 11 && y >= 2 && y < 8;
      const uint32_t from = inside ? source.At(x - 3, y - 2) : 0;
      // Alpha 0 pixels add nothing, so the target keeps its own bytes.
      EXPECT_EQ(target.At(x, y), from >> 24 == 0 ? 0u : from) << x << "," << y;
    }
  }
}

TEST_F(DrawImage, SameSizeDrawBlendsByTheImagesAlpha) {
  Canvas source(2, 1);
  source.At(0, 0) = 0x80FF0000;
  source.At(1, 0) = 0xFF00FF00;
  Canvas target(2, 1, 0xFF0000FF);
  ASSERT_EQ(Graphics(&target.bitmap).DrawImage(source.bitmap, RectF{0, 0, 2, 1}), Status::Ok);
  // red x 128/255 + blue x 127/255, rounded
  EXPECT_EQ(target.At(0, 0), 0xFF80007Fu);
  EXPECT_EQ(target.At(1, 0), 0xFF00FF00u);
}

TEST_F(DrawImage, DrawingAnImageOntoItselfReadsTheOldPixels) {
  Canvas canvas(6, 1);
  for (int x = 0; x < 6; ++x) canvas.At(x, 0) = 0xFF000000u | static_cast<uint32_t>(x + 1);
  Graphics graphics(&canvas.bitmap);
  ASSERT_EQ(graphics.DrawImage(canvas.bitmap, RectF{1, 0, 5, 1}, RectF{0, 0, 5, 1}), Status::Ok);
  const std::vector<uint32_t> expected{0xFF000001, 0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005};
  EXPECT_EQ(canvas.pixels, expected);
}

// Red all round a green 4 x 4 middle: any red in the result came from
// outside the source rectangle.
struct GreenInRed : Canvas {
  GreenInRed() : Canvas(10, 10, 0xFFFF0000) {
    for (int y = 3; y < 7; ++y) {
      for (int x = 3; x < 7; ++x) At(x, y) = 0xFF00FF00;
    }
  }
};

TEST_F(DrawImage, ScalingTakesNoColourFromOutsideTheSourceRectangle) {
  const GreenInRed image;
  const RectF targets[] = {{0, 0, 40, 40}, {0, 0, 2, 2}, {1.5f, 2.25f, 33.3f, 17.1f}, {0, 0, 40, 3}};
  for (const RectF& dest : targets) {
    Canvas target(40, 40);
    ASSERT_EQ(Graphics(&target.bitmap).DrawImage(image.bitmap, dest, RectF{3, 3, 4, 4}), Status::Ok);
    const InkBox ink = FindInk(target, 0);
    ASSERT_FALSE(ink.Empty());
    for (uint32_t p : target.pixels) {
      EXPECT_TRUE(p == 0 || p == 0xFF00FF00) << std::hex << p << " into " << dest.Width << "x" << dest.Height;
    }
  }
}

TEST_F(DrawImage, ScalingIsBilinear) {
  Canvas image(2, 1);
  image.At(0, 0) = 0xFF000000;
  image.At(1, 0) = 0xFFFFFFFF;
  Canvas target(4, 1);
  ASSERT_EQ(Graphics(&target.bitmap).DrawImage(image.bitmap, RectF{0, 0, 4, 1}), Status::Ok);
  // Target centres fall at source x 0.25, 0.75, 1.25, 1.75; the edges repeat.
  const int expected[] = {0, 64, 191, 255};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(target.At(x, 0) >> 24, 255u);
    EXPECT_NEAR(Channel(target.At(x, 0), 8), expected[x], 3) << x;
  }
}

TEST_F(DrawImage, FittedCropOfTheLeftHalfCopiesItBetweenClearBars) {
  // The engine's crop: the left half of a frame fitted into the whole frame
  // at the same height is a whole-pixel copy between transparent bars.
  Canvas frame(64, 48);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) frame.At(x, y) = 0xFF000000u | static_cast<uint32_t>(x << 16 | y << 8 | (x ^ y));
  }
  Canvas cropped(64, 48, 0xDEADBEEF);
  Graphics graphics(&cropped.bitmap);
  ASSERT_EQ(graphics.Clear(Color(0)), Status::Ok);
  ASSERT_EQ(graphics.DrawImage(frame.bitmap, RectF{16, 0, 32, 48}, RectF{0, 0, 32, 48}), Status::Ok);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      const bool picture = x >= 16 && x < 48;
      ASSERT_EQ(cropped.At(x, y), picture ? frame.At(x - 16, y) : 0u) << x << "," << y;
    }
  }
}

TEST_F(DrawImage, ScaledDrawKeepsToTheClipAndTheDestination) {
  const GreenInRed image;
  Canvas target(20, 20, 0xFF101010);
  Graphics graphics(&target.bitmap);
  Region clip(RectF{0, 0, 20, 20});
  clip.Exclude(RectF{5, 5, 5, 5});
  ASSERT_EQ(graphics.SetClip(clip), Status::Ok);
  ASSERT_EQ(graphics.DrawImage(image.bitmap, RectF{2, 2, 10, 10}, RectF{3, 3, 4, 4}), Status::Ok);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool drawn = x >= 2 && x < 12 && y >= 2 && y < 12 && !(x >= 5 && x < 10 && y >= 5 && y < 10);
      EXPECT_EQ(target.At(x, y), drawn ? 0xFF00FF00u : 0xFF101010u) << x << "," << y;
    }
  }
}

TEST_F(DrawImage, BadRectanglesAreRefused) {
  Canvas image(4, 4), target(4, 4);
  Graphics graphics(&target.bitmap);
  const RectF sources[] = {{-1, 0, 2, 2}, {3, 0, 2, 2}, {0, 0, 0, 2}, {0, 0, 2, NAN}};
  for (const RectF& s : sources) {
    EXPECT_EQ(graphics.DrawImage(image.bitmap, RectF{0, 0, 4, 4}, s), Status::InvalidParameter);
  }
  EXPECT_EQ(graphics.DrawImage(image.bitmap, RectF{0, 0, 0, 4}), Status::InvalidParameter);
  Bitmap broken(0, 0);
  EXPECT_EQ(graphics.DrawImage(broken, 0, 0), Status::InvalidParameter);
  EXPECT_EQ(target.pixels, std::vector<uint32_t>(16, 0));
}

TEST_F(DrawImage, DrawingPastTheEdgesIsCutOff) {
  Canvas image(6, 6, 0xFF204060);
  Canvas target(4, 4);
  Graphics graphics(&target.bitmap);
  ASSERT_EQ(graphics.DrawImage(image.bitmap, -3, -2), Status::Ok);
  ASSERT_EQ(graphics.DrawImage(image.bitmap, RectF{2.5f, 2.5f, 30, 30}), Status::Ok);
  EXPECT_EQ(target.At(0, 0), 0xFF204060u);
  EXPECT_EQ(target.At(3, 3), 0xFF204060u);
}

}  // namespace
}  // namespace qelo::test
