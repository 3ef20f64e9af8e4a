#include "win/controls/commctrl.h"

namespace qelo::win {

// No list control classes yet.
void RegisterListControlClasses() {}

}  // namespace qelo::win
