// Run-time type information of the form framework: each class describes
// itself once (name, parent, factory, published properties, published
// methods, component fields and defined properties), so that form files and
// other components can create objects by class name and read and write their
// properties by name.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

#include "vcl/colors.h"
#include "vcl/types.h"

namespace qelo::vcl {

class TObject;
class TComponent;
class TPersistent;
struct ClassInfo;
struct FormValue;

bool SameText(std::string_view a, std::string_view b);

// Names of an enumeration's values in ordinal order (at most 32 for sets).
struct EnumInfo {
  std::string typeName;
  std::vector<std::string> names;

  int ValueOf(std::string_view name) const;  // -1 for an unknown name
  const std::string& NameOf(int ordinal) const;  // EPropertyError when out of range
};

// An integer property whose values may also be written as identifiers
// (cursor and colour names): the identifier's value, or nothing.
using IdentToInt = std::function<std::optional<int64_t>(std::string_view)>;

enum class PropKind {
  Integer,    // int; also identifiers when the property has an IdentToInt
  Boolean,    // bool, written True / False
  String,     // std::string
  Color,      // TColor, written as a colour name or a number
  Enum,       // an enumeration, written by value name
  Set,        // TSet of an enumeration, written [a, b]
  Object,     // an owned persistent sub-object (Font, Items): read only, set member by member
  Component,  // a reference to another component, written by its name
  Event,      // a handler, written by the name of a published method of the form
  Image,      // an image named by its resource name
};

struct PropInfo {
  std::string name;
  PropKind kind = PropKind::Integer;
  const EnumInfo* enumInfo = nullptr;    // Enum and Set
  // Object and Component: the class of the value, asked for only when needed
  // so that a class may refer to itself.
  const ClassInfo& (*refClass)() = nullptr;
  IdentToInt identToInt;                 // Integer (optional) and Color
  std::type_index eventType = typeid(void);  // Event: the std::function type of the handler

  // Integer, Boolean, Color, Enum and Set travel as int64_t (ordinal or mask).
  std::function<int64_t(const TObject&)> getOrd;
  std::function<void(TObject&, int64_t)> setOrd;
  // String and Image.
  std::function<std::string(const TObject&)> getStr;
  std::function<void(TObject&, const std::string&)> setStr;
  // Object (no setter) and Component.
  std::function<TObject*(const TObject&)> getObj;
  std::function<void(TObject&, TObject*)> setObj;
  // Event: the handler as a std::any holding std::function<Sig>; empty any = none.
  std::function<std::any(const TObject&)> getEvent;
  std::function<void(TObject&, const std::any&)> setEvent;
  // Whether a form written of the object keeps the value; empty = always.
  std::function<bool(const TObject&)> stored;
};

// A published method of a form class, bound to an instance on demand.
struct MethodInfo {
  std::string name;
  std::type_index signature = typeid(void);  // std::function<Sig> of the bound handler
  std::function<std::any(TObject& self)> bind;
};

// A field of a form class that holds the owned component of the same name.
struct FieldInfo {
  std::string name;
  const ClassInfo& (*fieldClass)() = nullptr;
  std::function<void(TComponent& owner, TComponent* value)> assign;
};

// A value that a class reads itself from a form file: obsolete names of older
// forms, or data without a published property (a string list's lines).
using DefinedPropertyReader = std::function<void(TObject& self, const FormValue& value)>;

struct ClassInfo {
  std::string name;
  const ClassInfo* parent = nullptr;
  std::function<TComponent*(TComponent* owner)> factory;  // empty for abstract classes
  std::vector<PropInfo> properties;
  std::vector<MethodInfo> methods;
  std::vector<FieldInfo> fields;
  std::vector<std::pair<std::string, DefinedPropertyReader>> definedProperties;

  bool InheritsFrom(const ClassInfo& other) const;
  // Lookups walk up to the parents; names match without regard to case.
  const PropInfo* FindProperty(std::string_view propName) const;
  const MethodInfo* FindMethod(std::string_view methodName) const;
  const FieldInfo* FindField(std::string_view fieldName) const;
  const DefinedPropertyReader* FindDefinedProperty(std::string_view propName) const;
  bool CanCreate() const { return static_cast<bool>(factory); }
  TComponent* Create(TComponent* owner) const;  // EComponentError for an abstract class
};

// Builds the ClassInfo of class C from member functions of C:
//   static const ClassInfo info = ClassBuilder<TFoo>("TFoo", TBar::StaticClass())
//       .Integer("Width", &TFoo::Width, &TFoo::SetWidth)
//       .Done();
template <class C>
class ClassBuilder {
 public:
  ClassBuilder(std::string name, const ClassInfo* parent) {
    info_.name = std::move(name);
    info_.parent = parent;
    if constexpr (std::is_constructible_v<C, TComponent*> && !std::is_abstract_v<C>)
      info_.factory = [](TComponent* owner) -> TComponent* { return new C(owner); };
  }
  ClassBuilder(std::string name, const ClassInfo& parent) : ClassBuilder(std::move(name), &parent) {}

