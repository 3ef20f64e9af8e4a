#include "ct_common_controller.h"

#include <algorithm>
#include <array>

#include "ct_common_color.h"
#include "ct_common_types.h"
#include "vcl/form_file.h"

namespace qelo::ct {

using vcl::ClassBuilder;
using vcl::ClassInfo;
using vcl::PropKind;
using vcl::TColor;
using vcl::TControl;

const vcl::EnumInfo kFramingPreferenceInfo{"TFramingPreference", {"fpCustomFraming", "fpXPThemes"}};

namespace {

struct PushedProperty {
  std::string_view name;
  PropKind kind;
};

// By ordinal of TCtFrameControllerProperty.
constexpr std::array<PushedProperty, fcpAll> kPushed{{
    {"Color", PropKind::Color},
    {"FocusColor", PropKind::Color},
    {"DisabledColor", PropKind::Color},
    {"ReadOnlyColor", PropKind::Color},
    {"ReadOnlyColorOnFocus", PropKind::Boolean},
    {"ParentColor", PropKind::Boolean},
    {"FlatButtonColor", PropKind::Color},
    {"FlatButtons", PropKind::Boolean},
    {"FrameColor", PropKind::Color},
    {"FrameHotColor", PropKind::Color},
    {"FrameHotTrack", PropKind::Boolean},
    {"FrameHotStyle", PropKind::Enum},
    {"FrameSides", PropKind::Set},
    {"FrameStyle", PropKind::Enum},
    {"FrameVisible", PropKind::Boolean},
    {"FramingPreference", PropKind::Enum},
}};

// The order in which a push of everything reaches a control; Color only
// when the controller does not follow its parent's colour.
constexpr TCtFrameControllerProperty kPushAllOrder[] = {
    fcpDisabledColor, fcpReadOnlyColor, fcpReadOnlyColorOnFocus, fcpFocusColor, fcpFlatButtonColor,
    fcpFlatButtons,   fcpFrameColor,    fcpFrameHotColor,        fcpFrameHotTrack, fcpFrameHotStyle,
    fcpFrameSides,    fcpFrameStyle,    fcpFrameVisible,         fcpFramingPreference};

// Writes a value by published name; a control without the property, with
// one of another kind, or one that cannot take the value is left alone.
void WriteIfPublished(TControl& control, std::string_view name, PropKind kind, int64_t value) {
  const vcl::PropInfo* prop = vcl::GetPropInfo(control, name);
  if (!prop || prop->kind != kind || !vcl::OrdValueInRange(*prop, value)) return;
  prop->setOrd(control, value);
}

std::vector<std::string> NotificationNames() {
  std::vector<std::string> names;
  for (const PushedProperty& p : kPushed) names.push_back("fcp" + std::string(p.name));
  return names;
}

}  // namespace

const vcl::EnumInfo kFrameControllerNotificationInfo{"TCtFrameControllerProperty", NotificationNames()};

TCtFrameControllerNotifications FrameControllerNotificationsOf(const TControl& control) {
  const vcl::PropInfo* prop = vcl::GetPropInfo(control, "FrameControllerNotifications");
  if (!prop || !prop->getOrd) return kAllFrameControllerNotifications;
  return TCtFrameControllerNotifications::FromMask(static_cast<uint32_t>(prop->getOrd(control)) & 0xFFFF);
}

// ---- the controller ------------------------------------------------------------

const ClassInfo& TCtFrameController::StaticClass() {
  static const ClassInfo info = [] {
    using C = TCtFrameController;
    ClassBuilder<C> b("TCtFrameController", vcl::TComponent::StaticClass());
    b.Color("Color", &C::Color, &C::SetColor)
        .Stored("Color", [](const C& c) { return !c.ParentColor(); })
        .Boolean("ParentColor", &C::ParentColor, &C::SetParentColor)
        .Color("FlatButtonColor", &C::FlatButtonColor, &C::SetFlatButtonColor)
        .Boolean("FlatButtons", &C::FlatButtons, &C::SetFlatButtons)
        .Color("DisabledColor", &C::DisabledColor, &C::SetDisabledColor)
        .Color("ReadOnlyColor", &C::ReadOnlyColor, &C::SetReadOnlyColor)
        .Boolean("ReadOnlyColorOnFocus", &C::ReadOnlyColorOnFocus, &C::SetReadOnlyColorOnFocus)
        .Color("FocusColor", &C::FocusColor, &C::SetFocusColor)
        .Color("FrameColor", &C::FrameColor, &C::SetFrameColor)
        .Color("FrameHotColor", &C::FrameHotColor, &C::SetFrameHotColor)
        .Boolean("FrameHotTrack", &C::FrameHotTrack, &C::SetFrameHotTrack)
        .Enum("FrameHotStyle", kFrameStyleExInfo, &C::FrameHotStyle, &C::SetFrameHotStyle)
        .Set("FrameSides", kSideInfo, &C::FrameSides, &C::SetFrameSides)
        .Enum("FrameStyle", kFrameStyleExInfo, &C::FrameStyle, &C::SetFrameStyle)
        .Boolean("FrameVisible", &C::FrameVisible, &C::SetFrameVisible)
        .Enum("FramingPreference", kFramingPreferenceInfo, &C::FramingPreference, &C::SetFramingPreference)
        .Component<TCtRegIniFile>("RegIniFile", &C::RegIniFile, &C::SetRegIniFile);
    AddObsoleteFrameProperties(b);
    return b.Done();
  }();
  return info;
}

TCtFrameController::TCtFrameController(vcl::TComponent* owner) : vcl::TComponent(owner) {}

TCtFrameController::~TCtFrameController() = default;

bool TCtFrameController::HasControl(const TControl* control) const {
  return controls_ && std::find(controls_->begin(), controls_->end(), control) != controls_->end();
}

// The controller is told when a registered control goes, so that a control
// freed without leaving never stays in the list.
void TCtFrameController::AddControl(TControl* control) {
  if (!control) return;
  if (!controls_) controls_ = std::make_unique<std::vector<TControl*>>();
  if (!HasControl(control)) controls_->push_back(control);
  FreeNotification(control);
  UpdateControlFrame(control, fcpAll);
}

void TCtFrameController::RemoveControl(TControl* control) {
  if (!controls_) return;
  std::erase(*controls_, control);
  if (controls_->empty()) controls_.reset();
}

void TCtFrameController::BeginUpdate() { ++updateCount_; }

void TCtFrameController::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) UpdateControls(fcpAll);
}

