// The windows that show popup menus: layout and classic painting of one
// menu level, and the modal loop that tracks the mouse and keyboard over
// the open levels.
#pragma once

#include <functional>
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

// What the owner of a tracked menu takes part in; every hook is optional.
// Menus of the platform's menu handles use them for the owner's menu
// messages (sub-menus filled as they open, items the owner measures and
// draws, highlight changes, typed letters).
struct MenuCharAnswer {
  enum Action { kIgnore, kClose, kExecute, kSelect } action = kIgnore;
  int index = -1;  // among the parent's sub-items
};
struct TrackHooks {
  // A level is about to open (the menu itself first); the hook may change
  // the parent's sub-items.
  std::function<void(TMenuItem& parent)> beforeOpen;
  // The highlighted item changed; null when none is highlighted.
  std::function<void(TMenuItem* item)> highlighted;
  // True when the owner sizes the item (its whole row).
  std::function<bool(TMenuItem& item, TSize* size)> measure;
  // True when the owner drew the item into its row.
  std::function<bool(TMenuItem& item, TCanvas& canvas, const TRect& row, bool selected)> draw;
  // A typed character that no item's accelerator takes.
  std::function<MenuCharAnswer(TMenuItem& parent, char16_t ch, int selectedIndex)> menuChar;
};

// The menu font of the screen, copied into `font`.
void AssignMenuFont(TFont& font);
// Places the visible sub-items of `parent` in columns; the canvas measures.
MenuLayout LayoutMenu(const TMenuItem& parent, TCanvas& canvas, const TrackHooks* hooks = nullptr);
void PaintMenu(TCanvas& canvas, const MenuLayout& layout, int selected, const TrackHooks* hooks = nullptr);

// The window showing level `level` (0: the menu itself) of the menu that
// the calling thread is tracking, or null.
win::HWND TrackingWindow(int level);
// The index among the visible items of the selected item of a level, or -1.
int TrackingSelection(int level);

// The screen rectangle of `item` in an open level of the menu that the
// calling thread is tracking; false when no open level shows it.
bool TrackingItemRect(const TMenuItem& item, TRect* screen);

// Told on the tracking thread once a menu's first level is shown and holds
// the mouse, before any input is handled (scripts answer popup menus here).
// Returns the hook it replaces.
using TrackBeginHook = std::function<void(TMenuItem& root)>;
TrackBeginHook SetTrackBeginHook(TrackBeginHook hook);

// Shows the sub-items of `root` at the screen point and tracks until an item
// is chosen (returned) or the menu is dismissed (null). Null at once when
// the thread already tracks a menu or the root has no visible items.
TMenuItem* TrackMenu(TMenuItem& root, TPoint screen, const TrackHooks& hooks = {});

}  // namespace qelo::vcl::menu_popup
