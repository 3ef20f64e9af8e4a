#include "vcl/controls/forms.h"

#include <algorithm>

namespace qelo::vcl {

const EnumInfo kBorderStyleInfo{"TBorderStyle", {"bsNone", "bsSingle"}};
const EnumInfo kFormBorderStyleInfo{"TFormBorderStyle",
                                    {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
const EnumInfo kBorderIconInfo{"TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}};
const EnumInfo kPositionInfo{"TPosition",
                             {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                              "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}};
const EnumInfo kWindowStateInfo{"TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}};

std::optional<int64_t> ModalResultIdent(std::string_view name) {
  static const char* const kNames[] = {"mrNone", "mrOk", "mrCancel", "mrAbort", "mrRetry", "mrIgnore",
                                       "mrYes", "mrNo", "mrAll", "mrNoToAll", "mrYesToAll"};
  for (int i = 0; i < static_cast<int>(std::size(kNames)); ++i)
    if (SameText(kNames[i], name)) return i;
  return std::nullopt;
}

const ClassInfo& TCustomForm::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCustomForm>("TCustomForm", TWinControl::StaticClass())
          .Enum("BorderStyle", kFormBorderStyleInfo, &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle)
          .Set("BorderIcons", kBorderIconInfo, &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
          .Enum("Position", kPositionInfo, &TCustomForm::Position, &TCustomForm::SetPosition)
          .Enum("WindowState", kWindowStateInfo, &TCustomForm::WindowState, &TCustomForm::SetWindowState)
          .Boolean("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview)
          .Component<TWinControl>("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)
          .Component<TMainMenu>("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu)
          .Event("OnCreate", &TCustomForm::OnCreate)
          .Event("OnShow", &TCustomForm::OnShow)
          .Event("OnHide", &TCustomForm::OnHide)
          .Event("OnActivate", &TCustomForm::OnActivate)
          .Event("OnDeactivate", &TCustomForm::OnDeactivate)
          .Event("OnDestroy", &TCustomForm::OnDestroy)
          .Event("OnPaint", &TCustomForm::OnPaint)
          .Event("OnCloseQuery", &TCustomForm::OnCloseQuery)
          .Event("OnClose", &TCustomForm::OnClose)
          // Older form files carry these; nothing of them is used here.
          .Skip("PixelsPerInch")
          .Skip("TextHeight")
          .Skip("OldCreateOrder")
          .Done();
  return info;
}

const ClassInfo& TForm::StaticClass() {
  static const ClassInfo info = ClassBuilder<TForm>("TForm", TCustomForm::StaticClass()).Done();
  return info;
}

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner), canvas_(new TCanvas) {
  SetVisible(false);
  SetBounds(0, 0, 320, 240);
  SetColor(clBtnFace);
  Screen()->AddForm(this);
}

TCustomForm::~TCustomForm() {
  Application()->releasing_.erase(this);
  Screen()->RemoveForm(this);
  delete canvas_;
}

void TCustomForm::Destroying() {
  if (OnDestroy && !ComponentState().Contains(csDestroying)) {
    try {
      OnDestroy(this);
    } catch (...) {
      Application()->HandleException(this);
    }
  }
  TWinControl::Destroying();
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  Realign();
  DoCreate();
}

void TCustomForm::DoCreate() {
  if (created_) return;
  created_ = true;
  if (OnCreate) OnCreate(this);
}

// ---- properties -----------------------------------------------------------------

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == borderIcons_) return;
  borderIcons_ = icons;
  RecreateWnd();
}

TRect TCustomForm::NormalBoundsRect() const {
  const bool restored = windowState_ != wsMaximized || win::IsRectEmpty(&normalBounds_);
  return restored ? BoundsRect() : normalBounds_;
}

void TCustomForm::SetWindowState(TWindowState state) {
  if (state == windowState_) return;
  const TWindowState old = windowState_;
  windowState_ = state;
  if (Showing()) ApplyWindowState(old);
}

// The window layer knows minimised windows only: a maximised form covers
// the work area itself and gets its normal bounds back when restored.
void TCustomForm::ApplyWindowState(TWindowState old) {
  if (old == wsMinimized) win::ShowWindow(WindowHandle(), win::SW_RESTORE);
  if (old == wsMaximized) SetBoundsRect(normalBounds_);
  if (windowState_ == wsMaximized) {
    normalBounds_ = BoundsRect();
    SetBoundsRect(Screen()->WorkAreaRect());
  } else if (windowState_ == wsMinimized) {
    win::ShowWindow(WindowHandle(), win::SW_MINIMIZE);
  }
}

void TCustomForm::SetModalResult(TModalResult result) {
  modalResult_ = result;
  // Wakes the modal loop when the result was set outside a message.
  if (result != mrNone && formState_.Contains(fsModal)) Application()->Post([] {});
}


void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu == menu_) return;
  if (menu_) menu_->RemoveFreeNotification(this);
  menu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == menu_) menu_ = nullptr;
  if (component == activeControl_) activeControl_ = nullptr;
  if (component == focusedControl_) focusedControl_ = nullptr;
}

bool TCustomForm::IsShortCut(uint16_t key, TShiftState shift) {
  if (!menu_) return false;
  TShortCut modifiers = scNone;
  if (shift.Contains(ssShift)) modifiers |= scShift;
  if (shift.Contains(ssCtrl)) modifiers |= scCtrl;
  if (shift.Contains(ssAlt)) modifiers |= scAlt;
  return menu_->IsShortCut(ShortCut(key, modifiers));
}

// ---- client size before the window exists ------------------------------------------
//
// Form files give the client size; the frame around it depends on the border
// style, so the size waits until the window tells its frame.

int TCustomForm::FrameWidth() const {
  if (!HandleAllocated()) return 0;
  win::RECT r;
  win::GetClientRect(WindowHandle(), &r);
  return Width() - r.right;
}

int TCustomForm::FrameHeight() const {
  if (!HandleAllocated()) return 0;
  win::RECT r;
  win::GetClientRect(WindowHandle(), &r);
  return Height() - r.bottom;
}

TRect TCustomForm::ClientRect() const {
  if (HandleAllocated()) return TWinControl::ClientRect();
  return Rect(0, 0, pendingClientWidth_ >= 0 ? pendingClientWidth_ : Width(),
              pendingClientHeight_ >= 0 ? pendingClientHeight_ : Height());
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
  if (!HandleAllocated()) {
    if (width != Width()) pendingClientWidth_ = -1;
    if (height != Height()) pendingClientHeight_ = -1;
  }
  TWinControl::SetBounds(left, top, width, height);
}

void TCustomForm::SetClientWidth(int v) {
  if (!HandleAllocated()) {
    pendingClientWidth_ = v;
    Realign();
    return;
  }
  SetWidth(v + FrameWidth());
}

void TCustomForm::SetClientHeight(int v) {
  if (!HandleAllocated()) {
    pendingClientHeight_ = v;
    Realign();
    return;
  }
  SetHeight(v + FrameHeight());
}

// ---- window ------------------------------------------------------------------------

void TCustomForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style = win::WS_CLIPCHILDREN | win::WS_CLIPSIBLINGS;
  p.ExStyle = 0;
  p.WndParent = nullptr;
  switch (borderStyle_) {
    case bsNone: p.Style |= win::WS_POPUP; break;
    case bsSingle: case bsToolWindow: p.Style |= win::WS_CAPTION | win::WS_BORDER; break;
    case bsSizeable: case bsSizeToolWin: p.Style |= win::WS_CAPTION | win::WS_THICKFRAME; break;
    case bsDialog:
      p.Style |= win::WS_CAPTION | win::WS_POPUP;
      p.ExStyle |= win::WS_EX_DLGMODALFRAME;
      break;
  }
  if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) p.ExStyle |= win::WS_EX_TOOLWINDOW;
  if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu)) p.Style |= win::WS_SYSMENU;
  if (!Enabled()) p.Style |= win::WS_DISABLED;
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  const int cw = pendingClientWidth_, ch = pendingClientHeight_;
  pendingClientWidth_ = pendingClientHeight_ = -1;
  if (cw >= 0 || ch >= 0)
    SetBounds(Left(), Top(), cw >= 0 ? cw + FrameWidth() : Width(), ch >= 0 ? ch + FrameHeight() : Height());
  Realign();
  // A shown form whose window is made again (a new border style) stays shown.
  if (formState_.Contains(fsVisible)) win::ShowWindow(WindowHandle(), win::SW_SHOWNA);
}

