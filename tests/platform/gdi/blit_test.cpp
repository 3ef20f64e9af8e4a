// Raster operations, stretching, mirroring, monochrome conversion,
// transparent and alpha blits.
#include <gtest/gtest.h>

#include "canvas.h"

namespace qelo::test {
namespace {

struct RopCase {
  const char* name;
  uint32_t rop;
  COLORREF (*expected)(COLORREF p, COLORREF s, COLORREF d);
};

constexpr COLORREF kPattern = RGB(0x33, 0x55, 0xF0);
constexpr COLORREF kSource = RGB(0x0F, 0xF0, 0x3C);
constexpr COLORREF kDest = RGB(0x55, 0x0F, 0xAA);

COLORREF Rgb(uint32_t v) { return v & 0xFFFFFF; }

class RopTest : public ::testing::TestWithParam<RopCase> {};

TEST_P(RopTest, CombinesPatternSourceAndDestination) {
  const RopCase& c = GetParam();
  Canvas src(4, 4, kSource);
  Canvas dest(4, 4, kDest);
  Selected brush(dest.dc(), CreateSolidBrush(kPattern));
  ASSERT_TRUE(BitBlt(dest.dc(), 1, 1, 2, 2, src.dc(), 0, 0, c.rop));
  EXPECT_EQ(dest.At(1, 1), c.expected(kPattern, kSource, kDest)) << std::hex << dest.At(1, 1);
  EXPECT_EQ(dest.At(0, 0), kDest);
  EXPECT_EQ(dest.At(3, 3), kDest);
}

INSTANTIATE_TEST_SUITE_P(
    Gdi, RopTest,
    ::testing::Values(
        RopCase{"SRCCOPY", SRCCOPY, [](COLORREF, COLORREF s, COLORREF) { return s; }},
        RopCase{"SRCAND", SRCAND, [](COLORREF, COLORREF s, COLORREF d) { return s & d; }},
        RopCase{"SRCPAINT", SRCPAINT, [](COLORREF, COLORREF s, COLORREF d) { return s | d; }},
        RopCase{"SRCINVERT", SRCINVERT, [](COLORREF, COLORREF s, COLORREF d) { return s ^ d; }},
        RopCase{"SRCERASE", SRCERASE, [](COLORREF, COLORREF s, COLORREF d) { return Rgb(s & ~d); }},
        RopCase{"NOTSRCCOPY", NOTSRCCOPY, [](COLORREF, COLORREF s, COLORREF) { return Rgb(~s); }},
        RopCase{"NOTSRCERASE", NOTSRCERASE, [](COLORREF, COLORREF s, COLORREF d) { return Rgb(~(s | d)); }},
        RopCase{"MERGECOPY", MERGECOPY, [](COLORREF p, COLORREF s, COLORREF) { return p & s; }},
        RopCase{"MERGEPAINT", MERGEPAINT, [](COLORREF, COLORREF s, COLORREF d) { return Rgb(~s | d); }},
        RopCase{"PATCOPY", PATCOPY, [](COLORREF p, COLORREF, COLORREF) { return p; }},
        RopCase{"PATPAINT", PATPAINT, [](COLORREF p, COLORREF s, COLORREF d) { return Rgb(p | ~s | d); }},
        RopCase{"PATINVERT", PATINVERT, [](COLORREF p, COLORREF, COLORREF d) { return p ^ d; }},
        RopCase{"DSTINVERT", DSTINVERT, [](COLORREF, COLORREF, COLORREF d) { return Rgb(~d); }},
        RopCase{"BLACKNESS", BLACKNESS, [](COLORREF, COLORREF, COLORREF) { return kBlack; }},
        RopCase{"WHITENESS", WHITENESS, [](COLORREF, COLORREF, COLORREF) { return kWhite; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GdiBlit, OperationsWithoutSourceNeedNoSourceContext) {
  Canvas dest(4, 4, kDest);
  Selected brush(dest.dc(), CreateSolidBrush(kPattern));
  EXPECT_TRUE(PatBlt(dest.dc(), 0, 0, 2, 2, PATCOPY));
  EXPECT_EQ(dest.At(1, 1), kPattern);
  EXPECT_TRUE(BitBlt(dest.dc(), 2, 2, 2, 2, nullptr, 0, 0, WHITENESS));
  EXPECT_EQ(dest.At(3, 3), kWhite);
  EXPECT_FALSE(BitBlt(dest.dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
  EXPECT_FALSE(PatBlt(dest.dc(), 0, 0, 2, 2, SRCCOPY));
}

// A 4x2 source with a distinct colour in every pixel.
void Numbered(Canvas& c) {
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) SetPixel(c.dc(), x, y, RGB(x * 40, y * 40, 7));
  }
}

TEST(GdiBlit, StretchDoublesEveryPixel) {
  Canvas src(4, 2);
  Numbered(src);
  Canvas dest(8, 4);
  ASSERT_TRUE(StretchBlt(dest.dc(), 0, 0, 8, 4, src.dc(), 0, 0, 4, 2, SRCCOPY));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(dest.At(x, y), src.At(x / 2, y / 2)) << x << "," << y;
  }
}

TEST(GdiBlit, StretchShrinksByPickingPixels) {
  Canvas src(8, 4);
  Numbered(src);
  Canvas dest(4, 2);
  ASSERT_TRUE(StretchBlt(dest.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 8, 4, SRCCOPY));
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dest.At(x, 0), src.At(2 * x + 1, 1)) << x;
}

TEST(GdiBlit, NegativeExtentsMirror) {
  Canvas src(4, 2);
  Numbered(src);
  Canvas dest(4, 2);
  // A negative width runs left from x, x included.
  ASSERT_TRUE(StretchBlt(dest.dc(), 3, 0, -4, 2, src.dc(), 0, 0, 4, 2, SRCCOPY));
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dest.At(x, 0), src.At(3 - x, 0)) << x;
  ASSERT_TRUE(StretchBlt(dest.dc(), 0, 0, 4, 2, src.dc(), 0, 1, 4, -2, SRCCOPY));
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dest.At(x, 0), src.At(x, 1)) << x;
  ASSERT_TRUE(StretchBlt(dest.dc(), 3, 1, -4, -2, src.dc(), 0, 0, 4, 2, SRCCOPY));
  EXPECT_EQ(dest.At(0, 0), src.At(3, 1));
}

TEST(GdiBlit, OverlappingCopyWithinOneBitmapReadsTheOriginal) {
  Canvas c(8, 1);
  Numbered(c);
  const std::vector<COLORREF> before = c.Pixels();
  ASSERT_TRUE(BitBlt(c.dc(), 2, 0, 6, 1, c.dc(), 0, 0, SRCCOPY));
  for (int x = 2; x < 8; ++x) EXPECT_EQ(c.At(x, 0), before[x - 2]) << x;
}

TEST(GdiMono, ColourToMonoTurnsTheSourceBackgroundWhite) {
  Canvas src(4, 1);
  SetPixel(src.dc(), 1, 0, kRed);
  SetPixel(src.dc(), 2, 0, kBlack);
  SetBkColor(src.dc(), kRed);
  Canvas mask(4, 1, kBlack, true);
  ASSERT_TRUE(BitBlt(mask.dc(), 0, 0, 4, 1, src.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(mask.At(0, 0), kBlack);
  EXPECT_EQ(mask.At(1, 0), kWhite);
  EXPECT_EQ(mask.At(2, 0), kBlack);
}

TEST(GdiMono, MonoToColourUsesTextForZeroAndBackgroundForOne) {
  const uint8_t bits[2] = {0x40, 0};  // 0100 0000: the second pixel is 1
  HBITMAP mono = CreateBitmap(4, 1, 1, 1, bits);
  HDC src = CreateCompatibleDC(nullptr);
  SelectObject(src, mono);
  Canvas dest(4, 1);
  SetTextColor(dest.dc(), kBlue);
  SetBkColor(dest.dc(), kRed);
  ASSERT_TRUE(BitBlt(dest.dc(), 0, 0, 4, 1, src, 0, 0, SRCCOPY));
  EXPECT_EQ(dest.At(0, 0), kBlue);
  EXPECT_EQ(dest.At(1, 0), kRed);
  DeleteDC(src);
  DeleteObject(mono);
}

TEST(GdiMono, CompatibleBitmapOfAFreshMemoryContextIsMonochrome) {
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP b = CreateCompatibleBitmap(memory, 4, 4);
  BITMAP info;
  ASSERT_EQ(GetObject(b, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(info.bmBits, nullptr);
  EXPECT_EQ(info.bmWidthBytes, 2);
  HDC display = CreateDisplayDC();
  HBITMAP colour = CreateCompatibleBitmap(display, 4, 4);
  GetObject(colour, sizeof info, &info);
  EXPECT_EQ(info.bmBitsPixel, 32);
  DeleteObject(b);
  DeleteObject(colour);
  DeleteDC(memory);
  DeleteDC(display);
}

// The masked transparent draw the controls do by hand: a mask made with the
// background colour, the image's transparent pixels made black, then the
// mask with SRCAND and the image with SRCPAINT.
TEST(GdiMono, MaskedTransparentDrawLeavesTransparentPixelsUntouched) {
  const COLORREF key = RGB(255, 0, 255);
  Canvas image(6, 6, key);
  RECT solid{1, 1, 5, 5};
  HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
  FillRect(image.dc(), &solid, green);
  DeleteObject(green);

  Canvas mask(6, 6, kBlack, true);
  SetBkColor(image.dc(), key);
  BitBlt(mask.dc(), 0, 0, 6, 6, image.dc(), 0, 0, SRCCOPY);
  SetBkColor(image.dc(), kBlack);
  SetTextColor(image.dc(), kWhite);
  BitBlt(image.dc(), 0, 0, 6, 6, mask.dc(), 0, 0, SRCAND);

  Canvas dest(6, 6, RGB(10, 20, 30));
  SetBkColor(dest.dc(), kWhite);
  SetTextColor(dest.dc(), kBlack);
  BitBlt(dest.dc(), 0, 0, 6, 6, mask.dc(), 0, 0, SRCAND);
  BitBlt(dest.dc(), 0, 0, 6, 6, image.dc(), 0, 0, SRCPAINT);
  EXPECT_EQ(dest.At(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(dest.At(5, 3), RGB(10, 20, 30));
  EXPECT_EQ(dest.At(2, 2), RGB(0, 200, 0));
}

TEST(GdiBlit, TransparentBltSkipsTheKeyColourAlsoWhenStretching) {
  const COLORREF key = RGB(255, 0, 255);
  Canvas src(2, 2, key);
  SetPixel(src.dc(), 0, 0, kRed);
  Canvas dest(4, 4, kBlue);
  ASSERT_TRUE(TransparentBlt(dest.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, key));
  EXPECT_EQ(dest.Count(kRed), 4);
  EXPECT_EQ(dest.Count(kBlue), 12);
  EXPECT_EQ(dest.At(1, 1), kRed);
}

TEST(GdiBlit, AlphaBlendConstantAndPerPixelAlpha) {
  Canvas dest(2, 1, RGB(0, 0, 200));
  Canvas src(2, 1, RGB(200, 0, 0));
  BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
  ASSERT_TRUE(AlphaBlend(dest.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 2, 1, half));
  EXPECT_EQ(dest.At(0, 0), RGB(100, 0, 100));

  // Full red at a quarter alpha, premultiplied: red 64, alpha 64.
  void* bits = nullptr;
  BITMAPINFOHEADER info;
  info.biWidth = 1;
  info.biHeight = -1;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits);
  ASSERT_NE(dib, nullptr);
  static_cast<uint32_t*>(bits)[0] = 0x40400000u;  // A 64, R 64
  HDC dibDc = CreateCompatibleDC(nullptr);
  SelectObject(dibDc, dib);
  Canvas target(1, 1, RGB(0, 0, 255));
  BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(AlphaBlend(target.dc(), 0, 0, 1, 1, dibDc, 0, 0, 1, 1, perPixel));
  EXPECT_EQ(target.At(0, 0), RGB(64, 0, 191));
  DeleteDC(dibDc);
  DeleteObject(dib);
}

TEST(GdiBlit, BadArgumentsFailCleanly) {
  Canvas dest(4, 4);
  Canvas src(4, 4);
  EXPECT_FALSE(BitBlt(nullptr, 0, 0, 1, 1, src.dc(), 0, 0, SRCCOPY));
  EXPECT_FALSE(BitBlt(dest.dc(), 0, 0, -1, 1, src.dc(), 0, 0, SRCCOPY));
  EXPECT_FALSE(StretchBlt(dest.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 0, 1, SRCCOPY));
  BLENDFUNCTION b;
  EXPECT_FALSE(AlphaBlend(dest.dc(), 0, 0, -2, 2, src.dc(), 0, 0, 2, 2, b));
  // A source rectangle partly off the source copies only what exists.
  Canvas red(2, 2, kRed);
  EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 4, 4, red.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(dest.Count(kRed), 4);
}

}  // namespace
}  // namespace qelo::test
