// Basic values of the 2-D drawing layer: results, colours, geometry, units
// and pixel formats.
#pragma once

#include <cstdint>

namespace qelo::gdiplus {

enum class Status {
  Ok,
  GenericError,
  InvalidParameter,
  OutOfMemory,
  WrongState,           // the bitmap's bits are locked, or unlocked twice
  FileNotFound,
  UnknownImageFormat,   // not a PNG, JPEG or BMP file, or one we cannot read
  FontFamilyNotFound,
  WriteFailed,          // an image file could not be written
  UnsupportedVersion,   // start-up asked for a version other than 1
};

// 0xAARRGGBB, not premultiplied; in memory the bytes are B, G, R, A.
using Argb = uint32_t;

class Color {
 public:
  constexpr Color() = default;
  constexpr explicit Color(Argb value) : value_(value) {}
  constexpr Color(uint8_t a, uint8_t r, uint8_t g, uint8_t b)
      : value_(uint32_t{a} << 24 | uint32_t{r} << 16 | uint32_t{g} << 8 | b) {}

  constexpr Argb GetValue() const { return value_; }
  constexpr uint8_t GetA() const { return value_ >> 24; }
  constexpr uint8_t GetR() const { return value_ >> 16 & 0xFF; }
  constexpr uint8_t GetG() const { return value_ >> 8 & 0xFF; }
  constexpr uint8_t GetB() const { return value_ & 0xFF; }

 private:
  Argb value_ = 0;
};

struct PointF {
  float X = 0;
  float Y = 0;
};

struct RectF {
  float X = 0;
  float Y = 0;
  float Width = 0;
  float Height = 0;
};

struct Rect {
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
};

// The only pixel layout: 32 bits, bytes B, G, R, A, alpha not premultiplied.
enum class PixelFormat { Argb32 };

// Units for font sizes and source rectangles. Points are at 96 dots an inch.
enum class Unit { Pixel, Point };

}  // namespace qelo::gdiplus
