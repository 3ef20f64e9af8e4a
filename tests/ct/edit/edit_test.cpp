// The framed edit: its window style, the colours of its states, Enter as
// Tab, the text hint only where the platform shows one, the validation
// message, the drop-down button (carved from the client area, hit, clicked
// by the mouse and the keys without moving the caret, hidden while
// read-only, painted) and the form file.
#include <gtest/gtest.h>

#include "ct_edit.h"
#include "lists_fixture.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"
#include "vcl/window_pixel.h"
#include "win/controls/edit.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;
namespace script = vcl::script;
using vcl::test::ClickAt;

// Reaches what only descendants may call.
class TTestEdit : public TCtEdit {
 public:
  using TCtEdit::TCtEdit;
  using TCtEdit::ValidateError;
};

class EditTest : public vcl::test::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    RegisterCtEditClasses();
    edit = MakeEdit("edName", 10);
  }
  TTestEdit* MakeEdit(const std::string& name, int top) {
    auto* e = new TTestEdit(form);
    e->SetName(name);
    e->SetBounds(10, top, 150, 22);
    e->SetParent(form);
    return e;
  }
  win::DWORD Style() const { return static_cast<win::DWORD>(win::GetWindowLongPtr(edit->Handle(), win::GWL_STYLE)); }
  // The button's centre as a client point of the edit (the button lies
  // outside the client area).
  TPoint ButtonPoint() const {
    const TRect b = edit->ButtonRect();
    win::RECT window;
    win::GetWindowRect(edit->WindowHandle(), &window);
    const TPoint client = edit->ClientToScreen(Point(0, 0));
    return Point((b.left + b.right) / 2 - (client.x - window.left), (b.top + b.bottom) / 2 - (client.y - window.top));
  }

  TTestEdit* edit = nullptr;
};

// ---- window style -----------------------------------------------------------------------

struct StyleCase {
  const char* name;
  TAlignment alignment;
  win::DWORD alignmentBits;
};

class StyleTest : public EditTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(StyleTest, AlignmentIsAWindowStyle) {
  const StyleCase& c = GetParam();
  edit->SetText("abc");
  edit->SetAlignment(c.alignment);
  EXPECT_EQ(Style() & (win::ES_RIGHT | win::ES_CENTER), c.alignmentBits);
  EXPECT_NE(Style() & win::WS_CLIPCHILDREN, 0u);
  EXPECT_EQ(Style() & win::ES_MULTILINE, 0u);
  EXPECT_EQ(edit->Text(), "abc") << "the new window keeps the text";
  EXPECT_EQ(static_cast<const TControl*>(edit)->GetControlsAlignment(), c.alignment);
}

