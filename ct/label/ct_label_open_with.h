// The "open with" dialog for a kind of file: the programs the
// desktop knows for the type of a file pattern ("*.htm"), of which the
// user makes one the type's default program. It shows without holding up
// its caller, as a program started on its own would, and frees itself
// when it closes.
#pragma once

#include <string>

namespace qelo::ct {

// The form's name, for finding it among the screen's forms.
inline constexpr const char* kOpenWithFormName = "frmOpenWith";

// The content type of the pattern's files ("text/html" for "*.htm"), and
// shows the dialog for it; false (nothing shown) when the pattern names
// no type.
bool ShowOpenWithDialog(const std::string& pattern);

}  // namespace qelo::ct
