// The base of every effect, pixel addressing and the driver loop.
//
// Effects address pixels by (x, y) with x from the left and y from the
// bottom of the picture; the driver visits the bottom row first.
#pragma once

#include <stdint.h>

#include <concepts>
#include <memory>
#include <vector>

#include "qelo/media.h"

namespace qelo::effect {

enum Channel { kBlue = 0, kGreen = 1, kRed = 2, kAlpha = 3 };

inline uint8_t* PixelAt(const VideoFrame& frame, int x, int y) {
  return frame.pixels + static_cast<int64_t>(frame.height - 1 - y) * frame.stride + 4 * x;
}

// (11 blue + 30 red + 59 green) / 100, 0 to 255.
inline int GrayOf(const uint8_t* pixel) {
  return (11 * pixel[kBlue] + 30 * pixel[kRed] + 59 * pixel[kGreen]) / 100;
}

inline uint8_t ClampByte(int64_t value) {
  return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

inline void SetColor(uint8_t* pixel, uint8_t value) {
  pixel[kBlue] = pixel[kGreen] = pixel[kRed] = value;
}

// A tightly packed copy of a frame (stride 4 x width), taken row by row so
// that frames with padded rows are copied correctly.
struct ImageCopy {
  explicit ImageCopy(const VideoFrame& source);
  VideoFrame record{};
  std::vector<uint8_t> pixels;
};

class CPixBase {
 public:
  virtual ~CPixBase() = default;
  virtual void prepare(VideoFrame* frame);
  virtual void processPixel(VideoFrame* frame, int x, int y, uint8_t* pixel) = 0;

 protected:
  // Made only by the distortion family.
  std::unique_ptr<ImageCopy> imageCopy_;
};

// Effects whose pixels do not depend on their position may process the
// start of each row in one go, returning how many pixels they did.
template <typename Effect>
concept HasRowForm = requires(Effect& effect, uint8_t* row, int width) {
  { effect.processLeadingPixels(row, width) } -> std::same_as<int>;
};

// Prepares the effect once, then processes every pixel, bottom row first.
// Takes the effect by its own (final) type so that the per-pixel call is
// resolved at compile time.
template <typename Effect>
void RunEffect(Effect& effect, VideoFrame& frame) {
  effect.prepare(&frame);
  for (int y = 0; y < frame.height; ++y) {
    uint8_t* pixel = PixelAt(frame, 0, y);
    int x = 0;
    if constexpr (HasRowForm<Effect>) {
      x = effect.processLeadingPixels(pixel, frame.width);
      pixel += 4 * x;
    }
    for (; x < frame.width; ++x, pixel += 4) effect.processPixel(&frame, x, y, pixel);
  }
}

}  // namespace qelo::effect
