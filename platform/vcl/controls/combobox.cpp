#include "vcl/controls/combobox.h"

#include <algorithm>
#include <unordered_map>

#include "vcl/controls/forms.h"
#include "win/controls/combobox.h"
#include "win/codepage.h"
#include "win/controls/edit.h"

namespace qelo::vcl {

const EnumInfo kComboBoxStyleInfo{"TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed"}};

namespace {

// Children of combo boxes (edit fields and drop-down lists), by handle; GUI
// thread only.
std::unordered_map<win::HWND, TCustomComboBox*>& ChildTable() {
  static std::unordered_map<win::HWND, TCustomComboBox*> table;
  return table;
}

bool IsKeyMessage(UINT msg) { return msg >= win::WM_KEYDOWN && msg <= win::WM_SYSCHAR; }

// The case the edit field gives letters (ASCII, as the edit converts them).
std::string InCase(std::string text, TEditCharCase charCase) {
  for (char& c : text) {
    if (charCase == ecUpperCase && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (charCase == ecLowerCase && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

win::LRESULT ComboChildWindowProc(win::HWND window, win::UINT msg, win::WPARAM w, win::LPARAM l) {
  auto it = ChildTable().find(window);
  if (it == ChildTable().end()) return win::DefWindowProc(window, msg, w, l);
  TCustomComboBox* combo = it->second;
  TMessage m{msg, w, l, 0};
  try {
    combo->ChildMessage(window, m);
  } catch (...) {
    Application()->HandleException(combo);
  }
  if (msg == win::WM_NCDESTROY) {
    ChildTable().erase(window);
    if (combo->edit_.window == window) combo->edit_ = {};
    if (combo->list_.window == window) combo->list_ = {};
  }
  return m.Result;
}

const ClassInfo& TCustomComboBox::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCustomComboBox>("TCustomComboBox", TWinControl::StaticClass()).Done();
  return info;
}

const ClassInfo& TComboBox::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TComboBox>("TComboBox", TCustomComboBox::StaticClass())
          .Enum("Style", kComboBoxStyleInfo, &TComboBox::Style, &TComboBox::SetStyle)
          .Object<TStrings>("Items", &TComboBox::Items)
          .Integer("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex)
          .Integer("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount)
          .Integer("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight)
          .Boolean("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted)
          .Integer("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength)
          .String("TextHint", &TComboBox::TextHint, &TComboBox::SetTextHint)
          .Boolean("AutoComplete", &TComboBox::AutoComplete, &TComboBox::SetAutoComplete)
          .Boolean("AutoDropDown", &TComboBox::AutoDropDown, &TComboBox::SetAutoDropDown)
          .Boolean("AutoCloseUp", &TComboBox::AutoCloseUp, &TComboBox::SetAutoCloseUp)
          .Enum("CharCase", kEditCharCaseInfo, &TComboBox::CharCase, &TComboBox::SetCharCase)
          .Event("OnChange", static_cast<TNotifyEvent TComboBox::*>(&TComboBox::OnChange))
          .Event("OnSelect", static_cast<TNotifyEvent TComboBox::*>(&TComboBox::OnSelect))
          .Event("OnDropDown", static_cast<TNotifyEvent TComboBox::*>(&TComboBox::OnDropDown))
          .Event("OnCloseUp", static_cast<TNotifyEvent TComboBox::*>(&TComboBox::OnCloseUp))
          .Event("OnDrawItem", static_cast<TDrawItemEvent TComboBox::*>(&TComboBox::OnDrawItem))
          .Event("OnMeasureItem", static_cast<TMeasureItemEvent TComboBox::*>(&TComboBox::OnMeasureItem))
          // Older form files carry these; the classic combo box has no use for them.
          .Skip("ImeMode")
          .Skip("ImeName")
          .Done();
  return info;
}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(new TNativeListStrings(*this, kComboBoxMessages)), canvas_(new TCanvas) {
  // Clicks come from the window's selection changes, not from the mouse.
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetParentColor(false);  // its own clWindow, not the parent's colour
}

TCustomComboBox::~TCustomComboBox() {
  // The window goes first, while the list still lives.
  DestroyHandle();
  delete items_;
  delete canvas_;
}

LRESULT TCustomComboBox::Send(UINT msg, WPARAM w, LPARAM l) const {
  return win::SendMessage(WindowHandle(), msg, w, l);
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = win::WC_COMBOBOX;
  p.Style |= win::CBS_AUTOHSCROLL;  // the drop-down list has its own scroll bar
  switch (style_) {
    case csDropDown:
    case csSimple: p.Style |= win::CBS_DROPDOWN; break;
    case csDropDownList: p.Style |= win::CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: p.Style |= win::CBS_DROPDOWNLIST | win::CBS_OWNERDRAWFIXED | win::CBS_HASSTRINGS; break;
  }
  if (sorted_) p.Style |= win::CBS_SORT;
}

void TCustomComboBox::CreateWnd() {
  const win::INITCOMMONCONTROLSEX classes{sizeof(win::INITCOMMONCONTROLSEX), win::ICC_STANDARD_CLASSES};
  win::InitCommonControlsEx(&classes);
  TWinControl::CreateWnd();
  SendFontToWindow(*this, false);
  AttachChildren();
  items_->WindowMade();
  Send(win::CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_));
  if (maxLength_ > 0) Send(win::CB_LIMITTEXT, static_cast<WPARAM>(maxLength_));
  if (!textHint_.empty()) Send(win::CB_SETCUEBANNER, 0, reinterpret_cast<LPARAM>(textHint_.c_str()));
  // The edit field took the text when it was made; a chosen item shows its own.
  if (itemIndex_ >= 0) Send(win::CB_SETCURSEL, static_cast<WPARAM>(itemIndex_));
  TakeWindowText();
  ApplyCharCase();
}

void TCustomComboBox::DestroyWnd() {
  if (Live()) {
    itemIndex_ = static_cast<int>(Send(win::CB_GETCURSEL));
    items_->WindowGoing();
  }
  // The children go with the window: each is handed back to its own
  // procedure first, so that it is torn down as it was made.
  Release(edit_);
  Release(list_);
  editTracked_ = false;
  // The items live on in the control: their data is not deleted with the
  // window.
  TFlagScope going(windowGoing_);
  TWinControl::DestroyWnd();
}

// The children's messages come to the control first.
void TCustomComboBox::AttachChildren() {
  win::COMBOBOXINFO info;
  if (!Send(win::CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info))) return;
  if (info.hwndItem && info.hwndItem != WindowHandle()) edit_ = Subclass(info.hwndItem);
  if (info.hwndList) list_ = Subclass(info.hwndList);
}

TCustomComboBox::Child TCustomComboBox::Subclass(win::HWND window) {
  ChildTable()[window] = this;
  const auto previous = win::SetWindowLongPtr(window, win::GWLP_WNDPROC,
                                              reinterpret_cast<win::LONG_PTR>(&ComboChildWindowProc));
  return Child{window, reinterpret_cast<win::WNDPROC>(previous)};
}

void TCustomComboBox::Release(Child& child) {
  if (!child.window) return;
  win::SetWindowLongPtr(child.window, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(child.defaultProc));
  ChildTable().erase(child.window);
  child = {};
}

// ---- properties ------------------------------------------------------------------------

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
  if (style == style_) return;
  style_ = style;
  RecreateWnd();
}

int TCustomComboBox::ItemIndex() const { return Live() ? static_cast<int>(Send(win::CB_GETCURSEL)) : itemIndex_; }

void TCustomComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_->Count()) index = -1;
  if (!Live()) {
    itemIndex_ = index;
    takingText_ = true;
    SetText(index >= 0 ? items_->Get(index) : std::string());
    takingText_ = false;
    return;
  }
  if (index == ItemIndex()) return;
  Send(win::CB_SETCURSEL, static_cast<WPARAM>(index));
  TakeWindowText();
}

void TCustomComboBox::SetDropDownCount(int value) {
  if (value < 1) value = 1;
  if (value == dropDownCount_) return;
  dropDownCount_ = value;
  if (Live()) Send(win::CB_SETMINVISIBLE, static_cast<WPARAM>(value));
}

int TCustomComboBox::ItemHeight() const {
  if (Live() && !OwnerDrawn()) return static_cast<int>(Send(win::CB_GETITEMHEIGHT, 0));
  return itemHeight_;
}

void TCustomComboBox::SetItemHeight(int value) {
  if (value < 1 || value == itemHeight_) return;
  itemHeight_ = value;
  if (!Live() || !OwnerDrawn()) return;
  Send(win::CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), value);
  Send(win::CB_SETITEMHEIGHT, 0, value);
}

bool TCustomComboBox::DroppedDown() const { return Live() && Send(win::CB_GETDROPPEDSTATE) != 0; }

void TCustomComboBox::SetDroppedDown(bool value) {
  HandleNeeded();
  Send(win::CB_SHOWDROPDOWN, value ? 1 : 0);
}

void TCustomComboBox::SetSorted(bool value) {
  if (value == sorted_) return;
  sorted_ = value;
  items_->SetSorted(value);
  RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int value) {
  if (value < 0) value = 0;
  if (value == maxLength_) return;
  maxLength_ = value;
  if (Live()) Send(win::CB_LIMITTEXT, static_cast<WPARAM>(value));
}

void TCustomComboBox::SetTextHint(const std::string& value) {
  if (value == textHint_) return;
  textHint_ = value;
  if (Live()) Send(win::CB_SETCUEBANNER, 0, reinterpret_cast<LPARAM>(textHint_.c_str()));
}

void TCustomComboBox::SetCharCase(TEditCharCase value) {
  if (value == charCase_) return;
  charCase_ = value;
  ApplyCharCase();
}

// The edit field converts typed letters by its style; the text it shows
// now is converted once.
void TCustomComboBox::ApplyCharCase() {
  if (!edit_.window) return;
  auto style = static_cast<win::DWORD>(win::GetWindowLongPtr(edit_.window, win::GWL_STYLE));
  style &= ~(win::ES_UPPERCASE | win::ES_LOWERCASE);
  if (charCase_ == ecUpperCase) style |= win::ES_UPPERCASE;
  if (charCase_ == ecLowerCase) style |= win::ES_LOWERCASE;
  win::SetWindowLongPtr(edit_.window, win::GWL_STYLE, style);
  if (charCase_ != ecNormal) SetText(InCase(Text(), charCase_));
}

int TCustomComboBox::SelStart() const {
  if (!edit_.window) return 0;
  win::DWORD start = 0;
  win::SendMessage(edit_.window, win::EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int>(start);
}

int TCustomComboBox::SelLength() const {
  if (!edit_.window) return 0;
  win::DWORD start = 0, end = 0;
  win::SendMessage(edit_.window, win::EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomComboBox::SetSelStart(int value) {
  if (edit_.window) win::SendMessage(edit_.window, win::EM_SETSEL, static_cast<WPARAM>(value), value);
}

void TCustomComboBox::SetSelLength(int value) {
  if (!edit_.window) return;
  const int start = SelStart();
  win::SendMessage(edit_.window, win::EM_SETSEL, static_cast<WPARAM>(start), start + value);
}

void TCustomComboBox::SelectAll() {
  if (edit_.window) win::SendMessage(edit_.window, win::EM_SETSEL, 0, -1);
}

bool TCustomComboBox::Focused() const {
  const win::HWND focus = win::GetFocus();
  return Live() && focus && (focus == WindowHandle() || focus == edit_.window);
}

// ---- events ----------------------------------------------------------------------------

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}
void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
}
void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}
void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (OnDrawItem) OnDrawItem(this, index, rect, state);
  else DrawItemText(*canvas_, rect, items_->Get(index));
}

void TCustomComboBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

// The window changed its text: the control's text follows without writing
// it back.
void TCustomComboBox::TakeWindowText() {
  if (!Live()) return;
  TFlagScope taking(takingText_);
  SetText(win::GetWindowText(WindowHandle()));
}

// A choice of the user in the list (keys, wheel, drop-down): OnClick,
// OnSelect, then OnChange.
void TCustomComboBox::SelectionChanged() {
  TakeWindowText();
  Click();
  Select();
  Change();
}

void TCustomComboBox::Command(UINT code) {
  switch (code) {
    case win::CBN_SELCHANGE:
      SelectionChanged();
      // A key chose an item in the open list.
      if (autoCloseUp_ && DroppedDown()) SetDroppedDown(false);
      return;
    case win::CBN_EDITCHANGE:
      TakeWindowText();
      return Change();
    case win::CBN_DROPDOWN: return DropDown();
    case win::CBN_CLOSEUP: return CloseUp();
    default: return;
  }
}

// ---- typed keys ------------------------------------------------------------------------

void TCustomComboBox::KeyPress(char16_t& key) {
  TWinControl::KeyPress(key);
  if (key == 0) return;
  DropDownForKey(key);
  if (autoComplete_) CompleteTyped(key);
}

void TCustomComboBox::DropDownForKey(char16_t key) {
  if (!autoDropDown_ || !Live()) return;
  if (key == win::VK_TAB) {
    if (DroppedDown()) SetDroppedDown(false);
  } else if (key != win::VK_BACK && key != win::VK_ESCAPE && !DroppedDown()) {
    SetDroppedDown(true);
  }
}

// An edit field completes its text with the typed character to the first
// item that starts with it; a list-style box chooses the first item that
// starts with the letters typed without a pause. A key that completes is
// taken.
void TCustomComboBox::CompleteTyped(char16_t& key) {
  if (!Live()) return;
  if (!edit_.window) {
    const win::DWORD now = win::GetTickCount();
    if (now - lastTyped_ >= kComboAutoCompleteDelay) filter_.clear();
    lastTyped_ = now;
    if (key == win::VK_BACK) {
      std::u16string typed = win::Utf8ToUtf16(filter_);
      if (!typed.empty()) typed.pop_back();
      filter_ = win::Utf16ToUtf8(typed);
      return;
    }
  }
  if (key < 32) return;
  std::string typed;
  if (edit_.window) {
    std::u16string text = win::Utf8ToUtf16(Text());
    const auto start = static_cast<size_t>(std::clamp(SelStart(), 0, static_cast<int>(text.size())));
    const auto length = std::min(static_cast<size_t>(std::max(SelLength(), 0)), text.size() - start);
    text.replace(start, length, 1, key);
    typed = win::Utf16ToUtf8(text);
  } else {
    typed = filter_ + win::Utf16ToUtf8(std::u16string(1, key));
  }
  if (SelectMatch(typed)) key = 0;
}

bool TCustomComboBox::SelectMatch(const std::string& typed) {
  if (typed.empty()) return false;
  const auto found = static_cast<int>(Send(win::CB_FINDSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(typed.c_str())));
  if (found < 0) return false;
  const bool changed = found != ItemIndex();
  Send(win::CB_SETCURSEL, static_cast<WPARAM>(found));
  if (edit_.window) {
    // The typed part stays as typed; the rest of the item follows, selected.
    const std::u16string head = win::Utf8ToUtf16(typed);
    const std::u16string item = win::Utf8ToUtf16(items_->Get(found));
    const std::u16string whole = head + item.substr(std::min(head.size(), item.size()));
    SetText(win::Utf16ToUtf8(whole));
    win::SendMessage(edit_.window, win::EM_SETSEL, static_cast<WPARAM>(head.size()), static_cast<LPARAM>(whole.size()));
  } else {
    filter_ = typed;
  }
  if (changed) SelectionChanged();
  return true;
}

// ---- messages --------------------------------------------------------------------------

void TCustomComboBox::ChildMessage(win::HWND window, TMessage& m) {
  if (window == edit_.window) EditWndProc(m);
  else if (window == list_.window) ListWndProc(m);
}

void TCustomComboBox::EditWndProc(TMessage& m) { ComboWndProc(m, edit_.window, edit_.defaultProc); }

void TCustomComboBox::ListWndProc(TMessage& m) { ComboWndProc(m, list_.window, list_.defaultProc); }

void TCustomComboBox::ComboWndProc(TMessage& m, win::HWND child, win::WNDPROC childDefault) {
  if (IsKeyMessage(m.Msg)) {
    const Child outer = childKey_;
    childKey_ = Child{child, childDefault};
    try {
      WindowProc(m);
    } catch (...) {
      childKey_ = outer;
      throw;
    }
    childKey_ = outer;
    return;
  }
  if (child == edit_.window) {
    if (m.Msg == win::WM_SETFOCUS) {
      if (TCustomForm* form = ParentForm()) form->SetFocusedControl(this);
    }
    if (m.Msg == win::WM_MOUSEMOVE || m.Msg == win::WM_MOUSELEAVE) ChildMouse(m, child);
  }
  CallChildDefault(m, child, childDefault);
}

// The pointer over the edit field is over the control: the field's moves
// make it the control under the mouse, and leaving the field for anywhere
// but the control's own window ends that.
void TCustomComboBox::ChildMouse(TMessage& m, win::HWND child) {
  if (m.Msg == win::WM_MOUSEMOVE) {
    const win::HWND capture = win::GetCapture();
    if (capture == nullptr || capture == WindowHandle() || capture == child) Application()->SetMouseControl(this);
    if (!editTracked_) {
      win::TRACKMOUSEEVENT track;
      track.dwFlags = win::TME_LEAVE;
      track.hwndTrack = child;
      editTracked_ = win::TrackMouseEvent(&track) != 0;
    }
    return;
  }
  editTracked_ = false;
  win::POINT p;
  const win::HWND under = win::GetCursorPos(&p) ? win::WindowFromPoint(p) : nullptr;
  const bool stillOver = under && (under == WindowHandle() || win::IsChild(WindowHandle(), under));
  if (!stillOver && Application()->MouseControl() == this) Application()->SetMouseControl(nullptr);
}

void TCustomComboBox::CallChildDefault(TMessage& m, win::HWND child, win::WNDPROC childDefault) {
  if (!child || !childDefault) return;
  if (!IsKeyMessage(m.Msg)) {
    m.Result = win::CallWindowProc(childDefault, child, m.Msg, m.WParam, m.LParam);
    return;
  }
  TFlagScope passing(inChildDefault_);
  m.Result = win::CallWindowProc(childDefault, child, m.Msg, m.WParam, m.LParam);
}

void TCustomComboBox::WndProc(TMessage& m) {
  // A child's procedure hands some keys on to the combo box window: the
  // framework has seen them already.
  if (inChildDefault_ && IsKeyMessage(m.Msg)) return TWinControl::DefaultHandler(m);
  // The items of a window that goes live on in the control.
  if (m.Msg == CN_DELETEITEM && windowGoing_) return;
  TWinControl::WndProc(m);
}

// Keys of a child that the framework left over go to the child.
void TCustomComboBox::DefaultHandler(TMessage& m) {
  if (childKey_.window && IsKeyMessage(m.Msg)) return CallChildDefault(m, childKey_.window, childKey_.defaultProc);
  TWinControl::DefaultHandler(m);
}

void TCustomComboBox::Dispatch(TMessage& m) {
  if (brush_.AnswerColorRequest(*this, m)) return;
  switch (m.Msg) {
    case CN_COMMAND: return Command(win::HIWORD(m.WParam));
    case CN_DRAWITEM:
      PaintOwnerDrawnItem(*this, *canvas_, *reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam),
                          [this](int index, const TRect& r, TOwnerDrawState state) { DrawItem(index, r, state); });
      m.Result = 1;
      return;
    case CN_MEASUREITEM:
      MeasureOwnerDrawnItem(*reinterpret_cast<win::MEASUREITEMSTRUCT*>(m.LParam), itemHeight_,
                            [this](int index, int& height) { MeasureItem(index, height); });
      m.Result = 1;
      return;
    case CM_TEXTCHANGED:
      if (takingText_) return;
      TWinControl::Dispatch(m);
      // A list-style box shows only its items: the text is what it shows.
      TakeWindowText();
      return;
    case CM_FONTCHANGED:
      SendFontToWindow(*this, true);
      TWinControl::Dispatch(m);
      return;
    case win::WM_CTLCOLOREDIT:
    case win::WM_CTLCOLORSTATIC:  // a read-only edit field asks so
      // The edit field is the control's: it shows the control's colours.
      if (edit_.window && reinterpret_cast<win::HWND>(m.LParam) == edit_.window) {
        m.Result = brush_.Answer(*this, m);
        return;
      }
      return TWinControl::Dispatch(m);
    case CM_COLORCHANGED:
      TWinControl::Dispatch(m);
      // The edit field asks for its colour when it paints.
      if (edit_.window) win::InvalidateRect(edit_.window, nullptr, 1);
      return;
    default: TWinControl::Dispatch(m);
  }
}

}  // namespace qelo::vcl
