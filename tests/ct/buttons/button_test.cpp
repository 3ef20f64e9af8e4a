// Push buttons: mouse tracking, Space, grouped buttons that stay down, the
// default and cancel buttons of a form, modal results, form files, and what
// each look shows.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "ct_button.h"
#include "ct_common_color.h"
#include "vcl/form_reader.h"
#include "vcl/window_pixel.h"
#include "win/window/display.h"

namespace qelo::ct {
namespace {

using namespace vcl;

// Buttons on the shown test form, and the mouse as the window system
// delivers it.
class ButtonTest : public vcl::test::FormTest {
 protected:
  TCtButton* AddButton(const std::string& name, int left, int top = 10) {
    auto* b = new TCtButton(form);
    b->SetName(name);
    b->SetParent(form);
    b->SetCaption(name);
    b->SetBounds(left, top, 75, 25);
    return b;
  }

  // The left mouse button at a point of the control's client area, as the
  // window system delivers it (the control holds the mouse while pressed).
  static void Mouse(TControl& control, int x, int y, bool down) {
    const TPoint p = control.ClientToScreen(Point(x, y));
    win::InjectMouseButton(win::MouseButton::Left, down, win::POINT{p.x, p.y});
    script::Pump();
  }
  static void MoveTo(TControl& control, int x, int y) { script::MoveMouse(control, Point(x, y)); }
};

// ---- tracking ---------------------------------------------------------------

TEST_F(ButtonTest, ThePressFollowsTheMouseAndOnlyAReleaseInsideClicks) {
  TCtButton* b = AddButton("btnTrack", 20);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  const int w = b->ClientWidth(), h = b->ClientHeight();

  Mouse(*b, 10, 10, true);
  EXPECT_TRUE(b->Focused()) << "a press takes the focus";
  EXPECT_TRUE(b->Pressed());
  EXPECT_TRUE(b->Tracking());
  struct Step {
    int x, y;
    bool pressed;
  } steps[] = {
      {w - 1, h - 1, true},  // the last pixel is inside
      {w, 10, false},        // the column right of it is not
      {10, 10, true},
      {10, h, false},        // nor the row below the last
      {-1, 10, false},
      {10, -1, false},
      {0, 0, true},
  };
  for (const Step& s : steps) {
    MoveTo(*b, s.x, s.y);
    EXPECT_EQ(b->Pressed(), s.pressed) << s.x << "," << s.y;
  }
  // Pressed look and click agree on the bottom edge: no look, no click.
  MoveTo(*b, 10, h);
  Mouse(*b, 10, h, false);
  EXPECT_FALSE(b->Tracking());
  EXPECT_FALSE(b->Pressed());
  EXPECT_EQ(clicks, 0);

  Mouse(*b, 10, 10, true);
  MoveTo(*b, w - 1, h - 1);
  Mouse(*b, w - 1, h - 1, false);
  EXPECT_EQ(clicks, 1);
  MoveTo(*b, 20, 20);
  EXPECT_FALSE(b->Pressed()) << "moves after the release press nothing";
}

// A form that cannot take the focus (another form runs modally) leaves the
// button unfocused: the press neither presses nor tracks, nor clicks.
TEST_F(ButtonTest, APressThatDoesNotGiveTheFocusNeitherPressesNorTracks) {
  TCtButton* b = AddButton("btnBlocked", 20);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  win::EnableWindow(form->WindowHandle(), 0);
  b->Perform(win::WM_LBUTTONDOWN, win::MK_LBUTTON, win::MAKELPARAM(10, 10));
  EXPECT_FALSE(b->Focused());
  EXPECT_FALSE(b->Pressed());
  EXPECT_FALSE(b->Tracking());
  b->Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(10, 10));
  EXPECT_EQ(clicks, 0);
  win::EnableWindow(form->WindowHandle(), 1);
}

TEST_F(ButtonTest, SpaceClicksOnItsReleaseAfterAPressSeenHere) {
  TCtButton* b = AddButton("btnSpace", 20);
  TCtButton* other = AddButton("btnOther", 120);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  script::Focus(*b);

  win::InjectKey(win::VK_SPACE, true);
  script::Pump();
  EXPECT_TRUE(b->Pressed());
  EXPECT_EQ(clicks, 0) << "the press alone clicks nothing";
  win::InjectKey(win::VK_SPACE, false);
  script::Pump();
  EXPECT_FALSE(b->Pressed());
  EXPECT_EQ(clicks, 1);

  win::InjectKey(win::VK_SPACE, false);  // a release without its press
  script::Pump();
  EXPECT_EQ(clicks, 1);

  script::PressKey(win::VK_SPACE, TShiftState{ssAlt});
  EXPECT_EQ(clicks, 1) << "Alt+Space is not the button's";

  win::InjectKey(win::VK_SPACE, true);
  script::Pump();
  script::Focus(*other);  // losing the focus forgets the press
  EXPECT_FALSE(b->Pressed());
  script::Focus(*b);
  win::InjectKey(win::VK_SPACE, false);
  script::Pump();
  EXPECT_EQ(clicks, 1);
}

// ---- groups -----------------------------------------------------------------

// Buttons a and b share group 1, c is alone in group 2. Each row clicks one
// button and states which buttons are down afterwards.
TEST_F(ButtonTest, GroupedButtonsKeepOneDownAndAllowAllUpLetsTheLastGoUp) {
  struct Case {
    bool allowAllUp;
    std::vector<char> clicks;
    const char* down;  // the buttons down afterwards
  } cases[] = {
      {false, {'a'}, "a"},
      {false, {'a', 'b'}, "b"},
      {false, {'a', 'a'}, "a"},          // the down one stays down
      {false, {'c', 'a'}, "ac"},         // another group is left alone
      {true, {'a', 'a'}, ""},            // with AllowAllUp it goes up
      {true, {'a', 'b', 'b'}, ""},
      {true, {'c', 'a', 'b', 'c'}, "bc"},  // AllowAllUp spread to group 1 only
  };
  for (const Case& c : cases) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 400, 60);
    std::map<char, TCtButton*> buttons;
    for (char name : {'a', 'b', 'c'}) {
      auto* b = new TCtButton(form);
      b->SetParent(panel);
      b->SetBounds(10 + (name - 'a') * 90, 10, 75, 25);
      b->SetGroupIndex(name == 'c' ? 2 : 1);
      buttons[name] = b;
    }
    buttons['a']->SetAllowAllUp(c.allowAllUp);  // spreads to its group
    EXPECT_EQ(buttons['b']->AllowAllUp(), c.allowAllUp);
    for (char name : c.clicks) {
      Mouse(*buttons[name], 5, 5, true);
      Mouse(*buttons[name], 5, 5, false);
    }
    std::string down;
    for (auto& [name, b] : buttons)
      if (b->Down()) down += name;
    EXPECT_EQ(down, c.down) << "AllowAllUp " << c.allowAllUp << ", clicks "
                            << std::string(c.clicks.begin(), c.clicks.end());
    panel->Free();
  }
}

