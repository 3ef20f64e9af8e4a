// The framed combo box: the keyboard search of list-style boxes under a
// test-driven clock, the auto-completion of edit-style boxes, the
// read-only mode, the wheel, the drop-down width, the values, the colour
// states and the client-area frame, and a form file's combo box.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "ct_cmbo_bx.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"
#include "vcl/window_pixel.h"
#include "win/controls/combobox.h"
#include "win/window/display.h"

namespace qelo::ct {
namespace {

namespace script = vcl::script;
using vcl::csDropDown;
using vcl::csDropDownList;

class CtComboBox : public vcl::test::FormTest {
 protected:
  void TearDown() override {
    win::SystemParametersInfo(win::SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
    SetComboSearchDelay(1500);
    FormTest::TearDown();
  }
  TCtComboBox* Make(vcl::TComboBoxStyle style, std::initializer_list<const char*> items, int top = 10) {
    auto* combo = new TCtComboBox(form);
    combo->SetStyle(style);
    combo->SetBounds(10, top, 150, 21);
    for (const char* item : items) combo->Add(item);
    combo->SetParent(form);
    combo->OnClick = [this](vcl::TObject*) { journal.Add("click"); };
    combo->OnChange = [this, combo](vcl::TObject*) { journal.Add("change " + combo->Text()); };
    combo->OnMatch = [this](vcl::TObject*) { journal.Add("match"); };
    combo->OnNotInList = [this](vcl::TObject*) { journal.Add("not in list"); };
    script::Pump();
    return combo;
  }
  // The search timer the combo box owns: firing it stands for the search
  // delay passing without a key.
  static vcl::TTimer* SearchTimer(TCtComboBox& combo) {
    for (int i = 0; i < combo.ComponentCount(); ++i)
      if (auto* timer = dynamic_cast<vcl::TTimer*>(combo.Components(i))) return timer;
    return nullptr;
  }
  static void LetTheSearchDelayPass(TCtComboBox& combo) {
    vcl::TTimer* timer = SearchTimer(combo);
    ASSERT_NE(timer, nullptr);
    if (timer->Enabled()) timer->OnTimer()(timer);
  }
  vcl::TColor Pixel(vcl::TControl& control, int x, int y) {
    script::Pump();
    return qelo::test::WindowPixel(form->Handle(), control.Left() + x, control.Top() + y);
  }
  static vcl::TColor Rgb(vcl::TColor color) { return vcl::ColorToRGB(color); }
  static int Beeps() { return win::MessageBeepCount(); }
  static int TopIndex(TCtComboBox& combo) {
    return static_cast<int>(win::SendMessage(combo.Handle(), win::CB_GETTOPINDEX, 0, 0));
  }
  static int TextWidth(TCtComboBox& combo, const std::string& text) {
    win::HDC dc = win::GetDC(combo.Handle());
    vcl::TCanvas canvas;
    int width = 0;
    {
      vcl::TCanvasContextScope scope(canvas, dc);
      canvas.Font()->Assign(combo.Font());
      width = canvas.TextWidth(text);
    }
    win::ReleaseDC(combo.Handle(), dc);
    return width;
  }
  // The form as the screen shows it with the open list of `combo` over it
  // (the list is a window of its own).
  bool SaveWithOpenList(TCtComboBox& combo, const std::string& path) {
    win::HBITMAP picture = win::ComposeWindow(form->Handle());
    win::ComposePopupOnto(picture, form->Handle(), combo.ListHandle());
    const bool saved = win::SaveBitmapToPng(picture, path) != 0;
    win::DeleteObject(picture);
    return saved;
  }
  static int DroppedWidth(TCtComboBox& combo) {
    combo.SetDroppedDown(true);
    const auto width = static_cast<int>(win::SendMessage(combo.Handle(), win::CB_GETDROPPEDWIDTH, 0, 0));
    combo.SetDroppedDown(false);
    return width;
  }
  vcl::test::Journal journal;
};

// ---- keyboard search of list-style boxes -------------------------------------------------

TEST_F(CtComboBox, TypedLettersSearchUntilTheSearchDelayPasses) {
  TCtComboBox* combo = Make(csDropDownList, {"Apple", "Banana", "Bread", "Brown", "Cherry"});
  std::string pressed;
  combo->OnKeyPress = [&](vcl::TObject*, char16_t& key) { pressed += static_cast<char>(key); };
  script::Focus(*combo);
  script::TypeText("br");
  EXPECT_EQ(combo->Text(), "Bread");
  EXPECT_EQ(combo->SearchText(), "br");
  vcl::TTimer* timer = SearchTimer(*combo);
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 1500);

