#include "vcl/controls/listview.h"

#include "vcl/sysutils.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace qelo::vcl {
namespace {

using namespace win;

int ColumnFormat(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return LVCFMT_RIGHT;
    case taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
  }
}

struct SortContext {
  TLVCompare compare;
  intptr_t data;
};

int NativeCompare(LPARAM a, LPARAM b, LPARAM context) {
  const auto* c = reinterpret_cast<const SortContext*>(context);
  return c->compare(reinterpret_cast<TListItem*>(a), reinterpret_cast<TListItem*>(b), c->data);
}

}  // namespace

const EnumInfo kViewStyleInfo{"TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}};
const EnumInfo kSortTypeInfo{"TSortType", {"stNone", "stData", "stText", "stBoth"}};

// ---- columns -------------------------------------------------------------------

const ClassInfo& TListColumn::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TListColumn>("TListColumn", TPersistent::StaticClass())
          .String("Caption", &TListColumn::Caption, &TListColumn::SetCaption)
          .Integer("Width", &TListColumn::Width, &TListColumn::SetWidth)
          .Enum("Alignment", kAlignmentInfo, &TListColumn::Alignment, &TListColumn::SetAlignment)
          .Integer("ImageIndex", &TListColumn::ImageIndex, &TListColumn::SetImageIndex)
          .Done();
  return info;
}

const ClassInfo& TListColumns::StaticClass() {
  static const ClassInfo info = ClassBuilder<TListColumns>("TListColumns", TCollection::StaticClass()).Done();
  return info;
}

TListColumn::TListColumn(TCustomListView* owner, int index) : owner_(owner), index_(index) {}

LVCOLUMN TListColumn::Native(UINT mask) const {
  LVCOLUMN c;
  c.mask = mask;
  c.fmt = ColumnFormat(alignment_) | (imageIndex_ >= 0 ? LVCFMT_IMAGE : 0);
  c.cx = width_;
  c.pszText = const_cast<char*>(caption_.c_str());
  c.iSubItem = index_;
  c.iImage = imageIndex_;
  return c;
}

void TListColumn::Push(UINT mask) {
  LVCOLUMN c = Native(mask);
  owner_->Send(LVM_SETCOLUMN, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&c));
}

void TListColumn::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Push(LVCF_TEXT);
}

int TListColumn::Width() const {
  if (!owner_->HandleAllocated()) return width_;
  return static_cast<int>(owner_->Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index_)));
}

void TListColumn::SetWidth(int width) {
  width_ = std::max(width, 0);
  owner_->Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index_), width_);
}

void TListColumn::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Push(LVCF_FMT);
}

void TListColumn::SetImageIndex(int index) {
  if (index == imageIndex_) return;
  imageIndex_ = index;
  Push(LVCF_FMT | LVCF_IMAGE);
}

TListColumn* TListColumns::Add() {
  const int index = Count();
  columns_.push_back(std::make_unique<TListColumn>(owner_, index));
  LVCOLUMN c = columns_.back()->Native(LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM | LVCF_IMAGE);
  owner_->Send(LVM_INSERTCOLUMN, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&c));
  return columns_.back().get();
}

TListColumn* TListColumns::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return columns_[static_cast<size_t>(index)].get();
}

void TListColumns::Delete(int index) {
  Items(index);
  owner_->Send(LVM_DELETECOLUMN, static_cast<WPARAM>(index));
  columns_.erase(columns_.begin() + index);
  for (int i = index; i < Count(); ++i) columns_[static_cast<size_t>(i)]->index_ = i;
}

void TListColumns::Clear() {
  while (Count() > 0) Delete(Count() - 1);
}

// ---- items ---------------------------------------------------------------------

TListItem::TListItem(TListItems* owner) : owner_(owner), subItems_(std::make_unique<TStringList>()) {
  subItems_->OnChange = [this](TObject*) { SubItemsChanged(); };
}

TListItem::~TListItem() {
  if (owner_) owner_->Remove(this);
}

TCustomListView* TListItem::ListView() const { return owner_ ? owner_->Owner() : nullptr; }

int TListItem::Index() const {
  if (dataIndex_ >= 0) return dataIndex_;
  return owner_ ? owner_->IndexOf(this) : -1;
}

// An owner-data list asks for its texts; nothing is pushed.
void TListItem::PushText(int subItem) const {
  TCustomListView* view = ListView();
  if (!view || !view->HandleAllocated() || view->ownerData_) return;
  const std::string text = subItem == 0 ? caption_
                           : subItem <= subItems_->Count() ? subItems_->Get(subItem - 1)
                                                           : std::string();
  LVITEM item;
  item.iSubItem = subItem;
  item.pszText = const_cast<char*>(text.c_str());
  view->Send(LVM_SETITEMTEXT, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&item));
}

