// The framed-control protocol on a small windowed control: state colours
// and the normal colour, the storage rule, the non-client frame and hot
// tracking.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "controls_fixture.h"
#include "frame_probes.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"
#include "vcl/window_pixel.h"

namespace qelo::ct {
namespace {

using test::TFramedProbe;
namespace script = vcl::script;

class FramedControl : public vcl::test::FormTest {
 protected:
  TFramedProbe* Place(int left, int top) {
    auto* probe = new TFramedProbe(form);
    probe->SetParent(form);
    probe->SetBounds(left, top, 60, 24);
    probe->HandleNeeded();
    script::Pump();
    return probe;
  }
  // A pixel of a control's window (its non-client band starts at 0, 0).
  vcl::TColor Pixel(vcl::TControl& control, int x, int y) {
    script::Pump();
    return qelo::test::WindowPixel(form->Handle(), control.Left() + x, control.Top() + y);
  }
  static vcl::TColor Rgb(vcl::TColor color) { return vcl::ColorToRGB(color); }
  // A visible flat frame in red that turns into a bold blue one when hot.
  static void ShowFrame(TFramedProbe& probe) {
    probe.SetFrameColor(vcl::clRed);
    probe.SetFrameHotColor(vcl::clBlue);
    probe.SetFrameStyle(fsFlat);
    probe.SetFrameHotStyle(fsFlatBold);
    probe.SetFramingPreference(fpCustomFraming);
    probe.SetFrameVisible(true);
  }
};

TEST_F(FramedControl, DisabledAndFocusedStatesShowTheirColoursAndReturnToTheNormalOne) {
  TFramedProbe* probe = Place(10, 10);
  TFramedProbe* other = Place(10, 50);
  probe->SetFocusColor(vcl::clYellow);
  EXPECT_EQ(probe->Color(), vcl::clWindow);

  probe->SetEnabled(false);
  EXPECT_EQ(probe->Color(), vcl::clBtnFace);
  EXPECT_EQ(vcl::GetOrdProp(*probe, "Color"), vcl::clWindow);  // the published colour is the normal one
  probe->SetNormalColor(vcl::clInfoBk);
  EXPECT_EQ(probe->Color(), vcl::clBtnFace);
  probe->SetEnabled(true);
  EXPECT_EQ(probe->Color(), vcl::clInfoBk);

  script::Focus(*probe);
  EXPECT_EQ(probe->Color(), vcl::clYellow);
  script::Focus(*other);
  EXPECT_EQ(probe->Color(), vcl::clInfoBk);
  EXPECT_EQ(other->Color(), vcl::clWindow);
}

TEST_F(FramedControl, AColourGivenInCodeOrByTheParentBecomesTheNormalColour) {
  TFramedProbe* probe = Place(10, 10);
  probe->SetColor(vcl::clLime);  // FocusColor equalled the normal colour and moves along
  EXPECT_EQ(probe->NormalColor(), vcl::clLime);
  EXPECT_EQ(probe->FocusColor(), vcl::clLime);

  probe->SetEnabled(false);
  probe->SetColor(vcl::clAqua);
  EXPECT_EQ(probe->NormalColor(), vcl::clAqua);
  EXPECT_EQ(probe->Color(), vcl::clBtnFace);

  probe->SetEnabled(true);
  form->SetColor(vcl::clMoneyGreen);
  probe->SetParentColor(true);
  EXPECT_EQ(probe->NormalColor(), vcl::clMoneyGreen);
  EXPECT_EQ(probe->Color(), vcl::clMoneyGreen);
}

TEST_F(FramedControl, WhatTheControllerSuppliesIsNotStoredAndTheNormalColourAlwaysIs) {
  TFramedProbe* probe = Place(10, 10);
  const char* kRuled[] = {"Color", "DisabledColor", "FrameColor", "FrameHotColor", "FrameHotTrack",
                          "FrameHotStyle", "FrameSides", "FrameStyle", "FrameVisible", "FramingPreference",
                          "ReadOnlyColor", "ReadOnlyColorOnFocus"};
  for (const char* name : kRuled) EXPECT_TRUE(vcl::IsStoredProp(*probe, name)) << name;

  probe->SetEnabled(false);  // shows DisabledColor, stores its normal colour
  EXPECT_TRUE(vcl::IsStoredProp(*probe, "Color"));
  probe->SetEnabled(true);

  TCtFrameController controller(form);
  probe->SetFrameController(&controller);
  for (const char* name : kRuled) EXPECT_FALSE(vcl::IsStoredProp(*probe, name)) << name;
  EXPECT_TRUE(vcl::IsStoredProp(*probe, "FrameController"));
  EXPECT_TRUE(vcl::IsStoredProp(*probe, "FrameControllerNotifications"));

  probe->SetFrameControllerNotifications(
      TCtFrameControllerNotifications(kAllFrameControllerNotifications).Exclude(fcpFrameColor).Exclude(fcpColor));
  EXPECT_TRUE(vcl::IsStoredProp(*probe, "FrameColor"));
  EXPECT_TRUE(vcl::IsStoredProp(*probe, "Color"));
  EXPECT_FALSE(vcl::IsStoredProp(*probe, "FrameStyle"));
}

TEST_F(FramedControl, FocusColorIsStoredOnlyWhenItsRgbDiffersFromTheNormalColour) {
  TFramedProbe* probe = Place(10, 10);
  ASSERT_EQ(Rgb(vcl::clWindow), Rgb(vcl::clWhite));
  struct Case {
    vcl::TColor focus;
    bool stored;
  } cases[] = {{vcl::clWindow, false}, {vcl::clWhite, false}, {vcl::clYellow, true}, {vcl::clBtnFace, true}};
  for (const Case& c : cases) {
    probe->SetFocusColor(c.focus);
    EXPECT_EQ(vcl::IsStoredProp(*probe, "FocusColor"), c.stored) << vcl::ColorToString(c.focus);
  }
  script::Focus(*probe);  // now showing FocusColor: still compared with the normal colour
  EXPECT_EQ(probe->Color(), vcl::clBtnFace);
  EXPECT_TRUE(vcl::IsStoredProp(*probe, "FocusColor"));
}

TEST_F(FramedControl, TheFrameIsPaintedOverTheNonClientBandOnlyWhenVisible) {
  TFramedProbe* probe = Place(10, 10);
  probe->SetFrameColor(vcl::clRed);
  probe->SetFramingPreference(fpCustomFraming);
  EXPECT_NE(Pixel(*probe, 0, 0), Rgb(vcl::clRed));  // the platform's client edge
  probe->SetFrameVisible(true);
  EXPECT_EQ(Pixel(*probe, 0, 0), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*probe, 1, 1), Rgb(vcl::clWindow));  // the band in the control's colour
  probe->SetFrameColor(vcl::clGreen);
  EXPECT_EQ(Pixel(*probe, 0, 0), Rgb(vcl::clGreen));
  EXPECT_EQ(Pixel(*probe, probe->Width() - 1, probe->Height() - 1), Rgb(vcl::clGreen));
  probe->SetEnabled(false);
  EXPECT_EQ(Pixel(*probe, 1, 1), Rgb(vcl::clBtnFace));
}

TEST_F(FramedControl, HotTrackingShowsTheHotFrameWhileFocusedOrUnderTheMouse) {
  TFramedProbe* probe = Place(10, 10);
  TFramedProbe* other = Place(10, 50);
  ShowFrame(*probe);
  EXPECT_EQ(Pixel(*probe, 1, 1), Rgb(vcl::clWindow));
  probe->Perform(vcl::CM_MOUSEENTER);
  EXPECT_EQ(Pixel(*probe, 0, 0), Rgb(vcl::clRed)) << "no hot frame without hot tracking";

  probe->SetFrameHotTrack(true);
  EXPECT_EQ(Pixel(*probe, 1, 1), Rgb(vcl::clBlue));
  probe->Perform(vcl::CM_MOUSELEAVE);
  EXPECT_EQ(Pixel(*probe, 0, 0), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*probe, 1, 1), Rgb(vcl::clWindow));

