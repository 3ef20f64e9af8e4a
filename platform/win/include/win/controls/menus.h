// Menus: popup menus built item by item (strings, separators, sub-menus,
// owner-drawn items, states, column breaks) and shown by TrackPopupMenu in
// windows of their own, with the menu messages a menu's owner window gets: WM_INITMENUPOPUP before a menu or sub-menu opens (the owner
// may change it then), WM_MENUSELECT as the highlight moves, WM_MEASUREITEM
// and WM_DRAWITEM for owner-drawn items, WM_MENUCHAR for letters that no
// item's accelerator takes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "win/controls/basic_common.h"
#include "win/controls/commctrl.h"

namespace qelo::win {

struct MenuObject;
using HMENU = MenuObject*;

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT MF_OWNERDRAW = 0x0100;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_DEFAULT = 0x1000;
constexpr UINT MF_SYSMENU = 0x2000;

constexpr UINT MIIM_STATE = 0x0001;
constexpr UINT MIIM_ID = 0x0002;
constexpr UINT MIIM_SUBMENU = 0x0004;
constexpr UINT MIIM_TYPE = 0x0010;
constexpr UINT MIIM_DATA = 0x0020;
constexpr UINT MIIM_STRING = 0x0040;
constexpr UINT MIIM_FTYPE = 0x0100;
// An item's text may hold a shortcut's name after a tab, shown at the right.
constexpr UINT MFT_STRING = 0x0000;
constexpr UINT MFT_MENUBARBREAK = 0x0020;  // starts a new column, with a bar before it
constexpr UINT MFT_MENUBREAK = 0x0040;     // starts a new column
constexpr UINT MFT_OWNERDRAW = 0x0100;
constexpr UINT MFT_RADIOCHECK = 0x0200;    // checked with a dot
constexpr UINT MFT_SEPARATOR = 0x0800;
constexpr UINT MFS_GRAYED = 0x0003;
constexpr UINT MFS_CHECKED = 0x0008;
constexpr UINT MFS_DEFAULT = 0x1000;

struct MENUITEMINFO {
  UINT fMask = 0;
  UINT fType = MFT_STRING;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  UINT_PTR dwItemData = 0;
  std::string text;
};

constexpr UINT WM_INITMENUPOPUP = 0x0117;  // wParam the menu, lParam its position in its parent
constexpr UINT WM_MENUSELECT = 0x011F;     // wParam MAKEWPARAM(id or position, MF_* flags), lParam the menu
constexpr UINT WM_MENUCHAR = 0x0120;       // wParam MAKEWPARAM(character, MF_POPUP), lParam the menu
constexpr UINT ODT_MENU = 1;
constexpr LRESULT MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3;
constexpr LRESULT MakeMenuCharResult(int index, LRESULT action) {
  return static_cast<LRESULT>((static_cast<uint32_t>(action) << 16) | static_cast<uint16_t>(index));
}

constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_RETURNCMD = 0x0100;

HMENU CreatePopupMenu();
// Destroys the menu and its sub-menus.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// MF_POPUP: `idOrMenu` is the sub-menu, which the menu then owns.
// MF_OWNERDRAW: `text` may be empty; `data` travels in the item's record.
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrMenu, const std::string& text);
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrMenu, const std::string& text);
BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
// Removes the item and destroys its sub-menu.
BOOL DeleteMenu(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);  // -1 for a bad handle
// 0xFFFFFFFF for a sub-menu or a bad position.
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
// The MF_* flags of the item (for a sub-menu, its item count in the high
// byte), 0xFFFFFFFF when there is none.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
std::string GetMenuString(HMENU menu, UINT item, UINT flags);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
// The default item's id (or position), 0xFFFFFFFF when there is none.
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);

// The letter after the single '&' of an item's text, upper-cased; 0 when
// there is none ("&&" is a plain ampersand).
char MenuAccelerator(std::string_view text);

// Shows the menu at the screen point with `owner` (which may be null)
// getting the menu messages, and tracks it on the calling thread. With
// TPM_RETURNCMD the chosen id is returned (0 when dismissed); without, it is
// posted to the owner as WM_COMMAND and the result is nonzero when
// something was chosen. 0 at once while the thread already tracks a menu.
UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* ignored);

}  // namespace qelo::win
