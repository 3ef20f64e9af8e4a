// The windows that show popup menus: layout and classic painting of one
// menu level, and the modal loop that tracks the mouse and keyboard over
// the open levels.
#pragma once

#include <memory>
#include <vector>

#include "vcl/graphics/graphics.h"
#include "vcl/graphics/menus.h"
#include "win/window/window.h"

namespace qelo::vcl::menu_popup {

constexpr int kBorder = 3;          // raised edge and one pixel of menu colour
constexpr int kCheckWidth = 20;     // room for the check mark left of the caption
constexpr int kArrowWidth = 16;     // room for the sub-menu arrow
constexpr int kShortCutGap = 16;    // between the caption and the shortcut text
constexpr int kSeparatorHeight = 9;
constexpr int kColumnGap = 4;       // between columns made by Break

struct ItemBox {
  TMenuItem* item;
  TRect rect;  // client coordinates of the menu window
};

struct MenuLayout {
  std::vector<ItemBox> boxes;   // the visible sub-items in order
  std::vector<int> barBreaks;   // x of each bar between columns
  TSize size;                   // the window's size
};

// The menu font of the screen, copied into `font`.
void AssignMenuFont(TFont& font);
// Places the visible sub-items of `parent` in columns; the canvas measures.
MenuLayout LayoutMenu(const TMenuItem& parent, TCanvas& canvas);
void PaintMenu(TCanvas& canvas, const MenuLayout& layout, int selected);

// The window showing level `level` (0: the menu itself) of the menu that
// the calling thread is tracking, or null.
win::HWND TrackingWindow(int level);
// The index among the visible items of the selected item of a level, or -1.
int TrackingSelection(int level);

// Shows the sub-items of `root` at the screen point and tracks until an item
// is chosen (returned) or the menu is dismissed (null). Null at once when
// the thread already tracks a menu or the root has no visible items.
TMenuItem* TrackMenu(TMenuItem& root, TPoint screen);

}  // namespace qelo::vcl::menu_popup
