#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "canvas.h"
#include "vcl/form_reader.h"
#include "vcl/graphics/menu_popup.h"
#include "vcl/graphics/menus.h"
#include "win/window/display.h"
#include "../window_pixel.h"

namespace qelo::vcl {
namespace {

using namespace menu_popup;

// ---- shortcuts ---------------------------------------------------------------------

TEST(ShortCuts, TextsBothWays) {
  struct Case {
    TShortCut shortCut;
    const char* text;
  } cases[] = {
      {ShortCut('S', scCtrl), "Ctrl+S"},
      {ShortCut(win::VK_DELETE, scShift), "Shift+Del"},
      {ShortCut(win::VK_F1, 0), "F1"},
      {ShortCut(win::VK_F1 + 11, scAlt), "Alt+F12"},
      {ShortCut(win::VK_RETURN, scCtrl | scAlt), "Ctrl+Alt+Enter"},
      {ShortCut('7', scShift | scCtrl | scAlt), "Shift+Ctrl+Alt+7"},
      {ShortCut(win::VK_PRIOR, 0), "PgUp"},
      {ShortCut(win::VK_ESCAPE, 0), "Esc"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutToText(c.shortCut), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.shortCut) << c.text;
  }
  EXPECT_EQ(TextToShortCut("alt+ctrl+s"), ShortCut('S', scCtrl | scAlt)) << "any case and order";
  for (const char* bad : {"", "Ctrl+", "Ctrl", "Hyper+S", "F13", "Ctrl+SS"}) EXPECT_EQ(TextToShortCut(bad), scNone) << bad;
  EXPECT_EQ(ShortCutToText(scNone), "");
  EXPECT_EQ(ShortCutToText(ShortCut(0xE7, scCtrl)), "") << "a key without a name";
}

TEST(ShortCuts, AcceleratorLetters) {
  EXPECT_EQ(AcceleratorOf("&Edit..."), 'E');
  EXPECT_EQ(AcceleratorOf("Move &down"), 'D');
  EXPECT_EQ(AcceleratorOf("Fish && &chips"), 'C');
  EXPECT_EQ(AcceleratorOf("Fish && chips"), 0);
  EXPECT_EQ(AcceleratorOf("Trailing&"), 0);
}

// ---- items -------------------------------------------------------------------------

TMenuItem* NewItem(TMenuItem* parent, const std::string& caption, std::string* log = nullptr) {
  auto* item = new TMenuItem(nullptr);
  item->SetCaption(caption);
  if (log) item->OnClick = [log, caption](TObject*) { *log += caption + ";"; };
  parent->Add(item);
  return item;
}

TEST(MenuItems, RadioGroupsAutoCheckAndDefaults) {
  TPopupMenu menu(nullptr);
  TMenuItem* a = NewItem(menu.Items(), "a");
  TMenuItem* b = NewItem(menu.Items(), "b");
  TMenuItem* c = NewItem(menu.Items(), "c");
  TMenuItem* other = NewItem(menu.Items(), "other");
  for (TMenuItem* i : {a, b, c, other}) i->SetRadioItem(true);
  other->SetGroupIndex(1);
  other->SetChecked(true);
  a->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(other->Checked()) << "another group is left alone";

  c->SetAutoCheck(true);
  c->Click();
  c->Click();
  EXPECT_TRUE(c->Checked()) << "a radio item's click only sets its mark";
  EXPECT_FALSE(b->Checked());

  TMenuItem* toggle = NewItem(menu.Items(), "toggle");
  toggle->SetAutoCheck(true);
  toggle->Click();
  EXPECT_TRUE(toggle->Checked());
  toggle->Click();
  EXPECT_FALSE(toggle->Checked());
  toggle->SetEnabled(false);
  toggle->Click();
  EXPECT_FALSE(toggle->Checked()) << "a disabled item does nothing";

  a->SetDefault(true);
  b->SetDefault(true);
  EXPECT_FALSE(a->Default()) << "one default item per menu level";
}

TEST(MenuItems, TreeKeepsOneParentAndFreesItsItems) {
  TComponent form(nullptr);
  TPopupMenu menu(&form);
  auto* parent = new TMenuItem(&form);
  auto* child = new TMenuItem(&form);
  menu.Items()->Add(parent);
  parent->Add(child);
  EXPECT_EQ(child->GetParentMenu(), &menu);
  EXPECT_EQ(parent->GetParentComponent(), &menu);
  EXPECT_EQ(child->GetParentComponent(), parent);
  EXPECT_THROW(child->Add(parent), EComponentError);
  EXPECT_THROW(parent->Items(3), EComponentError);

  menu.Items()->Add(child);  // moves it
  EXPECT_EQ(parent->Count(), 0);
  EXPECT_EQ(child->MenuIndex(), 1);
  parent->Add(child);

  EXPECT_EQ(form.ComponentCount(), 3);
  menu.Items()->Delete(0);
  EXPECT_EQ(form.ComponentCount(), 1) << "a freed item frees its sub-items, which leave their owner";
  EXPECT_EQ(menu.Items()->Count(), 0);
}

TEST(MenuItems, ShortCutsClickEnabledVisibleItems) {
  TMainMenu menu(nullptr);
  std::string log;
  TMenuItem* file = NewItem(menu.Items(), "File");
  TMenuItem* save = NewItem(file, "Save", &log);
  save->SetShortCut(TextToShortCut("Ctrl+S"));
  EXPECT_TRUE(menu.IsShortCut(ShortCut('S', scCtrl)));
  EXPECT_EQ(log, "Save;");
  EXPECT_FALSE(menu.IsShortCut(ShortCut('S', scAlt)));
  file->SetEnabled(false);
  EXPECT_FALSE(menu.IsShortCut(ShortCut('S', scCtrl))) << "under a disabled parent";
  EXPECT_EQ(log, "Save;");
}

// A form whose file holds a popup menu with nested items.
class TMenuForm : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TMenuForm(TComponent* owner) : TComponent(owner) {}
  void ItemClick(TObject* sender) { clicked += static_cast<TMenuItem*>(sender)->Name() + ";"; }
  TPopupMenu* pmList = nullptr;
  std::string clicked;
};

const ClassInfo& TMenuForm::StaticClass() {
  static const ClassInfo info = ClassBuilder<TMenuForm>("TMenuForm", TComponent::StaticClass())
                                    .Field("pmList", &TMenuForm::pmList)
                                    .Method("ItemClick", &TMenuForm::ItemClick)
                                    .Done();
  return info;
}

TEST(MenuItems, FormFilesNestItemsInMenus) {
  RegisterGraphicsClasses();
  RegisterGraphicsClasses();
  TMenuForm form(nullptr);
  ReadComponentText(form,
                    "object MenuForm: TMenuForm\n"
                    "  object pmList: TPopupMenu\n"
                    "    AutoPopup = False\n"
                    "    object ppmEdit: TMenuItem\n"
                    "      Caption = '&Edit...'\n"
                    "      Default = True\n"
                    "      ShortCut = 16453\n"
                    "      OnClick = ItemClick\n"
                    "    end\n"
                    "    object N1: TMenuItem\n"
                    "      Caption = '-'\n"
                    "    end\n"
                    "    object ppmMove: TMenuItem\n"
                    "      Caption = 'Move'\n"
                    "      object ppmUp: TMenuItem\n"
                    "        Caption = 'Move &up'\n"
                    "        Break = mbBarBreak\n"
                    "        ShortCut = 16469\n"
                    "      end\n"
                    "    end\n"
                    "  end\n"
                    "end\n",
                    "menu.form");
  ASSERT_NE(form.pmList, nullptr);
  EXPECT_FALSE(form.pmList->AutoPopup());
  TMenuItem* items = form.pmList->Items();
  ASSERT_EQ(items->Count(), 3);
  EXPECT_TRUE(items->Items(1)->IsLine());
  EXPECT_EQ(items->Items(0)->ShortCut(), ShortCut('E', scCtrl));
  TMenuItem* up = items->Items(2)->Items(0);
  EXPECT_EQ(up->Name(), "ppmUp");
  EXPECT_EQ(up->Break(), mbBarBreak);
  EXPECT_EQ(up->ShortCut(), ShortCut('U', scCtrl));
  items->Items(0)->Click();
  EXPECT_EQ(form.clicked, "ppmEdit;");
  EXPECT_FALSE(ShowPopupMenu(form.pmList, &form, 0, 0)) << "no AutoPopup";
}

TEST(MenuLayouts, BreaksStartColumnsAndHiddenItemsTakeNoRoom) {
  TPopupMenu menu(nullptr);
  for (const char* caption : {"One", "-", "Two", "Three", "Four", "Gone"}) NewItem(menu.Items(), caption);
  menu.Items()->Items(3)->SetBreak(mbBarBreak);
  menu.Items()->Items(4)->SetBreak(mbBreak);
  menu.Items()->Items(5)->SetVisible(false);
  menu.Items()->Items(4)->SetShortCut(TextToShortCut("Ctrl+F4"));
  TCanvas measure;
  win::HDC dc = win::CreateDisplayDC();
  measure.SetHandle(dc);
  AssignMenuFont(*measure.Font());
  const MenuLayout layout = LayoutMenu(*menu.Items(), measure);
  measure.SetHandle(nullptr);
  win::DeleteDC(dc);

  ASSERT_EQ(layout.boxes.size(), 5u);
  const auto& b = layout.boxes;
  EXPECT_EQ(b[0].rect.top, kBorder);
  EXPECT_EQ(RectHeight(b[1].rect), kSeparatorHeight);
  EXPECT_EQ(b[2].rect.top, b[1].rect.bottom);
  EXPECT_EQ(b[3].rect.top, kBorder) << "a break starts a new column at the top";
  EXPECT_EQ(b[3].rect.left, b[0].rect.right + kColumnGap);
  EXPECT_EQ(b[4].rect.left, b[3].rect.right + kColumnGap);
  ASSERT_EQ(layout.barBreaks.size(), 1u) << "only the bar break draws a bar";
  EXPECT_GT(layout.barBreaks[0], b[0].rect.right);
  EXPECT_LT(layout.barBreaks[0], b[3].rect.left);
  EXPECT_GT(RectWidth(b[4].rect), RectWidth(b[3].rect)) << "room for the shortcut text";
  EXPECT_EQ(layout.size.cy, b[2].rect.bottom + kBorder) << "as high as the highest column";
  EXPECT_EQ(layout.size.cx, b[4].rect.right + kBorder);
}

// ---- popup windows -------------------------------------------------------------------

// A focused window of the test whose timer plays a script while a menu
// tracks: each step runs once the previous step's input has been handled.
// After the script, Escape is pressed until the menu has gone.
class PopupFixture : public ::testing::Test {
 protected:
  PopupFixture() {
    static const bool registered = [] {
      win::WNDCLASS wc;
      wc.lpfnWndProc = &PopupFixture::Procedure;
      wc.lpszClassName = "MenuTestOwner";
      return win::RegisterClass(wc) != 0;
    }();
    EXPECT_TRUE(registered);
    owner_ = win::CreateWindowEx(0, "MenuTestOwner", "owner", win::WS_POPUP | win::WS_VISIBLE, 0, 0, 100, 100,
                                 nullptr, nullptr);
    win::SetFocus(owner_);
    current_ = this;
    Build();
  }
  ~PopupFixture() override {
    current_ = nullptr;
    win::DestroyWindow(owner_);
  }

