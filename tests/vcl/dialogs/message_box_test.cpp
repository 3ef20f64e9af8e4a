// The questions of the program: a message box titled "Information" answered
// Yes or No, by the script's result and by keys on the real box; message
// dialogs by kind.
#include "../controls/controls_fixture.h"
#include "vcl/controls/msgbox.h"
#include "vcl/dialogs/message_dlg.h"

namespace qelo::vcl::test {
namespace {

class MessageBoxTest : public FormTest {
 protected:
  script::ModalScript modal;
};

constexpr const char* kQuestion = "Do you want to cancel the conversion?";

TEST_F(MessageBoxTest, QuestionAnsweredYesOrNoGivesThatButtonsResult) {
  struct Case {
    UINT flags;
    std::function<void(TCustomForm&)> answer;
    int expected;
  } cases[] = {
      {MB_YESNO | MB_ICONQUESTION, [](TCustomForm& f) { script::Click(*dynamic_cast<TMessageForm&>(f).ButtonFor(mrYes)); }, IDYES},
      {MB_YESNO | MB_ICONQUESTION, [](TCustomForm& f) { script::Click(*dynamic_cast<TMessageForm&>(f).ButtonFor(mrNo)); }, IDNO},
      // Enter takes the default button: the first, or the one MB_DEFBUTTONn names.
      {MB_YESNO | MB_ICONQUESTION, [](TCustomForm&) { script::PressKey(win::VK_RETURN); }, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, [](TCustomForm&) { script::PressKey(win::VK_RETURN); }, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, [](TCustomForm&) { script::PressKey(win::VK_RETURN); }, IDCANCEL},
      {MB_RETRYCANCEL | MB_ICONWARNING, [](TCustomForm&) { script::PressKey(win::VK_ESCAPE); }, IDCANCEL},
      {MB_OKCANCEL, [](TCustomForm&) { script::PressKey(win::VK_RETURN); }, IDOK},
  };
  for (const Case& c : cases) {
    UINT shownFlags = 0;
    modal.Answer([&](TCustomForm& f) {
      shownFlags = dynamic_cast<TMessageForm&>(f).Flags();
      c.answer(f);
    });
    EXPECT_EQ(Application()->MessageBox(kQuestion, "Information", c.flags), c.expected) << std::hex << c.flags;
    EXPECT_EQ(shownFlags, c.flags);
  }
  EXPECT_EQ(modal.Unanswered(), 0);
  EXPECT_EQ(modal.Seen().at(0), std::string("Information: ") + kQuestion);
}

TEST_F(MessageBoxTest, MessageDialogsTakeTitleAndIconFromTheirKind) {
  struct Case {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    TModalResult answer;
    const char* seen;
    UINT flags;
  } cases[] = {
      {mtWarning, {mbOK}, mrOk, "Warning: Unable to create the folder", MB_OK | MB_ICONWARNING},
      {mtError, {mbRetry, mbCancel}, mrRetry, "Error: Unable to create the folder", MB_RETRYCANCEL | MB_ICONERROR},
      {mtConfirmation, {mbYes, mbNo, mbCancel}, mrNo, "Confirm: Unable to create the folder",
       MB_YESNOCANCEL | MB_ICONQUESTION},
      {mtCustom, {mbOK, mbCancel}, mrCancel, "Clipshift: Unable to create the folder", MB_OKCANCEL},
  };
  for (const Case& c : cases) {
    UINT shownFlags = 0;
    modal.Answer([&](TCustomForm& f) {
      auto& box = dynamic_cast<TMessageForm&>(f);
      shownFlags = box.Flags();
      script::Click(*box.ButtonFor(c.answer));
    });
    EXPECT_EQ(MessageDlg("Unable to create the folder", c.type, c.buttons), c.answer) << c.seen;
    EXPECT_EQ(modal.Seen().back(), c.seen);
    EXPECT_EQ(shownFlags, c.flags) << c.seen;
  }
  // A set no message box has is refused before anything is shown.
  EXPECT_THROW(MessageDlg("x", mtWarning, TMsgDlgButtons{mbYes, mbOK}, 0), EInvalidOperation);
  EXPECT_THROW(MessageDlg("x", mtWarning, TMsgDlgButtons{}, 0), EInvalidOperation);
  EXPECT_EQ(modal.Seen().size(), 4u);

  modal.Answer(mrOk);
  ShowMessage("Exception in AddNewShellItem");
  EXPECT_EQ(modal.Seen().back(), "Clipshift: Exception in AddNewShellItem");
  EXPECT_EQ(modal.Unanswered(), 0);
}

}  // namespace
}  // namespace qelo::vcl::test
