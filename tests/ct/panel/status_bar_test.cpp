// The status bar: the size grip that resizes its form, simple mode, the
// auto style, pane scaling, and a progress bar in one of its panes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "controls_fixture.h"
#include "ct_common_color.h"
#include "ct_panel_status_bar.h"
#include "ct_prgres.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"
#include "vcl/window_pixel.h"
#include "win/window/display.h"

namespace qelo::ct {
namespace {

namespace script = vcl::script;
using vcl::TColor;
using vcl::TRect;

// Presses the left button at a screen point and, once the press is being
// handled, moves the pointer by (dx, dy) in `steps` even moves and lets go:
// a timer feeds the moves to whatever loop runs while the button is down.
struct Drag {
  static inline win::POINT start{};
  static inline int dx = 0, dy = 0, steps = 1;
  static inline int step = 0;

  static void Tick(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) {
    ++step;
    if (step <= steps)
      win::InjectMouseMove({start.x + dx * step / steps, start.y + dy * step / steps});
    else if (step == steps + 1)
      win::InjectMouseButton(win::MouseButton::Left, false, {start.x + dx, start.y + dy});
  }
  static void Run(win::HWND window, win::POINT from, int byX, int byY, int moves = 1) {
    start = from;
    dx = byX;
    dy = byY;
    steps = moves;
    step = 0;
    win::InjectMouseMove(start);
    script::Pump();
    const win::UINT_PTR timer = win::SetTimer(window, 0x5A5A, 5, &Tick);
    win::InjectMouseButton(win::MouseButton::Left, true, start);
    script::PumpUntil([] { return step > steps; }, 5000);
    win::KillTimer(window, timer);
    script::Pump();
  }
};

class StatusBar : public ::testing::Test {
 protected:
  void SetUp() override {
    vcl::Application()->Initialize();
    form = new vcl::TForm(nullptr);
    form->SetBorderStyle(vcl::bsSizeable);
    form->SetBounds(40, 40, 400, 300);
    bar = new TCtStatusBar(form);
    bar->SetParent(form);
    form->Show();
    script::Pump();
  }
  void TearDown() override {
    form->Free();
    script::Pump();
  }
  // A pane at the left of the bar.
  vcl::TControl* AddPane(int width) {
    auto* pane = new TCtPanel(form);
    pane->SetParent(bar);
    pane->SetAlign(vcl::alLeft);
    pane->SetWidth(width);
    pane->SetBorderOuter(fsStatus);
    return pane;
  }
  // The screen point of a point of the bar.
  win::POINT Screen(int x, int y) const {
    const vcl::TPoint p = bar->ClientToScreen(vcl::Point(x, y));
    return {p.x, p.y};
  }
  win::POINT InGrip() const { return Screen(bar->Width() - 4, bar->Height() - 4); }
  // A pixel of the bar as the form's window shows it.
  TColor Pixel(int x, int y) {
    script::Pump();
    win::RECT window;
    win::GetWindowRect(form->Handle(), &window);
    const win::POINT p = Screen(x, y);
    return qelo::test::WindowPixel(form->Handle(), p.x - window.left, p.y - window.top);
  }
  static TColor Rgb(TColor color) { return vcl::ColorToRGB(color); }

