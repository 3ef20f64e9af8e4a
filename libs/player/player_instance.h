// One player instance: a child window over a host window, owned by a window
// thread of its own, with the open file, the playback state, the sound
// output and the display.
//
// `lock` guards every field that two threads touch; the window thread owns
// the window, the timer and the audio device, and calls SDL's pause and close
// without either lock, since SDL waits there for the sound callback.
// `soundLock` guards the sound fields and the sound callback's use of
// `reader`, so the callback is never held up by a frame being drawn (which
// would make the sound late and the picture, following it, too). Order:
// `lock`, then `soundLock`, then the reader's locks.
#pragma once

#include <SDL2/SDL.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "display/player_display.h"
#include "media_reader.h"
#include "qelo/player.h"
#include "sound_clock.h"
#include "win/sync.h"
#include "win/thread.h"
#include "win/window/window.h"

namespace qelo::player {

enum PlayState : int32_t { kPlaying = 0, kPaused = 1, kStopped = 2 };

constexpr win::UINT_PTR kFrameTimerId = 10;

// Posted by the decoder thread when a frame that was waited for came, or the
// video ended: the window thread never waits for the decoder itself.
constexpr win::UINT WM_PLAYWND_FRAME_READY = WM_PLAYWND_REDRAW + 1;
// Posted by CloseMedia and by a frame step's pause: the window thread stops
// the timer and closes the sound device (unless a play came since), so
// that the host waits for neither.
constexpr win::UINT WM_PLAYWND_CLOSED = WM_PLAYWND_REDRAW + 2;


struct PlayerInstance {
  PlayerInstance(bool twoPaneFlag, int width, int height)
      : windowWidth(width), windowHeight(height), twoPane(twoPaneFlag),
        display(twoPaneFlag, width, height) {}

  // identity and windows
  int32_t streamFlag = 0;
  std::u16string path;
  win::HWND parentWindow = nullptr;
  std::atomic<win::HWND> window{nullptr};  // written by the window thread
  int32_t windowWidth = 0, windowHeight = 0;
  win::Thread windowThread;
  win::DWORD windowThreadId = 0;
  win::ManualResetEvent readyEvent;
  const bool twoPane;
  win::HWND notifyWindow = nullptr;
  win::CriticalSection lock;

  // the open file
  std::unique_ptr<MediaReader> reader;
  int32_t videoWidth = 0, videoHeight = 0;
  int64_t frameInterval = 0;

  // playback, changed on the window thread
  int32_t playState = kStopped;
  bool stopRequested = false;
  bool pauseRequested = false;
  int64_t position = 0;
  int64_t lastReportedPosition = 0;
  bool positionReported = false;  // since the last play or seek
  int64_t lastFramePts = 0;
  int64_t lastFrameInterval = 0;
  win::DWORD lastTimerTick = 0;
  std::atomic<int32_t> seekCounter{0};
  // What the window thread does when WM_PLAYWND_FRAME_READY comes: the
  // frame timer's tick that found no frame, and, paused or stopped, the
  // frames still to be shown (a seek's, and one more for each step).
  bool timerWaitsForFrame = false;
  int framesToShow = 0;
  // The wall clock the picture follows while no sound clock runs: it reads
  // wallClockPts at wallClockStart; unset until a tick needs it.
  bool wallClockSet = false;
  int64_t wallClockPts = 0;
  std::chrono::steady_clock::time_point wallClockStart;

  // sound, under soundLock
  std::mutex soundLock;
  SDL_AudioSpec audioSpec{};  // filled when a file with sound is opened
  std::vector<uint8_t> audioBuffer = std::vector<uint8_t>(QELO_AUDIO_FRAME_BYTES);
  int32_t audioBufferBytes = 0;
  int32_t audioReadPos = 0;
  int64_t audioChunkPts = 0;
  int32_t audioBytesPerSecond = 0;
  // Published by the sound callback after each copy, so that the frame
  // timer reads AudioClock without waiting for the callback.
  SoundClock soundClock;
  bool audioClosed = false;
  // The device plays the reader's sound; off from a close until the next
  // play, so a device not yet closed never takes the next file's sound.
  bool soundFed = false;
  // The device is being paused or closed: the sound callback plays silence
  // at once instead of waiting for a late decoder, so closing the device
  // (which waits for the callback) is never held up.
  std::atomic<bool> soundClosing{false};
  SDL_AudioDeviceID audioDevice = 0;  // window thread only; 0: closed

  // frame hook
  FrameCallback frameCallback = nullptr;
  int32_t hookValue = 0;
  void* hookUserData = nullptr;

  PlayerDisplay display;

  bool FileOpen() const { return reader != nullptr; }
  bool HasVideo() const { return reader && reader->facts().hasVideo; }
  bool HasAudio() const { return reader && reader->facts().hasAudio; }
};

// A new instance over `parent` with its window and window thread (none when
// `parent` is not a window); null when the window could not be made.
std::unique_ptr<PlayerInstance> BuildPlayerInstance(win::HWND parent, bool twoPane);
// Closes the instance's file, ends its window thread and frees it.
void FreePlayerInstance(std::unique_ptr<PlayerInstance> instance);

}  // namespace qelo::player
