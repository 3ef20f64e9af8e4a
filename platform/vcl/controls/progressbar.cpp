#include "vcl/controls/progressbar.h"

#include <algorithm>

#include "win/controls/progress.h"

namespace qelo::vcl {

const EnumInfo kProgressBarOrientationInfo{"TProgressBarOrientation", {"pbHorizontal", "pbVertical"}};

const ClassInfo& TProgressBar::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TProgressBar>("TProgressBar", TWinControl::StaticClass())
          .Integer("Min", &TProgressBar::Min, &TProgressBar::SetMin)
          .Integer("Max", &TProgressBar::Max, &TProgressBar::SetMax)
          .Integer("Position", &TProgressBar::Position, &TProgressBar::SetPosition)
          .Integer("Step", &TProgressBar::Step, &TProgressBar::SetStep)
          .Boolean("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth)
          .Enum("Orientation", kProgressBarOrientationInfo, &TProgressBar::Orientation, &TProgressBar::SetOrientation)
          .Done();
  return info;
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 150, 16);
}

LRESULT TProgressBar::Send(UINT msg, WPARAM w, LPARAM l) const {
  return win::SendMessage(WindowHandle(), msg, w, l);
}

bool TProgressBar::Reading() const {
  return ComponentState().Contains(csReading) || ComponentState().Contains(csLoading);
}

void TProgressBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = win::PROGRESS_CLASS;
  if (smooth_) p.Style |= win::PBS_SMOOTH;
  if (orientation_ == pbVertical) p.Style |= win::PBS_VERTICAL;
}

void TProgressBar::CreateWnd() {
  const win::INITCOMMONCONTROLSEX classes{sizeof(win::INITCOMMONCONTROLSEX), win::ICC_PROGRESS_CLASS};
  win::InitCommonControlsEx(&classes);
  TWinControl::CreateWnd();
  Send(win::PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  Send(win::PBM_SETSTEP, static_cast<WPARAM>(step_));
  Send(win::PBM_SETPOS, static_cast<WPARAM>(position_));
}

// The window moves the position itself (StepIt); it outlives the window.
void TProgressBar::DestroyWnd() {
  if (HandleAllocated()) position_ = static_cast<int>(Send(win::PBM_GETPOS));
  TWinControl::DestroyWnd();
}

// A form file may give the range in any order; it is checked once read.
void TProgressBar::Loaded() {
  TWinControl::Loaded();
  if (min_ > max_) throw EInvalidOperation("Progress bar '" + Name() + "': Min is above Max");
  SetPosition(position_);
}

void TProgressBar::SetRange(int min, int max) {
  if (min > max && !Reading())
    throw EInvalidOperation("Progress bar range " + std::to_string(min) + " to " + std::to_string(max) + " is empty");
  min_ = min;
  max_ = max;
  if (HandleAllocated()) {
    Send(win::PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    position_ = static_cast<int>(Send(win::PBM_GETPOS));
  } else if (!Reading()) {
    position_ = std::clamp(position_, min_, max_);
  }
}

void TProgressBar::SetMin(int value) {
  if (value != min_) SetRange(value, max_);
}

void TProgressBar::SetMax(int value) {
  if (value != max_) SetRange(min_, value);
}

int TProgressBar::Position() const { return HandleAllocated() ? static_cast<int>(Send(win::PBM_GETPOS)) : position_; }

void TProgressBar::SetPosition(int value) {
  position_ = Reading() ? value : std::clamp(value, std::min(min_, max_), std::max(min_, max_));
  if (HandleAllocated()) Send(win::PBM_SETPOS, static_cast<WPARAM>(position_));
}

void TProgressBar::SetStep(int value) {
  if (value == step_) return;
  step_ = value;
  if (HandleAllocated()) Send(win::PBM_SETSTEP, static_cast<WPARAM>(value));
}

void TProgressBar::StepIt() {
  HandleNeeded();
  Send(win::PBM_STEPIT);
}

void TProgressBar::StepBy(int delta) {
  HandleNeeded();
  Send(win::PBM_DELTAPOS, static_cast<WPARAM>(delta));
}

void TProgressBar::SetSmooth(bool value) {
  if (value == smooth_) return;
  smooth_ = value;
  RecreateWnd();
}

void TProgressBar::SetOrientation(TProgressBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  RecreateWnd();
}

}  // namespace qelo::vcl
