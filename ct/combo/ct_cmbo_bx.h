// The framed combo box of the control library. Over the framework's combo
// box it adds:
//   - its own keyboard search for list-style boxes: typed characters build
//     a search text that selects the first item starting with it, and a
//     pause of the search delay clears it;
//   - its own auto-completion for boxes with an edit field: the typed text
//     completes to the first item that starts with it, the completed tail
//     selected; AllowEdit False accepts completions only;
//   - a read-only mode with its own colour (no editing, no selection change
//     by keys, mouse or wheel), Enter-as-Tab;
//   - flat drop-down buttons, raised only while the control is hot;
//   - the framed-control property set, its frame painted inside the client
//     area after the window has painted itself, and the colour states;
//   - a drop-down list as wide as the widest item, wheel stepping, and
//     events for matches, texts not in the list, the list closing with or
//     without a choice, and deleted items.
// TCtComboBox publishes it and maps items to values through Values.
#pragma once

#include <functional>
#include <string>

#include "ct_common_framed.h"
#include "vcl/controls/combobox.h"
#include "vcl/controls/timer.h"

namespace qelo::ct {

using TCtDeleteComboItemEvent = std::function<void(vcl::TObject* sender, vcl::TObject* item)>;

// The pause (milliseconds) after which a list-style box's search text
// clears; read whenever a search timer is started.
int ComboSearchDelay();
void SetComboSearchDelay(int milliseconds);

class TCtCustomComboBox : public TCtFramedControl<vcl::TCustomComboBox> {
  QELO_VCL_CLASS()
  using Base = TCtFramedControl<vcl::TCustomComboBox>;

 public:
  explicit TCtCustomComboBox(vcl::TComponent* owner);
  ~TCtCustomComboBox() override;

  // ---- items ----
  void Add(const std::string& text) { Items()->Add(text); }
  // The first item that starts with the text, ignoring case; -1 for none.
  virtual int FindItem(const std::string& text) const;
  virtual int IndexOfItem(const std::string& text) const;
  // Completes to the first item starting with the text: the tail after it
  // selected, OnMatch when the chosen item changed. False when no item
  // starts with it. `key` (may be null) is handed to the framework's key
  // press handling once the text is complete.
  virtual bool AutoCompleteText(const std::string& text, char16_t* key = nullptr);
  // Chooses the first item starting with the text and makes it the search
  // text; a text no item starts with only beeps.
  virtual void SearchSelect(const std::string& text, char16_t* key = nullptr);
  // Sets the text without completing it.
  virtual void SetTextNoComplete(const std::string& text);
  const std::string& SearchText() const { return searchText_; }

