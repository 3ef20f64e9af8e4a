// Modal runs, closing, dialog keys, message boxes answered by a script,
// exceptions of event handlers and timers.
#include <thread>

#include "controls_fixture.h"
#include "vcl/controls/edit.h"
#include "vcl/controls/msgbox.h"
#include "vcl/controls/timer.h"

namespace qelo::vcl::test {
namespace {

// A dialog with OK (default) and Cancel buttons, freed with the test.
struct Dialog {
  Dialog() {
    form = new TForm(nullptr);
    form->SetName("dlgTest");
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetClientWidth(200);
    form->SetClientHeight(80);
    ok = AddButton("btnOk", "OK", mrOk, 10);
    ok->SetDefault(true);
    cancel = AddButton("btnCancel", "Cancel", mrCancel, 100);
    cancel->SetCancel(true);
  }
  ~Dialog() { form->Free(); }
  TButton* AddButton(const char* name, const char* caption, TModalResult result, int left) {
    auto* b = new TButton(form);
    b->SetName(name);
    b->SetParent(form);
    b->SetCaption(caption);
    b->SetModalResult(result);
    b->SetBounds(left, 40, 75, 25);
    return b;
  }
  TForm* form;
  TButton* ok;
  TButton* cancel;
};

class ModalTest : public FormTest {
 protected:
  script::ModalScript modal;
};

TEST_F(ModalTest, ButtonsModalResultEndsTheRunAndTheFormHides) {
  Dialog d;
  int clicks = 0;
  d.ok->OnClick = [&](TObject*) { ++clicks; };
  modal.Answer([&](TCustomForm&) { script::Click(*d.cancel); });
  modal.Answer([&](TCustomForm&) { script::Click(*d.ok); });
  EXPECT_EQ(d.form->ShowModal(), mrCancel);
  EXPECT_FALSE(d.form->Visible());
  EXPECT_FALSE(d.form->Showing());
  EXPECT_EQ(d.form->ShowModal(), mrOk) << "a form can run modally again";
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(modal.Unanswered(), 0);
  EXPECT_TRUE(win::IsWindowEnabled(form->WindowHandle())) << "the other forms are enabled again";
}

TEST_F(ModalTest, OtherFormsAreDisabledWhileTheRunLasts) {
  Dialog d;
  bool mainEnabled = true;
  modal.Answer([&](TCustomForm& f) {
    mainEnabled = win::IsWindowEnabled(form->WindowHandle()) != 0;
    f.SetModalResult(mrOk);
  });
  d.form->ShowModal();
  EXPECT_FALSE(mainEnabled);
}

TEST_F(ModalTest, NestedRunsEndInnermostFirst) {
  Dialog outer, inner;
  std::vector<std::string> order;
  outer.ok->OnClick = [&](TObject*) {
    order.push_back("inner " + std::to_string(inner.form->ShowModal()));
  };
  modal.Answer([&](TCustomForm&) { script::Click(*outer.ok); });  // outer: opens the inner run
  modal.Answer([&](TCustomForm& f) {
    EXPECT_EQ(&f, inner.form);
    EXPECT_EQ(Application()->ModalLevel(), 2);
    script::PressKey(win::VK_ESCAPE);  // the inner run's cancel button
  });
  const TModalResult outerResult = outer.form->ShowModal();
  order.push_back("outer " + std::to_string(outerResult));
  const std::vector<std::string> expected = {"inner 2", "outer 1"};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(Application()->ModalLevel(), 0);
}

TEST_F(ModalTest, FormEventsComeInTheirOrder) {
  std::vector<std::string> events;
  auto* f = new TForm(nullptr);
  f->OnShow = [&](TObject*) { events.push_back("show"); };
  f->OnActivate = [&](TObject*) { events.push_back("activate"); };
  f->OnCloseQuery = [&](TObject*, bool&) { events.push_back("closequery"); };
  f->OnClose = [&](TObject*, TCloseAction&) { events.push_back("close"); };
  f->OnHide = [&](TObject*) { events.push_back("hide"); };
  f->OnDestroy = [&](TObject*) { events.push_back("destroy"); };
  f->OnCreate = [&](TObject*) { events.push_back("create"); };
  f->DoCreate();
  f->DoCreate();  // OnCreate runs once only
  modal.Answer(mrOk);
  f->ShowModal();
  f->Free();
  const std::vector<std::string> expected = {"create", "show", "activate", "closequery", "close", "hide", "destroy"};
  EXPECT_EQ(events, expected);
}

TEST_F(ModalTest, VisibleFormCannotRunModally) {
  EXPECT_THROW(form->ShowModal(), EInvalidOperation);
}

TEST_F(ModalTest, CloseQueryCanRefuseAndOnCloseChoosesWhatHappens) {
  Dialog d;
  int asked = 0;
  d.form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked > 1; };
  bool stillOpen = false;
  modal.Answer([&](TCustomForm& f) {
    f.Close();  // refused when the run asks: it goes on
    Application()->Post([&] {
      stillOpen = f.Visible() && f.ModalResult() == mrNone;
      f.Close();  // agreed
    });
  });
  EXPECT_EQ(d.form->ShowModal(), mrCancel);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(asked, 2);

