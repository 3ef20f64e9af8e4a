// The edit window driven as a user drives it, headless, on the real
// libraries: its layout, its pages, the preview and what OK and Cancel do
// to the job.
#include "edit_window_fixture.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <fstream>

#include "gdiplus/bitmap.h"
#include "gdiplus/encoders.h"
#include "qelo/player_exports.h"
#include "vcl/dialogs/open_dialog_form.h"
#include "win/codepage.h"

#include "common/media_fixture.h"
#include "edit_layout.h"
#include "vcl/controls/scripting.h"

namespace qelo::app::test {
namespace {

namespace layout = skin::edit_window;

// Where the layout table places a control: left, top, width, height.
void ExpectPlaced(vcl::TControl& control, const skin::Placed& p) {
  EXPECT_EQ(control.Left(), p.box.x) << p.name;
  EXPECT_EQ(control.Top(), p.box.y) << p.name;
  EXPECT_EQ(control.Width(), p.box.w) << p.name;
  EXPECT_EQ(control.Height(), p.box.h) << p.name;
}
using vcl::script::Click;

// Types into a field as a user does: the old text goes, the new one comes,
// and Enter takes it (in a text field; elsewhere it would be OK's).
void TypeInto(ct::TCtEdit& field, const std::string& text, bool enter = true) {
  vcl::script::Focus(field);
  field.SetText("");
  vcl::script::TypeText(text);
  if (enter) vcl::script::PressKey(win::VK_RETURN);
}

// The fields the edit window writes, compared one by one.
void ExpectSameEdits(const SourceEntry& a, const SourceEntry& b) {
  EXPECT_EQ(a.trimEnabled, b.trimEnabled);
  EXPECT_EQ(a.trimStart, b.trimStart);
  EXPECT_EQ(a.trimEnd, b.trimEnd);
  EXPECT_EQ(a.cropEnabled, b.cropEnabled);
  EXPECT_EQ(std::memcmp(&a.cropRect, &b.cropRect, sizeof a.cropRect), 0);
  EXPECT_EQ(a.textWatermarkEnabled, b.textWatermarkEnabled);
  EXPECT_EQ(a.imageWatermarkEnabled, b.imageWatermarkEnabled);
  EXPECT_EQ(a.watermarkAlpha, b.watermarkAlpha);
  EXPECT_EQ(std::memcmp(a.watermarkText, b.watermarkText, sizeof a.watermarkText), 0);
  EXPECT_EQ(std::memcmp(a.watermarkImagePath, b.watermarkImagePath, sizeof a.watermarkImagePath), 0);
  EXPECT_EQ(std::memcmp(&a.watermarkRegion, &b.watermarkRegion, sizeof a.watermarkRegion), 0);
  EXPECT_EQ(a.effectCount, b.effectCount);
  EXPECT_EQ(std::memcmp(a.effects, b.effects, sizeof a.effects), 0);
}

// Adds the offered effect of that name.
void AddEffectNamed(TfrmEditVideo& w, const std::string& name) {
  const int item = w.lbEffects->Items()->IndexOf(name);
  ASSERT_GE(item, 0) << name;
  w.lbEffects->SetItemIndex(item);
  Click(*w.btnEffectAdd);
}

// A picture file of one colour.
std::string WritePicture(const std::string& path, int width, int height, uint32_t argb) {
  gdiplus::Bitmap picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) std::memcpy(picture.Scan0() + y * picture.Stride() + 4 * x, &argb, 4);
  EXPECT_EQ(picture.Save(path, gdiplus::FindEncoder("image/png")->id), gdiplus::Status::Ok);
  return path;
}

std::string Clip(int seconds = 5) {
  return qelo::test::CachedMedia("edit-clip-" + std::to_string(seconds) + ".mp4",
                                 {"-f", "lavfi", "-i",
                                  "testsrc2=size=320x240:rate=25:duration=" + std::to_string(seconds), "-f", "lavfi",
                                  "-i", "sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds),
                                  "-ac", "2", "-c:v", "libx264", "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "aac",
                                  "-shortest"});
}

TEST_F(EditWindowTest, EachPageIsShownAndTheControlsSitWhereTheSkinHasRoomForThem) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  TfrmEditVideo& w = OpenWindow(*job, epCrop);
  EXPECT_EQ(w.Width(), layout::kWidth);
  EXPECT_EQ(w.Height(), layout::kHeight);
  for (const skin::Placed& p : layout::kControls) {
    auto* control = dynamic_cast<vcl::TControl*>(w.FindComponent(p.name));
    ASSERT_NE(control, nullptr) << p.name;
    ExpectPlaced(*control, p);
  }
  for (const skin::Placed& p : layout::kPageControls) {
    auto* control = dynamic_cast<vcl::TControl*>(w.FindComponent(p.name));
    ASSERT_NE(control, nullptr) << p.name;
    ExpectPlaced(*control, p);
  }
  struct Page {
    TEditPage page;
    vcl::TControl* panel;
    const char* screenshot;
  } pages[] = {{epCrop, w.pnlCrop, "edit-window-crop.png"},
               {epEffect, w.pnlEffect, "edit-window-effect.png"},
               {epWatermark, w.pnlWatermark, "edit-window-watermark.png"},
               {epTrim, w.pnlTrim, "edit-window-trim.png"}};
  for (const Page& page : pages) {
    w.ShowPage(page.page);
    EXPECT_TRUE(page.panel->Visible());
    SaveScreenshot(page.screenshot);
  }
}

