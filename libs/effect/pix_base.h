// The base of every effect, pixel addressing and the driver loop.
//
// Effects address pixels by (x, y) with x from the left and y from the
// bottom of the picture; the driver visits the bottom row first (the row
// forms, whose rows are independent, go in memory order instead).
#pragma once

#include <stdint.h>

#include <concepts>
#include <memory>

#include "effect_forms.h"
#include "qelo/media.h"
#include "row_kernels.h"

namespace qelo::effect {

enum Channel { kBlue = 0, kGreen = 1, kRed = 2, kAlpha = 3 };

inline uint8_t* PixelAt(const VideoFrame& frame, int x, int y) {
  return frame.pixels + static_cast<int64_t>(frame.height - 1 - y) * frame.stride + 4 * x;
}

// (11 blue + 30 red + 59 green) / 100, 0 to 255.
inline int GrayOf(const uint8_t* pixel) {
  return (11 * pixel[kBlue] + 30 * pixel[kRed] + 59 * pixel[kGreen]) / 100;
}

// The division of the gray level as a multiply and a shift, for the row
// forms: exact for every sum the weights can give (0 to 25,500).
constexpr uint32_t kGrayDivisor = 5243;
constexpr int kGrayShift = 19;
constexpr bool GrayDivisionIsExact() {
  for (uint32_t sum = 0; sum <= 25500; ++sum) {
    if ((sum * kGrayDivisor) >> kGrayShift != sum / 100) return false;
  }
  return true;
}
static_assert(GrayDivisionIsExact());

inline uint8_t ClampByte(int64_t value) {
  return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

inline void SetColor(uint8_t* pixel, uint8_t value) {
  pixel[kBlue] = pixel[kGreen] = pixel[kRed] = value;
}

// The pixel that stands for every point outside a picture: white, alpha 0.
constexpr uint8_t kOutsidePixel[4] = {255, 255, 255, 0};

// A copy of a frame, taken row by row so that frames with padded rows are
// copied correctly, with a border of outside pixels one column wide on the
// right and one row high above the picture: the four neighbours of any
// point of the picture then lie inside the copy. `record` describes the
// picture (width x height, rows 4 x (width + 1) bytes apart).
struct ImageCopy {
  explicit ImageCopy(const VideoFrame& source);
  VideoFrame record{};
  std::unique_ptr<uint8_t[]> pixels;
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

// Effects with a whole-row form of their pixel rule.
template <typename Effect>
concept HasRowForm = requires(Effect& effect, VideoFrame& frame, int y, uint8_t* row, const RowKernels& kernels) {
  effect.processRow(frame, y, row, kernels);
};

// Effects that process a run of rows themselves, because a row's result
// depends on what was done before it (a pseudo-random sequence) or the
// effect moves whole rows.
template <typename Effect>
concept HasRowsForm = requires(Effect& effect, VideoFrame& frame, int y, Form form) {
  effect.processRows(frame, y, y, form);
};

// Rows y = yBegin to yEnd - 1 of a prepared effect by `form`: the scalar
// rules bottom row first, as the driver visits them. The row forms change
// nothing but the pixels of their own rows, so they go as the rows lie in
// memory, top row first: the direction the prefetchers follow, where
// walking upward starts a new stream at every row and stalls there. As
// the rows are independent, runs over rows that do not overlap may also go
// on at once on several threads.
template <typename Effect>
void ProcessRows(Effect& effect, VideoFrame& frame, int yBegin, int yEnd, Form form) {
  if constexpr (HasRowsForm<Effect>) {
    effect.processRows(frame, yBegin, yEnd, form);
  } else {
    if constexpr (HasRowForm<Effect>) {
      if (form != Form::kScalar) {
        const RowKernels& kernels = KernelsFor(form);
        for (int y = yEnd - 1; y >= yBegin; --y) effect.processRow(frame, y, PixelAt(frame, 0, y), kernels);
        return;
      }
    }
    for (int y = yBegin; y < yEnd; ++y) {
      uint8_t* row = PixelAt(frame, 0, y);
      for (int x = 0; x < frame.width; ++x) effect.processPixel(&frame, x, y, row + 4 * x);
    }
  }
}

// The band of `rowCount` rows from row `firstRow` of the buffer (counted
// from the top, as the buffer lies).
template <typename Effect>
void ProcessBand(Effect& effect, VideoFrame& frame, int firstRow, int rowCount, Form form) {
  ProcessRows(effect, frame, frame.height - firstRow - rowCount, frame.height - firstRow, form);
}

// Prepares the effect once, then processes every pixel (ProcessRows gives
// the order of the rows). Takes the effect by its own (final) type so that
// the per-pixel call is resolved at compile time.
template <typename Effect>
void RunEffect(Effect& effect, VideoFrame& frame, Form form = ActiveForm()) {
  effect.prepare(&frame);
  ProcessRows(effect, frame, 0, frame.height, form);
}

}  // namespace qelo::effect
