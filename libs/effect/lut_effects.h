// The table family: effects that map each of blue, green and red through
// one 256-entry table computed once per frame.
#pragma once


#include "pix_base.h"

namespace qelo::effect {

class FCPixelLUTRoutine : public CPixBase {
 public:
  void prepare(VideoFrame* frame) override;
  void processPixel(VideoFrame*, int, int, uint8_t* pixel) final {
    pixel[kBlue] = table_.entries[pixel[kBlue]];
    pixel[kGreen] = table_.entries[pixel[kGreen]];
    pixel[kRed] = table_.entries[pixel[kRed]];
  }
  void processRow(VideoFrame& frame, int, uint8_t* row, const RowKernels& kernels) const {
    kernels.mapColors(table_, row, frame.width);
  }
  // The new value of a channel whose old value is v (0 to 255); the result
  // is already clamped to 0 to 255.
  virtual int mapValue(int v) const = 0;

 private:
  ColorTable table_{};
};

// k from -100 to 100.
class FCPixelBrightness final : public FCPixelLUTRoutine {
 public:
  explicit FCPixelBrightness(int k) : k_(k) {}
  int mapValue(int v) const override;

 private:
  int k_;
};

// k from -100 to 100.
class FCPixelContrast final : public FCPixelLUTRoutine {
 public:
  explicit FCPixelContrast(int k) : k_(k) {}
  int mapValue(int v) const override;

 private:
  int k_;
};

// Holds the exponent 1 / gamma; gamma must be above 0.
class FCPixelGamma final : public FCPixelLUTRoutine {
 public:
  explicit FCPixelGamma(double gamma) : exponent_(1.0 / gamma) {}
  int mapValue(int v) const override;

 private:
  double exponent_;
};

class FCPixelSolarize final : public FCPixelLUTRoutine {
 public:
  explicit FCPixelSolarize(int threshold) : threshold_(threshold) {}
  int mapValue(int v) const override;

 private:
  int threshold_;
};

// levels is at least 2.
class FCPixelPosterize final : public FCPixelLUTRoutine {
 public:
  explicit FCPixelPosterize(int levels) : levels_(levels) {}
  int mapValue(int v) const override;

 private:
  int levels_;
};

}  // namespace qelo::effect
