// Clipshift, the desktop video converter.
#include <cstdio>

#include "program.h"

int main(int, char** argv) {
  // A window nobody can see could not be closed either.
  if (!qelo::app::DisplayAvailable()) {
    std::fprintf(stderr,
                 "Clipshift: there is no display to show its window on (DISPLAY and WAYLAND_DISPLAY are unset, "
                 "or the display cannot be opened). Start it in a graphical session, or on a virtual display "
                 "with: xvfb-run -a %s\n",
                 argv[0]);
    return 1;
  }
  return qelo::app::RunClipshift(qelo::app::RealLibraries());
}
