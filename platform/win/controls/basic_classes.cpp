#include "win/controls/commctrl.h"
#include "win/controls/control.h"

namespace qelo::win {

void RegisterBasicControlClasses() {
  controls::RegisterButtonClass();
}

}  // namespace qelo::win
