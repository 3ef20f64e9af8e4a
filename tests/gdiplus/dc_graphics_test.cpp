// Drawing on a device context through a staging surface: what is drawn lands
// on the context's bitmap, and only within the context's clip.
#include <gtest/gtest.h>

#include "gdiplus/dc_graphics.h"

namespace qelo::gdiplus {
namespace {

TEST(DcGraphics, DrawingLandsWithinTheContextsClipOnly) {
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HBITMAP bitmap = win::CreateBitmap(20, 10, 1, 32, nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, bitmap);
  const win::RECT whole{0, 0, 20, 10};
  win::HBRUSH white = win::CreateSolidBrush(win::RGB(255, 255, 255));
  win::FillRect(dc, &whole, white);
  win::IntersectClipRect(dc, 0, 0, 10, 10);
  {
    DcGraphics graphics(dc);
    ASSERT_EQ(graphics.GetLastStatus(), Status::Ok);
    EXPECT_EQ(win::GetPixel(dc, 5, 5), win::RGB(255, 255, 255)) << "drawn only when the object ends";
    graphics.graphics().Clear(Color(0xFFFF0000));
  }
  win::SelectClipRgn(dc, nullptr);
  EXPECT_EQ(win::GetPixel(dc, 5, 5), win::RGB(255, 0, 0));
  EXPECT_EQ(win::GetPixel(dc, 15, 5), win::RGB(255, 255, 255)) << "outside the clip";
  win::SelectObject(dc, old);
  win::DeleteObject(bitmap);
  win::DeleteObject(white);
  win::DeleteDC(dc);
}

TEST(DcGraphics, ABadContextGivesAGraphicsThatDrawsNothing) {
  DcGraphics graphics(nullptr);
  EXPECT_NE(graphics.GetLastStatus(), Status::Ok);
  EXPECT_NE(graphics.graphics().Clear(Color(0xFFFF0000)), Status::Ok);
}

}  // namespace
}  // namespace qelo::gdiplus
