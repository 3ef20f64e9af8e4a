// The AVX-512 form: sixteen pixels a step where the wider registers pay,
// the AVX2 kernels elsewhere. Chosen at run time; the kernels between the
// pragmas are built for AVX-512.
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
#pragma GCC target("avx2,avx512f,avx512bw,avx512vl,avx512dq")

namespace qelo::effect {
namespace {

constexpr int kStep = 16;  // pixels in a 512-bit register
constexpr __mmask64 kAlphaBytes = 0x8888888888888888ull;

bool CpuHasVbmi() {
  static const bool has = __builtin_cpu_supports("avx512vbmi");
  return has;
}

// Two 128-entry byte permutes cover the table; the top bit of each byte
// picks the half.
__attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512dq,avx512vbmi"))) void MapColorsVbmi(
    const ColorTable& table, uint8_t* row, int width) {
  const uint8_t* entries = table.entries;
  const __m512i low0 = _mm512_loadu_si512(entries), low1 = _mm512_loadu_si512(entries + 64);
  const __m512i high0 = _mm512_loadu_si512(entries + 128), high1 = _mm512_loadu_si512(entries + 192);
  int x = 0;
  for (; x + kStep <= width; x += kStep) {
    const __m512i pixels = _mm512_loadu_si512(row + 4 * x);
    const __m512i fromLow = _mm512_permutex2var_epi8(low0, pixels, low1);
    const __m512i fromHigh = _mm512_permutex2var_epi8(high0, pixels, high1);
    const __m512i mapped = _mm512_mask_blend_epi8(_mm512_movepi8_mask(pixels), fromLow, fromHigh);
    _mm512_storeu_si512(row + 4 * x, _mm512_mask_blend_epi8(kAlphaBytes, mapped, pixels));
  }
  kAvx2Kernels.mapColors(table, row + 4 * x, width - x);
}

void MapColorsAvx512(const ColorTable& table, uint8_t* row, int width) {
  if (CpuHasVbmi()) {
    MapColorsVbmi(table, row, width);
  } else {
    kAvx2Kernels.mapColors(table, row, width);
  }
}

// Gray levels as 32-bit lanes; the sums fit 16 bits (see the AVX2 form).
__m512i GrayOf16(__m512i pixels) {
  const __m512i weights = _mm512_set1_epi32(0x001E3B0B);  // bytes 11, 59, 30, 0
  const __m512i sums = _mm512_madd_epi16(_mm512_maddubs_epi16(pixels, weights), _mm512_set1_epi16(1));
  return _mm512_srli_epi32(_mm512_mulhi_epu16(sums, _mm512_set1_epi32(kGrayDivisor)), kGrayShift - 16);
}

// The pixels' alpha with the colours' blue, green and red.
void StoreKeepingAlpha(uint8_t* at, __m512i pixels, __m512i colors) {
  constexpr int kAlphaFromFirstElseSecond = 0xCA;  // ternary logic: mask ? pixels : colors
  const __m512i alpha = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
  _mm512_storeu_si512(at, _mm512_ternarylogic_epi32(alpha, pixels, colors, kAlphaFromFirstElseSecond));
}

void GrayAvx512(uint8_t* row, int width) {
  const __m512i spread = _mm512_set1_epi32(0x010101);
  int x = 0;
  for (; x + kStep <= width; x += kStep) {
    const __m512i pixels = _mm512_loadu_si512(row + 4 * x);
    StoreKeepingAlpha(row + 4 * x, pixels, _mm512_mullo_epi32(GrayOf16(pixels), spread));
  }
  kAvx2Kernels.gray(row + 4 * x, width - x);
}

// A step is sixteen pixels, two periods of the eight limits.
void ThresholdGrayAvx512(uint8_t* row, int width, const int32_t* limits) {
  const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(limits));
  const __m512i limit = _mm512_inserti64x4(_mm512_castsi256_si512(eight), eight, 1);
  const __m512i white = _mm512_set1_epi32(kColorBytes);
  int x = 0;
  for (; x + kStep <= width; x += kStep) {
    const __m512i pixels = _mm512_loadu_si512(row + 4 * x);
    const __mmask16 above = _mm512_cmpgt_epi32_mask(GrayOf16(pixels), limit);
    StoreKeepingAlpha(row + 4 * x, pixels, _mm512_maskz_mov_epi32(above, white));
  }
  kAvx2Kernels.thresholdGray(row + 4 * x, width - x, limits);
}

