// The check box: its click cycle, keys and accelerators, read-only boxes,
// the glyph each state shows from custom glyphs, a bound action's check
// mark, its size, the frame controller and form files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls_fixture.h"
#include "ct_radchk.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"
#include "win/controls/button.h"
#include "window_pixel.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;

const char* StateName(TCheckBoxState s) { return s == cbChecked ? "checked" : s == cbGrayed ? "grayed" : "unchecked"; }

class CheckBoxTest : public vcl::test::FormTest {
 protected:
  TCtCheckBox* NewBox(const std::string& caption = "Shutdown when done", int top = 20) {
    auto* box = new TCtCheckBox(form);
    box->SetParent(form);
    box->SetBounds(20, top, 200, 17);
    box->SetCaption(caption);
    box->OnClick = [this](TObject*) { ++clicks; };
    script::Pump();
    return box;
  }
  // A pixel of the box as the screen shows it.
  win::COLORREF Pixel(TCtCheckBox& box, int x, int y) {
    box.Repaint();
    script::Pump();
    return qelo::test::WindowPixel(form->Handle(), box.Left() + x, box.Top() + y);
  }
  int clicks = 0;
};

TEST_F(CheckBoxTest, ClicksCycleThroughTheStatesWithAndWithoutGrayed) {
  struct Case {
    bool allowGrayed;
    std::vector<TCheckBoxState> after;
  } cases[] = {
      {false, {cbChecked, cbUnchecked, cbChecked}},
      {true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
  };
  for (const Case& c : cases) {
    TCtCheckBox* box = NewBox();
    box->SetAllowGrayed(c.allowGrayed);
    clicks = 0;
    for (size_t i = 0; i < c.after.size(); ++i) {
      script::Click(*box);
      EXPECT_STREQ(StateName(box->State()), StateName(c.after[i])) << "grayed " << c.allowGrayed << " click " << i + 1;
    }
    EXPECT_EQ(clicks, static_cast<int>(c.after.size())) << "one OnClick per change";
    box->Free();
  }
}

TEST_F(CheckBoxTest, CodeChangesFireOnClickOncePerRealChange) {
  TCtCheckBox* box = NewBox();
  box->SetChecked(true);
  box->SetChecked(true);
  box->SetState(cbChecked);
  EXPECT_EQ(clicks, 1);
  box->SetState(cbGrayed);
  EXPECT_TRUE(!box->Checked());
  box->SetChecked(false);
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(box->Perform(win::BM_GETCHECK), win::BST_UNCHECKED);
  box->SetState(cbGrayed);
  EXPECT_EQ(box->Perform(win::BM_GETCHECK), win::BST_INDETERMINATE);
  box->SetState(cbChecked);
  EXPECT_EQ(box->Perform(win::BM_GETCHECK), win::BST_CHECKED);
}

TEST_F(CheckBoxTest, SpaceClicksOnItsOwnReleaseOnlyAndEscOrLeavingCancels) {
  TCtCheckBox* box = NewBox();
  auto* next = NewBox("Next", 60);
  script::Focus(*box);
  script::PressKey(win::VK_SPACE);
  EXPECT_TRUE(box->Checked());

  win::InjectKey(win::VK_SPACE, true);
  win::InjectKey(win::VK_ESCAPE, true);
  win::InjectKey(win::VK_ESCAPE, false);
  win::InjectKey(win::VK_SPACE, false);
  script::Pump();
  EXPECT_TRUE(box->Checked()) << "Esc between press and release cancels";

  win::InjectKey(win::VK_SPACE, true);
  win::InjectKey('A', true);
  win::InjectKey('A', false);
  script::Pump();
  EXPECT_TRUE(box->Checked()) << "another key's release does not end the press";
  EXPECT_TRUE(box->Pressed());
  win::InjectKey(win::VK_SPACE, false);
  script::Pump();
  EXPECT_FALSE(box->Checked()) << "the Space release does";
  EXPECT_FALSE(box->Pressed());

  win::InjectKey(win::VK_SPACE, true);
  script::Pump();
  script::Focus(*next);
  EXPECT_FALSE(box->Pressed()) << "leaving ends the press";
  win::InjectKey(win::VK_SPACE, false);
  script::Pump();
  EXPECT_FALSE(box->Checked());
  EXPECT_FALSE(next->Checked()) << "a release without its press clicks nothing";
}

TEST_F(CheckBoxTest, AcceleratorFocusesAndClicks) {
  TCtCheckBox* box = NewBox("&Shutdown when done");
  auto* other = NewBox("Other", 60);
  script::Focus(*other);
  EXPECT_NE(form->Perform(CM_DIALOGCHAR, 's'), 0);
  EXPECT_TRUE(box->Focused());
  EXPECT_TRUE(box->Checked());
}

TEST_F(CheckBoxTest, ReadOnlyIgnoresMouseKeysAndAcceleratorsButShowsItsColour) {
  TCtCheckBox* box = NewBox("&Locked");
  box->SetReadOnly(true);
  box->SetHotTrack(true);  // the check painter draws the read-only fill
  box->SetReadOnlyColor(clAqua);
  script::Click(*box);
  script::Focus(*box);
  script::PressKey(win::VK_SPACE);
  form->Perform(CM_DIALOGCHAR, 'l');
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 0);
  script::Focus(*NewBox("Elsewhere", 60));
  EXPECT_EQ(Pixel(*box, 6, 8), ColorToRGB(clAqua)) << "inside the glyph";
  box->SetChecked(true);
  EXPECT_TRUE(box->Checked()) << "the program still sets it";
}

