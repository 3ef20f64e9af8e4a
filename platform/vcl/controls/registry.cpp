// The control classes that form files may name.
#include "vcl/controls/extctrls.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/listview.h"
#include "vcl/controls/stdctrls.h"
#include "vcl/controls/timer.h"

namespace qelo::vcl {

void RegisterControlClasses() {
  static const bool registered = [] {
    RegisterGraphicsClasses();
    RegisterActionClasses();
    RegisterListControlClasses();
    RegisterClasses({&TForm::StaticClass(), &TTimer::StaticClass(), &TPanel::StaticClass(), &TLabel::StaticClass(), &TImage::StaticClass(),
                     &TButton::StaticClass()});
    RegisterStandardControlClasses();
    return true;
  }();
  (void)registered;
}

}  // namespace qelo::vcl
