// The static control (class "Static"): a line or block of text.
#pragma once

#include "win/controls/basic_common.h"

namespace qelo::win {

inline const char* const WC_STATIC = "Static";

constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_SIMPLE = 0x000B;
constexpr DWORD SS_LEFTNOWORDWRAP = 0x000C;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_NOPREFIX = 0x0080;
constexpr DWORD SS_NOTIFY = 0x0100;  // clicks reach the control and its parent
constexpr DWORD SS_CENTERIMAGE = 0x0200;  // text centred vertically
constexpr DWORD SS_ENDELLIPSIS = 0x4000;

// WM_COMMAND notification codes (with SS_NOTIFY).
constexpr UINT STN_CLICKED = 0;
constexpr UINT STN_DBLCLK = 1;

}  // namespace qelo::win
