// The progress bar: the LED geometry, the percent and parts input, the
// text, and what each style paints.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "ct_prgres.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"
#include "vcl/window_pixel.h"

namespace qelo::ct {
namespace {

namespace script = vcl::script;
using vcl::TColor;

// ---- geometry ------------------------------------------------------------------------

TEST(LedLayout, SegmentsMarginsAndCountsByLength) {
  struct Case {
    int length;
    int segments;
    TLedLayout expected;
  } cases[] = {
      {60, 20, {6, 10, 0}},    // short bars get ten segments at most
      {200, 20, {10, 20, 0}},
      {205, 20, {10, 20, 2}},  // the leftover is split at both ends
      {100, 30, {3, 33, 0}},   // the count grows into the leftover
      {15, 20, {1, 15, 0}},
      {8, 20, {1, 8, 0}},      // a bar under ten pixels: one-pixel segments, no division by zero
      {5, 8, {1, 5, 0}},
      {50, 0, {50, 1, 0}},     // no segments asked for: one
      {0, 20, {0, 0, 0}},
      {-3, 20, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    const TLedLayout got = LayoutLedSegments(c.length, static_cast<TSegmentRange>(c.segments));
    EXPECT_EQ(got.Size, c.expected.Size) << c.length << " / " << c.segments;
    EXPECT_EQ(got.Count, c.expected.Count) << c.length << " / " << c.segments;
    EXPECT_EQ(got.Margin, c.expected.Margin) << c.length << " / " << c.segments;
  }
}

TEST(LedLayout, SegmentsAlwaysFitInsideTheBar) {
  for (int length = 1; length <= 300; ++length)
    for (int segments = 0; segments <= 255; segments += 3) {
      const TLedLayout l = LayoutLedSegments(length, static_cast<TSegmentRange>(segments));
      ASSERT_GE(l.Size, 1) << length << " / " << segments;
      ASSERT_GE(l.Count, 1) << length << " / " << segments;
      ASSERT_GE(l.Margin, 0) << length << " / " << segments;
      ASSERT_LE(2 * l.Margin + l.Size * l.Count, length) << length << " / " << segments;
    }
}

TEST(LedLayout, LitSegmentsNeverExceedTheCount) {
  EXPECT_EQ(LitLedSegments(0, 10), 0);
  EXPECT_EQ(LitLedSegments(55, 10), 5);  // truncated
  EXPECT_EQ(LitLedSegments(100, 33), 33);
  EXPECT_EQ(LitLedSegments(250, 10), 10);
  EXPECT_EQ(LitLedSegments(65535, 7), 7);
}

TEST(ProgressFill, RoundsHalvesToEvenAndFillsEverythingFromHundred) {
  EXPECT_EQ(ProgressFillLength(25, 6), 2);   // 1.5
  EXPECT_EQ(ProgressFillLength(75, 6), 4);   // 4.5
  EXPECT_EQ(ProgressFillLength(50, 101), 50);  // 50.5
  EXPECT_EQ(ProgressFillLength(33, 100), 33);
  EXPECT_EQ(ProgressFillLength(100, 37), 37);
  EXPECT_EQ(ProgressFillLength(250, 37), 37);
  EXPECT_EQ(ProgressFillLength(50, 0), 0);
  EXPECT_EQ(ProgressFillLength(50, -4), 0);
}

// ---- value and text ----------------------------------------------------------------------

class ProgressBar : public vcl::test::FormTest {
 protected:
  TCtProgressBar* Place(int left, int top, int width, int height) {
    auto* bar = new TCtProgressBar(form);
    bar->SetParent(form);
    bar->SetBounds(left, top, width, height);
    return bar;
  }
  // A plain bar without border: its interior is the whole control.
  TCtProgressBar* PlacePlain(int left, int top, int width, int height) {
    TCtProgressBar* bar = Place(left, top, width, height);
    bar->SetBorderOuter(fsNone);
    bar->SetBarColor(vcl::clRed);
    bar->SetBackColor(vcl::clWhite);
    return bar;
  }
  TColor Pixel(vcl::TControl& control, int x, int y) {
    script::Pump();
    return qelo::test::WindowPixel(form->Handle(), control.Left() + x, control.Top() + y);
  }
  // Pixels of one colour along a row of the control.
  int CountInRow(vcl::TControl& control, int y, TColor color) {
    int n = 0;
    for (int x = 0; x < control.Width(); ++x) n += Pixel(control, x, y) == vcl::ColorToRGB(color);
    return n;
  }
  static TColor Rgb(TColor color) { return vcl::ColorToRGB(color); }
};

TEST_F(ProgressBar, DefaultsOfANewBar) {
  TCtProgressBar* bar = Place(0, 0, 200, 24);
  EXPECT_EQ(bar->BarStyle(), bsTraditional);
  EXPECT_EQ(bar->BorderOuter(), fsLowered);
  EXPECT_EQ(bar->BarColorStop(), vcl::clHotLight);
  EXPECT_EQ(bar->NumSegments(), 20);
  EXPECT_EQ(bar->GradientDirection(), gdHorizontalCenter);
  EXPECT_TRUE(bar->ShowPercent());
  EXPECT_TRUE(bar->ControlStyle().Contains(vcl::csOpaque));
  TCtProgressBar fresh(nullptr);
  EXPECT_EQ(fresh.Width(), 200);
  EXPECT_EQ(fresh.Height(), 24);
}

TEST_F(ProgressBar, PercentIsKeptAsGivenAndShownWithItsSign) {
  TCtProgressBar* bar = Place(0, 0, 200, 24);
  bar->SetPercent(42);
  EXPECT_EQ(bar->BarText(), "42%");
  bar->SetPercent(250);
  EXPECT_EQ(bar->Percent(), 250);
  EXPECT_EQ(bar->BarText(), "250%");
  bar->SetShowPercent(false);
  EXPECT_EQ(bar->BarText(), "");
}

TEST_F(ProgressBar, PartsAreClippedToTheTotalAndSetThePercent) {
  TCtProgressBar* bar = Place(0, 0, 200, 24);
  bar->SetShowParts(true);
  bar->SetPercent(40);
  bar->SetPartsComplete(5);  // no total yet: clipped to 0, the percent stays
  EXPECT_EQ(bar->PartsComplete(), 0u);
  EXPECT_EQ(bar->Percent(), 40);

  bar->SetTotalParts(3);  // a new total starts again
  EXPECT_EQ(bar->Percent(), 0);
  bar->SetPartsComplete(7);
  EXPECT_EQ(bar->PartsComplete(), 3u);
  EXPECT_EQ(bar->Percent(), 100);
  EXPECT_EQ(bar->BarText(), "3 / 3");
  bar->SetShowParts(false);
  EXPECT_EQ(bar->BarText(), "100%");

  bar->SetTotalParts(8);
  EXPECT_EQ(bar->PartsComplete(), 0u);
  EXPECT_EQ(bar->Percent(), 0);
  bar->SetPartsComplete(1);  // 12.5 rounds to the even 12
  EXPECT_EQ(bar->Percent(), 12);
  bar->SetPartsComplete(3);  // 37.5 rounds to 38
  EXPECT_EQ(bar->Percent(), 38);
}

TEST_F(ProgressBar, OnChangeFiresOncePerActualChange) {
  TCtProgressBar* bar = Place(0, 0, 200, 24);
  std::vector<int> seen;
  bar->OnChange = [&](vcl::TObject* sender, int percent) {
    EXPECT_EQ(sender, bar);
    seen.push_back(percent);
  };
  bar->SetPercent(10);
  bar->SetPercent(10);
  bar->SetTotalParts(4);      // resets to 0
  bar->SetPartsComplete(2);   // 50
  bar->SetPartsComplete(2);
  bar->SetPartsComplete(9);   // clipped to 4: 100
  bar->SetTotalParts(4);
  EXPECT_EQ(seen, (std::vector<int>{10, 0, 50, 100}));
}

TEST_F(ProgressBar, TheLedStyleHidesTheTextAndKeepsAOnePixelRing) {
  TCtProgressBar* bar = Place(0, 0, 200, 24);
  bar->SetBarStyle(bsLED);
  EXPECT_FALSE(bar->ShowPercent());
  EXPECT_EQ(bar->InteriorOffset(), 1);
  bar->SetBarStyle(bsTraditional);
  EXPECT_TRUE(bar->ShowPercent());
  EXPECT_EQ(bar->InteriorOffset(), 0);
  bar->SetBarStyle(bsGradient);
  EXPECT_TRUE(bar->ShowPercent());
}

TEST_F(ProgressBar, ATallShapeTurnsTheBarVertical) {
  TCtProgressBar* bar = Place(0, 0, 200, 24);
  EXPECT_EQ(bar->Orientation(), orHorizontal);
  bar->SetBounds(0, 0, 20, 120);
  EXPECT_EQ(bar->Orientation(), orVertical);
  bar->SetWidth(120);  // a square is horizontal
  EXPECT_EQ(bar->Orientation(), orHorizontal);
}

// ---- painting -----------------------------------------------------------------------------

TEST_F(ProgressBar, TraditionalBarFillsFromTheLeftWithTheTextInvertedOverIt) {
  TCtProgressBar* bar = PlacePlain(10, 10, 100, 20);
  bar->SetPercent(50);
  EXPECT_EQ(Pixel(*bar, 2, 2), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*bar, 49, 2), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*bar, 50, 2), Rgb(vcl::clWhite));
  EXPECT_EQ(Pixel(*bar, 97, 2), Rgb(vcl::clWhite));
  // "50%" is centred on x = 50: the part over the bar is drawn in the back
  // colour, the part over the background in the bar colour (smoothed text:
  // counted as pixels off the ground they stand on).
  int textOverBar = 0, textOverBack = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 30; x < 70; ++x) {
      const TColor c = Pixel(*bar, x, y);
      if (x < 50 && c != Rgb(vcl::clRed)) ++textOverBar;
      if (x >= 50 && c != Rgb(vcl::clWhite)) ++textOverBack;
    }
  EXPECT_GT(textOverBar, 5);
  EXPECT_GT(textOverBack, 5);
  bar->SetShowPercent(false);
  EXPECT_EQ(CountInRow(*bar, 10, vcl::clRed), 50);
  EXPECT_EQ(CountInRow(*bar, 10, vcl::clWhite), 50);
}

