// Posted and sent messages, message retrieval, waits and timers.
#include <algorithm>
#include <optional>

#include "window/internal.h"

namespace qelo::win {
namespace detail {
namespace {

using Lock = std::unique_lock<std::mutex>;

bool InRange(UINT message, UINT low, UINT high) {
  return (low == 0 && high == 0) || (message >= low && message <= high);
}

bool ForWindow(const MSG& m, HWND filter) {
  if (filter == nullptr) return true;
  if (m.hwnd == filter) return true;
  Window* w = Find(m.hwnd);
  for (Window* p = w ? w->parent : nullptr; p; p = p->parent)
    if (p->handle == filter) return true;
  return false;
}

MSG MakeMsg(HWND window, UINT message, WPARAM w, LPARAM l) {
  MSG m;
  m.hwnd = window;
  m.message = message;
  m.wParam = w;
  m.lParam = l;
  m.time = GetTickCount();
  m.pt = GetState().cursor;
  return m;
}

// Calls the window's procedure for a message; lock not held.
LRESULT CallProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  WNDPROC procedure = nullptr;
  {
    State& s = GetState();
    std::lock_guard lock(s.lock);
    Window* target = Find(window);
    if (target == nullptr) return 0;
    procedure = target->procedure;
  }
  if (message == kInternalCall) return (*reinterpret_cast<const std::function<LRESULT()>*>(l))();
  return procedure ? procedure(window, message, w, l) : DefWindowProc(window, message, w, l);
}

// Handles the oldest message sent to this thread; the lock is released
// during the call.
void HandleSent(Lock& lock, ThreadQueue& q) {
  std::shared_ptr<SentMessage> sent = q.sent.front();
  q.sent.pop_front();
  lock.unlock();
  const LRESULT result = CallProc(sent->window, sent->message, sent->wParam, sent->lParam);
  lock.lock();
  sent->result = result;
  sent->done = true;
  sent->sender->wake.notify_all();
}

// Handles one message sent to this thread, or one notice; false when
// there is none.
bool HandleIncoming(Lock& lock, ThreadQueue& q) {
  if (!q.sent.empty()) {
    HandleSent(lock, q);
    return true;
  }
  if (q.notices.empty()) return false;
  std::function<void()> notice = std::move(q.notices.front());
  q.notices.pop_front();
  lock.unlock();
  notice();
  lock.lock();
  return true;
}

bool TakeFrom(std::deque<MSG>& queue, MSG* msg, HWND filter, UINT low, UINT high, bool remove) {
  for (auto it = queue.begin(); it != queue.end();) {
    if (it->hwnd != nullptr && Find(it->hwnd) == nullptr) {
      it = queue.erase(it);  // its window is gone
      continue;
    }
    if (ForWindow(*it, filter) && InRange(it->message, low, high)) {
      *msg = *it;
      if (remove) queue.erase(it);
      return true;
    }
    ++it;
  }
  return false;
}

bool TakeTimer(ThreadQueue& q, MSG* msg, HWND filter, UINT low, UINT high, bool remove) {
  if (!InRange(WM_TIMER, low, high)) return false;
  const auto now = Clock::now();
  for (Timer& t : q.timers) {
    if (t.due > now) continue;
    MSG m = MakeMsg(t.window, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.procedure));
    if (!ForWindow(m, filter)) continue;
    *msg = m;
    if (remove) t.due = now + t.interval;
    return true;
  }
  return false;
}

std::optional<Clock::time_point> NextTimer(const ThreadQueue& q) {
  std::optional<Clock::time_point> next;
  for (const Timer& t : q.timers)
    if (!next || t.due < *next) next = t.due;
  return next;
}

void WaitForChange(Lock& lock, ThreadQueue& q, std::optional<Clock::time_point> deadline) {
  if (auto timer = NextTimer(q); timer && (!deadline || *timer < *deadline)) deadline = timer;
  if (deadline)
    q.wake.wait_until(lock, *deadline);
  else
    q.wake.wait(lock);
}

enum class Took { Nothing, Message, Input };

// Finds the next message for the caller in retrieval order. Sent messages
// are handled on the way.
Took Take(Lock& lock, ThreadQueue& q, MSG* msg, HWND filter, UINT low, UINT high, bool remove) {
  while (HandleIncoming(lock, q)) {
  }
  if (TakeFrom(q.posted, msg, filter, low, high, remove)) return Took::Message;
  if (q.quitPosted && InRange(WM_QUIT, low, high)) {
    *msg = MakeMsg(nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0);
    if (remove) q.quitPosted = false;
    return Took::Message;
  }
  if (TakeFrom(q.input, msg, filter, low, high, remove)) {
    if (remove) NoteInputRead(q, *msg);
    return Took::Input;
  }
  if (InRange(WM_PAINT, low, high) && TakePaintMessage(q, msg, filter)) return Took::Message;
  if (TakeTimer(q, msg, filter, low, high, remove)) return Took::Message;
  return Took::Nothing;
}

bool Retrieve(MSG* msg, HWND filter, UINT low, UINT high, bool remove, bool wait) {
  auto q = CurrentQueue();
  State& s = GetState();
  Lock lock(s.lock);
  for (;;) {
    const Took took = Take(lock, *q, msg, filter, low, high, remove);
    if (took == Took::Message) return true;
    if (took == Took::Input) {
      lock.unlock();
      if (CookInput(msg)) return true;
      lock.lock();
      continue;
    }
    if (!wait) return false;
    WaitForChange(lock, *q, std::nullopt);
  }
}

bool HasAnything(ThreadQueue& q) {
  MSG ignored;
  if (!q.posted.empty() || !q.input.empty() || q.quitPosted) return true;
  if (TakePaintMessage(q, &ignored, nullptr)) return true;
  const auto now = Clock::now();
  return std::any_of(q.timers.begin(), q.timers.end(), [&](const Timer& t) { return t.due <= now; });
}

// Only a live timer of the calling thread with that procedure is called: a
// WM_TIMER posted with any other lParam, or taken before its timer was
// killed, calls nothing.
LRESULT CallTimerProcedure(const MSG& m) {
  auto q = CurrentQueue();
  TIMERPROC procedure = nullptr;
  {
    std::lock_guard lock(GetState().lock);
    for (const Timer& t : q->timers)
      if (t.window == m.hwnd && t.id == m.wParam && reinterpret_cast<LPARAM>(t.procedure) == m.lParam)
        procedure = t.procedure;
  }
  if (procedure) procedure(m.hwnd, WM_TIMER, m.wParam, GetTickCount());
  return 0;
}

}  // namespace

