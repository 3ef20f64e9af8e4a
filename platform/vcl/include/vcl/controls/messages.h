// Messages of the form framework: the record a message method receives and
// the control notifications (CM_*) that controls send one another when a
// property that others follow changes.
#pragma once

#include "win/controls/commctrl.h"
#include "win/window/window.h"

namespace qelo::vcl {

using win::LPARAM;
using win::LRESULT;
using win::UINT;
using win::WPARAM;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;        // LParam the TControl* that asks; ends mouse modes
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;         // WParam key, LParam shift state
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;        // WParam character, LParam shift state
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;      // LParam the newly focused TWinControl*
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;          // LParam a client point; Result nonzero: hit
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;    // the tool buttons' group message
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;   // WParam key; Result nonzero: the control takes it
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 31;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 36;    // WParam the TControl*, LParam 1 inserted / 0 removed
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 38;
constexpr UINT CM_PARENTDOUBLEBUFFEREDCHANGED = CM_BASE + 39;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;         // LParam the THintInfo*; Result nonzero: no hint

// Notifications a parent window gets from a native child (WM_COMMAND,
// WM_NOTIFY) come back to the child's control as CN_ + the message.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + win::WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + win::WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + win::WM_DRAWITEM;        // LParam DRAWITEMSTRUCT*
constexpr UINT CN_MEASUREITEM = CN_BASE + win::WM_MEASUREITEM;  // LParam MEASUREITEMSTRUCT*
constexpr UINT CN_DELETEITEM = CN_BASE + 0x002D;                // LParam DELETEITEMSTRUCT*
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + 0x0133;              // WParam the DC; Result a brush or 0
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + 0x0134;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + 0x0135;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + 0x0138;

// Messages the framework posts to itself.
constexpr UINT CM_INVOKE = CM_BASE + 60;           // runs a queued call on the GUI thread
constexpr UINT CM_COLUMNDRAGGED = CM_BASE + 61;    // a list view's column drag has ended

// Native window messages the framework handles that the window layers do
// not name.
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_THEMECHANGED = 0x031A;

}  // namespace qelo::vcl
