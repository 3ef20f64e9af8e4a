#include "win/controls/commctrl.h"
#include "controls/control.h"

namespace qelo::win {

void RegisterBasicControlClasses() {
  controls::RegisterButtonClass();
  controls::RegisterStaticClass();
  controls::RegisterEditClass();
  controls::RegisterListBoxClasses();
  controls::RegisterComboBoxClass();
  controls::RegisterProgressClass();
  controls::RegisterStatusBarClass();
  controls::RegisterToolTipClass();
}

}  // namespace qelo::win