void TCtFrameController::Assign(const vcl::TPersistent* source) {
  const auto* other = dynamic_cast<const TCtFrameController*>(source);
  if (!other) return vcl::TComponent::Assign(source);
  BeginUpdate();
  color_ = other->color_;
  disabledColor_ = other->disabledColor_;
  readOnlyColor_ = other->readOnlyColor_;
  readOnlyColorOnFocus_ = other->readOnlyColorOnFocus_;
  flatButtonColor_ = other->flatButtonColor_;
  flatButtons_ = other->flatButtons_;
  focusColor_ = other->focusColor_;
  frameColor_ = other->frameColor_;
  frameHotColor_ = other->frameHotColor_;
  frameHotStyle_ = other->frameHotStyle_;
  frameHotTrack_ = other->frameHotTrack_;
  frameSides_ = other->frameSides_;
  frameStyle_ = other->frameStyle_;
  frameVisible_ = other->frameVisible_;
  framingPreference_ = other->framingPreference_;
  parentColor_ = other->parentColor_;
  EndUpdate();
}

void TCtFrameController::Loaded() {
  vcl::TComponent::Loaded();
  UpdateControls(fcpAll);
}

void TCtFrameController::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  vcl::TComponent::Notification(component, operation);
  if (operation != vcl::opRemove) return;
  if (component == regIniFile_) regIniFile_ = nullptr;
  // Matched by address: a control deleted outside Free is told to us while
  // only its component part is left.
  if (!controls_) return;
  std::erase_if(*controls_, [component](TControl* c) { return static_cast<vcl::TComponent*>(c) == component; });
  if (controls_->empty()) controls_.reset();
}

