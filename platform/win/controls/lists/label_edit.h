// The in-place edit box of list and tree view labels: an "Edit" child of
// the control over the label, ended by Enter (accepted), Escape (cancelled)
// or losing the focus (accepted).
#pragma once

#include <functional>
#include <string>

#include "win/controls/commctrl.h"

namespace qelo::win::lists {

// Called once when the edit ends, before its window is destroyed (or, when
// something else destroys it, as it goes, as a cancel); `text` is the
// edited text when accepted.
using LabelEditDone = std::function<void(bool accepted, const std::string& text)>;

// An edit is started in two steps, so that a control can tell its parent of
// the edit while the box exists but is not yet shown (the parent may put
// another text into it): the box made hidden (nullptr when no edit box can
// be made: the "Edit" class is missing), then shown with its text selected
// and the focus.
HWND CreateLabelEdit(HWND owner, RECT where, const std::string& text, HFONT font,
                     LabelEditDone done);
void ShowLabelEdit(HWND edit);
// Destroys an edit box that the parent refused, without calling its done.
void DiscardLabelEdit(HWND edit);
// Ends an edit started here; nothing for any other window.
void EndLabelEdit(HWND edit, bool accept);

}  // namespace qelo::win::lists
