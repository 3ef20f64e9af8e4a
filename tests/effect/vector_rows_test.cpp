// The whole-row vector forms give exactly what the per-pixel rules give, on
// rows long enough for several vector steps and a remainder.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "effect/effect_frames.h"
#include "lut_effects.h"
#include "pixel_effects.h"

namespace qelo::test {
namespace {

using namespace qelo::effect;

// Random pixels, including every byte value in every channel.
TestFrame RandomFrame(int width, int height) {
  std::mt19937 random(width * 131 + height);
  std::vector<Px> pixels(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < pixels.size(); ++i) {
    const auto value = static_cast<uint8_t>(i);
    pixels[i] = {value, static_cast<uint8_t>(random()), static_cast<uint8_t>(255 - value),
                 static_cast<uint8_t>(random())};
  }
  return TestFrame(width, height, 12, pixels);
}

// The per-pixel rule alone, pixel by pixel, bottom row first.
template <typename Effect>
std::vector<Px> ByPixelRule(Effect& effect, TestFrame frame) {
  VideoFrame& f = *frame.get();
  effect.prepare(&f);
  for (int y = 0; y < f.height; ++y) {
    for (int x = 0; x < f.width; ++x) effect.processPixel(&f, x, y, PixelAt(f, x, y));
  }
  return frame.Pixels();
}

template <typename Effect>
std::vector<Px> ByDriver(Effect& effect, TestFrame frame) {
  RunEffect(effect, *frame.get());
  EXPECT_TRUE(frame.UntouchedOutsidePixels());
  return frame.Pixels();
}

struct RowCase {
  const char* name;
  std::function<void(const TestFrame&)> check;
};

template <typename Effect, typename... Settings>
RowCase Case(const char* name, Settings... settings) {
  return {name, [=](const TestFrame& frame) {
            Effect byRule(settings...), byDriver(settings...);
            EXPECT_EQ(ByDriver(byDriver, frame), ByPixelRule(byRule, frame)) << name;
          }};
}

TEST(VectorRows, MatchThePerPixelRules) {
  const RowCase cases[] = {
      Case<FCPixelGrayscale>("gray"),
      Case<FCPixelInvert>("invert"),
      Case<FCPixelThreshold>("threshold 0", 0),
      Case<FCPixelThreshold>("threshold 127", 127),
      Case<FCPixelThreshold>("threshold 255", 255),
      Case<FCPixelBrightness>("brightness", 37),
      Case<FCPixelContrast>("contrast", -60),
      Case<FCPixelGamma>("gamma", 2.5),
      Case<FCPixelSolarize>("solarize", 128),
      Case<FCPixelPosterize>("posterize", 5),
  };
  for (const int width : {16, 37, 301}) {
    const TestFrame frame = RandomFrame(width, 5);
    for (const RowCase& c : cases) c.check(frame);
  }
}

}  // namespace
}  // namespace qelo::test
