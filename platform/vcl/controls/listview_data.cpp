// The list view's groups, its owner data (items the program keeps) and
// finding items.
#include <algorithm>
#include <cstring>

#include "vcl/controls/listview.h"

namespace qelo::vcl {

using namespace win;

const EnumInfo kListGroupStateInfo{"TListGroupState",
                                   {"lgsNormal", "lgsHidden", "lgsCollapsed", "lgsNoHeader", "lgsCollapsible",
                                    "lgsFocused", "lgsSelected", "lgsSubseted", "lgsSubSetLinkFocused"}};

// ---- groups --------------------------------------------------------------------------

const ClassInfo& TListGroup::StaticClass() {
  using G = TListGroup;
  static const ClassInfo info = ClassBuilder<G>("TListGroup", TPersistent::StaticClass())
                                    .String("Header", &G::Header, &G::SetHeader)
                                    .String("Footer", &G::Footer, &G::SetFooter)
                                    .Integer("GroupID", &G::GroupID, &G::SetGroupID)
                                    .Set("State", kListGroupStateInfo, &G::State, &G::SetState)
                                    .Enum("HeaderAlign", kAlignmentInfo, &G::HeaderAlign, &G::SetHeaderAlign)
                                    .Enum("FooterAlign", kAlignmentInfo, &G::FooterAlign, &G::SetFooterAlign)
                                    .Integer("TitleImage", &G::TitleImage, &G::SetTitleImage)
                                    .Done();
  return info;
}

const ClassInfo& TListGroups::StaticClass() {
  static const ClassInfo info = ClassBuilder<TListGroups>("TListGroups", TCollection::StaticClass()).Done();
  return info;
}

TListGroup::TListGroup(TListGroups* owner, int groupId) : owner_(owner), groupId_(groupId) {}

int TListGroup::Index() const {
  const auto& groups = owner_->groups_;
  for (size_t i = 0; i < groups.size(); ++i)
    if (groups[i].get() == this) return static_cast<int>(i);
  return -1;
}

namespace {

UINT HeaderAlignOf(TAlignment a) {
  return a == taCenter ? LVGA_HEADER_CENTER : a == taRightJustify ? LVGA_HEADER_RIGHT : LVGA_HEADER_LEFT;
}
UINT FooterAlignOf(TAlignment a) {
  return a == taCenter ? LVGA_FOOTER_CENTER : a == taRightJustify ? LVGA_FOOTER_RIGHT : LVGA_FOOTER_LEFT;
}

}  // namespace

LVGROUP TListGroup::Native() const {
  LVGROUP g;
  g.mask = LVGF_HEADER | LVGF_FOOTER | LVGF_STATE | LVGF_ALIGN | LVGF_GROUPID | LVGF_TITLEIMAGE;
  g.pszHeader = header_.c_str();
  g.pszFooter = footer_.c_str();
  g.iGroupId = groupId_;
  g.stateMask = LVGS_HIDDEN | LVGS_COLLAPSED;
  g.state = (state_.Contains(lgsHidden) ? LVGS_HIDDEN : 0u) | (state_.Contains(lgsCollapsed) ? LVGS_COLLAPSED : 0u);
  g.uAlign = HeaderAlignOf(headerAlign_) | FooterAlignOf(footerAlign_);
  g.iTitleImage = titleImage_;
  return g;
}

void TListGroup::Push() {
  LVGROUP g = Native();
  g.mask &= ~LVGF_GROUPID;
  owner_->owner_->Send(LVM_SETGROUPINFO, static_cast<WPARAM>(groupId_), reinterpret_cast<LPARAM>(&g));
}

void TListGroup::SetHeader(const std::string& text) {
  if (text == header_) return;
  header_ = text;
  Push();
}
void TListGroup::SetFooter(const std::string& text) {
  if (text == footer_) return;
  footer_ = text;
  Push();
}
void TListGroup::SetState(TListGroupStateSet state) {
  if (state == state_) return;
  state_ = state;
  Push();
}
void TListGroup::SetHeaderAlign(TAlignment align) {
  if (align == headerAlign_) return;
  headerAlign_ = align;
  Push();
}
void TListGroup::SetFooterAlign(TAlignment align) {
  if (align == footerAlign_) return;
  footerAlign_ = align;
  Push();
}
void TListGroup::SetTitleImage(int index) {
  if (index == titleImage_) return;
  titleImage_ = index;
  Push();
}

// A number another group has is not taken.
void TListGroup::SetGroupID(int id) {
  if (id == groupId_ || id < 0 || owner_->FindByID(id)) return;
  LVGROUP g;
  g.mask = LVGF_GROUPID;
  g.iGroupId = id;
  owner_->owner_->Send(LVM_SETGROUPINFO, static_cast<WPARAM>(groupId_), reinterpret_cast<LPARAM>(&g));
  groupId_ = id;
}

TListGroup* TListGroups::Add() {
  int id = 0;
  for (const auto& g : groups_) id = std::max(id, g->groupId_ + 1);
  groups_.push_back(std::make_unique<TListGroup>(this, id));
  LVGROUP g = groups_.back()->Native();
  owner_->Send(LVM_INSERTGROUP, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&g));
  return groups_.back().get();
}