TEST_F(ButtonTest, DownNeedsAGroupAndAGroupChangeTellsTheNewGroup) {
  TCtButton* a = AddButton("btnA", 10);
  TCtButton* b = AddButton("btnB", 100);
  a->SetDown(true);
  EXPECT_FALSE(a->Down()) << "an ungrouped button never stays down";

  a->SetGroupIndex(1);
  a->SetDown(true);
  b->SetGroupIndex(2);
  b->SetAllowAllUp(true);
  b->SetDown(true);
  EXPECT_TRUE(a->Down());
  a->SetDown(false);
  EXPECT_TRUE(a->Down()) << "without AllowAllUp the group keeps it down";

  b->SetGroupIndex(1);  // b, down, joins a's group and brings AllowAllUp along
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  EXPECT_TRUE(a->AllowAllUp());
}

TEST_F(ButtonTest, AStrayGroupMessageChangesNothing) {
  TCtButton* a = AddButton("btnA", 10);
  a->SetGroupIndex(1);
  a->SetDown(true);
  TCtButton elsewhere(nullptr);  // not a sibling
  elsewhere.SetGroupIndex(1);
  a->Perform(CM_CTBUTTONPRESSED, 1, reinterpret_cast<LPARAM>(&elsewhere));
  a->Perform(CM_CTBUTTONPRESSED, 1, 12345);
  a->Perform(CM_CTBUTTONPRESSED, 1, reinterpret_cast<LPARAM>(a));
  EXPECT_TRUE(a->Down());
}

// ---- default and cancel buttons ----------------------------------------------

