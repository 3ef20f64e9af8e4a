#include "list_fixture.h"

#include <cstdlib>
#include <ostream>

#include "platform/window/composed_pixel.h"

namespace qelo::win::test {
namespace {

const bool g_headless = [] { return setenv("QELO_HEADLESS", "1", 1) == 0; }();
constexpr const char* kParentClass = "ListParent";

std::map<HWND, ListParent*>& Parents() {
  static std::map<HWND, ListParent*> parents;  // GUI thread only
  return parents;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Event& e) {
  return out << "{code " << static_cast<int>(e.what) << ", item " << e.item << ", value "
             << e.value << "}";
}

ListParent::ListParent(Decoder decoder) : decoder_(std::move(decoder)) {
  INITCOMMONCONTROLSEX init;
  init.dwICC = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES;
  InitCommonControlsEx(&init);
  static const bool registered = [] {
    WNDCLASS c;
    c.lpszClassName = kParentClass;
    c.lpfnWndProc = &ListParent::Procedure;
    c.hbrBackground = SysColorBackground(COLOR_BTNFACE);
    return RegisterClass(c) != 0;
  }();
  (void)registered;
  window_ = CreateWindowEx(0, kParentClass, "parent", WS_POPUP | WS_VISIBLE, kLeft, kTop, 400,
                           300, nullptr, nullptr);
  Parents()[window_] = this;
  PumpMessages();
}

ListParent::~ListParent() {
  ReleaseCapture();
  DestroyWindow(window_);
  Parents().erase(window_);
  InjectMouseMove(POINT{0, 0});
  PumpMessages();
}

LRESULT ListParent::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto it = Parents().find(window);
  if (it == Parents().end()) return DefWindowProc(window, message, w, l);
  return it->second->Handle(message, w, l);
}

LRESULT ListParent::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(l);
      Event e{header->code};
      if (decoder_) decoder_(header, &e);
      events.push_back(e);
      if (inspect) inspect(header);
      auto answer = answers.find(header->code);
      return answer == answers.end() ? 0 : answer->second;
    }
    case WM_CONTEXTMENU: {
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ScreenToClient(window_, &p);
      events.push_back(Event{WM_CONTEXTMENU, p.y, p.x});
      return 0;
    }
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      drawn.push_back(*draw);
      events.push_back(Event{WM_DRAWITEM, static_cast<int>(draw->itemID),
                             static_cast<int>(draw->CtlType)});
      return 1;
    }
    default: return DefWindowProc(window_, message, w, l);
  }
}

void ListParent::Press(POINT p, bool right) {
  InjectMouseButton(right ? MouseButton::Right : MouseButton::Left, true,
                    POINT{kLeft + p.x, kTop + p.y});
  PumpMessages();
}

void ListParent::Release(POINT p, bool right) {
  InjectMouseButton(right ? MouseButton::Right : MouseButton::Left, false,
                    POINT{kLeft + p.x, kTop + p.y});
  PumpMessages();
}

void ListParent::Click(POINT p, bool right) {
  Press(p, right);
  Release(p, right);
}

void ListParent::Move(POINT p) {
  InjectMouseMove(POINT{kLeft + p.x, kTop + p.y});
  PumpMessages();
}

void ListParent::DoubleClick(POINT p) {
  Click(p);
  Click(p);
}

void PumpMessages() {
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
}

COLORREF ShownPixel(HWND topLevel, int x, int y) {
  PumpMessages();
  return PixelAt(topLevel, x, y);
}

}  // namespace qelo::win::test
