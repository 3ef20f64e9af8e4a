// QeloLog: the log file of the program and its libraries. One line per call,
// written to "QeloLog.log" in the folder handed to InitializeQeloLog, each
// stamped with the local time. Every call is safe from any thread and never
// fails visibly: lines that cannot be written are dropped.
#pragma once

#include "qelo/export.h"

// Opens (appending) the log file in `folder`, closing any log open before.
// 1 when the file is open, 0 otherwise (lines are then dropped).
QELO_EXPORT int InitializeQeloLog(const char16_t* folder);
// Writes one zero-terminated UTF-16 line; line breaks inside it become
// blanks, so a call is always one line of the file. Has the LogCallback
// signature, so the libraries can be handed its address.
QELO_EXPORT void QeloLogTextW(const char16_t* line);
// Closes the log; later lines are dropped until it is opened again.
QELO_EXPORT void DeInitializeQeloLog(void);