TEST_F(EditWindowTest, EveryPageOpensAsItsCommandAsks) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  for (TEditPage page : {epCrop, epEffect, epWatermark, epTrim}) {
    EXPECT_FALSE(Edit(*job, page, [&](TfrmEditVideo& w) {
      EXPECT_EQ(w.Page(), page);
      vcl::TControl* const panels[] = {w.pnlCrop, w.pnlEffect, w.pnlWatermark, w.pnlTrim};
      for (int i = 0; i < 4; ++i) EXPECT_EQ(panels[i]->Visible(), i == page) << i;
    }, false));
  }
  EXPECT_FALSE(EditJobEntry(*job, 1, epCrop)) << "no such entry: no window";
}

// A file with sound only: whichever command opened it, the window shows the
// Trim page alone, a note in the panes' place and no frame steps; its trim
// is written on OK.
TEST_F(EditWindowTest, AFileWithSoundOnlyOffersOnlyItsTrim) {
  const std::string song = qelo::test::CachedMedia(
      "edit-song-5.mp3", {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=5", "-c:a", "libmp3lame"});
  TWorkGroupClass* job = AddJob(song, "song.mpg");
  ASSERT_NE(job, nullptr);
  for (TEditPage page : {epCrop, epEffect, epWatermark, epTrim}) {
    const bool confirmed = Edit(*job, page, [&](TfrmEditVideo& w) {
      EXPECT_TRUE(w.SoundOnly());
      EXPECT_EQ(w.Page(), epTrim) << page;
      EXPECT_TRUE(w.pnlTrim->Showing()) << page;
      for (vcl::TControl* gone : std::initializer_list<vcl::TControl*>{
               w.pnlCrop, w.pnlEffect, w.pnlWatermark, w.btnPageCrop, w.btnPageEffect, w.btnPageWatermark,
               w.pnlPreview, w.LabOriginal, w.LabOutput, w.btnPrevFrame, w.btnNextFrame})
        EXPECT_FALSE(gone->Showing()) << gone->Name() << " on page " << page;
      for (vcl::TControl* kept : std::initializer_list<vcl::TControl*>{w.btnPageTrim, w.LabSoundOnly, w.tbTrim,
                                                                        w.btnPlay, w.btnTrimPlay})
        EXPECT_TRUE(kept->Showing()) << kept->Name() << " on page " << page;
      EXPECT_EQ(w.btnPageTrim->Left(), w.btnPageCrop->Left());
      EXPECT_NE(w.LabSoundOnly->Caption().find("edit-song-5.mp3 has sound only"), std::string::npos);
      // No command brings another page.
      w.ShowPage(epWatermark);
      EXPECT_EQ(w.Page(), epTrim);
      if (page != epTrim) return;
      SaveScreenshot("edit-window-sound-only.png");
      TypeInto(*w.edTrimStart, "1");
      TypeInto(*w.edTrimEnd, "4");
    });
    EXPECT_TRUE(confirmed) << page;
  }
  const SourceEntry& entry = *job->EntryAt(0);
  EXPECT_EQ(entry.trimStart, kSecond);
  EXPECT_EQ(entry.trimEnd, 4 * kSecond);
  EXPECT_EQ(job->GetTotalDuration(), 3 * kSecond);
}

TEST_F(EditWindowTest, CancelAndTheCloseButtonLeaveTheJobAsItWas) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  const SourceEntry before = *job->EntryAt(0);
  const auto changeEverything = [&](TfrmEditVideo& w) {
    TypeInto(*w.edCropWidth, "100");
    w.ShowPage(epEffect);
    AddEffectNamed(w, "Invert");
    w.ShowPage(epWatermark);
    w.cbWmKind->SetItemIndex(wcText);
    w.cbWmKindChange(w.cbWmKind);
    TypeInto(*w.edWmText, "mark", false);
    w.ShowPage(epTrim);
    TypeInto(*w.edTrimStart, "1");
    EXPECT_EQ(w.Edited().effectCount, 1);
    EXPECT_EQ(w.Edited().trimStart, kSecond);
    EXPECT_EQ(w.Edited().cropEnabled, 1);
  };
  EXPECT_FALSE(Edit(*job, epCrop, changeEverything, false));
  ExpectSameEdits(*job->EntryAt(0), before);
  EXPECT_FALSE(Edit(*job, epCrop, [&](TfrmEditVideo& w) {
    changeEverything(w);
    Click(*w.CloseButton());
  }));
  ExpectSameEdits(*job->EntryAt(0), before);
  EXPECT_EQ(job->GetTotalDuration(), 5 * kSecond);
}

// Enter in a text field takes what was typed and keeps the window open;
// elsewhere it is the OK button's.
TEST_F(EditWindowTest, EnterInATextFieldKeepsTheWindowOpen) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  const struct {
    const char* where;
    TEditPage page;
    std::function<vcl::TWinControl&(TfrmEditVideo&)> field;
    const char* typed;
    bool closes;
  } cases[] = {
      {"crop width", epCrop, [](TfrmEditVideo& w) -> vcl::TWinControl& { return *w.edCropWidth; }, "100", false},
      {"watermark text", epWatermark, [](TfrmEditVideo& w) -> vcl::TWinControl& { return *w.edWmText; }, "mark",
       false},
      {"trim start", epTrim, [](TfrmEditVideo& w) -> vcl::TWinControl& { return *w.edTrimStart; }, "1", false},
      {"the effects offered", epEffect, [](TfrmEditVideo& w) -> vcl::TWinControl& { return *w.lbEffects; }, "",
       true},
  };
  for (const auto& c : cases) {
    bool stayedOpen = false;
    const bool confirmed = Edit(*job, c.page, [&](TfrmEditVideo& w) {
      if (c.page == epWatermark) {
        w.cbWmKind->SetItemIndex(wcText);
        w.cbWmKindChange(w.cbWmKind);
      }
      vcl::script::Focus(c.field(w));
      vcl::script::TypeText(c.typed);
      vcl::script::PressKey(win::VK_RETURN);
      stayedOpen = w.ModalResult() == vcl::mrNone && w.Visible();
    });
    EXPECT_TRUE(confirmed) << c.where;
    EXPECT_EQ(stayedOpen, !c.closes) << c.where;
  }
  EXPECT_EQ(WatermarkText(*job->EntryAt(0)), "mark") << "the text typed before Enter is the watermark";
  EXPECT_EQ(job->EntryAt(0)->trimStart, kSecond);
}

