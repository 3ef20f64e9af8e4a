// Window classes, window objects, the tree, z-order, places and sizes.
#include <algorithm>

#include "window/internal.h"
#include "win/window/scrollbars.h"

namespace qelo::win {
namespace detail {
namespace {

using Lock = std::unique_lock<std::mutex>;

std::vector<Window*>& Siblings(Window& w) {
  return w.parent ? w.parent->children : GetState().topLevels;
}

bool Topmost(const Window& w) { return (w.exStyle & WS_EX_TOPMOST) != 0; }

// Where a window goes when raised: above its siblings, except that other
// top-level windows stay below the topmost ones.
std::vector<Window*>::iterator RaisedPlace(std::vector<Window*>& siblings, const Window& w) {
  if (w.parent != nullptr || Topmost(w)) return siblings.begin();
  return std::find_if(siblings.begin(), siblings.end(), [](Window* s) { return !Topmost(*s); });
}

bool IsDescendant(const Window* w, const Window* ancestor) {
  for (; w; w = w->parent)
    if (w == ancestor) return true;
  return false;
}

void NotifyMoved(Window& w) {
  // Called without the lock: w stays alive through the caller's reference.
  HWND root = nullptr;
  bool top = false;
  {
    std::lock_guard lock(GetState().lock);
    top = w.TopLevel();
    root = RootOf(w)->handle;
  }
  if (top)
    Display().TopLevelChanged(w.handle);
  else
    Display().Painted(root);
}

RECT DefaultRect(int x, int y, int width, int height) {
  if (x == CW_USEDEFAULT) x = y = 100;
  if (width == CW_USEDEFAULT) width = 640, height = 480;
  return RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
}

void ApplyMinMax(HWND window, const Window& w, int* width, int* height) {
  if (!w.TopLevel()) return;
  const SIZE screen = Display().ScreenSize();
  MINMAXINFO info;
  info.ptMaxSize = {screen.cx, screen.cy};
  info.ptMaxTrackSize = {screen.cx + 12, screen.cy + 12};
  info.ptMinTrackSize = {0, 0};
  SendMessage(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  *width = std::clamp(*width, info.ptMinTrackSize.x, std::max(info.ptMinTrackSize.x, info.ptMaxTrackSize.x));
  *height = std::clamp(*height, info.ptMinTrackSize.y, std::max(info.ptMinTrackSize.y, info.ptMaxTrackSize.y));
}

void RecalcClient(HWND window, Window& w) {
  NCCALCSIZE_PARAMS params;
  {
    std::lock_guard lock(GetState().lock);
    params.rgrc[0] = w.rect;
  }
  SendMessage(window, WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&params));
  std::lock_guard lock(GetState().lock);
  RECT c = params.rgrc[0];
  OffsetRect(&c, -w.rect.left, -w.rect.top);
  c.right = std::max(c.right, c.left);
  c.bottom = std::max(c.bottom, c.top);
  w.client = c;
}

void Restack(Window& w, HWND insertAfter) {
  auto& siblings = Siblings(w);
  siblings.erase(std::find(siblings.begin(), siblings.end(), &w));
  if (insertAfter == HWND_TOPMOST) w.exStyle |= WS_EX_TOPMOST;
  if (insertAfter == HWND_NOTOPMOST) w.exStyle &= ~WS_EX_TOPMOST;
  Window* after = (insertAfter == HWND_TOP || insertAfter == HWND_BOTTOM ||
                   insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST)
                      ? nullptr
                      : Find(insertAfter);
  auto place = RaisedPlace(siblings, w);
  if (insertAfter == HWND_BOTTOM) place = siblings.end();
  if (after != nullptr) {
    auto it = std::find(siblings.begin(), siblings.end(), after);
    if (it != siblings.end()) place = it + 1;
  }
  siblings.insert(place, &w);
}

LRESULT SetPosOnOwner(HWND window, HWND insertAfter, int x, int y, int width, int height,
                      UINT flags) {
  WindowPtr w;
  WINDOWPOS pos;
  {
    std::lock_guard lock(GetState().lock);
    w = FindShared(window);
    if (!w || w->destroying) return 0;
    pos = {window, insertAfter, x, y, width, height, flags};
    if (flags & SWP_NOMOVE) pos.x = w->rect.left, pos.y = w->rect.top;
    if (flags & SWP_NOSIZE) pos.cx = w->Width(), pos.cy = w->Height();
  }
  if (!(flags & SWP_NOSIZE)) ApplyMinMax(window, *w, &pos.cx, &pos.cy);
  SendMessage(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  bool moved = false, sized = false;
  RECT oldClient;
  {
    std::lock_guard lock(GetState().lock);
    if (Find(window) == nullptr) return 0;
    oldClient = w->client;
    const RECT next{pos.x, pos.y, pos.x + std::max(pos.cx, 0), pos.y + std::max(pos.cy, 0)};
    moved = next.left != w->rect.left || next.top != w->rect.top;
    sized = next.right - next.left != w->Width() || next.bottom - next.top != w->Height();
    w->rect = next;
    if (!(flags & SWP_NOZORDER)) Restack(*w, insertAfter);
  }
  if (sized || (flags & SWP_FRAMECHANGED)) {
    RecalcClient(window, *w);
    ReplaceSurface(*w);
    if (!(flags & SWP_NOREDRAW)) {
      std::lock_guard lock(GetState().lock);
      if (flags & SWP_FRAMECHANGED) InvalidateWhole(*w, true, true);
      else InvalidateResized(*w, oldClient);
    }
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow(window, SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(window, SW_HIDE);
  pos.flags = flags | (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE);
  SendMessage(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  NotifyMoved(*w);
  return 1;
}

LRESULT ShowOnOwner(HWND window, int command) {
  WindowPtr w;
  bool wasVisible = false;
  {
    std::lock_guard lock(GetState().lock);
    w = FindShared(window);
    if (!w || w->destroying) return 0;
    wasVisible = (w->style & WS_VISIBLE) != 0;
  }
  const bool hide = command == SW_HIDE;
  const bool minimize = command == SW_MINIMIZE || command == SW_SHOWMINIMIZED;
  const bool activate = !(command == SW_SHOWNA || command == SW_SHOWNOACTIVATE || hide || minimize);
  if (hide != !wasVisible) SendMessage(window, WM_SHOWWINDOW, hide ? 0 : 1, 0);
  bool sizeChange = false;
  {
    std::lock_guard lock(GetState().lock);
    if (hide) {
      w->style &= ~WS_VISIBLE;
      ForgetWindowInput(*w);
    } else {
      if (!wasVisible) InvalidateWhole(*w, true, true);
      w->style |= WS_VISIBLE;
    }
    sizeChange = !hide && w->minimized != minimize;
    if (!hide) w->minimized = minimize;
  }
  if (sizeChange) {
    RECT c;
    GetClientRect(window, &c);
    SendMessage(window, WM_SIZE, minimize ? SIZE_MINIMIZED : SIZE_RESTORED,
                MAKELPARAM(c.right, c.bottom));
  }
  if (activate && w->TopLevel()) SetActiveWindow(window);
  NotifyMoved(*w);
  return wasVisible ? 1 : 0;
}

LRESULT DestroyOnOwner(HWND window) {
  WindowPtr w;
  {
    std::lock_guard lock(GetState().lock);
    w = FindShared(window);
    if (!w || w->destroying) return 0;
    w->destroying = true;
    w->style &= ~WS_VISIBLE;
    ForgetWindowInput(*w);
  }
  NotifyMoved(*w);
  SendMessage(window, WM_DESTROY, 0, 0);
  std::vector<HWND> children;
  {
    std::lock_guard lock(GetState().lock);
    for (Window* c : w->children) children.push_back(c->handle);
  }
  for (HWND child : children) DestroyWindow(child);
  SendMessage(window, WM_NCDESTROY, 0, 0);
  ForgetScrollBars(window);
  HWND root = nullptr;
  const bool top = w->TopLevel();
  {
    State& s = GetState();
    std::lock_guard lock(s.lock);
    root = RootOf(*w)->handle;
    Unlink(*w);
    ThreadQueue& q = *w->owner;
    std::erase(q.windows, w.get());
    DropWindowMessages(q, window);
    KillWindowTimers(q, window);
    for (auto& sent : q.sent) {
      if (sent->window != window) continue;
      sent->done = true;
      sent->sender->wake.notify_all();
    }
    std::erase_if(q.sent, [window](const auto& sent) { return sent->window == window; });
    ForgetWindowInput(*w);
    s.windows.erase(reinterpret_cast<uintptr_t>(window));
  }
  DestroySurface(*w);
  if (top)
    Display().TopLevelGone(window);
  else
    Display().Painted(root);
  return 1;
}

}  // namespace

void Unlink(Window& w) {
  auto& siblings = Siblings(w);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), &w), siblings.end());
  w.parent = nullptr;
}

void LinkTop(Window& w, Window* parent) {
  w.parent = parent;
  auto& siblings = Siblings(w);
  siblings.insert(RaisedPlace(siblings, w), &w);
}

Window* RootOf(Window& w) {
  Window* r = &w;
  while (r->parent) r = r->parent;
  return r;
}

POINT WindowOriginOnScreen(const Window& w) {
  if (w.parent == nullptr) return POINT{w.rect.left, w.rect.top};
  const POINT p = ClientOriginOnScreen(*w.parent);
  return POINT{p.x + w.rect.left, p.y + w.rect.top};
}

POINT ClientOriginOnScreen(const Window& w) {
  const POINT p = WindowOriginOnScreen(w);
  return POINT{p.x + w.client.left, p.y + w.client.top};
}

POINT OffsetInRoot(const Window& w) {
  const Window* root = &w;
  while (root->parent) root = root->parent;
  const POINT p = WindowOriginOnScreen(w);
  return POINT{p.x - root->rect.left, p.y - root->rect.top};
}

bool VisibleChain(const Window& w) {
  for (const Window* p = &w; p; p = p->parent)
    if (!(p->style & WS_VISIBLE) || p->minimized) return false;
  return true;
}

bool EnabledChain(const Window& w) {
  for (const Window* p = &w; p; p = p->parent)
    if (p->style & WS_DISABLED) return false;
  return true;
}

namespace {

// Whether a point in the window's own coordinates is inside its shape.
bool InShape(const Window& w, POINT p) {
  const RECT own{0, 0, w.Width(), w.Height()};
  if (!PtInRect(&own, p)) return false;
  return w.windowRegion.handle == nullptr || PtInRegion(w.windowRegion.handle, p.x, p.y);
}

Window* ChildAt(Window& parent, POINT inParentWindow) {
  const POINT inClient{inParentWindow.x - parent.client.left, inParentWindow.y - parent.client.top};
  if (!PtInRect(&parent.client, inParentWindow)) return nullptr;
  for (Window* c : parent.children) {
    // Transparent windows let the pointer through to what lies below.
    if (!(c->style & WS_VISIBLE) || (c->exStyle & WS_EX_TRANSPARENT)) continue;
    if (InShape(*c, POINT{inClient.x - c->rect.left, inClient.y - c->rect.top})) return c;
  }
  return nullptr;
}

}  // namespace

Window* WindowAtScreenPoint(POINT screen) {
  constexpr DWORD kClickThrough = WS_EX_LAYERED | WS_EX_TRANSPARENT;
  for (Window* top : GetState().topLevels) {
    if (!VisibleChain(*top) || (top->exStyle & kClickThrough) == kClickThrough) continue;
    POINT p{screen.x - top->rect.left, screen.y - top->rect.top};
    if (!InShape(*top, p)) continue;
    Window* found = top;
    while (Window* child = ChildAt(*found, p)) {
      p = POINT{p.x - found->client.left - child->rect.left, p.y - found->client.top - child->rect.top};
      found = child;
    }
    return found;
  }
  return nullptr;
}

}  // namespace detail

using namespace detail;

// ---- classes ----------------------------------------------------------------

BOOL RegisterClass(const WNDCLASS& windowClass) {
  if (windowClass.lpszClassName.empty()) return 0;
  std::lock_guard lock(GetState().lock);
  return GetState().classes.emplace(windowClass.lpszClassName, windowClass).second ? 1 : 0;
}

BOOL UnregisterClass(const std::string& className) {
  std::lock_guard lock(GetState().lock);
  return GetState().classes.erase(className) ? 1 : 0;
}

BOOL GetClassInfo(const std::string& className, WNDCLASS* out) {
  std::lock_guard lock(GetState().lock);
  auto it = GetState().classes.find(className);
  if (it == GetState().classes.end() || out == nullptr) return 0;
  *out = it->second;
  return 1;
}

std::string GetClassName(HWND window) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  return w ? w->windowClass.lpszClassName : std::string();
}

// ---- creation hooks -----------------------------------------------------------

struct HookObject {
  HOOKPROC proc = nullptr;
};

namespace {

// The calling thread's CBT hooks, newest last. Hooks are the thread's own:
// no other thread reads this list.
std::vector<std::unique_ptr<HookObject>>& ThreadHooks() {
  thread_local std::vector<std::unique_ptr<HookObject>> hooks;
  return hooks;
}

// The hook older than `hook` (the newest for null); null at the chain's end.
HookObject* OlderHook(HookObject* hook) {
  auto& hooks = ThreadHooks();
  auto it = hook == nullptr ? hooks.end()
                            : std::find_if(hooks.begin(), hooks.end(), [&](auto& h) { return h.get() == hook; });
  return it == hooks.begin() ? nullptr : (it - 1)->get();
}

// Asks the thread's hooks about a window that exists but has had no
// message yet; true when one refuses it.
bool CreationRefused(HWND handle, CREATESTRUCT& create) {
  HookObject* newest = OlderHook(nullptr);
  if (newest == nullptr) return false;
  CBT_CREATEWND cbt;
  cbt.lpcs = &create;
  return newest->proc(HCBT_CREATEWND, reinterpret_cast<WPARAM>(handle), reinterpret_cast<LPARAM>(&cbt)) != 0;
}

}  // namespace

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, void*, DWORD) {
  if (idHook != WH_CBT || proc == nullptr) return nullptr;
  auto hook = std::make_unique<HookObject>();
  hook->proc = proc;
  ThreadHooks().push_back(std::move(hook));
  return ThreadHooks().back().get();
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  auto& hooks = ThreadHooks();
  auto it = std::find_if(hooks.begin(), hooks.end(), [&](auto& h) { return h.get() == hook; });
  if (it == hooks.end()) return 0;
  hooks.erase(it);
  return 1;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM w, LPARAM l) {
  HookObject* older = OlderHook(hook);
  return older ? older->proc(code, w, l) : 0;
}

