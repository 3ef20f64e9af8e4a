#include "shell/menu_handles.h"

#include <map>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "vcl/graphics/menu_popup.h"

namespace qelo::shell {

struct MenuEntry {
  UINT type = MFT_STRING;
  UINT state = 0;
  UINT id = 0;
  HMENU sub = nullptr;
  UINT_PTR data = 0;
  std::string text;
};

struct MenuObject {
  std::vector<MenuEntry> items;
};

namespace {

constexpr UINT kNone = 0xFFFFFFFF;

std::mutex menusLock;
// Never destroyed: menus may be destroyed by other objects' destructors at exit.
std::unordered_set<MenuObject*>& LiveMenus() {
  static auto* menus = new std::unordered_set<MenuObject*>;
  return *menus;
}

MenuObject* Live(HMENU menu) {
  std::lock_guard<std::mutex> hold(menusLock);
  return LiveMenus().count(menu) ? menu : nullptr;
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
    } else if (e.type != MFT_SEPARATOR && e.id == item) {
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

UINT FlagsOf(const MenuEntry& e) {
  UINT flags = 0;
  if (e.type == MFT_SEPARATOR) flags |= MF_SEPARATOR;
  if (e.type == MFT_OWNERDRAW) flags |= MF_OWNERDRAW;
  if ((e.state & MFS_GRAYED) == MFS_GRAYED) flags |= MF_GRAYED;
  if (e.state & MFS_CHECKED) flags |= MF_CHECKED;
  if (e.state & MFS_DEFAULT) flags |= MF_DEFAULT;
  if (e.state & MF_HILITE) flags |= MF_HILITE;
  if (e.sub) flags |= MF_POPUP;
  return flags;
}

// One run of TrackPopupMenu: the framework's items made from the menu, and
// the owner's messages for each hook.
class MenuTrack {
 public:
  MenuTrack(HMENU menu, HWND owner) : menu_(menu), owner_(owner), root_(new vcl::TMenuItem(nullptr)) {}
  ~MenuTrack() { root_->Free(); }

  UINT Run(int x, int y) {
    win::SendMessage(owner_, WM_INITMENUPOPUP, reinterpret_cast<win::WPARAM>(menu_), 0);
    if (!Live(menu_)) return 0;  // the owner destroyed it
    Fill(*root_, menu_);
    vcl::menu_popup::TrackHooks hooks;
    hooks.beforeOpen = [this](vcl::TMenuItem& parent) { BeforeOpen(parent); };
    hooks.highlighted = [this](vcl::TMenuItem* item) { Highlighted(item); };
    hooks.measure = [this](vcl::TMenuItem& item, vcl::TSize* size) { return Measure(item, size); };
    hooks.draw = [this](vcl::TMenuItem& item, vcl::TCanvas& canvas, const vcl::TRect& row, bool selected) {
      return Draw(item, canvas, row, selected);
    };
    hooks.menuChar = [this](vcl::TMenuItem& parent, char16_t ch, int) { return MenuChar(parent, ch); };
    vcl::TMenuItem* chosen = vcl::menu_popup::TrackMenu(*root_, vcl::Point(x, y), hooks);
    const MenuEntry* entry = chosen ? EntryOf(chosen) : nullptr;
    return entry ? entry->id : 0;
  }

 private:
  struct Binding {
    HMENU menu;
    std::size_t position;
  };

  const MenuEntry* EntryOf(vcl::TMenuItem* item) const {
    auto it = bindings_.find(item);
    if (it == bindings_.end() || !Live(it->second.menu) || it->second.position >= it->second.menu->items.size())
      return nullptr;
    return &it->second.menu->items[it->second.position];
  }

  HMENU MenuOf(vcl::TMenuItem& parent) const {
    if (&parent == root_) return menu_;
    const MenuEntry* entry = EntryOf(&parent);
    return entry && Live(entry->sub) ? entry->sub : nullptr;
  }

  // Drops the bindings of the items below `parent` (about to be freed).
  void Forget(vcl::TMenuItem& parent) {
    for (int i = 0; i < parent.Count(); ++i) {
      Forget(*parent.Items(i));
      bindings_.erase(parent.Items(i));
    }
  }

  void Fill(vcl::TMenuItem& parent, HMENU menu) {
    Forget(parent);
    parent.Clear();
    MenuObject* object = Live(menu);
    if (!object) return;
    for (std::size_t i = 0; i < object->items.size(); ++i) {
      const MenuEntry& e = object->items[i];
      auto* item = new vcl::TMenuItem(nullptr);
      item->SetCaption(e.type == MFT_SEPARATOR ? "-" : e.text.empty() ? " " : e.text);
      item->SetEnabled((e.state & MFS_GRAYED) != MFS_GRAYED);
      item->SetChecked((e.state & MFS_CHECKED) != 0);
      item->SetDefault((e.state & MFS_DEFAULT) != 0);
      parent.Add(item);
      bindings_[item] = Binding{menu, i};
      if (e.sub) Fill(*item, e.sub);
    }
  }

  void BeforeOpen(vcl::TMenuItem& parent) {
    if (&parent == root_) return;  // told before the items were made
    auto it = bindings_.find(&parent);
    if (it == bindings_.end()) return;
    HMENU sub = MenuOf(parent);
    if (!sub) return;
    win::SendMessage(owner_, WM_INITMENUPOPUP, reinterpret_cast<win::WPARAM>(sub),
                     static_cast<win::LPARAM>(it->second.position));
    Fill(parent, sub);
  }

  void Highlighted(vcl::TMenuItem* item) {
    if (highlighted_.menu && Live(highlighted_.menu) && highlighted_.position < highlighted_.menu->items.size())
      highlighted_.menu->items[highlighted_.position].state &= ~MF_HILITE;
    highlighted_ = Binding{nullptr, 0};
    auto it = item ? bindings_.find(item) : bindings_.end();
    const MenuEntry* entry = item ? EntryOf(item) : nullptr;
    if (!entry) {
      win::SendMessage(owner_, WM_MENUSELECT, win::MAKELPARAM(0, 0xFFFF), 0);
      return;
    }
    highlighted_ = it->second;
    highlighted_.menu->items[highlighted_.position].state |= MF_HILITE;
    UINT idOrPosition = entry->sub ? static_cast<UINT>(it->second.position) : entry->id;
    win::SendMessage(owner_, WM_MENUSELECT, win::MAKELPARAM(static_cast<int>(idOrPosition), static_cast<int>(FlagsOf(*entry))),
                     reinterpret_cast<win::LPARAM>(it->second.menu));
  }

  bool Measure(vcl::TMenuItem& item, vcl::TSize* size) {
    const MenuEntry* entry = EntryOf(&item);
    if (!entry || entry->type != MFT_OWNERDRAW) return false;
    win::MEASUREITEMSTRUCT measure;
    measure.CtlType = ODT_MENU;
    measure.itemID = entry->id;
    measure.itemData = entry->data;
    win::SendMessage(owner_, win::WM_MEASUREITEM, 0, reinterpret_cast<win::LPARAM>(&measure));
    *size = vcl::TSize{static_cast<int32_t>(measure.itemWidth), static_cast<int32_t>(measure.itemHeight)};
    return true;
  }

  bool Draw(vcl::TMenuItem& item, vcl::TCanvas& canvas, const vcl::TRect& row, bool selected) {
    const MenuEntry* entry = EntryOf(&item);
    if (!entry || entry->type != MFT_OWNERDRAW) return false;
    win::DRAWITEMSTRUCT draw;
    draw.CtlType = ODT_MENU;
    draw.itemID = entry->id;
    draw.itemAction = win::ODA_DRAWENTIRE;
    draw.itemState = (selected ? win::ODS_SELECTED : 0) |
                     ((entry->state & MFS_GRAYED) == MFS_GRAYED ? win::ODS_GRAYED : 0) |
                     ((entry->state & MFS_CHECKED) ? win::ODS_CHECKED : 0);
    draw.hwndItem = reinterpret_cast<HWND>(bindings_.at(&item).menu);
    draw.hDC = canvas.Handle();
    draw.rcItem = row;
    draw.itemData = entry->data;
    win::SendMessage(owner_, win::WM_DRAWITEM, 0, reinterpret_cast<win::LPARAM>(&draw));
    return true;
  }

  vcl::menu_popup::MenuCharAnswer MenuChar(vcl::TMenuItem& parent, char16_t ch) {
    vcl::menu_popup::MenuCharAnswer answer;
    HMENU menu = MenuOf(parent);
    if (!menu) return answer;
    win::LRESULT r = win::SendMessage(owner_, WM_MENUCHAR, win::MAKELPARAM(ch, static_cast<int>(MF_POPUP)),
                                      reinterpret_cast<win::LPARAM>(menu));
    switch (win::HIWORD(static_cast<uintptr_t>(r))) {
      case MNC_CLOSE: answer.action = vcl::menu_popup::MenuCharAnswer::kClose; break;
      case MNC_EXECUTE: answer.action = vcl::menu_popup::MenuCharAnswer::kExecute; break;
      case MNC_SELECT: answer.action = vcl::menu_popup::MenuCharAnswer::kSelect; break;
      default: break;
    }
    answer.index = win::LOWORD(static_cast<uintptr_t>(r));
    return answer;
  }

  HMENU menu_;
  HWND owner_;
  vcl::TMenuItem* root_;
  std::map<vcl::TMenuItem*, Binding> bindings_;
  Binding highlighted_{nullptr, 0};
};

}  // namespace

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
    at = position == kNone ? m->items.size() : position;
  } else if (Found f = Locate(m, position, false); f.menu == m) {
    at = f.index;
  }
  return Insert(m, at, EntryFromFlags(flags, idOrMenu, text));
}

BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
  MenuObject* m = Live(menu);
  if (!m || !info) return 0;
  MenuEntry e;
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) e.type = info->fType & (MFT_OWNERDRAW | MFT_SEPARATOR);
  if (info->fMask & MIIM_STATE) e.state = info->fState & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT);
  if (info->fMask & MIIM_ID) e.id = info->wID;
  if (info->fMask & MIIM_SUBMENU) e.sub = info->hSubMenu;
  if (info->fMask & MIIM_DATA) e.data = info->dwItemData;
  if (info->fMask & (MIIM_STRING | MIIM_TYPE)) e.text = info->text;
  std::size_t at = m->items.size();
  if (byPosition) at = item == kNone ? m->items.size() : item;
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
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) e.type = info->fType & (MFT_OWNERDRAW | MFT_SEPARATOR);
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
  if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return kNone;
  const MenuEntry& e = m->items[static_cast<std::size_t>(position)];
  return e.sub ? kNone : e.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
  MenuObject* m = Live(menu);
  if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return nullptr;
  return m->items[static_cast<std::size_t>(position)].sub;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  Found f = Locate(Live(menu), item, (flags & MF_BYPOSITION) != 0);
  if (!f.menu) return kNone;
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
  if (item == kNone) return 1;
  Found f = Locate(m, item, byPosition != 0);
  if (f.menu != m) return 0;
  m->items[f.index].state |= MFS_DEFAULT;
  return 1;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT) {
  MenuObject* m = Live(menu);
  if (!m) return kNone;
  for (std::size_t i = 0; i < m->items.size(); ++i)
    if (m->items[i].state & MFS_DEFAULT) return byPosition ? static_cast<UINT>(i) : m->items[i].id;
  return kNone;
}

UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const win::RECT*) {
  if (!Live(menu)) return 0;
  MenuTrack track(menu, owner);
  UINT chosen = track.Run(x, y);
  if (flags & TPM_RETURNCMD) return chosen;
  if (chosen == 0) return 0;
  win::PostMessage(owner, WM_COMMAND, chosen, 0);
  return 1;
}

}  // namespace qelo::shell
