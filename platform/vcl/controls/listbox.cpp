#include "vcl/controls/listbox.h"

#include <algorithm>

#include "win/controls/listbox.h"

namespace qelo::vcl {

const EnumInfo kListBoxStyleInfo{"TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed"}};

const ClassInfo& TCustomListBox::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCustomListBox>("TCustomListBox", TWinControl::StaticClass()).Done();
  return info;
}

const ClassInfo& TListBox::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TListBox>("TListBox", TCustomListBox::StaticClass())
          .Object<TStrings>("Items", &TListBox::Items)
          .Integer("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex)
          .Boolean("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect)
          .Boolean("ExtendedSelect", &TListBox::ExtendedSelect, &TListBox::SetExtendedSelect)
          .Boolean("Sorted", &TListBox::Sorted, &TListBox::SetSorted)
          .Enum("Style", kListBoxStyleInfo, &TListBox::Style, &TListBox::SetStyle)
          .Integer("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight)
          .Event("OnDrawItem", static_cast<TDrawItemEvent TListBox::*>(&TListBox::OnDrawItem))
          .Event("OnMeasureItem", static_cast<TMeasureItemEvent TListBox::*>(&TListBox::OnMeasureItem))
          .Skip("IntegralHeight")
          .Done();
  return info;
}

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), items_(new TNativeListStrings(*this, kListBoxMessages)), canvas_(new TCanvas) {
  // Clicks come from the window's selection changes, not from the mouse.
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);  // its own clWindow, not the parent's colour
}

TCustomListBox::~TCustomListBox() {
  DestroyHandle();
  delete items_;
  delete canvas_;
}

LRESULT TCustomListBox::Send(UINT msg, WPARAM w, LPARAM l) const {
  return win::SendMessage(WindowHandle(), msg, w, l);
}

void TCustomListBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = win::WC_LISTBOX;
  p.Style |= win::LBS_NOTIFY | win::LBS_HASSTRINGS | win::LBS_NOINTEGRALHEIGHT | win::WS_VSCROLL;
  if (sorted_) p.Style |= win::LBS_SORT;
  if (multiSelect_) p.Style |= extendedSelect_ ? win::LBS_EXTENDEDSEL : win::LBS_MULTIPLESEL;
  if (style_ == lbOwnerDrawFixed) p.Style |= win::LBS_OWNERDRAWFIXED;
  p.ExStyle |= win::WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
  const win::INITCOMMONCONTROLSEX classes{sizeof(win::INITCOMMONCONTROLSEX), win::ICC_STANDARD_CLASSES};
  win::InitCommonControlsEx(&classes);
  TWinControl::CreateWnd();
  SendFontToWindow(*this, false);
  if (style_ == lbOwnerDrawFixed) Send(win::LB_SETITEMHEIGHT, 0, itemHeight_);
  items_->WindowMade();
  if (multiSelect_) {
    for (size_t i = 0; i < selected_.size(); ++i)
      if (selected_[i]) Send(win::LB_SETSEL, 1, static_cast<LPARAM>(i));
  }
  selected_.clear();
  if (itemIndex_ >= 0) SetItemIndex(itemIndex_);
}

void TCustomListBox::DestroyWnd() {
  if (Live()) {
    itemIndex_ = ItemIndex();
    selected_.assign(static_cast<size_t>(items_->Count()), false);
    if (multiSelect_)
      for (int i = 0; i < items_->Count(); ++i) selected_[static_cast<size_t>(i)] = Selected(i);
    items_->WindowGoing();
  }
  TWinControl::DestroyWnd();
}

void TCustomListBox::CheckIndex(int index) const {
  if (index < 0 || index >= items_->Count())
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

int TCustomListBox::ItemIndex() const {
  if (!Live()) return itemIndex_;
  return static_cast<int>(Send(multiSelect_ ? win::LB_GETCARETINDEX : win::LB_GETCURSEL));
}

void TCustomListBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_->Count()) index = -1;
  if (!Live()) {
    itemIndex_ = index;
    return;
  }
  if (multiSelect_) Send(win::LB_SETCARETINDEX, static_cast<WPARAM>(index));
  else Send(win::LB_SETCURSEL, static_cast<WPARAM>(index));
}

void TCustomListBox::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  multiSelect_ = value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool value) {
  if (value == extendedSelect_) return;
  extendedSelect_ = value;
  RecreateWnd();
}

// Without MultiSelect an item is selected exactly when it is the chosen one.
bool TCustomListBox::Selected(int index) const {
  CheckIndex(index);
  if (!multiSelect_) return ItemIndex() == index;
  if (!Live()) return static_cast<size_t>(index) < selected_.size() && selected_[static_cast<size_t>(index)];
  return Send(win::LB_GETSEL, static_cast<WPARAM>(index)) > 0;
}

void TCustomListBox::SetSelected(int index, bool value) {
  CheckIndex(index);
  if (!multiSelect_) {
    if (value) SetItemIndex(index);
    else if (ItemIndex() == index) SetItemIndex(-1);
    return;
  }
  if (!Live()) {
    selected_.resize(std::max(selected_.size(), static_cast<size_t>(items_->Count())), false);
    selected_[static_cast<size_t>(index)] = value;
    return;
  }
  Send(win::LB_SETSEL, value ? 1 : 0, index);
}

int TCustomListBox::SelCount() const {
  if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
  if (Live()) return static_cast<int>(Send(win::LB_GETSELCOUNT));
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TCustomListBox::SetSorted(bool value) {
  if (value == sorted_) return;
  sorted_ = value;
  items_->SetSorted(value);
  RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle style) {
  if (style == style_) return;
  style_ = style;
  RecreateWnd();
}

int TCustomListBox::ItemHeight() const {
  return Live() ? static_cast<int>(Send(win::LB_GETITEMHEIGHT)) : itemHeight_;
}

void TCustomListBox::SetItemHeight(int value) {
  if (value < 1 || value == itemHeight_) return;
  itemHeight_ = value;
  if (Live() && style_ == lbOwnerDrawFixed) Send(win::LB_SETITEMHEIGHT, 0, value);
}

int TCustomListBox::TopIndex() const { return Live() ? static_cast<int>(Send(win::LB_GETTOPINDEX)) : 0; }

TRect TCustomListBox::ItemRect(int index) const {
  TRect r{};
  if (Live()) Send(win::LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (OnDrawItem) OnDrawItem(this, index, rect, state);
  else DrawItemText(*canvas_, rect, items_->Get(index));
}

void TCustomListBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListBox::Dispatch(TMessage& m) {
  if (brush_.AnswerColorRequest(*this, m)) return;
  switch (m.Msg) {
    case CN_COMMAND:
      if (win::HIWORD(m.WParam) == win::LBN_SELCHANGE) Click();
      return;
    case CN_DRAWITEM:
      PaintOwnerDrawnItem(*this, *canvas_, *reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam),
                          [this](int index, const TRect& r, TOwnerDrawState state) { DrawItem(index, r, state); });
      m.Result = 1;
      return;
    case CN_MEASUREITEM:
      MeasureOwnerDrawnItem(*reinterpret_cast<win::MEASUREITEMSTRUCT*>(m.LParam), itemHeight_,
                            [this](int index, int& height) { MeasureItem(index, height); });
      m.Result = 1;
      return;
    case CM_FONTCHANGED:
      SendFontToWindow(*this, true);
      TWinControl::Dispatch(m);
      return;
    default: TWinControl::Dispatch(m);
  }
}

}  // namespace qelo::vcl
