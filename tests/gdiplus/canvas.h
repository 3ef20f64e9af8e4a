// Test helpers: a started drawing layer and pixel buffers owned by the test.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "gdiplus/bitmap.h"
#include "gdiplus/startup.h"
#include "gdiplus/types.h"

namespace qelo::test {

class GdiplusTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(gdiplus::Startup(&token_), gdiplus::Status::Ok); }
  void TearDown() override { gdiplus::Shutdown(token_); }

 protected:
  uintptr_t token_ = 0;
};

// A caller-owned pixel buffer (one 32-bit word a pixel, B, G, R, A in
// memory) with a bitmap over it.
struct Canvas {
  Canvas(int w, int h, uint32_t fill = 0)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill),
        bitmap(w, h, 4 * w, gdiplus::PixelFormat::Argb32, reinterpret_cast<uint8_t*>(pixels.data())) {}
  uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

  int width;
  int height;
  std::vector<uint32_t> pixels;
  gdiplus::Bitmap bitmap;
};

// Every pixel of a bitmap, row by row, read through LockBits.
inline std::vector<uint32_t> ReadPixels(gdiplus::Bitmap& bitmap) {
  gdiplus::BitmapData data;
  std::vector<uint32_t> out;
  if (bitmap.LockBits(nullptr, gdiplus::ImageLockModeRead, gdiplus::PixelFormat::Argb32, &data) != gdiplus::Status::Ok) {
    return out;
  }
  for (int y = 0; y < data.Height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data.Scan0 + static_cast<std::ptrdiff_t>(y) * data.Stride);
    out.insert(out.end(), row, row + data.Width);
  }
  bitmap.UnlockBits(&data);
  return out;
}

// A background whose straight-alpha values do not survive a round trip
// through premultiplied form: low alphas, and colour under alpha 0.
inline uint32_t FragilePixel(int x, int y) {
  const uint32_t alpha = static_cast<uint32_t>((x * 7 + y * 13) % 6);  // 0..5
  const uint32_t colour = static_cast<uint32_t>(x * 0x1F3D5B + y * 0x0A0B0C) & 0xFFFFFF;
  return alpha << 24 | colour | 0x010101;
}

inline void FillFragile(Canvas& canvas) {
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) canvas.At(x, y) = FragilePixel(x, y);
  }
}

// The box of pixels that differ from `background`; empty (x0 > x1) if none.
struct InkBox {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  int count = 0;
  bool Empty() const { return count == 0; }
};

inline InkBox FindInk(const Canvas& canvas, uint32_t background) {
  InkBox box;
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      if (canvas.At(x, y) == background) continue;
      box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y), box.count + 1};
    }
  }
  return box;
}

}  // namespace qelo::test