void TListItem::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  PushText(0);
  TCustomListView* view = ListView();
  if (view && !view->ownerData_ && (view->sortType_ == stText || view->sortType_ == stBoth) && owner_->updateCount_ == 0)
    view->AlphaSort();
}

void TListItem::SubItemsChanged() {
  const size_t count = static_cast<size_t>(subItems_->Count());
  // Texts of sub-items that went are cleared in the window too.
  for (size_t i = 0; i < std::max(count, pushedSubItems_); ++i) PushText(static_cast<int>(i) + 1);
  pushedSubItems_ = count;
}

void TListItem::SetImageIndex(int index) {
  if (index == imageIndex_) return;
  imageIndex_ = index;
  TCustomListView* view = ListView();
  if (!view || !view->HandleAllocated() || view->ownerData_) return;
  LVITEM item;
  item.mask = LVIF_IMAGE;
  item.iItem = Index();
  item.iImage = index;
  view->Send(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
}

bool TListItem::HasState(UINT bit) const {
  TCustomListView* view = ListView();
  if (!view || !view->HandleAllocated()) return (states_ & bit) != 0;
  return (view->Send(LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), bit) & bit) != 0;
}

void TListItem::SetState(UINT bit, bool on) {
  TCustomListView* view = ListView();
  if (!view || !view->HandleAllocated()) {
    states_ = on ? (states_ | bit) : (states_ & ~bit);
    return;
  }
  LVITEM item;
  item.stateMask = bit;
  item.state = on ? bit : 0;
  view->Send(LVM_SETITEMSTATE, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&item));
}

int TListItem::StateIndex() const {
  TCustomListView* view = ListView();
  if (!view || !view->HandleAllocated()) return stateIndex_;
  const auto state = static_cast<UINT>(view->Send(LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), LVIS_STATEIMAGEMASK));
  return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12) - 1;
}

void TListItem::SetStateIndex(int index) {
  TCustomListView* view = ListView();
  if (!view || !view->HandleAllocated()) {
    stateIndex_ = index;
    return;
  }
  LVITEM item;
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(index + 1);
  view->Send(LVM_SETITEMSTATE, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&item));
}

void TListItem::SaveStates() {
  states_ = (Selected() ? LVIS_SELECTED : 0) | (Focused() ? LVIS_FOCUSED : 0);
  stateIndex_ = StateIndex();
}

TRect TListItem::DisplayRect(TDisplayCode code) const {
  TCustomListView* view = ListView();
  RECT r{};
  r.left = static_cast<int>(code);  // drBounds..drSelectBounds are LVIR_BOUNDS..LVIR_SELECTBOUNDS
  if (!view || !view->Send(LVM_GETITEMRECT, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&r))) return {};
  return Rect(r.left, r.top, r.right, r.bottom);
}

void TListItem::MakeVisible() {
  if (TCustomListView* view = ListView()) view->Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index()), 0);
}

bool TListItem::EditCaption() {
  TCustomListView* view = ListView();
  return view && view->Send(LVM_EDITLABEL, static_cast<WPARAM>(Index())) != 0;
}

void TListItem::Delete() { delete this; }

TListItems::~TListItems() { Clear(); }

TListItem* TListItems::Insert(int index) {
  if (owner_->ownerData_) throw EListError("An owner-data list holds no items of its own: set Items.Count");
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  auto* item = new TListItem(this);
  if (owner_->checkboxes_) item->stateIndex_ = 0;
  items_.insert(items_.begin() + index, item);
  PushItem(index);
  if (owner_->OnInsert) owner_->OnInsert(owner_, item);
  return item;
}

void TListItems::PushItem(int index) const {
  if (!owner_->HandleAllocated()) return;
  TListItem* item = items_[static_cast<size_t>(index)];
  LVITEM native;
  native.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_GROUPID;
  native.iItem = index;
  native.iGroupId = item->groupId_ < 0 ? I_GROUPIDNONE : item->groupId_;
  native.pszText = const_cast<char*>(item->caption_.c_str());
  native.iImage = item->imageIndex_;
  native.lParam = reinterpret_cast<LPARAM>(item);
  native.stateMask = LVIS_SELECTED | LVIS_FOCUSED | (item->stateIndex_ >= 0 ? LVIS_STATEIMAGEMASK : 0);
  native.state = item->states_ | (item->stateIndex_ >= 0 ? INDEXTOSTATEIMAGEMASK(item->stateIndex_ + 1) : 0);
  owner_->creatingItems_ = true;
  owner_->Send(LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&native));
  owner_->creatingItems_ = false;
  item->pushedSubItems_ = 0;
  item->SubItemsChanged();
}