  template <class G, class S>
  ClassBuilder& Integer(std::string name, G get, S set, IdentToInt idents = {}) {
    PropInfo& p = Ordinal(std::move(name), PropKind::Integer, get, set);
    p.identToInt = std::move(idents);
    return *this;
  }
  template <class G, class S>
  ClassBuilder& Boolean(std::string name, G get, S set) {
    Ordinal(std::move(name), PropKind::Boolean, get, set);
    return *this;
  }
  template <class G, class S>
  ClassBuilder& Color(std::string name, G get, S set) {
    PropInfo& p = Ordinal(std::move(name), PropKind::Color, get, set);
    p.identToInt = [](std::string_view n) -> std::optional<int64_t> {
      if (auto c = IdentToColor(n)) return *c;
      return std::nullopt;
    };
    return *this;
  }
  template <class G, class S>
  ClassBuilder& Enum(std::string name, const EnumInfo& e, G get, S set) {
    Ordinal(std::move(name), PropKind::Enum, get, set).enumInfo = &e;
    return *this;
  }
  template <class G, class S>
  ClassBuilder& Set(std::string name, const EnumInfo& e, G get, S set) {
    PropInfo& p = Add(std::move(name), PropKind::Set);
    p.enumInfo = &e;
    using SetType = std::remove_cvref_t<std::invoke_result_t<G, const C&>>;
    p.getOrd = [get](const TObject& o) -> int64_t { return std::invoke(get, Self(o)).Mask(); };
    p.setOrd = [set](TObject& o, int64_t v) {
      std::invoke(set, Self(o), SetType::FromMask(static_cast<uint32_t>(v)));
    };
    return *this;
  }
  template <class G, class S>
  ClassBuilder& String(std::string name, G get, S set) {
    return Text(std::move(name), PropKind::String, get, set);
  }
  template <class G, class S>
  ClassBuilder& Image(std::string name, G get, S set) {
    return Text(std::move(name), PropKind::Image, get, set);
  }
  // An owned sub-object of class T, changed member by member.
  template <class T>
  ClassBuilder& Object(std::string name, T* (C::*get)() const) {
    PropInfo& p = Add(std::move(name), PropKind::Object);
    p.refClass = &T::StaticClass;
    p.getObj = [get](const TObject& o) -> TObject* { return (Self(o).*get)(); };
    return *this;
  }
  // A reference to a component of class T (or a descendant), or null.
  template <class T>
  ClassBuilder& Component(std::string name, T* (C::*get)() const, void (C::*set)(T*)) {
    PropInfo& p = Add(std::move(name), PropKind::Component);
    p.refClass = &T::StaticClass;
    p.getObj = [get](const TObject& o) -> TObject* { return (Self(o).*get)(); };
    p.setObj = [set](TObject& o, TObject* v) { (Self(o).*set)(static_cast<T*>(v)); };
    return *this;
  }
  // An event held in a std::function member of C.
  template <class Sig>
  ClassBuilder& Event(std::string name, std::function<Sig> C::*field) {
    PropInfo& p = Add(std::move(name), PropKind::Event);
    p.eventType = typeid(std::function<Sig>);
    p.getEvent = [field](const TObject& o) -> std::any {
      const std::function<Sig>& f = Self(o).*field;
      return f ? std::any(f) : std::any();
    };
    p.setEvent = [field](TObject& o, const std::any& v) {
      Self(o).*field = v.has_value() ? std::any_cast<std::function<Sig>>(v) : std::function<Sig>();
    };
    return *this;
  }
  // A published method that form files name as event handlers.
  template <class R, class... A>
  ClassBuilder& Method(std::string name, R (C::*method)(A...)) {
    using Fn = std::function<R(A...)>;
    info_.methods.push_back({std::move(name), typeid(Fn), [method](TObject& self) -> std::any {
                               C* c = &Self(self);
                               return Fn([c, method](A... a) { return (c->*method)(std::forward<A>(a)...); });
                             }});
    return *this;
  }
  // A field that receives the owned component named like it.
  template <class T>
  ClassBuilder& Field(std::string name, T* C::*field) {
    info_.fields.push_back({std::move(name), &T::StaticClass, [field](TComponent& owner, TComponent* v) {
                              static_cast<C&>(owner).*field = dynamic_cast<T*>(v);
                            }});
    return *this;
  }
  ClassBuilder& Defined(std::string name, DefinedPropertyReader reader) {
    info_.definedProperties.emplace_back(std::move(name), std::move(reader));
    return *this;
  }
  // An obsolete name that older forms carry; its value is read and dropped.
  ClassBuilder& Skip(std::string name) {
    return Defined(std::move(name), [](TObject&, const FormValue&) {});
  }
  // Gives the property `name` a storage rule: a form written of the object
  // keeps the value only while `isStored` (a const member of C, or anything
  // callable on a const C&) is true. A property a parent class publishes is
  // published again by this class with the rule; its parents keep theirs.
  template <class P>
  ClassBuilder& Stored(std::string_view name, P isStored) {
    PropInfo& p = Own(name);
    p.stored = [isStored](const TObject& o) -> bool { return std::invoke(isStored, Self(o)); };
    return *this;
  }
  ClassInfo Done() { return std::move(info_); }

