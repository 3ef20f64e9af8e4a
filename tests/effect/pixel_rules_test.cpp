// Every effect id applied through QeloDoEffect to small hand-made frames.
// The expected pixels are worked out by hand from each effect's rule; rows
// are listed from the top of the picture, while the rules count y from the
// bottom.
#include <gtest/gtest.h>

#include <vector>

#include "effect/effect_frames.h"

namespace qelo::test {
namespace {

struct RuleCase {
  const char* name;
  EffectRecord effect;
  int width;
  int height;
  int padding;  // bytes after each row: the stride is 4 x width + padding
  std::vector<Px> input;
  std::vector<Px> expected;
};

std::ostream& operator<<(std::ostream& out, const RuleCase& c) { return out << c.name; }

constexpr Px kA{1, 2, 3, 4}, kB{5, 6, 7, 8}, kC{9, 10, 11, 12};
constexpr Px kD{13, 14, 15, 16}, kE{17, 18, 19, 20}, kF{21, 22, 23, 24};

const Px G100 = Gray(100);

const RuleCase kRuleCases[] = {
    {"Gray", Effect(EFFECT_GRAY), 3, 1, 8,
     {{10, 200, 50, 7}, {255, 0, 0, 255}, {0, 0, 255, 9}},
     {Gray(134, 7), Gray(28), Gray(76, 9)}},
    {"Invert", Effect(EFFECT_INVERT), 2, 1, 0,
     {{10, 200, 50, 7}, {0, 255, 128, 0}},
     {{245, 55, 205, 7}, {255, 0, 127, 0}}},
    // param 100: k = 100, v + (255 - v) x 100 / 200.
    {"BrightnessUp", Effect(EFFECT_BRIGHTNESS, 100), 2, 1, 4,
     {{0, 100, 255, 33}, {1, 254, 128, 0}},
     {{127, 177, 255, 33}, {128, 254, 191, 0}}},
    // param 75: k = 50; 0 -> 0 + 255 x 50 / 200 = 63.
    {"BrightnessHalfUp", Effect(EFFECT_BRIGHTNESS, 75), 1, 1, 4,
     {{100, 0, 255, 1}}, {{138, 63, 255, 1}}},
    // param below 0: k = -100, v - 100 v / 200 truncated toward zero.
    {"BrightnessDown", Effect(EFFECT_BRIGHTNESS, -20), 1, 1, 0,
     {{255, 100, 1, 200}}, {{128, 50, 1, 200}}},
    // param 25: k = -50; 255 -> 255 - 63.
    {"BrightnessHalfDown", Effect(EFFECT_BRIGHTNESS, 25), 1, 1, 0,
     {{100, 255, 3, 1}}, {{75, 192, 3, 1}}},
    // k = 100: exponent 127.
    {"ContrastFull", Effect(EFFECT_CONTRAST, 100), 2, 1, 4,
     {{100, 127, 128, 5}, {200, 0, 255, 5}},
     {{0, 77, 177, 5}, {255, 0, 255, 5}}},
    // k = 50: exponent 2.
    {"ContrastUp", Effect(EFFECT_CONTRAST, 75), 1, 1, 4,
     {{64, 200, 100, 255}}, {{32, 231, 78, 255}}},
    // k = -50: exponent 0.5.
    {"ContrastDown", Effect(EFFECT_CONTRAST, 25), 2, 1, 0,
     {{64, 200, 100, 255}, {0, 255, 127, 0}},
     {{90, 171, 112, 255}, {0, 255, 127, 0}}},
    // k = -100: exponent 0, everything at 127.
    {"ContrastNone", Effect(EFFECT_CONTRAST, 0), 1, 1, 0,
     {{0, 255, 128, 9}}, {Gray(127, 9)}},
    // gamma 5: 255 x (v / 255) ^ 0.2, rounded.
    {"GammaFive", Effect(EFFECT_GAMMA, 50), 2, 1, 8,
     {{0, 1, 128, 255}, {77, 255, 0, 3}},
     {{0, 84, 222, 255}, {201, 255, 0, 3}}},
    // gamma 2: 255 x (v / 255) ^ 0.5; 64 -> 127.75 -> 128.
    {"GammaTwo", Effect(EFFECT_GAMMA, 20), 1, 1, 4,
     {{64, 100, 3, 10}}, {{128, 160, 28, 10}}},
    // gamma 0 has no exponent: taken as gamma 0.1, 255 x (v / 255) ^ 10.
    {"GammaZero", Effect(EFFECT_GAMMA, 0), 1, 1, 4,
     {{200, 250, 128, 255}}, {{22, 209, 0, 255}}},
    {"GammaNegative", Effect(EFFECT_GAMMA, -7), 1, 1, 0,
     {{200, 250, 128, 255}}, {{22, 209, 0, 255}}},
    // Tone hue 90 / 654, saturation 1; by gray: 37 -> r 10 g 8 b 0,
    // 100 -> 78 64 0, 134 -> 134 111 6, 150 -> 150 128 26, 200 -> 200 184 113.
    {"ColorTone", Effect(EFFECT_COLOR_TONE), 3, 2, 4,
     {Gray(37, 1), Gray(100, 2), {10, 200, 50, 3}, Gray(150), Gray(200, 0), Gray(255)},
     {{0, 8, 10, 1}, {0, 64, 78, 2}, {6, 111, 134, 3}, {26, 128, 150, 255}, {113, 184, 200, 0},
      Gray(255)}},
    // level 2: ((sum - sum of the right neighbour) / 3) x 2 + 128; the last
    // column is 128.
    {"Emboss", Effect(EFFECT_EMBOSS, 2), 3, 2, 4,
     {Gray(30), Gray(0, 17), {10, 20, 31, 1}, Gray(100), Gray(255), Gray(0)},
     {Gray(188), Gray(88, 17), Gray(128, 1), Gray(0), Gray(255), Gray(128)}},
    {"EmbossFlat", Effect(EFFECT_EMBOSS, 5), 2, 1, 0,
     {{40, 80, 120, 255}, {40, 80, 120, 255}}, {Gray(128), Gray(128)}},
    {"FlipHorizontalOdd", Effect(EFFECT_FLIP_HORIZONTAL), 3, 2, 8,
     {kA, kB, kC, kD, kE, kF}, {kC, kB, kA, kF, kE, kD}},
    {"FlipHorizontalEven", Effect(EFFECT_FLIP_HORIZONTAL), 4, 1, 0,
     {kA, kB, kC, kD}, {kD, kC, kB, kA}},
    {"FlipVerticalOdd", Effect(EFFECT_FLIP_VERTICAL), 2, 3, 4,
     {kA, kB, kC, kD, kE, kF}, {kE, kF, kC, kD, kA, kB}},
    {"FlipVerticalEven", Effect(EFFECT_FLIP_VERTICAL), 1, 2, 0,
     {kA, kB}, {kB, kA}},
    // size 5, depth 10: sunken line on y = 1 (second row from the bottom),
    // raised on y = 3, raised at x = 1 and sunken at x = 3 on y = 2.
    {"3DGrid", Effect(EFFECT_3D_GRID, 5, 10), 5, 5, 4,
     {G100, G100, G100, G100, G100,
      G100, {250, 5, 128, 9}, G100, G100, G100,
      G100, G100, G100, G100, G100,
      G100, G100, G100, {5, 200, 9, 0}, G100,
      G100, G100, G100, G100, G100},
     {G100, G100, G100, G100, G100,
      G100, {255, 15, 138, 9}, Gray(110), Gray(110), G100,
      G100, Gray(110), G100, Gray(90), G100,
      G100, Gray(90), Gray(90), {0, 190, 0, 0}, G100,
      G100, G100, G100, G100, G100}},
    // level 0 adds no noise.
    {"NoisifyLevelZero", Effect(EFFECT_NOISIFY, 0), 2, 1, 4,
     {{10, 20, 30, 40}, {0, 255, 128, 1}}, {{10, 20, 30, 40}, {0, 255, 128, 1}}},
    // param 10: 4 levels, step 85.
    {"PosterizeFour", Effect(EFFECT_POSTERIZE, 10), 2, 1, 4,
     {{100, 200, 43, 9}, {42, 255, 0, 9}}, {{85, 170, 85, 9}, {0, 255, 0, 9}}},
    // param 60: 14 levels, step 255 / 13.
    {"PosterizeFourteen", Effect(EFFECT_POSTERIZE, 60), 1, 1, 0,
     {{100, 200, 10, 0}}, {{98, 196, 20, 0}}},
    // param 10: threshold 25.
    {"Solarize", Effect(EFFECT_SOLARIZE, 10), 2, 1, 4,
     {{24, 25, 200, 77}, {0, 255, 26, 1}}, {{24, 230, 55, 77}, {0, 0, 229, 1}}},
    // param 10: threshold 25 against the gray level.
    {"Threshold", Effect(EFFECT_THRESHOLD, 10), 4, 1, 4,
     {Gray(25, 3), Gray(26, 4), {255, 0, 0, 5}, {0, 0, 80, 6}},
     {Gray(0, 3), Gray(255, 4), Gray(255, 5), Gray(0, 6)}},
    // 3 x 3 tile: y = 0 (bottom) blue green red, y = 1 red blue green,
    // y = 2 green red blue; column 3 repeats column 0.
    {"Video", Effect(EFFECT_VIDEO), 4, 3, 4,
     {G100, G100, G100, G100,
      G100, G100, G100, G100,
      Gray(150), G100, G100, G100},
     {{100, 200, 100, 255}, {100, 100, 200, 255}, {200, 100, 100, 255}, {100, 200, 100, 255},
      {100, 100, 200, 255}, {200, 100, 100, 255}, {100, 200, 100, 255}, {100, 100, 200, 255},
      {255, 150, 150, 255}, {100, 200, 100, 255}, {100, 100, 200, 255}, {200, 100, 100, 255}}},
    // period 4, amplitude 1 on a square: the bottom-left pixel shows the
    // copy at (0.7957, 0.7957); the others show the top-right pixel.
    {"WaveSquare", Effect(EFFECT_WAVE, 2, 1), 2, 2, 4,
     {{200, 120, 100, 255}, {50, 160, 255, 255}, {0, 40, 200, 255}, {100, 80, 0, 255}},
     {{50, 160, 255, 255}, {50, 160, 255, 255}, {80, 135, 186, 255}, {50, 160, 255, 255}}},
    // period 6, amplitude 2 on a 3 x 1 strip (scale 1 and 3): pixel 0 shows
    // (1.5914, 0), blended by alpha with pixel 2 and the outside above.
    {"WaveStrip", Effect(EFFECT_WAVE, 3, 2), 3, 1, 8,
     {{10, 20, 30, 255}, {40, 100, 200, 128}, {240, 0, 60, 255}},
     {{188, 25, 96, 203}, {240, 0, 60, 255}, {240, 0, 60, 255}}},
    // level 33 (gray 133): bottom row against 0 32 8 40, top against
    // 48 16 56 24.
    {"Halftone", Effect(EFFECT_HALFTONE), 4, 2, 4,
     {Gray(133, 50), Gray(133, 50), Gray(133, 50), Gray(133, 50),
      Gray(133, 50), Gray(133, 50), Gray(133, 50), Gray(133, 50)},
     {Gray(0, 50), Gray(255, 50), Gray(0, 50), Gray(255, 50),
      Gray(255, 50), Gray(255, 50), Gray(255, 50), Gray(0, 50)}},
};

class PixelRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(PixelRules, ChangeTheFrameByTheEffectsRule) {
  const RuleCase& c = GetParam();
  TestFrame frame(c.width, c.height, c.padding, c.input);
  EXPECT_TRUE(QeloDoEffect(frame.get(), &c.effect, 0));
  EXPECT_EQ(frame.Pixels(), c.expected);
  EXPECT_TRUE(frame.UntouchedOutsidePixels());
}

INSTANTIATE_TEST_SUITE_P(EveryEffect, PixelRules, ::testing::ValuesIn(kRuleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PixelRulesCover, EveryEffectId) {
  std::vector<bool> covered(EFFECT_ID_COUNT);
  for (const RuleCase& c : kRuleCases) covered.at(c.effect.effectId) = true;
  for (int id = 0; id < EFFECT_ID_COUNT; ++id) EXPECT_TRUE(covered[id]) << "effect " << id;
}

}  // namespace
}  // namespace qelo::test
