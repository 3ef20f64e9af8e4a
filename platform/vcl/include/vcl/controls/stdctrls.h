// Standard controls: the label (a windowless control that draws its
// caption) and the push button over the native "Button" window class.
#pragma once

#include "vcl/controls/controls.h"
#include "vcl/controls/forms.h"

namespace qelo::vcl {

enum TTextLayout { tlTop, tlCenter, tlBottom };
extern const EnumInfo kTextLayoutInfo;

class TCustomLabel : public TGraphicControl {
  QELO_VCL_CLASS()
 public:
  explicit TCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
  void SetTransparent(bool value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  // The control an accelerator of the caption focuses.
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control);

  void Dispatch(TMessage& message) override;

 protected:
  virtual std::string GetLabelText() const { return Caption(); }
  // Draws (or with DT_CALCRECT measures) the text in `r` on the canvas.
  virtual void DoDrawText(TRect& r, win::UINT flags);
  // Fits the size to the text when AutoSize; keeps the right edge of a
  // right-aligned label.
  virtual void AdjustBounds();
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  win::UINT TextFlags() const;

 private:
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  QELO_VCL_CLASS()
 public:
  using TCustomLabel::TCustomLabel;
};

// ---- buttons -------------------------------------------------------------------

class TButtonControl : public TWinControl {
  QELO_VCL_CLASS()
 public:
  explicit TButtonControl(TComponent* owner);
};

// A push button over the native "Button" class. Clicking it sets the parent
// form's ModalResult to its own before OnClick; Enter clicks the default
// button (or the focused one) and Escape the cancel button.
class TButton : public TButtonControl {
  QELO_VCL_CLASS()
 public:
  explicit TButton(TComponent* owner);

  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  // Shows itself as the form's default button now.
  bool Active() const { return active_; }

  void Click() override;
  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  void SetButtonStyle(bool isDefault);

  bool default_ = false;
  bool cancel_ = false;
  bool active_ = false;
  TModalResult modalResult_ = 0;
};

}  // namespace qelo::vcl