TEST_F(EditWindowTest, OkWritesWhatWasSetAndTheJobsLengthFollowsTheTrim) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  EXPECT_TRUE(Edit(*job, epTrim, [&](TfrmEditVideo& w) {
    TypeInto(*w.edTrimStart, "1.0");
    TypeInto(*w.edTrimEnd, "0:03");
    EXPECT_EQ(w.edTrimStart->Text(), "00:00:01.000");
    EXPECT_EQ(w.tbTrim->StartPos(), 1000);
    EXPECT_EQ(w.tbTrim->EndPos(), 3000);
    EXPECT_EQ(w.LabOutputLength->Caption(), "Output length 00:00:02.000");
  }));
  const SourceEntry& entry = *job->EntryAt(0);
  EXPECT_EQ(entry.trimEnabled, 1);
  EXPECT_EQ(entry.trimStart, 1 * kSecond);
  EXPECT_EQ(entry.trimEnd, 3 * kSecond);
  EXPECT_EQ(job->GetTotalDuration(), 2 * kSecond);
  // The window opens again on what the job holds.
  EXPECT_TRUE(Edit(*job, epTrim, [&](TfrmEditVideo& w) {
    EXPECT_EQ(w.edTrimEnd->Text(), "00:00:03.000");
    Click(*w.btnTrimReset);
  }));
  EXPECT_EQ(job->EntryAt(0)->trimEnabled, 0);
  EXPECT_EQ(job->GetTotalDuration(), 5 * kSecond);
}