 private:
  static C& Self(TObject& o) { return static_cast<C&>(o); }
  static const C& Self(const TObject& o) { return static_cast<const C&>(o); }

  // This class's own entry of the property, copied from the parent's when
  // the parent publishes it; EPropertyError when no class publishes it.
  PropInfo& Own(std::string_view name) {
    for (PropInfo& p : info_.properties)
      if (SameText(p.name, name)) return p;
    const PropInfo* inherited = info_.parent ? info_.parent->FindProperty(name) : nullptr;
    if (!inherited) throw EPropertyError("Property " + std::string(name) + " does not exist in " + info_.name);
    info_.properties.push_back(*inherited);
    return info_.properties.back();
  }
  PropInfo& Add(std::string name, PropKind kind) {
    info_.properties.push_back(PropInfo{});
    PropInfo& p = info_.properties.back();
    p.name = std::move(name);
    p.kind = kind;
    return p;
  }
  template <class G, class S>
  PropInfo& Ordinal(std::string name, PropKind kind, G get, S set) {
    PropInfo& p = Add(std::move(name), kind);
    p.getOrd = [get](const TObject& o) -> int64_t { return static_cast<int64_t>(std::invoke(get, Self(o))); };
    using Value = std::remove_cvref_t<std::invoke_result_t<G, const C&>>;
    p.setOrd = [set](TObject& o, int64_t v) {
      std::invoke(set, Self(o), static_cast<Value>(v));
    };
    return p;
  }
  template <class G, class S>
  ClassBuilder& Text(std::string name, PropKind kind, G get, S set) {
    PropInfo& p = Add(std::move(name), kind);
    p.getStr = [get](const TObject& o) -> std::string { return std::invoke(get, Self(o)); };
    p.setStr = [set](TObject& o, const std::string& v) { std::invoke(set, Self(o), v); };
    return *this;
  }

  ClassInfo info_;
};

// The class registry: classes that form files may name.
void RegisterClass(const ClassInfo& info);  // EComponentError when another class has the name
void RegisterClasses(std::initializer_list<const ClassInfo*> infos);
const ClassInfo* FindClass(std::string_view name);  // null when not registered

// Properties by name. Unknown names or a property of another kind raise
// EPropertyError; values outside the property's range too.
const PropInfo* GetPropInfo(const TObject& object, std::string_view name);  // null when absent
bool IsPublishedProp(const TObject& object, std::string_view name);
int64_t GetOrdProp(const TObject& object, std::string_view name);
void SetOrdProp(TObject& object, std::string_view name, int64_t value);
std::string GetStrProp(const TObject& object, std::string_view name);
void SetStrProp(TObject& object, std::string_view name, const std::string& value);
std::string GetEnumProp(const TObject& object, std::string_view name);
void SetEnumProp(TObject& object, std::string_view name, std::string_view valueName);
// Sets by their member names, "a,b" (brackets optional on input).
std::string GetSetProp(const TObject& object, std::string_view name);
void SetSetProp(TObject& object, std::string_view name, std::string_view members);
TObject* GetObjectProp(const TObject& object, std::string_view name);
void SetObjectProp(TObject& object, std::string_view name, TObject* value);
std::any GetMethodProp(const TObject& object, std::string_view name);
void SetMethodProp(TObject& object, std::string_view name, const std::any& handler);

// Whether an ordinal property can take the value (its kind and range).
bool OrdValueInRange(const PropInfo& prop, int64_t value);
// Checks a value against the property's kind and range, then stores it.
void SetOrdValue(TObject& object, const PropInfo& prop, int64_t value);

// Whether a form written of the object would keep the property's value (the
// property's storage rule; true without one). EPropertyError for an unknown name.
bool IsStoredProp(const TObject& object, std::string_view name);
bool IsStoredProp(const TObject& object, const PropInfo& prop);

}  // namespace qelo::vcl
