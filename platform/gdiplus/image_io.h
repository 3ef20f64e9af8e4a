// Reading and writing image files for Bitmap.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "gdiplus/bitmap.h"

namespace qelo::gdiplus::detail {

// Bitmaps larger than this are refused rather than allocated.
constexpr int kMaxSide = 32768;
constexpr int64_t kMaxPixels = int64_t{1} << 26;
bool SizeAllowed(int64_t width, int64_t height);

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // B, G, R, A; stride 4 x width
};

// Decoders by the file's first bytes.
Status LoadImageFile(const std::string& path, DecodedImage* image);
Status DecodePng(const std::vector<uint8_t>& file, DecodedImage* image);
Status DecodeJpeg(const std::vector<uint8_t>& file, DecodedImage* image);
Status DecodeBmp(const std::vector<uint8_t>& file, DecodedImage* image);

struct PixelView {
  const uint8_t* pixels;
  int width;
  int height;
  int stride;
};

// Each writes a whole file to an open stream; false on failure.
bool EncodeJpeg(const PixelView& view, std::FILE* out);
bool EncodePng(const PixelView& view, std::FILE* out);

// Writes through a temporary file beside `path`, renamed over it only when
// the encoder succeeded.
Status SaveImageFile(const std::string& path, EncoderId encoder, const PixelView& view);

}  // namespace qelo::gdiplus::detail
