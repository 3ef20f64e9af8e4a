// The player library's log: lines go to the callback handed to
// InitializeQeloPlayer, prefixed with the library's name. Used by the
// display units and the player core.
#pragma once

#include "log/library_log.h"

namespace qelo::player {

extern log::LibraryLog gLog;

}  // namespace qelo::player
