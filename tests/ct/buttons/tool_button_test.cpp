// The tool button: drop-down menus (where they open, the press that closed
// one not opening it again, the click that a menu press disarms), groups,
// the style switch and its width, actions, the image of each state, and
// form files.
#include <gtest/gtest.h>

#include <memory>

#include "controls_fixture.h"
#include "ct_button_tool.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"
#include "vcl/graphics/menu_popup.h"
#include "window_pixel.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;

// A press and release of the left button at a client point of the control.
void ClickAt(TControl& control, int x, int y) {
  const TPoint p = control.ClientToScreen(Point(x, y));
  const win::POINT screen{p.x, p.y};
  win::InjectMouseMove(screen);
  win::InjectMouseButton(win::MouseButton::Left, true, screen);
  win::InjectMouseButton(win::MouseButton::Left, false, screen);
  script::Pump();
}

class ToolButtonTest : public vcl::test::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    menu = new TPopupMenu(form);
    for (const char* caption : {"New folder", "Delete"}) {
      auto* item = new TMenuItem(menu);
      item->SetCaption(caption);
      menu->Items()->Add(item);
    }
    // Each menu that opens is closed again with Escape once it tracks; the
    // screen rectangle of its window is kept.
    menu->OnPopup = [this](TObject*) {
      Application()->Post([this] {
        win::RECT r{};
        if (win::HWND w = menu_popup::TrackingWindow(0)) win::GetWindowRect(w, &r);
        menuRects.push_back(Rect(r.left, r.top, r.right, r.bottom));
        win::InjectKey(win::VK_ESCAPE, true);
        win::InjectKey(win::VK_ESCAPE, false);
      });
    };
  }

  TCtToolButton* NewButton(int left = 20, int top = 20) {
    auto* b = new TCtToolButton(form);
    b->SetParent(form);
    b->SetBounds(left, top, 40, 25);
    b->SetTickSource([this] { return now; });
    return b;
  }

  TCtToolButton* NewDropDownButton(int left = 20, int top = 20) {
    TCtToolButton* b = NewButton(left, top);
    b->SetToolStyle(tsDropDown);
    b->SetDropDownMenu(menu);
    b->OnDropDown = [this](TObject* sender) { dropDownSenders.push_back(sender); };
    return b;
  }

  TPopupMenu* menu = nullptr;
  std::vector<TRect> menuRects;
  std::vector<TObject*> dropDownSenders;
  uint32_t now = 5000;
};

TEST_F(ToolButtonTest, ArrowOpensTheMenuAndAPressSoonAfterItClosedDoesNot) {
  TCtToolButton* b = NewDropDownButton();
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  const int arrowX = b->Width() - 5;

  ClickAt(*b, arrowX, 10);
  ASSERT_EQ(dropDownSenders.size(), 1u);
  EXPECT_EQ(dropDownSenders[0], menu) << "OnDropDown comes from the menu";
  EXPECT_EQ(menuRects.size(), 1u);

  now += TCtToolButton::kDropDownDebounceMs - 1;  // the press that closed the menu
  ClickAt(*b, arrowX, 10);
  EXPECT_EQ(dropDownSenders.size(), 1u);

  now += TCtToolButton::kDropDownDebounceMs;
  ClickAt(*b, arrowX, 10);
  EXPECT_EQ(dropDownSenders.size(), 2u) << "a press long after the menu closed opens it again";
  now += TCtToolButton::kDropDownDebounceMs;
  ClickAt(*b, arrowX, 10);
  EXPECT_EQ(dropDownSenders.size(), 3u);
  EXPECT_EQ(clicks, 0) << "the arrow never clicks";
}

