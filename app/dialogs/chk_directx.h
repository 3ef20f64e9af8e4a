// TfrmChkDirectX: the small information window that start-up shows when the
// installed DirectX is older than 9.0c, or when its acceleration is off and
// cannot be switched on. An ordinary dialog, not a skinned window.
#pragma once

#include <cstdint>

#include "ct_button.h"
#include "ct_label.h"
#include "vcl/controls/forms.h"

namespace qelo::app {

class TfrmChkDirectX : public vcl::TForm {
  QELO_VCL_CLASS()
 public:
  // What the window tells.
  static constexpr uint8_t kAccelerationOff = 0;
  static constexpr uint8_t kOldVersion = 1;

  // The form file "TfrmChkDirectX" with `kind` of the two above.
  TfrmChkDirectX(vcl::TComponent* owner, uint8_t kind);
  uint8_t Kind() const { return kind_; }

  // Fills the texts for the kind.
  void FormShow(vcl::TObject* sender);

  ct::TCtLabel* lblText = nullptr;
  ct::TCtURLLabel* lblLink = nullptr;
  ct::TCtButton* CtButton1 = nullptr;

 private:
  uint8_t kind_;
};

// Makes the window with no owner, shows it modally and frees it.
void ShowDirectXInformation(uint8_t kind);

}  // namespace qelo::app
