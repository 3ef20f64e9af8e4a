#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>

#include "vcl/controls/controls.h"
#include "vcl/controls/dock_tree.h"
#include "vcl/controls/forms.h"
#include "win/controls/basic_common.h"

namespace qelo::vcl {

namespace {

constexpr const char* kControlClass = "TQeloControl";
// The framework's windows take double clicks and repaint wholly when their
// size changes, unless a control's CreateParams asks for another class
// style.
constexpr UINT kControlClassStyle = win::CS_DBLCLKS | win::CS_HREDRAW | win::CS_VREDRAW;

// Windows of controls, by handle. Windows belong to the GUI thread, and so
// does this table.
std::unordered_map<win::HWND, TWinControl*>& HandleTable() {
  static std::unordered_map<win::HWND, TWinControl*> table;
  return table;
}

// The control whose window is being made: its first messages arrive before
// CreateWindowEx returns the handle.
thread_local TWinControl* t_creating = nullptr;
// The hook that subclasses a native window being made for t_creating.
thread_local win::HHOOK t_creationHook = nullptr;

// The framework's window class of a class style, registered on first use:
// kControlClass for the usual style, the style's number after it for
// others.
std::string ControlWindowClass(UINT classStyle) {
  static std::map<UINT, std::string> registered;
  auto [it, added] = registered.emplace(classStyle, kControlClass);
  if (!added) return it->second;
  if (classStyle != kControlClassStyle) it->second += ":" + std::to_string(classStyle);
  win::WNDCLASS c;
  c.style = classStyle;
  c.lpfnWndProc = FrameworkWindowProc;
  c.hCursor = win::LoadCursor(nullptr, win::IDC_ARROW);
  c.lpszClassName = it->second;
  win::RegisterClass(c);
  return it->second;
}

bool IsControlWindowClass(const std::string& name) { return name.rfind(kControlClass, 0) == 0; }

bool IsMouseButtonMessage(UINT m) { return m >= win::WM_LBUTTONDOWN && m <= win::WM_MBUTTONDBLCLK; }
bool IsButtonDown(UINT m) {
  return m == win::WM_LBUTTONDOWN || m == win::WM_LBUTTONDBLCLK || m == win::WM_RBUTTONDOWN ||
         m == win::WM_RBUTTONDBLCLK || m == win::WM_MBUTTONDOWN || m == win::WM_MBUTTONDBLCLK;
}

constexpr LRESULT DLGC_WANTARROWS = 0x0001, DLGC_WANTTAB = 0x0002, DLGC_WANTALLKEYS = 0x0004,
                  DLGC_WANTCHARS = 0x0080;

bool IsDialogKey(uint16_t key) {
  switch (key) {
    case win::VK_TAB: case win::VK_RETURN: case win::VK_ESCAPE: case win::VK_LEFT:
    case win::VK_RIGHT: case win::VK_UP: case win::VK_DOWN: case win::VK_PRIOR: case win::VK_NEXT:
      return true;
    default: return false;
  }
}

}  // namespace

win::LRESULT FrameworkWindowProc(win::HWND window, win::UINT msg, win::WPARAM w, win::LPARAM l) {
  TWinControl* control = TWinControl::FromHandle(window);
  if (!control && t_creating) {
    control = t_creating;
    control->handle_ = window;
    HandleTable()[window] = control;
  }
  if (!control) return win::DefWindowProc(window, msg, w, l);
  TMessage m{msg, w, l, 0};
  try {
    control->WindowProc(m);
  } catch (...) {
    Application()->HandleException(control);
  }
  if (msg == win::WM_NCDESTROY) {
    HandleTable().erase(window);
    if (control->handle_ == window) control->handle_ = nullptr;
  }
  return m.Result;
}

TWinControl* TWinControl::FromHandle(win::HWND window) {
  auto& table = HandleTable();
  auto it = table.find(window);
  return it == table.end() ? nullptr : it->second;
}

const ClassInfo& TWinControl::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TWinControl>("TWinControl", TControl::StaticClass())
          .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
          .Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
          .Boolean("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered)
          .Boolean("ParentDoubleBuffered", &TWinControl::ParentDoubleBuffered, &TWinControl::SetParentDoubleBuffered)
          .Boolean("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D)
          .Boolean("DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite)
          .Boolean("UseDockManager", &TWinControl::UseDockManager, &TWinControl::SetUseDockManager)
          .Event("OnDockOver", &TWinControl::OnDockOver)
          .Event("OnDockDrop", &TWinControl::OnDockDrop)
          .Event("OnUnDock", &TWinControl::OnUnDock)
          .Event("OnEnter", &TWinControl::OnEnter)
          .Event("OnExit", &TWinControl::OnExit)
          .Event("OnKeyDown", &TWinControl::OnKeyDown)
          .Event("OnKeyUp", &TWinControl::OnKeyUp)
          .Event("OnKeyPress", &TWinControl::OnKeyPress)
          .Done();
  return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // The dock manager lets go of the site's messages while it is whole.
  dockManager_.reset();
  // Children go with their parent, whoever owns them.
  while (!controls_.empty()) {
    TControl* child = controls_.back();
    RemoveControl(child);
    child->Free();
  }
  // The window goes without reaching this half-destroyed control.
  if (handle_) {
    HandleTable().erase(handle_);
    win::HWND h = handle_;
    handle_ = nullptr;
    win::DestroyWindow(h);
  }
  // Leaves the parent while still a windowed control, so the parent and its
  // form forget it as one (focus, tab order).
  if (Parent()) Parent()->RemoveControl(this);
  if (Application()->MouseControl() == this) Application()->SetMouseControl(nullptr);
}

// ---- window ----------------------------------------------------------------------

win::HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (Parent()) Parent()->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  CreateWnd();
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreateHandle();
  // Windows of children are stacked in the order of the child list.
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->handle_)
      win::SetWindowPos(w->handle_, win::HWND_TOP, 0, 0, 0, 0,
                        win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = Text();
  p.Style = win::WS_CHILD | win::WS_CLIPCHILDREN | win::WS_CLIPSIBLINGS;
  if (Visible()) p.Style |= win::WS_VISIBLE;
  if (!Enabled()) p.Style |= win::WS_DISABLED;
  if (tabStop_) p.Style |= win::WS_TABSTOP;
  p.X = Left();
  p.Y = Top();
  p.Width = Width();
  p.Height = Height();
  p.WndParent = Parent() ? Parent()->WindowHandle() : nullptr;
  p.WinClassName = kControlClass;
  p.ClassStyle = kControlClassStyle;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.Style & win::WS_CHILD) && !p.WndParent)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  if (p.WinClassName == kControlClass) p.WinClassName = ControlWindowClass(p.ClassStyle);
  CreateWindowHandle(p);
  if (!handle_) throw EInvalidOperation("Error creating window of " + ClassName());
}