TEST_F(ButtonTest, EnterChoosesTheFocusedOrTheDefaultButtonAndEscapeTheCancelOne) {
  TCtButton* ok = AddButton("ok", 10);
  ok->SetDefault(true);
  TCtButton* cancel = AddButton("cancel", 100);
  cancel->SetCancel(true);
  TCtButton* other = AddButton("other", 190);
  auto* native = new TButton(form);
  native->SetParent(form);
  native->SetBounds(280, 10, 75, 25);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 100, 100, 50);
  panel->SetTabStop(true);
  std::vector<std::string> clicked;
  for (TCtButton* b : {ok, cancel, other})
    b->OnClick = [&clicked](TObject* s) { clicked.push_back(static_cast<TComponent*>(s)->Name()); };
  native->OnClick = [&clicked](TObject*) { clicked.push_back("native"); };

  struct Case {
    TWinControl* focus;
    uint16_t key;
    TShiftState shift;
    const char* clicks;  // empty: none
  } cases[] = {
      {panel, win::VK_RETURN, {}, "ok"},  // not a push button: the default one
      {panel, win::VK_ESCAPE, {}, "cancel"},
      {other, win::VK_RETURN, {}, "other"},  // the focused push button
      {other, win::VK_ESCAPE, {}, "cancel"},
      {native, win::VK_RETURN, {}, "native"},  // a framework push button counts as one
      {panel, win::VK_RETURN, TShiftState{ssShift}, ""},
      {panel, win::VK_ESCAPE, TShiftState{ssCtrl}, ""},
  };
  for (const Case& c : cases) {
    clicked.clear();
    script::Focus(*c.focus);
    EXPECT_EQ(ok->Active(), c.focus == panel) << c.focus->Name();
    script::PressKey(c.key, c.shift);
    std::string got;
    for (const std::string& s : clicked) got += s;
    EXPECT_EQ(got, c.clicks) << "key " << c.key << " with the focus on " << c.focus->ClassName();
  }

  // The default role moves with Default, also while the focus stays put.
  script::Focus(*panel);
  ok->SetDefault(false);
  other->SetDefault(true);
  EXPECT_FALSE(ok->Active());
  EXPECT_TRUE(other->Active());
  clicked.clear();
  script::PressKey(win::VK_RETURN);
  ASSERT_EQ(clicked.size(), 1u);
  EXPECT_EQ(clicked[0], "other");

  // A disabled default button is not clicked.
  other->SetEnabled(false);
  clicked.clear();
  script::PressKey(win::VK_RETURN);
  EXPECT_TRUE(clicked.empty());
}

TEST_F(ButtonTest, TheCaptionsAcceleratorClicks) {
  TCtButton* b = AddButton("btnApply", 10);
  b->SetCaption("&Apply");
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetTabStop(true);
  panel->SetBounds(0, 100, 100, 50);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  script::Focus(*panel);
  script::TypeText("a");
  EXPECT_EQ(clicks, 1);
  script::TypeText("p");
  EXPECT_EQ(clicks, 1);
  b->SetVisible(false);
  script::TypeText("a");
  EXPECT_EQ(clicks, 1) << "a hidden button takes no accelerator";
}

// A focused button that is disabled gives the focus back to its form, so
// the form's default button takes Enter again.
TEST_F(ButtonTest, DisablingTheFocusedButtonGivesTheDefaultRoleBack) {
  TCtButton* ok = AddButton("ok", 10);
  ok->SetDefault(true);
  TCtButton* other = AddButton("other", 100);
  int okClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  Mouse(*other, 5, 5, true);
  ASSERT_TRUE(other->Focused());
  other->SetEnabled(false);
  EXPECT_FALSE(other->Focused());
  EXPECT_FALSE(other->Pressed());
  EXPECT_FALSE(other->Tracking());
  EXPECT_FALSE(win::IsWindowEnabled(other->WindowHandle()));
  EXPECT_TRUE(ok->Active());
  Mouse(*other, 5, 5, false);
  script::PressKey(win::VK_RETURN);
  EXPECT_EQ(okClicks, 1);
}

// ---- modal results ------------------------------------------------------------

