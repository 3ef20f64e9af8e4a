// A video frame that owns its pixel buffer, reused from frame to frame.
#pragma once

#include <cstdint>
#include <vector>

#include "qelo/media.h"

namespace qelo::convertor {

struct OwnedFrame {
  VideoFrame frame{};
  std::vector<uint8_t> buffer;

  // Gives the frame a buffer of exactly `bytes` (zeroed when it is made or
  // changes size), keeping the one it has when the size is the same.
  void Reserve(int bytes) {
    if (bytes < 0) bytes = 0;
    if (buffer.size() != size_t(bytes)) buffer.assign(size_t(bytes), 0);
    frame.pixels = buffer.empty() ? nullptr : buffer.data();
    frame.bufferSize = bytes;
  }
};

}  // namespace qelo::convertor
