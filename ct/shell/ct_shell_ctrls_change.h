// The change-notification thread of one shell control: it waits on up to 63
// change-notification handles and posts the control's window the change
// message with the slot of the watch that fired. The control only adds
// watches and removes them all; waiting, renewing and closing happen on
// the thread. The GUI thread hands over each action under a lock with a
// request number and waits a bounded time for that request's answer, so a
// late answer never passes for the next request's.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "shell/wait_handles.h"
#include "vcl/classes.h"
#include "win/thread.h"
#include "win/window/window.h"

namespace qelo::ct {

constexpr win::UINT WM_SHELLCHANGED = 0x465;
// How long a shell control waits after WM_SHELLCHANGED before it reads the
// shell again; each message restarts the wait, so many in a row give one
// refresh.
constexpr int ShellChangeRefreshDelayMs(bool focused) { return focused ? 400 : 2000; }

class TChangeHandlerThread : public vcl::TObject {
 public:
  static constexpr int kSlotCount = 63;
  static constexpr std::chrono::milliseconds kActionWait{2000};
  static constexpr std::chrono::milliseconds kEndWait{30000};

  // Starts the thread. A null owner window gets no messages.
  TChangeHandlerThread(win::HWND ownerWindow, win::UINT changeMessage);
  // Ends the thread, then closes every handle it held and the pending one.
  ~TChangeHandlerThread() override;

  // Watches the folder; false for an empty path, a folder that cannot be
  // watched, no free slot, or no answer within kActionWait. `slot` gets the
  // slot the watch took.
  bool AddWatch(const std::string& path, shell::DWORD notifyFilter, int* slot, bool watchSubtree);
  // Closes every watch (waits at most kActionWait for the thread).
  void RemoveAllWatches();

 private:
  enum class Action : uint8_t { kAdd = 0, kRemoveAll = 2, kEnd = 3 };

  void Execute();
  // Sends an action to the thread; true when the thread answered it in time.
  bool Request(Action action, shell::HANDLE pending, int* newSlot);
  // On the thread: carries out the action taken under the lock; false to end.
  bool CarryOut();
  void CloseSlot(int slot);

  win::HWND owner_;
  win::UINT message_;
  shell::HANDLE actionEvent_;

  // What the GUI thread hands over; guarded by lock_.
  std::mutex lock_;
  std::condition_variable processed_;
  Action action_ = Action::kAdd;
  shell::HANDLE pending_ = shell::INVALID_HANDLE_VALUE;
  int newSlot_ = -1;
  uint64_t requested_ = 0;
  uint64_t answered_ = 0;

  // Touched by the thread only while it runs, by the destructor after it ended.
  std::array<shell::HANDLE, kSlotCount> slots_;
  std::atomic<bool> terminated_{false};
  win::Thread thread_;
};

}  // namespace qelo::ct
