// A small program of the form framework: a form read from the form file it
// carries, with panels, labels, an image, buttons and a timer. With
// --screenshot PATH it saves the form as a PNG after --seconds N (default
// 1) and ends; otherwise it runs until closed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "vcl/controls/extctrls.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/stdctrls.h"
#include "vcl/controls/timer.h"
#include "vcl/form_reader.h"
#include "win/window/display.h"

namespace qelo::res {
extern const ResourceTable kFormSampleResources;
}

using namespace qelo::vcl;

namespace {

class TfrmFormSample : public TForm {
  QELO_VCL_CLASS()
 public:
  explicit TfrmFormSample(TComponent* owner) : TForm(owner) {
    ReadComponentResource(*this, qelo::res::kFormSampleResources);
  }
  void FormCreate(TObject*) { lblTitle->SetCaption("Clipshift form sample"); }
  void btnCountClick(TObject*) { lblClicks->SetCaption("Clicks: " + std::to_string(++clicks_)); }
  void btnCloseClick(TObject*) { Close(); }
  void tmrTickTimer(TObject*) { lblTicks->SetCaption("Ticks: " + std::to_string(++ticks_)); }

  TLabel* lblTitle = nullptr;
  TLabel* lblTicks = nullptr;
  TLabel* lblClicks = nullptr;

 private:
  int ticks_ = 0;
  int clicks_ = 0;
};

const ClassInfo& TfrmFormSample::StaticClass() {
  static const ClassInfo info = ClassBuilder<TfrmFormSample>("TfrmFormSample", TForm::StaticClass())
                                    .Field("lblTitle", &TfrmFormSample::lblTitle)
                                    .Field("lblTicks", &TfrmFormSample::lblTicks)
                                    .Field("lblClicks", &TfrmFormSample::lblClicks)
                                    .Method("FormCreate", &TfrmFormSample::FormCreate)
                                    .Method("btnCountClick", &TfrmFormSample::btnCountClick)
                                    .Method("btnCloseClick", &TfrmFormSample::btnCloseClick)
                                    .Method("tmrTickTimer", &TfrmFormSample::tmrTickTimer)
                                    .Done();
  return info;
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  int seconds = 1;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--screenshot") == 0) screenshot = argv[i + 1];
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::max(std::atoi(argv[i + 1]), 1);
  }
  std::printf("display: %s\n", qelo::win::DisplayName());
  try {
    Application()->Initialize();
    RegisterPictureResources(qelo::res::kFormSampleResources);
    TfrmFormSample* form = nullptr;
    Application()->CreateForm(form);
    TTimer* finish = nullptr;
    if (!screenshot.empty()) {
      finish = new TTimer(Application());
      finish->SetInterval(seconds * 1000);
      finish->SetOnTimer([&](TObject*) {
        finish->SetEnabled(false);
        if (!qelo::win::SaveWindowScreenshot(form->Handle(), screenshot))
          std::fprintf(stderr, "could not save %s\n", screenshot.c_str());
        Application()->Terminate();
      });
    }
    Application()->Run();
    Application()->DestroyComponents();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "form sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
