// Invalidation, WM_PAINT, non-client frames, clipping by parents, siblings
// and regions, and a child window painted by a second thread.
#include <algorithm>
#include <array>
#include <filesystem>
#include <future>
#include <thread>

#include "window_fixture.h"

namespace qelo::win::test {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

TEST(Painting, ScreenContextMeasuresInFullColour) {
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), -1);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
  SIZE extent;
  EXPECT_TRUE(GetTextExtentPoint32(screen, "Measure", &extent));
  EXPECT_GT(extent.cx, 0);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 0) << "given back once";
}

TEST(Painting, InvalidAreasMergeIntoOnePaint) {
  std::vector<RECT> painted;
  HWND w = Windows::Get().Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100}, nullptr,
                                 [&](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
                                   *handled = m == WM_PAINT;
                                   if (m != WM_PAINT) return 0;
                                   PAINTSTRUCT ps;
                                   BeginPaint(h, &ps);
                                   painted.push_back(ps.rcPaint);
                                   EndPaint(h, &ps);
                                   return 0;
                                 });
  Pump();
  painted.clear();
  const RECT a{10, 10, 20, 20}, b{50, 40, 60, 70};
  InvalidateRect(w, &a, 0);
  std::thread([&] { InvalidateRect(w, &b, 0); }).join();
  Pump();
  ASSERT_EQ(painted.size(), 1u);
  EXPECT_TRUE(EqualRect(&painted[0], std::array<RECT, 1>{RECT{10, 10, 60, 70}}.data()));
  Pump();
  EXPECT_EQ(painted.size(), 1u) << "painting validated the window";
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(painted.size(), 2u) << "RDW_UPDATENOW paints at once";
  SendMessage(w, WM_SETREDRAW, 0, 0);
  InvalidateRect(w, nullptr, 0);
  Pump();
  EXPECT_EQ(painted.size(), 2u) << "no painting while redraw is off";
  SendMessage(w, WM_SETREDRAW, 1, 0);
  Pump();
  EXPECT_EQ(painted.size(), 3u);
  DestroyWindow(w);
}

TEST(Painting, ChildrenAreClippedBySiblingsParentsAndRegions) {
  auto& ws = Windows::Get();
  HWND top = ws.Create(WS_POPUP | WS_VISIBLE, RECT{100, 100, 200, 200}, nullptr, Paints(kRed));
  HWND below = ws.Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 50, 50}, top, Paints(kGreen));
  HWND above = ws.Create(WS_CHILD | WS_VISIBLE, RECT{30, 30, 80, 80}, top, Paints(kBlue));
  ws.Create(WS_CHILD | WS_VISIBLE, RECT{85, 5, 140, 40}, top, Paints(kYellow));
  HWND round = ws.Create(WS_CHILD | WS_VISIBLE, RECT{0, 85, 15, 100}, top, Paints(kGreen));
  SetWindowRgn(round, CreateEllipticRgn(0, 0, 16, 16), 1);
  Pump();
  struct Probe {
    int x, y;
    COLORREF expected;
  };
  const Probe probes[] = {
      {5, 5, kRed},      {15, 15, kGreen}, {40, 40, kBlue},  {45, 20, kGreen},
      {95, 10, kYellow}, {99, 39, kYellow}, {95, 50, kRed},  {7, 92, kGreen},
      {0, 85, kRed}};
  for (const Probe& p : probes)
    EXPECT_EQ(PixelAt(top, p.x, p.y), p.expected) << p.x << "," << p.y;
  POINT corner{100 + 0, 100 + 85}, centre{100 + 7, 100 + 92};
  EXPECT_EQ(WindowFromPoint(corner), top) << "the region clips hit tests";
  EXPECT_EQ(WindowFromPoint(centre), round);
  EXPECT_EQ(WindowFromPoint(POINT{140, 140}), above);
  SetWindowPos(below, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(PixelAt(top, 40, 40), kGreen) << "raised above its sibling";
  EXPECT_EQ(GetWindow(top, GW_CHILD), below);
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(SaveWindowScreenshot(top, QELO_SCREENSHOT_DIR "/windows_clipping.png"));
  DestroyWindow(top);
  EXPECT_FALSE(IsWindow(above));
}