  script::Focus(*probe);  // focused, the mouse elsewhere: hot
  EXPECT_EQ(Pixel(*probe, 1, 1), Rgb(vcl::clBlue));
  script::Focus(*other);
  EXPECT_EQ(Pixel(*probe, 1, 1), Rgb(vcl::clWindow));

  script::MoveMouse(*probe, vcl::Point(30, 12));
  EXPECT_TRUE(probe->MouseOver());
  EXPECT_EQ(Pixel(*probe, 1, 1), Rgb(vcl::clBlue));
  script::MoveMouse(*other, vcl::Point(30, 12));
  EXPECT_FALSE(probe->MouseOver());
  EXPECT_EQ(Pixel(*probe, 1, 1), Rgb(vcl::clWindow));
}

TEST_F(FramedControl, HotTrackingTurnsTheFrameOnWithAllSidesExceptWhileRead) {
  TFramedProbe* probe = Place(10, 10);
  probe->SetFrameSides({sdTop});
  probe->SetFrameHotTrack(true);
  EXPECT_TRUE(probe->FrameVisible());
  EXPECT_EQ(probe->FrameSides(), kAllSides);

  test::RegisterFrameProbes();
  vcl::TComponent root(nullptr);
  vcl::ReadComponentText(root,
                         "object root: TComponent\n"
                         "  object Read: TFramedProbe\n"
                         "    FrameSides = [sdTop]\n"
                         "    FrameHotTrack = True\n"
                         "  end\n"
                         "end\n",
                         "read.form");
  auto& read = script::Find<TFramedProbe>(root, "Read");
  EXPECT_TRUE(read.FrameVisible());
  EXPECT_EQ(read.FrameSides(), TSides{sdTop});
}

TEST_F(FramedControl, StatesOnScreen) {
  const char* kStates[] = {"normal", "hot", "focused", "disabled"};
  TFramedProbe* probes[4];
  for (int i = 0; i < 4; ++i) {
    probes[i] = Place(10 + 80 * i, 10);
    ShowFrame(*probes[i]);
    probes[i]->SetFrameHotTrack(true);
    probes[i]->SetFocusColor(vcl::clInfoBk);
    auto* caption = new vcl::TLabel(form);
    caption->SetParent(form);
    caption->SetLeft(probes[i]->Left());
    caption->SetTop(probes[i]->Top() + probes[i]->Height() + 4);
    caption->SetCaption(kStates[i]);
  }
  probes[1]->Perform(vcl::CM_MOUSEENTER);
  script::Focus(*probes[2]);
  probes[3]->SetEnabled(false);
  script::Pump();
  EXPECT_EQ(Pixel(*probes[0], 1, 1), Rgb(vcl::clWindow));
  EXPECT_EQ(Pixel(*probes[1], 1, 1), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(*probes[2], 4, 4), Rgb(vcl::clInfoBk));
  EXPECT_EQ(Pixel(*probes[3], 4, 4), Rgb(vcl::clBtnFace));
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(win::SaveWindowScreenshot(form->Handle(), QELO_SCREENSHOT_DIR "/framed-control-states.png"));
}

}  // namespace
}  // namespace qelo::ct
