#include "vcl/controls/window_hook.h"

#include <unordered_map>

#include "vcl/controls/forms.h"

namespace qelo::vcl {
namespace {

// Hooked windows, by handle (GUI thread only).
std::unordered_map<win::HWND, TWindowHook*>& Hooks() {
  static std::unordered_map<win::HWND, TWindowHook*> hooks;
  return hooks;
}

// Windows whose hook let go while a later subclass sat on top of ours:
// the hook's procedure stays in their chain and passes every message on
// to the procedure it replaced, until the window goes.
std::unordered_map<win::HWND, win::WNDPROC>& PassingOn() {
  static std::unordered_map<win::HWND, win::WNDPROC> passing;
  return passing;
}

}  // namespace

TWindowHook::TWindowHook(TObject* sender, Handler handler) : sender_(sender), handler_(std::move(handler)) {}

TWindowHook::~TWindowHook() { Unhook(); }

bool TWindowHook::Hook(win::HWND window) {
  if (window == window_) return window != nullptr;
  Unhook();
  if (!win::IsWindow(window) || Hooks().count(window) || PassingOn().count(window)) return false;
  previous_ = reinterpret_cast<win::WNDPROC>(
      win::SetWindowLongPtr(window, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(&Procedure)));
  window_ = window;
  Hooks()[window] = this;
  return true;
}

void TWindowHook::Unhook() {
  if (!window_) return;
  Hooks().erase(window_);
  if (win::GetWindowLongPtr(window_, win::GWLP_WNDPROC) == reinterpret_cast<win::LONG_PTR>(&Procedure))
    win::SetWindowLongPtr(window_, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(previous_));
  else
    PassingOn()[window_] = previous_;
  window_ = nullptr;
  previous_ = nullptr;
}

void TWindowHook::CallPrevious(TMessage& m) const {
  m.Result = previous_ ? win::CallWindowProc(previous_, window_, m.Msg, m.WParam, m.LParam) : 0;
}

win::LRESULT TWindowHook::Procedure(win::HWND window, win::UINT msg, win::WPARAM w, win::LPARAM l) {
  auto it = Hooks().find(window);
  if (it == Hooks().end()) {
    auto passing = PassingOn().find(window);
    if (passing == PassingOn().end()) return win::DefWindowProc(window, msg, w, l);
    const win::WNDPROC previous = passing->second;
    if (msg == win::WM_NCDESTROY) PassingOn().erase(passing);
    return win::CallWindowProc(previous, window, msg, w, l);
  }
  TWindowHook* hook = it->second;
  TMessage m{msg, w, l, 0};
  try {
    hook->handler_(m);
  } catch (...) {
    Application()->HandleException(hook->sender_);
    m.Result = 0;
  }
  if (msg == win::WM_NCDESTROY) {
    // The window is gone (the handler may have freed the hook meanwhile,
    // which took it out of the table).
    auto gone = Hooks().find(window);
    if (gone != Hooks().end() && gone->second == hook) {
      Hooks().erase(gone);
      hook->window_ = nullptr;
      hook->previous_ = nullptr;
    }
  }
  return m.Result;
}

}  // namespace qelo::vcl
