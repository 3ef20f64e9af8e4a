#include "noise_source.h"

#include <atomic>

namespace qelo::effect {

uint32_t NextNoiseSeed() {
  // Steps by the golden-ratio constant, so consecutive seeds are far apart.
  static std::atomic<uint32_t> nextSeed{1};
  return nextSeed.fetch_add(0x9E3779B9u, std::memory_order_relaxed);
}

}  // namespace qelo::effect
