// Every faster form of every effect gives the bytes of the scalar rules,
// on frames of awkward sizes: odd widths, one-pixel frames, rows padded past
// 4 x width, heights that are no whole number of an effect's tiles (so a
// form that counted rows from the top instead of the bottom would show),
// and the same frames cut into bands.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "effect/effect_frames.h"
#include "effect_forms.h"
#include "effect_table.h"
#include "row_kernels.h"

namespace qelo::test {
namespace {

using effect::Form;

struct Size {
  int width, height, padding;
};

constexpr Size kSizes[] = {
    {1, 1, 0},  {1, 9, 4},  {9, 1, 0},   {2, 2, 12},  {3, 5, 4},   {7, 13, 0},  {8, 8, 4},
    {15, 3, 8}, {16, 4, 0}, {17, 9, 28}, {31, 2, 4},  {33, 17, 0}, {64, 3, 12}, {67, 11, 4},
    {129, 5, 0}, {301, 6, 20},
};

// Pictures that reach every path of the rules: random bytes, opaque
// random colours, and flat patches with steps between them.
enum class Content { kRandom, kOpaque, kPatches };

TestFrame MakeFrame(const Size& size, Content content, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<Px> pixels(static_cast<size_t>(size.width) * size.height);
  for (size_t i = 0; i < pixels.size(); ++i) {
    const int x = static_cast<int>(i % size.width), row = static_cast<int>(i / size.width);
    switch (content) {
      case Content::kRandom:
        pixels[i] = {uint8_t(random()), uint8_t(random()), uint8_t(random()), uint8_t(random())};
        break;
      case Content::kOpaque:
        pixels[i] = {uint8_t(random()), uint8_t(random()), uint8_t(random()), 255};
        break;
      case Content::kPatches: {
        const auto patch = static_cast<uint8_t>((x / 3 + row / 2) * 37);
        pixels[i] = {patch, uint8_t(patch + 90), uint8_t(255 - patch), uint8_t(x % 7 == 0 ? 0 : 255)};
        break;
      }
    }
  }
  return TestFrame(size.width, size.height, size.padding, pixels);
}

// The frame after the record's effect in `form`, the band cut at `cuts`
// (rows from the top, ascending; none: one band).
std::vector<uint8_t> Apply(const EffectRecord& record, TestFrame frame, Form form,
                           const std::vector<int>& cuts = {}) {
  constexpr uint32_t kSeed = 20240611;
  auto pass = effect::MakeEffectPass(record, *frame.get(), form, kSeed);
  if (pass) {
    int first = 0;
    std::vector<int> ends = cuts;
    ends.push_back(frame.get()->height);
    for (int end : ends) {
      pass->RunBand(first, end - first);
      first = end;
    }
  }
  return frame.Bytes();
}

std::vector<EffectRecord> EveryEffectAndSetting() {
  std::vector<EffectRecord> records;
  auto add = [&](int id, std::initializer_list<int> params1, std::initializer_list<int> params2 = {0}) {
    for (int p1 : params1) {
      for (int p2 : params2) records.push_back(Effect(id, p1, p2));
    }
  };
  add(EFFECT_GRAY, {0});
  add(EFFECT_INVERT, {0});
  add(EFFECT_BRIGHTNESS, {-5, 0, 29, 50, 75, 100, 150});
  add(EFFECT_CONTRAST, {0, 25, 50, 75, 99, 100});
  add(EFFECT_GAMMA, {-3, 1, 7, 20, 50, 100});
  add(EFFECT_COLOR_TONE, {0});
  add(EFFECT_EMBOSS, {-1000, -256, -2, 0, 1, 5, 255, 257, 100000});
  add(EFFECT_FLIP_HORIZONTAL, {0});
  add(EFFECT_FLIP_VERTICAL, {0});
  add(EFFECT_3D_GRID, {0, 1, 2, 3, 5, 50}, {-300, -20, 0, 7, 256});
  add(EFFECT_NOISIFY, {0, 1, 50, 100, 250});
  add(EFFECT_POSTERIZE, {0, 10, 60, 100});
  add(EFFECT_SOLARIZE, {0, 10, 50, 100});
  add(EFFECT_THRESHOLD, {-10, 0, 10, 50, 100, 120});
  add(EFFECT_VIDEO, {0});
  add(EFFECT_WAVE, {1, 2, 3, 25}, {1, 2, 30, 1000, 2000000000});
  add(EFFECT_HALFTONE, {0});
  return records;
}

std::string Describe(const EffectRecord& record, const Size& size, Content content, Form form) {
  return "effect " + std::to_string(record.effectId) + " (" + std::to_string(record.param1) + ", " +
         std::to_string(record.param2) + ") on " + std::to_string(size.width) + " x " +
         std::to_string(size.height) + " padded " + std::to_string(size.padding) + ", content " +
         std::to_string(static_cast<int>(content)) + ", form " + effect::FormName(form);
}

std::vector<Form> FasterFormsHere() {
  std::vector<Form> forms;
  for (Form form : effect::kAllForms) {
    if (form != Form::kScalar && effect::FormAvailable(form)) forms.push_back(form);
  }
  return forms;
}

TEST(EffectForms, EveryFormGivesTheScalarBytes) {
  const std::vector<EffectRecord> records = EveryEffectAndSetting();
  for (const Size& size : kSizes) {
    for (Content content : {Content::kRandom, Content::kOpaque, Content::kPatches}) {
      const TestFrame frame = MakeFrame(size, content, size.width * 7919u + size.height);
      for (const EffectRecord& record : records) {
        const std::vector<uint8_t> expected = Apply(record, frame, Form::kScalar);
        for (Form form : FasterFormsHere()) {
          ASSERT_EQ(Apply(record, frame, form), expected) << Describe(record, size, content, form);
        }
      }
    }
  }
}

// Bands of one row, bands of uneven heights, and the frame in halves: each
// form, and the scalar rules themselves, cut into bands give the whole
// frame's bytes.
TEST(EffectForms, BandsGiveTheWholeFramesBytes) {
  const std::vector<EffectRecord> records = EveryEffectAndSetting();
  for (const Size& size : {Size{5, 7, 4}, Size{33, 17, 0}, Size{67, 11, 12}, Size{16, 2, 0}}) {
    std::vector<std::vector<int>> cuttings = {{size.height / 2}, {1, 2, 5 % size.height}};
    std::vector<int> everyRow;
    for (int row = 1; row < size.height; ++row) everyRow.push_back(row);
    cuttings.push_back(everyRow);
    for (std::vector<int>& cuts : cuttings) {
      std::sort(cuts.begin(), cuts.end());
      cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    }
    const TestFrame frame = MakeFrame(size, Content::kOpaque, 99 + size.width);
    for (const EffectRecord& record : records) {
      const std::vector<uint8_t> expected = Apply(record, frame, Form::kScalar);
      std::vector<Form> forms = FasterFormsHere();
      forms.push_back(Form::kScalar);
      for (Form form : forms) {
        for (const std::vector<int>& cuts : cuttings) {
          ASSERT_EQ(Apply(record, frame, form, cuts), expected)
              << Describe(record, size, Content::kOpaque, form) << ", " << cuts.size() + 1 << " bands";
        }
      }
    }
  }
}

// Widths around the table kernels' steps (8 and 32 pixels in the AVX2
// form, 16 in the AVX-512 one): a step alone, a step and a few single
// pixels, several steps with every kind of remainder.
constexpr int kTableWidths[] = {1, 3, 7, 8, 9, 15, 16, 17, 31, 32, 33, 39, 40, 47, 63, 64, 65, 95, 97, 129};

// 256 rows in which every column holds every byte value in each colour
// channel, the channels' values shifted against each other and against the
// columns, and alpha varying on its own: each value meets each place of a
// vector step in each channel.
TestFrame EveryValueFrame(int width) {
  constexpr int kRows = 256;
  std::vector<Px> pixels;
  for (int row = 0; row < kRows; ++row) {
    for (int x = 0; x < width; ++x) {
      pixels.push_back({uint8_t(row + x), uint8_t(row + 3 * x + 85), uint8_t(row + 7 * x + 170),
                        uint8_t(5 * row + 11 * x)});
    }
  }
  return TestFrame(width, kRows, 4, pixels);
}

// Each form's table kernel against the table itself. The table is a
// shuffled permutation of 0 to 255, so a byte looked up in any wrong entry
// gives a wrong value.
TEST(EffectForms, TableKernelsLookUpEveryValue) {
  std::vector<uint8_t> values(256);
  std::iota(values.begin(), values.end(), 0);
  std::shuffle(values.begin(), values.end(), std::mt19937(7));
  effect::ColorTable table;
  table.Fill(values.data());
  for (int width : kTableWidths) {
    const TestFrame original = EveryValueFrame(width);
    std::vector<Px> expected = original.Pixels();
    for (Px& px : expected) px = {values[px.b], values[px.g], values[px.r], px.a};
    for (Form form : effect::kAllForms) {
      if (!effect::FormAvailable(form)) continue;
      TestFrame frame = original;
      VideoFrame& f = *frame.get();
      for (int row = 0; row < f.height; ++row) {
        effect::KernelsFor(form).mapColors(table, f.pixels + row * f.stride, f.width);
      }
      ASSERT_EQ(frame.Pixels(), expected) << "width " << width << ", form " << effect::FormName(form);
      ASSERT_TRUE(frame.UntouchedOutsidePixels()) << "width " << width << ", form " << effect::FormName(form);
    }
  }
}

// The table effects in each form give the scalar bytes for every value.
TEST(EffectForms, TableEffectsGiveTheScalarBytesForEveryValue) {
  const EffectRecord records[] = {
      Effect(EFFECT_BRIGHTNESS, 20), Effect(EFFECT_BRIGHTNESS, 80), Effect(EFFECT_CONTRAST, 15),
      Effect(EFFECT_CONTRAST, 90),   Effect(EFFECT_GAMMA, 4),       Effect(EFFECT_GAMMA, 35),
      Effect(EFFECT_POSTERIZE, 10),  Effect(EFFECT_POSTERIZE, 85), Effect(EFFECT_SOLARIZE, 50),
  };
  for (int width : kTableWidths) {
    const TestFrame frame = EveryValueFrame(width);
    for (const EffectRecord& record : records) {
      const std::vector<uint8_t> expected = Apply(record, frame, Form::kScalar);
      for (Form form : FasterFormsHere()) {
        ASSERT_EQ(Apply(record, frame, form), expected)
            << "effect " << record.effectId << " (" << record.param1 << ") width " << width << ", form "
            << effect::FormName(form);
      }
    }
  }
}

TEST(EffectForms, TheBaselineFormsAreEverywhere) {
  EXPECT_TRUE(effect::FormAvailable(Form::kScalar));
  EXPECT_TRUE(effect::FormAvailable(Form::kPlain));
  EXPECT_TRUE(effect::FormAvailable(effect::BestForm()));
  EXPECT_FALSE(effect::FormAvailable(static_cast<Form>(7)));
}

TEST(EffectForms, ForcingAFormMakesItActive) {
  for (Form form : effect::kAllForms) {
    if (!effect::FormAvailable(form)) {
      EXPECT_FALSE(effect::ForceForm(form));
      continue;
    }
    EXPECT_TRUE(effect::ForceForm(form));
    EXPECT_EQ(effect::ActiveForm(), form);
  }
  effect::StopForcingForm();
  EXPECT_EQ(effect::ActiveForm(), effect::BestForm());
}

}  // namespace
}  // namespace qelo::test