// A window of a native class is subclassed before its first message, so
// that the control sees its whole creation (WM_CREATE, the WM_PARENTNOTIFY
// of the children the native window makes); windows the native window
// makes meanwhile are left alone.
win::LRESULT TWinControl::SubclassOnCreation(int code, win::WPARAM w, win::LPARAM l) {
  TWinControl* control = t_creating;
  auto window = reinterpret_cast<win::HWND>(w);
  if (code != win::HCBT_CREATEWND || !control || control->handle_)
    return win::CallNextHookEx(t_creationHook, code, w, l);
  control->defWndProc_ = reinterpret_cast<win::WNDPROC>(win::GetWindowLongPtr(window, win::GWLP_WNDPROC));
  win::SetWindowLongPtr(window, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(&FrameworkWindowProc));
  control->handle_ = window;
  HandleTable()[window] = control;
  return 0;
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  const bool ownClass = IsControlWindowClass(p.WinClassName);
  // Messages of the window's creation already pass on to the default
  // procedure of our own class.
  if (ownClass) defWndProc_ = win::DefWindowProc;
  TWinControl* outer = t_creating;
  t_creating = this;
  win::HHOOK outerHook = t_creationHook;
  t_creationHook = ownClass ? nullptr : win::SetWindowsHookEx(win::WH_CBT, &SubclassOnCreation, nullptr, 0);
  win::HWND h = win::CreateWindowEx(p.ExStyle, p.WinClassName, p.Caption, p.Style, p.X, p.Y, p.Width,
                                    p.Height, p.WndParent, nullptr);
  if (t_creationHook) win::UnhookWindowsHookEx(t_creationHook);
  t_creationHook = outerHook;
  t_creating = outer;
  if (!h) {
    handle_ = nullptr;
    return;
  }
  handle_ = h;
  HandleTable()[h] = this;
}

void TWinControl::DestroyWnd() {
  win::HWND h = handle_;
  if (!h) return;
  win::DestroyWindow(h);  // WM_NCDESTROY forgets the handle
  HandleTable().erase(h);
  handle_ = nullptr;
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  const bool hadFocus = Focused();
  DestroyHandle();
  CreateHandle();
  if (hadFocus) win::SetFocus(handle_);
}

// ---- children ----------------------------------------------------------------

