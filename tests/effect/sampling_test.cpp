// Bilinear sampling, the image copy of the distortion family and the colour
// model conversions, tested on the classes themselves.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <random>
#include <utility>
#include <vector>

#include "color_hsl.h"
#include "distortion.h"
#include "effect/effect_frames.h"

namespace qelo::test {
namespace {

using effect::SampleBilinear;

Px Sample(TestFrame& image, double sx, double sy) {
  Px out{};
  SampleBilinear(*image.get(), sx, sy, &out.b);
  return out;
}

// Rows from the top: y = 1 is the top row.
TestFrame Opaque2x2() {
  return TestFrame(2, 2, 8, {{0, 100, 200, 255}, {100, 0, 50, 255},  // y = 1
                             {40, 60, 80, 255}, {120, 200, 0, 255}});  // y = 0
}

TEST(BilinearSample, PointOnAPixelReturnsThatPixel) {
  TestFrame image = Opaque2x2();
  EXPECT_EQ(Sample(image, 0, 0), (Px{40, 60, 80, 255}));
  EXPECT_EQ(Sample(image, 1, 0), (Px{120, 200, 0, 255}));
  EXPECT_EQ(Sample(image, 0, 1), (Px{0, 100, 200, 255}));
}

TEST(BilinearSample, OpaqueNeighboursBlendAndStayOpaque) {
  TestFrame image = Opaque2x2();
  // Half way along x on y = 0: (40 + 120) / 2, (60 + 200) / 2, (80 + 0) / 2.
  EXPECT_EQ(Sample(image, 0.5, 0), (Px{80, 130, 40, 255}));
  // The centre: the mean of the four, truncated: 260 / 4, 360 / 4, 330 / 4.
  EXPECT_EQ(Sample(image, 0.5, 0.5), (Px{65, 90, 82, 255}));
  // A quarter up on x = 0: 40 + (0 - 40) / 4, 60 + 40 / 4, 80 + 120 / 4.
  EXPECT_EQ(Sample(image, 0, 0.25), (Px{30, 70, 110, 255}));
}

TEST(BilinearSample, OutsideTheImageBlendsTowardTransparentWhite) {
  TestFrame image = Opaque2x2();
  // Past the right edge half a pixel: alpha 255 / 2 = 127; each channel
  // (c x 255 / 2, truncated) / 127.
  EXPECT_EQ(Sample(image, 1.5, 0), (Px{120, 200, 0, 127}));
  // Wholly outside: the outside pixel itself.
  EXPECT_EQ(Sample(image, 5.25, 0.5), (Px{255, 255, 255, 0}));
  EXPECT_EQ(Sample(image, -3.5, -7.75), (Px{255, 255, 255, 0}));
  // Left of the picture: sx = -0.5 reads columns -1 and 0 with fx 0.5.
  EXPECT_EQ(Sample(image, -0.5, 0), (Px{40, 60, 80, 127}));
}

TEST(BilinearSample, TransparentNeighboursGiveTransparentWhite) {
  TestFrame image(2, 1, 0, {{10, 20, 30, 0}, {90, 80, 70, 0}});
  EXPECT_EQ(Sample(image, 0.5, 0), (Px{255, 255, 255, 0}));
}

TEST(BilinearSample, TranslucentNeighboursBlendByAlpha) {
  // alpha = 100 + (200 - 100) / 2 = 150; blue (0 x 100 + 30 x 200) / 2 / 150.
  TestFrame image(2, 1, 4, {{0, 255, 60, 100}, {30, 0, 60, 200}});
  EXPECT_EQ(Sample(image, 0.5, 0), (Px{20, 85, 60, 150}));
}

TEST(BilinearSample, NearWhiteOverATruncatedAlphaStaysWhite) {
  // Alphas 1 and 3 at fx 0.45 interpolate to 1.9, truncated to 1; the
  // white channels' premultiplied 255 and 765 interpolate to 484.5, and
  // 484 / 1 is past a byte: the channel is 255, not 484 wrapped to 228.
  TestFrame image(2, 1, 0, {{255, 255, 255, 1}, {255, 255, 255, 3}});
  EXPECT_EQ(Sample(image, 0.45, 0), (Px{255, 255, 255, 1}));
}

TEST(BilinearSample, HugeCoordinatesAreClampedNotOverflowed) {
  TestFrame image = Opaque2x2();
  EXPECT_EQ(Sample(image, 1e30, -1e30), (Px{255, 255, 255, 0}));
  EXPECT_EQ(Sample(image, -1e300, 1e300), (Px{255, 255, 255, 0}));
}

// A distortion that shows the point half a pixel to the right.
class HalfPixelShift final : public effect::FCPixelBilinearDistord {
 public:
  bool sourcePoint(int x, int y, double* sx, double* sy) override {
    *sx = x + 0.5;
    *sy = y;
    return true;
  }
};

TEST(DistortionCopy, ReadsRowsByTheFramesStride) {
  // Two rows padded by 12 bytes of sentinel: a copy that ignored the stride
  // would read padding into the lower row.
  TestFrame frame(2, 2, 12, {{0, 0, 0, 255}, {100, 100, 100, 255},  // top
                             {200, 200, 200, 255}, {100, 50, 0, 255}});
  HalfPixelShift shift;
  effect::RunEffect(shift, *frame.get());
  EXPECT_EQ(frame.Pixels(), (std::vector<Px>{{50, 50, 50, 255}, {100, 100, 100, 127},
                                             {150, 125, 100, 255}, {100, 50, 0, 127}}));
  EXPECT_TRUE(frame.UntouchedOutsidePixels());
}

// The fast sampler of the row forms reads a bordered copy instead of
// testing each neighbour, and divides through reciprocals: it gives the
// reference sampler's pixel at every point inside the picture.
TEST(BilinearSample, TheBorderedCopyGivesTheReferenceSample) {
  std::mt19937 random(5);
  std::vector<Px> pixels(7 * 5);
  for (Px& p : pixels) {
    const int kind = random() % 4;  // opaque, transparent, translucent, or white translucent
    const uint8_t alpha = kind == 0 ? 255 : kind == 1 ? 0 : uint8_t(1 + random() % 254);
    p = kind == 3 ? Px{255, 255, 255, alpha} : Px{uint8_t(random()), uint8_t(random()), uint8_t(random()), alpha};
  }
  TestFrame image(7, 5, 12, pixels);
  const effect::ImageCopy copy(*image.get());
  std::uniform_real_distribution<double> across(0.0, 6.0), up(0.0, 4.0);
  std::vector<std::pair<double, double>> points = {{0, 0}, {6, 4}, {6, 0}, {0, 4}, {5.5, 4}, {6, 3.25}, {2, 1e-9}};
  for (int i = 0; i < 20000; ++i) points.push_back({across(random), up(random)});
  for (const auto& [sx, sy] : points) {
    const Px expected = Sample(image, sx, sy);
    const uint32_t fast = effect::SampleInsideCopy(copy.record, sx, sy);
    Px got;
    memcpy(&got, &fast, 4);
    ASSERT_EQ(got, expected) << "at " << sx << ", " << sy;
  }
}

TEST(BilinearSample, ReciprocalsDivideEveryPremultipliedValueExactly) {
  for (int alpha = 1; alpha <= 255; ++alpha) {
    for (int premultiplied = 0; premultiplied <= 255 * 255; ++premultiplied) {
      ASSERT_EQ(effect::DivideByAlpha(premultiplied, alpha), premultiplied / alpha) << premultiplied << " / " << alpha;
    }
  }
}

struct HslCase {
  effect::Rgb rgb;
  double hue, saturation, lightness;
};

TEST(ColorModel, ConvertsToHueSaturationLightness) {
  const HslCase cases[] = {
      {{255, 0, 0}, 0.0, 1.0, 0.5},
      {{0, 255, 0}, 1.0 / 3, 1.0, 0.5},
      {{0, 0, 255}, 2.0 / 3, 1.0, 0.5},
      {{128, 128, 128}, 0.0, 0.0, 128 / 255.0},
      {{109, 90, 0}, 90.0 / 109 / 6, 1.0, 109 / 510.0},
      // max red, green below blue: the hue wraps to just under 1.
      {{255, 0, 51}, 1.0 - 0.2 / 6, 1.0, 0.5},
      // lightness above 0.5: saturation (max - min) / (2 - max - min).
      {{255, 204, 255}, 5.0 / 6, 1.0, (255 + 204) / 510.0},
  };
  for (const HslCase& c : cases) {
    const effect::Hsl hsl = effect::RgbToHsl(c.rgb);
    EXPECT_NEAR(hsl.hue, c.hue, 1e-9) << c.rgb.red << " " << c.rgb.green << " " << c.rgb.blue;
    EXPECT_NEAR(hsl.saturation, c.saturation, 1e-9);
    EXPECT_NEAR(hsl.lightness, c.lightness, 1e-9);
  }
}

TEST(ColorModel, ConvertsBackWithoutLosingAStep) {
  for (const effect::Rgb rgb : {effect::Rgb{255, 0, 0}, effect::Rgb{0, 255, 0},
                                effect::Rgb{12, 200, 99}, effect::Rgb{255, 204, 255},
                                effect::Rgb{1, 2, 3}, effect::Rgb{77, 77, 77}}) {
    const effect::Rgb back = effect::HslToRgb(effect::RgbToHsl(rgb));
    EXPECT_EQ((std::vector<int>{back.red, back.green, back.blue}),
              (std::vector<int>{rgb.red, rgb.green, rgb.blue}));
  }
}

TEST(ColorModel, HuesAtOrPastTheEndsStillFindTheirSector) {
  // Hue 1 is hue 0; a hue slightly outside 0 to 1, as rounding leaves it,
  // is brought back rather than read past the sectors.
  for (double hue : {0.0, 1.0, -1e-12, 1.0 + 1e-12}) {
    const effect::Rgb rgb = effect::HslToRgb({hue, 1.0, 0.5});
    EXPECT_EQ((std::vector<int>{rgb.red, rgb.green, rgb.blue}), (std::vector<int>{255, 0, 0}))
        << "hue " << hue;
  }
}

}  // namespace
}  // namespace qelo::test
