// Edits: properties kept before the window exists and pushed to it, the
// text following what the user types (OnChange), the selection in UTF-16
// units, the clipboard, selecting all on entering, and the masked edit.
#include "stdctrls_fixture.h"
#include "vcl/controls/edit.h"
#include "win/controls/edit.h"

namespace qelo::vcl::test {
namespace {

using EditTest = FormTest;

LRESULT Send(TEdit& edit, UINT msg, WPARAM w = 0, LPARAM l = 0) { return win::SendMessage(edit.Handle(), msg, w, l); }

std::string CueBanner(TEdit& edit) {
  char buffer[64] = {};
  Send(edit, win::EM_GETCUEBANNER, reinterpret_cast<WPARAM>(buffer), sizeof buffer);
  return buffer;
}

// Each property, set once before the window is made and once after, must
// show in the window.
struct PropertyCase {
  const char* name;
  std::function<void(TEdit&, bool second)> set;
  std::function<bool(TEdit&, bool second)> windowShows;
};

const PropertyCase kPropertyCases[] = {
    {"MaxLength", [](TEdit& e, bool second) { e.SetMaxLength(second ? 9 : 4); },
     [](TEdit& e, bool second) { return Send(e, win::EM_GETLIMITTEXT) == (second ? 9 : 4); }},
    {"ReadOnly", [](TEdit& e, bool second) { e.SetReadOnly(!second); },
     [](TEdit& e, bool second) { return ((WindowStyle(e) & win::ES_READONLY) != 0) == !second; }},
    {"PasswordChar", [](TEdit& e, bool second) { e.SetPasswordChar(second ? u'#' : u'*'); },
     [](TEdit& e, bool second) { return Send(e, win::EM_GETPASSWORDCHAR) == (second ? '#' : '*'); }},
    {"TextHint", [](TEdit& e, bool second) { e.SetTextHint(second ? "Later" : "Output name"); },
     [](TEdit& e, bool second) { return CueBanner(e) == (second ? "Later" : "Output name"); }},
    {"CharCase", [](TEdit& e, bool second) { e.SetCharCase(second ? ecLowerCase : ecUpperCase); },
     [](TEdit& e, bool second) {
       return (WindowStyle(e) & (win::ES_UPPERCASE | win::ES_LOWERCASE)) ==
              (second ? win::ES_LOWERCASE : win::ES_UPPERCASE);
     }},
    {"Text", [](TEdit& e, bool second) { e.SetText(second ? "b.mp4" : "a.avi"); },
     [](TEdit& e, bool second) { return win::GetWindowText(e.Handle()) == (second ? "b.mp4" : "a.avi"); }},
    {"BorderStyle", [](TEdit& e, bool second) { e.SetBorderStyle(second ? bsSingle : bsNone); },
     [](TEdit& e, bool second) {
       const auto ex = static_cast<win::DWORD>(win::GetWindowLongPtr(e.Handle(), win::GWL_EXSTYLE));
       return ((ex & win::WS_EX_CLIENTEDGE) != 0) == second;
     }},
};

TEST_F(EditTest, PropertiesSetBeforeAndAfterTheWindowReachIt) {
  for (const PropertyCase& c : kPropertyCases) {
    auto* edit = new TEdit(form);
    c.set(*edit, false);
    EXPECT_FALSE(edit->HandleAllocated()) << c.name;
    edit->SetParent(form);
    EXPECT_TRUE(c.windowShows(*edit, false)) << c.name << " set before the window";
    c.set(*edit, true);
    EXPECT_TRUE(c.windowShows(*edit, true)) << c.name << " set on the window";
    edit->Free();
  }
}

TEST_F(EditTest, TypingChangesTheTextAndFiresOnChangeForEachCharacter) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  std::vector<std::string> seen;
  edit->OnChange = [&](TObject*) { seen.push_back(edit->Text()); };
  script::Focus(*edit);
  script::TypeText("ab");
  EXPECT_EQ(edit->Text(), "ab");
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "ab"})) << "the text is current when OnChange runs";
  EXPECT_TRUE(edit->Modified());

  // The program's own text fires OnChange too, and counts as unmodified.
  edit->SetText("new");
  EXPECT_EQ(seen.back(), "new");
  EXPECT_FALSE(edit->Modified());
  script::PressKey(win::VK_END);
  script::TypeText("\b");
  EXPECT_EQ(edit->Text(), "ne");
  EXPECT_TRUE(edit->Modified());
}

TEST_F(EditTest, MaxLengthAndReadOnlyStopTyping) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetMaxLength(3);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  script::Focus(*edit);
  script::TypeText("abcdef");
  EXPECT_EQ(edit->Text(), "abc");
  EXPECT_EQ(changes, 3);
  edit->SetReadOnly(true);
  script::TypeText("x");
  EXPECT_EQ(edit->Text(), "abc");
  EXPECT_EQ(changes, 3);
}

