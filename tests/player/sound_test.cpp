// The sound side of playback: each instance opens an SDL device of its own
// at play and closes it at pause, stop or when the sound runs out. SDL hands
// out the lowest free device id from 2, so a case can ask SDL about the
// devices the player opened.
#include <SDL2/SDL.h>

#include <cstdlib>

#include "player_fixture.h"

namespace qelo::test {
namespace {

constexpr SDL_AudioDeviceID kFirstDevice = 2, kSecondDevice = 3;

SDL_AudioStatus Device(SDL_AudioDeviceID id) { return SDL_GetAudioDeviceStatus(id); }

using Sound = PlayerTest;

TEST_F(Sound, AnAudioOnlyFilePlaysToItsEndClosesItsDeviceOnceAndStaysPlaying) {
  const int index = MakeInstance();
  ASSERT_TRUE(Open(AudioOnlyClip(1), index));
  QeloPlay(index);
  ASSERT_TRUE(WaitUntil([] { return Device(kFirstDevice) == SDL_AUDIO_PLAYING; }, 2s));
  // One second of sound runs out and the device is closed.
  ASSERT_TRUE(WaitUntil([] { return Device(kFirstDevice) == SDL_AUDIO_STOPPED; }, 5s));
  // Still playing: another play changes nothing and opens no device.
  QeloPlay(index);
  Pump(200ms);
  EXPECT_EQ(Device(kFirstDevice), SDL_AUDIO_STOPPED);
  EXPECT_TRUE(Received(WM_PLAYER_POSITION).empty());
  EXPECT_TRUE(Received(WM_PLAYER_END).empty());
  // After a pause, play opens the sound anew.
  QeloPause(index);
  QeloSeek(0, 0, index);
  QeloPlay(index);
  EXPECT_TRUE(WaitUntil([] { return Device(kFirstDevice) == SDL_AUDIO_PLAYING; }, 2s));
}

TEST_F(Sound, AVideoOnlyFilePlaysAtItsFrameRateWithNoDevice) {
  FrameLog& frames = NewFrameLog();
  const int index = MakeInstance(&frames);
  ASSERT_TRUE(Open(VideoOnlyClip(2), index));
  const auto start = std::chrono::steady_clock::now();
  QeloPlay(index);
  ASSERT_TRUE(WaitFor(WM_PLAYER_END, 10s));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(Device(kFirstDevice), SDL_AUDIO_STOPPED);
  EXPECT_GE(frames.Count(), 50u);
  // Pace, not speed: two seconds of pictures are not shown in much less.
  EXPECT_GT(seconds, 1.5);
  EXPECT_FALSE(Logged("warning: failed to open audio..."));
}

TEST_F(Sound, PausingOneInstanceLeavesTheOthersSoundPlaying) {
  // SDL's dummy driver offers one device at a time; the disk driver, writing
  // to nowhere, offers as many as are asked for.
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  const int first = MakeInstance();
  const int second = MakeInstance();
  ASSERT_TRUE(Open(VideoAudioClip(4), first));
  ASSERT_TRUE(Open(VideoAudioClip(4), second));
  QeloPlay(first);
  ASSERT_TRUE(WaitUntil([] { return Device(kFirstDevice) == SDL_AUDIO_PLAYING; }, 2s));
  QeloPlay(second);
  ASSERT_TRUE(WaitUntil([] { return Device(kSecondDevice) == SDL_AUDIO_PLAYING; }, 2s));
  QeloPause(second);
  ASSERT_TRUE(WaitUntil([] { return Device(kSecondDevice) == SDL_AUDIO_STOPPED; }, 2s));
  Pump(200ms);
  EXPECT_EQ(Device(kFirstDevice), SDL_AUDIO_PLAYING);
  QeloStop(first);
  EXPECT_TRUE(WaitUntil([] { return Device(kFirstDevice) == SDL_AUDIO_STOPPED; }, 2s));
}

}  // namespace
}  // namespace qelo::test
