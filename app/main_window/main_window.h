// TfrmVideoConvertor: the program's main window, a skinned window read from
// its form file. Its concerns live in their own sources:
//   main_window.cpp           the class, its fields and its messages
//   main_window_life.cpp      creation, showing, closing, destruction, the
//                             settings file, the title menus, help, About
//   main_window_files.cpp     adding files, the list's rows and commands
//   main_window_list_draw.cpp the list's owner drawing
//   main_window_profiles.cpp  the profile choice and the settings dialog
//   main_window_preview.cpp   the preview in the player panel and snapshots
//   main_window_convert.cpp   Start and Stop, the run's progress and its end
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ct_bmp_btn.h"
#include "ct_label.h"
#include "ct_listvw.h"
#include "ct_panel.h"
#include "ct_prgres.h"
#include "ct_shell_dialogs.h"
#include "edit_window_page.h"
#include "main_window_list_images.h"
#include "main_window_settings.h"
#include "qelo/media.h"
#include "qelo_com_bobox.h"
#include "qelo_png_button.h"
#include "qelo_track_bar.h"
#include "skin_form.h"
#include "vcl/controls/checkbox.h"
#include "vcl/controls/extctrls.h"
#include "vcl/dialogs/dialogs.h"
#include "vcl/graphics/image_list.h"
#include "vcl/graphics/menus.h"
#include "vcl/strings.h"
#include "win/named_mutex.h"
#include "work_group_class.h"

namespace qelo::app {

// Posted by the profile drop-down's handler: wParam the profile, lParam the
// format.
inline constexpr vcl::UINT WM_PROFILE_SELECTED = 1024 + 100;

// Posted to itself by the window: the profile drop-down opens under the
// "Output Format" cell of row wParam once the list has handled the click.
inline constexpr vcl::UINT WM_OPEN_FORMAT_CELL_MENU = 1024 + 101;

// Posted to itself by the window: the list's popup menu opens at the screen
// point (wParam x, lParam y) once the list has handled the right click.
inline constexpr vcl::UINT WM_OPEN_LIST_MENU = 1024 + 102;

class TfrmVideoConvertor : public controls::TSkinForm {
  QELO_VCL_CLASS()
 public:
  explicit TfrmVideoConvertor(vcl::TComponent* owner);
  ~TfrmVideoConvertor() override;

