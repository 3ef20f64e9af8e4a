// What the composite border takes from a control's edges, and the border
// settings, for the controls that lay out text or children inside it
// (labels, panels).
#pragma once

#include "ct_common_borders.h"
#include "ct_common_frames.h"
#include "ct_common_types.h"
#include "vcl/typeinfo.h"

namespace qelo::ct {

// Pixels one frame style takes on each side it is drawn on: fsFlat 1,
// fsStatus and fsPopup the bevel width, the others but fsNone 2.
int FrameStyleWidth(TFrameStyleEx style, int bevelWidth);

// The rectangle moved in on the chosen sides by the outer and the inner
// style's widths.
TRect InsideFrameStyles(TRect rect, TFrameStyleEx outer, TFrameStyleEx inner, TSides sides, int bevelWidth);

// The composite border's settings that labels and panels publish. A new
// style or side changes the room inside the border; a new colour only
// repaints it. The control says what each change does.
class TCtStyledBorderSettings {
 public:
  TFrameStyleEx BorderInner() const { return borderInner_; }
  virtual void SetBorderInner(TFrameStyleEx value) { Change(borderInner_, value, true); }
  TFrameStyleEx BorderOuter() const { return borderOuter_; }
  virtual void SetBorderOuter(TFrameStyleEx value) { Change(borderOuter_, value, true); }
  TSides BorderSides() const { return borderSides_; }
  virtual void SetBorderSides(TSides value) { Change(borderSides_, value, true); }
  TColor BorderColor() const { return borderColor_; }
  virtual void SetBorderColor(TColor value) { Change(borderColor_, value, false); }
  TColor BorderHighlight() const { return borderHighlight_; }
  virtual void SetBorderHighlight(TColor value) { Change(borderHighlight_, value, false); }
  TColor BorderShadow() const { return borderShadow_; }
  virtual void SetBorderShadow(TColor value) { Change(borderShadow_, value, false); }
  TColor FlatColor() const { return flatColor_; }
  virtual void SetFlatColor(TColor value) { Change(flatColor_, value, false); }
  int FlatColorAdjustment() const { return flatColorAdjustment_; }
  virtual void SetFlatColorAdjustment(int value) { Change(flatColorAdjustment_, value, false); }

 protected:
  explicit TCtStyledBorderSettings(TFrameStyleEx borderOuter) : borderOuter_(borderOuter) {}
  ~TCtStyledBorderSettings() = default;

  // A setting changed: one that moves the inside of the border (a style or
  // the sides), or one that only colours it.
  virtual void StyledBorderChanged(bool roomChanged) = 0;
  // The settings as the painter takes them; the control adds the rest.
  void CopyStyledBorderTo(TStyledFrame& frame) const;
  // The rectangle less the outer and inner styles on the chosen sides.
  TRect InsideBorderStyles(const TRect& rect, int bevelWidth) const;

 private:
  template <class T>
  void Change(T& field, const T& value, bool roomChanged) {
    if (StoreChanged(field, value)) StyledBorderChanged(roomChanged);
  }

  TFrameStyleEx borderInner_ = fsNone;
  TFrameStyleEx borderOuter_;
  TSides borderSides_ = kAllSides;
  TColor borderColor_ = vcl::clBtnFace;
  TColor borderHighlight_ = vcl::clBtnHighlight;
  TColor borderShadow_ = vcl::clBtnShadow;
  TColor flatColor_ = vcl::clBtnShadow;
  int flatColorAdjustment_ = 30;
};

// Adds the border settings to a class C's registration.
template <class C>
vcl::ClassBuilder<C>& PublishStyledBorderProperties(vcl::ClassBuilder<C>& builder) {
  return builder.Enum("BorderInner", kFrameStyleExInfo, &C::BorderInner, &C::SetBorderInner)
      .Enum("BorderOuter", kFrameStyleExInfo, &C::BorderOuter, &C::SetBorderOuter)
      .Set("BorderSides", kSideInfo, &C::BorderSides, &C::SetBorderSides)
      .Color("BorderColor", &C::BorderColor, &C::SetBorderColor)
      .Color("BorderHighlight", &C::BorderHighlight, &C::SetBorderHighlight)
      .Color("BorderShadow", &C::BorderShadow, &C::SetBorderShadow)
      .Color("FlatColor", &C::FlatColor, &C::SetFlatColor)
      .Integer("FlatColorAdjustment", &C::FlatColorAdjustment, &C::SetFlatColorAdjustment);
}

}  // namespace qelo::ct
