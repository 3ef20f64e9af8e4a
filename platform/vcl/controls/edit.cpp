#include "vcl/controls/edit.h"

#include "win/codepage.h"
#include "win/controls/edit.h"

namespace qelo::vcl {

const EnumInfo kEditCharCaseInfo{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};


const ClassInfo& TCustomEdit::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCustomEdit>("TCustomEdit", TWinControl::StaticClass()).Done();
  return info;
}

const ClassInfo& TEdit::StaticClass() {
  static const ClassInfo info = [] {
    ClassBuilder<TEdit> b("TEdit", TCustomEdit::StaticClass());
    return PublishEditProperties(b).Done();
  }();
  return info;
}

const ClassInfo& TCustomMaskEdit::StaticClass() {
  static const ClassInfo info = ClassBuilder<TCustomMaskEdit>("TCustomMaskEdit", TCustomEdit::StaticClass()).Done();
  return info;
}

const ClassInfo& TMaskEdit::StaticClass() {
  static const ClassInfo info = [] {
    ClassBuilder<TMaskEdit> b("TMaskEdit", TCustomMaskEdit::StaticClass());
    return PublishEditProperties(b).String("EditMask", &TMaskEdit::EditMask, &TMaskEdit::SetEditMask).Done();
  }();
  return info;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetParentColor(false);  // its own clWindow, not the parent's colour
}

LRESULT TCustomEdit::Send(UINT msg, WPARAM w, LPARAM l) const {
  return win::SendMessage(WindowHandle(), msg, w, l);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = win::WC_EDIT;
  p.Style |= win::ES_AUTOHSCROLL;
  if (readOnly_) p.Style |= win::ES_READONLY;
  if (charCase_ == ecUpperCase) p.Style |= win::ES_UPPERCASE;
  if (charCase_ == ecLowerCase) p.Style |= win::ES_LOWERCASE;
  if (!hideSelection_) p.Style |= win::ES_NOHIDESEL;
  if (borderStyle_ != bsNone) p.ExStyle |= win::WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  const win::INITCOMMONCONTROLSEX classes{sizeof(win::INITCOMMONCONTROLSEX), win::ICC_STANDARD_CLASSES};
  win::InitCommonControlsEx(&classes);
  TWinControl::CreateWnd();
  SendFontToWindow(*this, false);
  Send(win::EM_LIMITTEXT, static_cast<WPARAM>(maxLength_));
  Send(win::EM_SETPASSWORDCHAR, passwordChar_);
  if (!textHint_.empty()) DoSetTextHint(textHint_);
  Send(win::EM_SETMODIFY, modified_ ? 1 : 0);
}

// The window's modified flag outlives the window.
void TCustomEdit::DestroyWnd() {
  if (HandleAllocated()) modified_ = Send(win::EM_GETMODIFY) != 0;
  TWinControl::DestroyWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value != bsNone) value = bsSingle;
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(int value) {
  if (value < 0) value = 0;
  if (value == maxLength_) return;
  maxLength_ = value;
  if (HandleAllocated()) Send(win::EM_LIMITTEXT, static_cast<WPARAM>(value));
}

void TCustomEdit::SetPasswordChar(char16_t value) {
  if (value == passwordChar_) return;
  passwordChar_ = value;
  if (HandleAllocated()) Send(win::EM_SETPASSWORDCHAR, value);
}

std::string TCustomEdit::PasswordCharText() const {
  return passwordChar_ ? win::Utf16ToUtf8(std::u16string(1, passwordChar_)) : std::string();
}

void TCustomEdit::SetPasswordCharText(const std::string& text) {
  const std::u16string units = win::Utf8ToUtf16(text);
  if (units.size() > 1) throw EPropertyError("PasswordChar takes one character, not '" + text + "'");
  SetPasswordChar(units.empty() ? 0 : units[0]);
}

void TCustomEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  if (HandleAllocated()) Send(win::EM_SETREADONLY, value ? 1 : 0);
}

