#include "vcl/graphics/menu_popup.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace qelo::vcl::menu_popup {
namespace {

constexpr const char* kMenuClass = "QeloMenuPopup";
constexpr unsigned kTextFormat = win::DT_SINGLELINE | win::DT_VCENTER;

bool HasSubMenu(const TMenuItem& item) {
  for (int i = 0; i < item.Count(); ++i)
    if (item.Items(i)->Visible()) return true;
  return false;
}

TSize MeasureText(TCanvas& canvas, const std::string& text) {
  TRect r{};
  win::DrawText(canvas.Handle(), text, &r, win::DT_CALCRECT | win::DT_SINGLELINE);
  return {r.right - r.left, r.bottom - r.top};
}

// The width of each part of an item row.
struct RowWidths {
  int caption = 0;
  int shortCut = 0;
};

RowWidths MeasureItem(const TMenuItem& item, TCanvas& canvas) {
  canvas.Font()->SetStyle(item.Default() ? TFontStyles{fsBold} : TFontStyles{});
  RowWidths w;
  w.caption = MeasureText(canvas, item.Caption()).cx;
  const std::string shortCut = ShortCutToText(item.ShortCut());
  if (!shortCut.empty()) w.shortCut = MeasureText(canvas, shortCut).cx;
  return w;
}

int ItemHeight(TCanvas& canvas) {
  canvas.Font()->SetStyle({});
  return MeasureText(canvas, "Ag").cy + 6;
}

}  // namespace

void AssignMenuFont(TFont& font) {
  win::NONCLIENTMETRICS metrics;
  if (!win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) return;
  if (!metrics.lfMenuFont.lfFaceName.empty()) font.SetName(metrics.lfMenuFont.lfFaceName);
  if (metrics.lfMenuFont.lfHeight != 0) font.SetHeight(metrics.lfMenuFont.lfHeight);
  font.SetColor(clMenuText);
}

// Columns run top to bottom; an item with a Break starts the next one.
MenuLayout LayoutMenu(const TMenuItem& parent, TCanvas& canvas, const TrackHooks* hooks) {
  const int rowHeight = ItemHeight(canvas);
  struct Column {
    size_t first = 0;
    RowWidths widths;
    int height = 0;
    bool bar = false;
  };
  std::vector<Column> columns(1);
  std::vector<int> ownerWidths(1, 0);  // per column, the widest row the owner sized
  MenuLayout layout;
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem* item = parent.Items(i);
    if (!item->Visible()) continue;
    if (item->Break() != mbNone && !layout.boxes.empty()) {
      columns.push_back(Column{layout.boxes.size(), {}, 0, item->Break() == mbBarBreak});
      ownerWidths.push_back(0);
    }
    Column& column = columns.back();
    TSize owned{};
    if (hooks && hooks->measure && hooks->measure(*item, &owned)) {
      layout.boxes.push_back({item, Rect(0, kBorder + column.height, 0, kBorder + column.height + owned.cy)});
      column.height += owned.cy;
      ownerWidths.back() = std::max(ownerWidths.back(), static_cast<int>(owned.cx));
      continue;
    }
    const int height = item->IsLine() ? kSeparatorHeight : rowHeight;
    layout.boxes.push_back({item, Rect(0, kBorder + column.height, 0, kBorder + column.height + height)});
    column.height += height;
    if (!item->IsLine()) {
      const RowWidths w = MeasureItem(*item, canvas);
      column.widths.caption = std::max(column.widths.caption, w.caption);
      column.widths.shortCut = std::max(column.widths.shortCut, w.shortCut);
    }
  }
  canvas.Font()->SetStyle({});
  int x = kBorder;
  int height = 0;
  for (size_t c = 0; c < columns.size(); ++c) {
    if (c > 0) {
      if (columns[c].bar) layout.barBreaks.push_back(x + kColumnGap / 2 - 1);
      x += kColumnGap;
    }
    const RowWidths& w = columns[c].widths;
    const int width = std::max(kCheckWidth + w.caption + (w.shortCut ? kShortCutGap + w.shortCut : 0) + kArrowWidth,
                               ownerWidths[c]);
    const size_t end = c + 1 < columns.size() ? columns[c + 1].first : layout.boxes.size();
    for (size_t b = columns[c].first; b < end; ++b) {
      layout.boxes[b].rect.left = x;
      layout.boxes[b].rect.right = x + width;
    }
    x += width;
    height = std::max(height, columns[c].height);
  }
  layout.size = {x + kBorder, height + 2 * kBorder};
  return layout;
}

