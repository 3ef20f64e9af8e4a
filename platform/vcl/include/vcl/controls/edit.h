// The single-line edit over the native "Edit" class, and the masked edit
// built on it (only the empty mask: it edits plain text). Properties set
// while there is no window are kept and pushed to the window when it is
// made; the text follows every change the window reports (EN_CHANGE),
// which fires OnChange. Descendants may show the text hint their own way
// (DoSetTextHint) and report a text the mask refuses their own way
// (ValidateError).
#pragma once

#include "vcl/controls/forms.h"
#include "vcl/controls/native_control.h"

namespace qelo::vcl {

// How an edit field changes the case of typed letters.
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
extern const EnumInfo kEditCharCaseInfo;

class TCustomEdit : public TWinControl {
  QELO_VCL_CLASS()
 public:
  explicit TCustomEdit(TComponent* owner);

  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  // 0: no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  // 0: the text shows as it is.
  char16_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char16_t value);
  // The same as text, for form files ('*'); EPropertyError for more than one character.
  std::string PasswordCharText() const;
  void SetPasswordCharText(const std::string& text);
  bool ReadOnly() const { return readOnly_; }
  virtual void SetReadOnly(bool value);
  // Shown in grey while the edit is empty.
  const std::string& TextHint() const { return textHint_; }
  void SetTextHint(const std::string& value);
  // Typed letters become upper or lower case (the window is made again).
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  // Whether the text changed since it was last set by the program.
  bool Modified() const;
  void SetModified(bool value);

  // The selection, counted in UTF-16 units as the window counts them.
  int SelStart() const;
  void SetSelStart(int value);
  int SelLength() const;
  void SetSelLength(int value);
  std::string SelText() const;
  void SetSelText(const std::string& text);
  void SelectAll();
  void ClearSelection() { SetSelText(""); }
  void Clear() { SetText(""); }
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();

  TNotifyEvent OnChange;

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Change();
  // Hands the hint to the window (called with a window only).
  virtual void DoSetTextHint(const std::string& text);

 private:
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const;
  void TakeWindowText();
  void EnterMessage(TMessage& m);

  bool autoSelect_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  bool hideSelection_ = true;
  int maxLength_ = 0;
  char16_t passwordChar_ = 0;
  bool readOnly_ = false;
  std::string textHint_;
  TEditCharCase charCase_ = ecNormal;
  bool modified_ = false;
  bool takingText_ = false;
  ControlColorBrush brush_;
};

class TEdit : public TCustomEdit {
  QELO_VCL_CLASS()
 public:
  using TCustomEdit::TCustomEdit;
};

// Publishes the edit properties of TCustomEdit in the registration of a
// class C that shows them (TEdit, TMaskEdit and descendants elsewhere).
template <class C>
ClassBuilder<C>& PublishEditProperties(ClassBuilder<C>& b) {
  return b.Boolean("AutoSelect", &C::AutoSelect, &C::SetAutoSelect)
      .Enum("BorderStyle", kBorderStyleInfo, &C::BorderStyle, &C::SetBorderStyle)
      .Enum("CharCase", kEditCharCaseInfo, &C::CharCase, &C::SetCharCase)
      .Boolean("HideSelection", &C::HideSelection, &C::SetHideSelection)
      .Integer("MaxLength", &C::MaxLength, &C::SetMaxLength)
      .String("PasswordChar", &C::PasswordCharText, &C::SetPasswordCharText)
      .Boolean("ReadOnly", &C::ReadOnly, &C::SetReadOnly)
      .String("TextHint", &C::TextHint, &C::SetTextHint)
      .Event("OnChange", static_cast<TNotifyEvent C::*>(&C::OnChange))
      // Older form files carry these; the edit has no use for them.
      .Skip("OEMConvert")
      .Skip("ImeMode")
      .Skip("ImeName");
}

// A text the edit mask refuses.
struct EDBEditError : Exception {
  using Exception::Exception;
};

// A masked edit that supports the empty mask only: it edits plain text and
// every text is valid. A non-empty mask is refused.
class TCustomMaskEdit : public TCustomEdit {
  QELO_VCL_CLASS()
 public:
  using TCustomEdit::TCustomEdit;

  const std::string& EditMask() const { return editMask_; }
  // EInvalidOperation for a mask that is not empty.
  void SetEditMask(const std::string& mask);
  bool IsMasked() const { return !editMask_.empty(); }
  // The text as edited, mask characters included: with no mask, the text.
  const std::string& EditText() const { return Text(); }
  void SetEditText(const std::string& text) { SetText(text); }
  // Checks the text against the mask: the empty mask takes every text.
  virtual void ValidateEdit() {}

 protected:
  // How a text the mask refuses is reported (EDBEditError); descendants
  // may give their own message.
  virtual void ValidateError();

 private:
  std::string editMask_;
};

class TMaskEdit : public TCustomMaskEdit {
  QELO_VCL_CLASS()
 public:
  using TCustomMaskEdit::TCustomMaskEdit;
};

}  // namespace qelo::vcl
