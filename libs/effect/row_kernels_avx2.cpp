// The AVX2 form: eight pixels a step, the remainder of a row by the plain
// form. Chosen at run time; the kernels between the pragmas are built for
// AVX2, and nothing they call is inline in a header.
#include <float.h>

#include <algorithm>
// GCC 12's intrinsics start many results from a deliberately undefined
// register, which its flow analysis reports, at the header's lines, as an
// uninitialised value: those lines only are exempt.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#include <stdint.h>
#include <string.h>

#include "noise_source.h"
#include "pix_base.h"
#include "row_kernels.h"

#pragma GCC push_options
#pragma GCC target("avx2")

namespace qelo::effect {
namespace {

constexpr int kStep = 8;  // pixels in a 256-bit register

__m256i Load8(const uint8_t* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }
void Store8(uint8_t* at, __m256i pixels) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), pixels); }

__m256i AlphaOf(__m256i pixels) { return _mm256_and_si256(pixels, _mm256_set1_epi32(static_cast<int>(0xFF000000u))); }

// The alpha of `pixels` with the colour bytes of `colors`.
__m256i WithAlphaOf(__m256i pixels, __m256i colors) {
  return _mm256_or_si256(AlphaOf(pixels), _mm256_and_si256(colors, _mm256_set1_epi32(kColorBytes)));
}

// The 32-bit value in each lane copied into its blue, green and red bytes
// (values 0 to 255).
__m256i SpreadToColors(__m256i values) {
  const __m256i low = _mm256_setr_epi8(0, 0, 0, -1, 4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1, 0, 0, 0, -1, 4, 4,
                                       4, -1, 8, 8, 8, -1, 12, 12, 12, -1);
  return _mm256_shuffle_epi8(values, low);
}

// The weighted sum of each pixel's blue, green and red as 32-bit lanes.
__m256i WeightedSums(__m256i pixels, int weightBytes) {
  const __m256i pairs = _mm256_maddubs_epi16(pixels, _mm256_set1_epi32(weightBytes));
  return _mm256_madd_epi16(pairs, _mm256_set1_epi16(1));
}

// Gray levels as 32-bit lanes. The sums fit 16 bits, so the high half of
// the multiply by the divisor is one 16-bit multiply.
__m256i GrayOf8(__m256i pixels) {
  constexpr int kGrayWeights = 0x001E3B0B;  // bytes 11, 59, 30, 0
  const __m256i sums = WeightedSums(pixels, kGrayWeights);
  return _mm256_srli_epi32(_mm256_mulhi_epu16(sums, _mm256_set1_epi32(kGrayDivisor)), kGrayShift - 16);
}

// Every byte of `bytes` through the table: sixteen 16-entry shuffles, one
// per table row. A shuffle reads bits 0 to 3 of each index byte and gives 0
// where bit 7 is set, so rows r and r + 8 share one result, the first read
// with the bytes as they are and the second with bit 7 flipped; the eight
// results are then blended by bits 4, 5 and 6 of the byte, which the
// blends read from bit 7.
[[gnu::always_inline]] inline __m256i LookUp(const ColorTable& table, __m256i bytes) {
  constexpr int kHalf = ColorTable::kRows / 2;
  const __m256i flipped = _mm256_xor_si256(bytes, _mm256_set1_epi8(static_cast<char>(0x80)));
  const __m256i bit6 = _mm256_add_epi8(bytes, bytes);
  const __m256i bit5 = _mm256_add_epi8(bit6, bit6);
  const __m256i bit4 = _mm256_add_epi8(bit5, bit5);
  const auto row = [&](int r) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(table.rows[r])); };
  __m256i pairs[kHalf];
