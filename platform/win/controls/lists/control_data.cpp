#include "win/controls/lists/control_data.h"

#include <cstdlib>
#include <cstring>

namespace qelo::win::lists {

void RegisterDoubleClickClass(const char* name, WNDPROC proc) {
  WNDCLASS c;
  c.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;  // a new size repaints the whole list
  c.lpfnWndProc = proc;
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  c.lpszClassName = name;
  RegisterClass(c);
}

TEXTMETRIC FontMetrics(HFONT font) {
  HDC dc = CreateDisplayDC();
  HGDIOBJ old = SelectObject(dc, ControlFont(font));
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm;
}

int FontTextWidth(HFONT font, const std::string& text) {
  HDC dc = CreateDisplayDC();
  HGDIOBJ old = SelectObject(dc, ControlFont(font));
  SIZE size;
  GetTextExtentPoint32(dc, text, &size);
  SelectObject(dc, old);
  DeleteDC(dc);
  return size.cx;
}

bool AnswerCommonKey(HWND window, int key) {
  switch (key) {
    case VK_RETURN: {
      NMHDR h;
      SendNotify(window, NM_RETURN, &h);
      return true;
    }
    case VK_F10:
      if (GetKeyState(VK_SHIFT) >= 0) return true;
      [[fallthrough]];
    case VK_APPS:
      SendMessage(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(-1, -1));
      return true;
    default: return false;
  }
}

void CopyText(const std::string& text, char* buffer, int size) {
  if (buffer == nullptr || buffer == LPSTR_TEXTCALLBACK || size <= 0) return;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  // Never cut a multi-byte character in two.
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

std::string ReadText(const char* text) {
  if (text == nullptr || text == LPSTR_TEXTCALLBACK) return {};
  return text;
}

PaintContext::PaintContext(HWND window, HDC given)
    : window_(window), own_(given == nullptr), dc_(given ? given : BeginPaint(window, &paint_)) {
  if (own_) {
    update_ = paint_.rcPaint;
  } else {
    GetClientRect(window, &update_);
  }
}

PaintContext::~PaintContext() {
  if (own_ && dc_) EndPaint(window_, &paint_);
}

HFONT ControlFont(HFONT chosen) {
  return chosen ? chosen : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

bool BeyondDragDistance(POINT from, POINT to) {
  return std::abs(to.x - from.x) > GetSystemMetrics(SM_CXDRAG) ||
         std::abs(to.y - from.y) > GetSystemMetrics(SM_CYDRAG);
}

int ScrollTarget(int code, int thumb, int now, int line, int page, int end) {
  switch (code) {
    case SB_LINEUP: return now - line;
    case SB_LINEDOWN: return now + line;
    case SB_PAGEUP: return now - page;
    case SB_PAGEDOWN: return now + page;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: return thumb;
    case SB_TOP: return 0;
    case SB_BOTTOM: return end;
    default: return now;
  }
}

LPARAM ScreenPointParam(HWND window, POINT client) {
  ClientToScreen(window, &client);
  return MAKELPARAM(client.x, client.y);
}

LRESULT ForwardContextMenu(HWND window, WPARAM w, LPARAM l) {
  HWND parent = GetParent(window);
  if (parent == nullptr || !(GetWindowLongPtr(window, GWL_STYLE) & WS_CHILD)) return 0;
  return SendMessage(parent, WM_CONTEXTMENU, w, l);
}

}  // namespace qelo::win::lists
