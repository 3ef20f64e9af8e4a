// Message dialogs by kind: a message box whose title and icon follow the
// kind (warning, error, information, confirmation), with a set of buttons,
// and the plain message of ShowMessage.
#pragma once

#include <string>

#include "vcl/types.h"

namespace qelo::vcl {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// Titled "Warning", "Error", "Information", "Confirm" (mtCustom: the
// application's title); the first button of the set is the default.
// Returns the chosen button's modal result. The set must be one a message
// box has (OK; OK, Cancel; Yes, No; Yes, No, Cancel; Abort, Retry, Ignore;
// Retry, Cancel): EInvalidOperation otherwise.
int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
// The message with an OK button under the application's title.
void ShowMessage(const std::string& message);

}  // namespace qelo::vcl
