// The framed list view of the control library, over the framework's list
// view: the framed-control protocol (the frame in the non-client band, the
// state colours), the last report column widened to the client width, its
// own item info tips, context menus from a right click, the menu key and
// Shift+F10 (offered to an event first, never shown twice for one click),
// check-state events that may refuse a change, and fixed wheel steps.
//
// Its header (ct_listvw_header.cpp) is hooked to follow the mouse and the
// left button, carries the sort mark of one column (HeaderSortColumn,
// HeaderSortDescending) drawn by the control or by OnDrawHeader, and sorts
// the items by a clicked column's text when AlphaSortAll is set.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "ct_common_framed.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/listview.h"
#include "vcl/controls/window_hook.h"

namespace qelo::ct {

enum TCtLVHeaderSortDisplayMode { hsdmNone, hsdmLeftAlign, hsdmRightOfText, hsdmRightAlign };
extern const vcl::EnumInfo kHeaderSortDisplayModeInfo;

using TCtLVCheckStateChanging =
    std::function<void(vcl::TObject* sender, vcl::TListItem* item, bool toBeChecked, bool& allowChange)>;
using TCtLVOnItemContextMenuEvent =
    std::function<void(vcl::TObject* sender, vcl::TListItem* item, vcl::TPoint& pos, vcl::TPopupMenu*& menu)>;
using TCtLVDrawHeaderEvent =
    std::function<void(vcl::TObject* sender, vcl::TCanvas* canvas, int index, const vcl::TRect& rect)>;


// The column comparison of a header click: captions for column 0, the
// item's sub-item n - 1 for column n (missing sub-items are empty), case
// insensitive, empty texts after all others; 0 for a missing item or a
// negative column. The descending comparison is its negation.
int CompareListItemsAscending(vcl::TListItem* a, vcl::TListItem* b, int column);
int CompareListItemsDescending(vcl::TListItem* a, vcl::TListItem* b, int column);

class TCtCustomListView : public TCtFramedControl<vcl::TCustomListView> {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomListView(vcl::TComponent* owner);
  ~TCtCustomListView() override;

  bool AlphaSortAll() const { return alphaSortAll_; }
  void SetAlphaSortAll(bool value) { alphaSortAll_ = value; }
  bool FillLastColumn() const { return fillLastColumn_; }
  virtual void SetFillLastColumn(bool value);
  bool EditOnRowClick() const { return editOnRowClick_; }
  void SetEditOnRowClick(bool value) { editOnRowClick_ = value; }
  // Widens the last report column to the client width (see the source).
  virtual void ResizeLastColumn();

  // ---- header (ct_listvw_header.cpp) ----
  // The header child of the window; null while there is no window.
  win::HWND GetHeaderHandle() const;
  int HeaderSortColumn() const { return headerSortColumn_; }
  void SetHeaderSortColumn(int index);
  bool HeaderSortDescending() const { return headerSortDescending_; }
  void SetHeaderSortDescending(bool value);
  TCtLVHeaderSortDisplayMode HeaderSortDisplayMode() const { return headerSortDisplayMode_; }
  void SetHeaderSortDisplayMode(TCtLVHeaderSortDisplayMode mode);
  bool HeaderDefaultDrawing() const { return headerDefaultDrawing_; }
  void SetHeaderDefaultDrawing(bool value);
  // Gives every header item the format of the sort display: owner drawn
  // with a display mode, else the platform's text and image.
  void UpdateHeaderSortDisplay();

  // Showing the frame or not makes the window again (with its header).
  void SetFrameVisible(bool value) override;
  void SetViewStyle(vcl::TViewStyle style) override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(vcl::TWinControl* parent) override;

  TCtLVCheckStateChanging OnCheckStateChanging;
  vcl::TLVNotifyEvent OnCheckStateChange;
  TCtLVOnItemContextMenuEvent OnItemContextMenu;
  TCtLVDrawHeaderEvent OnDrawHeader;

