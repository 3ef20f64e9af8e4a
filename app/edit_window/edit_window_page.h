// The pages of the edit window, by the numbers the main window's edit
// commands open them at.
#pragma once

namespace qelo::app {

enum TEditPage { epCrop = 0, epEffect = 1, epWatermark = 2, epTrim = 3 };

}  // namespace qelo::app
