#include "codec_library.h"

#include <string>

namespace qelo::codecs {

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