 protected:
  void WndProc(vcl::TMessage& message) override;
  void Dispatch(vcl::TMessage& message) override;
  void CreateWnd() override;
  void Loaded() override;
  bool IsCustomDrawn(vcl::TCustomDrawTarget target, vcl::TCustomDrawStage stage) const override;
  bool CustomDrawItem(vcl::TListItem* item, vcl::TCustomDrawState state, vcl::TCustomDrawStage stage) override;
  void ColClick(vcl::TListColumn* column) override;
  bool DoMouseWheelDown(vcl::TShiftState shift, vcl::TPoint mousePos) override;
  bool DoMouseWheelUp(vcl::TShiftState shift, vcl::TPoint mousePos) override;
  void MouseMove(vcl::TShiftState shift, int x, int y) override;
  void KeyDown(uint16_t& key, vcl::TShiftState shift) override;

  virtual void DoDrawHeader(vcl::TCanvas* canvas, int index, const vcl::TRect& rect);
  virtual void DoCheckStateChange(vcl::TListItem* item);
  // Whether the item's check mark may change (OnCheckStateChanging).
  virtual bool DoCheckStateChanging(vcl::TListItem* item, bool toBeChecked);
  // The menu of a right click, the menu key or Shift+F10 at a client point.
  virtual void ShowContextMenu(vcl::TPoint p);
  virtual void ShowItemContextMenu(vcl::TPoint p);
  virtual void DoItemContextMenu(vcl::TListItem* item, vcl::TPoint& p, vcl::TPopupMenu*& menu);

 private:
  // ---- ct_listvw.cpp ----
  bool Loading() const { return ComponentState().Contains(vcl::csLoading); }
  bool Designing() const { return ComponentState().Contains(vcl::csDesigning); }
  void DefaultContextPopup(vcl::TPoint p);
  void ContextMenuMessage(vcl::TMessage& m);
  void RightButtonUp(vcl::TMessage& m);
  void NotifyMessage(vcl::TMessage& m);
  void BeginLabelEdit(vcl::TMessage& m);
  void ItemChanging(vcl::TMessage& m);
  void ItemChanged(vcl::TMessage& m);
  void RightClick(vcl::TMessage& m);
  int WheelStep() const;
  void UpdateInfoTip(vcl::TPoint clientPoint);
  void HideInfoTip();
  // ---- ct_listvw_header.cpp ----
  void HookHeader();
  void HeaderMessage(vcl::TMessage& m);
  void ResetHotHeaderItem();
  void InvalidateHeaderItem(int index) const;
  void HeaderNotifyMessage(vcl::TMessage& m);
  void DrawHeaderMessage(vcl::TMessage& m);
  void DrawHeaderItem(vcl::TRect r, int index);
  void DrawHeaderText(vcl::TRect& t, int index, bool measure);
  void DrawSortMark(const vcl::TRect& box, int index);
  void SortByColumn(int column, bool descending);

  bool alphaSortAll_ = false;
  int lastSortedColumn_ = -1;  // the last ascending click sort; -1 after a descending one
  bool fillLastColumn_ = true;
  bool editOnRowClick_ = false;
  bool sizingDuringLoad_ = false;
  bool rightClickedOnItem_ = false;
  bool contextMenuShown_ = false;  // the next context-menu message and right release show no other
  int mouseButtonDepth_ = 0;       // left-button messages being handled
  vcl::THintWindow* infoTip_ = nullptr;  // made on first use, owned by the control

  std::unique_ptr<vcl::TCanvas> headerCanvas_;
  int headerSortColumn_ = -1;
  bool headerSortDescending_ = false;
  TCtLVHeaderSortDisplayMode headerSortDisplayMode_ = hsdmRightOfText;
  bool headerDefaultDrawing_ = true;
  int headerUpdateDepth_ = 0;
  vcl::TWindowHook headerHook_;
  bool headerMouseTracked_ = false;
  int hotHeaderItem_ = -1;
  bool headerPressed_ = false;
};

class TCtListView : public TCtCustomListView {
  QELO_VCL_CLASS()
 public:
  using TCtCustomListView::TCtCustomListView;
};

// Registers TCtListView (once) so that form files can place it.
void RegisterCtListViewClasses();

}  // namespace qelo::ct
