// TfrmVideoConvertor: the program's main window, a skinned window read from
// its form file. For now it carries its skin, its caption buttons and the
// custom controls at their places; the file list, the profile choice, the
// preview and the conversion controls are added to this form.
#pragma once

#include <memory>

#include "ct_label.h"
#include "qelo_png_button.h"
#include "qelo_track_bar.h"
#include "skin_form.h"
#include "vcl/controls/extctrls.h"
#include "win/named_mutex.h"

namespace qelo::app {

class TfrmVideoConvertor : public controls::TSkinForm {
  QELO_VCL_CLASS()
 public:
  explicit TfrmVideoConvertor(vcl::TComponent* owner);
  ~TfrmVideoConvertor() override;

  void FormCreate(vcl::TObject* sender);
  // The title label drags the window as the title strip does.
  void LabCaptionMouseDown(vcl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);

  vcl::TImage* Image1 = nullptr;
  ct::TCtLabel* LabCaption = nullptr;
  ct::TCtLabel* LabSource = nullptr;
  ct::TCtLabel* LabDestination = nullptr;
  ct::TCtLabel* LabStart = nullptr;
  ct::TCtLabel* lblProfile = nullptr;
  ct::TCtLabel* lblOutPath = nullptr;
  controls::TQeloTrackBar* tbPlayer = nullptr;
  controls::TQeloPngButton* btnSnapMenu = nullptr;
  controls::TQeloPngButton* btnProfile = nullptr;
  controls::TQeloPngButton* beOutpath = nullptr;

 protected:
  void SetMainCaptions() override;

 private:
  // "FreeClipshift", held for the life of the window; nothing tests it.
  std::unique_ptr<win::NamedMutex> programMutex_;
};

}  // namespace qelo::app
