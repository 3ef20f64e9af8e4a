// Seeking, and reading one stream of a file that has two.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <future>
#include <thread>
#include <vector>

#include "codecs/codec_test_support.h"
#include "codecs/fixtures.h"
#include "codecs/reference_decode.h"

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

// The key frames of these fixtures are one second apart, and no target is
// one: the first picture after a seek is the one shown at the target, decoded
// from the key frame before it, and the pictures go on from there in order.
TEST_F(Seeking, LandsOnThePictureShownAtTheTarget) {
  struct Case {
    const char* name;
    std::string (*clip)();
    int64_t target;
    int64_t frame;  // one frame interval
  } cases[] = {
      {"mp4 forward", VideoAudioClip, 15 * kSecond / 10, kSecond / 25},
      {"transport stream", TransportStreamClip, 25 * kSecond / 10, kSecond / 25},
      {"avi", VideoOnlyClip, 15 * kSecond / 10, kSecond / 10},
  };
  for (const auto& c : cases) {
    Open(c.clip());
    ASSERT_GE(NextVideoPts(), 0);
    ASSERT_EQ(QeloSeekMediaFile(c.target, handle_), 1) << c.name;
    const int64_t landed = NextVideoPts();
    EXPECT_LE(landed, c.target) << c.name;
    EXPECT_GT(landed, c.target - c.frame) << c.name;
    EXPECT_EQ(NextVideoPts(), landed + c.frame) << c.name;
    QeloUnloadMediaFile(handle_);
    handle_ = -1;
  }
}

TEST_F(Seeking, BackwardAndAgainForwardAfterReadingToTheEnd) {
  Open(VideoAudioClip());
  while (NextVideoPts() >= 0) {
  }
  ASSERT_EQ(QeloSeekMediaFile(5 * kSecond / 10, handle_), 1);
  EXPECT_EQ(NextVideoPts(), 12 * kSecond / 25);  // frame 12 of 25 a second
  ASSERT_EQ(QeloSeekMediaFile(12 * kSecond / 10, handle_), 1);
  EXPECT_EQ(NextVideoPts(), 12 * kSecond / 10);
}

// x264's default key-frame interval leaves this 6 s clip one key frame, at
// its start: a trim from 2 s to 4 s decodes from there, and every picture
// it hands out, from the first on, is the one the ffmpeg tool decodes at
// that time.
TEST_F(Seeking, ATrimOfATransportStreamWithOneKeyFrameHasRealPictures) {
  const std::string clip = X264DefaultsTransportStream();
  const ReferenceTimes times = ProbeReferenceTimes(clip);
  const auto pictures = ReferencePictures(clip, 160, 120);
  ASSERT_EQ(pictures.size(), times.pictures.size());
  Open(clip);
  ASSERT_EQ(QeloSeekMediaFile(2 * kSecond, handle_), 1);
  int count = 0;
  for (int64_t pts = NextVideoPts(); pts >= 0 && pts < 4 * kSecond; pts = NextVideoPts()) {
    SCOPED_TRACE(pts);
    if (count == 0) {
      EXPECT_EQ(pts, 2 * kSecond);
    }
    const auto at = std::find(times.pictures.begin(), times.pictures.end(), pts);
    ASSERT_NE(at, times.pictures.end());
    EXPECT_LT(PictureDifference(frame_->buffer.data(), pictures[at - times.pictures.begin()]), 3.0);
    ++count;
  }
  EXPECT_EQ(count, 50);
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

// The only key frame of this clip is its first: every seek decodes from 0
// up to the target. Reading to one position leaves pictures of it inside the
// decoder and packets after it in the queue; a seek must hide both, whether
// it finds its target among the queued packets (forward) or seeks the
// demultiplexer (backward).
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
      // The picture shown at the target, then the ones after it, one after
      // the other.
      int64_t pts = NextVideoPts();
      EXPECT_EQ(pts, target / kFrame * kFrame);
      for (int i = 0; i < 3 && pts >= 0; ++i) {
        const int64_t next = NextVideoPts();
        if (next < 0) break;
        EXPECT_EQ(next, pts + kFrame);
        pts = next;
      }
      const int64_t firstSound = NextAudioPts();
      EXPECT_NEAR(firstSound, target, kSecond / 20);
    }
    QeloUnloadMediaFile(handle_);
    handle_ = -1;
  }
}

// Where a stretch of sound lies in the reference: the time, in 100-ns units,
// of the reference sample that `samples` match best, looked for within
// 60 ms of `around`.
int64_t WhereSoundLies(const std::vector<int16_t>& reference, const std::vector<int16_t>& samples,
                       int64_t around, int rate) {
  const int64_t expected = around * rate / kSecond, reach = rate * 6 / 100;
  double best = -2;
  int64_t bestAt = -1;
  for (int64_t at = std::max<int64_t>(0, expected - reach); at <= expected + reach; ++at) {
    if (at + int64_t(samples.size()) > int64_t(reference.size())) break;
    double dot = 0, energy = 0, own = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
      dot += double(samples[i]) * reference[at + i];
      energy += double(reference[at + i]) * reference[at + i];
      own += double(samples[i]) * samples[i];
    }
    const double match = energy > 0 && own > 0 ? dot / std::sqrt(energy * own) : -1;
    if (match > best) best = match, bestAt = at;
  }
  return bestAt < 0 ? -1 : bestAt * kSecond / rate;
}

