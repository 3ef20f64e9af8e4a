// Starts Clipshift as the program does (its libraries, its main window and
// message loop), saves the main window as a PNG file after --seconds N
// (default 2) and closes it, so that the program closes down as after a
// user's close. For CI's screenshot on a virtual display:
//
//   qelo_clipshift_screenshot --screenshot PATH [--seconds N] [--add FILE]...
//                             [--play 1 | --convert 1]
//
// Each --add FILE is added to the file list once the window is shown, as
// the Add Files command adds it, and the first row is selected. --play 1
// then presses Play; --convert 1 presses Start and saves the window once
// the whole run's bar is a quarter to nine tenths full (the run is then
// stopped, so that the window closes without asking).
//
// Exits with the program's status, or 2 when the picture was not saved.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "main_window.h"
#include "program.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/timer.h"
#include "win/window/display.h"

using namespace qelo;

int main(int argc, char** argv) {
  std::string screenshot;
  int seconds = 2;
  std::vector<std::string> files;
  bool play = false;
  bool convert = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--screenshot") == 0) screenshot = argv[i + 1];
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::max(std::atoi(argv[i + 1]), 1);
    if (std::strcmp(argv[i], "--add") == 0) files.push_back(argv[i + 1]);
    if (std::strcmp(argv[i], "--play") == 0) play = std::atoi(argv[i + 1]) != 0;
    if (std::strcmp(argv[i], "--convert") == 0) convert = std::atoi(argv[i + 1]) != 0;
  }
  if (screenshot.empty()) {
    std::fprintf(stderr, "usage: %s --screenshot PATH [--seconds N]\n", argv[0]);
    return 2;
  }
  std::printf("display: %s\n", win::DisplayName());
  bool saved = false;
  const int status = app::RunClipshift(app::RealLibraries(), [&](vcl::TCustomForm& mainWindow) {
    auto* window = dynamic_cast<app::TfrmVideoConvertor*>(&mainWindow);
    vcl::Application()->Post([window, &files, play, convert] {
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
      }
    });
    auto* finish = new vcl::TTimer(&mainWindow);
    finish->SetInterval(convert ? 20 : seconds * 1000);
    finish->SetOnTimer([&saved, &mainWindow, &screenshot, convert, window, finish, waited = 0](vcl::TObject*) mutable {
      if (convert && window && (waited += 20) < 60'000) {
        const int percent = window->pbTotalProgress->Percent();
        if (!window->Converting() || percent < 25 || percent > 90) return;
      }
      finish->SetEnabled(false);
      saved = win::SaveWindowScreenshot(mainWindow.Handle(), screenshot);
      if (!saved) std::fprintf(stderr, "could not save %s\n", screenshot.c_str());
      if (window && window->Converting()) window->WMConvertStopped(true);
      mainWindow.Close();
    });
  });
  return status != 0 ? status : saved ? 0 : 2;
}