// The 32-bit value in each lane copied into its blue, green and red bytes
// (values 0 to 255).
__m512i SpreadToColors(__m512i values) {
  const __m512i picks = _mm512_broadcast_i32x4(_mm_setr_epi8(0, 0, 0, -1, 4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1));
  return _mm512_shuffle_epi8(values, picks);
}

// Sixteen pixels a step from sixteen lanes of generator states (see the
// AVX2 form).
uint32_t AddNoiseAvx512(uint8_t* row, int width, uint32_t state, int level) {
  constexpr int kDraws = 4, kLanes = 16;
  if (width < kLanes) return kAvx2Kernels.addNoise(row, width, state, level);
  alignas(64) uint32_t first[kDraws][kLanes];
  uint32_t next = state;
  for (int lane = 0; lane < kLanes; ++lane) {
    for (int draw = 0; draw < kDraws; ++draw) first[draw][lane] = next = NoiseSource::kStep.Apply(next);
  }
  __m512i states[kDraws];
  for (int draw = 0; draw < kDraws; ++draw) states[draw] = _mm512_load_si512(first[draw]);
  const NoiseStep block = NoiseStep::Repeated(kDraws * kLanes);
  const __m512i multiplier = _mm512_set1_epi32(static_cast<int>(block.multiplier));
  const __m512i increment = _mm512_set1_epi32(static_cast<int>(block.increment));
  const __m512i drawBits = _mm512_set1_epi32(NoiseSource::kMax);
  const __m512d scale = _mm512_set1_pd(kNoiseScale), offset = _mm512_set1_pd(kNoiseOffset);
  const __m512d levelFactor = _mm512_set1_pd(level), spread = _mm512_set1_pd(127), percent = _mm512_set1_pd(100);
  auto noiseOf = [&](__m256i draws) {
    const __m512d normal = _mm512_sub_pd(_mm512_mul_pd(_mm512_cvtepi32_pd(draws), scale), offset);
    return _mm512_cvttpd_epi32(_mm512_div_pd(_mm512_mul_pd(_mm512_mul_pd(normal, levelFactor), spread), percent));
  };
  int x = 0;
  for (; x + kLanes <= width; x += kLanes) {
    __m512i draws = _mm512_setzero_si512();
    for (const __m512i& drawState : states) {
      draws = _mm512_add_epi32(draws, _mm512_and_si512(_mm512_srli_epi32(drawState, 16), drawBits));
    }
    const __m512i values = _mm512_inserti64x4(_mm512_castsi256_si512(noiseOf(_mm512_castsi512_si256(draws))),
                                              noiseOf(_mm512_extracti64x4_epi64(draws, 1)), 1);
    const __m512i byteMax = _mm512_set1_epi32(255);
    const __m512i up = _mm512_min_epi32(_mm512_max_epi32(values, _mm512_setzero_si512()), byteMax);
    const __m512i down = _mm512_min_epi32(_mm512_max_epi32(_mm512_sub_epi32(_mm512_setzero_si512(), values),
                                                           _mm512_setzero_si512()),
                                          byteMax);
    const __m512i p = _mm512_loadu_si512(row + 4 * x);
    _mm512_storeu_si512(row + 4 * x, _mm512_subs_epu8(_mm512_adds_epu8(p, SpreadToColors(up)), SpreadToColors(down)));
    state = static_cast<uint32_t>(_mm_extract_epi32(_mm512_extracti32x4_epi32(states[kDraws - 1], 3), 3));
    for (__m512i& drawState : states) drawState = _mm512_add_epi32(_mm512_mullo_epi32(drawState, multiplier), increment);
  }
  return kAvx2Kernels.addNoise(row + 4 * x, width - x, state, level);
}

