// The clock the picture follows while the sound plays: where the sound
// handed to SDL ends, published by the sound callback after each hand-over
// and read by the frame timer without waiting for the callback. Between two
// hand-overs the reading runs on with the wall clock through the last one's
// span, so the picture follows the sound evenly rather than in the steps of
// the callback, and never reads past what was handed over.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace qelo::player {

class SoundClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  // The sound handed over so far ends at `end` (100-ns units); the last
  // hand-over, made at `at`, covered `span`.
  void Publish(int64_t end, int64_t span, TimePoint at);
  // The clock stands at `position` (a seek, a new file) until the next
  // hand-over.
  void Set(int64_t position);
  // The time of the sound playing at `now`.
  int64_t Read(TimePoint now) const;

 private:
  mutable std::mutex lock_;  // held only to store or read the three values
  int64_t end_ = 0;
  int64_t span_ = 0;
  TimePoint at_{};
};

}  // namespace qelo::player