  void Build() {
    edit_ = NewItem(menu_.Items(), "&Edit...", &log_);
    edit_->SetDefault(true);
    NewItem(menu_.Items(), "-");
    merge_ = NewItem(menu_.Items(), "&Merge", &log_);
    remove_ = NewItem(menu_.Items(), "&Remove", &log_);
    remove_->SetEnabled(false);
    sub_ = NewItem(menu_.Items(), "Sub&menu", &log_);
    NewItem(sub_, "&First", &log_);
    NewItem(sub_, "&Second", &log_)->SetShortCut(TextToShortCut("Ctrl+S"));
    selectAll_ = NewItem(menu_.Items(), "Select all", &log_);
    selectAll_->SetAutoCheck(true);
    selectAll_->SetChecked(true);
    NewItem(menu_.Items(), "Hidden", &log_)->SetVisible(false);
  }

  // Opens the menu (by default at a point of the screen) and plays the
  // steps while it tracks.
  void Play(std::vector<std::function<void()>> steps, int x = 300, int y = 120) {
    Play(std::move(steps), [&] { menu_.Popup(x, y); });
  }
  void Play(std::vector<std::function<void()>> steps, const std::function<void()>& open) {
    steps_ = std::move(steps);
    next_ = 0;
    win::SetTimer(owner_, 1, 1, nullptr);
    open();
    win::KillTimer(owner_, 1);
    EXPECT_EQ(next_, steps_.size()) << "the menu closed before the script ended";
  }