TListGroup* TListGroups::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return groups_[static_cast<size_t>(index)].get();
}

TListGroup* TListGroups::FindByID(int id) const {
  for (const auto& g : groups_)
    if (g->groupId_ == id) return g.get();
  return nullptr;
}

void TListGroups::Delete(int index) {
  TListGroup* group = Items(index);
  owner_->Send(LVM_REMOVEGROUP, static_cast<WPARAM>(group->groupId_));
  groups_.erase(groups_.begin() + index);
}

void TListGroups::Clear() {
  while (Count() > 0) Delete(Count() - 1);
}

void TCustomListView::PushGroups() const {
  for (const auto& group : groups_->groups_) {
    LVGROUP g = group->Native();
    Send(LVM_INSERTGROUP, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&g));
  }
  Send(LVM_ENABLEGROUPVIEW, groupView_ ? 1 : 0);
}

void TCustomListView::SetGroupView(bool value) {
  if (value == groupView_) return;
  groupView_ = value;
  Send(LVM_ENABLEGROUPVIEW, value ? 1 : 0);
}

void TCustomListView::SetGroupHeaderImages(TImageList* images) {
  SetImageList(groupHeaderImages_, groupHeaderLink_, images, LVSIL_GROUPHEADER);
}

void TListItem::SetGroupID(int id) {
  if (id < 0) id = -1;
  if (id == groupId_) return;
  groupId_ = id;
  TCustomListView* view = ListView();
  if (!view || !view->HandleAllocated() || view->ownerData_) return;
  LVITEM item;
  item.mask = LVIF_GROUPID;
  item.iItem = Index();
  item.iGroupId = id < 0 ? I_GROUPIDNONE : id;
  view->Send(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
}

void TCustomListView::SetHoverTime(int ms) {
  if (ms == hoverTime_) return;
  hoverTime_ = ms;
  Send(LVM_SETHOVERTIME, 0, ms);
}

// ---- owner data ---------------------------------------------------------------------

void TCustomListView::SetOwnerData(bool value) {
  if (value == ownerData_) return;
  if (ownerData_) items_.SetCount(0);
  else items_.Clear();
  ownerData_ = value;
  RecreateWnd();
}

int TListItems::Count() const { return owner_->ownerData_ ? dataCount_ : static_cast<int>(items_.size()); }

void TListItems::SetCount(int count) {
  if (!owner_->ownerData_) return;
  dataCount_ = std::max(count, 0);
  owner_->Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(dataCount_));
}

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  if (!owner_->ownerData_) return items_[static_cast<size_t>(index)];
  auto& self = const_cast<TListItems&>(*this);
  if (!dataItem_) self.dataItem_ = std::make_unique<TListItem>(&self);
  TListItem& item = *self.dataItem_;
  item.dataIndex_ = index;
  item.caption_.clear();
  item.subItems_->Clear();
  item.imageIndex_ = -1;
  item.stateIndex_ = -1;
  item.groupId_ = -1;
  item.data_ = nullptr;
  owner_->OwnerDataFetch(&item);
  return &item;
}