int TListItems::IndexOf(const TListItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TListItems::Delete(int index) { delete Item(index); }

void TListItems::Clear() {
  if (owner_->ownerData_) return SetCount(0);
  BeginUpdate();
  while (Count() > 0) Delete(Count() - 1);
  EndUpdate();
}

// An item that is being deleted leaves the list and the window.
void TListItems::Remove(TListItem* item) {
  const int index = IndexOf(item);
  if (index < 0) return;
  if (owner_->OnDeletion && !owner_->ComponentState().Contains(csDestroying)) owner_->OnDeletion(owner_, item);
  owner_->Send(LVM_DELETEITEM, static_cast<WPARAM>(index));
  items_.erase(items_.begin() + index);
  item->owner_ = nullptr;
}

void TListItems::BeginUpdate() { ++updateCount_; }

void TListItems::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0) return;
  if (owner_->sortType_ != stNone) owner_->AlphaSort();
  owner_->Invalidate();
}

// ---- the control ---------------------------------------------------------------------

const ClassInfo& TCustomListView::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCustomListView>("TCustomListView", TWinControl::StaticClass())
          .Enum("ViewStyle", kViewStyleInfo, &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle)
          .Boolean("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect)
          .Boolean("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly)
          .Boolean("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect)
          .Boolean("Checkboxes", &TCustomListView::Checkboxes, &TCustomListView::SetCheckboxes)
          .Boolean("GridLines", &TCustomListView::GridLines, &TCustomListView::SetGridLines)
          .Boolean("FullDrag", &TCustomListView::FullDrag, &TCustomListView::SetFullDrag)
          .Enum("BorderStyle", kBorderStyleInfo, &TCustomListView::BorderStyle, &TCustomListView::SetBorderStyle)
          .Object<TListColumns>("Columns", &TCustomListView::Columns)
          .Object<TListGroups>("Groups", &TCustomListView::Groups)
          .Boolean("GroupView", &TCustomListView::GroupView, &TCustomListView::SetGroupView)
          .Component("GroupHeaderImages", &TCustomListView::GroupHeaderImages, &TCustomListView::SetGroupHeaderImages)
          .Boolean("OwnerData", &TCustomListView::OwnerData, &TCustomListView::SetOwnerData)
          .Integer("HoverTime", &TCustomListView::HoverTime, &TCustomListView::SetHoverTime)
          .Boolean("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection)
          .Boolean("OwnerDraw", &TCustomListView::OwnerDraw, &TCustomListView::SetOwnerDraw)
          .Boolean("ColumnClick", &TCustomListView::ColumnClick, &TCustomListView::SetColumnClick)
          .Boolean("ShowColumnHeaders", &TCustomListView::ShowColumnHeaders, &TCustomListView::SetShowColumnHeaders)
          .Enum("SortType", kSortTypeInfo, &TCustomListView::SortType, &TCustomListView::SetSortType)
          .Component("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages)
          .Component("StateImages", &TCustomListView::StateImages, &TCustomListView::SetStateImages)
          .Event("OnChanging", &TCustomListView::OnChanging)
          .Event("OnChange", &TCustomListView::OnChange)
          .Event("OnSelectItem", &TCustomListView::OnSelectItem)
          .Event("OnItemChecked", &TCustomListView::OnItemChecked)
          .Event("OnDeletion", &TCustomListView::OnDeletion)
          .Event("OnInsert", &TCustomListView::OnInsert)
          .Event("OnColumnClick", &TCustomListView::OnColumnClick)
          .Event("OnColumnDragged", &TCustomListView::OnColumnDragged)
          .Event("OnDataStateChange", &TCustomListView::OnDataStateChange)
          .Event("OnEditing", &TCustomListView::OnEditing)
          .Event("OnEdited", &TCustomListView::OnEdited)
          .Event("OnInfoTip", &TCustomListView::OnInfoTip)
          .Event("OnCompare", &TCustomListView::OnCompare)
          .Event("OnDrawItem", &TCustomListView::OnDrawItem)
          .Event("OnCustomDraw", &TCustomListView::OnCustomDraw)
          .Event("OnCustomDrawItem", &TCustomListView::OnCustomDrawItem)
          .Event("OnCustomDrawSubItem", &TCustomListView::OnCustomDrawSubItem)
          .Event("OnAdvancedCustomDraw", &TCustomListView::OnAdvancedCustomDraw)
          .Event("OnAdvancedCustomDrawItem", &TCustomListView::OnAdvancedCustomDrawItem)
          .Event("OnAdvancedCustomDrawSubItem", &TCustomListView::OnAdvancedCustomDrawSubItem)
          .Event("OnColumnRightClick", &TCustomListView::OnColumnRightClick)
          .Event("OnData", &TCustomListView::OnData)
          .Event("OnDataHint", &TCustomListView::OnDataHint)
          .Event("OnDataFind", &TCustomListView::OnDataFind)
          .Done();
  return info;
}

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner),
      columns_(std::make_unique<TListColumns>(this)),
      groups_(std::make_unique<TListGroups>(this)),
      items_(this),
      canvas_(std::make_unique<TCanvas>()) {
  SetBounds(Left(), Top(), 250, 150);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  smallLink_.OnChange = [this](TObject* s) { ImageListChange(s); };
  stateLink_.OnChange = [this](TObject* s) { ImageListChange(s); };
  groupHeaderLink_.OnChange = [this](TObject* s) { ImageListChange(s); };
}

TCustomListView::~TCustomListView() {
  items_.Clear();
  if (smallImages_) smallImages_->UnRegisterChanges(&smallLink_);
  if (stateImages_) stateImages_->UnRegisterChanges(&stateLink_);
  if (groupHeaderImages_) groupHeaderImages_->UnRegisterChanges(&groupHeaderLink_);
}

LRESULT TCustomListView::Send(UINT msg, WPARAM w, LPARAM l) const {
  return HandleAllocated() ? win::SendMessage(WindowHandle(), msg, w, l) : 0;
}

void TCustomListView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  static constexpr DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  p.WinClassName = WC_LISTVIEW;
  p.Style |= kViewStyles[viewStyle_];
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
  if (!multiSelect_) p.Style |= LVS_SINGLESEL;
  if (!readOnly_) p.Style |= LVS_EDITLABELS;
  if (!hideSelection_) p.Style |= LVS_SHOWSELALWAYS;
  if (ownerDraw_) p.Style |= LVS_OWNERDRAWFIXED;
  if (!columnClick_) p.Style |= LVS_NOSORTHEADER;
  if (!showColumnHeaders_) p.Style |= LVS_NOCOLUMNHEADER;
  if (ownerData_) p.Style |= LVS_OWNERDATA;
}

DWORD TCustomListView::ExStyle() const {
  return LVS_EX_INFOTIP | (rowSelect_ ? LVS_EX_FULLROWSELECT : 0) | (checkboxes_ ? LVS_EX_CHECKBOXES : 0) |
         (gridLines_ ? LVS_EX_GRIDLINES : 0) | (fullDrag_ ? LVS_EX_HEADERDRAGDROP : 0);
}

void TCustomListView::CreateWnd() {
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&classes);
  TWinControl::CreateWnd();
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExStyle()));
  Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  PushImageList(LVSIL_SMALL, smallImages_);
  PushImageList(LVSIL_STATE, stateImages_);
  PushImageList(LVSIL_GROUPHEADER, groupHeaderImages_);
  Send(LVM_SETHOVERTIME, 0, hoverTime_);
  for (const auto& column : columns_->columns_) {
    LVCOLUMN c = column->Native(LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM | LVCF_IMAGE);
    Send(LVM_INSERTCOLUMN, static_cast<WPARAM>(column->index_), reinterpret_cast<LPARAM>(&c));
  }
  PushGroups();
  if (ownerData_) Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(items_.dataCount_));
  else
    for (int i = 0; i < items_.Count(); ++i) items_.PushItem(i);
}

