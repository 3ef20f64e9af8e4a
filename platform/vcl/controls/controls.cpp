#include "vcl/controls/controls.h"

#include <algorithm>
#include <cstdlib>

#include "vcl/controls/forms.h"

namespace qelo::vcl {

const EnumInfo kAlignInfo{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}};
const EnumInfo kDragModeInfo{"TDragMode", {"dmManual", "dmAutomatic"}};
const EnumInfo kAnchorKindInfo{"TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"}};
const EnumInfo kAlignmentInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const EnumInfo kBiDiModeInfo{"TBiDiMode",
                             {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}};

namespace {

struct CursorName {
  const char* name;
  TCursor id;
};
constexpr CursorName kCursorNames[] = {
    {"crDefault", crDefault},   {"crNone", crNone},         {"crArrow", crArrow},
    {"crCross", crCross},       {"crIBeam", crIBeam},       {"crSizeNESW", crSizeNESW},
    {"crSizeNS", crSizeNS},     {"crSizeNWSE", crSizeNWSE}, {"crSizeWE", crSizeWE},
    {"crUpArrow", crUpArrow},   {"crHourGlass", crHourGlass}, {"crNo", crNo},
    {"crAppStart", crAppStart}, {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll},
    {"crDrag", crDrag},
};

}  // namespace

std::optional<int64_t> CursorIdent(std::string_view name) {
  for (const CursorName& c : kCursorNames)
    if (SameText(c.name, name)) return c.id;
  return std::nullopt;
}