void TWinControl::InsertControl(TControl* control) {
  if (control->parent_ == this) return;
  controls_.push_back(control);
  control->parent_ = this;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    tabList_.push_back(w);
    if (handle_) w->CreateHandle();
  }
  if (!control->ComponentState().Contains(csReading)) {
    if (control->parentColor_) control->Perform(CM_PARENTCOLORCHANGED);
    if (control->parentFont_) control->Perform(CM_PARENTFONTCHANGED);
    if (control->parentShowHint_) control->Perform(CM_PARENTSHOWHINTCHANGED);
    control->Perform(CM_PARENTDOUBLEBUFFEREDCHANGED);
  }
  control->UpdateAnchorRules();
  control->Invalidate();
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 1);
  Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  control->Invalidate();
  controls_.erase(it);
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
    if (auto* form = ParentForm()) form->ControlRemoved(w);
    w->DestroyHandle();
  }
  if (control->hostDockSite_ == this) control->DetachFromHost();
  if (mouseCapture_ == control) mouseCapture_ = nullptr;
  if (mouseControl_ == control) mouseControl_ = nullptr;
  if (Application()->MouseControl() == control) Application()->SetMouseControl(nullptr);
  control->parent_ = nullptr;
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 0);
  if (!ComponentState().Contains(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    const bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
    if (windowed && !allowWinControls) continue;
    if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
    const TRect r = c->BoundsRect();
    if (p.x < r.left || p.y < r.top || p.x >= r.right || p.y >= r.bottom) continue;
    const TPoint local = Point(p.x - r.left, p.y - r.top);
    if (c->Perform(CM_HITTEST, 0, win::MAKELPARAM(local.x, local.y)) != 0) return c;
  }
  return nullptr;
}

void TWinControl::NotifyControls(UINT msg) {
  const std::vector<TControl*> children = controls_;
  for (TControl* c : children) c->Perform(msg);
}

void TWinControl::Broadcast(TMessage& message) {
  const std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    c->WindowProc(message);
    if (message.Result != 0) return;
  }
}

// ---- focus and tab order ---------------------------------------------------------

void TWinControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  if (handle_) {
    auto style = static_cast<win::DWORD>(win::GetWindowLongPtr(handle_, win::GWL_STYLE));
    style = value ? (style | win::WS_TABSTOP) : (style & ~win::WS_TABSTOP);
    win::SetWindowLongPtr(handle_, win::GWL_STYLE, style);
  }
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!Parent()) return;
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
}

std::vector<TWinControl*> TWinControl::TabList() const { return tabList_; }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return handle_ && win::GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = ParentForm()) {
    form->FocusControl(this);
  } else {
    win::SetFocus(Handle());
  }
}

namespace {

void CollectTabOrder(const TWinControl& parent, std::vector<TWinControl*>& out) {
  for (TWinControl* c : parent.TabList()) {
    out.push_back(c);
    CollectTabOrder(*c, out);
  }
}

}  // namespace

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> order;
  CollectTabOrder(*this, order);
  if (order.empty()) return nullptr;
  const int n = static_cast<int>(order.size());
  int start = static_cast<int>(std::find(order.begin(), order.end(), current) - order.begin());
  if (start == n) start = goForward ? n - 1 : 0;
  for (int step = 1; step <= n; ++step) {
    const int i = ((goForward ? start + step : start - step) % n + n) % n;
    TWinControl* c = order[static_cast<size_t>(i)];
    if (checkParent && c->Parent() != this) continue;
    if (!c->CanFocus() || (checkTabStop && !c->TabStop())) continue;
    // A control that holds tab stops of its own passes the focus inside.
    if (!c->tabList_.empty() && !c->TabStop()) continue;
    return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, false)) next->SetFocus();
}

// ---- layout --------------------------------------------------------------------------

TRect TWinControl::ClientRect() const {
  if (handle_) {
    win::RECT r;
    win::GetClientRect(handle_, &r);
    return r;
  }
  return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() const {
  if (handle_) {
    win::POINT p{0, 0};
    win::ClientToScreen(handle_, &p);
    return p;
  }
  if (!Parent()) return Point(Left(), Top());
  const TPoint o = Parent()->ClientOrigin();
  return Point(o.x + Left(), o.y + Top());
}

void TWinControl::AdjustClientRect(TRect& rect) const { rect = ClientRect(); }

void TWinControl::Realign() {
  if (alignDisabled_ > 0 || aligning_) return;
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  AlignChildren();
}

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::AlignChildren() {
  aligning_ = true;
  try {
    TRect r;
    AdjustClientRect(r);
    AlignControls(nullptr, r);
  } catch (...) {
    aligning_ = false;
    throw;
  }
  aligning_ = false;
}

void TWinControl::AlignControls(TControl*, TRect& rect) {
  const TRect client = ClientRect();
  auto edge = [](TControl* c, TAlign a) {
    switch (a) {
      case alBottom: return -(c->Top() + c->Height());
      case alLeft: return c->Left();
      case alRight: return -(c->Left() + c->Width());
      default: return c->Top();
    }
  };
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    for (TControl* c : controls_)
      if (c->Align() == a && c->Visible()) list.push_back(c);
    std::stable_sort(list.begin(), list.end(), [&](TControl* x, TControl* y) { return edge(x, a) < edge(y, a); });
    for (TControl* c : list) {
      const int w = RectWidth(rect), h = RectHeight(rect);
      switch (a) {
        case alTop:
          c->SetBounds(rect.left, rect.top, w, c->Height());
          rect.top += c->Height();
          break;
        case alBottom:
          c->SetBounds(rect.left, rect.bottom - c->Height(), w, c->Height());
          rect.bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(rect.left, rect.top, c->Width(), h);
          rect.left += c->Width();
          break;
        case alRight:
          c->SetBounds(rect.right - c->Width(), rect.top, c->Width(), h);
          rect.right -= c->Width();
          break;
        default: c->SetBounds(rect.left, rect.top, w, h); break;
      }
    }
  }
  for (TControl* c : controls_)
    if (c->Align() == alNone) ApplyAnchors(*c, client);
  if (dockManager_) dockManager_->ResetBounds();
}

