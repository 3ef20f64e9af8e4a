#include "frame_set.h"

#include <algorithm>
#include <cstring>

namespace qelo::player {
namespace {

std::unique_ptr<uint8_t[]> ZeroedBuffer(int32_t size) { return std::make_unique<uint8_t[]>(size); }

VideoFrame MakeRecord(uint8_t* pixels, int width, int height, int32_t bufferSize) {
  VideoFrame f{};
  f.pixels = pixels;
  f.width = width;
  f.height = height;
  f.stride = 4 * width;
  f.bufferSize = bufferSize;
  return f;
}

std::unique_ptr<gdiplus::Bitmap> BitmapOver(const VideoFrame& f) {
  return std::make_unique<gdiplus::Bitmap>(f.width, f.height, f.stride, gdiplus::PixelFormat::Argb32, f.pixels);
}

void CopyFrame(const VideoFrame& from, VideoFrame& to) {
  to.pts = from.pts;
  to.nextPts = from.nextPts;
  std::memcpy(to.pixels, from.pixels, static_cast<size_t>(std::min(from.bufferSize, to.bufferSize)));
}

}  // namespace

bool FrameSet::AllocateFrames(int width, int height, int32_t bufferSize) {
  Free();
  constexpr int64_t kMaxBytes = int64_t{1} << 30;
  const int64_t whole = int64_t{4} * width * height;
  if (width <= 0 || height <= 0 || whole > kMaxBytes) return false;
  const auto size = static_cast<int32_t>(std::clamp<int64_t>(bufferSize, whole, kMaxBytes));
  buffers_ = {ZeroedBuffer(size), ZeroedBuffer(size), ZeroedBuffer(size), ZeroedBuffer(size)};
  decodedFrame_ = MakeRecord(buffers_.decoded.get(), width, height, size);
  pristineFrame_ = MakeRecord(buffers_.pristine.get(), width, height, size);
  hookFrame_ = MakeRecord(buffers_.hook.get(), width, height, size);
  outputFrame_ = MakeRecord(buffers_.output.get(), width, height, size);
  decodedBitmap_ = BitmapOver(decodedFrame_);
  hookBitmap_ = BitmapOver(hookFrame_);
  outputBitmap_ = BitmapOver(outputFrame_);
  return true;
}

void FrameSet::DropBitmaps() {
  decodedBitmap_.reset();
  hookBitmap_.reset();
  outputBitmap_.reset();
}

void FrameSet::Free() {
  DropBitmaps();
  buffers_ = {};
  decodedFrame_ = pristineFrame_ = hookFrame_ = outputFrame_ = VideoFrame{};
}

void FrameSet::CopyFramePanes(bool hook, bool secondPane) {
  if (!HasPixels()) return;
  if (hook) CopyFrame(decodedFrame_, hookFrame_);
  if (!secondPane) return;
  CopyFrame(decodedFrame_, outputFrame_);
  CopyFrame(decodedFrame_, pristineFrame_);
}

void FrameSet::RestoreDecoded() {
  if (HasPixels()) CopyFrame(pristineFrame_, decodedFrame_);
}

void FrameSet::ShowHookAsOutput() {
  if (!HasPixels()) return;
  CopyFrame(hookFrame_, outputFrame_);
  const size_t pixels = size_t(outputFrame_.width) * size_t(outputFrame_.height);
  for (size_t i = 0; i < pixels; ++i) outputFrame_.pixels[4 * i + 3] = 0xFF;
}

}  // namespace qelo::player
