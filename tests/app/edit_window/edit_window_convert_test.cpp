// What the edit window sets, converted by the engine and read back from the
// output file by ffmpeg and ffprobe: the crop drawn and typed, two effects,
// a text and a picture watermark placed with the mouse, a trim.
#include <cstring>
#include <functional>

#include "common/media_fixture.h"
#include "edit_layout.h"
#include "edit_window_fixture.h"
#include "gdiplus/bitmap.h"
#include "gdiplus/encoders.h"
#include "qelo/effect.h"
#include "vcl/dialogs/open_dialog_form.h"
#include "win/window/window.h"

namespace qelo::app::test {
namespace {

namespace layout = skin::edit_window;
using vcl::script::Click;

constexpr int kFps = 25;

std::string PatternClip() {
  return qelo::test::CachedMedia("edit-pattern-3.mp4",
                                 {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=3", "-f", "lavfi", "-i",
                                  "sine=frequency=440:sample_rate=44100:duration=3", "-ac", "2", "-c:v", "libx264",
                                  "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"});
}

// A plain navy picture, so that a watermark stands out.
std::string NavyClip() {
  return qelo::test::CachedMedia("edit-navy-3.mp4",
                                 {"-f", "lavfi", "-i", "color=c=0x000080:size=320x240:rate=25:duration=3", "-f",
                                  "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=3", "-ac", "2", "-c:v",
                                  "libx264", "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"});
}

// The share of 16 x 16 blocks of `out` whose mean colour is within
// `tolerance` of what `expected` gives for that block's place.
double MatchingBlocks(const Picture& out, const std::function<uint32_t(int x, int y)>& expected, int tolerance = 24) {
  int blocks = 0, matching = 0;
  for (int y = 0; y + 16 <= out.height; y += 16)
    for (int x = 0; x + 16 <= out.width; x += 16, ++blocks)
      matching += ColourDistance(out.Mean(x, y, 16, 16), expected(x, y)) <= tolerance;
  return blocks ? double(matching) / blocks : 0;
}

// Bright pixels (a white text) inside a box.
int BrightPixels(const Picture& p, int x, int y, int w, int h) {
  int n = 0;
  for (int j = std::max(y, 0); j < std::min(y + h, p.height); ++j)
    for (int i = std::max(x, 0); i < std::min(x + w, p.width); ++i) {
      const uint32_t c = p.At(i, j);
      n += (c >> 16 & 0xFF) > 160 && (c >> 8 & 0xFF) > 160 && (c & 0xFF) > 160;
    }
  return n;
}

// The player's picture of a 320 x 240 source in one 387 x 282 pane: 376
// pixels wide from x 5.5, the pane's full height.
constexpr double kPictureX = 5.5, kPictureW = 376, kPictureH = 282;
constexpr int kOutputPane = layout::kSecondPaneX - layout::kPreview.x;

TEST_F(EditWindowTest, ACropDrawnAndTypedIsWhatTheOutputShows) {
  TWorkGroupClass* job = AddJob(PatternClip(), "cropped.mpg");
  ASSERT_NE(job, nullptr);
  EXPECT_TRUE(Edit(*job, epCrop, [&](TfrmEditVideo& w) {
    // The crop's left handle, dragged a quarter of the picture to the right.
    const int handleY = static_cast<int>(kPictureH / 2);
    DragOnPreview(static_cast<int>(kPictureX) + 3, handleY, static_cast<int>(kPictureX) + 3 + 94, handleY);
    ASSERT_TRUE(PumpUntil([&] { return w.edCropLeft->Text() == "80"; })) << w.edCropLeft->Text();
    EXPECT_EQ(w.edCropWidth->Text(), "240");
    SaveScreenshot("edit-window-crop-dragged.png");
    for (auto [field, text] : {std::pair{w.edCropTop, "60"}, {w.edCropWidth, "160"}, {w.edCropHeight, "120"}}) {
      vcl::script::Focus(*field);
      field->SetText("");
      vcl::script::TypeText(text);
      vcl::script::PressKey(win::VK_RETURN);
    }
    EXPECT_EQ(w.edCropLeft->Text(), "80");
  }));
  const RelativeRect& crop = job->EntryAt(0)->cropRect;
  EXPECT_NEAR(crop.left, 0.25, 1e-9);
  EXPECT_NEAR(crop.top, 0.25, 1e-9);
  EXPECT_NEAR(crop.width, 0.5, 1e-9);
  EXPECT_NEAR(crop.height, 0.5, 1e-9);
  ASSERT_TRUE(ConvertJobs());
  // The 160 x 120 part from (80, 60) fills the 320 x 240 output.
  const Picture source = FrameOf(PatternClip(), kFps), out = FrameOf(OutputOf(*job), kFps);
  ASSERT_EQ(out.width, 320);
  ASSERT_EQ(source.width, 320);
  EXPECT_GE(MatchingBlocks(out, [&](int x, int y) { return source.Mean(80 + x / 2, 60 + y / 2, 8, 8); }), 0.9);
  EXPECT_LT(MatchingBlocks(out, [&](int x, int y) { return source.Mean(x, y, 16, 16); }), 0.6) << "not the whole picture";
}

TEST_F(EditWindowTest, TwoEffectsInTheirOrderAreWhatTheOutputShows) {
  TWorkGroupClass* job = AddJob(PatternClip(), "effects.mpg");
  ASSERT_NE(job, nullptr);
  EXPECT_TRUE(Edit(*job, epEffect, [&](TfrmEditVideo& w) {
    for (const char* name : {"Invert", "Brightness"}) {
      w.lbEffects->SetItemIndex(w.lbEffects->Items()->IndexOf(name));
      Click(*w.btnEffectAdd);
    }
    ASSERT_TRUE(w.tbParam1->Visible());
    EXPECT_EQ(w.LabParam1->Caption(), "Brightness");
    EXPECT_EQ(w.LabParam1Value->Caption(), "50");
    w.tbParam1->SetPosition(70);
    EXPECT_EQ(w.LabParam1Value->Caption(), "70");
  }));
  const SourceEntry& entry = *job->EntryAt(0);
  ASSERT_EQ(entry.effectCount, 2);
  EXPECT_EQ(entry.effects[0].effectId, EFFECT_INVERT);
  EXPECT_EQ(entry.effects[1].effectId, EFFECT_BRIGHTNESS);
  EXPECT_EQ(entry.effects[1].param1, 70);
  ASSERT_TRUE(ConvertJobs());

  // The source frame through QeloDoEffect with the same records.
  Picture expected = FrameOf(PatternClip(), kFps);
  ASSERT_EQ(expected.width, 320);
  std::vector<uint8_t> bgra(expected.pixels.size() * 4);
  for (size_t i = 0; i < expected.pixels.size(); ++i) {
    const uint32_t c = expected.pixels[i];
    bgra[4 * i] = c & 0xFF, bgra[4 * i + 1] = c >> 8 & 0xFF, bgra[4 * i + 2] = c >> 16 & 0xFF, bgra[4 * i + 3] = 0xFF;
  }
  VideoFrame frame{bgra.data(), expected.width, expected.height, expected.width * 4, static_cast<int32_t>(bgra.size()), 0, 0};
  for (int i = 0; i < entry.effectCount; ++i) ASSERT_TRUE(QeloDoEffect(&frame, &entry.effects[i], 0));
  for (size_t i = 0; i < expected.pixels.size(); ++i)
    expected.pixels[i] = uint32_t(bgra[4 * i + 2]) << 16 | uint32_t(bgra[4 * i + 1]) << 8 | bgra[4 * i];
  const Picture out = FrameOf(OutputOf(*job), kFps);
  EXPECT_GE(MatchingBlocks(out, [&](int x, int y) { return expected.Mean(x, y, 16, 16); }), 0.9);
}

TEST_F(EditWindowTest, TextAndPictureWatermarksPlacedWithTheMouseAreWhereTheOutputShowsThem) {
  TWorkGroupClass* textJob = AddJob(NavyClip(), "text.mpg");
  TWorkGroupClass* pictureJob = AddJob(NavyClip(), "picture.mpg");
  ASSERT_NE(textJob, nullptr);
  ASSERT_NE(pictureJob, nullptr);
  // Where a watermark at the region's default place (0.05, 0.05) starts on
  // the output pane.
  const int startX = kOutputPane + static_cast<int>(kPictureX + 0.05 * kPictureW) + 6;
  const int startY = static_cast<int>(0.05 * kPictureH) + 6;

  EXPECT_TRUE(Edit(*textJob, epWatermark, [&](TfrmEditVideo& w) {
    w.cbWmKind->SetItemIndex(wcText);
    w.cbWmKindChange(w.cbWmKind);
    vcl::script::Focus(*w.edWmText);
    vcl::script::TypeText("CLIP");
    EXPECT_EQ(w.cbWmColor->Items()->Get(w.cbWmColor->ItemIndex()), "White");
    DragOnPreview(startX, startY, startX + 150, startY + 100);
    ASSERT_TRUE(PumpUntil([&] { return w.Edited().watermarkRegion.left > 0.4; }));
    SaveScreenshot("edit-window-watermark-text.png");
  }));
  const RelativeRect text = textJob->EntryAt(0)->watermarkRegion;
  EXPECT_NEAR(text.left, (0.05 * kPictureW + 150) / kPictureW, 2 / kPictureW);
  EXPECT_NEAR(text.top, (0.05 * kPictureH + 100) / kPictureH, 2 / kPictureH);

  const std::string logo = dir.File("logo.png");
  {
    gdiplus::Bitmap red(40, 40);
    const uint32_t argb = 0xFFFF0000;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) std::memcpy(red.Scan0() + y * red.Stride() + 4 * x, &argb, 4);
    ASSERT_EQ(red.Save(logo, gdiplus::FindEncoder("image/png")->id), gdiplus::Status::Ok);
  }
  EXPECT_TRUE(Edit(*pictureJob, epWatermark, [&](TfrmEditVideo& w) {
    vcl::script::AnswerOpenDialog(*script, {logo});
    w.cbWmKind->SetItemIndex(wcPicture);
    w.cbWmKindChange(w.cbWmKind);
    ASSERT_EQ(w.edWmPicture->Text(), logo);
    w.tbWmSize->SetPosition(25 - 5);
    EXPECT_EQ(w.LabWmSizeValue->Caption(), "25% wide");
    w.tbTransparency->SetPosition(50);
    EXPECT_EQ(w.LabTransparencyValue->Caption(), "50%");
    DragOnPreview(startX + 4, startY + 4, startX + 104, startY + 84);
    ASSERT_TRUE(PumpUntil([&] { return w.Edited().watermarkRegion.left > 0.25; }));
    SaveScreenshot("edit-window-watermark-picture.png");
  }));
  const RelativeRect picture = pictureJob->EntryAt(0)->watermarkRegion;
  EXPECT_NEAR(picture.width, 0.25, 1e-9);
  EXPECT_NEAR(picture.height, 0.25 * 320 / 240, 1e-9) << "square, as the picture";
  EXPECT_EQ(pictureJob->EntryAt(0)->watermarkAlpha, 128);

