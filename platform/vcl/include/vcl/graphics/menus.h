// Menus of the form framework: items in a tree under a main or popup menu,
// shortcuts as key codes with modifier bits, and popup menus shown as
// top-level windows of our own with a modal tracking loop.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/classes.h"

namespace qelo::vcl {

// A virtual key in the low byte, modifiers in the high bits; 0 is none.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

constexpr TShortCut ShortCut(uint16_t key, TShortCut modifiers) {
  return static_cast<TShortCut>((key & 0xFF) | (modifiers & (scShift | scCtrl | scAlt)));
}
// "Ctrl+S", "Shift+Del", "F5", "Ctrl+Alt+Enter"; empty for none or a key
// without a name.
std::string ShortCutToText(TShortCut shortCut);
// The reverse, without regard to case or modifier order; 0 for text that
// names no key.
TShortCut TextToShortCut(std::string_view text);

// The letter after the single '&' of a caption, upper-cased; 0 when there
// is none ("&&" is a plain ampersand).
char AcceleratorOf(std::string_view caption);

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
extern const EnumInfo kMenuBreakInfo;

class TMenu;

class TMenuItem : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // A caption of "-" makes the item a separator line.
  bool IsLine() const { return caption_ == "-"; }
  bool Checked() const { return checked_; }
  // Checking a radio item unchecks the other radio items of its group
  // under the same parent.
  void SetChecked(bool checked);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool radio);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int index);
  // A click toggles the check mark (a radio item: sets it) before OnClick.
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool autoCheck) { autoCheck_ = autoCheck; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  // Drawn in bold; Enter on a menu without a selection picks it.
  bool Default() const { return default_; }
  void SetDefault(bool isDefault);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut shortCut) { shortCut_ = shortCut; }
  TMenuBreak Break() const { return break_; }
  void SetBreak(TMenuBreak menuBreak) { break_ = menuBreak; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }

  // Sub-items. An item can be under one parent only: adding it elsewhere
  // takes it from its old parent. EComponentError for an index out of
  // range or an item that would contain itself.
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void Delete(int index);  // frees the item
  void Clear();            // frees every sub-item
  int IndexOf(const TMenuItem* item) const;
  // The first sub-item (at any depth) with the shortcut, or null.
  TMenuItem* FindShortCut(TShortCut shortCut) const;
  // The main or popup menu the item is in, or null.
  TMenu* GetParentMenu() const;

  // What choosing the item does: AutoCheck, then OnClick. Nothing for a
  // disabled item.
  virtual void Click();

  TNotifyEvent OnClick;

  // Form files nest items in menus and items.
  void SetParentComponent(TComponent* parent) override;
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }

 private:
  friend class TMenu;
  void UncheckRadioPeers();

  std::string caption_;
  bool checked_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
  bool autoCheck_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  TShortCut shortCut_ = scNone;
  TMenuBreak break_ = mbNone;
  std::string hint_;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a menu's root item only
};

class TMenu : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The root item, whose sub-items are the menu's items.
  TMenuItem* Items() const { return items_; }
  // Clicks the enabled, visible item of the shortcut; false when none has it.
  bool IsShortCut(TShortCut shortCut);

 private:
  TMenuItem* items_;
};

// A menu that belongs to a form; its items are reached by their shortcuts.
class TMainMenu : public TMenu {
  QELO_VCL_CLASS()
 public:
  explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
};

class TPopupMenu : public TMenu {
  QELO_VCL_CLASS()
 public:
  explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}

  // Fires OnPopup, shows the menu with its top-left at the screen point
  // (moved to stay on the screen) and tracks the mouse and keyboard until an
  // item is chosen or the menu is dismissed; a chosen item is clicked after
  // the menu's windows are gone. Does nothing while another menu tracks.
  void Popup(int x, int y);
  // The control whose menu this is, while it pops up for it.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* component);
  // Whether controls open the menu themselves on a right click.
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool autoPopup) { autoPopup_ = autoPopup; }

  TNotifyEvent OnPopup;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TComponent* popupComponent_ = nullptr;
  bool autoPopup_ = true;
};

// For controls: opens a control's popup menu at a screen point when the
// menu pops up by itself (AutoPopup), with the control as its popup
// component. False when there is no such menu.
bool ShowPopupMenu(TPopupMenu* menu, TComponent* control, int screenX, int screenY);

// Registers the menu and image list classes for form files.
void RegisterGraphicsClasses();

}  // namespace qelo::vcl
