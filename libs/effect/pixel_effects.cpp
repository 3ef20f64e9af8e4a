#include "pixel_effects.h"

#include <string.h>

#include <algorithm>
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

// Matrix entry e is below gray / 4 (gray 0 to 255) exactly when gray is
// above 4e + 3: the halftone is a threshold per column.
struct HalftoneLimits {
  int32_t limits[8][8];
};
constexpr HalftoneLimits MakeHalftoneLimits() {
  HalftoneLimits table{};
  for (int row = 0; row < 8; ++row) {
    for (int column = 0; column < 8; ++column) table.limits[row][column] = 4 * kBayer8[row][column] + 3;
  }
  return table;
}
constexpr HalftoneLimits kHalftoneLimits = MakeHalftoneLimits();

// One or more rows swapped through a small buffer, piece by piece.
void SwapRows(uint8_t* a, uint8_t* b, size_t bytes) {
  uint8_t buffer[4096];
  for (size_t done = 0; done < bytes; done += sizeof buffer) {
    const size_t piece = std::min(sizeof buffer, bytes - done);
    memcpy(buffer, a + done, piece);
    memcpy(a + done, b + done, piece);
    memcpy(b + done, buffer, piece);
  }
}

// A change of a byte by more than 255 either way is clamped like 255.
uint32_t ChangeBytes(int64_t change) { return static_cast<uint32_t>(std::min<int64_t>(change, 255)) * 0x010101u; }

}  // namespace

FCPixelColorTone::FCPixelColorTone(Rgb tone) {
  const Hsl toneHsl = RgbToHsl(tone);
  for (int l = 0; l < 256; ++l) {
    const Rgb shade = HslToRgb({toneHsl.hue, toneHsl.saturation, l / 255.0});
    // channel / 255 x L, truncated: exact in integers.
    red_[l] = shade.red * l / 255;
    green_[l] = shade.green * l / 255;
    blue_[l] = shade.blue * l / 255;
    tones_[l] = static_cast<uint32_t>(blue_[l]) | static_cast<uint32_t>(green_[l]) << 8 |
                static_cast<uint32_t>(red_[l]) << 16;
  }
}

void FCPixelEmboss::processPixel(VideoFrame* frame, int x, int, uint8_t* pixel) {
  int64_t value = 128;
  if (x < frame->width - 1) value += int64_t{(ColorSum(pixel) - ColorSum(pixel + 4)) / 3} * level_;
  SetColor(pixel, ClampByte(value));
}

// Any change of a third of a sum difference (1 or more) times a level
// beyond 256 either way is clamped as it would be at 256.
void FCPixelEmboss::processRow(VideoFrame& frame, int, uint8_t* row, const RowKernels& kernels) const {
  kernels.emboss(row, frame.width, std::clamp(level_, -256, 256));
}

void FCPixelFlipHorizontal::processPixel(VideoFrame* frame, int x, int y, uint8_t* pixel) {
  if (x < frame->width / 2) SwapPixels(pixel, PixelAt(*frame, frame->width - 1 - x, y));
}

void FCPixelFlipVertical::processPixel(VideoFrame* frame, int x, int y, uint8_t* pixel) {
  if (y < frame->height / 2) SwapPixels(pixel, PixelAt(*frame, x, frame->height - 1 - y));
}

