#include "ct_shell_utils_device.h"

#include <algorithm>

#include "shell/volumes.h"
#include "vcl/controls/forms.h"

namespace qelo::ct {
namespace {

constexpr const char* kWindowClass = "TCtDeviceChangeWindow";
TCtDeviceChangeHandler* shared = nullptr;

}  // namespace

TCtDeviceChangeHandler::TCtDeviceChangeHandler() {
  static const bool registered = [] {
    win::WNDCLASS c;
    c.lpfnWndProc = &TCtDeviceChangeHandler::WindowProc;
    c.lpszClassName = kWindowClass;
    return win::RegisterClass(c) != 0;
  }();
  (void)registered;
  window_ = win::CreateWindowEx(0, kWindowClass, "", win::WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
  win::SetWindowLongPtr(window_, win::GWLP_USERDATA, reinterpret_cast<win::LONG_PTR>(this));
  shell::RegisterDeviceChangeWindow(window_);
}

TCtDeviceChangeHandler::~TCtDeviceChangeHandler() {
  shell::UnregisterDeviceChangeWindow(window_);
  win::SetWindowLongPtr(window_, win::GWLP_USERDATA, 0);
  win::DestroyWindow(window_);
}

void TCtDeviceChangeHandler::AddHandler(TCtDeviceChangeMethod method) { handlers_.push_back(method); }

void TCtDeviceChangeHandler::RemoveHandler(TCtDeviceChangeMethod method) {
  auto it = std::find(handlers_.begin(), handlers_.end(), method);
  if (it != handlers_.end()) handlers_.erase(it);
}

void TCtDeviceChangeHandler::Broadcast(const win::MSG& message) {
  if (!active_) return;
  // A handler may remove itself or others while being called.
  const std::vector<TCtDeviceChangeMethod> handlers = handlers_;
  for (const TCtDeviceChangeMethod& h : handlers) {
    try {
      h.call(h.object, this, message);
    } catch (const vcl::Exception&) {
      vcl::Application()->HandleException(this);
    }
  }
}

win::LRESULT TCtDeviceChangeHandler::WindowProc(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
  auto* self = reinterpret_cast<TCtDeviceChangeHandler*>(win::GetWindowLongPtr(window, win::GWLP_USERDATA));
  if (message == shell::WM_DEVICECHANGE) {
    win::PostMessage(window, kDeviceChangeRelay, w, l);
    return win::DefWindowProc(window, message, w, l);
  }
  if (message == kDeviceChangeRelay && self) {
    win::MSG relayed;
    relayed.hwnd = window;
    relayed.message = message;
    relayed.wParam = w;
    relayed.lParam = l;
    self->Broadcast(relayed);
    return 0;
  }
  return win::DefWindowProc(window, message, w, l);
}

bool IsDriveArrivalOrRemoval(const win::MSG& message) {
  return message.wParam == shell::DBT_DEVICEARRIVAL || message.wParam == shell::DBT_DEVICEREMOVECOMPLETE;
}

TCtDeviceChangeHandler* GetDeviceChangeHandler() {
  if (!shared) shared = new TCtDeviceChangeHandler;
  return shared;
}

void RemoveDeviceChangeHandler(TCtDeviceChangeMethod method) {
  if (shared) shared->RemoveHandler(method);
}

void FreeDeviceChangeHandler() {
  TCtDeviceChangeHandler* doomed = shared;
  shared = nullptr;
  if (doomed) doomed->Free();
}

}  // namespace qelo::ct