  // A modeless form: caHide hides, caNone keeps it, caFree frees it later.
  auto* modeless = new TForm(nullptr);
  TCloseAction choice = caNone;
  bool destroyed = false;
  modeless->OnClose = [&](TObject*, TCloseAction& action) { action = choice; };
  modeless->OnDestroy = [&](TObject*) { destroyed = true; };
  modeless->Show();
  modeless->Close();
  EXPECT_TRUE(modeless->Visible());
  choice = caHide;
  modeless->Close();
  EXPECT_FALSE(modeless->Visible());
  modeless->Show();
  choice = caFree;
  modeless->Close();
  EXPECT_FALSE(destroyed) << "freed only after the waiting messages";
  EXPECT_TRUE(script::PumpUntil([&] { return destroyed; }, 1000));
}

TEST_F(ModalTest, EnterClicksTheDefaultOrFocusedButtonAndEscapeTheCancelButton) {
  Dialog d;
  auto* panel = new TPanel(d.form);
  panel->SetParent(d.form);
  panel->SetBounds(0, 0, 200, 30);
  panel->SetTabStop(true);
  std::vector<std::string> clicked;
  d.ok->OnClick = [&](TObject*) { clicked.push_back("ok"); };
  d.cancel->OnClick = [&](TObject*) { clicked.push_back("cancel"); };
  modal.Answer([&](TCustomForm& f) {
    script::Focus(*panel);
    EXPECT_TRUE(d.ok->Active());
    script::PressKey(win::VK_RETURN);  // the default button
    f.SetModalResult(mrNone);
    script::Focus(*d.cancel);
    EXPECT_FALSE(d.ok->Active()) << "a focused button takes the default role";
    script::PressKey(win::VK_RETURN);  // the focused button
    f.SetModalResult(mrNone);
    script::Focus(*panel);
    script::PressKey(win::VK_ESCAPE);
  });
  EXPECT_EQ(d.form->ShowModal(), mrCancel);
  const std::vector<std::string> expected = {"ok", "cancel", "cancel"};
  EXPECT_EQ(clicked, expected);
}

// A control that gives up the focus (as a disabled one must) leaves it to
// the form itself; the buttons hear it, so Enter reaches the default one.
TEST_F(ModalTest, DefocusedControlLeavesTheFocusToTheFormAndTheDefaultButtonTakesEnter) {
  auto* ok = new TButton(form);
  ok->SetParent(form);
  ok->SetDefault(true);
  auto* other = new TButton(form);
  other->SetParent(form);
  other->SetLeft(100);
  int okClicks = 0, exits = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  other->OnExit = [&](TObject*) { ++exits; };
  script::Focus(*other);
  ASSERT_FALSE(ok->Active());
  form->DefocusControl(ok);  // holds neither the focus nor the active role: nothing happens
  EXPECT_TRUE(other->Focused());

  form->DefocusControl(other);
  EXPECT_EQ(win::GetFocus(), form->WindowHandle());
  EXPECT_EQ(form->ActiveControl(), nullptr);
  EXPECT_EQ(exits, 1);
  EXPECT_TRUE(ok->Active()) << "no push button holds the focus now";
  script::PressKey(win::VK_RETURN);
  EXPECT_EQ(okClicks, 1);
}

// Keys typed into an edit: Backspace and Ctrl+A work from the key alone
// (the display's text input brings no character for them); Enter that the
// default button takes, and a key a KeyDown handler clears, make no
// character; Alt with a letter reaches the accelerator.
TEST_F(ModalTest, KeyPressesMakeTheirCharactersUnlessTheFormTookThem) {
  auto* ok = new TButton(form);
  ok->SetParent(form);
  ok->SetDefault(true);
  auto* open = new TButton(form);
  open->SetParent(form);
  open->SetLeft(100);
  open->SetCaption("&Open");
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetTop(40);
  int okClicks = 0, openClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  open->OnClick = [&](TObject*) { ++openClicks; };
  std::u16string pressed;
  edit->OnKeyPress = [&](TObject*, char16_t& key) { pressed += key; };
  edit->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) {
    if (key == win::VK_BACK && edit->Text() == "keep") key = 0;
  };
  script::Focus(*edit);
  script::TypeText("clips");
  script::PressKey(win::VK_BACK);
  EXPECT_EQ(edit->Text(), "clip");
  script::PressKey('A', {ssCtrl});
  script::TypeText("keep");
  EXPECT_EQ(edit->Text(), "keep") << "Ctrl+A selected all, typing replaced it";
  script::PressKey(win::VK_BACK);
  EXPECT_EQ(edit->Text(), "keep") << "the key KeyDown cleared makes no character";
  pressed.clear();
  script::PressKey(win::VK_RETURN);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(pressed, u"") << "the default button took Enter";
  script::PressKey('O', {ssAlt});
  EXPECT_EQ(openClicks, 1);
  EXPECT_EQ(edit->Text(), "keep");
}