// ---- creation and destruction -------------------------------------------------

HWND CreateWindowEx(DWORD exStyle, const std::string& className, const std::string& title,
                    DWORD style, int x, int y, int width, int height, HWND parent,
                    void* createParam) {
  Display();
  auto q = CurrentQueue();
  auto w = std::make_shared<Window>();
  HWND handle = nullptr;
  {
    State& s = GetState();
    std::lock_guard lock(s.lock);
    auto cls = s.classes.find(className);
    if (cls == s.classes.end()) return nullptr;
    Window* parentWindow = (style & WS_CHILD) ? Find(parent) : nullptr;
    if ((style & WS_CHILD) && parentWindow == nullptr) return nullptr;
    w->windowClass = cls->second;
    w->procedure = cls->second.lpfnWndProc;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->text = title;
    w->owner = q;
    w->rect = DefaultRect(x, y, width, height);
    w->client = RECT{0, 0, w->Width(), w->Height()};
    s.nextHandle += 4;
    handle = reinterpret_cast<HWND>(s.nextHandle);
    w->handle = handle;
    s.windows[s.nextHandle] = w;
    q->windows.push_back(w.get());
    LinkTop(*w, parentWindow);
  }
  CREATESTRUCT create;
  create.lpCreateParams = createParam;
  create.hwndParent = parent;
  create.x = w->rect.left, create.y = w->rect.top, create.cx = w->Width(), create.cy = w->Height();
  create.style = style;
  create.dwExStyle = exStyle;
  create.lpszName = title;
  create.lpszClass = className;
  const LPARAM cs = reinterpret_cast<LPARAM>(&create);
  if (CreationRefused(handle, create) || !SendMessage(handle, WM_NCCREATE, 0, cs)) {
    DestroyWindow(handle);
    return nullptr;
  }
  RecalcClient(handle, *w);
  ReplaceSurface(*w);
  if (SendMessage(handle, WM_CREATE, 0, cs) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (!IsWindow(handle)) return nullptr;
  WINDOWPOS pos{handle, nullptr, w->rect.left, w->rect.top, w->Width(), w->Height(), SWP_NOZORDER};
  SendMessage(handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
  NotifyMoved(*w);
  if ((style & WS_CHILD) && !(exStyle & WS_EX_NOPARENTNOTIFY) && IsWindow(handle))
    SendMessage(parent, WM_PARENTNOTIFY,
                MAKEWPARAM(WM_CREATE, static_cast<int>(GetWindowLongPtr(handle, GWL_ID))),
                reinterpret_cast<LPARAM>(handle));
  return IsWindow(handle) ? handle : nullptr;
}

BOOL DestroyWindow(HWND window) {
  return static_cast<BOOL>(RunOnOwner(window, [window] { return DestroyOnOwner(window); }));
}

BOOL IsWindow(HWND window) {
  std::lock_guard lock(GetState().lock);
  return Find(window) != nullptr;
}

BOOL IsWindowVisible(HWND window) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  return w && VisibleChain(*w);
}

BOOL IsWindowEnabled(HWND window) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  return w && !(w->style & WS_DISABLED);
}