#pragma GCC unroll 8
  for (int r = 0; r < kHalf; ++r) {
    pairs[r] = _mm256_or_si256(_mm256_shuffle_epi8(row(r), bytes), _mm256_shuffle_epi8(row(r + kHalf), flipped));
  }
  const __m256i quad0 = _mm256_blendv_epi8(pairs[0], pairs[1], bit4);
  const __m256i quad1 = _mm256_blendv_epi8(pairs[2], pairs[3], bit4);
  const __m256i quad2 = _mm256_blendv_epi8(pairs[4], pairs[5], bit4);
  const __m256i quad3 = _mm256_blendv_epi8(pairs[6], pairs[7], bit4);
  const __m256i octet0 = _mm256_blendv_epi8(quad0, quad1, bit5);
  const __m256i octet1 = _mm256_blendv_epi8(quad2, quad3, bit5);
  return _mm256_blendv_epi8(octet0, octet1, bit6);
}

// The alpha of `pixels` with the colour bytes of `colors`.
__m256i AlphaOver(__m256i colors, __m256i pixels) {
  return _mm256_blendv_epi8(colors, pixels, _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
}

// Four registers (32 pixels) a step, looked up as three: the blue, green
// and red bytes of the fourth ride in the alpha bytes of the first, second
// and third, so no lookup is spent on alpha. The lookups' shuffles and
// blends bound the speed; moving the bytes in and out by shifts and blends
// costs well under the lookup it saves.
void MapColorsAvx2(const ColorTable& table, uint8_t* row, int width) {
  constexpr int kRegisters = 4;
  const __m256i alphaBytes = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  int x = 0;
  for (; x + kRegisters * kStep <= width; x += kRegisters * kStep) {
    uint8_t* at = row + 4 * x;
    const __m256i first = Load8(at), second = Load8(at + 32), third = Load8(at + 64), fourth = Load8(at + 96);
    const __m256i blues = LookUp(table, _mm256_blendv_epi8(first, _mm256_slli_epi32(fourth, 24), alphaBytes));
    const __m256i greens = LookUp(table, _mm256_blendv_epi8(second, _mm256_slli_epi32(fourth, 16), alphaBytes));
    const __m256i reds = LookUp(table, _mm256_blendv_epi8(third, _mm256_slli_epi32(fourth, 8), alphaBytes));
    Store8(at, AlphaOver(blues, first));
    Store8(at + 32, AlphaOver(greens, second));
    Store8(at + 64, AlphaOver(reds, third));
    const __m256i blueGreen = _mm256_blendv_epi8(_mm256_srli_epi32(blues, 24), _mm256_srli_epi32(greens, 16),
                                                 _mm256_set1_epi32(0x0000FF00));
    const __m256i redAlpha = AlphaOver(_mm256_srli_epi32(reds, 8), fourth);
    Store8(at + 96, _mm256_blendv_epi8(blueGreen, redAlpha, _mm256_set1_epi32(static_cast<int>(0xFFFF0000u))));
  }
  for (; x + kStep <= width; x += kStep) {
    const __m256i pixels = Load8(row + 4 * x);
    Store8(row + 4 * x, AlphaOver(LookUp(table, pixels), pixels));
  }
  kPlainKernels.mapColors(table, row + 4 * x, width - x);
}

void GrayAvx2(uint8_t* row, int width) {
  int x = 0;
  for (; x + kStep <= width; x += kStep) {
    const __m256i p = Load8(row + 4 * x);
    Store8(row + 4 * x, _mm256_or_si256(AlphaOf(p), SpreadToColors(GrayOf8(p))));
  }
  kPlainKernels.gray(row + 4 * x, width - x);
}

// A step is eight pixels, so every step starts at column phase 0.
void ThresholdGrayAvx2(uint8_t* row, int width, const int32_t* limits) {
  const __m256i limit = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(limits));
  int x = 0;
  for (; x + kStep <= width; x += kStep) {
    const __m256i p = Load8(row + 4 * x);
    const __m256i white = _mm256_cmpgt_epi32(GrayOf8(p), limit);
    Store8(row + 4 * x, WithAlphaOf(p, white));
  }
  kPlainKernels.thresholdGray(row + 4 * x, width - x, limits);
}

