// The plumbing every basic control shares: per-window state kept alive while
// its procedure runs, the font it draws with, the parent's colour answer and
// the id sent with notifications.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "win/controls/basic_common.h"

namespace qelo::win::controls {

// State of one control window, made on WM_NCCREATE and dropped on
// WM_NCDESTROY. Its procedure holds a reference while it runs, so a parent
// that destroys the control from a notification leaves no dangling state.
class ControlBase {
 public:
  explicit ControlBase(HWND window) : window_(window) {}
  virtual ~ControlBase() = default;
  virtual LRESULT Handle(UINT message, WPARAM w, LPARAM l) = 0;

  HWND Window() const { return window_; }
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }
  UINT Id() const { return static_cast<UINT>(GetWindowLongPtr(window_, GWLP_ID)); }
  HFONT Font() const;
  // The height of a line of text in the control's font.
  int FontHeight() const;
  bool HandleFont(UINT message, WPARAM w, LPARAM l, LRESULT* result);
  void Repaint() { InvalidateRect(window_, nullptr, 1); }

 private:
  HWND window_;
  HFONT font_ = nullptr;
};

// A control that paints its whole client area itself: font messages,
// WM_PAINT and WM_ERASEBKGND are answered here, the rest by HandleMessage.
class PaintedControl : public ControlBase {
 public:
  using ControlBase::ControlBase;
  LRESULT Handle(UINT message, WPARAM w, LPARAM l) final;

 protected:
  virtual LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) = 0;
  virtual void Paint() = 0;
};

// Sets the default colours on `dc`, asks the parent with `ctlColor` and
// answers the brush to fill the background with.
HBRUSH ParentBrush(HWND control, HDC dc, UINT ctlColor, int defaultBackground);

// A paint context with the control's font selected; restores it on exit.
class PaintScope {
 public:
  explicit PaintScope(const ControlBase& control);
  ~PaintScope();
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const { return paint_.hdc; }
  const RECT& client() const { return client_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
  RECT client_{};
  int saved_ = 0;
};

template <class T>
class ControlTable {
 public:
  std::shared_ptr<T> Find(HWND window) {
    std::lock_guard lock(mutex_);
    auto it = states_.find(window);
    return it == states_.end() ? nullptr : it->second;
  }
  void Attach(HWND window) {
    std::lock_guard lock(mutex_);
    states_[window] = std::make_shared<T>(window);
  }
  void Detach(HWND window) {
    std::lock_guard lock(mutex_);
    states_.erase(window);
  }

 private:
  std::mutex mutex_;
  std::map<HWND, std::shared_ptr<T>> states_;
};

template <class T>
ControlTable<T>& TableOf() {
  static ControlTable<T> table;
  return table;
}

template <class T>
LRESULT ControlProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  ControlTable<T>& table = TableOf<T>();
  if (message == WM_NCCREATE) table.Attach(window);
  std::shared_ptr<T> control = table.Find(window);
  if (control == nullptr) return DefWindowProc(window, message, w, l);
  if (message == WM_NCDESTROY) {
    table.Detach(window);
    return control->Handle(message, w, l);
  }
  return control->Handle(message, w, l);
}

// The state of a control of class T, or nullptr (for tests and for
// controls that reach into their children).
template <class T>
std::shared_ptr<T> ControlOf(HWND window) {
  return TableOf<T>().Find(window);
}

// The controls draw themselves from their size: a new size repaints them
// wholly (CS_HREDRAW, CS_VREDRAW).
template <class T>
void RegisterControlClass(const char* name, UINT style, const char* cursor = IDC_ARROW) {
  WNDCLASS c;
  c.lpszClassName = name;
  c.style = style | CS_HREDRAW | CS_VREDRAW;
  c.lpfnWndProc = &ControlProc<T>;
  c.hCursor = LoadCursor(nullptr, cursor);
  RegisterClass(c);
}

// Class registration of each group of basic controls.
void RegisterButtonClass();
void RegisterStaticClass();
void RegisterEditClass();
void RegisterListBoxClasses();
void RegisterComboBoxClass();
void RegisterProgressClass();
void RegisterStatusBarClass();
void RegisterToolTipClass();

}  // namespace qelo::win::controls