TEST_F(ButtonTest, TheModalResultReachesTheFormBeforeOnClickAndEndsTheRun) {
  auto* dialog = new TForm(nullptr);
  dialog->SetBorderStyle(bsDialog);
  dialog->SetBounds(50, 50, 200, 100);
  auto* ok = new TCtButton(dialog);
  ok->SetParent(dialog);
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  auto* cancel = new TCtButton(dialog);
  cancel->SetParent(dialog);
  cancel->SetLeft(100);
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  std::vector<TModalResult> seenInOnClick;
  ok->OnClick = [&](TObject*) { seenInOnClick.push_back(dialog->ModalResult()); };
  cancel->OnClick = ok->OnClick;

  script::ModalScript modal;
  modal.Answer([&](TCustomForm&) {
    Mouse(*ok, 5, 5, true);
    Mouse(*ok, 5, 5, false);
  });
  modal.Answer([&](TCustomForm&) { script::PressKey(win::VK_ESCAPE); });
  modal.Answer([&](TCustomForm&) { script::PressKey(win::VK_RETURN); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  const std::vector<TModalResult> expected = {mrOk, mrCancel, mrOk};
  EXPECT_EQ(seenInOnClick, expected);
  EXPECT_EQ(modal.Unanswered(), 0);
  dialog->Free();
}

// ---- form files ---------------------------------------------------------------

TEST_F(ButtonTest, AFormFilePlacesButtonsAndReadsTheObsoleteFrameFlat) {
  RegisterCtButtonClasses();
  auto* dialog = new TForm(nullptr);
  ReadComponentText(*dialog,
                    "object dlgAbout: TForm\n"
                    "  object btnOk: TCtButton\n"
                    "    Left = 8\n"
                    "    Caption = 'OK'\n"
                    "    Default = True\n"
                    "    ModalResult = mrOk\n"
                    "    FrameFlat = True\n"
                    "    HotTrackColorType = htctComplement\n"
                    "    AlignmentVertical = avTop\n"
                    "    TextStyle = tsShadow\n"
                    "    FrameColor = clNavy\n"
                    "    GroupIndex = 3\n"
                    "    Down = True\n"
                    "  end\n"
                    "end\n",
                    "about.form");
  auto& ok = script::Find<TCtButton>(*dialog, "btnOk");
  EXPECT_EQ(ok.Parent(), dialog);
  EXPECT_TRUE(ok.Default());
  EXPECT_EQ(ok.ModalResult(), mrOk);
  EXPECT_TRUE(ok.HotTrack());
  EXPECT_TRUE(ok.Transparent()) << "the hot-track look is transparent";
  EXPECT_EQ(ok.HotTrackColorType(), htctComplement);
  EXPECT_EQ(ok.AlignmentVertical(), avTop);
  EXPECT_EQ(ok.TextStyle(), tsShadow);
  EXPECT_EQ(ok.FrameColor(), clNavy);
  EXPECT_TRUE(ok.Down());
  EXPECT_EQ(ok.Width(), 75);
  EXPECT_EQ(ok.Color(), clBtnFace);
  EXPECT_FALSE(ok.ParentColor());
  EXPECT_EQ(GetPropInfo(ok, "Transparent"), nullptr) << "follows HotTrack, not published";
  const char* badFlag = "object dlgAbout: TForm\n  object b: TCtButton\n    FrameFlat = 2\n  end\nend\n";
  EXPECT_THROW(ReadComponentText(*dialog, badFlag, "bad.form"), EReadError);
  dialog->Free();
}

// ---- what the looks show ----------------------------------------------------------

// The button as its own paint leaves it, on a white sheet.
std::unique_ptr<TBitmap> Picture(TCtButton& b) {
  auto sheet = std::make_unique<TBitmap>(b.Width(), b.Height());
  sheet->Canvas()->Brush()->SetColor(clWhite);
  sheet->Canvas()->FillRect(Rect(0, 0, b.Width(), b.Height()));
  b.Perform(win::WM_PAINT, reinterpret_cast<WPARAM>(sheet->Canvas()->Handle()), 0);
  return sheet;
}

int CountColor(TBitmap& sheet, TColor color, const TRect& area) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (sheet.Canvas()->Pixels(x, y) == ColorToRGB(color)) ++n;
  return n;
}

// Disabled text is grey, unless the face is grey already: then it is the
// dark shadow colour. Counted inside the edges, where only the caption is.
TEST_F(ButtonTest, ADisabledCaptionStaysReadableOnAGreyFace) {
  struct Case {
    TColor face;
    TColor text;
    TColor notText;
  } cases[] = {
      {clBtnFace, clGrayText, cl3DDkShadow},
      {clGrayText, cl3DDkShadow, clBtnText},
  };
  for (const Case& c : cases) {
    TCtButton* b = AddButton("btnGrey", 10);
    b->SetCaption("WWWW");
    b->Font()->SetStyle({fsBold});
    b->Font()->SetSize(12);
    b->SetColor(c.face);
    b->SetEnabled(false);
    auto sheet = Picture(*b);
    const TRect inside = Rect(6, 6, b->Width() - 6, b->Height() - 6);
    EXPECT_GT(CountColor(*sheet, c.text, inside), 10) << ColorToString(c.face);
    EXPECT_EQ(CountColor(*sheet, c.notText, inside), 0) << ColorToString(c.face);
    b->Free();
  }
}

// The classic look outlines the button that Enter would click (the
// default one, or the focused one) in the window frame colour.
TEST_F(ButtonTest, TheClassicLookOutlinesTheButtonEnterWouldClick) {
  TCtButton* ok = AddButton("ok", 10);
  ok->SetDefault(true);
  TCtButton* other = AddButton("other", 100);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetTabStop(true);
  panel->SetBounds(0, 100, 50, 50);
  const TColor frame = ColorToRGB(clWindowFrame);
  auto outlined = [&](TCtButton& b) {
    auto sheet = Picture(b);
    return sheet->Canvas()->Pixels(0, 0) == frame && sheet->Canvas()->Pixels(b.Width() - 1, b.Height() - 1) == frame;
  };
  script::Focus(*panel);
  EXPECT_TRUE(outlined(*ok));
  EXPECT_FALSE(outlined(*other));
  script::Focus(*other);
  EXPECT_FALSE(outlined(*ok));
  EXPECT_TRUE(outlined(*other));
}

// A grouped button that stays down shows the 8 x 8 checker on its face:
// silver where column and row are both even or both odd, grey on a silver
// button, nothing with ShowDownPattern off.
TEST_F(ButtonTest, AStayedDownButtonShowsTheDownPatternOnItsFace) {
  struct Case {
    TColor color;
    bool showDownPattern;
    TColor even, odd;
  } cases[] = {
      {clBtnFace, true, clSilver, clBtnFace},
      {clSilver, true, clGray, clSilver},
      {clBtnFace, false, clBtnFace, clBtnFace},
  };
  for (const Case& c : cases) {
    TCtButton* b = AddButton("btnDown", 10);
    b->SetCaption("");
    b->SetColor(c.color);
    b->SetShowDownPattern(c.showDownPattern);
    b->SetGroupIndex(1);
    b->SetDown(true);
    auto sheet = Picture(*b);
    for (int y = 8; y < 16; ++y)
      for (int x = 10; x < 18; ++x)
        ASSERT_EQ(sheet->Canvas()->Pixels(x, y), ColorToRGB((x + y) % 2 == 0 ? c.even : c.odd))
            << ColorToString(c.color) << " at " << x << "," << y;
    b->Free();
  }
}

// The hot-track look: rounded corners that show the parent, an outer ring
// in shades of the parent's colour, the frame, and a ring on the face in
// the hot-track colours while the mouse is over it, in the focus colours
// while it is the button Enter would click, and none otherwise.
TEST_F(ButtonTest, TheHotTrackLookShowsTheParentAtItsCornersAndRingsTheHotButton) {
  form->SetColor(clWhite);
  TCtButton* b = AddButton("btnHot", 20, 20);
  b->SetHotTrack(true);
  b->SetFrameColor(clNavy);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetTabStop(true);
  panel->SetBounds(200, 100, 50, 50);
  script::Focus(*panel);
  script::MoveMouse(*panel, Point(5, 5));
  const int w = b->Width(), h = b->Height();
  auto at = [&](int x, int y) { return qelo::test::WindowPixel(form->WindowHandle(), 20 + x, 20 + y); };
  const TColor parent = clWhite;

  EXPECT_EQ(at(0, 0), parent) << "the corner shows the parent";
  EXPECT_EQ(at(w - 1, h - 1), parent);
  EXPECT_EQ(at(2, 0), DarkenColor(parent, 20));
  EXPECT_EQ(at(1, 1), DarkenColor(parent, 20));
  EXPECT_EQ(at(w - 1, 2), LightenColor(parent, 20));
  EXPECT_EQ(at(w - 2, h - 2), LightenColor(parent, 20));
  EXPECT_EQ(at(2, 1), ColorToRGB(clNavy)) << "the frame";
  EXPECT_EQ(at(1, 2), ColorToRGB(clNavy));
  const TColor faceTop = LightenColor(clBtnFace, 30);
  EXPECT_EQ(at(w / 2, 2), faceTop) << "no ring: neither hot nor default nor focused";

  script::MoveMouse(*b, Point(w / 2, h / 2));
  ASSERT_TRUE(b->MouseOver());
  EXPECT_EQ(at(w / 2, 2), MixColors(clWhite, b->HotTrackColor(), 190)) << "the hot ring";
  b->SetHotTrackColorType(htctComplement);
  EXPECT_EQ(at(w / 2, 2), ComplementColor(b->HotTrackColor(), 180));
  script::MoveMouse(*panel, Point(5, 5));
  b->SetDefault(true);
  const TColor light = LightenColor(clBtnFace, 30);
  EXPECT_EQ(at(w / 2, 2), MixColors(clHighlight, light, 60)) << "the focus ring of the default button";

  Mouse(*b, w / 2, h / 2, true);
  EXPECT_EQ(at(w / 2, h / 2), DarkenColor(clBtnFace, 10)) << "the pressed face";
  Mouse(*b, w / 2, h / 2, false);
}

}  // namespace
}  // namespace qelo::ct