void InvertAvx2(uint8_t* row, int width) {
  const __m256i colors = _mm256_set1_epi32(kColorBytes);
  int x = 0;
  for (; x + kStep <= width; x += kStep) Store8(row + 4 * x, _mm256_xor_si256(Load8(row + 4 * x), colors));
  kPlainKernels.invert(row + 4 * x, width - x);
}

void ToneByGrayAvx2(const uint32_t* tones, uint8_t* row, int width) {
  const auto* base = reinterpret_cast<const int*>(tones);
  int x = 0;
  for (; x + kStep <= width; x += kStep) {
    const __m256i p = Load8(row + 4 * x);
    Store8(row + 4 * x, WithAlphaOf(p, _mm256_i32gather_epi32(base, GrayOf8(p), 4)));
  }
  kPlainKernels.toneByGray(tones, row + 4 * x, width - x);
}

// Differences of colour sums lie within -765 to 765: |d| / 3 is the high
// half of |d| x 21,846, exact over that range, and the sign is put back.
__m256i DivideBy3TowardZero(__m256i d) {
  const __m256i magnitude = _mm256_abs_epi32(d);
  const __m256i quotient = _mm256_mulhi_epu16(magnitude, _mm256_set1_epi32(21846));
  return _mm256_sign_epi32(quotient, d);
}

// Reads one pixel past each step, so a step needs a right neighbour for
// all of its pixels; the last column and what is left go to the plain form.
void EmbossAvx2(uint8_t* row, int width, int level) {
  constexpr int kColorSumWeights = 0x00010101;
  const __m256i factor = _mm256_set1_epi32(level);
  int x = 0;
  for (; x + kStep < width; x += kStep) {
    const __m256i p = Load8(row + 4 * x);
    const __m256i next = Load8(row + 4 * x + 4);
    const __m256i d = _mm256_sub_epi32(WeightedSums(p, kColorSumWeights), WeightedSums(next, kColorSumWeights));
    __m256i value = _mm256_add_epi32(_mm256_mullo_epi32(DivideBy3TowardZero(d), factor), _mm256_set1_epi32(128));
    value = _mm256_min_epi32(_mm256_max_epi32(value, _mm256_setzero_si256()), _mm256_set1_epi32(255));
    Store8(row + 4 * x, _mm256_or_si256(AlphaOf(p), SpreadToColors(value)));
  }
  kPlainKernels.emboss(row + 4 * x, width - x, level);
}

__m256i Reversed(__m256i pixels) { return _mm256_permutevar8x32_epi32(pixels, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0)); }

// Swaps reversed blocks from both ends toward the middle; the middle, less
// than two blocks, goes to the plain form.
void MirrorAvx2(uint8_t* row, int width) {
  int left = 0, right = width;
  for (; right - left >= 2 * kStep; left += kStep, right -= kStep) {
    const __m256i head = Load8(row + 4 * left);
    const __m256i tail = Load8(row + 4 * (right - kStep));
    Store8(row + 4 * left, Reversed(tail));
    Store8(row + 4 * (right - kStep), Reversed(head));
  }
  kPlainKernels.mirror(row + 4 * left, right - left);
}

void RaiseLowerAvx2(uint8_t* row, int width, const uint32_t* raise, const uint32_t* lower) {
  int x = 0;
  for (; x + kStep <= width; x += kStep) {
    const __m256i up = Load8(reinterpret_cast<const uint8_t*>(raise + x));
    const __m256i down = Load8(reinterpret_cast<const uint8_t*>(lower + x));
    Store8(row + 4 * x, _mm256_subs_epu8(_mm256_adds_epu8(Load8(row + 4 * x), up), down));
  }
  kPlainKernels.raiseLower(row + 4 * x, width - x, raise + x, lower + x);
}

void DoubleMaskedAvx2(uint8_t* row, int width, const uint32_t* masks) {
  int x = 0;
  for (; x + kStep <= width; x += kStep) {
    const __m256i p = Load8(row + 4 * x);
    const __m256i mask = Load8(reinterpret_cast<const uint8_t*>(masks + x));
    Store8(row + 4 * x, _mm256_adds_epu8(p, _mm256_and_si256(p, mask)));
  }
  kPlainKernels.doubleMasked(row + 4 * x, width - x, masks + x);
}

