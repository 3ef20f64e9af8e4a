// Opening media files: what MediaInfo reports, and files that cannot be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "codecs/codec_test_support.h"
#include "codecs/fixtures.h"
#include "common/media_fixture.h"
#include "common/temp_dir.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

class DecoderOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeCodecsForTests();
    ClearLog();
    info_ = QeloMallocFileFormatInfo(nullptr);
  }
  void TearDown() override {
    QeloFreeFileFormatInfo(info_);
    for (int h : handles_) QeloUnloadMediaFile(h);
  }
  int Open(const std::string& path) {
    const int h = Load(path, info_);
    if (h >= 0) handles_.push_back(h);
    return h;
  }
  std::string CodecName(int i) const {
    return win::Utf16ToUtf8(win::Utf16Field(info_->streams[i]->codecName, 64));
  }

  MediaInfo* info_ = nullptr;
  std::vector<int> handles_;
};

TEST_F(DecoderOpen, VideoAndAudioAreDescribedVideoFirst) {
  ASSERT_GE(Open(VideoAudioClip()), 0);
  ASSERT_EQ(info_->streamCount, 2);
  EXPECT_GT(info_->bitRate, 0);
  const StreamInfo& v = *info_->streams[0];
  EXPECT_EQ(v.type, STREAM_VIDEO);
  EXPECT_EQ(CodecName(0), "h264");
  EXPECT_EQ(v.valid, 1);
  EXPECT_EQ(v.duration, 2);
  EXPECT_EQ(v.frameRateNum, 25);
  EXPECT_EQ(v.frameRateDen, 1);
  EXPECT_EQ(v.displayWidth, 320);
  EXPECT_EQ(v.displayHeight, 240);
  const StreamInfo& a = *info_->streams[1];
  EXPECT_EQ(a.type, STREAM_AUDIO);
  EXPECT_EQ(CodecName(1), "aac");
  EXPECT_EQ(a.duration, 2);
  EXPECT_EQ(a.sampleRate, 44100);
  EXPECT_EQ(a.channels, 2);
  EXPECT_EQ(a.bitsPerSample, 32);  // the decoder gives floats
  EXPECT_GT(a.bitRate, 0);
}

TEST_F(DecoderOpen, SingleStreamFiles) {
  ASSERT_GE(Open(VideoOnlyClip()), 0);
  ASSERT_EQ(info_->streamCount, 1);
  EXPECT_EQ(info_->streams[0]->type, STREAM_VIDEO);
  EXPECT_EQ(info_->streams[0]->frameRateNum, 10);
  EXPECT_EQ(CodecName(0), "mpeg4");

  QeloFreeFileFormatInfo(info_);
  info_ = QeloMallocFileFormatInfo(nullptr);
  ASSERT_GE(Open(AudioOnlyClip()), 0);
  ASSERT_EQ(info_->streamCount, 1);
  const StreamInfo& a = *info_->streams[0];
  EXPECT_EQ(a.type, STREAM_AUDIO);
  EXPECT_EQ(CodecName(0), "pcm_s16le");
  EXPECT_EQ(a.sampleRate, 22050);
  EXPECT_EQ(a.channels, 1);
  EXPECT_EQ(a.bitsPerSample, 16);
  EXPECT_EQ(a.duration, 2);
  EXPECT_EQ(a.bitRate, 22050 * 16);
}

TEST_F(DecoderOpen, SampleAspectWidensTheDisplay) {
  ASSERT_GE(Open(WideSampleAspectClip()), 0);
  ASSERT_EQ(info_->streamCount, 1);
  EXPECT_EQ(info_->streams[0]->displayWidth, 768);
  EXPECT_EQ(info_->streams[0]->displayHeight, 576);
}

// A 1:1 sample aspect leaves the coded width as it is: the stretched width
// is rounded, never cut short by a pixel.
TEST_F(DecoderOpen, SquarePixelSizesLoadExactly) {
  const struct {
    int width, height;
  } sizes[] = {{176, 144}, {352, 288}, {704, 576}, {1408, 1152}, {426, 240}, {720, 480}};
  for (const auto& size : sizes) {
    const std::string name = std::to_string(size.width) + "x" + std::to_string(size.height);
    SCOPED_TRACE(name);
    const std::string clip = Fixture(
        "square_" + name + ".avi",
        {"-f", "lavfi", "-i", "testsrc2=size=" + name + ":rate=10:duration=0.1", "-c:v", "mpeg4"});
    ASSERT_EQ(Probe(clip).First("video")->Get("sample_aspect_ratio"), "1:1");
    QeloFreeFileFormatInfo(info_);
    info_ = QeloMallocFileFormatInfo(nullptr);
    ASSERT_GE(Open(clip), 0);
    EXPECT_EQ(info_->streams[0]->displayWidth, size.width);
    EXPECT_EQ(info_->streams[0]->displayHeight, size.height);
  }
}