INSTANTIATE_TEST_SUITE_P(Alignments, StyleTest,
                         ::testing::Values(StyleCase{"Left", taLeftJustify, 0},
                                           StyleCase{"Right", taRightJustify, win::ES_RIGHT},
                                           StyleCase{"Centre", taCenter, win::ES_CENTER}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditTest, CharCaseChangesTypedLetters) {
  edit->SetCharCase(ecUpperCase);
  EXPECT_NE(Style() & win::ES_UPPERCASE, 0u);
  script::Focus(*edit);
  script::TypeText("mixed Case");
  EXPECT_EQ(edit->Text(), "MIXED CASE");
}

// ---- colours ----------------------------------------------------------------------------

struct ColourCase {
  const char* name;
  bool enabled, focused, readOnly, readOnlyOnFocus;
  TColor expected;
};

class ColourTest : public EditTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(ColourTest, TheStateChoosesTheColour) {
  const ColourCase& c = GetParam();
  MakeEdit("edOther", 50);
  edit->SetFocusColor(clYellow);
  edit->SetDisabledColor(clSilver);
  edit->SetReadOnlyColor(clAqua);
  edit->SetReadOnlyColorOnFocus(c.readOnlyOnFocus);
  edit->SetReadOnly(c.readOnly);
  if (c.focused) script::Focus(*edit);
  edit->SetEnabled(c.enabled);
  EXPECT_EQ(edit->Color(), c.expected);
  EXPECT_EQ(vcl::test::PixelAt(*edit, Point(140, 10)), ColorToRGB(c.expected)) << "what the edit is painted on";
  EXPECT_EQ(edit->NormalColor(), clWindow) << "the colour it returns to";
}

INSTANTIATE_TEST_SUITE_P(
    States, ColourTest,
    ::testing::Values(ColourCase{"Normal", true, false, false, false, clWindow},
                      ColourCase{"Focused", true, true, false, false, clYellow},
                      ColourCase{"Disabled", false, false, false, false, clSilver},
                      ColourCase{"DisabledReadOnly", false, false, true, false, clSilver},
                      ColourCase{"ReadOnly", true, false, true, false, clAqua},
                      ColourCase{"ReadOnlyFocused", true, true, true, false, clYellow},
                      ColourCase{"ReadOnlyFocusedKeepingItsColour", true, true, true, true, clAqua}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditTest, LeavingReadOnlyReturnsToTheNormalColour) {
  edit->SetReadOnly(true);
  edit->SetReadOnlyColor(clLime);
  EXPECT_EQ(edit->Color(), clLime);
  edit->SetReadOnly(false);
  EXPECT_EQ(edit->Color(), clWindow);
}

// ---- keys, hint, validation ---------------------------------------------------------------

TEST_F(EditTest, EnterMovesTheFocusOnWithTabOnEnter) {
  TTestEdit* next = MakeEdit("edNext", 50);
  std::u16string pressed;
  edit->OnKeyPress = [&](TObject*, char16_t& key) { pressed += key; };
  script::Focus(*edit);
  script::TypeText("\r");
  EXPECT_EQ(pressed, u"\r");
  EXPECT_TRUE(edit->Focused()) << "without the option Enter stays";

  pressed.clear();
  edit->SetTabOnEnter(true);
  script::TypeText("\r");
  script::Pump();
  EXPECT_TRUE(pressed.empty()) << "Enter never reaches OnKeyPress";
  EXPECT_TRUE(next->Focused());
}

// The platform shows a hint only from Windows XP on with themes, which the
// classic look never has: the edit keeps it and sends none.
TEST_F(EditTest, TheTextHintGoesOnlyWhereThePlatformShowsIt) {
  edit->SetTextHint("Search");
  edit->SetTextHintVisibleOnFocus(true);
  char cue[32] = "untouched";
  win::SendMessage(edit->Handle(), win::EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), sizeof cue);
  EXPECT_STREQ(cue, "");
  EXPECT_EQ(edit->TextHint(), "Search");
}

TEST_F(EditTest, TheValidationEventMayGiveTheMessage) {
  EXPECT_THROW(edit->ValidateError(), EDBEditError) << "the base's error without a handler";
  std::string answer = "Enter a time as hh:mm";
  int asked = 0;
  edit->OnValidateError = [&](TObject* sender, std::string& message) {
    EXPECT_EQ(sender, edit);
    EXPECT_TRUE(message.empty());
    ++asked;
    message = answer;
  };
  try {
    edit->ValidateError();
    ADD_FAILURE() << "no error";
  } catch (const EDBEditError& e) {
    EXPECT_STREQ(e.what(), "Enter a time as hh:mm");
  }
  answer.clear();
  EXPECT_THROW(edit->ValidateError(), EDBEditError) << "an empty answer leaves the base's error";
  EXPECT_EQ(asked, 2);
}

// ---- the drop-down button -------------------------------------------------------------------

class DropDownTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    edit->SetText("hello world");
    edit->OnButtonDown = [this](TObject*) { journal.push_back("down " + std::to_string(edit->ButtonState())); };
    edit->OnButtonClick = [this](TObject*) { journal.push_back("click"); };
  }
  int ButtonWidth() const { return win::GetSystemMetrics(win::SM_CXVSCROLL); }
  std::vector<std::string> journal;
};

TEST_F(DropDownTest, TheButtonTakesItsWidthFromTheClientArea) {
  EXPECT_EQ(edit->ClientWidth(), 150 - 4);
  edit->SetDropDownEnabled(true);
  EXPECT_TRUE(edit->ButtonVisible());
  EXPECT_EQ(edit->ClientWidth(), 150 - 4 - ButtonWidth());
  EXPECT_EQ(edit->Text(), "hello world");
  const TRect b = edit->ButtonRect();
  EXPECT_EQ(b.left, 150 - 2 - ButtonWidth());
  EXPECT_EQ(b.right, 148);

  win::RECT window;
  win::GetWindowRect(edit->WindowHandle(), &window);
  auto hit = [&](int x, int y) {
    return win::SendMessage(edit->WindowHandle(), win::WM_NCHITTEST, 0, win::MAKELPARAM(window.left + x, window.top + y));
  };
  EXPECT_EQ(hit(140, 11), win::HTCLIENT) << "the button is the control's";
  EXPECT_EQ(hit(149, 11), win::HTBORDER);
  EXPECT_EQ(hit(20, 11), win::HTCLIENT);
}

