// The list view of the form framework over the native "SysListView32"
// class: columns, items with sub-items, images, check boxes, selection and
// focus, sorting, owner and custom drawing, label editing and info tips.
//
// Items and columns live in the framework objects and are pushed to the
// window whenever it exists (form files give the columns as a collection); states that the user changes (selection,
// focus, check marks) are read from the window while it exists and kept
// across a re-creation of it. Each native item's lParam is its TListItem.
//
// Groups (a collection, shown while GroupView) gather the items that name
// them by GroupID under a header each. With OwnerData the program keeps
// the items: the list has only Items->Count, and each item it shows or is
// asked for is one item filled in by OnData; OnDataHint tells which items
// are about to be shown and OnDataFind finds one. An owner-data list shows
// no groups.
#pragma once

#include <memory>
#include <vector>

#include "vcl/controls/custom_draw.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/image_list.h"
#include "vcl/strings.h"
#include "win/controls/lists/listview.h"

namespace qelo::vcl {

class TCustomListView;
class TListItems;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TSortType { stNone, stData, stText, stBoth };
enum TItemChange { ctText, ctImage, ctState };
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
enum THitTest { htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel,
                htOnRight, htOnStateIcon, htToLeft, htToRight };
// The list acts on lgsHidden and lgsCollapsed; form files may name every
// state.
enum TListGroupStateItem { lgsNormal, lgsHidden, lgsCollapsed, lgsNoHeader, lgsCollapsible, lgsFocused,
                           lgsSelected, lgsSubseted, lgsSubSetLinkFocused };
using TListGroupStateSet = TSet<TListGroupStateItem>;
enum TItemFind { ifData, ifPartialString, ifExactString, ifNearest };
enum TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
extern const EnumInfo kListGroupStateInfo;
using THitTests = TSet<THitTest>;
extern const EnumInfo kViewStyleInfo;
extern const EnumInfo kSortTypeInfo;

// ---- columns -------------------------------------------------------------------

class TListColumn : public TPersistent {
  QELO_VCL_CLASS()
 public:
  TListColumn(TCustomListView* owner, int index);

  int Index() const { return index_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // The width in pixels as the window has it (the user may drag it).
  int Width() const;
  void SetWidth(int width);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);

 private:
  friend class TListColumns;
  friend class TCustomListView;
  win::LVCOLUMN Native(UINT mask) const;
  void Push(UINT mask);

  TCustomListView* owner_;
  int index_;
  std::string caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  int imageIndex_ = -1;
};

class TListColumns : public TCollection {
  QELO_VCL_CLASS()
 public:
  explicit TListColumns(TCustomListView* owner) : owner_(owner) {}
  TListColumn* Add();
  void Delete(int index);
  void Clear() override;
  int Count() const override { return static_cast<int>(columns_.size()); }
  TPersistent* AddItem() override { return Add(); }
  TListColumn* Items(int index) const;
  TListColumn* operator[](int index) const { return Items(index); }

 private:
  friend class TCustomListView;
  TCustomListView* owner_;
  std::vector<std::unique_ptr<TListColumn>> columns_;
};

// ---- groups ------------------------------------------------------------------------

class TListGroups;

class TListGroup : public TPersistent {
  QELO_VCL_CLASS()
 public:
  TListGroup(TListGroups* owner, int groupId);

  int Index() const;
  const std::string& Header() const { return header_; }
  void SetHeader(const std::string& text);
  const std::string& Footer() const { return footer_; }
  void SetFooter(const std::string& text);
  // The number items name the group by; unique in the list.
  int GroupID() const { return groupId_; }
  void SetGroupID(int id);
  TListGroupStateSet State() const { return state_; }
  void SetState(TListGroupStateSet state);
  TAlignment HeaderAlign() const { return headerAlign_; }
  void SetHeaderAlign(TAlignment align);
  TAlignment FooterAlign() const { return footerAlign_; }
  void SetFooterAlign(TAlignment align);
  // The image of the list's GroupHeaderImages before the header; -1 none.
  int TitleImage() const { return titleImage_; }
  void SetTitleImage(int index);

