// A control's popup menu opened by a right click or the menu key, and the
// application's hints.
#include "controls_fixture.h"
#include "vcl/graphics/menu_popup.h"
#include "win/window/display.h"

namespace qelo::vcl::test {
namespace {

class PopupTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    menu = new TPopupMenu(form);
    for (const char* caption : {"&Edit...", "&Remove"}) {
      auto* item = new TMenuItem(menu);
      item->SetCaption(caption);
      item->OnClick = [this, caption](TObject*) { chosen.push_back(caption); };
      menu->Items()->Add(item);
    }
    // Once the menu tracks, the first item is chosen with the keyboard.
    menu->OnPopup = [this](TObject*) {
      popupFor.push_back(menu->PopupComponent() ? menu->PopupComponent()->Name() : "none");
      Application()->Post([] {
        win::InjectKey(win::VK_DOWN, true);
        win::InjectKey(win::VK_DOWN, false);
        win::InjectKey(win::VK_RETURN, true);
        win::InjectKey(win::VK_RETURN, false);
      });
    };
  }
  TPopupMenu* menu = nullptr;
  std::vector<std::string> chosen;
  std::vector<std::string> popupFor;
};

TEST_F(PopupTest, RightClickOnAWindowlessControlOpensItsMenu) {
  auto* label = new TLabel(form);
  label->SetName("lblTarget");
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(20, 20, 80, 20);
  label->SetPopupMenu(menu);
  script::RightClick(*label);
  ASSERT_EQ(popupFor.size(), 1u);
  EXPECT_EQ(popupFor[0], "lblTarget");
  EXPECT_EQ(chosen, std::vector<std::string>{"&Edit..."});
}

TEST_F(PopupTest, ControlWithoutAMenuUsesItsParentsAndOnContextPopupCanTakeTheClick) {
  auto* panel = new TPanel(form);
  panel->SetName("pnlOuter");
  panel->SetParent(form);
  panel->SetBounds(0, 0, 200, 100);
  panel->SetPopupMenu(menu);
  auto* inner = new TPanel(form);
  inner->SetName("pnlInner");
  inner->SetParent(panel);
  inner->SetBounds(10, 10, 50, 50);
  script::RightClick(*inner);
  EXPECT_EQ(popupFor, std::vector<std::string>{"pnlOuter"});

  bool offered = false;
  inner->OnContextPopup = [&](TObject*, TPoint p, bool& handled) {
    offered = p.x == 25 && p.y == 25;  // the click in the control's coordinates
    handled = true;
  };
  script::RightClick(*inner);
  EXPECT_TRUE(offered);
  EXPECT_EQ(popupFor.size(), 1u) << "a handled event opens no menu";

  menu->SetAutoPopup(false);
  inner->OnContextPopup = nullptr;
  script::RightClick(*inner);
  EXPECT_EQ(popupFor.size(), 1u) << "a menu that does not pop up by itself stays shut";
}

TEST_F(PopupTest, MenuKeyOpensTheFocusedControlsMenu) {
  auto* panel = new TPanel(form);
  panel->SetName("pnlKeys");
  panel->SetParent(form);
  panel->SetTabStop(true);
  panel->SetPopupMenu(menu);
  script::Focus(*panel);
  script::PressKey(win::VK_APPS);
  script::PressKey(win::VK_F10, TShiftState{ssShift});
  EXPECT_EQ(popupFor, (std::vector<std::string>{"pnlKeys", "pnlKeys"}));
  EXPECT_EQ(chosen.size(), 2u);
}

TEST_F(PopupTest, MainMenuShortCutsReachTheirItemsFromAnyControl) {
  auto* mainMenu = new TMainMenu(form);
  auto* exit = new TMenuItem(mainMenu);
  exit->SetShortCut(ShortCut('Q', scCtrl));
  int exits = 0;
  exit->OnClick = [&](TObject*) { ++exits; };
  mainMenu->Items()->Add(exit);
  form->SetMenu(mainMenu);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetTabStop(true);
  int keysSeen = 0;
  panel->OnKeyDown = [&](TObject*, uint16_t&, TShiftState) { ++keysSeen; };
  script::Focus(*panel);
  script::PressKey('Q', TShiftState{ssCtrl});
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(keysSeen, 1) << "only the Ctrl key itself reaches the control";
  script::PressKey('Q');
  EXPECT_EQ(exits, 1);
}

using HintTest = FormTest;

