// Default message handling: the non-client frame, hit tests, erasing,
// closing and the system commands.
#include <algorithm>

#include "win/codepage.h"
#include "window/internal.h"
#include "win/window/scrollbars.h"

namespace qelo::win {
namespace detail {
namespace {

constexpr int kCaptionHeight = 18;

struct Frame {
  int border = 0;    // each side
  int caption = 0;   // below the top border
};

Frame FrameOf(DWORD style, DWORD exStyle) {
  Frame f;
  if (style & WS_THICKFRAME)
    f.border = 4;
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    f.border = 3;
  else if (style & WS_BORDER)
    f.border = 1;
  if (exStyle & WS_EX_CLIENTEDGE) f.border += 2;
  if ((style & WS_CAPTION) == WS_CAPTION) f.caption = kCaptionHeight;
  return f;
}

bool StylesOf(HWND window, DWORD* style, DWORD* exStyle, RECT* client, SIZE* size) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr) return false;
  *style = w->style;
  *exStyle = w->exStyle;
  if (client) *client = w->client;
  if (size) *size = SIZE{w->Width(), w->Height()};
  return true;
}

LRESULT EraseBackground(HWND window, HDC dc) {
  HBRUSH brush = nullptr;
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(window);
    if (w == nullptr) return 0;
    brush = w->windowClass.hbrBackground;
  }
  if (brush == nullptr) return 0;
  const auto value = reinterpret_cast<uintptr_t>(brush);
  if (value <= COLOR_MENUBAR + 1) brush = GetSysColorBrush(static_cast<int>(value) - 1);
  RECT r;
  GetClientRect(window, &r);
  FillRect(dc, &r, brush);
  return 1;
}

LRESULT DefaultPaint(HWND window) {
  PAINTSTRUCT ps;
  if (BeginPaint(window, &ps)) EndPaint(window, &ps);
  return 0;
}

LRESULT DefaultPositionChanged(HWND window, const WINDOWPOS* pos) {
  if (!(pos->flags & SWP_NOMOVE)) {
    POINT client{0, 0};
    MapWindowPoints(window, GetParent(window), &client, 1);
    SendMessage(window, WM_MOVE, 0, MAKELPARAM(client.x, client.y));
  }
  if (!(pos->flags & SWP_NOSIZE)) {
    RECT c;
    GetClientRect(window, &c);
    SendMessage(window, WM_SIZE, IsIconic(window) ? SIZE_MINIMIZED : SIZE_RESTORED,
                MAKELPARAM(c.right, c.bottom));
  }
  return 0;
}

LRESULT DefaultNcCalcSize(HWND window, NCCALCSIZE_PARAMS* params) {
  DWORD style, exStyle;
  if (!StylesOf(window, &style, &exStyle, nullptr, nullptr)) return 0;
  const Frame f = FrameOf(style, exStyle);
  RECT& r = params->rgrc[0];
  r.left += f.border;
  r.right -= f.border;
  r.top += f.border + f.caption;
  r.bottom -= f.border;
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  ReserveScrollBars(style, &r);
  return 0;
}

LRESULT DefaultSetRedraw(HWND window, bool redraw) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr) return 0;
  w->redrawOff = !redraw;
  if (redraw) Wake(*w->owner);
  return 0;
}

// WM_GETTEXT: as much of the text as fits with its terminator, never half
// a character; answers the bytes copied.
LRESULT CopyWindowText(HWND window, char* buffer, size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  const std::string text = GetWindowText(window);
  const std::string_view cut = TruncateUtf8(text, size - 1);
  std::copy(cut.begin(), cut.end(), buffer);
  buffer[cut.size()] = '\0';
  return static_cast<LRESULT>(cut.size());
}

bool IsWindowInside(HWND window, HWND ancestor) {
  return window != nullptr && (window == ancestor || IsChild(ancestor, window));
}

}  // namespace

