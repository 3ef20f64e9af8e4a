#include "vcl/typeinfo.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <mutex>

#include "vcl/classes.h"

namespace qelo::vcl {

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

int EnumInfo::ValueOf(std::string_view name) const {
  for (size_t i = 0; i < names.size(); ++i)
    if (SameText(names[i], name)) return static_cast<int>(i);
  return -1;
}

const std::string& EnumInfo::NameOf(int ordinal) const {
  if (ordinal < 0 || static_cast<size_t>(ordinal) >= names.size())
    throw EPropertyError("Invalid value " + std::to_string(ordinal) + " for " + typeName);
  return names[static_cast<size_t>(ordinal)];
}

bool ClassInfo::InheritsFrom(const ClassInfo& other) const {
  for (const ClassInfo* c = this; c; c = c->parent)
    if (c == &other) return true;
  return false;
}

namespace {

template <class Item, class Member>
const Item* FindUp(const ClassInfo* c, Member member, std::string_view name) {
  for (; c; c = c->parent)
    for (const Item& item : c->*member)
      if (SameText(item.name, name)) return &item;
  return nullptr;
}

}  // namespace

const PropInfo* ClassInfo::FindProperty(std::string_view propName) const {
  return FindUp<PropInfo>(this, &ClassInfo::properties, propName);
}

const MethodInfo* ClassInfo::FindMethod(std::string_view methodName) const {
  return FindUp<MethodInfo>(this, &ClassInfo::methods, methodName);
}

const FieldInfo* ClassInfo::FindField(std::string_view fieldName) const {
  return FindUp<FieldInfo>(this, &ClassInfo::fields, fieldName);
}

const DefinedPropertyReader* ClassInfo::FindDefinedProperty(std::string_view propName) const {
  for (const ClassInfo* c = this; c; c = c->parent)
    for (const auto& [name, reader] : c->definedProperties)
      if (SameText(name, propName)) return &reader;
  return nullptr;
}

TComponent* ClassInfo::Create(TComponent* owner) const {
  if (!factory) throw EComponentError("Cannot create an instance of the abstract class " + name);
  return factory(owner);
}

// ---- class registry ----

namespace {

struct Registry {
  std::mutex lock;
  std::vector<const ClassInfo*> classes;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterClass(const ClassInfo& info) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  for (const ClassInfo* c : r.classes) {
    if (c == &info) return;
    if (SameText(c->name, info.name))
      throw EComponentError("A class named " + info.name + " is already registered");
  }
  r.classes.push_back(&info);
}

void RegisterClasses(std::initializer_list<const ClassInfo*> infos) {
  for (const ClassInfo* info : infos) RegisterClass(*info);
}

const ClassInfo* FindClass(std::string_view name) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  for (const ClassInfo* c : r.classes)
    if (SameText(c->name, name)) return c;
  return nullptr;
}

// ---- properties by name ----

namespace {

const PropInfo& Require(const TObject& object, std::string_view name) {
  const PropInfo* p = GetPropInfo(object, name);
  if (!p) throw EPropertyError("Property " + std::string(name) + " does not exist in " + object.ClassName());
  return *p;
}

bool IsOrdinal(PropKind k) {
  return k == PropKind::Integer || k == PropKind::Boolean || k == PropKind::Color || k == PropKind::Enum ||
         k == PropKind::Set;
}

const PropInfo& RequireKind(const TObject& object, std::string_view name, bool (*accepts)(PropKind)) {
  const PropInfo& p = Require(object, name);
  if (!accepts(p.kind)) throw EPropertyError("Property " + p.name + " of " + object.ClassName() + " has another type");
  return p;
}

bool IsText(PropKind k) { return k == PropKind::String || k == PropKind::Image; }
bool IsEnum(PropKind k) { return k == PropKind::Enum; }
bool IsSet(PropKind k) { return k == PropKind::Set; }
bool IsObject(PropKind k) { return k == PropKind::Object || k == PropKind::Component; }
bool IsEvent(PropKind k) { return k == PropKind::Event; }

bool InRange(const PropInfo& p, int64_t v) {
  switch (p.kind) {
    case PropKind::Integer:
      return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
    case PropKind::Boolean:
      return v == 0 || v == 1;
    case PropKind::Color:
      return v >= 0 && v <= std::numeric_limits<uint32_t>::max();
    case PropKind::Enum:
      return v >= 0 && static_cast<size_t>(v) < p.enumInfo->names.size();
    case PropKind::Set:
      return v >= 0 && (p.enumInfo->names.size() >= 32 || v < (int64_t{1} << p.enumInfo->names.size()));
    default:
      return false;
  }
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

}  // namespace

const PropInfo* GetPropInfo(const TObject& object, std::string_view name) {
  return object.ClassType().FindProperty(name);
}

bool IsPublishedProp(const TObject& object, std::string_view name) { return GetPropInfo(object, name) != nullptr; }

int64_t GetOrdProp(const TObject& object, std::string_view name) {
  return RequireKind(object, name, IsOrdinal).getOrd(object);
}

bool OrdValueInRange(const PropInfo& prop, int64_t value) { return InRange(prop, value); }

void SetOrdValue(TObject& object, const PropInfo& prop, int64_t value) {
  if (!InRange(prop, value))
    throw EPropertyError("Invalid value " + std::to_string(value) + " for property " + prop.name);
  prop.setOrd(object, value);
}

void SetOrdProp(TObject& object, std::string_view name, int64_t value) {
  SetOrdValue(object, RequireKind(object, name, IsOrdinal), value);
}

bool IsStoredProp(const TObject& object, const PropInfo& prop) { return !prop.stored || prop.stored(object); }

bool IsStoredProp(const TObject& object, std::string_view name) { return IsStoredProp(object, Require(object, name)); }

std::string GetStrProp(const TObject& object, std::string_view name) {
  return RequireKind(object, name, IsText).getStr(object);
}

void SetStrProp(TObject& object, std::string_view name, const std::string& value) {
  RequireKind(object, name, IsText).setStr(object, value);
}

std::string GetEnumProp(const TObject& object, std::string_view name) {
  const PropInfo& p = RequireKind(object, name, IsEnum);
  return p.enumInfo->NameOf(static_cast<int>(p.getOrd(object)));
}

void SetEnumProp(TObject& object, std::string_view name, std::string_view valueName) {
  const PropInfo& p = RequireKind(object, name, IsEnum);
  int v = p.enumInfo->ValueOf(valueName);
  if (v < 0) throw EPropertyError("Invalid property value " + std::string(valueName) + " for " + p.name);
  p.setOrd(object, v);
}

std::string GetSetProp(const TObject& object, std::string_view name) {
  const PropInfo& p = RequireKind(object, name, IsSet);
  uint64_t mask = static_cast<uint64_t>(p.getOrd(object));
  std::string out;
  for (size_t i = 0; i < p.enumInfo->names.size(); ++i) {
    if (!(mask & (uint64_t{1} << i))) continue;
    if (!out.empty()) out += ',';
    out += p.enumInfo->names[i];
  }
  return out;
}

void SetSetProp(TObject& object, std::string_view name, std::string_view members) {
  const PropInfo& p = RequireKind(object, name, IsSet);
  std::string_view rest = Trim(members);
  if (!rest.empty() && rest.front() == '[' && rest.back() == ']') rest = Trim(rest.substr(1, rest.size() - 2));
  int64_t mask = 0;
  while (!rest.empty()) {
    size_t comma = rest.find(',');
    std::string_view item = Trim(rest.substr(0, comma));
    int v = p.enumInfo->ValueOf(item);
    if (v < 0) throw EPropertyError("Invalid set member " + std::string(item) + " for " + p.name);
    mask |= int64_t{1} << v;
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  p.setOrd(object, mask);
}

TObject* GetObjectProp(const TObject& object, std::string_view name) {
  return RequireKind(object, name, IsObject).getObj(object);
}

void SetObjectProp(TObject& object, std::string_view name, TObject* value) {
  const PropInfo& p = RequireKind(object, name, IsObject);
  if (!p.setObj) throw EPropertyError("Property " + p.name + " of " + object.ClassName() + " is read only");
  if (value && !value->InheritsFrom(p.refClass()))
    throw EPropertyError("Property " + p.name + " takes a " + p.refClass().name + ", not a " + value->ClassName());
  p.setObj(object, value);
}

std::any GetMethodProp(const TObject& object, std::string_view name) {
  return RequireKind(object, name, IsEvent).getEvent(object);
}

void SetMethodProp(TObject& object, std::string_view name, const std::any& handler) {
  const PropInfo& p = RequireKind(object, name, IsEvent);
  if (handler.has_value() && std::type_index(handler.type()) != p.eventType)
    throw EPropertyError("Handler of another type for event " + p.name);
  p.setEvent(object, handler);
}

}  // namespace qelo::vcl
