// The main window's file list: adding files through the open dialog (each
// probed by the codec bridge and given a unique output name), the rows and
// their data words, the mouse and keys on the list, removing, clearing,
// moving and merging rows, and which commands are enabled when.
#include <algorithm>

#include "edit_window.h"
#include "log_bridge.h"
#include "main_window.h"
#include "main_window_rows.h"
#include "main_window_settings.h"
#include "merge_jobs.h"
#include "output_names.h"
#include "qelo/codecs.h"
#include "qelo/fileformat.h"
#include "qelo/player_exports.h"
#include "vcl/controls/forms.h"
#include "vcl/sysutils.h"
#include "win/codepage.h"

namespace qelo::app {

using namespace vcl;

namespace {

// The check mark's column, measured from the row's left.
constexpr int kCheckMarkWidth = 20;
constexpr int kFormatColumn = 3;

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string FileNameWithoutExtension(const std::string& path) { return ChangeFileExt(ExtractFileName(path), ""); }

std::string Seconds(int64_t units) { return SecondsToTimeText(units / QELO_TIME_UNITS_PER_SECOND); }

void SetSubItems(TListItem& row, std::initializer_list<std::string> texts) {
  TStrings& subItems = *row.SubItems();
  subItems.Clear();
  for (const std::string& text : texts) subItems.Add(text);
}

}  // namespace

// ---- adding files ------------------------------------------------------------------

void TfrmVideoConvertor::btnAddMediaFileClick(TObject*) { AddFilesDialog(); }
void TfrmVideoConvertor::ppmAddClick(TObject*) { AddFilesDialog(); }

void TfrmVideoConvertor::AddFilesDialog() {
  odMediaFile->SetFilter(MediaFileFilter());
  odMediaFile->SetInitialDir(settings_.Get(slOpenFolder));
  int32_t filterIndex = 0;
  ParseSettingsInteger(settings_.Get(slFilterIndex), filterIndex);
  odMediaFile->SetFilterIndex(filterIndex);
  TOpenOptions options = odMediaFile->Options();
  options.Include(ofAllowMultiSelect);
  odMediaFile->SetOptions(options);
  if (!odMediaFile->Execute()) return;
  settings_.Put(slOpenFolder, ExtractFilePath(odMediaFile->FileName()));
  settings_.Put(slFilterIndex, std::to_string(odMediaFile->FilterIndex()));
  const TStrings& chosen = *odMediaFile->Files();
  std::vector<std::string> files;
  for (int i = 0; i < chosen.Count(); ++i) files.push_back(chosen.Get(i));
  AddMediaFiles(files);
}

void TfrmVideoConvertor::AddMediaFiles(const std::vector<std::string>& files) {
  for (const std::string& path : files) {
    int32_t groupId = -1;
    if (AddFileToJob(path, groupId))
      AddJobListItem(groupId);
    else
      Application()->MessageBox("Failed to add video file.(" + path + ")", "", MB_OK);
  }
  lvMediaFile->ResizeLastColumn();
  UpdateSelectionCommands(false);
}

bool TfrmVideoConvertor::AddFileToJob(const std::string& path, int32_t& groupId) {
  TWorkGroupClass* job = nullptr;
  if (groupId == -1) {
    job = jobs_.AddJob();
    if (!job) return false;
    const auto choice = static_cast<uint32_t>(btnProfile->Tag());
    job->profileIndex = static_cast<int32_t>(choice >> 16);
    job->formatIndex = static_cast<int32_t>(choice & 0xFFFF);
    QeloGetFileFormatDefault(job->profileIndex, job->formatIndex, &job->GetFormatSettings());
    const std::string base = FileNameWithoutExtension(path);
    const std::string ext = OutputFileExtension(job->GetFormatSettings().formatId);
    const std::string name = MakeUniqueOutputName(JoinPath(OutputFolder(), base + ext), base, -1, ext);
    // An output folder too long for any name leaves the file out.
    if (name.empty()) {
      jobs_.RemoveJob(job->groupId);
      return false;
    }
    job->SetOutputName(name);
  } else {
    job = jobs_.JobById(groupId);
  }
  if (!job) return false;
  groupId = job->groupId;
  if (ProbeMediaFile(path) && job->AddSourceEntry(path, heldMediaInfo_)) return true;
  // A job left without a file is not kept, whatever refused the file.
  if (job->EntryCount() == 0) jobs_.RemoveJob(groupId);
  return false;
}

std::string TfrmVideoConvertor::MakeUniqueOutputName(const std::string& candidate, const std::string& baseName,
                                                     int32_t groupId, const std::string& extension) const {
  return app::MakeUniqueOutputName(jobs_, candidate, baseName, groupId, extension);
}

bool TfrmVideoConvertor::ProbeMediaFile(const std::string& path) {
  FreeHeldMediaInfo();
  QeloMallocFileFormatInfo(&heldMediaInfo_);
  if (!heldMediaInfo_) return false;
  const int handle = QeloLoadMediaFile(win::Utf8ToUtf16(path).c_str(), heldMediaInfo_);
  if (handle == -1) {
    FreeHeldMediaInfo();
    return false;
  }
  QeloUnloadMediaFile(handle);
  return true;
}

void TfrmVideoConvertor::FreeHeldMediaInfo() {
  if (!heldMediaInfo_) return;
  QeloFreeFileFormatInfo(heldMediaInfo_);
  heldMediaInfo_ = nullptr;
}

void TfrmVideoConvertor::AddJobListItem(int32_t groupId) {
  TWorkGroupClass* job = jobs_.JobById(groupId);
  if (!job || job->EntryCount() == 0) return;
  TListItem* row = lvMediaFile->Items()->Add();
  row->SetCaption(job->JobCaption());
  SetSubItems(*row, {Seconds(job->LastEntry()->sourceDuration), Seconds(job->GetTotalDuration()),
                     FormatName(job->profileIndex, job->formatIndex), ExtractFileName(job->GetOutputName())});
  SetRowData(row, MakeRowData(rkSingleJob, groupId, job->EntryCount() - 1));
}

std::string TfrmVideoConvertor::OutputFolder() const { return beOutpath->Caption(); }

std::string TfrmVideoConvertor::FormatName(int profile, int format) const {
  const char16_t* name = QeloGetFileFormatName(profile, format);
  return name ? win::Utf16ToUtf8(name) : std::string();
}

// ---- rows ------------------------------------------------------------------------------

std::vector<uint32_t> TfrmVideoConvertor::RowsData() {
  std::vector<uint32_t> rows;
  TListItems& items = *lvMediaFile->Items();
  rows.reserve(static_cast<size_t>(items.Count()));
  for (int i = 0; i < items.Count(); ++i) rows.push_back(RowData(items[i]));
  return rows;
}

TListItem* TfrmVideoConvertor::SelectedRow(int* index) {
  TListItem* row = lvMediaFile->Selected();
  if (index) *index = row ? row->Index() : -1;
  return row;
}

std::vector<int> TfrmVideoConvertor::SelectedRowIndexes() {
  std::vector<int> rows;
  TListItems& items = *lvMediaFile->Items();
  for (int i = 0; i < items.Count(); ++i)
    if (items[i]->Selected()) rows.push_back(i);
  return rows;
}

TRect TfrmVideoConvertor::ColumnRect(const TListItem& item, int column) const {
  TRect r = item.DisplayRect(drBounds);
  const TListColumns& columns = *lvMediaFile->Columns();
  for (int i = 0; i < column && i < columns.Count(); ++i) r.left += columns.Items(i)->Width();
  r.right = column < columns.Count() ? r.left + columns.Items(column)->Width() : r.left;
  return r;
}

TRect TfrmVideoConvertor::FormatCellRect(const TListItem& item) const { return ColumnRect(item, kFormatColumn); }

// A copy of the row (caption, texts, data, selection) goes to `to`, the
// index the row has once the move is done, and the row itself goes.
void TfrmVideoConvertor::MoveRow(int from, int to) {
  TListItems& items = *lvMediaFile->Items();
  if (from == to || from < 0 || to < 0 || from >= items.Count() || to >= items.Count()) return;
  TListItem* copy = items.Insert(to < from ? to : to + 1);
  TListItem* original = items[to < from ? from + 1 : from];
  copy->SetCaption(original->Caption());
  copy->SubItems()->Assign(original->SubItems());
  copy->SetData(original->Data());
  const bool selected = original->Selected();
  original->Delete();
  if (selected) {
    copy->SetSelected(true);
    copy->SetFocused(true);
  }
}

void TfrmVideoConvertor::MoveRowDown(int index) { MoveRow(index, index + 1); }

void TfrmVideoConvertor::ExchangeWithFileRow(int index, int neighbour) {
  TListItems& items = *lvMediaFile->Items();
  const int upper = std::min(index, neighbour);
  TListItem* a = items[upper];
  TListItem* b = items[upper + 1];
  const uint32_t dataA = RowData(a);
  const uint32_t dataB = RowData(b);
  if (TWorkGroupClass* job = jobs_.JobById(RowGroupId(dataA))) job->SwapEntryWithNext(RowFileIndex(dataA));
  SetRowData(a, MakeRowData(rkMergedFile, RowGroupId(dataA), RowFileIndex(dataB)));
  SetRowData(b, MakeRowData(rkMergedFile, RowGroupId(dataB), RowFileIndex(dataA)));
  MoveRowDown(upper);
}

void TfrmVideoConvertor::MoveSelectedRow(bool down) {
  if (lvMediaFile->SelCount() != 1) return;
  int index = -1;
  SelectedRow(&index);
  const std::vector<uint32_t> rows = RowsData();
  const MoveChoice choice = MoveChoiceOfRow(rows, index);
  if (down ? !choice.down : !choice.up) return;
  if (RowKindOf(rows[static_cast<size_t>(index)]) == rkMergedFile) {
    ExchangeWithFileRow(index, down ? index + 1 : index - 1);
    return;
  }
  // The unit below passes over the unit above it, row by row.
  const RowBlock unit = JobRowsAt(rows, index);
  const RowBlock upper = down ? unit : JobRowsAt(rows, unit.first - 1);
  const RowBlock lower = down ? JobRowsAt(rows, unit.last + 1) : unit;
  for (int k = 0; k <= lower.last - lower.first; ++k) MoveRow(lower.first + k, upper.first + k);
}

void TfrmVideoConvertor::ppmMoveupClick(TObject*) { MoveSelectedRow(false); }
void TfrmVideoConvertor::ppmMoveDownClick(TObject*) { MoveSelectedRow(true); }

// ---- removing and clearing ---------------------------------------------------------------

void TfrmVideoConvertor::DeleteSelectedRows() {
  if (lvMediaFile->SelCount() == 0) return;
  // The player lets go of its file before the entry it reads from is freed.
  ClosePreviewFile();
  TListItems& items = *lvMediaFile->Items();
  int i = 0;
  while (i < items.Count()) {
    TListItem* row = items[i];
    if (!row->Selected()) {
      ++i;
      continue;
    }
    const uint32_t data = RowData(row);
    const int32_t groupId = RowGroupId(data);
    switch (RowKindOf(data)) {
      case rkMergedHeader:
        jobs_.RemoveJob(groupId);
        while (i + 1 < items.Count() && RowKindOf(RowData(items[i + 1])) == rkMergedFile &&
               RowGroupId(RowData(items[i + 1])) == groupId)
          items.Delete(i + 1);
        break;
      case rkMergedFile:
        jobs_.RemoveJobEntry(groupId, RowFileIndex(data));
        if (jobs_.JobHasEntries(groupId)) {
          for (int j = i + 1; j < items.Count() && RowGroupId(RowData(items[j])) == groupId &&
                              RowKindOf(RowData(items[j])) == rkMergedFile;
               ++j) {
            const uint32_t later = RowData(items[j]);
            SetRowData(items[j], MakeRowData(rkMergedFile, groupId, RowFileIndex(later) - 1));
          }
        } else {
          jobs_.RemoveJob(groupId);
          if (i > 0 && RowKindOf(RowData(items[i - 1])) == rkMergedHeader &&
              RowGroupId(RowData(items[i - 1])) == groupId) {
            items.Delete(i - 1);
            --i;
          }
        }
        break;
      default:
        jobs_.RemoveJob(groupId);
        break;
    }
    items.Delete(i);
  }
  UpdateSelectionCommands(lvMediaFile->SelCount() > 0);
  lvMediaFile->ResizeLastColumn();
  lvMediaFile->Invalidate();
}

void TfrmVideoConvertor::miDeleteClick(TObject*) { DeleteSelectedRows(); }
void TfrmVideoConvertor::ppmDeleteClick(TObject*) { DeleteSelectedRows(); }

void TfrmVideoConvertor::ClearAllRows() {
  if (btnStop->Enabled()) QeloStop(playerIndex_);
  ClosePreviewFile();
  jobs_.ClearJobs();
  lvMediaFile->Items()->Clear();
  DisableListCommands();
}

void TfrmVideoConvertor::miClearClick(TObject*) { ClearAllRows(); }
void TfrmVideoConvertor::ppmClearClick(TObject*) { ClearAllRows(); }

// ---- merging -------------------------------------------------------------------------------

// The selected one-file jobs become one job holding their files in list
// order: the first of them keeps its id, its settings and its output name.
void TfrmVideoConvertor::MergeSelectedJobs() {
  TListItems& items = *lvMediaFile->Items();
  std::vector<int> rows;
  std::vector<int32_t> ids;
  for (int i : SelectedRowIndexes()) {
    if (RowKindOf(RowData(items[i])) != rkSingleJob) continue;
    rows.push_back(i);
    ids.push_back(RowGroupId(RowData(items[i])));
  }
  if (rows.size() < 2) return;
  ClosePreviewFile();
  const TMergeResult merged = MergeJobs(jobs_, ids);
  if (!merged.job) return;
  for (size_t k = rows.size(); k-- > 0;)
    if (ids[k] == merged.job->groupId || std::ranges::count(merged.mergedIds, ids[k]) > 0) items.Delete(rows[k]);
  lvMediaFile->ClearSelection();
  AddMergedRows(rows.front(), *merged.job, merged.formatsDiffered);
  items[rows.front()]->SetSelected(true);
}

void TfrmVideoConvertor::AddMergedRows(int at, TWorkGroupClass& job, bool formatsDiffered) {
  TListItems& items = *lvMediaFile->Items();
  int64_t sourceLength = 0;
  for (int i = 0; i < job.EntryCount(); ++i) sourceLength += job.EntryAt(i)->sourceDuration;
  TListItem* header = items.Insert(at);
  header->SetCaption(job.JobCaption());
  SetSubItems(*header, {Seconds(sourceLength), Seconds(job.GetTotalDuration()),
                        MergedFormatText(FormatName(job.profileIndex, job.formatIndex), formatsDiffered),
                        ExtractFileName(job.GetOutputName())});
  SetRowData(header, MakeRowData(rkMergedHeader, job.groupId, 0));
  for (int i = 0; i < job.EntryCount(); ++i) {
    const SourceEntry& entry = *job.EntryAt(i);
    TListItem* row = items.Insert(at + 1 + i);
    row->SetCaption(job.EntryFileName(i));
    SetSubItems(*row, {Seconds(entry.sourceDuration), Seconds(entry.trimEnd - entry.trimStart), "", ""});
    SetRowData(row, MakeRowData(rkMergedFile, job.groupId, i));
  }
}

void TfrmVideoConvertor::BtnMergeClick(TObject*) { MergeSelectedJobs(); }
void TfrmVideoConvertor::ppmMergeClick(TObject*) { MergeSelectedJobs(); }

// ---- the edit window ---------------------------------------------------------------------

// The selected row's file (a job's first for its header row) is edited;
// on OK the job is to be converted again and its rows show the new lengths.
void TfrmVideoConvertor::OpenEditWindowAt(TEditPage page) {
  TListItem* row = SelectedRow();
  if (!row) return;
  const uint32_t data = RowData(row);
  TWorkGroupClass* job = jobs_.JobById(RowGroupId(data));
  if (!job || !EditJobEntry(*job, RowFileIndex(data), page)) return;
  job->done = 0;
  ShowOutputLengths(*job);
}

// The "Output Length" column: the job's trimmed total on its own or header
// row, the file's trimmed length on a merged job's file row.
void TfrmVideoConvertor::ShowOutputLengths(const TWorkGroupClass& job) {
  TListItems& items = *lvMediaFile->Items();
  for (int i = 0; i < items.Count(); ++i) {
    const uint32_t data = RowData(items[i]);
    if (RowGroupId(data) != job.groupId) continue;
    const SourceEntry* entry = job.EntryAt(RowFileIndex(data));
    const int64_t length = RowKindOf(data) == rkMergedFile && entry ? entry->trimEnd - entry->trimStart : job.GetTotalDuration();
    items[i]->SubItems()->Put(1, Seconds(length));
  }
  lvMediaFile->Invalidate();
}

void TfrmVideoConvertor::btnEditClick(TObject*) { OpenEditWindowAt(epCrop); }
void TfrmVideoConvertor::miEffectClick(TObject*) { OpenEditWindowAt(epEffect); }
void TfrmVideoConvertor::miWatermarkClick(TObject*) { OpenEditWindowAt(epWatermark); }
void TfrmVideoConvertor::miClipClick(TObject*) { OpenEditWindowAt(epTrim); }
void TfrmVideoConvertor::ppmEditClick(TObject*) { OpenEditWindowAt(epCrop); }
void TfrmVideoConvertor::lvMediaFileDblClick(TObject*) { OpenEditWindowAt(epCrop); }

// ---- mouse and keys ------------------------------------------------------------------------

void TfrmVideoConvertor::lvMediaFileMouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
  // The list selects the row under the mouse after this event: a menu
  // opened here would act on the rows before the click and see the click
  // move the selection off a row it moved.
  if (button == mbRight) {
    const TPoint p = lvMediaFile->ClientToScreen(Point(x, y));
    win::PostMessage(Handle(), WM_OPEN_LIST_MENU, static_cast<win::WPARAM>(p.x), static_cast<win::LPARAM>(p.y));
    return;
  }
  if (button != mbLeft) return;
  TListItem* row = lvMediaFile->GetItemAt(x, y);
  if (!row || RowKindOf(RowData(row)) == rkMergedFile) return;
  if (x - row->DisplayRect(drBounds).left < kCheckMarkWidth) {
    if (TWorkGroupClass* job = jobs_.JobById(RowGroupId(RowData(row)))) job->checked = job->checked ? 0 : 1;
    lvMediaFile->Invalidate();
    return;
  }
  const TRect cell = FormatCellRect(*row);
  // The list takes the focus and the mouse for its click after this event:
  // the drop-down, which needs both, opens once the click is done.
  if (win::PtInRect(&cell, win::POINT{x, y}))
    win::PostMessage(Handle(), WM_OPEN_FORMAT_CELL_MENU, static_cast<win::WPARAM>(row->Index()), 0);
}

