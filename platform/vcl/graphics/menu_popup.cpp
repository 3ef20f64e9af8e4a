#include "vcl/graphics/menu_popup.h"

#include <map>
#include <utility>

namespace qelo::vcl::menu_popup {
namespace {

bool HasVisibleSubItems(const TMenuItem& item) {
  for (int i = 0; i < item.Count(); ++i)
    if (item.Items(i)->Visible()) return true;
  return false;
}

std::string NativeText(const TMenuItem& item) {
  const std::string shortCut = ShortCutToText(item.ShortCut());
  return shortCut.empty() ? item.Caption() : item.Caption() + "\t" + shortCut;
}

win::UINT NativeType(const TMenuItem& item) {
  win::UINT type = item.IsLine() ? win::MFT_SEPARATOR : win::MFT_STRING;
  if (item.RadioItem()) type |= win::MFT_RADIOCHECK;
  if (item.Break() == mbBreak) type |= win::MFT_MENUBREAK;
  if (item.Break() == mbBarBreak) type |= win::MFT_MENUBARBREAK;
  return type;
}

win::UINT NativeState(const TMenuItem& item) {
  return (item.Enabled() ? 0 : win::MFS_GRAYED) | (item.Checked() ? win::MFS_CHECKED : 0) |
         (item.Default() ? win::MFS_DEFAULT : 0);
}

// A native menu made from the visible sub-items of an item, at every depth,
// with the item of each native item.
class NativeMenu {
 public:
  explicit NativeMenu(const TMenuItem& root) : root_(const_cast<TMenuItem*>(&root)), menu_(Build(root)) {}
  ~NativeMenu() { win::DestroyMenu(menu_); }
  NativeMenu(const NativeMenu&) = delete;
  NativeMenu& operator=(const NativeMenu&) = delete;

  win::HMENU Handle() const { return menu_; }
  TMenuItem* Root() const { return root_; }
  TMenuItem* ItemOf(win::UINT id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
  }
  TMenuItem* ItemAt(win::HMENU menu, int position) const {
    auto it = byPlace_.find({menu, position});
    return it == byPlace_.end() ? nullptr : it->second;
  }
  bool PlaceOf(const TMenuItem& item, std::pair<win::HMENU, int>* place) const {
    for (const auto& [where, each] : byPlace_) {
      if (each != &item) continue;
      *place = where;
      return true;
    }
    return false;
  }

 private:
  win::HMENU Build(const TMenuItem& parent) {
    win::HMENU menu = win::CreatePopupMenu();
    int position = 0;
    for (int i = 0; i < parent.Count(); ++i) {
      TMenuItem* item = parent.Items(i);
      if (!item->Visible()) continue;
      win::MENUITEMINFO info;
      info.fMask = win::MIIM_FTYPE | win::MIIM_STATE | win::MIIM_STRING;
      info.fType = NativeType(*item);
      info.fState = NativeState(*item);
      info.text = NativeText(*item);
      if (HasVisibleSubItems(*item)) {
        info.fMask |= win::MIIM_SUBMENU;
        info.hSubMenu = Build(*item);
      } else {
        info.fMask |= win::MIIM_ID;
        info.wID = ++lastId_;
        byId_[info.wID] = item;
      }
      win::InsertMenuItem(menu, static_cast<win::UINT>(position), 1, &info);
      byPlace_[{menu, position++}] = item;
    }
    return menu;
  }

  TMenuItem* root_;
  win::UINT lastId_ = 0;
  std::map<win::UINT, TMenuItem*> byId_;
  std::map<std::pair<win::HMENU, int>, TMenuItem*> byPlace_;
  win::HMENU menu_;
};

// The framework's menu the calling thread tracks.
thread_local const NativeMenu* tracked = nullptr;

}  // namespace

void AssignMenuFont(TFont& font) {
  const win::LOGFONT menuFont = win::menu_popup::MenuFont();
  if (!menuFont.lfFaceName.empty()) font.SetName(menuFont.lfFaceName);
  if (menuFont.lfHeight != 0) font.SetHeight(menuFont.lfHeight);
  font.SetColor(clMenuText);
}

MenuLayout LayoutMenu(const TMenuItem& parent, TCanvas& canvas) {
  const NativeMenu native(parent);
  canvas.Font()->SetStyle({});
  const win::menu_popup::MenuLayout placed = win::menu_popup::LayoutMenu(native.Handle(), canvas.Handle());
  MenuLayout layout;
  for (size_t i = 0; i < placed.boxes.size(); ++i)
    layout.boxes.push_back({native.ItemAt(native.Handle(), static_cast<int>(i)), placed.boxes[i]});
  layout.barBreaks = placed.barBreaks;
  layout.size = placed.size;
  return layout;
}

bool TrackingItemRect(const TMenuItem& item, TRect* screen) {
  std::pair<win::HMENU, int> place;
  win::RECT r;
  if (!tracked || !tracked->PlaceOf(item, &place) || !win::menu_popup::TrackingItemRect(place.first, place.second, &r))
    return false;
  *screen = r;
  return true;
}

TMenuItem* TrackedRoot(win::HMENU menu) { return tracked && tracked->Handle() == menu ? tracked->Root() : nullptr; }

TMenuItem* TrackMenu(TMenuItem& root, TPoint screen) {
  if (tracked) return nullptr;
  const NativeMenu native(root);
  tracked = &native;
  const win::UINT id = win::TrackPopupMenu(native.Handle(), win::TPM_RETURNCMD, screen.x, screen.y, 0, nullptr, nullptr);
  tracked = nullptr;
  return native.ItemOf(id);
}

}  // namespace qelo::vcl::menu_popup

namespace qelo::vcl {

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  if (TMenuItem* chosen = menu_popup::TrackMenu(*Items(), Point(x, y))) chosen->Click();
}

}  // namespace qelo::vcl
