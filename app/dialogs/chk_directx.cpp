#include "chk_directx.h"

#include <memory>

#include "program_resources.h"
#include "vcl/form_reader.h"

namespace qelo::app {

using namespace vcl;

namespace {

constexpr const char* kOldVersionText =
    "The version of DirectX installed on your system is under 9.0c. To drive \r"
    "high-speed performance on your pc, we suggest you install the latest \r"
    "version from Microsoft's official website as below:";

constexpr const char* kAccelerationOffText =
    "Your DirectDraw Acceleration can't be enabled, please enable \r"
    "it by following the steps below:\r"
    "\r"
    "Step1. Click on Start > Run > then type DxDiag and click OK.\r"
    "Step2. Switch to Display tab, click the 'Enable' button to enable \r"
    "            the DirectDraw Acceleration.\r"
    "Step3. Click Exit and restart Clipshift video converter program.";

}  // namespace

const ClassInfo& TfrmChkDirectX::StaticClass() {
  using T = TfrmChkDirectX;
  static const ClassInfo info = ClassBuilder<T>("TfrmChkDirectX", TForm::StaticClass())
                                    .Field("lblText", &T::lblText)
                                    .Field("lblLink", &T::lblLink)
                                    .Field("CtButton1", &T::CtButton1)
                                    .Method("FormShow", &T::FormShow)
                                    .Done();
  return info;
}

TfrmChkDirectX::TfrmChkDirectX(TComponent* owner, uint8_t kind) : TForm(owner), kind_(kind) {
  ReadComponentResource(*this, ProgramResources());
}

void TfrmChkDirectX::FormShow(TObject*) {
  const bool oldVersion = kind_ == kOldVersion;
  lblText->SetCaption(oldVersion ? kOldVersionText : kAccelerationOffText);
  lblLink->SetVisible(oldVersion);
}

void ShowDirectXInformation(uint8_t kind) {
  std::unique_ptr<TfrmChkDirectX, void (*)(TfrmChkDirectX*)> window(new TfrmChkDirectX(nullptr, kind),
                                                                     [](TfrmChkDirectX* w) { w->Free(); });
  window->ShowModal();
}

}  // namespace qelo::app
