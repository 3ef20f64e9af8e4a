// The device-change broadcaster: one hidden window for the whole program
// hears the platform's device changes (WM_DEVICECHANGE), posts each to
// itself as message 1124 (WM_USER + 100) and then calls every registered
// handler in order with the message. An Exception a handler raises is shown
// through the application and the next handler is called.
#pragma once

#include <vector>

#include "vcl/classes.h"
#include "win/window/window.h"

namespace qelo::ct {

class TCtDeviceChangeHandler;

// A handler: an object and one of its methods, compared by both.
struct TCtDeviceChangeMethod {
  void* object = nullptr;
  void (*call)(void* object, TCtDeviceChangeHandler* sender, const win::MSG& message) = nullptr;
  bool operator==(const TCtDeviceChangeMethod& other) const {
    return object == other.object && call == other.call;
  }
};

// The method `M` of `object` as a handler.
template <class T, void (T::*M)(TCtDeviceChangeHandler*, const win::MSG&)>
TCtDeviceChangeMethod DeviceChangeMethod(T* object) {
  return {object, [](void* o, TCtDeviceChangeHandler* sender, const win::MSG& m) { (static_cast<T*>(o)->*M)(sender, m); }};
}

constexpr win::UINT kDeviceChangeRelay = win::WM_USER + 100;

// Whether the relayed message tells of a drive that came or went.
bool IsDriveArrivalOrRemoval(const win::MSG& message);

class TCtDeviceChangeHandler : public vcl::TObject {
 public:
  TCtDeviceChangeHandler();
  ~TCtDeviceChangeHandler() override;

  void AddHandler(TCtDeviceChangeMethod method);
  // Removes the first entry equal to `method`; nothing when none is.
  void RemoveHandler(TCtDeviceChangeMethod method);
  bool Active() const { return active_; }
  void SetActive(bool active) { active_ = active; }
  win::HWND Handle() const { return window_; }

 private:
  static win::LRESULT WindowProc(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l);
  void Broadcast(const win::MSG& message);

  win::HWND window_ = nullptr;
  std::vector<TCtDeviceChangeMethod> handlers_;
  bool active_ = true;
};

// The shared instance, made on the first call.
TCtDeviceChangeHandler* GetDeviceChangeHandler();
// Removes the handler from the shared instance, when there is one (a
// control that goes after the unit's close-down makes no new instance).
void RemoveDeviceChangeHandler(TCtDeviceChangeMethod method);
// Frees the shared instance (the unit's close-down).
void FreeDeviceChangeHandler();

}  // namespace qelo::ct
