// Opening files and the playback commands as a host sees them: the frames
// the hook is shown and the position and end messages posted to the host.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/composed_window.h"
#include "common/media_fixture.h"
#include "common/temp_dir.h"
#include "player_fixture.h"
#include "win/codepage.h"
#include "win/window/display.h"

namespace qelo::test {
namespace {

using Playback = PlayerTest;

// A frame hook that paints every frame it is given white.
void PaintWhite(VideoFrame* frame, void*) {
  for (int y = 0; y < frame->height; ++y) std::fill_n(frame->pixels + y * frame->stride, 4 * frame->width, 0xFF);
}

// A pixel of a window as the screen shows it, 0x00BBGGRR.
win::COLORREF ScreenPixel(win::HWND window, int x, int y) { return ComposedWindow(window).Pixel(x, y); }

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

TEST_F(Playback, APathLongerThanTheOldLimitOpensWhole) {
  TempDir dir;
  std::filesystem::path folder = dir.path();
  while (folder.string().size() < 300) folder /= std::string(100, 'd');
  std::filesystem::create_directories(folder);
  const std::string clip = (folder / "clip.mp4").string();
  ASSERT_GT(clip.size(), 300u);
  std::filesystem::copy_file(VideoOnlyClip(1), clip);
  const int index = MakeInstance();
  ASSERT_TRUE(Open(clip, index)) << "a path cut at 259 characters names no file";
  FrameLog& frames = NewFrameLog();
  QeloSetCallBack(FrameLog::Hook, 0, &frames, index);
  QeloNextFrame(index);
  EXPECT_TRUE(WaitUntil([&] { return frames.Count() > 0; }, 5s));
  const std::string missing = (folder / "missing.mp4").string();
  EXPECT_FALSE(Open(missing, index));
  EXPECT_TRUE(Logged("failed to load media file(" + missing + ")"));
}

// The nice values of the process's threads named `name`.
std::vector<int> NiceOfThreads(const std::string& name) {
  std::vector<int> nice;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string taskName;
    std::getline(comm, taskName);
    if (taskName != name) continue;
    std::ifstream statFile(task.path() / "stat");
    const std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // After the name in parentheses: state, then fields 4 .. 19; nice is 19.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 19 && fields >> field; ++i) {}
    nice.push_back(std::stoi(field));
  }
  return nice;
}

TEST_F(Playback, TheDecoderThreadRunsAtIdlePriority) {
  const int index = MakeInstance();
  ASSERT_TRUE(Open(VideoAudioClip(1), index));
  std::vector<int> nice;
  EXPECT_TRUE(WaitUntil([&] { return !(nice = NiceOfThreads("PlayerDecode")).empty(); }, 5s));
  EXPECT_EQ(nice, std::vector<int>{19});
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
  // A step returns once its frame is shown, or, when the decoder has not
  // made it within a short bound, the frame is shown when it comes; steps
  // made meanwhile are each shown, none lost.
  const auto shows = [&](int64_t pts) { return WaitUntil([&] { return frames.Last() == pts; }, 3s); };
  ASSERT_EQ(QeloNextFrame(index), 1);
  EXPECT_TRUE(shows(0));
  QeloNextFrame(index);
  QeloNextFrame(index);
  EXPECT_TRUE(shows(2 * kFrame));
  ASSERT_EQ(QeloPreviousFrame(index), 1);
  EXPECT_TRUE(shows(kFrame));
  QeloPreviousFrame(index);
  EXPECT_TRUE(shows(0));
  EXPECT_EQ(frames.Times(), (std::vector<int64_t>{0, kFrame, 2 * kFrame, kFrame, 0}));
  const size_t atStart = frames.Count();
  QeloPreviousFrame(index);
  EXPECT_EQ(frames.Count(), atStart) << "no step back before the start";
  Pump(100ms);
  EXPECT_TRUE(Received(WM_PLAYER_POSITION).empty()) << "steps report nothing";

  // Stepping during playback pauses it.
  QeloPlay(index);
  ASSERT_TRUE(WaitUntil([&] { return frames.Last() >= 5 * kFrame; }, 5s));
  const int64_t playing = frames.Last();
  QeloNextFrame(index);
  ASSERT_TRUE(WaitUntil([&] { return frames.Last() > playing; }, 3s));
  const int64_t stepped = frames.Last();
  const size_t count = frames.Count();
  Pump(300ms);
  EXPECT_LE(frames.Count(), count + 1);
  EXPECT_LE(frames.Last(), stepped + kFrame);
}

// The hook changes the frame the second pane is made from: a step forward
// hands it that frame, as a paused seek and playback do, and the first pane
// keeps the original.
TEST_F(Playback, EveryFrameShownReachesTheHookAsTheSecondPanesFrame) {
  const int index = MakeInstance(nullptr, true, 782, 282);
  ASSERT_GE(index, 0);
  QeloSetCallBack(PaintWhite, 0, nullptr, index);
  ASSERT_TRUE(Open(VideoOnlyClip(2), index));
  win::HWND host = hosts_.back();
  const auto panesAfter = [&](const std::function<void()>& show) {
    show();
    // The panes' middles: the first shows the clip, the second white.
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(host, 590, 141) == 0xFFFFFF; }, 2s));
    EXPECT_NE(ScreenPixel(host, 193, 141), win::COLORREF(0xFFFFFF));
  };
  {
    SCOPED_TRACE("a paused seek");
    panesAfter([&] { QeloSeek(uint32_t(kSecond / 2), 0, index); });
  }
  {
    SCOPED_TRACE("a step forward");
    QeloSetCallBack(nullptr, 0, nullptr, index);
    QeloSeek(0, 0, index);
    ASSERT_TRUE(WaitUntil([&] { return ScreenPixel(host, 590, 141) != 0xFFFFFF; }, 2s));
    QeloSetCallBack(PaintWhite, 0, nullptr, index);
    panesAfter([&] { QeloNextFrame(index); });
  }
}

// Most files have key frames seconds apart; the codec bridge seeks to the
// one before the position. Paused, the frame at the position is shown, and
// a step back is one frame back.
TEST_F(Playback, PausedSeeksAndStepsBackShowTheFrameAtThePositionBetweenKeyFrames) {
  const std::string clip = CachedMedia("player-gop-3.mp4", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=3",
                                                            "-c:v", "libx264", "-g", "50", "-pix_fmt", "yuv420p"});
  ASSERT_FALSE(clip.empty());
  FrameLog& frames = NewFrameLog();
  const int index = MakeInstance(&frames);
  ASSERT_TRUE(Open(clip, index));
  QeloSeek(uint32_t(30 * kFrame + kFrame / 2), 0, index);
  ASSERT_TRUE(WaitUntil([&] { return frames.Count() >= 1; }, 3s));
  EXPECT_EQ(frames.Last(), 30 * kFrame) << "the frame showing at 1.22 s";
  ASSERT_EQ(QeloPreviousFrame(index), 1);
  ASSERT_TRUE(WaitUntil([&] { return frames.Count() >= 2; }, 3s));
  EXPECT_EQ(frames.Last(), 29 * kFrame);
  // Past the end: the last frame.
  QeloSeek(uint32_t(10 * kSecond), 0, index);
  ASSERT_TRUE(WaitUntil([&] { return frames.Count() >= 3; }, 3s));
  EXPECT_EQ(frames.Last(), 74 * kFrame);
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