TEST_F(ModalTest, TabMovesTheFocusInTabOrderAndBack) {
  auto* a = new TPanel(form);
  auto* b = new TPanel(form);
  auto* c = new TPanel(form);
  for (TPanel* p : {a, b, c}) {
    p->SetParent(form);
    p->SetTabStop(true);
  }
  c->SetTabOrder(0);  // c, a, b
  std::vector<std::string> entered;
  a->SetName("a");
  b->SetName("b");
  c->SetName("c");
  for (TPanel* p : {a, b, c}) p->OnEnter = [&](TObject* s) { entered.push_back(static_cast<TComponent*>(s)->Name()); };
  script::Focus(*c);
  script::PressKey(win::VK_TAB);
  script::PressKey(win::VK_TAB);
  script::PressKey(win::VK_TAB);  // wraps round
  script::PressKey(win::VK_TAB, TShiftState{ssShift});
  const std::vector<std::string> expected = {"c", "a", "b", "c", "b"};
  EXPECT_EQ(entered, expected);
  EXPECT_EQ(form->ActiveControl(), b);
}

// Moving the focus between controls in different containers leaves the
// old containers innermost first and enters the new ones outermost first;
// a container holding both is neither left nor entered.
TEST_F(ModalTest, FocusChangesExitAndEnterTheContainersBetween) {
  auto* shared = new TPanel(form);
  shared->SetName("shared");
  shared->SetParent(form);
  auto* left = new TPanel(form);
  left->SetName("left");
  left->SetParent(shared);
  auto* right = new TPanel(form);
  right->SetName("right");
  right->SetParent(shared);
  auto* a = new TPanel(form);
  a->SetName("a");
  a->SetParent(left);
  auto* b = new TPanel(form);
  b->SetName("b");
  b->SetParent(right);
  std::vector<std::string> log;
  for (TWinControl* c : std::initializer_list<TWinControl*>{shared, left, right, a, b}) {
    c->OnEnter = [&log](TObject* s) { log.push_back("enter " + static_cast<TComponent*>(s)->Name()); };
    c->OnExit = [&log](TObject* s) { log.push_back("exit " + static_cast<TComponent*>(s)->Name()); };
  }
  script::Focus(*a);
  log.clear();
  script::Focus(*b);
  const std::vector<std::string> expected = {"exit a", "exit left", "enter right", "enter b"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(form->ActiveControl(), b);
  EXPECT_EQ(Screen()->ActiveControl(), b);
}

TEST_F(ModalTest, TypedCharactersReachTheControlThenAcceleratorsOfTheForm) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetTabStop(true);
  auto* target = new TPanel(form);
  target->SetParent(form);
  target->SetTabStop(true);
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetCaption("&Count");
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetCaption("&Name:");
  label->SetFocusControl(target);
  std::u16string typed;
  panel->OnKeyPress = [&](TObject*, char16_t& ch) {
    typed += ch;
    if (ch == u'x') ch = 0;  // the control keeps this one
  };
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  script::Focus(*panel);
  script::TypeText("x");
  EXPECT_EQ(clicks, 0);
  script::TypeText("C");
  EXPECT_EQ(clicks, 1) << "the button's accelerator, in any case";
  script::TypeText("n");
  EXPECT_EQ(form->ActiveControl(), target) << "a label's accelerator focuses its control";
  EXPECT_EQ(typed, u"xCn");
}

