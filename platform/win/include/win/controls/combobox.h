// The combo box control (class "ComboBox"): a selection field, or an edit
// child (CBS_DROPDOWN), over a drop-down list shown in a popup window.
// Text is UTF-8.
#pragma once

#include "win/controls/basic_common.h"

namespace qelo::win {

inline const char* const WC_COMBOBOX = "ComboBox";

constexpr DWORD CBS_SIMPLE = 0x0001;  // not supported: shown as CBS_DROPDOWN
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
constexpr DWORD CBS_SORT = 0x0100;
constexpr DWORD CBS_HASSTRINGS = 0x0200;
constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;

constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_SETEDITSEL = 0x0142;  // lParam MAKELPARAM(start, end)
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;  // wParam start (-1 the top), lParam prefix; case-insensitive
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;
constexpr UINT CB_SETITEMHEIGHT = 0x0153;  // wParam -1: the selection field
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_SETEXTENDEDUI = 0x0155;
constexpr UINT CB_GETEXTENDEDUI = 0x0156;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr UINT CB_GETTOPINDEX = 0x015B;
constexpr UINT CB_SETTOPINDEX = 0x015C;
constexpr UINT CB_GETDROPPEDWIDTH = 0x015F;
constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;
constexpr UINT CB_GETCOMBOBOXINFO = 0x0164;
constexpr UINT CB_SETMINVISIBLE = 0x1701;
constexpr UINT CB_GETMINVISIBLE = 0x1702;
constexpr UINT CB_SETCUEBANNER = 0x1703;

constexpr LRESULT CB_OKAY = 0;
constexpr LRESULT CB_ERR = -1;

constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT CBN_DBLCLK = 2;
constexpr UINT CBN_SETFOCUS = 3;
constexpr UINT CBN_KILLFOCUS = 4;
constexpr UINT CBN_EDITCHANGE = 5;
constexpr UINT CBN_EDITUPDATE = 6;
constexpr UINT CBN_DROPDOWN = 7;
constexpr UINT CBN_CLOSEUP = 8;
constexpr UINT CBN_SELENDOK = 9;
constexpr UINT CBN_SELENDCANCEL = 10;

constexpr DWORD STATE_SYSTEM_PRESSED = 0x00000008;

struct COMBOBOXINFO {
  DWORD cbSize = sizeof(COMBOBOXINFO);
  RECT rcItem{};    // the selection field or edit
  RECT rcButton{};  // the drop-down button
  DWORD stateButton = 0;
  HWND hwndCombo = nullptr;
  HWND hwndItem = nullptr;  // the edit child, or the combo box itself
  HWND hwndList = nullptr;  // the drop-down list
};

// Ids of the children, as the platform gives them.
constexpr UINT kComboEditId = 1001;
constexpr UINT kComboListId = 1000;
// Typed characters of a list-style box extend one search within this pause.
constexpr DWORD kComboSearchPause = 1000;

}  // namespace qelo::win
