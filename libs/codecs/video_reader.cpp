// Video frames of a media file: decoding, timing and scaling to 32-bit
// pixels (bytes B G R A) at the display size or at a chosen output size.
#include <cmath>
#include <cstring>

#include "codec_library.h"
#include "media_decoder.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace qelo::codecs {
namespace {

constexpr AVPixelFormat kDeliveredFormat = AV_PIX_FMT_BGRA;
constexpr const char* kVideoSkipped = "undecodable video packet skipped";

}  // namespace

void DecoderContext::DeliveredSize(int* width, int* height) const {
  const bool resized = outputWidth_ > 0 && outputHeight_ > 0;
  *width = resized ? outputWidth_ : displayWidth_;
  *height = resized ? outputHeight_ : displayHeight_;
}

int DecoderContext::FrameBytes(int width, int height) {
  if (width <= 0 || height <= 0 || av_image_check_size(width, height, 0, nullptr) < 0) return 0;
  return std::max(0, av_image_get_buffer_size(kDeliveredFormat, width, height, 1));
}

int DecoderContext::VideoBufferSize() {
  std::lock_guard<std::mutex> lock(videoLock_);
  if (!video_.Decodes()) return 0;
  int width, height;
  DeliveredSize(&width, &height);
  return FrameBytes(width, height);
}

int DecoderContext::Resize(int32_t* width, int32_t* height) {
  std::lock_guard<std::mutex> lock(videoLock_);
  const int64_t w = *width, h = *height;
  const bool isDisplaySize = w == displayWidth_ && h == displayHeight_;
  if (w <= 0 || h <= 0 || isDisplaySize || !video_.Decodes() || displayWidth_ <= 0 ||
      displayHeight_ <= 0) {
    outputWidth_ = outputHeight_ = 0;  // frames come at the display size
    return 1;
  }
  if (w == outputWidth_ && h == outputHeight_) return 1;
  // Fit inside the asked size, keeping the display aspect.
  int64_t fitW = w, fitH = h;
  if (w * displayHeight_ < displayWidth_ * h)
    fitH = w * displayHeight_ / displayWidth_;
  else
    fitW = displayWidth_ * h / displayHeight_;
  fitW = std::max<int64_t>(fitW, 1);
  fitH = std::max<int64_t>(fitH, 1);
  if (fitW > INT32_MAX || fitH > INT32_MAX || FrameBytes(int(fitW), int(fitH)) == 0) {
    gLog.Write("output size %dx%d too large for a frame...", *width, *height);
    return 0;
  }
  outputWidth_ = static_cast<int>(fitW);
  outputHeight_ = static_cast<int>(fitH);
  *width = outputWidth_;
  *height = outputHeight_;
  return 1;
}

int DecoderContext::GetNextVideoFrame(VideoFrame* frame) {
  if (!frame || !frame->pixels) {
    gLog.Write("Error parameter...");
    return 0;
  }
  auto fail = [frame](const char* line) {
    if (frame->bufferSize > 0) std::memset(frame->pixels, 0, frame->bufferSize);
    gLog.Write("%s", line);
    return 0;
  };
  if (!video_.Decodes()) return fail("no video stream exist....");
  std::lock_guard<std::mutex> lock(videoLock_);
  if (!DecodeNextPicture()) return fail("no more video frame exist...");
  int width, height;
  DeliveredSize(&width, &height);
  const int bytes = FrameBytes(width, height);
  if (bytes == 0) return fail("video frame size out of range...");
  if (frame->bufferSize < bytes) return fail("video frame buffer too small...");
  ScalePicture(frame->pixels, width, height);
  std::memset(frame->pixels + bytes, 0, frame->bufferSize - bytes);
  frame->width = width;
  frame->height = height;
  frame->stride = width * 4;
  frame->pts = SecondsToUnits(frameTime_);
  frame->nextPts = SecondsToUnits(videoClock_);
  return 1;
}

// The scaler writes into a picture of FFmpeg's own, whose rows are padded:
// its SIMD paths may write a few pixels past a row's end, which the caller's
// tightly packed buffer has no room for. The rows are then copied out.
bool DecoderContext::EnsureScaledPicture(int width, int height) {
  if (scaled_ && scaled_->width == width && scaled_->height == height) return true;
  scaled_.reset(av_frame_alloc());
  if (!scaled_) return false;
  scaled_->format = kDeliveredFormat;
  scaled_->width = width;
  scaled_->height = height;
  if (av_frame_get_buffer(scaled_.get(), 0) == 0) return true;
  scaled_.reset();
  return false;
}

void DecoderContext::ScalePicture(uint8_t* pixels, int width, int height) {
  const auto format = static_cast<AVPixelFormat>(picture_->format);
  if (!EnsureScaler(scaler_, picture_->width, picture_->height, format, width, height,
                    kDeliveredFormat) ||
      !EnsureScaledPicture(width, height)) {
    gLog.Write("warning: failed to convert to argb...");
    std::memset(pixels, 0, static_cast<size_t>(width) * height * 4);
    return;
  }
  sws_scale(scaler_.get(), picture_->data, picture_->linesize, 0, picture_->height, scaled_->data,
            scaled_->linesize);
  av_image_copy_plane(pixels, width * 4, scaled_->data[0], scaled_->linesize[0], width * 4, height);
}

bool DecoderContext::DecodeNextPicture() {
  FlushIfSought(video_, &videoClock_);
  for (;;) {
    switch (Receive(video_, picture_.get(), kVideoSkipped)) {
      case Received::Frame:
        SynchroniseVideo();
        return true;
      case Received::Ended:
        gLog.Write("finish get video packet...");
        return false;
      case Received::NeedsInput:
        break;
    }
    if (FeedDecoder(video_, &videoClock_, kVideoSkipped) == Fed::End) {
      gLog.Write("finish get video packet...");
      return false;
    }
  }
}

// The frame's time comes from its stamp; a picture without one (or at time
// zero) takes the clock. The clock then moves on by one frame interval,
// longer for pictures the decoder asks to repeat.
void DecoderContext::SynchroniseVideo() {
  const int64_t stamp = picture_->best_effort_timestamp;
  double time = stamp == AV_NOPTS_VALUE ? videoClock_ : video_.Seconds(stamp);
  if (std::fabs(time) > 0.00001)
    videoClock_ = time;
  else
    time = videoClock_;
  frameTime_ = time;
  const double interval = av_q2d(av_inv_q(frameRate_));
  videoClock_ += interval + picture_->repeat_pict * interval * 0.5;
}

}  // namespace qelo::codecs