void TCustomListView::DestroyWnd() {
  for (TListItem* item : items_.items_) item->SaveStates();
  for (const auto& column : columns_->columns_) column->width_ = column->Width();
  TWinControl::DestroyWnd();
}

void TCustomListView::SetStyleFlag(bool& field, bool value) {
  if (field == value) return;
  field = value;
  RecreateWnd();
}

void TCustomListView::SetExFlag(bool& field, bool value) {
  if (field == value) return;
  field = value;
  // Items made before the window get their check box state image with it.
  if (&field == &checkboxes_ && !HandleAllocated())
    for (TListItem* item : items_.items_) item->stateIndex_ = value ? std::max(item->stateIndex_, 0) : -1;
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExStyle()));
}

void TCustomListView::SetBorderStyle(TBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWnd();
}

win::HWND TCustomListView::HeaderHandle() const {
  return reinterpret_cast<win::HWND>(Send(LVM_GETHEADER));
}

void TCustomListView::SetViewStyle(TViewStyle style) {
  if (style == viewStyle_) return;
  viewStyle_ = style;
  RecreateWnd();
}

void TCustomListView::PushImageList(int which, TImageList* list) const {
  Send(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list ? list->Handle() : nullptr));
}

void TCustomListView::SetImageList(TImageList*& field, TChangeLink& link, TImageList* list, int which) {
  if (ChangeImageList(field, list, link, *this)) PushImageList(which, field);
}

