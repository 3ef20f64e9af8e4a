// A parent window for the list controls that records what they tell it
// (notifications, WM_CONTEXTMENU, WM_DRAWITEM) and answers notifications
// as a test asks, plus input helpers in the parent's client coordinates.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "win/controls/basic_common.h"
#include "win/controls/commctrl.h"
#include "win/window/display.h"

namespace qelo::win::test {

// `what` is the notification code, or the message number for WM_CONTEXTMENU
// and WM_DRAWITEM. `item` and `value` are what the tests compare: the item
// concerned and a code-specific number (a width, a new state, a menu's x).
struct Event {
  UINT what = 0;
  int item = -1;
  int value = 0;
  bool operator==(const Event& o) const {
    return what == o.what && item == o.item && value == o.value;
  }
};
std::ostream& operator<<(std::ostream& out, const Event& e);

// Turns a notification into its event, answering `item` and `value`.
using Decoder = std::function<void(const NMHDR*, Event*)>;

class ListParent {
 public:
  explicit ListParent(Decoder decoder);
  ~ListParent();
  HWND window() const { return window_; }
  // Screen position of the parent's client area.
  POINT origin() const { return {kLeft, kTop}; }

  std::vector<Event> events;
  std::vector<DRAWITEMSTRUCT> drawn;
  std::map<UINT, LRESULT> answers;  // per notification code; 0 otherwise
  // Called for every notification before the answer is given.
  std::function<void(NMHDR*)> inspect;

  // Input at a point of the parent's client area, dispatched at once.
  void Click(POINT p, bool right = false);
  void Press(POINT p, bool right = false);
  void Release(POINT p, bool right = false);
  void Move(POINT p);
  void DoubleClick(POINT p);

  static constexpr int kLeft = 100;
  static constexpr int kTop = 100;

 private:
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  static LRESULT Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  HWND window_ = nullptr;
  Decoder decoder_;
};

void PumpMessages();
// A picture of the window as shown, pixel at the parent's client point.
COLORREF ShownPixel(HWND topLevel, int x, int y);

}  // namespace qelo::win::test
