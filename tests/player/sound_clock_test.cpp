// The sound clock the picture follows: after a hand-over it runs from the
// hand-over's start through its span with the wall clock, and never past
// the end of the sound handed over; a seek sets it still.
#include <gtest/gtest.h>

#include "sound_clock.h"

namespace qelo::player {
namespace {

constexpr int64_t kMs = 10000;
using std::chrono::milliseconds;

TEST(SoundClock, RunsThroughTheLastHandOverAndStopsAtItsEnd) {
  SoundClock clock;
  const SoundClock::TimePoint at = std::chrono::steady_clock::now();
  clock.Publish(1000 * kMs, 23 * kMs, at);
  const struct {
    const char* name;
    SoundClock::TimePoint now;
    int64_t expected;
  } cases[] = {
      {"at the hand-over: its start", at, 977 * kMs},
      {"10 ms on", at + milliseconds(10), 987 * kMs},
      {"past the span: the end handed over", at + milliseconds(40), 1000 * kMs},
      {"read before the hand-over: its start", at - milliseconds(5), 977 * kMs},
  };
  for (const auto& c : cases) EXPECT_EQ(clock.Read(c.now), c.expected) << c.name;

  clock.Set(5000 * kMs);
  EXPECT_EQ(clock.Read(at + milliseconds(100)), 5000 * kMs) << "a seek holds the clock at its position";
}

}  // namespace
}  // namespace qelo::player
