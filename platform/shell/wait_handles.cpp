#include "shell/wait_handles.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <unordered_set>

#include "shell/errors.h"

namespace qelo::shell {
namespace {

std::mutex handlesLock;
// Never destroyed: handles may be closed by other objects' destructors at exit.
std::unordered_set<WaitObject*>& OpenHandles() {
  static auto* handles = new std::unordered_set<WaitObject*>;
  return *handles;
}

// An eventfd whose counter is above zero while the event is set.
class Event final : public WaitObject {
 public:
  Event(int fd, bool manualReset) : fd_(fd), manualReset_(manualReset) {}
  ~Event() override { close(fd_); }

  int Descriptor() const override { return fd_; }
  State Take() override {
    if (manualReset_) return set_.load() ? State::kSignalled : State::kNotSignalled;
    // The reader that drains the counter is the one waiter released.
    uint64_t count = 0;
    return read(fd_, &count, sizeof count) == sizeof count ? State::kSignalled : State::kNotSignalled;
  }

  void Set() {
    set_.store(true);
    uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(fd_, &one, sizeof one);  // fails only on counter overflow
  }
  void Reset() {
    set_.store(false);
    uint64_t count = 0;
    [[maybe_unused]] ssize_t drained = read(fd_, &count, sizeof count);  // EAGAIN when it was not set
  }

 private:
  int fd_;
  bool manualReset_;
  std::atomic<bool> set_{false};
};

Event* AsEvent(HANDLE handle) { return IsOpenHandle(handle) ? dynamic_cast<Event*>(handle) : nullptr; }

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// The first handle that is signalled or abandoned now, or -1.
DWORD FirstReady(DWORD count, const HANDLE* handles) {
  for (DWORD i = 0; i < count; ++i) {
    switch (handles[i]->Take()) {
      case WaitObject::State::kSignalled: return WAIT_OBJECT_0 + i;
      case WaitObject::State::kAbandoned: return WAIT_ABANDONED_0 + i;
      case WaitObject::State::kNotSignalled: break;
    }
  }
  return WAIT_FAILED;
}

}  // namespace

void RegisterHandle(WaitObject* object) {
  std::lock_guard<std::mutex> hold(handlesLock);
  OpenHandles().insert(object);
}

bool IsOpenHandle(HANDLE handle) {
  std::lock_guard<std::mutex> hold(handlesLock);
  return OpenHandles().count(handle) != 0;
}

HANDLE CreateEvent(void*, BOOL manualReset, BOOL initiallySet, const char*) {
  int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (fd < 0) {
    SetLastError(ErrorFromErrno(errno));
    return nullptr;
  }
  auto* event = new Event(fd, manualReset != 0);
  if (initiallySet) event->Set();
  RegisterHandle(event);
  return event;
}

BOOL SetEvent(HANDLE handle) {
  Event* event = AsEvent(handle);
  if (!event) return 0;
  event->Set();
  return 1;
}

BOOL ResetEvent(HANDLE handle) {
  Event* event = AsEvent(handle);
  if (!event) return 0;
  event->Reset();
  return 1;
}

BOOL CloseHandle(HANDLE handle) {
  {
    std::lock_guard<std::mutex> hold(handlesLock);
    if (OpenHandles().erase(handle) == 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return 0;
    }
  }
  delete handle;
  return 1;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles || waitAll) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  pollfd fds[MAXIMUM_WAIT_OBJECTS];
  for (DWORD i = 0; i < count; ++i) {
    if (!IsOpenHandle(handles[i])) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    fds[i] = pollfd{handles[i]->Descriptor(), POLLIN, 0};
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (DWORD ready = FirstReady(count, handles); ready != WAIT_FAILED) return ready;
    int timeout = milliseconds == INFINITE ? -1 : RemainingMs(deadline);
    if (timeout == 0 && milliseconds != INFINITE) return WAIT_TIMEOUT;
    int polled = poll(fds, count, timeout);
    if (polled < 0 && errno != EINTR) {
      SetLastError(ErrorFromErrno(errno));
      return WAIT_FAILED;
    }
    if (polled == 0) {
      // The time is up; a handle that became ready at the last moment still counts.
      DWORD ready = FirstReady(count, handles);
      return ready != WAIT_FAILED ? ready : WAIT_TIMEOUT;
    }
  }
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  return WaitForMultipleObjects(1, &handle, 0, milliseconds);
}

}  // namespace qelo::shell
