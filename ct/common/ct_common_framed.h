// The framed-control protocol of the windowed controls (edit, combo box,
// list view, tree view), written once: TCtFramedControl<Base> adds to a
// windowed control of the framework
//   - the framed-control property set (colours of the states, the frame's
//     styles, colours and sides, hot tracking, the frame controller and its
//     notification mask), published by PublishFrameProperties with the
//     obsolete names of older forms and the storage rule;
//   - the frame painted over the two-pixel non-client band on WM_NCPAINT,
//     in the hot style while hot tracking finds the control focused or under
//     the mouse;
//   - the state colours: the control keeps a normal colour and shows
//     DisabledColor while disabled, FocusColor while focused (descendants
//     add their own states through StateColor).
// The published "Color" of a framed control is its normal colour, so that
// a form written while the control shows another state keeps the colour it
// returns to.
#pragma once

#include "ct_common_controller.h"
#include "ct_common_types.h"
#include "vcl/controls/themes.h"
#include "vcl/graphics/graphics.h"

namespace qelo::ct {

// Properties some framed controls publish beyond the common set.
enum TCtFramedExtra { fxReadOnlyColors, fxFlatButtons };
using TCtFramedExtras = vcl::TSet<TCtFramedExtra>;

// Paints the non-client frame of a framed window on its window context.
void PaintFramedControlFrame(vcl::TWinControl& control, vcl::TCanvas& canvas, TFrameStyleEx style,
                             vcl::TColor frameColor, TSides sides);
// Asks the window to repaint its frame (nothing before it has a window or
// while it is being read).
void RedrawFramedControlFrame(vcl::TWinControl& control);

template <class Base>
class TCtFramedControl : public Base {
 public:
  explicit TCtFramedControl(vcl::TComponent* owner) : Base(owner), normalColor_(Base::Color()), link_(*this) {}

  // ---- colours ----
  vcl::TColor NormalColor() const { return normalColor_; }
  // Setting the normal colour clears ParentColor, moves FocusColor along
  // when it equalled the old normal colour, and shows the state's colour.
  void SetNormalColor(vcl::TColor color);
  vcl::TColor DisabledColor() const { return disabledColor_; }
  virtual void SetDisabledColor(vcl::TColor color) { ChangeColor(disabledColor_, color); }
  vcl::TColor FocusColor() const { return focusColor_; }
  virtual void SetFocusColor(vcl::TColor color) { ChangeColor(focusColor_, color); }
  vcl::TColor ReadOnlyColor() const { return readOnlyColor_; }
  virtual void SetReadOnlyColor(vcl::TColor color) { ChangeColor(readOnlyColor_, color); }
  bool ReadOnlyColorOnFocus() const { return readOnlyColorOnFocus_; }
  virtual void SetReadOnlyColorOnFocus(bool value) { ChangeColor(readOnlyColorOnFocus_, value); }
  vcl::TColor FlatButtonColor() const { return flatButtonColor_; }
  virtual void SetFlatButtonColor(vcl::TColor color) { ChangeFrame(flatButtonColor_, color); }
  bool FlatButtons() const { return flatButtons_; }
  virtual void SetFlatButtons(bool value) { ChangeFrame(flatButtons_, value); }

  // ---- frame ----
  vcl::TColor FrameColor() const { return frameColor_; }
  virtual void SetFrameColor(vcl::TColor color) { ChangeFrame(frameColor_, color); }
  vcl::TColor FrameHotColor() const { return frameHotColor_; }
  virtual void SetFrameHotColor(vcl::TColor color) { ChangeFrame(frameHotColor_, color); }
  bool FrameHotTrack() const { return frameHotTrack_; }
  virtual void SetFrameHotTrack(bool value);
  TFrameStyle FrameHotStyle() const { return frameHotStyle_; }
  virtual void SetFrameHotStyle(TFrameStyle style) { ChangeFrame(frameHotStyle_, style); }
  TSides FrameSides() const { return frameSides_; }
  virtual void SetFrameSides(TSides sides) { ChangeFrame(frameSides_, sides); }
  TFrameStyle FrameStyle() const { return frameStyle_; }
  virtual void SetFrameStyle(TFrameStyle style) { ChangeFrame(frameStyle_, style); }
  bool FrameVisible() const { return frameVisible_; }
  virtual void SetFrameVisible(bool value) { ChangeFrame(frameVisible_, value); }
  TFramingPreference FramingPreference() const { return framingPreference_; }
  virtual void SetFramingPreference(TFramingPreference value) { ChangeFrame(framingPreference_, value); }

  TCtFrameController* FrameController() const { return link_.Controller(); }
  virtual void SetFrameController(TCtFrameController* controller) { link_.SetController(controller); }
  TCtFrameControllerNotifications FrameControllerNotifications() const { return link_.Notifications(); }
  void SetFrameControllerNotifications(TCtFrameControllerNotifications mask) { link_.SetNotifications(mask); }
  const TCtFrameControllerLink& FrameControllerLink() const { return link_; }

