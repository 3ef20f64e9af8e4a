// List boxes: items with text and data, the selection (one item, or many
// with a caret and an anchor), scrolling by the window's vertical bar, and
// drawing by the control or, owner-drawn, by its parent. The same control
// serves a combo box as its drop-down list; then the pointer only
// highlights and the combo box hears of clicks.
#include "win/controls/listbox.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "controls/combo_list.h"
#include "controls/control.h"

namespace qelo::win::controls {
namespace {

constexpr int kWheelLines = 3;

struct Item {
  std::string text;
  UINT_PTR data = 0;
  bool selected = false;
};

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) return false;
  return true;
}
bool EqualNoCase(const std::string& a, const std::string& b) { return a.size() == b.size() && StartsWithNoCase(a, b); }
int CompareNoCase(const std::string& a, const std::string& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const int x = std::tolower(static_cast<unsigned char>(a[i])), y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

class ListBox : public ControlBase {
 public:
  using ControlBase::ControlBase;

  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override {
    LRESULT result = 0;
    if (HandleFont(message, w, l, &result)) {
      if (message == WM_SETFONT && !OwnerDrawn()) itemHeight_ = FontHeight() + 2;
      return result;
    }
    switch (message) {
      case WM_CREATE: Create(reinterpret_cast<const CREATESTRUCT*>(l)); return 0;
      case WM_DESTROY: DeleteAll(); return 0;
      case WM_PAINT: Paint(); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_SIZE: UpdateScrollBar(); return DefWindowProc(Window(), message, w, l);
      case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
      case WM_LBUTTONDOWN: MouseDown(l, static_cast<WPARAM>(w)); return 0;
      case WM_LBUTTONDBLCLK: DoubleClick(l); return 0;
      case WM_MOUSEMOVE: MouseMove(l); return 0;
      case WM_LBUTTONUP: MouseUp(l); return 0;
      case WM_CAPTURECHANGED: EndDrag(); return 0;
      case WM_MOUSEWHEEL: ScrollTo(top_ - GET_WHEEL_DELTA_WPARAM(w) / WHEEL_DELTA * kWheelLines); return 0;
      case WM_VSCROLL: Scroll(LOWORD(w), HIWORD(w)); return 0;
      case WM_KEYDOWN: KeyDown(static_cast<int>(w)); return 0;
      case WM_CHAR: TypeSearch(static_cast<char16_t>(w)); return 0;
      case WM_SETFOCUS: FocusChanged(true); return 0;
      case WM_KILLFOCUS: FocusChanged(false); return 0;
      case WM_ENABLE: Repaint(); return 0;
      case LB_ADDSTRING: return Insert(Sorted() ? SortedPlace(Text(l)) : Count(), l);
      case LB_INSERTSTRING: return Insert(static_cast<int>(w) < 0 ? Count() : static_cast<int>(w), l);
      case LB_DELETESTRING: return Delete(static_cast<int>(w));
      case LB_RESETCONTENT: DeleteAll(); return 0;
      case LB_GETCOUNT: return Count();
      case LB_GETTEXT: return CopyText(static_cast<int>(w), reinterpret_cast<char*>(l));
      case LB_GETTEXTLEN: return Valid(static_cast<int>(w)) ? static_cast<LRESULT>(items_[w].text.size()) : LB_ERR;
      case LB_GETITEMDATA: return Valid(static_cast<int>(w)) ? static_cast<LRESULT>(items_[w].data) : LB_ERR;
      case LB_SETITEMDATA:
        if (!Valid(static_cast<int>(w))) return LB_ERR;
        items_[w].data = static_cast<UINT_PTR>(l);
        return LB_OKAY;
      case LB_SETCURSEL: return SetCurSel(static_cast<int>(w));
      case LB_GETCURSEL: return Multiple() ? caret_ : current_;
      case LB_SETSEL: return SetSel(w != 0, static_cast<int>(l));
      case LB_GETSEL: return Valid(static_cast<int>(w)) ? (IsSelected(static_cast<int>(w)) ? 1 : 0) : LB_ERR;
      case LB_GETSELCOUNT: return Multiple() ? SelectedCount() : LB_ERR;
      case LB_GETSELITEMS: return SelectedItems(static_cast<int>(w), reinterpret_cast<int32_t*>(l));
      case LB_FINDSTRING: return Find(static_cast<int>(w), Text(l), false);
      case LB_FINDSTRINGEXACT: return Find(static_cast<int>(w), Text(l), true);
      case LB_SELECTSTRING: return SelectString(static_cast<int>(w), Text(l));
      case LB_GETTOPINDEX: return top_;
      case LB_SETTOPINDEX:
        if (!Valid(static_cast<int>(w)) && w != 0) return LB_ERR;
        ScrollTo(static_cast<int>(w));
        return LB_OKAY;
      case LB_GETITEMRECT: return ItemRect(static_cast<int>(w), reinterpret_cast<RECT*>(l));
      case LB_SETITEMHEIGHT:
        if (LOWORD(static_cast<uintptr_t>(l)) == 0) return LB_ERR;
        itemHeight_ = LOWORD(static_cast<uintptr_t>(l));
        Changed();
        return LB_OKAY;
      case LB_GETITEMHEIGHT: return itemHeight_;
      case LB_SETCARETINDEX: return Valid(static_cast<int>(w)) ? (MoveCaret(static_cast<int>(w)), LB_OKAY) : LB_ERR;
      case LB_GETCARETINDEX: return caret_;
      case LB_SETANCHORINDEX: return Valid(static_cast<int>(w)) ? (anchor_ = static_cast<int>(w), LB_OKAY) : LB_ERR;
      case LB_GETANCHORINDEX: return anchor_;
      case LB_ITEMFROMPOINT: return ItemFromPoint(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      default: return DefWindowProc(Window(), message, w, l);
    }
  }

 private:
  // ---- kinds -------------------------------------------------------------

  bool Multiple() const { return (Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
  bool OwnerDrawn() const { return (Style() & LBS_OWNERDRAWFIXED) != 0; }
  bool HasStrings() const { return !OwnerDrawn() || (Style() & LBS_HASSTRINGS); }
  bool Sorted() const { return (Style() & LBS_SORT) && HasStrings(); }
  int Count() const { return static_cast<int>(items_.size()); }
  bool Valid(int index) const { return index >= 0 && index < Count(); }
  bool IsSelected(int index) const { return Multiple() ? items_[index].selected : index == current_; }
  std::string Text(LPARAM l) const { return HasStrings() && l ? reinterpret_cast<const char*>(l) : ""; }

  // Where drawing, measuring and notifications go: the parent, or for a
  // drop-down list the combo box and its parent.
  HWND DrawTarget() const { return combo_ ? GetParent(combo_) : GetParent(Window()); }
  HWND Sender() const { return combo_ ? combo_ : Window(); }
  UINT SenderId() const { return static_cast<UINT>(GetWindowLongPtr(Sender(), GWLP_ID)); }
  UINT OwnerType() const { return combo_ ? ODT_COMBOBOX : ODT_LISTBOX; }

  void Notify(UINT code) {
    if (combo_) SendMessage(combo_, WM_COMMAND, (static_cast<WPARAM>(code) << 16), reinterpret_cast<LPARAM>(Window()));
    else if (Style() & LBS_NOTIFY) SendCommandNotify(Window(), code);
  }

  void Create(const CREATESTRUCT* create) {
    if (create->lpszClass == kComboListClass) combo_ = static_cast<HWND>(create->lpCreateParams);
    itemHeight_ = FontHeight() + 2;
    wantsBar_ = (create->style & WS_VSCROLL) != 0;
    if (OwnerDrawn()) {
      MEASUREITEMSTRUCT measure;
      measure.CtlType = OwnerType();
      measure.CtlID = SenderId();
      measure.itemHeight = static_cast<UINT>(itemHeight_);
      if (HWND target = DrawTarget()) SendMessage(target, WM_MEASUREITEM, measure.CtlID, reinterpret_cast<LPARAM>(&measure));
      if (measure.itemHeight > 0) itemHeight_ = static_cast<int>(measure.itemHeight);
    }
    UpdateScrollBar();
  }

  // ---- items -------------------------------------------------------------

  int SortedPlace(const std::string& text) const {
    const auto at = std::upper_bound(items_.begin(), items_.end(), text,
                                     [](const std::string& t, const Item& item) { return CompareNoCase(t, item.text) < 0; });
    return static_cast<int>(at - items_.begin());
  }

  LRESULT Insert(int index, LPARAM l) {
    if (index > Count()) return LB_ERR;
    Item item;
    if (HasStrings()) item.text = Text(l);
    else item.data = static_cast<UINT_PTR>(l);
    items_.insert(items_.begin() + index, item);
    auto shift = [index](int& i) { if (i >= index) ++i; };
    shift(current_);
    shift(caret_);
    shift(anchor_);
    Changed();
    return index;
  }

  void SendDeleteItem(int index, const Item& item) {
    if (item.data == 0) return;
    DELETEITEMSTRUCT gone;
    gone.CtlType = OwnerType();
    gone.CtlID = SenderId();
    gone.itemID = static_cast<UINT>(index);
    gone.hwndItem = Sender();
    gone.itemData = item.data;
    if (HWND target = DrawTarget()) SendMessage(target, WM_DELETEITEM, gone.CtlID, reinterpret_cast<LPARAM>(&gone));
  }

  LRESULT Delete(int index) {
    if (!Valid(index)) return LB_ERR;
    const Item gone = items_[index];
    items_.erase(items_.begin() + index);
    auto shift = [index](int& i) {
      if (i == index) i = -1;
      else if (i > index) --i;
    };
    shift(current_);
    shift(caret_);
    shift(anchor_);
    top_ = std::clamp(top_, 0, std::max(0, Count() - 1));
    SendDeleteItem(index, gone);
    Changed();
    return Count();
  }

  void DeleteAll() {
    std::vector<Item> gone;
    gone.swap(items_);
    current_ = caret_ = anchor_ = -1;
    top_ = 0;
    for (size_t i = 0; i < gone.size(); ++i) SendDeleteItem(static_cast<int>(i), gone[i]);
    if (IsWindow(Window())) Changed();
  }

  LRESULT CopyText(int index, char* buffer) const {
    if (!Valid(index) || buffer == nullptr) return LB_ERR;
    if (!HasStrings()) {
      *reinterpret_cast<UINT_PTR*>(buffer) = items_[index].data;
      return sizeof(UINT_PTR);
    }
    const std::string& text = items_[index].text;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = '\0';
    return static_cast<LRESULT>(text.size());
  }

  // From the item after `start`, wrapping round; -1 (or beyond the end)
  // starts at the top.
  LRESULT Find(int start, const std::string& text, bool exact) const {
    if (!HasStrings() || items_.empty()) return LB_ERR;
    const int first = Valid(start) ? start + 1 : 0;
    for (int n = 0; n < Count(); ++n) {
      const int i = (first + n) % Count();
      if (exact ? EqualNoCase(items_[i].text, text) : StartsWithNoCase(items_[i].text, text)) return i;
    }
    return LB_ERR;
  }

  LRESULT SelectString(int start, const std::string& text) {
    const LRESULT found = Find(start, text, false);
    if (found == LB_ERR) return LB_ERR;
    if (Multiple()) SetSel(true, static_cast<int>(found));
    else SetCurSel(static_cast<int>(found));
    return found;
  }

  // ---- selection ---------------------------------------------------------

  LRESULT SetCurSel(int index) {
    if (Multiple()) return LB_ERR;
    if (!Valid(index)) {
      current_ = -1;
      Repaint();
      return LB_ERR;
    }
    current_ = caret_ = anchor_ = index;
    EnsureVisible(index);
    Repaint();
    return index;
  }

  LRESULT SetSel(bool select, int index) {
    if (!Multiple()) return LB_ERR;
    if (index == -1) {
      for (Item& item : items_) item.selected = select;
    } else {
      if (!Valid(index)) return LB_ERR;
      items_[index].selected = select;
      caret_ = anchor_ = index;
    }
    Repaint();
    return LB_OKAY;
  }

  int SelectedCount() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](const Item& i) { return i.selected; }));
  }

  LRESULT SelectedItems(int capacity, int32_t* out) const {
    if (!Multiple() || out == nullptr) return LB_ERR;
    int n = 0;
    for (int i = 0; i < Count() && n < capacity; ++i)
      if (items_[i].selected) out[n++] = i;
    return n;
  }

  // The user's choice of one item (single selection, or extended without
  // modifiers): true when it changed anything.
  bool ChooseOnly(int index) {
    bool changed = false;
    if (Multiple()) {
      for (int i = 0; i < Count(); ++i) {
        const bool want = i == index;
        changed = changed || items_[i].selected != want;
        items_[i].selected = want;
      }
    } else {
      changed = current_ != index;
      current_ = index;
    }
    caret_ = anchor_ = index;
    return changed;
  }

  bool SelectRange(int from, int to) {
    bool changed = false;
    for (int i = 0; i < Count(); ++i) {
      const bool want = i >= std::min(from, to) && i <= std::max(from, to);
      changed = changed || items_[i].selected != want;
      items_[i].selected = want;
    }
    caret_ = to;
    return changed;
  }

  // A click or key on `index` as the style and the modifier keys make it.
  bool UserSelects(int index, bool shift, bool control) {
    if (Style() & LBS_NOSEL) return false;
    if (Style() & LBS_MULTIPLESEL) {
      items_[index].selected = !items_[index].selected;
      caret_ = anchor_ = index;
      return true;
    }
    if (Style() & LBS_EXTENDEDSEL) {
      if (shift && Valid(anchor_)) return SelectRange(anchor_, index);
      if (control) {
        items_[index].selected = !items_[index].selected;
        caret_ = anchor_ = index;
        return true;
      }
    }
    return ChooseOnly(index);
  }

  void MoveCaret(int index) {
    caret_ = index;
    EnsureVisible(index);
    Repaint();
  }

  // ---- pointer -----------------------------------------------------------

  int VisibleRows() const {
    RECT r;
    GetClientRect(Window(), &r);
    return std::max(1, r.bottom / std::max(1, itemHeight_));
  }

  int IndexAt(POINT p) const { return top_ + (p.y < 0 ? -1 : p.y / std::max(1, itemHeight_)); }

  LRESULT ItemFromPoint(POINT p) const {
    RECT r;
    GetClientRect(Window(), &r);
    int index = std::clamp(IndexAt(p), 0, std::max(0, Count() - 1));
    const bool outside = !PtInRect(&r, p) || IndexAt(p) >= Count() || IndexAt(p) < 0;
    return MAKELPARAM(index, outside ? 1 : 0);
  }

  void MouseDown(LPARAM l, WPARAM keys) {
    const POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (combo_) {
      DropDownPress(p);
      return;
    }
    if (GetFocus() != Window()) SetFocus(Window());
    const int index = IndexAt(p);
    if (!Valid(index)) return;
    selectionAtPress_ = Snapshot();
    UserSelects(index, (keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0);
    dragging_ = !Multiple() || (Style() & LBS_EXTENDEDSEL);
    if (dragging_) SetCapture(Window());
    EnsureVisible(index);
    Repaint();
    if (!dragging_) Notify(LBN_SELCHANGE);
  }

  // A press while dropped down (the list holds the capture): on its scroll
  // bar it scrolls and the list keeps the pointer; outside the list it
  // cancels.
  void DropDownPress(POINT p) {
    RECT client;
    GetClientRect(Window(), &client);
    if (PtInRect(&client, p)) return;
    POINT screen = p;
    ClientToScreen(Window(), &screen);
    const LPARAM at = MAKELPARAM(screen.x, screen.y);
    if (DefWindowProc(Window(), WM_NCHITTEST, 0, at) != HTVSCROLL) {
      Notify(kListCancelled);
      return;
    }
    DefWindowProc(Window(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTVSCROLL), at);
    if (IsWindowVisible(Window())) SetCapture(Window());
  }

  void MouseMove(LPARAM l) {
    const POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (combo_) {
      RECT r;
      GetClientRect(Window(), &r);
      const int index = IndexAt(p);
      if (PtInRect(&r, p) && Valid(index) && index != current_) {
        current_ = caret_ = index;
        Repaint();
      }
      return;
    }
    if (!dragging_) return;
    const int index = std::clamp(IndexAt(p), 0, Count() - 1);
    if (Style() & LBS_EXTENDEDSEL) SelectRange(anchor_, index);
    else ChooseOnly(index);
    EnsureVisible(index);
    Repaint();
  }

  void MouseUp(LPARAM l) {
    const POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (combo_) {
      RECT r;
      GetClientRect(Window(), &r);
      if (PtInRect(&r, p) && Valid(IndexAt(p))) {
        current_ = caret_ = IndexAt(p);
        Notify(kListChosen);
      }
      return;
    }
    if (!dragging_) return;
    EndDrag();
    if (Snapshot() != selectionAtPress_) Notify(LBN_SELCHANGE);
  }

  void EndDrag() {
    if (!dragging_) return;
    dragging_ = false;
    if (GetCapture() == Window()) ReleaseCapture();
  }

  void DoubleClick(LPARAM l) {
    if (combo_) return;
    MouseDown(l, 0);
    EndDrag();
    Notify(LBN_DBLCLK);
  }

  std::vector<bool> Snapshot() const {
    std::vector<bool> s(items_.size());
    for (int i = 0; i < Count(); ++i) s[i] = IsSelected(i);
    return s;
  }

  // ---- keyboard ----------------------------------------------------------

  void KeyDown(int key) {
    if (items_.empty()) return;
    const int from = Valid(caret_) ? caret_ : 0;
    int to = from;
    switch (key) {
      case VK_UP: to = from - 1; break;
      case VK_DOWN: to = Valid(caret_) ? from + 1 : 0; break;
      case VK_PRIOR: to = from - (VisibleRows() - 1); break;
      case VK_NEXT: to = from + (VisibleRows() - 1); break;
      case VK_HOME: to = 0; break;
      case VK_END: to = Count() - 1; break;
      case VK_SPACE:
        if (Style() & LBS_MULTIPLESEL) {
          UserSelects(from, false, false);
          Repaint();
          Notify(LBN_SELCHANGE);
        }
        return;
      default: return;
    }
    to = std::clamp(to, 0, Count() - 1);
    if (Style() & LBS_MULTIPLESEL) {
      MoveCaret(to);
      return;
    }
    const bool changed = UserSelects(to, GetKeyState(VK_SHIFT) < 0, false);
    MoveCaret(to);
    if (changed) Notify(LBN_SELCHANGE);
  }

  // A typed character selects the next item that starts with it.
  void TypeSearch(char16_t c) {
    if (c < 32 || c > 126 || !HasStrings()) return;
    const LRESULT found = Find(caret_, std::string(1, static_cast<char>(c)), false);
    if (found == LB_ERR) return;
    const bool changed = UserSelects(static_cast<int>(found), false, false);
    MoveCaret(static_cast<int>(found));
    if (changed) Notify(LBN_SELCHANGE);
  }

  void FocusChanged(bool focused) {
    focused_ = focused;
    if (!focused) EndDrag();
    Repaint();
    Notify(focused ? LBN_SETFOCUS : LBN_KILLFOCUS);
  }

  // ---- scrolling ---------------------------------------------------------

  void Changed() {
    UpdateScrollBar();
    if (!(Style() & LBS_NOREDRAW)) Repaint();
  }

  void UpdateScrollBar() {
    if (!wantsBar_) return;
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(0, Count() - 1);
    info.nPage = static_cast<UINT>(VisibleRows());
    top_ = std::clamp(top_, 0, std::max(0, Count() - VisibleRows()));
    info.nPos = top_;
    SetScrollInfo(Window(), SB_VERT, &info, 1);
  }

  void ScrollTo(int top) {
    top = std::clamp(top, 0, std::max(0, Count() - VisibleRows()));
    if (top == top_) return;
    top_ = top;
    if (wantsBar_) SetScrollPos(Window(), SB_VERT, top_, 1);
    Repaint();
  }

  void EnsureVisible(int index) {
    if (index < top_) ScrollTo(index);
    else if (index >= top_ + VisibleRows()) ScrollTo(index - VisibleRows() + 1);
  }

  void Scroll(int code, int position) {
    switch (code) {
      case SB_LINEUP: ScrollTo(top_ - 1); break;
      case SB_LINEDOWN: ScrollTo(top_ + 1); break;
      case SB_PAGEUP: ScrollTo(top_ - VisibleRows()); break;
      case SB_PAGEDOWN: ScrollTo(top_ + VisibleRows()); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: ScrollTo(position); break;
      case SB_TOP: ScrollTo(0); break;
      case SB_BOTTOM: ScrollTo(Count()); break;
      default: break;
    }
  }

  LRESULT ItemRect(int index, RECT* out) const {
    if (out == nullptr || (!Valid(index) && !(index == 0 && items_.empty()))) return LB_ERR;
    RECT client;
    GetClientRect(Window(), &client);
    *out = RECT{0, (index - top_) * itemHeight_, client.right, (index - top_ + 1) * itemHeight_};
    return LB_OKAY;
  }

  // ---- painting ----------------------------------------------------------

  void Paint() {
    PaintScope paint(*this);
    HDC dc = paint.dc();
    if (dc == nullptr) return;
    HBRUSH background = ParentBrush(Sender(), dc, WM_CTLCOLORLISTBOX, COLOR_WINDOW);
    FillRect(dc, &paint.client(), background);
    const COLORREF text = GetTextColor(dc);
    for (int i = top_; i < Count() && (i - top_) * itemHeight_ < paint.client().bottom; ++i) {
      RECT row;
      ItemRect(i, &row);
      if (OwnerDrawn()) PaintOwnerDrawn(dc, i, row);
      else PaintRow(dc, i, row, text);
    }
  }

  void PaintRow(HDC dc, int index, RECT row, COLORREF text) {
    const bool selected = IsSelected(index);
    if (selected) FillRect(dc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
    RECT inner = row;
    inner.left += 2;
    DrawText(dc, items_[index].text, &inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (focused_ && index == caret_) DrawFocusRect(dc, &row);
  }

  void PaintOwnerDrawn(HDC dc, int index, const RECT& row) {
    DRAWITEMSTRUCT item;
    item.CtlType = OwnerType();
    item.CtlID = SenderId();
    item.itemID = static_cast<UINT>(index);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = (IsSelected(index) ? ODS_SELECTED : 0) | (focused_ && index == caret_ ? ODS_FOCUS : 0) |
                     (IsWindowEnabled(Window()) ? 0 : ODS_DISABLED);
    item.hwndItem = Sender();
    item.hDC = dc;
    item.rcItem = row;
    item.itemData = items_[index].data;
    if (HWND target = DrawTarget()) SendMessage(target, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  }

  std::vector<Item> items_;
  int current_ = -1;  // single selection
  int caret_ = -1;
  int anchor_ = -1;
  int top_ = 0;
  int itemHeight_ = 16;
  bool focused_ = false;
  bool dragging_ = false;
  bool wantsBar_ = false;
  HWND combo_ = nullptr;
  std::vector<bool> selectionAtPress_;
};

}  // namespace

void RegisterListBoxClasses() {
  RegisterControlClass<ListBox>(WC_LISTBOX, CS_DBLCLKS);
  RegisterControlClass<ListBox>(kComboListClass, 0);
}

}  // namespace qelo::win::controls
