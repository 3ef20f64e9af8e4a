#include "ct_treevw.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "ct_common_types.h"
#include "ct_common_versions.h"
#include "vcl/controls/forms.h"
#include "win/window/scrollbars.h"

namespace qelo::ct {

using namespace vcl;

namespace {

// The NT family below this common-controls version shows no node tips.
constexpr uint32_t kToolTipsVersion = ComCtlVersion(4, 72);

TPoint CursorInClient(const TControl& control) {
  win::POINT p{};
  win::GetCursorPos(&p);
  return control.ScreenToClient(Point(p.x, p.y));
}

TPoint Centre(const TRect& r) { return Point((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// Holds a value in a variable for as long as it lives, then the old one.
template <class T>
class ValueScope {
 public:
  ValueScope(T& variable, T value) : variable_(variable), old_(variable) { variable_ = value; }
  ~ValueScope() { variable_ = old_; }
  ValueScope(const ValueScope&) = delete;
  ValueScope& operator=(const ValueScope&) = delete;

 private:
  T& variable_;
  T old_;
};

// ---- indented lines ----

struct IndentedLine {
  int level = 0;
  std::string text;
};

bool BeginsWithIndent(std::string_view text) { return !text.empty() && (text[0] == '\t' || text[0] == ' '); }

// A text in double quotes with its inner quotes doubled, as the writer
// makes it; nothing when the text is not such a quoted text.
std::optional<std::string> Unquoted(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::nullopt;
  std::string out;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '"') {
      if (i + 2 >= text.size() || text[i + 1] != '"') return std::nullopt;
      ++i;
    }
    out += text[i];
  }
  return out;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + '"';
}

IndentedLine ParseLine(std::string_view line) {
  IndentedLine parsed;
  while (BeginsWithIndent(line.substr(static_cast<size_t>(parsed.level)))) ++parsed.level;
  const std::string_view rest = line.substr(static_cast<size_t>(parsed.level));
  parsed.text = Unquoted(rest).value_or(std::string(rest));
  return parsed;
}

std::string WrittenText(const std::string& text) {
  return BeginsWithIndent(text) || (!text.empty() && text[0] == '"') ? Quoted(text) : text;
}

// The node of a line read after `previous`: its sibling at the same level,
// its child one level deeper, a child of the ancestor level's parent when
// shallower; a deeper level is refused.
TTreeNode* AddLine(TTreeNodes& items, TTreeNode* previous, const IndentedLine& line) {
  if (!previous) return items.AddChild(nullptr, line.text);
  const int level = previous->Level();
  if (line.level == level) return items.AddChild(previous->Parent(), line.text);
  if (line.level == level + 1) return items.AddChild(previous, line.text);
  if (line.level < level) {
    TTreeNode* up = previous->Parent();
    while (up->Level() > line.level) up = up->Parent();
    return items.AddChild(up->Parent(), line.text);
  }
  throw ETreeViewError("Invalid level (" + std::to_string(line.level) + ") for item \"" + line.text + "\"");
}

}  // namespace

// ---- class registration ------------------------------------------------------------

const ClassInfo& TCtCustomTreeView::StaticClass() {
  static const ClassInfo info = [] {
    ClassBuilder<TCtCustomTreeView> b("TCtCustomTreeView", TCustomTreeView::StaticClass());
    PublishFrameProperties(b);
    b.Boolean("AutoExpand", &TCtCustomTreeView::GetAutoExpand, &TCtCustomTreeView::SetAutoExpand)
        .Integer("ItemHeight", &TCtCustomTreeView::ItemHeight, &TCtCustomTreeView::SetItemHeight)
        .Event("OnNodeContextMenu", &TCtCustomTreeView::OnNodeContextMenu);
    return b.Done();
  }();
  return info;
}

void RegisterCtTreeViewClasses() {
  RegisterClasses({&TCtCustomTreeView::StaticClass()});
}

TCtCustomTreeView::TCtCustomTreeView(TComponent* owner)
    : TCtFramedControl(owner), selectionPen_(std::make_unique<TPen>()) {
  selectionPen_->SetColor(clBtnShadow);
  selectionPen_->OnChange = [this](TObject*) { Invalidate(); };
}

TCtCustomTreeView::~TCtCustomTreeView() = default;

// ---- window ------------------------------------------------------------------------

void TCtCustomTreeView::CreateParams(TCreateParams& p) {
  TCtFramedControl::CreateParams(p);
  if (IsWinNTPlatform() && CommonControlsVersion() < kToolTipsVersion) p.Style |= win::TVS_NOTOOLTIPS;
}

void TCtCustomTreeView::CreateWnd() {
  TCtFramedControl::CreateWnd();
  ApplyItemHeight();
}

void TCtCustomTreeView::Loaded() {
  TCtFramedControl::Loaded();
  ApplyItemHeight();
}

void TCtCustomTreeView::SetFrameVisible(bool value) {
  if (value == FrameVisible()) return;
  TCtFramedControl::SetFrameVisible(value);
  if (!FrameControllerLink().Applying()) RecreateWnd();
}

// ---- properties --------------------------------------------------------------------

void TCtCustomTreeView::ApplyItemHeight() {
  if (!HandleAllocated()) return;
  if (itemHeight_ < 0) itemHeight_ = 0;
  const int height = itemHeight_ > 0 ? itemHeight_ : -1;  // -1: the platform's height
  win::SendMessage(WindowHandle(), win::TVM_SETITEMHEIGHT, static_cast<WPARAM>(height), 0);
}

void TCtCustomTreeView::SetItemHeight(int value) {
  if (!StoreChanged(itemHeight_, value)) return;
  ApplyItemHeight();
}

void TCtCustomTreeView::SetAutoExpand(bool value) {
  TCtFramedControl::SetAutoExpand(value);
  if (AutoExpand()) selectOnExpand_ = false;
}

void TCtCustomTreeView::SetSelectOnExpand(bool value) {
  if (!StoreChanged(selectOnExpand_, value)) return;
  if (value) SetAutoExpand(false);
}

void TCtCustomTreeView::SetSelectionPen(const TPen* pen) { selectionPen_->Assign(pen); }

void TCtCustomTreeView::Expand(TTreeNode* node) {
  TCtFramedControl::Expand(node);
  if (selectOnExpand_) SetSelected(node);
}

void TCtCustomTreeView::Collapse(TTreeNode* node) {
  if (selectOnExpand_) SetSelected(node);
  TCtFramedControl::Collapse(node);
}

// A node that goes while its menu is open is no longer the selection the
// menu's handlers see.
void TCtCustomTreeView::Delete(TTreeNode* node) {
  if (node == rightClickedNode_) rightClickedNode_ = nullptr;
  TCtFramedControl::Delete(node);
}

TTreeNode* TCtCustomTreeView::GetSelected() const {
  if (rightClickedNode_ && RightClickSelect()) return rightClickedNode_;
  if (!HandleAllocated()) return nullptr;
  return Selected();
}

// ---- indented text -----------------------------------------------------------------

void TCtCustomTreeView::LoadFromStrings(TStrings& lines) {
  TTreeNodes& items = *Items();
  items.BeginUpdate();
  try {
    items.Clear();
    TTreeNode* previous = nullptr;
    for (int i = 0; i < lines.Count(); ++i) previous = AddLine(items, previous, ParseLine(lines.Get(i)));
  } catch (...) {
    items.EndUpdate();
    Invalidate();
    throw;
  }
  items.EndUpdate();
}

void TCtCustomTreeView::SaveToStrings(TStrings& lines) {
  for (TTreeNode* node = Items()->GetFirstNode(); node; node = node->GetNext())
    lines.Add(std::string(static_cast<size_t>(node->Level()), '\t') + WrittenText(node->Text()));
}

// ---- messages ----------------------------------------------------------------------

void TCtCustomTreeView::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY:
      if (reinterpret_cast<win::NMHDR*>(m.LParam)->code == win::NM_RCLICK) return RightClick(m);
      return TCtFramedControl::Dispatch(m);
    case win::WM_PAINT:
      TCtFramedControl::Dispatch(m);
      return PaintSelectionOutline(reinterpret_cast<win::HDC>(m.WParam));
    case win::WM_CONTEXTMENU: return ContextMenuMessage(m);
    case win::WM_RBUTTONDOWN:
      // A new right click: a menu shown before is not this one's.
      contextMenuShown_ = false;
      return TCtFramedControl::Dispatch(m);
    case win::WM_RBUTTONUP: return RightButtonUp(m);
    case CM_SYSCOLORCHANGE:
      TCtFramedControl::Dispatch(m);
      if (IsSystemColor(Color())) Perform(CM_COLORCHANGED);
      return;
    default: return TCtFramedControl::Dispatch(m);
  }
}

