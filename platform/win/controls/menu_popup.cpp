// Popup menus on screen: the layout and classic painting of one level, and
// TrackPopupMenu's modal loop that tracks the mouse and keyboard over the
// open levels and tells the owner what happens.
#include "win/controls/menu_popup.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>

#include "controls/menu_object.h"

namespace qelo::win::menu_popup {
namespace {

constexpr const char* kMenuClass = "QeloMenuPopup";
constexpr unsigned kTextFormat = DT_SINGLELINE | DT_VCENTER;

int RectHeight(const RECT& r) { return r.bottom - r.top; }

bool HasSubMenu(const MenuEntry& entry) {
  const MenuObject* sub = Live(entry.sub);
  return sub && !sub->items.empty();
}

// The caption and the shortcut's name of an item's text ("Save\tCtrl+S").
std::pair<std::string, std::string> SplitText(const std::string& text) {
  const std::string::size_type tab = text.find('\t');
  if (tab == std::string::npos) return {text, {}};
  return {text.substr(0, tab), text.substr(tab + 1)};
}

SIZE MeasureText(HDC dc, const std::string& text) {
  RECT r{};
  DrawText(dc, text, &r, DT_CALCRECT | DT_SINGLELINE);
  return {r.right - r.left, r.bottom - r.top};
}

// The font selected into a DC for the time of a scope.
class SelectedFont {
 public:
  SelectedFont(HDC dc, HFONT font) : dc_(dc), old_(SelectObject(dc, font)) {}
  ~SelectedFont() { SelectObject(dc_, old_); }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The normal and bold faces of the font a DC has selected.
class MenuFonts {
 public:
  explicit MenuFonts(HDC dc) : normal_(static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT))) {
    LOGFONT log;
    GetObject(normal_, sizeof log, &log);
    log.lfWeight = FW_BOLD;
    bold_ = CreateFontIndirect(&log);
  }
  ~MenuFonts() { DeleteObject(bold_); }
  MenuFonts(const MenuFonts&) = delete;
  MenuFonts& operator=(const MenuFonts&) = delete;
  HFONT For(const MenuEntry& entry) const { return (entry.state & MFS_DEFAULT) ? bold_ : normal_; }
  HFONT Normal() const { return normal_; }