  // The platform draws themed borders instead of the custom frame.
  bool UseThemes() const { return framingPreference_ == fpXPThemes && vcl::ThemeServices()->ThemesEnabled(); }
  bool MouseOver() const { return mouseOver_; }
  // The frame shows its hot style and colour.
  bool FrameHot() const { return frameHotTrack_ && (mouseOver_ || this->Focused()); }

  // Adds the property set to a framed class C's registration, with the
  // obsolete names and the storage rule.
  template <class C>
  static void PublishFrameProperties(vcl::ClassBuilder<C>& builder, TCtFramedExtras extras = {});

 protected:
  // The colour the control shows in its present state.
  virtual vcl::TColor StateColor() const {
    if (!this->Enabled()) return disabledColor_;
    if (this->Focused()) return focusColor_;
    return normalColor_;
  }
  // Shows the state's colour (not while the control is being read).
  virtual void UpdateColors();
  // Mouse over or focus changed: redraws a hot-tracked frame and updates
  // the colours.
  virtual void UpdateFrameState(bool setMouseOver, bool mouseOver);
  virtual void RepaintFrame() { RedrawFramedControlFrame(*this); }

  void Dispatch(vcl::TMessage& m) override;
  void Loaded() override {
    Base::Loaded();
    UpdateFrameState(false, false);
  }
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override {
    Base::Notification(component, operation);
    link_.Notification(component, operation);
  }

 private:
  bool Loading() const { return this->ComponentState().Contains(vcl::csLoading); }
  template <class T>
  void ChangeFrame(T& field, T value) {
    if (field == value) return;
    field = value;
    RepaintFrame();
  }
  template <class T>
  void ChangeColor(T& field, T value) {
    if (field == value) return;
    field = value;
    UpdateColors();
  }
  void ColorChanged();
  void PaintFrame(vcl::TMessage& m);

  vcl::TColor normalColor_;
  vcl::TColor disabledColor_ = vcl::clBtnFace;
  vcl::TColor focusColor_ = vcl::clWindow;
  vcl::TColor readOnlyColor_ = vcl::clInfoBk;
  bool readOnlyColorOnFocus_ = false;
  vcl::TColor flatButtonColor_ = vcl::clBtnFace;
  bool flatButtons_ = true;
  vcl::TColor frameColor_ = vcl::clBtnShadow;
  vcl::TColor frameHotColor_ = vcl::clBtnShadow;
  bool frameHotTrack_ = false;
  TFrameStyle frameHotStyle_ = fsFlatBold;
  TSides frameSides_ = kAllSides;
  TFrameStyle frameStyle_ = fsFlat;
  bool frameVisible_ = false;
  TFramingPreference framingPreference_ = fpXPThemes;
  bool mouseOver_ = false;
  bool updatingColors_ = false;  // set while the control changes its own Color
  vcl::TCanvas frameCanvas_;
  TCtFrameControllerLink link_;
};

// ---- implementation ---------------------------------------------------------------

template <class Base>
void TCtFramedControl<Base>::SetNormalColor(vcl::TColor color) {
  if (color == normalColor_) return;
  if (focusColor_ == normalColor_) focusColor_ = color;
  normalColor_ = color;
  Base::SetParentColor(false);
  UpdateColors();
}

template <class Base>
void TCtFramedControl<Base>::SetFrameHotTrack(bool value) {
  if (!StoreChanged(frameHotTrack_, value)) return;
  if (value) {
    SetFrameVisible(true);
    if (!Loading()) SetFrameSides(kAllSides);
  }
  RepaintFrame();
  this->Invalidate();
}

template <class Base>
void TCtFramedControl<Base>::UpdateColors() {
  if (Loading()) return;
  const vcl::TColor shown = StateColor();
  if (Base::Color() == shown) return;
  struct UpdatingScope {
    bool& flag;
    explicit UpdatingScope(bool& f) : flag(f) { flag = true; }
    ~UpdatingScope() { flag = false; }
  } updating(updatingColors_);
  Base::SetColor(shown);
}

template <class Base>
void TCtFramedControl<Base>::UpdateFrameState(bool setMouseOver, bool mouseOver) {
  if (setMouseOver) mouseOver_ = mouseOver;
  if (frameHotTrack_) RepaintFrame();
  UpdateColors();
}

// A colour the control did not set itself (a parent's, or one given in
// code) becomes the normal colour; the state's colour is then shown again.
template <class Base>
void TCtFramedControl<Base>::ColorChanged() {
  if (!updatingColors_) {
    const vcl::TColor color = Base::Color();
    if (focusColor_ == normalColor_) focusColor_ = color;
    normalColor_ = color;
    UpdateColors();
  }
  if (frameVisible_ && !UseThemes()) RepaintFrame();
}

template <class Base>
void TCtFramedControl<Base>::PaintFrame(vcl::TMessage& m) {
  if (!frameVisible_ || UseThemes()) return;
  const bool hot = FrameHot();
  PaintFramedControlFrame(*this, frameCanvas_, hot ? frameHotStyle_ : frameStyle_,
                          hot ? frameHotColor_ : frameColor_, frameSides_);
  m.Result = 0;
}

template <class Base>
void TCtFramedControl<Base>::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case vcl::CM_ENTER:
      UpdateFrameState(false, true);
      return Base::Dispatch(m);
    case vcl::CM_EXIT:
      Base::Dispatch(m);
      return UpdateFrameState(false, false);
    case vcl::CM_MOUSEENTER:
      Base::Dispatch(m);
      if (!this->ComponentState().Contains(vcl::csDesigning)) UpdateFrameState(true, true);
      return;
    case vcl::CM_MOUSELEAVE:
      Base::Dispatch(m);
      return UpdateFrameState(true, false);
    case vcl::CM_COLORCHANGED:
      Base::Dispatch(m);
      return ColorChanged();
    case vcl::CM_ENABLEDCHANGED:
      Base::Dispatch(m);
      return UpdateColors();
    case win::WM_NCPAINT:
      Base::Dispatch(m);
      return PaintFrame(m);
    case win::WM_SIZE:
      Base::Dispatch(m);
      if (frameVisible_ && !UseThemes()) RepaintFrame();
      return;
    default:
      return Base::Dispatch(m);
  }
}