void Wake(ThreadQueue& q) { q.wake.notify_all(); }

void PostInput(ThreadQueue& q, const MSG& msg) {
  q.input.push_back(msg);
  Wake(q);
}

void PostNotice(ThreadQueue& q, std::function<void()> call) {
  q.notices.push_back(std::move(call));
  Wake(q);
}

void DropWindowMessages(ThreadQueue& q, HWND window) {
  auto forWindow = [window](const MSG& m) { return m.hwnd == window; };
  q.posted.erase(std::remove_if(q.posted.begin(), q.posted.end(), forWindow), q.posted.end());
  q.input.erase(std::remove_if(q.input.begin(), q.input.end(), forWindow), q.input.end());
}

void KillWindowTimers(ThreadQueue& q, HWND window) {
  std::erase_if(q.timers, [window](const Timer& t) { return t.window == window; });
}

// How a message sent from the thread of `self` reaches its window: not at
// all (the window or its thread is gone), by a direct call made here (a
// window of the same thread: the lock is released and the answer handed
// back), or through `owner`'s queue (the lock still held).
enum class Route { kGone, kDirect, kQueue };
Route RouteSent(Lock& lock, const std::shared_ptr<ThreadQueue>& self, const MSG& m,
                std::shared_ptr<ThreadQueue>* owner, LRESULT* answer) {
  Window* target = Find(m.hwnd);
  if (target == nullptr || (target->owner != self && !target->owner->alive)) return Route::kGone;
  if (target->owner == self) {
    lock.unlock();
    *answer = CallProc(m.hwnd, m.message, m.wParam, m.lParam);
    return Route::kDirect;
  }
  *owner = target->owner;
  return Route::kQueue;
}

}  // namespace detail

