// FFmpeg's picture scaler with bicubic filtering, kept for one conversion
// and made again only when the conversion changes (a stream may change its
// picture size mid-way). Large pictures are scaled in slices on several
// threads, unless the caller runs at lowered priority; the bytes are those
// of one scale on one thread.
#pragma once

#include <cstdint>

#include "ffmpeg_ptr.h"

namespace qelo::codecs {

class PictureScaler {
 public:
  // `flags`: FFmpeg's scaler flags, bicubic among them.
  explicit PictureScaler(int flags = SWS_BICUBIC) : flags_(flags) {}

  // The scaler for this conversion; false when FFmpeg has none.
  bool Ensure(int fromWidth, int fromHeight, AVPixelFormat fromFormat, int toWidth, int toHeight,
              AVPixelFormat toFormat);
  // Scales the whole of `from` into `to`, which has a buffer of its own
  // (FFmpeg's, or one that Wrap lends it). False on failure.
  bool Scale(const AVFrame* from, AVFrame* to);
  void Reset();

 private:
  struct Conversion {
    int fromWidth = 0, fromHeight = 0, toWidth = 0, toHeight = 0;
    AVPixelFormat fromFormat = AV_PIX_FMT_NONE, toFormat = AV_PIX_FMT_NONE;
    bool operator==(const Conversion&) const = default;
  };
  int flags_;
  ScalerPtr context_;
  Conversion made_;
};

// A frame over pixels that stay the caller's: FFmpeg neither copies nor
// frees them. One plane of `stride`-byte rows (32-bit pictures).
FramePtr WrapPixels(const uint8_t* pixels, int stride, int width, int height, AVPixelFormat format);

}  // namespace qelo::codecs