BOOL IsIconic(HWND window) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  return w && w->minimized;
}

BOOL IsChild(HWND parent, HWND window) {
  std::lock_guard lock(GetState().lock);
  Window* p = Find(parent);
  Window* w = Find(window);
  return p && w && w != p && IsDescendant(w, p);
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  if (processId) *processId = 1;
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  return w ? w->owner->threadId : 0;
}

// ---- attributes -----------------------------------------------------------------

LONG_PTR GetWindowLongPtr(HWND window, int index) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr) return 0;
  switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->procedure);
    case GWL_ID: return w->controlId;
    case GWL_STYLE: return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    default: return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr) return 0;
  LONG_PTR old = 0;
  switch (index) {
    case GWL_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->procedure);
      w->procedure = reinterpret_cast<WNDPROC>(value);
      break;
    case GWL_ID: old = std::exchange(w->controlId, value); break;
    case GWL_STYLE:
      old = static_cast<LONG_PTR>(std::exchange(w->style, static_cast<DWORD>(value)));
      break;
    case GWL_EXSTYLE:
      old = static_cast<LONG_PTR>(std::exchange(w->exStyle, static_cast<DWORD>(value)));
      break;
    case GWLP_USERDATA: old = std::exchange(w->userData, value); break;
    default: return 0;
  }
  return old;
}

