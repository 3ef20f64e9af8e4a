// QeloAutoShutDown: switches the computer off when a conversion run is done.
#pragma once

#include "qelo/export.h"

// Mode 0 asks the login manager (logind, over the system D-Bus) to power the
// computer off; other modes are refused. The result is 1 when the request
// was accepted, 0 when it was refused; either way a line goes to QeloLog.
//
// When the environment variable QELO_SHUTDOWN_COMMAND is set, the command it
// holds (words split as a shell would, with quotes, but never run by a
// shell) runs instead and is waited for at most 10 seconds; 1 when it
// exited with status 0. Tests set it so that nothing is ever switched off.
QELO_EXPORT int QeloShutDown(int mode);