  static void Key(int vk) {
    win::InjectKey(vk, true);
    win::InjectKey(vk, false);
  }
  static void Text(const char* text) { win::InjectText(text); }

  // The screen centre of visible item `box` of the level showing `parent`.
  static TPoint Centre(int level, const TMenuItem& parent, int box) {
    TCanvas measure;
    win::HDC dc = win::CreateDisplayDC();
    measure.SetHandle(dc);
    AssignMenuFont(*measure.Font());
    const MenuLayout layout = LayoutMenu(parent, measure);
    measure.SetHandle(nullptr);
    win::DeleteDC(dc);
    win::RECT frame;
    win::GetWindowRect(TrackingWindow(level), &frame);
    const TRect& r = layout.boxes.at(static_cast<size_t>(box)).rect;
    return {frame.left + (r.left + r.right) / 2, frame.top + (r.top + r.bottom) / 2};
  }
  static void Click(TPoint p) {
    win::InjectMouseMove(p);
    win::InjectMouseButton(win::MouseButton::Left, true, p);
    win::InjectMouseButton(win::MouseButton::Left, false, p);
  }

  static win::COLORREF PixelOf(win::HWND window, int x, int y) {
    return test::WindowPixel(window, x, y);
  }

  TPopupMenu menu_{nullptr};
  std::string log_;
  TMenuItem *edit_ = nullptr, *merge_ = nullptr, *remove_ = nullptr, *sub_ = nullptr, *selectAll_ = nullptr;

