#include "pix_base.h"

#include <string.h>

#include <algorithm>

namespace qelo::effect {

ImageCopy::ImageCopy(const VideoFrame& source) {
  const size_t rowBytes = size_t{4} * source.width;
  const size_t stride = rowBytes + 4;
  const size_t rows = static_cast<size_t>(source.height) + 1;
  // Every byte is written below: the buffer needs no clearing first.
  pixels = std::make_unique_for_overwrite<uint8_t[]>(stride * rows);
  for (size_t at = 0; at < stride; at += 4) memcpy(pixels.get() + at, kOutsidePixel, 4);
  for (int row = 0; row < source.height; ++row) {
    uint8_t* copied = pixels.get() + (row + 1) * stride;
    memcpy(copied, source.pixels + static_cast<int64_t>(row) * source.stride, rowBytes);
    memcpy(copied + rowBytes, kOutsidePixel, 4);
  }
  record.pixels = pixels.get() + stride;
  record.width = source.width;
  record.height = source.height;
  record.stride = static_cast<int32_t>(stride);
  record.bufferSize = static_cast<int32_t>(std::min<size_t>(stride * source.height, INT32_MAX));
  record.pts = source.pts;
  record.nextPts = source.nextPts;
}

void CPixBase::prepare(VideoFrame*) {}

}  // namespace qelo::effect
