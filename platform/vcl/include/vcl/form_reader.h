// Reading a form file into a component (the form) at its creation: nested
// objects are made by class name with the form as their owner and placed in
// their enclosing object (SetParentComponent); properties are set by name,
// sub-object members by dotted paths ("Font.Color"); events are bound to the
// form's published methods by name; component references are resolved by name
// once the whole file is read; then every component read gets Loaded().
// Every error is an EReadError that names the file and line.
//
// A form class describes what its file may name, and reads it when made:
//   const ClassInfo& TfrmAbout::StaticClass() {
//     static const ClassInfo info = ClassBuilder<TfrmAbout>("TfrmAbout", TSkinForm::StaticClass())
//         .Field("LabName", &TfrmAbout::LabName)        // filled when LabName is made
//         .Method("FormCreate", &TfrmAbout::FormCreate)  // OnCreate = FormCreate
//         .Done();
//     return info;
//   }
//   TfrmAbout::TfrmAbout(TComponent* owner) : TSkinForm(owner) {
//     ReadComponentResource(*this, kProgramResources);  // resource FORM "TfrmAbout"
//   }
// The classes of the nested objects must be registered (RegisterClasses).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "resource/resource.h"
#include "vcl/classes.h"
#include "vcl/form_file.h"

namespace qelo::vcl {

// Resource type of form files; each is named by its form's class name.
inline constexpr std::string_view kFormResourceType = "FORM";

void ReadComponentText(TComponent& root, std::string_view text, std::string_view fileName);
// The form of the root's class; EResNotFound when the table has none.
void ReadComponentResource(TComponent& root, const res::ResourceTable& table);

class FormReader {
 public:
  FormReader(TComponent& root, std::string_view fileName) : root_(root), file_(fileName) {}
  void Read(const FormObject& tree);

 private:
  struct Fixup {
    TObject* target;
    const PropInfo* prop;
    std::string name;
    int line;
  };

  [[noreturn]] void Fail(int line, const std::string& message) const;
  void ReadRoot(const FormObject& tree);
  void ReadChild(TComponent& parent, const FormObject& obj);
  void ReadProperties(TComponent& component, const FormObject& obj);
  void ReadProperty(TObject& object, const FormProperty& prop);
  void ReadCollection(TObject& owner, const PropInfo& prop, const FormValue& value);
  void AssignValue(TObject& target, const PropInfo& prop, const FormValue& value);
  void AssignOrdinal(TObject& target, const PropInfo& prop, const FormValue& value);
  void AssignEvent(TObject& target, const PropInfo& prop, const FormValue& value);
  void ResolveFixups();
  TComponent* FindReferenced(std::string_view name) const;
  void Begin(TComponent& component);
  void Finish();
  void Abandon();

  TComponent& root_;
  std::string file_;
  std::vector<TComponent*> loaded_;
  std::vector<Fixup> fixups_;
  std::string context_;  // the object whose properties are being read
};

}  // namespace qelo::vcl