TEST_F(ProgressBar, APercentOverHundredFillsTheWholeBarAndNoMore) {
  TCtProgressBar* bar = PlacePlain(10, 10, 100, 20);
  bar->SetShowPercent(false);
  bar->SetPercent(250);
  EXPECT_EQ(CountInRow(*bar, 3, vcl::clRed), 100);
  EXPECT_EQ(Pixel(*bar, 100, 3), Rgb(form->Color()));  // the form beside it
}

TEST_F(ProgressBar, AVerticalBarFillsFromTheBottom) {
  TCtProgressBar* bar = PlacePlain(10, 10, 20, 100);
  bar->SetShowPercent(false);
  bar->SetPercent(25);
  EXPECT_EQ(Pixel(*bar, 10, 99), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*bar, 10, 75), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*bar, 10, 74), Rgb(vcl::clWhite));
  EXPECT_EQ(Pixel(*bar, 10, 0), Rgb(vcl::clWhite));
}

TEST_F(ProgressBar, LedSegmentsAreOutlinedInTheBackColourAndLitByPercent) {
  TCtProgressBar* bar = PlacePlain(10, 10, 60, 10);
  bar->SetBarStyle(bsLED);
  bar->SetInteriorOffset(0);
  bar->SetPercent(50);  // 5 of 10 segments of 6 pixels
  for (int segment = 0; segment < 10; ++segment) {
    const int left = 6 * segment;
    const TColor inside = segment < 5 ? Rgb(vcl::clRed) : Rgb(vcl::clWhite);
    EXPECT_EQ(Pixel(*bar, left, 5), Rgb(vcl::clWhite)) << segment;  // the outline
    for (int x = left + 1; x < left + 5; ++x) EXPECT_EQ(Pixel(*bar, x, 5), inside) << segment << " at " << x;
    EXPECT_EQ(Pixel(*bar, left + 5, 5), Rgb(vcl::clWhite)) << segment;
  }
  EXPECT_EQ(Pixel(*bar, 2, 0), Rgb(vcl::clWhite));  // the outline's top row
}

