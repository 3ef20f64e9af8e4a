// Mouse and keyboard input: routing to the window under the pointer, the
// capture or the focus; activation, focus, capture and key state, kept per
// thread; cursors; the move and size loops.
#include <algorithm>
#include <cstdlib>
#include <map>

#include "window/internal.h"

namespace qelo::win {

struct CursorObject {
  std::string name;
};

namespace detail {
namespace {

using Lock = std::unique_lock<std::mutex>;

constexpr DWORD kDoubleClickTime = 500;
constexpr int kDoubleClickDistance = 2;

struct LastDown {
  UINT message = 0;
  HWND window = nullptr;
  DWORD time = 0;
  POINT point;
};
LastDown g_lastDown;    // State::lock
HCURSOR g_cursor = nullptr;  // State::lock

bool IsMouseMessage(UINT m) { return m >= WM_MOUSEMOVE && m <= WM_MBUTTONDBLCLK; }

WPARAM MouseKeys() {
  const uint8_t* keys = GetState().asyncKeys;
  WPARAM w = 0;
  if (keys[VK_LBUTTON] & 0x80) w |= MK_LBUTTON;
  if (keys[VK_RBUTTON] & 0x80) w |= MK_RBUTTON;
  if (keys[VK_MBUTTON] & 0x80) w |= MK_MBUTTON;
  if (keys[VK_SHIFT] & 0x80) w |= MK_SHIFT;
  if (keys[VK_CONTROL] & 0x80) w |= MK_CONTROL;
  return w;
}

void Queue(Window& target, UINT message, WPARAM w, LPARAM l) {
  MSG m{target.handle, message, w, l, GetTickCount(), GetState().cursor};
  PostInput(*target.owner, m);
}

// The window that gets pointer input at the point: the capture, else the
// window under it when it and its parents are enabled.
Window* PointerTarget(POINT screen) {
  State& s = GetState();
  if (s.mouseOwner && s.mouseOwner->inputState.capture) return Find(s.mouseOwner->inputState.capture);
  Window* under = WindowAtScreenPoint(screen);
  return under && EnabledChain(*under) ? under : nullptr;
}

void TrackHover(POINT screen) {
  State& s = GetState();
  Window* under = WindowAtScreenPoint(screen);
  HWND now = under ? under->handle : nullptr;
  if (now == s.hovered) return;
  if (Window* old = Find(s.hovered); old && old->trackLeave) {
    old->trackLeave = false;
    Queue(*old, WM_MOUSELEAVE, 0, 0);
  }
  s.hovered = now;
}

UINT ButtonMessage(MouseButton button, bool down) {
  switch (button) {
    case MouseButton::Left: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case MouseButton::Right: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case MouseButton::Middle: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
  }
  return WM_NULL;
}

int ButtonKey(MouseButton button) {
  switch (button) {
    case MouseButton::Left: return VK_LBUTTON;
    case MouseButton::Right: return VK_RBUTTON;
    case MouseButton::Middle: return VK_MBUTTON;
  }
  return 0;
}

// A second press close in time and place on a window whose class asks for
// double clicks becomes the double-click message.
UINT WithDoubleClick(UINT message, Window& target, POINT screen) {
  const DWORD now = GetTickCount();
  const bool again = g_lastDown.message == message && g_lastDown.window == target.handle &&
                     now - g_lastDown.time < kDoubleClickTime &&
                     std::abs(screen.x - g_lastDown.point.x) <= kDoubleClickDistance &&
                     std::abs(screen.y - g_lastDown.point.y) <= kDoubleClickDistance;
  if (again && (target.windowClass.style & CS_DBLCLKS)) {
    g_lastDown = {};
    return message + 2;  // xBUTTONDOWN + 2 is xBUTTONDBLCLK
  }
  g_lastDown = {message, target.handle, now, screen};
  return message;
}

void SetKey(uint8_t* keys, int vk, bool down) {
  uint8_t& k = keys[vk & 0xFF];
  if (down && !(k & 0x80)) k ^= 0x01;
  k = static_cast<uint8_t>(down ? (k | 0x80) : (k & ~0x80));
}

// The focus of the thread that has the keyboard, else the foreground window.
Window* KeyboardTarget() {
  State& s = GetState();
  Window* target = s.keyboardOwner ? Find(s.keyboardOwner->inputState.focus) : nullptr;
  if (target == nullptr) target = Find(s.foreground);
  return target && EnabledChain(*target) ? target : nullptr;
}

bool IsSystemKey(int vk) {
  const uint8_t* keys = GetState().asyncKeys;
  return vk == VK_F10 || ((keys[VK_MENU] & 0x80) && !(keys[VK_CONTROL] & 0x80));
}

std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += extra + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

HWND RootHandle(HWND window) { return GetAncestor(window, GA_ROOT); }

// Activates a top-level window; one of another thread on its thread,
// without the calling thread waiting for it: that thread may be waiting
// for this one.
void Activate(HWND root) {
  auto self = CurrentQueue();
  {
    std::lock_guard lock(GetState().lock);
    Window* r = Find(root);
    if (r == nullptr) return;
    if (r->owner != self) {
      PostNotice(*r->owner, [root] { SetActiveWindow(root); });
      return;
    }
  }
  SetActiveWindow(root);
}

// A click in a window whose top-level window is not the foreground asks
// the window (WM_MOUSEACTIVATE) whether to activate and whether the click
// still goes on (false: it is eaten, MA_ACTIVATEANDEAT or
// MA_NOACTIVATEANDEAT).
bool ActivateForClick(HWND window, LRESULT hit, UINT message) {
  const HWND root = RootHandle(window);
  if (root == nullptr || GetForegroundWindow() == root) return true;
  const LRESULT answer = SendMessage(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root),
                                     MAKELPARAM(static_cast<int>(hit), static_cast<int>(message)));
  const bool eaten = answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT;
  if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) Activate(root);
  return !eaten;
}

// Resizing edges of the size loop: how each side follows the pointer.
struct EdgeFollow {
  int left, top, right, bottom;
};
EdgeFollow EdgeOf(WPARAM edge) {
  static const EdgeFollow kEdges[] = {
      {0, 0, 0, 0},  {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 0}, {1, 1, 0, 0},
      {0, 1, 1, 0},  {0, 0, 0, 1}, {1, 0, 0, 1}, {0, 0, 1, 1}};
  return edge < 9 ? kEdges[edge] : kEdges[8];
}

// Moves or sizes the window with the pointer until the left button is
// released (or Escape puts it back).
LRESULT TrackLoop(HWND window, bool move, WPARAM edge) {
  if (GetKeyState(VK_LBUTTON) >= 0) return 0;
  POINT start;
  GetCursorPos(&start);
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  const EdgeFollow follow = move ? EdgeFollow{1, 1, 1, 1} : EdgeOf(edge);
  SetCapture(window);
  MSG m;
  while (GetCapture() == window && IsWindow(window)) {
    if (GetMessage(&m, nullptr, 0, 0) == 0) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (m.message == WM_LBUTTONUP) break;
    if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
      SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
      break;
    }
    if (m.message == WM_MOUSEMOVE && m.hwnd == window) {
      POINT now;
      GetCursorPos(&now);
      const int dx = now.x - start.x, dy = now.y - start.y;
      const RECT next{r.left + follow.left * dx, r.top + follow.top * dy,
                      r.right + follow.right * dx, r.bottom + follow.bottom * dy};
      SetWindowPos(window, nullptr, next.left, next.top, next.right - next.left,
                   next.bottom - next.top, SWP_NOZORDER | (move ? SWP_NOSIZE : 0));
      continue;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (GetCapture() == window) ReleaseCapture();
  return 0;
}

}  // namespace

bool CookInput(MSG* msg) {
  if (!IsMouseMessage(msg->message)) return true;
  const LPARAM screen = msg->lParam;
  const bool captured = GetCapture() == msg->hwnd;
  const LRESULT hit = captured ? HTCLIENT : SendMessage(msg->hwnd, WM_NCHITTEST, 0, screen);
  if (hit == HTTRANSPARENT) {
    // Passed on to the window beneath: the parent.
    State& s = GetState();
    std::lock_guard lock(s.lock);
    Window* w = Find(msg->hwnd);
    if (w && w->parent) Queue(*w->parent, msg->message, msg->wParam, screen);
    return false;
  }
  if (hit == HTNOWHERE || hit == HTERROR) return false;
  const bool press = msg->message != WM_MOUSEMOVE && ((msg->message - WM_LBUTTONDOWN) % 3) != 1;
  if (!captured && (msg->message == WM_MOUSEMOVE || press))
    SendMessage(msg->hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(msg->hwnd),
                MAKELPARAM(static_cast<int>(hit), static_cast<int>(msg->message)));
  if (!captured && press && !ActivateForClick(msg->hwnd, hit, msg->message)) return false;
  if (hit == HTCLIENT) {
    POINT p{GET_X_LPARAM(screen), GET_Y_LPARAM(screen)};
    ScreenToClient(msg->hwnd, &p);
    msg->lParam = MAKELPARAM(p.x, p.y);
    return true;
  }
  msg->message = msg->message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
  msg->wParam = static_cast<WPARAM>(hit);
  return true;
}

void NoteInputRead(ThreadQueue& q, const MSG& msg) {
  uint8_t* keys = q.inputState.keys;
  switch (msg.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: SetKey(keys, static_cast<int>(msg.wParam), true); break;
    case WM_KEYUP: case WM_SYSKEYUP: SetKey(keys, static_cast<int>(msg.wParam), false); break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: SetKey(keys, VK_LBUTTON, true); break;
    case WM_LBUTTONUP: SetKey(keys, VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: SetKey(keys, VK_RBUTTON, true); break;
    case WM_RBUTTONUP: SetKey(keys, VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: SetKey(keys, VK_MBUTTON, true); break;
    case WM_MBUTTONUP: SetKey(keys, VK_MBUTTON, false); break;
    default: break;
  }
}

void ForgetWindowInput(Window& w) {
  State& s = GetState();
  InputState& in = w.owner->inputState;
  if (in.capture == w.handle) {
    in.capture = nullptr;
    if (s.mouseOwner == w.owner.get()) s.mouseOwner = nullptr;
  }
  if (in.focus == w.handle) in.focus = nullptr;
  if (in.active == w.handle) in.active = nullptr;
  if (s.foreground == w.handle) s.foreground = nullptr;
  if (s.hovered == w.handle) s.hovered = nullptr;
}

void ForgetThreadInput(ThreadQueue& q) {
  State& s = GetState();
  if (s.keyboardOwner == &q) s.keyboardOwner = nullptr;
  if (s.mouseOwner == &q) s.mouseOwner = nullptr;
}

// The parent chooses first, when it is of the same thread: a thread never
// waits on another for its cursor.
LRESULT DefaultSetCursor(HWND window, LPARAM hitAndMessage) {
  const HWND parent = GetParent(window);
  const bool parentHere = parent && GetWindowThreadProcessId(parent, nullptr) == GetCurrentThreadId();
  if (parentHere && SendMessage(parent, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), hitAndMessage))
    return 1;
  const auto hit = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(hitAndMessage)));
  HCURSOR cursor = nullptr;
  switch (hit) {
    case HTCLIENT: {
      WNDCLASS cls;
      if (GetClassInfo(GetClassName(window), &cls)) cursor = cls.hCursor;
      break;
    }
    case HTLEFT: case HTRIGHT: cursor = LoadCursor(nullptr, IDC_SIZEWE); break;
    case HTTOP: case HTBOTTOM: cursor = LoadCursor(nullptr, IDC_SIZENS); break;
    case HTTOPLEFT: case HTBOTTOMRIGHT: cursor = LoadCursor(nullptr, IDC_SIZENWSE); break;
    case HTTOPRIGHT: case HTBOTTOMLEFT: cursor = LoadCursor(nullptr, IDC_SIZENESW); break;
    default: cursor = LoadCursor(nullptr, IDC_ARROW); break;
  }
  if (cursor) SetCursor(cursor);
  return 0;
}