// Byte `shift` / 8 of each 64-bit lane as a double.
[[gnu::always_inline]] inline __m512d ByteAsDouble(__m512i lanes, int shift) {
  return _mm512_cvtepi64_pd(_mm512_and_si512(_mm512_srli_epi64(lanes, shift), _mm512_set1_epi64(0xFF)));
}

// The bilinear interpolation in the per-pixel rule's order of operations.
[[gnu::always_inline]] inline __m512d Lerp(__m512d c00, __m512d c10, __m512d c01, __m512d c11, __m512d fx,
                                           __m512d fy) {
  const __m512d top = _mm512_add_pd(c00, _mm512_mul_pd(_mm512_sub_pd(c10, c00), fx));
  const __m512d bottom = _mm512_add_pd(c01, _mm512_mul_pd(_mm512_sub_pd(c11, c01), fx));
  return _mm512_add_pd(top, _mm512_mul_pd(_mm512_sub_pd(bottom, top), fy));
}

// The four neighbours of each lane's point: each 64-bit lane of `lower`
// holds the pixel and its right neighbour, of `upper` the two above them.
struct Neighbours {
  __m512i lower, upper;
  __m512d Byte(bool up, bool right, int channel) const {
    return ByteAsDouble(up ? upper : lower, (right ? 32 : 0) + 8 * channel);
  }
};

// The opaque rule: each colour interpolated and truncated; alpha 255.
__m256i OpaqueSample(const Neighbours& n, __m512d fx, __m512d fy) {
  __m256i pixel = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  for (int channel = kBlue; channel <= kRed; ++channel) {
    const __m512d value = Lerp(n.Byte(false, false, channel), n.Byte(false, true, channel),
                               n.Byte(true, false, channel), n.Byte(true, true, channel), fx, fy);
    pixel = _mm256_or_si256(pixel, _mm256_slli_epi32(_mm512_cvttpd_epi32(value), 8 * channel));
  }
  return pixel;
}

// The rule where some neighbour is not opaque: alpha interpolated and
// truncated; transparent white where it is 0; else each colour's
// premultiplied value interpolated, truncated and divided by the alpha
// (in doubles: a quotient of integers below 2^16 by 1 to 255 truncates
// exactly), at most 255.
__m256i TranslucentSample(const Neighbours& n, __m512d fx, __m512d fy) {
  const __m512d a00 = n.Byte(false, false, kAlpha), a10 = n.Byte(false, true, kAlpha);
  const __m512d a01 = n.Byte(true, false, kAlpha), a11 = n.Byte(true, true, kAlpha);
  const __m256i alpha = _mm512_cvttpd_epi32(Lerp(a00, a10, a01, a11, fx, fy));
  const __m512d divisor = _mm512_cvtepi32_pd(alpha);
  __m256i pixel = _mm256_slli_epi32(alpha, 24);
  for (int channel = kBlue; channel <= kRed; ++channel) {
    const __m512d sum = Lerp(_mm512_mul_pd(n.Byte(false, false, channel), a00),
                             _mm512_mul_pd(n.Byte(false, true, channel), a10),
                             _mm512_mul_pd(n.Byte(true, false, channel), a01),
                             _mm512_mul_pd(n.Byte(true, true, channel), a11), fx, fy);
    const __m512d whole = _mm512_cvtepi32_pd(_mm512_cvttpd_epi32(sum));
    const __m256i quotient = _mm256_min_epi32(_mm512_cvttpd_epi32(_mm512_div_pd(whole, divisor)),
                                              _mm256_set1_epi32(255));
    pixel = _mm256_or_si256(pixel, _mm256_slli_epi32(quotient, 8 * channel));
  }
  const __mmask8 transparent = _mm256_cmpeq_epi32_mask(alpha, _mm256_setzero_si256());
  return _mm256_mask_blend_epi32(transparent, pixel, _mm256_set1_epi32(0x00FFFFFF));
}