TEST_F(ToolButtonTest, ClickAfterTheMenuClosedOverTheButtonOnlyArmsTheButton) {
  TCtToolButton* b = NewDropDownButton();
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  ClickAt(*b, 5, 10);
  EXPECT_EQ(clicks, 1) << "the main part clicks";
  ClickAt(*b, b->Width() - 5, 10);
  ASSERT_EQ(dropDownSenders.size(), 1u);
  ClickAt(*b, 5, 10);
  EXPECT_EQ(clicks, 1) << "the first press after the menu re-arms the click";
  ClickAt(*b, 5, 10);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ToolButtonTest, ButtonThatOnlyDropsDownOpensFromAnywhereAndFromItsAccelerator) {
  TCtToolButton* b = NewDropDownButton();
  b->SetCaption("&Tools");
  ClickAt(*b, 3, 10);
  EXPECT_EQ(dropDownSenders.size(), 1u) << "without OnClick or an action the whole button drops down";
  form->Perform(CM_DIALOGCHAR, 't');
  EXPECT_EQ(dropDownSenders.size(), 2u);

  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_NE(form->Perform(CM_DIALOGCHAR, 'T'), 0);
  EXPECT_EQ(dropDownSenders.size(), 2u) << "with a click of its own the accelerator clicks";
  EXPECT_EQ(clicks, 1);
  b->SetEnabled(false);
  EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'T'), 0) << "a disabled button ignores its accelerator";
}

TEST(ToolButtonMenuOrigin, OpensBelowTheButtonAndKeepsInsideTheWorkAreaOnTheRight) {
  const TRect work = Rect(0, 0, 1280, 1000);
  struct Case {
    const char* what;
    TRect button;
    int menuWidth;
    bool rightToLeft;
    TPoint expected;
  } cases[] = {
      {"room on the right", Rect(100, 50, 140, 75), 120, false, Point(100, 75)},
      {"exactly to the edge", Rect(1100, 50, 1140, 75), 180, false, Point(1100, 75)},
      {"one pixel past the edge", Rect(1100, 50, 1140, 75), 181, false, Point(1140 - 181, 75)},
      {"at the right edge", Rect(1240, 50, 1280, 75), 120, false, Point(1160, 75)},
      {"right to left", Rect(100, 50, 140, 75), 120, true, Point(140, 75)},
      {"right to left at the edge", Rect(1200, 50, 1240, 75), 120, true, Point(1120, 75)},
  };
  for (const Case& c : cases) {
    const TPoint origin = TCtToolButton::DropDownMenuOrigin(c.button, c.menuWidth, work, c.rightToLeft);
    EXPECT_EQ(origin.x, c.expected.x) << c.what;
    EXPECT_EQ(origin.y, c.expected.y) << c.what;
  }
}

TEST_F(ToolButtonTest, MenuNearTheScreensRightEdgeEndsAtTheButtonsRightEdge) {
  const int screenWidth = Screen()->Width();
  form->SetLeft(screenWidth - form->Width());
  script::Pump();
  TCtToolButton* b = NewDropDownButton(form->ClientWidth() - 50, 20);
  ClickAt(*b, b->Width() - 5, 10);
  ASSERT_EQ(menuRects.size(), 1u);
  const TPoint buttonBottomRight = b->ClientToScreen(Point(b->Width(), b->Height()));
  EXPECT_EQ(menuRects[0].top, buttonBottomRight.y);
  EXPECT_LE(menuRects[0].right, buttonBottomRight.x) << "the menu ends at the button's right edge";
  EXPECT_GT(menuRects[0].right, buttonBottomRight.x - 20);
  EXPECT_LT(menuRects[0].left, b->ClientToScreen(Point(0, 0)).x) << "so it starts left of the button";

  // Far from the edge it opens at the bottom-left corner.
  TCtToolButton* left = NewDropDownButton(10, 60);
  ClickAt(*left, left->Width() - 5, 10);
  ASSERT_EQ(menuRects.size(), 2u);
  EXPECT_EQ(menuRects[1].left, left->ClientToScreen(Point(0, 0)).x);
  EXPECT_EQ(menuRects[1].top, left->ClientToScreen(Point(0, left->Height())).y);
}

