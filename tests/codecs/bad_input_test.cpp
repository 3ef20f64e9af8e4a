// Damaged and odd inputs: every answer is a clear result with its line, no
// read waits for ever, and no frame is written past its buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <iterator>
#include <memory>

#include "codecs/codec_test_support.h"
#include "codecs/fixtures.h"
#include "common/watchdog.h"

namespace qelo::test {
namespace {

using namespace std::chrono_literals;
constexpr int64_t kSecond = 10000000;
constexpr int kReadLimit = 2000;  // more frames or chunks than any fixture has

// One open file with its description and a frame buffer at the delivered size.
class MediaFile {
 public:
  explicit MediaFile(const std::string& path) : info_(QeloMallocFileFormatInfo(nullptr)) {
    handle_ = Load(path, info_);
    if (handle_ >= 0) frame_ = std::make_unique<OwnedFrame>(QeloGetVideoBuffersize(handle_));
  }
  ~MediaFile() {
    if (handle_ >= 0) QeloUnloadMediaFile(handle_);
    QeloFreeFileFormatInfo(info_);
  }
  int handle() const { return handle_; }
  const MediaInfo& info() const { return *info_; }
  bool Has(int type) const {
    for (int i = 0; i < info_->streamCount; ++i)
      if (info_->streams[i]->type == type) return true;
    return false;
  }
  // The longest stream, rounded up to the next whole second.
  int64_t LengthBound() const {
    int64_t seconds = 0;
    for (int i = 0; i < info_->streamCount; ++i) seconds = std::max(seconds, info_->streams[i]->duration);
    return (seconds + 1) * kSecond;
  }
  // The next frame's or chunk's time stamp, or -1 when none came.
  int64_t NextVideo() { return QeloGetNextVideoFrame(&frame_->frame, handle_) == 1 ? frame_->frame.pts : -1; }
  int64_t NextAudio() { return QeloGetNextAudioFrame(chunk_.get(), handle_) == 1 ? chunk_->pts : -1; }
  void ReadToTheEnd() {
    for (int i = 0; i < kReadLimit && NextVideo() >= 0; ++i) {
    }
    for (int i = 0; i < kReadLimit && NextAudio() >= 0; ++i) {
    }
  }
  const VideoFrame& frame() const { return frame_->frame; }

 private:
  MediaInfo* info_;
  int handle_ = -1;
  std::unique_ptr<OwnedFrame> frame_;
  std::unique_ptr<AudioFrame> chunk_ = std::make_unique<AudioFrame>();
};

class BadInput : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeCodecsForTests();
    ClearLog();
  }
};

// Seeks before the start and past the end are held to the file, so every
// read after them returns, and returns a time inside the file.
TEST_F(BadInput, ReadsAfterSeeksOutOfRangeReturnTimesInsideTheFile) {
  for (const ContainerClip& clip : ContainerClips()) {
    SCOPED_TRACE(clip.label);
    Watchdog watchdog(60s, "reading and seeking " + clip.label);
    MediaFile file(clip.path);
    ASSERT_GE(file.handle(), 0);
    const int64_t bound = file.LengthBound();
    file.ReadToTheEnd();
    struct Seek {
      int64_t target;
      bool startsAtTheBeginning;
    } seeks[] = {{-kSecond, true}, {INT64_MIN, true}, {bound / 2, false},
                 {1000 * kSecond, false}, {INT64_MAX, false}, {0, true}};
    for (const Seek& seek : seeks) {
      SCOPED_TRACE(seek.target);
      ASSERT_EQ(QeloSeekMediaFile(seek.target, file.handle()), 1);
      const int64_t video = file.NextVideo(), audio = file.NextAudio();
      if (seek.startsAtTheBeginning && file.Has(STREAM_VIDEO)) {
        EXPECT_TRUE(video >= 0 && video < kSecond) << video;
      }
      if (seek.startsAtTheBeginning && file.Has(STREAM_AUDIO)) {
        EXPECT_TRUE(audio >= 0 && audio < kSecond) << audio;
      }
      // Past the end there may be nothing more to read; what comes lies
      // inside the file.
      EXPECT_LE(video, bound);
      EXPECT_LE(audio, bound);
      EXPECT_GE(video, -1);
      EXPECT_GE(audio, -1);
    }
    file.ReadToTheEnd();
  }
}

