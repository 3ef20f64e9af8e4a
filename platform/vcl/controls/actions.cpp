#include "vcl/controls/actions.h"

#include <algorithm>

#include "vcl/controls/controls.h"

namespace qelo::vcl {

// ---- actions ----------------------------------------------------------------------

const ClassInfo& TBasicAction::StaticClass() {
  static const ClassInfo info = ClassBuilder<TBasicAction>("TBasicAction", TComponent::StaticClass())
                                    .Event("OnExecute", &TBasicAction::OnExecute)
                                    .Done();
  return info;
}

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {}

// Clients drop their links when told of the action's removal; a link still
// here is only cut loose, so that it never points at a freed action.
TBasicAction::~TBasicAction() {
  for (TBasicActionLink* link : links_) link->action_ = nullptr;
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

void TBasicAction::Change() {
  ForEachLink([](TBasicActionLink& link) { link.Change(); });
}

// Over a copy, skipping links that went while earlier ones were told.
void TBasicAction::ForEachLink(const std::function<void(TBasicActionLink&)>& tell) {
  const std::vector<TBasicActionLink*> links = links_;
  for (TBasicActionLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) tell(*link);
}

void TBasicAction::RegisterChanges(TBasicActionLink* link) { links_.push_back(link); }

void TBasicAction::UnRegisterChanges(TBasicActionLink* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

const ClassInfo& TCustomAction::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCustomAction>("TCustomAction", TBasicAction::StaticClass())
                                    .String("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption)
                                    .Boolean("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked)
                                    .Boolean("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled)
                                    .Integer("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex)
                                    .Done();
  return info;
}

TCustomAction::TCustomAction(TComponent* owner) : TBasicAction(owner) {}

void TCustomAction::OfferToLinks(const std::function<void(TActionLink&)>& offer) {
  ForEachLink([&](TBasicActionLink& link) {
    if (auto* actionLink = dynamic_cast<TActionLink*>(&link)) offer(*actionLink);
  });
}

void TCustomAction::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  OfferToLinks([&](TActionLink& link) { link.SetCaption(caption); });
  caption_ = caption;
  Change();
}

void TCustomAction::SetChecked(bool checked) {
  if (checked == checked_) return;
  OfferToLinks([&](TActionLink& link) { link.SetChecked(checked); });
  checked_ = checked;
  Change();
}

void TCustomAction::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  OfferToLinks([&](TActionLink& link) { link.SetEnabled(enabled); });
  enabled_ = enabled;
  Change();
}

void TCustomAction::SetImageIndex(int index) {
  if (index == imageIndex_) return;
  OfferToLinks([&](TActionLink& link) { link.SetImageIndex(index); });
  imageIndex_ = index;
  Change();
}

bool TCustomAction::Execute() { return enabled_ && TBasicAction::Execute(); }

const ClassInfo& TAction::StaticClass() {
  static const ClassInfo info = ClassBuilder<TAction>("TAction", TCustomAction::StaticClass()).Done();
  return info;
}

// ---- links ------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* action) {
  if (action == action_) return;
  if (action_) action_->UnRegisterChanges(this);
  action_ = action;
  if (action) action->RegisterChanges(this);
}

bool TBasicActionLink::Execute() { return action_ && action_->Execute(); }

void TBasicActionLink::Change() {
  if (OnChange) OnChange(action_);
}

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(Action()); }

bool TActionLink::IsCaptionLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() const { return CustomAction() != nullptr; }

bool TControlActionLink::IsCaptionLinked() const {
  return TActionLink::IsCaptionLinked() && client_.Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() const {
  return TActionLink::IsEnabledLinked() && client_.Enabled() == CustomAction()->Enabled();
}

void TControlActionLink::SetCaption(const std::string& caption) {
  if (IsCaptionLinked()) client_.SetCaption(caption);
}

void TControlActionLink::SetEnabled(bool enabled) {
  if (IsEnabledLinked()) client_.SetEnabled(enabled);
}

TWinControlActionLink::TWinControlActionLink(TWinControl& client) : TControlActionLink(client) {}

void RegisterActionClasses() {
  static const bool registered = [] {
    RegisterClass(TAction::StaticClass());
    return true;
  }();
  (void)registered;
}

}  // namespace qelo::vcl
