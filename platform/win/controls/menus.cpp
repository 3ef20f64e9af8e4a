// The menu objects and the functions that build, read and change them.
#include "win/controls/menus.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <unordered_set>

#include "controls/menu_object.h"

namespace qelo::win {

namespace {

std::mutex menusLock;
// Never destroyed: menus may be destroyed by other objects' destructors at exit.
std::unordered_set<MenuObject*>& LiveMenus() {
  static auto* menus = new std::unordered_set<MenuObject*>;
  return *menus;
}

struct Found {
  MenuObject* menu = nullptr;
  std::size_t index = 0;
};

// By position in `menu`, or by command id anywhere in it and its sub-menus.
Found Locate(MenuObject* menu, UINT item, bool byPosition) {
  if (!menu) return {};
  if (byPosition) return item < menu->items.size() ? Found{menu, item} : Found{};
  for (std::size_t i = 0; i < menu->items.size(); ++i) {
    const MenuEntry& e = menu->items[i];
    if (e.sub) {
      if (Found inner = Locate(Live(e.sub), item, false); inner.menu) return inner;
    } else if (!e.IsSeparator() && e.id == item) {
      return {menu, i};
    }
  }
  return {};
}

MenuEntry EntryFromFlags(UINT flags, UINT_PTR idOrMenu, const std::string& text) {
  MenuEntry e;
  e.type = (flags & MF_SEPARATOR) ? MFT_SEPARATOR : (flags & MF_OWNERDRAW) ? MFT_OWNERDRAW : MFT_STRING;
  if (flags & (MF_GRAYED | MF_DISABLED)) e.state |= MFS_GRAYED;
  if (flags & MF_CHECKED) e.state |= MFS_CHECKED;
  if (flags & MF_DEFAULT) e.state |= MFS_DEFAULT;
  if (flags & MF_POPUP) e.sub = reinterpret_cast<HMENU>(idOrMenu);
  else e.id = static_cast<UINT>(idOrMenu);
  e.text = text;
  return e;
}

bool Insert(MenuObject* menu, std::size_t at, MenuEntry entry) {
  if (!menu || (entry.sub && !Live(entry.sub))) return false;
  if (at > menu->items.size()) at = menu->items.size();
  menu->items.insert(menu->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
  return true;
}

}  // namespace

MenuObject* Live(HMENU menu) {
  std::lock_guard<std::mutex> hold(menusLock);
  return LiveMenus().count(menu) ? menu : nullptr;
}

UINT FlagsOf(const MenuEntry& e) {
  UINT flags = 0;
  if (e.type & MFT_SEPARATOR) flags |= MF_SEPARATOR;
  if (e.type & MFT_OWNERDRAW) flags |= MF_OWNERDRAW;
  if ((e.state & MFS_GRAYED) == MFS_GRAYED) flags |= MF_GRAYED;
  if (e.state & MFS_CHECKED) flags |= MF_CHECKED;
  if (e.state & MFS_DEFAULT) flags |= MF_DEFAULT;
  if (e.state & MF_HILITE) flags |= MF_HILITE;
  if (e.sub) flags |= MF_POPUP;
  return flags;
}

HMENU CreatePopupMenu() {
  auto* menu = new MenuObject;
  std::lock_guard<std::mutex> hold(menusLock);
  LiveMenus().insert(menu);
  return menu;
}

BOOL DestroyMenu(HMENU menu) {
  {
    std::lock_guard<std::mutex> hold(menusLock);
    if (LiveMenus().erase(menu) == 0) return 0;
  }
  for (const MenuEntry& e : menu->items)
    if (e.sub) DestroyMenu(e.sub);
  delete menu;
  return 1;
}

BOOL IsMenu(HMENU menu) { return Live(menu) != nullptr; }

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrMenu, const std::string& text) {
  MenuObject* m = Live(menu);
  return m && Insert(m, m->items.size(), EntryFromFlags(flags, idOrMenu, text));
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrMenu, const std::string& text) {
  MenuObject* m = Live(menu);
  if (!m) return 0;
  std::size_t at = m->items.size();
  if (flags & MF_BYPOSITION) {
    at = position == kNoMenuItem ? m->items.size() : position;
  } else if (Found f = Locate(m, position, false); f.menu == m) {
    at = f.index;
  }
  return Insert(m, at, EntryFromFlags(flags, idOrMenu, text));
}

BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
  MenuObject* m = Live(menu);
  if (!m || !info) return 0;
  MenuEntry e;
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) e.type = info->fType & kMenuTypeMask;
  if (info->fMask & MIIM_STATE) e.state = info->fState & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT);
  if (info->fMask & MIIM_ID) e.id = info->wID;
  if (info->fMask & MIIM_SUBMENU) e.sub = info->hSubMenu;
  if (info->fMask & MIIM_DATA) e.data = info->dwItemData;
  if (info->fMask & (MIIM_STRING | MIIM_TYPE)) e.text = info->text;
  std::size_t at = m->items.size();
  if (byPosition) at = item == kNoMenuItem ? m->items.size() : item;
  else if (Found f = Locate(m, item, false); f.menu == m) at = f.index;
  return Insert(m, at, std::move(e));
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info) {
  Found f = Locate(Live(menu), item, byPosition != 0);
  if (!f.menu || !info) return 0;
  const MenuEntry& e = f.menu->items[f.index];
  info->fType = e.type;
  info->fState = e.state;
  info->wID = e.id;
  info->hSubMenu = e.sub;
  info->dwItemData = e.data;
  info->text = e.text;
  return 1;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
  Found f = Locate(Live(menu), item, byPosition != 0);
  if (!f.menu || !info) return 0;
  MenuEntry& e = f.menu->items[f.index];
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) e.type = info->fType & kMenuTypeMask;
  if (info->fMask & MIIM_STATE) e.state = info->fState & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT);
  if (info->fMask & MIIM_ID) e.id = info->wID;
  if (info->fMask & MIIM_DATA) e.data = info->dwItemData;
  if (info->fMask & (MIIM_STRING | MIIM_TYPE)) e.text = info->text;
  return 1;
}

