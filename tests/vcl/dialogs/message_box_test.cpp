// The questions of the program: a message box titled "Information" answered
// Yes or No, by the script's result and by keys on the real box.
#include "../controls/controls_fixture.h"
#include "vcl/controls/msgbox.h"

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

}  // namespace
}  // namespace qelo::vcl::test
