#include "frame_probes.h"

#include "vcl/colors.h"

namespace qelo::ct::test {

using vcl::ClassBuilder;
using vcl::ClassInfo;

const ClassInfo& TPushProbe::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TPushProbe>("TPushProbe", vcl::TControl::StaticClass())
          .Color("FrameColor", &TPushProbe::FrameColor, &TPushProbe::SetFrameColor)
          .Boolean("FrameHotTrack", &TPushProbe::FrameHotTrack, &TPushProbe::SetFrameHotTrack)
          .Set("FrameSides", kSideInfo, &TPushProbe::FrameSides, &TPushProbe::SetFrameSides)
          .Enum("FrameStyle", kFrameStyleInfo, &TPushProbe::FrameStyle, &TPushProbe::SetFrameStyle)
          .Set("FrameControllerNotifications", kFrameControllerNotificationInfo,
               &TPushProbe::FrameControllerNotifications, &TPushProbe::SetFrameControllerNotifications)
          .Done();
  return info;
}

TPushProbe::TPushProbe(vcl::TComponent* owner) : vcl::TControl(owner) { SetParentColor(false); }

TPushProbe::~TPushProbe() = default;

void TPushProbe::SetFrameColor(vcl::TColor color) {
  frameColor_ = color;
  journal.push_back("FrameColor=" + vcl::ColorToString(color));
  if (onSet) onSet();
}

void TPushProbe::SetFrameHotTrack(bool value) {
  frameHotTrack_ = value;
  journal.push_back(std::string("FrameHotTrack=") + (value ? "1" : "0"));
  if (onSet) onSet();
}

void TPushProbe::SetFrameSides(TSides sides) {
  frameSides_ = sides;
  journal.push_back("FrameSides=" + std::to_string(sides.Mask()));
  if (onSet) onSet();
}

void TPushProbe::SetFrameStyle(TFrameStyle style) {
  frameStyle_ = style;
  journal.push_back("FrameStyle=" + kFrameStyleInfo.NameOf(style));
  if (onSet) onSet();
}

void TPushProbe::Dispatch(vcl::TMessage& m) {
  if (m.Msg == vcl::CM_COLORCHANGED) journal.push_back("Color=" + vcl::ColorToString(Color()));
  vcl::TControl::Dispatch(m);
}

const ClassInfo& TFramedProbe::StaticClass() {
  static const ClassInfo info = [] {
    ClassBuilder<TFramedProbe> b("TFramedProbe", vcl::TCustomControl::StaticClass());
    PublishFrameProperties(b, {fxReadOnlyColors});
    return b.Done();
  }();
  return info;
}

TFramedProbe::TFramedProbe(vcl::TComponent* owner) : TCtFramedControl<vcl::TCustomControl>(owner) {
  SetParentColor(false);
  SetTabStop(true);
}

void TFramedProbe::SetFrameColor(vcl::TColor color) {
  ++frameColorSets;
  TCtFramedControl<vcl::TCustomControl>::SetFrameColor(color);
}

void TFramedProbe::CreateParams(vcl::TCreateParams& params) {
  TCtFramedControl<vcl::TCustomControl>::CreateParams(params);
  params.ExStyle |= win::WS_EX_CLIENTEDGE;
}

const ClassInfo& TStyledClientProbe::StaticClass() {
  using C = TStyledClientProbe;
  static const ClassInfo info =
      ClassBuilder<C>("TStyledClientProbe", vcl::TGraphicControl::StaticClass())
          .Enum("BorderOuter", kFrameStyleExInfo, &C::BorderOuter, &C::SetBorderOuter)
          .Set("BorderSides", kSideInfo, &C::BorderSides, &C::SetBorderSides)
          .Color("FlatColor", &C::FlatColor, &C::SetFlatColor)
          .Integer("FlatColorAdjustment", &C::FlatColorAdjustment, &C::SetFlatColorAdjustment)
          .Color("BorderHighlight", &C::BorderHighlight, &C::SetBorderHighlight)
          .Color("BorderShadow", &C::BorderShadow, &C::SetBorderShadow)
          .Component<TCtFrameController>("FrameController", &C::FrameController, &C::SetFrameController)
          .Set("FrameControllerNotifications", kFrameControllerNotificationInfo, &C::FrameControllerNotifications,
               &C::SetFrameControllerNotifications)
          .Done();
  return info;
}

TStyledClientProbe::TStyledClientProbe(vcl::TComponent* owner) : vcl::TGraphicControl(owner) {}

void TStyledClientProbe::UpdateFrameFromController() {
  ++updates;
  if (TCtFrameController* controller = link_.Controller()) UpdateStyledFrameFromController(*this, *controller);
}

void TStyledClientProbe::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  vcl::TGraphicControl::Notification(component, operation);
  link_.Notification(component, operation);
}

void RegisterFrameProbes() {
  RegisterCtCommonClasses();
  vcl::RegisterClasses({&TPushProbe::StaticClass(), &TFramedProbe::StaticClass(), &TStyledClientProbe::StaticClass()});
}

}  // namespace qelo::ct::test
