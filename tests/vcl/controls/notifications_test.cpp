// Colour, font and hint switches that children follow, and the mouse
// entering and leaving windowless controls.
#include "controls_fixture.h"

namespace qelo::vcl::test {
namespace {

using NotificationTest = FormTest;

TEST_F(NotificationTest, ParentColourReachesOnlyChildrenThatFollowIt) {
  auto* outer = new TPanel(form);
  outer->SetParent(form);
  auto* follower = new TLabel(form);
  follower->SetParent(outer);
  follower->SetParentColor(true);
  auto* own = new TLabel(form);
  own->SetParent(outer);
  own->SetColor(clRed);
  auto* innerPanel = new TPanel(form);
  innerPanel->SetParent(outer);
  innerPanel->SetParentColor(true);
  auto* grandChild = new TLabel(form);
  grandChild->SetParent(innerPanel);
  grandChild->SetParentColor(true);

  outer->SetColor(clYellow);

  EXPECT_EQ(follower->Color(), clYellow);
  EXPECT_TRUE(follower->ParentColor()) << "following the parent keeps ParentColor";
  EXPECT_EQ(own->Color(), clRed);
  EXPECT_FALSE(own->ParentColor());
  EXPECT_EQ(innerPanel->Color(), clYellow);
  EXPECT_EQ(grandChild->Color(), clYellow) << "the change travels down through a following panel";

  // A child that sets its own colour stops following.
  follower->SetColor(clLime);
  outer->SetColor(clAqua);
  EXPECT_EQ(follower->Color(), clLime);
  EXPECT_FALSE(follower->ParentColor());
  // Following again takes the parent's colour at once.
  follower->SetParentColor(true);
  EXPECT_EQ(follower->Color(), clAqua);
}

TEST_F(NotificationTest, ParentFontReachesFollowersAndAnOwnFontStops) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* follower = new TLabel(form);
  follower->SetParent(panel);
  auto* own = new TLabel(form);
  own->SetParent(panel);
  own->Font()->SetSize(20);
  EXPECT_FALSE(own->ParentFont()) << "changing a control's own font ends ParentFont";

  form->Font()->SetName("Verdana");
  form->Font()->SetColor(clMaroon);

  EXPECT_EQ(panel->Font()->Name(), "Verdana");
  EXPECT_EQ(follower->Font()->Name(), "Verdana");
  EXPECT_EQ(follower->Font()->Color(), clMaroon);
  EXPECT_TRUE(follower->ParentFont()) << "a font copied from the parent keeps ParentFont";
  EXPECT_NE(own->Font()->Name(), "Verdana");
  EXPECT_EQ(own->Font()->Size(), 20);
}

TEST_F(NotificationTest, ControlPlacedOnParentTakesItsColourFontAndHintSwitch) {
  form->SetColor(clTeal);
  form->Font()->SetColor(clPurple);
  form->SetShowHint(true);
  auto* label = new TLabel(form);
  label->SetParentColor(true);
  label->SetParent(form);
  EXPECT_EQ(label->Color(), clTeal);
  EXPECT_EQ(label->Font()->Color(), clPurple);
  EXPECT_TRUE(label->ShowHint());
}

TEST_F(NotificationTest, DoubleBufferingFollowsTheParentUntilSetOnItsOwn) {
  auto* outer = new TPanel(form);
  outer->SetParent(form);
  auto* follower = new TPanel(form);
  follower->SetParent(outer);
  auto* own = new TPanel(form);
  own->SetParent(outer);
  own->SetDoubleBuffered(false);
  own->SetDoubleBuffered(true);
  own->SetDoubleBuffered(false);
  outer->SetDoubleBuffered(true);
  EXPECT_TRUE(follower->DoubleBuffered());
  EXPECT_TRUE(follower->ParentDoubleBuffered());
  EXPECT_FALSE(own->DoubleBuffered());
  EXPECT_FALSE(own->ParentDoubleBuffered());
}

TEST_F(NotificationTest, CaptionShowsTheNameUntilItIsChanged) {
  auto* panel = new TPanel(form);
  panel->SetName("pnlFirst");
  EXPECT_EQ(panel->Caption(), "pnlFirst");
  panel->SetName("pnlSecond");
  EXPECT_EQ(panel->Caption(), "pnlSecond");
  panel->SetCaption("Own caption");
  panel->SetName("pnlThird");
  EXPECT_EQ(panel->Caption(), "Own caption");
  auto* plain = new TPanel(form);
  TControlStyle style = plain->ControlStyle();
  plain->SetControlStyle(style.Exclude(csSetCaption));
  plain->SetName("pnlPlain");
  EXPECT_EQ(plain->Caption(), "");
}

// Windowless controls get CM_MOUSEENTER and CM_MOUSELEAVE from their
// parent as the pointer moves over them, to a sibling and away.
TEST_F(NotificationTest, MouseEnterAndLeaveOnWindowlessControls) {
  Journal journal;
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 300, 200);
  auto track = [&](TControl* c) {
    c->OnMouseEnter = [&journal](TObject* s) { journal.Add("enter " + static_cast<TControl*>(s)->Name()); };
    c->OnMouseLeave = [&journal](TObject* s) { journal.Add("leave " + static_cast<TControl*>(s)->Name()); };
  };
  auto* a = new TLabel(form);
  a->SetName("a");
  a->SetParent(panel);
  a->SetAutoSize(false);
  a->SetBounds(10, 10, 50, 20);
  auto* b = new TLabel(form);
  b->SetName("b");
  b->SetParent(panel);
  b->SetAutoSize(false);
  b->SetBounds(100, 10, 50, 20);
  panel->SetName("panel");
  track(a);
  track(b);
  track(panel);

  script::MoveMouse(*panel, Point(200, 150));
  script::MoveMouse(*panel, Point(20, 15));
  EXPECT_TRUE(a->MouseInControl());
  script::MoveMouse(*panel, Point(30, 18));  // still over a: no new enter
  script::MoveMouse(*panel, Point(110, 15));
  script::MoveMouse(*form, Point(350, 250));  // off the panel onto the form

  const std::vector<std::string> expected = {"enter panel", "leave panel", "enter a",
                                             "leave a",     "enter b",     "leave b"};
  EXPECT_EQ(journal.lines, expected);
  EXPECT_FALSE(a->MouseInControl());
  EXPECT_FALSE(b->MouseInControl());
}

TEST_F(NotificationTest, HiddenOrDisabledWindowlessControlsAreNotHit) {
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 50, 20);
  EXPECT_EQ(form->ControlAtPos(Point(20, 20)), label);
  EXPECT_EQ(form->ControlAtPos(Point(60, 20)), nullptr) << "the right edge is outside";
  label->SetEnabled(false);
  EXPECT_EQ(form->ControlAtPos(Point(20, 20)), nullptr);
  EXPECT_EQ(form->ControlAtPos(Point(20, 20), true), label);
  label->SetEnabled(true);
  label->SetVisible(false);
  EXPECT_EQ(form->ControlAtPos(Point(20, 20)), nullptr);
}

}  // namespace
}  // namespace qelo::vcl::test
