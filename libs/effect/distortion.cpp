#include "distortion.h"

#include <float.h>
#include <math.h>
#include <string.h>

#include <algorithm>
#include <numbers>

namespace qelo::effect {
namespace {

constexpr double kCoordinateLimit = 2147483392.0;
constexpr uint8_t kOutsidePixel[4] = {255, 255, 255, 0};

const uint8_t* NeighbourAt(const VideoFrame& image, int x, int y) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return kOutsidePixel;
  return PixelAt(image, x, y);
}

int FloorIndex(double s) { return static_cast<int>(s < 0 ? s - 1.0 : s); }

double Lerp2(double c00, double c10, double c01, double c11, double fx, double fy) {
  const double top = c00 + (c10 - c00) * fx;
  const double bottom = c01 + (c11 - c01) * fx;
  return top + (bottom - top) * fy;
}

bool SamePixel(const uint8_t* a, const uint8_t* b) { return memcmp(a, b, 4) == 0; }

}  // namespace

void SampleBilinear(const VideoFrame& image, double sx, double sy, uint8_t* out) {
  sx = std::clamp(sx, -kCoordinateLimit, kCoordinateLimit);
  sy = std::clamp(sy, -kCoordinateLimit, kCoordinateLimit);
  const int ix = FloorIndex(sx);
  const int iy = FloorIndex(sy);
  const double fx = sx - ix;
  const double fy = sy - iy;
  const uint8_t* p00 = NeighbourAt(image, ix, iy);
  const uint8_t* p10 = NeighbourAt(image, ix + 1, iy);
  const uint8_t* p01 = NeighbourAt(image, ix, iy + 1);
  const uint8_t* p11 = NeighbourAt(image, ix + 1, iy + 1);

  const bool allSame = SamePixel(p00, p10) && SamePixel(p00, p01) && SamePixel(p00, p11);
  if (allSame || (fx < FLT_EPSILON && fy < FLT_EPSILON)) {
    memcpy(out, p00, 4);
    return;
  }
  auto lerp = [&](int channel) {
    return Lerp2(p00[channel], p10[channel], p01[channel], p11[channel], fx, fy);
  };
  if (p00[kAlpha] == 255 && p10[kAlpha] == 255 && p01[kAlpha] == 255 && p11[kAlpha] == 255) {
    for (int channel = kBlue; channel <= kRed; ++channel) {
      out[channel] = static_cast<uint8_t>(lerp(channel));
    }
    out[kAlpha] = 255;
    return;
  }
  const int alpha = static_cast<int>(lerp(kAlpha));
  if (alpha == 0) {
    memcpy(out, kOutsidePixel, 4);
    return;
  }
  auto premultiplied = [](const uint8_t* p, int channel) { return p[channel] * p[kAlpha]; };
  for (int channel = kBlue; channel <= kRed; ++channel) {
    const double sum = Lerp2(premultiplied(p00, channel), premultiplied(p10, channel),
                             premultiplied(p01, channel), premultiplied(p11, channel), fx, fy);
    out[channel] = static_cast<uint8_t>(static_cast<int>(sum) / alpha);
  }
  out[kAlpha] = static_cast<uint8_t>(alpha);
}

void FCPixelBilinearDistord::prepare(VideoFrame* frame) {
  imageCopy_ = std::make_unique<ImageCopy>(*frame);
}

void FCPixelWave::prepare(VideoFrame* frame) {
  FCPixelBilinearDistord::prepare(frame);
  width_ = frame->width;
  height_ = frame->height;
  // An empty frame has no pixel to move; its scale factors would divide by 0.
  if (frame->width <= 0 || frame->height <= 0) return;
  scaleX_ = width_ < height_ ? height_ / width_ : 1.0;
  scaleY_ = height_ < width_ ? width_ / height_ : 1.0;
}

bool FCPixelWave::sourcePoint(int x, int y, double* sx, double* sy) {
  const double dx = scaleX_ * (x - width_ / 2);
  const double dy = scaleY_ * (y - height_ / 2);
  const double radius = sqrt(dx * dx + dy * dy);
  const double wave = sin(2.0 * std::numbers::pi * radius / period_) * amplitude_;
  *sx = std::clamp((wave + dx) / scaleX_ + width_ / 2, 0.0, width_ - 1);
  *sy = std::clamp((wave + dy) / scaleY_ + height_ / 2, 0.0, height_ - 1);
  return true;
}

}  // namespace qelo::effect
