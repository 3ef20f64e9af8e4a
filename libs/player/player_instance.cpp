#include "player_instance.h"

#include <utility>

#include "playback.h"
#include "player_log.h"
#include "player_window.h"
#include "sound_output.h"

namespace qelo::player {

std::unique_ptr<PlayerInstance> BuildPlayerInstance(win::HWND parent, bool twoPane) {
  win::RECT client;
  const bool isWindow = win::IsWindow(parent) && win::GetClientRect(parent, &client);
  const int width = isWindow ? client.right - client.left : 0;
  const int height = isWindow ? client.bottom - client.top : 0;
  auto instance = std::make_unique<PlayerInstance>(twoPane, width, height);
  if (!InitSoundSystem()) gLog.Write("failed to initialize sdl....");
  instance->parentWindow = parent;
  // An instance whose window could not be made would take every command and
  // do nothing; the host is told with -1 instead.
  if (isWindow && !StartPlayerWindow(*instance)) return nullptr;
  return instance;
}

void FreePlayerInstance(std::unique_ptr<PlayerInstance> instance) {
  CloseMedia(*instance);
  StopPlayerWindow(*instance);
  win::CriticalSectionLock guard(instance->lock);
  instance->display.FreeFrames();
}

}  // namespace qelo::player