// A child keeps its distance to the anchored edges as its parent's client
// area changes size; anchored on both sides it stretches, on neither it
// keeps its place in the middle.
void TWinControl::ApplyAnchors(TControl& child, const TRect& client) {
  if (!child.anchorRulesValid_) return;
  const TAnchors a = child.Anchors();
  if (a == TAnchors{akLeft, akTop}) return;
  const TRect& b = child.anchorBounds_;
  const int dw = RectWidth(client) - child.anchorOrigin_.x;
  const int dh = RectHeight(client) - child.anchorOrigin_.y;
  auto place = [](bool low, bool high, int start, int size, int delta, int& outStart, int& outSize) {
    outStart = start;
    outSize = size;
    if (low && high) outSize = size + delta;
    else if (high) outStart = start + delta;
    else if (!low) outStart = start + delta / 2;
  };
  int left, width, top, height;
  place(a.Contains(akLeft), a.Contains(akRight), b.left, RectWidth(b), dw, left, width);
  place(a.Contains(akTop), a.Contains(akBottom), b.top, RectHeight(b), dh, top, height);
  child.SetBounds(left, top, width, height);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(Constraints()->ConstrainWidth(width), 0);
  height = std::max(Constraints()->ConstrainHeight(height), 0);
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  const bool resized = width != Width() || height != Height();
  TControl::SetBounds(left, top, width, height);
  if (handle_) {
    win::SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(),
                      win::SWP_NOZORDER | win::SWP_NOACTIVATE);
  }
  if (resized) Realign();
}

void TWinControl::UpdateBoundsFromWindow() {
  win::RECT r;
  win::GetWindowRect(handle_, &r);
  if (win::HWND p = win::GetParent(handle_); p && (win::GetWindowLongPtr(handle_, win::GWL_STYLE) & win::WS_CHILD))
    win::MapWindowPoints(nullptr, p, reinterpret_cast<win::POINT*>(&r), 2);
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (r.left == Left() && r.top == Top() && w == Width() && h == Height()) return;
  TControl::SetBounds(r.left, r.top, w, h);
  Realign();
}

void TWinControl::SetDoubleBuffered(bool value) {
  if (value == doubleBuffered_) return;
  doubleBuffered_ = value;
  parentDoubleBuffered_ = false;
  Invalidate();
  NotifyControls(CM_PARENTDOUBLEBUFFEREDCHANGED);
}

void TWinControl::SetParentDoubleBuffered(bool value) {
  if (value == parentDoubleBuffered_) return;
  parentDoubleBuffered_ = value;
  if (value) Perform(CM_PARENTDOUBLEBUFFEREDCHANGED);
}

bool TWinControl::Showing() const {
  if (!handle_) return false;
  return win::IsWindowVisible(handle_) != 0;
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  if (handle_ && !parent) DestroyHandle();
  TControl::SetParent(parent);
}

void TWinControl::UpdateShowing() {
  if (!handle_) {
    if (Visible() && Parent() && Parent()->HandleAllocated()) CreateHandle();
    return;
  }
  win::ShowWindow(handle_, Visible() ? win::SW_SHOWNA : win::SW_HIDE);
}

win::COLORREF TWinControl::BrushColor() const { return ColorToRGB(Color()); }

void TWinControl::InvalidateForNewBounds(bool moved) {
  if (moved || !handle_) Invalidate();
}

