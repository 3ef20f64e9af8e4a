// The effects that compute each pixel directly.
#pragma once

#include <array>
#include <vector>

#include "color_hsl.h"
#include "noise_source.h"
#include "pix_base.h"

namespace qelo::effect {

class FCPixelGrayscale final : public CPixBase {
 public:
  void processPixel(VideoFrame*, int, int, uint8_t* pixel) override {
    SetColor(pixel, static_cast<uint8_t>(GrayOf(pixel)));
  }
  void processRow(VideoFrame& frame, int, uint8_t* row, const RowKernels& kernels) const {
    kernels.gray(row, frame.width);
  }
};

class FCPixelInvert final : public CPixBase {
 public:
  void processPixel(VideoFrame*, int, int, uint8_t* pixel) override {
    for (int channel = kBlue; channel <= kRed; ++channel) pixel[channel] = 255 - pixel[channel];
  }
  void processRow(VideoFrame& frame, int, uint8_t* row, const RowKernels& kernels) const {
    kernels.invert(row, frame.width);
  }
};

// Tints the picture by its gray level with the hue and saturation of a tone.
class FCPixelColorTone final : public CPixBase {
 public:
  explicit FCPixelColorTone(Rgb tone);
  void processPixel(VideoFrame*, int, int, uint8_t* pixel) override {
    const int gray = GrayOf(pixel);
    pixel[kBlue] = static_cast<uint8_t>(blue_[gray]);
    pixel[kGreen] = static_cast<uint8_t>(green_[gray]);
    pixel[kRed] = static_cast<uint8_t>(red_[gray]);
  }
  void processRow(VideoFrame& frame, int, uint8_t* row, const RowKernels& kernels) const {
    kernels.toneByGray(tones_.data(), row, frame.width);
  }

 private:
  std::array<int32_t, 256> red_{}, green_{}, blue_{};
  // The three tables as the colour bytes of one pixel each.
  std::array<uint32_t, 256> tones_{};
};

// Compares each pixel with its right neighbour, still unprocessed.
class FCPixelEmboss final : public CPixBase {
 public:
  explicit FCPixelEmboss(int level) : level_(level) {}
  void processPixel(VideoFrame* frame, int x, int, uint8_t* pixel) override;
  void processRow(VideoFrame& frame, int, uint8_t* row, const RowKernels& kernels) const;

 private:
  int level_;
};

class FCPixelFlipHorizontal final : public CPixBase {
 public:
  void processPixel(VideoFrame* frame, int x, int y, uint8_t* pixel) override;
  void processRow(VideoFrame& frame, int, uint8_t* row, const RowKernels& kernels) const {
    kernels.mirror(row, frame.width);
  }
};

// Swaps rows y and height - 1 - y. A run of rows y = a to b - 1 swaps the
// pairs whose share of the height lies in that run, so runs that together
// cover the height once swap every pair once.
class FCPixelFlipVertical final : public CPixBase {
 public:
  void processPixel(VideoFrame* frame, int x, int y, uint8_t* pixel) override;
  void processRows(VideoFrame& frame, int yBegin, int yEnd, Form form);
};

// Raised and sunken lines one pixel inside the edges of size x size cells.
class FCPixel3DGrid final : public CPixBase {
 public:
  FCPixel3DGrid(int size, int depth) : size_(size), depth_(depth) {}
  void prepare(VideoFrame* frame) override;
  void processPixel(VideoFrame*, int x, int y, uint8_t* pixel) override;
  void processRow(VideoFrame& frame, int y, uint8_t* row, const RowKernels& kernels) const;

 private:
  int64_t ChangeAt(int x, int y) const;
  int size_;
  int depth_;
  // A row's changes depend on y only through three tests; each combination
  // met keeps the raise and lower bytes of a whole row.
  struct RowChanges {
    bool any = false;
    std::vector<uint32_t> raise, lower;
  };
  static int RowKind(int y, int size);
  std::array<RowChanges, 8> kinds_;
};

// Adds one approximately normal noise value to blue, green and red.
class FCPixelNoisify final : public CPixBase {
 public:
  FCPixelNoisify(int level, uint32_t seed) : level_(level), seed_(seed), noise_(seed) {}
  void processPixel(VideoFrame*, int, int, uint8_t* pixel) override { AddNoise(pixel, level_, noise_); }
  // Starts the generator where the whole-frame order would have it at row
  // yBegin, so that a run of rows gets the noise of the whole frame.
  void processRows(VideoFrame& frame, int yBegin, int yEnd, Form form) const;

 private:
  static void AddNoise(uint8_t* pixel, int level, NoiseSource& noise);
  int level_;
  uint32_t seed_;
  NoiseSource noise_;
};

class FCPixelThreshold final : public CPixBase {
 public:
  explicit FCPixelThreshold(int threshold) : threshold_(threshold) {}
  void processPixel(VideoFrame*, int, int, uint8_t* pixel) override {
    SetColor(pixel, threshold_ < GrayOf(pixel) ? 255 : 0);
  }
  void processRow(VideoFrame& frame, int, uint8_t* row, const RowKernels& kernels) const;

 private:
  int threshold_;
};

// Doubles one channel per pixel after a tile of channel names.
class FCPixelVideo final : public CPixBase {
 public:
  static constexpr int kPatternCount = 4;
  // pattern is 0 to kPatternCount - 1.
  explicit FCPixelVideo(int pattern) : pattern_(pattern) {}
  void prepare(VideoFrame* frame) override;
  void processPixel(VideoFrame*, int x, int y, uint8_t* pixel) override;
  void processRow(VideoFrame& frame, int y, uint8_t* row, const RowKernels& kernels) const;

 private:
  int pattern_;
  // Per row of the tile, the byte masks of a whole row of the frame.
  std::vector<std::vector<uint32_t>> rowMasks_;
};

// Ordered dithering to black and white with an 8 x 8 matrix.
class FCPixelHalftoneM3 final : public CPixBase {
 public:
  void processPixel(VideoFrame*, int x, int y, uint8_t* pixel) override;
  void processRow(VideoFrame& frame, int y, uint8_t* row, const RowKernels& kernels) const;
};

}  // namespace qelo::effect
