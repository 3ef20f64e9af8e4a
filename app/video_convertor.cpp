#include "video_convertor.h"

#include "program_resources.h"
#include "startup.h"
#include "vcl/form_reader.h"

namespace qelo::app {

using namespace vcl;

const ClassInfo& TfrmVideoConvertor::StaticClass() {
  using T = TfrmVideoConvertor;
  static const ClassInfo info = ClassBuilder<T>("TfrmVideoConvertor", TSkinForm::StaticClass())
                                    .Field("Image1", &T::Image1)
                                    .Field("LabCaption", &T::LabCaption)
                                    .Field("LabSource", &T::LabSource)
                                    .Field("LabDestination", &T::LabDestination)
                                    .Field("LabStart", &T::LabStart)
                                    .Field("lblProfile", &T::lblProfile)
                                    .Field("lblOutPath", &T::lblOutPath)
                                    .Field("tbPlayer", &T::tbPlayer)
                                    .Field("btnSnapMenu", &T::btnSnapMenu)
                                    .Field("btnProfile", &T::btnProfile)
                                    .Field("beOutpath", &T::beOutpath)
                                    .Method("FormCreate", &T::FormCreate)
                                    .Method("LabCaptionMouseDown", &T::LabCaptionMouseDown)
                                    .Done();
  return info;
}

TfrmVideoConvertor::TfrmVideoConvertor(TComponent* owner) : TSkinForm(owner, StaticClass()) {
  ReadComponentResource(*this, ProgramResources());
}

TfrmVideoConvertor::~TfrmVideoConvertor() = default;

void TfrmVideoConvertor::FormCreate(TObject*) {
  programMutex_ = std::make_unique<win::NamedMutex>("FreeClipshift");
  SetCaption(kProgramName);
  ApplySkin();
  tbPlayer->SetPosition(0);
}

void TfrmVideoConvertor::LabCaptionMouseDown(TObject*, TMouseButton, TShiftState, int, int) { MoveByMouse(); }

void TfrmVideoConvertor::SetMainCaptions() {
  SetCaption(kProgramName);
  LabCaption->SetCaption(kProgramName);
  LabSource->SetCaption("1. Source Setup");
  LabDestination->SetCaption("2. Destination Setup");
  LabStart->SetCaption("3. Start Conversion");
  lblProfile->SetCaption("Convert to");
  lblOutPath->SetCaption("Save to");
  beOutpath->SetHint(" Specify Destination Folder...");
  btnSnapMenu->SetHint("Setting... ");
}

}  // namespace qelo::app