  const int beeps = Beeps();
  script::TypeText("x");  // matches nothing
  EXPECT_EQ(Beeps(), beeps + 1);
  EXPECT_EQ(combo->Text(), "Bread");
  EXPECT_EQ(combo->SearchText(), "br") << "a failed match keeps the search";
  EXPECT_EQ(pressed, "br") << "only matching keys reach OnKeyPress";
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"click", "change Banana", "click", "change Bread"}));

  LetTheSearchDelayPass(*combo);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(combo->SearchText(), "");
  script::TypeText("c");
  EXPECT_EQ(combo->Text(), "Cherry") << "a new search after the pause";

  SetComboSearchDelay(700);
  script::TypeText("h");
  EXPECT_EQ(timer->Interval(), 700) << "the delay is read on every start";
}

TEST_F(CtComboBox, BackspaceShortensTheSearchAndAnEmptyOneChoosesTheFirstItem) {
  TCtComboBox* combo = Make(csDropDownList, {"Apple", "Banana", "Bread"});
  script::Focus(*combo);
  script::TypeText("br");
  script::TypeText("\b");
  EXPECT_EQ(combo->Text(), "Banana");
  EXPECT_EQ(combo->SearchText(), "b");
  journal.lines.clear();
  script::TypeText("\b");
  EXPECT_EQ(combo->Text(), "Apple");
  EXPECT_EQ(combo->SearchText(), "");
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"click", "change Apple"}));
  const int beeps = Beeps();
  script::TypeText("\b");
  EXPECT_EQ(Beeps(), beeps + 1) << "nothing left to take back";
  EXPECT_EQ(combo->Text(), "Apple");

  script::TypeText("b");
  script::PressKey(win::VK_DOWN);
  EXPECT_EQ(combo->SearchText(), "") << "moving through the list ends the search";
  EXPECT_EQ(combo->Text(), "Bread");
}

// ---- auto-completion of edit-style boxes -------------------------------------------------

TEST_F(CtComboBox, TypedTextCompletesToTheFirstItemStartingWithIt) {
  struct Case {
    std::initializer_list<const char*> items;
    bool keepSearchCase;
    bool allowEdit;
    const char* typed;
    const char* text;
    int selStart, selLength, beeps;
  } cases[] = {
      {{"ABC"}, false, true, "ab", "ABC", 2, 1, 0},
      {{"ABC"}, true, true, "ab", "abC", 2, 1, 0},
      {{"Apple", "Apricot", "Banana"}, false, true, "apr", "Apricot", 3, 4, 0},
      {{"Apple", "Apricot"}, false, true, "apr\b", "Apple", 2, 3, 0},
      {{"Apple"}, false, true, "ax", "ax", 2, 0, 0},
      {{"Apple"}, false, false, "ax", "Apple", 1, 4, 1},
      {{"Apple"}, false, true, "Bx", "Bx", 2, 0, 0},
  };
  int top = 10;
  for (const Case& c : cases) {
    TCtComboBox* combo = Make(csDropDown, c.items, top);
    top += 25;
    combo->SetKeepSearchCase(c.keepSearchCase);
    combo->SetAllowEdit(c.allowEdit);
    script::Focus(*combo);
    const int beeps = Beeps();
    script::TypeText(c.typed);
    EXPECT_EQ(combo->Text(), c.text) << c.typed;
    EXPECT_EQ(combo->SelStart(), c.selStart) << c.typed;
    EXPECT_EQ(combo->SelLength(), c.selLength) << c.typed;
    EXPECT_EQ(Beeps() - beeps, c.beeps) << c.typed;
  }
}

TEST_F(CtComboBox, ACompletionFiresClickChangeAndMatchOnceAndTheKeyOnce) {
  TCtComboBox* combo = Make(csDropDown, {"Apple", "Apricot"});
  std::string pressed;
  combo->OnKeyPress = [&](vcl::TObject*, char16_t& key) { pressed += static_cast<char>(key); };
  script::Focus(*combo);
  script::TypeText("a");
  EXPECT_EQ(combo->ItemIndex(), 0);
  script::TypeText("p");  // still Apple: no new match
  script::TypeText("r");
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"click", "change Apple", "match", "click", "change Apple",
                                                     "click", "change Apricot", "match"}));
  EXPECT_EQ(pressed, "apr");
}

