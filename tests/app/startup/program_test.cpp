// The whole program on the real libraries, headless: it starts, shows its
// skinned main window with the custom controls at the layout's places,
// closes down cleanly when the window closes, and shows no window at all
// when a library cannot start.
#include "program.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "layout.h"
#include "main_window.h"
#include "program_fixture.h"
#include "shell/com.h"
#include "shell/volumes.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"
#include "win/folders.h"
#include "win/window/display.h"

namespace qelo::app {
namespace {

namespace layout = skin::main_window;

using ProgramTest = test::ProgramTestBase;

TEST_F(ProgramTest, AFailedStartUpShowsNoWindowAndEndsWithAFailure) {
  ProgramLibraries libraries = RealLibraries();
  libraries.InitializeProfile = [] { return 0; };
  bool started = false;
  EXPECT_EQ(RunClipshift(libraries, [&](vcl::TCustomForm&) { started = true; }), 1);
  EXPECT_FALSE(started);
  EXPECT_EQ(vcl::Application()->MainForm(), nullptr);
  const std::vector<std::string> log = Log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "Info: " + BeginLine());
  EXPECT_EQ(log.back(), "Error: Failed to Initialize default profile.");
}

TEST_F(ProgramTest, StartsShowsTheSkinnedMainWindowAndClosesDownWhenItCloses) {
  TfrmVideoConvertor* shown = nullptr;
  const int status = RunClipshift(RealLibraries(), [&](vcl::TCustomForm& window) {
    shown = dynamic_cast<TfrmVideoConvertor*>(&window);
    ASSERT_NE(shown, nullptr);
    vcl::Application()->Post([&window] {
      TfrmVideoConvertor& main = dynamic_cast<TfrmVideoConvertor&>(window);
      EXPECT_TRUE(main.Visible());
      EXPECT_EQ(main.Caption(), "Clipshift");
      EXPECT_EQ(main.Width(), layout::kWidth);
      EXPECT_EQ(main.Height(), layout::kHeight);
      EXPECT_FALSE(main.GetSkinImage()->Empty());
      EXPECT_FALSE(main.Image1->Visible());
      ASSERT_TRUE(main.HasMinButton());
      EXPECT_EQ(main.CloseButton()->Left(), layout::kWidth - skin::kCaptionButtonWidth - 5);
      EXPECT_EQ(main.MinButton()->Left(), main.CloseButton()->Left() - skin::kCaptionButtonWidth - 2);
      EXPECT_EQ(main.btnProfile->FileNomal(), controls::SkinPngPath("main-selectformat-normal"));
      // Every control of the form that the layout table places sits there.
      int placed = 0;
      for (const skin::Placed& p : layout::kControls) {
        auto* control = dynamic_cast<vcl::TControl*>(main.FindComponent(p.name));
        if (!control) continue;
        ++placed;
        EXPECT_EQ(control->Left(), p.box.x) << p.name;
        EXPECT_EQ(control->Top(), p.box.y) << p.name;
        EXPECT_EQ(control->Width(), p.box.w) << p.name;
        EXPECT_EQ(control->Height(), p.box.h) << p.name;
      }
      EXPECT_GE(placed, 4);
      vcl::script::Pump();  // painted
      std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
      EXPECT_TRUE(win::SaveWindowScreenshot(main.Handle(), std::string(QELO_SCREENSHOT_DIR) + "/clipshift-main-window.png"));
      main.Close();
    });
  });
  EXPECT_EQ(status, 0);
  EXPECT_NE(shown, nullptr);
  const std::vector<std::string> log = Log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log.front(), "Info: " + BeginLine());
  EXPECT_EQ(log.back(), "Info: " + EndLine());
  for (const std::string& line : log) EXPECT_EQ(line.find("Error: "), std::string::npos) << line;
}

// The program closes the shell units down at its end: the device-change
// window the folder dialog's tree asked for goes with its mount-watch
// thread, and OLE is ended.
TEST_F(ProgramTest, TheShellUnitsCloseDownAtTheEnd) {
  EXPECT_FALSE(shell::IsOleInitialized());
  int windowsDuringTheDialog = 0;
  bool oleDuringTheRun = false;
  RunProgram([&](TfrmVideoConvertor& window) {
    oleDuringTheRun = shell::IsOleInitialized();
    vcl::script::ModalScript modal;
    modal.Answer([&](vcl::TCustomForm& dialog) {
      windowsDuringTheDialog = shell::DeviceChangeWindowCount();
      dialog.SetModalResult(vcl::mrCancel);
    });
    vcl::script::Click(*window.beOutpath);
    EXPECT_EQ(modal.Pending(), 0);
  });
  EXPECT_TRUE(oleDuringTheRun);
  EXPECT_EQ(windowsDuringTheDialog, 1) << "the tree listens for devices";
  EXPECT_EQ(shell::DeviceChangeWindowCount(), 0) << "nothing listens after the end";
  EXPECT_FALSE(shell::IsOleInitialized());
  EXPECT_FALSE(shell::IsComInitialized());
}

}  // namespace
}  // namespace qelo::app
