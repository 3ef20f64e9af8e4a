#include "shell/drag_drop.h"

#include <map>
#include <mutex>
#include <vector>

namespace qelo::shell {
namespace {

constexpr const char* kCaptureClass = "QeloDragCapture";
constexpr uint32_t kEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

std::mutex targetsLock;
// Never destroyed: targets may be revoked by other objects' destructors at exit.
std::map<win::HWND, ComPtr<IDropTarget>>& Targets() {
  static auto* targets = new std::map<win::HWND, ComPtr<IDropTarget>>;
  return *targets;
}

// The registered target of the window or of its nearest ancestor that has
// one; a destroyed window's target is dropped when met.
ComPtr<IDropTarget> TargetAt(win::POINT screen) {
  std::vector<ComPtr<IDropTarget>> gone;  // released after the lock, they may revoke others
  std::lock_guard<std::mutex> hold(targetsLock);
  auto& targets = Targets();
  for (auto it = targets.begin(); it != targets.end();) {
    if (win::IsWindow(it->first)) {
      ++it;
      continue;
    }
    gone.push_back(std::move(it->second));
    it = targets.erase(it);
  }
  for (win::HWND w = win::WindowFromPoint(screen); w; w = win::GetParent(w)) {
    auto it = targets.find(w);
    if (it != targets.end()) return it->second;
  }
  return nullptr;
}

void RegisterCaptureClass() {
  static const bool registered = [] {
    win::WNDCLASS wc;
    wc.lpfnWndProc = win::DefWindowProc;
    wc.lpszClassName = kCaptureClass;
    return win::RegisterClass(wc) != 0;
  }();
  (void)registered;
}

bool IsMouseMessage(win::UINT m) { return m >= win::WM_MOUSEMOVE && m <= win::WM_MBUTTONDBLCLK; }
bool IsKeyMessage(win::UINT m) { return m >= win::WM_KEYDOWN && m <= win::WM_SYSCHAR; }

// One drag: the target under the pointer and what it last answered.
class DragLoop {
 public:
  DragLoop(IDataObject* data, IDropSource* source, uint32_t allowed)
      : data_(data), source_(source), allowed_(allowed) {}

  HRESULT Run(uint32_t* effect) {
    RegisterCaptureClass();
    capture_ = win::CreateWindowEx(0, kCaptureClass, "", win::WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
    if (!capture_) return E_FAIL;
    win::SetCapture(capture_);
    win::POINT at;
    win::GetCursorPos(&at);
    HRESULT result = Step(false, at);
    while (result == S_OK) {
      win::MSG m;
      int got = win::GetMessage(&m, nullptr, 0, 0);
      if (got <= 0) {
        if (got == 0) win::PostQuitMessage(static_cast<int>(m.wParam));
        result = DRAGDROP_S_CANCEL;
        break;
      }
      if (IsMouseMessage(m.message)) {
        result = Step(false, m.pt);
      } else if (IsKeyMessage(m.message)) {
        win::GetCursorPos(&at);
        result = Step(m.message == win::WM_KEYDOWN && m.wParam == win::VK_ESCAPE, at);
      } else {
        win::DispatchMessage(&m);
      }
    }
    *effect = result == DRAGDROP_S_DROP ? Drop() : Leave();
    if (win::GetCapture() == capture_) win::ReleaseCapture();
    win::DestroyWindow(capture_);
    win::SetCursor(win::LoadCursor(nullptr, win::IDC_ARROW));
    return *effect == DROPEFFECT_NONE ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
  }

 private:
  HRESULT Step(bool escape, win::POINT at) {
    keys_ = CurrentKeyState();
    point_ = at;
    HRESULT asked = source_->QueryContinueDrag(escape, keys_);
    if (asked != S_OK) return asked;
    Move();
    return S_OK;
  }

  void Move() {
    ComPtr<IDropTarget> under = TargetAt(point_);
    uint32_t effect = allowed_;
    if (under.Get() != target_.Get()) {
      Leave();
      target_ = under;
      if (target_ && FAILED(target_->DragEnter(data_, keys_, point_, &effect))) effect = DROPEFFECT_NONE;
    } else if (target_ && FAILED(target_->DragOver(keys_, point_, &effect))) {
      effect = DROPEFFECT_NONE;
    }
    effect_ = target_ ? effect & allowed_ & kEffects : DROPEFFECT_NONE;
    if (source_->GiveFeedback(effect_) == DRAGDROP_S_USEDEFAULTCURSORS)
      win::SetCursor(win::LoadCursor(nullptr, effect_ ? win::IDC_ARROW : win::IDC_NO));
  }

  uint32_t Leave() {
    if (target_) target_->DragLeave();
    target_.Reset();
    return DROPEFFECT_NONE;
  }

  uint32_t Drop() {
    if (!target_ || effect_ == DROPEFFECT_NONE) return Leave();
    uint32_t effect = allowed_;
    ComPtr<IDropTarget> target = std::move(target_);
    if (FAILED(target->Drop(data_, keys_, point_, &effect))) return DROPEFFECT_NONE;
    return effect & allowed_ & kEffects;
  }

  IDataObject* data_;
  IDropSource* source_;
  uint32_t allowed_;
  win::HWND capture_ = nullptr;
  ComPtr<IDropTarget> target_;
  uint32_t keys_ = 0;
  uint32_t effect_ = DROPEFFECT_NONE;
  win::POINT point_;
};

}  // namespace

HRESULT RegisterDragDrop(win::HWND window, IDropTarget* target) {
  if (!win::IsWindow(window)) return DRAGDROP_E_INVALIDHWND;
  if (!target) return E_INVALIDARG;
  std::lock_guard<std::mutex> hold(targetsLock);
  auto& targets = Targets();
  if (targets.count(window)) return DRAGDROP_E_ALREADYREGISTERED;
  targets[window] = ComPtr<IDropTarget>::Share(target);
  return S_OK;
}

HRESULT RevokeDragDrop(win::HWND window) {
  ComPtr<IDropTarget> revoked;
  {
    std::lock_guard<std::mutex> hold(targetsLock);
    auto it = Targets().find(window);
    if (it == Targets().end()) return DRAGDROP_E_NOTREGISTERED;
    revoked = std::move(it->second);
    Targets().erase(it);
  }
  return S_OK;  // the target is released outside the lock
}

HRESULT DoDragDrop(IDataObject* data, IDropSource* source, uint32_t allowedEffects, uint32_t* effect) {
  if (!data || !source || !effect) return E_INVALIDARG;
  *effect = DROPEFFECT_NONE;
  DragLoop loop(data, source, allowedEffects);
  return loop.Run(effect);
}

uint32_t CurrentKeyState() {
  struct Bit {
    int key;
    uint32_t bit;
  };
  static constexpr Bit kBits[] = {{win::VK_LBUTTON, win::MK_LBUTTON}, {win::VK_RBUTTON, win::MK_RBUTTON},
                                  {win::VK_MBUTTON, win::MK_MBUTTON}, {win::VK_SHIFT, win::MK_SHIFT},
                                  {win::VK_CONTROL, win::MK_CONTROL}, {win::VK_MENU, MK_ALT}};
  uint32_t state = 0;
  for (const Bit& b : kBits)
    if (win::GetKeyState(b.key) < 0) state |= b.bit;
  return state;
}

}  // namespace qelo::shell