 private:
  static win::LRESULT Procedure(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
    if (message == win::WM_TIMER && current_) {
      current_->Tick();
      return 0;
    }
    return win::DefWindowProc(window, message, w, l);
  }
  void Tick() {
    if (!TrackingWindow(0)) return;
    if (next_ < steps_.size())
      steps_[next_++]();
    else
      Key(win::VK_ESCAPE);
  }

  static inline PopupFixture* current_ = nullptr;
  win::HWND owner_ = nullptr;
  std::vector<std::function<void()>> steps_;
  size_t next_ = 0;
};

TEST_F(PopupFixture, KeysMoveOverSeparatorsAndEnterClicks) {
  win::HWND shown = nullptr;
  Play({
      [&] {
        shown = TrackingWindow(0);
        EXPECT_EQ(TrackingSelection(0), -1);
        Key(win::VK_DOWN);
        Key(win::VK_DOWN);
      },
      [&] {
        EXPECT_EQ(TrackingSelection(0), 2) << "the separator is stepped over";
        Key(win::VK_UP);
        Key(win::VK_UP);
      },
      [&] {
        EXPECT_EQ(TrackingSelection(0), 5) << "wraps to the last visible item";
        Key(win::VK_RETURN);
      },
  });
  EXPECT_EQ(log_, "Select all;");
  EXPECT_FALSE(selectAll_->Checked()) << "the click toggled its mark";
  EXPECT_FALSE(win::IsWindow(shown)) << "the menu's window is gone";
  EXPECT_EQ(TrackingWindow(0), nullptr);
}

TEST_F(PopupFixture, SubMenusOpenRightAndCloseLeftOrEscape) {
  Play({
      [&] {
        Key(win::VK_UP);
        Key(win::VK_UP);
        Key(win::VK_RIGHT);
      },
      [&] {
        ASSERT_NE(TrackingWindow(1), nullptr);
        EXPECT_EQ(TrackingSelection(1), 0);
        win::RECT parent, child;
        win::GetWindowRect(TrackingWindow(0), &parent);
        win::GetWindowRect(TrackingWindow(1), &child);
        EXPECT_GT(child.left, parent.left + 20) << "opens beside its parent";
        Key(win::VK_ESCAPE);
      },
      [&] {
        EXPECT_EQ(TrackingWindow(1), nullptr) << "Escape closes only the sub-menu";
        EXPECT_EQ(TrackingSelection(0), 4);
        Key(win::VK_RIGHT);
        Key(win::VK_LEFT);
      },
      [&] {
        EXPECT_EQ(TrackingWindow(1), nullptr);
        Key(win::VK_RETURN);
        Key(win::VK_DOWN);
      },
      [&] {
        EXPECT_EQ(TrackingSelection(1), 1);
        Key(win::VK_RETURN);
      },
  });
  EXPECT_EQ(log_, "&Second;");
}

TEST_F(PopupFixture, AcceleratorsChooseOrCycleAndSkipDisabledItems) {
  Play({
      [&] { Text("m"); },
      [&] {
        EXPECT_EQ(TrackingSelection(0), 2) << "two items share M: the first is selected";
        Text("M");
      },
      [&] {
        EXPECT_EQ(TrackingSelection(0), 4);
        EXPECT_EQ(TrackingWindow(1), nullptr);
        Text("r");
      },
      [&] {
        EXPECT_EQ(TrackingSelection(0), 3) << "a disabled item is selected, not chosen";
        Text("e");
      },
  });
  EXPECT_EQ(log_, "&Edit...;");
}

TEST_F(PopupFixture, EnterWithoutSelectionChoosesTheDefaultItem) {
  Play({[&] { Key(win::VK_RETURN); }});
  EXPECT_EQ(log_, "&Edit...;");
}

TEST_F(PopupFixture, MouseHoverSelectsAndAClickChooses) {
  Play({
      [&] { win::InjectMouseMove(Centre(0, *menu_.Items(), 2)); },
      [&] {
        EXPECT_EQ(TrackingSelection(0), 2);
        Click(Centre(0, *menu_.Items(), 3));
      },
      [&] {
        EXPECT_EQ(TrackingSelection(0), 3) << "a click on a disabled item does nothing";
        win::InjectMouseMove(Centre(0, *menu_.Items(), 4));
      },
      [&] {
        ASSERT_NE(TrackingWindow(1), nullptr) << "hovering opens the sub-menu";
        Click(Centre(1, *sub_, 0));
      },
  });
  EXPECT_EQ(log_, "&First;");
}

TEST_F(PopupFixture, AClickOutsideDismisses) {
  Play({[&] { Click(Point(5, 5)); }});
  EXPECT_EQ(log_, "");
  EXPECT_EQ(TrackingWindow(0), nullptr);
}

TEST_F(PopupFixture, OnPopupPreparesTheItemsFirst) {
  menu_.OnPopup = [&](TObject* sender) {
    EXPECT_EQ(sender, &menu_);
    merge_->SetEnabled(false);
  };
  Play({
      [&] { Text("m"); },
      [&] { Key(win::VK_RETURN); },
      [&] { Key(win::VK_ESCAPE); },
  });
  EXPECT_EQ(log_, "") << "the item disabled in OnPopup is not chosen";
}

TEST_F(PopupFixture, SelectedItemIsHighlightedInTheClassicColours) {
  Play({
      [&] { Key(win::VK_DOWN); },
      [&] {
        win::HWND window = TrackingWindow(0);
        const TPoint edit = Centre(0, *menu_.Items(), 0);
        const TPoint merge = Centre(0, *menu_.Items(), 2);
        win::RECT frame;
        win::GetWindowRect(window, &frame);
        EXPECT_EQ(PixelOf(window, kBorder + 2, edit.y - frame.top), win::GetSysColor(win::COLOR_HIGHLIGHT));
        EXPECT_EQ(PixelOf(window, kBorder + 2, merge.y - frame.top), win::GetSysColor(win::COLOR_MENU));
        EXPECT_EQ(PixelOf(window, 0, 0), win::GetSysColor(win::COLOR_3DLIGHT)) << "the raised classic edge";
        win::SaveWindowScreenshot(window, test::ScreenshotPath("popup_menu.png"));
        Key(win::VK_ESCAPE);
      },
  });
}

TEST_F(PopupFixture, StaysOnTheScreen) {
  win::RECT work;
  win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &work, 0);
  Play(
      {[&] {
        win::RECT frame;
        win::GetWindowRect(TrackingWindow(0), &frame);
        EXPECT_LE(frame.right, work.right);
        EXPECT_LE(frame.bottom, work.bottom);
        EXPECT_GT(frame.right - frame.left, 40);
        Key(win::VK_ESCAPE);
      }},
      work.right - 5, work.bottom - 5);
}

TEST_F(PopupFixture, ControlsOpenTheirMenuAsItsPopupComponent) {
  auto* control = new TComponent(nullptr);
  TComponent* seen = nullptr;
  menu_.OnPopup = [&](TObject*) { seen = menu_.PopupComponent(); };
  bool shown = false;
  Play({[&] { Key(win::VK_ESCAPE); }}, [&] { shown = ShowPopupMenu(&menu_, control, 40, 40); });
  EXPECT_TRUE(shown);
  EXPECT_EQ(seen, control);
  delete control;
  EXPECT_EQ(menu_.PopupComponent(), nullptr) << "a freed control is forgotten";
  EXPECT_FALSE(ShowPopupMenu(nullptr, control, 0, 0));
}

}  // namespace
}  // namespace qelo::vcl
