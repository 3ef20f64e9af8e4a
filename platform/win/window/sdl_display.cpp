// The display on a real screen through SDL. Every SDL video call runs on
// one display thread; other threads only queue what changed and wake it
// with an SDL user event. SDL input becomes injected input. Top-level
// windows with a region are shaped windows; the standard cursors are SDL's
// system cursors. Shutdown has the display thread release its windows and
// cursors and quit SDL, so nothing of SDL runs while the process ends.
#include <SDL.h>
#include <SDL_shape.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "window/internal.h"
#include "win/window/shape.h"

namespace qelo::win {
namespace {

using detail::Region;

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

struct CursorMapping {
  const char* name;
  SDL_SystemCursor cursor;
};
const CursorMapping kCursors[] = {
    {IDC_ARROW, SDL_SYSTEM_CURSOR_ARROW},       {IDC_IBEAM, SDL_SYSTEM_CURSOR_IBEAM},
    {IDC_WAIT, SDL_SYSTEM_CURSOR_WAIT},         {IDC_CROSS, SDL_SYSTEM_CURSOR_CROSSHAIR},
    {IDC_SIZEALL, SDL_SYSTEM_CURSOR_SIZEALL},   {IDC_SIZENWSE, SDL_SYSTEM_CURSOR_SIZENWSE},
    {IDC_SIZENESW, SDL_SYSTEM_CURSOR_SIZENESW}, {IDC_SIZEWE, SDL_SYSTEM_CURSOR_SIZEWE},
    {IDC_SIZENS, SDL_SYSTEM_CURSOR_SIZENS},     {IDC_NO, SDL_SYSTEM_CURSOR_NO},
    {IDC_HAND, SDL_SYSTEM_CURSOR_HAND}};

SDL_SystemCursor SystemCursor(const std::string& name) {
  for (const CursorMapping& m : kCursors)
    if (name == m.name) return m.cursor;
  return SDL_SYSTEM_CURSOR_ARROW;
}

// The last shape given to an SDL window, so that moves do not shape anew.
struct Shape {
  Region region;  // nullptr: the window had none
  int width = 0, height = 0;
};

int VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  for (const KeyMapping& m : kKeys)
    if (m.key == key) return m.virtualKey;
  return 0;
}

// How long Shutdown waits for the display thread: it may be waiting for a
// window's pixels that a painting thread holds.
constexpr std::chrono::seconds kStopWait{3};

class SdlDisplay final : public DisplayBackend {
 public:
  ~SdlDisplay() override { Shutdown(); }

  bool Start() {
    std::promise<bool> started;
    auto result = started.get_future();
    thread_ = std::thread([this, &started] { Run(started); });
    displayThreadId_ = thread_.get_id();
    started_ = result.get();
    if (started_) return true;
    thread_.join();  // SDL had no display; the thread has ended
    return false;
  }

  // The first caller ends the display thread; later ones wait (as long)
  // for the same end.
  void Shutdown() override {
    bool first = false;
    {
      std::lock_guard lock(mutex_);
      if (!started_) return;
      first = !std::exchange(stopRequested_, true);
      if (first) WakeDisplay();
    }
    // The display thread cannot wait for itself; it stops on the wake.
    if (std::this_thread::get_id() == displayThreadId_) return;
    const bool ended = stoppedSeen_.wait_for(kStopWait) == std::future_status::ready;
    if (!first) return;
    if (ended) return thread_.join();
    std::fprintf(stderr, "window system: the display thread did not stop within %lld s\n",
                 static_cast<long long>(kStopWait.count()));
    thread_.detach();
  }
  const char* Name() const override { return "sdl"; }
  SIZE ScreenSize() const override { return screen_; }
  void TopLevelChanged(HWND window) override { Queue(changed_, window); }
  void TopLevelGone(HWND window) override { Queue(gone_, window); }
  void Painted(HWND topLevel) override { Queue(dirty_, topLevel); }
  void CursorChanged(const std::string& name) override {
    std::lock_guard lock(mutex_);
    if (!Accepting()) return;
    cursor_ = name;
    WakeDisplay();
  }

 private:
  void Queue(std::set<HWND>& set, HWND window) {
    std::lock_guard lock(mutex_);
    if (!Accepting()) return;
    set.insert(window);
    WakeDisplay();
  }

