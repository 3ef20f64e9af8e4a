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

// Copies a 32-bit picture of width x height turned clockwise by `turn`
// degrees (90, 180 or 270) into `to`, whose rows are tightly packed.
void CopyTurned(const uint8_t* from, int fromStride, int width, int height, int turn,
                uint8_t* to) {
  auto* out = reinterpret_cast<uint32_t*>(to);
  const int turnedWidth = turn == 180 ? width : height;
  for (int y = 0; y < height; ++y) {
    const auto* row =
        reinterpret_cast<const uint32_t*>(from + static_cast<ptrdiff_t>(y) * fromStride);
    for (int x = 0; x < width; ++x) {
      const int tx = turn == 90 ? height - 1 - y : turn == 180 ? width - 1 - x : y;
      const int ty = turn == 90 ? x : turn == 180 ? height - 1 - y : width - 1 - x;
      out[static_cast<ptrdiff_t>(ty) * turnedWidth + tx] = row[x];
    }
  }
}

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
  if (!DecodePictureAtTarget()) return fail("no more video frame exist...");
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
// tightly packed buffer has no room for. The rows are then copied out. The
// picture is made once per stream (again only when the size changes).
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

// The scaler works in blocks of at most 16 pixels: a caller's row of whole
// blocks, aligned as FFmpeg aligns its own rows, takes the scaler's output
// straight, with no copy.
bool DecoderContext::TakesScalerRows(const uint8_t* pixels, int width) const {
  return turn_ == 0 && width % 16 == 0 && reinterpret_cast<uintptr_t>(pixels) % 16 == 0;
}

// A picture that is shown turned is scaled to the size that, turned, is the
// delivered one, and turned as it is copied out.
void DecoderContext::ScalePicture(uint8_t* pixels, int width, int height) {
  const auto format = static_cast<AVPixelFormat>(picture_->format);
  const bool sideways = turn_ == 90 || turn_ == 270;
  const int scaledWidth = sideways ? height : width, scaledHeight = sideways ? width : height;
  bool scaled = scaler_.Ensure(picture_->width, picture_->height, format, scaledWidth, scaledHeight,
                               kDeliveredFormat);
  if (scaled && TakesScalerRows(pixels, width)) {
    const FramePtr target = WrapPixels(pixels, width * 4, width, height, kDeliveredFormat);
    scaled = target && scaler_.Scale(picture_.get(), target.get());
  } else if (scaled) {
    scaled = EnsureScaledPicture(scaledWidth, scaledHeight) &&
             scaler_.Scale(picture_.get(), scaled_.get());
    if (scaled && turn_ == 0)
      av_image_copy_plane(pixels, width * 4, scaled_->data[0], scaled_->linesize[0], width * 4,
                          height);
    else if (scaled)
      CopyTurned(scaled_->data[0], scaled_->linesize[0], scaledWidth, scaledHeight, turn_, pixels);
  }
  if (scaled) return;
  gLog.Write("warning: failed to convert to argb...");
  std::memset(pixels, 0, static_cast<size_t>(width) * height * 4);
}

// Pictures decoded before a seek's target are not handed out: the last one
// at or before it is, the picture shown at that time. Which one that is
// shows only when the next one comes, which waits for the call after.
bool DecoderContext::DecodePictureAtTarget() {
  // The picture held back by the last call, unless a seek came since.
  if (afterTarget_.held && !FlushIfSought(video_, &videoClock_)) return Restore(afterTarget_);
  for (;;) {
    if (!DecodeNextPicture()) return Restore(atTarget_);
    if (frameTime_ <= video_.seekTarget + kSeekTolerance) {
      if (Hold(atTarget_)) continue;
      return true;
    }
    video_.seekTarget = kNoSeekTarget;
    if (!atTarget_.held) return true;
    if (!Hold(afterTarget_)) {
      ReleaseHeldPictures();
      return true;
    }
    return Restore(atTarget_);
  }
}

bool DecoderContext::Hold(HeldPicture& into) {
  if (!into.frame) into.frame.reset(av_frame_alloc());
  if (!into.frame) return false;
  av_frame_unref(into.frame.get());
  av_frame_move_ref(into.frame.get(), picture_.get());
  into.time = frameTime_;
  into.clock = videoClock_;
  into.held = true;
  return true;
}

bool DecoderContext::Restore(HeldPicture& from) {
  if (!from.held) return false;
  av_frame_unref(picture_.get());
  av_frame_move_ref(picture_.get(), from.frame.get());
  frameTime_ = from.time;
  videoClock_ = from.clock;
  from.held = false;
  return true;
}

void DecoderContext::ReleaseHeldPictures() {
  for (HeldPicture* held : {&atTarget_, &afterTarget_}) {
    if (held->frame) av_frame_unref(held->frame.get());
    held->held = false;
  }
}

bool DecoderContext::DecodeNextPicture() {
  if (FlushIfSought(video_, &videoClock_)) pictureAfterSeek_ = true;
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
    switch (FeedDecoder(video_, &videoClock_, kVideoSkipped)) {
      case Fed::End:
        gLog.Write("finish get video packet...");
        return false;
      case Fed::Flushed:
        pictureAfterSeek_ = true;
        break;
      case Fed::Packet:
        break;
    }
  }
}

// The frame's time comes from its stamp; a picture without one (or at time
// zero) takes the clock. The first picture after a seek keeps a stamp of
// zero: it is the file's first key frame, before the target, and taking the
// seek's clock would show it as the target and then run back in time. The
// clock then moves on by one frame interval, longer for pictures the
// decoder asks to repeat.
void DecoderContext::SynchroniseVideo() {
  const int64_t stamp = picture_->best_effort_timestamp;
  double time = stamp == AV_NOPTS_VALUE ? videoClock_ : video_.Seconds(stamp);
  const bool ownTime = std::fabs(time) > 0.00001 || (pictureAfterSeek_ && stamp != AV_NOPTS_VALUE);
  pictureAfterSeek_ = false;
  if (ownTime)
    videoClock_ = time;
  else
    time = videoClock_;
  frameTime_ = time;
  const double interval = av_q2d(av_inv_q(frameRate_));
  videoClock_ += interval + picture_->repeat_pict * interval * 0.5;
}

}  // namespace qelo::codecs
