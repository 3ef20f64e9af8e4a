// Scroll bar state per window and bar, its layout (arrow, track, thumb,
// arrow), drawing and the tracking loop. The loop runs on the window's
// thread like the move loop: it holds the capture, repeats arrow and page
// requests on a timer while the button stays down, and follows the thumb.
#include "win/window/scrollbars.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "window/internal.h"

namespace qelo::win {
namespace detail {
namespace {

constexpr UINT_PTR kRepeatTimer = 0x7FFF5C01;
constexpr UINT kFirstRepeatDelay = 400;
constexpr UINT kRepeatDelay = 50;
constexpr int kMinThumb = 8;

struct Bar {
  int32_t min = 0, max = 0;
  UINT page = 0;
  int32_t pos = 0;
  int32_t trackPos = 0;
  bool tracking = false;
  bool keepDisabled = false;
};

struct Bars {
  Bar horizontal, vertical;
  Bar& Of(int bar) { return bar == SB_HORZ ? horizontal : vertical; }
};

// Guards the table; held only for reading or writing a bar, never across
// a call into a window procedure.
std::mutex g_barsLock;
std::map<HWND, Bars>& AllBars() {
  static std::map<HWND, Bars> bars;
  return bars;
}

Bar Copy(HWND window, int bar) {
  std::lock_guard lock(g_barsLock);
  auto it = AllBars().find(window);
  return it == AllBars().end() ? Bar{} : it->second.Of(bar);
}

int MaxPos(const Bar& b) { return std::max(b.min, b.max - std::max<int>(static_cast<int>(b.page), 1) + 1); }
bool CanScroll(const Bar& b) { return b.max > b.min && (b.page == 0 || static_cast<int64_t>(b.page) <= b.max - b.min); }
DWORD StyleOf(int bar) { return bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL; }

int ArrowSize(int bar) { return GetSystemMetrics(bar == SB_HORZ ? SM_CXHSCROLL : SM_CYHSCROLL); }
int Thickness(int bar) { return GetSystemMetrics(bar == SB_HORZ ? SM_CYHSCROLL : SM_CXVSCROLL); }

bool OwnerIsCaller(HWND window) { return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId(); }

bool WindowGeometry(HWND window, DWORD* style, RECT* client) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr) return false;
  *style = w->style;
  *client = w->client;
  return true;
}

// A bar's rectangle in window coordinates; empty when the window lacks it.
RECT BarRect(int bar, DWORD style, const RECT& client) {
  if (!(style & StyleOf(bar))) return RECT{};
  if (bar == SB_VERT) return RECT{client.right, client.top, client.right + Thickness(bar), client.bottom};
  return RECT{client.left, client.bottom, client.right, client.bottom + Thickness(bar)};
}

// Along the bar: where the track runs and where the thumb sits in it.
struct Layout {
  RECT bar{};
  int start = 0, length = 0;  // track, along the bar from its origin
  int thumbStart = 0, thumbLength = 0;
  bool enabled = false;
  bool vertical = true;
};

Layout LayoutOf(int bar, const RECT& r, const Bar& b) {
  Layout l;
  l.bar = r;
  l.vertical = bar == SB_VERT;
  const int along = l.vertical ? r.bottom - r.top : r.right - r.left;
  const int arrow = std::min(ArrowSize(bar), along / 2);
  l.start = arrow;
  l.length = std::max(0, along - 2 * arrow);
  l.enabled = CanScroll(b);
  if (!l.enabled || l.length < kMinThumb) return l;
  const int64_t range = static_cast<int64_t>(b.max) - b.min + 1;
  l.thumbLength = b.page == 0 ? std::min(l.length, ArrowSize(bar))
                              : static_cast<int>(std::max<int64_t>(kMinThumb, l.length * static_cast<int64_t>(b.page) / range));
  l.thumbLength = std::min(l.thumbLength, l.length);
  const int span = MaxPos(b) - b.min;
  const int pos = b.tracking ? b.trackPos : b.pos;
  l.thumbStart = l.start + (span > 0 ? static_cast<int>(static_cast<int64_t>(l.length - l.thumbLength) * (pos - b.min) / span) : 0);
  return l;
}

RECT Along(const Layout& l, int from, int to) {
  if (l.vertical) return RECT{l.bar.left, l.bar.top + from, l.bar.right, l.bar.top + to};
  return RECT{l.bar.left + from, l.bar.top, l.bar.left + to, l.bar.bottom};
}

enum class Part { None, LineBack, PageBack, Thumb, PageForward, LineForward };

Part PartAt(const Layout& l, POINT windowPoint) {
  if (!PtInRect(&l.bar, windowPoint)) return Part::None;
  const int at = l.vertical ? windowPoint.y - l.bar.top : windowPoint.x - l.bar.left;
  if (at < l.start) return Part::LineBack;
  if (at >= l.start + l.length) return Part::LineForward;
  if (l.thumbLength == 0) return Part::None;
  if (at < l.thumbStart) return Part::PageBack;
  if (at >= l.thumbStart + l.thumbLength) return Part::PageForward;
  return Part::Thumb;
}

int RequestOf(Part part) {
  switch (part) {
    case Part::LineBack: return SB_LINEUP;
    case Part::PageBack: return SB_PAGEUP;
    case Part::PageForward: return SB_PAGEDOWN;
    default: return SB_LINEDOWN;
  }
}

void PaintBar(HDC dc, int bar, const Layout& l) {
  const unsigned inactive = l.enabled ? 0 : DFCS_INACTIVE;
  RECT back = Along(l, 0, l.start);
  RECT forward = Along(l, l.start + l.length, l.start * 2 + l.length);
  DrawFrameControl(dc, &back, DFC_SCROLL, (bar == SB_VERT ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
  DrawFrameControl(dc, &forward, DFC_SCROLL, (bar == SB_VERT ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
  RECT track = Along(l, l.start, l.start + l.length);
  FillRect(dc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
  if (l.thumbLength > 0) {
    RECT thumb = Along(l, l.thumbStart, l.thumbStart + l.thumbLength);
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
}

void Redraw(HWND window) {
  if (OwnerIsCaller(window)) {
    if (HDC dc = GetWindowDC(window)) {
      PaintScrollBars(window, dc);
      ReleaseDC(window, dc);
    }
    return;
  }
  const RECT none{};
  RedrawWindow(window, &none, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void SetBarShown(HWND window, int bar, bool shown) {
  const DWORD style = static_cast<DWORD>(GetWindowLongPtr(window, GWL_STYLE));
  const DWORD flag = StyleOf(bar);
  if (((style & flag) != 0) == shown) return;
  SetWindowLongPtr(window, GWL_STYLE, shown ? style | flag : style & ~flag);
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool ValidBar(HWND window, int bar) { return IsWindow(window) && (bar == SB_HORZ || bar == SB_VERT); }

// The tracking loop's view of one press.
struct Track {
  HWND window;
  int bar;
  Part part;
  POINT pointer;       // window coordinates
  int grabOffset = 0;  // of the pointer from the thumb's start
  UINT message() const { return bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL; }
};

POINT ToWindowPoint(HWND window, POINT screen) {
  RECT r;
  GetWindowRect(window, &r);
  return POINT{screen.x - r.left, screen.y - r.top};
}

Layout CurrentLayout(const Track& t) {
  DWORD style;
  RECT client;
  if (!WindowGeometry(t.window, &style, &client)) return Layout{};
  return LayoutOf(t.bar, BarRect(t.bar, style, client), Copy(t.window, t.bar));
}

void Request(const Track& t, int code, int position = 0) {
  SendMessage(t.window, t.message(), (static_cast<WPARAM>(static_cast<uint16_t>(position)) << 16) | code, 0);
}

// Arrow and page presses repeat while the pointer stays on the part they
// started on (for pages: until the thumb reaches the pointer).
void Repeat(const Track& t) {
  if (PartAt(CurrentLayout(t), t.pointer) == t.part) Request(t, RequestOf(t.part));
}

int PositionForThumb(const Track& t) {
  const Layout l = CurrentLayout(t);
  const Bar b = Copy(t.window, t.bar);
  const int at = (l.vertical ? t.pointer.y - l.bar.top : t.pointer.x - l.bar.left) - t.grabOffset;
  const int room = l.length - l.thumbLength;
  if (room <= 0) return b.min;
  const int offset = std::clamp(at - l.start, 0, room);
  return b.min + static_cast<int>(static_cast<int64_t>(MaxPos(b) - b.min) * offset / room);
}

void SetTracking(HWND window, int bar, bool tracking, int position) {
  {
    std::lock_guard lock(g_barsLock);
    Bar& b = AllBars()[window].Of(bar);
    b.tracking = tracking;
    b.trackPos = position;
  }
  Redraw(window);
}

}  // namespace

void ReserveScrollBars(DWORD style, RECT* client) {
  if (style & WS_VSCROLL) client->right = std::max(client->left, client->right - Thickness(SB_VERT));
  if (style & WS_HSCROLL) client->bottom = std::max(client->top, client->bottom - Thickness(SB_HORZ));
}

LRESULT ScrollBarHitTest(DWORD style, const RECT& client, POINT p) {
  const RECT vertical = BarRect(SB_VERT, style, client);
  if (PtInRect(&vertical, p)) return HTVSCROLL;
  const RECT horizontal = BarRect(SB_HORZ, style, client);
  if (PtInRect(&horizontal, p)) return HTHSCROLL;
  return HTNOWHERE;
}

void PaintScrollBars(HWND window, HDC dc) {
  DWORD style;
  RECT client;
  if (!WindowGeometry(window, &style, &client)) return;
  for (int bar : {SB_HORZ, SB_VERT}) {
    const RECT r = BarRect(bar, style, client);
    if (!IsRectEmpty(&r)) PaintBar(dc, bar, LayoutOf(bar, r, Copy(window, bar)));
  }
  if ((style & WS_VSCROLL) && (style & WS_HSCROLL)) {
    RECT corner{client.right, client.bottom, client.right + Thickness(SB_VERT), client.bottom + Thickness(SB_HORZ)};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
}

LRESULT TrackScrollBar(HWND window, LRESULT hit, LPARAM screenPoint) {
  Track t{window, hit == HTVSCROLL ? SB_VERT : SB_HORZ, Part::None,
          ToWindowPoint(window, POINT{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)})};
  const Layout start = CurrentLayout(t);
  t.part = PartAt(start, t.pointer);
  if (t.part == Part::None) return 0;
  SetCapture(window);
  if (t.part == Part::Thumb) {
    t.grabOffset = (start.vertical ? t.pointer.y - start.bar.top : t.pointer.x - start.bar.left) - start.thumbStart;
    SetTracking(window, t.bar, true, Copy(window, t.bar).pos);
  } else {
    Request(t, RequestOf(t.part));
    SetTimer(window, kRepeatTimer, kFirstRepeatDelay, nullptr);
  }
  int thumbPos = Copy(window, t.bar).pos;
  MSG m;
  while (GetCapture() == window && IsWindow(window)) {
    if (GetMessage(&m, nullptr, 0, 0) == 0) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (m.hwnd == window && (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP)) {
      POINT client{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
      ClientToScreen(window, &client);
      t.pointer = ToWindowPoint(window, client);
      if (t.part == Part::Thumb) {
        const int next = PositionForThumb(t);
        if (next != thumbPos || m.message == WM_MOUSEMOVE) {
          thumbPos = next;
          SetTracking(window, t.bar, true, thumbPos);
          if (m.message == WM_MOUSEMOVE) Request(t, SB_THUMBTRACK, thumbPos);
        }
      }
      if (m.message == WM_LBUTTONUP) break;
      continue;
    }
    if (m.message == WM_LBUTTONUP) break;  // released over another window
    if (m.message == WM_TIMER && m.hwnd == window && m.wParam == kRepeatTimer) {
      SetTimer(window, kRepeatTimer, kRepeatDelay, nullptr);
      Repeat(t);
      continue;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (!IsWindow(window)) return 0;
  KillTimer(window, kRepeatTimer);
  if (GetCapture() == window) ReleaseCapture();
  if (t.part == Part::Thumb) {
    Request(t, SB_THUMBPOSITION, thumbPos);
    SetTracking(window, t.bar, false, 0);
  }
  Request(t, SB_ENDSCROLL);
  return 0;
}

void ForgetScrollBars(HWND window) {
  std::lock_guard lock(g_barsLock);
  AllBars().erase(window);
}

}  // namespace detail

using namespace detail;

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw) {
  if (!ValidBar(window, bar) || info == nullptr) return 0;
  Bar b;
  {
    std::lock_guard lock(g_barsLock);
    Bar& stored = AllBars()[window].Of(bar);
    if (info->fMask & SIF_RANGE) {
      stored.min = info->nMin;
      stored.max = std::max(info->nMin, info->nMax);
    }
    const int64_t range = static_cast<int64_t>(stored.max) - stored.min + 1;
    if (info->fMask & SIF_PAGE) stored.page = info->nPage;
    stored.page = static_cast<UINT>(std::min<int64_t>(stored.page, range));
    if (info->fMask & SIF_POS) stored.pos = info->nPos;
    stored.pos = std::clamp(stored.pos, stored.min, MaxPos(stored));
    if (info->fMask & (SIF_RANGE | SIF_PAGE)) stored.keepDisabled = (info->fMask & SIF_DISABLENOSCROLL) != 0;
    b = stored;
  }
  if (info->fMask & (SIF_RANGE | SIF_PAGE)) SetBarShown(window, bar, CanScroll(b) || b.keepDisabled);
  if (redraw) Redraw(window);
  return b.pos;
}

BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info) {
  if (!ValidBar(window, bar) || info == nullptr) return 0;
  const Bar b = Copy(window, bar);
  if (info->fMask & SIF_RANGE) {
    info->nMin = b.min;
    info->nMax = b.max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = b.page;
  if (info->fMask & SIF_POS) info->nPos = b.pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = b.tracking ? b.trackPos : b.pos;
  return (info->fMask & SIF_ALL) ? 1 : 0;
}

int SetScrollPos(HWND window, int bar, int position, BOOL redraw) {
  if (!ValidBar(window, bar)) return 0;
  const int previous = Copy(window, bar).pos;
  SCROLLINFO info;
  info.fMask = SIF_POS;
  info.nPos = position;
  SetScrollInfo(window, bar, &info, redraw);
  return previous;
}

int GetScrollPos(HWND window, int bar) { return ValidBar(window, bar) ? Copy(window, bar).pos : 0; }

BOOL ShowScrollBar(HWND window, int bar, BOOL show) {
  if (!IsWindow(window) || bar == SB_CTL || bar < 0 || bar > SB_BOTH) return 0;
  if (bar == SB_HORZ || bar == SB_BOTH) SetBarShown(window, SB_HORZ, show != 0);
  if (bar == SB_VERT || bar == SB_BOTH) SetBarShown(window, SB_VERT, show != 0);
  return 1;
}

}  // namespace qelo::win