BOOL DeleteMenu(HMENU menu, UINT item, UINT flags) {
  Found f = Locate(Live(menu), item, (flags & MF_BYPOSITION) != 0);
  if (!f.menu) return 0;
  HMENU sub = f.menu->items[f.index].sub;
  f.menu->items.erase(f.menu->items.begin() + static_cast<std::ptrdiff_t>(f.index));
  if (sub) DestroyMenu(sub);
  return 1;
}

int GetMenuItemCount(HMENU menu) {
  MenuObject* m = Live(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  MenuObject* m = Live(menu);
  if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return kNoMenuItem;
  const MenuEntry& e = m->items[static_cast<std::size_t>(position)];
  return e.sub ? kNoMenuItem : e.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
  MenuObject* m = Live(menu);
  if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return nullptr;
  return m->items[static_cast<std::size_t>(position)].sub;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  Found f = Locate(Live(menu), item, (flags & MF_BYPOSITION) != 0);
  if (!f.menu) return kNoMenuItem;
  const MenuEntry& e = f.menu->items[f.index];
  UINT state = FlagsOf(e);
  if (MenuObject* sub = Live(e.sub)) state |= static_cast<UINT>(std::min<std::size_t>(sub->items.size(), 0xFF)) << 8;
  return state;
}

std::string GetMenuString(HMENU menu, UINT item, UINT flags) {
  Found f = Locate(Live(menu), item, (flags & MF_BYPOSITION) != 0);
  return f.menu ? f.menu->items[f.index].text : std::string();
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  Found f = Locate(Live(menu), item, (flags & MF_BYPOSITION) != 0);
  if (!f.menu) return 0;
  UINT& state = f.menu->items[f.index].state;
  if (flags & (MF_GRAYED | MF_DISABLED)) state |= MFS_GRAYED;
  else state &= ~MFS_GRAYED;
  return 1;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
  MenuObject* m = Live(menu);
  if (!m) return 0;
  for (MenuEntry& e : m->items) e.state &= ~MFS_DEFAULT;
  if (item == kNoMenuItem) return 1;
  Found f = Locate(m, item, byPosition != 0);
  if (f.menu != m) return 0;
  m->items[f.index].state |= MFS_DEFAULT;
  return 1;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT) {
  MenuObject* m = Live(menu);
  if (!m) return kNoMenuItem;
  for (std::size_t i = 0; i < m->items.size(); ++i)
    if (m->items[i].state & MFS_DEFAULT) return byPosition ? static_cast<UINT>(i) : m->items[i].id;
  return kNoMenuItem;
}

char MenuAccelerator(std::string_view text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

}  // namespace qelo::win
