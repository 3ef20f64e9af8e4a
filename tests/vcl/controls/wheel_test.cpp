// The mouse wheel beyond the hooks: a notch the focused control leaves goes
// on to its parent, and the system's wheel scroll lines.
#include <string>
#include <utility>
#include <vector>

#include "controls_fixture.h"
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
  bool DoMouseWheelDown(TShiftState, TPoint) override { return Note("down"); }
  bool DoMouseWheelUp(TShiftState, TPoint) override { return Note("up"); }

 private:
  bool Note(const std::string& way) {
    journal_.Add(name_ + " " + way);
    return takes_;
  }
  Journal& journal_;
  std::string name_;
  bool takes_;
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

TEST_F(WheelTest, ANotchTheFocusedControlLeavesGoesToItsParent) {
  TWheelProbe* outer = Probe(form, "outer", true, Rect(10, 10, 210, 110));
  TWheelProbe* inner = Probe(outer, "inner", false, Rect(10, 10, 110, 60));
  script::Focus(*inner);
  script::TurnWheel(*inner, win::WHEEL_DELTA);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"inner up", "outer up"}));
  journal.lines.clear();
  script::Focus(*outer);
  script::TurnWheel(*outer, -win::WHEEL_DELTA);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"outer down"})) << "a taken notch goes no further";
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