TEST_F(ProgressBar, AVerticalLedBarLightsFromTheBottom) {
  TCtProgressBar* bar = PlacePlain(10, 10, 10, 60);
  bar->SetBarStyle(bsLED);
  bar->SetInteriorOffset(0);
  bar->SetPercent(30);  // 3 of 10
  EXPECT_EQ(Pixel(*bar, 5, 57), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*bar, 5, 45), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*bar, 5, 39), Rgb(vcl::clWhite));
  EXPECT_EQ(Pixel(*bar, 5, 2), Rgb(vcl::clWhite));
}

TEST_F(ProgressBar, LedSegmentsOfAnOverfullBarStayInsideTheBorder) {
  TCtProgressBar* bar = Place(10, 10, 104, 14);
  bar->SetBarStyle(bsLED);
  bar->SetBorderOuter(fsFlat);
  bar->SetFlatColor(vcl::clBlue);
  bar->SetFlatColorAdjustment(0);
  bar->SetBarColor(vcl::clRed);
  bar->SetBackColor(vcl::clWhite);
  bar->SetPercent(250);
  // Border 1 and ring 1: the segments run from x = 2 to 101; the ring and
  // the border on the right keep their colours.
  EXPECT_EQ(Pixel(*bar, 103, 7), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(*bar, 102, 7), Rgb(vcl::clWhite));
  EXPECT_EQ(Pixel(*bar, 100, 7), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*bar, 3, 7), Rgb(vcl::clRed));
}

