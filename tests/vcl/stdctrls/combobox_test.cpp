// Combo boxes: items, index and text kept until the window exists and in
// step with it afterwards, the keyboard and the drop-down list becoming
// OnSelect and OnChange in order, the edit field's keys passing the
// framework, and owner-drawn items.
#include "stdctrls_fixture.h"
#include "vcl/controls/combobox.h"
#include "win/controls/combobox.h"
#include "win/controls/edit.h"

namespace qelo::vcl::test {
namespace {

class ComboBoxTest : public FormTest {
 protected:
  TComboBox* MakeCombo(TComboBoxStyle style, std::initializer_list<const char*> items = {"Apple", "Banana", "Cherry"}) {
    auto* combo = new TComboBox(form);
    combo->SetStyle(style);
    combo->SetBounds(10, 10, 150, 21);
    for (const char* item : items) combo->Items()->Add(item);
    combo->OnClick = [this](TObject*) { journal.Add("click"); };
    combo->OnSelect = [this, combo](TObject*) { journal.Add("select " + combo->Text()); };
    combo->OnChange = [this, combo](TObject*) { journal.Add("change " + combo->Text()); };
    combo->OnDropDown = [this](TObject*) { journal.Add("dropdown"); };
    combo->OnCloseUp = [this](TObject*) { journal.Add("closeup"); };
    return combo;
  }
  static win::COMBOBOXINFO Info(TComboBox& combo) {
    win::COMBOBOXINFO info;
    win::SendMessage(combo.Handle(), win::CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
  }
  static LRESULT Count(TComboBox& combo) { return win::SendMessage(combo.Handle(), win::CB_GETCOUNT, 0, 0); }
  Journal journal;
};

TEST_F(ComboBoxTest, ItemsIndexAndObjectsKeptBeforeTheWindowAndAcrossANewOne) {
  TComboBox* combo = MakeCombo(csDropDownList);
  TObject tag;
  combo->Items()->PutObject(1, &tag);
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "Banana");
  combo->SetParent(form);
  ASSERT_TRUE(combo->HandleAllocated());
  EXPECT_EQ(Count(*combo), 3);
  EXPECT_EQ(win::SendMessage(combo->Handle(), win::CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(win::GetWindowText(combo->Handle()), "Banana");
  EXPECT_EQ(combo->ClientWidth(), combo->Width()) << "no scroll bar of its own beside the button";

  // Changes of the list go to the window.
  combo->Items()->Insert(0, "Apricot");
  combo->Items()->Delete(3);
  EXPECT_EQ(Count(*combo), 3);
  EXPECT_EQ(combo->Items()->Text(), "Apricot\r\nApple\r\nBanana\r\n");
  EXPECT_EQ(combo->ItemIndex(), 2) << "the chosen item moved down with the insertion";
  EXPECT_EQ(combo->Items()->GetObject(2), &tag);
  EXPECT_EQ(combo->Items()->IndexOf("banana"), 2);

  // A new window (another style) keeps items, objects and the chosen one.
  combo->SetStyle(csOwnerDrawFixed);
  EXPECT_EQ(Count(*combo), 3);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Items()->GetObject(2), &tag);
  EXPECT_TRUE(journal.lines.empty()) << "the program's changes fire no selection events";
  EXPECT_THROW(combo->Items()->Get(3), EStringListError);
}

TEST_F(ComboBoxTest, SortedBoxesKeepTheirItemsInOrderWithAndWithoutAWindow) {
  TComboBox* combo = MakeCombo(csDropDownList, {"Pear"});
  combo->SetSorted(true);
  EXPECT_EQ(combo->Items()->Add("Apple"), 0);
  combo->SetParent(form);
  EXPECT_EQ(combo->Items()->Add("Banana"), 1) << "added where it belongs";
  EXPECT_EQ(combo->Items()->Text(), "Apple\r\nBanana\r\nPear\r\n");
}

TEST_F(ComboBoxTest, KeyboardSelectionFiresSelectThenChange) {
  TComboBox* combo = MakeCombo(csDropDownList);
  combo->SetParent(form);
  script::Focus(*combo);
  script::PressKey(win::VK_DOWN);
  script::PressKey(win::VK_DOWN);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"click", "select Apple", "change Apple", "click", "select Banana",
                                                     "change Banana"}));
  EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST_F(ComboBoxTest, ChoosingFromTheDropDownFiresItsEventsInOrder) {
  TComboBox* combo = MakeCombo(csDropDownList);
  combo->SetParent(form);
  combo->SetDroppedDown(true);
  ASSERT_TRUE(combo->DroppedDown());
  const int row = combo->ItemHeight();
  ClickWindow(Info(*combo).hwndList, Point(20, 2 * row + row / 2));
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "Cherry");
  EXPECT_EQ(journal.lines,
            (std::vector<std::string>{"dropdown", "click", "select Cherry", "change Cherry", "closeup"}));
}

