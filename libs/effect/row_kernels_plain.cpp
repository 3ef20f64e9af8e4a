// The plain form: portable loops over whole pixels that the compiler
// vectorises for the baseline processor (this file is built with the
// vectoriser on), and the remainders of the wider forms' rows.
#include <string.h>

#include "noise_source.h"
#include "pix_base.h"
#include "row_kernels.h"

namespace qelo::effect {
namespace {

constexpr uint32_t kAlphaByte = 0xFF000000u;

uint32_t Load(const uint8_t* at) {
  uint32_t word;
  memcpy(&word, at, 4);
  return word;
}

void Store(uint8_t* at, uint32_t word) { memcpy(at, &word, 4); }

// (11 blue + 30 red + 59 green) / 100, the division as a multiply and a
// shift that is exact for every weighted sum (0 to 25,500).
uint32_t GrayOfWord(uint32_t pixel) {
  const uint32_t sum = 11 * (pixel & 0xFF) + 59 * ((pixel >> 8) & 0xFF) + 30 * ((pixel >> 16) & 0xFF);
  return (sum * kGrayDivisor) >> kGrayShift;
}

uint32_t SpreadToColors(uint32_t value) { return value * 0x010101u; }

void MapColorsPlain(const ColorTable& table, uint8_t* row, int width) {
  for (uint8_t* pixel = row; pixel < row + 4 * width; pixel += 4) {
    pixel[kBlue] = table.entries[pixel[kBlue]];
    pixel[kGreen] = table.entries[pixel[kGreen]];
    pixel[kRed] = table.entries[pixel[kRed]];
  }
}

void GrayPlain(uint8_t* row, int width) {
  for (int x = 0; x < width; ++x) {
    const uint32_t p = Load(row + 4 * x);
    Store(row + 4 * x, (p & kAlphaByte) | SpreadToColors(GrayOfWord(p)));
  }
}

uint32_t ThresholdWord(uint32_t pixel, int32_t limit) {
  const bool white = static_cast<int32_t>(GrayOfWord(pixel)) > limit;
  return (pixel & kAlphaByte) | (white ? kColorBytes : 0);
}

// In blocks of the limits' eight columns, which the compiler vectorises.
void ThresholdGrayPlain(uint8_t* row, int width, const int32_t* limits) {
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    for (int i = 0; i < 8; ++i) Store(row + 4 * (x + i), ThresholdWord(Load(row + 4 * (x + i)), limits[i]));
  }
  for (int i = 0; x < width; ++x, ++i) Store(row + 4 * x, ThresholdWord(Load(row + 4 * x), limits[i]));
}

void InvertPlain(uint8_t* row, int width) {
  for (int x = 0; x < width; ++x) Store(row + 4 * x, Load(row + 4 * x) ^ kColorBytes);
}

void ToneByGrayPlain(const uint32_t* tones, uint8_t* row, int width) {
  for (int x = 0; x < width; ++x) {
    const uint32_t p = Load(row + 4 * x);
    Store(row + 4 * x, (p & kAlphaByte) | tones[GrayOfWord(p)]);
  }
}

int ColorSumOfWord(uint32_t p) { return (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF); }

void EmbossPlain(uint8_t* row, int width, int level) {
  if (width <= 0) return;
  for (int x = 0; x + 1 < width; ++x) {
    const uint32_t p = Load(row + 4 * x);
    const int difference = ColorSumOfWord(p) - ColorSumOfWord(Load(row + 4 * x + 4));
    const int value = difference / 3 * level + 128;
    Store(row + 4 * x, (p & kAlphaByte) | SpreadToColors(ClampByte(value)));
  }
  uint8_t* last = row + 4 * (width - 1);
  Store(last, (Load(last) & kAlphaByte) | SpreadToColors(128));
}

void MirrorPlain(uint8_t* row, int width) {
  for (int left = 0, right = width - 1; left < right; ++left, --right) {
    const uint32_t a = Load(row + 4 * left);
    Store(row + 4 * left, Load(row + 4 * right));
    Store(row + 4 * right, a);
  }
}

void RaiseLowerPlain(uint8_t* __restrict row, int width, const uint32_t* __restrict raise,
                     const uint32_t* __restrict lower) {
  const auto* up = reinterpret_cast<const uint8_t*>(raise);
  const auto* down = reinterpret_cast<const uint8_t*>(lower);
  for (int i = 0; i < 4 * width; ++i) {
    const int raised = row[i] + up[i];
    const int lowered = (raised > 255 ? 255 : raised) - down[i];
    row[i] = static_cast<uint8_t>(lowered < 0 ? 0 : lowered);
  }
}

void DoubleMaskedPlain(uint8_t* __restrict row, int width, const uint32_t* __restrict masks) {
  const auto* mask = reinterpret_cast<const uint8_t*>(masks);
  for (int i = 0; i < 4 * width; ++i) {
    const int doubled = row[i] + (row[i] & mask[i]);
    row[i] = static_cast<uint8_t>(doubled > 255 ? 255 : doubled);
  }
}

void AddToColors(uint8_t* pixel, int value) {
  for (int channel = kBlue; channel <= kRed; ++channel) pixel[channel] = ClampByte(pixel[channel] + value);
}

// Eight pixels a block from eight interleaved generator states, each moved
// on by a block's draws at once, so that the compiler can vectorise the
// draws and the noise formula; the rest one pixel at a time.
uint32_t AddNoisePlain(uint8_t* row, int width, uint32_t state, int level) {
  constexpr int kLanes = 8, kDraws = 4;
  int x = 0;
  if (width >= kLanes) {
    const NoiseStep block = NoiseStep::Repeated(kDraws * kLanes);
    uint32_t states[kDraws][kLanes];
    uint32_t next = state;
    for (int lane = 0; lane < kLanes; ++lane) {
      for (int draw = 0; draw < kDraws; ++draw) states[draw][lane] = next = NoiseSource::kStep.Apply(next);
    }
    for (; x + kLanes <= width; x += kLanes) {
      int values[kLanes];
      for (int lane = 0; lane < kLanes; ++lane) {
        const int draws = NoiseSource::DrawOf(states[0][lane]) + NoiseSource::DrawOf(states[1][lane]) +
                          NoiseSource::DrawOf(states[2][lane]) + NoiseSource::DrawOf(states[3][lane]);
        values[lane] = NoiseOf(draws, level);
      }
      for (int lane = 0; lane < kLanes; ++lane) AddToColors(row + 4 * (x + lane), values[lane]);
      state = states[kDraws - 1][kLanes - 1];
      for (auto& draw : states) {
        for (uint32_t& laneState : draw) laneState = block.Apply(laneState);
      }
    }
  }
  NoiseSource noise(state);
  for (; x < width; ++x) {
    const int draws = noise.Next() + noise.Next() + noise.Next() + noise.Next();
    AddToColors(row + 4 * x, NoiseOf(draws, level));
  }
  return noise.state();
}

void WaveRowPlain(const WaveRow& wave, uint8_t* row, int width) {
  for (int x = 0; x < width; ++x) Store(row + 4 * x, WavePixel(wave, x));
}

}  // namespace

const RowKernels kPlainKernels = {
    MapColorsPlain, GrayPlain,   ThresholdGrayPlain, InvertPlain,       ToneByGrayPlain,
    EmbossPlain,    MirrorPlain, RaiseLowerPlain,    DoubleMaskedPlain, AddNoisePlain,
    WaveRowPlain,
};

}  // namespace qelo::effect