LRESULT DefaultSysCommand(HWND window, WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_CLOSE: return SendMessage(window, WM_CLOSE, 0, 0);
    case SC_MINIMIZE: ShowWindow(window, SW_MINIMIZE); return 0;
    case SC_RESTORE: ShowWindow(window, SW_RESTORE); return 0;
    case SC_MOVE: return TrackLoop(window, true, 0);
    case SC_SIZE: return TrackLoop(window, false, command & 0x000F);
    default: return 0;
  }
}

}  // namespace detail

using namespace detail;

// ---- injection ------------------------------------------------------------------

void InjectMouseMove(POINT screen) {
  Display();
  State& s = GetState();
  std::lock_guard lock(s.lock);
  s.cursor = screen;
  TrackHover(screen);
  if (Window* target = PointerTarget(screen))
    Queue(*target, WM_MOUSEMOVE, MouseKeys(), MAKELPARAM(screen.x, screen.y));
}

void InjectMouseButton(MouseButton button, bool down, POINT screen) {
  Display();
  State& s = GetState();
  std::lock_guard lock(s.lock);
  s.cursor = screen;
  TrackHover(screen);
  SetKey(s.asyncKeys, ButtonKey(button), down);
  Window* target = PointerTarget(screen);
  if (target == nullptr) return;
  UINT message = ButtonMessage(button, down);
  if (down) message = WithDoubleClick(message, *target, screen);
  Queue(*target, message, MouseKeys(), MAKELPARAM(screen.x, screen.y));
}

