// Menu items, menus and their class information.
#include "vcl/graphics/menus.h"

#include <algorithm>

#include "vcl/graphics/image_list.h"

namespace qelo::vcl {

const EnumInfo kMenuBreakInfo{"TMenuBreak", {"mbNone", "mbBreak", "mbBarBreak"}};

// ---- TMenuItem ---------------------------------------------------------------------

const ClassInfo& TMenuItem::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TMenuItem>("TMenuItem", TComponent::StaticClass())
          .Boolean("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck)
          .Enum("Break", kMenuBreakInfo, &TMenuItem::Break, &TMenuItem::SetBreak)
          .String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
          .Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
          .Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
          .Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
          .Integer("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex)
          .String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
          .Boolean("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
          .Integer("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut)
          .Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
          .Event("OnClick", &TMenuItem::OnClick)
          .Done();
  return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  if (parent_) parent_->Remove(this);
  Clear();
}

void TMenuItem::SetCaption(const std::string& caption) { caption_ = caption; }

void TMenuItem::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (checked && radioItem_) UncheckRadioPeers();
}

void TMenuItem::SetRadioItem(bool radio) {
  if (radio == radioItem_) return;
  radioItem_ = radio;
  if (radio && checked_) UncheckRadioPeers();
}

void TMenuItem::SetGroupIndex(int index) {
  if (index == groupIndex_) return;
  groupIndex_ = index;
  if (radioItem_ && checked_) UncheckRadioPeers();
}

void TMenuItem::UncheckRadioPeers() {
  if (!parent_) return;
  for (TMenuItem* peer : parent_->items_)
    if (peer != this && peer->radioItem_ && peer->groupIndex_ == groupIndex_) peer->checked_ = false;
}

void TMenuItem::SetDefault(bool isDefault) {
  if (isDefault == default_) return;
  if (isDefault && parent_)
    for (TMenuItem* peer : parent_->items_) peer->default_ = false;
  default_ = isDefault;
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EComponentError("Menu index out of range (" + std::to_string(index) + ")");
  return items_[static_cast<size_t>(index)];
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) throw EComponentError("Cannot insert a nil menu item");
  for (const TMenuItem* up = this; up; up = up->parent_)
    if (up == item) throw EComponentError("A menu item cannot contain itself");
  if (item->parent_ == this) return;
  if (index < 0 || index > Count())
    throw EComponentError("Menu index out of range (" + std::to_string(index) + ")");
  if (item->parent_) item->parent_->Remove(item);
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  if (item->radioItem_ && item->checked_) item->UncheckRadioPeers();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  Remove(item);
  item->Free();
}

void TMenuItem::Clear() {
  while (!items_.empty()) Delete(Count() - 1);
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) const {
  if (shortCut == scNone) return nullptr;
  for (TMenuItem* item : items_) {
    if (item->shortCut_ == shortCut) return item;
    if (TMenuItem* found = item->FindShortCut(shortCut)) return found;
  }
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return root->menu_;
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (autoCheck_) SetChecked(radioItem_ ? true : !checked_);
  if (OnClick) OnClick(this);
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TMenu*>(parent)) return menu->Items()->Add(this);
  if (auto* item = dynamic_cast<TMenuItem*>(parent)) return item->Add(this);
  throw EComponentError("A menu item cannot be placed in a " + (parent ? parent->ClassName() : std::string("nil")));
}

TComponent* TMenuItem::GetParentComponent() const {
  if (!parent_) return nullptr;
  if (parent_->menu_) return parent_->menu_;
  return parent_;
}

// ---- menus ---------------------------------------------------------------------------

const ClassInfo& TMenu::StaticClass() {
  static const ClassInfo info = ClassBuilder<TMenu>("TMenu", TComponent::StaticClass()).Done();
  return info;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() { items_->Free(); }

bool TMenu::IsShortCut(TShortCut shortCut) {
  TMenuItem* item = items_->FindShortCut(shortCut);
  for (TMenuItem* up = item; up && up != items_; up = up->Parent())
    if (!up->Enabled() || !up->Visible()) return false;
  if (!item) return false;
  item->Click();
  return true;
}

const ClassInfo& TMainMenu::StaticClass() {
  static const ClassInfo info = ClassBuilder<TMainMenu>("TMainMenu", TMenu::StaticClass()).Done();
  return info;
}

const ClassInfo& TPopupMenu::StaticClass() {
  static const ClassInfo info = ClassBuilder<TPopupMenu>("TPopupMenu", TMenu::StaticClass())
                                    .Boolean("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup)
                                    .Event("OnPopup", &TPopupMenu::OnPopup)
                                    .Done();
  return info;
}

void TPopupMenu::SetPopupComponent(TComponent* component) {
  if (component == popupComponent_) return;
  if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
  popupComponent_ = component;
  if (component) component->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

bool ShowPopupMenu(TPopupMenu* menu, TComponent* control, int screenX, int screenY) {
  if (!menu || !menu->AutoPopup()) return false;
  menu->SetPopupComponent(control);
  menu->Popup(screenX, screenY);
  return true;
}

void RegisterGraphicsClasses() {
  static const bool registered = [] {
    RegisterClasses({&TMenuItem::StaticClass(), &TMainMenu::StaticClass(), &TPopupMenu::StaticClass(),
                     &TImageList::StaticClass()});
    return true;
  }();
  (void)registered;
}

}  // namespace qelo::vcl
