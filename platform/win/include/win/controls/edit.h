// The single-line edit control (class "Edit"). Text is UTF-8 at the
// boundaries (window text, EM_REPLACESEL, the cue banner); positions
// (EM_GETSEL, EM_SETSEL, EM_LINELENGTH, EM_POSFROMCHAR) count UTF-16 units,
// as WM_CHAR does.
#pragma once

#include "win/controls/basic_common.h"

namespace qelo::win {

inline const char* const WC_EDIT = "Edit";

constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;  // not supported: the edit is single-line
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_NUMBER = 0x2000;

constexpr UINT EM_GETSEL = 0x00B0;      // wParam, lParam: DWORD* or 0; answers MAKELONG(start, end)
constexpr UINT EM_SETSEL = 0x00B1;      // start, end; start -1 removes the selection, end -1 is the end
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;  // wParam can undo, lParam const char*
constexpr UINT EM_LIMITTEXT = 0x00C5;   // 0: the largest limit
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;  // answers MAKELONG(x, y) in client pixels
constexpr UINT EM_CHARFROMPOS = 0x00D7;  // lParam MAKELPARAM(x, y)
constexpr UINT EM_SETCUEBANNER = 0x1501;  // wParam shown while focused, lParam const char*
constexpr UINT EM_GETCUEBANNER = 0x1502;  // wParam char* buffer, lParam its size
constexpr UINT WM_UNDO = 0x0304;

constexpr UINT EN_SETFOCUS = 0x0100;
constexpr UINT EN_KILLFOCUS = 0x0200;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT EN_UPDATE = 0x0400;
constexpr UINT EN_MAXTEXT = 0x0501;

constexpr size_t kEditMaxLimit = 0x7FFFFFFE;

}  // namespace qelo::win
