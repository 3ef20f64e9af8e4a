// Geometry and font records of the crop and watermark, shared by the
// conversion engine and the preview player.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// A rectangle as fractions of a frame's size; the whole frame is 0, 0, 1, 1.
// Pixels are each fraction times the frame's width or height, truncated.
typedef struct RelativeRect {
  double left;
  double top;
  double width;
  double height;
} RelativeRect;

// Font styles: 1 bold, 2 italic, 4 underline, 8 strike-out.
typedef struct WatermarkFont {
  char16_t faceName[32];
  int32_t size;    // points
  uint32_t color;  // red bits 16..23, green 8..15, blue 0..7; top byte ignored
  int32_t style;
} WatermarkFont;

#ifdef __cplusplus
}  // extern "C"
#endif
