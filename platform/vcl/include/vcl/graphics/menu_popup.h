// Popup menus of the form framework on the window system's menus: a native
// menu made from an item's visible sub-items, tracked by TrackPopupMenu,
// and what can be asked of it while it shows, in the framework's items.
#pragma once

#include "vcl/graphics/graphics.h"
#include "vcl/graphics/menus.h"
#include "win/controls/menu_popup.h"

namespace qelo::vcl::menu_popup {

using win::menu_popup::kArrowWidth;
using win::menu_popup::kBorder;
using win::menu_popup::kCheckWidth;
using win::menu_popup::kColumnGap;
using win::menu_popup::kSeparatorHeight;
using win::menu_popup::kShortCutGap;
using win::menu_popup::TrackingSelection;
using win::menu_popup::TrackingWindow;

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

// The screen rectangle of `item` in an open level of the menu that the
// calling thread is tracking; false when no open level shows it.
bool TrackingItemRect(const TMenuItem& item, TRect* screen);
// The item whose sub-items `menu` shows when the calling thread tracks it
// for the framework, else null (a menu of the window system's own).
TMenuItem* TrackedRoot(win::HMENU menu);

// Shows the sub-items of `root` at the screen point and tracks until an item
// is chosen (returned) or the menu is dismissed (null). Null at once when
// the thread already tracks a menu or the root has no visible items.
TMenuItem* TrackMenu(TMenuItem& root, TPoint screen);

}  // namespace qelo::vcl::menu_popup
