#include "controls_fixture.h"

namespace qelo::win::test {

std::ostream& operator<<(std::ostream& out, const Note& note) {
  return out << (note.message == WM_COMMAND ? "WM_COMMAND" : "WM_NOTIFY") << '(' << static_cast<int>(note.code)
             << ", id " << note.id << ')';
}

Note Command(UINT code, UINT id) { return Note{WM_COMMAND, code, id}; }

void ControlsTest::SetUp() {
  INITCOMMONCONTROLSEX init;
  ASSERT_TRUE(InitCommonControlsEx(&init));
  parent_ = Windows::Get().Create(WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 400, 300}, nullptr,
                                  [this](HWND, UINT message, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
                                    Note note;
                                    if (message == WM_COMMAND) {
                                      note = Note{message, HIWORD(w), LOWORD(w)};
                                    } else if (message == WM_NOTIFY) {
                                      const auto* header = reinterpret_cast<const NMHDR*>(l);
                                      note = Note{message, header->code, static_cast<UINT>(header->idFrom)};
                                    } else {
                                      LRESULT result = 0;
                                      if (onMessage_ && onMessage_(message, w, l, &result)) return result;
                                      *handled = false;
                                      return 0;
                                    }
                                    notes_.push_back(note);
                                    if (onNote_) onNote_(note, l);
                                    return 0;
                                  });
  ASSERT_NE(parent_, nullptr);
  SetFocus(parent_);
  Pump();
}

void ControlsTest::TearDown() {
  DestroyWindow(parent_);
  Pump();
}

HWND ControlsTest::Make(const char* className, DWORD style, RECT r, const std::string& text, UINT id) {
  HWND control = CreateWindowEx(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent_, nullptr);
  EXPECT_NE(control, nullptr) << className;
  if (control) SetWindowLongPtr(control, GWLP_ID, id);
  Pump();
  return control;
}

namespace {
POINT OnScreen(HWND window, POINT client) {
  ClientToScreen(window, &client);
  return client;
}
}  // namespace

void ControlsTest::Press(HWND window, POINT client) {
  InjectMouseMove(OnScreen(window, client));
  InjectMouseButton(MouseButton::Left, true, OnScreen(window, client));
  Pump();
}

void ControlsTest::MoveTo(HWND window, POINT client) {
  InjectMouseMove(OnScreen(window, client));
  Pump();
}

void ControlsTest::Release(HWND window, POINT client) {
  InjectMouseButton(MouseButton::Left, false, OnScreen(window, client));
  Pump();
}

void ControlsTest::Click(HWND window, POINT client) {
  Press(window, client);
  Release(window, client);
}

void ControlsTest::Key(int virtualKey, bool down) {
  InjectKey(virtualKey, down);
  Pump();
}

void ControlsTest::Type(const std::string& utf8) {
  InjectText(utf8);
  Pump();
}

std::vector<Note> ControlsTest::TakeNotes() { return std::exchange(notes_, {}); }

COLORREF ControlsTest::Pixel(HWND window, POINT client) {
  UpdateWindow(parent_);
  RedrawWindow(parent_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  MapWindowPoints(window, parent_, &client, 1);
  return PixelAt(parent_, client.x, client.y);
}

}  // namespace qelo::win::test
