// A fixed table of open objects addressed by integer handles.
//
// A new object takes the lowest free slot and keeps it until it is removed,
// so handles held by other users (the program, the player, the engine) never
// change under them. Objects are shared: a call that looked one up keeps it
// alive even when another thread removes it meanwhile.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <vector>

namespace qelo::codecs {

template <typename T, int N>
class HandleTable {
 public:
  static constexpr int kCapacity = N;

  // The handle, or -1 when every slot is taken.
  int Add(std::shared_ptr<T> item) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (int i = 0; i < N; ++i) {
      if (!slots_[i]) {
        slots_[i] = std::move(item);
        return i;
      }
    }
    return -1;
  }

  // Null for a bad handle: negative, too large, or not open.
  std::shared_ptr<T> Get(int handle) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return Valid(handle) ? slots_[handle] : nullptr;
  }

  std::shared_ptr<T> Remove(int handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    return Valid(handle) ? std::move(slots_[handle]) : nullptr;
  }

  std::vector<std::shared_ptr<T>> RemoveAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::shared_ptr<T>> all;
    for (auto& slot : slots_)
      if (slot) all.push_back(std::move(slot));
    return all;
  }

  bool Full() const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& slot : slots_)
      if (!slot) return false;
    return true;
  }

 private:
  static bool Valid(int handle) { return handle >= 0 && handle < N; }

  mutable std::mutex mutex_;
  std::array<std::shared_ptr<T>, N> slots_;
};

}  // namespace qelo::codecs
