// Worker threads with a priority and a join that can be bounded.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "win/sync.h"

namespace qelo::win {

enum class ThreadPriority { Normal, Idle };

class Thread {
 public:
  Thread() = default;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  // Joins a thread that still runs: the state it uses must outlive it.
  ~Thread();

  // Starts `body` on a new thread. False when a thread was already started
  // and not joined, or the system refused a new thread.
  bool Start(std::function<void()> body, ThreadPriority priority = ThreadPriority::Normal);

  // Waits at most `timeout` for the body to return; true when it returned and
  // the thread was joined. On false the thread still runs and stays owned.
  bool JoinFor(std::chrono::milliseconds timeout);
  void Join();

  bool Started() const { return thread_.joinable(); }
  bool Finished() const { return finished_.IsSet(); }

 private:
  std::thread thread_;
  ManualResetEvent finished_;
};

// Lowers the calling thread to the lowest scheduling priority.
void LowerCurrentThreadPriority();

}  // namespace qelo::win
