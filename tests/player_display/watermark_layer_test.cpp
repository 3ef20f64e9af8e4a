// The watermark layer: text colour and measuring, image scaling and alpha,
// failed pictures, moving within the picture, and the state record.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "common/temp_dir.h"
#include "gdiplus/encoders.h"
#include "gdiplus/startup.h"
#include "watermark_layer.h"
#include "win/codepage.h"

namespace qelo::player {
namespace {

using gdiplus::Bitmap;

class WatermarkLayerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(gdiplus::Startup(&token_), gdiplus::Status::Ok); }
  void TearDown() override { gdiplus::Shutdown(token_); }

  // A 20 x 10 picture: opaque red on the left half, red with alpha 100 on
  // the right half.
  std::string WritePicture(const std::string& name) {
    Bitmap picture(20, 10);
    for (int y = 0; y < 10; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(picture.Scan0() + y * picture.Stride());
      for (int x = 0; x < 20; ++x) row[x] = x < 10 ? 0xFFFF0000u : 0x64FF0000u;
    }
    const std::string path = dir_.File(name);
    EXPECT_EQ(picture.Save(path, gdiplus::FindEncoder("image/png")->id), gdiplus::Status::Ok);
    return path;
  }

  static ImageWatermark Image(const std::string& path, RelativeRect region, int alpha) {
    ImageWatermark image{};
    win::CopyToUtf16Field(image.imagePath, QELO_PATH_CHARS, win::Utf8ToUtf16(path));
    image.region = region;
    image.alpha = alpha;
    return image;
  }

  static TextWatermark Text(const char* text, uint32_t color, int alpha) {
    TextWatermark t{};
    win::CopyToUtf16Field(t.text, QELO_WATERMARK_TEXT_CHARS, win::Utf8ToUtf16(text));
    win::CopyToUtf16Field(t.font.faceName, 32, u"DejaVu Sans");
    t.font.size = 12;
    t.font.color = color;
    t.alpha = alpha;
    return t;
  }

  static uint8_t AlphaAt(const Bitmap& b, int x, int y) { return b.Scan0()[y * b.Stride() + 4 * x + 3]; }

  uintptr_t token_ = 0;
  test::TempDir dir_;
};

TEST_F(WatermarkLayerTest, TextColourPutsTheAlphaOverTheFontsRgb) {
  struct Case {
    uint32_t color;
    int alpha;
    gdiplus::Argb brush;
  };
  const Case cases[] = {
      {0x00FF8000, 255, 0xFFFF8000},  // a colour without a top byte stays visible
      {0xFF0000FF, 128, 0x800000FF},  // the colour's own top byte means nothing
      {0x12345678, 0, 0x00345678},
      {0x00FFFFFF, 300, 0xFFFFFFFF},  // alpha held to 0..255
  };
  for (const Case& c : cases) {
    WatermarkLayer layer;
    layer.SetText(Text("Clipshift", c.color, c.alpha));
    EXPECT_EQ(layer.textColor(), c.brush) << std::hex << c.color << " alpha " << std::dec << c.alpha;
  }
  WatermarkLayer layer;
  layer.SetText(Text("Clipshift", 0x00102030, 255));
  layer.SetTransparent(64);
  EXPECT_EQ(layer.textColor(), 0x40102030u);
  WatermarkFont font = layer.state()->text.font;
  font.color = 0x00A0B0C0;
  layer.SetFont(font);
  EXPECT_EQ(layer.textColor(), 0x40A0B0C0u) << "a new font keeps the alpha";
}

TEST_F(WatermarkLayerTest, TextIsMeasuredWhileNoFrameExists) {
  WatermarkLayer layer;  // no picture rectangle, no frame bitmap
  layer.SetText(Text("Clipshift", 0xFFFFFF, 255));
  EXPECT_GT(layer.watermarkBounds().Width, 10);
  EXPECT_GT(layer.watermarkBounds().Height, 5);
  layer.SetVideoRect({20, 30, 400, 300});
  layer.SetRegion({0.5, 0.5, 0, 0});
  EXPECT_FLOAT_EQ(layer.watermarkBounds().X, 220);
  EXPECT_FLOAT_EQ(layer.watermarkBounds().Y, 180);
}

