// 32-bit bitmaps (bytes B, G, R, A, not premultiplied): over a caller's pixel
// buffer, owned, or loaded from a PNG, JPEG or BMP file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gdiplus/types.h"

namespace qelo::gdiplus {

enum ImageLockMode : unsigned { ImageLockModeRead = 1, ImageLockModeWrite = 2 };

struct BitmapData {
  int Width = 0;
  int Height = 0;
  int Stride = 0;
  PixelFormat Format = PixelFormat::Argb32;
  uint8_t* Scan0 = nullptr;
};

// Identifies an image encoder (see encoders.h).
struct EncoderId {
  uint32_t value = 0;
  friend bool operator==(EncoderId, EncoderId) = default;
};

class Bitmap {
 public:
  // Wraps `scan0` without copying; the buffer must outlive the bitmap and be
  // 4-byte aligned. `stride` is positive, a multiple of 4 and at least
  // 4 x width.
  Bitmap(int width, int height, int stride, PixelFormat format, uint8_t* scan0);
  // An owned bitmap, all pixels transparent black.
  Bitmap(int width, int height, PixelFormat format = PixelFormat::Argb32);
  // Loads a PNG, JPEG or BMP file (the kind is read from its first bytes).
  explicit Bitmap(const std::string& path);

  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  // Ok when the bitmap was made; any other value leaves it empty (0 x 0).
  Status GetLastStatus() const { return status_; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  PixelFormat GetPixelFormat() const { return PixelFormat::Argb32; }

  // Gives direct access to `rect` (the whole bitmap when null) of the pixels.
  // One lock at a time; drawing on and saving a locked bitmap fail.
  Status LockBits(const Rect* rect, unsigned mode, PixelFormat format, BitmapData* data);
  Status UnlockBits(BitmapData* data);
  bool IsLocked() const { return locked_; }

  // Writes the bitmap with an encoder of GetImageEncoders(). The file is
  // replaced only when the whole image was written.
  Status Save(const std::string& path, EncoderId encoder) const;

  // For the drawing code: first byte and row length in bytes.
  uint8_t* Scan0() const { return scan0_; }
  int Stride() const { return stride_; }

 private:
  Status Adopt(int width, int height, std::vector<uint8_t> pixels);

  Status status_ = Status::Ok;
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  uint8_t* scan0_ = nullptr;
  std::vector<uint8_t> owned_;
  bool locked_ = false;
};

}  // namespace qelo::gdiplus