// Lane j of states[k] holds the generator state of draw k of pixel j of
// the step; a step moves every state on by the step's 32 draws. The noise
// formula runs in doubles in the order of the per-pixel rule.
uint32_t AddNoiseAvx2(uint8_t* row, int width, uint32_t state, int level) {
  constexpr int kDraws = 4;
  if (width < kStep) return kPlainKernels.addNoise(row, width, state, level);
  alignas(32) uint32_t first[kDraws][kStep];
  uint32_t next = state;
  for (int lane = 0; lane < kStep; ++lane) {
    for (int draw = 0; draw < kDraws; ++draw) first[draw][lane] = next = NoiseSource::kStep.Apply(next);
  }
  __m256i states[kDraws];
  for (int draw = 0; draw < kDraws; ++draw) states[draw] = _mm256_load_si256(reinterpret_cast<const __m256i*>(first[draw]));
  const NoiseStep block = NoiseStep::Repeated(kDraws * kStep);
  const __m256i multiplier = _mm256_set1_epi32(static_cast<int>(block.multiplier));
  const __m256i increment = _mm256_set1_epi32(static_cast<int>(block.increment));
  const __m256i drawBits = _mm256_set1_epi32(NoiseSource::kMax);
  const __m256d scale = _mm256_set1_pd(kNoiseScale), offset = _mm256_set1_pd(kNoiseOffset);
  const __m256d levelFactor = _mm256_set1_pd(level), spread = _mm256_set1_pd(127), percent = _mm256_set1_pd(100);
  auto noiseOf = [&](__m128i draws) {
    const __m256d normal = _mm256_sub_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(draws), scale), offset);
    return _mm256_cvttpd_epi32(_mm256_div_pd(_mm256_mul_pd(_mm256_mul_pd(normal, levelFactor), spread), percent));
  };
  int x = 0;
  for (; x + kStep <= width; x += kStep) {
    __m256i draws = _mm256_setzero_si256();
    for (const __m256i& drawState : states) {
      draws = _mm256_add_epi32(draws, _mm256_and_si256(_mm256_srli_epi32(drawState, 16), drawBits));
    }
    const __m256i values =
        _mm256_set_m128i(noiseOf(_mm256_extracti128_si256(draws, 1)), noiseOf(_mm256_castsi256_si128(draws)));
    const __m256i byteMax = _mm256_set1_epi32(255);
    const __m256i up = _mm256_min_epi32(_mm256_max_epi32(values, _mm256_setzero_si256()), byteMax);
    const __m256i down = _mm256_min_epi32(_mm256_max_epi32(_mm256_sub_epi32(_mm256_setzero_si256(), values),
                                                           _mm256_setzero_si256()),
                                          byteMax);
    const __m256i p = Load8(row + 4 * x);
    Store8(row + 4 * x, _mm256_subs_epu8(_mm256_adds_epu8(p, SpreadToColors(up)), SpreadToColors(down)));
    state = static_cast<uint32_t>(_mm256_extract_epi32(states[kDraws - 1], kStep - 1));
    for (__m256i& drawState : states) drawState = _mm256_add_epi32(_mm256_mullo_epi32(drawState, multiplier), increment);
  }
  return kPlainKernels.addNoise(row + 4 * x, width - x, state, level);
}

// The bytes of `channel` of both pixels of each 64-bit lane: the first
// pixels' in the low 128 bits, the second pixels' in the high, as 32-bit
// integers.
struct PairPicks {
  alignas(32) int8_t bytes[4][32];
};
constexpr PairPicks MakePairPicks() {
  PairPicks picks{};
  for (int channel = 0; channel < 4; ++channel) {
    for (int half = 0; half < 2; ++half) {
      int8_t* pick = picks.bytes[channel] + 16 * half;
      for (int i = 0; i < 16; ++i) pick[i] = -1;
      pick[0] = static_cast<int8_t>(channel);
      pick[4] = static_cast<int8_t>(channel + 8);
      pick[8] = static_cast<int8_t>(channel + 4);
      pick[12] = static_cast<int8_t>(channel + 12);
    }
  }
  return picks;
}
constexpr PairPicks kPairPicks = MakePairPicks();

