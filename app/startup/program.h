// The Clipshift program as a function: the form framework, start-up, the
// main window and its message loop, close-down.
#pragma once

#include <functional>

#include "startup.h"

namespace qelo::vcl {
class TCustomForm;
}

namespace qelo::app {

// The framework's application object, its classes and every class and
// picture the program's form files name (once).
void InitializeProgramFramework();

// Whether the program's windows can be seen: a display was found, or the
// headless mode of the tests was asked for (QELO_HEADLESS).
bool DisplayAvailable();

// The whole program: the framework and the shell units, start-up with the
// log in the program's data folder, the main window and its message loop,
// the windows freed, then close-down, the shell units last.
// SIGTERM, SIGINT and SIGHUP close the main window as a user's close would,
// without a question (a run is stopped), so the settings file and the log's
// end line are written.
// `started` (when given) is called with the main window once it is made,
// before the loop runs. Returns the process's exit status: 0, or 1 when
// start-up failed or the main window could not be made.
int RunClipshift(const ProgramLibraries& libraries,
                 const std::function<void(vcl::TCustomForm& mainWindow)>& started = {});

}  // namespace qelo::app
