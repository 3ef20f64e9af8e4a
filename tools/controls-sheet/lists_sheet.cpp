#include "sheet.h"

namespace qelo::win::sheet {

// The list controls are not on the sheet yet.
void AddListControls(HWND, RECT) {}

}  // namespace qelo::win::sheet