LRESULT CallWindowProc(WNDPROC procedure, HWND window, UINT message, WPARAM w, LPARAM l) {
  return procedure ? procedure(window, message, w, l) : DefWindowProc(window, message, w, l);
}

BOOL SetWindowText(HWND window, const std::string& text) {
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(window);
    if (w == nullptr) return 0;
    w->text = text;
    w->frameDue = true;
  }
  SendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return 1;
}

std::string GetWindowText(HWND window) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  return w ? w->text : std::string();
}

// ---- tree -----------------------------------------------------------------------

HWND GetParent(HWND window) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  return w && w->parent ? w->parent->handle : nullptr;
}

HWND SetParent(HWND window, HWND newParent) {
  HWND old = nullptr;
  bool wasTop = false, isTop = false;
  HWND root = nullptr;
  {
    std::lock_guard lock(GetState().lock);
    Window* w = Find(window);
    Window* p = newParent ? Find(newParent) : nullptr;
    if (w == nullptr || (newParent && (p == nullptr || IsDescendant(p, w)))) return nullptr;
    old = w->parent ? w->parent->handle : nullptr;
    wasTop = w->TopLevel();
    Unlink(*w);
    LinkTop(*w, p);
    isTop = w->TopLevel();
    root = RootOf(*w)->handle;
  }
  if (wasTop && !isTop) Display().TopLevelGone(window);
  if (isTop)
    Display().TopLevelChanged(window);
  else
    Display().Painted(root);
  return old;
}

