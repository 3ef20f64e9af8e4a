// The standard and common control classes that form files may name.
#include "vcl/controls/checkbox.h"
#include "vcl/controls/edit.h"

namespace qelo::vcl {

void RegisterStandardControlClasses() {
  RegisterClasses({&TCheckBox::StaticClass(), &TGroupBox::StaticClass(), &TEdit::StaticClass(), &TMaskEdit::StaticClass()});
}

}  // namespace qelo::vcl
