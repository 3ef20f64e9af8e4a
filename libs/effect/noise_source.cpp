#include "noise_source.h"

#include <atomic>

namespace qelo::effect {

// Squaring: the step applied twice is (m^2, m x i + i).
NoiseStep NoiseStep::Repeated(uint64_t count) {
  NoiseStep total{1, 0};
  NoiseStep power = NoiseSource::kStep;
  for (; count != 0; count >>= 1) {
    if (count & 1) total = {total.multiplier * power.multiplier, total.increment * power.multiplier + power.increment};
    power = {power.multiplier * power.multiplier, power.increment * power.multiplier + power.increment};
  }
  return total;
}

uint32_t NextNoiseSeed() {
  // Steps by the golden-ratio constant, so consecutive seeds are far apart.
  static std::atomic<uint32_t> nextSeed{1};
  return nextSeed.fetch_add(0x9E3779B9u, std::memory_order_relaxed);
}

}  // namespace qelo::effect
