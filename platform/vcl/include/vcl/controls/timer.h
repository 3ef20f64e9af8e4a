// A component that fires OnTimer on the GUI thread every Interval
// milliseconds while it is enabled and has a handler.
#pragma once

#include "vcl/classes.h"
#include "win/window/window.h"

namespace qelo::vcl {

class TTimer : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  int Interval() const { return interval_; }
  void SetInterval(int ms);  // below 0 is refused (EInvalidOperation)
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  // The timer runs only while it has a handler.
  void SetOnTimer(TNotifyEvent handler);

 protected:
  void Loaded() override;
  virtual void Timer();

 private:
  friend win::LRESULT TimerWindowProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM);
  void UpdateTimer();

  bool enabled_ = true;
  int interval_ = 1000;
  win::HWND window_ = nullptr;
  TNotifyEvent onTimer_;
};

}  // namespace qelo::vcl
