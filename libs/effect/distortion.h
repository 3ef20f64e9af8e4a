// The distortion family: each pixel shows a point of an unchanged copy of
// the frame, sampled bilinearly.
#pragma once

#include <memory>

#include "pix_base.h"
#include "wave_sines.h"

namespace qelo::effect {

// The bilinear sample of the image at (sx, sy), both counted like pixel
// coordinates (y from the bottom). Pixels outside the image read as white
// with alpha 0. Writes all four bytes of out.
void SampleBilinear(const VideoFrame& image, double sx, double sy, uint8_t* out);

// The same sample for a point inside a bordered ImageCopy (0 <= sx <= width
// - 1, 0 <= sy <= height - 1), reading the border for the neighbours past
// the edge and dividing by alpha through a table of reciprocals.
uint32_t SampleInsideCopy(const VideoFrame& copy, double sx, double sy);

// premultiplied / alpha for premultiplied 0 to 255 x 255 and alpha 1 to
// 255, by a multiply with a reciprocal.
int DivideByAlpha(int premultiplied, int alpha);

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
  // Reads only the copy, so rows may go on at once on several threads.
  void processRow(VideoFrame& frame, int y, uint8_t* row, const RowKernels& kernels) const;

 private:
  double period_;
  double amplitude_;
  double width_ = 0, height_ = 0;
  double scaleX_ = 1, scaleY_ = 1;
  std::shared_ptr<const WaveSines> sines_;
};

}  // namespace qelo::effect