 private:
  HFONT normal_;
  HFONT bold_;
};

// The width of each part of an item row.
struct RowWidths {
  int caption = 0;
  int shortCut = 0;
};

RowWidths MeasureItem(const MenuEntry& entry, HDC dc, const MenuFonts& fonts) {
  SelectedFont font(dc, fonts.For(entry));
  const auto [caption, shortCut] = SplitText(entry.text);
  RowWidths w;
  w.caption = MeasureText(dc, caption).cx;
  if (!shortCut.empty()) w.shortCut = MeasureText(dc, shortCut).cx;
  return w;
}

bool MeasureOwnerDrawn(const MenuEntry& entry, HWND owner, SIZE* size) {
  if (!entry.IsOwnerDrawn()) return false;
  MEASUREITEMSTRUCT measure;
  measure.CtlType = ODT_MENU;
  measure.itemID = entry.id;
  measure.itemData = entry.data;
  SendMessage(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
  *size = SIZE{static_cast<int32_t>(measure.itemWidth), static_cast<int32_t>(measure.itemHeight)};
  return true;
}

}  // namespace

LOGFONT MenuFont() {
  NONCLIENTMETRICS metrics;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
  return metrics.lfMenuFont;
}

// Columns run top to bottom; an item with a break starts the next one.
MenuLayout LayoutMenu(HMENU menu, HDC dc, HWND owner) {
  MenuLayout layout;
  const MenuObject* object = Live(menu);
  if (!object) return layout;
  const MenuFonts fonts(dc);
  const int rowHeight = MeasureText(dc, "Ag").cy + 6;
  struct Column {
    size_t first = 0;
    RowWidths widths;
    int height = 0;
    bool bar = false;
    int ownerWidth = 0;  // the widest row the owner sized
  };
  std::vector<Column> columns(1);
  for (const MenuEntry& entry : object->items) {
    if ((entry.type & (MFT_MENUBREAK | MFT_MENUBARBREAK)) && !layout.boxes.empty())
      columns.push_back(Column{layout.boxes.size(), {}, 0, (entry.type & MFT_MENUBARBREAK) != 0, 0});
    Column& column = columns.back();
    SIZE owned{};
    if (MeasureOwnerDrawn(entry, owner, &owned)) {
      layout.boxes.push_back(RECT{0, kBorder + column.height, 0, kBorder + column.height + owned.cy});
      column.height += owned.cy;
      column.ownerWidth = std::max(column.ownerWidth, static_cast<int>(owned.cx));
      continue;
    }
    const int height = entry.IsSeparator() ? kSeparatorHeight : rowHeight;
    layout.boxes.push_back(RECT{0, kBorder + column.height, 0, kBorder + column.height + height});
    column.height += height;
    if (!entry.IsSeparator()) {
      const RowWidths w = MeasureItem(entry, dc, fonts);
      column.widths.caption = std::max(column.widths.caption, w.caption);
      column.widths.shortCut = std::max(column.widths.shortCut, w.shortCut);
    }
  }
  int x = kBorder;
  int height = 0;
  for (size_t c = 0; c < columns.size(); ++c) {
    if (c > 0) {
      if (columns[c].bar) layout.barBreaks.push_back(x + kColumnGap / 2 - 1);
      x += kColumnGap;
    }
    const RowWidths& w = columns[c].widths;
    const int width = std::max(kCheckWidth + w.caption + (w.shortCut ? kShortCutGap + w.shortCut : 0) + kArrowWidth,
                               columns[c].ownerWidth);
    const size_t end = c + 1 < columns.size() ? columns[c + 1].first : layout.boxes.size();
    for (size_t b = columns[c].first; b < end; ++b) {
      layout.boxes[b].left = x;
      layout.boxes[b].right = x + width;
    }
    x += width;
    height = std::max(height, columns[c].height);
  }
  layout.size = {x + kBorder, height + 2 * kBorder};
  return layout;
}

namespace {

// ---- painting ---------------------------------------------------------------------------

void Line(HDC dc, COLORREF color, int x0, int y0, int x1, int y1) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
  DeleteObject(pen);
}

// A shadow line over a highlight line, as separators and bars are drawn.
void EtchedLine(HDC dc, int x0, int y0, int x1, int y1, int dx, int dy) {
  Line(dc, GetSysColor(COLOR_BTNSHADOW), x0, y0, x1, y1);
  Line(dc, GetSysColor(COLOR_BTNHIGHLIGHT), x0 + dx, y0 + dy, x1 + dx, y1 + dy);
}

// Pen and brush of one colour for the time of a scope.
class SolidInk {
 public:
  SolidInk(HDC dc, COLORREF color)
      : dc_(dc), pen_(CreatePen(PS_SOLID, 1, color)), brush_(CreateSolidBrush(color)),
        oldPen_(SelectObject(dc, pen_)), oldBrush_(SelectObject(dc, brush_)) {}
  ~SolidInk() {
    SelectObject(dc_, oldPen_);
    SelectObject(dc_, oldBrush_);
    DeleteObject(pen_);
    DeleteObject(brush_);
  }
  SolidInk(const SolidInk&) = delete;
  SolidInk& operator=(const SolidInk&) = delete;

