// Synchronisation objects with the semantics the libraries were designed
// around: recursive critical sections and manual-reset events with bounded
// waits.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace qelo::win {

// A critical section may be entered again by the thread that holds it.
using CriticalSection = std::recursive_mutex;
using CriticalSectionLock = std::lock_guard<CriticalSection>;

// A manual-reset event stays set until Reset(); every waiter sees it.
class ManualResetEvent {
 public:
  explicit ManualResetEvent(bool initiallySet = false) : set_(initiallySet) {}
  ManualResetEvent(const ManualResetEvent&) = delete;
  ManualResetEvent& operator=(const ManualResetEvent&) = delete;

  void Set();
  void Reset();
  bool IsSet() const;

  // Waits until the event is set. Returns false when the timeout passed first.
  bool WaitFor(std::chrono::milliseconds timeout) const;
  void Wait() const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool set_;
};

}  // namespace qelo::win
