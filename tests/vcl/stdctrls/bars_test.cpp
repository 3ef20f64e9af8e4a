// Status and progress bars: panels and the simple line reaching the window,
// owner-drawn panels in their rectangles, the bar's place at the bottom,
// and the progress range, position and steps as the window shows them.
#include "stdctrls_fixture.h"
#include "vcl/controls/progressbar.h"
#include "vcl/controls/statusbar.h"
#include "win/controls/progress.h"
#include "win/controls/statusbar.h"

namespace qelo::vcl::test {
namespace {

using StatusBarTest = FormTest;

std::vector<int32_t> Parts(TStatusBar& bar) {
  std::vector<int32_t> rights(8, 0);
  const auto n = win::SendMessage(bar.Handle(), win::SB_GETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
  rights.resize(static_cast<size_t>(n));
  return rights;
}

std::string PartText(TStatusBar& bar, WPARAM part) {
  std::string text(static_cast<size_t>(win::LOWORD(win::SendMessage(bar.Handle(), win::SB_GETTEXTLENGTH, part, 0))) + 1, '\0');
  win::SendMessage(bar.Handle(), win::SB_GETTEXT, part, reinterpret_cast<LPARAM>(text.data()));
  text.resize(text.size() - 1);
  return text;
}

TStatusPanel* AddPanel(TStatusBar& bar, const std::string& text, int width, TAlignment alignment = taLeftJustify) {
  TStatusPanel* p = bar.Panels()->Add();
  p->SetText(text);
  p->SetWidth(width);
  p->SetAlignment(alignment);
  return p;
}

TEST_F(StatusBarTest, PanelsMadeBeforeTheWindowReachItAndFollowChanges) {
  auto* bar = new TStatusBar(form);
  AddPanel(*bar, "3 files", 50);
  AddPanel(*bar, "00:01:30", 100, taRightJustify);
  AddPanel(*bar, "ready", 80, taCenter);
  bar->SetParent(form);
  EXPECT_EQ(Parts(*bar), (std::vector<int32_t>{50, 150, -1})) << "the last panel takes the rest";
  EXPECT_EQ(PartText(*bar, 0), "3 files");
  EXPECT_EQ(PartText(*bar, 1), "\t\t00:01:30");
  EXPECT_EQ(PartText(*bar, 2), "\tready");

  bar->Panels()->Items(0)->SetWidth(70);
  EXPECT_EQ(Parts(*bar), (std::vector<int32_t>{70, 170, -1}));
  bar->Panels()->Items(2)->SetText("busy");
  EXPECT_EQ(PartText(*bar, 2), "\tbusy");
  bar->Panels()->Delete(0);
  EXPECT_EQ(Parts(*bar), (std::vector<int32_t>{100, -1}));
  EXPECT_EQ(PartText(*bar, 0), "\t\t00:01:30");
  EXPECT_THROW(bar->Panels()->Items(2), EStringListError);
}

TEST_F(StatusBarTest, TheBarSitsAlongTheBottomOfItsForm) {
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
  EXPECT_EQ(bar->Width(), form->ClientWidth());
  form->SetClientWidth(300);
  EXPECT_EQ(bar->Width(), 300);
}

TEST_F(StatusBarTest, SimpleLineReplacesThePanelsAndBack) {
  auto* bar = new TStatusBar(form);
  AddPanel(*bar, "panel", 50);
  bar->SetSimpleText("Converting...");
  bar->SetSimplePanel(true);
  bar->SetParent(form);
  EXPECT_EQ(win::SendMessage(bar->Handle(), win::SB_ISSIMPLE, 0, 0), 1);
  EXPECT_EQ(PartText(*bar, win::SB_SIMPLEID), "Converting...");
  bar->SetSimpleText("Done");
  EXPECT_EQ(PartText(*bar, win::SB_SIMPLEID), "Done");
  bar->SetSimplePanel(false);
  EXPECT_EQ(win::SendMessage(bar->Handle(), win::SB_ISSIMPLE, 0, 0), 0);
  EXPECT_EQ(PartText(*bar, 0), "panel");
}

TEST_F(StatusBarTest, OwnerDrawnPanelsArePaintedInTheirRectangles) {
  auto* bar = new TStatusBar(form);
  AddPanel(*bar, "text", 60);
  TStatusPanel* drawnPanel = AddPanel(*bar, "", 80);
  drawnPanel->SetStyle(psOwnerDraw);
  std::vector<TRect> rects;
  bar->OnDrawPanel = [&](TStatusBar* sender, TStatusPanel* panel, const TRect& rect) {
    EXPECT_EQ(panel, drawnPanel);
    rects.push_back(rect);
    sender->Canvas()->Brush()->SetColor(clRed);
    sender->Canvas()->FillRect(rect);
  };
  bar->SetParent(form);
  script::Pump();
  ASSERT_FALSE(rects.empty());
  win::RECT expected;
  win::SendMessage(bar->Handle(), win::SB_GETRECT, 1, reinterpret_cast<LPARAM>(&expected));
  EXPECT_GE(rects.back().left, expected.left);
  EXPECT_LE(rects.back().right, expected.right);
  const TRect& r = rects.back();
  EXPECT_EQ(ControlPixel(*bar, (r.left + r.right) / 2, (r.top + r.bottom) / 2), ColorToRGB(clRed));
  EXPECT_NE(ControlPixel(*bar, 30, (r.top + r.bottom) / 2), ColorToRGB(clRed)) << "the text panel is not owner-drawn";
}

TEST_F(StatusBarTest, SizeGripIsAWindowStyleThatCanBeTurnedOff) {
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  EXPECT_NE(WindowStyle(*bar) & win::SBARS_SIZEGRIP, 0u);
  bar->SetSizeGrip(false);
  EXPECT_EQ(WindowStyle(*bar) & win::SBARS_SIZEGRIP, 0u);
}

using ProgressBarTest = FormTest;

LRESULT NativePos(TProgressBar& bar) { return win::SendMessage(bar.Handle(), win::PBM_GETPOS, 0, 0); }

TEST_F(ProgressBarTest, RangeAndPositionSetBeforeTheWindowReachIt) {
  auto* bar = new TProgressBar(form);
  bar->SetMax(200);
  bar->SetMin(20);
  bar->SetPosition(500);
  EXPECT_EQ(bar->Position(), 200) << "kept within the range";
  bar->SetStep(30);
  bar->SetParent(form);
  EXPECT_EQ(NativePos(*bar), 200);
  EXPECT_EQ(win::SendMessage(bar->Handle(), win::PBM_GETRANGE, 1, 0), 20);
  EXPECT_EQ(win::SendMessage(bar->Handle(), win::PBM_GETRANGE, 0, 0), 200);
  bar->SetPosition(5);
  EXPECT_EQ(bar->Position(), 20);
  EXPECT_THROW(bar->SetMin(201), EInvalidOperation);
  EXPECT_EQ(bar->Min(), 20) << "a refused range changes nothing";
}

TEST_F(ProgressBarTest, StepsMoveThePositionAsTheWindowDoes) {
  struct Case {
    const char* what;
    int position;
    std::function<void(TProgressBar&)> step;
    int expected;
  };
  const Case cases[] = {
      {"StepIt", 10, [](TProgressBar& b) { b.StepIt(); }, 40},
      {"StepIt past the end starts over", 90, [](TProgressBar& b) { b.StepIt(); }, 20},
      {"StepBy", 10, [](TProgressBar& b) { b.StepBy(25); }, 35},
      {"StepBy stops at the end", 90, [](TProgressBar& b) { b.StepBy(25); }, 100},
      {"StepBy back stops at the start", 10, [](TProgressBar& b) { b.StepBy(-25); }, 0},
  };
  for (const Case& c : cases) {
    auto* bar = new TProgressBar(form);
    bar->SetParent(form);
    bar->SetStep(30);
    bar->SetPosition(c.position);
    c.step(*bar);
    EXPECT_EQ(bar->Position(), c.expected) << c.what;
    // A new window keeps the position the window reached.
    bar->SetSmooth(true);
    EXPECT_EQ(NativePos(*bar), c.expected) << c.what << ", after a new window";
    bar->Free();
  }
}

TEST_F(ProgressBarTest, TheFilledShareShowsAlongTheBarsDirection) {
  auto* bar = new TProgressBar(form);
  bar->SetParent(form);
  bar->SetBounds(10, 10, 202, 22);
  bar->SetSmooth(true);
  bar->SetPosition(50);
  const win::COLORREF filled = ColorToRGB(clHighlight);
  EXPECT_EQ(ControlPixel(*bar, 20, 11), filled);
  EXPECT_EQ(ControlPixel(*bar, 98, 11), filled);
  EXPECT_NE(ControlPixel(*bar, 104, 11), filled) << "half of the bar";
  EXPECT_NE(ControlPixel(*bar, 190, 11), filled);

  bar->SetOrientation(pbVertical);
  bar->SetBounds(10, 10, 22, 202);
  EXPECT_EQ(ControlPixel(*bar, 11, 190), filled) << "fills from the bottom";
  EXPECT_NE(ControlPixel(*bar, 11, 20), filled);
}

}  // namespace
}  // namespace qelo::vcl::test
