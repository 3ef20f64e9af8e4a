#include "ct_listvw.h"

#include "ct_common_types.h"
#include "vcl/sysutils.h"

namespace qelo::ct {

using namespace vcl;

namespace {

// Posted to the control's own window when it is made: the header exists by
// the time it comes.
constexpr UINT kUpdateHeaderSortDisplay = win::WM_USER + 100;

constexpr UINT kCheckedState = win::LVIS_CHECKED;
constexpr UINT kUncheckedState = win::LVIS_UNCHECKED;

bool IsSystemColor(TColor color) { return (static_cast<uint32_t>(color) & 0xFF000000u) == 0xFF000000u; }

TPoint CursorInClient(const TControl& control) {
  win::POINT p{};
  win::GetCursorPos(&p);
  return control.ScreenToClient(Point(p.x, p.y));
}

TPoint IconCentre(const TListItem& item) {
  const TRect icon = item.DisplayRect(drIcon);
  return Point((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
}

std::string ColumnText(TListItem& item, int column) {
  if (column == 0) return item.Caption();
  TStrings* sub = item.SubItems();
  return column - 1 < sub->Count() ? sub->Get(column - 1) : std::string();
}

}  // namespace

const EnumInfo kHeaderSortDisplayModeInfo{"TCtLVHeaderSortDisplayMode",
                                          {"hsdmNone", "hsdmLeftAlign", "hsdmRightOfText", "hsdmRightAlign"}};

int CompareListItemsAscending(TListItem* a, TListItem* b, int column) {
  if (!a || !b || column < 0) return 0;
  const std::string first = ColumnText(*a, column), second = ColumnText(*b, column);
  const int result = CompareText(first, second);
  if (result > 0 && second.empty()) return -1;
  if (result < 0 && first.empty()) return 1;
  return result;
}

int CompareListItemsDescending(TListItem* a, TListItem* b, int column) {
  return -CompareListItemsAscending(a, b, column);
}

const ClassInfo& TCtCustomListView::StaticClass() {
  static const ClassInfo info = [] {
    ClassBuilder<TCtCustomListView> b("TCtCustomListView", TCustomListView::StaticClass());
    PublishFrameProperties(b);
    b.Boolean("AlphaSortAll", &TCtCustomListView::AlphaSortAll, &TCtCustomListView::SetAlphaSortAll)
        .Boolean("EditOnRowClick", &TCtCustomListView::EditOnRowClick, &TCtCustomListView::SetEditOnRowClick)
        .Boolean("FillLastColumn", &TCtCustomListView::FillLastColumn, &TCtCustomListView::SetFillLastColumn)
        .Boolean("HeaderDefaultDrawing", &TCtCustomListView::HeaderDefaultDrawing,
                 &TCtCustomListView::SetHeaderDefaultDrawing)
        .Enum("HeaderSortDisplayMode", kHeaderSortDisplayModeInfo, &TCtCustomListView::HeaderSortDisplayMode,
              &TCtCustomListView::SetHeaderSortDisplayMode)
        .Event("OnCheckStateChanging", &TCtCustomListView::OnCheckStateChanging)
        .Event("OnCheckStateChange", &TCtCustomListView::OnCheckStateChange)
        .Event("OnItemContextMenu", &TCtCustomListView::OnItemContextMenu)
        .Event("OnDrawHeader", &TCtCustomListView::OnDrawHeader);
    return b.Done();
  }();
  return info;
}

const ClassInfo& TCtListView::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCtListView>("TCtListView", TCtCustomListView::StaticClass()).Done();
  return info;
}

void RegisterCtListViewClasses() {
  RegisterClasses({&TCtListView::StaticClass()});
}

TCtCustomListView::TCtCustomListView(TComponent* owner)
    : TCtFramedControl(owner),
      headerCanvas_(std::make_unique<TCanvas>()),
      headerHook_(this, [this](TMessage& m) { HeaderMessage(m); }) {}

// The header gets its own procedure back (the hook member) before the
// window goes with the base.
TCtCustomListView::~TCtCustomListView() = default;

// ---- window and loading ----------------------------------------------------------

void TCtCustomListView::CreateWnd() {
  TCtFramedControl::CreateWnd();
  UpdateHeaderSortDisplay();
  win::PostMessage(WindowHandle(), kUpdateHeaderSortDisplay, 0, 0);
}

void TCtCustomListView::Loaded() {
  TCtFramedControl::Loaded();
  if (fillLastColumn_) {
    TFlagScope sizing(sizingDuringLoad_);
    ResizeLastColumn();
  }
  HookHeader();
}

void TCtCustomListView::SetFrameVisible(bool value) {
  if (value == FrameVisible()) return;
  TCtFramedControl::SetFrameVisible(value);
  if (!FrameControllerLink().Applying()) RecreateWnd();
}

void TCtCustomListView::SetViewStyle(TViewStyle style) {
  if (style == ViewStyle()) return;
  TCtFramedControl::SetViewStyle(style);
  if (style == vsReport) UpdateHeaderSortDisplay();
}

void TCtCustomListView::SetBounds(int left, int top, int width, int height) {
  const bool changed = left != Left() || top != Top() || width != Width() || height != Height();
  TCtFramedControl::SetBounds(left, top, width, height);
  if (changed && headerHook_.Window()) ResizeLastColumn();
}

void TCtCustomListView::SetParent(TWinControl* parent) {
  if (parent != Parent() && GetHeaderHandle()) HookHeader();
  TCtFramedControl::SetParent(parent);
}

// ---- last column -----------------------------------------------------------------

void TCtCustomListView::SetFillLastColumn(bool value) {
  if (!StoreChanged(fillLastColumn_, value)) return;
  ResizeLastColumn();
}

// The last column takes what the others leave of the client width (less a
// vertical scroll bar when there are no items yet, or while loading, when
// the bar may still come), at least 5 pixels; columns that already fill
// the width are left as they are.
void TCtCustomListView::ResizeLastColumn() {
  TListColumns* columns = Columns();
  if (!fillLastColumn_ || ViewStyle() != vsReport || ComponentState().Contains(csDestroying) ||
      columns->Count() == 0)
    return;
  Items()->BeginUpdate();
  try {
    int others = 0;
    for (int i = 0; i < columns->Count() - 1; ++i) others += columns->Items(i)->Width();
    // Before the window exists its client area is the control less its border.
    int available = HandleAllocated() ? ClientWidth() : Width() - (BorderStyle() == bsSingle ? 4 : 0);
    if (Items()->Count() == 0 || sizingDuringLoad_) available -= win::GetSystemMetrics(win::SM_CXVSCROLL);
    if (others < available) columns->Items(columns->Count() - 1)->SetWidth(available - others > 4 ? available - others : 5);
  } catch (...) {
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
}

// ---- drawing while disabled --------------------------------------------------------

bool TCtCustomListView::IsCustomDrawn(TCustomDrawTarget target, TCustomDrawStage stage) const {
  if (!Enabled() && !Designing()) return true;
  return TCtFramedControl::IsCustomDrawn(target, stage);
}

bool TCtCustomListView::CustomDrawItem(TListItem* item, TCustomDrawState state, TCustomDrawStage stage) {
  const bool defaultDraw = TCtFramedControl::CustomDrawItem(item, state, stage);
  if (!Enabled() && !Designing()) Canvas()->Brush()->SetColor(DisabledColor());
  return defaultDraw;
}

// ---- messages --------------------------------------------------------------------

void TCtCustomListView::WndProc(TMessage& m) {
  const bool leftButton =
      m.Msg == win::WM_LBUTTONDOWN || m.Msg == win::WM_LBUTTONUP || m.Msg == win::WM_LBUTTONDBLCLK;
  if (!leftButton) return TCtFramedControl::WndProc(m);
  ++mouseButtonDepth_;
  try {
    TCtFramedControl::WndProc(m);
  } catch (...) {
    --mouseButtonDepth_;
    throw;
  }
  --mouseButtonDepth_;
}

void TCtCustomListView::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: return NotifyMessage(m);
    case win::WM_NOTIFY:
      if (m.LParam && reinterpret_cast<win::NMHDR*>(m.LParam)->hwndFrom == GetHeaderHandle())
        return HeaderNotifyMessage(m);
      return TCtFramedControl::Dispatch(m);
    case win::WM_DRAWITEM:
      if (m.LParam && reinterpret_cast<win::DRAWITEMSTRUCT*>(m.LParam)->hwndItem == GetHeaderHandle())
        return DrawHeaderMessage(m);
      return TCtFramedControl::Dispatch(m);
    case win::WM_PARENTNOTIFY:
      TCtFramedControl::Dispatch(m);
      if (win::LOWORD(m.WParam) == win::WM_CREATE) {
        // The header goes with the window it belongs to, and the hook with
        // it, so a header made with a new window is hooked again.
        auto child = reinterpret_cast<win::HWND>(m.LParam);
        if (!headerHook_.Window() && win::GetClassName(child) == win::WC_HEADER) headerHook_.Hook(child);
        UpdateHeaderSortDisplay();
      }
      return;
    case kUpdateHeaderSortDisplay: return UpdateHeaderSortDisplay();
    case CM_MOUSEENTER:
      TCtFramedControl::Dispatch(m);
      if (!Designing()) UpdateInfoTip(CursorInClient(*this));
      return;
    case CM_MOUSELEAVE:
      TCtFramedControl::Dispatch(m);
      ResetHotHeaderItem();
      return HideInfoTip();
    case CM_SYSCOLORCHANGE:
      TCtFramedControl::Dispatch(m);
      if (IsSystemColor(Color())) Perform(CM_COLORCHANGED);
      return;
    case win::WM_CONTEXTMENU: return ContextMenuMessage(m);
    case win::WM_RBUTTONDOWN:
      // A new right click: whatever menu was shown before is not this one's.
      contextMenuShown_ = false;
      return TCtFramedControl::Dispatch(m);
    case win::WM_RBUTTONUP: return RightButtonUp(m);
    default: return TCtFramedControl::Dispatch(m);
  }
}

void TCtCustomListView::NotifyMessage(TMessage& m) {
  m.Result = 0;
  switch (reinterpret_cast<win::NMHDR*>(m.LParam)->code) {
    case win::LVN_BEGINLABELEDIT: return BeginLabelEdit(m);
    case win::LVN_ITEMCHANGING: return ItemChanging(m);
    case win::LVN_ITEMCHANGED: return ItemChanged(m);
    case win::NM_RCLICK: return RightClick(m);
    case win::LVN_GETINFOTIP: return;  // the control shows its own tips
    default: return TCtFramedControl::Dispatch(m);
  }
}

// With row selection in report view, a click starts an edit only on the
// item's label unless EditOnRowClick. Edits started by the keyboard or by
// the program are not clicks and go ahead as the base lets them.
void TCtCustomListView::BeginLabelEdit(TMessage& m) {
  const auto& info = *reinterpret_cast<win::NMLVDISPINFO*>(m.LParam);
  const int index = info.item.iItem;
  if (!RowSelect() || ViewStyle() != vsReport || editOnRowClick_ || mouseButtonDepth_ == 0 || index < 0 ||
      index >= Items()->Count())
    return TCtFramedControl::Dispatch(m);
  TListItem* item = Items()->Item(index);
  const TRect label = item->DisplayRect(drLabel);
  const TPoint p = CursorInClient(*this);
  const bool onLabel = p.x >= label.left && p.x < label.right && p.y >= label.top && p.y < label.bottom;
  m.Result = onLabel && CanEdit(item) ? 0 : 1;
}

void TCtCustomListView::ItemChanging(TMessage& m) {
  TCtFramedControl::Dispatch(m);
  const auto& n = *reinterpret_cast<win::NMLISTVIEW*>(m.LParam);
  if (!Checkboxes() || (n.uNewState != kCheckedState && n.uNewState != kUncheckedState)) return;
  if (n.iItem < 0 || n.iItem >= Items()->Count()) return;
  if (!DoCheckStateChanging(Items()->Item(n.iItem), n.uNewState == kCheckedState)) m.Result = 1;
}

void TCtCustomListView::ItemChanged(TMessage& m) {
  TCtFramedControl::Dispatch(m);
  const auto& n = *reinterpret_cast<win::NMLISTVIEW*>(m.LParam);
  if (!Checkboxes() || (n.uNewState != kCheckedState && n.uNewState != kUncheckedState)) return;
  if (n.iItem >= 0 && n.iItem < Items()->Count()) DoCheckStateChange(Items()->Item(n.iItem));
}

void TCtCustomListView::RightClick(TMessage& m) {
  const TPoint p = CursorInClient(*this);
  {
    TFlagScope onItem(rightClickedOnItem_);
    rightClickedOnItem_ = GetHitTestInfoAt(p.x, p.y).Contains(htOnItem);
    ShowContextMenu(p);
  }
  TCtFramedControl::Dispatch(m);
}

bool TCtCustomListView::DoCheckStateChanging(TListItem* item, bool toBeChecked) {
  bool allowChange = true;
  if (OnCheckStateChanging) OnCheckStateChanging(this, item, toBeChecked, allowChange);
  return allowChange;
}

void TCtCustomListView::DoCheckStateChange(TListItem* item) {
  if (OnCheckStateChange) OnCheckStateChange(this, item);
}

// ---- context menus ---------------------------------------------------------------

// A right click on an item opens the item's menu there; one beside the
// items with no item focused opens the control's own menu. The keyboard,
// or a click beside the items while one is focused, opens the item menu at
// the centre of the focused item's icon.
void TCtCustomListView::ShowContextMenu(TPoint p) {
  TListItem* focused = ItemFocused();
  if (rightClickedOnItem_) return ShowItemContextMenu(p);
  if (focused) return ShowItemContextMenu(IconCentre(*focused));
  DefaultContextPopup(p);
  contextMenuShown_ = true;
}

void TCtCustomListView::ShowItemContextMenu(TPoint p) {
  TPopupMenu* menu = PopupMenu();
  DoItemContextMenu(ItemFocused(), p, menu);
  contextMenuShown_ = true;
  if (!menu) return;
  menu->SetPopupComponent(this);
  const TPoint screen = ClientToScreen(p);
  menu->Popup(screen.x, screen.y);
}

void TCtCustomListView::DoItemContextMenu(TListItem* item, TPoint& p, TPopupMenu*& menu) {
  if (OnItemContextMenu) OnItemContextMenu(this, item, p, menu);
}

// OnContextPopup may take the click; otherwise the control's own menu opens
// when it pops up by itself, once every mouse mode has ended.
void TCtCustomListView::DefaultContextPopup(TPoint p) {
  bool handled = false;
  if (OnContextPopup) OnContextPopup(this, p, handled);
  TPopupMenu* menu = PopupMenu();
  if (handled || !menu || !menu->AutoPopup()) return;
  SendCancelMode(this);
  menu->SetPopupComponent(this);
  const TPoint screen = ClientToScreen(p);
  menu->Popup(screen.x, screen.y);
}

// The menu message that follows a menu the control has shown is dropped,
// and so is one while no item is selected and focused.
void TCtCustomListView::ContextMenuMessage(TMessage& m) {
  if (Designing() || contextMenuShown_ || SelCount() == 0 || !ItemFocused()) return;
  if (m.LParam == -1) return ShowContextMenu(Point(0, 0));
  ShowItemContextMenu(ScreenToClient(Point(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam))));
}

