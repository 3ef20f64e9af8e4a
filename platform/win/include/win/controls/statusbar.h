// The status bar control (class "msctls_statusbar32"): parts along the
// bottom of its parent, or one simple line.
#pragma once

#include "win/controls/basic_common.h"

namespace qelo::win {

inline const char* const STATUSCLASSNAME = "msctls_statusbar32";

constexpr DWORD CCS_TOP = 0x0001;
constexpr DWORD CCS_NORESIZE = 0x0004;
constexpr DWORD CCS_NOPARENTALIGN = 0x0008;
constexpr DWORD CCS_BOTTOM = 0x0003;
constexpr DWORD SBARS_SIZEGRIP = 0x0100;

constexpr UINT SB_SETTEXT = WM_USER + 1;        // wParam part | type, lParam const char*
constexpr UINT SB_GETTEXT = WM_USER + 2;        // wParam part, lParam char*; answers MAKELONG(length, type)
constexpr UINT SB_GETTEXTLENGTH = WM_USER + 3;  // answers MAKELONG(length, type)
constexpr UINT SB_SETPARTS = WM_USER + 4;       // wParam count, lParam const int32_t* right edges (-1: the end)
constexpr UINT SB_GETPARTS = WM_USER + 6;       // wParam capacity, lParam int32_t*; answers the count
constexpr UINT SB_GETBORDERS = WM_USER + 7;     // lParam int32_t[3]
constexpr UINT SB_SETMINHEIGHT = WM_USER + 8;
constexpr UINT SB_SIMPLE = WM_USER + 9;
constexpr UINT SB_GETRECT = WM_USER + 10;       // wParam part, lParam RECT*
constexpr UINT SB_ISSIMPLE = WM_USER + 14;

constexpr WPARAM SB_SIMPLEID = 0x00FF;  // the part of the simple line
constexpr WPARAM SBT_NOBORDERS = 0x0100;
constexpr WPARAM SBT_POPOUT = 0x0200;
constexpr WPARAM SBT_OWNERDRAW = 0x1000;  // the parent draws it; lParam is its data
constexpr int kStatusMaxParts = 256;

// Sent with NM_CLICK, NM_DBLCLK and NM_RCLICK: the part under the pointer.
struct NMMOUSE {
  NMHDR hdr;
  UINT_PTR dwItemSpec = 0;
  UINT_PTR dwItemData = 0;
  POINT pt;
  LPARAM dwHitInfo = 0;
};

}  // namespace qelo::win
