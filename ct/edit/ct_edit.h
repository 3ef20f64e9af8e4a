// The framed single-line edit of the control library, over the
// framework's masked edit: the framed-control protocol (the frame in the
// non-client band, the colours of the states normal, focused, disabled and
// read-only), text alignment, Enter as Tab, a text hint that may stay while
// focused, a message of its own for a text the mask refuses, and, for
// descendants, a drop-down button carved from the non-client area on the
// right (the left for right-to-left), with its own hit test, mouse and key
// handling (Alt+Down, F4) and two events. TCtEdit publishes it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ct_common_framed.h"
#include "vcl/controls/edit.h"

namespace qelo::ct {

// The validation message event: an answer that is not empty is the
// message of the refusal.
using TCtEditValidateErrorEvent = std::function<void(vcl::TObject* sender, std::string& message)>;

// States of the drop-down button.
constexpr uint8_t kButtonNormal = 0;
constexpr uint8_t kButtonPressed = 2;

class TCtCustomEdit : public TCtFramedControl<vcl::TCustomMaskEdit> {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomEdit(vcl::TComponent* owner);

  vcl::TAlignment Alignment() const { return alignment_; }
  vcl::TAlignment GetControlsAlignment() const override { return alignment_; }
  // Makes the window again.
  virtual void SetAlignment(vcl::TAlignment value);
  // Enter moves the focus on as Tab does; the Enter key goes nowhere.
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }
  // The text hint stays while the edit has the focus.
  bool TextHintVisibleOnFocus() const { return textHintVisibleOnFocus_; }
  void SetTextHintVisibleOnFocus(bool value);

  // ---- the drop-down button (for descendants) ----
  // Wanted: shown while the edit is not read-only.
  bool DropDownEnabled() const { return dropDownEnabled_; }
  virtual void SetDropDownEnabled(bool value);
  // Shown; a change makes the window again (the client area narrows by
  // the button).
  bool ButtonVisible() const { return buttonVisible_; }
  virtual void SetButtonVisible(bool value);
  // Drawn flat, raised only while the edit is focused or under the mouse.
  bool FlatButton() const { return flatButton_; }
  virtual void SetFlatButton(bool value);
  uint8_t ButtonState() const { return buttonState_; }
  virtual void SetButtonState(uint8_t state);
  // Hide and show the button while the drop-down is enabled.
  virtual void HideButton();
  virtual void ShowButton();
  // The button's rectangle in window coordinates; empty while hidden.
  vcl::TRect ButtonRect() const;
  // Presses the button (with the button shown): OnButtonDown, then
  // OnButtonClick, with the button drawn pressed meanwhile.
  void ButtonClick();

  virtual bool IsReadOnly() const { return ReadOnly(); }
  // Hides the button while read-only (shows it again when the drop-down is
  // enabled) and shows the state's colour.
  virtual void ReadOnlyChanged();
  // The client rectangle and the text as edited.
  virtual vcl::TRect GetEditRect() const { return ClientRect(); }
  virtual std::string GetEditText() const { return EditText(); }

  // Showing the frame turns Ctl3D on and makes the window again.
  void SetFrameVisible(bool value) override;

  vcl::TNotifyEvent OnButtonDown;
  vcl::TNotifyEvent OnButtonClick;
  TCtEditValidateErrorEvent OnValidateError;

 protected:
  void CreateParams(vcl::TCreateParams& params) override;
  void Dispatch(vcl::TMessage& message) override;
  void KeyPress(char16_t& key) override;
  void KeyDown(uint16_t& key, vcl::TShiftState shift) override;
  // The hint reaches the window only where the platform shows it: from
  // Windows XP on with themes.
  void DoSetTextHint(const std::string& text) override;
  // OnValidateError may give the message; otherwise the base's error.
  void ValidateError() override;
  vcl::TColor StateColor() const override;
  void UpdateFrameState(bool setMouseOver, bool mouseOver) override;

  virtual void DrawButton(vcl::TCanvas& canvas, const vcl::TRect& r);
  virtual void DoButtonDown();
  virtual void DoButtonClick();

 private:
  int ButtonWidth() const;
  void ReleaseButton();
  void NcCalcSize(vcl::TMessage& m);
  void NcHitTest(vcl::TMessage& m);
  void PaintButtonArea();
  void MouseButtonDown(vcl::TMessage& m);
  void RepaintNonClient() { Perform(win::WM_NCPAINT); }

  vcl::TAlignment alignment_ = vcl::taLeftJustify;
  bool tabOnEnter_ = false;
  bool textHintVisibleOnFocus_ = false;
  bool dropDownEnabled_ = false;
  bool buttonVisible_ = false;
  bool flatButton_ = false;
  bool buttonClicking_ = false;
  uint8_t buttonState_ = kButtonNormal;
  bool mouseOverButton_ = false;  // the last hit test found the button
  vcl::TCanvas buttonCanvas_;
};

class TCtEdit : public TCtCustomEdit {
  QELO_VCL_CLASS()
 public:
  using TCtCustomEdit::TCtCustomEdit;
  void SetReadOnly(bool value) override;
};

// Registers TCtEdit (once) so that form files can place it.
void RegisterCtEditClasses();

}  // namespace qelo::ct
