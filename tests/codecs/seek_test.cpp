// Seeking, and reading one stream of a file that has two.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "codecs/codec_test_support.h"
#include "codecs/fixtures.h"

namespace qelo::test {
namespace {

constexpr int64_t kSecond = 10000000;

class Seeking : public OpenFileTest {
 protected:
  void Open(const std::string& path) {
    OpenFileTest::Open(path);
    frame_ = std::make_unique<OwnedFrame>(QeloGetVideoBuffersize(handle_));
  }
  int64_t NextVideoPts() {
    return QeloGetNextVideoFrame(&frame_->frame, handle_) == 1 ? frame_->frame.pts : -1;
  }
  int64_t NextAudioPts() { return QeloGetNextAudioFrame(&chunk_, handle_) == 1 ? chunk_.pts : -1; }

  std::unique_ptr<OwnedFrame> frame_;
  static AudioFrame chunk_;
};
AudioFrame Seeking::chunk_;

// The key frames of these fixtures are one second apart: a seek lands on the
// key frame at or before its target, never after it.
TEST_F(Seeking, LandsOnTheKeyFrameAtOrBeforeTheTarget) {
  struct Case {
    const char* name;
    std::string (*clip)();
    int64_t target;
  } cases[] = {
      {"mp4 forward", VideoAudioClip, 15 * kSecond / 10},
      {"transport stream", TransportStreamClip, 25 * kSecond / 10},
      {"avi", VideoOnlyClip, 12 * kSecond / 10},
  };
  for (const auto& c : cases) {
    Open(c.clip());
    ASSERT_GE(NextVideoPts(), 0);
    ASSERT_EQ(QeloSeekMediaFile(c.target, handle_), 1) << c.name;
    const int64_t landed = NextVideoPts();
    EXPECT_LE(landed, c.target) << c.name;
    EXPECT_GT(landed, c.target - kSecond) << c.name;
    // Frames go on from there in order.
    EXPECT_GT(NextVideoPts(), landed) << c.name;
    QeloUnloadMediaFile(handle_);
    handle_ = -1;
  }
}

TEST_F(Seeking, BackwardAndAgainForwardAfterReadingToTheEnd) {
  Open(VideoAudioClip());
  while (NextVideoPts() >= 0) {
  }
  ASSERT_EQ(QeloSeekMediaFile(5 * kSecond / 10, handle_), 1);
  const int64_t landed = NextVideoPts();
  EXPECT_EQ(landed, 0);  // the only key frame before 0.5 s
  ASSERT_EQ(QeloSeekMediaFile(12 * kSecond / 10, handle_), 1);
  EXPECT_EQ(NextVideoPts(), kSecond);
}

TEST_F(Seeking, AudioFollowsTheSeek) {
  Open(VideoAudioClip());
  ASSERT_GE(NextAudioPts(), 0);
  ASSERT_EQ(QeloSeekMediaFile(15 * kSecond / 10, handle_), 1);
  // Inside the queues the sound is cut at the target; a demultiplexer seek
  // (when the reader has not queued that far yet) lands it with the video's
  // key frame at 1 s, give or take the interleaving.
  const int64_t landed = NextAudioPts();
  EXPECT_LE(landed, 15 * kSecond / 10);
  EXPECT_GT(landed, kSecond - kSecond / 5);
}

TEST_F(Seeking, AudioOnlyFilesSeekByTheirSound) {
  Open(AudioOnlyClip());
  ASSERT_EQ(QeloSeekMediaFile(kSecond, handle_), 1);
  const int64_t landed = NextAudioPts();
  EXPECT_LE(landed, kSecond);
  EXPECT_GT(landed, kSecond - kSecond / 5);
}

// 4,500 audio packets are more than the audio queue holds: a caller that
// reads only the pictures must still get all of them.
TEST_F(Seeking, ReadingOnlyTheVideoOfATwoStreamFileNeverStalls) {
  Open(ManyAudioPacketsClip());
  auto frames = std::async(std::launch::async, [this] {
    int count = 0;
    while (NextVideoPts() >= 0) ++count;
    return count;
  });
  ASSERT_EQ(frames.wait_for(std::chrono::seconds(60)), std::future_status::ready);
  EXPECT_EQ(frames.get(), 90);
  EXPECT_TRUE(Logged("Qelo Codecs: one stream is read alone; dropping the oldest packets of the other..."));
}

// The only key frame of this clip is its first: every seek decodes from 0 and
// the caller reads on up to the target, as the preview does. Reading to one
// position leaves pictures of it inside the decoder and packets after it in
// the queue; a seek must hide both, whether it finds its target among the
// queued packets (forward) or seeks the demultiplexer (backward).
TEST_F(Seeking, FramesAfterASeekNeverComeFromThePreviousPosition) {
  constexpr int64_t kFrame = kSecond / 25;
  struct Case {
    const char* name;
    std::vector<int64_t> targets;
    bool readerFillsTheQueueFirst;
  } cases[] = {
      {"back and forth", {2 * kSecond, kSecond / 2, 312 * kSecond / 100, 0}, false},
      {"back and forth, queue full", {2 * kSecond, kSecond / 2, 312 * kSecond / 100, 0}, true},
      {"forward only", {kSecond, 2 * kSecond, 3 * kSecond}, true},
      {"near the ends", {39 * kSecond / 10, kFrame, 35 * kSecond / 10, 0}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open(SingleKeyFrameClip());
    for (const int64_t target : c.targets) {
      SCOPED_TRACE(target);
      if (c.readerFillsTheQueueFirst) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      ASSERT_EQ(QeloSeekMediaFile(target, handle_), 1);
      // The key frame, not a picture left from before, at its own time:
      // shown as the target, it would make a caller that reads on up to the
      // target stop at the file's first picture.
      int64_t pts = NextVideoPts();
      EXPECT_EQ(pts, 0);
      const int64_t firstSound = NextAudioPts();
      EXPECT_GE(firstSound, 0);
      EXPECT_LE(firstSound, target + kFrame);
      // On up to the target, one frame after the other.
      while (pts >= 0 && pts < target - kFrame / 2) {
        const int64_t next = NextVideoPts();
        ASSERT_GT(next, pts);
        ASSERT_LE(next - pts, kFrame + kFrame / 2);
        pts = next;
      }
      EXPECT_NEAR(pts, target, kFrame / 2);
    }
    QeloUnloadMediaFile(handle_);
    handle_ = -1;
  }
}

}  // namespace
}  // namespace qelo::test