 private:
  HDC dc_;
  HPEN pen_;
  HBRUSH brush_;
  HGDIOBJ oldPen_, oldBrush_;
};

void PaintSeparator(HDC dc, const RECT& r) {
  const int y = r.top + RectHeight(r) / 2 - 1;
  EtchedLine(dc, r.left + 1, y, r.right - 1, y, 0, 1);
}

void PaintCheck(HDC dc, const RECT& r, bool radio, COLORREF color) {
  const int cx = r.left + kCheckWidth / 2;
  const int cy = r.top + RectHeight(r) / 2;
  SolidInk ink(dc, color);
  if (radio) {
    Ellipse(dc, cx - 3, cy - 3, cx + 3, cy + 3);
    return;
  }
  for (int dy = 0; dy < 3; ++dy) {
    const POINT tick[] = {{cx - 3, cy - 1 + dy}, {cx - 1, cy + 1 + dy}, {cx + 4, cy - 4 + dy}};
    Polyline(dc, tick, 3);
  }
}

void PaintArrow(HDC dc, const RECT& r, COLORREF color) {
  const int x = r.right - kArrowWidth / 2 - 2;
  const int cy = r.top + RectHeight(r) / 2;
  SolidInk ink(dc, color);
  const POINT arrow[] = {{x, cy - 3}, {x + 3, cy}, {x, cy + 3}};
  Polygon(dc, arrow, 3);
}

void PaintText(HDC dc, const MenuEntry& entry, RECT r, COLORREF color) {
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  r.left += kCheckWidth;
  r.right -= kArrowWidth;
  const auto [caption, shortCut] = SplitText(entry.text);
  DrawText(dc, caption, &r, kTextFormat | DT_LEFT);
  if (!shortCut.empty()) DrawText(dc, shortCut, &r, kTextFormat | DT_RIGHT | DT_NOPREFIX);
}

// Checks, arrows and texts in one colour, offset by (dx, dy).
void PaintItemMarks(HDC dc, const MenuEntry& entry, RECT r, COLORREF color, int dx, int dy) {
  OffsetRect(&r, dx, dy);
  if (entry.state & MFS_CHECKED) PaintCheck(dc, r, (entry.type & MFT_RADIOCHECK) != 0, color);
  if (HasSubMenu(entry)) PaintArrow(dc, r, color);
  PaintText(dc, entry, r, color);
}

void PaintItem(HDC dc, const MenuEntry& entry, const RECT& box, bool selected, const MenuFonts& fonts) {
  if (entry.IsSeparator()) return PaintSeparator(dc, box);
  SelectedFont font(dc, fonts.For(entry));
  if (selected) FillRect(dc, &box, GetSysColorBrush(COLOR_HIGHLIGHT));
  if (!entry.Enabled() && !selected) {
    // The classic embossed look of a disabled item.
    PaintItemMarks(dc, entry, box, GetSysColor(COLOR_BTNHIGHLIGHT), 1, 1);
    PaintItemMarks(dc, entry, box, GetSysColor(COLOR_BTNSHADOW), 0, 0);
  } else {
    const int color = !entry.Enabled() ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    PaintItemMarks(dc, entry, box, GetSysColor(color), 0, 0);
  }
}

// The owner draws an owner-drawn item into its row.
void DrawOwnerDrawn(HDC dc, HMENU menu, const MenuEntry& entry, const RECT& box, bool selected, HWND owner) {
  DRAWITEMSTRUCT draw;
  draw.CtlType = ODT_MENU;
  draw.itemID = entry.id;
  draw.itemAction = ODA_DRAWENTIRE;
  draw.itemState = (selected ? ODS_SELECTED : 0) | (entry.Enabled() ? 0 : ODS_GRAYED) |
                   ((entry.state & MFS_CHECKED) ? ODS_CHECKED : 0);
  draw.hwndItem = reinterpret_cast<HWND>(menu);
  draw.hDC = dc;
  draw.rcItem = box;
  draw.itemData = entry.data;
  SendMessage(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
}

void PaintMenu(HDC dc, HMENU menu, const MenuLayout& layout, int selected, HWND owner) {
  const MenuObject* object = Live(menu);
  RECT frame{0, 0, layout.size.cx, layout.size.cy};
  FillRect(dc, &frame, GetSysColorBrush(COLOR_MENU));
  DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
  for (int x : layout.barBreaks) EtchedLine(dc, x, kBorder, x, layout.size.cy - kBorder, 1, 0);
  if (!object) return;
  const MenuFonts fonts(dc);
  SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
  for (size_t i = 0; i < layout.boxes.size() && i < object->items.size(); ++i) {
    const MenuEntry& entry = object->items[i];
    const bool isSelected = static_cast<int>(i) == selected;
    if (entry.IsOwnerDrawn()) DrawOwnerDrawn(dc, menu, entry, layout.boxes[i], isSelected, owner);
    else PaintItem(dc, entry, layout.boxes[i], isSelected, fonts);
  }
}

HFONT ScreenMenuFont() {
  static const HFONT font = [] {
    const LOGFONT log = MenuFont();
    return CreateFontIndirect(&log);
  }();
  return font;
}

// ---- tracking -------------------------------------------------------------------------

// One open menu level: its menu, its window and its selection.
struct Level {
  HMENU menu = nullptr;
  int parentPosition = 0;  // the position of the item that opened it in the level before
  MenuLayout layout;
  HWND window = nullptr;
  int selected = -1;
};

class Tracker;
thread_local Tracker* tracking = nullptr;
thread_local TrackBeginHook trackBeginHook;

LRESULT MenuWindowProc(HWND window, UINT message, WPARAM w, LPARAM l);

void RegisterMenuClass() {
  static const bool registered = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = MenuWindowProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kMenuClass;
    return RegisterClass(wc) != 0;
  }();
  (void)registered;
}

RECT WorkArea() {
  RECT work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

// The modal loop of one popup menu on the calling thread. Owns the level
// windows and the mouse capture for as long as it runs, and tells the
// owner: WM_INITMENUPOPUP as levels open, WM_MENUSELECT as the highlight
// moves, WM_MENUCHAR for letters no accelerator takes.
class Tracker {
 public:
  Tracker(HMENU menu, HWND owner) : menu_(menu), owner_(owner) {}
  ~Tracker() {
    while (!levels_.empty()) CloseLevel();
    if (tracking == this) tracking = nullptr;
  }

  // The chosen item's id, 0 when dismissed.
  UINT Run(POINT screen) {
    tracking = this;  // the first paint already looks the level up
    if (!OpenLevel(menu_, 0, screen, nullptr)) {
      tracking = nullptr;
      return 0;
    }
    const HWND focusBefore = GetFocus();
    if (!focusBefore && !GetActiveWindow()) SetFocus(levels_[0]->window);
    SetCapture(levels_[0]->window);
    if (trackBeginHook) trackBeginHook(menu_);
    Loop();
    tracking = nullptr;
    if (GetCapture() == levels_[0]->window) ReleaseCapture();
    while (!levels_.empty()) CloseLevel();
    Highlight(nullptr, -1);
    return chosen_;
  }

  const Level* LevelAt(int index) const {
    return index >= 0 && index < static_cast<int>(levels_.size()) ? levels_[static_cast<size_t>(index)].get()
                                                                  : nullptr;
  }
  bool ItemRect(HMENU menu, int position, RECT* screen) const {
    for (const auto& level : levels_) {
      if (level->menu != menu || position < 0 || static_cast<size_t>(position) >= level->layout.boxes.size())
        continue;
      *screen = level->layout.boxes[static_cast<size_t>(position)];
      MapWindowPoints(level->window, nullptr, reinterpret_cast<POINT*>(screen), 2);
      return true;
    }
    return false;
  }
  const Level* LevelOf(HWND window) const {
    for (const auto& level : levels_)
      if (level->window == window) return level.get();
    return nullptr;
  }
  void Cancel() { done_ = true; }
  HWND Owner() const { return owner_; }

 private:
  void Loop() {
    while (!done_) {
      MSG m;
      const int got = GetMessage(&m, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(m.wParam));  // the outer loop ends too
        break;
      }
      if (got < 0) break;
      if (m.message >= WM_MOUSEMOVE && m.message <= WM_MBUTTONDBLCLK)
        Mouse(m.message, m.pt);
      else if (m.message >= WM_KEYDOWN && m.message <= WM_SYSCHAR)
        Key(m.message, m.wParam);
      else
        DispatchMessage(&m);
    }
  }

  // ---- the menu's items

  static const MenuEntry* EntryAt(HMENU menu, int position) {
    MenuObject* object = Live(menu);
    if (!object || position < 0 || static_cast<size_t>(position) >= object->items.size()) return nullptr;
    return &object->items[static_cast<size_t>(position)];
  }
  static const MenuEntry* Selected(const Level& level) { return EntryAt(level.menu, level.selected); }

  // ---- levels

  bool OpenLevel(HMENU menu, int parentPosition, POINT at, const RECT* besideItem) {
    SendMessage(owner_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), parentPosition);
    if (!Live(menu)) return false;  // the owner destroyed it
    auto level = std::make_unique<Level>();
    level->menu = menu;
    level->parentPosition = parentPosition;
    {
      HDC dc = CreateDisplayDC();
      SelectedFont font(dc, ScreenMenuFont());
      level->layout = LayoutMenu(menu, dc, owner_);
      DeleteDC(dc);
    }
    if (level->layout.boxes.empty()) return false;
    const POINT place = Place(level->layout.size, at, besideItem);
    RegisterMenuClass();
    level->window = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMenuClass, "", WS_POPUP, place.x, place.y,
                                   level->layout.size.cx, level->layout.size.cy, nullptr, nullptr);
    if (!level->window) return false;
    levels_.push_back(std::move(level));
    ShowWindow(levels_.back()->window, SW_SHOWNOACTIVATE);
    UpdateWindow(levels_.back()->window);
    return true;
  }

  // Where a level of the size goes: at the point, or beside the item that
  // opens it (left of it when there is no room right), kept on the work area.
  static POINT Place(SIZE size, POINT at, const RECT* besideItem) {
    const RECT work = WorkArea();
    POINT p = at;
    if (besideItem) p = {besideItem->right - kBorder, besideItem->top - kBorder};
    if (p.x + size.cx > work.right) p.x = besideItem ? besideItem->left - size.cx + kBorder : work.right - size.cx;
    if (p.y + size.cy > work.bottom) p.y = work.bottom - size.cy;
    p.x = std::max(p.x, work.left);
    p.y = std::max(p.y, work.top);
    return p;
  }

  void CloseLevel() {
    HWND window = levels_.back()->window;
    levels_.pop_back();
    if (window) DestroyWindow(window);
  }

  void CloseLevelsAfter(size_t keep) {
    while (levels_.size() > keep + 1) CloseLevel();
  }

  Level& Deepest() { return *levels_.back(); }

  void Select(Level& level, int index) {
    if (level.selected == index) return;
    level.selected = index;
    InvalidateRect(level.window, nullptr, 0);
    Highlight(level.menu, index);
  }

  // Marks the highlighted item (MF_HILITE) and tells the owner; a null menu
  // when none is highlighted.
  void Highlight(HMENU menu, int position) {
    if (MenuObject* before = Live(highlighted_.first);
        before && static_cast<size_t>(highlighted_.second) < before->items.size())
      before->items[static_cast<size_t>(highlighted_.second)].state &= ~MF_HILITE;
    highlighted_ = {nullptr, 0};
    MenuObject* object = Live(menu);
    if (!object || position < 0 || static_cast<size_t>(position) >= object->items.size()) {
      SendMessage(owner_, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
      return;
    }
    highlighted_ = {menu, position};
    MenuEntry& entry = object->items[static_cast<size_t>(position)];
    entry.state |= MF_HILITE;
    const UINT idOrPosition = entry.sub ? static_cast<UINT>(position) : entry.id;
    SendMessage(owner_, WM_MENUSELECT, MAKEWPARAM(static_cast<int>(idOrPosition), static_cast<int>(FlagsOf(entry))),
                reinterpret_cast<LPARAM>(menu));
  }

  // Opens the sub-menu of the selected item of the deepest level.
  bool OpenSelected(bool selectFirst) {
    Level& level = Deepest();
    const MenuEntry* entry = Selected(level);
    if (!entry || !entry->Enabled() || !HasSubMenu(*entry)) return false;
    RECT r = level.layout.boxes[static_cast<size_t>(level.selected)];
    MapWindowPoints(level.window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    if (!OpenLevel(entry->sub, level.selected, {r.left, r.top}, &r)) return false;
    if (selectFirst) Step(Deepest(), 1);
    return true;
  }

  void Choose(const MenuEntry* entry) {
    if (!entry || entry->IsSeparator() || !entry->Enabled()) return;
    chosen_ = entry->id;
    done_ = true;
  }

  // ---- mouse

  // The level and item under a screen point, deepest level first.
  std::pair<int, int> HitTest(POINT screen) const {
    for (int l = static_cast<int>(levels_.size()) - 1; l >= 0; --l) {
      const Level& level = *levels_[static_cast<size_t>(l)];
      RECT frame;
      GetWindowRect(level.window, &frame);
      if (!PtInRect(&frame, screen)) continue;
      const POINT local{screen.x - frame.left, screen.y - frame.top};
      for (size_t i = 0; i < level.layout.boxes.size(); ++i)
        if (PtInRect(&level.layout.boxes[i], local)) return {l, static_cast<int>(i)};
      return {l, -1};
    }
    return {-1, -1};
  }

  void Mouse(UINT message, POINT screen) {
    const auto [l, index] = HitTest(screen);
    const bool press = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
    const bool release = message == WM_LBUTTONUP || message == WM_RBUTTONUP;
    if (l < 0) {
      if (press) Cancel();  // a click outside every level dismisses the menu
      return;
    }
    if (index < 0) return;
    Level& level = *levels_[static_cast<size_t>(l)];
    const MenuEntry* entry = EntryAt(level.menu, index);
    if (!entry) return;
    if (message == WM_MOUSEMOVE || press) {
      const bool keepOpen = static_cast<size_t>(l) + 1 < levels_.size() &&
                            levels_[static_cast<size_t>(l) + 1]->menu == entry->sub && level.selected == index;
      if (!keepOpen) CloseLevelsAfter(static_cast<size_t>(l));
      if (!entry->IsSeparator()) Select(level, index);
      if (!keepOpen) OpenSelected(false);
    } else if (release && !HasSubMenu(*entry)) {
      Choose(entry);
    }
  }

  // ---- keyboard

  // Moves the selection by one item that is not a separator.
  void Step(Level& level, int direction) {
    const int n = static_cast<int>(level.layout.boxes.size());
    int i = level.selected;
    for (int tries = 0; tries < n; ++tries) {
      i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
      const MenuEntry* entry = EntryAt(level.menu, i);
      if (entry && !entry->IsSeparator()) return Select(level, i);
    }
  }

  void Key(UINT message, WPARAM key) {
    if (message == WM_CHAR || message == WM_SYSCHAR) return Accelerator(static_cast<char16_t>(key));
    if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN) return;
    Level& level = Deepest();
    switch (key) {
      case VK_DOWN:
        return Step(level, 1);
      case VK_UP:
        return Step(level, -1);
      case VK_RIGHT:
        OpenSelected(true);
        return;
      case VK_LEFT:
        if (levels_.size() > 1) CloseLevel();
        return;
      case VK_ESCAPE:
        if (levels_.size() > 1)
          CloseLevel();
        else
          Cancel();
        return;
      case VK_MENU:
        return Cancel();
      case VK_RETURN:
        return Enter(level);
      default:
        return;
    }
  }

  void Enter(Level& level) {
    const MenuEntry* entry = Selected(level);
    if (!entry) {
      const MenuObject* object = Live(level.menu);
      for (size_t i = 0; object && i < object->items.size(); ++i)
        if (object->items[i].state & MFS_DEFAULT) entry = &object->items[i];
      if (!entry) return;
    }
    if (HasSubMenu(*entry)) {
      OpenSelected(true);
      return;
    }
    Choose(entry);
  }

  // An accelerator letter chooses its item, or, when several items share
  // it, moves the selection to the next of them.
  void Accelerator(char16_t ch) {
    if (ch > 0x7F || !std::isalnum(static_cast<int>(ch))) {
      if (ch >= 0x20) OwnerMenuChar(Deepest(), ch);
      return;
    }
    const char letter = static_cast<char>(std::toupper(static_cast<int>(ch)));
    Level& level = Deepest();
    std::vector<int> matches;
    for (int i = 0; i < static_cast<int>(level.layout.boxes.size()); ++i) {
      const MenuEntry* entry = EntryAt(level.menu, i);
      if (entry && MenuAccelerator(SplitText(entry->text).first) == letter) matches.push_back(i);
    }
    if (matches.empty()) return OwnerMenuChar(level, ch);
    if (matches.size() > 1) {
      auto next = std::upper_bound(matches.begin(), matches.end(), level.selected);
      return Select(level, next == matches.end() ? matches.front() : *next);
    }
    Select(level, matches.front());
    const MenuEntry* entry = Selected(level);
    if (entry && HasSubMenu(*entry))
      OpenSelected(true);
    else
      Choose(entry);
  }

  // The owner answers a letter no accelerator takes.
  void OwnerMenuChar(Level& level, char16_t ch) {
    const LRESULT r = SendMessage(owner_, WM_MENUCHAR, MAKEWPARAM(ch, static_cast<int>(MF_POPUP)),
                                  reinterpret_cast<LPARAM>(level.menu));
    const auto action = static_cast<LRESULT>(HIWORD(static_cast<uintptr_t>(r)));
    const int index = LOWORD(static_cast<uintptr_t>(r));
    if (action == MNC_CLOSE) return Cancel();
    if (action != MNC_EXECUTE && action != MNC_SELECT) return;
    if (!EntryAt(level.menu, index) || static_cast<size_t>(index) >= level.layout.boxes.size()) return;
    Select(level, index);
    const MenuEntry* entry = Selected(level);  // the owner may have changed the menu meanwhile
    if (action != MNC_EXECUTE || !entry) return;
    if (HasSubMenu(*entry)) OpenSelected(true);
    else Choose(entry);
  }

  HMENU menu_;
  HWND owner_;
  std::vector<std::unique_ptr<Level>> levels_;
  std::pair<HMENU, int> highlighted_{nullptr, 0};
  UINT chosen_ = 0;
  bool done_ = false;
};

