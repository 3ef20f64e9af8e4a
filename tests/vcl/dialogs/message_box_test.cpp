// The questions of the program: a message box titled "Information" answered
// Yes or No, by the script's result and by keys on the real box; message
// dialogs by kind; long texts shown whole.
#include <algorithm>
#include <sstream>

#include "../controls/controls_fixture.h"
#include "common/composed_window.h"
#include "vcl/controls/msgbox.h"
#include "vcl/dialogs/message_dlg.h"
#include "win/window/display.h"

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

// Which rows of the box's text show ink (dark pixels), read from the box as
// the screen composes it; row 0 is the label's top.
std::vector<bool> InkRows(TMessageForm& box) {
  script::Pump();
  TLabel& label = *box.MessageText();
  win::RECT window{};
  win::GetWindowRect(box.Handle(), &window);
  const TPoint origin = label.ClientToScreen(Point(0, 0));
  const int left = origin.x - window.left, top = origin.y - window.top;
  qelo::test::ComposedWindow shown(box.Handle());
  std::vector<bool> rows(static_cast<size_t>(label.Height()), false);
  for (int y = 0; y < label.Height(); ++y) {
    for (int x = 0; x < label.Width() && !rows[static_cast<size_t>(y)]; ++x) {
      const win::COLORREF c = shown.Pixel(left + x, top + y);
      rows[static_cast<size_t>(y)] = std::max({c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF}) < 0x80;
    }
  }
  return rows;
}

bool AnyInk(const std::vector<bool>& rows, int from, int to) {
  for (int y = from; y < to && y < static_cast<int>(rows.size()); ++y)
    if (rows[static_cast<size_t>(y)]) return true;
  return false;
}

// The fewest lines a text can take in the box's label: each hard line's
// width, unwrapped, over the label's width.
int FewestLines(TMessageForm& box, const std::string& text) {
  TLabel& label = *box.MessageText();
  TBitmap measure;
  measure.Canvas()->Font()->Assign(label.Font());
  int lines = 0;
  std::istringstream hardLines(text);
  for (std::string line; std::getline(hardLines, line);)
    lines += std::max(1, (measure.Canvas()->TextWidth(line) + label.Width() - 1) / label.Width());
  return lines;
}

// The program's long texts, each shown in a box that is tall enough for
// all its wrapped lines: ink in every line's band, down to the last line's
// words below the first line's, with the buttons under the last line.
TEST_F(MessageBoxTest, EveryWrappedLineOfTheProgramsLongTextsIsShown) {
  const std::string longPath = "/home/user/Videos/summer holiday 2009/the whole family at the lake in the evening.avi";
  const std::string pathWithoutBlanks = "/media/user/CAMERA/DCIM/100_PANA/" + std::string(90, 'P') + "1000123.MTS";
  const struct {
    const char* what;
    std::string text;
    UINT flags;
  } cases[] = {
      {"the end question",
       "The selected file(s) has been successfully converted.  Do you want to open the destination folder now?",
       MB_YESNO},
      {"the cancel question", "Do you want to cancel the conversion?", MB_YESNO | MB_ICONQUESTION},
      {"an add failure", "Failed to add video file.(" + longPath + ")", MB_OK},
      {"an add failure, a path without blanks", "Failed to add video file.(" + pathWithoutBlanks + ")", MB_OK},
      {"an unreadable watermark", "The watermark picture cannot be read:\n" + longPath, MB_OK | MB_ICONWARNING},
  };
  for (const auto& c : cases) {
    bool shown = false;
    modal.Answer([&](TCustomForm& f) {
      auto& box = dynamic_cast<TMessageForm&>(f);
      const TLabel& label = *box.MessageText();
      const int lineHeight = [&] {
        TBitmap measure;
        measure.Canvas()->Font()->Assign(label.Font());
        return measure.Canvas()->TextHeight("Ag");
      }();
      const int lines = FewestLines(box, c.text);
      EXPECT_GE(label.Height(), lines * lineHeight) << c.what;
      const std::vector<bool> ink = InkRows(box);
      for (int line = 0; line < lines; ++line)
        EXPECT_TRUE(AnyInk(ink, line * lineHeight, (line + 1) * lineHeight))
            << c.what << ": line " << line + 1 << " of " << lines;
      for (TButton* b : box.Buttons()) EXPECT_GE(b->Top(), label.Top() + label.Height()) << c.what;
      EXPECT_LE(label.Left() + label.Width(), box.ClientWidth()) << c.what;
      shown = true;
      script::Click(*box.Buttons().back());
    });
    Application()->MessageBox(c.text, "Information", c.flags);
    EXPECT_TRUE(shown) << c.what;
  }
  EXPECT_EQ(modal.Unanswered(), 0);
}

// A text taller than the screen takes wider lines and stays on the screen
// with its buttons.
TEST_F(MessageBoxTest, ATextTallerThanTheScreenKeepsTheBoxOnTheScreen) {
  const win::SIZE before{Screen()->Width(), Screen()->Height()};
  win::SetHeadlessScreenSize(win::SIZE{640, 480});
  struct RestoreScreen {
    win::SIZE size;
    ~RestoreScreen() { win::SetHeadlessScreenSize(size); }
  } restore{before};
  std::string text;
  for (int i = 1; i <= 60; ++i) text += "Failed to add video file.(/home/user/Videos/clip " + std::to_string(i) + ".avi) ";
  modal.Answer([&](TCustomForm& f) {
    auto& box = dynamic_cast<TMessageForm&>(f);
    const TRect work = Screen()->WorkAreaRect();
    EXPECT_GE(box.Left(), work.left);
    EXPECT_GE(box.Top(), work.top);
    EXPECT_LE(box.Left() + box.Width(), work.right);
    EXPECT_LE(box.Top() + box.Height(), work.bottom);
    EXPECT_GT(box.MessageText()->Width(), 400) << "wider lines than a short text's";
    for (TButton* b : box.Buttons()) EXPECT_LE(b->Top() + b->Height(), box.ClientHeight());
    script::Click(*box.Buttons().back());
  });
  EXPECT_EQ(Application()->MessageBox(text, "Information", MB_OK), IDOK);
  EXPECT_EQ(modal.Unanswered(), 0);
}

}  // namespace
}  // namespace qelo::vcl::test