// ---- selection outline -------------------------------------------------------------

bool TCtCustomTreeView::LabelEditFocused() const {
  auto edit = reinterpret_cast<win::HWND>(win::SendMessage(WindowHandle(), win::TVM_GETEDITCONTROL, 0, 0));
  return edit && win::GetFocus() == edit;
}

// Drawn after the platform painted: on the context the message brought, or
// on one of our own after an ordinary paint, which brings none.
void TCtCustomTreeView::PaintSelectionOutline(win::HDC given) {
  if (HideSelection() || !HandleAllocated() || Focused() || LabelEditFocused()) return;
  TTreeNode* node = GetSelected();
  if (!node) return;
  const TRect text = node->DisplayRect(true);
  if (win::IsRectEmpty(&text)) return;
  win::HDC dc = given ? given : win::GetDC(WindowHandle());
  if (!dc) return;
  {
    TCanvasContextScope scope(outlineCanvas_, dc);
    outlineCanvas_.SetPen(selectionPen_.get());
    outlineCanvas_.Brush()->SetStyle(bsClear);
    outlineCanvas_.Rectangle(text);
    outlineCanvas_.Pen()->SetWidth(1);
    outlineCanvas_.Pen()->SetStyle(psSolid);
  }
  if (!given) win::ReleaseDC(WindowHandle(), dc);
}

