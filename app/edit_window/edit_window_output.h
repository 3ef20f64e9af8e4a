// The edit window's output pane: the player's frame hook that makes the
// pane's picture with the engine's own compositing, so the pane shows what
// the engine will write.
#pragma once

#include <mutex>

#include "qelo/convertor.h"
#include "win/window/window.h"

namespace qelo::app {

// Posted to the window the hook reports to after each frame it saw: the
// frame's time in 100-ns units, high 32 bits in wParam, low in lParam.
inline constexpr win::UINT WM_EDIT_FRAME_SHOWN = win::WM_USER + 300;

// The player calls the hook on its window thread, under its instance lock,
// with each frame it shows; the window sets what it draws from the GUI
// thread.
class TLiveOutput {
 public:
  // The entry whose crop, watermark and effects each frame gets, at the
  // preview's scale.
  void Set(const SourceEntry& entry);
  // Where each frame's time is posted; null for nowhere.
  void SetNotifyWindow(win::HWND window);

  // FrameCallback: `self` is the TLiveOutput.
  static void Hook(VideoFrame* frame, void* self);

 private:
  void Apply(VideoFrame& frame);

  // Guards entry_ and window_, written by the GUI thread and read by the
  // player's window thread; held only to copy them.
  std::mutex lock_;
  SourceEntry entry_{};
  win::HWND window_ = nullptr;
};

}  // namespace qelo::app
