#include "win/controls/commctrl.h"

#include <mutex>

namespace qelo::win {

LRESULT SendNotify(HWND control, UINT code, NMHDR* header) {
  HWND parent = GetParent(control);
  if (!parent) return 0;
  header->hwndFrom = control;
  header->idFrom = static_cast<UINT_PTR>(GetWindowLongPtr(control, GWLP_ID));
  header->code = code;
  return SendMessage(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

void SendCommandNotify(HWND control, UINT notifyCode) {
  HWND parent = GetParent(control);
  if (!parent) return;
  auto id = static_cast<UINT>(GetWindowLongPtr(control, GWLP_ID));
  SendMessage(parent, WM_COMMAND, (static_cast<WPARAM>(notifyCode) << 16) | (id & 0xFFFF),
              reinterpret_cast<LPARAM>(control));
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) return 0;
  static std::once_flag registered;
  std::call_once(registered, [] {
    RegisterBasicControlClasses();
    RegisterListControlClasses();
  });
  return 1;
}

}  // namespace qelo::win
