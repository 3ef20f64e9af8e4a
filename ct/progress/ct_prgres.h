// The progress bar of the control library: a percentage shown as a solid
// bar with its percent text in the opposite colours, as lit LED segments,
// or as a two-colour gradient; horizontal or vertical, inside the
// composite border. The value comes in as a percent or as parts done of a
// total. The bar takes its frame from a frame controller, and inside a
// status bar lets the bar's size grip work through its right end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ct_common_borders.h"
#include "ct_common_controller.h"
#include "ct_grafx_gradient.h"
#include "vcl/controls/controls.h"

namespace qelo::ct {

enum TBarStyle { bsTraditional, bsLED, bsGradient };
enum TOrientation { orHorizontal, orVertical };
using TSegmentRange = uint8_t;
using TUnsignedLongint = uint32_t;
extern const vcl::EnumInfo kBarStyleInfo;
extern const vcl::EnumInfo kOrientationInfo;

using TProgressChangeEvent = std::function<void(vcl::TObject* sender, int percent)>;

// How many pixels of `length` a percent fills (all of it from 100 on).
int ProgressFillLength(unsigned percent, int length);

// Where the LED segments of a bar `length` pixels long lie: Count
// segments of Size pixels after a margin of Margin pixels (the leftover
// after the last segment is the end margin). Short bars get at most ten
// segments; a segment is at least one pixel, and no more segments are laid
// out than fit.
struct TLedLayout {
  int Size = 0;
  int Count = 0;
  int Margin = 0;
};
TLedLayout LayoutLedSegments(int length, TSegmentRange numSegments);
// The segments lit at a percent (never more than there are).
int LitLedSegments(unsigned percent, int count);

class TCtCustomProgressBar : public vcl::TGraphicControl, public TCtFrameControllerClient {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomProgressBar(vcl::TComponent* owner);

  vcl::TColor BackColor() const { return backColor_; }
  virtual void SetBackColor(vcl::TColor value);
  vcl::TColor BackColorStop() const { return backColorStop_; }
  virtual void SetBackColorStop(vcl::TColor value);
  // Also the font's colour.
  vcl::TColor BarColor() const { return barColor_; }
  virtual void SetBarColor(vcl::TColor value);
  vcl::TColor BarColorStop() const { return barColorStop_; }
  virtual void SetBarColorStop(vcl::TColor value);
  // The LED style hides the percent text and keeps a one-pixel ring of the
  // back colour inside the border; the others show the text without one.
  TBarStyle BarStyle() const { return barStyle_; }
  virtual void SetBarStyle(TBarStyle value);
  int BevelWidth() const { return bevelWidth_; }
  virtual void SetBevelWidth(int value);
  vcl::TColor BorderColor() const { return borderColor_; }
  virtual void SetBorderColor(vcl::TColor value);
  TFrameStyleEx BorderInner() const { return borderInner_; }
  virtual void SetBorderInner(TFrameStyleEx value);
  TFrameStyleEx BorderOuter() const { return borderOuter_; }
  virtual void SetBorderOuter(TFrameStyleEx value);
  int BorderWidth() const { return borderWidth_; }
  virtual void SetBorderWidth(int value);
  vcl::TColor FlatColor() const { return flatColor_; }
  virtual void SetFlatColor(vcl::TColor value);
  int FlatColorAdjustment() const { return flatColorAdjustment_; }
  virtual void SetFlatColorAdjustment(int value);
  TGradientDirection GradientDirection() const { return gradientDirection_; }
  virtual void SetGradientDirection(TGradientDirection value);
  uint8_t InteriorOffset() const { return interiorOffset_; }
  virtual void SetInteriorOffset(uint8_t value);
  TSegmentRange NumSegments() const { return numSegments_; }
  virtual void SetNumSegments(TSegmentRange value);
  TOrientation Orientation() const { return orientation_; }
  virtual void SetOrientation(TOrientation value);
  bool ShowParts() const { return showParts_; }
  virtual void SetShowParts(bool value);
  bool ShowPercent() const { return showPercent_; }
  virtual void SetShowPercent(bool value);
  bool ThemeAware() const { return themeAware_; }
  virtual void SetThemeAware(bool value);

  // The value shown, kept as given (a percent over 100 shows as such and
  // fills the whole bar).
  uint16_t Percent() const { return percent_; }
  virtual void SetPercent(uint16_t value);
  // Parts done, clipped to TotalParts; sets Percent when TotalParts is not 0.
  TUnsignedLongint PartsComplete() const { return partsComplete_; }
  virtual void SetPartsComplete(TUnsignedLongint value);
  // A new total starts again from 0 parts and 0 percent.
  TUnsignedLongint TotalParts() const { return totalParts_; }
  virtual void SetTotalParts(TUnsignedLongint value);

  // While the controller's frame is visible: its style becomes BorderOuter,
  // its frame colour FlatColor (unadjusted), its colour BackColor, and the
  // parent-colour switch ParentColor, each under the notification mask.
  void UpdateFrameFromController() override;

  // The text the bar shows: "" without ShowPercent, "done / total" with
  // ShowParts, else the percent ("42%").
  std::string BarText() const;

