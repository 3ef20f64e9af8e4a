// The display on a real screen through SDL. Every SDL video call runs on
// one display thread; other threads only queue what changed and wake it
// with an SDL user event. SDL input becomes injected input.
#include <SDL.h>

#include <condition_variable>
#include <future>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "win/window/internal.h"

namespace qelo::win {
namespace {

struct KeyMapping {
  SDL_Keycode key;
  int virtualKey;
};
constexpr KeyMapping kKeys[] = {
    {SDLK_BACKSPACE, VK_BACK}, {SDLK_TAB, VK_TAB},       {SDLK_RETURN, VK_RETURN},
    {SDLK_ESCAPE, VK_ESCAPE},  {SDLK_SPACE, VK_SPACE},   {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},  {SDLK_END, VK_END},       {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},      {SDLK_UP, VK_UP},         {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},      {SDLK_INSERT, VK_INSERT}, {SDLK_DELETE, VK_DELETE},
    {SDLK_LSHIFT, VK_SHIFT},   {SDLK_RSHIFT, VK_SHIFT},  {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},  {SDLK_LALT, VK_MENU},     {SDLK_RALT, VK_MENU},
    {SDLK_APPLICATION, VK_APPS}};

int VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  for (const KeyMapping& m : kKeys)
    if (m.key == key) return m.virtualKey;
  return 0;
}

class SdlDisplay final : public DisplayBackend {
 public:
  bool Start() {
    std::promise<bool> started;
    auto result = started.get_future();
    std::thread([this, &started] { Run(started); }).detach();
    return result.get();
  }
  const char* Name() const override { return "sdl"; }
  SIZE ScreenSize() const override { return screen_; }
  void TopLevelChanged(HWND window) override { Queue(changed_, window); }
  void TopLevelGone(HWND window) override { Queue(gone_, window); }
  void Painted(HWND topLevel) override { Queue(dirty_, topLevel); }

 private:
  void Queue(std::set<HWND>& set, HWND window) {
    {
      std::lock_guard lock(mutex_);
      set.insert(window);
    }
    SDL_Event wake{};
    wake.type = wakeEvent_;
    SDL_PushEvent(&wake);
  }

  void Run(std::promise<bool>& started) {
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      started.set_value(false);
      return;
    }
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) screen_ = SIZE{mode.w, mode.h};
    wakeEvent_ = SDL_RegisterEvents(1);
    started.set_value(true);
    SDL_StartTextInput();
    SDL_Event e;
    while (SDL_WaitEvent(&e)) {
      if (e.type == wakeEvent_)
        ApplyChanges();
      else
        Translate(e);
    }
  }

  void ApplyChanges() {
    std::set<HWND> changed, gone, dirty;
    {
      std::lock_guard lock(mutex_);
      changed.swap(changed_);
      gone.swap(gone_);
      dirty.swap(dirty_);
    }
    for (HWND w : gone) Forget(w);
    for (HWND w : changed) Place(w);
    for (HWND w : dirty) Present(w);
  }

  void Forget(HWND window) {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    SDL_DestroyWindow(it->second);
    windows_.erase(it);
  }

  void Place(HWND window) {
    RECT r;
    if (!IsWindow(window) || GetParent(window) != nullptr || !GetWindowRect(window, &r)) return;
    const int width = std::max<int>(r.right - r.left, 1), height = std::max<int>(r.bottom - r.top, 1);
    SDL_Window*& sdl = windows_[window];
    if (sdl == nullptr) {
      // Borderless always: the window layer draws its own frame and caption.
      Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
      if (GetWindowLongPtr(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) flags |= SDL_WINDOW_SKIP_TASKBAR;
      sdl = SDL_CreateWindow(GetWindowText(window).c_str(), r.left, r.top, width, height, flags);
      if (sdl == nullptr) {
        windows_.erase(window);
        return;
      }
    }
    SDL_SetWindowPosition(sdl, r.left, r.top);
    SDL_SetWindowSize(sdl, width, height);
    if (IsWindowVisible(window) && !IsIconic(window))
      SDL_ShowWindow(sdl);
    else if (IsIconic(window))
      SDL_MinimizeWindow(sdl);
    else
      SDL_HideWindow(sdl);
    Present(window);
  }

  void Present(HWND window) {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    HBITMAP picture = ComposeWindow(window);
    if (picture == nullptr) return;
    BITMAP bits;
    GetObject(picture, sizeof bits, &bits);
    SDL_Surface* target = SDL_GetWindowSurface(it->second);
    if (target != nullptr && bits.bmBits != nullptr) {
      SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
          bits.bmBits, bits.bmWidth, bits.bmHeight, 32, bits.bmWidthBytes, SDL_PIXELFORMAT_ARGB8888);
      if (source) {
        SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
        SDL_BlitSurface(source, nullptr, target, nullptr);
        SDL_FreeSurface(source);
      }
      SDL_UpdateWindowSurface(it->second);
    }
    DeleteObject(picture);
  }

  HWND WindowOf(Uint32 sdlId) const {
    for (const auto& [hwnd, sdl] : windows_)
      if (SDL_GetWindowID(sdl) == sdlId) return hwnd;
    return nullptr;
  }

  POINT ScreenPoint(Uint32 sdlId, int x, int y) const {
    RECT r{};
    GetWindowRect(WindowOf(sdlId), &r);
    return POINT{r.left + x, r.top + y};
  }

  static MouseButton ButtonOf(Uint8 b) {
    return b == SDL_BUTTON_RIGHT ? MouseButton::Right
           : b == SDL_BUTTON_MIDDLE ? MouseButton::Middle : MouseButton::Left;
  }

  void Translate(const SDL_Event& e) {
    switch (e.type) {
      case SDL_MOUSEMOTION:
        InjectMouseMove(ScreenPoint(e.motion.windowID, e.motion.x, e.motion.y));
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        InjectMouseButton(ButtonOf(e.button.button), e.type == SDL_MOUSEBUTTONDOWN,
                          ScreenPoint(e.button.windowID, e.button.x, e.button.y));
        break;
      case SDL_MOUSEWHEEL: {
        POINT p;
        GetCursorPos(&p);
        InjectMouseWheel(e.wheel.y * WHEEL_DELTA, p);
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (int vk = VirtualKey(e.key.keysym.sym)) InjectKey(vk, e.type == SDL_KEYDOWN);
        break;
      case SDL_TEXTINPUT: InjectText(e.text.text); break;
      case SDL_WINDOWEVENT: WindowEvent(e.window); break;
      default: break;
    }
  }

  void WindowEvent(const SDL_WindowEvent& e) {
    HWND window = WindowOf(e.windowID);
    if (window == nullptr) return;
    if (e.event == SDL_WINDOWEVENT_CLOSE) PostMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (e.event == SDL_WINDOWEVENT_EXPOSED) Present(window);
  }

  std::mutex mutex_;
  std::set<HWND> changed_, gone_, dirty_;  // mutex_
  std::map<HWND, SDL_Window*> windows_;    // display thread only
  SIZE screen_{1280, 1024};
  Uint32 wakeEvent_ = 0;
};

}  // namespace

std::unique_ptr<DisplayBackend> MakeSdlDisplay() {
  auto display = std::make_unique<SdlDisplay>();
  if (!display->Start()) return nullptr;
  return display;
}

}  // namespace qelo::win
