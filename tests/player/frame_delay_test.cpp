// The frame timer's delay rules, as a table: keep the pace of one frame
// interval, catch up at the minimum when the picture falls behind the clock
// it follows (the sound's, or the wall clock), wait a frame longer when it
// runs ahead, and follow the frame interval alone far from the clock.
#include <gtest/gtest.h>

#include "playback.h"

namespace qelo::player {
namespace {

constexpr int64_t kMs = 10000;

TEST(FrameDelay, FollowsThePaceAndTheClockWithinItsClamp) {
  const struct {
    const char* name;
    int64_t interval, drift, sinceLastArm, expected;
  } cases[] = {
      {"first frame after opening", 0, 0, 0, 10 * kMs},
      {"in step, first arming", 40 * kMs, 0, 0, 80 * kMs},
      {"in step, 40 ms after the last arming", 40 * kMs, 0, 40 * kMs, 40 * kMs},
      {"in step, late timer", 40 * kMs, 0, 75 * kMs, 10 * kMs},
      {"ahead of the clock by less than a threshold", 40 * kMs, 39 * kMs, 40 * kMs, 40 * kMs},
      {"a threshold ahead holds the frame longer", 40 * kMs, 40 * kMs, 40 * kMs, 80 * kMs},
      {"more than 10 s ahead: pace only", 40 * kMs, 101000 * kMs, 40 * kMs, 40 * kMs},
      {"just short of a threshold behind", 40 * kMs, -39 * kMs, 40 * kMs, 40 * kMs},
      {"a threshold behind catches up", 40 * kMs, -40 * kMs, 0, 10 * kMs},
      {"small intervals use a 10 ms threshold", 5 * kMs, -10 * kMs, 0, 10 * kMs},
      {"more than 10 s behind: pace only", 40 * kMs, -101000 * kMs, 40 * kMs, 40 * kMs},
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
