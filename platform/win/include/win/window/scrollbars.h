// Scroll bars of any window with WS_HSCROLL or WS_VSCROLL: their range,
// page and position, drawn in the non-client area, and the pointer on their
// arrows, track and thumb turned into WM_HSCROLL and WM_VSCROLL.
#pragma once

#include "win/window/window.h"

namespace qelo::win {

constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;

constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;  // scroll bar controls: not supported
constexpr int SB_BOTH = 3;

// WM_VSCROLL and WM_HSCROLL request codes (low word of wParam; the high
// word carries the position for SB_THUMBTRACK and SB_THUMBPOSITION).
constexpr int SB_LINEUP = 0;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_LEFT = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

constexpr LRESULT HTHSCROLL = 6;
constexpr LRESULT HTVSCROLL = 7;

constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int32_t nMin = 0;
  int32_t nMax = 0;
  UINT nPage = 0;
  int32_t nPos = 0;
  int32_t nTrackPos = 0;  // while the thumb is dragged
};

// The position is kept within nMin .. nMax - max(nPage, 1) + 1 and the page
// within the range. A bar that can scroll shows itself (the window gains
// the style); one that cannot hides, unless SIF_DISABLENOSCROLL keeps it
// shown and disabled. Answers the position.
int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info);
// Answers the previous position.
int SetScrollPos(HWND window, int bar, int position, BOOL redraw);
int GetScrollPos(HWND window, int bar);
BOOL ShowScrollBar(HWND window, int bar, BOOL show);

namespace detail {
// Hooks of the default window procedure (window coordinates for the
// rectangle and the point).
void ReserveScrollBars(DWORD style, RECT* client);
LRESULT ScrollBarHitTest(DWORD style, const RECT& client, POINT windowPoint);
void PaintScrollBars(HWND window, HDC windowDc);
// Runs the pointer on a bar until the left button is released.
LRESULT TrackScrollBar(HWND window, LRESULT hit, LPARAM screenPoint);
void ForgetScrollBars(HWND window);
}  // namespace detail

}  // namespace qelo::win