HWND GetWindow(HWND window, UINT relation) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr) return nullptr;
  if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front()->handle;
  auto& siblings = Siblings(*w);
  auto it = std::find(siblings.begin(), siblings.end(), w);
  switch (relation) {
    case GW_HWNDFIRST: return siblings.front()->handle;
    case GW_HWNDLAST: return siblings.back()->handle;
    case GW_HWNDNEXT: return it + 1 == siblings.end() ? nullptr : (*(it + 1))->handle;
    case GW_HWNDPREV: return it == siblings.begin() ? nullptr : (*(it - 1))->handle;
    default: return nullptr;
  }
}

HWND GetAncestor(HWND window, UINT flags) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr) return nullptr;
  if (flags == GA_PARENT) return w->parent ? w->parent->handle : nullptr;
  return RootOf(*w)->handle;
}

HWND WindowFromPoint(POINT screenPoint) {
  std::lock_guard lock(GetState().lock);
  Window* w = WindowAtScreenPoint(screenPoint);
  return w ? w->handle : nullptr;
}

// ---- places and sizes -----------------------------------------------------------

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  return static_cast<BOOL>(RunOnOwner(window, [=] {
    return SetPosOnOwner(window, insertAfter, x, y, width, height, flags);
  }));
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(window, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND window, int command) {
  return static_cast<BOOL>(RunOnOwner(window, [=] { return ShowOnOwner(window, command); }));
}

