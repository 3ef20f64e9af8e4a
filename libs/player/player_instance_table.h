// The process's table of player instances: up to eight, addressed by slot
// number. Removing one moves the later ones down a slot. The host creates
// and destroys instances from one thread, so the table has no lock.
#pragma once

#include <array>
#include <memory>

#include "player_instance.h"

namespace qelo::player {

class PlayerInstanceTable {
 public:
  // Null for an index outside 0..count-1.
  PlayerInstance* Get(int index) const;
  bool Full() const { return count_ == MAX_PLAYER_INSTANCES; }
  // The new instance's index, or -1 when the table is full.
  int Add(std::unique_ptr<PlayerInstance> instance);
  // Takes the instance out and closes the gap.
  std::unique_ptr<PlayerInstance> RemovePlayerInstance(int index);
  int count() const { return count_; }

 private:
  std::array<std::unique_ptr<PlayerInstance>, MAX_PLAYER_INSTANCES> slots_;
  int count_ = 0;
};

}  // namespace qelo::player
