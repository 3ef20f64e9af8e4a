// The frame controller: a non-visual component holding one set of frame and
// colour settings that it pushes to every control registered with it, so
// that the framed controls of a form share one look. A control takes the
// settings either itself (ICtFrameControllerClient) or through its published
// properties of the same names, under its published notification mask
// "FrameControllerNotifications"; a control without one of the properties,
// or one that cannot take the value, is skipped for it.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "ct_common_frames.h"
#include "ct_common_regini.h"
#include "vcl/controls/controls.h"

namespace qelo::ct {

enum TFramingPreference { fpCustomFraming, fpXPThemes };
extern const vcl::EnumInfo kFramingPreferenceInfo;

enum TCtFrameControllerProperty {
  fcpColor, fcpFocusColor, fcpDisabledColor, fcpReadOnlyColor, fcpReadOnlyColorOnFocus, fcpParentColor,
  fcpFlatButtonColor, fcpFlatButtons, fcpFrameColor, fcpFrameHotColor, fcpFrameHotTrack, fcpFrameHotStyle,
  fcpFrameSides, fcpFrameStyle, fcpFrameVisible, fcpFramingPreference, fcpAll
};
// A set over the first sixteen properties, carried as a 16-bit mask.
using TCtFrameControllerNotifications = vcl::TSet<TCtFrameControllerProperty>;
inline constexpr TCtFrameControllerNotifications kAllFrameControllerNotifications =
    TCtFrameControllerNotifications::FromMask(0xFFFF);
// The names of the sixteen set members.
extern const vcl::EnumInfo kFrameControllerNotificationInfo;

// A control's published "FrameControllerNotifications", or all sixteen
// when it publishes none.
TCtFrameControllerNotifications FrameControllerNotificationsOf(const vcl::TControl& control);

// A control that takes the controller's settings itself.
class ICtFrameControllerClient {
 public:
  virtual void UpdateFrameFromController() = 0;

 protected:
  ~ICtFrameControllerClient() = default;
};

class TCtFrameController : public vcl::TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TCtFrameController(vcl::TComponent* owner);
  ~TCtFrameController() override;

  // Registers a control (once) and pushes every property to it.
  void AddControl(vcl::TControl* control);
  void RemoveControl(vcl::TControl* control);
  bool HasControl(const vcl::TControl* control) const;
  int ControlCount() const { return controls_ ? static_cast<int>(controls_->size()) : 0; }

  // Nest; the outermost EndUpdate pushes every property to every control.
  void BeginUpdate();
  void EndUpdate();

  // Copies the settings of another controller in one update.
  void Assign(const vcl::TPersistent* source) override;

  virtual void UpdateControlFrame(vcl::TControl* control, TCtFrameControllerProperty property);
  virtual void UpdateControls(TCtFrameControllerProperty property);

  vcl::TColor Color() const { return color_; }
  virtual void SetColor(vcl::TColor color);
  bool ParentColor() const { return parentColor_; }
  virtual void SetParentColor(bool value);
  vcl::TColor FlatButtonColor() const { return flatButtonColor_; }
  virtual void SetFlatButtonColor(vcl::TColor color);
  bool FlatButtons() const { return flatButtons_; }
  virtual void SetFlatButtons(bool value);
  vcl::TColor DisabledColor() const { return disabledColor_; }
  virtual void SetDisabledColor(vcl::TColor color);
  vcl::TColor ReadOnlyColor() const { return readOnlyColor_; }
  virtual void SetReadOnlyColor(vcl::TColor color);
  bool ReadOnlyColorOnFocus() const { return readOnlyColorOnFocus_; }
  virtual void SetReadOnlyColorOnFocus(bool value);
  vcl::TColor FocusColor() const { return focusColor_; }
  virtual void SetFocusColor(vcl::TColor color);
  vcl::TColor FrameColor() const { return frameColor_; }
  virtual void SetFrameColor(vcl::TColor color);
  vcl::TColor FrameHotColor() const { return frameHotColor_; }
  virtual void SetFrameHotColor(vcl::TColor color);
  bool FrameHotTrack() const { return frameHotTrack_; }
  virtual void SetFrameHotTrack(bool value);
  TFrameStyleEx FrameHotStyle() const { return frameHotStyle_; }
  virtual void SetFrameHotStyle(TFrameStyleEx style);
  TSides FrameSides() const { return frameSides_; }
  virtual void SetFrameSides(TSides sides);
  TFrameStyleEx FrameStyle() const { return frameStyle_; }
  virtual void SetFrameStyle(TFrameStyleEx style);
  bool FrameVisible() const { return frameVisible_; }
  virtual void SetFrameVisible(bool value);
  TFramingPreference FramingPreference() const { return framingPreference_; }
  virtual void SetFramingPreference(TFramingPreference value);
  TCtRegIniFile* RegIniFile() const { return regIniFile_; }
  virtual void SetRegIniFile(TCtRegIniFile* regIniFile);

  // The controller's value of a property as its published property carries
  // it: a colour, 0 or 1, an enumeration ordinal or a set's mask.
  int64_t PropertyValue(TCtFrameControllerProperty property) const;

 protected:
  void Loaded() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

 private:
  // Stores a changed value and pushes its property; false when unchanged.
  template <class T>
  bool Change(T& field, T value, TCtFrameControllerProperty property);
  void Push(vcl::TControl& control, TCtFrameControllerProperty property, TCtFrameControllerNotifications mask) const;

