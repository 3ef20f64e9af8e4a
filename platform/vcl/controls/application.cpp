// The application object, the screen and the hint window.
#include <algorithm>

#include "vcl/controls/forms.h"
#include "vcl/controls/text_drawing.h"

namespace qelo::vcl {

namespace {

constexpr const char* kApplicationClass = "TQeloApplication";
constexpr win::UINT_PTR kHintShowTimer = 1;
constexpr win::UINT_PTR kHintHideTimer = 2;
constexpr int kHintOffsetY = 20;
constexpr int kHintMaxWidth = 300;

}  // namespace

TApplication* Application() {
  static TApplication* application = new TApplication(nullptr);
  return application;
}

TScreen* Screen() {
  static TScreen* screen = new TScreen(nullptr);
  return screen;
}

std::string GetShortHint(const std::string& hint) {
  const size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
  const size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

// ---- application ----------------------------------------------------------------------

const ClassInfo& TApplication::StaticClass() {
  static const ClassInfo info = ClassBuilder<TApplication>("TApplication", TComponent::StaticClass()).Done();
  return info;
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication() {
  if (window_) win::DestroyWindow(window_);
}

win::LRESULT ApplicationWindowProc(win::HWND window, win::UINT msg, win::WPARAM w, win::LPARAM l) {
  TApplication* app = Application();
  try {
    if (msg == CM_INVOKE) {
      app->RunPosted();
      return 0;
    }
    if (msg == win::WM_TIMER) {
      app->TimerFired(w);
      return 0;
    }
  } catch (...) {
    app->HandleException(app);
    return 0;
  }
  return win::DefWindowProc(window, msg, w, l);
}

// A hidden window of the GUI thread for the application's own timers and
// posted calls.
win::HWND TApplication::UtilityWindow() {
  if (window_ && win::IsWindow(window_)) return window_;
  static const bool registered = [] {
    win::WNDCLASS c;
    c.lpfnWndProc = ApplicationWindowProc;
    c.lpszClassName = kApplicationClass;
    return win::RegisterClass(c) != 0;
  }();
  (void)registered;
  window_ = win::CreateWindowEx(win::WS_EX_TOOLWINDOW, kApplicationClass, title_, win::WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr);
  return window_;
}

void TApplication::Post(std::function<void()> call) {
  {
    std::lock_guard guard(postedLock_);
    posted_.push_back(std::move(call));
  }
  win::PostMessage(UtilityWindow(), CM_INVOKE, 0, 0);
}

void TApplication::PostAhead(std::function<void()> call) {
  {
    std::lock_guard guard(postedLock_);
    posted_.push_front(std::move(call));
  }
  win::SendNotifyMessage(UtilityWindow(), CM_INVOKE, 0, 0);
}

void TApplication::RunPosted() {
  std::function<void()> call;
  {
    std::lock_guard guard(postedLock_);
    if (posted_.empty()) return;
    call = std::move(posted_.front());
    posted_.pop_front();
  }
  call();
}

void TApplication::Initialize() {
  RegisterControlClasses();
  UtilityWindow();
}

// A new main form (the first, or the first after the last one went) starts
// a new run: a program may be brought up again in the same process. The
// quit that ended the last run may still wait; it is not this run's.
void TApplication::FormCreated(TCustomForm* form) {
  form->DoCreate();
  if (mainForm_) return;
  mainForm_ = form;
  if (!terminated_) return;
  terminated_ = false;
  win::MSG quit;
  while (win::PeekMessage(&quit, nullptr, win::WM_QUIT, win::WM_QUIT, win::PM_REMOVE)) {
  }
}

TCustomForm* TApplication::CreateForm(const ClassInfo& formClass) {
  TComponent* made = formClass.Create(this);
  auto* form = dynamic_cast<TCustomForm*>(made);
  if (!form) {
    made->Free();
    throw EInvalidOperation(formClass.name + " is not a form");
  }
  FormCreated(form);
  return form;
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == mainForm_) mainForm_ = nullptr;
  if (component == mouseControl_) mouseControl_ = nullptr;
  if (component == hintControl_) hintControl_ = nullptr;
  // The hint window is the application's own: a program run that frees the
  // application's components frees it too, and the next run makes another.
  if (component == hintWindow_) hintWindow_ = nullptr;
}

void TApplication::Run() {
  if (mainForm_ && showMainForm_) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::HandleMessage() {
  win::MSG m;
  if (win::GetMessage(&m, nullptr, 0, 0) <= 0) {
    terminated_ = true;
    return;
  }
  DispatchAndTranslate(m);
}

void TApplication::ProcessMessages() {
  win::MSG m;
  while (win::PeekMessage(&m, nullptr, 0, 0, win::PM_REMOVE)) {
    if (m.message == win::WM_QUIT) {
      terminated_ = true;
      return;
    }
    DispatchAndTranslate(m);
  }
}

// The key goes to its control first; its character is made only when the
// framework left the key (as the dialog keys and cleared keys make none).
void TApplication::DispatchAndTranslate(const win::MSG& m) {
  const bool keyPress = m.message == win::WM_KEYDOWN || m.message == win::WM_SYSKEYDOWN;
  if (keyPress) ForgetKeyTaken();
  win::DispatchMessage(&m);
  if (keyPress && !KeyWasTaken()) win::TranslateMessage(&m);
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  win::PostQuitMessage(0);
}

void TApplication::HandleException(TObject* sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& e) {
    if (OnException) OnException(sender, e);
    else ShowException(e);
  } catch (...) {
    const Exception unknown("Unknown exception");
    if (OnException) OnException(sender, unknown);
    else ShowException(unknown);
  }
}

void TApplication::ShowException(const std::exception& error) {
  std::string text = error.what();
  if (!text.empty() && text.back() != '.') text += '.';
  MessageBox(text, title_, MB_ICONSTOP);
}

// ---- the control under the mouse ----------------------------------------------------

void TApplication::SetMouseControl(TControl* control) {
  if (control == mouseControl_) return;
  TControl* old = mouseControl_;
  if (old) old->RemoveFreeNotification(this);
  mouseControl_ = control;
  if (control) control->FreeNotification(this);
  if (old) old->Perform(CM_MOUSELEAVE);
  if (control && mouseControl_ == control) control->Perform(CM_MOUSEENTER);
}

// ---- hints --------------------------------------------------------------------------

namespace {

// The control whose hint shows: the first up the parents with a hint.
bool WantsHint(const TControl& c) { return c.ShowHint() && !c.Hint().empty(); }

}  // namespace

void TApplication::SetShowHint(bool value) {
  if (value == showHint_) return;
  showHint_ = value;
  if (!value) CancelHint();
}

void TApplication::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (OnHint) OnHint(this);
}

THintWindow* TApplication::HintWindow() const {
  return hintWindow_ && hintWindow_->HandleAllocated() && win::IsWindowVisible(hintWindow_->WindowHandle())
             ? hintWindow_
             : nullptr;
}

void TApplication::HintMouseMessage(TControl* control, const TMessage&) {
  if (control == hintControl_) return;
  CancelHint();
  if (!showHint_ || !control || !WantsHint(*control)) return;
  hintControl_ = control;
  control->FreeNotification(this);
  SetHint(GetLongHint(control->Hint()));
  win::SetTimer(UtilityWindow(), kHintShowTimer, static_cast<win::UINT>(std::max(hintPause_, 1)), nullptr);
}

void TApplication::CancelHintFor(TControl* control) {
  if (control == hintControl_) CancelHint();
}

void TApplication::CancelHint() {
  if (window_) {
    win::KillTimer(window_, kHintShowTimer);
    win::KillTimer(window_, kHintHideTimer);
  }
  if (hintWindow_) hintWindow_->ReleaseHandle();
  if (hintControl_) hintControl_->RemoveFreeNotification(this);
  hintControl_ = nullptr;
}

void TApplication::TimerFired(win::UINT_PTR id) {
  win::KillTimer(window_, id);
  if (id == kHintShowTimer) ActivateHint();
  else if (id == kHintHideTimer && hintWindow_) hintWindow_->ReleaseHandle();
}

void TApplication::ActivateHint() {
  if (!hintControl_) return;
  THintInfo info;
  info.HintControl = hintControl_;
  win::POINT cursor;
  win::GetCursorPos(&cursor);
  info.HintPos = Point(cursor.x, cursor.y + kHintOffsetY);
  info.HintStr = GetShortHint(hintControl_->Hint());
  info.HideTimeout = hintHidePause_;
  if (hintControl_->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0 || info.HintStr.empty()) return;
  if (!hintWindow_) hintWindow_ = new THintWindow(this);
  TRect r = hintWindow_->CalcHintRect(kHintMaxWidth, info.HintStr);
  win::OffsetRect(&r, info.HintPos.x, info.HintPos.y);
  hintWindow_->ActivateHint(r, info.HintStr);
  if (info.HideTimeout > 0)
    win::SetTimer(UtilityWindow(), kHintHideTimer, static_cast<win::UINT>(info.HideTimeout), nullptr);
}

// ---- hint window ----------------------------------------------------------------------

const ClassInfo& THintWindow::StaticClass() {
  static const ClassInfo info = ClassBuilder<THintWindow>("THintWindow", TCustomControl::StaticClass()).Done();
  return info;
}

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  SetColor(clInfoBk);
  Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = win::WS_POPUP | win::WS_BORDER;
  p.ExStyle = win::WS_EX_TOOLWINDOW | win::WS_EX_TOPMOST;
  p.WndParent = nullptr;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint) {
  win::HDC dc = win::CreateDisplayDC();
  win::HGDIOBJ old = win::SelectObject(dc, Font()->Handle());
  TRect r = Rect(0, 0, maxWidth, 0);
  win::DrawText(dc, hint, &r, win::DT_CALCRECT | win::DT_WORDBREAK | win::DT_NOPREFIX);
  win::SelectObject(dc, old);
  win::DeleteDC(dc);
  r.right += 6;
  r.bottom += 4;
  return r;
}

