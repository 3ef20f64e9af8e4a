// The list box over the native "ListBox" class: items kept in step with the
// window, single or multiple selection, sorting and owner-drawn items. What
// is set while there is no window (items, the chosen index, the selection)
// is kept and pushed to the window when it is made; a change of the
// selection by the user fires OnClick.
#pragma once

#include <vector>

#include "vcl/controls/list_strings.h"

namespace qelo::vcl {

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };
extern const EnumInfo kListBoxStyleInfo;

class TCustomListBox : public TWinControl {
  QELO_VCL_CLASS()
 public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TStrings* Items() const { return items_; }
  void SetItems(const TStrings* items) { items_->Assign(items); }
  // The chosen item; with MultiSelect the item with the focus.
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  // With MultiSelect: Shift and Ctrl extend the selection (else each click
  // toggles one item).
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool value);
  bool Selected(int index) const;
  void SetSelected(int index, bool value);
  int SelCount() const;
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle style);
  int ItemHeight() const;
  void SetItemHeight(int value);
  int TopIndex() const;
  TRect ItemRect(int index) const;
  void Clear() { items_->Clear(); }
  // The canvas owner-drawn items are painted on (while OnDrawItem runs).
  TCanvas* Canvas() const { return canvas_; }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);

 private:
  bool Live() const { return HandleAllocated(); }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const;
  void CheckIndex(int index) const;

  TNativeListStrings* items_;
  TCanvas* canvas_;
  int itemIndex_ = -1;
  std::vector<bool> selected_;  // kept while there is no window
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  bool sorted_ = false;
  TListBoxStyle style_ = lbStandard;
  int itemHeight_ = 16;
  ControlColorBrush brush_;
};

class TListBox : public TCustomListBox {
  QELO_VCL_CLASS()
 public:
  using TCustomListBox::TCustomListBox;
};

}  // namespace qelo::vcl
