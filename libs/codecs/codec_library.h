// Library-wide state of the codec bridge.
#pragma once

#include <mutex>
#include <string>

#include "log/library_log.h"

extern "C" {
#include <libavutil/avutil.h>
}

namespace qelo::codecs {

// Lines go out as "Qelo Codecs: ...".
extern log::LibraryLog gLog;

// Serialises opening and closing of FFmpeg codecs and the probing of files.
std::mutex& CodecLock();

// Clocks inside the bridge are seconds; across it, 100-ns units.
inline int64_t SecondsToUnits(double seconds) {
  return static_cast<int64_t>(seconds * 10000000.0);
}

// A stream's start time, 0 when the container does not know it.
inline int64_t KnownOrZero(int64_t timestamp) {
  return timestamp == AV_NOPTS_VALUE ? 0 : timestamp;
}

// FFmpeg's error text for a result code.
std::string ErrorText(int code);

}  // namespace qelo::codecs
