// The player library's one log ("Qelo Player: "); InitializeQeloPlayer hands
// it the host's callback. Used by the display units and the player core.
#pragma once

#include "log/library_log.h"

namespace qelo::player {

log::LibraryLog& PlayerLog();

}  // namespace qelo::player
