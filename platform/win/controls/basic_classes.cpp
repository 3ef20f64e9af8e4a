#include "win/controls/commctrl.h"

namespace qelo::win {

// No basic control classes yet.
void RegisterBasicControlClasses() {}

}  // namespace qelo::win
