#include "qelo_track_bar.h"

#include <string>
#include <vector>

#include "controls_fixture.h"

namespace qelo::controls::test {
namespace {

using vcl::TRect;

// A bar on the form with pictures of the sizes a case asks for.
class TrackBarTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    bar = new TQeloTrackBar(form);
    bar->SetParent(form);
    bar->SetBounds(20, 20, 359, 24);
    bar->OnTrackChange = [this](vcl::TObject*, int64_t v) { events.push_back("track " + std::to_string(v)); };
    bar->OnSetStartChange = [this](vcl::TObject*, int64_t v) { events.push_back("start " + std::to_string(v)); };
    bar->OnSetEndChange = [this](vcl::TObject*, int64_t v) { events.push_back("end " + std::to_string(v)); };
    Pump();
  }
  static void Give(vcl::TPicture* picture, int w, int h, unsigned rgb = 0x808080) {
    vcl::TPngImage png;
    FillPng(png, w, h, rgb);
    picture->SetGraphic(&png);
  }
  // The pictures of the main window's seek bar, in telling colours.
  void GiveAllPictures() {
    Give(bar->BitmapBG(), 1, 24, 0xFFFFFF);
    Give(bar->BitmapClipBG(), 1, 4, 0xC0C0C0);
    Give(bar->BitmapClip(), 1, 4, 0x0000FF);
    Give(bar->BitmapStart(), 7, 20, 0x00A000);
    Give(bar->BitmapEnd(), 7, 20, 0xA000A0);
    Give(bar->BitmapTrack(), 14, 14, 0xFF0000);
    bar->SetSpaceBG(10);
    bar->SetClipSpace(10);
    bar->SetClipHeight(4);
    bar->SetSpaceTrack(5);
    bar->SetSpaceStart(2);
  }
  TQeloTrackBar* bar = nullptr;
  std::vector<std::string> events;
};

struct PartCase {
  const char* name;
  int width;
  int64_t max, position, startPos, endPos;
  int startWidth;  // 0: no start picture
  bool cutVisible;
  TRect track, start, end, clip;
};

