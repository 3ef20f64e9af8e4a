// Answers to records and frames that cannot be processed: they leave memory
// as it was.
#include <gtest/gtest.h>

#include <vector>

#include "effect/effect_frames.h"

namespace qelo::test {
namespace {

const Px kPixel{10, 20, 30, 40};

std::vector<EffectRecord> EveryEffect() {
  std::vector<EffectRecord> effects;
  for (int id = 0; id < EFFECT_ID_COUNT; ++id) effects.push_back(Effect(id, 50, 20));
  return effects;
}

TEST(EffectFrameChecks, NullRecordIsRefused) {
  TestFrame frame(2, 2, 4, kPixel);
  const std::vector<uint8_t> before = frame.Bytes();
  EXPECT_FALSE(QeloDoEffect(frame.get(), nullptr, 0));
  EXPECT_FALSE(QeloDoEffectEx(frame.get(), 0, nullptr, 0));
  EXPECT_EQ(frame.Bytes(), before);
}

TEST(EffectFrameChecks, NullFrameIsRefused) {
  for (const EffectRecord& effect : EveryEffect()) {
    EXPECT_FALSE(QeloDoEffect(nullptr, &effect, 0)) << "effect " << effect.effectId;
  }
}

TEST(EffectFrameChecks, UnknownIdsChangeNothingAndSucceed) {
  for (int id : {-1, int{EFFECT_ID_COUNT}, 42, -2147483647 - 1}) {
    TestFrame frame(3, 2, 4, kPixel);
    const std::vector<uint8_t> before = frame.Bytes();
    const EffectRecord effect = Effect(id, 50, 50);
    EXPECT_TRUE(QeloDoEffect(frame.get(), &effect, 0)) << "id " << id;
    EXPECT_EQ(frame.Bytes(), before) << "id " << id;
  }
}

TEST(EffectFrameChecks, EmptyFramesSucceedAndStayUntouched) {
  struct Size {
    int width, height;
  };
  for (const Size size : {Size{0, 3}, Size{3, 0}, Size{0, 0}}) {
    for (const EffectRecord& effect : EveryEffect()) {
      TestFrame frame(size.width, size.height, 8, kPixel);
      frame.get()->bufferSize = 0;
      const std::vector<uint8_t> before = frame.Bytes();
      EXPECT_TRUE(QeloDoEffect(frame.get(), &effect, 0))
          << size.width << " x " << size.height << ", effect " << effect.effectId;
      EXPECT_EQ(frame.Bytes(), before);
    }
  }
}

TEST(EffectFrameChecks, FramesThatCannotBeAddressedSafelyAreRefused) {
  struct BadFrame {
    const char* name;
    void (*spoil)(VideoFrame&);
  } cases[] = {
      {"negative width", [](VideoFrame& f) { f.width = -2; }},
      {"negative height", [](VideoFrame& f) { f.height = -1; }},
      {"no pixels", [](VideoFrame& f) { f.pixels = nullptr; }},
      {"rows shorter than 4 x width", [](VideoFrame& f) { f.stride = 4 * f.width - 1; }},
      {"negative stride", [](VideoFrame& f) { f.stride = -f.stride; }},
      {"buffer smaller than the picture", [](VideoFrame& f) { f.bufferSize -= 1; }},
      {"wider than the buffer", [](VideoFrame& f) { f.width += 1; }},
      {"taller than the buffer", [](VideoFrame& f) { f.height += 1; }},
  };
  for (const BadFrame& c : cases) {
    for (const EffectRecord& effect : EveryEffect()) {
      // Padding 0 so that the last row ends exactly at bufferSize.
      TestFrame frame(3, 2, 0, kPixel);
      const std::vector<uint8_t> before = frame.Bytes();
      c.spoil(*frame.get());
      EXPECT_FALSE(QeloDoEffect(frame.get(), &effect, 0))
          << c.name << ", effect " << effect.effectId;
      EXPECT_EQ(frame.Bytes(), before) << c.name;
    }
  }
}

TEST(EffectFrameChecks, LastRowNeedsNoPadding) {
  // The buffer ends with the last pixel: the padding of the last row is not
  // required.
  TestFrame frame(2, 2, 8, kPixel);
  frame.get()->bufferSize = frame.get()->stride + 8;
  const EffectRecord invert = Effect(EFFECT_INVERT);
  EXPECT_TRUE(QeloDoEffect(frame.get(), &invert, 0));
  EXPECT_EQ(frame.At(1, 1), (Px{245, 235, 225, 40}));
}

TEST(EffectExports, ExtendedCallIgnoresItsExtraArguments) {
  TestFrame plain(3, 2, 4, kPixel), extended(3, 2, 4, kPixel);
  const EffectRecord solarize = Effect(EFFECT_SOLARIZE, 10);
  EXPECT_TRUE(QeloDoEffect(plain.get(), &solarize, 77));
  EXPECT_TRUE(QeloDoEffectEx(extended.get(), -5, &solarize, 99));
  EXPECT_EQ(extended.Bytes(), plain.Bytes());
  EXPECT_EQ(plain.At(0, 0), (Px{10, 20, 225, 40}));
}

TEST(EffectExports, WorkAgainAfterTheLibraryStateIsFreed) {
  QeloEffectDestory();
  QeloEffectDestory();
  TestFrame frame(1, 1, 0, kPixel);
  const EffectRecord invert = Effect(EFFECT_INVERT);
  EXPECT_TRUE(QeloDoEffect(frame.get(), &invert, 0));
  EXPECT_EQ(frame.At(0, 0), (Px{245, 235, 225, 40}));
  int listed = 0;
  QeloEnumEffect([](const EffectInfo*, void* user) { return ++*static_cast<int*>(user) > 0; },
                 &listed);
  EXPECT_EQ(listed, 16);
  QeloEffectDestory();
}

}  // namespace
}  // namespace qelo::test