TEST_F(ToolButtonTest, MenuNearTheScreensBottomStaysOnTheScreen) {
  form->SetTop(Screen()->Height() - form->Height());
  script::Pump();
  TCtToolButton* b = NewDropDownButton(20, form->ClientHeight() - 26);
  ClickAt(*b, b->Width() - 5, 10);
  ASSERT_EQ(menuRects.size(), 1u);
  EXPECT_LE(menuRects[0].bottom, Screen()->Height());
  EXPECT_GT(menuRects[0].bottom, menuRects[0].top);
}

TEST_F(ToolButtonTest, GroupedButtonsKeepOneDownAndTheDownOneClicksOnlyWhenItCanGoUp) {
  TCtToolButton* a = NewButton(20, 20);
  TCtToolButton* b = NewButton(70, 20);
  TCtToolButton* other = NewButton(120, 20);
  for (TCtToolButton* t : {a, b}) t->SetGroupIndex(1);
  other->SetGroupIndex(2);
  other->SetDown(true);
  int clicksA = 0;
  a->OnClick = [&](TObject*) { ++clicksA; };

  script::Click(*a);
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(clicksA, 1);
  script::Click(*b);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down()) << "the group keeps one button down";
  EXPECT_TRUE(other->Down()) << "another group is left alone";

  script::Click(*b);
  EXPECT_TRUE(b->Down()) << "without AllowAllUp the down button stays down";
  b->SetDown(false);
  EXPECT_TRUE(b->Down());

  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp()) << "the group takes the AllowAllUp of the button that changed it";
  script::Click(*b);
  EXPECT_FALSE(b->Down());

  TCtToolButton* single = NewButton(170, 20);
  single->SetDown(true);
  EXPECT_FALSE(single->Down()) << "a button outside any group never stays down";
}

TEST_F(ToolButtonTest, ReleaseOutsideTheButtonDoesNotClick) {
  TCtToolButton* b = NewButton();
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  const TPoint inside = b->ClientToScreen(Point(10, 10));
  const TPoint outside = b->ClientToScreen(Point(10, b->Height() + 30));
  win::InjectMouseMove({inside.x, inside.y});
  win::InjectMouseButton(win::MouseButton::Left, true, {inside.x, inside.y});
  win::InjectMouseMove({outside.x, outside.y});
  win::InjectMouseButton(win::MouseButton::Left, false, {outside.x, outside.y});
  script::Pump();
  EXPECT_EQ(clicks, 0);
  script::Click(*b);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ToolButtonTest, ToolStyleSwitchMovesTheWidthByTheArrowButNeverEmptiesTheButton) {
  TCtToolButton* b = NewButton();
  b->SetUseToolbarButtonSize(true);
  b->SetGroupIndex(3);
  b->SetToolStyle(tsDropDown);
  EXPECT_EQ(b->Width(), 40 + TCtToolButton::kArrowWidth);
  EXPECT_EQ(b->GroupIndex(), 0) << "a drop-down button has no group";
  b->SetGroupIndex(4);
  EXPECT_EQ(b->GroupIndex(), 0);
  EXPECT_TRUE(b->UseToolbarButtonSize()) << "the style's own size change keeps following the tool bar";
  b->SetToolStyle(tsButton);
  EXPECT_EQ(b->Width(), 40);

  // A button no wider than the arrow part would vanish or turn negative.
  for (int width : {1, 10, TCtToolButton::kArrowWidth}) {
    b->SetToolStyle(tsDropDown);
    b->SetWidth(width);
    b->SetToolStyle(tsButton);
    EXPECT_EQ(b->Width(), width) << "width " << width;
  }
  b->SetWidth(TCtToolButton::kArrowWidth + 1);
  b->SetToolStyle(tsDropDown);
  b->SetToolStyle(tsButton);
  EXPECT_EQ(b->Width(), TCtToolButton::kArrowWidth + 1);
  EXPECT_FALSE(b->UseToolbarButtonSize()) << "a width set by hand stops following the tool bar";
}

