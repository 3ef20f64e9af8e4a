// The wave's table of sines: a quarter of the picture stands for all of
// it, exactly, and one table serves every call at its size and period.
#include <gtest/gtest.h>

#include "wave_sines.h"

namespace qelo::test {
namespace {

using effect::WaveGeometry;
using effect::WaveSines;

TEST(WaveSines, TheFoldedTableHoldsEveryPixelsOwnSine) {
  struct Size {
    int width, height;
  };
  for (const Size size : {Size{1, 1}, Size{2, 3}, Size{5, 4}, Size{7, 7}, Size{8, 3}, Size{3, 10}, Size{64, 36}}) {
    for (const double period : {2.0, 6.0, 50.0}) {
      const WaveSines sines(size.width, size.height, period);
      const WaveGeometry geometry(size.width, size.height);
      for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
          // Bit for bit: the table entry is the per-pixel rule's own value.
          ASSERT_EQ(sines.FoldedRow(y)[sines.FoldedColumn(x)], WaveSines::SineAt(geometry, period, x, y))
              << size.width << " x " << size.height << " at " << x << ", " << y << ", period " << period;
        }
      }
    }
  }
}

TEST(WaveSines, OneTablePerSizeAndPeriodIsKeptUntilReleased) {
  effect::ReleaseWaveSines();
  const auto first = effect::WaveSinesFor(40, 30, 10.0);
  EXPECT_EQ(effect::WaveSinesFor(40, 30, 10.0), first);
  EXPECT_NE(effect::WaveSinesFor(40, 30, 12.0), first);
  EXPECT_NE(effect::WaveSinesFor(30, 40, 10.0), first);
  // Two newer tables pushed the first one out: it is made again.
  EXPECT_NE(effect::WaveSinesFor(40, 30, 10.0), first);
  const auto kept = effect::WaveSinesFor(40, 30, 10.0);
  effect::ReleaseWaveSines();
  EXPECT_NE(effect::WaveSinesFor(40, 30, 10.0), kept);
  EXPECT_TRUE(kept->Fits(40, 30, 10.0));  // a table still held stays whole
  effect::ReleaseWaveSines();
}

}  // namespace
}  // namespace qelo::test