void InjectMouseWheel(int delta, POINT screen) {
  State& s = GetState();
  std::lock_guard lock(s.lock);
  s.cursor = screen;
  if (Window* target = KeyboardTarget())
    Queue(*target, WM_MOUSEWHEEL, (static_cast<WPARAM>(static_cast<uint16_t>(delta)) << 16) | MouseKeys(),
          MAKELPARAM(screen.x, screen.y));
}

void InjectKey(int virtualKey, bool down) {
  State& s = GetState();
  std::lock_guard lock(s.lock);
  const bool wasDown = (s.asyncKeys[virtualKey & 0xFF] & 0x80) != 0;
  const bool system = IsSystemKey(virtualKey) || (virtualKey == VK_MENU);
  SetKey(s.asyncKeys, virtualKey, down);
  Window* target = KeyboardTarget();
  if (target == nullptr) return;
  UINT message = down ? WM_KEYDOWN : WM_KEYUP;
  if (system) message += WM_SYSKEYDOWN - WM_KEYDOWN;
  const uint32_t flags = 1u | (wasDown ? 0x40000000u : 0u) | (down ? 0u : 0xC0000000u);
  Queue(*target, message, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(flags));
}

void InjectText(const std::string& utf8) {
  State& s = GetState();
  std::lock_guard lock(s.lock);
  Window* target = KeyboardTarget();
  if (target == nullptr) return;
  for (char16_t unit : Utf16(utf8)) Queue(*target, WM_CHAR, unit, 1);
}

