// Device-context state, clipping, viewport origins, regions and object
// lifetimes.
#include <gtest/gtest.h>

#include <functional>

#include "canvas.h"

namespace qelo::test {
namespace {

struct DrawCase {
  const char* name;
  std::function<void(HDC)> draw;
};

HBITMAP Checker() {
  const uint8_t bits[16] = {0xF0, 0, 0xF0, 0, 0xF0, 0, 0xF0, 0, 0x0F, 0, 0x0F, 0, 0x0F, 0, 0x0F, 0};
  return CreateBitmap(8, 8, 1, 1, bits);
}

void BlitFrom(HDC dest, uint32_t rop, bool stretch) {
  Canvas src(6, 6, kRed);
  SetPixel(src.dc(), 0, 0, kBlue);
  if (stretch) {
    StretchBlt(dest, 3, 3, 12, 9, src.dc(), 0, 0, 6, 6, rop);
  } else {
    BitBlt(dest, 3, 3, 6, 6, src.dc(), 0, 0, rop);
  }
}

const DrawCase kDrawCases[] = {
    {"SetPixel", [](HDC dc) { SetPixel(dc, 4, 5, kRed); }},
    {"LineTo",
     [](HDC dc) {
       MoveToEx(dc, 1, 1, nullptr);
       LineTo(dc, 15, 11);
     }},
    {"Rectangle", [](HDC dc) { Rectangle(dc, 2, 2, 14, 12); }},
    {"RoundRect", [](HDC dc) { RoundRect(dc, 2, 2, 14, 12, 5, 5); }},
    {"Ellipse", [](HDC dc) { Ellipse(dc, 1, 1, 15, 13); }},
    {"Polygon",
     [](HDC dc) {
       const POINT p[] = {{2, 1}, {14, 6}, {3, 12}};
       Polygon(dc, p, 3);
     }},
    {"FillRect",
     [](HDC dc) {
       RECT r{1, 2, 13, 10};
       FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
     }},
    {"PatternFill",
     [](HDC dc) {
       HBITMAP bits = Checker();
       HBRUSH brush = CreatePatternBrush(bits);
       RECT r{0, 0, 16, 14};
       FillRect(dc, &r, brush);
       DeleteObject(brush);
       DeleteObject(bits);
     }},
    {"FrameRect",
     [](HDC dc) {
       RECT r{1, 1, 14, 12};
       FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
     }},
    {"DrawFocusRect",
     [](HDC dc) {
       RECT r{1, 1, 14, 12};
       DrawFocusRect(dc, &r);
     }},
    {"BitBlt", [](HDC dc) { BlitFrom(dc, SRCCOPY, false); }},
    {"BitBltInvert", [](HDC dc) { BlitFrom(dc, SRCINVERT, false); }},
    {"StretchBlt", [](HDC dc) { BlitFrom(dc, SRCCOPY, true); }},
    {"PatBlt", [](HDC dc) { PatBlt(dc, 2, 2, 10, 8, DSTINVERT); }},
    {"TransparentBlt",
     [](HDC dc) {
       Canvas src(6, 6, kRed);
       SetPixel(src.dc(), 2, 2, kBlue);
       TransparentBlt(dc, 1, 1, 14, 12, src.dc(), 0, 0, 6, 6, kBlue);
     }},
    {"AlphaBlend",
     [](HDC dc) {
       Canvas src(6, 6, kBlue);
       AlphaBlend(dc, 2, 1, 12, 11, src.dc(), 0, 0, 6, 6, BLENDFUNCTION{AC_SRC_OVER, 0, 100, 0});
     }},
    {"Polyline",
     [](HDC dc) {
       const POINT p[] = {{0, 0}, {15, 13}, {0, 13}, {15, 0}};
       Polyline(dc, p, 4);
     }},
    {"InvertRect",
     [](HDC dc) {
       RECT r{2, 1, 14, 12};
       InvertRect(dc, &r);
     }},
    {"ExtTextOut",
     [](HDC dc) {
       RECT r{1, 1, 15, 12};
       ExtTextOut(dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &r, "Wide text");
     }},
    {"TextOut", [](HDC dc) { TextOut(dc, 1, 1, "Wg"); }},
    {"DrawText",
     [](HDC dc) {
       RECT r{0, 0, 16, 14};
       DrawText(dc, "Ab", &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
     }},
    {"DrawEdge",
     [](HDC dc) {
       RECT r{1, 1, 15, 13};
       DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
     }},
    {"DrawFrameControl",
     [](HDC dc) {
       RECT r{1, 1, 14, 14};
       DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
     }},
    {"FillRgn",
     [](HDC dc) {
       HRGN rgn = CreateEllipticRgn(0, 0, 16, 14);
       FillRgn(dc, rgn, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
       DeleteObject(rgn);
     }},
};

class ClipAndOriginTest : public ::testing::TestWithParam<DrawCase> {};

// The same drawing made with a viewport origin and a clip region must equal
// the plain drawing moved by the origin, inside the clip, and leave every
// pixel outside the clip alone.
TEST_P(ClipAndOriginTest, EveryCallHonoursClipAndViewportOrigin) {
  const DrawCase& c = GetParam();
  constexpr int kW = 28, kH = 24;
  constexpr POINT kOrigin{5, 4};
  Canvas plain(kW, kH, RGB(250, 240, 230));
  c.draw(plain.dc());

  Canvas moved(kW, kH, RGB(250, 240, 230));
  SetViewportOrgEx(moved.dc(), kOrigin.x, kOrigin.y, nullptr);
  SetBrushOrgEx(moved.dc(), kOrigin.x, kOrigin.y, nullptr);  // patterns stay on the device grid
  // Clip (device units): a rectangle minus a hole, so that the region is
  // complex.
  HRGN clip = CreateRectRgn(7, 6, 17, 16);
  SelectClipRgn(moved.dc(), clip);
  ExcludeClipRect(moved.dc(), 5, 5, 8, 8);  // logical: device 10..13, 9..12
  DeleteObject(clip);
  c.draw(moved.dc());

  auto inClip = [](int x, int y) {
    const bool inRect = x >= 7 && x < 17 && y >= 6 && y < 16;
    const bool inHole = x >= 10 && x < 13 && y >= 9 && y < 12;
    return inRect && !inHole;
  };
  int drawn = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const COLORREF got = moved.At(x, y);
      if (!inClip(x, y)) {
        ASSERT_EQ(got, RGB(250, 240, 230)) << c.name << " outside clip at " << x << "," << y;
        continue;
      }
      const COLORREF want = plain.At(x - kOrigin.x, y - kOrigin.y);
      ASSERT_EQ(got, want) << c.name << " at " << x << "," << y << moved.Picture(RGB(250, 240, 230));
      drawn += got != RGB(250, 240, 230);
    }
  }
  EXPECT_GT(drawn, 0) << c.name << " drew nothing inside the clip";
}

INSTANTIATE_TEST_SUITE_P(Gdi, ClipAndOriginTest, ::testing::ValuesIn(kDrawCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GdiClip, ClipBoxAnswers) {
  Canvas canvas(20, 10);
  RECT box;
  EXPECT_EQ(GetClipBox(canvas.dc(), &box), SIMPLEREGION);
  const RECT whole{0, 0, 20, 10};
  EXPECT_TRUE(EqualRect(&box, &whole));
  EXPECT_EQ(ExcludeClipRect(canvas.dc(), 5, 0, 10, 10), COMPLEXREGION);
  EXPECT_EQ(GetClipBox(canvas.dc(), &box), COMPLEXREGION);
  EXPECT_EQ(IntersectClipRect(canvas.dc(), 0, 0, 5, 10), SIMPLEREGION);
  SetViewportOrgEx(canvas.dc(), 2, 3, nullptr);
  EXPECT_EQ(GetClipBox(canvas.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.left, -2) << "the clip box is in logical units";
  EXPECT_EQ(box.top, -3);
  EXPECT_EQ(IntersectClipRect(canvas.dc(), 100, 100, 200, 200), NULLREGION);
  EXPECT_EQ(GetClipBox(canvas.dc(), &box), NULLREGION);
  EXPECT_TRUE(IsRectEmpty(&box));
  EXPECT_EQ(SelectClipRgn(canvas.dc(), nullptr), SIMPLEREGION);
  EXPECT_EQ(GetClipBox(nullptr, &box), ERROR);
  HDC gone = CreateCompatibleDC(nullptr);
  DeleteDC(gone);
  EXPECT_EQ(GetClipBox(gone, &box), ERROR);
  EXPECT_EQ(IntersectClipRect(gone, 0, 0, 1, 1), ERROR);
}

TEST(GdiClip, GetClipRgnReportsWhetherOneIsSelected) {
  Canvas canvas(8, 8);
  HRGN out = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(canvas.dc(), out), 0);
  IntersectClipRect(canvas.dc(), 1, 1, 3, 3);
  EXPECT_EQ(GetClipRgn(canvas.dc(), out), 1);
  RECT box;
  EXPECT_EQ(GetRgnBox(out, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 3);
  DeleteObject(out);
}

TEST(GdiState, RestoreDCBringsBackEveryAttributeAndObject) {
  Canvas canvas(8, 8);
  HDC dc = canvas.dc();
  HPEN red = CreatePen(PS_SOLID, 1, kRed);
  SetTextColor(dc, kBlue);
  const int level = SaveDC(dc);
  EXPECT_EQ(level, 1);
  HGDIOBJ before = SelectObject(dc, red);
  SetTextColor(dc, kRed);
  SetBkMode(dc, TRANSPARENT);
  SetViewportOrgEx(dc, 3, 3, nullptr);
  IntersectClipRect(dc, 0, 0, 1, 1);
  SetTextAlign(dc, TA_BASELINE | TA_CENTER);
  EXPECT_EQ(SaveDC(dc), 2);
  SetTextColor(dc, kWhite);
  ASSERT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(GetTextColor(dc), kRed);
  ASSERT_TRUE(RestoreDC(dc, level));
  EXPECT_EQ(GetTextColor(dc), kBlue);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetTextAlign(dc), TA_LEFT | TA_TOP);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), before);
  POINT origin;
  GetViewportOrgEx(dc, &origin);
  EXPECT_EQ(origin.x, 0);
  RECT box;
  GetClipBox(dc, &box);
  EXPECT_EQ(box.right, 8);
  EXPECT_FALSE(RestoreDC(dc, 1)) << "nothing saved any more";
  EXPECT_TRUE(DeleteObject(red)) << "no saved state holds the pen any more";
}

TEST(GdiObjects, SelectedObjectsCannotBeDeleted) {
  Canvas canvas(4, 4);
  HBRUSH brush = CreateSolidBrush(kRed);
  HGDIOBJ old = SelectObject(canvas.dc(), brush);
  EXPECT_FALSE(DeleteObject(brush));
  SaveDC(canvas.dc());
  SelectObject(canvas.dc(), old);
  EXPECT_FALSE(DeleteObject(brush)) << "a saved state still holds it";
  RestoreDC(canvas.dc(), -1);
  SelectObject(canvas.dc(), old);
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_FALSE(DeleteObject(brush)) << "a deleted handle is refused";
  RECT r{0, 0, 2, 2};
  EXPECT_FALSE(FillRect(canvas.dc(), &r, brush));
  EXPECT_EQ(SelectObject(canvas.dc(), brush), nullptr);
}

TEST(GdiObjects, SelectingTheDefaultBitmapBackFreesTheCallersBitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP mine = CreateBitmap(4, 4, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, mine);
  ASSERT_NE(old, nullptr);
  EXPECT_FALSE(DeleteObject(mine)) << "still selected";
  EXPECT_EQ(SelectObject(dc, old), HGDIOBJ(mine));
  EXPECT_TRUE(DeleteObject(mine));
  EXPECT_TRUE(DeleteObject(old)) << "the default bitmap ignores deletion";
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, old), nullptr) << "it belongs to its own context";
  DeleteDC(other);
  DeleteDC(dc);
}