void TfrmVideoConvertor::OpenFormatCellMenu(int index) {
  TListItem* row = index >= 0 && index < lvMediaFile->Items()->Count() ? lvMediaFile->Items()->Item(index) : nullptr;
  if (!row || !profileMenu_) return;
  const TRect cell = FormatCellRect(*row);
  const TPoint below = lvMediaFile->ClientToScreen(Point(cell.left, cell.bottom));
  profileMenu_->PopupAt(below.x, below.y, this, RectHeight(cell));
}

void TfrmVideoConvertor::lvMediaFileMouseMove(TObject*, TShiftState, int x, int y) {
  prevHotRow_ = hotRow_;
  TListItem* row = lvMediaFile->GetItemAt(x, y);
  hotRow_ = -1;
  if (row && RowKindOf(RowData(row)) != rkMergedFile) {
    const TRect cell = FormatCellRect(*row);
    if (win::PtInRect(&cell, win::POINT{x, y})) hotRow_ = row->Index();
  }
  if (hotRow_ != prevHotRow_) lvMediaFile->Invalidate();
}

void TfrmVideoConvertor::lvMediaFileMouseLeave(TObject*) {
  prevHotRow_ = hotRow_;
  hotRow_ = -1;
  lvMediaFile->Invalidate();
}

void TfrmVideoConvertor::lvMediaFileKeyDown(TObject*, uint16_t& key, TShiftState) {
  if (key == win::VK_DELETE) DeleteSelectedRows();
}

