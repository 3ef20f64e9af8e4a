#include "player_instance_table.h"

#include <utility>

namespace qelo::player {

PlayerInstance* PlayerInstanceTable::Get(int index) const {
  if (index < 0 || index >= count_) return nullptr;
  return slots_[size_t(index)].get();
}

int PlayerInstanceTable::Add(std::unique_ptr<PlayerInstance> instance) {
  if (Full()) return -1;
  slots_[size_t(count_)] = std::move(instance);
  return count_++;
}

std::unique_ptr<PlayerInstance> PlayerInstanceTable::RemovePlayerInstance(int index) {
  if (!Get(index)) return nullptr;
  std::unique_ptr<PlayerInstance> removed = std::move(slots_[size_t(index)]);
  for (int i = index; i + 1 < count_; ++i) slots_[size_t(i)] = std::move(slots_[size_t(i + 1)]);
  --count_;
  return removed;
}

}  // namespace qelo::player