// This truncated GIF cannot be sought at all, and its picture cannot be
// decoded: the reader thread has reached the end at once. A failed seek
// leaves it there, so every read after it answers at once.
TEST_F(BadInput, ReadsReturnAfterSeeksThatFail) {
  const std::string gif = ContainerClips().back().path;
  ASSERT_NE(gif.find(".gif"), std::string::npos);
  Watchdog watchdog(60s, "the unseekable file");
  MediaFile file(Truncated(gif, 1000, "truncated.gif"));
  ASSERT_GE(file.handle(), 0);
  file.ReadToTheEnd();
  for (const int64_t target : {-kSecond, int64_t(0), kSecond, 1000 * kSecond}) {
    SCOPED_TRACE(target);
    ClearLog();
    EXPECT_EQ(QeloSeekMediaFile(target, file.handle()), 0);
    EXPECT_TRUE(Logged("Qelo Codecs: failed to seek file..."));
    EXPECT_EQ(file.NextVideo(), -1);
    EXPECT_EQ(file.NextAudio(), -1);
  }
}

// A sample aspect that would widen the picture past what a frame can hold,
// or narrow it below a pixel, is ignored, with its line: the coded size is
// shown, and frames come.
TEST_F(BadInput, ASampleAspectNoFrameCanHoldIsIgnored) {
  struct Case {
    const char* name;
    std::string path;
    int width, height;
    const char* line;
  } cases[] = {
      {"20000x2 at 120000:1", TooWideSampleAspectClip(), 20000, 2,
       "Qelo Codecs: sample aspect 120000:1 ignored: the picture would be too wide..."},
      {"160x120 at 32767:1",
       Fixture("sar_32767.mkv", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=5:duration=2",
                                 "-vf", "setsar=sar=32767/1:max=100000", "-c:v", "libx264"}),
       160, 120, "Qelo Codecs: sample aspect 32767:1 ignored: the picture would be too wide..."},
      {"160x120 at 1:1000",
       Fixture("sar_1_1000.mkv", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=5:duration=2",
                                  "-vf", "setsar=sar=1/1000:max=1000", "-c:v", "libx264"}),
       160, 120, "Qelo Codecs: sample aspect 1:1000 ignored: the picture would be too narrow..."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearLog();
    MediaFile file(c.path);
    ASSERT_GE(file.handle(), 0);
    ASSERT_EQ(file.info().streamCount, 1);
    EXPECT_EQ(file.info().streams[0]->displayWidth, c.width);
    EXPECT_EQ(file.info().streams[0]->displayHeight, c.height);
    EXPECT_TRUE(Logged(c.line));
    EXPECT_EQ(QeloGetVideoBuffersize(file.handle()), c.width * c.height * 4);
    ASSERT_GE(file.NextVideo(), 0);
    EXPECT_EQ(file.frame().width, c.width);
    EXPECT_EQ(file.frame().height, c.height);
  }
}

// An output size whose frame no buffer can hold is refused; the size set
// before stays, and frames go on coming at it.
TEST_F(BadInput, AnOutputSizeNoFrameCanHoldIsRefused) {
  MediaFile file(VideoOnlyClip());  // 160x120
  ASSERT_GE(file.handle(), 0);
  int32_t w = 80, h = 60;
  ASSERT_EQ(QeloResizeVideoSize(&w, &h, file.handle()), 1);
  const int32_t refused[][2] = {{INT_MAX, INT_MAX}, {1 << 20, 1 << 20}, {INT_MAX, 1 << 24}};
  for (const auto& size : refused) {
    SCOPED_TRACE(size[0]);
    ClearLog();
    w = size[0], h = size[1];
    EXPECT_EQ(QeloResizeVideoSize(&w, &h, file.handle()), 0);
    EXPECT_EQ(w, size[0]);
    EXPECT_EQ(h, size[1]);
    EXPECT_TRUE(Logged("Qelo Codecs: output size " + std::to_string(size[0]) + "x" +
                       std::to_string(size[1]) + " too large for a frame..."));
  }
  EXPECT_EQ(QeloGetVideoBuffersize(file.handle()), 80 * 60 * 4);
  OwnedFrame f(80 * 60 * 4);
  ASSERT_EQ(QeloGetNextVideoFrame(&f.frame, file.handle()), 1);
  EXPECT_EQ(f.frame.width, 80);
  EXPECT_EQ(f.frame.height, 60);
}