TEST(Painting, FramesArePaintedThroughNcPaint) {
  auto& ws = Windows::Get();
  HWND top = ws.Create(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, RECT{0, 0, 120, 80},
                       nullptr, Paints(kBlue));
  HWND bordered = ws.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{10, 10, 40, 40}, top,
                            Paints(kGreen));
  Pump();
  RECT client;
  GetClientRect(bordered, &client);
  EXPECT_EQ(client.right, 28);
  EXPECT_EQ(PixelAt(top, 3 + 10, 3 + 18 + 10), RGB(0, 0, 0)) << "one-pixel border";
  EXPECT_EQ(PixelAt(top, 3 + 12, 3 + 18 + 12), kGreen);
  EXPECT_EQ(PixelAt(top, 60, 10), GetSysColor(COLOR_ACTIVECAPTION)) << "caption of the active window";
  const auto seen = ws.Seen(bordered);
  EXPECT_NE(std::find(seen.begin(), seen.end(), WM_NCPAINT), seen.end());
  EXPECT_EQ(SendMessage(top, WM_NCHITTEST, 0, MAKELPARAM(60, 10)), HTCAPTION);
  EXPECT_EQ(SendMessage(top, WM_NCHITTEST, 0, MAKELPARAM(60, 50)), HTCLIENT);
  EXPECT_EQ(SendMessage(top, WM_NCHITTEST, 0, MAKELPARAM(110, 10)), HTCLOSE);
  POINT p{0, 0};
  ClientToScreen(bordered, &p);
  EXPECT_EQ(p.x, 3 + 10 + 1);
  EXPECT_EQ(p.y, 3 + 18 + 10 + 1);
  DestroyWindow(top);
}

// A strip a window takes from its client area in WM_NCCALCSIZE (a button
// of its own) is no border: the default hit test answers HTNOWHERE there,
// so that the window's own hit test can claim it.
TEST(Painting, AStripCarvedFromTheClientAreaIsNoBorder) {
  auto& ws = Windows::Get();
  HWND top = ws.Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100});
  HWND edit = ws.Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 110, 34}, top, nullptr, WS_EX_CLIENTEDGE);
  ws.SetHandler(edit, [](HWND h, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
    *handled = m == WM_NCCALCSIZE;
    if (!*handled) return 0;
    reinterpret_cast<NCCALCSIZE_PARAMS*>(l)->rgrc[0].right -= 16;
    return DefWindowProc(h, m, w, l);
  });
  SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  RECT client;
  GetClientRect(edit, &client);
  EXPECT_EQ(client.right, 100 - 4 - 16);
  struct Probe {
    int x, y;  // in the window
    LRESULT expected;
  };
  const Probe probes[] = {{1, 10, HTBORDER},   {50, 0, HTBORDER},    {99, 12, HTBORDER}, {50, 23, HTBORDER},
                          {2, 2, HTCLIENT},    {81, 12, HTCLIENT},   {82, 12, HTNOWHERE},
                          {97, 2, HTNOWHERE},  {90, 21, HTNOWHERE}};
  for (const Probe& p : probes) {
    POINT s{p.x, p.y};
    RECT r;
    GetWindowRect(edit, &r);
    s.x += r.left;
    s.y += r.top;
    EXPECT_EQ(SendMessage(edit, WM_NCHITTEST, 0, MAKELPARAM(s.x, s.y)), p.expected) << p.x << "," << p.y;
  }
  DestroyWindow(top);
}

