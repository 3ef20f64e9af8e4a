#include "sound_output.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "player_instance.h"
#include "player_log.h"

namespace qelo::player {

namespace {

void SdlAudioCallback(void* userData, Uint8* stream, int length) {
  if (userData) FillAudio(*static_cast<PlayerInstance*>(userData), stream, length);
}

// How long the sound waits for a decoder that is behind before it plays
// silence. Silence would put the sound, and the picture following it,
// behind the device's time, so the wait is long enough for a busy machine;
// whoever else takes the sound lock (a seek, a close) or closes the device
// ends it at once.
constexpr std::chrono::milliseconds kChunkWait(250);

// Refills the playing chunk from the reader. When the sound is over, 1,024
// bytes of silence, and the window is told; when the decoder is still
// behind, silence until the end of this request, with the clock held where
// it is. False for the latter: nothing more is to be had in this call.
bool RefillChunk(PlayerInstance& instance) {
  int32_t bytes = 0;
  int64_t pts = 0;
  const Taken taken =
      instance.reader ? instance.reader->TakeAudioChunk(instance.audioBuffer.data(), &bytes, &pts, kChunkWait,
                                                         &instance.soundClosing)
                      : Taken::Ended;
  if (taken == Taken::NotYet) return false;
  instance.audioReadPos = 0;
  if (taken == Taken::Got) {
    instance.audioBufferBytes = bytes;
    instance.audioChunkPts = pts;
    return true;
  }
  instance.audioBufferBytes = 1024;
  std::memset(instance.audioBuffer.data(), 0, 1024);
  if (win::HWND window = instance.window.load()) win::PostMessage(window, WM_PLAYWND_AUDIO_DRAINED, 0, 0);
  return true;
}

// The time of the first byte of the playing chunk not yet handed to SDL.
int64_t ClockOfNextByte(const PlayerInstance& instance) {
  if (instance.audioBytesPerSecond == 0) return instance.audioChunkPts;
  const double handed = double(instance.audioReadPos) / instance.audioBytesPerSecond;
  return instance.audioChunkPts + int64_t(handed * 10000000.0);
}

// How long `bytes` of the playing format sound.
int64_t Duration(const PlayerInstance& instance, int bytes) {
  if (instance.audioBytesPerSecond == 0) return 0;
  return int64_t(bytes) * 10000000 / instance.audioBytesPerSecond;
}

}  // namespace

void FillAudioSpec(PlayerInstance& instance) {
  SDL_AudioSpec& spec = instance.audioSpec;
  spec = SDL_AudioSpec{};
  spec.freq = 44100;
  spec.format = AUDIO_S16LSB;
  spec.channels = 2;
  spec.silence = 0;
  spec.samples = 1024;
  spec.callback = SdlAudioCallback;
  spec.userdata = &instance;
}

bool InitSoundSystem() {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

void OpenSound(PlayerInstance& instance) {
  instance.soundClosing = false;
  {
    std::lock_guard guard(instance.soundLock);
    instance.soundFed = true;
  }
  if (instance.audioDevice != 0) {
    // Silenced by a step and not yet closed: it plays on.
    SDL_PauseAudioDevice(instance.audioDevice, 0);
    return;
  }
  SDL_AudioSpec spec;
  {
    win::CriticalSectionLock guard(instance.lock);
    spec = instance.audioSpec;
  }
  instance.audioDevice = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
  if (instance.audioDevice == 0) {
    gLog.Write("warning: failed to open audio...");
    return;
  }
  SDL_PauseAudioDevice(instance.audioDevice, 0);
}

void SilenceSound(PlayerInstance& instance) {
  if (instance.audioDevice == 0) return;
  instance.soundClosing = true;
  {
    win::CriticalSectionLock guard(instance.lock);
    if (instance.reader) instance.reader->WakeSoundWaiters();
  }
  SDL_PauseAudioDevice(instance.audioDevice, 1);
}

void CloseSound(PlayerInstance& instance) {
  if (instance.audioDevice == 0) return;
  SilenceSound(instance);
  SDL_CloseAudioDevice(instance.audioDevice);
  instance.audioDevice = 0;
}

void FillAudio(PlayerInstance& instance, uint8_t* stream, int length) {
  if (instance.seekCounter.load() != 0 || instance.soundClosing.load()) {
    std::memset(stream, 0, size_t(length));
    return;
  }
  const auto handedAt = std::chrono::steady_clock::now();
  int handed = 0;
  while (length > 0) {
    std::lock_guard guard(instance.soundLock);
    if (!instance.soundFed) {
      std::memset(stream, 0, size_t(length));
      return;
    }
    if (instance.audioReadPos >= instance.audioBufferBytes && !RefillChunk(instance)) {
      std::memset(stream, 0, size_t(length));
      return;
    }
    const int count = std::min(length, instance.audioBufferBytes - instance.audioReadPos);
    std::memcpy(stream, instance.audioBuffer.data() + instance.audioReadPos, size_t(count));
    instance.audioReadPos += count;
    handed += count;
    instance.soundClock.Publish(ClockOfNextByte(instance), Duration(instance, handed), handedAt);
    stream += count;
    length -= count;
  }
}

int64_t AudioClock(const PlayerInstance& instance) {
  return instance.soundClock.Read(std::chrono::steady_clock::now());
}

}  // namespace qelo::player