  int updateCount_ = 0;
  vcl::TColor color_ = vcl::clWindow;
  bool parentColor_ = false;
  vcl::TColor flatButtonColor_ = vcl::clBtnFace;
  bool flatButtons_ = true;
  vcl::TColor disabledColor_ = vcl::clBtnFace;
  vcl::TColor readOnlyColor_ = vcl::clInfoBk;
  bool readOnlyColorOnFocus_ = false;
  vcl::TColor focusColor_ = vcl::clWindow;
  vcl::TColor frameColor_ = vcl::clBtnShadow;
  vcl::TColor frameHotColor_ = vcl::clBtnShadow;
  bool frameHotTrack_ = false;
  TFrameStyleEx frameHotStyle_ = fsFlatBold;
  TSides frameSides_ = kAllSides;
  TFrameStyleEx frameStyle_ = fsFlat;
  bool frameVisible_ = false;
  TFramingPreference framingPreference_ = fpXPThemes;
  TCtRegIniFile* regIniFile_ = nullptr;
  // Made by the first registration, dropped when the last control leaves.
  std::unique_ptr<std::vector<vcl::TControl*>> controls_;
};

// A control's reference to its frame controller: setting it leaves the old
// controller, registers with the new one (which pushes every property) and
// asks to be told when the controller is freed. The control passes its
// Notification on, and the link leaves the controller when it goes.
class TCtFrameControllerLink {
 public:
  explicit TCtFrameControllerLink(vcl::TControl& control) : control_(control) {}
  ~TCtFrameControllerLink();
  TCtFrameControllerLink(const TCtFrameControllerLink&) = delete;
  TCtFrameControllerLink& operator=(const TCtFrameControllerLink&) = delete;

  TCtFrameController* Controller() const { return controller_; }
  void SetController(TCtFrameController* controller);
  // True while the new controller pushes its properties on registration.
  bool Applying() const { return applying_; }

  TCtFrameControllerNotifications Notifications() const { return notifications_; }
  void SetNotifications(TCtFrameControllerNotifications notifications) { notifications_ = notifications; }
  // Whether the controller supplies the property (a form then leaves it out).
  bool Supplies(TCtFrameControllerProperty property) const {
    return controller_ && notifications_.Contains(property);
  }

  void Notification(vcl::TComponent* component, vcl::TOperation operation);

 private:
  vcl::TControl& control_;
  TCtFrameController* controller_ = nullptr;
  TCtFrameControllerNotifications notifications_ = kAllFrameControllerNotifications;
  bool applying_ = false;
};

// A control that takes the controller's settings itself and holds its own
// link (labels, panels, progress bars): the published controller and mask
// read and write the link. The control passes its Notification on to the
// link.
class TCtFrameControllerClient : public ICtFrameControllerClient {
 public:
  TCtFrameController* FrameController() const { return link_.Controller(); }
  void SetFrameController(TCtFrameController* controller) { link_.SetController(controller); }
  TCtFrameControllerNotifications FrameControllerNotifications() const { return link_.Notifications(); }
  void SetFrameControllerNotifications(TCtFrameControllerNotifications mask) { link_.SetNotifications(mask); }

 protected:
  explicit TCtFrameControllerClient(vcl::TControl* control) : link_(*control) {}
  ~TCtFrameControllerClient() = default;
  TCtFrameControllerLink& FrameControllerLink() { return link_; }
  const TCtFrameControllerLink& FrameControllerLink() const { return link_; }

 private:
  TCtFrameControllerLink link_;
};

// Adds "FrameController" and "FrameControllerNotifications" to a class C's
// registration.
template <class C>
vcl::ClassBuilder<C>& PublishFrameControllerProperties(vcl::ClassBuilder<C>& builder) {
  return builder.template Component<TCtFrameController>("FrameController", &C::FrameController, &C::SetFrameController)
      .Set("FrameControllerNotifications", kFrameControllerNotificationInfo, &C::FrameControllerNotifications,
           &C::SetFrameControllerNotifications);
}

// The obsolete frame properties of older form files, read by the
// controller and by every framed control: "FrameFlat" (True: hot tracking,
// fsStatus frames and fsLowered hot frames), "FrameFocusStyle" (a style
// name that becomes FrameHotStyle) and "FrameFlatStyle" (dropped).
template <class C>
void AddObsoleteFrameProperties(vcl::ClassBuilder<C>& builder);

void ReadObsoleteFrameFlat(vcl::TObject& self, const vcl::FormValue& value);
void ReadObsoleteFrameFocusStyle(vcl::TObject& self, const vcl::FormValue& value);

template <class C>
void AddObsoleteFrameProperties(vcl::ClassBuilder<C>& builder) {
  builder.Defined("FrameFlat", ReadObsoleteFrameFlat)
      .Defined("FrameFocusStyle", ReadObsoleteFrameFocusStyle)
      .Skip("FrameFlatStyle");
}

// The client side of labels and panels: while the controller's frame is
// visible, its style, sides, colour and flat colour become the control's
// "BorderOuter", "BorderSides", "Color", "ParentColor", "FlatColor" (with
// "FlatColorAdjustment" 0), and the border's highlight and shadow follow the
// colour; the control is invalidated.
void UpdateStyledFrameFromController(vcl::TControl& control, const TCtFrameController& controller);

// Registers the components of this unit (once) so that form files can
// place them.
void RegisterCtCommonClasses();

}  // namespace qelo::ct
