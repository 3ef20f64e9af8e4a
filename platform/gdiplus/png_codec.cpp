// PNG through libpng's simplified interface, in 8-bit B, G, R, A.
#include <png.h>

#include <cstring>

#include "image_io.h"

namespace qelo::gdiplus::detail {
namespace {

png_image BgraImage(int width, int height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.format = PNG_FORMAT_BGRA;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  return image;
}

}  // namespace

Status DecodePng(const std::vector<uint8_t>& file, DecodedImage* out) {
  png_image image = BgraImage(0, 0);
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return Status::UnknownImageFormat;
  if (!SizeAllowed(image.width, image.height)) {
    png_image_free(&image);
    return Status::OutOfMemory;
  }
  image.format = PNG_FORMAT_BGRA;
  const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
  std::vector<uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 4 * width, nullptr)) {
    png_image_free(&image);
    return Status::UnknownImageFormat;
  }
  *out = {width, height, std::move(pixels)};
  return Status::Ok;
}

bool EncodePng(const PixelView& view, std::FILE* out) {
  png_image image = BgraImage(view.width, view.height);
  const bool written = png_image_write_to_stdio(&image, out, 0, view.pixels, view.stride, nullptr) != 0;
  png_image_free(&image);
  return written;
}

}  // namespace qelo::gdiplus::detail