  // With mutex_ held: the display thread still takes changes.
  bool Accepting() const { return sdlRunning_ && !stopRequested_; }

  // With mutex_ held, so that no event is pushed while SDL quits.
  void WakeDisplay() {
    if (!sdlRunning_) return;
    SDL_Event wake{};
    wake.type = wakeEvent_;
    SDL_PushEvent(&wake);
  }

  void Run(std::promise<bool>& started) {
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Window surfaces in plain memory: an accelerated surface would remake
    // the window for a renderer, which loses a shaped window its shape.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // What SIGINT and SIGTERM do is the program's to say, not SDL's.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      started.set_value(false);
      return;
    }
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) screen_ = SIZE{mode.w, mode.h};
    wakeEvent_ = SDL_RegisterEvents(1);
    {
      std::lock_guard lock(mutex_);
      sdlRunning_ = true;
    }
    started.set_value(true);
    SDL_StartTextInput();
    SDL_Event e;
    while (SDL_WaitEvent(&e)) {
      if (e.type != wakeEvent_)
        Translate(e);
      else if (!ApplyChanges())
        break;
    }
    Release();
    stopped_.set_value();
  }

  // Destroys every SDL object the thread made and quits SDL's video (and
  // SDL itself when nothing else of it is in use).
  void Release() {
    SDL_StopTextInput();
    for (auto& [hwnd, sdl] : windows_) SDL_DestroyWindow(sdl);
    windows_.clear();
    shapes_.clear();
    for (auto& [id, cursor] : cursors_) SDL_FreeCursor(cursor);
    cursors_.clear();
    {
      std::lock_guard lock(mutex_);
      sdlRunning_ = false;
      changed_.clear();
      gone_.clear();
      dirty_.clear();
      cursor_.reset();
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  }

  // False when the display is to stop.
  bool ApplyChanges() {
    std::set<HWND> changed, gone, dirty;
    std::optional<std::string> cursor;
    {
      std::lock_guard lock(mutex_);
      if (stopRequested_) return false;
      changed.swap(changed_);
      gone.swap(gone_);
      dirty.swap(dirty_);
      cursor.swap(cursor_);
    }
    for (HWND w : gone) Forget(w);
    for (HWND w : changed) Place(w);
    for (HWND w : dirty) Present(w);
    if (cursor) ShowCursor(*cursor);
    return true;
  }

  void ShowCursor(const std::string& name) {
    if (name.empty()) {
      SDL_ShowCursor(SDL_DISABLE);
      return;
    }
    SDL_Cursor*& made = cursors_[SystemCursor(name)];
    if (made == nullptr) made = SDL_CreateSystemCursor(SystemCursor(name));
    if (made != nullptr) SDL_SetCursor(made);
    SDL_ShowCursor(SDL_ENABLE);
  }

  void Forget(HWND window) {
    shapes_.erase(window);
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    SDL_DestroyWindow(it->second);
    windows_.erase(it);
  }

  static bool HasRegion(HWND window) {
    Region region(CreateRectRgn(0, 0, 0, 0));
    return GetWindowRgn(window, region.handle) != ERROR;
  }

  // Shaping is tried until it fails once; then windows stay rectangular.
  void ShapingFailed() {
    if (!shapingWorks_) return;
    shapingWorks_ = false;
    std::fprintf(stderr, "window system: windows cannot be shaped here (%s); they stay rectangular\n",
                 SDL_GetError());
  }

  SDL_Window* Create(HWND window, const RECT& r, int width, int height, bool shaped) {
    // Borderless always: the window layer draws its own frame and caption.
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    if (GetWindowLongPtr(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) flags |= SDL_WINDOW_SKIP_TASKBAR;
    const std::string title = GetWindowText(window);
    if (shaped) {
      auto unsignedOf = [](int v) { return static_cast<unsigned>(std::max(v, 0)); };
      SDL_Window* sdl = SDL_CreateShapedWindow(title.c_str(), unsignedOf(r.left), unsignedOf(r.top),
                                               unsignedOf(width), unsignedOf(height), flags);
      if (sdl != nullptr) return sdl;
      ShapingFailed();
    }
    return SDL_CreateWindow(title.c_str(), r.left, r.top, width, height, flags);
  }

  // Gives a shaped SDL window the window's region at its present size;
  // false when SDL refused it.
  bool ApplyShape(HWND window, SDL_Window* sdl, int width, int height) {
    Region region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(window, region.handle) == ERROR) region.Reset();
    Shape& last = shapes_[window];
    const bool sameRegion = (last.region.handle == nullptr) == (region.handle == nullptr) &&
                            (region.handle == nullptr || EqualRgn(last.region.handle, region.handle));
    if (last.width == width && last.height == height && sameRegion) return true;
    const std::vector<uint8_t> mask = RegionToMask(region.handle, width, height);
    last.region.Reset(std::exchange(region.handle, nullptr));
    last.width = width;
    last.height = height;
    SDL_Surface* shape = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (shape == nullptr) return true;  // out of memory: shaped next time
    for (int y = 0; y < height; ++y) {
      auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(shape->pixels) + y * shape->pitch);
      for (int x = 0; x < width; ++x) row[x] = mask[static_cast<size_t>(y) * width + x] ? 0xFFFFFFFFu : 0u;
    }
    SDL_WindowShapeMode mode{};
    mode.mode = ShapeModeBinarizeAlpha;
    mode.parameters.binarizationCutoff = 0x80;
    const bool shaped = SDL_SetWindowShape(sdl, shape, &mode) == 0;
    SDL_FreeSurface(shape);
    if (!shaped) ShapingFailed();
    return shaped;
  }

  // The SDL window of a top-level window, made anew when it must become
  // shaped or unshaped: SDL cannot change that of a window it has made.
  SDL_Window* Ensure(HWND window, const RECT& r, int width, int height) {
    const bool shaped = shapingWorks_ && HasRegion(window);
    SDL_Window*& sdl = windows_[window];
    if (sdl != nullptr && static_cast<bool>(SDL_IsShapedWindow(sdl)) != shaped) {
      SDL_DestroyWindow(sdl);
      sdl = nullptr;
    }
    if (sdl == nullptr) {
      shapes_.erase(window);
      sdl = Create(window, r, width, height, shaped);
      if (sdl == nullptr) {
        windows_.erase(window);
        return nullptr;
      }
    }
    return sdl;
  }

  void Place(HWND window) {
    RECT r;
    if (!IsWindow(window) || GetParent(window) != nullptr || !GetWindowRect(window, &r)) return;
    const int width = std::max<int>(r.right - r.left, 1), height = std::max<int>(r.bottom - r.top, 1);
    SDL_Window* sdl = Ensure(window, r, width, height);
    if (sdl == nullptr) return;
    // Only on a change: sizing a shaped window before its first shape
    // leaves it where SDL parks it until then, off the screen.
    int shownWidth = 0, shownHeight = 0;
    SDL_GetWindowSize(sdl, &shownWidth, &shownHeight);
    if (shownWidth != width || shownHeight != height) SDL_SetWindowSize(sdl, width, height);
    // A refused shape ends shaping: the window is made again, unshaped.
    if (SDL_IsShapedWindow(sdl) && !ApplyShape(window, sdl, width, height)) {
      sdl = Ensure(window, r, width, height);
      if (sdl == nullptr) return;
    }
    SDL_SetWindowPosition(sdl, r.left, r.top);
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

  std::thread thread_;  // the display thread; joined by Shutdown
  bool started_ = false;  // set by Start, before any other call
  std::thread::id displayThreadId_;
  std::promise<void> stopped_;  // set by the display thread once SDL is quit
  std::shared_future<void> stoppedSeen_ = stopped_.get_future().share();
  std::mutex mutex_;
  std::set<HWND> changed_, gone_, dirty_;  // mutex_
  std::optional<std::string> cursor_;      // mutex_
  bool sdlRunning_ = false;                // mutex_: SDL is up; events may be pushed
  bool stopRequested_ = false;             // mutex_
  std::map<HWND, SDL_Window*> windows_;    // display thread only
  std::map<HWND, Shape> shapes_;           // display thread only
  std::map<SDL_SystemCursor, SDL_Cursor*> cursors_;  // display thread only
  bool shapingWorks_ = true;               // display thread only
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
