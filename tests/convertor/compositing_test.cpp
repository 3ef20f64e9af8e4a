// Frame compositing on small frames: the fitting rule, crop bars, output
// letterboxing, text placement and its fallback font, the picture watermark
// with its alpha and cache, and the order of the chain.
#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "common/media_fixture.h"
#include "common/temp_dir.h"
#include "convertor_log.h"
#include "frame_compositing.h"
#include "gdiplus/bitmap.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

using convertor::FittedRect;
using convertor::OwnedFrame;

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGray = 0xFF808080;

struct Frame {
  OwnedFrame owned;
  Frame(int width, int height, uint32_t fill) {
    owned.Reserve(width * height * 4);
    owned.frame.width = width, owned.frame.height = height, owned.frame.stride = width * 4;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) Set(x, y, fill);
  }
  VideoFrame* get() { return &owned.frame; }
  uint32_t At(int x, int y) const {
    uint32_t v;
    std::memcpy(&v, owned.buffer.data() + size_t(y) * owned.frame.stride + size_t(x) * 4, 4);
    return v;
  }
  void Set(int x, int y, uint32_t v) {
    std::memcpy(owned.buffer.data() + size_t(y) * owned.frame.stride + size_t(x) * 4, &v, 4);
  }
  // Pixels that differ from `fill`, with the box that holds them.
  int Changed(uint32_t fill, int* minX = nullptr, int* minY = nullptr, int* maxX = nullptr, int* maxY = nullptr) const {
    int count = 0, x0 = INT32_MAX, y0 = INT32_MAX, x1 = -1, y1 = -1;
    for (int y = 0; y < owned.frame.height; ++y)
      for (int x = 0; x < owned.frame.width; ++x)
        if (At(x, y) != fill) {
          ++count;
          x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    if (minX) *minX = x0, *minY = y0, *maxX = x1, *maxY = y1;
    return count;
  }
};

std::mutex gLogMutex;
std::vector<std::string> gLines;
void Collect(const char16_t* line) {
  std::lock_guard<std::mutex> hold(gLogMutex);
  gLines.push_back(win::Utf16ToUtf8(line));
}

class Compositing : public ::testing::Test {
 protected:
  void SetUp() override {
    convertor::gLog.SetCallback(Collect);
    std::lock_guard<std::mutex> hold(gLogMutex);
    gLines.clear();
  }
  static std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> hold(gLogMutex);
    return gLines;
  }
  std::string Png(const std::string& name, const std::string& color, int width, int height) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(MakeMedia({"-f", "lavfi", "-i", "color=" + color + ":size=" + std::to_string(width) + "x" +
                                                    std::to_string(height),
                           "-frames:v", "1"},
                          path));
    return path;
  }
  TempDir dir_;
};

TEST_F(Compositing, FittingKeepsTheAspectAndCentres) {
  struct Case {
    int sw, sh, bw, bh;
    FittedRect expected;
  } cases[] = {
      {320, 480, 640, 480, {160, 0, 320, 480}},  // narrower: bars left and right
      {640, 360, 640, 480, {0, 60, 640, 360}},   // wider: bars above and below
      {200, 100, 100, 100, {0, 25, 100, 50}},
      {3, 2, 4, 4, {0, 1, 4, 2}},  // the height 2.67 truncates
      {0, 10, 100, 100, {0, 0, 0, 0}},  // no picture to fit
  };
  for (const Case& c : cases) {
    const FittedRect f = convertor::Fit(c.sw, c.sh, c.bw, c.bh);
    EXPECT_EQ(f.left, c.expected.left) << c.sw << "x" << c.sh;
    EXPECT_EQ(f.top, c.expected.top) << c.sw << "x" << c.sh;
    EXPECT_EQ(f.width, c.expected.width) << c.sw << "x" << c.sh;
    EXPECT_EQ(f.height, c.expected.height) << c.sw << "x" << c.sh;
  }
}