template <class Base>
template <class C>
void TCtFramedControl<Base>::PublishFrameProperties(vcl::ClassBuilder<C>& b, TCtFramedExtras extras) {
  // A value the controller supplies is not written; besides, FocusColor is
  // written only when it differs from the normal colour.
  auto own = [](TCtFrameControllerProperty p) {
    return [p](const C& c) { return !c.FrameControllerLink().Supplies(p); };
  };
  b.Color("Color", &C::NormalColor, &C::SetNormalColor)
      .Stored("Color", own(fcpColor))
      .Color("DisabledColor", &C::DisabledColor, &C::SetDisabledColor)
      .Stored("DisabledColor", own(fcpDisabledColor))
      .Color("FocusColor", &C::FocusColor, &C::SetFocusColor)
      .Stored("FocusColor",
              [](const C& c) {
                return !c.FrameControllerLink().Supplies(fcpFocusColor) &&
                       vcl::ColorToRGB(c.FocusColor()) != vcl::ColorToRGB(c.NormalColor());
              })
      .Color("FrameColor", &C::FrameColor, &C::SetFrameColor)
      .Stored("FrameColor", own(fcpFrameColor));
  PublishFrameControllerProperties(b)
      .Color("FrameHotColor", &C::FrameHotColor, &C::SetFrameHotColor)
      .Stored("FrameHotColor", own(fcpFrameHotColor))
      .Boolean("FrameHotTrack", &C::FrameHotTrack, &C::SetFrameHotTrack)
      .Stored("FrameHotTrack", own(fcpFrameHotTrack))
      .Enum("FrameHotStyle", kFrameStyleInfo, &C::FrameHotStyle, &C::SetFrameHotStyle)
      .Stored("FrameHotStyle", own(fcpFrameHotStyle))
      .Set("FrameSides", kSideInfo, &C::FrameSides, &C::SetFrameSides)
      .Stored("FrameSides", own(fcpFrameSides))
      .Enum("FrameStyle", kFrameStyleInfo, &C::FrameStyle, &C::SetFrameStyle)
      .Stored("FrameStyle", own(fcpFrameStyle))
      .Boolean("FrameVisible", &C::FrameVisible, &C::SetFrameVisible)
      .Stored("FrameVisible", own(fcpFrameVisible))
      .Enum("FramingPreference", kFramingPreferenceInfo, &C::FramingPreference, &C::SetFramingPreference)
      .Stored("FramingPreference", own(fcpFramingPreference));
  if (extras.Contains(fxReadOnlyColors)) {
    b.Color("ReadOnlyColor", &C::ReadOnlyColor, &C::SetReadOnlyColor)
        .Stored("ReadOnlyColor", own(fcpReadOnlyColor))
        .Boolean("ReadOnlyColorOnFocus", &C::ReadOnlyColorOnFocus, &C::SetReadOnlyColorOnFocus)
        .Stored("ReadOnlyColorOnFocus", own(fcpReadOnlyColorOnFocus));
  }
  if (extras.Contains(fxFlatButtons)) {
    b.Color("FlatButtonColor", &C::FlatButtonColor, &C::SetFlatButtonColor)
        .Stored("FlatButtonColor", own(fcpFlatButtonColor))
        .Boolean("FlatButtons", &C::FlatButtons, &C::SetFlatButtons)
        .Stored("FlatButtons", own(fcpFlatButtons));
  }
  AddObsoleteFrameProperties(b);
}

}  // namespace qelo::ct
