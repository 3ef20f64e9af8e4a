// QeloWMVIndex: rebuilds the index of a WMV (ASF) file by running the
// re-index tool that the library carries.
#pragma once

#include "qelo/export.h"

// Writes a re-indexed copy of `source` to `destination` (zero-terminated
// UTF-16 paths; an existing destination file is deleted first). Returns 1
// when the tool ran and succeeded; 0 for null, empty, equal or same-file
// paths, a tool that cannot be written or started, or a tool that failed.
// Blocks until the tool has ended; calls are taken one at a time.
QELO_EXPORT int QeloIndexWMV(const char16_t* source, const char16_t* destination);