TEST_F(Compositing, ACropFillsTheFrameOnTransparentBars) {
  Frame src(64, 48, kBlue);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 32; ++x) src.Set(x, y, kRed);
  OwnedFrame dst;
  ASSERT_TRUE(convertor::CropFrame({0, 0, 0.5, 1}, &dst, *src.get()));
  ASSERT_EQ(dst.frame.width, 64);
  ASSERT_EQ(dst.frame.height, 48);
  for (int y = 0; y < 48; y += 7)
    for (int x = 0; x < 64; ++x) {
      uint32_t v;
      std::memcpy(&v, dst.buffer.data() + size_t(y) * dst.frame.stride + size_t(x) * 4, 4);
      EXPECT_EQ(v, x >= 16 && x < 48 ? kRed : 0u) << x << "," << y;  // the left half, not a blue pixel
    }
}

TEST_F(Compositing, ScalingToTheOutputLetterboxesOnOpaqueBlack) {
  Frame src(64, 36, kRed);
  Frame dst(64, 48, 0x12345678);
  ASSERT_TRUE(convertor::ScaleToOutput(dst.get(), *src.get()));
  for (int y = 0; y < 48; ++y) EXPECT_EQ(dst.At(10, y), y >= 6 && y < 42 ? kRed : 0xFF000000u) << y;

  VideoFrame none{};
  none.width = 64, none.height = 48;
  EXPECT_FALSE(convertor::ScaleToOutput(&none, *src.get()));
}

TEST_F(Compositing, TextStartsAtTheRegionsCornerAndIsCutByTheEdge) {
  WatermarkFont font{};
  win::CopyToUtf16Field(font.faceName, 32, u"DejaVu Sans");
  font.size = 14;
  font.color = 0x00FFFFFF;  // the top byte is replaced by the alpha
  const std::u16string text = u"Clipshift Clipshift Clipshift Clipshift";
  Frame frame(320, 240, kGray);
  ASSERT_TRUE(convertor::DrawTextWatermark(text.c_str(), font, 255, {0.1, 0.1, 0.2, 0.2}, frame.get()));
  int x0, y0, x1, y1;
  ASSERT_GT(frame.Changed(kGray, &x0, &y0, &x1, &y1), 0);
  EXPECT_GE(x0, 32);
  EXPECT_LE(x0, 36);
  EXPECT_GE(y0, 24);
  EXPECT_LE(y0, 24 + 10);
  EXPECT_GE(x1, 310);      // runs into the right edge
  EXPECT_LT(y1, 24 + 30);  // on one line: not wrapped
}

TEST_F(Compositing, TextDrawsThroughTheFallbackAndTakesTheWatermarksAlpha) {
  WatermarkFont font{};
  win::CopyToUtf16Field(font.faceName, 32, u"No Such Family At All");
  font.size = 12;
  font.color = 0xFF000000;  // black; its own top byte is ignored
  struct Case {
    int alpha;
    bool drawn;
  } cases[] = {{255, true}, {0, false}};
  for (const Case& c : cases) {
    Frame frame(160, 60, kGray);
    ASSERT_TRUE(convertor::DrawTextWatermark(u"Watermark", font, c.alpha, {0, 0, 1, 1}, frame.get()));
    EXPECT_EQ(frame.Changed(kGray) > 0, c.drawn) << c.alpha;
  }
  Frame frame(16, 16, kGray);
  EXPECT_FALSE(convertor::DrawTextWatermark(nullptr, font, 255, {}, frame.get()));
  EXPECT_TRUE(convertor::DrawTextWatermark(u"", font, 255, {}, frame.get()));
  EXPECT_EQ(frame.Changed(kGray), 0);
}

