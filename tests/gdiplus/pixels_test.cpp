// Bitmaps over caller buffers, owned bitmaps, clearing, filling and lock bits.
#include <gtest/gtest.h>

#include "canvas.h"
#include "gdiplus/graphics.h"

namespace qelo::test {
namespace {

using namespace qelo::gdiplus;

class Pixels : public GdiplusTest {};

TEST_F(Pixels, BitmapOverCallerBufferSharesItsPixels) {
  Canvas canvas(4, 3, 0x11223344);
  ASSERT_EQ(canvas.bitmap.GetLastStatus(), Status::Ok);
  EXPECT_EQ(canvas.bitmap.GetWidth(), 4);
  EXPECT_EQ(canvas.bitmap.GetHeight(), 3);
  canvas.At(2, 1) = 0xA0B0C0D0;
  EXPECT_EQ(ReadPixels(canvas.bitmap)[1 * 4 + 2], 0xA0B0C0D0u);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&canvas.At(0, 0));
  EXPECT_EQ(bytes[0], 0x44);  // blue first
  EXPECT_EQ(bytes[3], 0x11);  // alpha last
}

TEST_F(Pixels, BadSurfacesAreRefused) {
  uint32_t words[2] = {};
  auto* p = reinterpret_cast<uint8_t*>(words);
  struct Case {
    const char* name;
    int width, height, stride;
    uint8_t* scan0;
  } cases[] = {
      {"null pixels", 1, 1, 4, nullptr}, {"zero width", 0, 1, 4, p},     {"negative height", 1, -1, 4, p},
      {"short stride", 2, 1, 4, p},      {"unaligned stride", 1, 1, 6, p}, {"negative stride", 1, 1, -4, p},
      {"huge", 1 << 20, 1 << 20, 4 << 20, p},  {"unaligned pixels", 1, 1, 4, p + 1},
  };
  for (const Case& c : cases) {
    Bitmap bitmap(c.width, c.height, c.stride, PixelFormat::Argb32, c.scan0);
    EXPECT_EQ(bitmap.GetLastStatus(), Status::InvalidParameter) << c.name;
    EXPECT_EQ(bitmap.GetWidth(), 0) << c.name;
    Graphics graphics(c.scan0, c.width, c.height, c.stride);
    EXPECT_EQ(graphics.GetLastStatus(), Status::InvalidParameter) << c.name;
    EXPECT_EQ(graphics.Clear(Color(0xFFFFFFFF)), Status::InvalidParameter) << c.name;
  }
  EXPECT_EQ(Bitmap(0, 5).GetLastStatus(), Status::InvalidParameter);
  Graphics none(static_cast<Bitmap*>(nullptr));
  EXPECT_EQ(none.FillRectangle(SolidBrush(Color(0xFF000000)), {0, 0, 1, 1}), Status::InvalidParameter);
}

TEST_F(Pixels, OwnedBitmapStartsTransparentBlack) {
  Bitmap bitmap(5, 2);
  ASSERT_EQ(bitmap.GetLastStatus(), Status::Ok);
  EXPECT_EQ(ReadPixels(bitmap), std::vector<uint32_t>(10, 0));
}

TEST_F(Pixels, ClearWritesTheExactStraightColour) {
  Canvas canvas(6, 5);
  FillFragile(canvas);
  Graphics graphics(&canvas.bitmap);
  // Alpha 3 with full colour would not survive premultiplication.
  ASSERT_EQ(graphics.Clear(Color(0x03FF7F01)), Status::Ok);
  EXPECT_EQ(canvas.pixels, std::vector<uint32_t>(30, 0x03FF7F01));
}

TEST_F(Pixels, ClearKeepsToTheClip) {
  Canvas canvas(8, 8);
  FillFragile(canvas);
  const std::vector<uint32_t> before = canvas.pixels;
  Graphics graphics(&canvas.bitmap);
  ASSERT_EQ(graphics.SetClip(Region(RectF{2, 3, 4, 2})), Status::Ok);
  ASSERT_EQ(graphics.Clear(Color(0x80102030)), Status::Ok);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
      EXPECT_EQ(canvas.At(x, y), inside ? 0x80102030u : before[y * 8 + x]) << x << "," << y;
    }
  }
}

TEST_F(Pixels, FillingLeavesUntouchedPixelsBitIdentical) {
  const struct {
    const char* name;
    Color colour;
  } brushes[] = {{"opaque", Color(0xFF00C000)}, {"half", Color(0x80FF0000)}, {"faint", Color(0x05FFFFFF)}};
  for (const auto& b : brushes) {
    Canvas canvas(20, 16);
    FillFragile(canvas);
    const std::vector<uint32_t> before = canvas.pixels;
    Graphics graphics(&canvas.bitmap);
    ASSERT_EQ(graphics.FillRectangle(SolidBrush(b.colour), {4, 5, 7, 3}), Status::Ok) << b.name;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 20; ++x) {
        const bool inside = x >= 4 && x < 11 && y >= 5 && y < 8;
        if (!inside) {
          EXPECT_EQ(canvas.At(x, y), before[y * 20 + x]) << b.name << " " << x << "," << y;
        }
      }
    }
  }
}