TEST_F(ModalTest, MessageBoxIsAnsweredFromTheScriptAndShowsItsTextAndButtons) {
  struct Case {
    UINT flags;
    TModalResult answer;
    int buttons;
  } cases[] = {
      {MB_OK, mrOk, 1},
      {MB_YESNO | win::MB_ICONQUESTION, mrNo, 2},
      {MB_YESNOCANCEL | MB_DEFBUTTON2, mrCancel, 3},
      {MB_ABORTRETRYIGNORE | MB_ICONSTOP, mrIgnore, 3},
  };
  for (const Case& c : cases) {
    int buttons = 0;
    modal.Answer([&](TCustomForm& f) {
      auto& box = dynamic_cast<TMessageForm&>(f);
      buttons = static_cast<int>(box.Buttons().size());
      script::Click(*box.ButtonFor(c.answer));
    });
    EXPECT_EQ(Application()->MessageBox("Do you want to cancel the conversion?", "Information", c.flags), c.answer);
    EXPECT_EQ(buttons, c.buttons);
  }
  ASSERT_EQ(modal.Seen().size(), 4u);
  EXPECT_EQ(modal.Seen()[0], "Information: Do you want to cancel the conversion?");
}

TEST_F(ModalTest, MessageBoxWithoutCancelCannotBeClosedAway) {
  bool stillOpen = false;
  modal.Answer([&](TCustomForm& f) {
    f.Close();  // no cancel button: the question stays
    Application()->Post([&] {
      stillOpen = f.Visible();
      script::PressKey(win::VK_RETURN);  // the default button, Yes
    });
  });
  EXPECT_EQ(Application()->MessageBox("Go on?", "", MB_YESNO), IDYES);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(modal.Seen().at(0), "Clipshift: Go on?") << "an empty title is the application's";
  // A scripted result answers through the box's own button.
  modal.Answer(mrNo);
  EXPECT_EQ(Application()->MessageBox("Go on?", "Information", MB_YESNO), IDNO);
  // Runs nobody answered end instead of hanging the script.
  EXPECT_EQ(Application()->MessageBox("Unexpected", "Information", MB_OK), IDOK);
  EXPECT_EQ(Application()->MessageBox("Unexpected", "Information", MB_YESNO), IDNO);
  EXPECT_EQ(modal.Unanswered(), 2);
}

TEST_F(ModalTest, ExceptionsOfEventHandlersReachHandleException) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetName("pnlFailing");
  panel->SetBounds(0, 0, 100, 100);
  panel->OnClick = [](TObject*) { throw EConvertError("'abc' is not a valid integer value"); };
  std::vector<std::string> reported;
  Application()->OnException = [&](TObject* sender, const std::exception& e) {
    reported.push_back(static_cast<TComponent*>(sender)->Name() + ": " + e.what());
  };
  script::Click(*panel);
  script::Click(*panel);
  Application()->OnException = nullptr;
  ASSERT_EQ(reported.size(), 2u) << "the loop goes on after the first";
  EXPECT_EQ(reported[0], "pnlFailing: 'abc' is not a valid integer value");

  // Without a handler the error is shown in a message box.
  script::Click(*panel);
  ASSERT_EQ(modal.Seen().size(), 1u);
  EXPECT_EQ(modal.Seen()[0], "Clipshift: 'abc' is not a valid integer value.");
}

TEST_F(ModalTest, TimerFiresOnTheGuiThreadWhileEnabled) {
  auto* timer = new TTimer(form);
  timer->SetInterval(10);
  std::vector<std::thread::id> threads;
  timer->SetOnTimer([&](TObject*) {
    threads.push_back(std::this_thread::get_id());
    if (threads.size() == 3) timer->SetEnabled(false);
  });
  ASSERT_TRUE(script::PumpUntil([&] { return threads.size() >= 3; }, 2000));
  for (auto id : threads) EXPECT_EQ(id, std::this_thread::get_id());
  script::PumpUntil([] { return false; }, 60);
  EXPECT_EQ(threads.size(), 3u) << "a disabled timer stays quiet";
  EXPECT_THROW(timer->SetInterval(-1), EInvalidOperation);
  // A handler's exception goes to the application and the timer goes on.
  int fired = 0;
  Application()->OnException = [&](TObject*, const std::exception&) { ++fired; };
  timer->SetOnTimer([](TObject*) { throw Exception("tick failed"); });
  timer->SetEnabled(true);
  EXPECT_TRUE(script::PumpUntil([&] { return fired >= 2; }, 2000));
  Application()->OnException = nullptr;
}

}  // namespace
}  // namespace qelo::vcl::test