TEST_F(EditWindowTest, TrimTimesOutsideTheSourceOrOutOfOrderAreKeptSound) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  EXPECT_TRUE(Edit(*job, epTrim, [&](TfrmEditVideo& w) {
    TypeInto(*w.edTrimEnd, "9:00");
    EXPECT_EQ(w.edTrimEnd->Text(), "00:00:05.000") << "not past the source's length";
    TypeInto(*w.edTrimStart, "4.5");
    TypeInto(*w.edTrimEnd, "2");
    EXPECT_EQ(w.edTrimEnd->Text(), "00:00:04.600") << "the end stays after the start";
    TypeInto(*w.edTrimStart, "abc");
    EXPECT_EQ(w.edTrimStart->Text(), "00:00:04.500") << "what is not a time is not taken";
    // The markers dragged over each other stop before they meet.
    w.tbTrim->SetStartPos(4800);
    EXPECT_EQ(w.Edited().trimStart, 45000000);
  }));
  const SourceEntry& entry = *job->EntryAt(0);
  EXPECT_LT(entry.trimStart, entry.trimEnd);
  EXPECT_LE(entry.trimEnd, entry.sourceDuration);
}

TEST_F(EditWindowTest, TypedCropsOutsideThePictureOrOfNoSizeAreKeptInside) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  EXPECT_TRUE(Edit(*job, epCrop, [&](TfrmEditVideo& w) {
    TypeInto(*w.edCropWidth, "100");
    TypeInto(*w.edCropLeft, "300");
    EXPECT_EQ(w.edCropLeft->Text(), "300") << "a typed corner stays";
    EXPECT_EQ(w.edCropWidth->Text(), "20") << "the crop shrinks to fit";
    TypeInto(*w.edCropWidth, "100");
    EXPECT_EQ(w.edCropWidth->Text(), "100") << "a typed size stays";
    EXPECT_EQ(w.edCropLeft->Text(), "220") << "the crop moves back inside the picture";
    TypeInto(*w.edCropLeft, "400");
    EXPECT_EQ(w.edCropLeft->Text(), "314") << "the corner stays inside the picture";
    TypeInto(*w.edCropHeight, "0");
    EXPECT_EQ(w.edCropHeight->Text(), "5") << "the smallest crop is 2% of the picture";
    TypeInto(*w.edCropTop, "-40");
    EXPECT_EQ(w.edCropTop->Text(), "0");
    TypeInto(*w.edCropTop, "x");
    EXPECT_EQ(w.edCropTop->Text(), "0");
    RelativeRect shown{};
    QeloGetCrop(&shown, w.PlayerIndex());
    EXPECT_NEAR(shown.left, 314.0 / 320, 0.5 / 320) << "the preview shows the crop";
  }));
  const RelativeRect& crop = job->EntryAt(0)->cropRect;
  EXPECT_EQ(job->EntryAt(0)->cropEnabled, 1);
  EXPECT_GE(crop.left, 0);
  EXPECT_LE(crop.left + crop.width, 1.0 + 1e-12);
  EXPECT_GE(crop.height, kMinCropFraction);
  // Reset brings the whole picture back, and the crop is off.
  EXPECT_TRUE(Edit(*job, epCrop, [&](TfrmEditVideo& w) { Click(*w.btnCropReset); }));
  EXPECT_EQ(job->EntryAt(0)->cropEnabled, 0);
}