TEST_F(Pixels, OpaqueFillIsExactAndHalfFillBlendsOverOpaque) {
  Canvas canvas(4, 1, 0xFF0000FF);
  Graphics graphics(&canvas.bitmap);
  ASSERT_EQ(graphics.FillRectangle(SolidBrush(Color(0xFF123456)), {0, 0, 2, 1}), Status::Ok);
  ASSERT_EQ(graphics.FillRectangle(SolidBrush(Color(0x80FF0000)), {2, 0, 2, 1}), Status::Ok);
  EXPECT_EQ(canvas.At(0, 0), 0xFF123456u);
  // 128/255 of red over blue, within one step of rounding.
  const Color blended(canvas.At(3, 0));
  EXPECT_EQ(blended.GetA(), 255);
  EXPECT_NEAR(blended.GetR(), 128, 1);
  EXPECT_EQ(blended.GetG(), 0);
  EXPECT_NEAR(blended.GetB(), 127, 1);
}

TEST_F(Pixels, FillOverTransparentKeepsStraightColour) {
  Canvas canvas(2, 1, 0);
  Graphics graphics(&canvas.bitmap);
  ASSERT_EQ(graphics.FillRectangle(SolidBrush(Color(0x80FF8040)), {0, 0, 2, 1}), Status::Ok);
  const Color c(canvas.At(0, 0));
  EXPECT_EQ(c.GetA(), 0x80);
  EXPECT_NEAR(c.GetR(), 0xFF, 1);
  EXPECT_NEAR(c.GetG(), 0x80, 1);
  EXPECT_NEAR(c.GetB(), 0x40, 1);
}

TEST_F(Pixels, LockBitsGivesTheRectangleAndBlocksUse) {
  Canvas canvas(6, 4);
  canvas.At(3, 2) = 0xCAFEBABE;
  BitmapData data;
  const Rect area{2, 1, 3, 2};
  ASSERT_EQ(canvas.bitmap.LockBits(&area, ImageLockModeRead | ImageLockModeWrite, PixelFormat::Argb32, &data),
            Status::Ok);
  EXPECT_EQ(data.Width, 3);
  EXPECT_EQ(data.Height, 2);
  EXPECT_EQ(data.Stride, 24);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(data.Scan0 + data.Stride)[1], 0xCAFEBABEu);
  reinterpret_cast<uint32_t*>(data.Scan0)[0] = 0x01020304;

  BitmapData second;
  EXPECT_EQ(canvas.bitmap.LockBits(nullptr, ImageLockModeRead, PixelFormat::Argb32, &second), Status::WrongState);
  Graphics graphics(&canvas.bitmap);
  EXPECT_EQ(graphics.Clear(Color(0)), Status::WrongState);
  EXPECT_EQ(graphics.GetLastStatus(), Status::WrongState);
  Canvas other(6, 4);
  EXPECT_EQ(Graphics(&other.bitmap).DrawImage(canvas.bitmap, 0, 0), Status::WrongState);

  ASSERT_EQ(canvas.bitmap.UnlockBits(&data), Status::Ok);
  EXPECT_EQ(canvas.bitmap.UnlockBits(&data), Status::WrongState);
  EXPECT_EQ(canvas.At(2, 1), 0x01020304u);
  EXPECT_EQ(graphics.Clear(Color(0)), Status::Ok);
}

TEST_F(Pixels, LockBitsRefusesBadRequests) {
  Canvas canvas(4, 4);
  BitmapData data;
  const Rect outside{2, 2, 3, 1}, empty{0, 0, 0, 1}, negative{-1, 0, 2, 2};
  for (const Rect* r : {&outside, &empty, &negative}) {
    EXPECT_EQ(canvas.bitmap.LockBits(r, ImageLockModeRead, PixelFormat::Argb32, &data), Status::InvalidParameter);
  }
  EXPECT_EQ(canvas.bitmap.LockBits(nullptr, 0, PixelFormat::Argb32, &data), Status::InvalidParameter);
  EXPECT_EQ(canvas.bitmap.LockBits(nullptr, ImageLockModeRead, PixelFormat::Argb32, nullptr), Status::InvalidParameter);
  EXPECT_FALSE(canvas.bitmap.IsLocked());
}

TEST_F(Pixels, StartupCountsTokensAndRefusesOtherVersions) {
  uintptr_t token = 0;
  EXPECT_EQ(Startup(&token, StartupInput{2}), Status::UnsupportedVersion);
  EXPECT_EQ(Startup(nullptr), Status::InvalidParameter);
  ASSERT_EQ(Startup(&token), Status::Ok);
  EXPECT_NE(token, 0u);
  Shutdown(token);
  Shutdown(token);  // a second shut-down of one token changes nothing
  Shutdown(0);
}

}  // namespace
}  // namespace qelo::test
