// The pseudo-random draws of the noise effect: a generator of the effect's
// own, so that calls on several threads never share a state, with the
// 15-bit range (0 to 32,767) that the noise formula is scaled for.
#pragma once

#include <stdint.h>

namespace qelo::effect {

class NoiseSource {
 public:
  static constexpr int kMax = 32767;

  explicit NoiseSource(uint32_t seed) : state_(seed) {}
  // The next draw, 0 to kMax.
  int Next() {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) & kMax);
  }

 private:
  uint32_t state_;
};

// A different seed on every call, from any thread, so that successive frames
// get different noise.
uint32_t NextNoiseSeed();

}  // namespace qelo::effect