 private:
  friend class TListGroups;
  friend class TCustomListView;
  win::LVGROUP Native() const;
  void Push();

  TListGroups* owner_;
  int groupId_;
  std::string header_;
  std::string footer_;
  TListGroupStateSet state_{lgsNormal};
  TAlignment headerAlign_ = taLeftJustify;
  TAlignment footerAlign_ = taLeftJustify;
  int titleImage_ = -1;
};

class TListGroups : public TCollection {
  QELO_VCL_CLASS()
 public:
  explicit TListGroups(TCustomListView* owner) : owner_(owner) {}
  // A new group at the end, with the next free GroupID.
  TListGroup* Add();
  void Delete(int index);
  void Clear() override;
  int Count() const override { return static_cast<int>(groups_.size()); }
  TPersistent* AddItem() override { return Add(); }
  TListGroup* Items(int index) const;
  TListGroup* operator[](int index) const { return Items(index); }
  // The group of a GroupID (null when none has it).
  TListGroup* FindByID(int id) const;

 private:
  friend class TListGroup;
  friend class TCustomListView;
  TCustomListView* owner_;
  std::vector<std::unique_ptr<TListGroup>> groups_;
};

// ---- items ---------------------------------------------------------------------

class TListItem : public TPersistent {
 public:
  explicit TListItem(TListItems* owner);
  ~TListItem() override;

  TListItems* Owner() const { return owner_; }
  TCustomListView* ListView() const;
  // The item's place in the list (-1 once it has left it).
  int Index() const;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // Column n + 1's texts; a change goes to the window at once.
  TStrings* SubItems() const { return subItems_.get(); }
  void* Data() const { return data_; }
  void SetData(void* data) { data_ = data; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  // The group the item shows in (the GroupID of one of the list's Groups);
  // -1 none.
  int GroupID() const { return groupId_; }
  void SetGroupID(int id);
  // The state image (check boxes: 0 unchecked, 1 checked); -1 none.
  int StateIndex() const;
  void SetStateIndex(int index);
  bool Checked() const { return StateIndex() == 1; }
  void SetChecked(bool checked) { SetStateIndex(checked ? 1 : 0); }
  bool Selected() const { return HasState(win::LVIS_SELECTED); }
  void SetSelected(bool selected) { SetState(win::LVIS_SELECTED, selected); }
  bool Focused() const { return HasState(win::LVIS_FOCUSED); }
  void SetFocused(bool focused) { SetState(win::LVIS_FOCUSED, focused); }

  // The item's rectangle in client coordinates; empty without a window.
  TRect DisplayRect(TDisplayCode code) const;
  void MakeVisible();
  // Starts the label edit (false when refused or impossible).
  bool EditCaption();
  void Delete();

 private:
  friend class TListItems;
  friend class TCustomListView;
  bool HasState(UINT bit) const;
  void SetState(UINT bit, bool on);
  void SubItemsChanged();
  void PushText(int subItem) const;
  // The window's states, kept here while there is no window.
  void SaveStates();

  TListItems* owner_;
  std::string caption_;
  std::unique_ptr<TStringList> subItems_;
  size_t pushedSubItems_ = 0;
  void* data_ = nullptr;
  int imageIndex_ = -1;
  int stateIndex_ = -1;
  int groupId_ = -1;
  UINT states_ = 0;  // LVIS_SELECTED / LVIS_FOCUSED without a window
  int dataIndex_ = -1;  // the item an owner-data list filled this one for
};

class TListItems : public TPersistent {
 public:
  explicit TListItems(TCustomListView* owner) : owner_(owner) {}
  ~TListItems() override;

  TCustomListView* Owner() const { return owner_; }
  TListItem* Add() { return Insert(Count()); }
  // A new item at `index` (0 to Count()); EListError otherwise.
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int Count() const;
  // With OwnerData: the number of the program's items the list shows.
  void SetCount(int count);
  // With OwnerData, the one item that OnData fills for the index asked.
  TListItem* Item(int index) const;
  TListItem* operator[](int index) const { return Item(index); }
  int IndexOf(const TListItem* item) const;
  // Painting waits until the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TListItem;
  friend class TCustomListView;
  void Remove(TListItem* item);
  void PushItem(int index) const;

