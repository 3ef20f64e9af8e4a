// Scripted answers for the folder selection dialog, beside the framework's
// modal scripts, so that tests of the program can run it without a
// person: choose a folder and press OK or Cancel, or act on the form.
#pragma once

#include <functional>
#include <string>

#include "ct_shell_folder_form.h"
#include "vcl/controls/scripting.h"

namespace qelo::ct::script {

// The next modal run, a folder form: selects the folder at `path` (the
// one the dialog opened at when empty) and clicks OK, or Cancel for
// another result. A folder the tree cannot select (it does not exist, or
// lies outside the dialog's base folder) clicks Cancel instead, so a wrong
// path never passes for a choice. A run of any other form is cancelled.
void AnswerSelectFolder(vcl::script::ModalScript& modal, const std::string& path,
                        vcl::TModalResult result = vcl::mrOk);
// The next modal run, a folder form: the step acts on it as a user would
// (it must end the run; the script's queue answers what it opens).
void AnswerSelectFolder(vcl::script::ModalScript& modal, std::function<void(TCtSelectFolderForm& form)> step);

}  // namespace qelo::ct::script