TEST(GdiObjects, BitmapIsSelectedIntoOneContextAtATime) {
  Canvas canvas(4, 4);
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, canvas.bitmap()), nullptr);
  EXPECT_FALSE(DeleteObject(canvas.bitmap()));
  DeleteDC(other);
}

TEST(GdiObjects, StockObjectsSurviveDeletion) {
  HGDIOBJ white = GetStockObject(WHITE_BRUSH);
  EXPECT_TRUE(DeleteObject(white));
  Canvas canvas(2, 2, kBlack);
  RECT r{0, 0, 2, 2};
  EXPECT_TRUE(FillRect(canvas.dc(), &r, static_cast<HBRUSH>(white)));
  EXPECT_EQ(canvas.At(1, 1), kWhite);
  EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_BTNFACE)));
  EXPECT_NE(GetSysColorBrush(COLOR_BTNFACE), nullptr);
}

TEST(GdiSurface, SurfaceContextDrawsInItsAreaOnly) {
  Canvas backing(20, 20);
  RECT client{5, 6, 15, 12};
  HDC dc = CreateSurfaceDC(backing.bitmap(), client);
  ASSERT_NE(dc, nullptr);
  RECT all{-50, -50, 50, 50};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const RECT ink = backing.InkBox();
  EXPECT_TRUE(EqualRect(&ink, &client));
  EXPECT_EQ(GetPixel(dc, 0, 0), kBlack);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 10);
  SelectClipRgn(dc, nullptr);
  SetPixel(dc, 12, 0, kRed);
  EXPECT_EQ(backing.Count(kRed), 0) << "removing the clip does not widen the area";
  EXPECT_EQ(SelectObject(dc, CreateBitmap(2, 2, 1, 32, nullptr)), nullptr);
  DeleteDC(dc);
  // An area running off the bitmap draws only the part on it.
  RECT off{-5, -5, 5, 5};
  HDC partial = CreateSurfaceDC(backing.bitmap(), off);
  backing.Fill(kWhite);
  FillRect(partial, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const RECT ink2 = backing.InkBox();
  const RECT expected{0, 0, 5, 5};
  EXPECT_TRUE(EqualRect(&ink2, &expected));
  DeleteDC(partial);
}

