// Makes the custom controls known to form files by their class names.
#pragma once

namespace qelo::controls {

// Registers TQeloTrackBar, TQeloComBobox, TQeloPngButton and TSkinForm
// (once).
void RegisterCustomControls();

}  // namespace qelo::controls
