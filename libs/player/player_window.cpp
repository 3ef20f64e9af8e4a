#include "player_window.h"

#include <mutex>

#include "playback.h"
#include "player_instance.h"
#include "player_log.h"

namespace qelo::player {

namespace {

using namespace win;

constexpr const char* kClassName = "Play Class";

LRESULT HandleFileMessage(PlayerInstance& instance, UINT message, WPARAM w, LPARAM l);

void Redraw(PlayerInstance& instance) {
  CriticalSectionLock guard(instance.lock);
  if (instance.playState != kPlaying) instance.display.RepaintVideo();
}

LRESULT PlayerHandleMessage(PlayerInstance& instance, HWND window, UINT message, WPARAM w,
                            LPARAM l) {
  switch (message) {
    case WM_DESTROY:
      OnStop(instance);
      OnClosed(instance);
      instance.window.store(nullptr);
      PostQuitMessage(0);
      return 0;
    case WM_SIZE: {
      { CriticalSectionLock guard(instance.lock); }
      InvalidateRect(window, nullptr, 0);
      return 0;
    }
    case WM_PAINT: {
      CriticalSectionLock guard(instance.lock);
      instance.display.OnPaint(instance.FileOpen());
      return 0;
    }
    case WM_TIMER:
      if (w == kFrameTimerId) OnFrameTimer(instance);
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
      CriticalSectionLock guard(instance.lock);
      const EditContext context{instance.notifyWindow, instance.playState == kPlaying};
      if (instance.display.OnMouseMessage(message, l, context)) return 0;
      break;
    }
    case WM_PLAYWND_FRAME_READY:
      OnFrameReady(instance);
      return 0;
    case WM_PLAYWND_CLOSED:
      OnClosed(instance);
      return 0;
    default:
      if (message >= WM_PLAYWND_PLAY && message <= WM_PLAYWND_REDRAW)
        return HandleFileMessage(instance, message, w, l);
      break;
  }
  return DefWindowProc(window, message, w, l);
}

LRESULT HandleFileMessage(PlayerInstance& instance, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_PLAYWND_PLAY: OnPlay(instance); break;
    case WM_PLAYWND_PAUSE: OnPause(instance); break;
    case WM_PLAYWND_STOP: OnStop(instance); break;
    case WM_PLAYWND_SEEK: {
      const uint64_t high = uint32_t(w), low = uint32_t(uintptr_t(l));
      OnSeek(instance, int64_t((high << 32) | low));
      break;
    }
    case WM_PLAYWND_AUDIO_DRAINED: OnAudioDrained(instance); break;
    case WM_PLAYWND_RESIZE:
      MoveWindow(instance.window.load(), 0, 0, int(w), int(l), 1);
      break;
    case WM_PLAYWND_PREV_FRAME: ShowPreviousFrame(instance); break;
    case WM_PLAYWND_NEXT_FRAME: ShowNextFrame(instance); break;
    case WM_PLAYWND_FORCE_ASPECT: {
      CriticalSectionLock guard(instance.lock);
      if (instance.display.crop().clipAspect() != 0)
        instance.display.ApplyClipAspect(instance.playState == kPlaying);
      break;
    }
    case WM_PLAYWND_CROP_CHANGED: {
      CriticalSectionLock guard(instance.lock);
      instance.display.UpdateCropGeometry();
      Redraw(instance);
      break;
    }
    case WM_PLAYWND_REDRAW: Redraw(instance); break;
    default:
      return DefWindowProc(instance.window.load(), message, w, l);
  }
  return 0;
}

LRESULT PlayerWndProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_CREATE) {
    auto* create = reinterpret_cast<CREATESTRUCT*>(l);
    SetWindowLongPtr(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return 0;
  }
  auto* instance = reinterpret_cast<PlayerInstance*>(GetWindowLongPtr(window, GWLP_USERDATA));
  if (!instance) return DefWindowProc(window, message, w, l);
  return PlayerHandleMessage(*instance, window, message, w, l);
}

void RegisterPlayerClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASS windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = PlayerWndProc;
    windowClass.lpszClassName = kClassName;
    RegisterClass(windowClass);
  });
}

bool CreatePlayerWindow(PlayerInstance& instance) {
  RegisterPlayerClass();
  HWND window = CreateWindowEx(0, kClassName, "Play Window", WS_POPUP, 0, 0, instance.windowWidth,
                               instance.windowHeight, nullptr, &instance);
  if (!window) {
    gLog.Write("failed to create sdl window...");
    return false;
  }
  instance.window.store(window);
  {
    CriticalSectionLock guard(instance.lock);
    instance.display.CreateRenderer(window);
  }
  SetWindowLongPtr(window, GWL_STYLE, LONG_PTR(WS_CHILD));
  SetParent(window, instance.parentWindow);
  MoveWindow(window, 0, 0, instance.windowWidth, instance.windowHeight, 0);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return true;
}

void RunMessageLoop() {
  MSG message;
  for (;;) {
    const int result = GetMessage(&message, nullptr, 0, 0);
    if (result == 0) return;
    if (result < 0) {
      gLog.Write("failed to get message...");
      return;
    }
    TranslateMessage(&message);
    DispatchMessage(&message);
  }
}

void PlayerWindowThread(PlayerInstance& instance) {
  instance.windowThreadId = GetCurrentThreadId();
  const bool created = CreatePlayerWindow(instance);
  // Set on failure too: the creating thread waits for this.
  instance.readyEvent.Set();
  if (!created) return;
  RunMessageLoop();
  // A quit that came before the window was destroyed leaves it behind.
  if (HWND window = instance.window.exchange(nullptr)) DestroyWindow(window);
  OnClosed(instance);
  {
    CriticalSectionLock guard(instance.lock);
    instance.display.FreeRenderer();
  }
  // This thread opened and closed the sound device; SDL keeps per-thread
  // data (its error text) that only this call frees for a thread it did not
  // start.
  SDL_TLSCleanup();
}

}  // namespace

bool StartPlayerWindow(PlayerInstance& instance) {
  if (!instance.windowThread.Start([&instance] { PlayerWindowThread(instance); })) {
    gLog.Write("Failed to create playing thread....");
    return false;
  }
  instance.readyEvent.Wait();
  if (instance.window.load()) return true;
  // The thread ended without a window; nothing is left of it but its handle.
  instance.windowThread.Join();
  return false;
}

void StopPlayerWindow(PlayerInstance& instance) {
  if (!instance.windowThread.Started()) return;
  if (HWND window = instance.window.load()) DestroyWindow(window);
  // The thread may still be running with its window already gone (the host
  // destroyed the parent); the quit message ends its loop then.
  PostThreadMessage(instance.windowThreadId, WM_QUIT, 0, 0);
  instance.windowThread.Join();
}

}  // namespace qelo::player