// A release after a menu the control has shown shows no other: the base
// runs without the popup menu.
void TCtCustomListView::RightButtonUp(TMessage& m) {
  TPopupMenu* menu = PopupMenu();
  if (contextMenuShown_ && menu) {
    SetPopupMenu(nullptr);
    try {
      TCtFramedControl::Dispatch(m);
    } catch (...) {
      SetPopupMenu(menu);
      contextMenuShown_ = false;
      throw;
    }
    SetPopupMenu(menu);
  } else {
    TCtFramedControl::Dispatch(m);
  }
  contextMenuShown_ = false;
}

void TCtCustomListView::KeyDown(uint16_t& key, TShiftState shift) {
  const bool menuKey = key == win::VK_APPS && shift.Mask() == 0;
  const bool shiftF10 = key == win::VK_F10 && shift == TShiftState{ssShift};
  if (menuKey || shiftF10) {
    key = 0;
    ShowContextMenu(Point(0, 0));
  }
  TCtFramedControl::KeyDown(key, shift);
}

// ---- wheel -----------------------------------------------------------------------

// A notch scrolls a fixed number of pixels a wheel line (a page's height
// when the system scrolls pages); the selection and the focus stay where
// they are.
int TCtCustomListView::WheelStep() const {
  const int lines = WheelScrollLines();
  if (lines < 0) return ClientHeight();
  return (ViewStyle() == vsIcon ? 32 : 16) * lines;
}

