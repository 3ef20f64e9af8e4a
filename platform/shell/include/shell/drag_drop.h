// Drag and drop between the program's windows: drop sources and targets,
// windows registered as targets, and the modal loop that carries a data
// object from the source to the target under the pointer. The loop runs on
// the thread that starts the drag; targets are called on that thread, so
// drags work between windows of one thread (the program's GUI thread).
#pragma once

#include <cstdint>

#include "shell/ole_data.h"
#include "win/window/window.h"

namespace qelo::shell {

constexpr uint32_t DROPEFFECT_NONE = 0;
constexpr uint32_t DROPEFFECT_COPY = 1;
constexpr uint32_t DROPEFFECT_MOVE = 2;
constexpr uint32_t DROPEFFECT_LINK = 4;
constexpr uint32_t DROPEFFECT_SCROLL = 0x80000000;

constexpr uint32_t MK_ALT = 0x20;  // with the window system's MK_* mouse and key bits

constexpr HRESULT DRAGDROP_S_DROP = MakeResult(0x00040100);
constexpr HRESULT DRAGDROP_S_CANCEL = MakeResult(0x00040101);
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = MakeResult(0x00040102);
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = MakeResult(0x80040100);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = MakeResult(0x80040101);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = MakeResult(0x80040102);

inline constexpr IID IID_IDropSource{"IDropSource"};
inline constexpr IID IID_IDropTarget{"IDropTarget"};

class IDropSource : public IUnknown {
 public:
  // S_OK goes on, DRAGDROP_S_DROP drops, DRAGDROP_S_CANCEL ends the drag.
  virtual HRESULT QueryContinueDrag(win::BOOL escapePressed, uint32_t keyState) = 0;
  virtual HRESULT GiveFeedback(uint32_t effect) = 0;

 protected:
  ~IDropSource() = default;
};

// Points are screen coordinates; `effect` comes in as what the source
// allows and goes out as what the target would do.
class IDropTarget : public IUnknown {
 public:
  virtual HRESULT DragEnter(IDataObject* data, uint32_t keyState, win::POINT point, uint32_t* effect) = 0;
  virtual HRESULT DragOver(uint32_t keyState, win::POINT point, uint32_t* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, uint32_t keyState, win::POINT point, uint32_t* effect) = 0;

 protected:
  ~IDropTarget() = default;
};

// The window takes a reference to the target until RevokeDragDrop (or
// until the window is destroyed).
HRESULT RegisterDragDrop(win::HWND window, IDropTarget* target);
HRESULT RevokeDragDrop(win::HWND window);

// Runs the drag until the source drops or cancels it: DRAGDROP_S_DROP with
// the target's effect, DRAGDROP_S_CANCEL with DROPEFFECT_NONE.
HRESULT DoDragDrop(IDataObject* data, IDropSource* source, uint32_t allowedEffects, uint32_t* effect);

// The mouse-button and modifier bits (MK_*) as the calling thread's input
// stands now.
uint32_t CurrentKeyState();

}  // namespace qelo::shell
