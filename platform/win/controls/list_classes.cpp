#include "win/controls/commctrl.h"
#include "win/controls/lists/header.h"

namespace qelo::win {

void RegisterListControlClasses() {
  RegisterHeaderClass();
}

}  // namespace qelo::win
