// The combo box over the native "ComboBox" class: an edit field
// (csDropDown) or a selection field (csDropDownList, csOwnerDrawFixed) over
// a drop-down list. Items, the chosen index and the text are kept while
// there is no window and pushed to it when it is made; the window's
// notifications become OnSelect, OnChange, OnDropDown and OnCloseUp.
//
// Both children of the window, the edit field and the drop-down list, are
// subclassed: their messages pass ComboWndProc (through EditWndProc and
// ListWndProc), where descendants can take them. Keys of the edit field go
// through the framework's key handling (OnKeyDown, OnKeyPress, dialog
// keys) before the edit sees them, and the edit field counts as part of
// the control for the mouse (enter and leave).
//
// AutoComplete completes typed text to the first item that starts with it
// (a list-style box searches the typed letters within half a second);
// AutoDropDown opens the list on a typed key, AutoCloseUp closes it when a
// key chose an item in it; CharCase changes the case of typed letters.
// Items whose data the window deletes come as CN_DELETEITEM, except when
// the control makes its window again (the items live on).
#pragma once

#include <string>

#include "vcl/controls/edit.h"
#include "vcl/controls/list_strings.h"

namespace qelo::vcl {

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed };
extern const EnumInfo kComboBoxStyleInfo;

// The pause after which a list-style box's typed letters start a new search.
constexpr win::DWORD kComboAutoCompleteDelay = 500;

class TCustomComboBox : public TWinControl {
  QELO_VCL_CLASS()
 public:
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;

  TComboBoxStyle Style() const { return style_; }
  virtual void SetStyle(TComboBoxStyle style);
  TStrings* Items() const { return items_; }
  void SetItems(const TStrings* items) { items_->Assign(items); }
  int ItemIndex() const;
  void SetItemIndex(int index);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value);
  // The height of an item: the window's, or the one owner-drawn styles
  // give the window.
  int ItemHeight() const;
  virtual void SetItemHeight(int value);
  bool DroppedDown() const;
  void SetDroppedDown(bool value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  // Shown in grey in an empty edit field (csDropDown).
  const std::string& TextHint() const { return textHint_; }
  void SetTextHint(const std::string& value);
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool value) { autoComplete_ = value; }
  bool AutoDropDown() const { return autoDropDown_; }
  void SetAutoDropDown(bool value) { autoDropDown_ = value; }
  bool AutoCloseUp() const { return autoCloseUp_; }
  void SetAutoCloseUp(bool value) { autoCloseUp_ = value; }
  TEditCharCase CharCase() const { return charCase_; }
  // Also changes the case of the text the edit field shows.
  void SetCharCase(TEditCharCase value);
  // The edit field's selection (csDropDown), in UTF-16 units.
  int SelStart() const;
  void SetSelStart(int value);
  int SelLength() const;
  void SetSelLength(int value);
  void SelectAll();
  // The window or its edit field has the focus.
  bool Focused() const override;
  // The edit child (csDropDown), else null; the drop-down list (while
  // there is a window).
  win::HWND EditHandle() const { return edit_.window; }
  win::HWND ListHandle() const { return list_.window; }
  // The canvas owner-drawn items are painted on (while OnDrawItem runs).
  TCanvas* Canvas() const { return canvas_; }

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // OnKeyPress, then (with AutoComplete) the completion of the typed text.
  void KeyPress(char16_t& key) override;
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);
  // Every message of a child window (the edit field or the drop-down
  // list). Keys go through the framework's key handling first, and what is
  // left of them to the child; everything else to the child.
  virtual void ComboWndProc(TMessage& message, win::HWND child, win::WNDPROC childDefault);
  virtual void EditWndProc(TMessage& message);
  virtual void ListWndProc(TMessage& message);
  // Passes a message on to a child's own procedure.
  void CallChildDefault(TMessage& message, win::HWND child, win::WNDPROC childDefault);
  win::WNDPROC EditDefault() const { return edit_.defaultProc; }
  // A child's key is in the framework's hands (its message passes the
  // control's WndProc on its way to the child).
  bool HandlingChildKey() const { return childKey_.window != nullptr || inChildDefault_; }
  // The control's text is being set from what the window shows.
  bool TakingWindowText() const { return takingText_; }
  // With AutoDropDown, a typed key opens the closed list; Tab closes an
  // open one; Backspace and Esc leave it as it is.
  void DropDownForKey(char16_t key);
  // The selection of a list-style box changed in its window (keys, wheel,
  // the list): the text follows, then OnClick, OnSelect and OnChange.
  void SelectionChanged();

 private:
  friend win::LRESULT ComboChildWindowProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM);
  struct Child {
    win::HWND window = nullptr;
    win::WNDPROC defaultProc = nullptr;
  };
  bool Live() const { return HandleAllocated(); }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const;
  bool OwnerDrawn() const { return style_ == csOwnerDrawFixed; }
  void AttachChildren();
  Child Subclass(win::HWND window);
  void Release(Child& child);
  void ChildMessage(win::HWND window, TMessage& m);
  void ChildMouse(TMessage& m, win::HWND child);
  void ApplyCharCase();
  void TakeWindowText();
  void Command(UINT code);
  void CompleteTyped(char16_t& key);
  bool SelectMatch(const std::string& typed);

  TComboBoxStyle style_ = csDropDown;
  TNativeListStrings* items_;
  TCanvas* canvas_;
  int itemIndex_ = -1;
  int dropDownCount_ = 8;
  int itemHeight_ = 16;
  bool sorted_ = false;
  int maxLength_ = 0;
  std::string textHint_;
  bool autoComplete_ = true;
  bool autoDropDown_ = false;
  bool autoCloseUp_ = false;
  TEditCharCase charCase_ = ecNormal;
  std::string filter_;        // typed letters of a list-style box's search
  win::DWORD lastTyped_ = 0;  // when the last of them came
  bool takingText_ = false;
  Child edit_;
  Child list_;
  Child childKey_;              // the child whose key is in the framework's hands
  bool inChildDefault_ = false;  // a child's procedure runs that key
  bool editTracked_ = false;     // the edit field will report the mouse leaving it
  bool windowGoing_ = false;     // DestroyWnd runs
  ControlColorBrush brush_;
};

class TComboBox : public TCustomComboBox {
  QELO_VCL_CLASS()
 public:
  using TCustomComboBox::TCustomComboBox;
};

}  // namespace qelo::vcl
