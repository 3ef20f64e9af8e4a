// The edit window's rules for a source entry: crops inside the picture,
// trims inside the source, eight effects in order, one watermark kind, time
// texts, and what is written back on OK.
#include "edit_window_entry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>

#include "common/temp_dir.h"
#include "gdiplus/bitmap.h"
#include "gdiplus/encoders.h"

namespace qelo::app {
namespace {

constexpr int64_t kSecond = QELO_TIME_UNITS_PER_SECOND;

SourceEntry FiveSecondEntry() {
  SourceEntry entry{};
  entry.sourceDuration = 5 * kSecond;
  entry.trimEnd = entry.sourceDuration;
  entry.videoWidth = 320;
  entry.videoHeight = 240;
  entry.cropRect = WholeFrame();
  return entry;
}

void ExpectRect(const RelativeRect& r, double left, double top, double width, double height) {
  EXPECT_NEAR(r.left, left, 1e-9);
  EXPECT_NEAR(r.top, top, 1e-9);
  EXPECT_NEAR(r.width, width, 1e-9);
  EXPECT_NEAR(r.height, height, 1e-9);
}

TEST(EditEntryCrop, IsKeptInsideThePictureWithAUsableSize) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    RelativeRect in;
    RelativeRect out;
  } cases[] = {
      {"inside stays", {0.25, 0.5, 0.5, 0.25}, {0.25, 0.5, 0.5, 0.25}},
      {"past the right and bottom edges", {0.8, 0.9, 0.5, 0.5}, {0.5, 0.5, 0.5, 0.5}},
      {"left and above the picture", {-0.3, -1.0, 0.5, 0.5}, {0.0, 0.0, 0.5, 0.5}},
      {"zero size", {0.4, 0.4, 0.0, 0.0}, {0.4, 0.4, kMinCropFraction, kMinCropFraction}},
      {"negative size", {0.1, 0.1, -0.5, -0.2}, {0.1, 0.1, kMinCropFraction, kMinCropFraction}},
      {"larger than the picture", {0.2, 0.2, 3.0, 1.5}, {0.0, 0.0, 1.0, 1.0}},
      {"not a number", {nan, 0.1, 0.5, 0.5}, {0.0, 0.0, 1.0, 1.0}},
      {"infinite", {0.1, 0.1, std::numeric_limits<double>::infinity(), 0.5}, {0.0, 0.0, 1.0, 1.0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRect(SoundCrop(c.in), c.out.left, c.out.top, c.out.width, c.out.height);
  }
}

TEST(EditEntryCrop, ATypedCornerStaysAndTheSizeShrinksToFit) {
  ExpectRect(SoundCropKeepingCorner({0.25, 0.25, 1.0, 1.0}), 0.25, 0.25, 0.75, 0.75);
  ExpectRect(SoundCropKeepingCorner({1.5, -0.5, 0.5, 0.5}), 1.0 - kMinCropFraction, 0.0, kMinCropFraction, 0.5);
  ExpectRect(SoundCropKeepingCorner({0.1, 0.2, 0.3, 0.4}), 0.1, 0.2, 0.3, 0.4);
}

TEST(EditEntryCrop, IsOnExactlyWhenItCutsSomethingAway) {
  SourceEntry entry = FiveSecondEntry();
  SetCrop(entry, {0.0, 0.0, 0.5, 1.0});
  EXPECT_EQ(entry.cropEnabled, 1);
  ExpectRect(EffectiveCrop(entry), 0.0, 0.0, 0.5, 1.0);
  SetCrop(entry, {0.0, 0.0, 1.0, 1.0});
  EXPECT_EQ(entry.cropEnabled, 0);
  // A stored rectangle is not used while the crop is off.
  entry.cropRect = {0.1, 0.1, 0.2, 0.2};
  ExpectRect(EffectiveCrop(entry), 0.0, 0.0, 1.0, 1.0);
}

TEST(EditEntryCrop, PixelsAndFractionsConvertBothWays) {
  EXPECT_EQ(CropPixels({0.25, 0.5, 0.5, 0.25}, 640, 480), (TPixelRect{160, 240, 320, 120}));
  ExpectRect(CropFromPixels({160, 240, 320, 120}, 640, 480), 0.25, 0.5, 0.5, 0.25);
  // Typed numbers round-trip through the fractions.
  EXPECT_EQ(CropPixels(CropFromPixels({33, 17, 101, 77}, 320, 240), 320, 240), (TPixelRect{33, 17, 101, 77}));
  ExpectRect(CropFromPixels({5, 5, 5, 5}, 0, 240), 0.0, 0.0, 1.0, 1.0);
}

TEST(EditEntryTrim, EndsStayInsideTheSourceAndApart) {
  struct Case {
    const char* what;
    int64_t start, end;
    int64_t wantStart, wantEnd;
    bool enabled;
  } cases[] = {
      {"a range inside", 1 * kSecond, 3 * kSecond, 1 * kSecond, 3 * kSecond, true},
      {"the whole source is no trim", 0, 5 * kSecond, 0, 5 * kSecond, false},
      {"start before zero", -kSecond, 2 * kSecond, 0, 2 * kSecond, true},
      {"end past the length", kSecond, 9 * kSecond, kSecond, 5 * kSecond, true},
      {"start past the length", 7 * kSecond, 9 * kSecond, 5 * kSecond - kMinTrimLength, 5 * kSecond, true},
      {"start after end", 4 * kSecond, 2 * kSecond, 2 * kSecond - kMinTrimLength, 2 * kSecond, true},
      {"both at one point", 2 * kSecond, 2 * kSecond, 2 * kSecond - kMinTrimLength, 2 * kSecond, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SourceEntry entry = FiveSecondEntry();
    SetTrim(entry, c.start, c.end);
    EXPECT_EQ(entry.trimStart, c.wantStart);
    EXPECT_EQ(entry.trimEnd, c.wantEnd);
    EXPECT_EQ(entry.trimEnabled, c.enabled ? 1 : 0);
    EXPECT_EQ(EntryLength(entry), c.wantEnd - c.wantStart);
  }
}

TEST(EditEntryTrim, OneEndMovesWithoutPassingTheOther) {
  SourceEntry entry = FiveSecondEntry();
  SetTrim(entry, 1 * kSecond, 3 * kSecond);
  SetTrimStart(entry, 4 * kSecond);
  EXPECT_EQ(entry.trimStart, 3 * kSecond - kMinTrimLength);
  EXPECT_EQ(entry.trimEnd, 3 * kSecond);
  SetTrimEnd(entry, 0);
  EXPECT_EQ(entry.trimEnd, entry.trimStart + kMinTrimLength);
  // A source shorter than the shortest trim keeps its whole length.
  SourceEntry tiny = FiveSecondEntry();
  tiny.sourceDuration = tiny.trimEnd = kMinTrimLength / 2;
  SetTrim(tiny, kMinTrimLength / 4, kMinTrimLength / 2);
  EXPECT_EQ(tiny.trimStart, 0);
  EXPECT_EQ(tiny.trimEnd, kMinTrimLength / 2);
  EXPECT_EQ(tiny.trimEnabled, 0);
}

TEST(EditEntryTrim, WithoutTrimTheEntryTakesTheWholeSource) {
  SourceEntry entry = FiveSecondEntry();
  entry.trimStart = 2 * kSecond;  // stale values are not what the timeline uses
  entry.trimEnabled = 0;
  EXPECT_EQ(EntryLength(entry), 5 * kSecond);
}

TEST(EditEntryTime, TextsAreReadAndWritten) {
  EXPECT_EQ(TrimTimeText(0), "00:00:00.000");
  EXPECT_EQ(TrimTimeText(62 * kSecond + 5000000), "00:01:02.500");
  EXPECT_EQ(TrimTimeText(3 * 3600 * kSecond + 7 * kSecond + 10000), "03:00:07.001");
  EXPECT_EQ(TrimTimeText(-kSecond), "00:00:00.000");
  struct Case {
    const char* text;
    bool ok;
    int64_t units;
  } cases[] = {
      {"00:01:02.500", true, 62 * kSecond + 5000000},
      {"1:02.5", true, 62 * kSecond + 5000000},
      {"2.25", true, 2 * kSecond + 2500000},
      {"3", true, 3 * kSecond},
      {" 1,5 ", true, 15000000},
      {"1:00:00", true, 3600 * kSecond},
      {"", false, 0},
      {"abc", false, 0},
      {"-1", false, 0},
      {"1:75", false, 0},
      {"1:61:00", false, 0},
      {"1:2:3:4", false, 0},
      {"1.2.3", false, 0},
      {"1e3", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int64_t units = -7;
    EXPECT_EQ(ParseTrimTime(c.text, units), c.ok);
    EXPECT_EQ(units, c.ok ? c.units : -7);
  }
}

EffectRecord Effect(int id, int param1 = 0) {
  EffectRecord e{};
  e.effectId = id;
  e.param1 = param1;
  return e;
}

TEST(EditEntryEffects, EightAreKeptInTheirOrder) {
  SourceEntry entry = FiveSecondEntry();
  for (int i = 0; i < MAX_SOURCE_EFFECTS; ++i) ASSERT_TRUE(AddEffect(entry, Effect(i, 10 * i)));
  EXPECT_FALSE(AddEffect(entry, Effect(16))) << "a ninth is refused";
  EXPECT_EQ(entry.effectCount, MAX_SOURCE_EFFECTS);
  EXPECT_EQ(entry.effects[7].effectId, 7);

  RemoveEffect(entry, 2);
  ASSERT_EQ(entry.effectCount, 7);
  EXPECT_EQ(entry.effects[2].effectId, 3);
  EXPECT_EQ(entry.effects[7].effectId, 0) << "the freed slot is cleared";
  RemoveEffect(entry, 7);
  RemoveEffect(entry, -1);
  EXPECT_EQ(entry.effectCount, 7);

  EXPECT_EQ(MoveEffect(entry, 0, +1), 1);
  EXPECT_EQ(entry.effects[0].effectId, 1);
  EXPECT_EQ(entry.effects[1].effectId, 0);
  EXPECT_EQ(entry.effects[1].param1, 0) << "parameters move with their effect";
  EXPECT_EQ(MoveEffect(entry, 0, -1), 0) << "the first cannot move up";
  EXPECT_EQ(MoveEffect(entry, 6, +1), 6) << "the last cannot move down";

  // A count outside the record is not trusted.
  entry.effectCount = 40;
  EXPECT_EQ(EffectCount(entry), MAX_SOURCE_EFFECTS);
  EXPECT_FALSE(AddEffect(entry, Effect(1)));
}

TEST(EditEntryWatermark, OneKindAtATimeAndVisibleDefaults) {
  SourceEntry entry = FiveSecondEntry();
  GiveWatermarkDefaults(entry);
  EXPECT_EQ(entry.watermarkAlpha, 255);
  EXPECT_EQ(WatermarkFace(entry), "Arial");
  EXPECT_EQ(entry.watermarkFont.size, 24);
  EXPECT_EQ(entry.watermarkFont.color, 0xFFFFFFu);
  EXPECT_GT(entry.watermarkRegion.width, 0);

  SetWatermarkChoice(entry, wcText);
  EXPECT_EQ(WatermarkChoiceOf(entry), wcText);
  SetWatermarkChoice(entry, wcPicture);
  EXPECT_EQ(entry.textWatermarkEnabled, 0);
  EXPECT_EQ(WatermarkChoiceOf(entry), wcPicture);
  SetWatermarkChoice(entry, wcNone);
  EXPECT_EQ(entry.imageWatermarkEnabled, 0);

  // An entry the user set keeps what it has, even a black, invisible text.
  SourceEntry set = FiveSecondEntry();
  SetWatermarkChoice(set, wcText);
  set.watermarkAlpha = 0;
  set.watermarkFont.color = 0;
  GiveWatermarkDefaults(set);
  EXPECT_EQ(set.watermarkAlpha, 0);
  EXPECT_EQ(set.watermarkFont.color, 0u);
}

TEST(EditEntryWatermark, TextsAndPathsFitTheRecord) {
  SourceEntry entry = FiveSecondEntry();
  SetWatermarkText(entry, "Für dich");
  EXPECT_EQ(WatermarkText(entry), "Für dich");
  SetWatermarkText(entry, std::string(400, 'x'));
  EXPECT_EQ(WatermarkText(entry).size(), size_t(QELO_WATERMARK_TEXT_CHARS - 1));
  ASSERT_TRUE(SetWatermarkImagePath(entry, "/tmp/logo.png"));
  EXPECT_FALSE(SetWatermarkImagePath(entry, "/" + std::string(300, 'p') + ".png")) << "a cut path names another file";
  EXPECT_EQ(WatermarkImagePath(entry), "/tmp/logo.png");
}

TEST(EditEntryWatermark, TransparencyAndAlphaAreOneScale) {
  EXPECT_EQ(AlphaOfTransparency(0), 255);
  EXPECT_EQ(AlphaOfTransparency(100), 0);
  EXPECT_EQ(AlphaOfTransparency(50), 128);
  EXPECT_EQ(AlphaOfTransparency(-5), 255);
  for (int t : {0, 10, 33, 50, 77, 100}) EXPECT_EQ(TransparencyOfAlpha(AlphaOfTransparency(t)), t);
}

TEST(EditEntryWatermark, APictureKeepsItsShapeInsideTheFrame) {
  // 200 x 100 picture, a quarter of a 320 x 240 frame wide: 80 x 40 pixels.
  RelativeRect r = PictureRegion({0.1, 0.1, 0.5, 0.5}, 0.25, 200, 100, 320, 240);
  ExpectRect(r, 0.1, 0.1, 0.25, 40.0 / 240);
  // Too wide to stay where it is: moved back inside.
  r = PictureRegion({0.9, 0.9, 0.1, 0.1}, 0.5, 200, 100, 320, 240);
  EXPECT_NEAR(r.left + r.width, 1.0, 1e-9);
  EXPECT_NEAR(r.top + r.height, 1.0, 1e-9);
  // A tall picture at full width is narrowed to the frame's height.
  r = PictureRegion({0, 0, 0.1, 0.1}, 1.0, 100, 400, 320, 240);
  EXPECT_NEAR(r.height, 1.0, 1e-9);
  EXPECT_NEAR(r.width * 320 / (r.height * 240), 100.0 / 400, 1e-9);
}

TEST(EditEntryWatermark, ThePlayerGetsAnOpaqueTextColourAndTheEntrysAlpha) {
  SourceEntry entry = FiveSecondEntry();
  EXPECT_EQ(PlayerWatermark(entry).kind, WATERMARK_NONE);
  SetWatermarkChoice(entry, wcText);
  SetWatermarkText(entry, "Hi");
  entry.watermarkFont.color = 0x00336699;
  entry.watermarkAlpha = 100;
  entry.watermarkRegion = {0.2, 0.3, 0.1, 0.1};
  const WatermarkState text = PlayerWatermark(entry);
  EXPECT_EQ(text.kind, WATERMARK_TEXT);
  EXPECT_EQ(text.text.font.color, 0xFF336699u);
  EXPECT_EQ(text.text.alpha, 100);
  EXPECT_EQ(text.text.text[0], u'H');
  EXPECT_DOUBLE_EQ(text.text.region.top, 0.3);

  SetWatermarkChoice(entry, wcPicture);
  ASSERT_TRUE(SetWatermarkImagePath(entry, "/tmp/a.png"));
  const WatermarkState picture = PlayerWatermark(entry);
  EXPECT_EQ(picture.kind, WATERMARK_IMAGE);
  EXPECT_EQ(picture.image.imagePath[0], u'/');
  EXPECT_EQ(picture.image.alpha, 100);
}

TEST(EditEntryWatermark, OnlyPicturesWithPixelsCanBeRead) {
  test::TempDir dir;
  const std::string good = dir.File("logo.png");
  {
    gdiplus::Bitmap picture(30, 20);
    ASSERT_EQ(picture.Save(good, gdiplus::FindEncoder("image/png")->id), gdiplus::Status::Ok);
  }
  std::ofstream(dir.File("broken.png")) << "\x89PNG not really";
  std::ofstream(dir.File("notes.txt")) << "hello";
  int w = 0, h = 0;
  EXPECT_TRUE(ReadablePicture(good, &w, &h));
  EXPECT_EQ(w, 30);
  EXPECT_EQ(h, 20);
  EXPECT_FALSE(ReadablePicture(dir.File("broken.png")));
  EXPECT_FALSE(ReadablePicture(dir.File("notes.txt")));
  EXPECT_FALSE(ReadablePicture(dir.File("missing.png")));
  EXPECT_FALSE(ReadablePicture(""));
}

TEST(EditEntryWrite, CopiesTheEditedFieldsAndNothingElse) {
  SourceEntry original = FiveSecondEntry();
  original.path[0] = u'a';
  original.frameRate = 25;
  SourceEntry edited = original;
  edited.path[0] = u'z';
  edited.frameRate = 99;
  SetTrim(edited, kSecond, 2 * kSecond);
  edited.sourceDuration = 1;
  SetCrop(edited, {0.1, 0.2, 0.3, 0.4});
  SetWatermarkChoice(edited, wcText);
  SetWatermarkText(edited, "mark");
  edited.watermarkAlpha = 77;
  AddEffect(edited, Effect(1));
  WriteEditedFields(edited, original);
  EXPECT_EQ(original.path[0], u'a');
  EXPECT_EQ(original.frameRate, 25);
  EXPECT_EQ(original.sourceDuration, 5 * kSecond);
  EXPECT_EQ(original.trimStart, kSecond);
  EXPECT_EQ(original.trimEnabled, 1);
  EXPECT_EQ(original.cropEnabled, 1);
  EXPECT_EQ(original.textWatermarkEnabled, 1);
  EXPECT_EQ(WatermarkText(original), "mark");
  EXPECT_EQ(original.watermarkAlpha, 77);
  EXPECT_EQ(original.effectCount, 1);
}

}  // namespace
}  // namespace qelo::app