  vcl::TForm* form = nullptr;
  TCtStatusBar* bar = nullptr;
};

TEST_F(StatusBar, SitsAtTheBottomInItsOwnStyle) {
  EXPECT_EQ(bar->Align(), vcl::alBottom);
  EXPECT_EQ(bar->Height(), 19);
  EXPECT_EQ(bar->BorderOuter(), fsNone);
  EXPECT_EQ(bar->BorderInner(), fsNone);
  EXPECT_TRUE(bar->AutoStyle());
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
  EXPECT_EQ(bar->Width(), form->ClientWidth());
  EXPECT_TRUE(bar->SizeGripUsable());
}

TEST_F(StatusBar, TheGripSizesTheFormFromItsBottomRightCorner) {
  std::vector<win::WPARAM> commands;
  auto previous = form->WindowProc;
  form->WindowProc = [&](vcl::TMessage& m) {
    if (m.Msg == win::WM_SYSCOMMAND) commands.push_back(m.WParam);
    previous(m);
  };
  const int width = form->Width(), height = form->Height();
  Drag::Run(form->Handle(), InGrip(), 40, 30);
  EXPECT_EQ(commands, std::vector<win::WPARAM>{0xF008});
  EXPECT_EQ(form->Width(), width + 40);
  EXPECT_EQ(form->Height(), height + 30);
  EXPECT_EQ(bar->Width(), form->ClientWidth());
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
  form->WindowProc = previous;
}

TEST_F(StatusBar, ThereIsNoGripOnAFixedOrMaximisedForm) {
  struct Case {
    vcl::TFormBorderStyle border;
    vcl::TWindowState state;
    bool usable;
  } cases[] = {{vcl::bsSizeable, vcl::wsNormal, true},   {vcl::bsSizeToolWin, vcl::wsNormal, true},
               {vcl::bsDialog, vcl::wsNormal, false},    {vcl::bsSingle, vcl::wsNormal, false},
               {vcl::bsSizeable, vcl::wsMaximized, false}};
  for (const Case& c : cases) {
    form->SetBorderStyle(c.border);
    form->SetWindowState(c.state);
    script::Pump();
    bar->Repaint();
    script::Pump();
    EXPECT_EQ(bar->SizeGripUsable(), c.usable) << c.border << " " << c.state;
    const int width = form->Width(), height = form->Height();
    Drag::Run(form->Handle(), InGrip(), 20, 20);
    EXPECT_EQ(form->Width() != width || form->Height() != height, c.usable) << c.border << " " << c.state;
    form->SetWindowState(vcl::wsNormal);
    script::Pump();
  }
}

TEST_F(StatusBar, TheGripIsDrawnOnlyWhereItWorksAndShowsTheSizeCursor) {
  // The light squares' lower-right pixels show below and right of the dark ones.
  const int right = bar->Width() + 1, bottom = bar->Height();
  EXPECT_EQ(Pixel(right - 4, bottom - 3), Rgb(vcl::clBtnHighlight));
  EXPECT_EQ(Pixel(right - 5, bottom - 4), Rgb(vcl::clBtnShadow));
  EXPECT_EQ(Pixel(right - 12, bottom - 3), Rgb(vcl::clBtnHighlight));

  script::MoveMouseToScreen(vcl::Point(InGrip().x, InGrip().y));
  EXPECT_EQ(win::GetCursor(), vcl::Screen()->Cursors(vcl::crSizeNWSE));
  const win::POINT elsewhere = Screen(40, 8);
  script::MoveMouseToScreen(vcl::Point(elsewhere.x, elsewhere.y));
  EXPECT_NE(win::GetCursor(), vcl::Screen()->Cursors(vcl::crSizeNWSE));

  bar->SetShowSizeGrip(false);
  EXPECT_EQ(Pixel(right - 5, bottom - 4), Rgb(bar->Color()));
  const int width = form->Width();
  Drag::Run(form->Handle(), InGrip(), 20, 20);
  EXPECT_EQ(form->Width(), width);
}

TEST_F(StatusBar, PanesReachPastTheEdgesOfTheBar) {
  vcl::TControl* pane = AddPane(100);
  auto* fill = new TCtPanel(form);
  fill->SetParent(bar);
  fill->SetAlign(vcl::alClient);
  bar->Realign();
  EXPECT_EQ(pane->BoundsRect().left, -1);
  EXPECT_EQ(pane->BoundsRect().top, 1);
  EXPECT_EQ(pane->BoundsRect().bottom, bar->Height() + 1);
  EXPECT_EQ(fill->BoundsRect().right, bar->Width() + 1);
}

TEST_F(StatusBar, PanesScaleWithTheBar) {
  bar->SetAutoScalePanes(true);
  bar->SetAlign(vcl::alNone);
  bar->SetBounds(0, 200, 200, 19);
  vcl::TControl* first = AddPane(50);
  vcl::TControl* second = AddPane(150);
  bar->SetWidth(300);
  EXPECT_EQ(first->Width(), 75);
  EXPECT_EQ(second->Width(), 225);
  bar->SetWidth(150);
  EXPECT_EQ(first->Width(), 38);  // 37.5 shown rounded to even, carried exactly
  EXPECT_EQ(second->Width(), 112);
  bar->SetWidth(200);
  EXPECT_EQ(first->Width(), 50);
  EXPECT_EQ(second->Width(), 150);
}

TEST_F(StatusBar, OnePixelStepsAddUpToTheWholeChange) {
  bar->SetAutoScalePanes(true);
  bar->SetAlign(vcl::alNone);
  bar->SetBounds(0, 200, 200, 19);
  vcl::TControl* first = AddPane(50);
  vcl::TControl* second = AddPane(150);
  for (int width = 201; width <= 300; ++width) bar->SetWidth(width);
  EXPECT_EQ(first->Width(), 75);
  EXPECT_EQ(second->Width(), 225);
  // A pane set by hand on the way starts again from its new width.
  first->SetWidth(60);
  for (int width = 301; width <= 330; ++width) bar->SetWidth(width);
  EXPECT_EQ(first->Width(), 66);
  EXPECT_EQ(second->Width(), 248);  // 225 x 330 / 300 = 247.5
}

TEST_F(StatusBar, DraggingTheGripAPixelAtATimeGrowsThePanesWithTheForm) {
  bar->SetAutoScalePanes(true);
  vcl::TControl* first = AddPane(100);
  vcl::TControl* second = AddPane(200);
  const int width = bar->Width();
  Drag::Run(form->Handle(), InGrip(), 60, 0, 60);
  ASSERT_EQ(bar->Width(), width + 60);
  EXPECT_NEAR(first->Width(), 100.0 * (width + 60) / width, 0.5);
  EXPECT_NEAR(second->Width(), 200.0 * (width + 60) / width, 0.5);
}

TEST_F(StatusBar, NarrowWidthsAreNeitherScaledNorRecorded) {
  bar->SetAutoScalePanes(true);
  bar->SetAlign(vcl::alNone);
  bar->SetBounds(0, 200, 200, 19);
  vcl::TControl* pane = AddPane(50);
  bar->SetWidth(40);
  EXPECT_EQ(pane->Width(), 50);
  bar->SetWidth(300);  // from the 200 last recorded
  EXPECT_EQ(pane->Width(), 75);
  bar->SetAutoScalePanes(false);
  bar->SetWidth(400);
  EXPECT_EQ(pane->Width(), 75);
}

TEST_F(StatusBar, TheWidthItIsShownAtIsOnlyRecorded) {
  auto* fresh = new TCtStatusBar(form);
  fresh->SetAutoScalePanes(true);
  fresh->SetAlign(vcl::alNone);
  auto* pane = new TCtPanel(form);
  pane->SetParent(fresh);
  pane->SetWidth(50);
  fresh->SetBounds(0, 100, 300, 19);  // no window yet: the panes keep the widths they were given
  fresh->SetWidth(120);
  EXPECT_EQ(pane->Width(), 50);
  fresh->SetParent(form);
  fresh->HandleNeeded();
  EXPECT_EQ(pane->Width(), 50);
  fresh->SetWidth(240);
  EXPECT_EQ(pane->Width(), 100);
}

TEST_F(StatusBar, SimpleModeHidesThePanesItFindsShownAndShowsItsText) {
  vcl::TControl* shown = AddPane(100);
  vcl::TControl* hidden = AddPane(60);
  hidden->Hide();
  bar->SetSimpleCaption("Converting clip 3 of 7");
  bar->SetSimpleStatus(true);
  EXPECT_FALSE(shown->Visible());
  EXPECT_EQ(bar->ClientRect().top, 2);
  EXPECT_EQ(bar->ClientRect().left, 0);
  int text = 0;
  for (int x = 0; x < 200; ++x)
    for (int y = 2; y < bar->Height() - 2; ++y) text += Pixel(x, y) != Rgb(bar->Color());
  EXPECT_GT(text, 20);
  bar->SetSimpleStatus(false);
  EXPECT_TRUE(shown->Visible());
  EXPECT_FALSE(hidden->Visible());
}

TEST_F(StatusBar, TheSimpleFrameIsDrawnInTheClassicLookOnly) {
  bar->SetSimpleStatus(true);
  bar->SetFlatColor(vcl::clBlue);
  bar->SetFlatColorAdjustment(0);
  EXPECT_NE(Pixel(5, 2), Rgb(vcl::clBlue));  // vsWinXP without visual styles: no frame
  bar->SetVisualStyle(vsClassic);
  EXPECT_EQ(Pixel(5, 2), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(0, 5), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(0, 2), Rgb(bar->Color()));  // its corners left out
  bar->SetSimpleFrameStyle(fsLowered);
  EXPECT_EQ(Pixel(5, 2), Rgb(vcl::clBtnShadow));
}

TEST_F(StatusBar, AHandSetBorderEndsTheAutoStyleAndSurvivesReading) {
  bar->SetBorderOuter(fsRaised);
  EXPECT_FALSE(bar->AutoStyle());
  RegisterCtBarClasses();
  vcl::TComponent root(nullptr);
  vcl::ReadComponentText(root,
                         "object root: TComponent\n"
                         "  object sbAuto: TCtStatusBar\n"
                         "    Height = 30\n"
                         "    BorderWidth = 2\n"
                         "  end\n"
                         "  object sbOwn: TCtStatusBar\n"
                         "    Height = 30\n"
                         "    BorderOuter = fsRaised\n"
                         "    SimpleCaption = 'Ready'\n"
                         "  end\n"
                         "end\n",
                         "status.form");
  auto& automatic = script::Find<TCtStatusBar>(root, "sbAuto");
  EXPECT_EQ(automatic.Height(), 19);
  EXPECT_EQ(automatic.BorderWidth(), 0);
  EXPECT_TRUE(automatic.AutoStyle());
  auto& own = script::Find<TCtStatusBar>(root, "sbOwn");
  EXPECT_FALSE(own.AutoStyle());
  EXPECT_EQ(own.Height(), 30);
  EXPECT_EQ(own.BorderOuter(), fsRaised);
  EXPECT_EQ(own.SimpleCaption(), "Ready");
}

TEST_F(StatusBar, GradientColoursRunFromDarkToLight) {
  TColor start, stop;
  bar->GetGradientColors(start, stop);
  TColor dark, light, frame;
  GetThemedPanelColors(gcsSystem, dark, light, frame);
  EXPECT_EQ(start, dark);
  EXPECT_EQ(stop, light);
  bar->SetGradientColorStyle(gcsCustom);
  bar->SetGradientColorStart(vcl::clRed);
  bar->SetGradientColorStop(vcl::clBlue);
  bar->GetGradientColors(start, stop);
  EXPECT_EQ(start, vcl::clBlue);
  EXPECT_EQ(stop, vcl::clRed);
}

// ---- a progress bar in the last pane ------------------------------------------------

TEST_F(StatusBar, AProgressBarAtTheRightEndAnswersAsTheBarAndLetsTheGripWork) {
  auto* progress = new TCtProgressBar(form);
  progress->SetParent(bar);
  progress->SetAlign(vcl::alRight);
  progress->SetWidth(120);
  bar->Realign();
  script::Pump();
  ASSERT_EQ(progress->BoundsRect().right, bar->Width() + 1);

  // Its right end asks the bar about the same point of the screen.
  const int y = progress->Height() / 2;
  struct Case {
    int x;
    win::LRESULT answer;
  } cases[] = {{progress->Width() - 12, win::HTCLIENT},
               {progress->Width() - 2, win::HTCLIENT},
               {progress->Width() - 1, win::HTNOWHERE}};  // one pixel past the bar's edge
  for (const Case& c : cases) {
    const vcl::TPoint screen = progress->ClientToScreen(vcl::Point(c.x, y));
    EXPECT_EQ(win::SendMessage(bar->Handle(), win::WM_NCHITTEST, 0, win::MAKELPARAM(screen.x, screen.y)), c.answer);
    EXPECT_EQ(progress->Perform(vcl::CM_HITTEST, 0, win::MAKELPARAM(c.x, y)), c.answer) << c.x;
  }
  EXPECT_EQ(progress->Perform(vcl::CM_HITTEST, 0, win::MAKELPARAM(10, y)), 1);

  const int width = form->Width(), height = form->Height();
  Drag::Run(form->Handle(), InGrip(), 24, 16);
  EXPECT_EQ(form->Width(), width + 24);
  EXPECT_EQ(form->Height(), height + 16);
}

TEST_F(StatusBar, OnScreen) {
  AddPane(120)->SetCaption("3 files");
  vcl::TControl* middle = AddPane(170);
  middle->SetCaption("Output: ~/Videos");
  auto* progress = new TCtProgressBar(form);
  progress->SetParent(bar);
  progress->SetAlign(vcl::alClient);
  progress->SetPercent(64);
  auto* simple = new TCtStatusBar(form);
  simple->SetParent(form);
  simple->SetVisualStyle(vsClassic);
  simple->SetSimpleCaption("Converting clip 3 of 7");
  simple->SetSimpleStatus(true);
  simple->SetShowSizeGrip(false);
  script::Pump();
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(win::SaveWindowScreenshot(form->Handle(), QELO_SCREENSHOT_DIR "/status-bars.png"));
}

}  // namespace
}  // namespace qelo::ct