  ASSERT_TRUE(ConvertJobs());
  const Picture withText = FrameOf(OutputOf(*textJob), kFps);
  ASSERT_EQ(withText.width, 320);
  const int tx = static_cast<int>(text.left * 320), ty = static_cast<int>(text.top * 240);
  EXPECT_GT(BrightPixels(withText, tx, ty, 70, 30), 40) << "the text at " << tx << ", " << ty;
  EXPECT_EQ(BrightPixels(withText, 0, 0, 100, 60), 0) << "not where it started";
  EXPECT_EQ(BrightPixels(withText, 0, 160, 320, 80), 0);

  const Picture withPicture = FrameOf(OutputOf(*pictureJob), kFps);
  ASSERT_EQ(withPicture.width, 320);
  const int px = static_cast<int>(picture.left * 320), py = static_cast<int>(picture.top * 240);
  // Half transparent: half the red over half the navy.
  const uint32_t mixed = withPicture.Mean(px + 20, py + 20, 40, 40);
  EXPECT_LE(ColourDistance(mixed, 0x800040), 30) << std::hex << mixed;
  EXPECT_LE(ColourDistance(withPicture.Mean(10, 10, 16, 16), 0x000080), 24) << "navy where it started";
  EXPECT_LE(ColourDistance(withPicture.Mean(280, 200, 16, 16), 0x000080), 24);
}

TEST_F(EditWindowTest, ATrimOfOneToThreeSecondsGivesTwoSeconds) {
  TWorkGroupClass* job = AddJob(PatternClip(), "trimmed.mpg");
  ASSERT_NE(job, nullptr);
  EXPECT_TRUE(Edit(*job, epTrim, [&](TfrmEditVideo& w) {
    // The start from the preview's position, the end typed.
    ASSERT_TRUE(ShowFrame(1 * kSecond));
    EXPECT_EQ(w.PreviewPosition(), 1 * kSecond);
    Click(*w.btnTrimSetStart);
    vcl::script::Focus(*w.edTrimEnd);
    w.edTrimEnd->SetText("");
    vcl::script::TypeText("3.0");
    vcl::script::PressKey(win::VK_RETURN);
    EXPECT_EQ(w.LabTrimLength->Caption(), "Converted: 00:00:02.000 of 00:00:03.000");
  }));
  EXPECT_EQ(job->EntryAt(0)->trimStart, 1 * kSecond);
  EXPECT_EQ(job->EntryAt(0)->trimEnd, 3 * kSecond);
  ASSERT_TRUE(ConvertJobs());
  const qelo::test::ProbedFile out = qelo::test::Probe(OutputOf(*job));
  ASSERT_TRUE(out.ok);
  ASSERT_NE(out.First("video"), nullptr);
  EXPECT_NEAR(out.First("video")->Number("duration"), 2.0, 0.04 + 1e-9);
  EXPECT_NEAR(qelo::test::CountVideoFrames(OutputOf(*job)) / double(kFps), 2.0, 0.04 + 1e-9);
  // Its first frame is the source's at one second.
  const Picture source = FrameOf(PatternClip(), kFps), first = FrameOf(OutputOf(*job), 0);
  EXPECT_GE(MatchingBlocks(first, [&](int x, int y) { return source.Mean(x, y, 16, 16); }), 0.9);
}

}  // namespace
}  // namespace qelo::app::test
