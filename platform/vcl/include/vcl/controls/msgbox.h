// The application's message box: a modal dialog of our own with an icon,
// the text and a row of buttons. Scripts find it (and its text) as the form
// of a modal run.
#pragma once

#include <vector>

#include "vcl/controls/forms.h"
#include "vcl/controls/stdctrls.h"

namespace qelo::vcl {

class TMessageForm : public TForm {
  QELO_VCL_CLASS()
 public:
  // The button set and icon of `flags` (MB_*).
  TMessageForm(TComponent* owner, const std::string& text, const std::string& caption, UINT flags);

  const std::string& Text() const { return text_; }
  UINT Flags() const { return flags_; }
  const std::vector<TButton*>& Buttons() const { return buttons_; }
  // The button that gives `result`, or null.
  TButton* ButtonFor(TModalResult result) const;
  // The label that shows the text.
  TLabel* MessageText() const { return message_; }

 private:
  void Layout();

  std::string text_;
  UINT flags_;
  TLabel* message_ = nullptr;
  TGraphicControl* icon_ = nullptr;
  std::vector<TButton*> buttons_;
};

}  // namespace qelo::vcl