bool TCtCustomListView::DoMouseWheelDown(TShiftState, TPoint) {
  Scroll(0, WheelStep());
  return true;
}

bool TCtCustomListView::DoMouseWheelUp(TShiftState, TPoint) {
  Scroll(0, -WheelStep());
  return true;
}

// ---- info tips -------------------------------------------------------------------

void TCtCustomListView::MouseMove(TShiftState shift, int x, int y) {
  TCtFramedControl::MouseMove(shift, x, y);
  ResetHotHeaderItem();
  UpdateInfoTip(Point(x, y));
}

// The tip shows the item's caption, or what OnInfoTip makes of it, just
// below the top-left of the item under the mouse.
void TCtCustomListView::UpdateInfoTip(TPoint p) {
  if (!OnInfoTip) return;
  TListItem* item = GetItemAt(p.x, p.y);
  if (!item) return HideInfoTip();
  std::string text = item->Caption();
  DoInfoTip(item, text);
  if (Designing() || !win::GetForegroundWindow() || text.empty()) return HideInfoTip();
  if (!infoTip_) {
    infoTip_ = new THintWindow(this);
    infoTip_->SetColor(clInfoBk);
  }
  infoTip_->SetFont(Font());
  TRect r = infoTip_->CalcHintRect(Screen()->Width(), text);
  const TRect bounds = item->DisplayRect(drBounds);
  const TPoint origin = ClientToScreen(Point(bounds.left + 5, bounds.top + RectHeight(bounds) - 3));
  win::OffsetRect(&r, origin.x, origin.y);
  if (!infoTip_->Visible() || infoTip_->Left() != r.left || infoTip_->Top() != r.top || infoTip_->Caption() != text)
    infoTip_->ActivateHint(r, text);
}

void TCtCustomListView::HideInfoTip() {
  if (infoTip_) infoTip_->ReleaseHandle();
}

}  // namespace qelo::ct
