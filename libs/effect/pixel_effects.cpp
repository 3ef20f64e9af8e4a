#include "pixel_effects.h"

#include <utility>

namespace qelo::effect {
namespace {

// 32-bit pixels swapped whole.
void SwapPixels(uint8_t* a, uint8_t* b) {
  for (int channel = 0; channel < 4; ++channel) std::swap(a[channel], b[channel]);
}

int ColorSum(const uint8_t* pixel) { return pixel[kBlue] + pixel[kGreen] + pixel[kRed]; }

// A tile of channel names (0 blue, 1 green, 2 red), rows of `columns` cells.
struct VideoTile {
  int columns;
  int rows;
  const uint8_t* cells;
};

constexpr uint8_t kTile0[] = {0, 1, 0, 2, 1, 2, 1, 0, 2, 0, 2, 1};
constexpr uint8_t kTile1[] = {0, 1, 2};
constexpr uint8_t kTile2[] = {0, 1, 2, 2, 0, 1, 1, 2, 0};
constexpr uint8_t kTile3[] = {
    0, 1, 2, 0, 0, 1, 1, 1, 2, 0, 0, 1, 2, 2, 2, 0, 0, 1, 2, 0, 0, 1, 1, 1, 2,
    2, 0, 1, 2, 2, 0, 0, 0, 1, 2, 2, 0, 1, 1, 1, 2, 2, 0, 1, 2, 2, 0, 0, 0, 1,
    1, 2, 0, 1, 1, 2, 2, 2, 0, 1, 1, 2, 0, 0, 0, 1, 1, 2, 0, 1, 1, 2, 2, 2, 0};
static_assert(sizeof kTile0 == 2 * 6 && sizeof kTile1 == 1 * 3 && sizeof kTile2 == 3 * 3 &&
              sizeof kTile3 == 5 * 15);
constexpr VideoTile kVideoTiles[FCPixelVideo::kPatternCount] = {
    {2, 6, kTile0}, {1, 3, kTile1}, {3, 3, kTile2}, {5, 15, kTile3}};

constexpr uint8_t kBayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

// The four draws scaled to mean 0 and standard deviation 1.
constexpr double kNoiseScale = 5.28596089837e-05;
constexpr double kNoiseOffset = 3.46410161514;

}  // namespace

FCPixelColorTone::FCPixelColorTone(Rgb tone) {
  const Hsl toneHsl = RgbToHsl(tone);
  for (int l = 0; l < 256; ++l) {
    const Rgb shade = HslToRgb({toneHsl.hue, toneHsl.saturation, l / 255.0});
    // channel / 255 x L, truncated: exact in integers.
    red_[l] = shade.red * l / 255;
    green_[l] = shade.green * l / 255;
    blue_[l] = shade.blue * l / 255;
  }
}

void FCPixelEmboss::processPixel(VideoFrame* frame, int x, int, uint8_t* pixel) {
  int64_t value = 128;
  if (x < frame->width - 1) value += int64_t{(ColorSum(pixel) - ColorSum(pixel + 4)) / 3} * level_;
  SetColor(pixel, ClampByte(value));
}

void FCPixelFlipHorizontal::processPixel(VideoFrame* frame, int x, int y, uint8_t* pixel) {
  if (x < frame->width / 2) SwapPixels(pixel, PixelAt(*frame, frame->width - 1 - x, y));
}

void FCPixelFlipVertical::processPixel(VideoFrame* frame, int x, int y, uint8_t* pixel) {
  if (y < frame->height / 2) SwapPixels(pixel, PixelAt(*frame, x, frame->height - 1 - y));
}

int64_t FCPixel3DGrid::ChangeAt(int x, int y) const {
  const bool insideColumn = x % size_ != 0 && (x + 1) % size_ != 0;
  const bool insideRow = y % size_ != 0 && (y + 1) % size_ != 0;
  const int64_t depth = depth_;
  if (insideColumn && (y - 1) % size_ == 0) return -depth;
  if (insideColumn && (y + 2) % size_ == 0) return depth;
  if (insideRow && (x - 1) % size_ == 0) return depth;
  if (insideRow && (x + 2) % size_ == 0) return -depth;
  return 0;
}

void FCPixel3DGrid::processPixel(VideoFrame*, int x, int y, uint8_t* pixel) {
  const int64_t change = ChangeAt(x, y);
  if (change == 0) return;
  for (int channel = kBlue; channel <= kRed; ++channel) {
    pixel[channel] = ClampByte(int64_t{pixel[channel]} + change);
  }
}

void FCPixelNoisify::processPixel(VideoFrame*, int, int, uint8_t* pixel) {
  const int draws = noise_.Next() + noise_.Next() + noise_.Next() + noise_.Next();
  const double normal = draws * kNoiseScale - kNoiseOffset;
  const int noise = static_cast<int>(normal * level_ * 127 / 100);
  for (int channel = kBlue; channel <= kRed; ++channel) {
    pixel[channel] = ClampByte(pixel[channel] + noise);
  }
}

void FCPixelVideo::processPixel(VideoFrame*, int x, int y, uint8_t* pixel) {
  const VideoTile& tile = kVideoTiles[pattern_];
  const int channel = tile.cells[(y % tile.rows) * tile.columns + x % tile.columns];
  pixel[channel] = ClampByte(2 * pixel[channel]);
}

void FCPixelHalftoneM3::processPixel(VideoFrame*, int x, int y, uint8_t* pixel) {
  const int level = GrayOf(pixel) / 4;  // 0 to 63
  SetColor(pixel, kBayer8[y % 8][x % 8] < level ? 255 : 0);
}

}  // namespace qelo::effect