TEST_F(CtComboBox, WithoutAllowEditOnlyCompletionsChangeTheText) {
  TCtComboBox* combo = Make(csDropDown, {"Apple"});
  combo->SetAllowEdit(false);
  script::Focus(*combo);
  script::TypeText("a");
  ASSERT_EQ(combo->Text(), "Apple");
  win::SetClipboardText("Zebra");
  const win::HWND edit = combo->EditHandle();
  script::TypeText("\x16");  // Ctrl+V
  script::PressKey(win::VK_INSERT, {vcl::ssShift});
  win::SendMessage(edit, win::WM_PASTE, 0, 0);
  script::TypeText("\x18");  // Ctrl+X
  win::SendMessage(edit, win::WM_CUT, 0, 0);
  script::PressKey(win::VK_DELETE);  // only the tail is selected
  EXPECT_EQ(combo->Text(), "Apple");
  EXPECT_EQ(win::GetClipboardText(), "Zebra") << "nothing was cut";
  combo->SelectAll();
  script::PressKey(win::VK_DELETE);
  EXPECT_EQ(combo->Text(), "") << "the whole text may go";
}

TEST_F(CtComboBox, APasteCompletesWhenEditingIsAllowed) {
  TCtComboBox* combo = Make(csDropDown, {"Apple", "Banana"});
  script::Focus(*combo);
  win::SetClipboardText("ban");
  script::TypeText("\x16");
  EXPECT_EQ(combo->Text(), "Banana");
  EXPECT_EQ(combo->SelStart(), 3);
  EXPECT_EQ(combo->SelLength(), 3);
}

TEST_F(CtComboBox, TheProgramsTextCompletesButSetTextNoCompleteKeepsItAsGiven) {
  TCtComboBox* combo = Make(csDropDown, {"Banana"});
  combo->SetText("ba");
  EXPECT_EQ(combo->Text(), "Banana");
  EXPECT_EQ(combo->SelStart(), 2);
  combo->SetTextNoComplete("Ba");
  EXPECT_EQ(combo->Text(), "Ba");
  EXPECT_TRUE(combo->AutoComplete());

  combo->SetAutoComplete(false);
  combo->SetTextNoComplete("b");
  EXPECT_FALSE(combo->AutoComplete()) << "auto-completion stays off";
  combo->SetText("ban");
  EXPECT_EQ(combo->Text(), "ban");
}

TEST_F(CtComboBox, LeavingATextThatIsNoItemIsReported) {
  TCtComboBox* combo = Make(csDropDown, {"Apple"});
  TCtComboBox* other = Make(csDropDownList, {"x"}, 50);
  combo->SetAutoComplete(false);
  script::Focus(*combo);
  script::TypeText("Kiwi");
  script::Focus(*other);
  combo->SetText("");
  script::Focus(*combo);
  script::Focus(*other);
  combo->SetText("APPLE");
  script::Focus(*combo);
  script::Focus(*other);
  std::vector<std::string> reported;
  for (const std::string& line : journal.lines)
    if (line == "not in list") reported.push_back(line);
  EXPECT_EQ(reported.size(), 1u) << "an empty text and an item's text are not reported";
}

TEST_F(CtComboBox, MaxLengthRefusesAFurtherCharacterWithABeep) {
  TCtComboBox* combo = Make(csDropDown, {});
  combo->SetMaxLength(3);
  script::Focus(*combo);
  const int beeps = Beeps();
  script::TypeText("abcd");
  EXPECT_EQ(combo->Text(), "abc");
  EXPECT_EQ(Beeps(), beeps + 1);
}

TEST_F(CtComboBox, EnterMovesOnLikeTab) {
  TCtComboBox* combo = Make(csDropDown, {"Apple"});
  TCtComboBox* next = Make(csDropDownList, {"x"}, 50);
  combo->SetTabOnEnter(true);
  script::Focus(*combo);
  script::TypeText("\r");
  script::Pump();
  EXPECT_TRUE(next->Focused());
  EXPECT_FALSE(combo->Focused());
}

// ---- read-only mode ------------------------------------------------------------------

