// The component model: objects that know their class, persistent objects
// that copy themselves with Assign, and components with an owner, a name,
// owned components, a state and free notifications.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vcl/typeinfo.h"
#include "vcl/types.h"

namespace qelo::vcl {

// Declares a class's run-time type information; the class defines
// StaticClass() with a ClassBuilder in its source file.
#define QELO_VCL_CLASS()                                  \
 public:                                                  \
  static const ::qelo::vcl::ClassInfo& StaticClass();     \
  const ::qelo::vcl::ClassInfo& ClassType() const override { return StaticClass(); }

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const ClassInfo& StaticClass();
  virtual const ClassInfo& ClassType() const { return StaticClass(); }
  const std::string& ClassName() const;
  bool InheritsFrom(const ClassInfo& info) const;

  // Runs the class's BeforeDestruction while the whole object still exists
  // (so virtual Notification and Loaded overrides are reached), then deletes it.
  void Free();

 protected:
  virtual void BeforeDestruction() {}
};

template <class T>
void FreeAndNil(T*& object) {
  T* doomed = object;
  object = nullptr;
  if (doomed) doomed->Free();
}

class TPersistent : public TObject {
  QELO_VCL_CLASS()
 public:
  // Copies what this class understands of `source`; EConvertError
  // "Cannot assign a X to a Y" otherwise (and for a null source).
  virtual void Assign(const TPersistent* source);

 protected:
  virtual void AssignTo(TPersistent* dest) const;
};

// A list of persistent items owned by a component (a list view's
// columns). Form files write it as
//   Columns = <
//     item
//       Caption = 'Name'
//       Width = 120
//     end>
// and reading one clears the list and sets the published properties of a
// new item for each entry.
class TCollection : public TPersistent {
  QELO_VCL_CLASS()
 public:
  virtual int Count() const = 0;
  virtual void Clear() = 0;
  // A new item at the end.
  virtual TPersistent* AddItem() = 0;
};

// A persistent sub-object that reports every change through OnChange (fonts,
// pens and brushes of the drawing objects).
class TGraphicsObject : public TPersistent {
  QELO_VCL_CLASS()
 public:
  TNotifyEvent OnChange;

 protected:
  virtual void Changed();
};

enum TComponentStateItem { csLoading, csReading, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateItem>;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
  QELO_VCL_CLASS()
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // EComponentError for a name that is not an identifier or that another
  // component of the same owner has (names match without regard to case).
  virtual void SetName(const std::string& name);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;  // EComponentError out of range
  int ComponentIndex() const;               // -1 without owner
  TComponent* FindComponent(std::string_view name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();

  TComponentState ComponentState() const { return state_; }
  void SetDesigning(bool designing);

  // Asks to be told (Notification opRemove) when `component` goes, and tells
  // it likewise when this one goes.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Controls place themselves in their parent here when a form file nests them.
  virtual void SetParentComponent(TComponent* /*parent*/) {}
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual bool HasParent() const { return false; }

 protected:
  // Called once a form file has been read completely; clears csLoading.
  virtual void Loaded();
  // Told of components inserted into or removed from this owner and of
  // components freed that asked for or gave free notification.
  virtual void Notification(TComponent* component, TOperation operation);
  // Marks this component and its owned components as being destroyed.
  virtual void Destroying();
  void BeforeDestruction() override;

 private:
  friend class FormReader;
  void TearDown();
  void NotifyFreeNotifications();
  void Forget(TComponent* component);  // drops it from the free-notification list only
  void BindOwnerField(const std::string& name, TComponent* value);
  bool Owns(const TComponent* component) const;  // directly or further down

  TComponent* owner_ = nullptr;
  std::string name_;
  int tag_ = 0;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  TComponentState state_;
  bool tornDown_ = false;
};

bool IsValidIdent(std::string_view name);

}  // namespace qelo::vcl