// ---- context menus -----------------------------------------------------------------

void TCtCustomTreeView::PopUp(TPopupMenu* menu, TPoint clientPoint) {
  SendCancelMode(this);
  menu->SetPopupComponent(this);
  const TPoint screen = ClientToScreen(clientPoint);
  menu->Popup(screen.x, screen.y);
}

// A right click opens the menu of the node under it, or of the selected
// node when it hit none; the menu's handlers see that node as selected.
// The base (RightClickSelect) follows.
void TCtCustomTreeView::RightClick(TMessage& m) {
  if (!Designing()) {
    TPoint p = CursorInClient(*this);
    TTreeNode* node = GetNodeAt(p.x, p.y);
    if (!node) node = GetSelected();
    if (node) {
      ValueScope<TTreeNode*> clicked(rightClickedNode_, node);
      TPopupMenu* menu = PopupMenu();
      DoNodeContextMenu(node, p, menu);
      if (menu) PopUp(menu, p);
      contextMenuShown_ = true;
    }
  }
  TCtFramedControl::Dispatch(m);
}

void TCtCustomTreeView::DoNodeContextMenu(TTreeNode* node, TPoint& p, TPopupMenu*& menu) {
  if (OnNodeContextMenu) OnNodeContextMenu(this, node, p, menu);
}

void TCtCustomTreeView::ShowNodeContextMenu(TTreeNode* node, TPoint p) {
  TPopupMenu* const offered = PopupMenu();
  TPopupMenu* menu = offered;
  DoNodeContextMenu(node, p, menu);
  if (menu != offered) contextMenuShown_ = true;
  if (menu) PopUp(menu, p);
}

void TCtCustomTreeView::ShowNodeContextMenuAtSelection() {
  if (TTreeNode* node = GetSelected()) return ShowNodeContextMenu(node, Centre(node->DisplayRect(true)));
  if (TPopupMenu* menu = PopupMenu()) PopUp(menu, Point(0, 0));
}

// The platform's menu message: a selected node has its menu from the right
// click or the keyboard already, and so has a click whose menu was shown.
void TCtCustomTreeView::ContextMenuMessage(TMessage& m) {
  if (Designing() || GetSelected() || contextMenuShown_) return;
  if (m.LParam == -1) return ShowNodeContextMenuAtSelection();
  ShowNodeContextMenu(nullptr, ScreenToClient(Point(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam))));
}

// The release after a menu the control showed opens no other: the popup
// menu does not pop up by itself meanwhile. The flag has then served.
void TCtCustomTreeView::RightButtonUp(TMessage& m) {
  TPopupMenu* menu = PopupMenu();
  if (contextMenuShown_ && menu) {
    const bool autoPopup = menu->AutoPopup();
    menu->SetAutoPopup(false);
    try {
      TCtFramedControl::Dispatch(m);
    } catch (...) {
      menu->SetAutoPopup(autoPopup);
      throw;
    }
    menu->SetAutoPopup(autoPopup);
  } else {
    TCtFramedControl::Dispatch(m);
  }
  contextMenuShown_ = false;
}

void TCtCustomTreeView::KeyDown(uint16_t& key, TShiftState shift) {
  const bool menuKey = key == win::VK_APPS && shift.Mask() == 0;
  const bool shiftF10 = key == win::VK_F10 && shift == TShiftState{ssShift};
  if (menuKey || shiftF10) {
    key = 0;
    ShowNodeContextMenuAtSelection();
  }
  TCtFramedControl::KeyDown(key, shift);
}

// ---- wheel -------------------------------------------------------------------------

// A notch moves the view by the system's wheel lines (a page when the
// system scrolls pages), never above the first node. The view moves a
// line at a time, so that no position is cut to the 16 bits a scroll
// message carries.
void TCtCustomTreeView::ScrollByWheel(bool down) {
  win::SCROLLINFO info;
  info.fMask = win::SIF_POS;
  if (!HandleAllocated() || !win::GetScrollInfo(WindowHandle(), win::SB_VERT, &info)) return;
  const int lines = WheelScrollLines();
  if (lines < 0) {
    win::SendMessage(WindowHandle(), win::WM_VSCROLL, down ? win::SB_PAGEDOWN : win::SB_PAGEUP, 0);
    return;
  }
  const int steps = down ? lines : std::min(lines, info.nPos);
  for (int i = 0; i < steps; ++i)
    win::SendMessage(WindowHandle(), win::WM_VSCROLL, down ? win::SB_LINEDOWN : win::SB_LINEUP, 0);
}

bool TCtCustomTreeView::DoMouseWheelDown(TShiftState, TPoint) {
  ScrollByWheel(true);
  return true;
}

bool TCtCustomTreeView::DoMouseWheelUp(TShiftState, TPoint) {
  ScrollByWheel(false);
  return true;
}

}  // namespace qelo::ct
