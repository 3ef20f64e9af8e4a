// What the painters ask of the system: its version, and the geometry of the
// monitors.
#pragma once

#include <cstdint>
#include <optional>

#include "vcl/controls/forms.h"
#include "win/version.h"

namespace qelo::ct {

using vcl::TMonitor;
using vcl::TPoint;
using vcl::TRect;

// Kinds of the version tests: 0 Windows 95, 1 NT 4, 2 Windows 98, 3 Me,
// 4 2000, 5 XP, 6 Server 2003, 7 Vista.
constexpr uint8_t kWin95 = 0, kWinNT4 = 1, kWin98 = 2, kWinMe = 3, kWin2000 = 4, kWinXP = 5,
                  kWin2003 = 6, kWinVista = 7;

// Exactly that version (the first three: of the 9x family, the 9x versions
// and NT 4 or any earlier one), against the version found at start-up or
// a given one. Other kinds are false.
bool IsExactWinVersion(uint8_t kind);
bool IsExactWinVersion(uint8_t kind, const win::OSVERSIONINFO& version);
// That version or a later one; 9x kinds hold on the NT family from the
// same version number on. Other kinds are false.
bool IsWinVersionAtLeast(uint8_t kind);
bool IsWinVersionAtLeast(uint8_t kind, const win::OSVERSIONINFO& version);

// The work area of the monitor nearest to the control's window.
TRect GetMonitorWorkArea(vcl::TWinControl* control);
int GetMonitorWorkAreaWidth(vcl::TWinControl* control);
TRect GetMonitorWorkRect(const TMonitor& monitor);
TRect GetMonitorRect(const TMonitor& monitor);
// The first of the screen's monitors whose whole rectangle holds the point.
std::optional<TMonitor> FindMonitorAtPoint(TPoint point);

}  // namespace qelo::ct
