// A headless player window driven by a PlayerDisplay, a host window that
// collects what the player posts, and frames painted in memory.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/composed_window.h"
#include "player_display.h"
#include "win/window/window.h"

namespace qelo::player::test {

// Quadrant colours of the test frame (0x00RRGGBB).
constexpr uint32_t kTopLeft = 0xFF0000, kTopRight = 0x00FF00, kBottomLeft = 0x0000FF, kBottomRight = 0xFFFFFF;

// Fills a frame record with four opaque quadrants.
void PaintQuadrants(VideoFrame& frame);

// The window as the screen shows it at one moment.
class Screenshot {
 public:
  explicit Screenshot(win::HWND window) : composed_(window) {}
  // 0x00RRGGBB.
  uint32_t At(int x, int y) const;

 private:
  qelo::test::ComposedWindow composed_;
};

class PlayerWindow {
 public:
  PlayerWindow(bool twoPane, int width, int height);
  ~PlayerWindow();

  // Opens a "file" of frames at the decoded size, paints its first frame
  // and shows it.
  void OpenFrames(int frameWidth, int frameHeight, int sourceWidth, int sourceHeight);
  void Close();
  // Mouse messages through the window procedure, as the pointer gives them.
  void Mouse(win::UINT message, int x, int y);
  // The window's pixel as the screen shows it (0x00RRGGBB).
  uint32_t Pixel(int x, int y) const;
  // Dispatches what waits in the thread's queue.
  static void Pump();

  win::HWND hwnd = nullptr;
  PlayerDisplay display;
  bool fileOpen = false;
  EditContext context;

 private:
  static win::LRESULT Procedure(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l);
};

// Receives WM_PLAYER_* from the player window.
class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  struct Posted {
    win::UINT message;
    win::WPARAM w;
    win::LPARAM l;
  };
  // Everything of `message` posted so far, removed from the queue.
  std::vector<Posted> Take(win::UINT message);

  win::HWND hwnd = nullptr;
};

}  // namespace qelo::player::test