TEST_F(DropDownTest, AClickOnTheButtonFocusesAndClicksWithoutMovingTheCaret) {
  edit->SetDropDownEnabled(true);
  script::Focus(*MakeEdit("edOther", 50));
  edit->SetSelStart(3);
  ClickAt(*edit, ButtonPoint());
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(journal, (std::vector<std::string>{"down 2", "click"}));
  EXPECT_EQ(edit->ButtonState(), kButtonNormal);
  EXPECT_EQ(edit->SelStart(), 3) << "the edit never saw the press";
  EXPECT_EQ(edit->SelLength(), 0);
  EXPECT_NE(win::GetCapture(), edit->WindowHandle()) << "the release let the mouse go";

  ClickAt(*edit, Point(2, 10));
  EXPECT_EQ(edit->SelStart(), 0) << "a click in the text does place the caret";
  EXPECT_EQ(journal.size(), 2u);
}

TEST_F(DropDownTest, AltDownAndF4ClickTheButton) {
  script::Focus(*edit);
  script::PressKey(win::VK_F4);
  EXPECT_TRUE(journal.empty()) << "no button, no click";
  edit->SetDropDownEnabled(true);
  script::Focus(*edit);
  script::PressKey(win::VK_DOWN, TShiftState{ssAlt});
  script::PressKey(win::VK_F4);
  EXPECT_EQ(journal, (std::vector<std::string>{"down 2", "click", "down 2", "click"}));
  script::PressKey(win::VK_DOWN);
  EXPECT_EQ(journal.size(), 4u) << "Down alone is the edit's";
}

TEST_F(DropDownTest, ReadOnlyHidesTheButtonUntilItEndsWhileTheDropDownIsEnabled) {
  edit->SetReadOnly(true);
  edit->SetDropDownEnabled(true);
  EXPECT_FALSE(edit->ButtonVisible()) << "not shown while read-only";
  edit->SetReadOnly(false);
  EXPECT_TRUE(edit->ButtonVisible());
  EXPECT_EQ(edit->ClientWidth(), 150 - 4 - ButtonWidth());
  edit->SetReadOnly(true);
  EXPECT_FALSE(edit->ButtonVisible());
  EXPECT_EQ(edit->ClientWidth(), 150 - 4);
  edit->SetDropDownEnabled(false);
  edit->SetReadOnly(false);
  EXPECT_FALSE(edit->ButtonVisible()) << "the drop-down is no longer wanted";
}

TEST_F(DropDownTest, TheButtonIsPaintedInTheCarvedStrip) {
  edit->SetFramingPreference(fpCustomFraming);
  edit->SetFrameColor(clRed);
  edit->SetFrameVisible(true);
  edit->SetDropDownEnabled(true);
  script::Pump();
  const TRect b = edit->ButtonRect();
  auto at = [&](int x, int y) { return qelo::test::WindowPixel(form->Handle(), edit->Left() + x, edit->Top() + y); };
  EXPECT_EQ(at(0, 11), ColorToRGB(clRed)) << "the frame";
  EXPECT_EQ(at(b.left + 3, b.top + 3), ColorToRGB(clBtnFace)) << "the button's face";
  int arrow = 0;
  for (int x = b.left; x < b.right; ++x)
    for (int y = b.top; y < b.bottom; ++y) arrow += at(x, y) == ColorToRGB(clBlack) ? 1 : 0;
  EXPECT_GT(arrow, 3) << "the arrow";

  edit->SetFlatButton(true);
  EXPECT_EQ(at(b.left + 1, b.top + 1), ColorToRGB(edit->Color())) << "flat and idle: the edit's colour";
}

// ---- form file ---------------------------------------------------------------------------

constexpr const char* kEditForm = R"(object frmEdit: TForm
  object edTime: TCtEdit
    Left = 8
    Top = 8
    Width = 120
    Height = 21
    Alignment = taCenter
    CharCase = ecUpperCase
    FrameFlat = True
    OEMConvert = False
    ReadOnly = True
    ReadOnlyColor = clLime
    TabOnEnter = True
    Text = 'abc'
    TextHint = 'Time'
    TextHintVisibleOnFocus = True
  end
end
)";

TEST_F(EditTest, AFormFileSetsItsProperties) {
  auto* read = new TForm(form);
  ReadComponentText(*read, kEditForm, "edit.form");
  auto& e = script::Find<TCtEdit>(*read, "edTime");
  EXPECT_EQ(e.Alignment(), taCenter);
  EXPECT_EQ(e.CharCase(), ecUpperCase);
  EXPECT_TRUE(e.FrameHotTrack());
  EXPECT_EQ(e.FrameStyle(), fsStatus);
  EXPECT_TRUE(e.ReadOnly());
  EXPECT_EQ(e.Color(), clLime) << "read-only once loaded";
  EXPECT_TRUE(e.TabOnEnter());
  EXPECT_EQ(e.Text(), "abc");
  EXPECT_EQ(e.TextHint(), "Time");
  EXPECT_TRUE(e.TextHintVisibleOnFocus());
  EXPECT_FALSE(IsPublishedProp(e, "About")) << "the design-time property is not built";
}

}  // namespace
}  // namespace qelo::ct::test