void THintWindow::ActivateHint(const TRect& r, const std::string& hint) {
  SetCaption(hint);
  HandleNeeded();
  SetBoundsRect(r);
  win::SetWindowPos(WindowHandle(), win::HWND_TOPMOST, r.left, r.top, RectWidth(r), RectHeight(r),
                    win::SWP_SHOWWINDOW | win::SWP_NOACTIVATE);
  SetVisible(true);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  SetVisible(false);
}

void THintWindow::Paint() {
  TCanvas& canvas = *Canvas();
  TRect r = ClientRect();
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(Color());
  canvas.FillRect(r);
  win::InflateRect(&r, -2, -2);
  canvas.Brush()->SetStyle(bsClear);
  DrawCanvasText(canvas, Caption(), r, win::DT_WORDBREAK | win::DT_NOPREFIX);
}

// ---- screen -------------------------------------------------------------------------

const ClassInfo& TScreen::StaticClass() {
  static const ClassInfo info = ClassBuilder<TScreen>("TScreen", TComponent::StaticClass()).Done();
  return info;
}

namespace {

const char* StandardCursorName(TCursor id) {
  switch (id) {
    case crArrow: case crDefault: return win::IDC_ARROW;
    case crCross: return win::IDC_CROSS;
    case crIBeam: return win::IDC_IBEAM;
    case crSizeNESW: return win::IDC_SIZENESW;
    case crSizeNS: return win::IDC_SIZENS;
    case crSizeNWSE: return win::IDC_SIZENWSE;
    case crSizeWE: return win::IDC_SIZEWE;
    case crHourGlass: case crAppStart: return win::IDC_WAIT;
    case crNo: return win::IDC_NO;
    case crHandPoint: return win::IDC_HAND;
    case crSizeAll: return win::IDC_SIZEALL;
    default: return nullptr;
  }
}

}  // namespace

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