TEST_F(ComboBoxTest, TypingInTheEditFieldPassesTheFrameworksKeyHandling) {
  TComboBox* combo = MakeCombo(csDropDown);
  combo->SetAutoComplete(false);  // the typed text alone
  combo->SetParent(form);
  auto* next = new TButton(form);
  next->SetParent(form);
  next->SetTop(60);
  std::string pressed;
  combo->OnKeyPress = [&](TObject*, char16_t& key) {
    pressed += static_cast<char>(key);
    if (key == 'x') key = 0;  // a handler may drop a key
  };
  script::Focus(*combo);
  ASSERT_TRUE(combo->Focused());
  script::TypeText("Chxe");
  EXPECT_EQ(pressed, "Chxe");
  EXPECT_EQ(combo->Text(), "Che");
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"change C", "change Ch", "change Che"}));
  EXPECT_EQ(combo->ItemIndex(), -1) << "typing alone chooses nothing";

  // Tab is a dialog key: the focus moves on.
  script::PressKey(win::VK_TAB);
  EXPECT_TRUE(next->Focused());
  EXPECT_FALSE(combo->Focused());
}

TEST_F(ComboBoxTest, EveryNewWindowsEditFieldShowsTheHintAndPassesTheFramework) {
  TComboBox* combo = MakeCombo(csDropDown);
  combo->SetTextHint("Search");
  combo->SetText("Kiwi");
  combo->SetParent(form);
  EXPECT_EQ(win::GetWindowText(combo->EditHandle()), "Kiwi") << "the text set before the window";
  EXPECT_EQ(combo->Text(), "Kiwi");
  combo->SetText("");
  auto cue = [combo] {
    char buffer[32] = {};
    win::SendMessage(combo->EditHandle(), win::EM_GETCUEBANNER, reinterpret_cast<WPARAM>(buffer), sizeof buffer);
    return std::string(buffer);
  };
  EXPECT_EQ(cue(), "Search");
  const win::HWND firstEdit = combo->EditHandle();
  combo->SetStyle(csDropDownList);
  EXPECT_EQ(combo->EditHandle(), nullptr) << "a list-style box has no edit field";
  EXPECT_FALSE(win::IsWindow(firstEdit));
  combo->SetStyle(csDropDown);
  ASSERT_NE(combo->EditHandle(), nullptr);
  EXPECT_EQ(cue(), "Search");
  int presses = 0;
  combo->SetAutoComplete(false);
  combo->OnKeyPress = [&](TObject*, char16_t&) { ++presses; };
  script::Focus(*combo);
  script::TypeText("Ba");
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(combo->Text(), "Ba");
}

TEST_F(ComboBoxTest, AutoCompleteCompletesTheTypedTextToTheFirstItemStartingWithIt) {
  TComboBox* combo = MakeCombo(csDropDown, {"Apple", "Banana", "Blueberry", "Cherry"});
  combo->SetParent(form);
  script::Focus(*combo);
  script::TypeText("bl");
  EXPECT_EQ(combo->Text(), "blueberry") << "the typed part as typed, the rest from the item";
  EXPECT_EQ(combo->SelStart(), 2);
  EXPECT_EQ(combo->SelLength(), 7);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"click", "select banana", "change banana", "click",
                                                     "select blueberry", "change blueberry"}));
  journal.lines.clear();
  script::TypeText("x");  // completes nothing: the edit field takes it over the selection
  EXPECT_EQ(combo->Text(), "blx");
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"change blx"}));
  script::TypeText("\b");
  EXPECT_EQ(combo->Text(), "bl") << "Backspace only deletes";

  combo->SetAutoComplete(false);
  combo->SetText("");
  script::TypeText("ch");
  EXPECT_EQ(combo->Text(), "ch");
}

TEST_F(ComboBoxTest, AutoDropDownOpensOnATypedKeyAndAutoCloseUpClosesOnAKeysChoice) {
  TComboBox* combo = MakeCombo(csDropDownList);
  combo->SetParent(form);
  script::Focus(*combo);
  combo->SetAutoDropDown(true);
  script::PressKey(win::VK_ESCAPE);
  EXPECT_FALSE(combo->DroppedDown()) << "Esc opens nothing";
  script::TypeText("c");
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "Cherry");
  script::PressKey(win::VK_UP);
  EXPECT_TRUE(combo->DroppedDown()) << "without AutoCloseUp the list stays open";
  EXPECT_EQ(combo->Text(), "Banana");

  combo->SetAutoCloseUp(true);
  journal.lines.clear();
  script::PressKey(win::VK_UP);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "Apple");
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"click", "select Apple", "change Apple", "closeup"}));
}

TEST_F(ComboBoxTest, CharCaseChangesTheShownTextAndTypedLetters) {
  TComboBox* combo = MakeCombo(csDropDown);
  combo->SetAutoComplete(false);
  combo->SetText("Kiwi 2");
  combo->SetParent(form);
  combo->SetCharCase(ecUpperCase);
  EXPECT_EQ(combo->Text(), "KIWI 2");
  script::Focus(*combo);
  combo->SelectAll();
  script::TypeText("pe");
  EXPECT_EQ(combo->Text(), "PE");
  combo->SetCharCase(ecLowerCase);
  EXPECT_EQ(combo->Text(), "pe");
  script::PressKey(win::VK_END);
  script::TypeText("AR");
  EXPECT_EQ(combo->Text(), "pear");
  combo->SetStyle(csDropDownList);
  combo->SetStyle(csDropDown);
  combo->SetText("");
  script::Focus(*combo);
  script::TypeText("OK");
  EXPECT_EQ(combo->Text(), "ok") << "a new edit field converts as well";
}

