// Check boxes: the state kept before the window exists and pushed to it,
// clicks of the user and of the program becoming OnClick, and the group box
// as a framed parent.
#include "stdctrls_fixture.h"
#include "vcl/controls/checkbox.h"
#include "win/controls/button.h"

namespace qelo::vcl::test {
namespace {

using CheckBoxTest = FormTest;

LRESULT NativeCheck(TCheckBox& box) { return win::SendMessage(box.Handle(), win::BM_GETCHECK, 0, 0); }

TCheckBox* MakeCheckBox(TForm* form, int& clicks) {
  auto* box = new TCheckBox(form);
  box->SetCaption("Shut down");
  box->SetBounds(10, 10, 120, 20);
  box->OnClick = [&clicks](TObject*) { ++clicks; };
  return box;
}

TEST_F(CheckBoxTest, StateSetBeforeTheWindowReachesItAndLaterChangesFollow) {
  int clicks = 0;
  TCheckBox* box = MakeCheckBox(form, clicks);
  box->SetAllowGrayed(true);
  box->SetState(cbGrayed);
  EXPECT_FALSE(box->HandleAllocated());
  box->SetParent(form);
  EXPECT_EQ(NativeCheck(*box), win::BST_INDETERMINATE);
  box->SetChecked(true);
  EXPECT_EQ(NativeCheck(*box), win::BST_CHECKED);
  box->SetChecked(false);
  EXPECT_EQ(NativeCheck(*box), win::BST_UNCHECKED);
  EXPECT_EQ(clicks, 3) << "every real change by the program fires OnClick";
  box->SetChecked(false);
  EXPECT_EQ(clicks, 3) << "an unchanged state fires nothing";

  // A window made again keeps the state.
  box->SetChecked(true);
  box->RecreateWnd();
  EXPECT_EQ(NativeCheck(*box), win::BST_CHECKED);
}

TEST_F(CheckBoxTest, UserClicksCycleThroughTheStatesTheBoxAllows) {
  struct Case {
    bool allowGrayed;
    std::vector<TCheckBoxState> afterEachClick;
  };
  const Case cases[] = {
      {false, {cbChecked, cbUnchecked, cbChecked}},
      {true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
  };
  for (const Case& c : cases) {
    int clicks = 0;
    TCheckBox* box = MakeCheckBox(form, clicks);
    box->SetParent(form);
    box->SetAllowGrayed(c.allowGrayed);
    int n = 0;
    for (TCheckBoxState expected : c.afterEachClick) {
      script::Click(*box);
      ++n;
      EXPECT_EQ(box->State(), expected) << "allowGrayed " << c.allowGrayed << " click " << n;
      EXPECT_EQ(NativeCheck(*box), static_cast<LRESULT>(expected));
    }
    EXPECT_EQ(clicks, n) << "one OnClick per click";
    box->Free();
  }
}

TEST_F(CheckBoxTest, SpaceBarTogglesTheFocusedBox) {
  int clicks = 0;
  TCheckBox* box = MakeCheckBox(form, clicks);
  box->SetParent(form);
  script::Focus(*box);
  script::PressKey(win::VK_SPACE);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(clicks, 1);
}

TEST_F(CheckBoxTest, AlignmentChoosesTheCaptionSideOfTheWindow) {
  int clicks = 0;
  TCheckBox* box = MakeCheckBox(form, clicks);
  box->SetParent(form);
  EXPECT_EQ(WindowStyle(*box) & win::BS_LEFTTEXT, 0u) << "the caption is right of the box by default";
  box->SetAlignment(taLeftJustify);
  EXPECT_NE(WindowStyle(*box) & win::BS_LEFTTEXT, 0u);
  EXPECT_EQ(clicks, 0);
}

TEST_F(CheckBoxTest, TheBoxShowsOnItsOwnColour) {
  int clicks = 0;
  TCheckBox* box = MakeCheckBox(form, clicks);
  box->SetParent(form);
  box->SetColor(clYellow);
  box->Invalidate();
  EXPECT_EQ(ControlPixel(*box, RectWidth(box->ClientRect()) - 2, 2), ColorToRGB(clYellow));
}

using GroupBoxTest = FormTest;

TEST_F(GroupBoxTest, ChildrenAlignBelowTheCaptionInsideTheFrame) {
  auto* group = new TGroupBox(form);
  group->SetParent(form);
  group->SetBounds(10, 10, 200, 120);
  group->SetCaption("Video");
  auto* inner = new TPanel(form);
  inner->SetParent(group);
  inner->SetAlign(alClient);
  EXPECT_GT(inner->Top(), 2) << "below the caption";
  EXPECT_EQ(inner->Left(), 2);
  EXPECT_EQ(inner->Width(), 196);
  EXPECT_EQ(inner->Top() + inner->Height(), 118);

  // A larger font moves the children down.
  const int top = inner->Top();
  group->Font()->SetSize(20);
  EXPECT_GT(inner->Top(), top);
}

TEST_F(GroupBoxTest, FrameLineHasAGapUnderTheCaptionOnly) {
  auto* group = new TGroupBox(form);
  group->SetParent(form);
  group->SetBounds(10, 10, 200, 100);
  group->SetColor(clBtnFace);
  const TRect client = group->ClientRect();
  // Find the etched line's row along the left edge.
  int lineY = -1;
  for (int y = 0; y < 20 && lineY < 0; ++y)
    if (ControlPixel(*group, 0, y) == win::GetSysColor(win::COLOR_BTNSHADOW)) lineY = y;
  ASSERT_GE(lineY, 0) << "an etched frame on the left edge";
  EXPECT_EQ(ControlPixel(*group, 14, lineY), win::GetSysColor(win::COLOR_BTNSHADOW)) << "no caption, no gap";

  group->SetCaption("WWWW");
  EXPECT_EQ(ControlPixel(*group, 4, lineY), win::GetSysColor(win::COLOR_BTNSHADOW)) << "the line before the caption";
  EXPECT_NE(ControlPixel(*group, 14, lineY), win::GetSysColor(win::COLOR_BTNSHADOW)) << "the caption's gap";
  EXPECT_EQ(ControlPixel(*group, client.right - 4, lineY), win::GetSysColor(win::COLOR_BTNSHADOW));
}

TEST_F(GroupBoxTest, AcceleratorFocusesTheFirstControlInside) {
  auto* group = new TGroupBox(form);
  group->SetParent(form);
  group->SetCaption("&Audio");
  int clicks = 0;
  TCheckBox* first = MakeCheckBox(form, clicks);
  first->SetParent(group);
  auto* outside = new TButton(form);
  outside->SetParent(form);
  outside->SetTop(150);
  script::Focus(*outside);
  // Alt+A reaches the form as a dialog character.
  EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'a', static_cast<LPARAM>(TShiftState{ssAlt}.Mask())), 1);
  script::Pump();
  EXPECT_TRUE(first->Focused());
  EXPECT_FALSE(first->Checked()) << "the accelerator of the group only moves the focus";
}

}  // namespace
}  // namespace qelo::vcl::test
