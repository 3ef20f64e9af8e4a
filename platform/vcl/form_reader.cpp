#include "vcl/form_reader.h"

#include <limits>

namespace qelo::vcl {

void ReadComponentText(TComponent& root, std::string_view text, std::string_view fileName) {
  FormReader(root, fileName).Read(ParseForm(text, fileName));
}

void ReadComponentResource(TComponent& root, const res::ResourceTable& table) {
  const std::string& name = root.ClassName();
  const res::Resource* r = res::FindResource(table, kFormResourceType, name);
  if (!r) throw EResNotFound("Resource " + name + " not found");
  ReadComponentText(root, std::string_view(reinterpret_cast<const char*>(r->data), r->size), name);
}

void FormReader::Fail(int line, const std::string& message) const {
  std::string where = context_.empty() ? "" : "Error reading " + context_ + ": ";
  throw EReadError(file_ + "(" + std::to_string(line) + "): " + where + message);
}

// Components being read carry csLoading and csReading; if reading fails they
// lose both again, so that they can be used or freed as usual.
void FormReader::Read(const FormObject& tree) {
  try {
    ReadRoot(tree);
    ResolveFixups();
  } catch (...) {
    Abandon();
    throw;
  }
  Finish();
}

void FormReader::Begin(TComponent& component) {
  component.state_.Include(csLoading).Include(csReading);
  loaded_.push_back(&component);
}

void FormReader::Abandon() {
  for (TComponent* c : loaded_) c->state_.Exclude(csLoading).Exclude(csReading);
}

void FormReader::Finish() {
  for (TComponent* c : loaded_) c->state_.Exclude(csReading);
  for (TComponent* c : loaded_) c->Loaded();
}

void FormReader::ReadRoot(const FormObject& tree) {
  if (!SameText(tree.className, root_.ClassName()))
    Fail(tree.line, "the file describes a " + tree.className + ", not a " + root_.ClassName());
  Begin(root_);
  std::string name = tree.name;
  if (TComponent* owner = root_.Owner()) {
    // Several forms of one class under one owner: the later ones get _1, _2...
    for (int n = 1; owner->FindComponent(name) && owner->FindComponent(name) != &root_; ++n)
      name = tree.name + "_" + std::to_string(n);
  }
  try {
    root_.SetName(name);
  } catch (const EComponentError& e) {
    Fail(tree.line, e.what());
  }
  ReadProperties(root_, tree);
  for (const FormObject& child : tree.children) ReadChild(root_, child);
}

void FormReader::ReadChild(TComponent& parent, const FormObject& obj) {
  context_.clear();
  const ClassInfo* info = FindClass(obj.className);
  if (!info) Fail(obj.line, "Class " + obj.className + " not found");
  if (!info->CanCreate()) Fail(obj.line, "Class " + obj.className + " cannot be created");
  if (const FieldInfo* field = root_.ClassType().FindField(obj.name); field && !info->InheritsFrom(field->fieldClass()))
    Fail(obj.line, "Field " + obj.name + " of " + root_.ClassName() + " holds a " + field->fieldClass().name +
                       ", not a " + obj.className);
  TComponent* component = nullptr;
  try {
    component = info->Create(&root_);
    Begin(*component);
    component->SetName(obj.name);
  } catch (const EComponentError& e) {
    Fail(obj.line, e.what());
  }
  component->SetParentComponent(&parent);
  ReadProperties(*component, obj);
  for (const FormObject& child : obj.children) ReadChild(*component, child);
}

void FormReader::ReadProperties(TComponent& component, const FormObject& obj) {
  context_ = obj.name.empty() ? obj.className : obj.name;
  for (const FormProperty& prop : obj.properties) ReadProperty(component, prop);
  context_.clear();
}

// Walks a dotted path through sub-objects; at each object a published
// property comes first, then a name the class reads itself (obsolete names).
void FormReader::ReadProperty(TObject& object, const FormProperty& prop) {
  TObject* target = &object;
  std::string_view path = prop.name;
  for (;;) {
    size_t dot = path.find('.');
    std::string_view segment = path.substr(0, dot);
    const PropInfo* p = target->ClassType().FindProperty(segment);
    if (dot == std::string_view::npos) {
      if (p && p->kind == PropKind::Object && prop.value.type == FormValue::Type::Collection)
        return ReadCollection(*target, *p, prop.value);
      if (p) return AssignValue(*target, *p, prop.value);
      if (const DefinedPropertyReader* reader = target->ClassType().FindDefinedProperty(segment)) {
        try {
          (*reader)(*target, prop.value);
        } catch (const Exception& e) {
          Fail(prop.line, e.what());
        }
        return;
      }
      Fail(prop.line, "Property " + prop.name + " does not exist");
    }
    if (!p || p->kind != PropKind::Object) Fail(prop.line, "Property " + prop.name + " does not exist");
    target = p->getObj(*target);
    if (!target) Fail(prop.line, "Property " + std::string(segment) + " has no object");
    path = path.substr(dot + 1);
  }
}

// The collection is emptied and takes a new item for each entry.
void FormReader::ReadCollection(TObject& owner, const PropInfo& prop, const FormValue& value) {
  auto* collection = dynamic_cast<TCollection*>(prop.getObj(owner));
  if (!collection) Fail(value.line, "Invalid property value: " + prop.name + " is no collection");
  try {
    collection->Clear();
    for (const FormCollectionItem& entry : value.collection) {
      TPersistent* item = collection->AddItem();
      for (const FormProperty& itemProp : entry.properties) ReadProperty(*item, itemProp);
    }
  } catch (const EReadError&) {
    throw;
  } catch (const Exception& e) {
    Fail(value.line, e.what());
  }
}

void FormReader::AssignValue(TObject& target, const PropInfo& prop, const FormValue& value) {
  using T = FormValue::Type;
  auto mismatch = [&] { Fail(value.line, "Invalid property value: " + prop.name + " cannot take " + value.TypeName()); };
  try {
    switch (prop.kind) {
      case PropKind::Integer:
      case PropKind::Boolean:
      case PropKind::Color:
      case PropKind::Enum:
      case PropKind::Set:
        return AssignOrdinal(target, prop, value);
      case PropKind::String:
      case PropKind::Image:
        if (value.type != T::String) mismatch();
        return prop.setStr(target, value.text);
      case PropKind::Component:
        if (value.type != T::Identifier) mismatch();
        if (SameText(value.text, "nil")) return prop.setObj(target, nullptr);
        fixups_.push_back({&target, &prop, value.text, value.line});
        return;
      case PropKind::Event:
        return AssignEvent(target, prop, value);
      case PropKind::Object:
        mismatch();
    }
  } catch (const EReadError&) {
    throw;
  } catch (const Exception& e) {
    Fail(value.line, e.what());
  }
}

void FormReader::AssignOrdinal(TObject& target, const PropInfo& prop, const FormValue& value) {
  using T = FormValue::Type;
  auto invalid = [&](const std::string& what) { Fail(value.line, "Invalid property value " + what + " for " + prop.name); };
  int64_t v = 0;
  if (prop.kind == PropKind::Set) {
    if (value.type != T::Set) invalid(std::string("(") + value.TypeName() + ")");
    for (const std::string& m : value.members) {
      int bit = prop.enumInfo->ValueOf(m);
      if (bit < 0) invalid(m);
      v |= int64_t{1} << bit;
    }
  } else if (value.type == T::Integer && (prop.kind == PropKind::Integer || prop.kind == PropKind::Color)) {
    v = value.integer;
  } else if (value.type == T::Identifier) {
    std::optional<int64_t> named;
    if (prop.kind == PropKind::Boolean && SameText(value.text, "True")) named = 1;
    if (prop.kind == PropKind::Boolean && SameText(value.text, "False")) named = 0;
    if (prop.kind == PropKind::Enum && prop.enumInfo->ValueOf(value.text) >= 0) named = prop.enumInfo->ValueOf(value.text);
    if (prop.identToInt) named = prop.identToInt(value.text);
    if (!named) invalid(value.text);
    v = *named;
  } else {
    invalid(std::string("(") + value.TypeName() + ")");
  }
  SetOrdValue(target, prop, v);
}

void FormReader::AssignEvent(TObject& target, const PropInfo& prop, const FormValue& value) {
  if (value.type != FormValue::Type::Identifier)
    Fail(value.line, "Invalid property value: " + prop.name + " takes a method name");
  if (SameText(value.text, "nil")) return prop.setEvent(target, std::any());
  const MethodInfo* method = root_.ClassType().FindMethod(value.text);
  if (!method) Fail(value.line, "Method " + value.text + " not found in " + root_.ClassName());
  if (method->signature != prop.eventType)
    Fail(value.line, "Method " + value.text + " does not fit event " + prop.name);
  prop.setEvent(target, method->bind(root_));
}

TComponent* FormReader::FindReferenced(std::string_view name) const {
  if (SameText(root_.Name(), name)) return &root_;
  return root_.FindComponent(name);
}

void FormReader::ResolveFixups() {
  for (const Fixup& f : fixups_) {
    TComponent* found = FindReferenced(f.name);
    if (!found) Fail(f.line, "Component " + f.name + " not found for " + f.prop->name);
    if (!found->InheritsFrom(f.prop->refClass()))
      Fail(f.line, f.prop->name + " takes a " + f.prop->refClass().name + ", not a " + found->ClassName());
    try {
      f.prop->setObj(*f.target, found);
    } catch (const Exception& e) {
      Fail(f.line, e.what());
    }
  }
}

}  // namespace qelo::vcl
