#include "ct_shell_ctrls_change.h"

#include "shell/change_notify.h"
#include "shell/shell_log.h"

namespace qelo::ct {

TChangeHandlerThread::TChangeHandlerThread(win::HWND ownerWindow, win::UINT changeMessage)
    : owner_(ownerWindow), message_(changeMessage), actionEvent_(shell::CreateEvent(nullptr, 0, 0, nullptr)) {
  slots_.fill(shell::INVALID_HANDLE_VALUE);
  thread_.Start([this] { Execute(); });
}

TChangeHandlerThread::~TChangeHandlerThread() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    action_ = Action::kEnd;
    ++requested_;
  }
  terminated_.store(true);
  shell::SetEvent(actionEvent_);
  if (!thread_.JoinFor(kEndWait)) thread_.Join();  // its state must outlive it
  for (int slot = 0; slot < kSlotCount; ++slot) CloseSlot(slot);
  if (pending_ != shell::INVALID_HANDLE_VALUE) shell::FindCloseChangeNotification(pending_);
  shell::CloseHandle(actionEvent_);
}

bool TChangeHandlerThread::AddWatch(const std::string& path, shell::DWORD notifyFilter, int* slot, bool watchSubtree) {
  if (slot) *slot = -1;
  if (path.empty() || !actionEvent_) return false;
  shell::HANDLE handle = shell::FindFirstChangeNotification(path, watchSubtree, notifyFilter);
  if (handle == shell::INVALID_HANDLE_VALUE) return false;
  int placed = -1;
  if (!Request(Action::kAdd, handle, &placed)) return false;
  if (slot) *slot = placed;
  return placed >= 0;
}

void TChangeHandlerThread::RemoveAllWatches() { Request(Action::kRemoveAll, shell::INVALID_HANDLE_VALUE, nullptr); }

bool TChangeHandlerThread::Request(Action action, shell::HANDLE pending, int* newSlot) {
  std::unique_lock<std::mutex> hold(lock_);
  if (action == Action::kAdd) {
    // A handle an earlier add left pending (no free slot, or no answer in
    // time) is not overwritten and lost: it is closed first.
    if (pending_ != shell::INVALID_HANDLE_VALUE) shell::FindCloseChangeNotification(pending_);
    pending_ = pending;
  }
  action_ = action;
  const uint64_t request = ++requested_;
  shell::SetEvent(actionEvent_);
  const bool answered = processed_.wait_for(hold, kActionWait, [&] { return answered_ >= request; });
  if (answered && newSlot) *newSlot = newSlot_;
  return answered;
}

void TChangeHandlerThread::CloseSlot(int slot) {
  shell::HANDLE& handle = slots_[static_cast<std::size_t>(slot)];
  if (handle == shell::INVALID_HANDLE_VALUE) return;
  shell::FindCloseChangeNotification(handle);
  handle = shell::INVALID_HANDLE_VALUE;
}

bool TChangeHandlerThread::CarryOut() {
  std::lock_guard<std::mutex> hold(lock_);
  switch (action_) {
    case Action::kEnd:
      return false;
    case Action::kAdd:
      newSlot_ = -1;
      for (int slot = 0; slot < kSlotCount && pending_ != shell::INVALID_HANDLE_VALUE; ++slot) {
        if (slots_[static_cast<std::size_t>(slot)] != shell::INVALID_HANDLE_VALUE) continue;
        slots_[static_cast<std::size_t>(slot)] = pending_;
        pending_ = shell::INVALID_HANDLE_VALUE;
        newSlot_ = slot;
      }
      break;  // with no free slot the handle stays pending
    case Action::kRemoveAll:
      for (int slot = 0; slot < kSlotCount; ++slot) CloseSlot(slot);
      break;
  }
  answered_ = requested_;
  processed_.notify_all();
  return true;
}

void TChangeHandlerThread::Execute() {
  for (;;) {
    shell::HANDLE handles[shell::MAXIMUM_WAIT_OBJECTS] = {actionEvent_};
    int slotOf[shell::MAXIMUM_WAIT_OBJECTS] = {-1};
    shell::DWORD count = 1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if (slots_[static_cast<std::size_t>(slot)] == shell::INVALID_HANDLE_VALUE) continue;
      handles[count] = slots_[static_cast<std::size_t>(slot)];
      slotOf[count++] = slot;
    }
    const shell::DWORD result = shell::WaitForMultipleObjects(count, handles, 0, shell::INFINITE);
    if (terminated_.load()) return;
    if (result == shell::WAIT_OBJECT_0) {
      if (!CarryOut()) return;
    } else if (result > shell::WAIT_OBJECT_0 && result < shell::WAIT_OBJECT_0 + count) {
      const int slot = slotOf[result - shell::WAIT_OBJECT_0];
      if (owner_) win::PostMessage(owner_, message_, static_cast<win::WPARAM>(slot), 0);
      if (!shell::FindNextChangeNotification(slots_[static_cast<std::size_t>(slot)])) CloseSlot(slot);
    } else if (result > shell::WAIT_ABANDONED_0 && result < shell::WAIT_ABANDONED_0 + count) {
      CloseSlot(slotOf[result - shell::WAIT_ABANDONED_0]);
    } else {
      // A wait that fails cannot succeed later with the same handles; ending
      // here beats spinning. The control hears of no more changes.
      shell::ShellLog("the change-notification thread stopped: its wait failed");
      return;
    }
  }
}

}  // namespace qelo::ct
