// Library start, handle tables and the answers to bad handles.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "codecs/codec_test_support.h"
#include "codecs/fixtures.h"

namespace qelo::test {
namespace {

class CodecExports : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeCodecsForTests();
    ClearLog();
  }
};

void IgnoreLine(const char16_t*) {}

TEST_F(CodecExports, InitialisingAgainKeepsTheFirstCallback) {
  EXPECT_EQ(QeloInitializeCodecs(IgnoreLine), 2);
  QeloUnloadMediaFile(-1);
  EXPECT_TRUE(Logged("Qelo Codecs: error decoder handle..."));
}

TEST_F(CodecExports, BadDecoderHandlesAnswerAsTheTableSays) {
  const int open = Load(AudioOnlyClip());
  ASSERT_GE(open, 0);
  VideoFrame frame{};
  static AudioFrame chunk;
  int32_t w = 100, h = 100;
  struct Case {
    const char* name;
    std::function<int(int)> call;
    bool logs;
  } cases[] = {
      {"unload", [](int hd) { return QeloUnloadMediaFile(hd); }, true},
      {"buffer size", [](int hd) { return QeloGetVideoBuffersize(hd); }, false},
      {"video frame", [&](int hd) { return QeloGetNextVideoFrame(&frame, hd); }, true},
      {"audio frame", [](int hd) { return QeloGetNextAudioFrame(&chunk, hd); }, true},
      {"flush audio", [](int hd) { return QeloFlushAudio(hd); }, true},
      {"flush video", [](int hd) { return QeloFlushVideo(hd); }, true},
      {"resize", [&](int hd) { return QeloResizeVideoSize(&w, &h, hd); }, false},
      {"resample", [](int hd) { return QeloResample(44100, 16, 2, hd); }, false},
      {"seek", [](int hd) { return QeloSeekMediaFile(10000000, hd); }, true},
      {"read failed", [](int hd) { return QeloMediaReadFailed(hd); }, true},
  };
  for (const auto& c : cases) {
    for (int bad : {-1, 256, 255, open + 1}) {
      ClearLog();
      EXPECT_EQ(c.call(bad), 0) << c.name << " " << bad;
      EXPECT_EQ(Logged("Qelo Codecs: error decoder handle..."), c.logs) << c.name << " " << bad;
      EXPECT_EQ(LoggedLines().size(), c.logs ? 1u : 0u) << c.name << " " << bad;
    }
  }
  EXPECT_EQ(w, 100);
  EXPECT_EQ(QeloUnloadMediaFile(open), 1);
}

TEST_F(CodecExports, BadEncoderHandlesNameTheHandle) {
  const uint8_t pcm[4] = {};
  struct Case {
    const char* name;
    std::function<int(int)> call;
  } cases[] = {
      {"video frame", [&](int hd) { return QeloAddVideoFrame(2, 2, 1, pcm, 16, hd); }},
      {"close video", [](int hd) { return QeloCloseVideo(hd); }},
      {"audio", [&](int hd) { return QeloAddAudioFrame(pcm, 4, hd); }},
      {"close audio", [](int hd) { return QeloCloseAudio(hd); }},
      {"finish", [](int hd) { return QeloDeInitializeEncoder(hd); }},
  };
  for (const auto& c : cases) {
    for (int bad : {-1, 0, 15, 16}) {
      ClearLog();
      EXPECT_EQ(c.call(bad), 0) << c.name;
      EXPECT_EQ(LoggedLines(), std::vector<std::string>{"Qelo Codecs: error encoder handle(" +
                                                        std::to_string(bad) + ")"})
          << c.name;
    }
  }
}

TEST_F(CodecExports, HandlesStayPutWhenAnotherFileCloses) {
  const int first = Load(AudioOnlyClip());
  const int second = Load(VideoOnlyClip());
  const int third = Load(VideoAudioClip());
  ASSERT_EQ(second, first + 1);
  ASSERT_EQ(third, first + 2);
  const int thirdFrameBytes = QeloGetVideoBuffersize(third);
  EXPECT_EQ(thirdFrameBytes, 320 * 240 * 4);

  EXPECT_EQ(QeloUnloadMediaFile(second), 1);
  // The third file keeps its handle, and the freed slot is taken next.
  EXPECT_EQ(QeloGetVideoBuffersize(third), thirdFrameBytes);
  EXPECT_EQ(QeloGetVideoBuffersize(second), 0);
  const int reopened = Load(VideoOnlyClip());
  EXPECT_EQ(reopened, second);
  EXPECT_EQ(QeloGetVideoBuffersize(reopened), 160 * 120 * 4);
  for (int h : {first, reopened, third}) EXPECT_EQ(QeloUnloadMediaFile(h), 1);
}

TEST_F(CodecExports, The257thFileIsRefused) {
  const std::string path = AudioOnlyClip();
  std::vector<int> handles;
  for (int i = 0; i < QELO_MAX_MEDIA_FILES; ++i) {
    handles.push_back(Load(path));
    ASSERT_EQ(handles.back(), i);
  }
  ClearLog();
  EXPECT_EQ(Load(path), -1);
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{"Qelo Codecs: too many media file loaded..."});
  for (int h : handles) EXPECT_EQ(QeloUnloadMediaFile(h), 1);
}

TEST_F(CodecExports, MediaInfoIsAllocatedZeroedAndFreedWithItsStreams) {
  MediaInfo* out = nullptr;
  MediaInfo* info = QeloMallocFileFormatInfo(&out);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(out, info);
  EXPECT_EQ(info->streamCount, 0);
  EXPECT_EQ(info->streams[3], nullptr);
  const int h = Load(VideoAudioClip(), info);
  EXPECT_EQ(info->streamCount, 2);
  QeloUnloadMediaFile(h);
  QeloFreeFileFormatInfo(info);  // the sanitizer build checks nothing leaks
  QeloFreeFileFormatInfo(nullptr);
}

}  // namespace
}  // namespace qelo::test
