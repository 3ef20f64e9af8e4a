// Display back ends and what tests and back ends feed into the window
// system: input as a user would give it, and pictures of windows.
#pragma once

#include <memory>
#include <string>

#include "win/window/window.h"

namespace qelo::win {

// How the window system shows its top-level windows. The window system
// calls these without holding any of its locks; they must not block.
class DisplayBackend {
 public:
  virtual ~DisplayBackend() = default;
  virtual const char* Name() const = 0;
  virtual SIZE ScreenSize() const = 0;
  // A top-level window appeared, or changed place, size, visibility or
  // region.
  virtual void TopLevelChanged(HWND window) = 0;
  virtual void TopLevelGone(HWND window) = 0;
  // Pixels of the top-level window (or of one of its children) changed.
  virtual void Painted(HWND topLevel) = 0;
  // The pointer shows another standard cursor (a name of LoadCursor); an
  // empty name hides it.
  virtual void CursorChanged(const std::string& name) = 0;
  // Releases what the back end holds of the screen and stops its threads;
  // afterwards it shows nothing. Bounded; later calls wait for the same end.
  virtual void Shutdown() = 0;
};

// Headless when QELO_HEADLESS is set (not "0") or there is no display;
// otherwise SDL. Chosen on the window system's first use.
std::unique_ptr<DisplayBackend> MakeHeadlessDisplay(SIZE screen);
std::unique_ptr<DisplayBackend> MakeSdlDisplay();  // nullptr when SDL has no display
const char* DisplayName();
// Ends the display back end, if one was started: the SDL back end destroys
// its windows and cursors and quits SDL on its own thread, then that thread
// ends. Runs by itself when the main thread ends (the first step of exit,
// before any exit handler or static destructor), else from an exit handler;
// the owner of the window system may call it sooner, from any thread but
// the display's. Windows that remain or are made afterwards are not shown.
void ShutdownDisplay();
// Headless only: a new screen size (work area and monitor follow).
void SetHeadlessScreenSize(SIZE screen);

// The window as the screen shows it: its surface with its children
// composited in z-order, each clipped by its parents and window regions.
// Pixels outside the window's region are black. nullptr for a bad window.
HBITMAP ComposeWindow(HWND topLevel);
BOOL SaveWindowScreenshot(HWND topLevel, const std::string& pngPath);
// Draws the composed picture of the top-level window `popup` (an open
// drop-down list, a menu) into `picture`, a composed picture of `topLevel`,
// where the screen shows it over that window. FALSE when `popup` cannot be
// composed.
BOOL ComposePopupOnto(HBITMAP picture, HWND topLevel, HWND popup);

// Input, as the pointer and keyboard give it, in screen coordinates.
// Routed at once to the window under the pointer (or the capture, or the
// focus) and queued on its thread.
enum class MouseButton { Left, Right, Middle };
void InjectMouseMove(POINT screen);
void InjectMouseButton(MouseButton button, bool down, POINT screen);
void InjectMouseWheel(int delta, POINT screen);
void InjectKey(int virtualKey, bool down);
// Each character becomes WM_CHAR (two, lead then trail, beyond U+FFFF).
void InjectText(const std::string& utf8);

}  // namespace qelo::win
