// The list controls that form files may name.
#include "vcl/controls/listview.h"

namespace qelo::vcl {

void RegisterListControlClasses() {
  RegisterClasses({&TListView::StaticClass()});
}

}  // namespace qelo::vcl