TEST_F(EditTest, SelectionCountsUtf16UnitsAndReplacesText) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetText("caf\xC3\xA9 bar");  // é is one unit, two bytes
  edit->SetSelStart(3);
  edit->SetSelLength(3);
  EXPECT_EQ(edit->SelStart(), 3);
  EXPECT_EQ(edit->SelLength(), 3);
  EXPECT_EQ(edit->SelText(), "\xC3\xA9 b");
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetSelText("E");
  EXPECT_EQ(edit->Text(), "cafEar");
  EXPECT_EQ(changes, 1);
  edit->SelectAll();
  EXPECT_EQ(edit->SelLength(), 6);
  edit->ClearSelection();
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(EditTest, ClipboardCopiesCutsAndPastesTheSelection) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetText("clip.mkv");
  edit->SetSelStart(0);
  edit->SetSelLength(4);
  edit->CopyToClipboard();
  EXPECT_EQ(win::GetClipboardText(), "clip");
  EXPECT_EQ(edit->Text(), "clip.mkv");
  edit->CutToClipboard();
  EXPECT_EQ(edit->Text(), ".mkv");
  edit->SetSelStart(4);
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->Text(), ".mkvclip");
  // A hidden text is never copied out.
  edit->SetPasswordChar(u'*');
  win::SetClipboardText("kept");
  edit->SelectAll();
  edit->CopyToClipboard();
  EXPECT_EQ(win::GetClipboardText(), "kept");
}

TEST_F(EditTest, EnteringByTabSelectsAllOnlyWithAutoSelect) {
  for (bool autoSelect : {true, false}) {
    auto* before = new TEdit(form);
    before->SetParent(form);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetTop(30);
    edit->SetText("output");
    edit->SetAutoSelect(autoSelect);
    script::Focus(*before);
    script::PressKey(win::VK_TAB);
    ASSERT_TRUE(edit->Focused());
    EXPECT_EQ(edit->SelLength(), autoSelect ? 6 : 0) << "AutoSelect " << autoSelect;
    before->Free();
    edit->Free();
  }
}

TEST_F(EditTest, ANewWindowKeepsTextAndModified) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  script::Focus(*edit);
  script::TypeText("x");
  edit->SetHideSelection(false);  // made again with ES_NOHIDESEL
  EXPECT_NE(WindowStyle(*edit) & win::ES_NOHIDESEL, 0u);
  EXPECT_EQ(win::GetWindowText(edit->Handle()), "x");
  EXPECT_TRUE(edit->Modified());
}

TEST_F(EditTest, BackgroundShowsTheEditsColour) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 100, 22);
  EXPECT_EQ(ControlPixel(*edit, 50, 10), ColorToRGB(clWindow)) << "its own colour, not the form's";
  edit->SetColor(clAqua);
  EXPECT_EQ(ControlPixel(*edit, 50, 10), ColorToRGB(clAqua));
}

TEST_F(EditTest, PasswordCharTakesOneCharacterFromFormFiles) {
  auto* edit = new TEdit(form);
  SetStrProp(*edit, "PasswordChar", "*");
  EXPECT_EQ(edit->PasswordChar(), u'*');
  SetStrProp(*edit, "PasswordChar", "");
  EXPECT_EQ(edit->PasswordChar(), 0);
  EXPECT_THROW(SetStrProp(*edit, "PasswordChar", "ab"), EPropertyError);
}

TEST_F(EditTest, MaskEditWithTheEmptyMaskEditsPlainTextAndRefusesOthers) {
  auto* edit = new TMaskEdit(form);
  edit->SetParent(form);
  EXPECT_FALSE(edit->IsMasked());
  script::Focus(*edit);
  script::TypeText("12:30");
  EXPECT_EQ(edit->EditText(), "12:30");
  EXPECT_NO_THROW(edit->ValidateEdit());
  EXPECT_THROW(edit->SetEditMask("!90:00;1;_"), EInvalidOperation);
  EXPECT_EQ(edit->EditMask(), "");
}

// A descendant that shows the hint its own way gets every hint the window
// would have got, and the window none.
TEST_F(EditTest, ADescendantTakesTheTextHintItself) {
  struct THintEdit : TEdit {
    using TEdit::TEdit;
    std::vector<std::string> hints;
    void DoSetTextHint(const std::string& text) override { hints.push_back(text); }
  };
  auto* edit = new THintEdit(form);
  edit->SetTextHint("Before");
  EXPECT_TRUE(edit->hints.empty()) << "no window yet";
  edit->SetParent(form);
  edit->HandleNeeded();
  edit->SetTextHint("After");
  EXPECT_EQ(edit->hints, (std::vector<std::string>{"Before", "After"}));
  EXPECT_EQ(CueBanner(*edit), "");
}

}  // namespace
}  // namespace qelo::vcl::test
