// Shutting the bridge down with files still open: every handle is released,
// a reader on another thread returns, and nothing leaks (checked by the
// sanitizer builds); the tables go only with the last of the library's
// users. A program of its own, because it empties the tables.
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "codecs/codec_test_support.h"
#include "codecs/fixtures.h"
#include "common/temp_dir.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

int OpenMp4Encoder(const std::string& path) {
  FormatSettings s{};
  win::CopyToUtf16Field(s.outputPath, QELO_PATH_CHARS, win::Utf8ToUtf16(path));
  s.formatId = FORMAT_MP4;
  s.videoCodecId = VCODEC_MPEG4;
  s.audioCodecId = ACODEC_AAC;
  s.width = 160, s.height = 120, s.frameRateNum = 25, s.frameRateDen = 1;
  s.videoBitRate = 400000;
  s.sampleRate = 44100, s.channels = 2, s.bitsPerSample = 16, s.audioBitRate = 128000;
  return QeloInitializeEncoder(&s);
}

TEST(CodecShutdown, ReleasesOpenFilesAndWakesAReaderOnAnotherThread) {
  InitializeCodecsForTests();
  const int idle = Load(VideoAudioClip());
  const int busy = Load(VideoAudioClip());
  ASSERT_GE(idle, 0);
  ASSERT_GE(busy, 0);
  TempDir dir;
  const int encoder = OpenMp4Encoder(dir.File("open.mp4"));
  ASSERT_GE(encoder, 0);
  std::vector<uint8_t> picture(160 * 120 * 4, 128);
  ASSERT_EQ(QeloAddVideoFrame(160, 120, 1, picture.data(), int(picture.size()), encoder), 1);

  std::promise<void> firstFrame;
  std::thread reader([&] {
    OwnedFrame f(QeloGetVideoBuffersize(busy));
    bool first = true;
    while (QeloGetNextVideoFrame(&f.frame, busy) == 1)
      if (std::exchange(first, false)) firstFrame.set_value();
    if (first) firstFrame.set_value();
  });
  firstFrame.get_future().wait();

  EXPECT_EQ(QeloDeInitializeCodecs(0), 1);
  reader.join();  // the reader sees its handle gone or its file stopped

  ClearLog();
  EXPECT_EQ(QeloUnloadMediaFile(idle), 0);
  EXPECT_TRUE(Logged("Qelo Codecs: error decoder handle..."));
  EXPECT_EQ(QeloCloseVideo(encoder), 0);
  // The freed slots are handed out again from the lowest.
  const int again = Load(AudioOnlyClip());
  EXPECT_EQ(again, 0);
  EXPECT_EQ(QeloUnloadMediaFile(again), 1);
}

std::vector<std::string>& LaterLines() {
  static std::vector<std::string> lines;
  return lines;
}
void CollectLaterLine(const char16_t* line) { LaterLines().push_back(win::Utf16ToUtf8(line)); }

TEST(CodecShutdown, OnlyTheLastOfItsUsersFreesTheTablesAndALaterStartIsAFirstOne) {
  InitializeCodecsForTests();                        // the program
  EXPECT_EQ(QeloInitializeCodecs(CollectLaterLine), 2);  // the player
  EXPECT_EQ(QeloInitializeCodecs(CollectLaterLine), 2);  // the engine
  const int open = Load(AudioOnlyClip());
  ASSERT_GE(open, 0);

  EXPECT_EQ(QeloDeInitializeCodecs(0), 1);  // the player leaves
  EXPECT_EQ(QeloDeInitializeCodecs(1), 1);  // the program leaves
  EXPECT_EQ(QeloFlushAudio(open), 1) << "the engine still uses the file";

  EXPECT_EQ(QeloDeInitializeCodecs(2), 1);  // the last user: everything is freed
  ClearLog();
  EXPECT_EQ(QeloUnloadMediaFile(open), 0);
  EXPECT_TRUE(Logged("Qelo Codecs: error decoder handle..."));

  // Releases without a user change nothing.
  EXPECT_EQ(QeloDeInitializeCodecs(0), 1);
  EXPECT_EQ(QeloDeInitializeCodecs(0), 1);
  // Started again, the library counts afresh and takes the new callback.
  EXPECT_EQ(QeloInitializeCodecs(CollectLaterLine), 1);
  EXPECT_EQ(QeloInitializeCodecs(nullptr), 2);
  QeloUnloadMediaFile(-1);
  EXPECT_EQ(LaterLines(), std::vector<std::string>{"Qelo Codecs: error decoder handle..."});
  EXPECT_EQ(QeloDeInitializeCodecs(0), 1);
  EXPECT_EQ(QeloDeInitializeCodecs(0), 1);
}

}  // namespace
}  // namespace qelo::test