// A tool bar as its buttons expect one: it answers each request with its
// setting and tells its buttons when a setting changes.
class TTestToolBar : public TCustomControl {
  QELO_VCL_CLASS()
 public:
  using TCustomControl::TCustomControl;
  TButtonLayout layout = blGlyphTop;
  bool showCaption = true;
  TCtToolBarStyle style{vsGradient, gcsCustom};
  TSize buttonSize{48, 36};
  int requests = 0;

  void Changed(UINT setting) {
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(setting);
  }
  void Dispatch(TMessage& m) override {
    switch (m.Msg) {
      case CM_TOOLBARBUTTONLAYOUT: return Answer(m, layout);
      case CM_TOOLBARSHOWCAPTION: return Answer(m, showCaption);
      case CM_TOOLBARVISUALSTYLE: return Answer(m, style);
      case CM_TOOLBARBUTTONSIZE: return Answer(m, buttonSize);
      default: TCustomControl::Dispatch(m);
    }
  }

 private:
  template <class T>
  void Answer(TMessage& m, const T& value) {
    ++requests;
    *reinterpret_cast<T*>(m.LParam) = value;
    m.Result = 1;
  }
};

const ClassInfo& TTestToolBar::StaticClass() {
  static const ClassInfo info = ClassBuilder<TTestToolBar>("TTestToolBar", TCustomControl::StaticClass()).Done();
  return info;
}

class ToolBarTest : public ToolButtonTest {
 protected:
  void SetUp() override {
    ToolButtonTest::SetUp();
    bar = new TTestToolBar(form);
    bar->SetParent(form);
    bar->SetBounds(0, 100, 400, 40);
  }
  // A button whose size nobody set by hand.
  TCtToolButton* NewBarButton() {
    auto* b = new TCtToolButton(form);
    b->SetParent(bar);
    return b;
  }
  TTestToolBar* bar = nullptr;
};

TEST_F(ToolBarTest, ButtonOnAToolBarTakesItsSettingsAndFormsNeedNotKeepItsSize) {
  TCtToolButton* b = NewBarButton();
  EXPECT_EQ(b->Layout(), blGlyphTop);
  EXPECT_TRUE(b->ShowCaption());
  EXPECT_EQ(b->VisualStyle(), vsGradient);
  EXPECT_EQ(b->GradientColorStyle(), gcsCustom);
  EXPECT_EQ(b->Width(), 48);
  EXPECT_EQ(b->Height(), 36);
  for (bool on : {b->UseToolbarButtonLayout(), b->UseToolbarShowCaption(), b->UseToolbarVisualStyle(),
                  b->UseToolbarButtonSize()})
    EXPECT_TRUE(on) << "the tool bar's values are not values set by hand";
  EXPECT_FALSE(IsStoredProp(*b, "Width"));
  EXPECT_FALSE(IsStoredProp(*b, "Height"));

  b->SetParent(form);
  EXPECT_TRUE(IsStoredProp(*b, "Width")) << "off the tool bar the size is the button's own";
  TCtToolButton* plain = NewButton();
  EXPECT_EQ(plain->Layout(), blGlyphLeft) << "an ordinary parent answers nothing";
  EXPECT_EQ(plain->Width(), 40);
}

