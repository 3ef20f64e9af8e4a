// The library's entries for banded work and for choosing a form: a pass
// over bands, on any threads, leaves the frame as one QeloDoEffect call
// does, in every form this processor runs.
#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

#include "effect/effect_frames.h"
#include "qelo/effect_passes.h"

namespace qelo::test {
namespace {

TestFrame RandomOpaqueFrame(int width, int height, int padding) {
  std::mt19937 random(width + 31 * height);
  std::vector<Px> pixels(static_cast<size_t>(width) * height);
  for (Px& p : pixels) p = {uint8_t(random()), uint8_t(random()), uint8_t(random()), 255};
  return TestFrame(width, height, padding, pixels);
}

// Every effect whose result does not depend on a fresh random seed.
std::vector<EffectRecord> SeedlessEffects() {
  std::vector<EffectRecord> records;
  for (int id = 0; id < EFFECT_ID_COUNT; ++id) {
    if (id != EFFECT_NOISIFY) records.push_back(Effect(id, 25, 30));
  }
  records.push_back(Effect(EFFECT_NOISIFY, 0));  // level 0: no noise at all
  return records;
}

// The frame cut into `bands` bands, run each on a thread of its own.
void RunInBandsOnThreads(QeloEffectPass* pass, int height, int bands) {
  std::vector<std::thread> threads;
  for (int band = 0; band < bands; ++band) {
    threads.emplace_back([=] {
      const int first = height * band / bands, end = height * (band + 1) / bands;
      QeloRunEffectPass(pass, first, end - first);
    });
  }
  for (std::thread& thread : threads) thread.join();
}

class EffectPasses : public ::testing::Test {
 protected:
  void TearDown() override { QeloEffectUseForm(QELO_EFFECT_FORM_BEST); }
};

TEST_F(EffectPasses, BandsOnSeveralThreadsGiveTheWholeFrameInEveryForm) {
  const TestFrame original = RandomOpaqueFrame(97, 61, 12);
  for (int form = QELO_EFFECT_FORM_SCALAR; form <= QELO_EFFECT_FORM_AVX512; ++form) {
    if (!QeloEffectFormAvailable(form)) continue;
    ASSERT_TRUE(QeloEffectUseForm(form));
    for (const EffectRecord& record : SeedlessEffects()) {
      TestFrame whole = original, banded = original;
      ASSERT_TRUE(QeloDoEffect(whole.get(), &record, 0));
      QeloEffectPass* pass = QeloBeginEffectPass(banded.get(), &record);
      ASSERT_NE(pass, nullptr);
      RunInBandsOnThreads(pass, 61, 4);
      QeloEndEffectPass(pass);
      EXPECT_EQ(banded.Bytes(), whole.Bytes()) << "effect " << record.effectId << ", form " << form;
    }
  }
}

TEST_F(EffectPasses, RefusedWhereTheWholeFrameCallIsRefused) {
  TestFrame frame(3, 2, 0, Px{1, 2, 3, 4});  // the last row ends the buffer
  const EffectRecord invert = Effect(EFFECT_INVERT);
  EXPECT_EQ(QeloBeginEffectPass(frame.get(), nullptr), nullptr);
  EXPECT_EQ(QeloBeginEffectPass(nullptr, &invert), nullptr);
  frame.get()->bufferSize -= 1;
  EXPECT_EQ(QeloBeginEffectPass(frame.get(), &invert), nullptr);
  // Ending or running no pass is harmless.
  QeloRunEffectPass(nullptr, 0, 2);
  QeloEndEffectPass(nullptr);
}

TEST_F(EffectPasses, UnknownEffectsAndEmptyFramesGiveAPassThatChangesNothing) {
  TestFrame frame(3, 2, 4, Px{1, 2, 3, 4});
  const std::vector<uint8_t> before = frame.Bytes();
  const EffectRecord unknown = Effect(42);
  QeloEffectPass* pass = QeloBeginEffectPass(frame.get(), &unknown);
  ASSERT_NE(pass, nullptr);
  QeloRunEffectPass(pass, 0, 2);
  QeloEndEffectPass(pass);
  EXPECT_EQ(frame.Bytes(), before);

  VideoFrame empty{};
  const EffectRecord gray = Effect(EFFECT_GRAY);
  pass = QeloBeginEffectPass(&empty, &gray);
  ASSERT_NE(pass, nullptr);
  QeloRunEffectPass(pass, 0, 5);
  QeloEndEffectPass(pass);
}

TEST_F(EffectPasses, BandsReachingPastTheFrameStopAtItsEdges) {
  TestFrame expected(4, 3, 8, Px{10, 20, 30, 40}), banded = expected;
  const EffectRecord invert = Effect(EFFECT_INVERT);
  ASSERT_TRUE(QeloDoEffect(expected.get(), &invert, 0));
  QeloEffectPass* pass = QeloBeginEffectPass(banded.get(), &invert);
  QeloRunEffectPass(pass, -5, 7);   // rows 0 and 1 of the frame
  QeloRunEffectPass(pass, 2, 100);  // row 2
  QeloRunEffectPass(pass, 3, 1);    // nothing
  QeloRunEffectPass(pass, 1, -4);   // nothing
  QeloEndEffectPass(pass);
  EXPECT_EQ(banded.Bytes(), expected.Bytes());
  EXPECT_TRUE(banded.UntouchedOutsidePixels());
}

TEST_F(EffectPasses, AFormIsUsedOnlyWhereTheProcessorRunsIt) {
  const int best = QeloEffectActiveForm();
  EXPECT_TRUE(QeloEffectFormAvailable(best));
  EXPECT_TRUE(QeloEffectUseForm(QELO_EFFECT_FORM_SCALAR));
  EXPECT_EQ(QeloEffectActiveForm(), QELO_EFFECT_FORM_SCALAR);
  EXPECT_FALSE(QeloEffectUseForm(7));
  EXPECT_FALSE(QeloEffectUseForm(-2));
  EXPECT_EQ(QeloEffectActiveForm(), QELO_EFFECT_FORM_SCALAR);
  EXPECT_TRUE(QeloEffectUseForm(QELO_EFFECT_FORM_BEST));
  EXPECT_EQ(QeloEffectActiveForm(), best);
}

}  // namespace
}  // namespace qelo::test