TEST_F(CtComboBox, ReadOnlyBlocksKeysMouseAndWheelAndShowsNoButton) {
  TCtComboBox* combo = Make(csDropDownList, {"Apple", "Banana"});
  combo->SetItemIndex(0);
  combo->SetReadOnly(true);
  EXPECT_EQ(combo->Color(), vcl::clInfoBk);
  const int arrowX = combo->Width() - 2 - win::GetSystemMetrics(win::SM_CXVSCROLL) / 2;
  for (int y = 4; y < combo->Height() - 4; ++y)
    EXPECT_EQ(Pixel(*combo, arrowX, y), Rgb(vcl::clInfoBk)) << "the button area is plain colour at y " << y;

  script::Click(*combo);
  EXPECT_FALSE(combo->DroppedDown());
  script::Focus(*combo);
  EXPECT_EQ(combo->Color(), vcl::clWindow) << "focused: FocusColor";
  combo->SetReadOnlyColorOnFocus(true);
  EXPECT_EQ(combo->Color(), vcl::clInfoBk);
  script::PressKey(win::VK_DOWN);
  script::TypeText("b");
  script::PressKey(win::VK_F4);
  script::TurnWheel(*combo, -win::WHEEL_DELTA);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_TRUE(journal.lines.empty());

  combo->SetReadOnly(false);
  script::TurnWheel(*combo, -win::WHEEL_DELTA);
  EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST_F(CtComboBox, AReadOnlyEditFieldLetsOnlyCopyThrough) {
  TCtComboBox* combo = Make(csDropDown, {"Apple", "Banana"});
  combo->SetItemIndex(1);
  combo->SetReadOnly(true);
  script::Focus(*combo);
  combo->SelectAll();
  win::SetClipboardText("");
  script::TypeText("x\b\x16");
  script::PressKey(win::VK_UP);
  script::PressKey(win::VK_DELETE);
  EXPECT_EQ(combo->Text(), "Banana");
  EXPECT_EQ(combo->ItemIndex(), 1);
  script::TypeText("\x03");  // Ctrl+C
  EXPECT_EQ(win::GetClipboardText(), "Banana");
}

// ---- wheel ---------------------------------------------------------------------------

TEST_F(CtComboBox, TheWheelStepsTheChoiceAndStopsAtBothEnds) {
  TCtComboBox* combo = Make(csDropDownList, {"A", "B", "C"});
  script::Focus(*combo);
  script::TurnWheel(*combo, win::WHEEL_DELTA);  // up from no choice: the first item, told
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"click", "change A"}));
  journal.lines.clear();
  script::TurnWheel(*combo, win::WHEEL_DELTA);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_TRUE(journal.lines.empty()) << "up on the first item changes nothing";
  script::TurnWheel(*combo, -2 * win::WHEEL_DELTA);
  EXPECT_EQ(combo->ItemIndex(), 2);
  journal.lines.clear();
  script::TurnWheel(*combo, -win::WHEEL_DELTA);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_TRUE(journal.lines.empty()) << "down on the last item changes nothing";
}

TEST_F(CtComboBox, TheWheelOverAnEmptyBoxDoesNothing) {
  TCtComboBox* combo = Make(csDropDownList, {});
  script::Focus(*combo);
  script::TurnWheel(*combo, win::WHEEL_DELTA);
  script::TurnWheel(*combo, -win::WHEEL_DELTA);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_TRUE(journal.lines.empty());
}

TEST_F(CtComboBox, TheWheelScrollsAnOpenListByTheSystemsLines) {
  TCtComboBox* combo = Make(csDropDownList, {});
  for (int i = 0; i < 20; ++i) combo->Add("Item " + std::to_string(i));
  win::SystemParametersInfo(win::SPI_SETWHEELSCROLLLINES, 2, nullptr, 0);
  script::Focus(*combo);
  combo->SetDroppedDown(true);
  script::TurnWheel(*combo, -win::WHEEL_DELTA);
  EXPECT_EQ(TopIndex(*combo), 2);
  script::TurnWheel(*combo, -win::WHEEL_DELTA);
  EXPECT_EQ(TopIndex(*combo), 4);
  script::TurnWheel(*combo, 3 * win::WHEEL_DELTA);
  EXPECT_EQ(TopIndex(*combo), 0) << "never above the first item";
  EXPECT_EQ(combo->ItemIndex(), -1) << "scrolling chooses nothing";
  combo->SetDroppedDown(false);
}

