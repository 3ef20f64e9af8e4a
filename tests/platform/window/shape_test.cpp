// Window regions as masks for shaped windows on a real display, and the
// cursors that the default handling of WM_SETCURSOR chooses.
#include "win/window/shape.h"

#include "window_fixture.h"

namespace qelo::win::test {
namespace {

TEST(Shapes, RegionMasksCoverWhatTheRegionCovers) {
  struct Case {
    const char* name;
    std::function<HRGN()> make;  // nullptr: the window has no region
    int width, height;
    POINT inside, outside;  // a pixel on each side, to keep the comparison honest
  };
  const Case cases[] = {
      {"no region", nullptr, 9, 7, {8, 6}, {-1, -1}},
      {"round window", [] { return CreateEllipticRgn(0, 0, 32, 24); }, 31, 23, {15, 11}, {0, 0}},
      {"rounded corners", [] { return CreateRoundRectRgn(0, 0, 32, 24, 9, 9); }, 31, 23, {1, 11}, {0, 0}},
      {"partly outside the window", [] { return CreateRectRgn(-5, 10, 12, 40); }, 20, 16, {0, 15}, {12, 10}},
      {"a ring with a hole",
       [] {
         HRGN ring = CreateEllipticRgn(0, 0, 30, 30);
         HRGN hole = CreateEllipticRgn(10, 10, 20, 20);
         CombineRgn(ring, ring, hole, RGN_DIFF);
         DeleteObject(hole);
         return ring;
       },
       29, 29, {3, 14}, {14, 14}},
      {"an empty region", [] { return CreateRectRgn(0, 0, 0, 0); }, 6, 6, {-1, -1}, {3, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HRGN region = c.make ? c.make() : nullptr;
    const std::vector<uint8_t> mask = RegionToMask(region, c.width, c.height);
    ASSERT_EQ(mask.size(), static_cast<size_t>(c.width * c.height));
    auto at = [&](POINT p) { return mask[static_cast<size_t>(p.y * c.width + p.x)]; };
    if (c.inside.x >= 0) {
      EXPECT_EQ(at(c.inside), 0xFF);
    }
    if (c.outside.x >= 0) {
      EXPECT_EQ(at(c.outside), 0x00);
    }
    int wrong = 0;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x)
        wrong += at(POINT{x, y}) != ((region == nullptr || PtInRegion(region, x, y)) ? 0xFF : 0x00);
    EXPECT_EQ(wrong, 0) << "pixels where the mask and the region disagree";
    if (region) DeleteObject(region);
  }
  EXPECT_TRUE(RegionToMask(nullptr, 0, 5).empty());
}

// The mask shapes the window exactly where the screen shows it.
TEST(Shapes, TheMaskMatchesTheComposedWindow) {
  constexpr int kWidth = 41, kHeight = 27;
  HWND w = Windows::Get().Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, kWidth, kHeight}, nullptr,
                                 Paints(RGB(255, 255, 255)));
  SetWindowRgn(w, CreateRoundRectRgn(0, 0, kWidth + 1, kHeight + 1, 15, 11), 1);
  Pump();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(w, region), ERROR);
  const std::vector<uint8_t> mask = RegionToMask(region, kWidth, kHeight);
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      wrong += (PixelAt(w, x, y) != RGB(0, 0, 0)) != (mask[static_cast<size_t>(y * kWidth + x)] != 0);
  EXPECT_EQ(wrong, 0);
  DeleteObject(region);
  DestroyWindow(w);
}

TEST(Shapes, DefaultCursorsFollowTheHitTest) {
  HWND top = Windows::Get().Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 60, 60});
  HWND child = Windows::Get().Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 20, 20}, top);
  struct Case {
    LRESULT hit;
    const char* cursor;
  };
  const Case cases[] = {
      {HTCLIENT, IDC_ARROW},       {HTLEFT, IDC_SIZEWE},        {HTRIGHT, IDC_SIZEWE},
      {HTTOP, IDC_SIZENS},         {HTBOTTOM, IDC_SIZENS},      {HTTOPLEFT, IDC_SIZENWSE},
      {HTBOTTOMRIGHT, IDC_SIZENWSE}, {HTTOPRIGHT, IDC_SIZENESW}, {HTBOTTOMLEFT, IDC_SIZENESW},
      {HTCAPTION, IDC_ARROW},
  };
  for (const Case& c : cases) {
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    SendMessage(child, WM_SETCURSOR, reinterpret_cast<WPARAM>(child),
                MAKELPARAM(static_cast<int>(c.hit), WM_MOUSEMOVE));
    EXPECT_EQ(CursorName(GetCursor()), c.cursor) << "hit " << c.hit;
  }
  // A parent that answers WM_SETCURSOR chooses for its children.
  Windows::Get().SetHandler(top, [](HWND, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
    *handled = m == WM_SETCURSOR;
    if (m == WM_SETCURSOR) SetCursor(LoadCursor(nullptr, IDC_HAND));
    return 1;
  });
  InjectMouseMove(POINT{10, 10});
  Pump();
  EXPECT_EQ(CursorName(GetCursor()), IDC_HAND);
  DestroyWindow(top);
  InjectMouseMove(POINT{1000, 1000});
}

}  // namespace
}  // namespace qelo::win::test
