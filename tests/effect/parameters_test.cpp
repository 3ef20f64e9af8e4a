// How the factory turns a record's parameters into an effect's settings:
// values outside a parameter's range act as the nearest end, and neutral
// settings leave the frame as it was.
#include <gtest/gtest.h>

#include <vector>

#include "effect/effect_frames.h"

namespace qelo::test {
namespace {

// Every channel value 0 to 255 once, with varied alpha.
TestFrame Ramp() {
  std::vector<Px> pixels;
  for (int i = 0; i < 256; ++i) {
    pixels.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                      static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i * 3)});
  }
  return TestFrame(16, 16, 4, pixels);
}

std::vector<Px> Applied(const EffectRecord& effect) {
  TestFrame frame = Ramp();
  EXPECT_TRUE(QeloDoEffect(frame.get(), &effect, 0));
  return frame.Pixels();
}

struct SameAs {
  const char* name;
  EffectRecord effect;
  EffectRecord equivalent;
};

TEST(EffectParameters, ValuesOutsideTheRangeActAsTheNearestEnd) {
  const SameAs cases[] = {
      {"brightness above the range", Effect(EFFECT_BRIGHTNESS, 150),
       Effect(EFFECT_BRIGHTNESS, 100)},
      {"brightness below the range", Effect(EFFECT_BRIGHTNESS, -30), Effect(EFFECT_BRIGHTNESS, 0)},
      {"contrast above the range", Effect(EFFECT_CONTRAST, 1000), Effect(EFFECT_CONTRAST, 100)},
      {"gamma of 0", Effect(EFFECT_GAMMA, 0), Effect(EFFECT_GAMMA, 1)},
      {"gamma below 0", Effect(EFFECT_GAMMA, -2147483647 - 1), Effect(EFFECT_GAMMA, 1)},
      {"noise level below 0", Effect(EFFECT_NOISIFY, -5), Effect(EFFECT_NOISIFY, 0)},
      {"posterize below 2 levels", Effect(EFFECT_POSTERIZE, -50), Effect(EFFECT_POSTERIZE, 0)},
      {"solarize above 255", Effect(EFFECT_SOLARIZE, 2147483647), Effect(EFFECT_SOLARIZE, 100)},
      {"threshold below 0", Effect(EFFECT_THRESHOLD, -1), Effect(EFFECT_THRESHOLD, 0)},
      {"grid size below 1", Effect(EFFECT_3D_GRID, -4, 20), Effect(EFFECT_3D_GRID, 1, 20)},
      {"wave below 1", Effect(EFFECT_WAVE, 0, -3), Effect(EFFECT_WAVE, 1, 1)},
  };
  for (const SameAs& c : cases) EXPECT_EQ(Applied(c.effect), Applied(c.equivalent)) << c.name;
}

TEST(EffectParameters, NeutralSettingsLeaveTheFrameUnchanged) {
  const TestFrame original = Ramp();
  const EffectRecord neutral[] = {
      Effect(EFFECT_BRIGHTNESS, 50), Effect(EFFECT_CONTRAST, 50), Effect(EFFECT_GAMMA, 10),
      Effect(EFFECT_3D_GRID, 1, 50), Effect(EFFECT_3D_GRID, 5, 0), Effect(EFFECT_POSTERIZE, 1270),
  };
  for (const EffectRecord& effect : neutral) {
    EXPECT_EQ(Applied(effect), original.Pixels()) << "effect " << effect.effectId;
  }
}

TEST(EffectParameters, ExtremeParametersClampInsteadOfOverflowing) {
  const EffectRecord extreme[] = {
      Effect(EFFECT_EMBOSS, 2147483647), Effect(EFFECT_EMBOSS, -2147483647 - 1),
      Effect(EFFECT_3D_GRID, 5, 2147483647), Effect(EFFECT_3D_GRID, 5, -2147483647 - 1),
  };
  for (const EffectRecord& effect : extreme) {
    TestFrame frame = Ramp();
    const std::vector<Px> before = frame.Pixels();
    EXPECT_TRUE(QeloDoEffect(frame.get(), &effect, 0));
    const std::vector<Px> after = frame.Pixels();
    for (size_t i = 0; i < after.size(); ++i) {
      // Each pixel is either left as it was or driven to an end (or to the
      // emboss middle 128 where neighbours are equal).
      const Px& p = after[i];
      const bool atAnEnd = p.b == p.g && p.g == p.r && (p.b == 0 || p.b == 128 || p.b == 255);
      const bool grid = effect.effectId == EFFECT_3D_GRID;
      EXPECT_TRUE(atAnEnd || (grid && p == before[i]))
          << "effect " << effect.effectId << " pixel " << i;
    }
  }
}

TEST(EffectParameters, LargestWaveAndPosterizeStaySafe) {
  for (const EffectRecord& effect :
       {Effect(EFFECT_WAVE, 2147483647, 2147483647), Effect(EFFECT_POSTERIZE, 2147483647)}) {
    TestFrame frame = Ramp();
    EXPECT_TRUE(QeloDoEffect(frame.get(), &effect, 0));
    EXPECT_TRUE(frame.UntouchedOutsidePixels());
  }
}

}  // namespace
}  // namespace qelo::test