TEST_F(CheckBoxTest, TabOnEnterMovesTheFocusOnAndKeepsTheEnterFromOnKeyPress) {
  TCtCheckBox* box = NewBox();
  auto* next = NewBox("Next", 60);
  std::u16string pressed;
  box->OnKeyPress = [&](TObject*, char16_t& key) { pressed += key; };
  script::Focus(*box);
  script::TypeText("\r");
  EXPECT_EQ(pressed, u"\r") << "without the option Enter reaches OnKeyPress";
  EXPECT_TRUE(box->Focused());

  pressed.clear();
  box->SetTabOnEnter(true);
  script::TypeText("\r");
  script::Pump();
  EXPECT_TRUE(pressed.empty()) << "the Enter that becomes a Tab";
  EXPECT_TRUE(next->Focused());
  EXPECT_FALSE(box->Checked());
}

TEST(CheckBoxGlyphs, ImageOfEachStateFromACustomList) {
  struct Case {
    TCheckBoxState state;
    bool enabled, pressed, hot, hotTrack;
    int count;
    int expected;
    const char* what;
  } cases[] = {
      {cbUnchecked, true, false, false, false, 9, 0, "unchecked"},
      {cbChecked, true, false, false, false, 9, 1, "checked"},
      {cbGrayed, true, false, false, false, 9, 2, "grayed"},
      {cbUnchecked, true, true, true, true, 12, 3, "pressed wins over hot"},
      {cbChecked, true, true, false, false, 9, 4, "checked pressed"},
      {cbGrayed, true, true, false, false, 9, 5, "grayed pressed"},
      {cbUnchecked, false, true, true, true, 12, 6, "disabled"},
      {cbChecked, false, false, false, false, 9, 7, "checked disabled"},
      {cbGrayed, false, false, false, false, 9, 8, "grayed disabled"},
      {cbUnchecked, true, false, true, true, 10, 9, "hot"},
      {cbUnchecked, true, false, true, false, 12, 0, "hot without HotTrack"},
      {cbUnchecked, true, false, true, true, 9, 0, "no hot image in a list of nine"},
      {cbChecked, true, false, true, true, 11, 10, "hot checked"},
      {cbChecked, true, false, true, true, 10, 1, "a list of ten has no image 10"},
      {cbGrayed, true, false, true, false, 12, 11, "hot grayed, HotTrack not asked"},
      {cbGrayed, true, false, true, true, 11, 2, "a list of eleven has no image 11"},
      {cbGrayed, true, false, true, true, 10, 2, "nor one of ten"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TCtCustomCheckBox::GlyphImageIndex(c.state, c.enabled, c.pressed, c.hot, c.hotTrack, c.count),
              c.expected)
        << c.what;
  }
  EXPECT_EQ(TCtCustomCheckBox::GlyphCellIndex(cbUnchecked, true, false), 0);
  EXPECT_EQ(TCtCustomCheckBox::GlyphCellIndex(cbGrayed, true, true), 5);
  EXPECT_EQ(TCtCustomCheckBox::GlyphCellIndex(cbChecked, false, true), 7);
}

