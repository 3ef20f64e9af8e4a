// The preview in the player panel: the selected entry's file open in the
// player instance, the play buttons' states, the seek bar following the
// player's position, and snapshots of the shown frame.
#include <cstdio>
#include <filesystem>

#include "log_bridge.h"
#include "main_window.h"
#include "main_window_convert.h"
#include "main_window_rows.h"
#include "main_window_settings.h"
#include "qelo/player_exports.h"
#include "shell/launch.h"
#include "win/codepage.h"

namespace qelo::app {

using namespace vcl;

namespace {

constexpr int64_t kUnitsPerSecond = 10'000'000;  // the player's 100-ns units
constexpr int kMenuGap = 2;                      // the snapshot menu sits 2 pixels below its button

// The seek bar's tag while the window itself moves it.
constexpr int kMovedByPlayer = 1;

}  // namespace

std::string SnapshotFileName(const std::tm& t) {
  char name[64];
  std::snprintf(name, sizeof name, "Snap_%02d-%02d-%02d-%02d.jpg", t.tm_hour, t.tm_min, t.tm_sec, t.tm_mon + 1);
  return name;
}

std::string UniqueSnapshotPath(const std::string& folder, const std::tm& local) {
  namespace fs = std::filesystem;
  const fs::path base = fs::path(folder) / SnapshotFileName(local);
  fs::path path = base;
  for (int n = 2; fs::exists(path); ++n)
    path = base.parent_path() / (base.stem().string() + " (" + std::to_string(n) + ")" + base.extension().string());
  return path.string();
}

void TfrmVideoConvertor::ClosePreviewFile() {
  if (!previewSource_) return;
  QeloDeInitFile(playerIndex_);
  SetPlayButtons(-1);
  previewSource_ = nullptr;
  tbPlayer->SetPosition(0);
}

void TfrmVideoConvertor::SetPlayButtons(int state) {
  struct Buttons {
    bool play, stop, pause, snapshot;
  };
  static constexpr Buttons kStates[] = {
      {false, false, false, false},  // -1 nothing open
      {true, true, false, false},    // 0 ready or paused
      {false, true, true, true},     // 1 playing
      {true, false, false, false},   // 2 stopped
  };
  if (state < -1 || state > 2) return;
  const Buttons& b = kStates[state + 1];
  BtnPlay->SetEnabled(b.play);
  btnStop->SetEnabled(b.stop);
  btnPause->SetEnabled(b.pause);
  btnSnapshot->SetEnabled(b.snapshot);
  miSnapshot->SetEnabled(b.snapshot);
}

void TfrmVideoConvertor::BtnPlayClick(TObject*) {
  const TListItem* row = SelectedRow();
  if (!row) return;
  const uint32_t data = RowData(row);
  SetPlayButtons(PreparePreview(RowGroupId(data), RowFileIndex(data)) ? 1 : 2);
}

// The entry counts as open only once the player opened it, so a failed
// open is tried again at the next Play.
bool TfrmVideoConvertor::PreparePreview(int32_t groupId, int fileIndex) {
  if (playerIndex_ == -1) {
    WriteLog("create player instance first.", kLogInfo);
    return false;
  }
  SourceEntry* entry = jobs_.EntryOfJob(groupId, fileIndex);
  if (!entry) {
    WriteLog("No Media File Exist.", kLogInfo);
    return false;
  }
  if (entry == previewSource_) return StartPlayback();
  ClosePreviewFile();
  if (!OpenPreviewFile(*entry)) {
    WriteLog("Failed to ready player.", kLogInfo);
    return false;
  }
  previewSource_ = entry;
  return StartPlayback();
}

bool TfrmVideoConvertor::OpenPreviewFile(const SourceEntry& entry) {
  MediaInfo* info = nullptr;  // the player's own
  const std::u16string path(win::Utf16Field(entry.path, QELO_PATH_CHARS));
  if (!QeloInitFile(path.c_str(), &info, playerIndex_)) {
    WriteLog("Failed to Media file.", kLogInfo);
    return false;
  }
  tbPlayer->SetMax(entry.sourceDuration / kUnitsPerSecond * 1000);
  tbPlayer->SetEndPos(tbPlayer->Max());
  tbPlayer->SetPosition(0);
  tbPlayer->SetStartPos(0);
  return true;
}

bool TfrmVideoConvertor::StartPlayback() {
  if (QeloPlay(playerIndex_)) return true;
  WriteLog("Failed to play.", kLogInfo);
  return false;
}

void TfrmVideoConvertor::btnPauseClick(TObject*) {
  QeloPause(playerIndex_);
  SetPlayButtons(0);
}

void TfrmVideoConvertor::btnStopClick(TObject*) {
  QeloStop(playerIndex_);
  SetPlayButtons(2);
  MoveSeekBar(0);
}

void TfrmVideoConvertor::tbPlayerTrackChange(TObject*, int64_t position) {
  if (tbPlayer->Tag() == kMovedByPlayer) return;
  const int64_t units = position * kUnitsPerSecond / 1000;
  QeloSeek(static_cast<uint32_t>(units & 0xFFFFFFFF), static_cast<int32_t>(units >> 32), playerIndex_);
}

void TfrmVideoConvertor::MoveSeekBar(int64_t milliseconds) {
  tbPlayer->SetTag(kMovedByPlayer);
  tbPlayer->SetPosition(milliseconds);
  tbPlayer->SetTag(0);
}

void TfrmVideoConvertor::WMPlayerPosition(uint32_t high, uint32_t low) {
  const int64_t units = static_cast<int64_t>(static_cast<uint64_t>(high) << 32 | low);
  MoveSeekBar(units * 1000 / kUnitsPerSecond);
}

void TfrmVideoConvertor::WMPlayerEnd() {
  SetPlayButtons(2);
  MoveSeekBar(0);
}

void TfrmVideoConvertor::btnSnapshotClick(TObject*) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::string path = UniqueSnapshotPath(settings_.Get(slSnapshotFolder), local);
  QeloSnapshot(win::Utf8ToUtf16(path).c_str(), playerIndex_);
}

void TfrmVideoConvertor::btnSnapMenuClick(TObject*) {
  const TPoint at = btnSnapMenu->Parent()->ClientToScreen(
      Point(btnSnapMenu->Left(), btnSnapMenu->Top() + btnSnapMenu->Height() + kMenuGap));
  pmSnapshot->Popup(at.x, at.y);
}

void TfrmVideoConvertor::miExploreSnapClick(TObject*) {
  const std::string folder = settings_.Get(slSnapshotFolder);
  if (!folder.empty()) shell::ShellExecute(Handle(), "explore", folder.c_str(), nullptr, nullptr, win::SW_SHOWNORMAL);
}

void TfrmVideoConvertor::miSetOutpathClick(TObject*) {
  std::string folder = settings_.Get(slSnapshotFolder);
  if (!ChooseFolder) {
    WriteLog("The folder dialog is not part of this program yet; the snapshot folder stays " + folder + ".", kLogInfo);
    return;
  }
  if (ChooseFolder(folder) && !folder.empty()) settings_.Put(slSnapshotFolder, folder);
}

}  // namespace qelo::app
