// Library-wide state of the codec bridge.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "codecs_log.h"

extern "C" {
#include <libavutil/avutil.h>
}

namespace qelo::codecs {

// Serialises opening and closing of FFmpeg codecs and the probing of files.
std::mutex& CodecLock();

// A count in a 64-bit integer, held at the ends of its range (NaN is 0):
// damaged files carry any time stamp and length.
inline int64_t SaturatedInt64(double value) {
  if (!(value == value)) return 0;
  if (value >= 9223372036854775807.0) return INT64_MAX;
  if (value <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(value);
}

inline int64_t SaturatedAdd(int64_t a, int64_t b) {
  int64_t sum;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? INT64_MAX : INT64_MIN;
}

// Clocks inside the bridge are seconds; across it, 100-ns units.
inline int64_t SecondsToUnits(double seconds) { return SaturatedInt64(seconds * 10000000.0); }

// A stream's start time, 0 when the container does not know it.
inline int64_t KnownOrZero(int64_t timestamp) {
  return timestamp == AV_NOPTS_VALUE ? 0 : timestamp;
}

// Sound the bridge decodes: the rates and channel counts its resampler is
// built for. A stream claiming others is left out when its file is opened,
// and decoded sound outside them is refused.
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 384000;
constexpr int kMaxDecodedChannels = 64;
inline bool DecodableSound(int sampleRate, int channels) {
  return sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate && channels >= 1 &&
         channels <= kMaxDecodedChannels;
}

// FFmpeg's error text for a result code.
std::string ErrorText(int code);

}  // namespace qelo::codecs