  // ---- life (main_window_life.cpp) ----
  void FormCreate(vcl::TObject* sender);
  void FormShow(vcl::TObject* sender);
  void FormCloseQuery(vcl::TObject* sender, bool& canClose);
  void FormClose(vcl::TObject* sender, vcl::TCloseAction& action);
  void FormDestroy(vcl::TObject* sender);
  // Closes the window as a close request from outside the program wants (a
  // signal, the session ending): nobody may be there to answer, so a running
  // conversion is stopped as when the close question is answered Yes. Does
  // nothing once the window has closed.
  void CloseUnasked();
  void FormMouseDown(vcl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
  void LabCaptionMouseDown(vcl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
  void BtnFileMenuClick(vcl::TObject* sender);
  void Exit1Click(vcl::TObject* sender);
  void miHelpClick(vcl::TObject* sender);
  void ServiceSupport1Click(vcl::TObject* sender);
  void About1Click(vcl::TObject* sender);
  void beOutpathClick(vcl::TObject* sender);
  void BtnOpenPathClick(vcl::TObject* sender);
  void LoadSettings();
  void SaveSettings();
  void ClearTempFolder();
  static std::string GetMyDocumentsPath();

  // ---- files and the list (main_window_files.cpp, main_window_list_draw.cpp) ----
  void btnAddMediaFileClick(vcl::TObject* sender);
  void ppmAddClick(vcl::TObject* sender);
  void lvMediaFileCustomDrawItem(vcl::TCustomListView* sender, vcl::TListItem* item, vcl::TCustomDrawState state,
                                 bool& defaultDraw);
  void lvMediaFileDrawHeader(vcl::TObject* sender, vcl::TCanvas* canvas, int index, const vcl::TRect& rect);
  void lvMediaFileMouseDown(vcl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
  void lvMediaFileMouseMove(vcl::TObject* sender, vcl::TShiftState shift, int x, int y);
  void lvMediaFileMouseLeave(vcl::TObject* sender);
  void lvMediaFileKeyDown(vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift);
  void lvMediaFileSelectItem(vcl::TObject* sender, vcl::TListItem* item, bool selected);
  void lvMediaFileDblClick(vcl::TObject* sender);
  void lvMediaFileCustomDraw(vcl::TCustomListView* sender, const vcl::TRect& rect, bool& defaultDraw);
  void lvMediaFileColumnDragged(vcl::TObject* sender);
  void lvMediaFileDataStateChange(vcl::TObject* sender, int startIndex, int endIndex, vcl::TItemStates oldState,
                                  vcl::TItemStates newState);
  void miDeleteClick(vcl::TObject* sender);
  void ppmDeleteClick(vcl::TObject* sender);
  void miClearClick(vcl::TObject* sender);
  void ppmClearClick(vcl::TObject* sender);
  void ppmMoveupClick(vcl::TObject* sender);
  void ppmMoveDownClick(vcl::TObject* sender);
  void menuSelectAllClick(vcl::TObject* sender);
  void pmMediaFilePopup(vcl::TObject* sender);
  void btnEditClick(vcl::TObject* sender);
  void miEffectClick(vcl::TObject* sender);
  void miWatermarkClick(vcl::TObject* sender);
  void miClipClick(vcl::TObject* sender);
  void ppmEditClick(vcl::TObject* sender);
  void BtnMergeClick(vcl::TObject* sender);
  void ppmMergeClick(vcl::TObject* sender);

  void AddFilesDialog();
  // Adds each file as a job of its own, as the Add Files command does; a
  // file that cannot be added is reported in a box of its own.
  void AddMediaFiles(const std::vector<std::string>& files);
  // Adds the file to the job `groupId` (-1: a new job, whose id is handed
  // back); false when it cannot be opened or no job can take it.
  bool AddFileToJob(const std::string& path, int32_t& groupId);
  std::string MakeUniqueOutputName(const std::string& candidate, const std::string& baseName, int32_t groupId,
                                   const std::string& extension) const;
  bool ProbeMediaFile(const std::string& path);
  void AddJobListItem(int32_t groupId);
  void DeleteSelectedRows();
  // Moves the row at `index` below the row that follows it.
  void MoveRowDown(int index);
  void DisableListCommands();
  void UpdateSelectionCommands(bool hasSelection);

  // ---- profiles and settings (main_window_profiles.cpp) ----
  void FillProfileMenu();
  void btnProfileClick(vcl::TObject* sender);
  void OnProfileSelected(vcl::TObject* sender, const std::string& itemName, int profile, int format);
  void WMProfileSelected(int profile, int format);
  void btnSettingsClick(vcl::TObject* sender);

  // ---- preview (main_window_preview.cpp) ----
  void BtnPlayClick(vcl::TObject* sender);
  void btnPauseClick(vcl::TObject* sender);
  void btnStopClick(vcl::TObject* sender);
  void tbPlayerTrackChange(vcl::TObject* sender, int64_t position);
  void btnSnapshotClick(vcl::TObject* sender);
  void btnSnapMenuClick(vcl::TObject* sender);
  void miExploreSnapClick(vcl::TObject* sender);
  void miSetOutpathClick(vcl::TObject* sender);
  void WMPlayerPosition(uint32_t high, uint32_t low);
  void WMPlayerEnd();
  bool PreparePreview(int32_t groupId, int fileIndex);
  bool OpenPreviewFile(const SourceEntry& entry);
  bool StartPlayback();
  void ClosePreviewFile();
  // -1 nothing open, 0 ready or paused, 1 playing, 2 stopped.
  void SetPlayButtons(int state);
  const SourceEntry* PreviewSource() const { return previewSource_; }

  // ---- conversion (main_window_convert.cpp) ----
  void BtnStartClick(vcl::TObject* sender);
  bool StartWorkGroups();
  // Gives every runnable job whose output name is taken on disk by now a
  // fresh one, shown in its row and logged.
  void RenameTakenOutputs();
  void SetBusyState(bool busy);
  void WMConvertProgress(int totalPercent, int jobPercent);
  void WMConvertJobStart(int32_t engineIndex);
  void WMConvertJobDone(int32_t engineIndex);
  void WMConvertAllDone();
  void WMConvertStopped(bool stopped);

  // The folder dialog (the folder to start at in, the chosen one out; false
  // when cancelled): `fdOutputPath` unless a test gives another.
  std::function<bool(std::string& folder)> ChooseFolder;

  // ---- state, for the window's own units and its tests ----
  TWorkGroupClassArray& Jobs() { return jobs_; }
  vcl::TStrings& SettingsLines() { return settings_; }
  int HotRow() const { return hotRow_; }
  int PlayerIndex() const { return playerIndex_; }
  bool Converting() const { return converting_ != 0; }
  controls::TQeloComBobox* ProfileMenu() const { return profileMenu_; }
  // The data word of a list row (0 for none).
  static uint32_t RowData(const vcl::TListItem* item);

  // ---- the form's components ----
  vcl::TImage* Image1 = nullptr;
  ct::TCtLabel* LabCaption = nullptr;
  ct::TCtBmpButton* BtnFileMenu = nullptr;
  ct::TCtBmpButton* btnEditMenu = nullptr;
  ct::TCtBmpButton* btnHelpMenu = nullptr;
  ct::TCtLabel* LabSource = nullptr;
  ct::TCtBmpButton* btnAddMediaFile = nullptr;
  ct::TCtBmpButton* btnEdit = nullptr;
  ct::TCtBmpButton* BtnMerge = nullptr;
  ct::TCtListView* lvMediaFile = nullptr;
  vcl::TImageList* ilRowHeight = nullptr;
  ct::TCtPanel* pnlPlayer = nullptr;
  controls::TQeloTrackBar* tbPlayer = nullptr;
  ct::TCtBmpButton* BtnPlay = nullptr;
  ct::TCtBmpButton* btnPause = nullptr;
  ct::TCtBmpButton* btnStop = nullptr;
  ct::TCtBmpButton* btnSnapshot = nullptr;
  controls::TQeloPngButton* btnSnapMenu = nullptr;
  ct::TCtLabel* LabDestination = nullptr;
  ct::TCtLabel* lblProfile = nullptr;
  controls::TQeloPngButton* btnProfile = nullptr;
  ct::TCtBmpButton* btnSettings = nullptr;
  ct::TCtLabel* lblOutPath = nullptr;
  controls::TQeloPngButton* beOutpath = nullptr;
  ct::TCtBmpButton* BtnOpenPath = nullptr;
  ct::TCtLabel* LabStart = nullptr;
  ct::TCtBmpButton* BtnStart = nullptr;
  ct::TCtBmpButton* BtnStartStop = nullptr;
  vcl::TCheckBox* chkAutoShutdown = nullptr;
  ct::TCtProgressBar* pbWgProgress = nullptr;
  ct::TCtProgressBar* pbTotalProgress = nullptr;
  vcl::TOpenDialog* odMediaFile = nullptr;
  ct::TCtSelectFolderDialog* fdOutputPath = nullptr;

  vcl::TPopupMenu* menuFile = nullptr;
  vcl::TMenuItem* Open1 = nullptr;
  vcl::TMenuItem* Exit1 = nullptr;
  vcl::TPopupMenu* MenuEdit = nullptr;
  vcl::TMenuItem* miCrop = nullptr;
  vcl::TMenuItem* miEffect = nullptr;
  vcl::TMenuItem* miWatermark = nullptr;
  vcl::TMenuItem* miClip = nullptr;
  vcl::TMenuItem* miDelete = nullptr;
  vcl::TMenuItem* miClear = nullptr;
  vcl::TPopupMenu* MenuHelp = nullptr;
  vcl::TMenuItem* miHelp = nullptr;
  vcl::TMenuItem* ServiceSupport1 = nullptr;
  vcl::TMenuItem* About1 = nullptr;
  vcl::TPopupMenu* pmMediaFile = nullptr;
  vcl::TMenuItem* ppmEdit = nullptr;
  vcl::TMenuItem* ppmMerge = nullptr;
  vcl::TMenuItem* ppmDelete = nullptr;
  vcl::TMenuItem* ppmClear = nullptr;
  vcl::TMenuItem* ppmMoveDown = nullptr;
  vcl::TMenuItem* ppmMoveup = nullptr;
  vcl::TMenuItem* ppmAdd = nullptr;
  vcl::TMenuItem* menuSelectAll = nullptr;
  vcl::TPopupMenu* pmSnapshot = nullptr;
  vcl::TMenuItem* miSnapshot = nullptr;
  vcl::TMenuItem* miExploreSnap = nullptr;
  vcl::TMenuItem* miSetOutpath = nullptr;

 protected:
  void SetMainCaptions() override;
  void Dispatch(vcl::TMessage& message) override;

 private:
  // ---- rows (main_window_files.cpp) ----
  std::vector<uint32_t> RowsData();
  vcl::TListItem* SelectedRow(int* index = nullptr);
  std::vector<int> SelectedRowIndexes();
  void SetRowData(vcl::TListItem* item, uint32_t data);
  void MoveRow(int from, int to);
  void MoveSelectedRow(bool down);
  void ExchangeWithFileRow(int index, int neighbour);
  void ClearAllRows();
  void MergeSelectedJobs();
  void AddMergedRows(int at, TWorkGroupClass& job, bool formatsDiffered);
  void OpenEditWindowAt(TEditPage page);
  void ShowOutputLengths(const TWorkGroupClass& job);
  // The "Output Format" cell of a row, in the list's client coordinates.
  vcl::TRect FormatCellRect(const vcl::TListItem& item) const;
  vcl::TRect ColumnRect(const vcl::TListItem& item, int column) const;
  void OpenFormatCellMenu(int row);
  std::string OutputFolder() const;
  std::string FormatName(int profile, int format) const;
  void FreeHeldMediaInfo();

  // ---- preview and conversion ----
  // Moves the seek bar without seeking.
  void MoveSeekBar(int64_t milliseconds);
  void ShowStopButton(bool stop);
  void EndRun();

  // ---- drawing (main_window_list_draw.cpp) ----
  void DrawRowImage(vcl::TCanvas& canvas, const vcl::TPngImage& image, int x, const vcl::TRect& row);
  void DrawRowTree(vcl::TCanvas& canvas, const vcl::TRect& row, int x, bool lastFile);
  void DrawFormatCell(vcl::TCanvas& canvas, const vcl::TListItem& item, bool hot);

  // ---- profiles (main_window_profiles.cpp) ----
  bool ChoiceInCatalogue(int32_t choice) const;
  void ShowChoiceOnProfileButton(int profile, int format, const std::string& caption);
  void ApplyChoiceToJob(TWorkGroupClass& job, vcl::TListItem& row, int profile, int format);
  void RenameJobsForFolder(const std::string& folder);
  bool RunFolderDialog(std::string& folder);

  vcl::TStringList settings_;
  // kKeptOut: what stands at the settings file's path is not replaced.
  SettingsLoad settingsLoad_ = SettingsLoad::kDefaults;
  TWorkGroupClassArray jobs_;
  MediaInfo* heldMediaInfo_ = nullptr;
  int playerIndex_ = -1;
  SourceEntry* previewSource_ = nullptr;
  controls::TQeloComBobox* profileMenu_ = nullptr;
  int prevHotRow_ = -1;
  int hotRow_ = -1;
  std::string pendingCaption_;
  uint8_t converting_ = 0;
  bool closeUnasked_ = false;  // the close being made asks nothing
  bool closed_ = false;        // FormClose has run
  // "FreeClipshift", held for the life of the window; nothing tests it.
  std::unique_ptr<win::NamedMutex> programMutex_;
  TListImages listImages_;
};

}  // namespace qelo::app
