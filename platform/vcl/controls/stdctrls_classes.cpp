// The standard and common control classes that form files may name.
#include "vcl/controls/checkbox.h"
#include "vcl/controls/combobox.h"
#include "vcl/controls/edit.h"
#include "vcl/controls/listbox.h"
#include "vcl/controls/progressbar.h"
#include "vcl/controls/statusbar.h"

namespace qelo::vcl {

void RegisterStandardControlClasses() {
  RegisterClasses({&TCheckBox::StaticClass(), &TGroupBox::StaticClass(), &TEdit::StaticClass(), &TMaskEdit::StaticClass(),
                   &TComboBox::StaticClass(), &TListBox::StaticClass(),
                   &TStatusBar::StaticClass(), &TProgressBar::StaticClass()});
}

}  // namespace qelo::vcl
