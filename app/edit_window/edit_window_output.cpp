#include "edit_window_output.h"

namespace qelo::app {

void TLiveOutput::Set(const SourceEntry& entry) {
  std::lock_guard guard(lock_);
  entry_ = entry;
}

void TLiveOutput::SetNotifyWindow(win::HWND window) {
  std::lock_guard guard(lock_);
  window_ = window;
}

void TLiveOutput::Hook(VideoFrame* frame, void* self) {
  if (frame && self) static_cast<TLiveOutput*>(self)->Apply(*frame);
}

void TLiveOutput::Apply(VideoFrame& frame) {
  SourceEntry entry;
  win::HWND window;
  {
    std::lock_guard guard(lock_);
    entry = entry_;
    window = window_;
  }
  QeloCompositeFrame(&entry, &frame);
  if (window) {
    const uint64_t bits = static_cast<uint64_t>(frame.pts);
    win::PostMessage(window, WM_EDIT_FRAME_SHOWN, win::WPARAM(uint32_t(bits >> 32)),
                     win::LPARAM(uint32_t(bits & 0xFFFFFFFFu)));
  }
}

}  // namespace qelo::app
