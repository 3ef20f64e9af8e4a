// Image lists: cutting bitmaps into images, masks, removal and the pixels
// each draw style leaves.
#include <gtest/gtest.h>

#include <vector>

#include "canvas.h"
#include "win/controls/lists/imagelist.h"

namespace qelo::test {
namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kDest = RGB(10, 20, 30);
constexpr COLORREF kBack = RGB(200, 100, 0);

uint32_t Bgra(COLORREF c, uint8_t alpha = 255) {
  return GetBValue(c) | (GetGValue(c) << 8) | (GetRValue(c) << 16) |
         (static_cast<uint32_t>(alpha) << 24);
}

// A 32-bit bitmap of `count` 2x2 images side by side: image i is filled
// with colours[i], except its top-left pixel, which is `corner`.
HBITMAP Strip(const std::vector<COLORREF>& colours, COLORREF corner, uint8_t alpha = 0) {
  const int width = 2 * static_cast<int>(colours.size());
  std::vector<uint32_t> bits(static_cast<size_t>(width) * 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < width; ++x)
      bits[static_cast<size_t>(y) * width + x] =
          Bgra((x % 2 == 0 && y == 0) ? corner : colours[static_cast<size_t>(x / 2)], alpha);
  return CreateBitmap(width, 2, 1, 32, bits.data());
}

class ImageListTest : public ::testing::Test {
 protected:
  void SetUp() override { list = ImageList_Create(2, 2, ILC_COLOR32 | ILC_MASK, 4, 4); }
  void TearDown() override { ImageList_Destroy(list); }
  HIMAGELIST list = nullptr;
};

TEST_F(ImageListTest, AddCutsTheBitmapIntoImagesAndRemoveRenumbers) {
  HBITMAP strip = Strip({kRed, kGreen, kBlue}, kWhite);
  EXPECT_EQ(ImageList_Add(list, strip, nullptr), 0);
  EXPECT_EQ(ImageList_AddMasked(list, strip, kWhite), 3);
  EXPECT_EQ(ImageList_GetImageCount(list), 6);
  ASSERT_TRUE(ImageList_Remove(list, 0));
  Canvas canvas(2, 2, kDest);
  ASSERT_TRUE(ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_NORMAL));
  EXPECT_EQ(canvas.At(1, 1), kGreen);
  EXPECT_FALSE(ImageList_Remove(list, 5));
  EXPECT_TRUE(ImageList_Remove(list, -1));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  DeleteObject(strip);
}

TEST_F(ImageListTest, BadInputFails) {
  HBITMAP narrow = CreateBitmap(1, 2, 1, 32, nullptr);
  EXPECT_EQ(ImageList_Add(list, narrow, nullptr), -1) << "narrower than one image";
  EXPECT_EQ(ImageList_Create(0, 16, ILC_COLOR32, 1, 1), nullptr);
  Canvas canvas(2, 2);
  EXPECT_FALSE(ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_NORMAL)) << "no such image";
  EXPECT_FALSE(ImageList_SetOverlayImage(list, 0, 16));
  HIMAGELIST gone = ImageList_Create(2, 2, ILC_COLOR32, 1, 1);
  ImageList_Destroy(gone);
  EXPECT_EQ(ImageList_Add(gone, narrow, nullptr), -1);
  EXPECT_FALSE(ImageList_Destroy(gone));
  DeleteObject(narrow);
}

TEST_F(ImageListTest, SetIconSizeEmptiesTheList) {
  HBITMAP strip = Strip({kRed}, kRed);
  ImageList_Add(list, strip, nullptr);
  ASSERT_TRUE(ImageList_SetIconSize(list, 16, 8));
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 8);
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  DeleteObject(strip);
}

TEST_F(ImageListTest, MonochromeMaskMakesItsWhitePixelsTransparent) {
  HBITMAP strip = Strip({kRed}, kRed);
  const uint16_t rows[2] = {0x0080, 0x0000};  // top-left pixel white (bits MSB first)
  HBITMAP mask = CreateBitmap(2, 2, 1, 1, rows);
  ASSERT_EQ(ImageList_Add(list, strip, mask), 0);
  Canvas canvas(2, 2, kDest);
  ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(canvas.At(0, 0), kDest);
  EXPECT_EQ(canvas.At(1, 0), kRed);
  DeleteObject(mask);
  DeleteObject(strip);
}