TEST(GdiSurface, SystemClipBoundsEveryClipRegion) {
  Canvas backing(20, 20);
  RECT window{0, 0, 20, 20};
  HDC dc = CreateSurfaceDC(backing.bitmap(), window);
  // The window less a child at 5..10 x 5..10.
  HRGN visible = CreateRectRgn(0, 0, 20, 20);
  HRGN child = CreateRectRgn(5, 5, 10, 10);
  CombineRgn(visible, visible, child, RGN_DIFF);
  ASSERT_TRUE(SetSystemClip(dc, visible));
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), COMPLEXREGION);
  HRGN everything = CreateRectRgn(-100, -100, 100, 100);
  SelectClipRgn(dc, everything);
  SelectClipRgn(dc, nullptr);
  RECT all{0, 0, 20, 20};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(backing.At(7, 7), kWhite) << "the child stays untouched";
  EXPECT_EQ(backing.Count(kBlack), 400 - 25);
  ExcludeClipRect(dc, 0, 0, 2, 2);
  backing.Fill(kWhite);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(backing.Count(kBlack), 400 - 25 - 4);
  ASSERT_TRUE(SetSystemClip(dc, nullptr));
  SelectClipRgn(dc, nullptr);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(backing.Count(kBlack), 400);
  Canvas memory(2, 2);
  EXPECT_FALSE(SetSystemClip(memory.dc(), visible)) << "only surface contexts have one";
  DeleteObject(visible);
  DeleteObject(child);
  DeleteObject(everything);
  DeleteDC(dc);
}