void TCustomListView::SetSmallImages(TImageList* images) { SetImageList(smallImages_, smallLink_, images, LVSIL_SMALL); }
void TCustomListView::SetStateImages(TImageList* images) { SetImageList(stateImages_, stateLink_, images, LVSIL_STATE); }

// A list whose size or images changed is given to the window again, so the
// rows take the new height.
void TCustomListView::ImageListChange(TObject* sender) {
  if (sender == smallImages_) PushImageList(LVSIL_SMALL, smallImages_);
  if (sender == stateImages_) PushImageList(LVSIL_STATE, stateImages_);
  if (sender == groupHeaderImages_) PushImageList(LVSIL_GROUPHEADER, groupHeaderImages_);
}

void TCustomListView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  // A list that goes is told last, when only its component part is left
  // (its links were already let go): forget it without calling it.
  if (component == smallImages_) {
    smallImages_ = nullptr;
    PushImageList(LVSIL_SMALL, nullptr);
  }
  if (component == stateImages_) {
    stateImages_ = nullptr;
    PushImageList(LVSIL_STATE, nullptr);
  }
  if (component == groupHeaderImages_) {
    groupHeaderImages_ = nullptr;
    PushImageList(LVSIL_GROUPHEADER, nullptr);
  }
}

TListItem* TCustomListView::ItemOf(int index) const {
  return index >= 0 && index < items_.Count() ? items_.Item(index) : nullptr;
}

