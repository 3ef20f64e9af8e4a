// Whole-row forms of the effects' pixel rules, one table of them per
// instruction-set form. Every kernel gives exactly the bytes of the
// per-pixel rule it stands for, for any width, and leaves alpha as it was
// unless it says otherwise.
#pragma once

#include <stdint.h>

#include "effect_forms.h"
#include "qelo/media.h"

namespace qelo::effect {

// The three colour bytes of a pixel as a 32-bit word (alpha byte 0).
constexpr uint32_t kColorBytes = 0x00FFFFFFu;

// A 256-entry table for blue, green and red, also cut into sixteen rows of
// sixteen entries (row r holds entries 16r to 16r + 15) for byte shuffles,
// each row stored twice: once for each 128-bit half of a register.
struct ColorTable {
  static constexpr int kRows = 16, kRowEntries = 16;
  uint8_t entries[256];
  alignas(32) uint8_t rows[kRows][2 * kRowEntries];
  void Fill(const uint8_t* values);
};

// One output row of the wave: what its pixels' source points are made of.
struct WaveRow {
  const VideoFrame* image;  // a bordered ImageCopy's record
  // The sine of pixel x is sines[max(firstFolded - x, x - firstPast)].
  const double* sines;
  int firstFolded, firstPast;
  double amplitude;
  double scaleX, scaleY;
  double halfWidth, halfHeight;
  double dy;  // scaleY x (y - halfHeight) of the row
};

struct RowKernels {
  // Blue, green and red through the table.
  void (*mapColors)(const ColorTable& table, uint8_t* row, int width);
  // Blue, green and red become the gray level.
  void (*gray)(uint8_t* row, int width);
  // Blue, green and red become 255 where the gray level is above
  // limits[x % 8], else 0.
  void (*thresholdGray)(uint8_t* row, int width, const int32_t* limits);
  // Blue, green and red become 255 minus their value.
  void (*invert)(uint8_t* row, int width);
  // Blue, green and red become the colour bytes of tones[gray level].
  void (*toneByGray)(const uint32_t* tones, uint8_t* row, int width);
  // Blue, green and red become ((sum - sum of the right neighbour) / 3)
  // x level + 128, clamped; 128 in the last column. |level| <= 256.
  void (*emboss)(uint8_t* row, int width, int level);
  // The row's pixels in reverse order.
  void (*mirror)(uint8_t* row, int width);
  // Every byte raised by the byte of `raise` and lowered by the byte of
  // `lower` at the same place, each clamped to 0 to 255.
  void (*raiseLower)(uint8_t* row, int width, const uint32_t* raise, const uint32_t* lower);
  // Every byte that `masks` selects (0xFF) doubled, clamped to 255.
  void (*doubleMasked)(uint8_t* row, int width, const uint32_t* masks);
  // Blue, green and red each get the noise value of the pixel's four draws
  // of the noise generator at `level` added, clamped; the pixels draw in
  // order from the generator state `state`. Returns the state after the
  // row's last draw.
  uint32_t (*addNoise)(uint8_t* row, int width, uint32_t state, int level);
  // Every pixel of the row becomes the bilinear sample of the wave's image
  // at its source point.
  void (*waveRow)(const WaveRow& wave, uint8_t* row, int width);
};

// The wave's pixel x of a row, as the per-pixel rule gives it; used by the
// plain form and by the wider forms where a pixel needs the full rule.
uint32_t WavePixel(const WaveRow& wave, int x);

const RowKernels& KernelsFor(Form form);

// The kernel tables of each form; a form without a kernel of its own for
// an operation holds the next lower form's.
extern const RowKernels kPlainKernels;
#if defined(__x86_64__)
extern const RowKernels kAvx2Kernels;
const RowKernels& Avx512Kernels();
#endif

}  // namespace qelo::effect
