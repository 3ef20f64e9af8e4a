#include "distortion.h"

#include <float.h>
#include <math.h>
#include <string.h>

#include <algorithm>
#include <array>
#include <numbers>

namespace qelo::effect {
namespace {

constexpr double kCoordinateLimit = 2147483392.0;

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

// A channel's interpolated premultiplied value over the interpolated alpha.
// The alpha is truncated before the division, so the quotient can pass
// 255 (near-white pixels of small alphas): it is clamped rather than
// wrapped into a dark value.
uint8_t Unpremultiplied(double premultiplied, int alpha) {
  return static_cast<uint8_t>(std::min(static_cast<int>(premultiplied) / alpha, 255));
}

// 2^32 / a rounded up, for a = 1 to 255: n x it, shifted down 32 bits, is
// n / a for every n a premultiplied channel can reach (tests check all).
constexpr std::array<uint64_t, 256> MakeReciprocals() {
  std::array<uint64_t, 256> reciprocals{};
  for (uint64_t a = 1; a < 256; ++a) reciprocals[a] = (uint64_t{1} << 32) / a + 1;
  return reciprocals;
}
constexpr std::array<uint64_t, 256> kReciprocals = MakeReciprocals();

uint32_t Load(const uint8_t* at) {
  uint32_t word;
  memcpy(&word, at, 4);
  return word;
}

int ByteOf(uint32_t pixel, int channel) { return static_cast<int>((pixel >> (8 * channel)) & 0xFF); }

double Unscale(double value, double scale) { return scale == 1.0 ? value : value / scale; }

}  // namespace

int DivideByAlpha(int premultiplied, int alpha) {
  return static_cast<int>((static_cast<uint64_t>(premultiplied) * kReciprocals[alpha]) >> 32);
}

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
    out[channel] = Unpremultiplied(sum, alpha);
  }
  out[kAlpha] = static_cast<uint8_t>(alpha);
}

// The steps of SampleBilinear for a point inside the picture: no clamping,
// no test of the neighbours' places, the division by a reciprocal.
uint32_t SampleInsideCopy(const VideoFrame& copy, double sx, double sy) {
  const int ix = static_cast<int>(sx);
  const int iy = static_cast<int>(sy);
  const double fx = sx - ix;
  const double fy = sy - iy;
  const uint8_t* at = PixelAt(copy, ix, iy);
  const uint32_t p00 = Load(at), p10 = Load(at + 4);
  const uint32_t p01 = Load(at - copy.stride), p11 = Load(at - copy.stride + 4);
  if ((p00 == p10 && p00 == p01 && p00 == p11) || (fx < FLT_EPSILON && fy < FLT_EPSILON)) return p00;
  auto lerp = [&](int channel) {
    return Lerp2(ByteOf(p00, channel), ByteOf(p10, channel), ByteOf(p01, channel), ByteOf(p11, channel), fx, fy);
  };
  constexpr uint32_t kOpaque = 0xFF000000u;
  if ((p00 & p10 & p01 & p11 & kOpaque) == kOpaque) {
    return kOpaque | static_cast<uint32_t>(lerp(kBlue)) | static_cast<uint32_t>(lerp(kGreen)) << 8 |
           static_cast<uint32_t>(lerp(kRed)) << 16;
  }
  const int alpha = static_cast<int>(lerp(kAlpha));
  if (alpha == 0) return Load(kOutsidePixel);
  uint32_t result = static_cast<uint32_t>(alpha) << 24;
  for (int channel = kBlue; channel <= kRed; ++channel) {
    auto premultiplied = [&](uint32_t p) { return ByteOf(p, channel) * ByteOf(p, kAlpha); };
    const double sum = Lerp2(premultiplied(p00), premultiplied(p10), premultiplied(p01), premultiplied(p11), fx, fy);
    result |= static_cast<uint32_t>(std::min(DivideByAlpha(static_cast<int>(sum), alpha), 255)) << (8 * channel);
  }
  return result;
}

uint32_t WavePixel(const WaveRow& wave, int x) {
  const VideoFrame& image = *wave.image;
  const double value = wave.sines[std::max(wave.firstFolded - x, x - wave.firstPast)] * wave.amplitude;
  const double dx = wave.scaleX * (x - wave.halfWidth);
  const double sx = std::clamp(Unscale(value + dx, wave.scaleX) + wave.halfWidth, 0.0, image.width - 1.0);
  const double sy = std::clamp(Unscale(value + wave.dy, wave.scaleY) + wave.halfHeight, 0.0, image.height - 1.0);
  return SampleInsideCopy(image, sx, sy);
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
  sines_ = WaveSinesFor(frame->width, frame->height, period_);
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

void FCPixelWave::processRow(VideoFrame& frame, int y, uint8_t* row, const RowKernels& kernels) const {
  const WaveRow wave{&imageCopy_->record,
                     sines_->FoldedRow(y),
                     sines_->FirstFolded(),
                     sines_->FirstPast(),
                     amplitude_,
                     scaleX_,
                     scaleY_,
                     width_ / 2,
                     height_ / 2,
                     scaleY_ * (y - height_ / 2)};
  kernels.waveRow(wave, row, frame.width);
}

}  // namespace qelo::effect