bool TCustomForm::Showing() const { return HandleAllocated() && win::IsWindowVisible(WindowHandle()); }

// ---- showing and hiding --------------------------------------------------------------

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated()) win::SetForegroundWindow(WindowHandle());
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::VisibleChanged() {
  if (Visible()) {
    HandleNeeded();
    PlaceOnFirstShow();
    DoShow();
    if (!Visible()) return;  // OnShow hid it again
    win::ShowWindow(WindowHandle(), win::SW_SHOW);
    if (windowState_ != wsNormal) ApplyWindowState(wsNormal);
    win::SetActiveWindow(WindowHandle());
    formState_.Include(fsVisible);
    FocusFirst();
  } else {
    formState_.Exclude(fsVisible);
    DoHide();
    if (HandleAllocated()) win::ShowWindow(WindowHandle(), win::SW_HIDE);
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

namespace {

TRect CentredIn(const TRect& area, int width, int height) {
  const int left = area.left + (RectWidth(area) - width) / 2;
  const int top = area.top + (RectHeight(area) - height) / 2;
  return Rect(left, top, left + width, top + height);
}

}  // namespace

void TCustomForm::PlaceOnFirstShow() {
  if (placed_) return;
  placed_ = true;
  TRect area;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter: area = Screen()->WorkAreaRect(); break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* centre = position_ == poMainFormCenter ? Application()->MainForm() : dynamic_cast<TCustomForm*>(Owner());
      area = centre && centre != this ? centre->BoundsRect() : Screen()->WorkAreaRect();
      break;
    }
    default: return;
  }
  const TRect r = CentredIn(area, Width(), Height());
  SetBounds(r.left, r.top, Width(), Height());
}

