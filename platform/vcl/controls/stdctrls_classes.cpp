// The standard and common control classes that form files may name.
#include "vcl/controls/checkbox.h"

namespace qelo::vcl {

void RegisterStandardControlClasses() {
  RegisterClasses({&TCheckBox::StaticClass(), &TGroupBox::StaticClass()});
}

}  // namespace qelo::vcl
