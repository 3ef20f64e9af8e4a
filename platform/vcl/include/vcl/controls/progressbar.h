// The progress bar over the native progress class: a range, a position
// kept within it, steps, blocks or one smooth band, horizontal or vertical.
// What is set while there is no window is pushed to it when it is made.
#pragma once

#include "vcl/controls/native_control.h"

namespace qelo::vcl {

enum TProgressBarOrientation { pbHorizontal, pbVertical };
extern const EnumInfo kProgressBarOrientationInfo;

class TProgressBar : public TWinControl {
  QELO_VCL_CLASS()
 public:
  explicit TProgressBar(TComponent* owner);

  int Min() const { return min_; }
  // EInvalidOperation for a minimum above the maximum (or a maximum below
  // the minimum), except while the bar is read from a form file.
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  // Kept within Min to Max.
  int Position() const;
  void SetPosition(int value);
  int Step() const { return step_; }
  void SetStep(int value);
  // Advances by Step; past Max it starts over from Min.
  void StepIt();
  // Advances by `delta`, stopping at Min or Max.
  void StepBy(int delta);
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool value);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;

 private:
  bool Reading() const;
  void SetRange(int min, int max);
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const;

  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
  bool smooth_ = false;
  TProgressBarOrientation orientation_ = pbHorizontal;
};

}  // namespace qelo::vcl
