// A hook on a window the framework did not make (the header child of a
// native list view): each message the window gets passes an object's
// handler first, which hands it on to the window's previous procedure with
// CallPrevious (or answers it itself). The hook lets go of the window when
// the window is destroyed, after its WM_NCDESTROY has passed the handler.
// Windows and hooks belong to the GUI thread.
#pragma once

#include <functional>

#include "vcl/controls/messages.h"

namespace qelo::vcl {

class TObject;

class TWindowHook {
 public:
  using Handler = std::function<void(TMessage& message)>;
  // `sender` names the handler's owner to the application's exception
  // handler, which gets what the handler throws (the message then counts
  // as handled, with the answer 0).
  TWindowHook(TObject* sender, Handler handler);
  ~TWindowHook();
  TWindowHook(const TWindowHook&) = delete;
  TWindowHook& operator=(const TWindowHook&) = delete;

  // Hooks the window (letting go of any other first); false for a window
  // that does not exist or that another hook holds.
  bool Hook(win::HWND window);
  // Puts the previous procedure back, unless someone hooked the window
  // after us (their hook would be cut off; ours then stays, passing on).
  void Unhook();
  win::HWND Window() const { return window_; }
  void CallPrevious(TMessage& message) const;

 private:
  static win::LRESULT Procedure(win::HWND window, win::UINT msg, win::WPARAM w, win::LPARAM l);

  TObject* sender_;
  Handler handler_;
  win::HWND window_ = nullptr;
  win::WNDPROC previous_ = nullptr;
};

}  // namespace qelo::vcl