  TCustomListView* owner_;
  std::vector<TListItem*> items_;
  int updateCount_ = 0;
  int dataCount_ = 0;
  std::unique_ptr<TListItem> dataItem_;  // the item OnData fills
};

// ---- the control ---------------------------------------------------------------------

using TLVChangingEvent = std::function<void(TObject* sender, TListItem* item, TItemChange change, bool& allowChange)>;
using TLVChangeEvent = std::function<void(TObject* sender, TListItem* item, TItemChange change)>;
using TLVSelectItemEvent = std::function<void(TObject* sender, TListItem* item, bool selected)>;
using TLVNotifyEvent = std::function<void(TObject* sender, TListItem* item)>;
using TLVColumnClickEvent = std::function<void(TObject* sender, TListColumn* column)>;
using TLVEditingEvent = std::function<void(TObject* sender, TListItem* item, bool& allowEdit)>;
using TLVEditedEvent = std::function<void(TObject* sender, TListItem* item, std::string& text)>;
using TLVInfoTipEvent = std::function<void(TObject* sender, TListItem* item, std::string& infoTip)>;
using TLVCompareEvent = std::function<void(TObject* sender, TListItem* item1, TListItem* item2, int data, int& compare)>;
using TLVDrawItemEvent = std::function<void(TCustomListView* sender, TListItem* item, TRect rect, TOwnerDrawState state)>;
using TLVCustomDrawEvent = std::function<void(TCustomListView* sender, const TRect& rect, bool& defaultDraw)>;
using TLVCustomDrawItemEvent =
    std::function<void(TCustomListView* sender, TListItem* item, TCustomDrawState state, bool& defaultDraw)>;
using TLVCustomDrawSubItemEvent =
    std::function<void(TCustomListView* sender, TListItem* item, int subItem, TCustomDrawState state, bool& defaultDraw)>;
// Items StartIndex to EndIndex changed their states at once (lists whose
// items the program keeps).
enum TItemStateItem { isNone, isCut, isDropHilited, isFocused, isSelected, isActivating };
using TItemStates = TSet<TItemStateItem>;
using TLVDataStateChangeEvent =
    std::function<void(TObject* sender, int startIndex, int endIndex, TItemStates oldState, TItemStates newState)>;
// OwnerData: fill the item (its Index says which); say which items are
// about to be shown; find an item (Index: the item found, -1 none).
using TLVOwnerDataEvent = std::function<void(TObject* sender, TListItem* item)>;
using TLVOwnerDataHintEvent = std::function<void(TObject* sender, int startIndex, int endIndex)>;
using TLVOwnerDataFindEvent =
    std::function<void(TObject* sender, TItemFind find, const std::string& findString, const TPoint& findPosition,
                       void* findData, int startIndex, TSearchDirection direction, bool wrap, int& index)>;
// A right click on a column's header, at a client point of the list.
using TLVColumnRClickEvent = std::function<void(TObject* sender, TListColumn* column, TPoint point)>;
// The drawing events of every stage the list draws.
using TLVAdvancedCustomDrawEvent =
    std::function<void(TCustomListView* sender, const TRect& rect, TCustomDrawStage stage, bool& defaultDraw)>;
using TLVAdvancedCustomDrawItemEvent = std::function<void(TCustomListView* sender, TListItem* item,
                                                          TCustomDrawState state, TCustomDrawStage stage,
                                                          bool& defaultDraw)>;
using TLVAdvancedCustomDrawSubItemEvent =
    std::function<void(TCustomListView* sender, TListItem* item, int subItem, TCustomDrawState state,
                       TCustomDrawStage stage, bool& defaultDraw)>;
// Answers <0, 0, >0 for two items and the caller's data.
using TLVCompare = int (*)(TListItem* item1, TListItem* item2, intptr_t data);

class TCustomListView : public TWinControl {
  QELO_VCL_CLASS()
 public:
  explicit TCustomListView(TComponent* owner);
  ~TCustomListView() override;