// The focus goes to the active control, else to the first control in tab
// order that can take it, else to the form itself.
void TCustomForm::FocusFirst() {
  TWinControl* target = activeControl_ && activeControl_->CanFocus() ? activeControl_ : nullptr;
  if (!target) target = FindNextControl(nullptr, true, true, false);
  win::SetFocus(target ? target->Handle() : WindowHandle());
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  if (control && !ContainsControl(control))
    throw EInvalidOperation("Invalid active control: " + control->Name() + " is not on " + Name());
  if (control && Showing() && !ComponentState().Contains(csLoading)) {
    FocusControl(control);
    return;
  }
  activeControl_ = control;
}

void TCustomForm::FocusControl(TWinControl* control) {
  if (!control || !ContainsControl(control)) return;
  if (!Showing()) {
    activeControl_ = control;
    return;
  }
  if (!control->CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  win::SetFocus(control->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
  if (control == focusedControl_) return;
  TWinControl* old = focusedControl_;
  focusedControl_ = control;
  activeControl_ = control;
  // Controls that hold the old one but not the new one are left...
  for (TWinControl* c = old; c && c != this && !c->ContainsControl(control); c = c->Parent())
    c->Perform(CM_EXIT);
  // ...and those that hold the new one but not the old one are entered,
  // outermost first.
  std::vector<TWinControl*> entered;
  for (TWinControl* c = control; c && c != this && !(old && c->ContainsControl(old)); c = c->Parent())
    entered.push_back(c);
  for (auto it = entered.rbegin(); it != entered.rend(); ++it) (*it)->Perform(CM_ENTER);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
}

void TCustomForm::ControlRemoved(TWinControl* control) {
  if (activeControl_ && control->ContainsControl(activeControl_)) activeControl_ = nullptr;
  if (focusedControl_ && control->ContainsControl(focusedControl_)) focusedControl_ = nullptr;
}

void TCustomForm::DefocusControl(TWinControl* control) {
  if (!activeControl_ || !control->ContainsControl(activeControl_)) return;
  activeControl_ = nullptr;
  if (!focusedControl_ || !control->ContainsControl(focusedControl_) || !Showing()) return;
  win::SetFocus(WindowHandle());
  SetFocusedControl(this);
  activeControl_ = nullptr;  // the form itself is no active control
}

void TCustomForm::SendCancelMode(TControl* sender) {
  TWinControl* focused = focusedControl_ ? focusedControl_ : activeControl_;
  if (focused && focused != this) focused->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
  win::HWND captured = win::GetCapture();
  if (captured && HandleAllocated() && (!focused || captured != focused->WindowHandle()) &&
      (captured == WindowHandle() || win::IsChild(WindowHandle(), captured)))
    win::SendMessage(captured, win::WM_CANCELMODE, 0, 0);
}

// ---- closing ------------------------------------------------------------------------

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
  if (formState_.Contains(fsModal)) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application()->MainForm() == this) {
    Application()->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() {
  TApplication& app = *Application();
  if (!app.releasing_.insert(this).second) return;
  app.Post([&app, form = this] {
    if (app.releasing_.erase(form)) form->Free();
  });
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone) modalResult_ = mrNone;
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || formState_.Contains(fsModal))
    throw EInvalidOperation("Cannot make a visible window modal");
  win::ReleaseCapture();
  // Every other window of the program waits until the modal run ends.
  std::vector<win::HWND> disabled;
  for (int i = 0; i < Screen()->FormCount(); ++i) {
    TCustomForm* f = Screen()->Forms(i);
    if (f != this && f->HandleAllocated() && win::IsWindowEnabled(f->WindowHandle())) {
      win::EnableWindow(f->WindowHandle(), 0);
      disabled.push_back(f->WindowHandle());
    }
  }
  win::HWND activeBefore = win::GetActiveWindow();
  auto restore = [&] {
    for (win::HWND h : disabled) win::EnableWindow(h, 1);
    --Application()->modalLevel_;
    formState_.Exclude(fsModal);
    if (activeBefore && win::IsWindow(activeBefore)) win::SetActiveWindow(activeBefore);
  };
  formState_.Include(fsModal);
  ++Application()->modalLevel_;
  modalResult_ = mrNone;
  try {
    Show();
    if (Application()->OnModalBegin) Application()->OnModalBegin(*this);
    while (modalResult_ == mrNone) {
      Application()->HandleMessage();
      if (Application()->Terminated()) modalResult_ = mrCancel;
      if (modalResult_ != mrNone) CloseModal();
    }
    Hide();
  } catch (...) {
    Hide();
    restore();
    throw;
  }
  restore();
  return modalResult_;
}

