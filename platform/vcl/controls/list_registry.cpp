// The list controls that form files may name.
#include "vcl/controls/headerctrl.h"
#include "vcl/controls/listview.h"
#include "vcl/controls/treeview.h"

namespace qelo::vcl {

void RegisterListControlClasses() {
  RegisterClasses({&TListView::StaticClass(), &TTreeView::StaticClass(), &THeaderControl::StaticClass()});
}

}  // namespace qelo::vcl