// ---- drop-down width -----------------------------------------------------------------

TEST_F(CtComboBox, TheListIsAsWideAsTheWidestItemAndNeverNarrowerThanTheBox) {
  const std::string wide = "An item far wider than the box itself is";
  TCtComboBox* combo = Make(csDropDownList, {"Short", "Wider one"});
  EXPECT_EQ(DroppedWidth(*combo), combo->Width()) << "narrow items";
  combo->Add(wide);
  EXPECT_EQ(DroppedWidth(*combo), TextWidth(*combo, wide) + 8);
  combo->SetDropDownCount(2);
  EXPECT_EQ(DroppedWidth(*combo), TextWidth(*combo, wide) + 8 + win::GetSystemMetrics(win::SM_CXVSCROLL))
      << "with the list's scroll bar";
  combo->SetDropDownWidth(300);
  EXPECT_EQ(DroppedWidth(*combo), 300);
}

// ---- values --------------------------------------------------------------------------

TEST_F(CtComboBox, ValuesStandForTheirItemsAndAnEmptyValueForTheText) {
  TCtComboBox* combo = Make(csDropDownList, {"Red", "Green"});
  combo->Values()->Add("1");
  combo->Values()->Add("");
  combo->SetItemIndex(0);
  EXPECT_EQ(combo->Value(), "1");
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Value(), "Green");
  combo->SetValue("1");
  EXPECT_EQ(combo->Text(), "Red");
  combo->SetValue("Green");
  EXPECT_EQ(combo->Text(), "Green");
  combo->SetValue("none of them");
  EXPECT_EQ(combo->ItemIndex(), -1);

  // A choice of the user takes its value; a change of Values applies again.
  script::Focus(*combo);
  script::PressKey(win::VK_DOWN);
  EXPECT_EQ(combo->Value(), "1");
  combo->Values()->Put(0, "red");
  EXPECT_EQ(combo->Value(), "red");
  EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST_F(CtComboBox, DeletedItemsTellTheirDataButANewWindowKeepsIt) {
  TCtComboBox* combo = Make(csDropDownList, {});
  vcl::TObject first, second;
  combo->Items()->AddObject("one", &first);
  combo->Items()->AddObject("two", &second);
  combo->Items()->Add("three");
  std::vector<vcl::TObject*> deleted;
  combo->OnDeleteItem = [&](vcl::TObject*, vcl::TObject* item) { deleted.push_back(item); };
  combo->SetStyle(csDropDown);  // a new window
  EXPECT_TRUE(deleted.empty());
  EXPECT_EQ(combo->Items()->GetObject(1), &second);
  combo->Items()->Delete(0);
  EXPECT_EQ(deleted, std::vector<vcl::TObject*>{&first});
  combo->Items()->Clear();
  EXPECT_EQ(deleted, (std::vector<vcl::TObject*>{&first, &second}));
}

TEST_F(CtComboBox, ImageItemsAreReadBackThroughACheckedCast) {
  TCtComboBox* combo = Make(csDropDownList, {});
  TCtImageComboBoxItem item;
  item.Indent = 2;
  vcl::TObject plain;
  combo->Items()->AddObject("image", &item);
  combo->Items()->AddObject("plain", &plain);
  combo->Items()->Add("none");
  EXPECT_EQ(GetImageComboItem(*combo, 0), &item);
  EXPECT_EQ(GetImageComboItem(*combo, 0)->Indent, 2);
  EXPECT_THROW(GetImageComboItem(*combo, 1), vcl::EInvalidCast);
  EXPECT_EQ(GetImageComboItem(*combo, 2), nullptr);
}

// ---- colours and the frame -------------------------------------------------------------

TEST_F(CtComboBox, StatesShowTheirColours) {
  TCtComboBox* combo = Make(csDropDown, {"Apple"});
  TCtComboBox* other = Make(csDropDownList, {"x"}, 50);
  combo->SetFocusColor(vcl::clYellow);
  combo->SetDisabledColor(vcl::clSilver);
  EXPECT_EQ(combo->Color(), vcl::clWindow);
  script::Focus(*combo);
  EXPECT_TRUE(combo->Focused()) << "the edit field's focus is the control's";
  EXPECT_EQ(combo->Color(), vcl::clYellow);
  EXPECT_EQ(Pixel(*combo, 20, combo->Height() / 2 - 5), Rgb(vcl::clYellow)) << "the edit field shows it too";
  script::Focus(*other);
  EXPECT_EQ(combo->Color(), vcl::clWindow);
  combo->SetEnabled(false);
  EXPECT_EQ(combo->Color(), vcl::clSilver);
  combo->SetReadOnly(true);
  EXPECT_EQ(combo->Color(), vcl::clSilver) << "disabled wins over read-only";
  combo->SetEnabled(true);
  EXPECT_EQ(combo->Color(), vcl::clInfoBk);
}