  TListColumns* Columns() const { return columns_.get(); }
  TListItems* Items() { return &items_; }
  TListGroups* Groups() const { return groups_.get(); }
  bool GroupView() const { return groupView_; }
  void SetGroupView(bool value);
  TImageList* GroupHeaderImages() const { return groupHeaderImages_; }
  void SetGroupHeaderImages(TImageList* images);
  // The program keeps the items (see above); a change clears the items.
  bool OwnerData() const { return ownerData_; }
  void SetOwnerData(bool value);
  // How long the mouse rests on an item before it counts as hovering, in
  // milliseconds; -1 the system's time.
  int HoverTime() const { return hoverTime_; }
  void SetHoverTime(int ms);

  TViewStyle ViewStyle() const { return viewStyle_; }
  virtual void SetViewStyle(TViewStyle style);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v) { SetStyleFlag(multiSelect_, v); }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { SetStyleFlag(readOnly_, v); }
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v) { SetStyleFlag(hideSelection_, v); }
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v) { SetStyleFlag(ownerDraw_, v); }
  bool ColumnClick() const { return columnClick_; }
  void SetColumnClick(bool v) { SetStyleFlag(columnClick_, v); }
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool v) { SetStyleFlag(showColumnHeaders_, v); }
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v) { SetExFlag(rowSelect_, v); }
  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool v) { SetExFlag(checkboxes_, v); }
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool v) { SetExFlag(gridLines_, v); }
  // The user may drag the columns to other places (OnColumnDragged).
  bool FullDrag() const { return fullDrag_; }
  void SetFullDrag(bool v) { SetExFlag(fullDrag_, v); }
  // bsSingle: a sunken two-pixel edge in the non-client area.
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  // The window's header control (null without a window).
  win::HWND HeaderHandle() const;

  TImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TImageList* images);
  TImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TImageList* images);

  // The first selected item; setting one selects only it.
  TListItem* Selected() const;
  void SetSelected(TListItem* item);
  int SelCount() const;
  TListItem* ItemFocused() const;
  void SetItemFocused(TListItem* item);
  TListItem* GetItemAt(int x, int y) const;
  THitTests GetHitTestInfoAt(int x, int y) const;
  void Scroll(int dx, int dy);
  void ClearSelection();

  TSortType SortType() const { return sortType_; }
  void SetSortType(TSortType type);
  // By captions (stText), data (stData) or OnCompare when assigned.
  bool AlphaSort();
  bool CustomSort(TLVCompare compare, intptr_t data);

  // The first item from `startIndex` on (or after it, unless inclusive)
  // whose caption is `value` (or starts with it); null when none.
  TListItem* FindCaption(int startIndex, const std::string& value, bool partial, bool inclusive, bool wrap);
  // The first item whose Data is `value`, the same way.
  TListItem* FindData(int startIndex, void* value, bool inclusive, bool wrap);

  // Whether the user may edit the item's caption now (OnEditing may refuse).
  virtual bool CanEdit(TListItem* item);

  void Dispatch(TMessage& message) override;

  TLVChangingEvent OnChanging;
  TLVChangeEvent OnChange;
  TLVSelectItemEvent OnSelectItem;
  TLVNotifyEvent OnItemChecked;
  TLVNotifyEvent OnDeletion;
  TLVNotifyEvent OnInsert;
  TLVColumnClickEvent OnColumnClick;
  TNotifyEvent OnColumnDragged;
  TLVDataStateChangeEvent OnDataStateChange;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;
  TLVInfoTipEvent OnInfoTip;
  TLVCompareEvent OnCompare;
  TLVDrawItemEvent OnDrawItem;
  TLVCustomDrawEvent OnCustomDraw;
  TLVCustomDrawItemEvent OnCustomDrawItem;
  TLVCustomDrawSubItemEvent OnCustomDrawSubItem;
  TLVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
  TLVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;
  TLVAdvancedCustomDrawSubItemEvent OnAdvancedCustomDrawSubItem;
  TLVColumnRClickEvent OnColumnRightClick;
  TLVOwnerDataEvent OnData;
  TLVOwnerDataHintEvent OnDataHint;
  TLVOwnerDataFindEvent OnDataFind;

  // The canvas the drawing events draw on (the DC of the paint under way).
  TCanvas* Canvas() const { return canvas_.get(); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

  virtual bool CanChange(TListItem* item, TItemChange change);
  virtual void Change(TListItem* item, TItemChange change);
  virtual void ColClick(TListColumn* column);
  virtual void ColRightClick(TListColumn* column, TPoint point);
  // OwnerData: OnData fills the item for its index; answers whether one did.
  virtual bool OwnerDataFetch(TListItem* item);
  virtual void OwnerDataHint(int startIndex, int endIndex);
  virtual int OwnerDataFind(TItemFind find, const std::string& findString, const TPoint& findPosition,
                            void* findData, int startIndex, TSearchDirection direction, bool wrap);
  // The user dragged a column to another place.
  virtual void ColumnDragged();
  virtual void DataStateChange(int startIndex, int endIndex, TItemStates oldState, TItemStates newState);
  virtual void DoInfoTip(TListItem* item, std::string& infoTip);
  virtual void DrawItem(TListItem* item, TRect rect, TOwnerDrawState state);
  virtual bool IsCustomDrawn(TCustomDrawTarget target, TCustomDrawStage stage) const;
  virtual bool CustomDraw(const TRect& rect, TCustomDrawStage stage);
  virtual bool CustomDrawItem(TListItem* item, TCustomDrawState state, TCustomDrawStage stage);
  virtual bool CustomDrawSubItem(TListItem* item, int subItem, TCustomDrawState state, TCustomDrawStage stage);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TListColumn;
  friend class TListColumns;
  friend class TListItem;
  friend class TListItems;
  friend class TListGroup;
  friend class TListGroups;
  win::LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const;
  void SetStyleFlag(bool& field, bool value);
  void SetExFlag(bool& field, bool value);
  win::DWORD ExStyle() const;
  void PushImageList(int which, TImageList* list) const;
  void SetImageList(TImageList*& field, TChangeLink& link, TImageList* list, int which);
  void ImageListChange(TObject* sender);
  void NotifyMessage(TMessage& m);
  void HeaderNotifyMessage(TMessage& m);
  win::LRESULT ItemChanging(const win::NMLISTVIEW& n);
  void ItemChanged(const win::NMLISTVIEW& n);
  win::LRESULT CustomDrawMessage(win::NMLVCUSTOMDRAW& draw);
  win::LRESULT EndLabelEdit(win::NMLVDISPINFO& info);
  void DrawItemMessage(TMessage& m);
  void GetDispInfo(win::NMLVDISPINFO& info);
  win::LRESULT FindItemMessage(const win::NMLVFINDITEM& find);
  void HeaderRightClick();
  void PushGroups() const;
  TListItem* FindItem(int startIndex, const win::LVFINDINFO& find, bool inclusive);
  TListItem* ItemOf(int index) const;
  // Puts the framework's items in the window's order after a native sort.
  void ReadOrderBack();

  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TListGroups> groups_;
  TListItems items_;
  bool groupView_ = false;
  TImageList* groupHeaderImages_ = nullptr;
  TChangeLink groupHeaderLink_;
  bool ownerData_ = false;
  int hoverTime_ = -1;
  TViewStyle viewStyle_ = vsIcon;
  bool multiSelect_ = false, readOnly_ = false, hideSelection_ = true, ownerDraw_ = false;
  bool columnClick_ = true, showColumnHeaders_ = true;
  bool rowSelect_ = false, checkboxes_ = false, gridLines_ = false, fullDrag_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  TSortType sortType_ = stNone;
  TImageList* smallImages_ = nullptr;
  TImageList* stateImages_ = nullptr;
  TChangeLink smallLink_, stateLink_;
  std::unique_ptr<TCanvas> canvas_;
  bool creatingItems_ = false;  // items are being pushed to a new window: no events
};

class TListView : public TCustomListView {
  QELO_VCL_CLASS()
 public:
  using TCustomListView::TCustomListView;
};

// Registers the list, tree and header control classes for form files.
void RegisterListControlClasses();

}  // namespace qelo::vcl
