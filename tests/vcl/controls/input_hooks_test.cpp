// What a control sees of its input before the window's own handling: the
// mouse wheel's hooks, the menu key in KeyDown, the end of mouse modes
// (SendCancelMode), and the whole creation of a native window it wraps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls_fixture.h"
#include "vcl/controls/listview.h"
#include "win/window/display.h"

namespace qelo::vcl::test {
namespace {

// A report list of 50 rows whose wheel hooks record each call and answer
// `handled`; it also records the messages of its window's creation.
class TWheelProbe : public TListView {
 public:
  explicit TWheelProbe(TComponent* owner) : TListView(owner) {
    SetViewStyle(vsReport);
    Columns()->Add()->SetWidth(100);
    for (int i = 0; i < 50; ++i) Items()->Add()->SetCaption("row " + std::to_string(i));
  }
  bool handled = true;
  std::vector<std::string> calls;
  std::vector<std::string> creation;

 protected:
  bool DoMouseWheelDown(TShiftState shift, TPoint) override {
    calls.push_back(shift.Contains(ssCtrl) ? "down+ctrl" : "down");
    return handled;
  }
  bool DoMouseWheelUp(TShiftState, TPoint) override {
    calls.push_back("up");
    return handled;
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == win::WM_NCCREATE) creation.push_back("nccreate");
    if (m.Msg == win::WM_CREATE) creation.push_back("create");
    if (m.Msg == win::WM_PARENTNOTIFY && win::LOWORD(m.WParam) == win::WM_CREATE)
      creation.push_back(win::GetClassName(reinterpret_cast<win::HWND>(m.LParam)));
    TListView::Dispatch(m);
  }
};

class InputHooksTest : public FormTest {
 protected:
  TWheelProbe* Place() {
    auto* probe = new TWheelProbe(form);
    probe->SetBounds(10, 10, 200, 150);
    probe->SetParent(form);
    script::Focus(*probe);
    script::Pump();
    return probe;
  }
  static int TopRow(TWinControl& list) {
    return static_cast<int>(win::SendMessage(list.Handle(), win::LVM_GETTOPINDEX, 0, 0));
  }
  static void Wheel(TControl& control, int delta) {
    const TPoint s = control.ClientToScreen(Point(20, 20));
    win::InjectMouseWheel(delta, win::POINT{s.x, s.y});
    script::Pump();
  }
};

TEST_F(InputHooksTest, WheelNotchesReachTheHooksBeforeTheWindowScrolls) {
  TWheelProbe* probe = Place();
  Wheel(*probe, -win::WHEEL_DELTA);
  EXPECT_EQ(probe->calls, std::vector<std::string>{"down"});
  EXPECT_EQ(TopRow(*probe), 0) << "a handled notch does not scroll the window";

  probe->calls.clear();
  Wheel(*probe, 60);
  EXPECT_TRUE(probe->calls.empty()) << "half a notch waits for the rest";
  Wheel(*probe, 60);
  Wheel(*probe, 2 * win::WHEEL_DELTA);
  EXPECT_EQ(probe->calls, (std::vector<std::string>{"up", "up", "up"}));

  probe->calls.clear();
  probe->handled = false;
  Wheel(*probe, -win::WHEEL_DELTA);
  EXPECT_EQ(probe->calls, std::vector<std::string>{"down"});
  EXPECT_EQ(TopRow(*probe), 3) << "an unhandled notch scrolls the window as it would by itself";
}

TEST_F(InputHooksTest, KeyDownSeesTheMenuKeysBeforeTheyAskForTheMenu) {
  TWheelProbe* probe = Place();
  auto* menu = new TPopupMenu(form);
  menu->Items()->Add(new TMenuItem(menu));
  int popups = 0;
  menu->OnPopup = [&](TObject*) {
    ++popups;
    Application()->Post([] {
      win::InjectKey(win::VK_ESCAPE, true);
      win::InjectKey(win::VK_ESCAPE, false);
    });
  };
  probe->SetPopupMenu(menu);
  std::vector<uint16_t> seen;
  probe->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState shift) {
    if (key != win::VK_SHIFT) seen.push_back(key);
    if (key == win::VK_APPS || (key == win::VK_F10 && shift.Contains(ssShift))) key = 0;
  };
  script::PressKey(win::VK_APPS);
  script::PressKey(win::VK_F10, TShiftState{ssShift});
  EXPECT_EQ(seen, (std::vector<uint16_t>{win::VK_APPS, win::VK_F10}));
  EXPECT_EQ(popups, 0) << "a key KeyDown took asks for nothing";
  probe->OnKeyDown = nullptr;
  script::PressKey(win::VK_APPS);
  EXPECT_EQ(popups, 1);
}

TEST_F(InputHooksTest, SendCancelModeEndsTheFocusedControlsPress) {
  TWheelProbe* probe = Place();
  const TPoint s = probe->ClientToScreen(Point(30, 40));
  win::InjectMouseMove(win::POINT{s.x, s.y});
  win::InjectMouseButton(win::MouseButton::Left, true, win::POINT{s.x, s.y});
  script::Pump();
  ASSERT_EQ(win::GetCapture(), probe->Handle());
  int clicks = 0;
  probe->OnClick = [&](TObject*) { ++clicks; };
  probe->SendCancelMode(probe);
  EXPECT_EQ(win::GetCapture(), nullptr);
  win::InjectMouseButton(win::MouseButton::Left, false, win::POINT{s.x, s.y});
  script::Pump();
  EXPECT_EQ(clicks, 0) << "the press ended with the mode: its release is no click";
}

TEST_F(InputHooksTest, AWrappedNativeWindowIsSeenFromItsFirstMessage) {
  TWheelProbe* probe = Place();
  EXPECT_EQ(probe->creation, (std::vector<std::string>{"nccreate", "create", win::WC_HEADER}));
  probe->creation.clear();
  probe->SetBorderStyle(bsNone);  // made again
  EXPECT_EQ(probe->creation, (std::vector<std::string>{"nccreate", "create", win::WC_HEADER}));
}

}  // namespace
}  // namespace qelo::vcl::test