TEST_F(CtComboBox, TheFrameIsPaintedOverTheClientEdgeInItsHotStyleWhileHot) {
  TCtComboBox* combo = Make(csDropDownList, {"Apple"});
  TCtComboBox* other = Make(csDropDownList, {"x"}, 50);
  combo->SetFramingPreference(fpCustomFraming);
  combo->SetFrameColor(vcl::clRed);
  combo->SetFrameHotColor(vcl::clBlue);
  combo->SetFrameHotStyle(fsFlatBold);
  EXPECT_NE(Pixel(*combo, 0, 0), Rgb(vcl::clRed)) << "no frame yet: the window's own edge";
  combo->SetFrameVisible(true);
  EXPECT_EQ(Pixel(*combo, 0, 0), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*combo, 1, 1), Rgb(vcl::clWindow)) << "fsFlat is one line; the band is the colour";
  combo->SetFrameHotTrack(true);
  script::Focus(*combo);
  EXPECT_EQ(Pixel(*combo, 1, 1), Rgb(vcl::clBlue)) << "focused: the bold hot frame";
  script::Focus(*other);
  EXPECT_EQ(Pixel(*combo, 1, 1), Rgb(vcl::clWindow));
  script::MoveMouse(*combo, vcl::Point(20, 10));
  EXPECT_EQ(Pixel(*combo, 1, 1), Rgb(vcl::clBlue)) << "under the mouse";
  script::MoveMouse(*form, vcl::Point(300, 250));
  EXPECT_EQ(Pixel(*combo, 1, 1), Rgb(vcl::clWindow));
}

TEST_F(CtComboBox, AFlatButtonRisesOnlyWhileTheControlIsHot) {
  TCtComboBox* combo = Make(csDropDown, {"Apple"});
  combo->SetFlatButtons(true);
  const vcl::TRect button = vcl::Rect(combo->Width() - 2 - win::GetSystemMetrics(win::SM_CXVSCROLL), 2,
                                      combo->Width() - 2, combo->Height() - 2);
  EXPECT_EQ(Pixel(*combo, button.left, button.top), Rgb(vcl::clWindow)) << "flat: the control's colour";
  EXPECT_EQ(Pixel(*combo, button.left + 2, button.top + 2), Rgb(vcl::clWindow));
  script::MoveMouse(*combo, vcl::Point(20, 10));  // over the edit field
  EXPECT_EQ(Pixel(*combo, button.left, button.top), Rgb(vcl::clBtnHighlight));
  EXPECT_EQ(Pixel(*combo, button.right - 1, button.bottom - 1), Rgb(vcl::clBtnShadow));
  EXPECT_EQ(Pixel(*combo, button.left + 2, button.top + 2), Rgb(vcl::clBtnFace));
  combo->SetFlatButtonColor(vcl::clMoneyGreen);
  EXPECT_EQ(Pixel(*combo, button.left + 3, button.top + 3), Rgb(vcl::clMoneyGreen));
  script::MoveMouse(*form, vcl::Point(300, 250));
  EXPECT_EQ(Pixel(*combo, button.left + 3, button.top + 3), Rgb(vcl::clWindow));
}

TEST_F(CtComboBox, AChosenOwnerDrawnItemShowsOnTheHighlightWithADottedOutline) {
  TCtComboBox* combo = Make(vcl::csOwnerDrawFixed, {"One", "Two"});
  combo->SetItemIndex(0);
  combo->SetDroppedDown(true);
  script::Pump();
  const win::HWND list = combo->ListHandle();
  const int row = combo->ItemHeight();
  const auto pixel = [list](int x, int y) {
    win::HDC dc = win::GetDC(list);
    const win::COLORREF c = win::GetPixel(dc, x, y);
    win::ReleaseDC(list, dc);
    return static_cast<vcl::TColor>(c);
  };
  EXPECT_EQ(pixel(1, 0), Rgb(vcl::clBlack)) << "the outline's first dot";
  EXPECT_EQ(pixel(2, 0), Rgb(vcl::clHighlight));
  EXPECT_EQ(pixel(1, row), Rgb(vcl::clWindow)) << "the other item: no outline";
  combo->SetDroppedDown(false);
}

