// Actions: controls that follow an action's caption and enabled state,
// clicks that run it, links that let go when either side is freed, and
// actions named in form files.
#include "controls_fixture.h"
#include "vcl/form_reader.h"

namespace qelo::vcl::test {
namespace {

using ActionTest = FormTest;

TEST_F(ActionTest, BoundControlTakesTheActionsValuesAndFollowsTheirChanges) {
  auto* action = new TAction(form);
  action->SetCaption("&Save");
  action->SetEnabled(false);
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetCaption("Old");
  button->SetAction(action);
  EXPECT_EQ(button->Action(), action);
  EXPECT_EQ(button->Caption(), "&Save") << "binding in code takes every value";
  EXPECT_FALSE(button->Enabled());

  action->SetCaption("Save &As");
  action->SetEnabled(true);
  EXPECT_EQ(button->Caption(), "Save &As");
  EXPECT_TRUE(button->Enabled());
}

TEST_F(ActionTest, AValueChangedOnTheControlStopsFollowingUntilTheActionChangesAgain) {
  auto* action = new TAction(form);
  action->SetCaption("One");
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetAction(action);
  ASSERT_TRUE(label->ActionLink()->IsCaptionLinked());

  label->SetCaption("Mine");
  EXPECT_FALSE(label->ActionLink()->IsCaptionLinked());
  // The link offers the new caption only to clients that still show the
  // old one, but the change notification afterwards brings the control
  // back in step with its action.
  action->SetCaption("Two");
  EXPECT_EQ(label->Caption(), "Two");
  EXPECT_TRUE(label->ActionLink()->IsCaptionLinked());
}

TEST_F(ActionTest, ClickRunsTheActionOnlyWithoutAnOnClickAndOnlyWhileEnabled) {
  auto* action = new TAction(form);
  int executed = 0;
  TObject* executedBy = nullptr;
  action->OnExecute = [&](TObject* sender) {
    ++executed;
    executedBy = sender;
  };
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetAction(action);

  script::Click(*button);
  EXPECT_EQ(executed, 1);
  EXPECT_EQ(executedBy, action);

  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  script::Click(*button);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(executed, 1) << "an own OnClick replaces the action's execution";

  button->OnClick = nullptr;
  action->SetEnabled(false);
  button->Click();
  EXPECT_EQ(executed, 1) << "a disabled action does not run";
  EXPECT_FALSE(action->Execute());
}

TEST_F(ActionTest, FreeingEitherSideCutsTheLink) {
  auto* action = new TAction(form);
  auto* first = new TLabel(form);
  first->SetParent(form);
  first->SetAction(action);
  auto* second = new TLabel(form);
  second->SetParent(form);
  second->SetAction(action);

  first->Free();
  action->SetCaption("After");  // must not reach the freed label
  EXPECT_EQ(second->Caption(), "After");

  action->Free();
  EXPECT_EQ(second->Action(), nullptr);
  EXPECT_EQ(second->ActionLink(), nullptr);
  EXPECT_FALSE(second->ControlStyle().Contains(csActionClient));
  second->Click();  // nothing to run, and nothing freed is reached
}

TEST_F(ActionTest, UnbindingKeepsTheValuesAndStopsFollowing) {
  auto* action = new TAction(form);
  action->SetCaption("Bound");
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetAction(action);
  label->SetAction(nullptr);
  action->SetCaption("Later");
  EXPECT_EQ(label->Caption(), "Bound");
  EXPECT_EQ(label->ActionLink(), nullptr);
}

TEST_F(ActionTest, ControlCopiesItsCaptionAndEnabledStateIntoAnAction) {
  auto* label = new TLabel(form);
  label->SetCaption("From label");
  label->SetEnabled(false);
  auto* action = new TAction(form);
  action->Assign(label);
  EXPECT_EQ(action->Caption(), "From label");
  EXPECT_FALSE(action->Enabled());
  auto* other = new TAction(form);
  EXPECT_THROW(label->Assign(other), EConvertError) << "a control takes nothing from an action";
}

TEST(ActionFormTest, FormFileBindsByNameAndKeepsACaptionTheFormGives) {
  Application()->Initialize();
  RegisterControlClasses();
  auto* f = new TForm(nullptr);
  ReadComponentText(*f,
                    "object frmActions: TForm\n"
                    "  object actOpen: TAction\n"
                    "    Caption = '&Open'\n"
                    "    Enabled = False\n"
                    "  end\n"
                    "  object lblPlain: TLabel\n"
                    "    Action = actOpen\n"
                    "  end\n"
                    "  object lblOwn: TLabel\n"
                    "    Action = actOpen\n"
                    "    Caption = 'Own words'\n"
                    "  end\n"
                    "end\n",
                    "actions.form");
  auto& action = script::Find<TAction>(*f, "actOpen");
  auto& plain = script::Find<TLabel>(*f, "lblPlain");
  auto& own = script::Find<TLabel>(*f, "lblOwn");
  EXPECT_EQ(plain.Action(), &action);
  EXPECT_EQ(plain.Caption(), "&Open") << "a control without a caption of its own takes the action's";
  EXPECT_EQ(own.Caption(), "Own words");
  EXPECT_FALSE(plain.Enabled());
  EXPECT_FALSE(own.Enabled());
  f->Free();
}

}  // namespace
}  // namespace qelo::vcl::test