TEST_F(EditWindowTest, AShapeKeepsTheCropInItsAspect) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg", 640, 360);
  ASSERT_NE(job, nullptr);
  EXPECT_TRUE(Edit(*job, epCrop, [&](TfrmEditVideo& w) {
    ASSERT_EQ(w.cbAspect->Items()->Count(), 5);
    EXPECT_EQ(w.cbAspect->Items()->Get(caOutput), "Output (640 x 360)");
    w.cbAspect->SetItemIndex(caOutput);
    w.cbAspectChange(w.cbAspect);
    EXPECT_EQ(w.edCropWidth->Text(), "320");
    EXPECT_EQ(w.edCropHeight->Text(), "180") << "16:9 of the 320 x 240 picture";
    w.cbAspect->SetItemIndex(caFourThree);
    w.cbAspectChange(w.cbAspect);
    EXPECT_EQ(w.edCropHeight->Text(), "180");
    EXPECT_EQ(w.edCropWidth->Text(), "240");
  }));
  const RelativeRect& crop = job->EntryAt(0)->cropRect;
  EXPECT_NEAR(crop.width * 320 / (crop.height * 240), 4.0 / 3.0, 1e-6);
}

TEST_F(EditWindowTest, ANinthEffectIsRefusedWithAMessage) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  EXPECT_TRUE(Edit(*job, epEffect, [&](TfrmEditVideo& w) {
    for (int i = 0; i < MAX_SOURCE_EFFECTS; ++i) AddEffectNamed(w, i % 2 ? "Gray" : "Brightness");
    EXPECT_EQ(w.LabChosen->Caption(), "Applied, in order (8 of 8)");
    script->Answer(vcl::mrOk);
    AddEffectNamed(w, "Invert");
    EXPECT_EQ(w.lbChosen->Items()->Count(), MAX_SOURCE_EFFECTS);
    // Order kept, one moved up, one removed: Gray, Brightness, Brightness,
    // Gray, ... less the first.
    w.lbChosen->SetItemIndex(1);
    Click(*w.btnEffectUp);
    EXPECT_EQ(w.lbChosen->ItemIndex(), 0);
    Click(*w.btnEffectRemove);
  }));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1], "Information: A file takes at most 8 effects. Remove one before you add another.");
  const SourceEntry& entry = *job->EntryAt(0);
  ASSERT_EQ(entry.effectCount, MAX_SOURCE_EFFECTS - 1);
  EXPECT_EQ(entry.effects[0].effectId, EFFECT_BRIGHTNESS);
  EXPECT_EQ(entry.effects[0].param1, 50) << "a new effect starts at its defaults";
  EXPECT_EQ(entry.effects[1].effectId, EFFECT_BRIGHTNESS);
  EXPECT_EQ(entry.effects[2].effectId, EFFECT_GRAY);
}