// ---- form files ----------------------------------------------------------------------

TEST_F(CtComboBox, AFormFilesComboBoxTakesItsPropertiesAndOldNames) {
  RegisterCtComboBoxClasses();
  vcl::ReadComponentText(*form,
                         "object frmTest: TForm\n"
                         "  object cmbCodec: TCtComboBox\n"
                         "    Left = 8\n"
                         "    Top = 8\n"
                         "    Style = csDropDownList\n"
                         "    FlatButtons = True\n"
                         "    FrameHotTrack = True\n"
                         "    FrameHotStyle = fsFlat\n"
                         "    FrameFlatStyle = fsFlat\n"
                         "    ItemHeight = 13\n"
                         "    Items.Strings = (\n"
                         "      'MPEG-4'\n"
                         "      'H.264')\n"
                         "    Values.Strings = (\n"
                         "      'mp4v'\n"
                         "      'h264')\n"
                         "    ItemIndex = 1\n"
                         "    About = 'shown at design time'\n"
                         "  end\n"
                         "end\n",
                         "settings.form");
  auto& combo = script::Find<TCtComboBox>(*form, "cmbCodec");
  EXPECT_TRUE(combo.FlatButtons());
  EXPECT_TRUE(combo.FrameVisible()) << "hot tracking shows the frame";
  EXPECT_EQ(combo.FrameHotStyle(), fsFlat);
  EXPECT_EQ(combo.Style(), csDropDownList);
  EXPECT_EQ(combo.Value(), "h264");
  EXPECT_NE(combo.ItemHeight(), 13) << "only owner-drawn boxes take an item height";
  EXPECT_FALSE(vcl::IsPublishedProp(combo, "About")) << "read and dropped";
  EXPECT_TRUE(vcl::IsStoredProp(combo, "FlatButtons"));
  TCtFrameController controller(form);
  combo.SetFrameController(&controller);
  EXPECT_FALSE(vcl::IsStoredProp(combo, "FlatButtons")) << "the controller supplies it";
  EXPECT_FALSE(combo.FlatButtons() == false) << "the controller's FlatButtons is on";
}

// ---- on screen -----------------------------------------------------------------------

TEST_F(CtComboBox, StatesOnScreen) {
  const char* kStates[] = {"closed", "read-only", "disabled", "flat, hot", "dropped down"};
  TCtComboBox* combos[5];
  for (int i = 0; i < 5; ++i) {
    combos[i] = Make(i == 4 ? csDropDownList : csDropDown, {"MPEG-4 Video", "H.264 / AVC", "Windows Media Video"},
                     10 + 40 * i);
    combos[i]->SetItemIndex(i % 3);
    auto* caption = new vcl::TLabel(form);
    caption->SetParent(form);
    caption->SetBounds(170, 14 + 40 * i, 120, 16);
    caption->SetCaption(kStates[i]);
  }
  combos[1]->SetReadOnly(true);
  combos[2]->SetEnabled(false);
  combos[3]->SetFlatButtons(true);
  combos[3]->SetFramingPreference(fpCustomFraming);
  combos[3]->SetFrameHotTrack(true);
  combos[3]->SetFrameHotStyle(fsFlat);
  script::MoveMouse(*combos[3], vcl::Point(20, 10));
  combos[4]->SetFlatButtons(true);
  combos[4]->SetFramingPreference(fpCustomFraming);
  combos[4]->SetFrameVisible(true);
  script::Focus(*combos[4]);
  combos[4]->SetDroppedDown(true);
  script::Pump();
  EXPECT_EQ(Pixel(*combos[1], combos[1]->Width() - 10, 10), Rgb(vcl::clInfoBk));
  EXPECT_EQ(Pixel(*combos[3], 0, 0), Rgb(vcl::clBtnShadow));
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(SaveWithOpenList(*combos[4], QELO_SCREENSHOT_DIR "/ct-combo-states.png"));
  combos[4]->SetDroppedDown(false);
}

}  // namespace
}  // namespace qelo::ct