TEST_F(ProgressBar, TinyLedBarsPaint) {
  for (int length : {1, 3, 8, 9}) {
    TCtProgressBar* bar = PlacePlain(10, 10, length, 20 + length);  // vertical, shorter than 10
    bar->SetBarStyle(bsLED);
    bar->SetPercent(100);
    TCtProgressBar* wide = PlacePlain(10, 80, 8, 4);
    wide->SetBarStyle(bsLED);
    wide->SetPercent(60);
    script::Pump();
    delete bar;
    delete wide;
  }
}

TEST_F(ProgressBar, GradientBarPaintsBothHalvesInTheirGradients) {
  TCtProgressBar* bar = PlacePlain(10, 10, 100, 21);
  bar->SetBarStyle(bsGradient);
  bar->SetShowPercent(false);
  bar->SetBarColorStop(vcl::clYellow);
  bar->SetBackColorStop(vcl::clBlue);
  bar->SetPercent(50);
  // Centre gradient: the start colour at the top and bottom rows, the stop
  // colour in the middle row.
  EXPECT_EQ(Pixel(*bar, 10, 0), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*bar, 10, 20), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*bar, 10, 10), Rgb(vcl::clYellow));
  EXPECT_EQ(Pixel(*bar, 80, 0), Rgb(vcl::clWhite));
  EXPECT_EQ(Pixel(*bar, 80, 10), Rgb(vcl::clBlue));
}

TEST_F(ProgressBar, TheBorderAndTheInteriorRingSurroundTheBar) {
  TCtProgressBar* bar = PlacePlain(10, 10, 100, 20);
  bar->SetShowPercent(false);
  bar->SetBorderOuter(fsFlat);
  bar->SetFlatColor(vcl::clBlue);
  bar->SetFlatColorAdjustment(0);
  bar->SetInteriorOffset(2);
  bar->SetPercent(100);
  EXPECT_EQ(Pixel(*bar, 0, 10), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(*bar, 1, 10), Rgb(vcl::clWhite));
  EXPECT_EQ(Pixel(*bar, 2, 10), Rgb(vcl::clWhite));
  EXPECT_EQ(Pixel(*bar, 3, 10), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*bar, 96, 10), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*bar, 97, 10), Rgb(vcl::clWhite));
  EXPECT_EQ(Pixel(*bar, 99, 10), Rgb(vcl::clBlue));
  // An inner flat frame leaves its corner pixels out, in the border colour.
  bar->SetBorderOuter(fsNone);
  bar->SetBorderInner(fsFlat);
  bar->SetBorderColor(vcl::clLime);
  EXPECT_EQ(Pixel(*bar, 0, 0), Rgb(vcl::clLime));
  EXPECT_EQ(Pixel(*bar, 1, 0), Rgb(vcl::clBlue));
}

// ---- frame controller and form files ------------------------------------------------------------

