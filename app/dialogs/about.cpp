#include "about.h"

#include "program_resources.h"
#include "startup.h"
#include "vcl/form_reader.h"

namespace qelo::app {

using namespace vcl;

const ClassInfo& TfrmAbout::StaticClass() {
  using T = TfrmAbout;
  static const ClassInfo info = ClassBuilder<T>("TfrmAbout", TSkinForm::StaticClass())
                                    .Field("LabCaption", &T::LabCaption)
                                    .Field("Img", &T::Img)
                                    .Field("LabName", &T::LabName)
                                    .Field("lblDescription", &T::lblDescription)
                                    .Field("CtURLLabel2", &T::CtURLLabel2)
                                    .Field("CtURLLabel1", &T::CtURLLabel1)
                                    .Field("CtURLLabel3", &T::CtURLLabel3)
                                    .Field("lblRegisiter", &T::lblRegisiter)
                                    .Method("FormCreate", &T::FormCreate)
                                    .Done();
  return info;
}

TfrmAbout::TfrmAbout(TComponent* owner) : TSkinForm(owner, StaticClass()) {
  ReadComponentResource(*this, ProgramResources());
}

void TfrmAbout::FormCreate(TObject*) {
  ApplySkin();
  LabName->SetCaption(std::string(kProgramName) + " " + kAboutVersion);
}

}  // namespace qelo::app