// Glyphs of one colour each, so a pixel shows which one is drawn.
// (Not the transparent clOlive nor the window mask clLime.)
const TColor kCellColors[] = {clRed, clTeal, clBlue, clYellow, clFuchsia, clAqua, clMaroon, clGreen, clNavy};

TEST_F(CheckBoxTest, StripOfNineCellsGivesItsCellSizeAndTheCellOfTheState) {
  TBitmap strip(117, 13);
  for (int i = 0; i < 9; ++i) {
    strip.Canvas()->Brush()->SetColor(kCellColors[i]);
    strip.Canvas()->FillRect(Rect(i * 13, 0, i * 13 + 13, 13));
  }
  TCtCheckBox* box = NewBox();
  box->SetCustomGlyphs(&strip);
  EXPECT_TRUE(box->UseCustomGlyphs()) << "a strip turns custom glyphs on";
  EXPECT_EQ(box->GlyphWidth(), 13);
  EXPECT_EQ(box->GlyphHeight(), 13);
  EXPECT_EQ(Pixel(*box, 6, 8), ColorToRGB(clRed));
  box->SetChecked(true);
  EXPECT_EQ(Pixel(*box, 6, 8), ColorToRGB(clTeal));
  box->SetEnabled(false);
  EXPECT_EQ(Pixel(*box, 6, 8), ColorToRGB(clGreen));
  box->SetCustomGlyphs(nullptr);
  EXPECT_FALSE(box->UseCustomGlyphs()) << "an empty strip turns them off again";
}

TEST_F(CheckBoxTest, ImageListGlyphsTakeTheListsSizeAndMakeTheBoxTaller) {
  auto* images = new TImageList(form);
  images->SetSize(16, 16);
  for (TColor c : kCellColors) {
    TBitmap cell(16, 16);
    cell.Canvas()->Brush()->SetColor(c);
    cell.Canvas()->FillRect(Rect(0, 0, 16, 16));
    images->Add(&cell, nullptr);
  }
  TCtCheckBox* box = NewBox();
  const int plainHeight = box->Height();
  box->SetCustomGlyphImages(images);
  EXPECT_TRUE(box->UseCustomGlyphs());
  EXPECT_EQ(box->GlyphWidth(), 16);
  EXPECT_EQ(box->GlyphHeight(), 16);
  EXPECT_GT(box->Height(), plainHeight);
  EXPECT_GE(box->Height(), 18);
  box->SetState(cbGrayed);
  EXPECT_EQ(Pixel(*box, 8, 10), ColorToRGB(clBlue));

  images->Free();
  EXPECT_EQ(box->CustomGlyphImages(), nullptr) << "a freed list is let go";
  EXPECT_FALSE(box->UseCustomGlyphs());
  EXPECT_EQ(box->GlyphWidth(), 13);
}

TEST_F(CheckBoxTest, BoundActionsCheckedFollowsTheBoxAndTheBoxFollowsTheAction) {
  auto* action = new TAction(form);
  action->SetCaption("Shutdown when done");
  TCtCheckBox* box = NewBox();
  TCtCheckBox* twin = NewBox("", 60);
  box->SetAction(action);
  twin->SetAction(action);
  int executed = 0;
  action->OnExecute = [&](TObject*) { ++executed; };
  box->OnClick = nullptr;

  script::Click(*box);
  EXPECT_TRUE(box->Checked());
  EXPECT_TRUE(action->Checked()) << "the box's click checks the action";
  EXPECT_TRUE(twin->Checked()) << "and every other box of the action";
  EXPECT_EQ(executed, 1);

  int twinClicks = 0;
  twin->OnClick = [&](TObject*) { ++twinClicks; };
  action->SetChecked(false);
  EXPECT_FALSE(box->Checked());
  EXPECT_FALSE(twin->Checked());
  EXPECT_EQ(twinClicks, 0) << "a state set by the action fires no OnClick";
  EXPECT_EQ(executed, 1);
  EXPECT_FALSE(IsStoredProp(*box, "Checked")) << "the action supplies it";
  box->SetAction(nullptr);
  box->SetChecked(true);
  EXPECT_TRUE(IsStoredProp(*box, "Checked"));
}

