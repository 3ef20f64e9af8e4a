#include "win/controls/commctrl.h"
#include "win/controls/lists/header.h"
#include "win/controls/lists/listview.h"
#include "win/controls/lists/treeview.h"

namespace qelo::win {

void RegisterListControlClasses() {
  RegisterHeaderClass();
  RegisterListViewClass();
  RegisterTreeViewClass();
}

}  // namespace qelo::win
