#include "lut_effects.h"

#include <math.h>

namespace qelo::effect {

void FCPixelLUTRoutine::prepare(VideoFrame*) {
  uint8_t values[256];
  for (int v = 0; v < 256; ++v) values[v] = static_cast<uint8_t>(mapValue(v));
  table_.Fill(values);
}

int FCPixelBrightness::mapValue(int v) const {
  const int lifted = k_ > 0 ? v + (255 - v) * k_ / 200 : v + k_ * v / 200;
  return ClampByte(lifted);
}

int FCPixelContrast::mapValue(int v) const {
  const double c = v / 255.0;
  const double f = fmax(c <= 0.5 ? c : 1.0 - c, 0.0);
  const double e = k_ / 100.0;
  const double exponent = e < 0 ? 1.0 + e : (k_ == 100 ? 127.0 : 1.0 / (1.0 - e));
  double m = 0.5 * pow(2.0 * f, exponent);
  if (c > 0.5) m = 1.0 - m;
  return ClampByte(static_cast<int>(255.0 * m));
}

int FCPixelGamma::mapValue(int v) const {
  const double scale = pow(255.0, exponent_) / 255.0;
  return ClampByte(static_cast<int>(lround(pow(v, exponent_) / scale)));
}

int FCPixelSolarize::mapValue(int v) const { return v < threshold_ ? v : 255 - v; }

// With step = 255 / (levels - 1): q = v / step and q x step, each rounded
// half away from zero. Worked in integers, so that a product that is
// exactly a half is rounded as a half, not as a neighbour in floating point.
int FCPixelPosterize::mapValue(int v) const {
  const int64_t intervals = levels_ - 1;
  const int64_t q = (2 * v * intervals + 255) / 510;
  return ClampByte((2 * q * 255 + intervals) / (2 * intervals));
}

}  // namespace qelo::effect