namespace {

void PaintSeparator(TCanvas& canvas, const TRect& r) {
  const int y = r.top + RectHeight(r) / 2 - 1;
  canvas.Pen()->SetColor(clBtnShadow);
  canvas.MoveTo(r.left + 1, y);
  canvas.LineTo(r.right - 1, y);
  canvas.Pen()->SetColor(clBtnHighlight);
  canvas.MoveTo(r.left + 1, y + 1);
  canvas.LineTo(r.right - 1, y + 1);
}

void PaintCheck(TCanvas& canvas, const TRect& r, bool radio, TColor color) {
  const int cx = r.left + kCheckWidth / 2;
  const int cy = r.top + RectHeight(r) / 2;
  canvas.Pen()->SetColor(color);
  canvas.Brush()->SetColor(color);
  if (radio) {
    canvas.Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
    return;
  }
  for (int dy = 0; dy < 3; ++dy) {
    const TPoint tick[] = {{cx - 3, cy - 1 + dy}, {cx - 1, cy + 1 + dy}, {cx + 4, cy - 4 + dy}};
    canvas.Polyline(tick);
  }
}

void PaintArrow(TCanvas& canvas, const TRect& r, TColor color) {
  const int x = r.right - kArrowWidth / 2 - 2;
  const int cy = r.top + RectHeight(r) / 2;
  canvas.Pen()->SetColor(color);
  canvas.Brush()->SetColor(color);
  const TPoint arrow[] = {{x, cy - 3}, {x + 3, cy}, {x, cy + 3}};
  canvas.Polygon(arrow);
}

void PaintText(TCanvas& canvas, const TMenuItem& item, TRect r, TColor color) {
  canvas.Font()->SetColor(color);
  canvas.Brush()->SetStyle(bsClear);
  r.left += kCheckWidth;
  r.right -= kArrowWidth;
  win::DrawText(canvas.Handle(), item.Caption(), &r, kTextFormat | win::DT_LEFT);
  const std::string shortCut = ShortCutToText(item.ShortCut());
  if (!shortCut.empty()) win::DrawText(canvas.Handle(), shortCut, &r, kTextFormat | win::DT_RIGHT | win::DT_NOPREFIX);
}

// Checks, arrows and texts in one colour, offset by (dx, dy).
void PaintItemMarks(TCanvas& canvas, const TMenuItem& item, TRect r, TColor color, int dx, int dy) {
  win::OffsetRect(&r, dx, dy);
  if (item.Checked()) PaintCheck(canvas, r, item.RadioItem(), color);
  if (HasSubMenu(item)) PaintArrow(canvas, r, color);
  PaintText(canvas, item, r, color);
}

void PaintItem(TCanvas& canvas, const ItemBox& box, bool selected) {
  const TMenuItem& item = *box.item;
  if (item.IsLine()) return PaintSeparator(canvas, box.rect);
  canvas.Font()->SetStyle(item.Default() ? TFontStyles{fsBold} : TFontStyles{});
  if (selected) {
    canvas.Brush()->SetColor(clHighlight);
    canvas.FillRect(box.rect);
  }
  if (!item.Enabled() && !selected) {
    // The classic embossed look of a disabled item.
    PaintItemMarks(canvas, item, box.rect, clBtnHighlight, 1, 1);
    PaintItemMarks(canvas, item, box.rect, clBtnShadow, 0, 0);
  } else {
    const TColor color = !item.Enabled() ? clGrayText : selected ? clHighlightText : clMenuText;
    PaintItemMarks(canvas, item, box.rect, color, 0, 0);
  }
  canvas.Brush()->SetStyle(bsSolid);
}

}  // namespace

