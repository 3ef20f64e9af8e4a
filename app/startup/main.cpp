// Clipshift, the desktop video converter.
//
//   Clipshift [FILE]...
//
// Files named on the command line (as the desktop's "Open With" passes
// them) are added to the list once the main window is shown, as the Add
// Files command adds them.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "main_window.h"
#include "program.h"
#include "vcl/controls/forms.h"

int main(int argc, char** argv) {
  // A window nobody can see could not be closed either.
  if (!qelo::app::DisplayAvailable()) {
    std::fprintf(stderr,
                 "Clipshift: there is no display to show its window on (DISPLAY and WAYLAND_DISPLAY are unset, "
                 "or the display cannot be opened). Start it in a graphical session, or on a virtual display "
                 "with: xvfb-run -a %s\n",
                 argv[0]);
    return 1;
  }
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    const std::filesystem::path file = std::filesystem::absolute(argv[i], error);
    files.push_back(error ? argv[i] : file.string());
  }
  return qelo::app::RunClipshift(qelo::app::RealLibraries(), [&files](qelo::vcl::TCustomForm& form) {
    auto* window = dynamic_cast<qelo::app::TfrmVideoConvertor*>(&form);
    if (window && !files.empty()) qelo::vcl::Application()->Post([window, &files] { window->AddMediaFiles(files); });
  });
}