// A stream without a picture size, a sample rate or channels is left out
// with its line; a file left with none fails to load.
TEST_F(BadInput, StreamsThatCannotBeDecodedAreLeftOut) {
  // Cut after the first video packet, before any sound: the audio stream is
  // known only by its number.
  MediaFile cut(Truncated(TransportStreamClip(), 2000, "truncated.ts"));
  ASSERT_GE(cut.handle(), 0);
  ASSERT_EQ(cut.info().streamCount, 1);
  EXPECT_EQ(cut.info().streams[0]->type, STREAM_VIDEO);
  EXPECT_TRUE(Logged("Qelo Codecs: audio stream 1 has no sample rate or channels(0 Hz, 0 channels); left out..."));

  for (const unsigned seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    ClearLog();
    const std::string path = RandomBytes(200000, seed, "random" + std::to_string(seed) + ".mp3");
    MediaFile noise(path);
    if (noise.handle() < 0) {
      EXPECT_TRUE(Logged("Qelo Codecs: failed to load media file(" + path + ")"));
      continue;
    }
    for (int i = 0; i < noise.info().streamCount; ++i) {
      const StreamInfo& s = *noise.info().streams[i];
      EXPECT_GT(s.displayWidth, 0);  // the video's width, the audio's bits per sample
      EXPECT_GT(s.displayHeight, 0);  // the video's height, the audio's channels
      EXPECT_GT(s.frameRateNum, 0);   // the video's frame rate, the audio's sample rate
    }
  }
}

// A copy of a canonical WAV file (a 44-byte header) claiming another sample
// rate, as the suite's own file `name`.
std::string ClaimingSampleRate(const std::string& wav, int rate, const std::string& name) {
  std::ifstream in(wav, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto put = [&bytes](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  };
  put(24, static_cast<uint32_t>(rate));
  put(28, static_cast<uint32_t>(rate) * 2);  // bytes per second, mono 16-bit
  const std::string path = FixturePath(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// Sound at a rate the resampler is not built for would load and then have
// every chunk refused: it is left out at load, as a stream without a rate
// is, with its line. A file left without streams fails to load.
TEST_F(BadInput, ASampleRateOutsideWhatIsDecodedIsLeftOutAtLoad) {
  const std::string wav =
      Fixture("plain.wav", {"-f", "lavfi", "-i", "sine=duration=1", "-fflags", "+bitexact",
                            "-map_metadata", "-1", "-c:a", "pcm_s16le"});
  struct Case {
    int rate;
    bool loads;
  } cases[] = {{999, false}, {1000, true}, {384000, true}, {384001, false},
               {1550000, false}, {16800000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    ClearLog();
    const std::string path =
        ClaimingSampleRate(wav, c.rate, "rate" + std::to_string(c.rate) + ".wav");
    MediaFile file(path);
    if (c.loads) {
      ASSERT_GE(file.handle(), 0);
      EXPECT_EQ(file.info().streams[0]->sampleRate, c.rate);
      EXPECT_GE(file.NextAudio(), 0);
      continue;
    }
    EXPECT_EQ(file.handle(), -1);
    EXPECT_TRUE(Logged("Qelo Codecs: audio stream 0 has a sample rate or channels out of range(" +
                       std::to_string(c.rate) + " Hz, 1 channels); left out..."));
    EXPECT_TRUE(Logged("Qelo Codecs: failed to load media file(" + path + ")"));
  }
}

// A FLAC file whose own stream header claims no rate while its frames carry
// one: the container reports the frames' rate, the opened decoder the
// header's. The decoder's word counts, so the sound is left out at load
// instead of being described with a rate no chunk could be delivered in.
TEST_F(BadInput, SoundWhoseDecoderClaimsNoRateIsLeftOutAtLoad) {
  const std::string flac = Fixture("plain.flac", {"-f", "lavfi", "-i", "sine=duration=1:sample_rate=8000",
                                                  "-fflags", "+bitexact", "-map_metadata", "-1", "-c:a", "flac"});
  std::ifstream in(flac, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 21u);
  ASSERT_EQ(bytes.substr(0, 4), "fLaC");
  // The stream header's rate: 20 bits from byte 18 ("fLaC", a block header,
  // two block sizes and two frame sizes before it).
  bytes[18] = bytes[19] = 0;
  bytes[20] = static_cast<char>(bytes[20] & 0x0F);
  const std::string path = FixturePath("no-header-rate.flac");
  std::ofstream(path, std::ios::binary) << bytes;
  ClearLog();
  MediaFile file(path);
  EXPECT_EQ(file.handle(), -1);
  EXPECT_TRUE(Logged("Qelo Codecs: audio stream 0 has a sample rate or channels out of range(0 Hz, 1 channels); "
                     "left out..."));
  EXPECT_TRUE(Logged("Qelo Codecs: failed to load media file(" + path + ")"));
}

}  // namespace
}  // namespace qelo::test
