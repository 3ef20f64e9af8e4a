#include "codec_library.h"

#include <string>

namespace qelo::codecs {

log::LibraryLog gLog("Qelo Codecs: ");

std::mutex& CodecLock() {
  static auto* lock = new std::mutex;  // outlives every context freed at exit
  return *lock;
}

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

}  // namespace qelo::codecs

#include "ffmpeg_ptr.h"

namespace qelo::codecs {

bool EnsureScaler(ScalerPtr& scaler, int srcW, int srcH, AVPixelFormat srcFormat, int dstW,
                  int dstH, AVPixelFormat dstFormat) {
  SwsContext* next = sws_getCachedContext(scaler.release(), srcW, srcH, srcFormat, dstW, dstH,
                                          dstFormat, SWS_BICUBIC, nullptr, nullptr, nullptr);
  scaler.reset(next);
  return next != nullptr;
}

}  // namespace qelo::codecs
