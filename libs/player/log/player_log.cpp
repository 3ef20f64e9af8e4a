#include "player_log.h"

namespace qelo::player {

log::LibraryLog& PlayerLog() {
  static log::LibraryLog playerLog("Qelo Player: ");
  return playerLog;
}

}  // namespace qelo::player
