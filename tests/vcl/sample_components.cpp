#include "sample_components.h"

#include <algorithm>

#include "vcl/form_file.h"

namespace qelo::vcl::test {

const EnumInfo kSampleAlignInfo{"TSampleAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
const EnumInfo kSampleSideInfo{"TSampleSide", {"sdLeft", "sdTop", "sdRight", "sdBottom"}};

std::vector<std::string>& EventLog() {
  static std::vector<std::string> log;
  return log;
}

const ClassInfo& TSampleFont::StaticClass() {
  static const ClassInfo info = ClassBuilder<TSampleFont>("TSampleFont", TGraphicsObject::StaticClass())
                                    .String("Name", &TSampleFont::Name, &TSampleFont::SetName)
                                    .Color("Color", &TSampleFont::Color, &TSampleFont::SetColor)
                                    .Done();
  return info;
}

void TSampleFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

void TSampleFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TSampleFont::Assign(const TPersistent* source) {
  const auto* font = dynamic_cast<const TSampleFont*>(source);
  if (!font) return TPersistent::Assign(source);
  name_ = font->name_;
  color_ = font->color_;
  Changed();
}

const ClassInfo& TSamplePanel::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TSamplePanel>("TSamplePanel", TComponent::StaticClass())
          .Integer("Width", &TSamplePanel::Width, &TSamplePanel::SetWidth)
          .Boolean("Visible", &TSamplePanel::Visible, &TSamplePanel::SetVisible)
          .String("Caption", &TSamplePanel::Caption, &TSamplePanel::SetCaption)
          .Color("Color", &TSamplePanel::Color, &TSamplePanel::SetColor)
          .Enum("Align", kSampleAlignInfo, &TSamplePanel::Align, &TSamplePanel::SetAlign)
          .Set("Sides", kSampleSideInfo, &TSamplePanel::Sides, &TSamplePanel::SetSides)
          .Image("Picture", &TSamplePanel::Picture, &TSamplePanel::SetPicture)
          .Boolean("HotTrack", &TSamplePanel::HotTrack, &TSamplePanel::SetHotTrack)
          .Object("Font", &TSamplePanel::Font)
          .Object("Items", &TSamplePanel::Items)
          .Component("Peer", &TSamplePanel::Peer, &TSamplePanel::SetPeer)
          .Event("OnClick", &TSamplePanel::OnClick)
          .Event("OnMove", &TSamplePanel::OnMove)
          .Skip("ThemeAware")
          .Defined("FrameFlat",
                   [](TObject& self, const FormValue& v) {
                     static_cast<TSamplePanel&>(self).SetHotTrack(FormBooleanValue(v));
                   })
          .Done();
  return info;
}

TSamplePanel::TSamplePanel(TComponent* owner)
    : TComponent(owner), font_(new TSampleFont), items_(new TStringList) {}

TSamplePanel::~TSamplePanel() {
  SetParentComponent(nullptr);
  for (TSamplePanel* child : children_) child->parent_ = nullptr;
  delete font_;
  delete items_;
}

void TSamplePanel::SetPeer(TSamplePanel* peer) {
  if (peer == peer_) return;
  if (peer_) peer_->RemoveFreeNotification(this);
  peer_ = peer;
  if (peer_) peer_->FreeNotification(this);
}

void TSamplePanel::SetParentComponent(TComponent* parent) {
  if (auto* old = dynamic_cast<TSamplePanel*>(parent_)) std::erase(old->children_, this);
  parent_ = parent;
  if (auto* now = dynamic_cast<TSamplePanel*>(parent)) now->children_.push_back(this);
}

void TSamplePanel::Loaded() {
  TComponent::Loaded();
  StateWhenLoaded = ComponentState();
  PeerSetWhenLoaded = peer_ != nullptr;
  EventLog().push_back("Loaded " + Name());
}

void TSamplePanel::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == peer_) peer_ = nullptr;
  if (component == parent_) parent_ = nullptr;
  std::erase(children_, component);
  EventLog().push_back("Notified " + Name() + " -" + component->Name());
}

const ClassInfo& TSampleAbstract::StaticClass() {
  static const ClassInfo info = ClassBuilder<TSampleAbstract>("TSampleAbstract", TComponent::StaticClass()).Done();
  return info;
}

const ClassInfo& TfrmSample::StaticClass() {
  static const ClassInfo info = ClassBuilder<TfrmSample>("TfrmSample", TComponent::StaticClass())
                                    .Field("pnlTop", &TfrmSample::pnlTop)
                                    .Field("pnlInner", &TfrmSample::pnlInner)
                                    .Method("PanelClick", &TfrmSample::PanelClick)
                                    .Method("PanelMoved", &TfrmSample::PanelMoved)
                                    .Done();
  return info;
}

void RegisterSampleClasses() {
  RegisterClasses({&TSamplePanel::StaticClass(), &TSampleAbstract::StaticClass(), &TfrmSample::StaticClass()});
}

}  // namespace qelo::vcl::test
