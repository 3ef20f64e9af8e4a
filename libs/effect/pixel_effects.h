// The effects that compute each pixel directly.
#pragma once

#include <array>

#include "color_hsl.h"
#include "noise_source.h"
#include "pix_base.h"
#include "vector_rows.h"

namespace qelo::effect {

class FCPixelGrayscale final : public CPixBase {
 public:
  void processPixel(VideoFrame*, int, int, uint8_t* pixel) override {
    SetColor(pixel, static_cast<uint8_t>(GrayOf(pixel)));
  }
  int processLeadingPixels(uint8_t* row, int width) const { return GrayRowLeading(row, width); }
};

class FCPixelInvert final : public CPixBase {
 public:
  void processPixel(VideoFrame*, int, int, uint8_t* pixel) override {
    for (int channel = kBlue; channel <= kRed; ++channel) pixel[channel] = 255 - pixel[channel];
  }
  int processLeadingPixels(uint8_t* row, int width) const { return InvertRowLeading(row, width); }
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

 private:
  std::array<int32_t, 256> red_{}, green_{}, blue_{};
};

// Compares each pixel with its right neighbour, still unprocessed.
class FCPixelEmboss final : public CPixBase {
 public:
  explicit FCPixelEmboss(int level) : level_(level) {}
  void processPixel(VideoFrame* frame, int x, int, uint8_t* pixel) override;

 private:
  int level_;
};

class FCPixelFlipHorizontal final : public CPixBase {
 public:
  void processPixel(VideoFrame* frame, int x, int y, uint8_t* pixel) override;
};

class FCPixelFlipVertical final : public CPixBase {
 public:
  void processPixel(VideoFrame* frame, int x, int y, uint8_t* pixel) override;
};

// Raised and sunken lines one pixel inside the edges of size x size cells.
class FCPixel3DGrid final : public CPixBase {
 public:
  FCPixel3DGrid(int size, int depth) : size_(size), depth_(depth) {}
  void processPixel(VideoFrame*, int x, int y, uint8_t* pixel) override;

 private:
  int64_t ChangeAt(int x, int y) const;
  int size_;
  int depth_;
};

// Adds one approximately normal noise value to blue, green and red.
class FCPixelNoisify final : public CPixBase {
 public:
  FCPixelNoisify(int level, uint32_t seed) : level_(level), noise_(seed) {}
  void processPixel(VideoFrame*, int, int, uint8_t* pixel) override;

 private:
  int level_;
  NoiseSource noise_;
};

class FCPixelThreshold final : public CPixBase {
 public:
  explicit FCPixelThreshold(int threshold) : threshold_(threshold) {}
  void processPixel(VideoFrame*, int, int, uint8_t* pixel) override {
    SetColor(pixel, threshold_ < GrayOf(pixel) ? 255 : 0);
  }
  int processLeadingPixels(uint8_t* row, int width) const {
    return ThresholdRowLeading(row, width, threshold_);
  }

 private:
  int threshold_;
};

// Doubles one channel per pixel after a tile of channel names.
class FCPixelVideo final : public CPixBase {
 public:
  static constexpr int kPatternCount = 4;
  // pattern is 0 to kPatternCount - 1.
  explicit FCPixelVideo(int pattern) : pattern_(pattern) {}
  void processPixel(VideoFrame*, int x, int y, uint8_t* pixel) override;

 private:
  int pattern_;
};

// Ordered dithering to black and white with an 8 x 8 matrix.
class FCPixelHalftoneM3 final : public CPixBase {
 public:
  void processPixel(VideoFrame*, int x, int y, uint8_t* pixel) override;
};

}  // namespace qelo::effect
