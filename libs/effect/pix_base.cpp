#include "pix_base.h"

#include <string.h>

namespace qelo::effect {

ImageCopy::ImageCopy(const VideoFrame& source) {
  const int rowBytes = 4 * source.width;
  pixels.resize(static_cast<size_t>(rowBytes) * source.height);
  record.pixels = pixels.data();
  record.width = source.width;
  record.height = source.height;
  record.stride = rowBytes;
  record.bufferSize = static_cast<int32_t>(pixels.size());
  record.pts = source.pts;
  record.nextPts = source.nextPts;
  for (int row = 0; row < source.height; ++row) {
    memcpy(pixels.data() + static_cast<size_t>(row) * rowBytes,
           source.pixels + static_cast<int64_t>(row) * source.stride, rowBytes);
  }
}

void CPixBase::prepare(VideoFrame*) {}

}  // namespace qelo::effect