// A window keeps its pixels when its size changes; what is painted again is
// what the change uncovered, or all of it when its class asks so.
TEST(Painting, NewSizeRepaintsTheUncoveredPartOrWhatTheClassAsks) {
  struct Case {
    const char* className;
    SIZE to;
    std::vector<POINT> repainted, kept;
  } cases[] = {
      {"PlainWindow", {80, 70}, {{70, 10}, {10, 60}, {75, 65}}, {{10, 10}, {49, 39}}},
      {"PlainWindow", {40, 30}, {}, {{10, 10}, {39, 29}}},
      {"RedrawWindow", {80, 70}, {{10, 10}, {70, 10}}, {}},
      {"RedrawWindow", {50, 30}, {{10, 10}}, {}},
  };
  auto& ws = Windows::Get();
  HWND top = ws.Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 200});
  for (const Case& c : cases) {
    HWND child = ws.Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 60, 50}, top, nullptr, 0, c.className);
    Pump();
    SetWindowPos(child, nullptr, 0, 0, c.to.cx, c.to.cy, SWP_NOMOVE | SWP_NOZORDER);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(child, update, 0);
    for (POINT p : c.repainted) EXPECT_TRUE(PtInRegion(update, p.x, p.y)) << c.className << " at " << p.x << "," << p.y;
    for (POINT p : c.kept) EXPECT_FALSE(PtInRegion(update, p.x, p.y)) << c.className << " at " << p.x << "," << p.y;
    DeleteObject(update);
    DestroyWindow(child);
  }
  DestroyWindow(top);
}

TEST(Painting, SizeAndMoveMessagesFollowSetWindowPos) {
  std::vector<std::pair<UINT, LPARAM>> got;
  HWND w = Windows::Get().Create(WS_POPUP, RECT{0, 0, 50, 50}, nullptr,
                                 [&](HWND, UINT m, WPARAM, LPARAM l, bool* handled) -> LRESULT {
                                   *handled = false;
                                   if (m == WM_MOVE || m == WM_SIZE) got.emplace_back(m, l);
                                   if (m == WM_GETMINMAXINFO) {
                                     reinterpret_cast<MINMAXINFO*>(l)->ptMaxTrackSize = {300, 200};
                                     *handled = true;
                                   }
                                   return 0;
                                 });
  got.clear();
  SetWindowPos(w, nullptr, 5, -6, 400, 100, SWP_NOZORDER);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].first, static_cast<UINT>(WM_MOVE));
  EXPECT_EQ(GET_Y_LPARAM(got[0].second), -6) << "signed packed coordinates";
  EXPECT_EQ(got[1].first, static_cast<UINT>(WM_SIZE));
  EXPECT_EQ(LOWORD(got[1].second), 300) << "limited by WM_GETMINMAXINFO";
  got.clear();
  MoveWindow(w, 5, -6, 300, 100, 1);
  EXPECT_TRUE(got.empty()) << "nothing changed";
  DestroyWindow(w);
}

// The player's pattern: a window made on its own thread as a popup, turned
// into a child of a window of the first thread, painting there, and gone
// when its thread ends.
TEST(Painting, ChildOfASecondThreadPaintsAndEndsWithItsThread) {
  HWND host = Windows::Get().Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 80}, nullptr, Paints(kRed));
  Pump();
  std::promise<HWND> made;
  std::thread player([&made, host] {
    HWND w = Windows::Get().Create(WS_POPUP, RECT{0, 0, 40, 30}, nullptr, Paints(kBlue));
    SetWindowLongPtr(w, GWL_STYLE, WS_CHILD);
    SetParent(w, host);
    MoveWindow(w, 20, 20, 40, 30, 0);
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
    made.set_value(w);
    MSG m;
    while (GetMessage(&m, nullptr, 0, 0) > 0) DispatchMessage(&m);
  });
  HWND child = made.get_future().get();
  EXPECT_EQ(GetParent(child), host);
  EXPECT_EQ(PixelAt(host, 30, 30), kBlue);
  EXPECT_EQ(PixelAt(host, 10, 10), kRed);
  EXPECT_EQ(WindowFromPoint(POINT{30, 30}), child);
  const RECT part{0, 0, 10, 10};
  InvalidateRect(child, &part, 1);  // from the host's thread
  PostMessage(child, WM_DESTROY, 0, 0);  // the player's own way of ending its loop
  PostThreadMessage(GetWindowThreadProcessId(child, nullptr), WM_QUIT, 0, 0);
  while (IsWindow(child)) {
    MsgWaitForMultipleObjects(0, nullptr, 0, 5, QS_ALLINPUT);
    Pump();
  }
  player.join();
  EXPECT_EQ(GetWindow(host, GW_CHILD), nullptr);
  EXPECT_EQ(PixelAt(host, 30, 30), kRed);
  DestroyWindow(host);
}