using namespace detail;

BOOL PostMessage(HWND window, UINT message, WPARAM w, LPARAM l) {
  std::shared_ptr<ThreadQueue> target;
  if (window == nullptr) target = CurrentQueue();
  State& s = GetState();
  std::lock_guard lock(s.lock);
  if (window != nullptr) {
    Window* win = Find(window);
    if (win == nullptr || win->destroying) return 0;
    target = win->owner;
  }
  if (!target->alive) return 0;
  target->posted.push_back(MakeMsg(window, message, w, l));
  Wake(*target);
  return 1;
}

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM w, LPARAM l) {
  State& s = GetState();
  std::lock_guard lock(s.lock);
  auto it = s.threads.find(threadId);
  if (it == s.threads.end() || !it->second->alive) return 0;
  it->second->posted.push_back(MakeMsg(nullptr, message, w, l));
  Wake(*it->second);
  return 1;
}

void PostQuitMessage(int exitCode) {
  auto q = CurrentQueue();
  State& s = GetState();
  std::lock_guard lock(s.lock);
  q->quitPosted = true;
  q->quitCode = exitCode;
  Wake(*q);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto self = CurrentQueue();
  Lock lock(GetState().lock);
  std::shared_ptr<ThreadQueue> owner;
  LRESULT answer = 0;
  if (RouteSent(lock, self, MakeMsg(window, message, w, l), &owner, &answer) != Route::kQueue) return answer;
  auto sent = std::make_shared<SentMessage>();
  sent->window = window;
  sent->message = message;
  sent->wParam = w;
  sent->lParam = l;
  sent->sender = self;
  owner->sent.push_back(sent);
  Wake(*owner);
  while (!sent->done)
    if (!HandleIncoming(lock, *self)) self->wake.wait(lock);
  return sent->result;
}

BOOL SendNotifyMessage(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto self = CurrentQueue();
  Lock lock(GetState().lock);
  std::shared_ptr<ThreadQueue> owner;
  LRESULT answer = 0;
  const Route route = RouteSent(lock, self, MakeMsg(window, message, w, l), &owner, &answer);
  if (route != Route::kQueue) return route == Route::kDirect;
  PostNotice(*owner, [window, message, w, l] { CallProc(window, message, w, l); });
  return 1;
}

int GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
  if (window != nullptr) {
    auto q = CurrentQueue();
    std::lock_guard lock(GetState().lock);
    Window* w = Find(window);
    if (w == nullptr || w->owner != q) return -1;
  }
  Retrieve(msg, window, filterMin, filterMax, true, true);
  return msg->message == WM_QUIT ? 0 : 1;
}

BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
  return Retrieve(msg, window, filterMin, filterMax, (remove & PM_REMOVE) != 0, false) ? 1 : 0;
}

namespace {

// The character a key press makes that the display's text input never
// brings: the control codes of Backspace, Tab, Enter and Escape, Ctrl with
// a letter (1 to 26), and a letter or digit under Alt (a system character,
// for accelerators). 0 for every other key: printable characters come as
// text input, in the display's keyboard layout.
char16_t KeyCharacter(const MSG& key) {
  const int vk = static_cast<int>(key.wParam);
  const bool control = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
  if (key.message == WM_SYSKEYDOWN) {
    if (control) return 0;
    if (vk >= '0' && vk <= '9') return static_cast<char16_t>(vk);
    if (vk >= 'A' && vk <= 'Z') return static_cast<char16_t>(shift ? vk : vk - 'A' + 'a');
    return 0;
  }
  switch (vk) {
    case VK_BACK: return control ? 0x7F : 0x08;
    case VK_TAB: return control ? 0 : 0x09;
    case VK_RETURN: return control ? 0x0A : 0x0D;
    case VK_ESCAPE: return 0x1B;
    default: break;
  }
  if (control && vk >= 'A' && vk <= 'Z') return static_cast<char16_t>(vk - 'A' + 1);
  return 0;
}

}  // namespace