void TWinControl::ChangeScale(int m, int d) {
  DisableAlign();
  try {
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children) c->ChangeScale(m, d);
    TControl::ChangeScale(m, d);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

// ---- painting ------------------------------------------------------------------------

void TWinControl::Invalidate() {
  if (handle_) win::InvalidateRect(handle_, nullptr, !ControlStyle().Contains(csOpaque));
}

void TWinControl::Update() {
  if (handle_) win::UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::PaintMessage(TMessage& m) {
  if (auto given = reinterpret_cast<win::HDC>(m.WParam)) {
    PaintHandler(given);
    return;
  }
  win::PAINTSTRUCT ps;
  win::HDC dc = win::BeginPaint(handle_, &ps);
  try {
    if (doubleBuffered_) {
      const TRect client = ClientRect();
      win::HDC mem = win::CreateCompatibleDC(dc);
      win::HBITMAP bmp = win::CreateCompatibleBitmap(dc, RectWidth(client), RectHeight(client));
      win::HGDIOBJ old = win::SelectObject(mem, bmp);
      Perform(win::WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 1);
      PaintHandler(mem);
      win::BitBlt(dc, 0, 0, RectWidth(client), RectHeight(client), mem, 0, 0, win::SRCCOPY);
      win::SelectObject(mem, old);
      win::DeleteObject(bmp);
      win::DeleteDC(mem);
    } else {
      PaintHandler(dc);
    }
  } catch (...) {
    win::EndPaint(handle_, &ps);
    throw;
  }
  win::EndPaint(handle_, &ps);
}

namespace {

// The control's palette in the context while it paints.
class PaletteScope {
 public:
  PaletteScope(win::HDC dc, win::HPALETTE palette) : dc_(dc) {
    if (!palette) return;
    old_ = win::SelectPalette(dc, palette, 0);
    win::RealizePalette(dc);
    selected_ = true;
  }
  ~PaletteScope() {
    if (selected_) win::SelectPalette(dc_, old_, 0);
  }
  PaletteScope(const PaletteScope&) = delete;
  PaletteScope& operator=(const PaletteScope&) = delete;

 private:
  win::HDC dc_;
  win::HPALETTE old_ = nullptr;
  bool selected_ = false;
};

}  // namespace

void TWinControl::PaintHandler(win::HDC dc) {
  {
    PaletteScope palette(dc, GetPalette());
    PaintWindow(dc);
  }
  PaintControls(dc, nullptr);
  if (dockManager_) dockManager_->PaintSite(dc);
}

// While the control is printed (csPaintCopy) the window's own procedure is
// asked to draw into the context (WM_PRINTCLIENT) rather than to paint,
// which would validate the window.
void TWinControl::PaintWindow(win::HDC dc) {
  const bool printing = ControlState().Contains(csPaintCopy);
  TMessage m{printing ? win::WM_PRINTCLIENT : win::WM_PAINT, reinterpret_cast<WPARAM>(dc),
             printing ? win::PRF_CLIENT : 0, 0};
  DefaultHandler(m);
}

// WM_PRINTCLIENT: the background (PRF_ERASEBKGND) and the client area
// (PRF_CLIENT), with the windowless children, drawn into the given context
// as a paint would draw them; nothing is validated.
void TWinControl::PrintClientMessage(TMessage& m) {
  auto dc = reinterpret_cast<win::HDC>(m.WParam);
  if (dc == nullptr) return;
  if (m.LParam & win::PRF_ERASEBKGND) Perform(win::WM_ERASEBKGND, m.WParam, 1);
  if (!(m.LParam & win::PRF_CLIENT)) return;
  const TControlState saved = ControlState();
  SetControlState(TControlState(saved).Include(csPaintCopy));
  try {
    PaintHandler(dc);
  } catch (...) {
    SetControlState(saved);
    throw;
  }
  SetControlState(saved);
}

// Windowless children paint on the parent's context, moved to their origin
// and clipped to their bounds, bottom first.
void TWinControl::PaintControls(win::HDC dc, TControl* first) {
  auto it = first ? std::find(controls_.begin(), controls_.end(), first) : controls_.begin();
  for (; it != controls_.end(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    const TRect r = c->BoundsRect();
    const int saved = win::SaveDC(dc);
    win::POINT origin;
    win::GetViewportOrgEx(dc, &origin);
    win::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    win::SetViewportOrgEx(dc, origin.x + r.left, origin.y + r.top, nullptr);
    try {
      PaletteScope palette(dc, c->GetPalette());
      c->Perform(win::WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    } catch (...) {
      win::RestoreDC(dc, saved);
      throw;
    }
    win::RestoreDC(dc, saved);
  }
}

// WM_ERASEBKGND: the control's colour; with double buffering only the
// buffer is erased (lParam 1), never the window itself.
void TWinControl::EraseMessage(TMessage& m) {
  if (doubleBuffered_ && m.LParam != 1) {
    m.Result = 1;
    return;
  }
  auto dc = reinterpret_cast<win::HDC>(m.WParam);
  win::HBRUSH brush = win::CreateSolidBrush(BrushColor());
  const TRect r = ClientRect();
  win::FillRect(dc, &r, brush);
  win::DeleteObject(brush);
  m.Result = 1;
}

// ---- messages ------------------------------------------------------------------------

void TWinControl::WndProc(TMessage& m) {
  using namespace win;
  if (HandleDragMessage(*this, m)) return;
  if (m.Msg == WM_CONTEXTMENU) contextMenuSent_ = true;
  switch (m.Msg) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
    case WM_KEYUP: case WM_SYSKEYUP:
      return HandleKeyMessage(m);
    case WM_CHAR: case WM_SYSCHAR:
      return HandleCharMessage(m);
    case WM_MOUSEMOVE:
      TrackMouse(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
      if (mouseCapture_ || ControlAtPos(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam))))
        return HandleMouseForChild(m);
      break;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      // Onto a native part of this control (a combo box's edit field): the
      // mouse is still over the control.
      if (Application()->MouseControl() == this && PointerOverOwnPart()) return;
      if (TControl* mc = Application()->MouseControl(); mc && (mc == this || (mc->Parent() == this && !dynamic_cast<TWinControl*>(mc))))
        Application()->SetMouseControl(nullptr);
      mouseControl_ = nullptr;
      return;
    default:
      if (IsMouseButtonMessage(m.Msg)) {
        const TPoint p = Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        if (mouseCapture_ || ControlAtPos(p)) return HandleMouseForChild(m);
        // The framework holds the mouse for controls that ask it to; a
        // native window takes its own capture, which is left alone.
        if (IsButtonDown(m.Msg) && ControlStyle().Contains(csCaptureMouse)) {
          SetCapture(handle_);
          holdsCapture_ = true;
        }
        if (m.Msg == WM_RBUTTONUP) contextMenuSent_ = false;
        TControl::WndProc(m);
        if ((m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP) && holdsCapture_ &&
            !(m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
          holdsCapture_ = false;
          if (GetCapture() == handle_) ReleaseCapture();
        }
        // Native list windows send their own menu message on the release.
        if (m.Msg == WM_RBUTTONUP && !contextMenuSent_) {
          POINT s{p.x, p.y};
          win::ClientToScreen(handle_, &s);
          Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle_), MAKELPARAM(s.x, s.y));
        }
        return;
      }
      break;
  }
  TControl::WndProc(m);
}

// Mouse messages over a windowless child (or while one holds the capture)
// go to that child, in its own coordinates.
void TWinControl::HandleMouseForChild(TMessage& m) {
  using namespace win;
  const TPoint p = Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
  TControl* target = mouseCapture_ ? mouseCapture_ : ControlAtPos(p);
  if (!target) return TControl::WndProc(m);
  if (IsButtonDown(m.Msg) && target->ControlStyle().Contains(csCaptureMouse)) {
    mouseCapture_ = target;
    SetCapture(handle_);
  }
  TMessage local{m.Msg, m.WParam, MAKELPARAM(p.x - target->Left(), p.y - target->Top()), 0};
  target->WindowProc(local);
  m.Result = local.Result;
  if (m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP) {
    if (!(m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
      mouseCapture_ = nullptr;
      if (GetCapture() == handle_) ReleaseCapture();
    }
    if (m.Msg == WM_RBUTTONUP && ContainsControl(target)) {
      POINT s{p.x, p.y};
      win::ClientToScreen(handle_, &s);
      target->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle_), MAKELPARAM(s.x, s.y));
    }
  }
}