TEST_F(CheckBoxTest, SizeFollowsTheCaptionAndTheEdgeAwayFromItStays) {
  TCtCheckBox* box = NewBox("Short");
  const int shortWidth = box->Width();
  box->SetCaption("A much longer caption than before");
  EXPECT_GT(box->Width(), shortWidth);
  EXPECT_EQ(box->Left(), 20) << "glyph on the left: the left edge stays";
  EXPECT_EQ(box->Height(), std::max(13 + 2, box->Height()));

  box->SetAlignment(taLeftJustify);  // the caption left of the glyph
  const int right = box->Left() + box->Width();
  box->SetCaption("Short");
  EXPECT_EQ(box->Left() + box->Width(), right) << "glyph on the right: the right edge stays";
  EXPECT_EQ(box->GlyphRect().right, box->Width());

  box->SetAutoSize(false);
  box->SetCaption("Anything at all, however long it may be");
  EXPECT_EQ(box->Left() + box->Width(), right);
}

TEST_F(CheckBoxTest, ControlsAlignmentIsLeftOnlyForACaptionRightOfTheGlyphReadRightToLeft) {
  struct Case {
    TBiDiMode mode;
    TAlignment alignment;
    TAlignment expected;
  } cases[] = {
      {bdLeftToRight, taRightJustify, taRightJustify},
      {bdLeftToRight, taLeftJustify, taRightJustify},
      {bdRightToLeft, taRightJustify, taLeftJustify},
      {bdRightToLeft, taLeftJustify, taRightJustify},
  };
  TCtCheckBox* box = NewBox();
  for (const Case& c : cases) {
    box->SetBiDiMode(c.mode);
    box->SetAlignment(c.alignment);
    EXPECT_EQ(static_cast<const TControl*>(box)->GetControlsAlignment(), c.expected)
        << "bidi " << c.mode << ", alignment " << c.alignment;
  }
}

TEST_F(CheckBoxTest, ControllerThatShowsFramesGivesItsColoursAndHotTracking) {
  auto* controller = new TCtFrameController(form);
  controller->SetColor(clYellow);
  controller->SetFrameColor(clNavy);
  TCtCheckBox* box = NewBox();
  box->SetFrameController(controller);
  EXPECT_FALSE(box->HotTrack()) << "nothing while the controller shows no frames";
  EXPECT_EQ(box->FillColor(), clWindow);
  controller->SetFrameVisible(true);
  EXPECT_TRUE(box->HotTrack());
  EXPECT_EQ(box->HotTrackStyle(), htsInterior);
  controller->SetFrameHotTrack(true);
  controller->SetFrameHotColor(clRed);
  EXPECT_EQ(box->FillColor(), clYellow);
  EXPECT_EQ(box->FrameColor(), clNavy);
  EXPECT_EQ(box->HotTrackStyle(), htsFrame);
  EXPECT_EQ(box->HotTrackColor(), clRed);
  controller->Free();
  EXPECT_EQ(box->FrameController(), nullptr);
}

TEST(CheckBoxForm, FormFileReadsStatesAndOldProperties) {
  Application()->Initialize();
  RegisterControlClasses();
  RegisterCtRadChkClasses();
  auto* f = new TForm(nullptr);
  ReadComponentText(*f,
                    "object frmChecks: TForm\n"
                    "  object chkAutoShutdown: TCtCheckBox\n"
                    "    Caption = 'Shut Down when done'\n"
                    "    Flat = True\n"
                    "    State = cbGrayed\n"
                    "    AllowGrayed = True\n"
                    "  end\n"
                    "end\n",
                    "checks.form");
  auto& box = script::Find<TCtCheckBox>(*f, "chkAutoShutdown");
  EXPECT_TRUE(box.HotTrack());
  EXPECT_EQ(box.State(), cbGrayed);
  EXPECT_TRUE(box.AllowGrayed());
  EXPECT_EQ(box.Color(), f->Color()) << "ParentColor";
  f->Free();
}

}  // namespace
}  // namespace qelo::ct::test