__m512d ClampTo(__m512d value, double highest) {
  return _mm512_min_pd(_mm512_max_pd(value, _mm512_setzero_pd()), _mm512_set1_pd(highest));
}

__m512d Unscale(__m512d value, double scale) {
  return scale == 1.0 ? value : _mm512_div_pd(value, _mm512_set1_pd(scale));
}

// The sines of pixels x to x + 7: read forward right of the centre,
// backward left of it, gathered where the step straddles it.
__m512d SinesAt(const WaveRow& wave, int x) {
  constexpr int kLanes = 8;
  if (x >= wave.firstPast) return _mm512_loadu_pd(wave.sines + (x - wave.firstPast));
  if (x + kLanes <= wave.firstPast) {
    const __m512d backward = _mm512_loadu_pd(wave.sines + (wave.firstFolded - x - (kLanes - 1)));
    return _mm512_permutexvar_pd(_mm512_setr_epi64(7, 6, 5, 4, 3, 2, 1, 0), backward);
  }
  const __m256i columns = _mm256_add_epi32(_mm256_set1_epi32(x), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  const __m256i folded = _mm256_max_epi32(_mm256_sub_epi32(_mm256_set1_epi32(wave.firstFolded), columns),
                                          _mm256_sub_epi32(columns, _mm256_set1_epi32(wave.firstPast)));
  return _mm512_i32gather_pd(folded, wave.sines, 8);
}

// The source points of a stretch of a row: where each pixel's neighbours
// start in the copy, and the fractions between them.
struct SourcePoints {
  static constexpr int kPixels = 64;
  alignas(64) int32_t offsets[kPixels];
  alignas(64) double fx[kPixels], fy[kPixels];
};

// Pixels x to x + count - 1 (count a multiple of 8), eight a step.
void FindSourcePoints(const WaveRow& wave, int x, int count, SourcePoints* points) {
  const VideoFrame& image = *wave.image;
  const __m512d amplitude = _mm512_set1_pd(wave.amplitude), scaleX = _mm512_set1_pd(wave.scaleX);
  const __m512d halfWidth = _mm512_set1_pd(wave.halfWidth), halfHeight = _mm512_set1_pd(wave.halfHeight);
  const __m512d dy = _mm512_set1_pd(wave.dy);
  const __m256i stride = _mm256_set1_epi32(image.stride), lastRow = _mm256_set1_epi32(image.height - 1);
  for (int i = 0; i < count; i += 8) {
    const __m512d column = _mm512_add_pd(_mm512_set1_pd(x + i), _mm512_setr_pd(0, 1, 2, 3, 4, 5, 6, 7));
    const __m512d value = _mm512_mul_pd(SinesAt(wave, x + i), amplitude);
    const __m512d dx = _mm512_mul_pd(scaleX, _mm512_sub_pd(column, halfWidth));
    const __m512d sx = ClampTo(_mm512_add_pd(Unscale(_mm512_add_pd(value, dx), wave.scaleX), halfWidth), image.width - 1.0);
    const __m512d sy =
        ClampTo(_mm512_add_pd(Unscale(_mm512_add_pd(value, dy), wave.scaleY), halfHeight), image.height - 1.0);
    const __m256i ix = _mm512_cvttpd_epi32(sx), iy = _mm512_cvttpd_epi32(sy);
    _mm512_store_pd(points->fx + i, _mm512_sub_pd(sx, _mm512_cvtepi32_pd(ix)));
    _mm512_store_pd(points->fy + i, _mm512_sub_pd(sy, _mm512_cvtepi32_pd(iy)));
    const __m256i offset =
        _mm256_add_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(lastRow, iy), stride), _mm256_slli_epi32(ix, 2));
    _mm256_store_si256(reinterpret_cast<__m256i*>(points->offsets + i), offset);
  }
}