BOOL GetWindowRect(HWND window, RECT* screenRect) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr || screenRect == nullptr) return 0;
  const POINT p = WindowOriginOnScreen(*w);
  *screenRect = RECT{p.x, p.y, p.x + w->Width(), p.y + w->Height()};
  return 1;
}

BOOL GetClientRect(HWND window, RECT* clientRect) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr || clientRect == nullptr) return 0;
  *clientRect = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  return 1;
}

namespace {
bool ClientOrigin(HWND window, POINT* origin) {
  if (window == nullptr) {
    *origin = POINT{0, 0};
    return true;
  }
  Window* w = Find(window);
  if (w == nullptr) return false;
  *origin = ClientOriginOnScreen(*w);
  return true;
}
}  // namespace

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  std::lock_guard lock(GetState().lock);
  POINT a, b;
  if (!ClientOrigin(from, &a) || !ClientOrigin(to, &b)) return 0;
  const int dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; i < count; ++i) points[i].x += dx, points[i].y += dy;
  return MAKELPARAM(dx, dy);
}

BOOL ClientToScreen(HWND window, POINT* point) {
  return point && IsWindow(window) && (MapWindowPoints(window, nullptr, point, 1), true);
}

BOOL ScreenToClient(HWND window, POINT* point) {
  return point && IsWindow(window) && (MapWindowPoints(nullptr, window, point, 1), true);
}

int SetWindowRgn(HWND window, HRGN region, BOOL redraw) {
  WindowPtr w;
  {
    std::lock_guard lock(GetState().lock);
    w = FindShared(window);
    if (!w) return 0;
    w->windowRegion.Reset(region);
    if (redraw) InvalidateWhole(*w, true, true);
  }
  NotifyMoved(*w);
  return 1;
}

int GetWindowRgn(HWND window, HRGN region) {
  std::lock_guard lock(GetState().lock);
  Window* w = Find(window);
  if (w == nullptr || w->windowRegion.handle == nullptr) return ERROR;
  return CombineRgn(region, w->windowRegion.handle, nullptr, RGN_COPY);
}

}  // namespace qelo::win
