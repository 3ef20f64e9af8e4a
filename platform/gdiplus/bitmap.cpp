#include "gdiplus/bitmap.h"

#include "image_io.h"
#include "pixels.h"

namespace qelo::gdiplus {
namespace {

bool ValidRect(const Rect& r, int width, int height) {
  return r.X >= 0 && r.Y >= 0 && r.Width > 0 && r.Height > 0 && r.Width <= width - r.X && r.Height <= height - r.Y;
}

}  // namespace

Bitmap::Bitmap(int width, int height, int stride, PixelFormat, uint8_t* scan0) {
  if (!detail::ValidSurface(scan0, width, height, stride)) {
    status_ = Status::InvalidParameter;
    return;
  }
  width_ = width;
  height_ = height;
  stride_ = stride;
  scan0_ = scan0;
}

Bitmap::Bitmap(int width, int height, PixelFormat) {
  if (width <= 0 || height <= 0 || !detail::SizeAllowed(width, height)) {
    status_ = Status::InvalidParameter;
    return;
  }
  status_ = Adopt(width, height, std::vector<uint8_t>(static_cast<std::size_t>(width) * height * 4, 0));
}

Bitmap::Bitmap(const std::string& path) {
  detail::DecodedImage image;
  status_ = detail::LoadImageFile(path, &image);
  if (status_ == Status::Ok) status_ = Adopt(image.width, image.height, std::move(image.pixels));
}

Status Bitmap::Adopt(int width, int height, std::vector<uint8_t> pixels) {
  owned_ = std::move(pixels);
  width_ = width;
  height_ = height;
  stride_ = 4 * width;
  scan0_ = owned_.data();
  return Status::Ok;
}

Status Bitmap::LockBits(const Rect* rect, unsigned mode, PixelFormat format, BitmapData* data) {
  const Rect whole{0, 0, width_, height_};
  const Rect area = rect ? *rect : whole;
  if (status_ != Status::Ok || !data || format != PixelFormat::Argb32 ||
      (mode & (ImageLockModeRead | ImageLockModeWrite)) == 0 || !ValidRect(area, width_, height_)) {
    return Status::InvalidParameter;
  }
  if (locked_) return Status::WrongState;
  locked_ = true;
  *data = {area.Width, area.Height, stride_, format,
           scan0_ + static_cast<std::ptrdiff_t>(area.Y) * stride_ + static_cast<std::ptrdiff_t>(area.X) * 4};
  return Status::Ok;
}

Status Bitmap::UnlockBits(BitmapData* data) {
  if (!data) return Status::InvalidParameter;
  if (!locked_) return Status::WrongState;
  locked_ = false;
  return Status::Ok;
}

Status Bitmap::Save(const std::string& path, EncoderId encoder) const {
  if (status_ != Status::Ok || path.empty()) return Status::InvalidParameter;
  if (locked_) return Status::WrongState;
  return detail::SaveImageFile(path, encoder, {scan0_, width_, height_, stride_});
}

}  // namespace qelo::gdiplus