TEST_F(ComboBoxTest, TheEditFieldShowsTheControlsColour) {
  TComboBox* combo = MakeCombo(csDropDown);
  combo->SetParent(form);
  combo->SetColor(clYellow);
  script::Pump();
  EXPECT_EQ(ControlPixel(*combo, 30, combo->Height() / 2), ColorToRGB(clYellow));
  win::SendMessage(combo->EditHandle(), win::EM_SETREADONLY, 1, 0);
  combo->SetColor(clAqua);
  script::Pump();
  EXPECT_EQ(ControlPixel(*combo, 30, combo->Height() / 2), ColorToRGB(clAqua)) << "read-only as well";
}

TEST_F(ComboBoxTest, ThePointerOverTheEditFieldIsOverTheControl) {
  TComboBox* combo = MakeCombo(csDropDown);
  combo->SetParent(form);
  combo->OnMouseEnter = [this](TObject*) { journal.Add("enter"); };
  combo->OnMouseLeave = [this](TObject*) { journal.Add("leave"); };
  journal.lines.clear();
  script::MoveMouse(*combo, Point(20, combo->Height() / 2));  // the edit field
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"enter"}));
  EXPECT_TRUE(combo->MouseInControl());
  script::MoveMouse(*combo, Point(combo->Width() - 6, combo->Height() / 2));  // the button
  script::MoveMouse(*combo, Point(30, combo->Height() / 2));
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"enter"})) << "moving between its parts leaves nothing";
  script::MoveMouse(*form, Point(300, 250));
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"enter", "leave"}));
  EXPECT_FALSE(combo->MouseInControl());
}

TEST_F(ComboBoxTest, TextOfAListStyleBoxIsAlwaysAnItem) {
  TComboBox* combo = MakeCombo(csDropDownList);
  combo->SetParent(form);
  combo->SetText("Cherry");
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->SetText("Durian");
  EXPECT_EQ(combo->Text(), "Cherry") << "a text that is no item is not taken";
  combo->SetItemIndex(-1);
  EXPECT_EQ(combo->Text(), "");
}

TEST_F(ComboBoxTest, OwnerDrawnItemsAreMeasuredAndDrawnInTheirRectangles) {
  TComboBox* combo = MakeCombo(csOwnerDrawFixed);
  combo->SetItemHeight(20);
  std::vector<int> measured;
  combo->OnMeasureItem = [&](TWinControl*, int index, int& height) {
    measured.push_back(index);
    EXPECT_EQ(height, 20);
  };
  struct Drawn {
    int index;
    TRect rect;
    TOwnerDrawState state;
  };
  std::vector<Drawn> drawn;
  combo->OnDrawItem = [&](TWinControl*, int index, TRect rect, TOwnerDrawState state) {
    drawn.push_back({index, rect, state});
  };
  combo->SetItemIndex(1);
  combo->SetParent(form);
  EXPECT_FALSE(measured.empty()) << "measured while the window was made";
  EXPECT_EQ(combo->ItemHeight(), 20);

  drawn.clear();
  combo->SetDroppedDown(true);
  script::Pump();
  std::vector<int> rows;
  for (const Drawn& d : drawn) {
    if (d.state.Contains(odComboBoxEdit)) continue;
    rows.push_back(d.index);
    EXPECT_EQ(d.rect.top, d.index * 20) << "item " << d.index;
    EXPECT_EQ(RectHeight(d.rect), 20);
    EXPECT_EQ(d.state.Contains(odSelected), d.index == 1) << "item " << d.index;
  }
  EXPECT_EQ(rows, (std::vector<int>{0, 1, 2}));
  combo->SetDroppedDown(false);
}

TEST_F(ComboBoxTest, UndrawnOwnerDrawnItemsShowTheirTextOnTheHighlight) {
  TComboBox* combo = MakeCombo(csOwnerDrawFixed);
  combo->SetItemIndex(0);
  combo->SetParent(form);
  combo->SetDroppedDown(true);
  script::Pump();
  const win::HWND list = Info(*combo).hwndList;
  win::HDC dc = win::GetDC(list);
  const int row = combo->ItemHeight();
  // The chosen item is drawn on the highlight, the next one on the box's colour.
  EXPECT_EQ(win::GetPixel(dc, 60, row / 2), ColorToRGB(clHighlight));
  EXPECT_EQ(win::GetPixel(dc, 60, row + row / 2), ColorToRGB(clWindow));
  win::ReleaseDC(list, dc);
}

}  // namespace
}  // namespace qelo::vcl::test