BOOL TranslateMessage(const MSG* msg) {
  if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return 0;
  if (const char16_t c = KeyCharacter(*msg))
    PostMessage(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, c, msg->lParam);
  return 1;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (msg == nullptr || msg->message == kInternalCall) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) return CallTimerProcedure(*msg);
  if (msg->hwnd == nullptr) return 0;
  return CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

WaitableEvent::WaitableEvent(bool manualReset, bool initiallySet)
    : manualReset_(manualReset), set_(initiallySet) {}

void WaitableEvent::Set() {
  State& s = GetState();
  std::lock_guard lock(s.lock);
  set_ = true;
  for (auto& [id, q] : s.threads)
    if (q->waitingEvents > 0) Wake(*q);
}

void WaitableEvent::Reset() {
  std::lock_guard lock(GetState().lock);
  set_ = false;
}

bool WaitableEvent::IsSet() const {
  std::lock_guard lock(GetState().lock);
  return set_;
}

DWORD MsgWaitForMultipleObjects(DWORD count, WaitableEvent* const* events, BOOL waitAll,
                                DWORD milliseconds, DWORD /*wakeMask*/) {
  if (waitAll || (count > 0 && events == nullptr)) return WAIT_FAILED;
  auto q = CurrentQueue();
  std::optional<Clock::time_point> deadline;
  if (milliseconds != INFINITE) deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  Lock lock(GetState().lock);
  ++q->waitingEvents;
  DWORD result = WAIT_TIMEOUT;
  for (;;) {
    while (HandleIncoming(lock, *q)) {
    }
    auto set = std::find_if(events, events + count, [](const WaitableEvent* e) { return e->set_; });
    if (set != events + count) {
      if (!(*set)->manualReset_) (*set)->set_ = false;
      result = WAIT_OBJECT_0 + static_cast<DWORD>(set - events);
      break;
    }
    if (HasAnything(*q)) {
      result = WAIT_OBJECT_0 + count;
      break;
    }
    if (deadline && Clock::now() >= *deadline) break;
    WaitForChange(lock, *q, deadline);
  }
  --q->waitingEvents;
  return result;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure) {
  // The platform's shortest timer period; shorter requests get it.
  constexpr UINT kMinimumPeriod = 10;
  auto q = CurrentQueue();
  State& s = GetState();
  std::lock_guard lock(s.lock);
  if (window != nullptr) {
    Window* w = Find(window);
    if (w == nullptr || w->owner != q) return 0;
  }
  auto same = std::find_if(q->timers.begin(), q->timers.end(),
                           [&](const Timer& t) { return t.window == window && t.id == id; });
  if (window == nullptr && same == q->timers.end()) id = s.nextThreadTimerId++;
  const std::chrono::milliseconds interval(std::max(milliseconds, kMinimumPeriod));
  Timer timer{window, id, procedure, interval, Clock::now() + interval};
  if (same != q->timers.end())
    *same = timer;
  else
    q->timers.push_back(timer);
  Wake(*q);
  return id == 0 ? 1 : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  auto q = CurrentQueue();
  std::lock_guard lock(GetState().lock);
  const auto before = q->timers.size();
  std::erase_if(q->timers, [&](const Timer& t) { return t.window == window && t.id == id; });
  return q->timers.size() != before;
}

DWORD GetTickCount() {
  // Milliseconds of the monotonic clock (time since boot), wrapping at 2^32.
  return static_cast<DWORD>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
          .count());
}

}  // namespace qelo::win
