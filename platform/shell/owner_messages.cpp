#include "owner_messages.h"

#include "win/controls/message_box.h"

namespace qelo::shell {

void ShowShellError(win::HWND owner, const std::string& text) {
  if (owner) win::MessageBox(owner, text, "Error", win::MB_OK | win::MB_ICONERROR);
}

bool AskShellQuestion(win::HWND owner, const std::string& text) {
  return owner && win::MessageBox(owner, text, "Confirm", win::MB_YESNO | win::MB_ICONQUESTION) == win::IDYES;
}

}  // namespace qelo::shell
