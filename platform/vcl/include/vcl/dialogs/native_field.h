// A windowed control over one of the native controls ("Edit", "ListBox",
// "ComboBox") for the dialogs' own forms: the class and styles are given,
// the form's font is passed on, and the control's WM_COMMAND notifications
// reach OnCommand with their code.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vcl/controls/controls.h"
#include "vcl/controls/messages.h"

namespace qelo::vcl {

class TNativeField : public TWinControl {
  QELO_VCL_CLASS()
 public:
  TNativeField(TComponent* owner, const char* windowClass, win::DWORD style);

  // What the window shows now (a user's typing included).
  std::string WindowText();
  void SetWindowText(const std::string& text);
  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The list of a list or combo box: replaced, and read back.
  void SetItems(const std::vector<std::string>& items, UINT resetMsg, UINT addMsg);

  std::function<void(UINT code)> OnCommand;

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  std::string windowClass_;
  win::DWORD style_;
};

}  // namespace qelo::vcl