// A transport stream starts seconds into its clock: its streams' lengths
// are theirs alone, as ffprobe reports them, without that start.
TEST_F(DecoderOpen, TransportStreamLengthsLeaveOutTheStartTime) {
  const std::string clip = Fixture(
      "short.ts", {"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=25:duration=1.5", "-f", "lavfi",
                   "-i", "sine=duration=1.5", "-c:v", "mpeg2video", "-c:a", "mp2"});
  const ProbedFile probed = Probe(clip);
  ASSERT_GT(probed.First("video")->Number("start_time"), 1.0);
  ASSERT_GE(Open(clip), 0);
  ASSERT_EQ(info_->streamCount, 2);
  EXPECT_EQ(info_->streams[0]->duration, int64_t(probed.First("video")->Number("duration")));
  EXPECT_EQ(info_->streams[1]->duration, int64_t(probed.First("audio")->Number("duration")));
  EXPECT_EQ(info_->streams[0]->duration, 1);
}

TEST_F(DecoderOpen, LoadsAppendButNeverOverflowTheFourSlots) {
  for (int i = 0; i < 3; ++i) ASSERT_GE(Open(VideoAudioClip()), 0);
  EXPECT_EQ(info_->streamCount, QELO_MAX_STREAM_INFOS);
  EXPECT_EQ(info_->streams[2]->type, STREAM_VIDEO);
  EXPECT_EQ(info_->streams[3]->type, STREAM_AUDIO);
  EXPECT_TRUE(Logged("Qelo Codecs: media information is full; stream not described..."));
}

TEST_F(DecoderOpen, UnreadableFilesFailWithALine) {
  TempDir dir;
  const std::string good = VideoAudioClip();
  const auto goodSize = std::filesystem::file_size(good);
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(dir.File(name), std::ios::binary) << bytes;
    return dir.File(name);
  };
  std::string head(goodSize / 3, '\0');
  std::ifstream(good, std::ios::binary).read(head.data(), head.size());
  std::string corrupt = head;
  for (size_t i = 64; i < corrupt.size(); i += 7) corrupt[i] = static_cast<char>(i * 31);
  struct Case {
    std::string path;
    std::string firstLine;  // "" when FFmpeg's own wording decides
  } cases[] = {
      {dir.File("missing.mp4"), "Qelo Codecs: media file(" + dir.File("missing.mp4") + ")don't exist.."},
      {write("empty.mp4", ""), "Qelo Codecs: Failed to open media file(" + dir.File("empty.mp4") + ")"},
      {write("text.avi", "this is not a video file at all\n"), ""},
      {write("truncated.mp4", head), ""},
      {write("corrupt.mp4", corrupt), ""},
      {dir.path(), "Qelo Codecs: media file(" + dir.path() + ")don't exist.."},
  };
  for (const auto& c : cases) {
    ClearLog();
    const int h = Open(c.path);
    if (h >= 0) {
      // A damaged file may still open; reading it must end cleanly.
      OwnedFrame frame(QeloGetVideoBuffersize(h));
      int frames = 0;
      while (frame.frame.pixels && QeloGetNextVideoFrame(&frame.frame, h) == 1 && frames < 1000)
        ++frames;
      EXPECT_LT(frames, 1000) << c.path;
      continue;
    }
    // The bridge's own lines; FFmpeg's reasons come among them.
    std::vector<std::string> lines;
    for (const std::string& line : LoggedLines())
      if (line.rfind("Qelo Codecs: FFmpeg ", 0) != 0) lines.push_back(line);
    ASSERT_GE(lines.size(), 2u) << c.path;
    if (!c.firstLine.empty()) {
      EXPECT_EQ(lines.front(), c.firstLine);
    }
    EXPECT_EQ(lines.back(), "Qelo Codecs: failed to load media file(" + c.path + ")");
  }
  EXPECT_EQ(info_->streamCount, 0);
}

TEST_F(DecoderOpen, VideoOfUnknownLengthAndBitRateIsRefused) {
  const std::string raw = Fixture("raw.h264", {"-f", "lavfi", "-i",
                                               "testsrc2=size=160x120:rate=25:duration=1",
                                               "-c:v", "libx264"});
  EXPECT_EQ(Open(raw), -1);
  EXPECT_TRUE(Logged("Qelo Codecs: can't Estimate video file length."));
}

}  // namespace
}  // namespace qelo::test