// Whether the pointer is over a child window of this one that has no
// control of its own.
bool TWinControl::PointerOverOwnPart() const {
  win::POINT p;
  if (!handle_ || !win::GetCursorPos(&p)) return false;
  const win::HWND under = win::WindowFromPoint(p);
  return under && under != handle_ && win::IsChild(handle_, under) && !FromHandle(under);
}

// Works out which control the mouse is over (this window or one of its
// windowless children) and tells the application, which sends
// CM_MOUSELEAVE and CM_MOUSEENTER as the control changes.
void TWinControl::TrackMouse(TPoint clientPoint) {
  TControl* under = ControlAtPos(clientPoint);
  if (!under) under = this;
  mouseControl_ = under == this ? nullptr : under;
  Application()->SetMouseControl(under);
  if (!trackingLeave_ && handle_) {
    win::TRACKMOUSEEVENT t;
    t.dwFlags = win::TME_LEAVE;
    t.hwndTrack = handle_;
    trackingLeave_ = win::TrackMouseEvent(&t) != 0;
  }
}

// Keys pass the form (KeyPreview), then the dialog keys go to the form
// unless the focused control wants them, then the control's own handlers
// (which see the menu key and Shift+F10 before they ask for the menu).
namespace {
thread_local bool keyTaken = false;
}  // namespace

void ForgetKeyTaken() { keyTaken = false; }
bool KeyWasTaken() { return keyTaken; }

void TWinControl::HandleKeyMessage(TMessage& m) {
  if (TakeKeyMessage(m)) keyTaken = true;
}

bool TWinControl::TakeKeyMessage(TMessage& m) {
  using namespace win;
  auto key = static_cast<uint16_t>(m.WParam);
  const TShiftState shift = KeyboardShiftState();
  const bool down = m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN;
  TCustomForm* form = ParentForm();
  if (form && form != this && form->KeyPreview()) {
    if (down) form->KeyDown(key, shift);
    else form->KeyUp(key, shift);
    if (key == 0) return true;
  }
  if (down && form && form->IsShortCut(key, shift)) return true;
  if (down && IsDialogKey(key)) {
    const LRESULT code = Perform(WM_GETDLGCODE);
    bool wanted = Perform(CM_WANTSPECIALKEY, key) != 0 || (code & DLGC_WANTALLKEYS) != 0;
    if (key == VK_TAB && (code & DLGC_WANTTAB)) wanted = true;
    if ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) && (code & DLGC_WANTARROWS))
      wanted = true;
    TWinControl* dialog = form ? static_cast<TWinControl*>(form) : this;
    if (!wanted && dialog->Perform(CM_DIALOGKEY, key, static_cast<LPARAM>(shift.Mask())) != 0) return true;
  }
  if (down) KeyDown(key, shift);
  else KeyUp(key, shift);
  if (key == 0) return true;
  // The menu key and Shift+F10 that KeyDown left ask for the context menu.
  if (down && (key == VK_APPS || (key == VK_F10 && shift.Contains(ssShift)))) {
    Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle_), -1);
    return true;
  }
  m.WParam = key;
  DefaultHandler(m);
  return false;
}

