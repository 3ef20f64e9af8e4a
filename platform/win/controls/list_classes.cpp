#include "win/controls/commctrl.h"
#include "win/controls/lists/header.h"
#include "win/controls/lists/listview.h"

namespace qelo::win {

void RegisterListControlClasses() {
  RegisterHeaderClass();
  RegisterListViewClass();
}

}  // namespace qelo::win
