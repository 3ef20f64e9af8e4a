// The shared timer that makes controls blink in step. Every registered
// control is asked on each tick whether it blinks (CM_BLINKQUERY, answer 1)
// and each that does is told the new state (CM_BLINK, WParam 1 for the blink
// colour, 0 for the normal one). One list serves the whole program: it is
// made for the first control that registers and freed after the last one
// has left.
#pragma once

#include <cstdint>
#include <vector>

#include "vcl/controls/controls.h"
#include "vcl/controls/timer.h"

namespace qelo::ct {

constexpr vcl::UINT CM_BLINKQUERY = vcl::CM_BASE + 1000;
constexpr vcl::UINT CM_BLINK = vcl::CM_BASE + 1001;

class TCtBlinkingControlsList : public vcl::TObject {
 public:
  TCtBlinkingControlsList();
  ~TCtBlinkingControlsList() override;

  void Add(vcl::TControl* control);  // once; a second Add changes nothing
  void Remove(vcl::TControl* control);
  virtual int GetCount() const { return static_cast<int>(controls_.size()); }
  bool Contains(const vcl::TControl* control) const;

  // Milliseconds the blink colour stays off and on; read at every tick, so
  // a change applies from the next one.
  uint16_t IntervalOff() const { return intervalOff_; }
  void SetIntervalOff(uint16_t ms) { intervalOff_ = ms; }
  uint16_t IntervalOn() const { return intervalOn_; }
  void SetIntervalOn(uint16_t ms) { intervalOn_ = ms; }

  int BlinkState() const { return blinkState_; }
  const vcl::TTimer* Timer() const { return timer_; }

  // The timer's tick: flips the state and asks every control. A control's
  // handler may register or free controls, or free the last one: controls
  // that left are skipped, controls that arrived wait for the next tick.
  void TimerFired(vcl::TObject* sender);

 private:
  friend void FreeBlinkingControlsListIfEmpty();

  int blinkState_ = 1;
  uint16_t intervalOff_ = 500;
  uint16_t intervalOn_ = 500;
  vcl::TTimer* timer_;
  std::vector<vcl::TControl*> controls_;
  int ticking_ = 0;             // ticks in progress (a handler may run a nested loop)
  bool releasePending_ = false;  // emptied during a tick: freed once the tick is over
};

// The shared list, made on first use.
TCtBlinkingControlsList* BlinkingControlsList();
// The shared list when it exists, else null.
TCtBlinkingControlsList* ExistingBlinkingControlsList();
// Frees the shared list when no control is registered. Asked during a tick,
// the list is freed from the message loop after the tick (unless a control
// registered again meanwhile).
void FreeBlinkingControlsListIfEmpty();

}  // namespace qelo::ct