TEST_F(ProgressBar, TakesTheControllersFrameUnderItsMaskWhileTheFrameIsVisible) {
  RegisterCtCommonClasses();
  TCtProgressBar* bar = Place(0, 0, 200, 24);
  TCtProgressBar* masked = Place(0, 40, 200, 24);
  masked->SetFrameControllerNotifications(TCtFrameControllerNotifications(kAllFrameControllerNotifications).Exclude(fcpColor));
  auto* controller = new TCtFrameController(form);
  controller->SetFrameStyle(fsFlatBold);
  controller->SetFrameColor(vcl::clRed);
  controller->SetColor(vcl::clYellow);
  bar->SetFrameController(controller);
  masked->SetFrameController(controller);
  EXPECT_EQ(bar->BorderOuter(), fsLowered);  // the controller's frame is hidden

  controller->SetFrameVisible(true);
  EXPECT_EQ(bar->BorderOuter(), fsFlatBold);
  EXPECT_EQ(bar->FlatColor(), vcl::clRed);
  EXPECT_EQ(bar->FlatColorAdjustment(), 0);
  EXPECT_EQ(bar->BackColor(), vcl::clYellow);
  EXPECT_EQ(masked->BorderOuter(), fsFlatBold);
  EXPECT_EQ(masked->BackColor(), vcl::clWhite);

  delete controller;
  EXPECT_EQ(bar->FrameController(), nullptr);
}

TEST_F(ProgressBar, AFormKeepsItsPartsWhateverOrderTheyComeIn) {
  RegisterCtProgressBarClasses();
  vcl::TComponent root(nullptr);
  vcl::ReadComponentText(root,
                         "object root: TComponent\n"
                         "  object Before: TCtProgressBar\n"
                         "    BarStyle = bsLED\n"
                         "    PartsComplete = 5\n"
                         "    Percent = 50\n"
                         "    TotalParts = 10\n"
                         "  end\n"
                         "  object Over: TCtProgressBar\n"
                         "    TotalParts = 10\n"
                         "    PartsComplete = 12\n"
                         "    ThemeAware = False\n"
                         "    BorderColor = 10841658\n"
                         "  end\n"
                         "end\n",
                         "bars.form");
  auto& before = script::Find<TCtProgressBar>(root, "Before");
  EXPECT_EQ(before.PartsComplete(), 5u);
  EXPECT_EQ(before.TotalParts(), 10u);
  EXPECT_EQ(before.Percent(), 50);
  EXPECT_EQ(before.BarStyle(), bsLED);
  auto& over = script::Find<TCtProgressBar>(root, "Over");
  EXPECT_EQ(over.PartsComplete(), 10u);
  EXPECT_FALSE(over.ThemeAware());
  EXPECT_EQ(over.BorderColor(), TColor{0xA56E3A});
}

TEST_F(ProgressBar, StylesOnScreen) {
  struct Look {
    TBarStyle style;
    int percent;
    vcl::TRect bounds;
  } looks[] = {{bsTraditional, 40, {10, 10, 210, 32}}, {bsLED, 65, {10, 40, 210, 62}},
               {bsGradient, 80, {10, 70, 210, 92}},    {bsTraditional, 70, {10, 100, 46, 220}},
               {bsLED, 45, {54, 100, 76, 220}},        {bsGradient, 30, {84, 100, 120, 220}}};
  for (const Look& look : looks) {
    TCtProgressBar* bar = Place(look.bounds.left, look.bounds.top, vcl::RectWidth(look.bounds),
                                vcl::RectHeight(look.bounds));
    bar->SetBarStyle(look.style);
    bar->SetPercent(static_cast<uint16_t>(look.percent));
  }
  TCtProgressBar* parts = Place(230, 10, 150, 22);
  parts->SetShowParts(true);
  parts->SetTotalParts(12);
  parts->SetPartsComplete(5);
  TCtProgressBar* flat = Place(230, 40, 150, 12);  // as the main window shows a run
  flat->SetBorderOuter(fsFlat);
  flat->SetFlatColor(vcl::clWindowText);
  flat->SetPercent(33);
  TCtProgressBar* job = Place(230, 60, 150, 12);
  job->SetBorderOuter(fsFlat);
  job->SetBorderColor(TColor{0xA56E3A});
  job->SetThemeAware(false);
  job->SetPercent(75);
  script::Pump();
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(win::SaveWindowScreenshot(form->Handle(), QELO_SCREENSHOT_DIR "/progress-bars.png"));
}

}  // namespace
}  // namespace qelo::ct
