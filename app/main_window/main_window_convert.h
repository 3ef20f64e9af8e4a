// The messages a conversion run posts to the main window, and the pieces of
// the run and the preview that need no window: rounding the engine's
// percents, posting its states, naming snapshots.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "win/window/window.h"

namespace qelo::app {

inline constexpr win::UINT WM_CONVERT_PROGRESS = 1024 + 51;  // wParam total percent, lParam job percent
inline constexpr win::UINT WM_CONVERT_JOB_START = 1024 + 52;  // lParam engine group index
inline constexpr win::UINT WM_CONVERT_JOB_DONE = 1024 + 53;   // lParam engine group index
inline constexpr win::UINT WM_CONVERT_ALL_DONE = 1024 + 54;
inline constexpr win::UINT WM_CONVERT_STOPPED = 1024 + 55;  // lParam 0 failed, 1 stopped

// The nearest integer, halves to the even neighbour: 49.5 gives 50, 48.5 48.
int RoundHalfEven(double percent);

// Posts the message of an engine state to the window; false for a state
// that has none or a window that takes no message.
bool PostProgressMessage(win::HWND window, int32_t groupIndex, int32_t state, int filePercent, int totalPercent);

// "Snap_" + hour, minute, second and month, two digits each, joined by "-",
// + ".jpg": at 14:05:09 on 3 March, Snap_14-05-09-03.jpg.
std::string SnapshotFileName(const std::tm& local);

// A snapshot file in the folder that names no existing file: the time's
// name, or that name with " (2)", " (3)", ... before the extension, so a
// snapshot taken at the same time of another day overwrites nothing.
std::string UniqueSnapshotPath(const std::string& folder, const std::tm& local);

}  // namespace qelo::app
