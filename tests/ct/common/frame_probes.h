// Small controls for the frame-controller and framed-control tests: a plain
// control that publishes a few of the pushed properties and notes every
// value it is given, a framed windowed control built on the protocol, and a
// label-like client that takes the controller's settings itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ct_common_controller.h"
#include "ct_common_framed.h"
#include "vcl/controls/controls.h"

namespace qelo::ct::test {

// Publishes FrameColor, FrameHotTrack, FrameSides, FrameStyle (the styles
// up to fsFlatBold) and its notification mask, and no other frame property.
// Every value set, and every colour change, is noted as "Name=value".
class TPushProbe : public vcl::TControl {
  QELO_VCL_CLASS()
 public:
  explicit TPushProbe(vcl::TComponent* owner);
  ~TPushProbe() override;

  vcl::TColor FrameColor() const { return frameColor_; }
  void SetFrameColor(vcl::TColor color);
  bool FrameHotTrack() const { return frameHotTrack_; }
  void SetFrameHotTrack(bool value);
  TSides FrameSides() const { return frameSides_; }
  void SetFrameSides(TSides sides);
  TFrameStyle FrameStyle() const { return frameStyle_; }
  void SetFrameStyle(TFrameStyle style);
  TCtFrameControllerNotifications FrameControllerNotifications() const { return mask_; }
  void SetFrameControllerNotifications(TCtFrameControllerNotifications mask) { mask_ = mask; }

  std::vector<std::string> journal;
  std::function<void()> onSet;  // runs after every value set

 protected:
  void Dispatch(vcl::TMessage& m) override;

 private:
  vcl::TColor frameColor_ = vcl::clBtnShadow;
  bool frameHotTrack_ = false;
  TSides frameSides_ = kAllSides;
  TFrameStyle frameStyle_ = fsFlat;
  TCtFrameControllerNotifications mask_ = kAllFrameControllerNotifications;
};

// A framed windowed control with a client edge: the two-pixel band the
// frame is painted over. Counts the pushes of FrameColor it receives.
class TFramedProbe : public TCtFramedControl<vcl::TCustomControl> {
  QELO_VCL_CLASS()
 public:
  explicit TFramedProbe(vcl::TComponent* owner);
  void SetFrameColor(vcl::TColor color) override;
  int frameColorSets = 0;

 protected:
  void CreateParams(vcl::TCreateParams& params) override;
};

// Takes the controller's settings itself, as labels and panels do.
class TStyledClientProbe : public vcl::TGraphicControl, public ICtFrameControllerClient {
  QELO_VCL_CLASS()
 public:
  explicit TStyledClientProbe(vcl::TComponent* owner);

  void UpdateFrameFromController() override;
  int updates = 0;

  TFrameStyleEx BorderOuter() const { return borderOuter_; }
  void SetBorderOuter(TFrameStyleEx style) { borderOuter_ = style; }
  TSides BorderSides() const { return borderSides_; }
  void SetBorderSides(TSides sides) { borderSides_ = sides; }
  vcl::TColor FlatColor() const { return flatColor_; }
  void SetFlatColor(vcl::TColor color) { flatColor_ = color; }
  int FlatColorAdjustment() const { return flatColorAdjustment_; }
  void SetFlatColorAdjustment(int value) { flatColorAdjustment_ = value; }
  vcl::TColor BorderHighlight() const { return borderHighlight_; }
  void SetBorderHighlight(vcl::TColor color) { borderHighlight_ = color; }
  vcl::TColor BorderShadow() const { return borderShadow_; }
  void SetBorderShadow(vcl::TColor color) { borderShadow_ = color; }
  TCtFrameController* FrameController() const { return link_.Controller(); }
  void SetFrameController(TCtFrameController* controller) { link_.SetController(controller); }
  TCtFrameControllerNotifications FrameControllerNotifications() const { return link_.Notifications(); }
  void SetFrameControllerNotifications(TCtFrameControllerNotifications mask) { link_.SetNotifications(mask); }

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

 private:
  TFrameStyleEx borderOuter_ = fsNone;
  TSides borderSides_ = kAllSides;
  vcl::TColor flatColor_ = vcl::clBtnShadow;
  int flatColorAdjustment_ = 10;
  vcl::TColor borderHighlight_ = vcl::clBtnHighlight;
  vcl::TColor borderShadow_ = vcl::clBtnShadow;
  TCtFrameControllerLink link_{*this};
};

// Registers the probes and the control library's common components (once).
void RegisterFrameProbes();

}  // namespace qelo::ct::test