TEST_F(TrackBarTest, PartRectanglesFollowTheValuesWithHalfEvenRounding) {
  const PartCase cases[] = {
      // m = 5 (half the 10-pixel thumb): 5 + Round(349 x 0.5) - 5 = 174 (174.5 to the even 174).
      {"no start picture", 359, 100, 50, 0, 100, 0, true, {174, 0, 184, 10}, {0, 2, 0, 2}, {354, 2, 361, 22}, {5, 10, 354, 14}},
      // m = 7, the start marker's width: u = 345; f(25) = Round(86.25) = 86,
      // f(10) = Round(34.5) = 34 and f(90) = Round(310.5) = 310.
      {"start picture sets the margin", 359, 100, 25, 10, 90, 7, true, {88, 0, 98, 10}, {34, 2, 41, 22}, {317, 2, 324, 22}, {41, 10, 317, 14}},
      // Hidden markers: the margin is half the thumb and the fill runs to the thumb.
      {"markers hidden", 359, 100, 25, 10, 90, 7, false, {87, 0, 97, 10}, {35, 2, 42, 22}, {319, 2, 326, 22}, {5, 10, 92, 14}},
      // Max 0: every value sits at the margin, nothing is divided by zero.
      {"max zero", 359, 0, 0, 0, 0, 7, true, {2, 0, 12, 10}, {0, 2, 7, 22}, {7, 2, 14, 22}, {7, 10, 7, 14}},
  };
  for (const PartCase& c : cases) {
    SCOPED_TRACE(c.name);
    bar->SetWidth(c.width);
    bar->SetMax(c.max);
    bar->SetEndPos(c.max);
    bar->SetStartPos(c.startPos);
    bar->SetEndPos(c.endPos);
    bar->SetPosition(c.position);
    bar->SetCutVisible(c.cutVisible);
    bar->SetSpaceStart(2);
    bar->SetClipSpace(10);
    bar->SetClipHeight(4);
    Give(bar->BitmapTrack(), 10, 10);
    Give(bar->BitmapEnd(), 7, 20);
    if (c.startWidth) Give(bar->BitmapStart(), c.startWidth, 20);
    else bar->BitmapStart()->SetGraphic(nullptr);
    const auto same = [](const TRect& a, const TRect& b) {
      return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    const TRect track = bar->GetPartRect(bar->BitmapTrack());
    const TRect start = bar->GetPartRect(bar->BitmapStart());
    const TRect end = bar->GetPartRect(bar->BitmapEnd());
    const TRect clip = bar->GetPartRect(bar->BitmapClip());
    EXPECT_TRUE(same(track, c.track)) << track.left << "," << track.top << "," << track.right << "," << track.bottom;
    EXPECT_TRUE(same(start, c.start)) << start.left << "," << start.top << "," << start.right << "," << start.bottom;
    EXPECT_TRUE(same(end, c.end)) << end.left << "," << end.top << "," << end.right << "," << end.bottom;
    EXPECT_TRUE(same(clip, c.clip)) << clip.left << "," << clip.top << "," << clip.right << "," << clip.bottom;
  }
  const TRect bg = bar->GetPartRect(bar->BitmapBG());
  EXPECT_EQ(bg.right, 359);
  vcl::TPicture stranger;
  EXPECT_EQ(bar->GetPartRect(&stranger).right, 0);
}

TEST_F(TrackBarTest, ValuesAreClampedAndOnlyChangesAreReported) {
  bar->SetPosition(-5);  // 0 already: no change
  bar->SetPosition(50);
  bar->SetPosition(50);
  bar->SetPosition(1001);
  EXPECT_EQ(bar->Position(), 1000);
  bar->SetStartPos(200);  // above EndPos 100
  EXPECT_EQ(bar->StartPos(), 100);
  bar->SetEndPos(40);  // below StartPos
  EXPECT_EQ(bar->EndPos(), 100);
  bar->SetStartPos(-3);
  bar->SetEndPos(5000);
  EXPECT_EQ(bar->EndPos(), 1000);
  EXPECT_EQ(events, (std::vector<std::string>{"track 50", "track 1000", "start 100", "start 0", "end 1000"}));

  bar->SetMax(500);  // clamps nothing until the next set
  EXPECT_EQ(bar->Position(), 1000);
  EXPECT_EQ(bar->EndPos(), 1000);
  bar->SetPosition(700);
  EXPECT_EQ(bar->Position(), 500);
  // A position far above a lowered Max keeps the thumb's rectangle sane.
  bar->SetMax(1000000000000000);
  bar->SetPosition(1000000000000000);
  bar->SetMax(1);
  EXPECT_LT(bar->GetPartRect(bar->BitmapTrack()).left, 1 << 29);
}

TEST_F(TrackBarTest, DraggingTheThumbMovesThePosition) {
  GiveAllPictures();
  bar->SetMax(345);  // as wide as the track: one pixel a value
  bar->SetEndPos(345);
  bar->SetPosition(100);  // thumb at 7 + 100 - 7 = 100
  events.clear();
  Press(*bar, 105, 12);
  EXPECT_EQ(bar->DragPart(), TQeloTrackBar::dpTrack);
  MoveTo(*bar, 157, 12);
  MoveTo(*bar, 400, 12);  // far beyond the end: Max
  Release(*bar, 400, 12);
  EXPECT_EQ(bar->DragPart(), TQeloTrackBar::dpNone);
  MoveTo(*bar, 50, 12);  // after the release nothing follows the mouse
  EXPECT_EQ(events, (std::vector<std::string>{"track 150", "track 345"}));
  EXPECT_EQ(bar->Position(), 345);
}

TEST_F(TrackBarTest, DraggingAMarkerMovesTheThumbWithItInItsOwnOrder) {
  GiveAllPictures();
  bar->SetMax(345);
  bar->SetEndPos(300);
  bar->SetStartPos(100);
  bar->SetPosition(200);
  events.clear();
  // The start marker ends at the start point: it spans 100 .. 107.
  Press(*bar, 103, 15);
  EXPECT_EQ(bar->DragPart(), TQeloTrackBar::dpStart);
  MoveTo(*bar, 57, 15);
  Release(*bar, 57, 15);
  EXPECT_EQ(events, (std::vector<std::string>{"start 50", "track 50"}));

  events.clear();
  // The end marker begins at the end point: 7 + 300 = 307.
  Press(*bar, 310, 15);
  EXPECT_EQ(bar->DragPart(), TQeloTrackBar::dpEnd);
  MoveTo(*bar, 257, 15);
  Release(*bar, 257, 15);
  EXPECT_EQ(events, (std::vector<std::string>{"track 250", "end 250"}));
}

TEST_F(TrackBarTest, AClickOnTheBackgroundJumpsAndAFollowingDragDoesNotMove) {
  GiveAllPictures();
  bar->SetMax(345);
  bar->SetEndPos(345);
  events.clear();
  Press(*bar, 207, 22);  // below the thumb and the markers, on the background
  EXPECT_EQ(bar->DragPart(), TQeloTrackBar::dpBackground);
  EXPECT_EQ(bar->Position(), 200);
  MoveTo(*bar, 300, 22);
  Release(*bar, 300, 22);
  EXPECT_EQ(events, (std::vector<std::string>{"track 200"}));
}

TEST_F(TrackBarTest, ABarWithNoRangeNeverDividesByZero) {
  GiveAllPictures();
  bar->SetMax(0);
  Press(*bar, 100, 22);
  MoveTo(*bar, 150, 12);
  Release(*bar, 150, 12);
  EXPECT_EQ(bar->Position(), 0);

  bar->SetMax(1000);
  bar->SetWidth(14);  // no wider than its two margins of 7
  EXPECT_EQ(bar->ValueAt(10), 0);
  Press(*bar, 10, 22);
  MoveTo(*bar, 12, 12);
  Release(*bar, 12, 12);
  EXPECT_EQ(bar->Position(), 0);
  bar->SetWidth(10);
  bar->Repaint();
  Pump();
  EXPECT_TRUE(events.empty());
}

TEST_F(TrackBarTest, PaintingDrawsEveryPictureInItsPlaceInOrder) {
  GiveAllPictures();
  bar->SetMax(345);
  bar->SetStartPos(0);
  bar->SetEndPos(200);
  bar->SetStartPos(50);
  bar->SetPosition(300);
  bar->Repaint();
  Pump();
  const int x0 = bar->Left(), y0 = bar->Top();
  EXPECT_EQ(FormPixel(x0 + 300, y0 + 12), 0xFF0000u);   // thumb, drawn last, over the groove
  EXPECT_EQ(FormPixel(x0 + 120, y0 + 11), 0x0000FFu);   // the fill between the markers
  EXPECT_EQ(FormPixel(x0 + 250, y0 + 11), 0xC0C0C0u);   // the groove past the end marker
  EXPECT_EQ(FormPixel(x0 + 53, y0 + 4), 0x00A000u);     // start marker: 50 .. 57
  EXPECT_EQ(FormPixel(x0 + 210, y0 + 4), 0xA000A0u);    // end marker: 207 .. 214
  EXPECT_EQ(FormPixel(x0 + 120, y0 + 22), 0xFFFFFFu);   // background strip
  bar->SetCutVisible(false);
  bar->Repaint();
  Pump();
  EXPECT_EQ(FormPixel(x0 + 53, y0 + 4), 0xFFFFFFu);     // markers gone
  EXPECT_EQ(FormPixel(x0 + 250, y0 + 11), 0x0000FFu);   // the fill runs to the thumb
}

TEST_F(TrackBarTest, FormFilesCreateItByClassName) {
  auto* made = vcl::FindClass("TQeloTrackBar");
  ASSERT_NE(made, nullptr);
  vcl::TComponent* c = made->Create(form);
  auto* loaded = dynamic_cast<TQeloTrackBar*>(c);
  ASSERT_NE(loaded, nullptr);
  vcl::SetOrdProp(*loaded, "Max", 95000);
  vcl::SetOrdProp(*loaded, "Position", 12345);
  vcl::SetOrdProp(*loaded, "CutVisible", 0);
  EXPECT_EQ(loaded->Position(), 12345);
  EXPECT_FALSE(loaded->CutVisible());
  EXPECT_EQ(vcl::GetOrdProp(*loaded, "SpaceBG"), 10);
  EXPECT_EQ(vcl::GetOrdProp(*loaded, "ClipHeight"), 8);
  EXPECT_EQ(vcl::GetOrdProp(*loaded, "EndPos"), 100);
  EXPECT_TRUE(vcl::IsPublishedProp(*loaded, "BitmapClipBG"));
  EXPECT_TRUE(vcl::IsPublishedProp(*loaded, "OnSetEndChange"));
}

}  // namespace
}  // namespace qelo::controls::test
