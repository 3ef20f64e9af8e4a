// The noise effect: its own 15-bit generator, reproducible from a seed, and
// safe to run on several threads at once.
#include <gtest/gtest.h>

#include <math.h>

#include <thread>
#include <vector>

#include "effect/effect_frames.h"
#include "pixel_effects.h"

namespace qelo::test {
namespace {

using effect::FCPixelNoisify;
using effect::NoiseSource;

TEST(NoiseSource, FollowsTheClassic15BitSequence) {
  // The well-known first draws of the reference generator from seed 1.
  NoiseSource source(1);
  const std::vector<int> expected = {16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419};
  std::vector<int> draws;
  for (size_t i = 0; i < expected.size(); ++i) draws.push_back(source.Next());
  EXPECT_EQ(draws, expected);
}

TEST(NoiseSource, CoversTheWhole15BitRange) {
  NoiseSource source(12345);
  int lowest = NoiseSource::kMax, highest = 0;
  for (int i = 0; i < 200000; ++i) {
    const int draw = source.Next();
    ASSERT_GE(draw, 0);
    ASSERT_LE(draw, NoiseSource::kMax);
    lowest = std::min(lowest, draw);
    highest = std::max(highest, draw);
  }
  EXPECT_LT(lowest, 50);
  EXPECT_GT(highest, NoiseSource::kMax - 50);
}

TEST(NoiseSource, SkippingIsDrawingWithoutLooking) {
  for (const uint64_t count : {0ull, 1ull, 2ull, 3ull, 31ull, 32ull, 1000ull, 123457ull}) {
    NoiseSource skipped(77), drawn(77);
    skipped.Skip(count);
    for (uint64_t i = 0; i < count; ++i) drawn.Next();
    EXPECT_EQ(skipped.state(), drawn.state()) << count;
    EXPECT_EQ(skipped.Next(), drawn.Next()) << count;
  }
  // Past 2^32 draws the skip still composes the steps correctly: the
  // generator's period divides 2^32, so 2^32 + 5 draws are 5 draws.
  NoiseSource far(9), near(9);
  far.Skip((uint64_t{1} << 32) + 5);
  near.Skip(5);
  EXPECT_EQ(far.state(), near.state());
}

std::vector<Px> Noisified(int level, uint32_t seed, TestFrame frame) {
  FCPixelNoisify noisify(level, seed);
  effect::RunEffect(noisify, *frame.get());
  EXPECT_TRUE(frame.UntouchedOutsidePixels());
  return frame.Pixels();
}

TEST(Noisify, AddsTheScaledSumOfFourDraws) {
  // Seed 1: draws 16838 + 5758 + 10113 + 17515 = 50224 give
  // 50224 x 5.28596089837e-05 - 3.46410161514 = -0.80928, x 127 = -102;
  // then 67107 gives 0.08313, x 127 = 10. The bottom row comes first.
  EXPECT_EQ(Noisified(100, 1, TestFrame(1, 2, 4, {Gray(200, 7), Gray(250, 8)})),
            (std::vector<Px>{Gray(210, 7), Gray(148, 8)}));
  // Level 50: -0.80928 x 63.5 = -51, 0.08313 x 63.5 = 5.
  EXPECT_EQ(Noisified(50, 1, TestFrame(2, 1, 0, {{0, 100, 200, 1}, {0, 100, 200, 2}})),
            (std::vector<Px>{{0, 49, 149, 1}, {5, 105, 205, 2}}));
}

TEST(Noisify, SameSeedSameNoiseOtherSeedOtherNoise) {
  const TestFrame mid(32, 32, 8, Gray(128));
  EXPECT_EQ(Noisified(60, 7, mid), Noisified(60, 7, mid));
  EXPECT_NE(Noisified(60, 7, mid), Noisified(60, 8, mid));
}

TEST(Noisify, NoiseIsCentredWithTheScaledSpread) {
  // Level 20: n is about normal with standard deviation 127 x 0.2 = 25.4,
  // never more than 3.46 x 25.4 = 88 from 0, so 128 + n is never clamped.
  const std::vector<Px> pixels = Noisified(20, 99, TestFrame(128, 128, 0, Gray(128)));
  double sum = 0, squares = 0;
  for (const Px& p : pixels) {
    ASSERT_EQ(p.b, p.g);
    ASSERT_EQ(p.g, p.r);
    const double n = p.b - 128.0;
    ASSERT_LE(fabs(n), 88);
    sum += n;
    squares += n * n;
  }
  const double mean = sum / pixels.size();
  const double deviation = sqrt(squares / pixels.size() - mean * mean);
  EXPECT_NEAR(mean, -0.5, 1.0);  // truncation toward zero biases by under half a step
  EXPECT_NEAR(deviation, 25.4, 1.5);
}

TEST(Noisify, SuccessiveCallsDrawDifferentNoise) {
  TestFrame first(16, 16, 4, Gray(128)), second(16, 16, 4, Gray(128));
  const EffectRecord noisify = Effect(EFFECT_NOISIFY, 50);
  EXPECT_TRUE(QeloDoEffect(first.get(), &noisify, 0));
  EXPECT_TRUE(QeloDoEffect(second.get(), &noisify, 0));
  EXPECT_NE(first.Pixels(), second.Pixels());
}

TEST(Noisify, RunsOnSeveralThreadsAtOnce) {
  constexpr int kThreads = 4;
  std::vector<TestFrame> frames(kThreads, TestFrame(64, 64, 8, Gray(128)));
  std::vector<std::thread> threads;
  for (TestFrame& frame : frames) {
    threads.emplace_back([&frame] {
      const EffectRecord noisify = Effect(EFFECT_NOISIFY, 50);
      for (int i = 0; i < 20; ++i) EXPECT_TRUE(QeloDoEffect(frame.get(), &noisify, 0));
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const TestFrame& frame : frames) {
    EXPECT_NE(frame.Pixels(), TestFrame(64, 64, 8, Gray(128)).Pixels());
    EXPECT_TRUE(frame.UntouchedOutsidePixels());
  }
}

}  // namespace
}  // namespace qelo::test