// Eight pixels a step, a stretch of the row at a time: first the stretch's
// source points, then for each pixel its four neighbours as two 64-bit
// gathers and the sample by whichever case of the rule it is in. Finding
// the points first lets the gathers start early.
void WaveRowAvx512(const WaveRow& wave, uint8_t* row, int width) {
  constexpr int kLanes = 8;
  const VideoFrame& image = *wave.image;
  const int64_t lastOffset = int64_t{image.height - 1} * image.stride + 4 * int64_t{image.width};
  if (lastOffset > INT32_MAX) {
    kPlainKernels.waveRow(wave, row, width);
    return;
  }
  const uint8_t* lowerRows = image.pixels;
  const uint8_t* upperRows = image.pixels - image.stride;
  const __m512d epsilon = _mm512_set1_pd(FLT_EPSILON);
  const __m512i opaque = _mm512_set1_epi64(static_cast<long long>(0xFF000000FF000000ull));
  SourcePoints points;
  int x = 0;
  while (x + kLanes <= width) {
    const int count = std::min(SourcePoints::kPixels, (width - x) / kLanes * kLanes);
    FindSourcePoints(wave, x, count, &points);
    for (int i = 0; i < count; i += kLanes, x += kLanes) {
      const __m256i offset = _mm256_load_si256(reinterpret_cast<const __m256i*>(points.offsets + i));
      const __m512d fx = _mm512_load_pd(points.fx + i), fy = _mm512_load_pd(points.fy + i);
      const Neighbours n{_mm512_i32gather_epi64(offset, lowerRows, 1), _mm512_i32gather_epi64(offset, upperRows, 1)};

      const __mmask8 allSame = _mm512_cmpeq_epi64_mask(n.lower, _mm512_shuffle_epi32(n.lower, _MM_PERM_CDAB)) &
                               _mm512_cmpeq_epi64_mask(n.lower, n.upper);
      const __mmask8 onPixel =
          _mm512_cmp_pd_mask(fx, epsilon, _CMP_LT_OQ) & _mm512_cmp_pd_mask(fy, epsilon, _CMP_LT_OQ);
      const __mmask8 takeFirst = allSame | onPixel;
      const __mmask8 allOpaque =
          _mm512_cmpeq_epi64_mask(_mm512_and_si512(_mm512_and_si512(n.lower, n.upper), opaque), opaque);
      const __mmask8 translucent = static_cast<__mmask8>(~(takeFirst | allOpaque));

      __m256i pixels = OpaqueSample(n, fx, fy);
      if (translucent != 0) pixels = _mm256_mask_blend_epi32(translucent, pixels, TranslucentSample(n, fx, fy));
      pixels = _mm256_mask_blend_epi32(takeFirst, pixels, _mm512_cvtepi64_epi32(n.lower));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + 4 * x), pixels);
    }
  }
  for (; x < width; ++x) {
    const uint32_t pixel = WavePixel(wave, x);
    memcpy(row + 4 * x, &pixel, 4);
  }
}

}  // namespace

#pragma GCC pop_options

const RowKernels& Avx512Kernels() {
  static const RowKernels kernels = [] {
    RowKernels own = kAvx2Kernels;
    own.mapColors = MapColorsAvx512;
    own.gray = GrayAvx512;
    own.thresholdGray = ThresholdGrayAvx512;
    own.waveRow = WaveRowAvx512;
    own.addNoise = AddNoiseAvx512;
    return own;
  }();
  return kernels;
}

}  // namespace qelo::effect
