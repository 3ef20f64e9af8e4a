// The shared blinking list: the tick's states and intervals, who is asked
// and who is told, and ticks whose handlers change or free the list.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "controls_fixture.h"
#include "ct_common_blinking.h"
#include "vcl/controls/scripting.h"

namespace qelo::ct {
namespace {

// Answers the blink query as told and records the states it is sent; an
// optional handler runs on each CM_BLINK.
class TBlinkProbe : public vcl::TControl {
 public:
  explicit TBlinkProbe(bool blinks) : vcl::TControl(nullptr), blinks_(blinks) {}
  int queries = 0;
  std::vector<int> states;
  std::function<void()> onBlink;

 protected:
  void Dispatch(vcl::TMessage& m) override {
    if (m.Msg == CM_BLINKQUERY) {
      ++queries;
      m.Result = blinks_ ? 1 : 0;
      return;
    }
    if (m.Msg == CM_BLINK) {
      states.push_back(static_cast<int>(m.WParam));
      if (onBlink) onBlink();
      return;
    }
    vcl::TControl::Dispatch(m);
  }

 private:
  bool blinks_;
};

class BlinkingList : public vcl::test::FormTest {
 protected:
  void TearDown() override {
    for (TBlinkProbe* p : probes_) {
      if (TCtBlinkingControlsList* list = ExistingBlinkingControlsList()) list->Remove(p);
      delete p;
    }
    FreeBlinkingControlsListIfEmpty();
    vcl::script::Pump();
    EXPECT_EQ(ExistingBlinkingControlsList(), nullptr);
    FormTest::TearDown();
  }
  TBlinkProbe* Probe(bool blinks) {
    auto* p = new TBlinkProbe(blinks);
    probes_.push_back(p);
    BlinkingControlsList()->Add(p);
    return p;
  }
  // A probe freed by a test: the fixture no longer frees it.
  void Forget(TBlinkProbe* p) { std::erase(probes_, p); }

  std::vector<TBlinkProbe*> probes_;
};

TEST_F(BlinkingList, TicksFlipTheStateAndTakeTheIntervalsAfreshEachTime) {
  TCtBlinkingControlsList* list = BlinkingControlsList();
  EXPECT_EQ(list->BlinkState(), 1);
  EXPECT_EQ(list->Timer()->Interval(), 500);
  EXPECT_TRUE(list->Timer()->Enabled());

  list->SetIntervalOff(120);
  list->SetIntervalOn(340);
  list->TimerFired(nullptr);
  EXPECT_EQ(list->BlinkState(), 0);
  EXPECT_EQ(list->Timer()->Interval(), 120);
  list->TimerFired(nullptr);
  EXPECT_EQ(list->BlinkState(), 1);
  EXPECT_EQ(list->Timer()->Interval(), 340);
  list->SetIntervalOff(75);  // applies from the next tick on
  EXPECT_EQ(list->Timer()->Interval(), 340);
  list->TimerFired(nullptr);
  EXPECT_EQ(list->Timer()->Interval(), 75);
}

TEST_F(BlinkingList, EveryControlIsAskedAndOnlyBlinkingOnesAreToldTheNewState) {
  TBlinkProbe* still = Probe(false);
  TBlinkProbe* blinking = Probe(true);
  TCtBlinkingControlsList* list = BlinkingControlsList();
  EXPECT_EQ(list->GetCount(), 2);
  list->Add(blinking);  // a second registration changes nothing
  EXPECT_EQ(list->GetCount(), 2);

  list->TimerFired(nullptr);
  list->TimerFired(nullptr);
  list->TimerFired(nullptr);
  EXPECT_EQ(still->queries, 3);
  EXPECT_TRUE(still->states.empty());
  EXPECT_EQ(blinking->queries, 3);
  EXPECT_EQ(blinking->states, (std::vector<int>{0, 1, 0}));
}

TEST_F(BlinkingList, TheTimerRunsOnItsOwnAndOnlyAsksWhenNothingBlinks) {
  TBlinkProbe* still = Probe(false);
  TBlinkProbe* blinking = Probe(true);
  BlinkingControlsList()->SetIntervalOff(20);
  BlinkingControlsList()->SetIntervalOn(20);
  ASSERT_TRUE(vcl::script::PumpUntil([&] { return blinking->states.size() >= 2; }, 3000));
  EXPECT_GE(still->queries, 2);
  EXPECT_TRUE(still->states.empty());
  EXPECT_EQ(blinking->states[0], 0);
  EXPECT_EQ(blinking->states[1], 1);
}

TEST_F(BlinkingList, AHandlerThatFreesOrAddsControlsLeavesTheTickSound) {
  TBlinkProbe* first = Probe(true);
  TBlinkProbe* doomed = Probe(true);
  TBlinkProbe* leaving = Probe(true);
  TBlinkProbe* last = Probe(true);
  TBlinkProbe* newcomer = nullptr;
  first->onBlink = [&] {
    if (newcomer) return;
    newcomer = Probe(true);
    BlinkingControlsList()->Remove(doomed);
    Forget(doomed);
    delete doomed;
  };
  leaving->onBlink = [&] { BlinkingControlsList()->Remove(leaving); };

  BlinkingControlsList()->TimerFired(nullptr);
  EXPECT_EQ(first->states, (std::vector<int>{0}));
  EXPECT_EQ(leaving->states, (std::vector<int>{0}));
  EXPECT_EQ(last->states, (std::vector<int>{0}));
  ASSERT_NE(newcomer, nullptr);
  EXPECT_EQ(newcomer->queries, 0);  // arrived during the tick: asked from the next one on
  EXPECT_EQ(BlinkingControlsList()->GetCount(), 3);

  BlinkingControlsList()->TimerFired(nullptr);
  EXPECT_EQ(newcomer->states, (std::vector<int>{1}));
  EXPECT_EQ(leaving->queries, 1);
}

TEST_F(BlinkingList, TheLastControlLeavingDuringATickFreesTheListAfterTheTick) {
  TBlinkProbe* first = Probe(true);
  TBlinkProbe* later = Probe(false);
  first->onBlink = [&] {
    BlinkingControlsList()->Remove(later);
    Forget(later);
    delete later;
    BlinkingControlsList()->Remove(first);
    FreeBlinkingControlsListIfEmpty();
  };
  TCtBlinkingControlsList* list = BlinkingControlsList();
  list->TimerFired(nullptr);
  EXPECT_EQ(ExistingBlinkingControlsList(), list);  // kept for the rest of the tick
  vcl::script::Pump();
  EXPECT_EQ(ExistingBlinkingControlsList(), nullptr);
}

TEST_F(BlinkingList, OneSharedListFreedOnlyWhenEmpty) {
  TBlinkProbe* p = Probe(false);
  TCtBlinkingControlsList* list = BlinkingControlsList();
  EXPECT_EQ(BlinkingControlsList(), list);
  FreeBlinkingControlsListIfEmpty();
  EXPECT_EQ(ExistingBlinkingControlsList(), list);
  list->Remove(p);
  FreeBlinkingControlsListIfEmpty();
  EXPECT_EQ(ExistingBlinkingControlsList(), nullptr);
}

}  // namespace
}  // namespace qelo::ct
