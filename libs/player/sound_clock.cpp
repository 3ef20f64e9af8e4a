#include "sound_clock.h"

#include <algorithm>

namespace qelo::player {

void SoundClock::Publish(int64_t end, int64_t span, TimePoint at) {
  std::lock_guard guard(lock_);
  end_ = end;
  span_ = std::max<int64_t>(span, 0);
  at_ = at;
}

void SoundClock::Set(int64_t position) { Publish(position, 0, TimePoint{}); }

int64_t SoundClock::Read(TimePoint now) const {
  std::lock_guard guard(lock_);
  const int64_t elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - at_).count() * 10;
  return end_ - span_ + std::clamp<int64_t>(elapsed, 0, span_);
}

}  // namespace qelo::player
