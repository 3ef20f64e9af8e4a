#include "ct_shell_dialogs_script.h"

namespace qelo::ct::script {

using namespace vcl;

void AnswerSelectFolder(vcl::script::ModalScript& modal, const std::string& path, TModalResult result) {
  AnswerSelectFolder(modal, [path, result](TCtSelectFolderForm& form) {
    bool chosen = true;
    if (!path.empty()) {
      TCtShellLocator folder;
      folder.SetPathName(path);
      form.ShellTree->SetSelectedFolder(&folder);
      chosen = form.ShellTree->SelectedPathName() == path;
    }
    (chosen && result == mrOk ? form.btnOk : form.btnCancel)->Click();
  });
}

void AnswerSelectFolder(vcl::script::ModalScript& modal, std::function<void(TCtSelectFolderForm& form)> step) {
  modal.Answer([step = std::move(step)](TCustomForm& form) {
    if (auto* folderForm = dynamic_cast<TCtSelectFolderForm*>(&form)) return step(*folderForm);
    form.SetModalResult(mrCancel);
  });
}

}  // namespace qelo::ct::script
