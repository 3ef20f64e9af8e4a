// Opening and closing a file in an instance, and the playback state machine
// driven by the player window's messages: play, pause, stop, seek, frame
// steps and the one-shot frame timer that keeps the picture in step with the
// sound and reports the position to the host.
//
// Every handler except OpenInstanceFile and CloseMedia runs on the window
// thread, without the instance lock held on entry.
#pragma once

#include <cstdint>
#include <string>

#include "qelo/media.h"

namespace qelo::player {

struct PlayerInstance;

bool OpenInstanceFile(PlayerInstance& instance, const std::u16string& path, MediaInfo** info);
void CloseMedia(PlayerInstance& instance);

void OnPlay(PlayerInstance& instance);
void OnPause(PlayerInstance& instance);
void OnStop(PlayerInstance& instance);
bool OnSeek(PlayerInstance& instance, int64_t position);
void ShowPreviousFrame(PlayerInstance& instance);
void ShowNextFrame(PlayerInstance& instance);
void OnFrameTimer(PlayerInstance& instance);
void OnAudioDrained(PlayerInstance& instance);

// The timer delay after a frame, in 100-ns units before the 10..125 ms clamp
// is applied: `interval` is the frame's interval, `drift` the picture's time
// minus the sound clock, `hasClock` whether there is a sound clock to follow,
// `sinceLastArm` the time since the timer was last armed (0: first arming).
int64_t FrameDelay(int64_t interval, int64_t drift, bool hasClock, int64_t sinceLastArm);

}  // namespace qelo::player