TEST_F(WatermarkLayerTest, ImageAlphaScalesThePicturesOwnAlphaAndLeavesMarginsClear) {
  WatermarkLayer layer;
  layer.SetVideoRect({0, 0, 400, 300});
  // 20 x 10 into 200 x 150: 200 x 100 at y 25, margins above and below.
  layer.SetImage(Image(WritePicture("mark.png"), {0, 0, 0.5, 0.5}, 255));
  const Bitmap* scaled = layer.watermarkScaled();
  ASSERT_NE(scaled, nullptr);
  EXPECT_EQ(scaled->GetWidth(), 200);
  EXPECT_EQ(scaled->GetHeight(), 150);
  EXPECT_EQ(AlphaAt(*scaled, 50, 10), 0) << "margin";
  EXPECT_EQ(AlphaAt(*scaled, 50, 75), 255) << "opaque half";
  EXPECT_NEAR(AlphaAt(*scaled, 150, 75), 100, 1) << "the picture's own alpha";

  struct Step {
    int alpha;
    int opaque, own;
  };
  // Each alpha applies to the picture as loaded, never to the last result.
  for (const Step& s : {Step{128, 128, 50}, Step{128, 128, 50}, Step{255, 255, 100}, Step{0, 0, 0}}) {
    layer.SetTransparent(s.alpha);
    scaled = layer.watermarkScaled();
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(AlphaAt(*scaled, 50, 10), 0) << "margin at alpha " << s.alpha;
    EXPECT_NEAR(AlphaAt(*scaled, 50, 75), s.opaque, 1) << "alpha " << s.alpha;
    EXPECT_NEAR(AlphaAt(*scaled, 150, 75), s.own, 1) << "alpha " << s.alpha;
  }
}

TEST_F(WatermarkLayerTest, AnUnreadableNewPictureLeavesNoStalePicture) {
  std::ofstream(dir_.File("not-an-image.png")) << "plain text";
  for (const char* bad : {"missing.png", "not-an-image.png"}) {
    WatermarkLayer layer;
    layer.SetVideoRect({0, 0, 400, 300});
    layer.SetImage(Image(WritePicture("good.png"), {0, 0, 0.5, 0.5}, 200));
    ASSERT_NE(layer.watermarkScaled(), nullptr);
    layer.SetImage(Image(dir_.File(bad), {0, 0, 0.5, 0.5}, 200));
    EXPECT_EQ(layer.watermarkScaled(), nullptr) << bad;
    layer.SetRegion({0.1, 0.1, 0.3, 0.3});
    EXPECT_EQ(layer.watermarkScaled(), nullptr) << bad << " after a new region";
  }
}

TEST_F(WatermarkLayerTest, MovesAreHeldWithinThePictureAndTheRegionFollows) {
  WatermarkLayer layer;
  layer.SetVideoRect({10, 20, 400, 300});
  layer.SetImage(Image(WritePicture("mark.png"), {0.1, 0.1, 0.2, 0.2}, 255));
  EXPECT_FLOAT_EQ(layer.watermarkX(), 50);
  EXPECT_FLOAT_EQ(layer.watermarkY(), 50);
  EXPECT_FLOAT_EQ(layer.watermarkBounds().Width, 80);
  layer.BeginMove();
  WatermarkLayer::Offset held = layer.MoveBy(1000, -1000);
  EXPECT_EQ(held.x, 320) << "right edge of the picture less the width";
  EXPECT_EQ(held.y, 0);
  EXPECT_FLOAT_EQ(layer.watermarkBounds().X, 330);
  RelativeRect region;
  ASSERT_TRUE(layer.GetRegion(&region));
  EXPECT_DOUBLE_EQ(region.left, 0.8);
  EXPECT_DOUBLE_EQ(region.top, 0);
  WatermarkLayer::Offset moved = layer.MoveBy(-15, 7);  // still from the press
  EXPECT_EQ(moved.x, 25);
  EXPECT_EQ(moved.y, 37);
  ASSERT_TRUE(layer.GetRegion(&region));
  EXPECT_DOUBLE_EQ(region.left, 25 / 400.0);
  EXPECT_DOUBLE_EQ(region.top, 37 / 300.0);
  EXPECT_DOUBLE_EQ(region.width, 0.2) << "size unchanged";
}

TEST_F(WatermarkLayerTest, StateRecordIsCopiedWholeAndFreedWhenDisabled) {
  WatermarkLayer layer;
  WatermarkState out;
  std::memset(&out, 0xAB, sizeof out);
  layer.GetState(&out);
  EXPECT_EQ(out.kind, 0);
  EXPECT_EQ(out.text.text[0], 0);
  RelativeRect region{1, 2, 3, 4};
  EXPECT_FALSE(layer.GetRegion(&region));
  layer.SetRegion({0.5, 0.5, 0.5, 0.5});
  EXPECT_EQ(layer.state(), nullptr) << "no state is made for a region alone";

  WatermarkState state{};
  state.kind = WATERMARK_TEXT;
  state.text = Text("Preview", 0xFF0000, 200);
  layer.Enable(&state);
  EXPECT_TRUE(layer.watermarkOn());
  layer.GetState(&out);
  EXPECT_EQ(std::memcmp(&out, &state, sizeof out), 0);
  EXPECT_EQ(layer.textColor(), 0xC8FF0000u);

  layer.Enable(nullptr);
  EXPECT_FALSE(layer.watermarkOn());
  EXPECT_EQ(layer.state(), nullptr);
  EXPECT_EQ(layer.textColor(), 0u) << "drawing objects dropped";
}

}  // namespace
}  // namespace qelo::player