int64_t TCtFrameController::PropertyValue(TCtFrameControllerProperty property) const {
  switch (property) {
    case fcpColor: return color_;
    case fcpFocusColor: return focusColor_;
    case fcpDisabledColor: return disabledColor_;
    case fcpReadOnlyColor: return readOnlyColor_;
    case fcpReadOnlyColorOnFocus: return readOnlyColorOnFocus_;
    case fcpParentColor: return parentColor_;
    case fcpFlatButtonColor: return flatButtonColor_;
    case fcpFlatButtons: return flatButtons_;
    case fcpFrameColor: return frameColor_;
    case fcpFrameHotColor: return frameHotColor_;
    case fcpFrameHotTrack: return frameHotTrack_;
    case fcpFrameHotStyle: return frameHotStyle_;
    case fcpFrameSides: return frameSides_.Mask();
    case fcpFrameStyle: return frameStyle_;
    case fcpFrameVisible: return frameVisible_;
    case fcpFramingPreference: return framingPreference_;
    case fcpAll: break;
  }
  return 0;
}

void TCtFrameController::Push(TControl& control, TCtFrameControllerProperty property,
                              TCtFrameControllerNotifications mask) const {
  if (property >= fcpAll || !mask.Contains(property)) return;
  WriteIfPublished(control, kPushed[property].name, kPushed[property].kind, PropertyValue(property));
}

void TCtFrameController::UpdateControlFrame(TControl* control, TCtFrameControllerProperty property) {
  if (!control) return;
  if (auto* client = dynamic_cast<ICtFrameControllerClient*>(control)) {
    client->UpdateFrameFromController();
    return;
  }
  const TCtFrameControllerNotifications mask = FrameControllerNotificationsOf(*control);
  if (property != fcpAll) return Push(*control, property, mask);
  Push(*control, fcpParentColor, mask);
  if (!parentColor_) Push(*control, fcpColor, mask);
  for (TCtFrameControllerProperty p : kPushAllOrder) Push(*control, p, mask);
}

// A control's setter may register or unregister controls: each control
// still registered when its turn comes is updated.
void TCtFrameController::UpdateControls(TCtFrameControllerProperty property) {
  if (updateCount_ > 0 || !controls_) return;
  const std::vector<TControl*> registered = *controls_;
  for (TControl* control : registered)
    if (HasControl(control)) UpdateControlFrame(control, property);
}

template <class T>
bool TCtFrameController::Change(T& field, T value, TCtFrameControllerProperty property) {
  if (field == value) return false;
  field = value;
  UpdateControls(property);
  return true;
}

void TCtFrameController::SetColor(TColor color) {
  if (color == color_) return;
  if (focusColor_ == color_) focusColor_ = color;
  color_ = color;
  parentColor_ = false;
  UpdateControls(fcpColor);
}

void TCtFrameController::SetParentColor(bool value) {
  if (Change(parentColor_, value, fcpParentColor) && !value) UpdateControls(fcpColor);
}

void TCtFrameController::SetFlatButtonColor(TColor color) { Change(flatButtonColor_, color, fcpFlatButtonColor); }
void TCtFrameController::SetFlatButtons(bool value) { Change(flatButtons_, value, fcpFlatButtons); }
void TCtFrameController::SetDisabledColor(TColor color) { Change(disabledColor_, color, fcpDisabledColor); }
void TCtFrameController::SetReadOnlyColor(TColor color) { Change(readOnlyColor_, color, fcpReadOnlyColor); }
void TCtFrameController::SetReadOnlyColorOnFocus(bool value) {
  Change(readOnlyColorOnFocus_, value, fcpReadOnlyColorOnFocus);
}
void TCtFrameController::SetFocusColor(TColor color) { Change(focusColor_, color, fcpFocusColor); }
void TCtFrameController::SetFrameColor(TColor color) { Change(frameColor_, color, fcpFrameColor); }
void TCtFrameController::SetFrameHotColor(TColor color) { Change(frameHotColor_, color, fcpFrameHotColor); }
void TCtFrameController::SetFrameHotStyle(TFrameStyleEx style) { Change(frameHotStyle_, style, fcpFrameHotStyle); }
void TCtFrameController::SetFrameSides(TSides sides) { Change(frameSides_, sides, fcpFrameSides); }
void TCtFrameController::SetFrameStyle(TFrameStyleEx style) { Change(frameStyle_, style, fcpFrameStyle); }
void TCtFrameController::SetFrameVisible(bool value) { Change(frameVisible_, value, fcpFrameVisible); }
void TCtFrameController::SetFramingPreference(TFramingPreference value) {
  Change(framingPreference_, value, fcpFramingPreference);
}

