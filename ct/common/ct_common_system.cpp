#include "ct_common_system.h"

#include <utility>

#include "win/window/window.h"

namespace qelo::ct {
namespace {

const win::OSVERSIONINFO& StartupVersion() {
  static const win::OSVERSIONINFO version = [] {
    win::OSVERSIONINFO v;
    win::GetVersionEx(&v);
    return v;
  }();
  return version;
}

bool NinetyFive(const win::OSVERSIONINFO& v) { return v.dwPlatformId == win::VER_PLATFORM_WIN32_WINDOWS; }
bool Nt(const win::OSVERSIONINFO& v) { return v.dwPlatformId == win::VER_PLATFORM_WIN32_NT; }
bool Either(const win::OSVERSIONINFO& v) { return NinetyFive(v) || Nt(v); }

bool Is(const win::OSVERSIONINFO& v, uint32_t major, uint32_t minor) {
  return v.dwMajorVersion == major && v.dwMinorVersion == minor;
}

// Major and minor together: 5.1 is later than 4.90.
bool AtLeast(const win::OSVERSIONINFO& v, uint32_t major, uint32_t minor) {
  return std::pair(v.dwMajorVersion, v.dwMinorVersion) >= std::pair(major, minor);
}

}  // namespace

bool IsExactWinVersion(uint8_t kind, const win::OSVERSIONINFO& v) {
  const bool nine = NinetyFive(v) && v.dwMajorVersion <= 4;
  switch (kind) {
    case kWin95: return nine && v.dwMinorVersion == 0;
    case kWinNT4: return Nt(v) && v.dwMajorVersion <= 4;
    case kWin98: return nine && v.dwMinorVersion == 10;
    case kWinMe: return nine && v.dwMinorVersion == 90;
    case kWin2000: return Nt(v) && Is(v, 5, 0);
    case kWinXP: return Nt(v) && Is(v, 5, 1);
    case kWin2003: return Nt(v) && Is(v, 5, 2);
    case kWinVista: return Nt(v) && Is(v, 6, 0);
    default: return false;
  }
}

bool IsWinVersionAtLeast(uint8_t kind, const win::OSVERSIONINFO& v) {
  switch (kind) {
    case kWin95: return Either(v) && v.dwMajorVersion >= 4;
    case kWinNT4: return Nt(v) && v.dwMajorVersion > 3;
    case kWin98: return Either(v) && AtLeast(v, 4, 10);
    case kWinMe: return Either(v) && AtLeast(v, 4, 90);
    case kWin2000: return Nt(v) && v.dwMajorVersion > 4;
    case kWinXP: return Nt(v) && AtLeast(v, 5, 1);
    case kWin2003: return Nt(v) && AtLeast(v, 5, 2);
    case kWinVista: return Nt(v) && v.dwMajorVersion > 5;
    default: return false;
  }
}

bool IsExactWinVersion(uint8_t kind) { return IsExactWinVersion(kind, StartupVersion()); }
bool IsWinVersionAtLeast(uint8_t kind) { return IsWinVersionAtLeast(kind, StartupVersion()); }

TRect GetMonitorWorkArea(vcl::TWinControl* control) {
  win::MONITORINFO info;
  win::GetMonitorInfo(win::MonitorFromWindow(control->Handle(), win::MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

int GetMonitorWorkAreaWidth(vcl::TWinControl* control) {
  const TRect r = GetMonitorWorkArea(control);
  return r.right - r.left;
}

TRect GetMonitorWorkRect(const TMonitor& monitor) { return monitor.WorkareaRect; }
TRect GetMonitorRect(const TMonitor& monitor) { return monitor.BoundsRect; }

std::optional<TMonitor> FindMonitorAtPoint(TPoint point) {
  for (int i = 0; i < vcl::Screen()->MonitorCount(); ++i) {
    const TMonitor monitor = vcl::Screen()->Monitors(i);
    if (win::PtInRect(&monitor.BoundsRect, point)) return monitor;
  }
  return std::nullopt;
}

}  // namespace qelo::ct
