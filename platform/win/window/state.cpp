// The process-wide window state, threads' queues and their end.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "window/internal.h"

namespace qelo::win {
namespace detail {

bool Region::Empty() const {
  RECT box;
  return handle == nullptr || GetRgnBox(handle, &box) == NULLREGION;
}

State& GetState() {
  // Never destroyed: threads may still end after static destruction began.
  static State* state = new State;
  return *state;
}

namespace {

std::atomic<DWORD> g_nextThreadId{1};
// Set once the back end is chosen; until then there is nothing to end.
std::atomic<DisplayBackend*> g_display{nullptr};

void DestroyThreadWindows(ThreadQueue& q) {
  State& s = GetState();
  for (;;) {
    HWND root = nullptr;
    {
      std::lock_guard lock(s.lock);
      for (Window* w : q.windows) {
        if (w->parent == nullptr || w->parent->owner.get() != &q) {
          root = w->handle;
          break;
        }
      }
    }
    if (root == nullptr) return;
    DestroyWindow(root);
  }
}

void EndQueue(const std::shared_ptr<ThreadQueue>& q) {
  DestroyThreadWindows(*q);
  State& s = GetState();
  std::lock_guard lock(s.lock);
  q->alive = false;
  ForgetThreadInput(*q);
  for (auto& sent : q->sent) {
    sent->done = true;
    sent->sender->wake.notify_all();
  }
  q->sent.clear();
  q->notices.clear();
  q->posted.clear();
  q->input.clear();
  s.threads.erase(q->threadId);
}

bool OnMainThread() { return gettid() == getpid(); }

struct ThreadHolder {
  DWORD id = g_nextThreadId++;
  std::shared_ptr<ThreadQueue> queue;
  ~ThreadHolder() {
    if (queue) EndQueue(queue);
    // The main thread's end is the first step of exit(), before any exit
    // handler or static destructor, of whatever library: the display stops
    // here while everything it uses (a renderer's libraries too) is whole.
    if (OnMainThread()) ShutdownDisplay();
  }
};

thread_local ThreadHolder t_thread;

bool HeadlessWanted() {
  const char* forced = std::getenv("QELO_HEADLESS");
  if (forced != nullptr && *forced != '\0' && std::strcmp(forced, "0") != 0) return true;
  return std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr;
}

}  // namespace

std::shared_ptr<ThreadQueue> CurrentQueue() {
  if (!t_thread.queue) {
    auto q = std::make_shared<ThreadQueue>();
    q->threadId = t_thread.id;
    State& s = GetState();
    std::lock_guard lock(s.lock);
    s.threads[q->threadId] = q;
    t_thread.queue = q;
  }
  return t_thread.queue;
}

DisplayBackend& Display() {
  static std::once_flag once;
  std::call_once(once, [] {
    std::unique_ptr<DisplayBackend> chosen;
    if (!HeadlessWanted()) chosen = MakeSdlDisplay();
    if (!chosen) chosen = MakeHeadlessDisplay(SIZE{1280, 1024});
    GetState().display = std::move(chosen);
    g_display = GetState().display.get();
    // For an exit from another thread, or a main thread that never used
    // the window system; runs before the exit handlers registered so far.
    std::atexit(ShutdownDisplay);
  });
  return *GetState().display;
}

Window* Find(HWND handle) {
  State& s = GetState();
  auto it = s.windows.find(reinterpret_cast<uintptr_t>(handle));
  if (it == s.windows.end()) return nullptr;
  return it->second.get();
}

WindowPtr FindShared(HWND handle) {
  State& s = GetState();
  auto it = s.windows.find(reinterpret_cast<uintptr_t>(handle));
  return it == s.windows.end() ? nullptr : it->second;
}

LRESULT RunOnOwner(HWND window, const std::function<LRESULT()>& call) {
  bool own = false;
  {
    State& s = GetState();
    std::lock_guard lock(s.lock);
    Window* w = Find(window);
    if (w == nullptr) return 0;
    own = w->owner.get() == t_thread.queue.get();
  }
  if (own) return call();
  return SendMessage(window, kInternalCall, 0, reinterpret_cast<LPARAM>(&call));
}

}  // namespace detail

DWORD GetCurrentThreadId() { return detail::t_thread.id; }

const char* DisplayName() { return detail::Display().Name(); }

void ShutdownDisplay() {
  if (DisplayBackend* display = detail::g_display.load()) display->Shutdown();
}

}  // namespace qelo::win
