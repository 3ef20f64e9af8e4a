// The sound side of playback: each instance opens an SDL device of its own
// at play and closes it at pause, stop or when the sound runs out. SDL hands
// out the lowest free device id from 2, so a case can ask SDL about the
// devices the player opened.
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "player_fixture.h"

namespace qelo::test {
namespace {

constexpr SDL_AudioDeviceID kFirstDevice = 2, kSecondDevice = 3;

SDL_AudioStatus Device(SDL_AudioDeviceID id) { return SDL_GetAudioDeviceStatus(id); }

using Sound = PlayerTest;

TEST_F(Sound, AnAudioOnlyFileReportsItsPositionAndEndsWithItsSound) {
  const int index = MakeInstance();
  ASSERT_TRUE(Open(AudioOnlyClip(3), index));
  const auto start = std::chrono::steady_clock::now();
  QeloPlay(index);
  ASSERT_TRUE(WaitUntil([] { return Device(kFirstDevice) == SDL_AUDIO_PLAYING; }, 2s));
  ASSERT_TRUE(WaitFor(WM_PLAYER_END, 15s));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // The position follows the sound: the first report at once, then one a
  // second, up to the sound's last second.
  const auto positions = Received(WM_PLAYER_POSITION);
  ASSERT_GE(positions.size(), 3u);
  EXPECT_LT(positions[0].Position(), kSecond / 2);
  for (size_t i = 1; i < positions.size(); ++i)
    EXPECT_GT(positions[i].Position() - positions[i - 1].Position(), kSecond) << i;
  EXPECT_GE(positions.back().Position(), 2 * kSecond);
  EXPECT_LT(positions.back().Position(), 3 * kSecond + kSecond / 2);
  EXPECT_GT(seconds, 2.5) << "the end comes with the sound's, not before";
  // The device was closed and the instance stopped: play starts over.
  Pump(100ms);
  EXPECT_EQ(Device(kFirstDevice), SDL_AUDIO_STOPPED);
  ClearReceived();
  QeloPlay(index);
  ASSERT_TRUE(WaitFor(WM_PLAYER_POSITION, 2s));
  EXPECT_LT(Received(WM_PLAYER_POSITION)[0].Position(), kSecond / 2) << "from the start";
  QeloPause(index);
  ClearReceived();
  Pump(400ms);
  EXPECT_TRUE(Received(WM_PLAYER_POSITION).empty()) << "nothing is reported while paused";
}

TEST_F(Sound, AnAudioOnlyFileWithNoDeviceToPlayOnEndsAtOnce) {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/nonexistent/folder/sound.raw", 1);
  const int index = MakeInstance();
  ASSERT_TRUE(Open(AudioOnlyClip(3), index));
  const auto start = std::chrono::steady_clock::now();
  QeloPlay(index);
  ASSERT_TRUE(WaitFor(WM_PLAYER_END, 2s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_TRUE(Logged("warning: failed to open audio..."));
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
  // Played to its last frames, though a busy machine may drop some.
  const std::vector<int64_t> times = frames.Times();
  ASSERT_GE(times.size(), 2u);
  EXPECT_GE(times[times.size() - 2], 2 * kSecond - 3 * kFrame);
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

// Without a sound clock that runs, the picture follows the wall clock: the
// times of the frames shown keep pace with the time they are shown at, over
// a clip's ten seconds (its last eight when its sound ends first). Measured
// from the frames' own times, so a busy machine that drops or delays a
// frame does not decide the case.
TEST_F(Sound, WithoutARunningSoundClockThePictureKeepsRealTime) {
  // SDL's disk driver opens its file at each device open: a file in a
  // missing folder makes every open fail.
  setenv("SDL_AUDIODRIVER", "disk", 1);
  // Measured from `from` on: while the sound plays, the picture follows the
  // sound device's pace, which is the device's own.
  const struct {
    const char* name;
    const char* soundFile;
    double soundSeconds;  // of the clip's ten seconds of pictures
    int64_t from;
  } cases[] = {
      {"no device can be opened", "/nonexistent/folder/sound.raw", 10, 0},
      {"the sound ends after a second", "/dev/null", 1, 2 * kSecond},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    setenv("SDL_DISKAUDIOFILE", c.soundFile, 1);
    ClearReceived();
    FrameLog& frames = NewFrameLog();
    struct Shown {
      int64_t pts;
      std::chrono::steady_clock::time_point at;
    };
    auto shown = std::make_shared<std::vector<Shown>>();
    frames.OnFrame([shown](const VideoFrame& frame) { shown->push_back({frame.pts, std::chrono::steady_clock::now()}); });
    const int index = MakeInstance(&frames);
    ASSERT_TRUE(Open(VideoWithShortSoundClip(10, c.soundSeconds), index));
    QeloPlay(index);
    ASSERT_TRUE(WaitFor(WM_PLAYER_END, 30s));
    QeloSetCallBack(nullptr, 0, nullptr, index);
    std::vector<Shown> ticks = *shown;
    ASSERT_GT(ticks.size(), 2u);
    ticks.pop_back();  // the rewind's first frame, after the end
    ASSERT_GE(ticks.back().pts, 9 * kSecond + kSecond / 2) << "the picture played to its end";
    const Shown& first = *std::find_if(ticks.begin(), ticks.end(), [&](const Shown& t) { return t.pts >= c.from; });
    const Shown& last = ticks.back();
    const double pictureSeconds = double(last.pts - first.pts) / kSecond;
    const double wallSeconds = std::chrono::duration<double>(last.at - first.at).count();
    std::printf("%s: %.3f s of pictures in %.3f s, %zu frames\n", c.name, pictureSeconds, wallSeconds,
                ticks.size());
    EXPECT_NEAR(wallSeconds / pictureSeconds, 1.0, 0.05);
    QeloDestroyPlayerInstance(index);
  }
}

}  // namespace
}  // namespace qelo::test
