// Small hand-made frames for the effect tests: pixels given row by row from
// the top, rows padded past 4 x width, and a guard after the buffer, so a
// test sees every byte an effect must not touch.
#pragma once

#include <stdint.h>

#include <ostream>
#include <vector>

#include "qelo/effect.h"

namespace qelo::test {

struct Px {
  uint8_t b, g, r, a;
  bool operator==(const Px&) const = default;
};

constexpr Px Gray(uint8_t v, uint8_t a = 255) { return {v, v, v, a}; }

std::ostream& operator<<(std::ostream& out, const Px& px);

class TestFrame {
 public:
  static constexpr uint8_t kSentinel = 0xA5;
  static constexpr int kGuardBytes = 64;

  // `rowsTopDown` holds width x height pixels; each row is followed by
  // `padding` sentinel bytes.
  TestFrame(int width, int height, int padding, const std::vector<Px>& rowsTopDown);
  TestFrame(int width, int height, int padding, Px fill);
  // Copies own their own buffer.
  TestFrame(const TestFrame& other);
  TestFrame& operator=(const TestFrame& other);

  VideoFrame* get() { return &frame_; }
  std::vector<Px> Pixels() const;  // rows from the top
  // Pixel x of the row `rowFromTop`.
  Px At(int x, int rowFromTop) const;
  // Row padding and the guard after the buffer still hold the sentinel.
  bool UntouchedOutsidePixels() const;
  const std::vector<uint8_t>& Bytes() const { return buffer_; }

 private:
  std::vector<uint8_t> buffer_;
  VideoFrame frame_{};
};

// An EffectRecord with zeroed reserved fields.
EffectRecord Effect(int id, int param1 = 0, int param2 = 0);

}  // namespace qelo::test
