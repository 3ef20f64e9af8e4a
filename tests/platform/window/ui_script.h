// Input given while a modal loop (a tracked menu, a drag) runs on the
// test's thread: a thread timer plays one step after another.
#pragma once

#include <functional>
#include <vector>

#include "win/window/window.h"

namespace qelo::test {

class TimedSteps {
 public:
  explicit TimedSteps(std::vector<std::function<void()>> steps, unsigned intervalMs = 20);
  ~TimedSteps();
  TimedSteps(const TimedSteps&) = delete;
  TimedSteps& operator=(const TimedSteps&) = delete;
  bool Done() const { return next_ >= steps_.size(); }

 private:
  static void Tick(win::HWND, win::UINT, win::UINT_PTR id, win::DWORD);
  std::vector<std::function<void()>> steps_;
  std::size_t next_ = 0;
  win::UINT_PTR timer_ = 0;
};

// Everything waiting in the calling thread's queue, dispatched.
void PumpMessages();

}  // namespace qelo::test