TEST_F(ToolBarTest, ChangesOfTheToolBarReachEveryButtonWhoseSwitchIsOn) {
  TCtToolButton* follows = NewBarButton();
  TCtToolButton* own = NewBarButton();
  own->SetLayout(blGlyphRight);
  own->SetWidth(30);

  bar->layout = blGlyphBottom;
  bar->buttonSize = TSize{52, 30};
  bar->showCaption = false;
  bar->style = TCtToolBarStyle{vsClassic, gcsSystem};
  for (UINT setting : {CM_TOOLBARBUTTONLAYOUT, CM_TOOLBARBUTTONSIZE, CM_TOOLBARSHOWCAPTION, CM_TOOLBARVISUALSTYLE})
    bar->Changed(setting);
  EXPECT_EQ(follows->Layout(), blGlyphBottom);
  EXPECT_EQ(follows->Width(), 52);
  EXPECT_FALSE(follows->ShowCaption());
  EXPECT_EQ(follows->VisualStyle(), vsClassic);
  EXPECT_EQ(own->Layout(), blGlyphRight) << "a layout set by hand stays";
  EXPECT_EQ(own->Width(), 30);
  EXPECT_FALSE(own->ShowCaption()) << "the switches are one per setting";

  own->SetUseToolbarButtonLayout(true);
  EXPECT_EQ(own->Layout(), blGlyphBottom) << "switching one on asks the tool bar again";
}

TEST_F(ToolBarTest, ButtonsReadFromAFormAskOnceTheFormIsLoaded) {
  RegisterClasses({&TTestToolBar::StaticClass()});
  RegisterCtToolButtonClasses();
  auto* f = new TForm(nullptr);
  ReadComponentText(*f,
                    "object frmBar: TForm\n"
                    "  object tbrMain: TTestToolBar\n"
                    "    object btnGo: TCtToolButton\n"
                    "      Width = 60\n"
                    "      Layout = blGlyphRight\n"
                    "      UseToolbarButtonLayout = False\n"
                    "    end\n"
                    "  end\n"
                    "end\n",
                    "bar.form");
  auto& b = script::Find<TCtToolButton>(*f, "btnGo");
  EXPECT_EQ(b.Layout(), blGlyphRight) << "the form's layout, its switch off";
  EXPECT_EQ(b.Width(), 48) << "the tool bar's size once loaded";
  EXPECT_EQ(b.VisualStyle(), vsGradient);
  f->Free();
}

TEST_F(ToolButtonTest, HandSetLookStopsFollowingTheToolBar) {
  TCtToolButton* b = NewButton();
  b->SetLayout(blGlyphTop);
  b->SetShowCaption(true);
  b->SetVisualStyle(vsGradient);
  EXPECT_FALSE(b->UseToolbarButtonLayout());
  EXPECT_FALSE(b->UseToolbarShowCaption());
  EXPECT_FALSE(b->UseToolbarVisualStyle());
}

TEST_F(ToolButtonTest, ActionDrivesDownAndImageWhileTheyAgree) {
  auto* action = new TAction(form);
  action->SetCaption("Bold");
  action->SetImageIndex(2);
  TCtToolButton* b = NewButton();
  b->SetGroupIndex(5);
  b->SetAllowAllUp(true);
  b->SetAction(action);
  EXPECT_EQ(b->Caption(), "Bold");
  EXPECT_EQ(b->ImageIndex(), 2);
  EXPECT_FALSE(IsStoredProp(*b, "Down")) << "a Down the action supplies is not written";
  b->SetDown(true);
  EXPECT_TRUE(IsStoredProp(*b, "Down")) << "a Down of the button's own is";
  b->SetDown(false);

  action->SetChecked(true);
  EXPECT_TRUE(b->Down());
  action->SetImageIndex(3);
  EXPECT_EQ(b->ImageIndex(), 3);
  action->SetChecked(false);
  EXPECT_FALSE(b->Down());

  int executed = 0;
  action->OnExecute = [&](TObject*) { ++executed; };
  script::Click(*b);
  EXPECT_EQ(executed, 1) << "a click without OnClick runs the action";

  auto* copy = new TAction(form);
  copy->Assign(b);
  EXPECT_EQ(copy->Checked(), b->Down());
  EXPECT_EQ(copy->ImageIndex(), 3);
  EXPECT_EQ(copy->Caption(), "Bold");
}