TEST_F(EditWindowTest, TheOutputPaneShowsTheEffectsLive) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  TfrmEditVideo& w = OpenWindow(*job, epEffect);
  ASSERT_TRUE(ShowFrame(2 * kSecond));
  // The original at (x, y) and the output at the same place of its pane.
  const int x = 120, y = 150, second = layout::kSecondPaneX - layout::kPreview.x;
  ASSERT_TRUE(PreviewPixelBecomes(second + x, y, [&](uint32_t c) { return ColourDistance(c, PreviewPixel(x, y)) <= 8; }));
  const uint32_t original = PreviewPixel(x, y);
  AddEffectNamed(w, "Invert");
  EXPECT_TRUE(PreviewPixelBecomes(second + x, y, [&](uint32_t c) { return ColourDistance(c, original ^ 0xFFFFFF) <= 8; }));
  EXPECT_LE(ColourDistance(PreviewPixel(x, y), original), 8) << "the original stays as it is";
  SaveScreenshot("edit-window-effect-live.png");
  Click(*w.btnEffectRemove);
  EXPECT_TRUE(PreviewPixelBecomes(second + x, y, [&](uint32_t c) { return ColourDistance(c, original) <= 8; }));
}

TEST_F(EditWindowTest, APictureThatCannotBeReadIsRefusedAndTheJobKeepsItsWatermark) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  std::ofstream(dir.File("broken.png")) << "not a picture";
  EXPECT_TRUE(Edit(*job, epWatermark, [&](TfrmEditVideo& w) {
    w.cbWmKind->SetItemIndex(wcText);
    w.cbWmKindChange(w.cbWmKind);
    TypeInto(*w.edWmText, "mine", false);
    vcl::script::AnswerOpenDialog(*script, {dir.File("broken.png")});
    script->Answer(vcl::mrOk);
    w.cbWmKind->SetItemIndex(wcPicture);
    w.cbWmKindChange(w.cbWmKind);
    EXPECT_EQ(w.cbWmKind->ItemIndex(), wcText) << "the watermark stays a text";
    EXPECT_TRUE(w.edWmText->Visible());
  }));
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[2], "Information: The picture cannot be read:\n" + dir.File("broken.png"));
  const SourceEntry& entry = *job->EntryAt(0);
  EXPECT_EQ(WatermarkChoiceOf(entry), wcText);
  EXPECT_EQ(WatermarkText(entry), "mine");
  EXPECT_EQ(WatermarkImagePath(entry), "");
}

TEST_F(EditWindowTest, APictureGoneSinceItWasChosenStopsOkWithAMessage) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  const std::string logo = WritePicture(dir.File("logo.png"), 40, 20, 0xFFFF0000);
  SourceEntry& entry = *job->EntryAt(0);
  SetWatermarkChoice(entry, wcPicture);
  ASSERT_TRUE(SetWatermarkImagePath(entry, logo));
  entry.watermarkAlpha = 255;
  entry.watermarkRegion = {0.1, 0.1, 0.25, 0.2};
  const SourceEntry before = entry;
  EXPECT_FALSE(Edit(*job, epCrop, [&](TfrmEditVideo& w) {
    EXPECT_EQ(w.edWmPicture->Text(), logo);
    std::filesystem::remove(logo);
    TypeInto(*w.edCropWidth, "100");
    script->Answer(vcl::mrOk);
    Click(*w.btnOK);
    EXPECT_EQ(w.ModalResult(), vcl::mrNone) << "the window stays open";
    EXPECT_EQ(w.Page(), epWatermark) << "where the picture is chosen";
  }, false));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1], "Information: The watermark picture cannot be read:\n" + logo);
  ExpectSameEdits(*job->EntryAt(0), before);
}

