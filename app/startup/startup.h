// The main program's order: the DirectX check, the log, the libraries one
// after another (each failure undoing exactly the steps before it), and the
// close-down after the message loop.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "qelo/dxcheck.h"
#include "qelo/media.h"
#include "registry/registry.h"

namespace qelo::app {

inline constexpr const char* kProgramName = "Clipshift";
inline constexpr const char* kProgramVersion = "2.0.1.1";

// The log's first and last lines of a run.
std::string BeginLine();
std::string EndLine();

// The library calls of start-up and close-down, in one table so that tests
// can put their own in (to make a step fail, or to see the order).
struct ProgramLibraries {
  // The registry store the acceleration switches live in, looked at (and
  // damage in it kept aside) before the DirectX check reads it.
  std::function<reg::StoreCheck()> CheckRegistryStore;
  std::function<int(DxVersionCode*)> CheckDxVersion;
  std::function<int()> CheckDirectXUsed;
  std::function<int()> TurnOnDirectX;
  std::function<int(const char16_t*)> InitializeLog;
  std::function<void()> DeInitializeLog;
  std::function<int(LogCallback)> InitializeCodecs;
  std::function<int(int)> DeInitializeCodecs;
  std::function<int(LogCallback)> InitializePlayer;
  std::function<int()> DeInitializePlayer;
  std::function<int()> InitializeProfile;
  std::function<void()> DeInitializeProfile;
  std::function<int(LogCallback)> InitializeConvertor;
  std::function<void()> DeInitializeConvertor;
  std::function<void()> EffectDestroy;
};

// QeloDxCheck, QeloLog, QeloCodecs, QeloPlayer, QeloFileFormat,
// QeloVideoConvertor and QeloEffect.
ProgramLibraries RealLibraries();

// Asks for DirectX 9.0c and hardware acceleration, switching acceleration on
// when it is off; shows the information window (modally) when the version is
// too old or acceleration stays off. Without a usable registry store the
// switches can be neither read nor written: acceleration is then taken as
// on and not asked about. Always true: start-up goes on.
bool CheckDirectX(const ProgramLibraries& libraries, bool registryUsable = true);

// What the program holds between start-up and close-down.
class ProgramLife {
 public:
  explicit ProgramLife(ProgramLibraries libraries) : libraries_(std::move(libraries)) {}

  // The registry store's check, the DirectX check, the log opened in
  // `logFolder` with the begin line and what the store's check found, then
  // the codec bridge, the player, the catalogue and the engine, each handed
  // QeloLogTextW as its log. A step that fails writes its error line,
  // undoes the steps before it and closes the log: false.
  bool StartUp(const std::string& logFolder);
  // After the message loop: the player, the codec bridge, the effects, the
  // catalogue and the engine go down in this order, then the end line is
  // written and the log closed.
  void CloseDown();

 private:
  ProgramLibraries libraries_;
  int codecStart_ = 0;  // what QeloInitializeCodecs answered, handed back unchanged
};

}  // namespace qelo::app
