// The folder selection dialog as the main window opens it for the output
// folder, on a small folder tree of its own made in a private temporary
// folder: it runs modally, and with --screenshot PATH it saves the dialog
// as a PNG after --seconds N (default 1) and closes it. With --large N,
// "Recordings" holds N folders more and the dialog opens on the one in
// their middle (a level the tree fills off the window's thread).
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "ct_shell_ctrls_unit.h"
#include "ct_shell_dialogs.h"
#include "ct_shell_dialogs_script.h"
#include "ct_shell_intf.h"
#include "ct_shell_utils.h"
#include "vcl/controls/timer.h"
#include "win/window/display.h"

namespace {

using namespace qelo::vcl;
using namespace qelo::ct;

// Videos/ with the program's folders and a few others; one hidden.
std::string MakeFolders(const std::string& root) {
  const std::string videos = root + "/Videos";
  for (const char* folder : {"", "/Clipshift", "/Clipshift/Output", "/Clipshift/Output/Phone",
                             "/Clipshift/Snapshots", "/Clipshift/Temp", "/Holiday 2009", "/Holiday 2009/Beach",
                             "/Music clips", "/Recordings", "/.cache"})
    std::filesystem::create_directories(videos + folder);
  return videos;
}

std::string TakeName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "Take %05d", i);
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  int seconds = 1;
  int large = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--screenshot") == 0) screenshot = argv[i + 1];
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::max(std::atoi(argv[i + 1]), 1);
    if (std::strcmp(argv[i], "--large") == 0) large = std::max(std::atoi(argv[i + 1]), 0);
  }
  std::printf("display: %s\n", qelo::win::DisplayName());
  char pattern[] = "/tmp/qelo-folders-XXXXXX";
  if (!mkdtemp(pattern)) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string root = pattern;
  int status = 0;
  try {
    Application()->Initialize();
    InitializeCtShellIntf();
    InitializeCtShellUtils();
    InitializeShellCtrls();
    RegisterCtShellDialogClasses();
    const std::string videos = MakeFolders(root);
    for (int i = 0; i < large; ++i) mkdir((videos + "/Recordings/" + TakeName(i)).c_str(), 0755);
    auto* dialog = new TCtSelectFolderDialog(Application());
    dialog->SetTitle(" Select Output Path");
    dialog->SetFormPosition(poScreenCenter);
    dialog->SetOptions({sfdoCreateDeleteButtons, sfdoCreateFolderIcon, sfdoDeleteFolderIcon, sfdoShowHidden});
    dialog->BaseFolder()->SetPathName(videos);
    dialog->SetSelectedPathName(large > 0 ? videos + "/Recordings/" + TakeName(large / 2) : videos + "/Clipshift/Output");
    qelo::vcl::script::ModalScript modal;
    TTimer finish(nullptr);
    if (!screenshot.empty()) {
      qelo::ct::script::AnswerSelectFolder(modal, [&](TCtSelectFolderForm& form) {
        finish.SetInterval(seconds * 1000);
        finish.SetOnTimer([&](TObject*) {
          finish.SetEnabled(false);
          if (!qelo::win::SaveWindowScreenshot(form.Handle(), screenshot)) {
            std::fprintf(stderr, "could not save %s\n", screenshot.c_str());
            status = 1;
          }
          form.btnCancel->Click();
        });
      });
    }
    dialog->Execute();
    std::printf("chosen: %s\n", dialog->SelectedPathName().c_str());
    Application()->DestroyComponents();
    FinalizeShellCtrls();
    FinalizeCtShellUtils();
    FinalizeCtShellIntf();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "folder dialog sample: %s\n", e.what());
    status = 1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return status;
}
