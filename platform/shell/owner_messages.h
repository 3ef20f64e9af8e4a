// Messages the shell shows its user on behalf of an owner window: failures
// of operations the user started, and questions before destructive ones.
// Without an owner window nothing is shown (callers asked for silence).
#pragma once

#include <string>

#include "win/window/window.h"

namespace qelo::shell {

void ShowShellError(win::HWND owner, const std::string& text);
// True when the user answers Yes; false without an owner.
bool AskShellQuestion(win::HWND owner, const std::string& text);

}  // namespace qelo::shell
