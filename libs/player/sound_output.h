// The instance's sound: one SDL audio device per instance, opened at 44,100
// Hz, signed 16-bit little-endian, stereo, 1,024 sample frames, filled by
// FillAudio on SDL's audio thread.
#pragma once

#include <cstdint>

namespace qelo::player {

struct PlayerInstance;

// Fills the instance's audioSpec: 44,100 Hz, signed 16-bit little-endian,
// stereo, 1,024 sample frames, SdlAudioCallback with the instance.
void FillAudioSpec(PlayerInstance& instance);

// Window thread, without the instance lock: opens and starts the device
// (logging a failure; a silenced device plays on), silences it (the sound
// callback's wait for the decoder ended, the device paused) or closes it,
// which waits for SDL's audio thread. Each touches only this instance's
// device.
void OpenSound(PlayerInstance& instance);
void SilenceSound(PlayerInstance& instance);
void CloseSound(PlayerInstance& instance);

// SDL's audio thread: hands `length` bytes of sound to SDL; where the
// decoder is behind, it waits a little for it, then plays silence.
void FillAudio(PlayerInstance& instance, uint8_t* stream, int length);

// The time of the sound playing now, in 100-ns units: the first byte not
// yet handed to SDL as the sound callback last left it, less what of that
// callback's hand-over has not had time to play. Never waits for the
// callback.
int64_t AudioClock(const PlayerInstance& instance);

// Starts SDL's audio subsystem (without its signal handlers); false when it
// could not start.
bool InitSoundSystem();

}  // namespace qelo::player