struct DrawCase {
  const char* name;
  UINT style;
  COLORREF listBackground;
  COLORREF maskedPixel;  // what the transparent corner shows
  COLORREF solidPixel;   // what a red pixel of the image shows
};

class ImageListDrawTest : public ImageListTest, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(ImageListDrawTest, StyleDecidesMaskedAndSolidPixels) {
  const DrawCase& c = GetParam();
  HBITMAP strip = Strip({kRed}, kWhite);
  ASSERT_EQ(ImageList_AddMasked(list, strip, kWhite), 0);
  ImageList_SetBkColor(list, c.listBackground);
  Canvas canvas(4, 4, kDest);
  ASSERT_TRUE(ImageList_DrawEx(list, 0, canvas.dc(), 1, 1, 0, 0, CLR_DEFAULT, kBlue, c.style));
  EXPECT_EQ(canvas.At(1, 1), c.maskedPixel) << std::hex << canvas.At(1, 1);
  EXPECT_EQ(canvas.At(2, 2), c.solidPixel) << std::hex << canvas.At(2, 2);
  EXPECT_EQ(canvas.At(3, 3), kDest) << "nothing drawn beyond the image";
  DeleteObject(strip);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, ImageListDrawTest,
    ::testing::Values(
        DrawCase{"NormalWithoutBackground", ILD_NORMAL, CLR_NONE, kDest, kRed},
        DrawCase{"NormalWithBackground", ILD_NORMAL, kBack, kBack, kRed},
        DrawCase{"TransparentIgnoresBackground", ILD_TRANSPARENT, kBack, kDest, kRed},
        DrawCase{"SelectedBlendsHalf", ILD_SELECTED | ILD_TRANSPARENT, CLR_NONE, kDest,
                 RGB(128, 0, 128)},
        DrawCase{"Blend25", ILD_BLEND25 | ILD_TRANSPARENT, CLR_NONE, kDest, RGB(191, 0, 64)},
        DrawCase{"Mask", ILD_MASK, CLR_NONE, kWhite, kBlack}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImageListTest, OverlayIsDrawnTransparentlyOnTop) {
  HBITMAP base = Strip({kRed}, kRed);
  HBITMAP overlay = Strip({kWhite}, kGreen);  // only the corner is opaque
  ImageList_Add(list, base, nullptr);
  ImageList_AddMasked(list, overlay, kWhite);
  ASSERT_TRUE(ImageList_SetOverlayImage(list, 1, 1));
  Canvas canvas(2, 2, kDest);
  ASSERT_TRUE(ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_NORMAL | INDEXTOOVERLAYMASK(1)));
  EXPECT_EQ(canvas.At(0, 0), kGreen);
  EXPECT_EQ(canvas.At(1, 1), kRed);
  ImageList_Remove(list, 1);
  canvas.Fill(kDest);
  ASSERT_TRUE(ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_NORMAL | INDEXTOOVERLAYMASK(1)));
  EXPECT_EQ(canvas.At(0, 0), kRed) << "a removed overlay image is no longer drawn";
  DeleteObject(base);
  DeleteObject(overlay);
}

TEST(ImageListAlphaTest, AlphaOfA32BitImageBlendsWithTheDestination) {
  HIMAGELIST list = ImageList_Create(2, 2, ILC_COLOR32, 1, 1);
  HBITMAP half = Strip({kWhite}, kWhite, 128);
  ImageList_Add(list, half, nullptr);
  Canvas canvas(2, 2, kBlack);
  ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_NEAR(GetRValue(canvas.At(0, 0)), 128, 2);
  // A 24-bit list ignores alpha: the same image is opaque.
  HIMAGELIST plain = ImageList_Create(2, 2, ILC_COLOR24, 1, 1);
  ImageList_Add(plain, half, nullptr);
  ImageList_Draw(plain, 0, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(canvas.At(0, 0), kWhite);
  ImageList_Destroy(plain);
  ImageList_Destroy(list);
  DeleteObject(half);
}

}  // namespace
}  // namespace qelo::test
