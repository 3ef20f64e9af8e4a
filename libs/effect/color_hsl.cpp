#include "color_hsl.h"

#include <math.h>

#include "pix_base.h"

namespace qelo::effect {
namespace {

double HueOf(double red, double green, double blue, double max, double delta) {
  double hue;
  if (max == red) {
    hue = (green - blue) / delta;
  } else if (max == green) {
    hue = (blue - red) / delta + 2.0;
  } else {
    hue = (red - green) / delta + 4.0;
  }
  hue /= 6.0;
  return hue < 0.0 ? hue + 1.0 : hue;
}

// One channel of the sector rule; t is brought into 0 to 1 first, so every
// hue, including one that rounding left a little outside, finds a sector.
double HueToChannel(double p, double q, double t) {
  if (t < 0.0) t += 1.0;
  if (t > 1.0) t -= 1.0;
  if (6.0 * t < 1.0) return p + (q - p) * 6.0 * t;
  if (2.0 * t < 1.0) return q;
  if (3.0 * t < 2.0) return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
  return p;
}

// A channel that is a whole number of steps in exact arithmetic can come out
// a hair below it in floating point (1 - l + l for lightness above 0.5);
// the slack keeps the truncation from losing that step.
constexpr double kTruncationSlack = 1e-9;

int ToByte(double channel) {
  return ClampByte(static_cast<int64_t>(channel * 255.0 + kTruncationSlack));
}

}  // namespace

Hsl RgbToHsl(Rgb color) {
  const double red = color.red / 255.0;
  const double green = color.green / 255.0;
  const double blue = color.blue / 255.0;
  const double max = fmax(red, fmax(green, blue));
  const double min = fmin(red, fmin(green, blue));
  const double lightness = (max + min) / 2.0;
  if (max == min) return {0.0, 0.0, lightness};
  const double delta = max - min;
  const double saturation = lightness < 0.5 ? delta / (max + min) : delta / (2.0 - max - min);
  return {HueOf(red, green, blue, max, delta), saturation, lightness};
}

Rgb HslToRgb(Hsl color) {
  if (color.saturation == 0.0) {
    const int gray = ToByte(color.lightness);
    return {gray, gray, gray};
  }
  const double l = color.lightness;
  const double s = color.saturation;
  const double q = l <= 0.5 ? l * (1.0 + s) : l + s - l * s;
  const double p = 2.0 * l - q;
  return {ToByte(HueToChannel(p, q, color.hue + 1.0 / 3.0)), ToByte(HueToChannel(p, q, color.hue)),
          ToByte(HueToChannel(p, q, color.hue - 1.0 / 3.0))};
}

}  // namespace qelo::effect