// ---- capture, pointer, focus -------------------------------------------------------

namespace {

enum class Loss { Focus, Activation, Capture };

bool StillLost(const Window& w, Loss loss) {
  const InputState& in = w.owner->inputState;
  switch (loss) {
    case Loss::Focus: return in.focus != w.handle;
    case Loss::Activation: return in.active != w.handle;
    case Loss::Capture: return in.capture != w.handle;
  }
  return false;
}

void SendLoss(HWND loser, Loss loss, HWND winner) {
  switch (loss) {
    case Loss::Focus: SendMessage(loser, WM_KILLFOCUS, reinterpret_cast<WPARAM>(winner), 0); break;
    case Loss::Activation:
      SendMessage(loser, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(winner));
      RedrawWindow(loser, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      break;
    case Loss::Capture: SendMessage(loser, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(winner)); break;
  }
}

// Tells a window that it lost the focus, the activation or the capture to
// `winner`: at once on its own thread, else when its thread next looks at
// its queue, so that threads taking these from each other never wait on
// each other. A loss undone meanwhile is not told.
void TellLoss(HWND loser, Loss loss, HWND winner) {
  if (loser == nullptr || loser == winner) return;
  auto tell = [loser, loss, winner] {
    {
      std::lock_guard lock(GetState().lock);
      Window* w = Find(loser);
      if (w == nullptr || !StillLost(*w, loss)) return;
    }
    SendLoss(loser, loss, winner);
  };
  auto self = CurrentQueue();
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(loser);
    if (w == nullptr) return;
    if (w->owner != self) {
      PostNotice(*w->owner, tell);
      return;
    }
  }
  tell();
}

}  // namespace