TListItem* TCustomListView::Selected() const {
  if (HandleAllocated())
    return ItemOf(static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
  for (TListItem* item : items_.items_)
    if (item->Selected()) return item;
  return nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
  ClearSelection();
  if (item) item->SetSelected(true);
}

void TCustomListView::ClearSelection() {
  if (ownerData_) {
    LVITEM none;
    none.stateMask = LVIS_SELECTED;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    return;
  }
  for (TListItem* item : items_.items_)
    if (item->Selected()) item->SetSelected(false);
}

int TCustomListView::SelCount() const {
  if (HandleAllocated()) return static_cast<int>(Send(LVM_GETSELECTEDCOUNT));
  return static_cast<int>(std::count_if(items_.items_.begin(), items_.items_.end(),
                                        [](const TListItem* i) { return i->Selected(); }));
}

TListItem* TCustomListView::ItemFocused() const {
  if (HandleAllocated())
    return ItemOf(static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
  for (TListItem* item : items_.items_)
    if (item->Focused()) return item;
  return nullptr;
}

void TCustomListView::SetItemFocused(TListItem* item) {
  if (TListItem* old = ItemFocused(); old && old != item) old->SetFocused(false);
  if (item) item->SetFocused(true);
}

TListItem* TCustomListView::GetItemAt(int x, int y) const {
  LVHITTESTINFO info;
  info.pt = POINT{x, y};
  const int index = static_cast<int>(Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  return (info.flags & LVHT_ONITEM) ? ItemOf(index) : nullptr;
}

THitTests TCustomListView::GetHitTestInfoAt(int x, int y) const {
  LVHITTESTINFO info;
  info.pt = POINT{x, y};
  Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  THitTests tests;
  static constexpr std::pair<UINT, THitTest> kFlags[] = {
      {LVHT_ABOVE, htAbove},          {LVHT_BELOW, htBelow},        {LVHT_NOWHERE, htNowhere},
      {LVHT_ONITEMICON, htOnIcon},    {LVHT_ONITEMLABEL, htOnLabel}, {LVHT_ONITEMSTATEICON, htOnStateIcon},
      {LVHT_TOLEFT, htToLeft},        {LVHT_TORIGHT, htToRight}};
  for (const auto& [flag, test] : kFlags)
    if (info.flags & flag) tests.Include(test);
  if (info.flags & LVHT_ONITEM) tests.Include(htOnItem);
  return tests;
}

void TCustomListView::Scroll(int dx, int dy) { Send(LVM_SCROLL, static_cast<WPARAM>(dx), dy); }

void TCustomListView::SetSortType(TSortType type) {
  if (type == sortType_) return;
  sortType_ = type;
  if (type != stNone) AlphaSort();
}

bool TCustomListView::AlphaSort() {
  return CustomSort(
      [](TListItem* a, TListItem* b, intptr_t) {
        TCustomListView* view = a->ListView();
        int result = 0;
        if (view->OnCompare) {
          view->OnCompare(view, a, b, 0, result);
          return result;
        }
        if (view->sortType_ != stData) result = CompareText(a->Caption(), b->Caption());
        if (result == 0 && view->sortType_ != stText && a->Data() != b->Data()) result = a->Data() < b->Data() ? -1 : 1;
        return result;
      },
      0);
}

// The program keeps an owner-data list's order.
bool TCustomListView::CustomSort(TLVCompare compare, intptr_t data) {
  if (!compare || ownerData_) return false;
  if (!HandleAllocated()) {
    std::stable_sort(items_.items_.begin(), items_.items_.end(),
                     [&](TListItem* a, TListItem* b) { return compare(a, b, data) < 0; });
    return true;
  }
  SortContext context{compare, data};
  if (!Send(LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context), reinterpret_cast<LPARAM>(&NativeCompare))) return false;
  ReadOrderBack();
  return true;
}

void TCustomListView::ReadOrderBack() {
  for (int i = 0; i < items_.Count(); ++i) {
    LVITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = i;
    Send(LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
    items_.items_[static_cast<size_t>(i)] = reinterpret_cast<TListItem*>(item.lParam);
  }
}

bool TCustomListView::CanEdit(TListItem* item) {
  bool allow = !readOnly_;
  if (allow && OnEditing) OnEditing(this, item, allow);
  return allow;
}

bool TCustomListView::CanChange(TListItem* item, TItemChange change) {
  bool allow = true;
  if (OnChanging) OnChanging(this, item, change, allow);
  return allow;
}

void TCustomListView::Change(TListItem* item, TItemChange change) {
  if (OnChange) OnChange(this, item, change);
}

void TCustomListView::ColClick(TListColumn* column) {
  if (OnColumnClick) OnColumnClick(this, column);
}

void TCustomListView::ColRightClick(TListColumn* column, TPoint point) {
  if (OnColumnRightClick) OnColumnRightClick(this, column, point);
}

void TCustomListView::ColumnDragged() {
  if (OnColumnDragged) OnColumnDragged(this);
}

void TCustomListView::DataStateChange(int startIndex, int endIndex, TItemStates oldState, TItemStates newState) {
  if (OnDataStateChange) OnDataStateChange(this, startIndex, endIndex, oldState, newState);
}

void TCustomListView::DoInfoTip(TListItem* item, std::string& infoTip) {
  if (OnInfoTip) OnInfoTip(this, item, infoTip);
}

// ---- notifications ---------------------------------------------------------------

namespace {

TItemStates ItemStatesOf(UINT state) {
  TItemStates states;
  if (state & LVIS_CUT) states.Include(isCut);
  if (state & LVIS_DROPHILITED) states.Include(isDropHilited);
  if (state & LVIS_FOCUSED) states.Include(isFocused);
  if (state & LVIS_SELECTED) states.Include(isSelected);
  return states;
}

TItemChange ChangeOf(UINT changed) {
  if (changed & LVIF_TEXT) return ctText;
  if (changed & LVIF_IMAGE) return ctImage;
  return ctState;
}

}  // namespace

LRESULT TCustomListView::ItemChanging(const NMLISTVIEW& n) {
  if (creatingItems_) return 0;
  return CanChange(ItemOf(n.iItem), ChangeOf(n.uChanged)) ? 0 : 1;
}

void TCustomListView::ItemChanged(const NMLISTVIEW& n) {
  if (creatingItems_) return;
  TListItem* item = ItemOf(n.iItem);
  const TItemChange change = ChangeOf(n.uChanged);
  Change(item, change);
  if (change != ctState) return;
  const UINT flipped = n.uNewState ^ n.uOldState;
  if ((flipped & LVIS_SELECTED) && OnSelectItem) OnSelectItem(this, item, (n.uNewState & LVIS_SELECTED) != 0);
  if ((flipped & LVIS_STATEIMAGEMASK) && checkboxes_ && OnItemChecked) OnItemChecked(this, item);
}

LRESULT TCustomListView::EndLabelEdit(NMLVDISPINFO& info) {
  TListItem* item = ItemOf(info.item.iItem);
  if (!item || !info.item.pszText) return 0;  // cancelled
  std::string text = info.item.pszText;
  if (OnEdited) OnEdited(this, item, text);
  item->SetCaption(text);
  return 0;  // the caption was pushed as the handler left it
}

void TCustomListView::NotifyMessage(TMessage& m) {
  auto* header = reinterpret_cast<NMHDR*>(m.LParam);
  m.Result = 0;
  // What the window reports while the control goes is no user's change.
  if (ComponentState().Contains(csDestroying)) return;
  switch (header->code) {
    case LVN_ITEMCHANGING: m.Result = ItemChanging(*reinterpret_cast<NMLISTVIEW*>(header)); return;
    case LVN_ITEMCHANGED: return ItemChanged(*reinterpret_cast<NMLISTVIEW*>(header));
    case LVN_COLUMNCLICK: {
      const int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
      if (column >= 0 && column < columns_->Count()) ColClick(columns_->Items(column));
      return;
    }
    case LVN_BEGINLABELEDIT: {
      TListItem* item = ItemOf(reinterpret_cast<NMLVDISPINFO*>(header)->item.iItem);
      m.Result = item && CanEdit(item) ? 0 : 1;
      return;
    }
    case LVN_ENDLABELEDIT: m.Result = EndLabelEdit(*reinterpret_cast<NMLVDISPINFO*>(header)); return;
    case LVN_GETINFOTIP: {
      auto* tip = reinterpret_cast<NMLVGETINFOTIP*>(header);
      TListItem* item = ItemOf(tip->iItem);
      if (!item || !OnInfoTip) return;
      std::string text = item->Caption();
      DoInfoTip(item, text);
      CopyText(text, tip->pszText, tip->cchTextMax);
      return;
    }
    case NM_CUSTOMDRAW: m.Result = CustomDrawMessage(*reinterpret_cast<NMLVCUSTOMDRAW*>(header)); return;
    case LVN_GETDISPINFO: return GetDispInfo(*reinterpret_cast<NMLVDISPINFO*>(header));
    case LVN_ODCACHEHINT: {
      const auto* hint = reinterpret_cast<NMLVCACHEHINT*>(header);
      return OwnerDataHint(hint->iFrom, hint->iTo);
    }
    case LVN_ODFINDITEM: m.Result = FindItemMessage(*reinterpret_cast<NMLVFINDITEM*>(header)); return;
    case LVN_ODSTATECHANGED: {
      const auto* change = reinterpret_cast<NMLVODSTATECHANGE*>(header);
      DataStateChange(change->iFrom, change->iTo, ItemStatesOf(change->uOldState), ItemStatesOf(change->uNewState));
      return;
    }
    default: return;
  }
}

// ---- drawing -----------------------------------------------------------------------

// The plain drawing events come at the pre-paint stages, the advanced ones
// at every stage.
bool TCustomListView::IsCustomDrawn(TCustomDrawTarget target, TCustomDrawStage stage) const {
  const bool prePaint = stage == cdPrePaint;
  switch (target) {
    case dtControl: return (prePaint && OnCustomDraw) || OnAdvancedCustomDraw;
    case dtItem:
      return (prePaint && (OnCustomDrawItem || OnCustomDrawSubItem)) || OnAdvancedCustomDrawItem ||
             OnAdvancedCustomDrawSubItem;
    default: return (prePaint && OnCustomDrawSubItem) || OnAdvancedCustomDrawSubItem;
  }
}

bool TCustomListView::CustomDraw(const TRect& rect, TCustomDrawStage stage) {
  bool defaultDraw = true;
  if (stage == cdPrePaint && OnCustomDraw) OnCustomDraw(this, rect, defaultDraw);
  if (OnAdvancedCustomDraw) OnAdvancedCustomDraw(this, rect, stage, defaultDraw);
  return defaultDraw;
}

bool TCustomListView::CustomDrawItem(TListItem* item, TCustomDrawState state, TCustomDrawStage stage) {
  bool defaultDraw = true;
  if (stage == cdPrePaint && OnCustomDrawItem) OnCustomDrawItem(this, item, state, defaultDraw);
  if (OnAdvancedCustomDrawItem) OnAdvancedCustomDrawItem(this, item, state, stage, defaultDraw);
  return defaultDraw;
}

bool TCustomListView::CustomDrawSubItem(TListItem* item, int subItem, TCustomDrawState state, TCustomDrawStage stage) {
  bool defaultDraw = true;
  if (stage == cdPrePaint && OnCustomDrawSubItem) OnCustomDrawSubItem(this, item, subItem, state, defaultDraw);
  if (OnAdvancedCustomDrawSubItem) OnAdvancedCustomDrawSubItem(this, item, subItem, state, stage, defaultDraw);
  return defaultDraw;
}

// Control stages ask for item stages when those are drawn; item stages lend
// the canvas (the control's font and colour) and pass changed colours on to
// the window as a new font and text colours.
LRESULT TCustomListView::CustomDrawMessage(NMLVCUSTOMDRAW& draw) {
  const DWORD stage = draw.nmcd.dwDrawStage;
  const TCustomDrawStage cdStage = CustomDrawStage(stage);
  const RECT& rc = draw.nmcd.rc;
  LRESULT result = CDRF_DODEFAULT;
  if (!(stage & CDDS_ITEM)) {
    if (stage == CDDS_PREPAINT && IsCustomDrawn(dtItem, cdPrePaint)) result |= CDRF_NOTIFYITEMDRAW;
    if (stage == CDDS_PREPAINT && IsCustomDrawn(dtControl, cdPostPaint)) result |= CDRF_NOTIFYPOSTPAINT;
    if (!IsCustomDrawn(dtControl, cdStage)) return result;
    TCanvasOnDC lent(*canvas_, draw.nmcd.hdc);
    if (!CustomDraw(Rect(rc.left, rc.top, rc.right, rc.bottom), cdStage)) result |= CDRF_SKIPDEFAULT;
    return result;
  }
  const bool subItemStage = (stage & CDDS_SUBITEM) != 0;
  if (!IsCustomDrawn(subItemStage ? dtSubItem : dtItem, cdStage)) return result;
  if (!subItemStage && IsCustomDrawn(dtSubItem, cdPrePaint)) result |= CDRF_NOTIFYSUBITEMDRAW;
  if (cdStage == cdPrePaint && IsCustomDrawn(subItemStage ? dtSubItem : dtItem, cdPostPaint))
    result |= CDRF_NOTIFYPOSTPAINT;
  TListItem* item = ItemOf(static_cast<int>(draw.nmcd.dwItemSpec));
  const TCustomDrawState state = CustomDrawState(draw.nmcd.uItemState);
  return result | ItemDrawStage(*canvas_, *this, draw.nmcd.hdc, draw.clrText, draw.clrTextBk, [&] {
           return subItemStage ? CustomDrawSubItem(item, draw.iSubItem, state, cdStage)
                               : CustomDrawItem(item, state, cdStage);
         });
}

void TCustomListView::DrawItem(TListItem* item, TRect rect, TOwnerDrawState state) {
  if (OnDrawItem) return OnDrawItem(this, item, rect, state);
  canvas_->FillRect(rect);
  if (item) canvas_->TextOut(rect.left + 2, rect.top, item->Caption());
}

void TCustomListView::DrawItemMessage(TMessage& m) {
  auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  TCanvasOnDC lent(*canvas_, d->hDC);
  canvas_->Font()->Assign(Font());
  canvas_->Brush()->SetColor((d->itemState & ODS_SELECTED) ? clHighlight : Color());
  if (d->itemState & ODS_SELECTED) canvas_->Font()->SetColor(clHighlightText);
  DrawItem(ItemOf(static_cast<int>(d->itemID)), Rect(d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom),
           OwnerDrawState(d->itemState));
  m.Result = 1;
}

// The header's notifications come to the list's own window. A column
// drag that the list lets end is told once the header has taken its new
// place, which happens after HDN_ENDDRAG returns.
void TCustomListView::HeaderNotifyMessage(TMessage& m) {
  const auto* n = reinterpret_cast<const NMHDR*>(m.LParam);
  if (n->code == NM_RCLICK) HeaderRightClick();
  TWinControl::Dispatch(m);
  if (n->code == HDN_ENDDRAG && m.Result == 0) win::PostMessage(WindowHandle(), CM_COLUMNDRAGGED, 0, 0);
}

void TCustomListView::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: return NotifyMessage(m);
    case WM_NOTIFY:
      if (m.LParam && reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom == HeaderHandle()) return HeaderNotifyMessage(m);
      return TWinControl::Dispatch(m);
    case CM_COLUMNDRAGGED: return ColumnDragged();
    case CN_DRAWITEM: return DrawItemMessage(m);
    case CM_COLORCHANGED:
      Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
      Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
      return TWinControl::Dispatch(m);
    case CM_FONTCHANGED:
      Send(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 1);
      return TWinControl::Dispatch(m);
    default: return TWinControl::Dispatch(m);
  }
}

// The column under the mouse; the point in the list's client coordinates.
void TCustomListView::HeaderRightClick() {
  const HWND header = HeaderHandle();
  POINT cursor;
  GetCursorPos(&cursor);
  HDHITTESTINFO hit;
  hit.pt = cursor;
  win::ScreenToClient(header, &hit.pt);
  const auto column = static_cast<int>(SendMessage(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (column < 0 || column >= columns_->Count()) return;
  POINT client = cursor;
  win::ScreenToClient(WindowHandle(), &client);
  ColRightClick(columns_->Items(column), Point(client.x, client.y));
}

const ClassInfo& TListView::StaticClass() {
  static const ClassInfo info = ClassBuilder<TListView>("TListView", TCustomListView::StaticClass()).Done();
  return info;
}

}  // namespace qelo::vcl