// Hot tracking shows the frame on all four sides; the sides are pushed like
// any other change, so that controls that take the sides but not the hot
// tracking keep in step with the controller.
void TCtFrameController::SetFrameHotTrack(bool value) {
  if (!StoreChanged(frameHotTrack_, value)) return;
  if (value) {
    SetFrameVisible(true);
    if (!ComponentState().Contains(vcl::csLoading)) SetFrameSides(kAllSides);
  }
  UpdateControls(fcpFrameHotTrack);
}

void TCtFrameController::SetRegIniFile(TCtRegIniFile* regIniFile) {
  if (regIniFile == regIniFile_) return;
  if (regIniFile_) regIniFile_->RemoveFreeNotification(this);
  regIniFile_ = regIniFile;
  if (regIniFile) regIniFile->FreeNotification(this);
}

// ---- a control's link ------------------------------------------------------------------

TCtFrameControllerLink::~TCtFrameControllerLink() {
  if (controller_) controller_->RemoveControl(&control_);
}

void TCtFrameControllerLink::SetController(TCtFrameController* controller) {
  if (controller == controller_) return;
  if (controller_) {
    controller_->RemoveControl(&control_);
    controller_->RemoveFreeNotification(&control_);
  }
  controller_ = controller;
  if (!controller) return;
  struct ApplyingScope {
    bool& flag;
    explicit ApplyingScope(bool& f) : flag(f) { flag = true; }
    ~ApplyingScope() { flag = false; }
  } applying(applying_);
  controller->AddControl(&control_);
  controller->FreeNotification(&control_);
}

void TCtFrameControllerLink::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  if (operation == vcl::opRemove && component == controller_) controller_ = nullptr;
}

// ---- obsolete properties ----------------------------------------------------------

namespace {

bool BooleanOf(const vcl::FormValue& value) {
  if (value.type == vcl::FormValue::Type::Identifier) {
    if (vcl::SameText(value.text, "True")) return true;
    if (vcl::SameText(value.text, "False")) return false;
  }
  throw vcl::EPropertyError("Invalid property value for FrameFlat: True or False expected");
}

}  // namespace

void ReadObsoleteFrameFlat(vcl::TObject& self, const vcl::FormValue& value) {
  const bool flat = BooleanOf(value);
  vcl::SetOrdProp(self, "FrameHotTrack", flat);
  if (!flat) return;
  vcl::SetOrdProp(self, "FrameStyle", fsStatus);
  vcl::SetOrdProp(self, "FrameHotStyle", fsLowered);
}

void ReadObsoleteFrameFocusStyle(vcl::TObject& self, const vcl::FormValue& value) {
  if (value.type != vcl::FormValue::Type::Identifier)
    throw vcl::EPropertyError("Invalid property value for FrameFocusStyle: a frame style name expected");
  vcl::SetEnumProp(self, "FrameHotStyle", value.text);
}

// ---- labels and panels --------------------------------------------------------------

void UpdateStyledFrameFromController(TControl& control, const TCtFrameController& controller) {
  if (!controller.FrameVisible()) return;
  const TCtFrameControllerNotifications mask = FrameControllerNotificationsOf(control);
  if (mask.Contains(fcpFrameStyle)) WriteIfPublished(control, "BorderOuter", PropKind::Enum, controller.FrameStyle());
  if (mask.Contains(fcpFrameSides))
    WriteIfPublished(control, "BorderSides", PropKind::Set, controller.FrameSides().Mask());
  if (mask.Contains(fcpFrameColor)) {
    WriteIfPublished(control, "FlatColor", PropKind::Color, controller.FrameColor());
    WriteIfPublished(control, "FlatColorAdjustment", PropKind::Integer, 0);
  }
  if (mask.Contains(fcpColor)) WriteIfPublished(control, "Color", PropKind::Color, controller.Color());
  if (mask.Contains(fcpParentColor)) WriteIfPublished(control, "ParentColor", PropKind::Boolean, controller.ParentColor());
  if (mask.Contains(fcpColor)) {
    WriteIfPublished(control, "BorderHighlight", PropKind::Color, LightenColor(control.Color(), 100));
    WriteIfPublished(control, "BorderShadow", PropKind::Color, DarkenColor(control.Color(), 50));
  }
  control.Invalidate();
}

void RegisterCtCommonClasses() {
  vcl::RegisterClasses({&TCtFrameController::StaticClass(), &TCtRegIniFile::StaticClass()});
}

}  // namespace qelo::ct
