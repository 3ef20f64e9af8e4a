// The tool tip control (class "tooltips_class32"): a top-level popup that
// shows a tool's text after the pointer rests on the tool. Text is UTF-8.
#pragma once

#include "win/controls/basic_common.h"

namespace qelo::win {

inline const char* const TOOLTIPS_CLASS = "tooltips_class32";

constexpr DWORD TTS_ALWAYSTIP = 0x01;
constexpr DWORD TTS_NOPREFIX = 0x02;

constexpr UINT TTF_IDISHWND = 0x0001;  // uId is a window: the tool is its client area
constexpr UINT TTF_CENTERTIP = 0x0002;
constexpr UINT TTF_SUBCLASS = 0x0010;  // the tool tip watches the tool's pointer messages itself
constexpr UINT TTF_TRANSPARENT = 0x0100;

// What TOOLINFO::lpszText holds when the tool's window is to be asked
// (TTN_GETDISPINFO) each time the tip shows.
inline char* const LPSTR_TEXTCALLBACK = reinterpret_cast<char*>(static_cast<intptr_t>(-1));

struct TOOLINFO {
  UINT cbSize = sizeof(TOOLINFO);
  UINT uFlags = 0;
  HWND hwnd = nullptr;  // the window that holds the tool and hears its notifications
  UINT_PTR uId = 0;
  RECT rect{};          // in hwnd's client coordinates, unless TTF_IDISHWND
  void* hinst = nullptr;
  char* lpszText = nullptr;
  LPARAM lParam = 0;
};

constexpr UINT TTM_ACTIVATE = WM_USER + 1;       // wParam true: tips may show
constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;   // wParam TTDT_*, lParam milliseconds (-1: the default)
constexpr UINT TTM_ADDTOOL = WM_USER + 4;        // lParam const TOOLINFO*
constexpr UINT TTM_DELTOOL = WM_USER + 5;        // lParam const TOOLINFO* (hwnd, uId)
constexpr UINT TTM_NEWTOOLRECT = WM_USER + 6;
constexpr UINT TTM_RELAYEVENT = WM_USER + 7;     // lParam const MSG* of the tool's window
constexpr UINT TTM_GETTOOLINFO = WM_USER + 8;
constexpr UINT TTM_GETTEXT = WM_USER + 11;       // wParam buffer size, lParam TOOLINFO* whose lpszText is the buffer
constexpr UINT TTM_UPDATETIPTEXT = WM_USER + 12;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
constexpr UINT TTM_GETDELAYTIME = WM_USER + 21;
constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;
constexpr UINT TTM_POP = WM_USER + 28;

constexpr WPARAM TTDT_AUTOMATIC = 0;
constexpr WPARAM TTDT_RESHOW = 1;
constexpr WPARAM TTDT_AUTOPOP = 2;
constexpr WPARAM TTDT_INITIAL = 3;

constexpr UINT TTN_FIRST = 0u - 520u;
constexpr UINT TTN_GETDISPINFO = TTN_FIRST - 0;
constexpr UINT TTN_SHOW = TTN_FIRST - 1;
constexpr UINT TTN_POP = TTN_FIRST - 2;

// TTN_GETDISPINFO: the tool's window sets lpszText (kept while the tip
// shows) or fills szText.
struct NMTTDISPINFO {
  NMHDR hdr;  // idFrom: the tool's uId
  const char* lpszText = nullptr;
  char szText[80] = {};
  void* hinst = nullptr;
  UINT uFlags = 0;
  LPARAM lParam = 0;
};

}  // namespace qelo::win