// A transparent child over a sibling: it paints only a small square and
// does not erase, so the sibling and the parent show through around it.
TEST(Painting, TransparentChildrenShowWhatLiesBelowAndLetThePointerThrough) {
  auto& ws = Windows::Get();
  std::vector<HWND> painted;
  auto record = [&painted](Handler inner) -> Handler {
    return [&painted, inner](HWND h, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
      if (m == WM_PAINT) painted.push_back(h);
      return inner(h, m, w, l, handled);
    };
  };
  auto square = [](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
    *handled = m == WM_PAINT || m == WM_ERASEBKGND;
    if (m == WM_ERASEBKGND) return 1;
    if (m != WM_PAINT) return 0;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    const RECT r{10, 10, 20, 20};
    HBRUSH brush = CreateSolidBrush(kYellow);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    EndPaint(h, &ps);
    return 0;
  };
  HWND top = ws.Create(WS_POPUP | WS_VISIBLE, RECT{300, 300, 400, 400}, nullptr, record(Paints(kRed)));
  // Made first, so that only the order rule paints it after the sibling.
  HWND glass = ws.Create(WS_CHILD | WS_VISIBLE, RECT{20, 20, 80, 80}, top, record(square),
                         WS_EX_TRANSPARENT);
  COLORREF belowColor = kGreen;
  HWND below = ws.Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 50}, top,
                         record([&belowColor](HWND h, UINT m, WPARAM w, LPARAM l, bool* handled) {
                           return Paints(belowColor)(h, m, w, l, handled);
                         }));
  SetWindowPos(glass, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Pump();
  auto at = [&](HWND h) { return std::find(painted.begin(), painted.end(), h) - painted.begin(); };
  ASSERT_LT(at(glass), static_cast<long>(painted.size()));
  EXPECT_LT(at(below), at(glass)) << "the sibling below is painted first";
  EXPECT_LT(at(top), at(glass));

  struct Probe {
    const char* name;
    int x, y;  // in the top-level window
    COLORREF color;
    HWND hit;
  };
  const Probe probes[] = {
      {"the square of the transparent window", 35, 35, kYellow, below},
      {"the sibling through it", 25, 45, kGreen, below},
      {"the parent through it", 70, 70, kRed, top},
      {"the sibling outside it", 5, 5, kGreen, below},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(PixelAt(top, p.x, p.y), p.color);
    EXPECT_EQ(WindowFromPoint(POINT{300 + p.x, 300 + p.y}), p.hit);
  }

  // The sibling changes beneath it: the transparent window is painted anew.
  painted.clear();
  belowColor = kBlue;
  InvalidateRect(below, nullptr, 1);
  Pump();
  EXPECT_NE(at(glass), static_cast<long>(painted.size()));
  EXPECT_EQ(PixelAt(top, 25, 45), kBlue);
  EXPECT_EQ(PixelAt(top, 35, 35), kYellow);

  // The pointer goes to what lies below, and so does a click.
  InjectMouseButton(MouseButton::Left, true, POINT{300 + 70, 300 + 70});
  InjectMouseButton(MouseButton::Left, false, POINT{300 + 70, 300 + 70});
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
  EXPECT_EQ(m.hwnd, top);
  Pump();
  DestroyWindow(top);
}

}  // namespace
}  // namespace qelo::win::test