TShiftState MouseShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & win::MK_SHIFT) s.Include(ssShift);
  if (keys & win::MK_CONTROL) s.Include(ssCtrl);
  if (keys & win::MK_LBUTTON) s.Include(ssLeft);
  if (keys & win::MK_RBUTTON) s.Include(ssRight);
  if (keys & win::MK_MBUTTON) s.Include(ssMiddle);
  if (win::GetKeyState(win::VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s;
  if (win::GetKeyState(win::VK_SHIFT) < 0) s.Include(ssShift);
  if (win::GetKeyState(win::VK_CONTROL) < 0) s.Include(ssCtrl);
  if (win::GetKeyState(win::VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

const ClassInfo& TControl::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TControl>("TControl", TComponent::StaticClass())
          .Integer("Left", &TControl::Left, &TControl::SetLeft)
          .Integer("Top", &TControl::Top, &TControl::SetTop)
          .Integer("Width", &TControl::Width, &TControl::SetWidth)
          .Integer("Height", &TControl::Height, &TControl::SetHeight)
          .Integer("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth)
          .Integer("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight)
          .Enum("Align", kAlignInfo, &TControl::Align, &TControl::SetAlign)
          .Set("Anchors", kAnchorKindInfo, &TControl::Anchors, &TControl::SetAnchors)
          .Boolean("Visible", &TControl::Visible, &TControl::SetVisible)
          .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled)
          .Enum("DragMode", kDragModeInfo, &TControl::DragMode, &TControl::SetDragMode)
          .Enum("DragKind", kDragKindInfo, &TControl::DragKind, &TControl::SetDragKind)
          .Integer("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, CursorIdent)
          .Object<TSizeConstraints>("Constraints", &TControl::Constraints)
          .Color("Color", &TControl::Color, &TControl::SetColor)
          .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
          .Object<TFont>("Font", &TControl::Font)
          .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
          .String("Caption", &TControl::Caption, &TControl::SetCaption)
          .String("Text", &TControl::Text, &TControl::SetText)
          .String("Hint", &TControl::Hint, &TControl::SetHint)
          .Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
          .Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint)
          .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, CursorIdent)
          .Component<TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
          .Enum("BiDiMode", kBiDiModeInfo, &TControl::BiDiMode, &TControl::SetBiDiMode)
          .Integer("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext)
          .Component<TBasicAction>("Action", &TControl::Action, &TControl::SetAction)
          .Event("OnClick", &TControl::OnClick)
          .Event("OnDblClick", &TControl::OnDblClick)
          .Event("OnMouseDown", &TControl::OnMouseDown)
          .Event("OnMouseUp", &TControl::OnMouseUp)
          .Event("OnMouseMove", &TControl::OnMouseMove)
          .Event("OnMouseEnter", &TControl::OnMouseEnter)
          .Event("OnMouseLeave", &TControl::OnMouseLeave)
          .Event("OnResize", &TControl::OnResize)
          .Event("OnContextPopup", &TControl::OnContextPopup)
          .Event("OnMouseActivate", &TControl::OnMouseActivate)
          .Event("OnDragOver", &TControl::OnDragOver)
          .Event("OnDragDrop", &TControl::OnDragDrop)
          .Event("OnStartDrag", &TControl::OnStartDrag)
          .Event("OnEndDrag", &TControl::OnEndDrag)
          .Event("OnStartDock", &TControl::OnStartDock)
          .Event("OnEndDock", &TControl::OnEndDock)
          .Done();
  return info;
}

TControl::TControl(TComponent* owner)
    : TComponent(owner), constraints_(std::make_unique<TSizeConstraints>()), font_(new TFont) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  font_->OnChange = [this](TObject* sender) { FontChanged(sender); };
  constraints_->OnChange = [this](TObject*) { ConstraintsChanged(); };
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
  delete font_;
}

// ---- place --------------------------------------------------------------------

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(constraints_->ConstrainWidth(width), 0);
  height = std::max(constraints_->ConstrainHeight(height), 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const TRect old = BoundsRect();
  const bool resized = width != width_ || height != height_;
  const bool moved = left != left_ || top != top_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  InvalidateParentRect(old);
  InvalidateForNewBounds(moved);
  UpdateAnchorRules();
  RequestAlign();
  if (resized) Resize();
}

TRect TControl::ClientRect() const { return Rect(0, 0, width_, height_); }

void TControl::SetClientWidth(int v) { SetWidth(v + width_ - ClientWidth()); }
void TControl::SetClientHeight(int v) { SetHeight(v + height_ - ClientHeight()); }

TPoint TControl::ClientOrigin() const {
  if (!parent_) return Point(left_, top_);
  const TPoint o = parent_->ClientOrigin();
  return Point(o.x + left_, o.y + top_);
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const TPoint o = ClientOrigin();
  return Point(p.x + o.x, p.y + o.y);
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const TPoint o = ClientOrigin();
  return Point(p.x - o.x, p.y - o.y);
}

// The edges an aligned control keeps to, by its alignment.
TAnchors AnchorsOfAlign(TAlign align) {
  switch (align) {
    case alTop: return {akLeft, akTop, akRight};
    case alBottom: return {akLeft, akRight, akBottom};
    case alLeft: return {akLeft, akTop, akBottom};
    case alRight: return {akRight, akTop, akBottom};
    case alClient: return {akLeft, akTop, akRight, akBottom};
    default: return {akLeft, akTop};
  }
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  const TAlign old = align_;
  align_ = align;
  if (!ComponentState().Contains(csLoading) && anchors_ == AnchorsOfAlign(old)) anchors_ = AnchorsOfAlign(align);
  RequestAlign();
  UpdateAnchorRules();
}

void TControl::SetAnchors(TAnchors anchors) {
  if (anchors == anchors_) return;
  anchors_ = anchors;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (!parent_ || parent_->aligning_) return;
  const TRect client = parent_->ClientRect();
  anchorOrigin_ = Point(RectWidth(client), RectHeight(client));
  anchorBounds_ = BoundsRect();
  anchorRulesValid_ = true;
}

void TControl::RequestAlign() {
  if (parent_ && !ComponentState().Contains(csLoading)) parent_->Realign();
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetName(const std::string& name) {
  const bool showsName = controlStyle_.Contains(csSetCaption) && !ComponentState().Contains(csReading) &&
                         !ComponentState().Contains(csLoading) && text_ == TComponent::Name();
  TComponent::SetName(name);
  if (showsName) SetText(name);
}

TCustomForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SendCancelMode(TControl* sender) {
  for (TControl* c = this; c; c = c->parent_)
    if (auto* form = dynamic_cast<TCustomForm*>(c)) form->SendCancelMode(sender);
}

// ---- state ----------------------------------------------------------------------

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible) InvalidateParentRect(BoundsRect());
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  RequestAlign();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (value && parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::FontChanged(TObject*) {
  if (!updatingFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (value && parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Perform(CM_TEXTCHANGED);
}

void TControl::SetShowHint(bool value) {
  if (value == showHint_ && !parentShowHint_) return;
  showHint_ = value;
  parentShowHint_ = false;
  Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
  if (value == parentShowHint_) return;
  parentShowHint_ = value;
  if (value && parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == popupMenu_) popupMenu_ = nullptr;
  if (component && component == Action()) SetAction(nullptr);
}

// ---- actions --------------------------------------------------------------------

void TControl::SetAction(TBasicAction* action) {
  if (action == Action()) return;
  if (TBasicAction* old = Action()) old->RemoveFreeNotification(this);
  if (!action) {
    actionLink_.reset();
    controlStyle_.Exclude(csActionClient);
    return;
  }
  if (!actionLink_) actionLink_.reset(GetActionLinkClass()(*this));
  actionLink_->SetAction(action);
  actionLink_->OnChange = [this](TObject* sender) { DoActionChange(sender); };
  controlStyle_.Include(csActionClient);
  action->FreeNotification(this);
  ActionChange(action, ComponentState().Contains(csLoading));
}

void TControl::DoActionChange(TObject* sender) {
  if (sender && sender == Action()) ActionChange(sender, false);
}

void TControl::ActionChange(TObject* sender, bool checkDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || text_.empty() || text_ == Name()) SetCaption(action->Caption());
  if (!checkDefaults || enabled_) SetEnabled(action->Enabled());
}

TControlActionLinkClass TControl::GetActionLinkClass() const {
  return [](TControl& client) -> TControlActionLink* { return new TControlActionLink(client); };
}

void TControl::AssignTo(TPersistent* dest) const {
  auto* action = dynamic_cast<TCustomAction*>(dest);
  if (!action) return TComponent::AssignTo(dest);
  action->SetEnabled(enabled_);
  action->SetCaption(text_);
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (TBasicAction* action = Action()) ActionChange(action, true);
  if (parent_) {
    if (parentColor_) Perform(CM_PARENTCOLORCHANGED);
    if (parentFont_) Perform(CM_PARENTFONTCHANGED);
    if (parentShowHint_) Perform(CM_PARENTSHOWHINTCHANGED);
    Perform(CM_PARENTDOUBLEBUFFEREDCHANGED);
    UpdateAnchorRules();
  }
}

// ---- messages ----------------------------------------------------------------

LRESULT TControl::Perform(UINT msg, WPARAM w, LPARAM l) {
  TMessage m{msg, w, l, 0};
  WindowProc(m);
  return m.Result;
}

// A dock control set to drag itself starts its dock drag when pressed;
// the press is then no click.
void TControl::WndProc(TMessage& m) {
  if ((m.Msg == win::WM_LBUTTONDOWN || m.Msg == win::WM_LBUTTONDBLCLK) && dragMode_ == dmAutomatic &&
      dragKind_ == dkDock && !ComponentState().Contains(csDesigning)) {
    BeginDrag(false);
    return;
  }
  Dispatch(m);
}

TMouseActivate TControl::MouseActivate(TMouseButton button, TShiftState shift, int x, int y, int hitTest) {
  TMouseActivate result = maDefault;
  if (OnMouseActivate) OnMouseActivate(this, button, shift, x, y, hitTest, result);
  return result;
}

void TControl::Dispatch(TMessage& m) {
  using namespace win;
  switch (m.Msg) {
    case WM_LBUTTONDOWN: return MouseMessage(m, mbLeft, true, false);
    case WM_LBUTTONDBLCLK: return MouseMessage(m, mbLeft, true, true);
    case WM_LBUTTONUP: return MouseMessage(m, mbLeft, false, false);
    case WM_RBUTTONDOWN: return MouseMessage(m, mbRight, true, false);
    case WM_RBUTTONDBLCLK: return MouseMessage(m, mbRight, true, true);
    case WM_RBUTTONUP: return MouseMessage(m, mbRight, false, false);
    case WM_MBUTTONDOWN: return MouseMessage(m, mbMiddle, true, false);
    case WM_MBUTTONUP: return MouseMessage(m, mbMiddle, false, false);
    case WM_MOUSEMOVE:
      Application()->HintMouseMessage(this, m);
      MouseMove(MouseShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      DefaultHandler(m);
      return;
    case WM_CONTEXTMENU: return ContextMenuMessage(m);
    case WM_MOUSEWHEEL: return MouseWheelMessage(m);
    case CM_MOUSEENTER: return DoMouseEnter(m);
    case CM_MOUSELEAVE: return DoMouseLeave(m);
    case CM_HITTEST: m.Result = 1; return;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      return;
    case CM_PARENTCOLORCHANGED:
      if (parentColor_ && parent_) {
        SetColor(parent_->Color());
        parentColor_ = true;
      }
      return;
    case CM_PARENTFONTCHANGED:
      if (parentFont_ && parent_) {
        updatingFont_ = true;
        font_->Assign(parent_->Font());
        updatingFont_ = false;
      }
      return;
    case CM_PARENTSHOWHINTCHANGED:
      if (parentShowHint_ && parent_) showHint_ = parent_->ShowHint();
      return;
    default: DefaultHandler(m);
  }
}

void TControl::DefaultHandler(TMessage& m) {
  if (m.Msg == win::WM_PAINT || m.Msg == win::WM_ERASEBKGND) m.Result = 0;
}

void TControl::MouseMessage(TMessage& m, TMouseButton button, bool down, bool dbl) {
  TShiftState shift = MouseShiftState(m.WParam);
  if (dbl) shift.Include(ssDouble);
  const int x = win::GET_X_LPARAM(m.LParam), y = win::GET_Y_LPARAM(m.LParam);
  if (down) {
    if (dbl && button == mbLeft && controlStyle_.Contains(csDoubleClicks)) DblClick();
    if (button == mbLeft && controlStyle_.Contains(csCaptureMouse)) controlState_.Include(csClicked);
    MouseDown(button, shift, x, y);
    DefaultHandler(m);
    return;
  }
  const bool clicked = button == mbLeft && controlState_.Contains(csClicked);
  if (button == mbLeft) controlState_.Exclude(csClicked);
  if (clicked && controlStyle_.Contains(csClickEvents) && x >= 0 && y >= 0 && x < width_ && y < height_) Click();
  MouseUp(button, shift, x, y);
  DefaultHandler(m);
}

void TControl::MouseWheelMessage(TMessage& m) {
  const TShiftState shift = MouseShiftState(win::LOWORD(m.WParam));
  const TPoint screen = Point(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam));
  if (DoMouseWheel(shift, win::GET_WHEEL_DELTA_WPARAM(m.WParam), screen)) {
    m.Result = 0;
    return;
  }
  DefaultHandler(m);
}

// A notch the hooks do not take goes, with what was gathered, to the
// window; turns short of a notch wait for the next ones.
bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  wheelAccumulator_ += wheelDelta;
  bool handled = false;
  while (std::abs(wheelAccumulator_) >= win::WHEEL_DELTA) {
    const bool down = wheelAccumulator_ < 0;
    wheelAccumulator_ += down ? win::WHEEL_DELTA : -win::WHEEL_DELTA;
    if (!(down ? DoMouseWheelDown(shift, mousePos) : DoMouseWheelUp(shift, mousePos))) {
      wheelAccumulator_ = 0;
      return false;
    }
    handled = true;
  }
  return handled;
}

bool TControl::DoMouseWheelDown(TShiftState, TPoint) { return false; }
bool TControl::DoMouseWheelUp(TShiftState, TPoint) { return false; }

void TControl::DoMouseEnter(TMessage&) {
  mouseInControl_ = true;
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::DoMouseLeave(TMessage&) {
  mouseInControl_ = false;
  Application()->CancelHintFor(this);
  if (OnMouseLeave) OnMouseLeave(this);
}

// WM_CONTEXTMENU: lParam is the screen point, or -1 for the keyboard (the
// menu then opens at the control's top left corner).
void TControl::ContextMenuMessage(TMessage& m) {
  TPoint p = m.LParam == -1 ? ClientToScreen(Point(0, 0))
                            : Point(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam));
  bool handled = false;
  if (OnContextPopup) {
    OnContextPopup(this, ScreenToClient(p), handled);
    if (handled) {
      m.Result = 1;
      return;
    }
  }
  if (DoContextPopup(p)) {
    m.Result = 1;
    return;
  }
  if (parent_) m.Result = parent_->Perform(win::WM_CONTEXTMENU, m.WParam, m.LParam);
}

bool TControl::DoContextPopup(TPoint p) { return ShowPopupMenu(popupMenu_, this, p.x, p.y); }

int WheelScrollLines() {
  win::UINT lines = 3;
  if (!win::SystemParametersInfo(win::SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) return 3;
  return lines == win::WHEEL_PAGESCROLL ? -1 : static_cast<int>(lines);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
  else if (actionLink_ && !ComponentState().Contains(csDesigning)) actionLink_->Execute();
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::ScaleBy(int m, int d) {
  if (m == d || d == 0) return;
  ChangeScale(m, d);
}

// Edges are scaled rather than sizes, so that neighbours stay neighbours;
// a window of its own (no parent) keeps its place on the screen.
void TControl::ChangeScale(int m, int d) {
  const int left = parent_ ? win::MulDiv(left_, m, d) : left_;
  const int top = parent_ ? win::MulDiv(top_, m, d) : top_;
  const int right = parent_ ? win::MulDiv(left_ + width_, m, d) : left_ + win::MulDiv(width_, m, d);
  const int bottom = parent_ ? win::MulDiv(top_ + height_, m, d) : top_ + win::MulDiv(height_, m, d);
  SetBounds(left, top, right - left, bottom - top);
  if (!parentFont_) font_->SetHeight(win::MulDiv(font_->Height(), m, d));
}

// ---- painting -------------------------------------------------------------------

void TControl::InvalidateParentRect(const TRect& r) {
  if (parent_ && parent_->HandleAllocated() && visible_)
    win::InvalidateRect(parent_->WindowHandle(), &r, !controlStyle_.Contains(csOpaque));
}

void TControl::Invalidate() { InvalidateParentRect(BoundsRect()); }

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::find(list.begin(), list.end(), this));
  list.push_back(this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    win::SetWindowPos(w->WindowHandle(), win::HWND_TOP, 0, 0, 0, 0,
                      win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::find(list.begin(), list.end(), this));
  list.insert(list.begin(), this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    win::SetWindowPos(w->WindowHandle(), win::HWND_BOTTOM, 0, 0, 0, 0,
                      win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
  Invalidate();
}

// ---- windowless controls --------------------------------------------------------

const ClassInfo& TGraphicControl::StaticClass() {
  static const ClassInfo info = ClassBuilder<TGraphicControl>("TGraphicControl", TControl::StaticClass()).Done();
  return info;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(new TCanvas) {}

TGraphicControl::~TGraphicControl() { delete canvas_; }

// WM_PAINT comes from the parent with its context already moved to this
// control's origin and clipped to its bounds.
void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg != win::WM_PAINT) return TControl::Dispatch(m);
  auto dc = reinterpret_cast<win::HDC>(m.WParam);
  if (!dc) return;
  TCanvasContextScope context(*canvas_, dc);
  canvas_->Font()->Assign(Font());
  Paint();
}

}  // namespace qelo::vcl