// ---- messages -----------------------------------------------------------------------

void TCustomForm::DialogKey(TMessage& m) {
  if (m.WParam == win::VK_TAB && !(KeyboardShiftState().Contains(ssCtrl))) {
    SelectNext(activeControl_, !TShiftState::FromMask(static_cast<uint32_t>(m.LParam)).Contains(ssShift), true);
    m.Result = 1;
    return;
  }
  Broadcast(m);
}

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case win::WM_CLOSE: Close(); return;
    case CM_VISIBLECHANGED: return VisibleChanged();
    case CM_DIALOGKEY: return DialogKey(m);
    case win::WM_ACTIVATE:
      TWinControl::Dispatch(m);
      if (win::LOWORD(m.WParam) == win::WA_INACTIVE) {
        if (OnDeactivate) OnDeactivate(this);
      } else {
        if (focusedControl_ && focusedControl_->HandleAllocated() && win::GetFocus() != focusedControl_->WindowHandle())
          win::SetFocus(focusedControl_->WindowHandle());
        if (OnActivate) OnActivate(this);
      }
      return;
    case win::WM_SETFOCUS:
      // The form's own window got the focus: give it to the active control.
      if (activeControl_ && activeControl_ != this && activeControl_->CanFocus() && activeControl_->HandleAllocated()) {
        win::SetFocus(activeControl_->WindowHandle());
        return;
      }
      TWinControl::Dispatch(m);
      return;
    default: TWinControl::Dispatch(m);
  }
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::PaintWindow(win::HDC dc) {
  TCanvasContextScope context(*canvas_, dc);
  canvas_->Font()->Assign(Font());
  Paint();
}

}  // namespace qelo::vcl