void FCPixelFlipVertical::processRows(VideoFrame& frame, int yBegin, int yEnd, Form form) {
  if (frame.height <= 0) return;
  const int64_t pairs = frame.height / 2;
  const int firstPair = static_cast<int>(yBegin * pairs / frame.height);
  const int endPair = static_cast<int>(yEnd * pairs / frame.height);
  for (int y = firstPair; y < endPair; ++y) {
    uint8_t* row = PixelAt(frame, 0, y);
    if (form == Form::kScalar) {
      for (int x = 0; x < frame.width; ++x) processPixel(&frame, x, y, row + 4 * x);
    } else {
      SwapRows(row, PixelAt(frame, 0, frame.height - 1 - y), size_t{4} * frame.width);
    }
  }
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

// The three tests of y that ChangeAt makes, as one number 0 to 7.
int FCPixel3DGrid::RowKind(int y, int size) {
  const bool insideRow = y % size != 0 && (y + 1) % size != 0;
  return ((y - 1) % size == 0 ? 1 : 0) | ((y + 2) % size == 0 ? 2 : 0) | (insideRow ? 4 : 0);
}

void FCPixel3DGrid::prepare(VideoFrame* frame) {
  kinds_ = {};
  for (int y = 0; y < frame->height; ++y) {
    RowChanges& kind = kinds_[RowKind(y, size_)];
    if (!kind.raise.empty()) continue;
    kind.raise.assign(frame->width, 0);
    kind.lower.assign(frame->width, 0);
    for (int x = 0; x < frame->width; ++x) {
      const int64_t change = ChangeAt(x, y);
      if (change > 0) kind.raise[x] = ChangeBytes(change);
      if (change < 0) kind.lower[x] = ChangeBytes(-change);
      kind.any = kind.any || change != 0;
    }
  }
}

void FCPixel3DGrid::processRow(VideoFrame& frame, int y, uint8_t* row, const RowKernels& kernels) const {
  const RowChanges& kind = kinds_[RowKind(y, size_)];
  if (kind.any) kernels.raiseLower(row, frame.width, kind.raise.data(), kind.lower.data());
}

void FCPixelNoisify::AddNoise(uint8_t* pixel, int level, NoiseSource& noise) {
  const int draws = noise.Next() + noise.Next() + noise.Next() + noise.Next();
  const int value = NoiseOf(draws, level);
  for (int channel = kBlue; channel <= kRed; ++channel) {
    pixel[channel] = ClampByte(pixel[channel] + value);
  }
}

// Level 0 adds 0 to every pixel: nothing to do.
void FCPixelNoisify::processRows(VideoFrame& frame, int yBegin, int yEnd, Form form) const {
  constexpr int kDrawsPerPixel = 4;
  if (level_ == 0) return;
  NoiseSource noise(seed_);
  noise.Skip(uint64_t{kDrawsPerPixel} * frame.width * static_cast<uint64_t>(yBegin));
  uint32_t state = noise.state();
  for (int y = yBegin; y < yEnd; ++y) {
    uint8_t* row = PixelAt(frame, 0, y);
    if (form == Form::kScalar) {
      NoiseSource rowNoise(state);
      for (int x = 0; x < frame.width; ++x) AddNoise(row + 4 * x, level_, rowNoise);
      state = rowNoise.state();
    } else {
      state = KernelsFor(form).addNoise(row, frame.width, state, level_);
    }
  }
}

void FCPixelThreshold::processRow(VideoFrame& frame, int, uint8_t* row, const RowKernels& kernels) const {
  // White where threshold < gray; a threshold below 0 is passed as -1,
  // above 255 as 255, which every gray level compares with the same way.
  const int32_t limit = std::clamp(threshold_, -1, 255);
  const int32_t limits[8] = {limit, limit, limit, limit, limit, limit, limit, limit};
  kernels.thresholdGray(row, frame.width, limits);
}

void FCPixelVideo::prepare(VideoFrame* frame) {
  const VideoTile& tile = kVideoTiles[pattern_];
  rowMasks_.assign(tile.rows, std::vector<uint32_t>(frame->width));
  for (int row = 0; row < tile.rows; ++row) {
    for (int x = 0; x < frame->width; ++x) {
      rowMasks_[row][x] = 0xFFu << (8 * tile.cells[row * tile.columns + x % tile.columns]);
    }
  }
}

void FCPixelVideo::processPixel(VideoFrame*, int x, int y, uint8_t* pixel) {
  const VideoTile& tile = kVideoTiles[pattern_];
  const int channel = tile.cells[(y % tile.rows) * tile.columns + x % tile.columns];
  pixel[channel] = ClampByte(2 * pixel[channel]);
}

void FCPixelVideo::processRow(VideoFrame& frame, int y, uint8_t* row, const RowKernels& kernels) const {
  kernels.doubleMasked(row, frame.width, rowMasks_[y % rowMasks_.size()].data());
}

void FCPixelHalftoneM3::processPixel(VideoFrame*, int x, int y, uint8_t* pixel) {
  const int level = GrayOf(pixel) / 4;  // 0 to 63
  SetColor(pixel, kBayer8[y % 8][x % 8] < level ? 255 : 0);
}

void FCPixelHalftoneM3::processRow(VideoFrame& frame, int y, uint8_t* row, const RowKernels& kernels) const {
  kernels.thresholdGray(row, frame.width, kHalftoneLimits.limits[y % 8]);
}

}  // namespace qelo::effect