TEST_F(HintTest, HintShowsAfterThePauseAndGoesWhenTheMouseLeaves) {
  Application()->SetHintPause(10);
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(20, 20, 80, 20);
  label->SetHint("Play|Plays the selected file");
  label->SetShowHint(true);
  auto* quiet = new TLabel(form);
  quiet->SetParent(form);
  quiet->SetAutoSize(false);
  quiet->SetBounds(200, 20, 80, 20);
  quiet->SetHint("never shown");

  script::MoveMouse(*label, Point(5, 5));
  ASSERT_TRUE(script::PumpUntil([] { return Application()->HintWindow() != nullptr; }, 1000));
  EXPECT_EQ(Application()->HintWindow()->Caption(), "Play");
  EXPECT_EQ(Application()->Hint(), "Plays the selected file");

  script::MoveMouse(*quiet, Point(5, 5));
  EXPECT_EQ(Application()->HintWindow(), nullptr) << "a control without ShowHint shows none";
  script::PumpUntil([] { return false; }, 40);
  EXPECT_EQ(Application()->HintWindow(), nullptr);
  Application()->SetHintPause(500);
}

// A program run that frees the application's components frees its hint
// window too; the next hint makes a new one instead of using the freed one.
TEST_F(HintTest, AHintAfterTheHintWindowWasFreedMakesANewOne) {
  Application()->SetHintPause(10);
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(20, 20, 80, 20);
  label->SetHint("Play");
  label->SetShowHint(true);
  auto* away = new TLabel(form);
  away->SetParent(form);
  away->SetAutoSize(false);
  away->SetBounds(200, 20, 80, 20);
  for (int run = 0; run < 2; ++run) {
    script::MoveMouse(*label, Point(5, 5));
    ASSERT_TRUE(script::PumpUntil([] { return Application()->HintWindow() != nullptr; }, 1000)) << run;
    EXPECT_EQ(Application()->HintWindow()->Caption(), "Play");
    Application()->HintWindow()->Free();
    script::MoveMouse(*away, Point(5, 5));
  }
  Application()->SetHintPause(500);
}


// Scripted answers for popup menus: the named item is clicked with the
// mouse while the menu tracks; items that cannot be chosen dismiss it.
class PopupScriptTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    menu = new TPopupMenu(form);
    menu->SetName("pmFiles");
    for (const char* name : {"ppmEdit", "ppmLine", "ppmDelete", "ppmHidden"}) {
      auto* item = new TMenuItem(form);
      item->SetName(name);
      item->SetCaption(std::string(name) == "ppmLine" ? "-" : name);
      item->OnClick = [this, name](TObject*) { clicked.push_back(name); };
      menu->Items()->Add(item);
    }
    menu->Items()->Items(3)->SetVisible(false);
  }
  void Pop() { menu->Popup(40, 40); }
  TPopupMenu* menu = nullptr;
  std::vector<std::string> clicked;
  script::PopupScript popups;
};

TEST_F(PopupScriptTest, ChosenItemsAreClickedAfterTheMenuHasGone) {
  bool menuGone = false;
  menu->Items()->Items(2)->OnClick = [&](TObject*) {
    menuGone = menu_popup::TrackingWindow(0) == nullptr;
    clicked.push_back("ppmDelete");
  };
  popups.Choose("ppmDelete");
  popups.Choose("ppmEdit");
  Pop();
  Pop();
  EXPECT_EQ(clicked, (std::vector<std::string>{"ppmDelete", "ppmEdit"}));
  EXPECT_TRUE(menuGone);
  EXPECT_EQ(popups.Seen(), (std::vector<std::string>{"pmFiles: ppmDelete", "pmFiles: ppmEdit"}));
  EXPECT_EQ(popups.Pending(), 0);
}

TEST_F(PopupScriptTest, ItemsThatCannotBeChosenDismissTheMenuWithoutAClick) {
  menu->Items()->Items(2)->SetEnabled(false);
  popups.Choose("ppmDelete");
  popups.Choose("ppmHidden");
  popups.Choose("ppmNoSuchItem");
  popups.Dismiss();
  for (int i = 0; i < 5; ++i) Pop();  // the fifth finds no answer left
  EXPECT_TRUE(clicked.empty());
  EXPECT_EQ(popups.Seen(), (std::vector<std::string>{"pmFiles: ppmDelete (disabled)", "pmFiles: ppmHidden (not shown)",
                                                     "pmFiles: ppmNoSuchItem (not shown)", "pmFiles: -",
                                                     "pmFiles: -"}));
  EXPECT_EQ(popups.Unanswered(), 1);
  EXPECT_EQ(menu_popup::TrackingWindow(0), nullptr);
}

TEST_F(PopupScriptTest, AChosenItemMayOpenAModalRunThatTheModalScriptAnswers) {
  script::ModalScript modal;
  modal.Answer(mrYes);
  int answer = 0;
  menu->Items()->Items(0)->OnClick = [&](TObject*) {
    answer = Application()->MessageBox("Really?", "Information", MB_YESNO);
  };
  popups.Choose("ppmEdit");
  Pop();
  EXPECT_EQ(answer, mrYes);
  EXPECT_EQ(modal.Seen(), std::vector<std::string>{"Information: Really?"});
}

}  // namespace
}  // namespace qelo::vcl::test