// Only one window captures the mouse: taking it from another thread tells
// that thread's capture window too.
HWND SetCapture(HWND window) {
  auto self = CurrentQueue();
  HWND old = nullptr, taken = nullptr;
  {
    State& s = GetState();
    std::lock_guard lock(s.lock);
    Window* w = Find(window);
    if (w == nullptr || w->owner != self) return nullptr;
    old = std::exchange(self->inputState.capture, window);
    if (s.mouseOwner && s.mouseOwner != self.get())
      taken = std::exchange(s.mouseOwner->inputState.capture, nullptr);
    s.mouseOwner = self.get();
  }
  for (HWND lost : {old, taken}) TellLoss(lost, Loss::Capture, window);
  return old;
}

BOOL ReleaseCapture() {
  auto self = CurrentQueue();
  HWND old = nullptr;
  {
    State& s = GetState();
    std::lock_guard lock(s.lock);
    old = std::exchange(self->inputState.capture, nullptr);
    if (s.mouseOwner == self.get()) s.mouseOwner = nullptr;
  }
  TellLoss(old, Loss::Capture, nullptr);
  return 1;
}

HWND GetCapture() {
  auto self = CurrentQueue();
  std::lock_guard lock(GetState().lock);
  return self->inputState.capture;
}

BOOL GetCursorPos(POINT* screenPoint) {
  if (screenPoint == nullptr) return 0;
  std::lock_guard lock(GetState().lock);
  *screenPoint = GetState().cursor;
  return 1;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
  if (track == nullptr || !(track->dwFlags & TME_LEAVE)) return 0;
  State& s = GetState();
  std::lock_guard lock(s.lock);
  Window* w = Find(track->hwndTrack);
  if (w == nullptr) return 0;
  if (track->dwFlags & TME_CANCEL) {
    w->trackLeave = false;
  } else if (s.hovered == track->hwndTrack) {
    w->trackLeave = true;
  } else {
    Queue(*w, WM_MOUSELEAVE, 0, 0);
  }
  return 1;
}

HCURSOR LoadCursor(void*, const char* name) {
  static const char* const kNames[] = {IDC_ARROW,    IDC_IBEAM,    IDC_WAIT,   IDC_CROSS,
                                       IDC_SIZEALL,  IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZEWE,
                                       IDC_SIZENS,   IDC_NO,       IDC_HAND};
  static std::map<std::string, CursorObject>* cursors = [] {
    auto* table = new std::map<std::string, CursorObject>;
    for (const char* n : kNames) (*table)[n] = CursorObject{n};
    return table;
  }();
  if (name == nullptr) return nullptr;
  auto it = cursors->find(name);
  return it == cursors->end() ? nullptr : &it->second;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = nullptr;
  {
    std::lock_guard lock(GetState().lock);
    old = std::exchange(g_cursor, cursor);
  }
  if (old != cursor) Display().CursorChanged(CursorName(cursor));
  return old;
}

HCURSOR GetCursor() {
  std::lock_guard lock(GetState().lock);
  return g_cursor;
}

std::string CursorName(HCURSOR cursor) { return cursor ? cursor->name : std::string(); }

int16_t GetKeyState(int virtualKey) {
  auto self = CurrentQueue();
  std::lock_guard lock(GetState().lock);
  const uint8_t k = self->inputState.keys[virtualKey & 0xFF];
  return static_cast<int16_t>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

int16_t GetAsyncKeyState(int virtualKey) {
  std::lock_guard lock(GetState().lock);
  return static_cast<int16_t>((GetState().asyncKeys[virtualKey & 0xFF] & 0x80) ? 0x8000 : 0);
}

namespace {

// The keyboard moves to thread `q` (State::lock held): the thread that had
// it loses its focus, returned so that it can be told, and q's key state
// catches up with the keys held down now.
HWND TakeKeyboard(ThreadQueue& q) {
  State& s = GetState();
  if (s.keyboardOwner == &q) return nullptr;
  HWND lost = s.keyboardOwner ? std::exchange(s.keyboardOwner->inputState.focus, nullptr) : nullptr;
  std::copy(std::begin(s.asyncKeys), std::end(s.asyncKeys), std::begin(q.inputState.keys));
  s.keyboardOwner = &q;
  return lost;
}

HWND KeyboardFocus() {
  State& s = GetState();
  std::lock_guard lock(s.lock);
  return s.keyboardOwner ? s.keyboardOwner->inputState.focus : nullptr;
}

// On the window's thread; gives the focus window before. Activation comes
// first: its default handling may focus the top-level window, which the
// focus then leaves for this one.
HWND FocusOnOwner(HWND window) {
  const HWND before = KeyboardFocus();
  const HWND root = RootHandle(window);
  if (root && GetForegroundWindow() != root) SetActiveWindow(root);
  auto self = CurrentQueue();
  HWND old = nullptr, lost = nullptr;
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(window);
    if (w == nullptr || w->destroying || !EnabledChain(*w)) return nullptr;
    old = self->inputState.focus;
    if (old == window) return before;
    lost = TakeKeyboard(*self);
    self->inputState.focus = window;
  }
  for (HWND gone : {lost, old}) TellLoss(gone, Loss::Focus, window);
  SendMessage(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old ? old : lost), 0);
  return before;
}

