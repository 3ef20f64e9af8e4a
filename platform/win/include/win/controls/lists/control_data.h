// What the list controls share: the per-window state each control keeps
// beside its handle, UTF-8 text copied into callers' buffers, fonts and the
// context-menu hand-over to the parent.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "win/controls/basic_common.h"
#include "win/controls/commctrl.h"
#include "win/controls/lists/text_callback.h"
#include "win/window/scrollbars.h"

namespace qelo::win::lists {

// Rows one notch of the mouse wheel scrolls.
constexpr int kWheelRows = 3;

// The client point a mouse message carries in lParam.
inline POINT PointOf(LPARAM l) { return POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}; }

// One state object per live window of a class, made on WM_NCCREATE and
// freed on WM_NCDESTROY. The map is locked because any thread may look a
// handle up; the state itself is touched only on the window's own thread.
template <typename State>
class PerWindow {
 public:
  template <typename... Args>
  State* Make(HWND window, Args&&... args) {
    std::lock_guard lock(mutex_);
    auto& slot = states_[window];
    slot = std::make_unique<State>(std::forward<Args>(args)...);
    return slot.get();
  }
  State* Find(HWND window) {
    std::lock_guard lock(mutex_);
    auto it = states_.find(window);
    return it == states_.end() ? nullptr : it->second.get();
  }
  void Drop(HWND window) {
    std::unique_ptr<State> gone;
    std::lock_guard lock(mutex_);
    auto it = states_.find(window);
    if (it == states_.end()) return;
    gone = std::move(it->second);
    states_.erase(it);
  }

 private:
  std::mutex mutex_;
  std::map<HWND, std::unique_ptr<State>> states_;
};

// The live states of one control class. Never freed: windows may still be
// destroyed while statics are torn down.
template <typename State>
PerWindow<State>& StatesOf() {
  static auto* states = new PerWindow<State>;
  return *states;
}

// The window procedure of a control whose state, kept in StatesOf, is
// made from the handle on WM_NCCREATE, freed on WM_NCDESTROY and handles
// every message in between.
template <typename State>
LRESULT StateWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) StatesOf<State>().Make(window, window);
  State* state = StatesOf<State>().Find(window);
  if (state == nullptr) return DefWindowProc(window, message, w, l);
  if (message == WM_NCDESTROY) {
    StatesOf<State>().Drop(window);
    return 0;
  }
  return state->Handle(message, w, l);
}

// Registers a control class that takes double clicks and shows the arrow.
void RegisterDoubleClickClass(const char* name, WNDPROC proc);

// Copies `text` into `buffer` of `size` bytes, zero-terminated, cut at a
// character boundary when it does not fit. Nothing for a null buffer.
void CopyText(const std::string& text, char* buffer, int size);
// The zero-terminated text, empty for null or the callback marker.
std::string ReadText(const char* text);

// The context a control paints into: the one WM_PAINT or WM_PRINTCLIENT
// brought in wParam (the whole client area is to be drawn), else
// BeginPaint's, given back when the scope ends.
class PaintContext {
 public:
  PaintContext(HWND window, HDC given);
  ~PaintContext();
  PaintContext(const PaintContext&) = delete;
  PaintContext& operator=(const PaintContext&) = delete;
  HDC dc() const { return dc_; }
  const RECT& update() const { return update_; }

 private:
  HWND window_;
  bool own_;
  PAINTSTRUCT paint_;
  HDC dc_;
  RECT update_;
};

// The control's font (WM_SETFONT) or the default GUI font.
HFONT ControlFont(HFONT chosen);

// Whether the pointer moved far enough from where a button went down to
// start a drag.
bool BeyondDragDistance(POINT from, POINT to);

// Where a WM_VSCROLL or WM_HSCROLL request (`code`, and `thumb` for the
// thumb codes) moves a scroll position of `now`; `now` for codes that do
// not move it. Clamping is the caller's.
int ScrollTarget(int code, int thumb, int now, int line, int page, int end);

// The text metrics of `font` (null for the default GUI font).
TEXTMETRIC FontMetrics(HFONT font);
// How wide `text` is in `font` (null for the default GUI font).
int FontTextWidth(HFONT font, const std::string& text);

// Answers the keys list and tree views share: Return is reported to the
// parent, Apps and Shift+F10 ask for the context menu from the keyboard.
// False for any other key.
bool AnswerCommonKey(HWND window, int key);

// Client point to the screen point packed as WM_CONTEXTMENU wants it.
LPARAM ScreenPointParam(HWND window, POINT client);
// WM_CONTEXTMENU that reaches a control's own default handling goes on to
// its parent, as default window handling does for child windows.
LRESULT ForwardContextMenu(HWND window, WPARAM w, LPARAM l);

}  // namespace qelo::win::lists
