// Starts Clipshift as the program does (its libraries, its main window and
// message loop), saves the main window as a PNG file after --seconds N
// (default 2) and closes it, so that the program closes down as after a
// user's close. For CI's screenshot on a virtual display:
//
//   qelo_clipshift_screenshot --screenshot PATH [--seconds N] [--add FILE]...
//                             [--play 1 | --convert 1 | --settings 1]
//                             [--dialog PATH]
//
// Each --add FILE is added to the file list once the window is shown, as
// the Add Files command adds it, and the first row is selected. --play 1
// then presses Play; --convert 1 presses Start and saves the window once
// the whole run's bar is a quarter to nine tenths full (the run is then
// stopped, so that the window closes without asking); --settings 1 presses
// Settings. With --dialog PATH, the first dialog or message box shown (the
// settings dialog; with --convert 1, the question at the end of the run,
// which the run is then left to reach) is saved to PATH and cancelled or
// answered No.
//
// Exits with the program's status, or 2 when a picture was not saved.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "main_window.h"
#include "program.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/msgbox.h"
#include "vcl/controls/timer.h"
#include "win/window/display.h"

using namespace qelo;

namespace {

// The modal form shown over the main window, or null.
vcl::TCustomForm* ShownDialog(vcl::TCustomForm& mainWindow) {
  for (int i = 0; i < vcl::Screen()->FormCount(); ++i) {
    vcl::TCustomForm* form = vcl::Screen()->Forms(i);
    if (form != &mainWindow && form->Showing() && form->FormState().Contains(vcl::fsModal)) return form;
  }
  return nullptr;
}

// Ends a dialog as its Cancel (a message box by its last button, No).
void Dismiss(vcl::TCustomForm& dialog) {
  if (auto* box = dynamic_cast<vcl::TMessageForm*>(&dialog)) {
    dialog.SetModalResult(box->Buttons().back()->ModalResult());
    return;
  }
  dialog.SetModalResult(vcl::mrCancel);
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot, dialogShot;
  int seconds = 2;
  std::vector<std::string> files;
  bool play = false;
  bool convert = false;
  bool settings = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--screenshot") == 0) screenshot = argv[i + 1];
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::max(std::atoi(argv[i + 1]), 1);
    if (std::strcmp(argv[i], "--add") == 0) files.push_back(argv[i + 1]);
    if (std::strcmp(argv[i], "--play") == 0) play = std::atoi(argv[i + 1]) != 0;
    if (std::strcmp(argv[i], "--convert") == 0) convert = std::atoi(argv[i + 1]) != 0;
    if (std::strcmp(argv[i], "--settings") == 0) settings = std::atoi(argv[i + 1]) != 0;
    if (std::strcmp(argv[i], "--dialog") == 0) dialogShot = argv[i + 1];
  }
  if (screenshot.empty()) {
    std::fprintf(stderr, "usage: %s --screenshot PATH [--seconds N]\n", argv[0]);
    return 2;
  }
  std::printf("display: %s\n", win::DisplayName());
  bool saved = false;
  bool dialogSaved = dialogShot.empty();
  const int status = app::RunClipshift(app::RealLibraries(), [&](vcl::TCustomForm& mainWindow) {
    auto* window = dynamic_cast<app::TfrmVideoConvertor*>(&mainWindow);
    vcl::TCustomForm* main = &mainWindow;
    vcl::Application()->Post([window, &files, play, convert, settings] {
      for (const std::string& file : files) {
        int32_t groupId = -1;
        if (window && window->AddFileToJob(file, groupId)) window->AddJobListItem(groupId);
        else std::fprintf(stderr, "could not add %s\n", file.c_str());
      }
      if (window && !files.empty()) {
        window->lvMediaFile->ResizeLastColumn();
        window->lvMediaFile->Items()->Item(0)->SetSelected(true);
        if (play) window->BtnPlayClick(window->BtnPlay);
        if (convert) window->BtnStartClick(window->BtnStart);
        if (settings) window->btnSettingsClick(window->btnSettings);
      }
    });
    if (!dialogShot.empty()) {
      // Seen on two ticks in a row, the dialog has been painted.
      auto* watch = new vcl::TTimer(&mainWindow);
      watch->SetInterval(100);
      watch->SetOnTimer([&, main, watch, seen = static_cast<vcl::TCustomForm*>(nullptr)](vcl::TObject*) mutable {
        vcl::TCustomForm* dialog = ShownDialog(*main);
        if (!dialog || dialog != seen) {
          seen = dialog;
          return;
        }
        watch->SetEnabled(false);
        dialogSaved = win::SaveWindowScreenshot(dialog->Handle(), dialogShot);
        if (!dialogSaved) std::fprintf(stderr, "could not save %s\n", dialogShot.c_str());
        Dismiss(*dialog);
      });
    }
    auto* finish = new vcl::TTimer(&mainWindow);
    finish->SetInterval(convert ? 20 : seconds * 1000);
    finish->SetOnTimer([&, main, window, finish, waited = 0](vcl::TObject*) mutable {
      const bool inTime = (waited += finish->Interval()) < 120'000;
      if (inTime && ShownDialog(*main)) return;
      if (convert && window && inTime) {
        // Asked for the end question, the run is left to end.
        if (!dialogShot.empty() && (window->Converting() || !dialogSaved)) return;
        const int percent = window->pbTotalProgress->Percent();
        if (dialogShot.empty() && (!window->Converting() || percent < 25 || percent > 90)) return;
      }
      finish->SetEnabled(false);
      saved = win::SaveWindowScreenshot(main->Handle(), screenshot);
      if (!saved) std::fprintf(stderr, "could not save %s\n", screenshot.c_str());
      if (window && window->Converting()) window->WMConvertStopped(true);
      main->Close();
    });
  });
  return status != 0 ? status : saved && dialogSaved ? 0 : 2;
}