[[gnu::always_inline]] inline __m256i ChannelOfPairs(__m256i pairs, int channel) {
  const __m256i picks = _mm256_load_si256(reinterpret_cast<const __m256i*>(kPairPicks.bytes[channel]));
  return _mm256_permute4x64_epi64(_mm256_shuffle_epi8(pairs, picks), 0xD8);
}

// The bilinear interpolation in the per-pixel rule's order of operations.
[[gnu::always_inline]] inline __m256d Lerp(__m256d c00, __m256d c10, __m256d c01, __m256d c11, __m256d fx,
                                           __m256d fy) {
  const __m256d top = _mm256_add_pd(c00, _mm256_mul_pd(_mm256_sub_pd(c10, c00), fx));
  const __m256d bottom = _mm256_add_pd(c01, _mm256_mul_pd(_mm256_sub_pd(c11, c01), fx));
  return _mm256_add_pd(top, _mm256_mul_pd(_mm256_sub_pd(bottom, top), fy));
}

// The four neighbours of each lane's point: each 64-bit lane of `lower`
// holds the pixel and its right neighbour, of `upper` the two above them.
struct Neighbours {
  __m256i lower, upper;
  // One channel of the left and of the right neighbours, as doubles.
  void Channel(bool up, int channel, __m256d* left, __m256d* right) const {
    const __m256i both = ChannelOfPairs(up ? upper : lower, channel);
    *left = _mm256_cvtepi32_pd(_mm256_castsi256_si128(both));
    *right = _mm256_cvtepi32_pd(_mm256_extracti128_si256(both, 1));
  }
};

// The opaque rule: each colour interpolated and truncated; alpha 255.
__m128i OpaqueSample(const Neighbours& n, __m256d fx, __m256d fy) {
  __m128i pixel = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (int channel = kBlue; channel <= kRed; ++channel) {
    __m256d c00, c10, c01, c11;
    n.Channel(false, channel, &c00, &c10);
    n.Channel(true, channel, &c01, &c11);
    pixel = _mm_or_si128(pixel, _mm_slli_epi32(_mm256_cvttpd_epi32(Lerp(c00, c10, c01, c11, fx, fy)), 8 * channel));
  }
  return pixel;
}

// The rule where some neighbour is not opaque (see the AVX-512 form).
__m128i TranslucentSample(const Neighbours& n, __m256d fx, __m256d fy) {
  __m256d a00, a10, a01, a11;
  n.Channel(false, kAlpha, &a00, &a10);
  n.Channel(true, kAlpha, &a01, &a11);
  const __m128i alpha = _mm256_cvttpd_epi32(Lerp(a00, a10, a01, a11, fx, fy));
  const __m256d divisor = _mm256_cvtepi32_pd(alpha);
  __m128i pixel = _mm_slli_epi32(alpha, 24);
  for (int channel = kBlue; channel <= kRed; ++channel) {
    __m256d c00, c10, c01, c11;
    n.Channel(false, channel, &c00, &c10);
    n.Channel(true, channel, &c01, &c11);
    const __m256d sum = Lerp(_mm256_mul_pd(c00, a00), _mm256_mul_pd(c10, a10), _mm256_mul_pd(c01, a01),
                             _mm256_mul_pd(c11, a11), fx, fy);
    const __m256d whole = _mm256_cvtepi32_pd(_mm256_cvttpd_epi32(sum));
    const __m128i quotient = _mm_min_epi32(_mm256_cvttpd_epi32(_mm256_div_pd(whole, divisor)), _mm_set1_epi32(255));
    pixel = _mm_or_si128(pixel, _mm_slli_epi32(quotient, 8 * channel));
  }
  const __m128i transparent = _mm_cmpeq_epi32(alpha, _mm_setzero_si128());
  return _mm_blendv_epi8(pixel, _mm_set1_epi32(0x00FFFFFF), transparent);
}

