// Menu handles: the window system's popup menus under the shell's names,
// for the shell's context menus and their callers.
#pragma once

#include "win/controls/menus.h"

namespace qelo::shell {

using win::BOOL;
using win::HWND;
using win::UINT;
using win::UINT_PTR;
using win::HMENU;
using win::MENUITEMINFO;
using win::MF_STRING;
using win::MF_BYCOMMAND;
using win::MF_GRAYED;
using win::MF_DISABLED;
using win::MF_CHECKED;
using win::MF_POPUP;
using win::MF_HILITE;
using win::MF_OWNERDRAW;
using win::MF_BYPOSITION;
using win::MF_SEPARATOR;
using win::MF_DEFAULT;
using win::MF_SYSMENU;
using win::MIIM_STATE;
using win::MIIM_ID;
using win::MIIM_SUBMENU;
using win::MIIM_TYPE;
using win::MIIM_DATA;
using win::MIIM_STRING;
using win::MIIM_FTYPE;
using win::MFT_STRING;
using win::MFT_OWNERDRAW;
using win::MFT_SEPARATOR;
using win::MFS_GRAYED;
using win::MFS_CHECKED;
using win::MFS_DEFAULT;
using win::WM_COMMAND;
using win::WM_INITMENUPOPUP;
using win::WM_MENUSELECT;
using win::WM_MENUCHAR;
using win::ODT_MENU;
using win::MNC_IGNORE;
using win::MNC_CLOSE;
using win::MNC_EXECUTE;
using win::MNC_SELECT;
using win::MakeMenuCharResult;
using win::CreatePopupMenu;
using win::DestroyMenu;
using win::IsMenu;
using win::AppendMenu;
using win::InsertMenu;
using win::InsertMenuItem;
using win::GetMenuItemInfo;
using win::SetMenuItemInfo;
using win::DeleteMenu;
using win::GetMenuItemCount;
using win::GetMenuItemID;
using win::GetSubMenu;
using win::GetMenuState;
using win::GetMenuString;
using win::EnableMenuItem;
using win::SetMenuDefaultItem;
using win::GetMenuDefaultItem;

using win::TPM_RIGHTBUTTON;
using win::TPM_RETURNCMD;
using win::TrackPopupMenu;

}  // namespace qelo::shell