void TfrmVideoConvertor::lvMediaFileSelectItem(TObject*, TListItem* item, bool selected) {
  ClosePreviewFile();
  UpdateSelectionCommands(selected);
  if (!selected || !item) return;
  const TWorkGroupClass* job = jobs_.JobById(RowGroupId(RowData(item)));
  if (!job) return;
  btnProfile->SetTag(static_cast<int>(static_cast<uint32_t>(job->profileIndex) << 16 |
                                      (static_cast<uint32_t>(job->formatIndex) & 0xFFFF)));
  ShowChoiceOnProfileButton(job->profileIndex, job->formatIndex, FormatName(job->profileIndex, job->formatIndex));
}

void TfrmVideoConvertor::lvMediaFileCustomDraw(TCustomListView*, const TRect&, bool&) {}
void TfrmVideoConvertor::lvMediaFileColumnDragged(TObject*) {}
void TfrmVideoConvertor::lvMediaFileDataStateChange(TObject*, int, int, TItemStates, TItemStates) {}

// ---- commands ------------------------------------------------------------------------------

void TfrmVideoConvertor::pmMediaFilePopup(TObject*) {
  const int selected = lvMediaFile->SelCount();
  ppmEdit->SetEnabled(selected > 0);
  ppmDelete->SetEnabled(selected > 0);
  ppmClear->SetEnabled(lvMediaFile->Items()->Count() > 0);
  ppmMerge->SetEnabled(selected > 1);
  MoveChoice choice{false, false};
  if (selected == 1) {
    int index = -1;
    SelectedRow(&index);
    choice = MoveChoiceOfRow(RowsData(), index);
  }
  ppmMoveup->SetEnabled(choice.up);
  ppmMoveDown->SetEnabled(choice.down);
}