// What the ffmpeg tools decode from one clip, and the clip opened anew.
class LandingCheck {
 public:
  explicit LandingCheck(const std::string& path) : path_(path) {
    MediaInfo* info = QeloMallocFileFormatInfo(nullptr);
    const int handle = Load(path, info);
    for (int i = 0; i < info->streamCount; ++i) {
      const StreamInfo& s = *info->streams[i];
      if (s.type == STREAM_VIDEO) width_ = s.displayWidth, height_ = s.displayHeight;
      if (s.type == STREAM_AUDIO) rate_ = s.sampleRate;
    }
    QeloFreeFileFormatInfo(info);
    if (handle >= 0) QeloUnloadMediaFile(handle);
    times_ = ProbeReferenceTimes(path);
    if (width_ > 0) pictures_ = ReferencePictures(path, width_, height_);
    if (rate_ > 0) sound_ = ReferenceSound(path, rate_, times_);
  }

  bool Ready() const {
    return times_.ok && (width_ > 0 || rate_ > 0) && pictures_.size() == times_.pictures.size() &&
           (rate_ == 0 || sound_.size() > size_t(rate_));
  }

  // Seeks a fresh handle to `target`, after reading the whole file first
  // when asked, and checks what comes next against the reference.
  void Seek(int64_t target, bool readToTheEndFirst) {
    const int handle = Load(path_);
    ASSERT_GE(handle, 0);
    if (rate_ > 0) {
      ASSERT_EQ(QeloResample(rate_, 16, 1, handle), 1);
    }
    OwnedFrame frame(std::max(QeloGetVideoBuffersize(handle), 4));
    AudioFrame* chunk = chunk_.get();
    if (readToTheEndFirst) {
      while (width_ > 0 && QeloGetNextVideoFrame(&frame.frame, handle) == 1) {
      }
      while (rate_ > 0 && QeloGetNextAudioFrame(chunk, handle) == 1) {
      }
    }
    ASSERT_EQ(QeloSeekMediaFile(target, handle), 1);
    if (width_ > 0) CheckPictures(handle, &frame, target);
    if (rate_ > 0) CheckSound(handle, target);
    QeloUnloadMediaFile(handle);
  }

 private:
  // The picture shown at the target, then the one after it.
  void CheckPictures(int handle, OwnedFrame* frame, int64_t target) {
    const std::vector<int64_t>& times = times_.pictures;
    size_t shown = 0;
    while (shown + 1 < times.size() && times[shown + 1] <= target) ++shown;
    for (size_t k = shown; k < std::min(shown + 2, times.size()); ++k) {
      ASSERT_EQ(QeloGetNextVideoFrame(&frame->frame, handle), 1) << "picture " << k;
      EXPECT_NEAR(frame->frame.pts, times[k], 100) << "picture " << k;
      EXPECT_EQ(NearestPicture(frame->buffer.data(), pictures_), int(k));
    }
  }

  // The first chunk is stamped within 50 ms of the target (or of the
  // stream's first sound), and its sound lies where its stamp says.
  void CheckSound(int handle, int64_t target) {
    std::vector<int16_t> samples;
    int64_t first = -1;
    while (samples.size() < 4096 && QeloGetNextAudioFrame(chunk_.get(), handle) == 1) {
      if (first < 0) first = chunk_->pts;
      const auto* data = reinterpret_cast<const int16_t*>(chunk_->data);
      samples.insert(samples.end(), data, data + chunk_->byteCount / 2);
    }
    ASSERT_GE(first, 0);
    EXPECT_NEAR(first, std::max(target, times_.firstSound), kSecond / 20);
    // A decoder may need a moment to settle after a seek: the stretch
    // compared starts a little later.
    constexpr size_t kSkip = 1024, kCompared = 1024;
    ASSERT_GE(samples.size(), kSkip + kCompared);
    const std::vector<int16_t> stretch(samples.begin() + kSkip,
                                       samples.begin() + kSkip + kCompared);
    const int64_t stamped = first + int64_t(kSkip) * kSecond / rate_;
    EXPECT_NEAR(WhereSoundLies(sound_, stretch, stamped, rate_), stamped, kSecond / 100);
  }

  std::string path_;
  int width_ = 0, height_ = 0, rate_ = 0;
  ReferenceTimes times_;
  std::vector<std::vector<uint8_t>> pictures_;
  std::vector<int16_t> sound_;
  std::unique_ptr<AudioFrame> chunk_ = std::make_unique<AudioFrame>();
};

// In every container the catalogue reads, the first picture after a seek is
// the one the ffmpeg tools show at the target, and the sound resumes within
// 50 ms of it, each stamped with its own time. Each target is sought with
// the file's packets still queued, and after reading to the end, when the
// demultiplexer must seek.
TEST(SeekLanding, EveryContainerResumesAtTheTarget) {
  InitializeCodecsForTests();
  const int64_t targets[] = {0, 75 * kSecond / 100, 12 * kSecond / 10, 155 * kSecond / 100};
  for (const ContainerClip& clip : SeekClips()) {
    SCOPED_TRACE(clip.label);
    ASSERT_FALSE(clip.path.empty());
    LandingCheck check(clip.path);
    ASSERT_TRUE(check.Ready());
    for (const bool readToTheEndFirst : {false, true}) {
      for (const int64_t target : targets) {
        SCOPED_TRACE(testing::Message() << target << (readToTheEndFirst ? " after the end" : ""));
        check.Seek(target, readToTheEndFirst);
      }
    }
  }
}

}  // namespace
}  // namespace qelo::test
