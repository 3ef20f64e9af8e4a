// Opening files and the playback commands as a host sees them: the frames
// the hook is shown and the position and end messages posted to the host.
#include <algorithm>
#include <cstdlib>

#include "player_fixture.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

using Playback = PlayerTest;

TEST_F(Playback, OpeningReportsTheStreamsOrFailsWithALine) {
  const int index = MakeInstance();
  MediaInfo* info = nullptr;
  ASSERT_TRUE(Open(VideoAudioClip(2), index, &info));
  ASSERT_NE(info, nullptr);
  ASSERT_EQ(info->streamCount, 2);
  EXPECT_EQ(info->streams[0]->type, STREAM_VIDEO);
  EXPECT_EQ(info->streams[0]->displayWidth, 160);
  EXPECT_EQ(info->streams[1]->type, STREAM_AUDIO);
  EXPECT_TRUE(Logged("video size(160x120)"));

  EXPECT_FALSE(Open("/nonexistent/clip.mp4", index));
  EXPECT_TRUE(Logged("failed to load media file(/nonexistent/clip.mp4)"));
  EXPECT_EQ(QeloInitFile(nullptr, &info, index), 0);
  // A failed open leaves the instance usable.
  ASSERT_TRUE(Open(VideoOnlyClip(1), index));
  EXPECT_EQ(QeloDeInitFile(index), 1);
}

TEST_F(Playback, PlayReportsTheFirstFrameThenEachSecondAndEndsRewound) {
  FrameLog& frames = NewFrameLog();
  const int index = MakeInstance(&frames);
  ASSERT_TRUE(Open(VideoAudioClip(3), index));
  ASSERT_EQ(QeloPlay(index), 1);
  ASSERT_TRUE(WaitFor(WM_PLAYER_END, 15s));
  const auto positions = Received(WM_PLAYER_POSITION);
  ASSERT_GE(positions.size(), 3u);
  EXPECT_EQ(positions[0].Position(), 0) << "first frame";
  for (size_t i = 1; i < positions.size(); ++i)
    EXPECT_GT(positions[i].Position() - positions[i - 1].Position(), kSecond) << i;
  EXPECT_LT(positions.back().Position(), 3 * kSecond);
  const auto end = Received(WM_PLAYER_END)[0];
  EXPECT_EQ(end.w, 0u);
  EXPECT_EQ(end.l, 0);
  // The end stops and rewinds, showing the first frame.
  Pump(200ms);
  EXPECT_EQ(frames.Last(), 0);
  // About 75 frames: the picture plays through to the last ones, though
  // frames that fall behind the sound are dropped, many of them on a busy
  // machine in a sanitized build.
  const std::vector<int64_t> times = frames.Times();
  EXPECT_GE(*std::max_element(times.begin(), times.end()), 3 * kSecond - 3 * kFrame);
  EXPECT_GE(frames.Count(), 15u);
}

TEST_F(Playback, PauseHoldsThePictureAndPlayGoesOn) {
  FrameLog& frames = NewFrameLog();
  const int index = MakeInstance(&frames);
  ASSERT_TRUE(Open(VideoAudioClip(4), index));
  QeloPlay(index);
  ASSERT_TRUE(WaitUntil([&] { return frames.Last() >= 5 * kFrame; }, 5s));
  QeloPause(index);
  Pump(100ms);  // one more frame may come from a timer already armed
  const size_t paused = frames.Count();
  const int64_t held = frames.Last();
  Pump(400ms);
  EXPECT_EQ(frames.Count(), paused);
  QeloPlay(index);
  ASSERT_TRUE(WaitUntil([&] { return frames.Last() >= held + 5 * kFrame; }, 5s));
  EXPECT_TRUE(Received(WM_PLAYER_END).empty());
}

