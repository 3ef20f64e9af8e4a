#include "program_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/log_reading.h"
#include "common/media_fixture.h"
#include "common/watchdog.h"
#include "program.h"
#include "vcl/dialogs/open_dialog_form.h"
#include "win/window/display.h"

namespace qelo::app::test {

namespace fs = std::filesystem;

void ProgramTestBase::SetUp() { sandbox_.emplace(dir.path(), QELO_SKIN_DIR); }

void ProgramTestBase::TearDown() { sandbox_.reset(); }

int ProgramTestBase::RunProgram(const std::function<void(TfrmVideoConvertor&)>& script,
                                const ProgramLibraries& libraries) {
  const qelo::test::Watchdog watchdog(std::chrono::seconds(120), "a run of the program");
  bool ran = false;
  const int status = RunClipshift(libraries, [&script, &ran](vcl::TCustomForm& window) {
    auto* main = dynamic_cast<TfrmVideoConvertor*>(&window);
    ASSERT_NE(main, nullptr);
    vcl::Application()->Post([main, &script, &ran] {
      vcl::script::Pump();
      ran = true;
      script(*main);
      if (main->Visible()) main->Close();
    });
  });
  EXPECT_EQ(status, 0) << "the program failed: " << (Log().empty() ? "" : Log().back());
  EXPECT_TRUE(ran) << "the program ran no message loop";
  return status;
}

std::optional<std::vector<std::string>> ProgramTestBase::SettingsFileLines() const {
  std::ifstream in(SettingsFile(), std::ios::binary);
  if (!in) return std::nullopt;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start != text.size()) lines.push_back("(no CR LF) " + text.substr(start));
  return lines;
}

bool ProgramTestBase::ShutDownRequested() const { return fs::exists(sandbox_->ShutDownMark()); }

std::vector<std::string> ProgramTestBase::Log() const { return qelo::test::LogTexts(ProgramFolder()); }

std::string ProgramTestBase::Folder(const std::string& name) const {
  const std::string folder = dir.File(name);
  fs::create_directories(folder);
  return folder;
}

std::string ProgramTestBase::Clip(const std::string& folder, const std::string& name) {
  const std::string path = qelo::test::MakeVideoAudio(Folder(folder), name, 1.0, 160, 120, 10);
  EXPECT_FALSE(path.empty()) << "ffmpeg made no " << name;
  return path;
}

std::string ProgramTestBase::Corrupt(const std::string& folder, const std::string& name) {
  const std::string path = Folder(folder) + "/" + name;
  std::ofstream(path, std::ios::binary) << std::string(4096, '\x5a');
  return path;
}

std::vector<std::string> ProgramTestBase::AddFiles(TfrmVideoConvertor& window, const std::vector<std::string>& files) {
  vcl::script::ModalScript modal;
  AnswerAddFiles(modal, files);
  for (size_t i = 0; i < files.size(); ++i) modal.Answer(vcl::mrOk);
  vcl::script::Click(*window.btnAddMediaFile);
  return std::vector<std::string>(modal.Seen().begin() + 1, modal.Seen().end());
}

std::vector<std::string> ProgramTestBase::Texts(TfrmVideoConvertor& window, int column) {
  std::vector<std::string> texts;
  vcl::TListItems& items = *window.lvMediaFile->Items();
  for (int i = 0; i < items.Count(); ++i)
    texts.push_back(column == 0 ? items[i]->Caption() : items[i]->SubItems()->Get(column - 1));
  return texts;
}

// ---- input ------------------------------------------------------------------------------

void ClickAt(vcl::TControl& control, vcl::TPoint point, bool right) {
  const vcl::TPoint screen = control.ClientToScreen(point);
  const win::POINT p{screen.x, screen.y};
  const auto button = right ? win::MouseButton::Right : win::MouseButton::Left;
  win::InjectMouseMove(p);
  win::InjectMouseButton(button, true, p);
  win::InjectMouseButton(button, false, p);
  vcl::script::Pump();
}

void MoveMouseTo(vcl::TControl& control, vcl::TPoint point) { vcl::script::MoveMouse(control, point); }

vcl::TPoint RowPoint(vcl::TListItem& row, int x) {
  const vcl::TRect r = row.DisplayRect(vcl::drBounds);
  return vcl::Point(r.left + x, (r.top + r.bottom) / 2);
}

void SelectRows(vcl::TCustomListView& list, const std::vector<int>& rows) {
  list.ClearSelection();
  for (int row : rows) list.Items()->Item(row)->SetSelected(true);
  vcl::script::Pump();
}

void AnswerAddFiles(vcl::script::ModalScript& modal, const std::vector<std::string>& files) {
  vcl::script::AnswerOpenDialog(modal, files);
}

}  // namespace qelo::app::test
