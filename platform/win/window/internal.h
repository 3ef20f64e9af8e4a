// Shared state of the window system. Everything here is guarded by
// State::lock except a window's surface, which its paint mutex guards.
// Window procedures and back-end calls never run with State::lock held.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "win/window/display.h"
#include "win/window/window.h"

namespace qelo::win::detail {

using Clock = std::chrono::steady_clock;
struct ThreadQueue;

// Owns a region handle.
struct Region {
  HRGN handle = nullptr;
  Region() = default;
  explicit Region(HRGN r) : handle(r) {}
  Region(const Region&) = delete;
  Region& operator=(const Region&) = delete;
  Region(Region&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}
  ~Region() { if (handle) DeleteObject(handle); }
  void Reset(HRGN r = nullptr) {
    if (handle) DeleteObject(handle);
    handle = r;
  }
  bool Empty() const;
};

struct Window {
  HWND handle = nullptr;
  WNDCLASS windowClass;
  WNDPROC procedure = nullptr;
  LONG_PTR userData = 0;
  LONG_PTR controlId = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string text;
  std::shared_ptr<ThreadQueue> owner;
  Window* parent = nullptr;           // the tree; nullptr for top-level windows
  std::vector<Window*> children;      // z-order, topmost first
  RECT rect;                          // in the parent's client (or screen) coordinates
  RECT client;                        // the client area in window coordinates
  Region windowRegion;                // window coordinates
  Region update;                      // client coordinates
  bool eraseDue = false;
  bool frameDue = false;
  bool internalPaint = false;
  bool redrawOff = false;
  bool minimized = false;
  bool destroying = false;
  bool trackLeave = false;

  // Pixels of the whole window, painted by the owner, read by the display.
  std::recursive_mutex paintMutex;
  HBITMAP surface = nullptr;
  std::vector<HBITMAP> retiredSurfaces;  // still held by a context

  int Width() const { return rect.right - rect.left; }
  int Height() const { return rect.bottom - rect.top; }
  bool TopLevel() const { return parent == nullptr; }
};
using WindowPtr = std::shared_ptr<Window>;

struct SentMessage {
  HWND window = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
  bool done = false;
  std::shared_ptr<ThreadQueue> sender;
};

struct Timer {
  HWND window = nullptr;  // nullptr: a timer of the thread
  UINT_PTR id = 0;
  TIMERPROC procedure = nullptr;
  std::chrono::milliseconds interval{0};
  Clock::time_point due;
};

// A thread's own view of the keyboard and mouse. Only the thread that has
// the keyboard has a focus window, only the one that has the mouse has a
// capture, and only the owner of the foreground window has an active one.
struct InputState {
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  uint8_t keys[256] = {};  // as of the input the thread has read: 0x80 down, 0x01 toggled
};

struct ThreadQueue {
  DWORD threadId = 0;
  InputState inputState;
  std::condition_variable wake;
  std::deque<MSG> posted;
  std::deque<MSG> input;
  std::deque<std::shared_ptr<SentMessage>> sent;
  std::deque<std::function<void()>> notices;  // run by the thread, nobody waits
  std::vector<Timer> timers;
  std::vector<Window*> windows;  // in creation order
  bool quitPosted = false;
  int quitCode = 0;
  bool alive = true;
  int waitingEvents = 0;  // inside MsgWaitForMultipleObjects
};

struct State {
  std::mutex lock;
  std::map<uintptr_t, WindowPtr> windows;
  std::vector<Window*> topLevels;  // z-order, topmost first
  std::map<DWORD, std::shared_ptr<ThreadQueue>> threads;
  std::map<std::string, WNDCLASS> classes;
  uintptr_t nextHandle = 0x10;
  DWORD nextThreadId = 1;
  UINT_PTR nextThreadTimerId = 1;
  ThreadQueue* keyboardOwner = nullptr;  // its focus (or the foreground window) gets the keys
  ThreadQueue* mouseOwner = nullptr;     // its capture gets the pointer
  HWND foreground = nullptr;             // the one active window on the screen
  POINT cursor;
  HWND hovered = nullptr;  // the window the pointer was last over
  uint8_t asyncKeys[256] = {};  // the keyboard and buttons now: 0x80 down, 0x01 toggled
  std::condition_variable eventSet;  // any WaitableEvent set
  std::unique_ptr<DisplayBackend> display;
};

State& GetState();
// The calling thread's queue, made on first use; the thread's windows are
// destroyed when the thread ends.
std::shared_ptr<ThreadQueue> CurrentQueue();
// With State::lock held.
Window* Find(HWND handle);
WindowPtr FindShared(HWND handle);
DisplayBackend& Display();

// Runs `call` on the window's owner thread (directly when that is the
// caller) and gives its result; 0 when the window is gone.
LRESULT RunOnOwner(HWND window, const std::function<LRESULT()>& call);

// Queue internals (State::lock held).
void Wake(ThreadQueue& q);
void PostInput(ThreadQueue& q, const MSG& msg);
// Runs `call` on the thread when it next looks at its queue or waits.
void PostNotice(ThreadQueue& q, std::function<void()> call);
void DropWindowMessages(ThreadQueue& q, HWND window);
void KillWindowTimers(ThreadQueue& q, HWND window);

// Geometry (State::lock held).
POINT WindowOriginOnScreen(const Window& w);   // the window rectangle's corner
POINT ClientOriginOnScreen(const Window& w);
Window* RootOf(Window& w);
POINT OffsetInRoot(const Window& w);           // the window's corner in its root
bool VisibleChain(const Window& w);
bool EnabledChain(const Window& w);
Window* WindowAtScreenPoint(POINT screen);
void Unlink(Window& w);
void LinkTop(Window& w, Window* parent);

// Painting.
void InvalidateWhole(Window& w, bool erase, bool frame);  // State::lock held
// After a size change from `oldClient`: the whole window when its class
// redraws on that change (CS_HREDRAW for the width, CS_VREDRAW for the
// height), else its frame and the client area the change uncovered; the
// rest keeps its pixels. State::lock held.
void InvalidateResized(Window& w, const RECT& oldClient);
void ReplaceSurface(Window& w);                            // owner thread, no lock
void DestroySurface(Window& w);
void NotifyPainted(HWND window);                           // no lock held
bool TakePaintMessage(ThreadQueue& q, MSG* msg, HWND filter);  // State::lock held

// Messages made from input when it is taken from the queue (owner thread).
bool CookInput(MSG* msg);
// The thread read an input message: its key state follows (State::lock held).
void NoteInputRead(ThreadQueue& q, const MSG& msg);
void ForgetWindowInput(Window& w);  // capture, focus, activation, hover (State::lock held)
void ForgetThreadInput(ThreadQueue& q);  // the thread ends (State::lock held)

// Default handling pieces.
LRESULT DefaultNcHitTest(HWND window, LPARAM screenPoint);
void DefaultNcPaint(HWND window);
LRESULT DefaultSysCommand(HWND window, WPARAM command);
LRESULT DefaultSetCursor(HWND window, LPARAM hitAndMessage);

constexpr UINT kInternalCall = 0x7FFF0001;  // lParam: const std::function<LRESULT()>*

}  // namespace qelo::win::detail
