#include "program.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "close_signals.h"
#include "ct_bmp_btn.h"
#include "ct_button.h"
#include "ct_common_controller.h"
#include "ct_cmbo_bx.h"
#include "ct_label.h"
#include "ct_listvw.h"
#include "ct_panel.h"
#include "ct_prgres.h"
#include "ct_shell_ctrls_unit.h"
#include "ct_shell_dialogs.h"
#include "ct_shell_intf.h"
#include "ct_shell_utils.h"
#include "log_bridge.h"
#include "program_resources.h"
#include "register_controls.h"
#include "vcl/controls/forms.h"
#include "vcl/dialogs/dialogs.h"
#include "vcl/graphics/picture.h"
#include "main_window.h"
#include "win/folders.h"
#include "win/window/display.h"

namespace qelo::app {

bool DisplayAvailable() {
  if (std::strcmp(win::DisplayName(), "headless") != 0) return true;
  const char* forced = std::getenv("QELO_HEADLESS");
  return forced != nullptr && *forced != '\0' && std::strcmp(forced, "0") != 0;
}

void InitializeProgramFramework() {
  vcl::Application()->Initialize();
  static const bool registered = [] {
    vcl::RegisterPictureResources(ProgramResources());
    ct::RegisterCtCommonClasses();
    ct::RegisterCtButtonClasses();
    ct::RegisterCtBmpButtonClasses();
    ct::RegisterCtLabelClasses();
    ct::RegisterCtPanelClasses();
    ct::RegisterCtListViewClasses();
    ct::RegisterCtComboBoxClasses();
    ct::RegisterCtProgressBarClasses();
    // The folder dialog for the main window's form.
    ct::RegisterCtShellDialogClasses();
    vcl::RegisterDialogClasses();
    controls::RegisterCustomControls();
    return true;
  }();
  (void)registered;
}

namespace {

// The shell units the folder dialog runs on, started for the program's run
// and closed down at its end, after the windows and the libraries: the
// device-change window and its mount-watch thread, OLE and the object model
// are given back.
class ShellUnits {
 public:
  ShellUnits() {
    ct::InitializeCtShellIntf();
    ct::InitializeCtShellUtils();
    ct::InitializeShellCtrls();
  }
  ~ShellUnits() {
    ct::FinalizeShellCtrls();
    ct::FinalizeCtShellUtils();
    ct::FinalizeCtShellIntf();
  }
  ShellUnits(const ShellUnits&) = delete;
  ShellUnits& operator=(const ShellUnits&) = delete;
};

}  // namespace

int RunClipshift(const ProgramLibraries& libraries,
                 const std::function<void(vcl::TCustomForm& mainWindow)>& started) {
  InitializeProgramFramework();
  const ShellUnits shellUnits;
  vcl::TApplication& application = *vcl::Application();
  // A close request from outside ends every modal run and menu and then the
  // message loop; the main window then closes without asking.
  bool closeRequested = false;
  const CloseSignals signals([&closeRequested, &application] {
    closeRequested = true;
    application.Terminate();
  });
  ProgramLife life(libraries);
  if (!life.StartUp(win::ProgramDataFolder())) return 1;
  int status = 0;
  try {
    // Asked to close during start-up (the DirectX window, say): no window
    // is made, and the libraries close down at once.
    if (!closeRequested) {
      TfrmVideoConvertor* mainWindow = nullptr;
      application.CreateForm(mainWindow);
      if (started) started(*mainWindow);
      application.Run();
      if (closeRequested) mainWindow->CloseUnasked();
    }
  } catch (const std::exception& error) {
    WriteLog(std::string("The main window failed: ") + error.what(), kLogError);
    status = 1;
  }
  // The windows go before the libraries they show.
  application.DestroyComponents();
  life.CloseDown();
  return status;
}

}  // namespace qelo::app