// The low 32 bits of each 64-bit lane.
__m128i LowHalves(__m256i lanes) {
  return _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(lanes, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
}

__m256d ClampTo(__m256d value, double highest) {
  return _mm256_min_pd(_mm256_max_pd(value, _mm256_setzero_pd()), _mm256_set1_pd(highest));
}

__m256d Unscale(__m256d value, double scale) {
  return scale == 1.0 ? value : _mm256_div_pd(value, _mm256_set1_pd(scale));
}

// The sines of pixels x to x + 3: read forward right of the centre,
// backward left of it, gathered where the step straddles it.
__m256d SinesAt(const WaveRow& wave, int x) {
  constexpr int kLanes = 4;
  if (x >= wave.firstPast) return _mm256_loadu_pd(wave.sines + (x - wave.firstPast));
  if (x + kLanes <= wave.firstPast) {
    return _mm256_permute4x64_pd(_mm256_loadu_pd(wave.sines + (wave.firstFolded - x - (kLanes - 1))), 0x1B);
  }
  const __m128i columns = _mm_add_epi32(_mm_set1_epi32(x), _mm_setr_epi32(0, 1, 2, 3));
  const __m128i folded = _mm_max_epi32(_mm_sub_epi32(_mm_set1_epi32(wave.firstFolded), columns),
                                       _mm_sub_epi32(columns, _mm_set1_epi32(wave.firstPast)));
  return _mm256_i32gather_pd(wave.sines, folded, 8);
}

// The source points of a stretch of a row: where each pixel's neighbours
// start in the copy, and the fractions between them.
struct SourcePoints {
  static constexpr int kPixels = 64;
  alignas(32) int32_t offsets[kPixels];
  alignas(32) double fx[kPixels], fy[kPixels];
};

// Pixels x to x + count - 1 (count a multiple of 4), four a step.
void FindSourcePoints(const WaveRow& wave, int x, int count, SourcePoints* points) {
  const VideoFrame& image = *wave.image;
  const __m256d amplitude = _mm256_set1_pd(wave.amplitude), scaleX = _mm256_set1_pd(wave.scaleX);
  const __m256d halfWidth = _mm256_set1_pd(wave.halfWidth), halfHeight = _mm256_set1_pd(wave.halfHeight);
  const __m256d dy = _mm256_set1_pd(wave.dy);
  const __m128i stride = _mm_set1_epi32(image.stride), lastRow = _mm_set1_epi32(image.height - 1);
  for (int i = 0; i < count; i += 4) {
    const __m256d column = _mm256_add_pd(_mm256_set1_pd(x + i), _mm256_setr_pd(0, 1, 2, 3));
    const __m256d value = _mm256_mul_pd(SinesAt(wave, x + i), amplitude);
    const __m256d dx = _mm256_mul_pd(scaleX, _mm256_sub_pd(column, halfWidth));
    const __m256d sx = ClampTo(_mm256_add_pd(Unscale(_mm256_add_pd(value, dx), wave.scaleX), halfWidth), image.width - 1.0);
    const __m256d sy =
        ClampTo(_mm256_add_pd(Unscale(_mm256_add_pd(value, dy), wave.scaleY), halfHeight), image.height - 1.0);
    const __m128i ix = _mm256_cvttpd_epi32(sx), iy = _mm256_cvttpd_epi32(sy);
    _mm256_store_pd(points->fx + i, _mm256_sub_pd(sx, _mm256_cvtepi32_pd(ix)));
    _mm256_store_pd(points->fy + i, _mm256_sub_pd(sy, _mm256_cvtepi32_pd(iy)));
    const __m128i offset = _mm_add_epi32(_mm_mullo_epi32(_mm_sub_epi32(lastRow, iy), stride), _mm_slli_epi32(ix, 2));
    _mm_store_si128(reinterpret_cast<__m128i*>(points->offsets + i), offset);
  }
}

// Four pixels a step, a stretch of the row at a time: first the stretch's
// source points, then for each pixel its four neighbours as two 64-bit
// gathers (a pixel and its right neighbour side by side, in its row and
// in the row above) and the sample by whichever case of the rule it is in.
// Finding the points first lets the gathers start early.
void WaveRowAvx2(const WaveRow& wave, uint8_t* row, int width) {
  constexpr int kLanes = 4;
  const VideoFrame& image = *wave.image;
  const int64_t lastOffset = int64_t{image.height - 1} * image.stride + 4 * int64_t{image.width};
  if (lastOffset > INT32_MAX) {
    kPlainKernels.waveRow(wave, row, width);
    return;
  }
  const auto* lowerRows = reinterpret_cast<const long long*>(image.pixels);
  const auto* upperRows = reinterpret_cast<const long long*>(image.pixels - image.stride);
  const __m256d epsilon = _mm256_set1_pd(FLT_EPSILON);
  const __m256i opaque = _mm256_set1_epi64x(static_cast<long long>(0xFF000000FF000000ull));
  SourcePoints points;
  int x = 0;
  while (x + kLanes <= width) {
    const int count = std::min(SourcePoints::kPixels, (width - x) / kLanes * kLanes);
    FindSourcePoints(wave, x, count, &points);
    for (int i = 0; i < count; i += kLanes, x += kLanes) {
      const __m128i offset = _mm_load_si128(reinterpret_cast<const __m128i*>(points.offsets + i));
      const __m256d fx = _mm256_load_pd(points.fx + i), fy = _mm256_load_pd(points.fy + i);
      const Neighbours n{_mm256_i32gather_epi64(lowerRows, offset, 1), _mm256_i32gather_epi64(upperRows, offset, 1)};

      const __m256i sameRow = _mm256_cmpeq_epi64(n.lower, _mm256_shuffle_epi32(n.lower, 0xB1));
      const __m256i allSame = _mm256_and_si256(sameRow, _mm256_cmpeq_epi64(n.lower, n.upper));
      const __m256i onPixel = _mm256_castpd_si256(
          _mm256_and_pd(_mm256_cmp_pd(fx, epsilon, _CMP_LT_OQ), _mm256_cmp_pd(fy, epsilon, _CMP_LT_OQ)));
      const __m256i takeFirst = _mm256_or_si256(allSame, onPixel);
      const __m256i allOpaque =
          _mm256_cmpeq_epi64(_mm256_and_si256(_mm256_and_si256(n.lower, n.upper), opaque), opaque);
      const __m256i translucent = _mm256_andnot_si256(_mm256_or_si256(takeFirst, allOpaque), _mm256_set1_epi64x(-1));

      __m128i pixels = OpaqueSample(n, fx, fy);
      if (!_mm256_testz_si256(translucent, translucent)) {
        pixels = _mm_blendv_epi8(pixels, TranslucentSample(n, fx, fy), LowHalves(translucent));
      }
      pixels = _mm_blendv_epi8(pixels, LowHalves(n.lower), LowHalves(takeFirst));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + 4 * x), pixels);
    }
  }
  for (; x < width; ++x) {
    const uint32_t pixel = WavePixel(wave, x);
    memcpy(row + 4 * x, &pixel, 4);
  }
}

}  // namespace

#pragma GCC pop_options

const RowKernels kAvx2Kernels = {
    MapColorsAvx2, GrayAvx2,   ThresholdGrayAvx2, InvertAvx2,       ToneByGrayAvx2,
    EmbossAvx2,    MirrorAvx2, RaiseLowerAvx2,    DoubleMaskedAvx2, AddNoiseAvx2,
    WaveRowAvx2,
};

}  // namespace qelo::effect
