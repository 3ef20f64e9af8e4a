// Conversion control: Start and Stop, the engine's progress turned into
// window messages, both progress bars, the jobs' done marks and the end of
// a run (the question, or the shut-down when asked for).
#include <algorithm>
#include <cmath>

#include "log_bridge.h"
#include "main_window.h"
#include "main_window_convert.h"
#include "main_window_rows.h"
#include "output_names.h"
#include "outside/auto_shutdown.h"
#include "qelo/convertor.h"
#include "vcl/sysutils.h"

namespace qelo::app {

using namespace vcl;

int RoundHalfEven(double percent) { return static_cast<int>(std::nearbyint(percent)); }

// The engine's thread only posts: the GUI thread may be waiting for it in
// QeloStopWorkGroup. A window that is gone takes no message, so a post that
// arrives late is dropped by the window system.
bool PostProgressMessage(win::HWND window, int32_t groupIndex, int32_t state, int filePercent, int totalPercent) {
  win::UINT message = 0;
  win::WPARAM w = 0;
  win::LPARAM l = 0;
  switch (state) {
    case ConvertAllDone: message = WM_CONVERT_ALL_DONE; break;
    case ConvertError: message = WM_CONVERT_STOPPED; break;
    case ConvertGroupStarted: message = WM_CONVERT_JOB_START; l = groupIndex; break;
    case ConvertGroupDone: message = WM_CONVERT_JOB_DONE; l = groupIndex; break;
    case ConvertProgress: message = WM_CONVERT_PROGRESS; w = totalPercent; l = filePercent; break;
    case ConvertStopped: message = WM_CONVERT_STOPPED; l = 1; break;
    default: return false;
  }
  return win::PostMessage(window, message, w, l) != 0;
}

namespace {

// The percents of the last progress message of the run. Written by the
// engine's thread during a run, and reset by the GUI thread before the next
// run starts (the previous run's thread has ended by then).
struct PostedPercents {
  int file = -1;
  int total = -1;
};
PostedPercents gPosted;

// The user data is the main window's handle, taken on the GUI thread
// before the run starts. Progress is posted only when a rounded percent
// changes, so a window slower than the engine is never flooded.
void ProgressCallback(int32_t groupIndex, double filePercent, double totalPercent, int32_t state, void* userData) {
  if (!userData) return;
  const int file = RoundHalfEven(filePercent), total = RoundHalfEven(totalPercent);
  if (state == ConvertProgress) {
    if (file == gPosted.file && total == gPosted.total) return;
    gPosted = {file, total};
  }
  PostProgressMessage(static_cast<win::HWND>(userData), groupIndex, state, file, total);
}

constexpr const char* kInformation = "Information";

}  // namespace

void TfrmVideoConvertor::BtnStartClick(TObject*) {
  BtnStartStop->SetBounds(BtnStart->Left(), BtnStart->Top(), BtnStartStop->Width(), BtnStartStop->Height());
  if (!converting_) {
    if (!jobs_.HasRunnable()) {
      Application()->MessageBox("The selected video file(s) has been successfully converted.", kInformation, MB_OK);
      return;
    }
    ShowStopButton(true);
    ClosePreviewFile();
    StartWorkGroups();
    SetBusyState(true);
    return;
  }
  if (Application()->MessageBox("Do you want to cancel the conversion?", kInformation, MB_YESNO | MB_ICONQUESTION) !=
      IDYES)
    return;
  ShowStopButton(false);
  converting_ = 0;
  QeloStopWorkGroup();
  SetBusyState(false);
}

bool TfrmVideoConvertor::StartWorkGroups() {
  RenameTakenOutputs();
  gPosted = {};
  RegisterCallBackPorcess(ProgressCallback, Handle());
  QeloClearWorkGroup();
  for (int i = 0; i < jobs_.Count(); ++i) {
    TWorkGroupClass* job = jobs_.JobAt(i);
    job->engineIndex = job->Runnable() ? QeloCreateWorkGroup(jobs_.GetGroupData(i)) : -1;
    if (job->Runnable() && job->engineIndex == -1) WriteLog("The engine refused a job: " + job->GetOutputName());
  }
  QeloRunWorkGroup();
  converting_ = 1;
  return true;
}

// A name that was free when it was given may be taken by now, by anyone (an
// earlier output of the same job included), and the engine never writes
// over a file.
void TfrmVideoConvertor::RenameTakenOutputs() {
  TListItems& rows = *lvMediaFile->Items();
  for (int i = 0; i < jobs_.Count(); ++i) {
    TWorkGroupClass& job = *jobs_.JobAt(i);
    const std::string taken = job.GetOutputName();
    if (!job.Runnable() || !OutputNameTakenOnDisk(taken)) continue;
    const std::string ext = OutputFileExtension(job.GetFormatSettings().formatId);
    const std::string name = MakeUniqueOutputName(taken, job.JobBaseName(), job.groupId, ext);
    if (name.empty()) {
      WriteLog("The output file " + taken + " exists already, and no other name fits its folder.", kLogWarning);
      continue;
    }
    job.SetOutputName(name);
    for (int r = 0; r < rows.Count(); ++r) {
      const uint32_t data = RowData(rows[r]);
      if (RowGroupId(data) == job.groupId && RowKindOf(data) != rkMergedFile && rows[r]->SubItems()->Count() > 3)
        rows[r]->SubItems()->Put(3, ExtractFileName(name));
    }
    WriteLog("The output file " + taken + " exists already; the job writes " + name + " instead.");
  }
  lvMediaFile->Invalidate();
}

void TfrmVideoConvertor::ShowStopButton(bool stop) {
  BtnStartStop->SetVisible(stop);
  BtnStart->SetVisible(!stop);
}

void TfrmVideoConvertor::SetBusyState(bool busy) {
  const bool e = !busy;
  for (TControl* control : std::initializer_list<TControl*>{BtnFileMenu, btnEditMenu, btnAddMediaFile, lvMediaFile,
                                                            btnProfile, btnSettings, beOutpath, BtnPlay, btnPause,
                                                            btnStop, btnSnapshot, btnSnapMenu, tbPlayer})
    control->SetEnabled(e);
  const int selected = lvMediaFile->SelCount();
  btnEdit->SetEnabled(e && selected > 0);
  BtnMerge->SetEnabled(e && selected > 1);
  pbWgProgress->SetPercent(0);
  pbTotalProgress->SetPercent(0);
}

void TfrmVideoConvertor::WMConvertProgress(int totalPercent, int jobPercent) {
  pbTotalProgress->SetPercent(static_cast<uint16_t>(std::clamp(totalPercent, 0, 100)));
  pbWgProgress->SetPercent(static_cast<uint16_t>(std::clamp(jobPercent, 0, 100)));
}

void TfrmVideoConvertor::WMConvertJobStart(int32_t engineIndex) { jobs_.FindRunnableByHandle(engineIndex); }

void TfrmVideoConvertor::WMConvertJobDone(int32_t engineIndex) {
  if (TWorkGroupClass* job = jobs_.FindRunnableByHandle(engineIndex)) {
    job->done = 1;
    lvMediaFile->Invalidate();
  }
}

// The shut-down asks nothing. It may be refused, or the user may stop it at
// the desktop: the window comes back to the user either way instead of
// staying busy for ever.
void TfrmVideoConvertor::WMConvertAllDone() {
  converting_ = 0;
  if (chkAutoShutdown->Checked()) {
    if (!QeloShutDown(0)) WriteLog("The computer could not be shut down.", kLogWarning);
  } else if (Application()->MessageBox(
                 "The selected file(s) has been successfully converted.  Do you want to open the destination "
                 "folder now?",
                 kInformation, MB_YESNO) == IDYES) {
    BtnOpenPathClick(this);
  }
  EndRun();
}

void TfrmVideoConvertor::WMConvertStopped(bool stopped) {
  converting_ = 0;
  if (!stopped) Application()->MessageBox("Failed to convert video file.", kInformation, MB_OK);
  QeloStopWorkGroup();
  EndRun();
}

void TfrmVideoConvertor::EndRun() {
  SetBusyState(false);
  ShowStopButton(false);
}

}  // namespace qelo::app