void TfrmVideoConvertor::menuSelectAllClick(TObject*) {
  jobs_.SetAllChecked(!jobs_.AllChecked());
  lvMediaFile->Invalidate();
}

void TfrmVideoConvertor::DisableListCommands() {
  for (TMenuItem* item : {miClear, miDelete, miCrop, miClip, miWatermark, miEffect, miSnapshot})
    item->SetEnabled(false);
  for (TControl* control : std::initializer_list<TControl*>{btnEdit, BtnMerge, BtnPlay, btnPause, btnStop,
                                                            btnSnapshot, BtnStart})
    control->SetEnabled(false);
  lvMediaFile->SetShowColumnHeaders(false);
}

void TfrmVideoConvertor::UpdateSelectionCommands(bool hasSelection) {
  SetPlayButtons(hasSelection ? 0 : -1);
  btnEdit->SetEnabled(hasSelection);
  btnSettings->SetEnabled(hasSelection);
  for (TMenuItem* item : {miDelete, miCrop, miClip, miWatermark, miEffect}) item->SetEnabled(hasSelection);
  const bool hasRows = lvMediaFile->Items()->Count() > 0;
  miClear->SetEnabled(hasRows);
  BtnMerge->SetEnabled(lvMediaFile->SelCount() > 1);
  BtnStart->SetEnabled(hasRows);
  lvMediaFile->SetShowColumnHeaders(hasRows);
}

}  // namespace qelo::app
