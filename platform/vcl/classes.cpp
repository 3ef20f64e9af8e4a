#include "vcl/classes.h"

#include <algorithm>
#include <cctype>

namespace qelo::vcl {

const ClassInfo& TObject::StaticClass() {
  static const ClassInfo info = ClassBuilder<TObject>("TObject", nullptr).Done();
  return info;
}

const std::string& TObject::ClassName() const { return ClassType().name; }

bool TObject::InheritsFrom(const ClassInfo& info) const { return ClassType().InheritsFrom(info); }

void TObject::Free() {
  BeforeDestruction();
  delete this;
}

const ClassInfo& TPersistent::StaticClass() {
  static const ClassInfo info = ClassBuilder<TPersistent>("TPersistent", TObject::StaticClass()).Done();
  return info;
}

void TPersistent::Assign(const TPersistent* source) {
  if (!source) throw EConvertError("Cannot assign a nil to a " + ClassName());
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const {
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + dest->ClassName());
}

const ClassInfo& TCollection::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCollection>("TCollection", TPersistent::StaticClass()).Done();
  return info;
}

const ClassInfo& TGraphicsObject::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TGraphicsObject>("TGraphicsObject", TPersistent::StaticClass()).Done();
  return info;
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

bool IsValidIdent(std::string_view name) {
  auto identStart = [](unsigned char c) { return std::isalpha(c) || c == '_'; };
  auto identChar = [](unsigned char c) { return std::isalnum(c) || c == '_'; };
  return !name.empty() && identStart(static_cast<unsigned char>(name[0])) &&
         std::all_of(name.begin() + 1, name.end(), [&](char c) { return identChar(static_cast<unsigned char>(c)); });
}

const ClassInfo& TComponent::StaticClass() {
  static const ClassInfo info = ClassBuilder<TComponent>("TComponent", TPersistent::StaticClass())
                                    .String("Name", &TComponent::Name, &TComponent::SetName)
                                    .Integer("Tag", &TComponent::Tag, &TComponent::SetTag)
                                    .Done();
  return info;
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() { TearDown(); }

void TComponent::BeforeDestruction() { TearDown(); }

// The owned components go first, then the owner forgets this one; peers that
// asked for free notification are told before anything is freed.
void TComponent::TearDown() {
  if (tornDown_) return;
  tornDown_ = true;
  Destroying();
  NotifyFreeNotifications();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::NotifyFreeNotifications() {
  while (!freeNotifies_.empty()) {
    TComponent* peer = freeNotifies_.back();
    freeNotifies_.pop_back();
    peer->Forget(this);
    peer->Notification(this, opRemove);
  }
}

void TComponent::Forget(TComponent* component) {
  std::erase(freeNotifies_, component);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    components_.pop_back();
    last->owner_ = nullptr;
    BindOwnerField(last->name_, nullptr);
    // The owner lets go of what it keeps of the component, as on any removal.
    Notification(last, opRemove);
    last->Free();
  }
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EComponentError("List index out of bounds (" + std::to_string(index) + ")");
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto it = std::find(owner_->components_.begin(), owner_->components_.end(), this);
  return static_cast<int>(it - owner_->components_.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

bool TComponent::Owns(const TComponent* component) const {
  for (const TComponent* o = component->owner_; o; o = o->owner_)
    if (o == this) return true;
  return false;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component == this || component->Owns(this))
    throw EComponentError("A component cannot own itself or its owner");
  if (component->owner_ == this) return;
  TComponent* clash = FindComponent(component->name_);
  if (clash) throw EComponentError("A component named " + component->name_ + " already exists");
  if (component->owner_) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
  BindOwnerField(component->name_, component);
  if (state_.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component->owner_ != this) return;
  Notification(component, opRemove);
  BindOwnerField(component->name_, nullptr);
  std::erase(components_, component);
  component->owner_ = nullptr;
}

void TComponent::BindOwnerField(const std::string& name, TComponent* value) {
  if (name.empty()) return;
  const FieldInfo* field = ClassType().FindField(name);
  if (field) field->assign(*this, value);
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name))
    throw EComponentError("\"" + name + "\" is not a valid component name");
  if (owner_) {
    TComponent* clash = owner_->FindComponent(name);
    if (clash && clash != this) throw EComponentError("A component named " + name + " already exists");
    owner_->BindOwnerField(name_, nullptr);
    owner_->BindOwnerField(name, this);
  }
  name_ = name;
}

void TComponent::SetDesigning(bool designing) {
  if (designing)
    state_.Include(csDesigning);
  else
    state_.Exclude(csDesigning);
  for (TComponent* c : components_) c->SetDesigning(designing);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) != freeNotifies_.end()) return;
  freeNotifies_.push_back(component);
  component->FreeNotification(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  Forget(component);
  if (component) component->Forget(this);
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

// Removal is passed on to every owned component, so that siblings drop their
// references; the list may shrink while it is walked.
void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  size_t i = components_.size();
  while (i > 0) {
    components_[--i]->Notification(component, operation);
    i = std::min(i, components_.size());
  }
}

}  // namespace qelo::vcl