void PaintMenu(TCanvas& canvas, const MenuLayout& layout, int selected, const TrackHooks* hooks) {
  TRect frame = Rect(0, 0, layout.size.cx, layout.size.cy);
  canvas.Brush()->SetColor(clMenu);
  canvas.FillRect(frame);
  win::DrawEdge(canvas.Handle(), &frame, win::EDGE_RAISED, win::BF_RECT);
  for (int x : layout.barBreaks) {
    canvas.Pen()->SetColor(clBtnShadow);
    canvas.MoveTo(x, kBorder);
    canvas.LineTo(x, layout.size.cy - kBorder);
    canvas.Pen()->SetColor(clBtnHighlight);
    canvas.MoveTo(x + 1, kBorder);
    canvas.LineTo(x + 1, layout.size.cy - kBorder);
  }
  for (size_t i = 0; i < layout.boxes.size(); ++i) {
    canvas.Brush()->SetColor(clMenu);
    const ItemBox& box = layout.boxes[i];
    const bool isSelected = static_cast<int>(i) == selected;
    if (hooks && hooks->draw && hooks->draw(*box.item, canvas, box.rect, isSelected)) continue;
    PaintItem(canvas, box, isSelected);
  }
}

// ---- tracking -------------------------------------------------------------------------

namespace {

// One open menu level: its items, its window and its selection.
struct Level {
  TMenuItem* parent = nullptr;
  MenuLayout layout;
  win::HWND window = nullptr;
  int selected = -1;
};

class Tracker;
thread_local Tracker* tracking = nullptr;
thread_local TrackBeginHook trackBeginHook;

win::LRESULT MenuWindowProc(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l);

void RegisterMenuClass() {
  static const bool registered = [] {
    win::WNDCLASS wc;
    wc.lpfnWndProc = MenuWindowProc;
    wc.hCursor = win::LoadCursor(nullptr, win::IDC_ARROW);
    wc.lpszClassName = kMenuClass;
    return win::RegisterClass(wc) != 0;
  }();
  (void)registered;
}

win::RECT WorkArea() {
  win::RECT work;
  win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

// The modal loop of one popup menu on the calling thread. Owns the level
// windows and the mouse capture for as long as it runs.
class Tracker {
 public:
  Tracker(TMenuItem& root, const TrackHooks& hooks) : root_(root), hooks_(hooks) { AssignMenuFont(font_); }
  ~Tracker() {
    while (!levels_.empty()) CloseLevel();
    if (tracking == this) tracking = nullptr;
  }

  TMenuItem* Run(TPoint screen) {
    tracking = this;  // the first paint already looks the level up
    if (!OpenLevel(root_, screen, nullptr)) {
      tracking = nullptr;
      return nullptr;
    }
    const win::HWND focusBefore = win::GetFocus();
    if (!focusBefore && !win::GetActiveWindow()) win::SetFocus(levels_[0]->window);
    win::SetCapture(levels_[0]->window);
    if (trackBeginHook) trackBeginHook(root_);
    Loop();
    tracking = nullptr;
    if (win::GetCapture() == levels_[0]->window) win::ReleaseCapture();
    while (!levels_.empty()) CloseLevel();
    if (hooks_.highlighted) hooks_.highlighted(nullptr);
    return chosen_;
  }

  const Level* LevelAt(int index) const {
    return index >= 0 && index < static_cast<int>(levels_.size()) ? levels_[static_cast<size_t>(index)].get()
                                                                  : nullptr;
  }
  bool ItemRect(const TMenuItem& item, win::RECT* screen) const {
    for (const auto& level : levels_) {
      for (const ItemBox& box : level->layout.boxes) {
        if (box.item != &item) continue;
        *screen = box.rect;
        win::MapWindowPoints(level->window, nullptr, reinterpret_cast<win::POINT*>(screen), 2);
        return true;
      }
    }
    return false;
  }
  const Level* LevelOf(win::HWND window) const {
    for (const auto& level : levels_)
      if (level->window == window) return level.get();
    return nullptr;
  }
  void Cancel() { done_ = true; }
  void ApplyFont(TCanvas& canvas) const { canvas.SetFont(&font_); }
  const TrackHooks& Hooks() const { return hooks_; }

 private:
  void Loop() {
    while (!done_) {
      win::MSG m;
      const int got = win::GetMessage(&m, nullptr, 0, 0);
      if (got == 0) {
        win::PostQuitMessage(static_cast<int>(m.wParam));  // the outer loop ends too
        break;
      }
      if (got < 0) break;
      if (m.message >= win::WM_MOUSEMOVE && m.message <= win::WM_MBUTTONDBLCLK)
        Mouse(m.message, m.pt);
      else if (m.message >= win::WM_KEYDOWN && m.message <= win::WM_SYSCHAR)
        Key(m.message, m.wParam);
      else
        win::DispatchMessage(&m);
    }
  }

  // ---- levels

  bool OpenLevel(TMenuItem& parent, TPoint at, const win::RECT* besideItem) {
    if (hooks_.beforeOpen) hooks_.beforeOpen(parent);
    auto level = std::make_unique<Level>();
    level->parent = &parent;
    {
      TCanvas measure;
      win::HDC dc = win::CreateDisplayDC();
      measure.SetHandle(dc);
      ApplyFont(measure);
      level->layout = LayoutMenu(parent, measure, &hooks_);
      measure.SetHandle(nullptr);
      win::DeleteDC(dc);
    }
    if (level->layout.boxes.empty()) return false;
    const TPoint place = Place(level->layout.size, at, besideItem);
    RegisterMenuClass();
    level->window = win::CreateWindowEx(win::WS_EX_TOPMOST | win::WS_EX_TOOLWINDOW, kMenuClass, "", win::WS_POPUP,
                                        place.x, place.y, level->layout.size.cx, level->layout.size.cy, nullptr,
                                        nullptr);
    if (!level->window) return false;
    levels_.push_back(std::move(level));
    win::ShowWindow(levels_.back()->window, win::SW_SHOWNOACTIVATE);
    win::UpdateWindow(levels_.back()->window);
    return true;
  }

  // Where a level of the size goes: at the point, or beside the item that
  // opens it (left of it when there is no room right), kept on the work area.
  static TPoint Place(TSize size, TPoint at, const win::RECT* besideItem) {
    const win::RECT work = WorkArea();
    TPoint p = at;
    if (besideItem) p = {besideItem->right - kBorder, besideItem->top - kBorder};
    if (p.x + size.cx > work.right) p.x = besideItem ? besideItem->left - size.cx + kBorder : work.right - size.cx;
    if (p.y + size.cy > work.bottom) p.y = work.bottom - size.cy;
    p.x = std::max(p.x, work.left);
    p.y = std::max(p.y, work.top);
    return p;
  }

  void CloseLevel() {
    win::HWND window = levels_.back()->window;
    levels_.pop_back();
    if (window) win::DestroyWindow(window);
  }

  void CloseLevelsAfter(size_t keep) {
    while (levels_.size() > keep + 1) CloseLevel();
  }

  Level& Deepest() { return *levels_.back(); }

  void Select(Level& level, int index) {
    if (level.selected == index) return;
    level.selected = index;
    win::InvalidateRect(level.window, nullptr, 0);
    if (hooks_.highlighted) hooks_.highlighted(Selected(level));
  }

  TMenuItem* Selected(const Level& level) const {
    return level.selected >= 0 ? level.layout.boxes[static_cast<size_t>(level.selected)].item : nullptr;
  }

  // Opens the sub-menu of the selected item of the deepest level.
  bool OpenSelected(bool selectFirst) {
    Level& level = Deepest();
    TMenuItem* item = Selected(level);
    if (!item || !item->Enabled() || !HasSubMenu(*item)) return false;
    win::RECT r = level.layout.boxes[static_cast<size_t>(level.selected)].rect;
    win::MapWindowPoints(level.window, nullptr, reinterpret_cast<win::POINT*>(&r), 2);
    if (!OpenLevel(*item, {r.left, r.top}, &r)) return false;
    if (selectFirst) Step(Deepest(), 1);
    return true;
  }

  void Choose(TMenuItem* item) {
    if (!item || item->IsLine() || !item->Enabled()) return;
    chosen_ = item;
    done_ = true;
  }

  // ---- mouse

  // The level and item under a screen point, deepest level first.
  std::pair<int, int> HitTest(TPoint screen) const {
    for (int l = static_cast<int>(levels_.size()) - 1; l >= 0; --l) {
      const Level& level = *levels_[static_cast<size_t>(l)];
      win::RECT frame;
      win::GetWindowRect(level.window, &frame);
      if (!win::PtInRect(&frame, screen)) continue;
      const TPoint local{screen.x - frame.left, screen.y - frame.top};
      for (size_t i = 0; i < level.layout.boxes.size(); ++i)
        if (win::PtInRect(&level.layout.boxes[i].rect, local)) return {l, static_cast<int>(i)};
      return {l, -1};
    }
    return {-1, -1};
  }

  void Mouse(win::UINT message, TPoint screen) {
    const auto [l, index] = HitTest(screen);
    const bool press = message == win::WM_LBUTTONDOWN || message == win::WM_RBUTTONDOWN ||
                       message == win::WM_MBUTTONDOWN;
    const bool release = message == win::WM_LBUTTONUP || message == win::WM_RBUTTONUP;
    if (l < 0) {
      if (press) Cancel();  // a click outside every level dismisses the menu
      return;
    }
    if (index < 0) return;
    Level& level = *levels_[static_cast<size_t>(l)];
    TMenuItem* item = level.layout.boxes[static_cast<size_t>(index)].item;
    if (message == win::WM_MOUSEMOVE || press) {
      const bool keepOpen = static_cast<size_t>(l) + 1 < levels_.size() && levels_[static_cast<size_t>(l) + 1]->parent == item;
      if (!keepOpen) CloseLevelsAfter(static_cast<size_t>(l));
      if (!item->IsLine()) Select(level, index);
      if (!keepOpen) OpenSelected(false);
    } else if (release && !HasSubMenu(*item)) {
      Choose(item);
    }
  }

  // ---- keyboard

  // Moves the selection by one visible item that is not a separator.
  void Step(Level& level, int direction) {
    const int n = static_cast<int>(level.layout.boxes.size());
    int i = level.selected;
    for (int tries = 0; tries < n; ++tries) {
      i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
      if (!level.layout.boxes[static_cast<size_t>(i)].item->IsLine()) return Select(level, i);
    }
  }

  void Key(win::UINT message, win::WPARAM key) {
    if (message == win::WM_CHAR || message == win::WM_SYSCHAR) return Accelerator(static_cast<char16_t>(key));
    if (message != win::WM_KEYDOWN && message != win::WM_SYSKEYDOWN) return;
    Level& level = Deepest();
    switch (key) {
      case win::VK_DOWN:
        return Step(level, 1);
      case win::VK_UP:
        return Step(level, -1);
      case win::VK_RIGHT:
        OpenSelected(true);
        return;
      case win::VK_LEFT:
        if (levels_.size() > 1) CloseLevel();
        return;
      case win::VK_ESCAPE:
        if (levels_.size() > 1)
          CloseLevel();
        else
          Cancel();
        return;
      case win::VK_MENU:
        return Cancel();
      case win::VK_RETURN:
        return Enter(level);
      default:
        return;
    }
  }

  void Enter(Level& level) {
    TMenuItem* item = Selected(level);
    if (!item) {
      for (const ItemBox& box : level.layout.boxes)
        if (box.item->Default()) item = box.item;
      if (!item) return;
    }
    if (HasSubMenu(*item)) {
      OpenSelected(true);
      return;
    }
    Choose(item);
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
    for (size_t i = 0; i < level.layout.boxes.size(); ++i)
      if (AcceleratorOf(level.layout.boxes[i].item->Caption()) == letter) matches.push_back(static_cast<int>(i));
    if (matches.empty()) return OwnerMenuChar(level, ch);
    if (matches.size() > 1) {
      auto next = std::upper_bound(matches.begin(), matches.end(), level.selected);
      return Select(level, next == matches.end() ? matches.front() : *next);
    }
    Select(level, matches.front());
    TMenuItem* item = Selected(level);
    if (HasSubMenu(*item))
      OpenSelected(true);
    else
      Choose(item);
  }

  // The owner answers a letter no accelerator takes.
  void OwnerMenuChar(Level& level, char16_t ch) {
    if (!hooks_.menuChar) return;
    TMenuItem* selected = Selected(level);
    const MenuCharAnswer answer =
        hooks_.menuChar(*level.parent, ch, selected ? level.parent->IndexOf(selected) : -1);
    if (answer.action == MenuCharAnswer::kClose) return Cancel();
    if (answer.action == MenuCharAnswer::kIgnore || answer.index < 0 || answer.index >= level.parent->Count()) return;
    TMenuItem* item = level.parent->Items(answer.index);
    for (size_t i = 0; i < level.layout.boxes.size(); ++i) {
      if (level.layout.boxes[i].item != item) continue;
      Select(level, static_cast<int>(i));
      if (answer.action == MenuCharAnswer::kExecute) {
        if (HasSubMenu(*item)) OpenSelected(true);
        else Choose(item);
      }
      return;
    }
  }

  TMenuItem& root_;
  const TrackHooks& hooks_;
  TFont font_;
  std::vector<std::unique_ptr<Level>> levels_;
  TMenuItem* chosen_ = nullptr;
  bool done_ = false;
};

void PaintLevel(win::HWND window, const Level& level) {
  win::PAINTSTRUCT ps;
  win::HDC dc = win::BeginPaint(window, &ps);
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    if (tracking) tracking->ApplyFont(canvas);
    PaintMenu(canvas, level.layout, level.selected, tracking ? &tracking->Hooks() : nullptr);
    canvas.SetHandle(nullptr);
  }
  win::EndPaint(window, &ps);
}

win::LRESULT MenuWindowProc(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
  const Level* level = tracking ? tracking->LevelOf(window) : nullptr;
  switch (message) {
    case win::WM_PAINT:
      if (level) {
        PaintLevel(window, *level);
        return 0;
      }
      break;
    case win::WM_ERASEBKGND:
      return 1;
    case win::WM_CAPTURECHANGED:
      // Someone else took the mouse: the menu goes.
      if (tracking && tracking->LevelAt(0) && tracking->LevelAt(0)->window == window) tracking->Cancel();
      return 0;
    default:
      break;
  }
  return win::DefWindowProc(window, message, w, l);
}

}  // namespace

win::HWND TrackingWindow(int level) {
  const Level* l = tracking ? tracking->LevelAt(level) : nullptr;
  return l ? l->window : nullptr;
}

int TrackingSelection(int level) {
  const Level* l = tracking ? tracking->LevelAt(level) : nullptr;
  return l ? l->selected : -1;
}

bool TrackingItemRect(const TMenuItem& item, TRect* screen) {
  win::RECT r;
  if (!tracking || !tracking->ItemRect(item, &r)) return false;
  *screen = r;
  return true;
}

TrackBeginHook SetTrackBeginHook(TrackBeginHook hook) {
  std::swap(trackBeginHook, hook);
  return hook;
}

TMenuItem* TrackMenu(TMenuItem& root, TPoint screen, const TrackHooks& hooks) {
  if (tracking) return nullptr;
  Tracker tracker(root, hooks);
  return tracker.Run(screen);
}

}  // namespace qelo::vcl::menu_popup

namespace qelo::vcl {

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  if (TMenuItem* chosen = menu_popup::TrackMenu(*Items(), Point(x, y))) chosen->Click();
}

}  // namespace qelo::vcl