TEST_F(Compositing, ThePictureIsFittedIntoItsRegionWithOneOpacity) {
  const std::u16string image = win::Utf8ToUtf16(Png("red.png", "red", 200, 100));
  convertor::WatermarkImageCache cache;
  Frame frame(200, 200, kGray);
  ASSERT_TRUE(convertor::DrawImageWatermark(frame.get(), {0.25, 0.25, 0.5, 0.5}, &cache, image.c_str(), 128));
  ASSERT_TRUE(cache.picture);
  EXPECT_EQ(cache.picture->GetWidth(), 100);
  EXPECT_EQ(cache.picture->GetHeight(), 100);
  // The 100 x 50 picture sits 25 rows down its 100 x 100 region at (50, 50);
  // the bars are transparent.
  int x0, y0, x1, y1;
  EXPECT_EQ(frame.Changed(kGray, &x0, &y0, &x1, &y1), 100 * 50);
  EXPECT_EQ(x0, 50);
  EXPECT_EQ(y0, 75);
  EXPECT_EQ(x1, 149);
  EXPECT_EQ(y1, 124);
  const uint32_t blended = frame.At(100, 100);
  EXPECT_NEAR(int(blended >> 16 & 0xFF), (255 * 128 + 128 * 127) / 255, 2);
  EXPECT_NEAR(int(blended & 0xFF), 128 * 127 / 255, 2);

  // Another source with the same picture and region keeps the first alpha.
  Frame second(200, 200, kGray);
  ASSERT_TRUE(convertor::DrawImageWatermark(second.get(), {0.25, 0.25, 0.5, 0.5}, &cache, image.c_str(), 255));
  EXPECT_EQ(second.At(100, 100), blended);
}

TEST_F(Compositing, APictureThatCannotBeReadIsNotDrawn) {
  const std::string notAnImage = dir_.File("notes.png");
  std::FILE* f = std::fopen(notAnImage.c_str(), "w");
  std::fputs("not a picture", f);
  std::fclose(f);
  convertor::WatermarkImageCache cache;
  Frame frame(64, 64, kGray);
  const std::u16string path = win::Utf8ToUtf16(notAnImage);
  EXPECT_FALSE(convertor::DrawImageWatermark(frame.get(), {0, 0, 1, 1}, &cache, path.c_str(), 255));
  EXPECT_FALSE(convertor::DrawImageWatermark(frame.get(), {0, 0, 1, 1}, &cache, u"", 255));
  EXPECT_EQ(frame.Changed(kGray), 0);
}

SourceEntry Source() {
  SourceEntry s{};
  s.watermarkAlpha = 255;
  return s;
}

TEST_F(Compositing, TheChainCropsThenWatermarksThenAppliesTheEffects) {
  Frame frame(64, 48, kBlue);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 32; ++x) frame.Set(x, y, kRed);
  SourceEntry s = Source();
  s.cropEnabled = 1;
  s.cropRect = {0, 0, 0.5, 1};
  s.effectCount = 1;
  s.effects[0].effectId = EFFECT_INVERT;
  OwnedFrame cropFrame;
  convertor::WatermarkImageCache imageCache;
  convertor::CompositeFrame(s, frame.get(), &cropFrame, &imageCache, nullptr);
  // The cropped red became cyan; the colour of the bars was inverted too.
  EXPECT_EQ(frame.At(30, 20) & 0xFFFFFF, 0x00FFFFu);
  EXPECT_EQ(frame.At(5, 20) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_TRUE(Lines().empty());
}

TEST_F(Compositing, AWatermarkThatFailsIsLoggedAndTheFrameGoesOn) {
  SourceEntry s = Source();
  s.imageWatermarkEnabled = 1;
  win::CopyToUtf16Field(s.watermarkImagePath, QELO_PATH_CHARS, u"/no/such/picture.png");
  s.watermarkRegion = {0, 0, 1, 1};
  s.effectCount = 1;
  s.effects[0].effectId = EFFECT_INVERT;
  Frame frame(16, 16, kGray);
  OwnedFrame cropFrame;
  convertor::WatermarkImageCache imageCache;
  convertor::CompositeFrame(s, frame.get(), &cropFrame, &imageCache, nullptr);
  EXPECT_EQ(Lines(), std::vector<std::string>{"Qelo VideoConvertor: Warning: failed to draw watermark image"});
  EXPECT_EQ(frame.At(3, 3) & 0xFFFFFF, 0x7F7F7Fu);  // the effect still ran

  // On a frame without pixels the text, which wins over the picture, fails.
  s.textWatermarkEnabled = 1;
  VideoFrame empty{};
  gLines.clear();
  convertor::CompositeFrame(s, &empty, &cropFrame, &imageCache, nullptr);
  EXPECT_EQ(Lines(), std::vector<std::string>{"Qelo VideoConvertor: Warning: failed to draw watermark text"});
}

}  // namespace
}  // namespace qelo::test