  // Turns the bar vertical when it is taller than wide.
  void SetBounds(int left, int top, int width, int height) override;
  void Dispatch(vcl::TMessage& message) override;

  TProgressChangeEvent OnChange;

  // Adds the bar's properties to a bar class C's registration.
  template <class C>
  static void PublishProgressProperties(vcl::ClassBuilder<C>& builder);

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void Loaded() override;
  void Paint() override;
  // Fires OnChange with the new percent.
  virtual void Change();

 private:
  bool Loading() const { return ComponentState().Contains(vcl::csLoading); }
  vcl::TColor ParentBackground() const;
  // Draws the border (classic) and returns the rectangle inside it.
  vcl::TRect PaintClassicFrame(vcl::TCanvas& canvas);
  void PaintInteriorOffset(vcl::TCanvas& canvas, vcl::TRect& r) const;
  vcl::TRect FilledRect(const vcl::TRect& r) const;
  void PaintTraditional(vcl::TCanvas& canvas, const vcl::TRect& r);
  void PaintLed(vcl::TCanvas& canvas, const vcl::TRect& r);
  void PaintGradientBar(vcl::TCanvas& canvas, const vcl::TRect& r);
  void HitTest(vcl::TMessage& m);

  vcl::TColor backColor_ = vcl::clWhite;
  vcl::TColor backColorStop_ = vcl::clBtnFace;
  vcl::TColor barColor_ = vcl::clHighlight;
  vcl::TColor barColorStop_ = vcl::clHotLight;
  TBarStyle barStyle_ = bsTraditional;
  int bevelWidth_ = 1;
  vcl::TColor borderColor_ = vcl::clBtnFace;
  TFrameStyleEx borderInner_ = fsNone;
  TFrameStyleEx borderOuter_ = fsLowered;
  int borderWidth_ = 0;
  vcl::TColor flatColor_ = vcl::clBtnShadow;
  int flatColorAdjustment_ = 30;
  TGradientDirection gradientDirection_ = gdHorizontalCenter;
  uint8_t interiorOffset_ = 0;
  TSegmentRange numSegments_ = 20;
  TOrientation orientation_ = orHorizontal;
  TUnsignedLongint partsComplete_ = 0;
  uint16_t percent_ = 0;
  bool showParts_ = false;
  bool showPercent_ = true;
  bool themeAware_ = true;
  TUnsignedLongint totalParts_ = 0;
};

class TCtProgressBar : public TCtCustomProgressBar {
  QELO_VCL_CLASS()
 public:
  using TCtCustomProgressBar::TCtCustomProgressBar;
};

template <class C>
void TCtCustomProgressBar::PublishProgressProperties(vcl::ClassBuilder<C>& b) {
  PublishFrameControllerProperties(b);
  b.Color("BackColor", &C::BackColor, &C::SetBackColor)
      .Color("BackColorStop", &C::BackColorStop, &C::SetBackColorStop)
      .Color("BarColor", &C::BarColor, &C::SetBarColor)
      .Color("BarColorStop", &C::BarColorStop, &C::SetBarColorStop)
      .Enum("BarStyle", kBarStyleInfo, &C::BarStyle, &C::SetBarStyle)
      .Integer("BevelWidth", &C::BevelWidth, &C::SetBevelWidth)
      .Color("BorderColor", &C::BorderColor, &C::SetBorderColor)
      .Enum("BorderInner", kFrameStyleExInfo, &C::BorderInner, &C::SetBorderInner)
      .Enum("BorderOuter", kFrameStyleExInfo, &C::BorderOuter, &C::SetBorderOuter)
      .Integer("BorderWidth", &C::BorderWidth, &C::SetBorderWidth)
      .Color("FlatColor", &C::FlatColor, &C::SetFlatColor)
      .Integer("FlatColorAdjustment", &C::FlatColorAdjustment, &C::SetFlatColorAdjustment)
      .Enum("GradientDirection", kGradientDirectionInfo, &C::GradientDirection, &C::SetGradientDirection)
      .Integer("InteriorOffset", &C::InteriorOffset, &C::SetInteriorOffset)
      .Integer("NumSegments", &C::NumSegments, &C::SetNumSegments)
      .Enum("Orientation", kOrientationInfo, &C::Orientation, &C::SetOrientation)
      .Integer("PartsComplete", &C::PartsComplete, &C::SetPartsComplete)
      .Integer("Percent", &C::Percent, &C::SetPercent)
      .Boolean("ShowParts", &C::ShowParts, &C::SetShowParts)
      .Boolean("ShowPercent", &C::ShowPercent, &C::SetShowPercent)
      .Boolean("ThemeAware", &C::ThemeAware, &C::SetThemeAware)
      .Integer("TotalParts", &C::TotalParts, &C::SetTotalParts)
      .template Event<void(vcl::TObject*, int)>("OnChange", &C::OnChange);
}

// Registers TCtProgressBar with the class registry (once), so that form
// files can place it.
void RegisterCtProgressBarClasses();

}  // namespace qelo::ct
