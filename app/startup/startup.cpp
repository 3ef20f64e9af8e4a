#include "startup.h"

#include <string>

#include "chk_directx.h"
#include "log_bridge.h"
#include "outside/qelo_log.h"
#include "qelo/codecs.h"
#include "qelo/convertor.h"
#include "qelo/effect.h"
#include "qelo/fileformat.h"
#include "qelo/player_exports.h"
#include "win/codepage.h"

namespace qelo::app {

namespace {

std::string FramedLine(const char* word) {
  return std::string(27, '=') + word + " " + kProgramName + " " + kProgramVersion + std::string(24, '=');
}

// One library step of start-up: its call, what undoes it, and the line a
// failure writes.
struct LibraryStep {
  std::function<bool()> start;
  std::function<void()> undo;
  const char* failure;
};

}  // namespace

std::string BeginLine() { return FramedLine("Begin"); }
std::string EndLine() { return FramedLine("End"); }

ProgramLibraries RealLibraries() {
  ProgramLibraries l;
  l.CheckRegistryStore = reg::CheckStore;
  l.CheckDxVersion = QeloCheckDxVersion;
  l.CheckDirectXUsed = QeloCheckDirectXUsed;
  l.TurnOnDirectX = QeloTurnOnDirectX;
  l.InitializeLog = InitializeQeloLog;
  l.DeInitializeLog = DeInitializeQeloLog;
  l.InitializeCodecs = QeloInitializeCodecs;
  l.DeInitializeCodecs = QeloDeInitializeCodecs;
  l.InitializePlayer = InitializeQeloPlayer;
  l.DeInitializePlayer = DeInitializeQeloPlayer;
  l.InitializeProfile = QeloInitializeProfile;
  l.DeInitializeProfile = QeloDeInitializeProfile;
  l.InitializeConvertor = InitializeVideoConvertor;
  l.DeInitializeConvertor = DeInitializeVideoConvertor;
  l.EffectDestroy = QeloEffectDestory;
  return l;
}

bool CheckDirectX(const ProgramLibraries& libraries, bool registryUsable) {
  DxVersionCode version = QELO_DX_VERSION_9_0C;
  if (libraries.CheckDxVersion(&version) == 0) {
    ShowDirectXInformation(TfrmChkDirectX::kOldVersion);
  } else if (registryUsable && libraries.CheckDirectXUsed() == 0 && libraries.TurnOnDirectX() == 0) {
    ShowDirectXInformation(TfrmChkDirectX::kAccelerationOff);
  }
  return true;
}

bool ProgramLife::StartUp(const std::string& logFolder) {
  // The store is looked at before the check reads it; what was found is
  // logged once the log is open.
  const reg::StoreCheck store = libraries_.CheckRegistryStore();
  CheckDirectX(libraries_, store.usable);
  libraries_.InitializeLog(win::Utf8ToUtf16(logFolder).c_str());
  WriteLog(BeginLine(), kLogInfo);
  for (const std::string& report : store.reports) WriteLog(report, kLogWarning);
  if (!store.usable)
    WriteLog("Hardware acceleration is taken as switched on: its switches live in the registry store.", kLogWarning);

  ProgramLibraries& l = libraries_;
  const LibraryStep steps[] = {
      {[&] { return (codecStart_ = l.InitializeCodecs(QeloLogTextW)) != 0; },
       [&] { l.DeInitializeCodecs(codecStart_); }, "Failed to Initialize Codecs."},
      {[&] { return l.InitializePlayer(QeloLogTextW) != 0; }, [&] { l.DeInitializePlayer(); },
       "Failed to Initialize Player."},
      {[&] { return l.InitializeProfile() != 0; }, [&] { l.DeInitializeProfile(); },
       "Failed to Initialize default profile."},
      {[&] { return l.InitializeConvertor(QeloLogTextW) != 0; }, [] {},
       "Failed to Initialize video converter."},
  };
  for (size_t done = 0; done < std::size(steps); ++done) {
    if (steps[done].start()) continue;
    WriteLog(steps[done].failure, kLogError);
    // Exactly the steps before the failing one are undone, in the order
    // they were made.
    for (size_t undo = 0; undo < done; ++undo) steps[undo].undo();
    l.DeInitializeLog();
    return false;
  }
  return true;
}

void ProgramLife::CloseDown() {
  libraries_.DeInitializePlayer();
  libraries_.DeInitializeCodecs(codecStart_);
  libraries_.EffectDestroy();
  libraries_.DeInitializeProfile();
  libraries_.DeInitializeConvertor();
  WriteLog(EndLine(), kLogInfo);
  libraries_.DeInitializeLog();
}

}  // namespace qelo::app
