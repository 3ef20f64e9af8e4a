// The check box over the native "Button" class (three states, the state
// kept by the control and pushed to the window) and the group box, a
// container that draws a classic etched frame under its caption.
#pragma once

#include "vcl/controls/native_control.h"
#include "vcl/controls/stdctrls.h"

namespace qelo::vcl {

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
extern const EnumInfo kCheckBoxStateInfo;
// The side of the caption: taRightJustify puts it right of the box.
using TLeftRight = TAlignment;

class TCustomCheckBox : public TButtonControl {
  QELO_VCL_CLASS()
 public:
  explicit TCustomCheckBox(TComponent* owner);

  TCheckBoxState State() const { return state_; }
  // A change fires OnClick, whether the user or the program made it
  // (not while the control is being read from a form file).
  virtual void SetState(TCheckBoxState state);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool checked) { SetState(checked ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }
  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight value);

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // The user's click: unchecked, (grayed,) checked, unchecked...
  virtual void Toggle();

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TLeftRight alignment_ = taRightJustify;
  ControlColorBrush brush_;
};

class TCheckBox : public TCustomCheckBox {
  QELO_VCL_CLASS()
 public:
  using TCustomCheckBox::TCustomCheckBox;
};

class TCustomGroupBox : public TCustomControl {
  QELO_VCL_CLASS()
 public:
  explicit TCustomGroupBox(TComponent* owner);

  // Children sit below the caption, inside the frame.
  void AdjustClientRect(TRect& rect) const override;
  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;

 private:
  int CaptionHeight() const;
};

class TGroupBox : public TCustomGroupBox {
  QELO_VCL_CLASS()
 public:
  using TCustomGroupBox::TCustomGroupBox;
};

}  // namespace qelo::vcl
