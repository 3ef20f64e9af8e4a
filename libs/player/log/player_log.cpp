#include "player_log.h"

namespace qelo::player {

log::LibraryLog gLog("Qelo Player: ");

}  // namespace qelo::player