win::HCURSOR TScreen::Cursors(TCursor id) const {
  if (auto it = cursors_.find(id); it != cursors_.end()) return it->second;
  if (id == crNone) return nullptr;
  const char* name = StandardCursorName(id);
  return win::LoadCursor(nullptr, name ? name : win::IDC_ARROW);
}

void TScreen::SetCursors(TCursor id, win::HCURSOR cursor) {
  if (cursor) cursors_[id] = cursor;
  else cursors_.erase(id);
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  win::SetCursor(Cursors(cursor));
}

int TScreen::MonitorCount() const { return std::max(win::GetSystemMetrics(win::SM_CMONITORS), 1); }

TMonitor TScreen::Monitors(int index) const {
  if (index < 0 || index >= MonitorCount())
    throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
  win::MONITORINFO info;
  win::GetMonitorInfo(win::MonitorFromPoint(win::POINT{0, 0}, win::MONITOR_DEFAULTTONEAREST), &info);
  TMonitor m;
  m.MonitorNum = index;
  m.BoundsRect = info.rcMonitor;
  m.WorkareaRect = info.rcWork;
  m.Primary = (info.dwFlags & win::MONITORINFOF_PRIMARY) != 0;
  return m;
}

TRect TScreen::WorkAreaRect() const {
  win::RECT r;
  win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

TRect TScreen::DesktopRect() const { return Rect(0, 0, Width(), Height()); }
int TScreen::Width() const { return win::GetSystemMetrics(win::SM_CXSCREEN); }
int TScreen::Height() const { return win::GetSystemMetrics(win::SM_CYSCREEN); }

void TScreen::AddForm(TCustomForm* form) { forms_.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form) { forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end()); }

TCustomForm* TScreen::ActiveForm() const {
  win::HWND active = win::GetActiveWindow();
  for (TCustomForm* f : forms_)
    if (f->HandleAllocated() && f->WindowHandle() == active) return f;
  return nullptr;
}

TWinControl* TScreen::ActiveControl() const {
  TCustomForm* f = ActiveForm();
  return f ? f->ActiveControl() : nullptr;
}

}  // namespace qelo::vcl
