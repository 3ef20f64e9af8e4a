// The instance's four records of the current frame: the decoded picture of
// the first pane, an untouched copy of it, the copy the frame hook gets, and
// the second pane's picture; with drawing bitmaps over three of them.
#pragma once

#include <cstdint>
#include <memory>

#include "gdiplus/bitmap.h"
#include "qelo/media.h"

namespace qelo::player {

class FrameSet {
 public:
  FrameSet() = default;
  FrameSet(const FrameSet&) = delete;
  FrameSet& operator=(const FrameSet&) = delete;

  // Makes the four records width x height, stride 4 x width, with buffers of
  // `bufferSize` bytes but never less than a whole frame, zeroed, and new
  // bitmaps over decoded, hook and output. False (and no frames) for an
  // empty size.
  bool AllocateFrames(int width, int height, int32_t bufferSize);
  // Drops the bitmaps; the buffers stay until Free or the next Allocate.
  void DropBitmaps();
  void Free();

  bool HasPixels() const { return decodedFrame_.pixels != nullptr; }

  VideoFrame& decodedFrame() { return decodedFrame_; }
  VideoFrame& pristineFrame() { return pristineFrame_; }
  VideoFrame& hookFrame() { return hookFrame_; }
  VideoFrame& outputFrame() { return outputFrame_; }
  const VideoFrame& decodedFrame() const { return decodedFrame_; }
  const VideoFrame& outputFrame() const { return outputFrame_; }

  gdiplus::Bitmap* decodedBitmap() const { return decodedBitmap_.get(); }
  gdiplus::Bitmap* hookBitmap() const { return hookBitmap_.get(); }
  gdiplus::Bitmap* outputBitmap() const { return outputBitmap_.get(); }

  // Copies the decoded frame's times and pixels into hook (when `hook`),
  // then output and pristine (when `secondPane`): a frame a megabyte or
  // more is copied only where it is used.
  void CopyFramePanes(bool hook, bool secondPane);
  // Puts the untouched copy back into the decoded frame, removing an overlay.
  void RestoreDecoded();
  // The output frame takes the hook frame's colours with every pixel
  // opaque: what an encoder takes of a frame, whose alpha it ignores.
  void ShowHookAsOutput();

 private:
  struct Buffers {
    std::unique_ptr<uint8_t[]> decoded, pristine, hook, output;
  };
  Buffers buffers_;
  VideoFrame decodedFrame_{}, pristineFrame_{}, hookFrame_{}, outputFrame_{};
  std::unique_ptr<gdiplus::Bitmap> decodedBitmap_, hookBitmap_, outputBitmap_;
};

}  // namespace qelo::player
