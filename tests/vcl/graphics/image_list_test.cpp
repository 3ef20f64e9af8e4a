#include <gtest/gtest.h>

#include <memory>

#include "canvas.h"
#include "vcl/graphics/image_list.h"

namespace qelo::res {
extern const ResourceTable kVclGraphicsTestResources;
}

namespace qelo::vcl {
namespace {

using qelo::test::Canvas;
using win::RGB;

constexpr win::COLORREF kWhiteRgb = RGB(255, 255, 255);

// An image list of 4 x 4 images and a white sheet to draw them on.
struct ImageListFixture : ::testing::Test {
  TImageList list{nullptr};
  Canvas pixels{20, 10};
  TCanvas canvas;
  ImageListFixture() {
    list.SetSize(4, 4);
    canvas.SetHandle(pixels.dc());
  }
  ~ImageListFixture() override { canvas.SetHandle(nullptr); }

  // A strip of `colours.size()` images, each filled with its colour and an
  // olive top-left pixel.
  static std::unique_ptr<TBitmap> Strip(std::initializer_list<TColor> colours) {
    auto strip = std::make_unique<TBitmap>(4 * static_cast<int>(colours.size()), 4);
    int left = 0;
    for (TColor c : colours) {
      strip->Canvas()->Brush()->SetColor(c);
      strip->Canvas()->FillRect(Rect(left, 0, left + 4, 4));
      strip->Canvas()->SetPixel(left, 0, clOlive);
      left += 4;
    }
    return strip;
  }
};

TEST_F(ImageListFixture, AStripAddsOneImagePerCellAndTheMaskColourIsLeftOut) {
  auto strip = Strip({clRed, clBlue});
  EXPECT_EQ(list.AddMasked(strip.get(), clOlive), 0);
  EXPECT_EQ(list.Count(), 2);
  list.Draw(&canvas, 10, 2, 1);
  EXPECT_EQ(pixels.At(11, 3), RGB(0, 0, 255));
  EXPECT_EQ(pixels.At(10, 2), kWhiteRgb) << "the olive pixel is transparent";
  EXPECT_EQ(pixels.Count(RGB(255, 0, 0)), 0) << "only image 1 was drawn";
  EXPECT_EQ(pixels.Count(RGB(0, 0, 255)), 15);

  list.Draw(&canvas, 0, 0, 7);
  EXPECT_EQ(pixels.Count(RGB(255, 0, 0)), 0) << "an index out of range draws nothing";
}

// Native controls draw through Handle: it must hold the same images, size
// and overlays after every change, and keep its identity.
TEST_F(ImageListFixture, TheNativeHandleFollowsEveryChange) {
  const win::HIMAGELIST handle = list.Handle();
  auto strip = Strip({clRed, clBlue, clLime});
  list.AddMasked(strip.get(), clOlive);
  EXPECT_EQ(win::ImageList_GetImageCount(handle), 3);
  list.Delete(0);
  EXPECT_EQ(win::ImageList_GetImageCount(handle), 2);
  ASSERT_TRUE(win::ImageList_Draw(handle, 0, pixels.dc(), 0, 0, win::ILD_TRANSPARENT));
  EXPECT_EQ(pixels.At(1, 1), RGB(0, 0, 255)) << "image 0 is the blue one after the delete";
  EXPECT_EQ(pixels.At(0, 0), kWhiteRgb) << "the mask colour stays transparent natively";

  ASSERT_TRUE(list.Overlay(1, 0));
  ASSERT_TRUE(win::ImageList_Draw(handle, 0, pixels.dc(), 8, 0, win::ILD_TRANSPARENT | win::INDEXTOOVERLAYMASK(1)));
  EXPECT_EQ(pixels.At(9, 1), RGB(0, 255, 0)) << "overlay slot 0 is native overlay 1";

  list.SetSize(8, 6);
  int cx = 0, cy = 0;
  ASSERT_TRUE(win::ImageList_GetIconSize(handle, &cx, &cy));
  EXPECT_EQ(std::make_pair(cx, cy), std::make_pair(8, 6));
  EXPECT_EQ(win::ImageList_GetImageCount(handle), 0);
  EXPECT_EQ(list.Handle(), handle);
}

// Standing for a list others own (the system's icons): its images are
// counted and drawn, it outlives this list, and its own images come back.
TEST_F(ImageListFixture, ASharedNativeListIsUsedAndNeverDestroyed) {
  win::HIMAGELIST other = win::ImageList_Create(4, 4, win::ILC_COLOR32 | win::ILC_MASK, 2, 2);
  {
    TImageList sharing(nullptr);
    auto blue = Strip({clBlue, clBlue});
    win::ImageList_AddMasked(other, blue->Handle(), ColorToRGB(clOlive));
    sharing.ShareHandle(other);
    EXPECT_TRUE(sharing.SharesHandle());
    EXPECT_EQ(sharing.Handle(), other);
    EXPECT_EQ(sharing.Count(), win::ImageList_GetImageCount(other));
    EXPECT_EQ(std::make_pair(sharing.Width(), sharing.Height()), std::make_pair(4, 4));
    sharing.Draw(&canvas, 10, 2, 0);
    EXPECT_EQ(pixels.At(11, 3), RGB(0, 0, 255));
    EXPECT_THROW(sharing.Delete(0), EInvalidOperation) << "the other list's images are not this list's to change";
    sharing.ShareHandle(nullptr);
    EXPECT_NE(sharing.Handle(), other);
    EXPECT_EQ(sharing.Count(), 0);
  }
  EXPECT_EQ(win::ImageList_GetImageCount(other), 2) << "the shared list outlives the one that used it";
  win::ImageList_Destroy(other);
}

TEST_F(ImageListFixture, MasksAndReplacements) {
  auto strip = Strip({clRed});
  TBitmap mask(4, 4);
  mask.SetMonochrome(true);
  mask.Canvas()->Brush()->SetColor(clWhite);
  mask.Canvas()->FillRect(Rect(0, 0, 4, 2));  // white: the top half is transparent
  list.Add(strip.get(), &mask);
  list.Add(strip.get(), nullptr);
  list.Draw(&canvas, 0, 0, 0);
  list.Draw(&canvas, 5, 0, 1);
  EXPECT_EQ(pixels.At(1, 1), kWhiteRgb);
  EXPECT_EQ(pixels.At(1, 3), RGB(255, 0, 0));
  EXPECT_EQ(pixels.At(5, 0), RGB(128, 128, 0)) << "without a mask everything is opaque";

  auto blue = Strip({clBlue});
  list.Replace(0, blue.get(), nullptr);
  list.Draw(&canvas, 0, 0, 0);
  EXPECT_EQ(pixels.At(1, 1), RGB(0, 0, 255));

  EXPECT_THROW(list.Replace(2, blue.get(), nullptr), EInvalidOperation);
  EXPECT_THROW(list.Delete(5), EInvalidOperation);
  EXPECT_THROW(list.Add(nullptr, nullptr), EInvalidOperation);
}

TEST_F(ImageListFixture, GreyedImagesAreAnEmbossedShape) {
  auto strip = Strip({clRed});
  list.AddMasked(strip.get(), clOlive);
  const win::COLORREF teal = RGB(0, 128, 128);
  pixels.Fill(teal);
  list.Draw(&canvas, 2, 2, 0, /*enabled=*/false);
  const win::COLORREF shadow = ColorToRGB(clBtnShadow);
  const win::COLORREF highlight = ColorToRGB(clBtnHighlight);
  EXPECT_EQ(pixels.Count(RGB(255, 0, 0)), 0) << "none of the image's colours";
  EXPECT_EQ(pixels.Count(shadow), 15) << "the shape in the shadow colour";
  EXPECT_EQ(pixels.At(6, 6), highlight) << "the highlight shows below right";
  EXPECT_EQ(pixels.At(2, 2), teal) << "the transparent pixel stays out of both";
  EXPECT_EQ(pixels.Count(highlight), 4 + 3) << "the right and bottom edges one pixel out";
  EXPECT_EQ(pixels.Count(shadow) + pixels.Count(highlight) + pixels.Count(teal), 200);
}

TEST_F(ImageListFixture, OverlaysDrawOverTheImageAndFollowDeletions) {
  auto strip = Strip({clRed, clBlue, clLime});
  TBitmap dot(4, 4);
  dot.Canvas()->Brush()->SetColor(clWhite);
  dot.Canvas()->FillRect(Rect(0, 0, 4, 4));
  dot.Canvas()->SetPixel(3, 3, clBlack);
  list.AddMasked(strip.get(), clOlive);
  list.AddMasked(&dot, clWhite);
  EXPECT_TRUE(list.Overlay(3, 0));
  EXPECT_FALSE(list.Overlay(3, 4));
  EXPECT_FALSE(list.Overlay(9, 1));
  list.DrawOverlay(&canvas, 0, 0, 0, 0);
  EXPECT_EQ(pixels.At(3, 3), RGB(0, 0, 0));
  EXPECT_EQ(pixels.At(2, 2), RGB(255, 0, 0));

  list.Delete(1);
  pixels.Fill(kWhiteRgb);
  list.DrawOverlay(&canvas, 0, 0, 1, 0);
  EXPECT_EQ(pixels.At(3, 3), RGB(0, 0, 0)) << "the overlay moved down with its image";
  EXPECT_EQ(pixels.At(2, 2), RGB(0, 255, 0));
  list.Delete(2);
  pixels.Fill(kWhiteRgb);
  list.DrawOverlay(&canvas, 0, 0, 1, 0);
  EXPECT_EQ(pixels.At(3, 3), RGB(0, 255, 0)) << "a deleted overlay is dropped";
}

TEST_F(ImageListFixture, PngImagesKeepTheirAlpha) {
  TPngImage png;
  png.LoadFromResourceName(res::kVclGraphicsTestResources, "ALPHA");
  list.Add(&png);
  list.Draw(&canvas, 0, 0, 0);
  EXPECT_EQ(pixels.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(win::GetGValue(pixels.At(1, 0)), 255);
  EXPECT_LT(win::GetRValue(pixels.At(1, 0)), 140);
  EXPECT_EQ(pixels.At(2, 0), kWhiteRgb);
  EXPECT_EQ(pixels.At(0, 3), kWhiteRgb) << "padding below the image is transparent";
}

TEST(ChangeLinks, TellEveryLinkedUserAndOutliveEitherSide) {
  auto list = std::make_unique<TImageList>(nullptr);
  list->SetSize(2, 2);
  TBitmap image(2, 2);
  std::string heard;
  TChangeLink first, second;
  first.OnChange = [&](TObject* sender) {
    heard += "1";
    EXPECT_EQ(sender, list.get());
  };
  second.OnChange = [&](TObject*) { heard += "2"; };
  list->RegisterChanges(&first);
  list->RegisterChanges(&second);
  list->RegisterChanges(&first);
  list->OnChange = [&](TObject*) { heard += "L"; };

  const std::function<void()> changes[] = {
      [&] { list->Add(&image, nullptr); },
      [&] { list->AddMasked(&image, clDefault); },
      [&] { list->Replace(0, &image, nullptr); },
      [&] { list->Delete(0); },
      [&] { list->Clear(); },
      [&] { list->SetWidth(3); },
  };
  for (const auto& change : changes) {
    heard.clear();
    change();
    EXPECT_EQ(heard, "12L");
  }
  heard.clear();
  list->Clear();
  list->SetWidth(3);
  EXPECT_EQ(heard, "") << "no change, no news";

  {
    TChangeLink gone;
    gone.OnChange = [&](TObject*) { heard += "G"; };
    list->RegisterChanges(&gone);
  }
  // A handler that unlinks the next link keeps it from being told.
  first.OnChange = [&](TObject*) {
    heard += "1";
    list->UnRegisterChanges(&second);
  };
  heard.clear();
  list->Add(&image, nullptr);
  EXPECT_EQ(heard, "1L");
  EXPECT_EQ(second.Sender(), nullptr);

  list.reset();
  EXPECT_EQ(first.Sender(), nullptr) << "the list cleared its links as it went";
}

TEST(ImageListForms, SizesAreProperties) {
  TImageList list(nullptr);
  SetOrdProp(list, "Width", 24);
  SetOrdProp(list, "Height", 20);
  EXPECT_EQ(list.Width(), 24);
  EXPECT_EQ(list.Height(), 20);
}

}  // namespace
}  // namespace qelo::vcl
