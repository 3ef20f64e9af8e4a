// The progress bar control (class "msctls_progress32").
#pragma once

#include "win/controls/basic_common.h"

namespace qelo::win {

inline const char* const PROGRESS_CLASS = "msctls_progress32";

constexpr DWORD PBS_SMOOTH = 0x01;
constexpr DWORD PBS_VERTICAL = 0x04;

constexpr UINT PBM_SETRANGE = WM_USER + 1;    // lParam MAKELPARAM(min, max); answers the old range the same way
constexpr UINT PBM_SETPOS = WM_USER + 2;      // answers the old position
constexpr UINT PBM_DELTAPOS = WM_USER + 3;    // answers the old position
constexpr UINT PBM_SETSTEP = WM_USER + 4;     // answers the old step
constexpr UINT PBM_STEPIT = WM_USER + 5;      // past the end it starts over; answers the old position
constexpr UINT PBM_SETRANGE32 = WM_USER + 6;  // wParam min, lParam max
constexpr UINT PBM_GETRANGE = WM_USER + 7;    // wParam true: answers the min, else the max; lParam PBRANGE* or 0
constexpr UINT PBM_GETPOS = WM_USER + 8;
constexpr UINT PBM_SETBARCOLOR = WM_USER + 9;  // lParam COLORREF, CLR_DEFAULT (0xFF000000) for the system's
constexpr UINT CCM_SETBKCOLOR = 0x2001;
constexpr UINT PBM_SETBKCOLOR = CCM_SETBKCOLOR;

struct PBRANGE {
  int32_t iLow = 0;
  int32_t iHigh = 0;
};

}  // namespace qelo::win
