// The combo box over the native "ComboBox" class: an edit field
// (csDropDown) or a selection field (csDropDownList, csOwnerDrawFixed) over
// a drop-down list. Items, the chosen index and the text are kept while
// there is no window and pushed to it when it is made; the window's
// notifications become OnSelect, OnChange, OnDropDown and OnCloseUp. The
// edit child's keys pass the framework's key handling (OnKeyDown,
// OnKeyPress, dialog keys) before the edit sees them.
#pragma once

#include "vcl/controls/list_strings.h"

namespace qelo::vcl {

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed };
extern const EnumInfo kComboBoxStyleInfo;

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
  // The edit field's selection (csDropDown), in UTF-16 units.
  int SelStart() const;
  void SetSelStart(int value);
  int SelLength() const;
  void SetSelLength(int value);
  void SelectAll();
  // The window or its edit field has the focus.
  bool Focused() const;
  // The edit child (csDropDown), else null.
  win::HWND EditHandle() const { return edit_; }
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
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);
  // Every message of the edit child. Keys go through the framework's key
  // handling first; everything else, and the keys left over, to the edit.
  virtual void EditWndProc(TMessage& message);
  // Passes a message on to the edit child's own procedure.
  void CallEditDefault(TMessage& message);

 private:
  friend win::LRESULT ComboEditWindowProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM);
  bool Live() const { return HandleAllocated(); }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const;
  bool OwnerDrawn() const { return style_ == csOwnerDrawFixed; }
  void AttachEdit();
  void TakeWindowText();
  void Command(UINT code);
  void SelectionChanged();

  TComboBoxStyle style_ = csDropDown;
  TNativeListStrings* items_;
  TCanvas* canvas_;
  int itemIndex_ = -1;
  int dropDownCount_ = 8;
  int itemHeight_ = 16;
  bool sorted_ = false;
  int maxLength_ = 0;
  std::string textHint_;
  bool takingText_ = false;
  win::HWND edit_ = nullptr;
  win::WNDPROC editDefault_ = nullptr;
  bool editKey_ = false;       // a key of the edit child is in the framework's hands
  bool inEditDefault_ = false;  // the edit child's procedure runs that key
  ControlColorBrush brush_;
};

class TComboBox : public TCustomComboBox {
  QELO_VCL_CLASS()
 public:
  using TCustomComboBox::TCustomComboBox;
};

}  // namespace qelo::vcl