struct CombineCase {
  int mode;
  int type;
  int pixels;
};

TEST(GdiRegions, CombineModesAndTheirTypes) {
  // a: 0..10 x 0..10, b: 5..15 x 0..10
  const CombineCase cases[] = {{RGN_AND, SIMPLEREGION, 50}, {RGN_OR, SIMPLEREGION, 150},
                               {RGN_XOR, COMPLEXREGION, 100}, {RGN_DIFF, SIMPLEREGION, 50},
                               {RGN_COPY, SIMPLEREGION, 100}};
  for (const CombineCase& c : cases) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 0, 15, 10);
    HRGN out = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(out, a, b, c.mode), c.type) << c.mode;
    int inside = 0;
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 20; ++x) inside += PtInRegion(out, x, y);
    }
    EXPECT_EQ(inside, c.pixels) << c.mode;
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(out);
  }
  HRGN a = CreateRectRgn(0, 0, 4, 4);
  EXPECT_EQ(CombineRgn(a, a, a, RGN_DIFF), NULLREGION);
  EXPECT_EQ(CombineRgn(a, a, nullptr, RGN_AND), ERROR);
  DeleteObject(a);
}

TEST(GdiRegions, RoundedWindowRegionCutsCornersAndCoversTheWindow) {
  // A window of 30 x 20 cut to a rounded rectangle of corner 9 x 9.
  HRGN r = CreateRoundRectRgn(0, 0, 31, 21, 9, 9);
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
  const RECT window{0, 0, 30, 20};
  EXPECT_TRUE(EqualRect(&box, &window));
  EXPECT_FALSE(PtInRegion(r, 0, 0));
  EXPECT_FALSE(PtInRegion(r, 29, 19));
  EXPECT_TRUE(PtInRegion(r, 15, 0));
  EXPECT_TRUE(PtInRegion(r, 29, 10));
  EXPECT_TRUE(PtInRegion(r, 4, 4));
  EXPECT_EQ(OffsetRgn(r, 10, 10), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(r, 25, 10));
  RECT probe{0, 0, 10, 10};
  EXPECT_FALSE(RectInRegion(r, &probe));
  DeleteObject(r);
}

TEST(GdiRegions, FrameRgnPaintsTheRegionsBorder) {
  Canvas canvas(12, 12);
  HRGN r = CreateRectRgn(2, 2, 10, 10);
  ASSERT_TRUE(FrameRgn(canvas.dc(), r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 1, 1));
  EXPECT_EQ(canvas.Count(kBlack), 8 * 4 - 4);
  EXPECT_EQ(canvas.At(5, 5), kWhite);
  DeleteObject(r);
}

TEST(GdiArithmetic, MulDivRoundsHalfAwayFromZeroWithoutOverflow) {
  struct Case {
    int number, numerator, denominator, expected;
  } cases[] = {
      {10, 3, 2, 15}, {5, 1, 2, 3},  {-5, 1, 2, -3}, {5, -1, 2, -3}, {7, 1, 3, 2},
      {2000000000, 3, 2, -1}, {2000000000, 3, 4, 1500000000}, {1, 1, 0, -1},
  };
  for (const Case& c : cases) {
    if (c.expected == -1 && c.denominator != 0) {
      EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), -1)
          << "a result beyond 32 bits answers -1";
      continue;
    }
    EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
        << c.number << " x " << c.numerator << " / " << c.denominator;
  }
}

}  // namespace
}  // namespace qelo::test