TEST_F(EditWindowTest, FrameStepsShowTheEffectsOnTheOutputPaneOnly) {
  TWorkGroupClass* job = AddJob(Clip(), "out.mpg");
  ASSERT_NE(job, nullptr);
  TfrmEditVideo& w = OpenWindow(*job, epEffect);
  AddEffectNamed(w, "Invert");
  const int x = 120, y = 150, second = layout::kSecondPaneX - layout::kPreview.x;
  for (ct::TCtButton* step : {w.btnNextFrame, w.btnNextFrame, w.btnPrevFrame}) {
    const int shown = w.FramesShown();
    Click(*step);
    ASSERT_TRUE(WaitForRefresh(shown));
    EXPECT_TRUE(PreviewPixelBecomes(second + x, y, [&](uint32_t c) {
      return ColourDistance(c, PreviewPixel(x, y) ^ 0xFFFFFF) <= 8;
    })) << "the output pane is the inverted original";
  }
  EXPECT_EQ(w.PreviewPosition(), kSecond / 25);
}

// "Play from Start" plays the trimmed part, from the trim's start however it
// was set, and stops at its end. The clip's only key frame is its first, so
// the preview decodes from 0 up to the start before it shows anything.
TEST_F(EditWindowTest, PlayFromStartPlaysFromTheTrimStartToItsEnd) {
  const std::string clip = qelo::test::CachedMedia(
      "edit-clip-one-key-frame.mp4",
      {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=5", "-f", "lavfi", "-i",
       "sine=frequency=440:sample_rate=44100:duration=5", "-ac", "2", "-c:v", "libx264", "-g", "250", "-pix_fmt",
       "yuv420p", "-c:a", "aac", "-shortest"});
  TWorkGroupClass* job = AddJob(clip, "out.mpg");
  ASSERT_NE(job, nullptr);
  constexpr int64_t kFrame = kSecond / 25;
  const struct {
    const char* how;
    std::function<void(TfrmEditVideo&)> setStart;
  } cases[] = {
      {"typed with Enter", [](TfrmEditVideo& w) { TypeInto(*w.edTrimStart, "2.0"); }},
      {"typed, then the button pressed", [](TfrmEditVideo& w) { TypeInto(*w.edTrimStart, "2.0", false); }},
      {"the start marker moved", [](TfrmEditVideo& w) { w.tbTrim->SetStartPos(2000); }},
      {"Start Here at the shown frame",
       [this](TfrmEditVideo& w) {
         ASSERT_TRUE(ShowFrame(2 * kSecond));
         Click(*w.btnTrimSetStart);
       }},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(Edit(
        *job, epTrim,
        [&](TfrmEditVideo& w) {
          TypeInto(*w.edTrimEnd, "3.0");
          c.setStart(w);
          // Every frame shown from the click to the stop, in order.
          std::vector<int64_t> shown;
          int count = w.FramesShown();
          Click(*w.btnTrimPlay);
          EXPECT_EQ(w.Edited().trimStart, 2 * kSecond) << c.how;
          ASSERT_TRUE(PumpUntil([&] {
            if (w.FramesShown() != count) shown.push_back(w.PreviewPosition());
            count = w.FramesShown();
            return !w.Playing();
          })) << c.how << ": it stops";
          ASSERT_FALSE(shown.empty()) << c.how << ": frames shown " << w.FramesShown() << ", at " << w.PreviewPosition();
          EXPECT_GE(shown.front(), 2 * kSecond - kFrame) << c.how << ": the first frame played";
          EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end())) << c.how << ": frames go forward only";
          EXPECT_GE(shown.back(), 3 * kSecond - kFrame) << c.how << ": it stops at the trim's end";
          EXPECT_LE(shown.back(), 3 * kSecond + kSecond / 2) << c.how;
        },
        false));
  }
}

}  // namespace
}  // namespace qelo::app::test
