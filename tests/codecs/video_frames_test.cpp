// Video frames: pixel layout, sizes, time stamps and the end of the stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "codecs/codec_test_support.h"
#include "codecs/fixtures.h"
#include "codecs/reference_decode.h"
#include "common/media_fixture.h"
#include "win/thread.h"

namespace qelo::test {
namespace {

using VideoFrames = OpenFileTest;

TEST_F(VideoFrames, PixelsAreBlueGreenRedAlpha) {
  Open(Orange444Clip());
  OwnedFrame f(QeloGetVideoBuffersize(handle_));
  ASSERT_EQ(f.buffer.size(), 64u * 48 * 4);
  ASSERT_EQ(QeloGetNextVideoFrame(&f.frame, handle_), 1);
  EXPECT_EQ(f.frame.width, 64);
  EXPECT_EQ(f.frame.height, 48);
  EXPECT_EQ(f.frame.stride, 64 * 4);
  const uint8_t* px = &f.buffer[(24 * 64 + 32) * 4];
  EXPECT_NEAR(px[0], 0x00, 6);
  EXPECT_NEAR(px[1], 0x80, 6);
  EXPECT_NEAR(px[2], 0xFF, 6);
  EXPECT_EQ(px[3], 0xFF);
}

// The scaler's fast paths write rows in blocks of pixels; a width that is
// no multiple of the block must still leave the bytes after the frame alone,
// and so must a frame of whole blocks that the scaler writes straight into,
// on one thread or in slices on several.
TEST_F(VideoFrames, PixelsNeverReachPastTheFrame) {
  struct Case {
    std::string clip;
    int askW, askH;  // 0 x 0: the display size
    int frameW, frameH;
  } cases[] = {{OddSizeClip(), 0, 0, 62, 46},
               {OddSizeClip(), 61, 46, 61, 45},
               {OddSizeClip(), 30, 30, 30, 22},
               {OddSizeClip(), 64, 64, 64, 47},
               {WideSampleAspectClip(), 0, 0, 768, 576},
               {WideSampleAspectClip(), 1024, 1024, 1024, 768}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frameW);
    Open(c.clip);
    int32_t w = c.askW, h = c.askH;
    ASSERT_EQ(QeloResizeVideoSize(&w, &h, handle_), 1);
    const int bytes = QeloGetVideoBuffersize(handle_);
    ASSERT_EQ(bytes, c.frameW * c.frameH * 4);
    constexpr int kGuard = 256;
    OwnedFrame f(bytes + kGuard);
    f.frame.bufferSize = bytes;
    std::fill(f.buffer.begin() + bytes, f.buffer.end(), 0xAB);
    for (int i = 0; i < 3; ++i) {
      ASSERT_EQ(QeloGetNextVideoFrame(&f.frame, handle_), 1);
      EXPECT_EQ(f.frame.width, c.frameW);
      EXPECT_EQ(f.frame.height, c.frameH);
    }
    EXPECT_EQ(std::count(f.buffer.begin() + bytes, f.buffer.end(), 0xAB), kGuard);
    QeloUnloadMediaFile(handle_);
    handle_ = -1;
  }
}

// A caller at lowered priority (the preview's decoder) has a large picture
// scaled on its own thread rather than in slices: the same bytes.
TEST_F(VideoFrames, ACallerAtLoweredPriorityGetsTheSameBytes) {
  const auto firstFrames = [](bool lowered) {
    std::vector<std::vector<uint8_t>> taken;
    std::thread reader([&] {
      if (lowered) win::LowerCurrentThreadPriority();
      const int handle = Load(WideSampleAspectClip());
      int32_t width = 1024, height = 1024;  // 768 x 576 shown: large enough for slices
      if (handle < 0) return;
      if (QeloResizeVideoSize(&width, &height, handle) == 1) {
        OwnedFrame f(QeloGetVideoBuffersize(handle));
        for (int i = 0; i < 5 && QeloGetNextVideoFrame(&f.frame, handle) == 1; ++i) taken.push_back(f.buffer);
      }
      QeloUnloadMediaFile(handle);
    });
    reader.join();
    return taken;
  };
  const auto sliced = firstFrames(false);
  ASSERT_EQ(sliced.size(), 5u);
  EXPECT_TRUE(firstFrames(true) == sliced);
}

TEST_F(VideoFrames, EveryFrameArrivesInOrderWithItsInterval) {
  const std::string clip = VideoAudioClip();  // B-frames and threaded decoding delay pictures
  Open(clip);
  OwnedFrame f(QeloGetVideoBuffersize(handle_));
  int count = 0;
  int64_t lastPts = -1;
  while (QeloGetNextVideoFrame(&f.frame, handle_) == 1) {
    EXPECT_EQ(f.frame.pts, count * 400000) << "frame " << count;
    EXPECT_NEAR(f.frame.nextPts, f.frame.pts + 400000, 1);  // clocks are truncated seconds
    EXPECT_GT(f.frame.pts, lastPts);
    lastPts = f.frame.pts;
    ++count;
  }
  EXPECT_EQ(count, CountVideoFrames(clip));
  EXPECT_EQ(count, 50);
  const auto lines = LoggedLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Qelo Codecs: finish get video packet...");
  EXPECT_EQ(lines[1], "Qelo Codecs: no more video frame exist...");
}

TEST_F(VideoFrames, ResizeFitsInsideTheAskedSizeKeepingTheAspect) {
  Open(WideSampleAspectClip());  // displayed at 768 x 576
  struct Case {
    int32_t askW, askH;
    int32_t expectW, expectH;  // what the pointers hold afterwards
    int frameW, frameH;
  } cases[] = {
      {400, 200, 266, 200, 266, 200},  // height bound: 768 x 200 / 576
      {266, 200, 266, 200, 266, 200},  // the current size again: unchanged
      {320, 240, 320, 240, 320, 240},  // exactly the display's aspect
      {400, 600, 400, 300, 400, 300},  // width bound: 400 x 576 / 768
      {0, 0, 0, 0, 768, 576},          // back to the display size, pointers untouched
      {768, 576, 768, 576, 768, 576},
  };
  for (const auto& c : cases) {
    int32_t w = c.askW, h = c.askH;
    EXPECT_EQ(QeloResizeVideoSize(&w, &h, handle_), 1);
    EXPECT_EQ(w, c.expectW);
    EXPECT_EQ(h, c.expectH);
    const int bytes = QeloGetVideoBuffersize(handle_);
    EXPECT_EQ(bytes, c.frameW * c.frameH * 4);
    OwnedFrame f(bytes);
    ASSERT_EQ(QeloGetNextVideoFrame(&f.frame, handle_), 1);
    EXPECT_EQ(f.frame.width, c.frameW);
    EXPECT_EQ(f.frame.height, c.frameH);
    EXPECT_EQ(f.frame.stride, c.frameW * 4);
  }
}

// A phone's portrait recording is coded on its side and declares the turn
// that shows it upright, in a display matrix or (older files) a "rotate"
// tag. The display size is the turned one, and every frame comes upright,
// at the display size and scaled, as the ffmpeg tool shows it.
TEST_F(VideoFrames, TurnedUprightAsTheFileDeclares) {
  const std::string rotateTagged =
      Fixture("rotate90.mkv", {"-i", LandscapeClip(), "-c", "copy", "-metadata:s:v", "ROTATE=90"});
  struct Case {
    const char* name;
    std::string clip;
    int width, height;   // the display size
    const char* filter;  // what turns the ffmpeg tool's picture upright, when it does not
  } cases[] = {
      {"display matrix, a quarter turn", TurnedClip(90), 48, 64, ""},
      {"display matrix, a half turn", TurnedClip(180), 64, 48, ""},
      {"display matrix, three quarters", TurnedClip(270), 48, 64, ""},
      {"rotate tag", rotateTagged, 48, 64, "transpose=clock"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MediaInfo* info = QeloMallocFileFormatInfo(nullptr);
    handle_ = Load(c.clip, info);
    ASSERT_GE(handle_, 0);
    EXPECT_EQ(info->streams[0]->displayWidth, c.width);
    EXPECT_EQ(info->streams[0]->displayHeight, c.height);
    QeloFreeFileFormatInfo(info);
    // The bridge scales, then turns; the tool turns, then scales: scaled
    // pictures differ by a few levels, while a wrong turn differs by tens.
    const struct {
      int width, height;
      double tolerance;
    } sizes[] = {{c.width, c.height, 3}, {c.width / 2, c.height / 2, 16}};
    for (const auto& size : sizes) {
      SCOPED_TRACE(size.width);
      int32_t w = size.width, h = size.height;
      ASSERT_EQ(QeloResizeVideoSize(&w, &h, handle_), 1);
      OwnedFrame f(QeloGetVideoBuffersize(handle_));
      ASSERT_EQ(QeloGetNextVideoFrame(&f.frame, handle_), 1);
      ASSERT_EQ(f.frame.width, size.width);
      ASSERT_EQ(f.frame.height, size.height);
      const auto upright = ReferencePictures(c.clip, size.width, size.height, c.filter);
      ASSERT_FALSE(upright.empty());
      EXPECT_LT(PictureDifference(f.buffer.data(), upright.front()), size.tolerance);
    }
    QeloUnloadMediaFile(handle_);
    handle_ = -1;
  }
}

TEST_F(VideoFrames, ABufferTooSmallIsRefusedAndCleared) {
  Open(VideoOnlyClip());
  const int bytes = QeloGetVideoBuffersize(handle_);
  OwnedFrame f(bytes - 4);
  std::fill(f.buffer.begin(), f.buffer.end(), 0xAB);
  EXPECT_EQ(QeloGetNextVideoFrame(&f.frame, handle_), 0);
  EXPECT_TRUE(Logged("Qelo Codecs: video frame buffer too small..."));
  EXPECT_EQ(std::count(f.buffer.begin(), f.buffer.end(), 0), bytes - 4);

  VideoFrame noPixels{};
  EXPECT_EQ(QeloGetNextVideoFrame(&noPixels, handle_), 0);
  EXPECT_TRUE(Logged("Qelo Codecs: Error parameter..."));
  EXPECT_EQ(QeloGetNextVideoFrame(nullptr, handle_), 0);
}

TEST_F(VideoFrames, ALargerBufferGetsItsTailCleared) {
  Open(VideoOnlyClip());
  const int bytes = QeloGetVideoBuffersize(handle_);
  OwnedFrame f(bytes + 64);
  std::fill(f.buffer.begin(), f.buffer.end(), 0xAB);
  ASSERT_EQ(QeloGetNextVideoFrame(&f.frame, handle_), 1);
  EXPECT_EQ(std::count(f.buffer.begin() + bytes, f.buffer.end(), 0), 64);
}

TEST_F(VideoFrames, AudioOnlyFilesHaveNoVideo) {
  Open(AudioOnlyClip());
  EXPECT_EQ(QeloGetVideoBuffersize(handle_), 0);
  OwnedFrame f(64);
  EXPECT_EQ(QeloGetNextVideoFrame(&f.frame, handle_), 0);
  EXPECT_TRUE(Logged("Qelo Codecs: no video stream exist...."));
}

}  // namespace
}  // namespace qelo::test
