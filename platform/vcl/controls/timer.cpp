#include "vcl/controls/timer.h"

#include "vcl/controls/forms.h"

namespace qelo::vcl {

namespace {

constexpr const char* kTimerClass = "TQeloTimer";
constexpr win::UINT_PTR kTimerId = 1;

}  // namespace

win::LRESULT TimerWindowProc(win::HWND window, win::UINT msg, win::WPARAM w, win::LPARAM l) {
  if (msg != win::WM_TIMER) return win::DefWindowProc(window, msg, w, l);
  auto* timer = reinterpret_cast<TTimer*>(win::GetWindowLongPtr(window, win::GWLP_USERDATA));
  if (!timer) return 0;
  try {
    timer->Timer();
  } catch (...) {
    Application()->HandleException(timer);
  }
  return 0;
}

const ClassInfo& TTimer::StaticClass() {
  static const ClassInfo info = ClassBuilder<TTimer>("TTimer", TComponent::StaticClass())
                                    .Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled)
                                    .Integer("Interval", &TTimer::Interval, &TTimer::SetInterval)
                                    .Event("OnTimer", &TTimer::onTimer_)
                                    .Done();
  return info;
}

// Each timer has a hidden window of the thread that made it, so WM_TIMER
// comes through that thread's message loop.
TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  static const bool registered = [] {
    win::WNDCLASS c;
    c.lpfnWndProc = TimerWindowProc;
    c.lpszClassName = kTimerClass;
    return win::RegisterClass(c) != 0;
  }();
  (void)registered;
  window_ = win::CreateWindowEx(win::WS_EX_TOOLWINDOW, kTimerClass, "", win::WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
  win::SetWindowLongPtr(window_, win::GWLP_USERDATA, reinterpret_cast<win::LONG_PTR>(this));
}

TTimer::~TTimer() {
  win::SetWindowLongPtr(window_, win::GWLP_USERDATA, 0);
  win::KillTimer(window_, kTimerId);
  win::DestroyWindow(window_);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(int ms) {
  if (ms < 0) throw EInvalidOperation("Timer interval cannot be negative");
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  win::KillTimer(window_, kTimerId);
  if (ComponentState().Contains(csLoading)) return;
  if (enabled_ && interval_ > 0 && onTimer_) win::SetTimer(window_, kTimerId, static_cast<win::UINT>(interval_), nullptr);
}

void TTimer::Timer() {
  if (onTimer_) onTimer_(this);
}

}  // namespace qelo::vcl