HWND ClearFocus() {
  auto self = CurrentQueue();
  HWND old = nullptr;
  {
    std::lock_guard lock(GetState().lock);
    old = std::exchange(self->inputState.focus, nullptr);
  }
  TellLoss(old, Loss::Focus, nullptr);
  return old;
}

// On the top-level window's thread: it becomes the active and foreground
// window; the window that was (of this or another thread) is deactivated.
HWND ActivateOnOwner(HWND root) {
  auto self = CurrentQueue();
  HWND old = nullptr, otherThreads = nullptr, lostFocus = nullptr;
  {
    State& s = GetState();
    std::lock_guard lock(s.lock);
    if (Find(root) == nullptr) return nullptr;
    old = self->inputState.active;
    if (old == root) return old;
    if (Window* f = Find(s.foreground); f && f->owner != self) {
      otherThreads = f->handle;
      f->owner->inputState.active = nullptr;
    }
    self->inputState.active = root;
    s.foreground = root;
    lostFocus = TakeKeyboard(*self);
  }
  TellLoss(lostFocus, Loss::Focus, nullptr);
  for (HWND gone : {otherThreads, old}) TellLoss(gone, Loss::Activation, root);
  const HWND previous = old ? old : otherThreads;
  SendMessage(root, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
  RedrawWindow(root, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return previous;
}

}  // namespace

// A window of another thread takes the focus on its own thread, which then
// has the keyboard.
HWND SetFocus(HWND window) {
  if (window == nullptr) return ClearFocus();
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(window);
    if (w == nullptr || !EnabledChain(*w)) return nullptr;
  }
  return reinterpret_cast<HWND>(
      RunOnOwner(window, [window] { return reinterpret_cast<LRESULT>(FocusOnOwner(window)); }));
}

HWND GetFocus() {
  auto self = CurrentQueue();
  std::lock_guard lock(GetState().lock);
  return self->inputState.focus;
}

HWND SetActiveWindow(HWND window) {
  HWND root = nullptr;
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(window);
    if (w == nullptr) return nullptr;
    root = RootOf(*w)->handle;
  }
  return reinterpret_cast<HWND>(
      RunOnOwner(root, [root] { return reinterpret_cast<LRESULT>(ActivateOnOwner(root)); }));
}

HWND GetActiveWindow() {
  auto self = CurrentQueue();
  std::lock_guard lock(GetState().lock);
  return self->inputState.active;
}

BOOL SetForegroundWindow(HWND window) { return SetActiveWindow(window) != nullptr || IsWindow(window); }

HWND GetForegroundWindow() {
  std::lock_guard lock(GetState().lock);
  return GetState().foreground;
}

BOOL EnableWindow(HWND window, BOOL enable) {
  bool wasDisabled = false;
  HWND loseFocus = nullptr;
  {
    State& s = GetState();
    std::lock_guard lock(s.lock);
    Window* w = Find(window);
    if (w == nullptr) return 0;
    wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) return wasDisabled;
    w->style = enable ? (w->style & ~WS_DISABLED) : (w->style | WS_DISABLED);
    Window* focus = s.keyboardOwner ? Find(s.keyboardOwner->inputState.focus) : nullptr;
    for (Window* f = focus; f && !enable; f = f->parent)
      if (f == w) loseFocus = focus->handle;
  }
  if (loseFocus) RunOnOwner(loseFocus, [] { return reinterpret_cast<LRESULT>(SetFocus(nullptr)); });
  SendMessage(window, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

}  // namespace qelo::win