void PaintLevel(HWND window, const Level& level) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  {
    SelectedFont font(dc, ScreenMenuFont());
    PaintMenu(dc, level.menu, level.layout, level.selected, tracking ? tracking->Owner() : nullptr);
  }
  EndPaint(window, &ps);
}

LRESULT MenuWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  const Level* level = tracking ? tracking->LevelOf(window) : nullptr;
  switch (message) {
    case WM_PAINT:
      if (level) {
        PaintLevel(window, *level);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_CAPTURECHANGED:
      // Someone else took the mouse: the menu goes.
      if (tracking && tracking->LevelAt(0) && tracking->LevelAt(0)->window == window) tracking->Cancel();
      return 0;
    default:
      break;
  }
  return DefWindowProc(window, message, w, l);
}

}  // namespace

HWND TrackingWindow(int level) {
  const Level* l = tracking ? tracking->LevelAt(level) : nullptr;
  return l ? l->window : nullptr;
}

int TrackingSelection(int level) {
  const Level* l = tracking ? tracking->LevelAt(level) : nullptr;
  return l ? l->selected : -1;
}

BOOL TrackingItemRect(HMENU menu, int position, RECT* screen) {
  return tracking && tracking->ItemRect(menu, position, screen);
}

TrackBeginHook SetTrackBeginHook(TrackBeginHook hook) {
  std::swap(trackBeginHook, hook);
  return hook;
}

}  // namespace qelo::win::menu_popup

namespace qelo::win {

UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  if (!Live(menu) || menu_popup::tracking) return 0;
  menu_popup::Tracker tracker(menu, owner);
  const UINT chosen = tracker.Run(POINT{x, y});
  if (flags & TPM_RETURNCMD) return chosen;
  if (chosen == 0) return 0;
  PostMessage(owner, WM_COMMAND, chosen, 0);
  return 1;
}

}  // namespace qelo::win
