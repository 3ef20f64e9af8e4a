#include "vector_rows.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace qelo::effect {

#if defined(__x86_64__)
namespace {

constexpr int kPixelsPerStep = 16;  // one 512-bit register
constexpr __mmask64 kAlphaBytes = 0x8888888888888888ull;

// gray = (11 blue + 59 green + 30 red) / 100 as a multiply and a shift:
// exact for every sum the weights can give (0 to 25,500).
constexpr uint32_t kDivideBy100 = 5243;
constexpr int kDivideBy100Shift = 19;
constexpr bool DivisionIsExact() {
  for (uint32_t sum = 0; sum <= 25500; ++sum) {
    if ((sum * kDivideBy100) >> kDivideBy100Shift != sum / 100) return false;
  }
  return true;
}
static_assert(DivisionIsExact());

bool CpuHasAvx512Bw() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
  }();
  return has;
}

bool CpuHasAvx512Vbmi() {
  static const bool has = CpuHasAvx512Bw() && __builtin_cpu_supports("avx512vbmi");
  return has;
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) int MapRowVbmi(const uint8_t* table,
                                                                      uint8_t* row, int width) {
  const __m512i low0 = _mm512_loadu_si512(table), low1 = _mm512_loadu_si512(table + 64);
  const __m512i high0 = _mm512_loadu_si512(table + 128), high1 = _mm512_loadu_si512(table + 192);
  int x = 0;
  for (; x + kPixelsPerStep <= width; x += kPixelsPerStep) {
    const __m512i pixels = _mm512_loadu_si512(row + 4 * x);
    const __m512i fromLow = _mm512_permutex2var_epi8(low0, pixels, low1);
    const __m512i fromHigh = _mm512_permutex2var_epi8(high0, pixels, high1);
    const __m512i mapped = _mm512_mask_blend_epi8(_mm512_movepi8_mask(pixels), fromLow, fromHigh);
    _mm512_storeu_si512(row + 4 * x, _mm512_mask_blend_epi8(kAlphaBytes, mapped, pixels));
  }
  return x;
}

__attribute__((target("avx512f,avx512bw"))) __m512i GrayOf16(__m512i pixels) {
  const __m512i weights = _mm512_set1_epi32(0x001E3B0B);  // bytes 11, 59, 30, 0
  const __m512i pairs = _mm512_maddubs_epi16(pixels, weights);
  const __m512i sums = _mm512_madd_epi16(pairs, _mm512_set1_epi16(1));
  // The zero-masked shift over all lanes: the plain one trips a false
  // uninitialised-value warning in GCC 12's header.
  constexpr __mmask16 kAllLanes = 0xFFFF;
  return _mm512_maskz_srli_epi32(
      kAllLanes, _mm512_mullo_epi32(sums, _mm512_set1_epi32(kDivideBy100)), kDivideBy100Shift);
}

// The pixels' alpha with the colours' blue, green and red.
__attribute__((target("avx512f,avx512bw"))) inline void StoreKeepingAlpha(uint8_t* at,
                                                                           __m512i pixels,
                                                                           __m512i colors) {
  constexpr int kAlphaFromFirstElseSecond = 0xCA;  // ternary logic: mask ? pixels : colors
  const __m512i alpha = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
  _mm512_storeu_si512(at, _mm512_ternarylogic_epi32(alpha, pixels, colors,
                                                    kAlphaFromFirstElseSecond));
}

__attribute__((target("avx512f,avx512bw"))) int GrayRowAvx512(uint8_t* row, int width) {
  const __m512i spread = _mm512_set1_epi32(0x010101);
  int x = 0;
  for (; x + kPixelsPerStep <= width; x += kPixelsPerStep) {
    const __m512i pixels = _mm512_loadu_si512(row + 4 * x);
    StoreKeepingAlpha(row + 4 * x, pixels, _mm512_mullo_epi32(GrayOf16(pixels), spread));
  }
  return x;
}

__attribute__((target("avx512f,avx512bw"))) int ThresholdRowAvx512(uint8_t* row, int width,
                                                                    int threshold) {
  const __m512i limit = _mm512_set1_epi32(threshold);
  const __m512i white = _mm512_set1_epi32(0x00FFFFFF);
  int x = 0;
  for (; x + kPixelsPerStep <= width; x += kPixelsPerStep) {
    const __m512i pixels = _mm512_loadu_si512(row + 4 * x);
    const __mmask16 above = _mm512_cmpgt_epu32_mask(GrayOf16(pixels), limit);
    StoreKeepingAlpha(row + 4 * x, pixels, _mm512_maskz_mov_epi32(above, white));
  }
  return x;
}

}  // namespace

int MapRowLeading(const uint8_t* table, uint8_t* row, int width) {
  return CpuHasAvx512Vbmi() ? MapRowVbmi(table, row, width) : 0;
}

int GrayRowLeading(uint8_t* row, int width) {
  return CpuHasAvx512Bw() ? GrayRowAvx512(row, width) : 0;
}

int ThresholdRowLeading(uint8_t* row, int width, int threshold) {
  return CpuHasAvx512Bw() ? ThresholdRowAvx512(row, width, threshold) : 0;
}

// SSE2 is part of every x86-64 processor: no check needed.
int InvertRowLeading(uint8_t* row, int width) {
  const __m128i colors = _mm_set1_epi32(0x00FFFFFF);
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    auto* block = reinterpret_cast<__m128i*>(row + 4 * x);
    _mm_storeu_si128(block, _mm_xor_si128(_mm_loadu_si128(block), colors));
  }
  return x;
}

#else

int MapRowLeading(const uint8_t*, uint8_t*, int) { return 0; }
int GrayRowLeading(uint8_t*, int) { return 0; }
int ThresholdRowLeading(uint8_t*, int, int) { return 0; }
int InvertRowLeading(uint8_t*, int) { return 0; }

#endif

}  // namespace qelo::effect
