// The mouse wheel: a control hears of each whole notch before its native
// window scrolls, a notch nobody takes goes on to the parent, and the
// system's wheel scroll lines.
#include <string>
#include <utility>
#include <vector>

#include "controls_fixture.h"
#include "vcl/controls/combobox.h"
#include "win/window/display.h"

namespace qelo::vcl::test {
namespace {

// Notes every notch it hears of and takes them while `takes` is set.
class TWheelProbe : public TCustomControl {
 public:
  explicit TWheelProbe(TComponent* owner, Journal& journal, std::string name, bool takes)
      : TCustomControl(owner), journal_(journal), name_(std::move(name)), takes_(takes) {
    SetTabStop(true);
  }

 protected:
  bool DoMouseWheelDown(TShiftState shift, TPoint at) override { return Note("down", shift, at); }
  bool DoMouseWheelUp(TShiftState shift, TPoint at) override { return Note("up", shift, at); }

 private:
  bool Note(const std::string& way, TShiftState shift, TPoint at) {
    journal_.Add(name_ + " " + way + (shift.Contains(ssCtrl) ? " ctrl" : "") + " at " + std::to_string(at.x) + "," +
                 std::to_string(at.y));
    return takes_;
  }
  Journal& journal_;
  std::string name_;
  bool takes_;
};

// A list-style combo box that takes the notches downward itself.
class TDownTakingCombo : public TComboBox {
 public:
  using TComboBox::TComboBox;
  int downs = 0;

 protected:
  bool DoMouseWheelDown(TShiftState, TPoint) override {
    ++downs;
    return true;
  }
};

class WheelTest : public FormTest {
 protected:
  TWheelProbe* Probe(TWinControl* parent, const std::string& name, bool takes, TRect bounds) {
    auto* probe = new TWheelProbe(form, journal, name, takes);
    probe->SetParent(parent);
    probe->SetBoundsRect(bounds);
    return probe;
  }
  void TearDown() override {
    win::SystemParametersInfo(win::SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
    FormTest::TearDown();
  }
  Journal journal;
};

TEST_F(WheelTest, WholeNotchesReachTheControlWithTheScreenPointAndTheKeys) {
  TWheelProbe* probe = Probe(form, "probe", true, Rect(10, 10, 110, 60));
  script::Focus(*probe);
  script::TurnWheel(*probe, win::WHEEL_DELTA / 2);
  EXPECT_TRUE(journal.lines.empty()) << "half a notch is kept";
  script::TurnWheel(*probe, win::WHEEL_DELTA / 2);
  script::TurnWheel(*probe, -2 * win::WHEEL_DELTA);
  win::InjectKey(win::VK_CONTROL, true);
  script::TurnWheel(*probe, -win::WHEEL_DELTA);
  win::InjectKey(win::VK_CONTROL, false);
  script::Pump();
  const TPoint centre = probe->ClientToScreen(Point(50, 25));
  const std::string at = " at " + std::to_string(centre.x) + "," + std::to_string(centre.y);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"probe up" + at, "probe down" + at, "probe down" + at,
                                                     "probe down ctrl" + at}));
}

TEST_F(WheelTest, ANotchTheFocusedControlLeavesGoesToItsParent) {
  TWheelProbe* outer = Probe(form, "outer", true, Rect(10, 10, 210, 110));
  TWheelProbe* inner = Probe(outer, "inner", false, Rect(10, 10, 110, 60));
  script::Focus(*inner);
  script::TurnWheel(*inner, win::WHEEL_DELTA);
  ASSERT_EQ(journal.lines.size(), 2u);
  EXPECT_EQ(journal.lines[0].substr(0, 8), "inner up");
  EXPECT_EQ(journal.lines[1].substr(0, 8), "outer up");
}

TEST_F(WheelTest, ATakenNotchNeverReachesTheNativeWindow) {
  auto* combo = new TDownTakingCombo(form);
  combo->SetStyle(csDropDownList);
  combo->SetParent(form);
  for (const char* item : {"Apple", "Banana", "Cherry"}) combo->Items()->Add(item);
  combo->SetItemIndex(1);
  script::Focus(*combo);
  script::TurnWheel(*combo, -win::WHEEL_DELTA);
  EXPECT_EQ(combo->downs, 1);
  EXPECT_EQ(combo->ItemIndex(), 1) << "the combo box's own wheel handling did not run";
  script::TurnWheel(*combo, win::WHEEL_DELTA);
  EXPECT_EQ(combo->ItemIndex(), 0) << "an untaken notch scrolls natively";
}

TEST_F(WheelTest, TheSystemsWheelScrollLines) {
  EXPECT_EQ(WheelScrollLines(), 3);
  ASSERT_TRUE(win::SystemParametersInfo(win::SPI_SETWHEELSCROLLLINES, 5, nullptr, 0));
  EXPECT_EQ(WheelScrollLines(), 5);
  win::SystemParametersInfo(win::SPI_SETWHEELSCROLLLINES, win::WHEEL_PAGESCROLL, nullptr, 0);
  EXPECT_EQ(WheelScrollLines(), -1) << "a page a notch";
}

}  // namespace
}  // namespace qelo::vcl::test