TEST_F(Playback, StopRewindsToTheFirstFrameOnceAndAgainDoesNothing) {
  FrameLog& frames = NewFrameLog();
  const int index = MakeInstance(&frames);
  ASSERT_TRUE(Open(VideoAudioClip(4), index));
  QeloPlay(index);
  ASSERT_TRUE(WaitUntil([&] { return frames.Last() >= 10 * kFrame; }, 5s));
  QeloPause(index);
  QeloStop(index);
  ASSERT_TRUE(WaitUntil([&] { return frames.Last() == 0; }, 3s));
  const size_t stopped = frames.Count();
  QeloStop(index);
  Pump(300ms);
  EXPECT_EQ(frames.Count(), stopped) << "stop while stopped shows nothing";
}

TEST_F(Playback, SeeksWhileStoppedShowTheFrameAtTheTarget) {
  FrameLog& frames = NewFrameLog();
  const int index = MakeInstance(&frames);
  ASSERT_TRUE(Open(VideoAudioClip(4), index));
  const struct {
    int64_t target;
  } cases[] = {{2 * kSecond}, {kSecond / 2}, {3 * kSecond + 3 * kFrame}, {0}};
  for (const auto& c : cases) {
    const size_t before = frames.Count();
    ASSERT_EQ(QeloSeek(uint32_t(c.target), int32_t(c.target >> 32), index), 1);
    ASSERT_TRUE(WaitUntil([&] { return frames.Count() > before; }, 3s)) << c.target;
    EXPECT_LE(std::llabs(frames.Last() - c.target), kFrame / 2) << c.target;
  }
  EXPECT_TRUE(Received(WM_PLAYER_POSITION).empty()) << "paused seeks report nothing";
}

TEST_F(Playback, FrameStepsMoveOneFrameAndLeaveTheInstancePaused) {
  FrameLog& frames = NewFrameLog();
  const int index = MakeInstance(&frames);
  ASSERT_TRUE(Open(VideoAudioClip(3), index));
  // Each step returns after the frame was shown.
  ASSERT_EQ(QeloNextFrame(index), 1);
  EXPECT_EQ(frames.Last(), 0);
  QeloNextFrame(index);
  QeloNextFrame(index);
  EXPECT_EQ(frames.Last(), 2 * kFrame);
  ASSERT_EQ(QeloPreviousFrame(index), 1);
  EXPECT_EQ(frames.Last(), kFrame);
  QeloPreviousFrame(index);
  EXPECT_EQ(frames.Last(), 0);
  const size_t atStart = frames.Count();
  QeloPreviousFrame(index);
  EXPECT_EQ(frames.Count(), atStart) << "no step back before the start";
  Pump(100ms);
  EXPECT_TRUE(Received(WM_PLAYER_POSITION).empty()) << "steps report nothing";

  // Stepping during playback pauses it.
  QeloPlay(index);
  ASSERT_TRUE(WaitUntil([&] { return frames.Last() >= 5 * kFrame; }, 5s));
  QeloNextFrame(index);
  const int64_t stepped = frames.Last();
  const size_t count = frames.Count();
  Pump(300ms);
  EXPECT_LE(frames.Count(), count + 1);
  EXPECT_LE(frames.Last(), stepped + kFrame);
}

TEST_F(Playback, SeekDuringPlayReportsTheNewPositionFirst) {
  const int index = MakeInstance();
  ASSERT_TRUE(Open(VideoAudioClip(4), index));
  QeloPlay(index);
  ASSERT_TRUE(WaitFor(WM_PLAYER_POSITION, 3s));
  ClearReceived();
  const int64_t target = 3 * kSecond;
  QeloSeek(uint32_t(target), 0, index);
  ASSERT_TRUE(WaitFor(WM_PLAYER_POSITION, 3s));
  EXPECT_NEAR(double(Received(WM_PLAYER_POSITION)[0].Position()), double(target), double(kFrame));
  ASSERT_TRUE(WaitFor(WM_PLAYER_END, 5s));
}

}  // namespace
}  // namespace qelo::test
