// The distortion family: each pixel shows a point of an unchanged copy of
// the frame, sampled bilinearly.
#pragma once

#include "pix_base.h"

namespace qelo::effect {

// The bilinear sample of the image at (sx, sy), both counted like pixel
// coordinates (y from the bottom). Pixels outside the image read as white
// with alpha 0. Writes all four bytes of out.
void SampleBilinear(const VideoFrame& image, double sx, double sy, uint8_t* out);

class FCPixelBilinearDistord : public CPixBase {
 public:
  void prepare(VideoFrame* frame) override;
  void processPixel(VideoFrame*, int x, int y, uint8_t* pixel) final {
    double sx, sy;
    if (sourcePoint(x, y, &sx, &sy)) SampleBilinear(imageCopy_->record, sx, sy, pixel);
  }
  // The point of the copy that pixel (x, y) shows; false leaves the pixel.
  virtual bool sourcePoint(int x, int y, double* sx, double* sy) = 0;
};

// Rings around the centre: period in pixels, amplitude in pixels.
class FCPixelWave final : public FCPixelBilinearDistord {
 public:
  FCPixelWave(double period, double amplitude) : period_(period), amplitude_(amplitude) {}
  void prepare(VideoFrame* frame) override;
  bool sourcePoint(int x, int y, double* sx, double* sy) override;

 private:
  double period_;
  double amplitude_;
  double width_ = 0, height_ = 0;
  double scaleX_ = 1, scaleY_ = 1;
};

}  // namespace qelo::effect
