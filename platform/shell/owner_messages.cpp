#include "shell/owner_messages.h"

#include "vcl/controls/forms.h"
#include "vcl/dialogs/message_dlg.h"

namespace qelo::shell {

void ShowShellError(win::HWND owner, const std::string& text) {
  if (owner) vcl::MessageDlg(text, vcl::mtError, {vcl::mbOK});
}

bool AskShellQuestion(win::HWND owner, const std::string& text) {
  return owner && vcl::MessageDlg(text, vcl::mtConfirmation, {vcl::mbYes, vcl::mbNo}) == vcl::mrYes;
}

}  // namespace qelo::shell