bool TCustomListView::OwnerDataFetch(TListItem* item) {
  if (!OnData) return false;
  OnData(this, item);
  return true;
}

void TCustomListView::OwnerDataHint(int startIndex, int endIndex) {
  if (OnDataHint) OnDataHint(this, startIndex, endIndex);
}

int TCustomListView::OwnerDataFind(TItemFind find, const std::string& findString, const TPoint& findPosition,
                                   void* findData, int startIndex, TSearchDirection direction, bool wrap) {
  int index = -1;
  if (OnDataFind) OnDataFind(this, find, findString, findPosition, findData, startIndex, direction, wrap, index);
  return index;
}

// The window asks for a text or image of an item the program keeps.
void TCustomListView::GetDispInfo(NMLVDISPINFO& info) {
  if (!ownerData_ || info.item.iItem < 0 || info.item.iItem >= items_.Count()) return;
  TListItem* item = items_.Item(info.item.iItem);
  if (info.item.mask & LVIF_TEXT) {
    const int sub = info.item.iSubItem;
    const std::string text = sub == 0 ? item->Caption()
                             : sub <= item->SubItems()->Count() ? item->SubItems()->Get(sub - 1)
                                                                : std::string();
    CopyText(text, info.item.pszText, info.item.cchTextMax);
  }
  if (info.item.mask & LVIF_IMAGE) info.item.iImage = item->ImageIndex();
}

LRESULT TCustomListView::FindItemMessage(const NMLVFINDITEM& n) {
  const LVFINDINFO& f = n.lvfi;
  const TItemFind find = (f.flags & LVFI_PARAM)     ? ifData
                         : (f.flags & LVFI_PARTIAL) ? ifPartialString
                         : (f.flags & LVFI_STRING)  ? ifExactString
                                                    : ifNearest;
  return OwnerDataFind(find, f.psz ? f.psz : "", Point(f.pt.x, f.pt.y), reinterpret_cast<void*>(f.lParam), n.iStart,
                       sdAll, (f.flags & LVFI_WRAP) != 0);
}

// ---- finding --------------------------------------------------------------------------

TListItem* TCustomListView::FindItem(int startIndex, const LVFINDINFO& find, bool inclusive) {
  const auto found = static_cast<int>(Send(LVM_FINDITEM, static_cast<WPARAM>(inclusive ? startIndex - 1 : startIndex),
                                           reinterpret_cast<LPARAM>(&find)));
  return found >= 0 && found < items_.Count() ? ItemOf(found) : nullptr;
}

TListItem* TCustomListView::FindCaption(int startIndex, const std::string& value, bool partial, bool inclusive,
                                        bool wrap) {
  HandleNeeded();
  LVFINDINFO find;
  find.flags = LVFI_STRING | (partial ? LVFI_PARTIAL : 0u) | (wrap ? LVFI_WRAP : 0u);
  find.psz = value.c_str();
  return FindItem(startIndex, find, inclusive);
}

// The window's items carry the framework's items, not their data: the
// framework searches its own items, and an owner-data list asks the program.
TListItem* TCustomListView::FindData(int startIndex, void* value, bool inclusive, bool wrap) {
  HandleNeeded();
  if (ownerData_) {
    LVFINDINFO find;
    find.flags = LVFI_PARAM | (wrap ? LVFI_WRAP : 0u);
    find.lParam = reinterpret_cast<LPARAM>(value);
    return FindItem(startIndex, find, inclusive);
  }
  const int count = items_.Count();
  if (count == 0) return nullptr;
  const int first = std::clamp(inclusive ? startIndex : startIndex + 1, 0, count);
  const int tries = wrap ? count : count - first;
  for (int n = 0; n < tries; ++n) {
    TListItem* item = items_.Item((first + n) % count);
    if (item->Data() == value) return item;
  }
  return nullptr;
}

}  // namespace qelo::vcl
