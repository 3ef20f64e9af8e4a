// Inside the menus: what a menu handle points at, shared by the functions
// that build menus and the windows that show them.
#pragma once

#include <string>
#include <vector>

#include "win/controls/menus.h"

namespace qelo::win {

constexpr UINT kNoMenuItem = 0xFFFFFFFF;
constexpr UINT kMenuTypeMask = MFT_OWNERDRAW | MFT_SEPARATOR | MFT_RADIOCHECK | MFT_MENUBREAK | MFT_MENUBARBREAK;

struct MenuEntry {
  UINT type = MFT_STRING;
  UINT state = 0;
  UINT id = 0;
  HMENU sub = nullptr;
  UINT_PTR data = 0;
  std::string text;

  bool IsSeparator() const { return (type & MFT_SEPARATOR) != 0; }
  bool IsOwnerDrawn() const { return (type & MFT_OWNERDRAW) != 0; }
  bool Enabled() const { return (state & MFS_GRAYED) != MFS_GRAYED; }
};

struct MenuObject {
  std::vector<MenuEntry> items;
};

// The menu when it is alive, else null.
MenuObject* Live(HMENU menu);
// The MF_* flags of an item.
UINT FlagsOf(const MenuEntry& entry);

}  // namespace qelo::win