void TCustomEdit::SetTextHint(const std::string& value) {
  if (value == textHint_) return;
  textHint_ = value;
  if (HandleAllocated()) DoSetTextHint(textHint_);
}

void TCustomEdit::DoSetTextHint(const std::string& text) {
  Send(win::EM_SETCUEBANNER, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == charCase_) return;
  charCase_ = value;
  RecreateWnd();
}

bool TCustomEdit::Modified() const { return HandleAllocated() ? Send(win::EM_GETMODIFY) != 0 : modified_; }

void TCustomEdit::SetModified(bool value) {
  modified_ = value;
  if (HandleAllocated()) Send(win::EM_SETMODIFY, value ? 1 : 0);
}

int TCustomEdit::SelStart() const {
  if (!HandleAllocated()) return 0;
  win::DWORD start = 0;
  Send(win::EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int>(start);
}

int TCustomEdit::SelLength() const {
  if (!HandleAllocated()) return 0;
  win::DWORD start = 0, end = 0;
  Send(win::EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelStart(int value) {
  HandleNeeded();
  Send(win::EM_SETSEL, static_cast<WPARAM>(value), value);
}

void TCustomEdit::SetSelLength(int value) {
  HandleNeeded();
  const int start = SelStart();
  Send(win::EM_SETSEL, static_cast<WPARAM>(start), start + value);
}

std::string TCustomEdit::SelText() const {
  const std::u16string units = win::Utf8ToUtf16(Text());
  const auto start = static_cast<size_t>(SelStart());
  if (start >= units.size()) return {};
  return win::Utf16ToUtf8(units.substr(start, static_cast<size_t>(SelLength())));
}

void TCustomEdit::SetSelText(const std::string& text) {
  HandleNeeded();
  Send(win::EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) Send(win::EM_SETSEL, 0, -1);
}

void TCustomEdit::CopyToClipboard() {
  if (HandleAllocated()) Send(win::WM_COPY);
}
void TCustomEdit::CutToClipboard() {
  if (HandleAllocated()) Send(win::WM_CUT);
}
void TCustomEdit::PasteFromClipboard() {
  if (HandleAllocated()) Send(win::WM_PASTE);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

// The window changed its text (typing, the clipboard, the program): the
// control's text follows without writing it back to the window.
void TCustomEdit::TakeWindowText() {
  takingText_ = true;
  try {
    SetText(win::GetWindowText(WindowHandle()));
  } catch (...) {
    takingText_ = false;
    throw;
  }
  takingText_ = false;
}

// Entering by the keyboard selects the whole text with AutoSelect; a click
// places the caret where it fell.
void TCustomEdit::EnterMessage(TMessage& m) {
  if (autoSelect_ && win::GetKeyState(win::VK_LBUTTON) >= 0) SelectAll();
  TWinControl::Dispatch(m);
}

void TCustomEdit::Dispatch(TMessage& m) {
  if (brush_.AnswerColorRequest(*this, m)) return;
  switch (m.Msg) {
    case CN_COMMAND:
      if (win::HIWORD(m.WParam) == win::EN_CHANGE) {
        TakeWindowText();
        Change();
      }
      return;
    case CM_TEXTCHANGED:
      if (takingText_) return;
      TWinControl::Dispatch(m);
      return;
    case CM_ENTER: return EnterMessage(m);
    case CM_FONTCHANGED:
      SendFontToWindow(*this, true);
      TWinControl::Dispatch(m);
      return;
    default: TWinControl::Dispatch(m);
  }
}

// ---- masked edit -------------------------------------------------------------------

void TCustomMaskEdit::SetEditMask(const std::string& mask) {
  if (!mask.empty()) throw EInvalidOperation("Edit masks are not supported: '" + mask + "'");
  editMask_ = mask;
}

void TCustomMaskEdit::ValidateError() { throw EDBEditError("Invalid input value: '" + Text() + "'"); }

}  // namespace qelo::vcl
