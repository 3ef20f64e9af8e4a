// The whole program on the real libraries, headless, for the tests that
// drive it as a user would, each in a sandbox of its own (program folder,
// home and documents folder, registry, shut-down stand-in).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "main_window.h"
#include "main_window_settings.h"
#include "program_sandbox.h"
#include "startup.h"
#include "vcl/controls/scripting.h"

namespace qelo::app::test {

class ProgramTestBase : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the program: `script` runs inside its message loop once the main
  // window is shown, and the window is closed afterwards unless the script
  // closed it. The program must run its loop and end with status 0.
  int RunProgram(const std::function<void(TfrmVideoConvertor& window)>& script,
                 const ProgramLibraries& libraries = RealLibraries());

  const std::string& ProgramFolder() const { return sandbox_->ProgramFolder(); }  // with its trailing "/"
  const std::string& DocumentsFolder() const { return sandbox_->DocumentsFolder(); }
  const std::string& RegistryFolder() const { return sandbox_->RegistryFolder(); }
  std::string SettingsFile() const { return ProgramFolder() + kSettingsFileName; }
  // The settings file as it stands, split at CR LF (every line must end so).
  std::optional<std::vector<std::string>> SettingsFileLines() const;
  // Whether the shut-down stand-in ran.
  bool ShutDownRequested() const;
  std::vector<std::string> Log() const;
  // A folder of the test for media files and output.
  std::string Folder(const std::string& name) const;
  // A one-second clip with sound made in the folder, and a file of the
  // same size that no reader can open.
  std::string Clip(const std::string& folder, const std::string& name);
  std::string Corrupt(const std::string& folder, const std::string& name);
  // Adds the files through the Add Files button and its open dialog; the
  // failure boxes are answered and handed back.
  static std::vector<std::string> AddFiles(TfrmVideoConvertor& window, const std::vector<std::string>& files);
  // A column of the file list: 0 the captions, 1-4 the other columns.
  static std::vector<std::string> Texts(TfrmVideoConvertor& window, int column);

  qelo::test::TempDir dir;

 private:
  std::optional<ProgramSandbox> sandbox_;
};

// ---- input as a user gives it ------------------------------------------------------

// A click (press and release) of the left button at a point of the control.
void ClickAt(vcl::TControl& control, vcl::TPoint point, bool right = false);
void MoveMouseTo(vcl::TControl& control, vcl::TPoint point);
// The middle of a list row, `x` pixels from the row's left.
vcl::TPoint RowPoint(vcl::TListItem& row, int x);
// Selects exactly these rows, as clicks with Ctrl held would.
void SelectRows(vcl::TCustomListView& list, const std::vector<int>& rows);

// The open dialog of the next modal run takes these files.
void AnswerAddFiles(vcl::script::ModalScript& modal, const std::vector<std::string>& files);

}  // namespace qelo::app::test
