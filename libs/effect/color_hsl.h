// Conversion between red, green, blue (0 to 255) and hue, saturation,
// lightness (each 0 to 1).
#pragma once

namespace qelo::effect {

struct Hsl {
  double hue;
  double saturation;
  double lightness;
};

struct Rgb {
  int red;
  int green;
  int blue;
};

Hsl RgbToHsl(Rgb color);
// Each channel is truncated and clamped to 0 to 255.
Rgb HslToRgb(Hsl color);

}  // namespace qelo::effect