bool TWinControl::DoKeyPress(char16_t& key) {
  TCustomForm* form = ParentForm();
  if (form && form != this && form->KeyPreview()) {
    form->KeyPress(key);
    if (key == 0) return true;
  }
  KeyPress(key);
  return key == 0;
}

void TWinControl::HandleCharMessage(TMessage& m) {
  auto ch = static_cast<char16_t>(m.WParam);
  TCustomForm* form = ParentForm();
  if (m.Msg == win::WM_CHAR && DoKeyPress(ch)) return;
  const bool wantsChars = (Perform(win::WM_GETDLGCODE) & DLGC_WANTCHARS) != 0;
  if (m.Msg == win::WM_SYSCHAR || !wantsChars) {
    TWinControl* dialog = form ? static_cast<TWinControl*>(form) : this;
    if (dialog->Perform(CM_DIALOGCHAR, ch, static_cast<LPARAM>(KeyboardShiftState().Mask())) != 0) return;
  }
  m.WParam = ch;
  DefaultHandler(m);
}

TControlActionLinkClass TWinControl::GetActionLinkClass() const {
  return [](TControl& client) -> TControlActionLink* {
    return new TWinControlActionLink(static_cast<TWinControl&>(client));
  };
}

void TWinControl::KeyDown(uint16_t& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(uint16_t& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(char16_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}
void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::SetCursorMessage(TMessage& m) {
  using namespace win;
  if (LOWORD(static_cast<uintptr_t>(m.LParam)) == HTCLIENT) {
    TCursor c = Screen()->Cursor();
    if (c == crDefault) {
      POINT p;
      GetCursorPos(&p);
      win::ScreenToClient(handle_, &p);
      TControl* under = ControlAtPos(Point(p.x, p.y));
      c = under ? under->Cursor() : Cursor();
    }
    if (c != crDefault) {
      win::SetCursor(Screen()->Cursors(c));
      m.Result = 1;
      return;
    }
  }
  DefaultHandler(m);
}

// A native window paints itself unless windowless children need painting
// over it.
bool TWinControl::PaintsNatively() const {
  return defWndProc_ && defWndProc_ != win::DefWindowProc && controls_.empty();
}

// WM_COMMAND and WM_NOTIFY of a native child go back to its control.
void TWinControl::ReflectToChild(TMessage& m, win::HWND child) {
  TWinControl* control = FromHandle(child);
  if (control && control != this) {
    m.Result = control->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

// WM_MEASUREITEM names no window: native classes measure their items while
// their window is being made, so it goes to the child being made.
void TWinControl::ReflectMeasureItem(TMessage& m) {
  if (t_creating && t_creating != this && t_creating->Parent() == this) {
    m.Result = t_creating->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::Dispatch(TMessage& m) {
  using namespace win;
  switch (m.Msg) {
    case WM_PAINT: return PaintsNatively() ? DefaultHandler(m) : PaintMessage(m);
    case WM_ERASEBKGND: return PaintsNatively() ? DefaultHandler(m) : EraseMessage(m);
    case WM_PRINTCLIENT: return PaintsNatively() ? DefaultHandler(m) : PrintClientMessage(m);
    case WM_COMMAND: return ReflectToChild(m, reinterpret_cast<HWND>(m.LParam));
    case WM_NOTIFY: return ReflectToChild(m, m.LParam ? reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom : nullptr);
    case WM_DRAWITEM: return ReflectToChild(m, m.LParam ? reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem : nullptr);
    case WM_DELETEITEM: return ReflectToChild(m, m.LParam ? reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem : nullptr);
    case WM_MEASUREITEM: return ReflectMeasureItem(m);
    case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN: case WM_CTLCOLORSTATIC:
      return ReflectToChild(m, reinterpret_cast<HWND>(m.LParam));
    case WM_SETCURSOR: return SetCursorMessage(m);
    case WM_MOUSEACTIVATE: return MouseActivateMessage(m);
    case WM_GETMINMAXINFO: return MinMaxInfoMessage(m);
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(m);
      if (handle_) UpdateBoundsFromWindow();
      return;
    case WM_SETFOCUS:
      if (TCustomForm* form = ParentForm(); form && form != this) form->SetFocusedControl(this);
      DefaultHandler(m);
      return;
    case WM_CONTEXTMENU:
      if (m.LParam != -1) {
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        win::ScreenToClient(handle_, &p);
        if (TControl* child = ControlAtPos(Point(p.x, p.y), false, false); child && !dynamic_cast<TWinControl*>(child)) {
          if (child->Perform(WM_CONTEXTMENU, m.WParam, m.LParam) != 0) {
            m.Result = 1;
            return;
          }
        }
      }
      return TControl::Dispatch(m);
    case CM_COLORCHANGED:
      Invalidate();
      NotifyControls(CM_PARENTCOLORCHANGED);
      return;
    case CM_FONTCHANGED:
      Invalidate();
      NotifyControls(CM_PARENTFONTCHANGED);
      return;
    case CM_PARENTSHOWHINTCHANGED:
      TControl::Dispatch(m);
      NotifyControls(CM_PARENTSHOWHINTCHANGED);
      return;
    case WM_SYSCOLORCHANGE:
      Perform(CM_SYSCOLORCHANGE);
      DefaultHandler(m);
      return;
    case CM_PARENTDOUBLEBUFFEREDCHANGED:
      if (parentDoubleBuffered_ && Parent()) {
        SetDoubleBuffered(Parent()->DoubleBuffered());
        parentDoubleBuffered_ = true;
      }
      return;
    case CM_SYSCOLORCHANGE:
      Invalidate();
      NotifyControls(CM_SYSCOLORCHANGE);
      return;
    case CM_ENABLEDCHANGED:
      if (handle_) EnableWindow(handle_, Enabled());
      Invalidate();
      return;
    case CM_VISIBLECHANGED: return UpdateShowing();
    case CM_TEXTCHANGED:
      if (handle_) SetWindowText(handle_, Text());
      Invalidate();
      return;
    case CM_FOCUSCHANGED:
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      return Broadcast(m);
    case CM_ENTER: return DoEnter();
    case CM_EXIT: return DoExit();
    case CM_CANCELMODE: {
      TControlState state = ControlState();
      SetControlState(state.Exclude(csClicked));
      mouseCapture_ = nullptr;
      holdsCapture_ = false;
      if (handle_) Perform(WM_CANCELMODE);
      return;
    }
    default: return TControl::Dispatch(m);
  }
}

// The windowless child under the mouse answers first, then the control;
// neither answering leaves the window's default (activate).
void TWinControl::MouseActivateMessage(TMessage& m) {
  const int hitTest = static_cast<short>(win::LOWORD(static_cast<uintptr_t>(m.LParam)));
  const UINT mouseMessage = win::HIWORD(static_cast<uintptr_t>(m.LParam));
  const TMouseButton button = mouseMessage == win::WM_RBUTTONDOWN ? mbRight
                              : mouseMessage == win::WM_MBUTTONDOWN ? mbMiddle
                                                                     : mbLeft;
  win::POINT cursor;
  win::GetCursorPos(&cursor);
  const TPoint p = ScreenToClient(Point(cursor.x, cursor.y));
  const TShiftState shift = KeyboardShiftState();
  TMouseActivate answer = maDefault;
  if (TControl* child = ControlAtPos(p); child && !dynamic_cast<TWinControl*>(child))
    answer = child->MouseActivate(button, shift, p.x - child->Left(), p.y - child->Top(), hitTest);
  if (answer == maDefault) answer = MouseActivate(button, shift, p.x, p.y, hitTest);
  if (answer == maDefault) return DefaultHandler(m);
  m.Result = static_cast<LRESULT>(answer);  // the values of MA_ACTIVATE to MA_NOACTIVATEANDEAT
}

// The limits of Constraints bound a size the user drags too.
void TWinControl::MinMaxInfoMessage(TMessage& m) {
  DefaultHandler(m);
  auto* info = reinterpret_cast<win::MINMAXINFO*>(m.LParam);
  if (!info) return;
  const TSizeConstraints& c = *Constraints();
  if (c.MinWidth() > 0) info->ptMinTrackSize.x = c.MinWidth();
  if (c.MinHeight() > 0) info->ptMinTrackSize.y = c.MinHeight();
  if (c.MaxWidth() > 0) info->ptMaxTrackSize.x = c.MaxWidth();
  if (c.MaxHeight() > 0) info->ptMaxTrackSize.y = c.MaxHeight();
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (handle_ && defWndProc_ && m.Msg < CM_BASE) {
    m.Result = win::CallWindowProc(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
    return;
  }
  TControl::DefaultHandler(m);
}

// ---- custom controls -------------------------------------------------------------

const ClassInfo& TCustomControl::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCustomControl>("TCustomControl", TWinControl::StaticClass()).Done();
  return info;
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(new TCanvas) {}

TCustomControl::~TCustomControl() { delete canvas_; }

void TCustomControl::PaintWindow(win::HDC dc) {
  TCanvasContextScope context(*canvas_, dc);
  canvas_->Font()->Assign(Font());
  canvas_->Brush()->SetColor(Color());
  Paint();
}

}  // namespace qelo::vcl
