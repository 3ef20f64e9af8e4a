#include "vcl/controls/combobox.h"

#include <unordered_map>

#include "vcl/controls/forms.h"
#include "win/controls/combobox.h"
#include "win/controls/edit.h"

namespace qelo::vcl {

const EnumInfo kComboBoxStyleInfo{"TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed"}};

namespace {

// Edit children of combo boxes, by handle; GUI thread only.
std::unordered_map<win::HWND, TCustomComboBox*>& EditTable() {
  static std::unordered_map<win::HWND, TCustomComboBox*> table;
  return table;
}

bool IsKeyMessage(UINT msg) { return msg >= win::WM_KEYDOWN && msg <= win::WM_SYSCHAR; }

}  // namespace

win::LRESULT ComboEditWindowProc(win::HWND window, win::UINT msg, win::WPARAM w, win::LPARAM l) {
  auto it = EditTable().find(window);
  if (it == EditTable().end()) return win::DefWindowProc(window, msg, w, l);
  TCustomComboBox* combo = it->second;
  TMessage m{msg, w, l, 0};
  try {
    combo->EditWndProc(m);
  } catch (...) {
    Application()->HandleException(combo);
  }
  if (msg == win::WM_NCDESTROY) {
    EditTable().erase(window);
    if (combo->edit_ == window) combo->edit_ = nullptr;
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
          .Event("OnChange", static_cast<TNotifyEvent TComboBox::*>(&TComboBox::OnChange))
          .Event("OnSelect", static_cast<TNotifyEvent TComboBox::*>(&TComboBox::OnSelect))
          .Event("OnDropDown", static_cast<TNotifyEvent TComboBox::*>(&TComboBox::OnDropDown))
          .Event("OnCloseUp", static_cast<TNotifyEvent TComboBox::*>(&TComboBox::OnCloseUp))
          .Event("OnDrawItem", static_cast<TDrawItemEvent TComboBox::*>(&TComboBox::OnDrawItem))
          .Event("OnMeasureItem", static_cast<TMeasureItemEvent TComboBox::*>(&TComboBox::OnMeasureItem))
          // Older form files carry these; the classic combo box has no use for them.
          .Skip("AutoComplete")
          .Skip("AutoDropDown")
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
  AttachEdit();
  items_->WindowMade();
  Send(win::CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_));
  if (maxLength_ > 0) Send(win::CB_LIMITTEXT, static_cast<WPARAM>(maxLength_));
  if (!textHint_.empty()) Send(win::CB_SETCUEBANNER, 0, reinterpret_cast<LPARAM>(textHint_.c_str()));
  // The edit field took the text when it was made; a chosen item shows its own.
  if (itemIndex_ >= 0) Send(win::CB_SETCURSEL, static_cast<WPARAM>(itemIndex_));
  TakeWindowText();
}

void TCustomComboBox::DestroyWnd() {
  if (Live()) {
    itemIndex_ = static_cast<int>(Send(win::CB_GETCURSEL));
    items_->WindowGoing();
  }
  // The edit child goes with the window: it is handed back to its own
  // procedure first, so that it is torn down as it was made.
  if (edit_) {
    win::SetWindowLongPtr(edit_, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(editDefault_));
    EditTable().erase(edit_);
    edit_ = nullptr;
  }
  TWinControl::DestroyWnd();
}

// The edit child's messages come to the control first.
void TCustomComboBox::AttachEdit() {
  win::COMBOBOXINFO info;
  if (!Send(win::CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info)) || info.hwndItem == WindowHandle()) return;
  edit_ = info.hwndItem;
  EditTable()[edit_] = this;
  editDefault_ = reinterpret_cast<win::WNDPROC>(
      win::SetWindowLongPtr(edit_, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(&ComboEditWindowProc)));
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

int TCustomComboBox::SelStart() const {
  if (!edit_) return 0;
  win::DWORD start = 0;
  win::SendMessage(edit_, win::EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int>(start);
}

int TCustomComboBox::SelLength() const {
  if (!edit_) return 0;
  win::DWORD start = 0, end = 0;
  win::SendMessage(edit_, win::EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomComboBox::SetSelStart(int value) {
  if (edit_) win::SendMessage(edit_, win::EM_SETSEL, static_cast<WPARAM>(value), value);
}

void TCustomComboBox::SetSelLength(int value) {
  if (!edit_) return;
  const int start = SelStart();
  win::SendMessage(edit_, win::EM_SETSEL, static_cast<WPARAM>(start), start + value);
}

void TCustomComboBox::SelectAll() {
  if (edit_) win::SendMessage(edit_, win::EM_SETSEL, 0, -1);
}

bool TCustomComboBox::Focused() const {
  const win::HWND focus = win::GetFocus();
  return Live() && (focus == WindowHandle() || (edit_ && focus == edit_));
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
  takingText_ = true;
  try {
    SetText(win::GetWindowText(WindowHandle()));
  } catch (...) {
    takingText_ = false;
    throw;
  }
  takingText_ = false;
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
    case win::CBN_SELCHANGE: return SelectionChanged();
    case win::CBN_EDITCHANGE:
      TakeWindowText();
      return Change();
    case win::CBN_DROPDOWN: return DropDown();
    case win::CBN_CLOSEUP: return CloseUp();
    default: return;
  }
}

// ---- messages --------------------------------------------------------------------------

void TCustomComboBox::EditWndProc(TMessage& m) {
  if (IsKeyMessage(m.Msg)) {
    editKey_ = true;
    try {
      WindowProc(m);
    } catch (...) {
      editKey_ = false;
      throw;
    }
    editKey_ = false;
    return;
  }
  if (m.Msg == win::WM_SETFOCUS) {
    if (TCustomForm* form = ParentForm()) form->SetFocusedControl(this);
  }
  CallEditDefault(m);
}

void TCustomComboBox::CallEditDefault(TMessage& m) {
  if (!edit_ || !editDefault_) return;
  m.Result = win::CallWindowProc(editDefault_, edit_, m.Msg, m.WParam, m.LParam);
}

void TCustomComboBox::WndProc(TMessage& m) {
  // The edit child's procedure hands some keys on to the combo box window:
  // the framework has seen them already.
  if (inEditDefault_ && IsKeyMessage(m.Msg)) return TWinControl::DefaultHandler(m);
  TWinControl::WndProc(m);
}

// Keys of the edit child that the framework left over go to the edit.
void TCustomComboBox::DefaultHandler(TMessage& m) {
  if (editKey_ && IsKeyMessage(m.Msg)) {
    inEditDefault_ = true;
    try {
      CallEditDefault(m);
    } catch (...) {
      inEditDefault_ = false;
      throw;
    }
    inEditDefault_ = false;
    return;
  }
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
    default: TWinControl::Dispatch(m);
  }
}

}  // namespace qelo::vcl
