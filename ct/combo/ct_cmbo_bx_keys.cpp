// The framed combo box's keys: the search of list-style boxes, the
// auto-completion of boxes with an edit field, the read-only mode's keys
// and Enter-as-Tab. Positions in the edit field count UTF-16 units, as the
// window counts them, so the search text is worked on in UTF-16.
#include <algorithm>
#include <utility>

#include "ct_cmbo_bx.h"
#include "win/codepage.h"
#include "win/controls/combobox.h"
#include "win/controls/edit.h"

namespace qelo::ct {

namespace {

bool IsLead(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsTrail(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::u16string U16(const std::string& text) { return win::Utf8ToUtf16(text); }
std::string U8(const std::u16string& text) { return win::Utf16ToUtf8(text); }

// Removes the last character: a whole surrogate pair when the text ends in one.
void DropLastCharacter(std::u16string& text) {
  if (text.empty()) return;
  const bool pair = text.size() >= 2 && IsTrail(text.back()) && IsLead(text[text.size() - 2]);
  text.resize(text.size() - (pair ? 2 : 1));
}

// Removes `count` units at `at`, as far as the text reaches.
void EraseClamped(std::u16string& text, size_t at, size_t count) {
  if (at >= text.size()) return;
  text.erase(at, std::min(count, text.size() - at));
}

constexpr char16_t kCtrlC = 3, kCtrlV = 22, kCtrlX = 24;

}  // namespace

// ---- completing and searching ----------------------------------------------------

bool TCtCustomComboBox::AutoCompleteText(const std::string& text, char16_t* key) {
  const int before = ItemIndex();
  // An empty text starts every item: it completes to none.
  const int found = text.empty() ? -1 : FindItem(text);
  if (found < 0) return false;
  const std::u16string typed = U16(text);
  const std::u16string item = U16(Items()->Get(found));
  std::u16string shown = item;
  if (keepSearchCase_) {
    // The typed part as typed, the rest of the item after it.
    shown = typed + item.substr(std::min(typed.size(), item.size()));
    internalChange_ = true;
    SetText(U8(shown));
  } else {
    // No item first, so that the chosen one shows its text even when it
    // was chosen already.
    SetItemIndex(-1);
    SetItemIndex(found);
  }
  searchText_ = text;
  Click();
  Change();
  if (key) DoKeyPress(*key);
  SetSelStart(static_cast<int>(typed.size()));
  SetSelLength(static_cast<int>(shown.size() - std::min(typed.size(), shown.size())));
  if (ItemIndex() != before) DoMatch();
  return true;
}

void TCtCustomComboBox::SearchSelect(const std::string& text, char16_t* key) {
  const int found = FindItem(text);
  if (found < 0) return InvalidKey();
  SetItemIndex(found);
  searchText_ = text;
  Click();
  Change();
  if (key) DoKeyPress(*key);
}

// The auto-completion stays as it was, on or off.
void TCtCustomComboBox::SetTextNoComplete(const std::string& text) {
  if (text == Text()) return;
  const bool completing = autoComplete_;
  autoComplete_ = false;
  try {
    SetText(text);
  } catch (...) {
    autoComplete_ = completing;
    throw;
  }
  autoComplete_ = completing;
}

// ---- list-style boxes --------------------------------------------------------------

bool TCtCustomComboBox::ListKey(vcl::TMessage& m) {
  if (readOnly_) return true;
  if (m.Msg == win::WM_KEYDOWN) {
    if (m.WParam == win::VK_ESCAPE || (m.WParam >= win::VK_PRIOR && m.WParam <= win::VK_DOWN)) searchText_.clear();
    return false;
  }
  auto key = static_cast<char16_t>(m.WParam);
  if (key == win::VK_BACK) {
    ListBackspace(key);
    return true;
  }
  if (key < 32 || key > 255) return false;
  vcl::TFlagScope typing(typing_);
  SearchSelect(searchText_ + U8(std::u16string(1, key)), &key);
  RestartSearchTimer();
  return true;
}

void TCtCustomComboBox::ListBackspace(char16_t key) {
  if (searchText_.empty()) {
    InvalidKey();
    return SearchSelect(searchText_, &key);
  }
  std::u16string rest = U16(searchText_);
  DropLastCharacter(rest);
  if (!rest.empty()) return SearchSelect(U8(rest), &key);
  SetItemIndex(0);
  Click();
  Change();
  searchText_.clear();
  DoKeyPress(key);
}

void TCtCustomComboBox::RestartSearchTimer() {
  searchTimer_->SetEnabled(false);
  searchTimer_->SetInterval(ComboSearchDelay());
  searchTimer_->SetEnabled(true);
}

void TCtCustomComboBox::SearchTimerFired(vcl::TObject*) {
  if (typing_) return;
  searchTimer_->SetEnabled(false);
  searchText_.clear();
}

// ---- boxes with an edit field --------------------------------------------------------

void TCtCustomComboBox::ComboWndProc(vcl::TMessage& m, win::HWND child, win::WNDPROC childDefault) {
  pasting_ = false;
  if (child == EditHandle() && EditMessage(m, child, childDefault)) return;
  // Messages the edit field sends itself while it handles this one come
  // through here too: only this message's paste completes.
  const bool pasted = std::exchange(pasting_, false);
  Base::ComboWndProc(m, child, childDefault);
  // A paste or a cut changed the text: it completes.
  if (pasted && autoComplete_ && allowEdit_) {
    searchText_ = Text();
    AutoCompleteText(searchText_);
  }
}

bool TCtCustomComboBox::EditMessage(vcl::TMessage& m, win::HWND child, win::WNDPROC childDefault) {
  switch (m.Msg) {
    case win::WM_KEYDOWN: return EditKeyDown(m);
    case win::WM_SYSKEYDOWN:
      systemKey_ = true;
      return readOnly_ && m.WParam != win::VK_F4;
    case win::WM_CHAR: return EditChar(m, child, childDefault);
    case win::WM_LBUTTONDOWN:
      if (autoComplete_) searchText_ = Text();
      return false;
    case win::WM_CUT:
      if (!autoComplete_) return false;
      if (!allowEdit_) return true;
      searchText_ = Text();
      AutoCompleteText(searchText_);
      return false;
    case win::WM_PASTE:
      if (!autoComplete_) return false;
      if (!allowEdit_) return true;
      pasting_ = true;
      return false;
    default: return false;
  }
}

bool TCtCustomComboBox::EditKeyDown(vcl::TMessage& m) {
  systemKey_ = false;
  switch (m.WParam) {
    case win::VK_PRIOR:
    case win::VK_NEXT:
    case win::VK_UP:
    case win::VK_DOWN:
      internalChange_ = true;
      searchText_.clear();
      return readOnly_;
    case win::VK_F4: return readOnly_;
    default: break;
  }
  if (!autoComplete_) return false;
  switch (m.WParam) {
    case win::VK_END:
    case win::VK_HOME:
    case win::VK_LEFT:
    case win::VK_RIGHT: searchText_ = Text(); return false;
    case win::VK_INSERT:
      if (!allowEdit_) return true;
      pasting_ = vcl::KeyboardShiftState().Contains(vcl::ssShift);
      return false;
    case win::VK_DELETE: {
      std::u16string text = U16(Text());
      const auto start = static_cast<size_t>(std::max(SelStart(), 0));
      const auto length = static_cast<size_t>(std::max(SelLength(), 0));
      size_t count = std::max<size_t>(length, 1);
      if (length == 0 && start < text.size() && IsLead(text[start])) count = 2;
      const bool wholeSelected = start == 0 && length >= text.size();
      EraseClamped(text, start, count);
      searchText_ = U8(text);
      return !allowEdit_ && !wholeSelected;
    }
    default: return false;
  }
}

bool TCtCustomComboBox::EditChar(vcl::TMessage& m, win::HWND child, win::WNDPROC childDefault) {
  const auto key = static_cast<char16_t>(m.WParam);
  if (systemKey_) {
    systemKey_ = false;
    return false;
  }
  if (readOnly_) return ReadOnlyEditKey(m);
  if (!autoComplete_) return false;
  switch (key) {
    case win::VK_BACK: return EditBackspace(m);
    case win::VK_RETURN:
      if (DroppedDown()) DoSelEndOk();
      enterPressed_ = true;
      return false;
    case kCtrlV:
    case kCtrlX:
      if (!allowEdit_) return true;
      pasting_ = true;
      return false;
    case win::VK_ESCAPE:
      searchText_.clear();
      return !DroppedDown();
    default: break;
  }
  if (key < 32) return false;
  EditPrintable(m, child, childDefault);
  return true;
}

// Read-only: only Ctrl+C gets through; Enter may still move on like Tab.
bool TCtCustomComboBox::ReadOnlyEditKey(vcl::TMessage& m) {
  if (tabOnEnter_ && m.WParam == win::VK_RETURN && !DroppedDown())
    win::PostMessage(WindowHandle(), win::WM_KEYDOWN, win::VK_TAB, 0);
  return m.WParam != kCtrlC;
}

bool TCtCustomComboBox::EditBackspace(vcl::TMessage& m) {
  std::u16string rest = U16(searchText_);
  if (rest.empty()) {
    InvalidKey();
    return false;
  }
  const auto start = static_cast<size_t>(std::max(SelStart(), 0));
  const auto length = static_cast<size_t>(std::max(SelLength(), 0));
  bool removedHere = false;  // the selection left the text here, not in the edit field
  if (start >= rest.size()) {
    DropLastCharacter(rest);
  } else if (length > 0 && allowEdit_) {
    EraseClamped(rest, start, length);
    SetItemIndex(-1);
    removedHere = true;
  } else if (allowEdit_ && start > 0) {
    const size_t count = start >= 2 && IsTrail(rest[start - 1]) && IsLead(rest[start - 2]) ? 2 : 1;
    rest.erase(start - count, count);
  }
  Change();
  auto key = static_cast<char16_t>(m.WParam);
  if (rest.empty()) {
    SetItemIndex(-1);
    if (keepSearchCase_) {
      internalChange_ = true;
      SetText("");
    }
    searchText_.clear();
    Click();
    Change();
    DoKeyPress(key);
    return true;
  }
  searchText_ = U8(rest);
  if (AutoCompleteText(searchText_, &key)) return true;
  if (!removedHere) return false;
  // Clearing the choice emptied the field: it shows what is left, the caret
  // where the selection began.
  internalChange_ = true;
  SetText(searchText_);
  SetSelStart(static_cast<int>(start));
  return true;
}

// A printable character: the framework's key press first (it may change or
// drop the character), then the completion of the text with it. A
// character that completes nothing goes into the field (AllowEdit) or is
// refused.
void TCtCustomComboBox::EditPrintable(vcl::TMessage& m, win::HWND child, win::WNDPROC childDefault) {
  auto key = static_cast<char16_t>(m.WParam);
  // The second half of a pair the completion did not take.
  if (IsTrail(key)) return CallChildDefault(m, child, childDefault);
  if (DoKeyPress(key) || key < 32) {
    if (key == 0) return;
    m.WParam = key;
    return CallChildDefault(m, child, childDefault);
  }
  std::u16string typed = U16(searchText_);
  const auto start = static_cast<size_t>(std::max(SelStart(), 0));
  const auto length = static_cast<size_t>(std::max(SelLength(), 0));
  if (length > 0) EraseClamped(typed, start, length);
  const std::u16string before = typed;
  std::u16string insert(1, key);
  win::MSG trail;
  const bool pair = IsLead(key) && win::PeekMessage(&trail, child, win::WM_CHAR, win::WM_CHAR, win::PM_NOREMOVE) &&
                    IsTrail(static_cast<char16_t>(trail.wParam));
  if (pair) insert += static_cast<char16_t>(trail.wParam);
  typed.insert(std::min(start, typed.size()), insert);
  if (AutoCompleteText(U8(typed))) {
    if (pair) win::PeekMessage(&trail, child, win::WM_CHAR, win::WM_CHAR, win::PM_REMOVE);
    return;
  }
  if (!allowEdit_) {
    InvalidKey();
    searchText_ = U8(before);
    return;
  }
  searchText_ = U8(typed);
  internalChange_ = true;
  SetText(U8(before));
  SetSelStart(static_cast<int>(start));
  m.WParam = key;
  CallChildDefault(m, child, childDefault);
}

// ---- text changes and typed keys ------------------------------------------------------

// A text the program set completes to the first item starting with it.
void TCtCustomComboBox::TextChanged() {
  const bool internal = internalChange_;
  internalChange_ = false;
  if (TakingWindowText() || internal || !autoComplete_ || Designing() || !HasEdit() || DroppedDown()) return;
  if (enterPressed_) enterPressed_ = false;
  else searchText_ = Text();
  const int found = FindItem(searchText_);
  if (found < 0) return;
  const size_t typed = U16(searchText_).size();
  SetItemIndex(-1);
  SetItemIndex(found);
  SetSelStart(static_cast<int>(typed));
  SetSelLength(static_cast<int>(U16(Text()).size() - std::min(typed, U16(Text()).size())));
}

void TCtCustomComboBox::KeyPress(char16_t& key) {
  if (tabOnEnter_ && key == win::VK_RETURN && !DroppedDown()) {
    key = 0;
    win::PostMessage(Handle(), win::WM_KEYDOWN, win::VK_TAB, 0);
    return;
  }
  const bool full = MaxLength() > 0 && static_cast<int>(U16(Text()).size()) >= MaxLength() && SelLength() == 0;
  if (Style() == vcl::csDropDown && key >= 32 && full) {
    InvalidKey();
    key = 0;
    return;
  }
  // OnKeyPress, and the list opened or closed as AutoDropDown asks.
  vcl::TCustomComboBox::KeyPress(key);
}

}  // namespace qelo::ct
