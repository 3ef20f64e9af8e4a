// The frame timer's delay rules, as a table: the next frame is due one
// interval after the shown one's time on the clock the picture follows (the
// sound's, or the wall clock), so the delay is the interval plus how far the
// picture is ahead of that clock, within the 10 to 125 ms clamp; far from
// the clock the frame interval alone sets the pace.
#include <gtest/gtest.h>

#include "playback.h"

namespace qelo::player {
namespace {

constexpr int64_t kMs = 10000;

TEST(FrameDelay, KeepsThePictureOnTheClockWithinItsClamp) {
  const struct {
    const char* name;
    int64_t interval, drift, sinceLastArm, expected;
  } cases[] = {
      {"first frame after opening", 0, 0, 0, 10 * kMs},
      {"on the clock: one interval", 40 * kMs, 0, 0, 40 * kMs},
      {"on the clock, whatever the timer's lateness", 40 * kMs, 0, 75 * kMs, 40 * kMs},
      {"ahead of the clock: held by as much", 40 * kMs, 15 * kMs, 40 * kMs, 55 * kMs},
      {"behind the clock: shown sooner by as much", 40 * kMs, -15 * kMs, 40 * kMs, 25 * kMs},
      {"an interval behind: at the minimum", 40 * kMs, -40 * kMs, 40 * kMs, 10 * kMs},
      {"far ahead: held at 125 ms", 40 * kMs, 5000 * kMs, 40 * kMs, 125 * kMs},
      {"more than 10 s ahead: pace only", 40 * kMs, 101000 * kMs, 40 * kMs, 40 * kMs},
      {"more than 10 s behind: pace only", 40 * kMs, -101000 * kMs, 30 * kMs, 50 * kMs},
      {"slow frames are held at 125 ms", 500 * kMs, 0, 0, 125 * kMs},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FrameDelay(c.interval, c.drift, c.sinceLastArm), c.expected) << c.name;
}

TEST(FrameDelay, ArmingsAverageOneFrameIntervalFarFromTheClock) {
  // Each arming subtracts the time since the previous one; far from the
  // clock the delays must still average one interval, not half of one.
  int64_t since = 0, total = 0;
  const int ticks = 100;
  for (int i = 0; i < ticks; ++i) {
    const int64_t delay = FrameDelay(40 * kMs, 200000000, since);
    total += delay;
    since = delay;
  }
  EXPECT_NEAR(double(total) / ticks, 40.0 * kMs, 2.0 * kMs);
}

}  // namespace
}  // namespace qelo::player
