// TfrmAbout: the About box, a skinned dialog read from its form file, with
// the program's picture, name and version and the links to the maker's and
// FFmpeg's web sites.
#pragma once

#include "ct_bmp_btn.h"
#include "ct_label.h"
#include "skin_form.h"
#include "vcl/controls/extctrls.h"

namespace qelo::app {

inline constexpr const char* kAboutVersion = "2.0.0.0";

class TfrmAbout : public controls::TSkinForm {
  QELO_VCL_CLASS()
 public:
  explicit TfrmAbout(vcl::TComponent* owner);

  void FormCreate(vcl::TObject* sender);

  ct::TCtLabel* LabCaption = nullptr;
  vcl::TImage* Img = nullptr;
  ct::TCtLabel* LabName = nullptr;
  ct::TCtLabel* lblDescription = nullptr;
  ct::TCtURLLabel* CtURLLabel2 = nullptr;
  ct::TCtURLLabel* CtURLLabel1 = nullptr;
  ct::TCtURLLabel* CtURLLabel3 = nullptr;
  ct::TCtLabel* lblRegisiter = nullptr;
};

}  // namespace qelo::app
