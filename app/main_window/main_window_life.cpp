// The main window from creation to destruction: the named mutex, the skin,
// the settings file and its folders, the player instance, the question
// when it is closed during a run, and what goes when it closes; the title
// area's menus, the output folder, help, the web site and the About box.
#include "about.h"
#include "log_bridge.h"
#include "main_window.h"
#include "main_window_settings.h"
#include "qelo/codecs.h"
#include "qelo/convertor.h"
#include "qelo/player_exports.h"
#include "shell/launch.h"
#include "startup.h"
#include "vcl/sysutils.h"
#include "win/folders.h"

namespace qelo::app {

using namespace vcl;

namespace {

// The maker's support pages, opened in the desktop's browser.
constexpr const char* kSupportAddress = "https://clipshift.example.org/support/";
// Our own guide, an HTML file with its pictures in Help/ beside it.
constexpr const char* kHelpFile = "FreeClipshift.html";
// The title area's menus sit 2 pixels below their buttons.
constexpr int kMenuGap = 2;

}  // namespace

void TfrmVideoConvertor::FormCreate(TObject*) {
  programMutex_ = std::make_unique<win::NamedMutex>("FreeClipshift");
  SetCaption(kProgramName);
  ApplySkin();
  hotRow_ = prevHotRow_ = -1;
  FreeHeldMediaInfo();
  playerIndex_ = -1;
  previewSource_ = nullptr;
  converting_ = 0;
  listImages_.Load(win::ProgramFolder());
  LoadSettings();
  tbPlayer->SetPosition(0);
  ChooseFolder = [this](std::string& folder) { return RunFolderDialog(folder); };
}

bool TfrmVideoConvertor::RunFolderDialog(std::string& folder) {
  fdOutputPath->SetSelectedPathName(folder);
  if (!fdOutputPath->Execute()) return false;
  folder = fdOutputPath->SelectedPathName();
  return true;
}

void TfrmVideoConvertor::FormShow(TObject*) {
  playerIndex_ = QeloCreatePlayerInstance(pnlPlayer->Handle(), 0);
  if (playerIndex_ == -1)
    WriteLog("Failed to Create Player Instance.", kLogInfo);
  else
    QeloSetMsgHandle(Handle(), playerIndex_);
  FillProfileMenu();
  LabCaption->SetCaption(kProgramName);
}

void TfrmVideoConvertor::FormCloseQuery(TObject*, bool& canClose) {
  canClose = true;
  if (!converting_) return;
  if (!closeUnasked_ && Application()->MessageBox("Do you want to cancel the conversion?", "Information",
                                                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    canClose = false;
    return;
  }
  converting_ = 0;
  QeloStopWorkGroup();
}

void TfrmVideoConvertor::CloseUnasked() {
  if (closed_) return;
  closeUnasked_ = true;
  Close();
}

void TfrmVideoConvertor::FormClose(TObject*, TCloseAction&) {
  closed_ = true;
  FreeHeldMediaInfo();
  if (playerIndex_ == -1) return;
  ClosePreviewFile();
  QeloDestroyPlayerInstance(playerIndex_);
  playerIndex_ = -1;
}

// Nothing may post to the window once it is gone: the engine's callback is
// taken back (a run still going is stopped first, which waits for its thread).
void TfrmVideoConvertor::FormDestroy(TObject*) {
  if (converting_) {
    converting_ = 0;
    QeloStopWorkGroup();
  }
  RegisterCallBackPorcess(nullptr, nullptr);
  previewSource_ = nullptr;
  jobs_.ClearJobs();
  ClearTempFolder();
  SaveSettings();
  if (profileMenu_) {
    profileMenu_->DestroyPopup();
    profileMenu_ = nullptr;
  }
}

void TfrmVideoConvertor::FormMouseDown(TObject*, TMouseButton, TShiftState, int, int) {}

void TfrmVideoConvertor::LabCaptionMouseDown(TObject*, TMouseButton, TShiftState, int, int) { MoveByMouse(); }

// ---- the settings file ---------------------------------------------------------------

void TfrmVideoConvertor::LoadSettings() {
  settingsLoad_ = LoadSettingsLines(win::ProgramDataFolder() + kSettingsFileName,
                                    SettingsFolders{win::ProgramFolder(), GetMyDocumentsPath()}, settings_);
}

void TfrmVideoConvertor::SaveSettings() {
  if (settingsLoad_ == SettingsLoad::kKeptOut) return;
  SaveSettingsLines(win::ProgramDataFolder() + kSettingsFileName, settings_);
}

// Only a temporary folder the program made and marked is emptied: the line
// may name the documents folder (a fallback) or nothing at all.
void TfrmVideoConvertor::ClearTempFolder() {
  if (settings_.Count() > slTempFolder) ClearMarkedTempFolder(settings_.Get(slTempFolder));
}

std::string TfrmVideoConvertor::GetMyDocumentsPath() { return win::DocumentsFolder(); }

// ---- menus and commands ------------------------------------------------------------------

void TfrmVideoConvertor::BtnFileMenuClick(TObject* sender) {
  auto* button = dynamic_cast<TControl*>(sender);
  if (!button || !button->Parent()) return;
  const TPoint at =
      button->Parent()->ClientToScreen(Point(button->Left(), button->Top() + button->Height() + kMenuGap));
  TPopupMenu* menus[] = {menuFile, MenuEdit, MenuHelp};
  const int tag = button->Tag();
  if (tag >= 0 && tag < 3) menus[tag]->Popup(at.x, at.y);
}

void TfrmVideoConvertor::Exit1Click(TObject*) { Close(); }

void TfrmVideoConvertor::miHelpClick(TObject*) {
  const std::string help = win::ProgramFolder() + kHelpFile;
  if (FileExists(help)) shell::ShellExecute(Handle(), nullptr, help.c_str(), nullptr, nullptr, win::SW_SHOWNORMAL);
}

void TfrmVideoConvertor::ServiceSupport1Click(TObject*) {
  std::string error;
  if (!shell::OpenWithDefaultHandler(kSupportAddress, &error))
    WriteLog("The web site cannot be opened: " + error, kLogWarning);
}

void TfrmVideoConvertor::About1Click(TObject*) {
  TfrmAbout about(this);
  about.ShowModal();
}

void TfrmVideoConvertor::beOutpathClick(TObject*) {
  std::string folder = beOutpath->Caption();
  if (!ChooseFolder) {
    WriteLog("The folder dialog is not part of this program yet; the output folder stays " + folder + ".", kLogInfo);
    return;
  }
  if (!ChooseFolder(folder) || folder.empty()) return;
  beOutpath->SetCaption(folder);
  settings_.Put(slOutputFolder, folder);
  RenameJobsForFolder(folder);
}

void TfrmVideoConvertor::BtnOpenPathClick(TObject*) {
  const std::string folder = beOutpath->Caption();
  if (!folder.empty()) shell::ShellExecute(Handle(), "explore", folder.c_str(), nullptr, nullptr, win::SW_SHOWNORMAL);
}

}  // namespace qelo::app
