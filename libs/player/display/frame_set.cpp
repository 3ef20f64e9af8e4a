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

bool FrameSet::Allocate(int width, int height, int32_t bufferSize) {
  Free();
  constexpr int64_t kMaxBytes = int64_t{1} << 30;
  const int64_t whole = int64_t{4} * width * height;
  if (width <= 0 || height <= 0 || whole > kMaxBytes) return false;
  const auto size = static_cast<int32_t>(std::clamp<int64_t>(bufferSize, whole, kMaxBytes));
  buffers_ = {ZeroedBuffer(size), ZeroedBuffer(size), ZeroedBuffer(size), ZeroedBuffer(size)};
  decoded_ = MakeRecord(buffers_.decoded.get(), width, height, size);
  pristine_ = MakeRecord(buffers_.pristine.get(), width, height, size);
  hook_ = MakeRecord(buffers_.hook.get(), width, height, size);
  output_ = MakeRecord(buffers_.output.get(), width, height, size);
  decodedBitmap_ = BitmapOver(decoded_);
  hookBitmap_ = BitmapOver(hook_);
  outputBitmap_ = BitmapOver(output_);
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
  decoded_ = pristine_ = hook_ = output_ = VideoFrame{};
}

void FrameSet::CopyPanes(bool hook, bool secondPane) {
  if (!HasPixels()) return;
  if (hook) CopyFrame(decoded_, hook_);
  if (!secondPane) return;
  CopyFrame(decoded_, output_);
  CopyFrame(decoded_, pristine_);
}

void FrameSet::RestoreDecoded() {
  if (HasPixels()) CopyFrame(pristine_, decoded_);
}

void FrameSet::ShowHookAsOutput() {
  if (!HasPixels()) return;
  CopyFrame(hook_, output_);
  const size_t pixels = size_t(output_.width) * size_t(output_.height);
  for (size_t i = 0; i < pixels; ++i) output_.pixels[4 * i + 3] = 0xFF;
}

}  // namespace qelo::player
