// Starts the display back end, makes, shows and destroys top-level windows
// (plain, shaped, tool windows, some on a thread of their own) and ends with
// windows still open. Run under a display (Xvfb in CI) with the SDL back end:
// it checks that the back end's thread and SDL are gone when they must be,
// and exits 0 only then.
//   (no argument)      main returns; the back end must be gone before even
//                      the exit handlers registered after it started (as a
//                      library the renderer loads registers its destructors)
//   --exit-from-thread another thread calls exit while main waits for
//                      messages; the back end must be gone at the last handler
//   --shutdown-early   ShutdownDisplay is called first, by two threads at once
//                      (each must find SDL gone when its call returns);
//                      windows made after it still work, unshown
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "win/window/display.h"
#include "win/window/window.h"

using namespace qelo::win;

namespace {

// The threads there were before the back end started, by id: a thread that
// was just joined may still be listed for a moment, so threads are told
// apart by id, not counted.
std::set<std::string> g_threadsBefore;
std::size_t g_threadsAtExit = 0;  // started since: the display's gone, any thread calling exit still there

std::set<std::string> ThreadIds() {
  std::set<std::string> ids;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
    ids.insert(task.path().filename().string());
  return ids;
}

// How many threads run now that were not there before the back end started.
std::size_t NewThreadCount() {
  std::size_t count = 0;
  for (const std::string& id : ThreadIds()) count += g_threadsBefore.count(id) == 0;
  return count;
}

// A thread that has just been joined stays listed until the system has
// finished with it: the count is read again for up to 200 ms before it
// counts as wrong.
bool NewThreadsSettleAt(std::size_t expected) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (NewThreadCount() == expected) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "display exit: %s\n", what);
  std::_Exit(2);
}

// Fails unless the back end has let go of SDL and its thread has ended.
void ExpectReleased(const char* when) {
  if (SDL_WasInit(SDL_INIT_EVERYTHING) != 0) {
    std::fprintf(stderr, "display exit: SDL still initialised %s\n", when);
    std::_Exit(2);
  }
  if (!NewThreadsSettleAt(g_threadsAtExit)) {
    std::fprintf(stderr, "display exit: %zu new threads %s, %zu expected\n", NewThreadCount(), when,
                 g_threadsAtExit);
    std::_Exit(2);
  }
}

// Whichever call of two comes second must still return only after the end.
void ShutdownFromTwoThreads() {
  auto shutdownAndCheck = [] {
    ShutdownDisplay();
    if (SDL_WasInit(SDL_INIT_EVERYTHING) != 0) Fail("ShutdownDisplay returned before SDL was quit");
  };
  std::thread other(shutdownAndCheck);
  shutdownAndCheck();
  other.join();
}

// Registered before the back end starts: the last exit handler to run.
void CheckAtExit() { ExpectReleased("at the last exit handler"); }
// Registered once windows are shown: runs before the back end's own exit
// handler, but after the main thread ended.
void CheckAtLaterExitHandler() { ExpectReleased("at an exit handler registered after the display started"); }

LRESULT PaintingProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    HBRUSH brush = CreateSolidBrush(RGB(40, 120, 200));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProc(window, message, w, l);
}

void Pump(std::chrono::milliseconds span) {
  const auto end = std::chrono::steady_clock::now() + span;
  MSG m;
  while (std::chrono::steady_clock::now() < end) {
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

HWND Make(DWORD exStyle, DWORD style, int x, int y, int size) {
  HWND window = CreateWindowEx(exStyle, "DisplayExit", "display exit", style, x, y, size, size,
                               nullptr, nullptr);
  if (window == nullptr) Fail("a window could not be made");
  return window;
}

HWND MakeShown(DWORD exStyle, DWORD style, int x, int y, int size) {
  HWND window = Make(exStyle, style, x, y, size);
  ShowWindow(window, SW_SHOWNA);
  UpdateWindow(window);
  return window;
}

HWND MakeRound(int x, int y) {
  HWND window = Make(WS_EX_TOOLWINDOW, WS_POPUP, x, y, 80);
  SetWindowRgn(window, CreateEllipticRgn(0, 0, 81, 81), 0);
  ShowWindow(window, SW_SHOWNA);
  return window;
}

// Windows come and go on this thread and on another one, whose windows end
// with it; two stay open.
void MakeAndDestroyWindows() {
  HWND main = MakeShown(0, WS_OVERLAPPEDWINDOW, 40, 40, 200);
  HWND round = MakeRound(260, 40);
  SetCursor(LoadCursor(nullptr, IDC_HAND));
  std::thread([] {
    MakeShown(WS_EX_TOOLWINDOW, WS_POPUP | WS_BORDER, 40, 260, 120);
    MakeRound(180, 260);
    Pump(std::chrono::milliseconds(50));
  }).join();
  Pump(std::chrono::milliseconds(50));
  for (int i = 0; i < 3; ++i) {
    HWND passing = MakeShown(0, WS_OVERLAPPEDWINDOW, 300 + 20 * i, 300, 100);
    Pump(std::chrono::milliseconds(20));
    DestroyWindow(passing);
  }
  DestroyWindow(round);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  InvalidateRect(main, nullptr, 1);
  MakeRound(260, 160);
  Pump(std::chrono::milliseconds(50));
}

enum class Ending { MainReturns, ExitFromThread, ShutdownEarly };

Ending EndingOf(int argc, char** argv) {
  if (argc < 2) return Ending::MainReturns;
  if (std::strcmp(argv[1], "--exit-from-thread") == 0) return Ending::ExitFromThread;
  if (std::strcmp(argv[1], "--shutdown-early") == 0) return Ending::ShutdownEarly;
  Fail("usage: qelo_display_exit [--exit-from-thread | --shutdown-early]");
}

// Exits from another thread while this one waits for messages.
[[noreturn]] void ExitFromThread() {
  ++g_threadsAtExit;
  std::thread([] {
    std::printf("display exit: exit from a thread\n");
    std::fflush(stdout);
    std::exit(0);
  }).detach();
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0) > 0) DispatchMessage(&m);
  Fail("the message loop ended before exit");
}

}  // namespace

int main(int argc, char** argv) {
  const Ending ending = EndingOf(argc, argv);
  // A sanitizer's helper thread starts with the first thread; counted here.
  std::thread([] {}).join();
  g_threadsBefore = ThreadIds();
  std::atexit(CheckAtExit);
  WNDCLASS c;
  c.lpszClassName = "DisplayExit";
  c.lpfnWndProc = PaintingProc;
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClass(c);
  if (std::strcmp(DisplayName(), "sdl") != 0) Fail("the SDL back end did not start (no display?)");
  if (NewThreadCount() == 0) Fail("the SDL back end runs no thread of its own");
  MakeAndDestroyWindows();
  switch (ending) {
    case Ending::MainReturns:
      std::atexit(CheckAtLaterExitHandler);
      std::printf("display exit: main returns\n");
      return 0;
    case Ending::ExitFromThread: ExitFromThread();
    case Ending::ShutdownEarly:
      ShutdownFromTwoThreads();
      ExpectReleased("after ShutdownDisplay");
      MakeAndDestroyWindows();
      ShutdownDisplay();
      ExpectReleased("after a second ShutdownDisplay");
      std::printf("display exit: shut down early\n");
      return 0;
  }
  return 1;
}