  // ---- behaviour ----
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool value) { autoComplete_ = value; }
  bool AllowEdit() const { return allowEdit_; }
  void SetAllowEdit(bool value) { allowEdit_ = value; }
  bool BeepOnInvalidKey() const { return beepOnInvalidKey_; }
  void SetBeepOnInvalidKey(bool value) { beepOnInvalidKey_ = value; }
  bool KeepSearchCase() const { return keepSearchCase_; }
  void SetKeepSearchCase(bool value) { keepSearchCase_ = value; }
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }
  bool ReadOnly() const { return readOnly_; }
  virtual void SetReadOnly(bool value);
  // 0 or less: as wide as the widest item.
  int DropDownWidth() const { return dropDownWidth_; }
  void SetDropDownWidth(int value) { dropDownWidth_ = value; }

  // ---- frame ----
  void SetFrameVisible(bool value) override;
  bool Focused() const override { return focused_; }

  vcl::TNotifyEvent OnMatch;
  vcl::TNotifyEvent OnNotInList;
  vcl::TNotifyEvent OnSelEndCancel;
  vcl::TNotifyEvent OnSelEndOk;
  TCtDeleteComboItemEvent OnDeleteItem;

  void WndProc(vcl::TMessage& message) override;
  void Dispatch(vcl::TMessage& message) override;

 protected:
  vcl::TColor StateColor() const override;
  // Mouse over (`mouse`) or focus changed to `value`: redraws the hot parts
  // and shows the state's colour.
  virtual void UpdateFrame(bool mouse, bool value);
  void RepaintFrame() override;
  virtual void InvalidKey();
  virtual void DeleteItem(vcl::TObject* item);
  virtual void DoMatch();
  virtual void DoNotInList();
  virtual void DoSelEndCancel();
  virtual void DoSelEndOk();

  void Loaded() override;
  void KeyPress(char16_t& key) override;
  void DropDown() override;
  void CloseUp() override;
  void ComboWndProc(vcl::TMessage& message, win::HWND child, win::WNDPROC childDefault) override;
  bool DoMouseWheelDown(vcl::TShiftState shift, vcl::TPoint mousePos) override;
  bool DoMouseWheelUp(vcl::TShiftState shift, vcl::TPoint mousePos) override;

 private:
  bool HasEdit() const { return EditHandle() != nullptr; }
  bool Designing() const { return ComponentState().Contains(vcl::csDesigning); }
  // Keys of a list-style box: the search. True when the key was taken.
  bool ListKey(vcl::TMessage& m);
  void ListBackspace(char16_t key);
  void RestartSearchTimer();
  void SearchTimerFired(vcl::TObject*);
  // Messages of the edit field. True when the message was taken.
  bool EditMessage(vcl::TMessage& m, win::HWND child, win::WNDPROC childDefault);
  bool EditKeyDown(vcl::TMessage& m);
  bool EditChar(vcl::TMessage& m, win::HWND child, win::WNDPROC childDefault);
  bool EditBackspace(vcl::TMessage& m);
  void EditPrintable(vcl::TMessage& m, win::HWND child, win::WNDPROC childDefault);
  bool ReadOnlyEditKey(vcl::TMessage& m);
  void TextChanged();
  void Command(vcl::TMessage& m);
  void ItemDeleted(vcl::TMessage& m);
  void DrawOwnerItem(vcl::TMessage& m);
  bool WheelStep(int step);
  // Painting inside the client area, after the window's own.
  void PaintClientFrame();
  vcl::TRect ButtonRect() const;
  void PaintButton(vcl::TCanvas& canvas, const vcl::TRect& button);
  void PaintFrameLines(vcl::TCanvas& canvas, const vcl::TRect& client);
  int WidestItem();
  void RedrawHotParts();

  bool autoComplete_ = true;
  bool allowEdit_ = true;
  bool beepOnInvalidKey_ = true;
  bool keepSearchCase_ = false;
  bool tabOnEnter_ = false;
  bool readOnly_ = false;
  int dropDownWidth_ = 0;
  std::string searchText_;
  bool typing_ = false;          // a typed character is being processed
  bool internalChange_ = false;  // the next text change is the control's own
  bool enterPressed_ = false;    // Enter was just pressed in the edit field
  bool systemKey_ = false;       // a system key came before the next character
  bool pasting_ = false;         // Shift+Insert, Ctrl+V or Ctrl+X is being handled
  bool focused_ = false;
  vcl::TTimer* searchTimer_;
  vcl::TCanvas frameCanvas_;
};

class TCtComboBox : public TCtCustomComboBox {
  QELO_VCL_CLASS()
 public:
  explicit TCtComboBox(vcl::TComponent* owner);
  ~TCtComboBox() override;

  // The value of an item: its line of Values when that is not empty, else
  // its text.
  virtual std::string GetItemValue(int index) const;
  // The chosen item's value, or the text when no item (or an item without
  // a value) is chosen.
  virtual std::string GetValue() const;
  // Chooses the first item whose value is `value` (none when there is none).
  virtual void SetValue(const std::string& value);
  std::string Value() const { return GetValue(); }
  vcl::TStrings* Values() const { return values_; }
  virtual void SetValues(const vcl::TStrings* values);
  // Only owner-drawn boxes take another item height (in a new window).
  void SetItemHeight(int value) override;
  void Click() override;

 protected:
  void Change() override;

 private:
  void ValuesChanged(vcl::TObject*);
  void TakeChosenValue();

  vcl::TStringList* values_;
  std::string value_;
  bool settingValue_ = false;
  bool valuesChanged_ = false;
};

// The item object of image combo boxes: an indent level and a data object.
class TCtImageComboBoxItem : public vcl::TObject {
 public:
  int Indent = 0;
  vcl::TObject* Data = nullptr;
};

// The item object of a combo box's item; EInvalidCast when it is not one.
TCtImageComboBoxItem* GetImageComboItem(const vcl::TCustomComboBox& combo, int index);

// Registers the combo box for form files (once).
void RegisterCtComboBoxClasses();

}  // namespace qelo::ct
