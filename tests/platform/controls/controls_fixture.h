// A parent window that records the notifications its controls send, and
// helpers that drive controls with the pointer and keyboard as a user would.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "window_fixture.h"
#include "win/controls/basic_common.h"
#include "win/window/display.h"

namespace qelo::win::test {

// One notification as the parent saw it: WM_COMMAND or WM_NOTIFY, the code
// and the sender's id.
struct Note {
  UINT message = 0;
  UINT code = 0;
  UINT id = 0;
  friend bool operator==(const Note&, const Note&) = default;
};
std::ostream& operator<<(std::ostream& out, const Note& note);
Note Command(UINT code, UINT id = 100);

class ControlsTest : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;

  // A visible child control of the parent, with the given id.
  HWND Make(const char* className, DWORD style, RECT r, const std::string& text = "", UINT id = 100);
  // Left button down and up at a point of the window's client area.
  void Click(HWND window, POINT client);
  void Press(HWND window, POINT client);
  void MoveTo(HWND window, POINT client);
  void Release(HWND window, POINT client);
  void Key(int virtualKey, bool down = true);
  void Tap(int virtualKey) { Key(virtualKey, true); Key(virtualKey, false); }
  void Type(const std::string& utf8);
  // The notifications since the last call.
  std::vector<Note> TakeNotes();
  COLORREF Pixel(HWND window, POINT client);

  HWND parent_ = nullptr;
  std::vector<Note> notes_;
  // Runs inside the parent for each notification (after it is recorded).
  std::function<void(const Note&, LPARAM)> onNote_;
  // Sees every other message of the parent first; true when it handled it.
  std::function<bool(UINT, WPARAM, LPARAM, LRESULT*)> onMessage_;
};

}  // namespace qelo::win::test