LRESULT DefaultNcHitTest(HWND window, LPARAM screenPoint) {
  DWORD style, exStyle;
  RECT client;
  SIZE size;
  if (!StylesOf(window, &style, &exStyle, &client, &size)) return HTNOWHERE;
  POINT p{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  RECT screen;
  GetWindowRect(window, &screen);
  p.x -= screen.left;
  p.y -= screen.top;
  const RECT whole{0, 0, size.cx, size.cy};
  if (!PtInRect(&whole, p)) return HTNOWHERE;
  if (PtInRect(&client, p)) return HTCLIENT;
  if (const LRESULT bar = ScrollBarHitTest(style, client, p)) return bar;
  const Frame f = FrameOf(style, exStyle);
  if (style & WS_THICKFRAME) {
    const bool left = p.x < f.border, right = p.x >= size.cx - f.border;
    const bool top = p.y < f.border, bottom = p.y >= size.cy - f.border;
    if (top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
  }
  if (f.caption && p.y < f.border + f.caption) {
    if ((style & WS_SYSMENU) && p.x >= size.cx - f.border - kCaptionHeight) return HTCLOSE;
    return HTCAPTION;
  }
  // Inside the border lies only what the window itself carved out of its
  // client area in WM_NCCALCSIZE (a control's own button, say): that is
  // nothing of the system's, and the window's own hit test says what it is.
  const RECT inside{f.border, f.border + f.caption, size.cx - f.border, size.cy - f.border};
  if (PtInRect(&inside, p)) return HTNOWHERE;
  return HTBORDER;
}

void DefaultNcPaint(HWND window) {
  DWORD style, exStyle;
  RECT client;
  SIZE size;
  if (!StylesOf(window, &style, &exStyle, &client, &size)) return;
  const Frame f = FrameOf(style, exStyle);
  const bool bars = (style & (WS_HSCROLL | WS_VSCROLL)) != 0;
  if (f.border == 0 && f.caption == 0 && !bars) return;
  HDC dc = GetWindowDC(window);
  if (dc == nullptr) return;
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  RECT r{0, 0, size.cx, size.cy};
  // The client edge is the sunken inner two pixels; the frame lies outside it.
  const bool clientEdge = (exStyle & WS_EX_CLIENTEDGE) != 0;
  const int outer = f.border - (clientEdge ? 2 : 0);
  if (outer == 1) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  } else if (outer > 1) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  }
  if (clientEdge) {
    RECT edge = r;
    InflateRect(&edge, -outer, -outer);
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  }
  if (f.caption) {
    const bool active = GetActiveWindow() == window;
    RECT bar{f.border, f.border, size.cx - f.border, f.border + f.caption};
    FillRect(dc, &bar, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    bar.left += 4;
    DrawText(dc, GetWindowText(window), &bar, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (bars) PaintScrollBars(window, dc);
  ReleaseDC(window, dc);
}


// A wheel notch a child window leaves unused goes on to its parent (the
// edit field of a combo box, say, to the combo box).
LRESULT PropagateWheel(HWND window, WPARAM w, LPARAM l) {
  const auto style = static_cast<DWORD>(GetWindowLongPtr(window, GWL_STYLE));
  HWND parent = GetParent(window);
  if (!(style & WS_CHILD) || parent == nullptr) return 0;
  return SendMessage(parent, WM_MOUSEWHEEL, w, l);
}

}  // namespace detail

using namespace detail;

LRESULT DefWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_NCCREATE: return 1;
    case WM_NCCALCSIZE: return DefaultNcCalcSize(window, reinterpret_cast<NCCALCSIZE_PARAMS*>(l));
    case WM_NCHITTEST: return DefaultNcHitTest(window, l);
    case WM_NCPAINT: DefaultNcPaint(window); return 0;
    case WM_PAINT: return DefaultPaint(window);
    case WM_ERASEBKGND: return EraseBackground(window, reinterpret_cast<HDC>(w));
    case WM_PRINTCLIENT: return 0;
    case WM_WINDOWPOSCHANGED:
      return DefaultPositionChanged(window, reinterpret_cast<const WINDOWPOS*>(l));
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SYSCOMMAND: return DefaultSysCommand(window, w);
    case WM_SETCURSOR: return DefaultSetCursor(window, l);
    case WM_SETREDRAW: return DefaultSetRedraw(window, w != 0);
    case WM_MOUSEACTIVATE: return 1;  // activate
    case WM_MOUSEWHEEL: return PropagateWheel(window, w, l);
    case WM_CANCELMODE:
      if (GetCapture() == window) ReleaseCapture();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(w) != WA_INACTIVE && !IsWindowInside(GetFocus(), window)) SetFocus(window);
      return 0;
    case WM_GETTEXT: return CopyWindowText(window, reinterpret_cast<char*>(l), static_cast<size_t>(w));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(GetWindowText(window).size());
    case WM_NCLBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
      if (w == HTVSCROLL || w == HTHSCROLL) return TrackScrollBar(window, static_cast<LRESULT>(w), l);
      if (message == WM_NCLBUTTONDBLCLK) return 0;
      if (w == HTCAPTION) return SendMessage(window, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, l);
      if (w == HTBOTTOMRIGHT) return SendMessage(window, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, l);
      return 0;
    case WM_NCLBUTTONUP:
      if (w == HTCLOSE) return SendMessage(window, WM_SYSCOMMAND, SC_CLOSE, l);
      return 0;
    default: return 0;
  }
}

}  // namespace qelo::win
