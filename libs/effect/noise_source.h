// The pseudo-random draws of the noise effect: a generator of the effect's
// own, so that calls on several threads never share a state, with the
// 15-bit range (0 to 32,767) that the noise formula is scaled for.
#pragma once

#include <stdint.h>

namespace qelo::effect {

// One step of the generator's state, or many steps at once: the state
// becomes state x multiplier + increment (modulo 2^32).
struct NoiseStep {
  uint32_t multiplier;
  uint32_t increment;
  uint32_t Apply(uint32_t state) const { return state * multiplier + increment; }
  // `count` single steps composed into one.
  static NoiseStep Repeated(uint64_t count);
};

class NoiseSource {
 public:
  static constexpr int kMax = 32767;
  static constexpr NoiseStep kStep{1103515245u, 12345u};

  explicit NoiseSource(uint32_t seed) : state_(seed) {}
  // The next draw, 0 to kMax.
  int Next() {
    state_ = kStep.Apply(state_);
    return DrawOf(state_);
  }
  // Moves on by `count` draws as if they had been made.
  void Skip(uint64_t count) { state_ = NoiseStep::Repeated(count).Apply(state_); }
  uint32_t state() const { return state_; }
  static int DrawOf(uint32_t state) { return static_cast<int>((state >> 16) & kMax); }

 private:
  uint32_t state_;
};

// The four draws scaled to mean 0 and standard deviation 1.
constexpr double kNoiseScale = 5.28596089837e-05;
constexpr double kNoiseOffset = 3.46410161514;

// The noise value of four draws that sum to `draws`, at `level` (0 to 100).
// The row forms repeat these operations in this order, so that each gives
// the same value.
inline int NoiseOf(int draws, int level) {
  const double normal = draws * kNoiseScale - kNoiseOffset;
  return static_cast<int>(normal * level * 127 / 100);
}

// A different seed on every call, from any thread, so that successive frames
// get different noise.
uint32_t NextNoiseSeed();

}  // namespace qelo::effect
