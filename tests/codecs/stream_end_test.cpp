// Where a stream ends: a packet the decoder refuses is skipped and reading
// goes on, so "no more frames" comes only at the true end and stays; and a
// read that stops on a failure is told apart from the end of the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "codecs/codec_test_support.h"
#include "codecs/fixtures.h"
#include "common/media_fixture.h"
#include "common/watchdog.h"

namespace qelo::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
constexpr int kAnswersAfterTheEnd = 3;

class StreamEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeCodecsForTests();
    ClearLog();
  }
  void TearDown() override {
    if (handle_ >= 0) QeloUnloadMediaFile(handle_);
  }
  bool LoggedStartingWith(const std::string& start) {
    for (const std::string& line : LoggedLines())
      if (line.rfind(start, 0) == 0) return true;
    return false;
  }
  // Reads chunks until the bridge answers that none is left.
  int ReadAllChunks() {
    int chunks = 0;
    while (QeloGetNextAudioFrame(chunk_.get(), handle_) == 1) ++chunks;
    return chunks;
  }
  int handle_ = -1;
  std::unique_ptr<AudioFrame> chunk_ = std::make_unique<AudioFrame>();
};

TEST_F(StreamEnd, ADamagedStretchIsSkippedAndTheEndComesOnceAtTheEnd) {
  for (const std::string extension : {".ts", ".mkv"}) {
    SCOPED_TRACE(extension);
    Watchdog watchdog(60s, "reading a damaged file");
    const std::string damaged = DamagedClip(extension);
    ASSERT_FALSE(damaged.empty());
    ClearLog();
    handle_ = Load(damaged);
    ASSERT_GE(handle_, 0);
    OwnedFrame frame(QeloGetVideoBuffersize(handle_));
    int pictures = 0;
    while (QeloGetNextVideoFrame(&frame.frame, handle_) == 1) ++pictures;
    for (int i = 0; i < kAnswersAfterTheEnd; ++i)
      EXPECT_EQ(QeloGetNextVideoFrame(&frame.frame, handle_), 0) << "a picture after the end";
    EXPECT_GE(pictures, CountVideoFrames(damaged));
    EXPECT_TRUE(LoggedStartingWith("Qelo Codecs: undecodable video packet skipped("));

    ReadAllChunks();
    for (int i = 0; i < kAnswersAfterTheEnd; ++i)
      EXPECT_EQ(QeloGetNextAudioFrame(chunk_.get(), handle_), 0) << "a chunk after the end";
    EXPECT_EQ(QeloMediaReadFailed(handle_), 0) << "damaged, but read to its end";
    QeloUnloadMediaFile(handle_);
    handle_ = -1;
  }
}

// The sound is 300 s long; its reader holds at most about 100 s of it ahead
// (a full packet queue and the file's buffer), so cutting the file at 60%
// while it is read shortens what is left to read.
TEST_F(StreamEnd, AFileThatBecomesShorterWhileItIsReadFailsItsReadAndEndsItsStream) {
  const std::string sound = LongSound(300);
  ASSERT_FALSE(sound.empty());
  struct Case {
    const char* name;
    bool cutBeforeOpening;
    bool cutWhileRead;
    int failed;
  } cases[] = {
      {"read whole", false, false, 0},
      {"cut before it was opened: it ends early, but reads cleanly", true, false, 0},
      {"cut while it was read", false, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Watchdog watchdog(60s, c.name);
    const std::string path = FixturePath("sound-" + std::to_string(&c - cases) + ".mkv");
    fs::copy_file(sound, path, fs::copy_options::overwrite_existing);
    const auto cut = fs::file_size(path) * 6 / 10;
    if (c.cutBeforeOpening) fs::resize_file(path, cut);
    ClearLog();
    handle_ = Load(path);
    ASSERT_GE(handle_, 0);
    ASSERT_EQ(QeloGetNextAudioFrame(chunk_.get(), handle_), 1);
    EXPECT_EQ(QeloMediaReadFailed(handle_), 0) << "reading goes on";
    if (c.cutWhileRead) fs::resize_file(path, cut);
    const int chunks = ReadAllChunks();
    EXPECT_GT(chunks, 100 * 50) << "more than the reader held ahead";
    EXPECT_EQ(QeloMediaReadFailed(handle_), c.failed);
    EXPECT_EQ(LoggedStartingWith("Qelo Codecs: media file(" + path + ") became shorter while it was read("),
              c.failed == 1);
    QeloUnloadMediaFile(handle_);
    handle_ = -1;
  }
}

}  // namespace
}  // namespace qelo::test
