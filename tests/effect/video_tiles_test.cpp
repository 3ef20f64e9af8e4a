// The tiles of the video effect that the factory never chooses, used
// through the class itself.
#include <gtest/gtest.h>

#include "effect/effect_frames.h"
#include "pixel_effects.h"

namespace qelo::test {
namespace {

constexpr Px kBlue200{200, 100, 100, 255}, kGreen200{100, 200, 100, 255};
constexpr Px kRed200{100, 100, 200, 255};

std::vector<Px> WithTile(int pattern, int width, int height) {
  TestFrame frame(width, height, 4, Gray(100));
  effect::FCPixelVideo video(pattern);
  effect::RunEffect(video, *frame.get());
  return frame.Pixels();
}

TEST(VideoTiles, OneColumnOfThreeRows) {
  // Rows from the top: y = 3 repeats y = 0.
  EXPECT_EQ(WithTile(1, 2, 4), (std::vector<Px>{kBlue200, kBlue200, kRed200, kRed200, kGreen200,
                                                kGreen200, kBlue200, kBlue200}));
}

TEST(VideoTiles, TwoColumnsOfSixRows) {
  // y = 0 (bottom) to 5: (0, 1), (0, 2), (1, 2), (1, 0), (2, 0), (2, 1).
  EXPECT_EQ(WithTile(0, 2, 6), (std::vector<Px>{kRed200, kGreen200, kRed200, kBlue200, kGreen200,
                                                kBlue200, kGreen200, kRed200, kBlue200, kRed200,
                                                kBlue200, kGreen200}));
}

TEST(VideoTiles, FiveColumnsOfFifteenRows) {
  TestFrame frame(6, 16, 4, Gray(100));
  effect::FCPixelVideo video(3);
  effect::RunEffect(video, *frame.get());
  // At(x, row from the top); y = 15 - row.
  EXPECT_EQ(frame.At(3, 14), kRed200);    // y 1: (1, 1, 1, 2, 0)
  EXPECT_EQ(frame.At(4, 1), kBlue200);    // y 14: (1, 2, 2, 2, 0)
  EXPECT_EQ(frame.At(0, 10), kRed200);    // y 5: (2, 0, 1, 2, 2)
  EXPECT_EQ(frame.At(5, 0), kBlue200);    // y 15 and x 5 wrap to the first cell
  EXPECT_EQ(frame.At(2, 7), kBlue200);    // y 8: (2, 2, 0, 1, 2)
}

}  // namespace
}  // namespace qelo::test