// Images of one colour each: the button's centre shows which one it drew.
class ToolButtonImageTest : public ToolButtonTest {
 protected:
  void SetUp() override {
    ToolButtonTest::SetUp();
    images = new TImageList(form);
    images->SetSize(8, 8);
    for (TColor c : {clRed, clLime, clBlue, clYellow}) {
      TBitmap cell(8, 8);
      cell.Canvas()->Brush()->SetColor(c);
      cell.Canvas()->FillRect(Rect(0, 0, 8, 8));
      images->Add(&cell, nullptr);
    }
  }
  win::COLORREF Centre(TCtToolButton& b) {
    script::Pump();
    form->Repaint();
    return qelo::test::WindowPixel(form->Handle(), b.Left() + b.Width() / 2, b.Top() + b.Height() / 2);
  }
  TImageList* images = nullptr;
};

TEST_F(ToolButtonImageTest, EachStateShowsItsOwnImage) {
  TCtToolButton* b = NewButton();
  b->SetImages(images);
  b->SetImageIndex(0);
  EXPECT_EQ(Centre(*b), ColorToRGB(clRed));
  b->SetHotIndex(1);
  script::MoveMouse(*b, Point(5, 5));
  EXPECT_EQ(Centre(*b), ColorToRGB(clLime)) << "hot";
  b->SetDownIndex(2);
  b->SetGroupIndex(1);
  b->SetDown(true);
  EXPECT_EQ(Centre(*b), ColorToRGB(clBlue)) << "stayed down";
  b->SetAllowAllUp(true);
  b->SetDown(false);
  script::MoveMouseToScreen(Point(600, 600));
  b->SetDisabledIndex(3);
  b->SetEnabled(false);
  EXPECT_EQ(Centre(*b), ColorToRGB(clYellow)) << "disabled";
  b->SetEnabled(true);
  EXPECT_EQ(Centre(*b), ColorToRGB(clRed));
  b->SetImageIndex(9);
  EXPECT_NE(Centre(*b), ColorToRGB(clRed)) << "an index the list lacks shows nothing";
}

TEST_F(ToolButtonImageTest, ListMakesTheButtonAtLeastItsSizeAndItsRemovalIsNoticed) {
  TCtToolButton* b = NewButton();
  b->SetBounds(20, 20, 6, 6);
  b->SetImages(images);
  EXPECT_EQ(b->Width(), 8);
  EXPECT_EQ(b->Height(), 8);
  images->Free();
  EXPECT_EQ(b->Images(), nullptr);
  b->Repaint();
}

TEST(ToolButtonForm, OldFormsKeepTheirSelectionColoursAndGradientLook) {
  Application()->Initialize();
  RegisterControlClasses();
  RegisterCtToolButtonClasses();
  auto* f = new TForm(nullptr);
  ReadComponentText(*f,
                    "object frmTools: TForm\n"
                    "  object btnOld: TCtToolButton\n"
                    "    Width = 60\n"
                    "    GradientColorStart = clRed\n"
                    "    GradientColorStop = 255\n"
                    "    FrameColor = clNavy\n"
                    "    UseGradients = True\n"
                    "    GradientColorDefault = False\n"
                    "    ThemeAware = False\n"
                    "    ToolStyle = tsDropDown\n"
                    "  end\n"
                    "end\n",
                    "tools.form");
  auto& b = script::Find<TCtToolButton>(*f, "btnOld");
  EXPECT_EQ(b.SelectionColorStart(), clRed);
  EXPECT_EQ(b.SelectionColorStop(), static_cast<TColor>(255));
  EXPECT_EQ(b.SelectionFrameColor(), clNavy);
  EXPECT_EQ(b.VisualStyle(), vsGradient);
  EXPECT_TRUE(b.UseToolbarVisualStyle()) << "what a form sets keeps the tool-bar switches";
  EXPECT_EQ(b.Width(), 60) << "a style read from a form leaves the width as the form has it";
  EXPECT_TRUE(b.UseToolbarButtonSize());
  f->Free();
}

}  // namespace
}  // namespace qelo::ct::test
