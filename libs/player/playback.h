// Opening and closing a file in an instance, and the playback state machine
// driven by the player window's messages: play, pause, stop, seek, frame
// steps and the one-shot frame timer that keeps the picture in step with the
// sound (or, without a sound clock that runs, with the wall clock) and
// reports the position to the host.
//
// Every handler except OpenInstanceFile and CloseMedia runs on the window
// thread, without the instance lock held on entry. None of them waits for
// the decoder beyond a frame step's short bound: a frame that is not decoded
// yet is shown when the decoder posts WM_PLAYWND_FRAME_READY.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "qelo/media.h"

namespace qelo::player {

struct PlayerInstance;

bool OpenInstanceFile(PlayerInstance& instance, const std::u16string& path, MediaInfo** info);
// Stops playback and takes the file out of the instance at once; the file
// is released in the background, and the window thread then stops the timer
// and the sound (OnClosed). The host's thread only.
void CloseMedia(PlayerInstance& instance);
// WM_PLAYWND_CLOSED: the timer and the sound stopped, unless playing.
void OnClosed(PlayerInstance& instance);

void OnPlay(PlayerInstance& instance);
void OnPause(PlayerInstance& instance);
void OnStop(PlayerInstance& instance);
// Paused or stopped, the frame at the position is shown, waiting at most
// `wait` for it.
void OnSeek(PlayerInstance& instance, int64_t position, std::chrono::milliseconds wait = std::chrono::milliseconds(0));
void ShowPreviousFrame(PlayerInstance& instance);
void ShowNextFrame(PlayerInstance& instance);
void OnFrameTimer(PlayerInstance& instance);
void OnFrameReady(PlayerInstance& instance);
void OnAudioDrained(PlayerInstance& instance);

// The timer delay after a frame, in 100-ns units after the 10..125 ms clamp:
// `interval` is the frame's interval, `drift` the shown frame's time minus
// the clock it follows at the arming, `sinceLastArm` the time since the
// timer was last armed (0: first arming).
int64_t FrameDelay(int64_t interval, int64_t drift, int64_t sinceLastArm);

}  // namespace qelo::player
