// The screen: metrics, system parameters, the one monitor, beeps and a
// text clipboard.
#include <atomic>

#include "window/internal.h"

namespace qelo::win {

struct MonitorObject {};

namespace {

MonitorObject g_monitor;
std::atomic<int> g_beeps{0};
std::atomic<UINT> g_wheelScrollLines{3};

RECT ScreenRect() {
  const SIZE s = detail::Display().ScreenSize();
  return RECT{0, 0, s.cx, s.cy};
}

std::mutex& ClipboardLock() {
  static auto* m = new std::mutex;
  return *m;
}
std::string& Clipboard() {
  static auto* text = new std::string;
  return *text;
}

LOGFONT MessageFont() {
  LOGFONT f;
  f.lfHeight = -11;
  f.lfFaceName = "Tahoma";
  return f;
}

}  // namespace

int GetSystemMetrics(int index) {
  const RECT screen = ScreenRect();
  switch (index) {
    case SM_CXSCREEN: case SM_CXFULLSCREEN: return screen.right;
    case SM_CYSCREEN: case SM_CYFULLSCREEN: return screen.bottom;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CXHSCROLL: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 19;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CMONITORS: return 1;
    default: return 0;
  }
}

BOOL SystemParametersInfo(UINT action, UINT param, void* out, UINT) {
  if (action == SPI_SETWHEELSCROLLLINES) {
    g_wheelScrollLines = param;
    return 1;
  }
  if (out == nullptr) return 0;
  switch (action) {
    case SPI_GETWORKAREA: *static_cast<RECT*>(out) = ScreenRect(); return 1;
    case SPI_GETNONCLIENTMETRICS: {
      NONCLIENTMETRICS m;
      m.lfCaptionFont = m.lfMenuFont = m.lfStatusFont = m.lfMessageFont = MessageFont();
      m.lfCaptionFont.lfWeight = FW_BOLD;
      *static_cast<NONCLIENTMETRICS*>(out) = m;
      return 1;
    }
    case SPI_GETMOUSEHOVERWIDTH: case SPI_GETMOUSEHOVERHEIGHT: *static_cast<UINT*>(out) = 4; return 1;
    case SPI_GETMOUSEHOVERTIME: *static_cast<UINT*>(out) = 400; return 1;
    case SPI_GETWHEELSCROLLLINES: *static_cast<UINT*>(out) = g_wheelScrollLines; return 1;
    default: return 0;
  }
}

HMONITOR MonitorFromWindow(HWND, DWORD) { return &g_monitor; }
HMONITOR MonitorFromPoint(POINT, DWORD) { return &g_monitor; }

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
  if (monitor != &g_monitor || info == nullptr) return 0;
  info->rcMonitor = info->rcWork = ScreenRect();
  info->dwFlags = MONITORINFOF_PRIMARY;
  return 1;
}

BOOL MessageBeep(UINT) {
  ++g_beeps;
  return 1;
}

int MessageBeepCount() { return g_beeps; }

BOOL SetClipboardText(const std::string& text) {
  std::lock_guard lock(ClipboardLock());
  Clipboard() = text;
  return 1;
}

std::string GetClipboardText() {
  std::lock_guard lock(ClipboardLock());
  return Clipboard();
}

}  // namespace qelo::win
