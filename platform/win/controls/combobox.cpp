// Combo boxes. The items live in the drop-down list, a list box in a
// popup window that the combo box makes and owns; the combo box keeps the
// chosen index and mirrors its text into its own window text. Dropping
// down hands the pointer to the list (capture) while the keyboard stays
// with the combo box or its edit child, which the combo box subclasses for
// the keys that work the list.
#include "win/controls/combobox.h"

#include <algorithm>

#include "controls/combo_list.h"
#include "controls/control.h"
#include "win/controls/edit.h"
#include "win/controls/listbox.h"

namespace qelo::win::controls {
namespace {

constexpr int kEdge = 2;

LRESULT ComboEditProc(HWND edit, UINT message, WPARAM w, LPARAM l);

class ComboBox : public ControlBase {
 public:
  using ControlBase::ControlBase;

  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override {
    LRESULT result = 0;
    if (HandleFont(message, w, l, &result)) {
      if (message == WM_SETFONT) FontChanged(w, l);
      return result;
    }
    switch (message) {
      case WM_CREATE: return Create(reinterpret_cast<const CREATESTRUCT*>(l));
      case WM_DESTROY:
        if (list_) DestroyWindow(list_);
        list_ = nullptr;
        return 0;
      case WM_PAINT: Paint(); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_SIZE: LayoutEdit(); return DefWindowProc(Window(), message, w, l);
      case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
      case WM_SETTEXT: return SetTextFromOutside(reinterpret_cast<const char*>(l));
      case WM_ENABLE:
        if (edit_) EnableWindow(edit_, w != 0);
        Repaint();
        return 0;
      case WM_SETFOCUS:
        if (edit_) SetFocus(edit_);
        else FocusChanged(true);
        return 0;
      case WM_KILLFOCUS:
        if (!edit_ || reinterpret_cast<HWND>(w) != edit_) FocusChanged(false);
        return 0;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: MouseDown(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}); return 0;
      case WM_MOUSEWHEEL: Wheel(GET_WHEEL_DELTA_WPARAM(w)); return 0;
      case WM_KEYDOWN: KeyDown(static_cast<int>(w)); return 0;
      case WM_SYSKEYDOWN:
        if (w == VK_DOWN || w == VK_UP) return KeyDown(VK_F4);  // Alt+arrow opens or closes the list
        return DefWindowProc(Window(), message, w, l);
      case WM_CHAR: TypeSearch(static_cast<char16_t>(w)); return 0;
      case WM_COMMAND: ChildCommand(reinterpret_cast<HWND>(l), HIWORD(w)); return 0;
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORSTATIC:  // the edit child asks: the box's parent answers for both
        if (HWND parent = GetParent(Window())) return SendMessage(parent, message, w, l);
        return 0;
      case CB_ADDSTRING: return Inserted(List(LB_ADDSTRING, 0, l));
      case CB_INSERTSTRING: return Inserted(List(LB_INSERTSTRING, w, l));
      case CB_DELETESTRING: return Deleted(static_cast<int>(w));
      case CB_RESETCONTENT: Reset(); return CB_OKAY;
      case CB_GETCOUNT: return List(LB_GETCOUNT, 0, 0);
      case CB_GETLBTEXT: return List(LB_GETTEXT, w, l);
      case CB_GETLBTEXTLEN: return List(LB_GETTEXTLEN, w, l);
      case CB_GETITEMDATA: return List(LB_GETITEMDATA, w, l);
      case CB_SETITEMDATA: return List(LB_SETITEMDATA, w, l);
      case CB_FINDSTRING: return List(LB_FINDSTRING, w, l);
      case CB_FINDSTRINGEXACT: return List(LB_FINDSTRINGEXACT, w, l);
      case CB_GETTOPINDEX: return List(LB_GETTOPINDEX, 0, 0);
      case CB_SETTOPINDEX: return List(LB_SETTOPINDEX, w, 0);
      case CB_SELECTSTRING: return SelectString(static_cast<int>(w), l);
      case CB_SETCURSEL: return SetCurSel(static_cast<int>(w));
      case CB_GETCURSEL: return selected_;
      case CB_SHOWDROPDOWN:
        if (w) DropDown();
        else CloseUp(false);
        return 1;
      case CB_GETDROPPEDSTATE: return dropped_ ? 1 : 0;
      case CB_SETDROPPEDWIDTH:
        if (static_cast<int>(w) < 0) return CB_ERR;
        droppedWidth_ = static_cast<int>(w);
        return DroppedWidth();
      case CB_GETDROPPEDWIDTH: return DroppedWidth();
      case CB_GETDROPPEDCONTROLRECT:
        if (l == 0) return CB_ERR;
        *reinterpret_cast<RECT*>(l) = DropRect();
        return 1;
      case CB_SETITEMHEIGHT: return SetItemHeight(static_cast<int>(w), static_cast<int>(l));
      case CB_GETITEMHEIGHT: return static_cast<int>(w) == -1 ? fieldItemHeight_ : List(LB_GETITEMHEIGHT, 0, 0);
      case CB_SETEXTENDEDUI: extendedUi_ = w != 0; return CB_OKAY;
      case CB_GETEXTENDEDUI: return extendedUi_ ? 1 : 0;
      case CB_SETMINVISIBLE:
        if (static_cast<int>(w) < 1) return 0;
        minVisible_ = static_cast<int>(w);
        return 1;
      case CB_GETMINVISIBLE: return minVisible_;
      case CB_GETEDITSEL: return edit_ ? SendMessage(edit_, EM_GETSEL, w, l) : CB_ERR;
      case CB_SETEDITSEL:
        if (!edit_) return CB_ERR;
        SendMessage(edit_, EM_SETSEL, static_cast<WPARAM>(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(l)))),
                    static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(l))));
        return 1;
      case CB_LIMITTEXT: return edit_ ? (SendMessage(edit_, EM_LIMITTEXT, w, 0), 1) : CB_ERR;
      case CB_SETCUEBANNER: return edit_ ? SendMessage(edit_, EM_SETCUEBANNER, 0, l) : 0;
      case CB_GETCOMBOBOXINFO: return Info(reinterpret_cast<COMBOBOXINFO*>(l));
      default: return DefWindowProc(Window(), message, w, l);
    }
  }

  WNDPROC editProcedure = nullptr;

 private:
  bool HasEdit() const { return (Style() & CBS_DROPDOWNLIST) != CBS_DROPDOWNLIST; }
  bool OwnerDrawn() const { return (Style() & CBS_OWNERDRAWFIXED) != 0; }
  LRESULT List(UINT message, WPARAM w, LPARAM l) const { return list_ ? SendMessage(list_, message, w, l) : CB_ERR; }
  int Count() const { return static_cast<int>(List(LB_GETCOUNT, 0, 0)); }

  std::string ItemText(int index) const {
    if (index < 0 || index >= Count() || (OwnerDrawn() && !(Style() & CBS_HASSTRINGS))) return {};
    std::string text(static_cast<size_t>(std::max<LRESULT>(0, List(LB_GETTEXTLEN, index, 0))) + 1, '\0');
    List(LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(text.size() - 1);
    return text;
  }

  // ---- creation and layout -----------------------------------------------

  LRESULT Create(const CREATESTRUCT* create) {
    DWORD listStyle = WS_POPUP | WS_BORDER | WS_VSCROLL;
    if (create->style & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
    if (create->style & CBS_HASSTRINGS) listStyle |= LBS_HASSTRINGS;
    if (create->style & CBS_SORT) listStyle |= LBS_SORT;
    list_ = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kComboListClass, "", listStyle, 0, 0, 100, 100, nullptr,
                           Window());
    if (list_ == nullptr) return -1;
    SetWindowLongPtr(list_, GWLP_ID, kComboListId);
    if (HasEdit()) {
      edit_ = CreateWindowEx(0, WC_EDIT, create->lpszName, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 10, 10,
                             Window(), nullptr);
      if (edit_ == nullptr) return -1;
      SetWindowLongPtr(edit_, GWLP_ID, kComboEditId);
      editProcedure = reinterpret_cast<WNDPROC>(
          SetWindowLongPtr(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboEditProc)));
    }
    MeasureField();
    return 0;
  }

  // The selection field's height: the font's, or what the parent says for
  // an owner-drawn box (WM_MEASUREITEM for item -1). The window takes the
  // field's height; the list shows below it.
  void MeasureField() {
    fieldItemHeight_ = FontHeight() + 2;
    if (OwnerDrawn()) {
      MEASUREITEMSTRUCT measure;
      measure.CtlType = ODT_COMBOBOX;
      measure.CtlID = Id();
      measure.itemID = static_cast<UINT>(-1);
      measure.itemHeight = static_cast<UINT>(fieldItemHeight_);
      if (HWND parent = GetParent(Window())) SendMessage(parent, WM_MEASUREITEM, measure.CtlID, reinterpret_cast<LPARAM>(&measure));
      if (measure.itemHeight > 0) fieldItemHeight_ = static_cast<int>(measure.itemHeight);
    }
    FitHeight();
  }

  void FitHeight() {
    RECT r;
    GetWindowRect(Window(), &r);
    SetWindowPos(Window(), nullptr, 0, 0, r.right - r.left, fieldItemHeight_ + 2 * kEdge + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutEdit();
  }

  RECT ButtonRect() const {
    RECT c;
    GetClientRect(Window(), &c);
    return RECT{std::max(kEdge, c.right - kEdge - GetSystemMetrics(SM_CXVSCROLL)), kEdge, c.right - kEdge,
                c.bottom - kEdge};
  }

  RECT FieldRect() const {
    RECT c;
    GetClientRect(Window(), &c);
    return RECT{kEdge, kEdge, ButtonRect().left, c.bottom - kEdge};
  }

  void LayoutEdit() {
    if (!edit_) return;
    RECT f = FieldRect();
    MoveWindow(edit_, f.left + 1, f.top + 1, std::max(0, f.right - f.left - 2), std::max(0, f.bottom - f.top - 2), 1);
  }

  void FontChanged(WPARAM font, LPARAM redraw) {
    if (list_) SendMessage(list_, WM_SETFONT, font, 0);
    if (edit_) SendMessage(edit_, WM_SETFONT, font, redraw);
    MeasureField();
  }

  LRESULT SetItemHeight(int index, int height) {
    if (height <= 0 || height > 255) return CB_ERR;
    if (index != -1) return List(LB_SETITEMHEIGHT, 0, height);
    fieldItemHeight_ = height;
    FitHeight();
    Repaint();
    return CB_OKAY;
  }

  int DroppedWidth() const {
    RECT r;
    GetWindowRect(Window(), &r);
    return std::max(droppedWidth_, static_cast<int>(r.right - r.left));
  }

  RECT DropRect() const {
    RECT r;
    GetWindowRect(Window(), &r);
    const int rows = std::clamp(Count(), 1, minVisible_);
    const int height = rows * static_cast<int>(List(LB_GETITEMHEIGHT, 0, 0)) + 2;
    return RECT{r.left, r.bottom, r.left + DroppedWidth(), r.bottom + height};
  }

  LRESULT Info(COMBOBOXINFO* info) const {
    if (info == nullptr || info->cbSize != sizeof(COMBOBOXINFO)) return 0;
    info->rcItem = FieldRect();
    info->rcButton = ButtonRect();
    info->stateButton = dropped_ ? STATE_SYSTEM_PRESSED : 0;
    info->hwndCombo = Window();
    info->hwndItem = edit_ ? edit_ : Window();
    info->hwndList = list_;
    return 1;
  }

  // ---- items and selection ---------------------------------------------

  LRESULT Inserted(LRESULT index) {
    if (index >= 0 && selected_ >= index) ++selected_;
    return index;
  }

  LRESULT Deleted(int index) {
    const LRESULT left = List(LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    if (left == LB_ERR) return CB_ERR;
    if (index == selected_) Select(-1);
    else if (index < selected_) --selected_;
    return left;
  }

  void Reset() {
    List(LB_RESETCONTENT, 0, 0);
    selected_ = -1;
    ShowText("");
  }

  LRESULT SetCurSel(int index) {
    if (index < -1 || index >= Count()) index = -1;
    Select(index);
    return index == -1 ? CB_ERR : index;
  }

  LRESULT SelectString(int start, LPARAM text) {
    const LRESULT found = List(LB_FINDSTRING, static_cast<WPARAM>(start), text);
    if (found == LB_ERR) return CB_ERR;
    Select(static_cast<int>(found));
    return found;
  }

  // Makes `index` the chosen item and shows its text.
  void Select(int index) {
    selected_ = index;
    List(LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowText(ItemText(index));
    if (edit_ && index >= 0) SendMessage(edit_, EM_SETSEL, 0, -1);
    Repaint();
  }

  // A choice of the user: the parent hears CBN_SELCHANGE when it changed.
  void UserSelects(int index) {
    index = std::clamp(index, 0, Count() - 1);
    if (index == selected_) return;
    Select(index);
    SendCommandNotify(Window(), CBN_SELCHANGE);
  }

  void ShowText(const std::string& text) {
    mirroring_ = true;
    if (edit_) SetWindowText(edit_, text);
    SetWindowText(Window(), text);
    mirroring_ = false;
  }

  LRESULT SetTextFromOutside(const char* text) {
    if (mirroring_) return 1;
    const std::string wanted = text ? text : "";
    if (edit_) {
      mirroring_ = true;
      SetWindowText(edit_, wanted);
      mirroring_ = false;
      return 1;
    }
    const LRESULT found = List(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wanted.c_str()));
    if (found == LB_ERR && !wanted.empty()) {
      ShowText(ItemText(selected_));  // a list-style box shows only its items
      return CB_ERR;
    }
    Select(static_cast<int>(found));
    return 1;
  }

  // ---- the drop-down list ------------------------------------------------

  void DropDown() {
    if (dropped_ || !list_) return;
    SendCommandNotify(Window(), CBN_DROPDOWN);
    if (!IsWindow(Window()) || !list_) return;
    const RECT r = DropRect();
    SetWindowPos(list_, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    List(LB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
    dropped_ = true;
    SetCapture(list_);
    Repaint();
  }

  // Closes the list; a choice takes the highlighted item.
  void CloseUp(bool choose) {
    if (!dropped_) return;
    dropped_ = false;
    if (GetCapture() == list_) ReleaseCapture();
    ShowWindow(list_, SW_HIDE);
    if (choose) {
      const int highlighted = static_cast<int>(List(LB_GETCURSEL, 0, 0));
      SendCommandNotify(Window(), CBN_SELENDOK);
      if (highlighted >= 0) UserSelects(highlighted);
    } else {
      List(LB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
      SendCommandNotify(Window(), CBN_SELENDCANCEL);
    }
    if (IsWindow(Window())) SendCommandNotify(Window(), CBN_CLOSEUP);
    Repaint();
  }

  void ChildCommand(HWND child, UINT code) {
    if (child == list_) {
      if (code == kListChosen) CloseUp(true);
      else if (code == kListCancelled) CloseUp(false);
      return;
    }
    if (child != edit_ || !edit_) return;
    switch (code) {
      case EN_UPDATE:
        if (!mirroring_) SendCommandNotify(Window(), CBN_EDITUPDATE);
        break;
      case EN_CHANGE:
        if (mirroring_) break;
        mirroring_ = true;
        SetWindowText(Window(), GetWindowText(edit_));
        mirroring_ = false;
        SendCommandNotify(Window(), CBN_EDITCHANGE);
        break;
      case EN_SETFOCUS: FocusChanged(true); break;
      case EN_KILLFOCUS:
        if (GetFocus() != Window()) FocusChanged(false);
        break;
      default: break;
    }
  }

  // ---- pointer and keyboard ----------------------------------------------

  void MouseDown(POINT p) {
    if (GetFocus() != Window() && GetFocus() != edit_) SetFocus(Window());
    const RECT button = ButtonRect();
    if (edit_ && !PtInRect(&button, p)) return;
    if (dropped_) CloseUp(false);
    else DropDown();
  }

  void Wheel(int delta) {
    if (dropped_) {
      List(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<uint16_t>(delta)) << 16, 0);
      return;
    }
    if (Count() == 0) return;
    UserSelects(selected_ + (delta > 0 ? -1 : 1));
  }

  LRESULT KeyDown(int key) {
    if (key == VK_F4) {
      if (dropped_) CloseUp(true);
      else DropDown();
      return 0;
    }
    if (dropped_ && (key == VK_RETURN || key == VK_ESCAPE)) {
      CloseUp(key == VK_RETURN);
      return 0;
    }
    if (extendedUi_ && !dropped_ && key == VK_DOWN) {
      DropDown();
      return 0;
    }
    if (Count() == 0) return 0;
    const int from = selected_;
    switch (key) {
      case VK_UP: UserSelects(from < 0 ? 0 : from - 1); break;
      case VK_DOWN: UserSelects(from + 1); break;
      case VK_PRIOR: UserSelects(from - std::max(1, minVisible_ - 1)); break;
      case VK_NEXT: UserSelects(from + std::max(1, minVisible_ - 1)); break;
      case VK_HOME: if (!edit_) UserSelects(0); break;
      case VK_END: if (!edit_) UserSelects(Count() - 1); break;
      default: break;
    }
    return 0;
  }

  // Typed characters of a list-style box: one search while they come
  // within the pause; the same letter again steps through the items that
  // start with it.
  void TypeSearch(char16_t c) {
    if (edit_ || c < 32 || c > 126 || Count() == 0) return;
    const DWORD now = GetTickCount();
    if (now - lastTyped_ > kComboSearchPause) search_.clear();
    lastTyped_ = now;
    search_ += static_cast<char>(c);
    const bool repeated = std::all_of(search_.begin(), search_.end(), [&](char x) { return x == search_[0]; });
    LRESULT found = List(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(search_.c_str()));
    if (repeated && search_.size() > 1) {
      const std::string letter(1, search_[0]);
      found = List(LB_FINDSTRING, static_cast<WPARAM>(selected_), reinterpret_cast<LPARAM>(letter.c_str()));
    }
    if (found == LB_ERR) return;
    if (dropped_) List(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    UserSelects(static_cast<int>(found));
  }

  void FocusChanged(bool focused) {
    if (focused == focused_) return;
    focused_ = focused;
    if (!focused) {
      CloseUp(false);
      search_.clear();
    }
    Repaint();
    SendCommandNotify(Window(), focused ? CBN_SETFOCUS : CBN_KILLFOCUS);
  }

  // ---- painting ----------------------------------------------------------

  void Paint() {
    PaintScope paint(*this);
    HDC dc = paint.dc();
    if (dc == nullptr) return;
    RECT r = paint.client();
    HBRUSH field = ParentBrush(Window(), dc, WM_CTLCOLOREDIT, COLOR_WINDOW);
    FillRect(dc, &r, field);
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    RECT button = ButtonRect();
    const unsigned state = DFCS_SCROLLCOMBOBOX | (dropped_ ? DFCS_PUSHED | DFCS_FLAT : 0) |
                           (IsWindowEnabled(Window()) ? 0 : DFCS_INACTIVE);
    DrawFrameControl(dc, &button, DFC_SCROLL, state);
    if (edit_) return;
    RECT item = FieldRect();
    InflateRect(&item, -1, -1);
    const bool highlighted = focused_ && !dropped_;
    if (OwnerDrawn()) {
      PaintOwnerDrawnField(dc, item, highlighted);
      return;
    }
    if (highlighted) FillRect(dc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetBkMode(dc, TRANSPARENT);
    if (highlighted) SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    RECT text = item;
    text.left += 2;
    DrawText(dc, ItemText(selected_), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (highlighted) DrawFocusRect(dc, &item);
  }

  void PaintOwnerDrawnField(HDC dc, const RECT& item, bool highlighted) {
    DRAWITEMSTRUCT draw;
    draw.CtlType = ODT_COMBOBOX;
    draw.CtlID = Id();
    draw.itemID = static_cast<UINT>(selected_);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = ODS_COMBOBOXEDIT | (highlighted ? ODS_SELECTED | ODS_FOCUS : 0) |
                     (IsWindowEnabled(Window()) ? 0 : ODS_DISABLED);
    draw.hwndItem = Window();
    draw.hDC = dc;
    draw.rcItem = item;
    draw.itemData = selected_ >= 0 ? static_cast<UINT_PTR>(List(LB_GETITEMDATA, selected_, 0)) : 0;
    if (HWND parent = GetParent(Window())) SendMessage(parent, WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
  }

  HWND list_ = nullptr;
  HWND edit_ = nullptr;
  int selected_ = -1;
  int droppedWidth_ = 0;
  int minVisible_ = 30;
  int fieldItemHeight_ = 16;
  bool dropped_ = false;
  bool focused_ = false;
  bool extendedUi_ = false;
  bool mirroring_ = false;
  std::string search_;
  DWORD lastTyped_ = 0;
};

// The edit child of a CBS_DROPDOWN box hands the keys that work the list
// to the combo box.
LRESULT ComboEditProc(HWND edit, UINT message, WPARAM w, LPARAM l) {
  HWND combo = GetParent(edit);
  std::shared_ptr<ComboBox> box = ControlOf<ComboBox>(combo);
  const WNDPROC next = box ? box->editProcedure : nullptr;
  if (box && message == WM_KEYDOWN) {
    const bool dropped = SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
    const bool listKey = w == VK_UP || w == VK_DOWN || w == VK_PRIOR || w == VK_NEXT || w == VK_F4 ||
                         (dropped && (w == VK_RETURN || w == VK_ESCAPE));
    if (listKey) return SendMessage(combo, WM_KEYDOWN, w, l);
  }
  if (box && message == WM_SYSKEYDOWN && (w == VK_UP || w == VK_DOWN)) return SendMessage(combo, message, w, l);
  return next ? CallWindowProc(next, edit, message, w, l) : DefWindowProc(edit, message, w, l);
}

}  // namespace

void RegisterComboBoxClass() { RegisterControlClass<ComboBox>(WC_COMBOBOX, CS_DBLCLKS); }

}  // namespace qelo::win::controls
