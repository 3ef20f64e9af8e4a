// The windows that show popup menus: layout and classic painting of one
// menu level, and what can be asked of the menu the calling thread tracks.
#pragma once

#include <functional>
#include <vector>

#include "win/controls/menus.h"

namespace qelo::win::menu_popup {

constexpr int kBorder = 3;          // raised edge and one pixel of menu colour
constexpr int kCheckWidth = 20;     // room for the check mark left of the caption
constexpr int kArrowWidth = 16;     // room for the sub-menu arrow
constexpr int kShortCutGap = 16;    // between the caption and the shortcut text
constexpr int kSeparatorHeight = 9;
constexpr int kColumnGap = 4;       // between columns made by a break

struct MenuLayout {
  std::vector<RECT> boxes;      // each item's row, in the order of the items
  std::vector<int> barBreaks;   // x of each bar between columns
  SIZE size{};                  // the window's size
};

// The menu font of the screen.
LOGFONT MenuFont();
// Places the items of `menu` in columns, measured with the font selected
// into `dc` (its bold face for the default item). Owner-drawn items are
// measured by `owner` (WM_MEASUREITEM).
MenuLayout LayoutMenu(HMENU menu, HDC dc, HWND owner = nullptr);

// The window showing level `level` (0: the menu itself) of the menu that
// the calling thread is tracking, or null.
HWND TrackingWindow(int level);
// The position of the selected item of a level, or -1.
int TrackingSelection(int level);
// The screen rectangle of the item at `position` of `menu` in an open level
// of the menu that the calling thread is tracking; false when no open level
// shows it.
BOOL TrackingItemRect(HMENU menu, int position, RECT* screen);

// Told on the tracking thread once a menu's first level is shown and holds
// the mouse, before any input is handled (scripts answer popup menus here).
// Returns the hook it replaces.
using TrackBeginHook = std::function<void(HMENU menu)>;
TrackBeginHook SetTrackBeginHook(TrackBeginHook hook);

}  // namespace qelo::win::menu_popup
