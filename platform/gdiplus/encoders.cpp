#include "gdiplus/encoders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "image_io.h"

namespace qelo::gdiplus {
namespace {

constexpr ImageCodecInfo kEncoders[] = {
    {{1}, "JPEG", "image/jpeg", "*.jpg;*.jpeg"},
    {{2}, "PNG", "image/png", "*.png"},
};
using EncodeFunction = bool (*)(const detail::PixelView&, std::FILE*);
constexpr EncodeFunction kEncodeFunctions[] = {detail::EncodeJpeg, detail::EncodePng};
static_assert(std::size(kEncoders) == std::size(kEncodeFunctions));

EncodeFunction FunctionFor(EncoderId id) {
  for (std::size_t i = 0; i < std::size(kEncoders); ++i) {
    if (kEncoders[i].id == id) return kEncodeFunctions[i];
  }
  return nullptr;
}

// Encodes into the open temporary file and closes it; false on any failure.
bool WriteAndClose(int fd, EncodeFunction encode, const detail::PixelView& view) {
  std::FILE* out = fdopen(fd, "wb");
  if (!out) {
    close(fd);
    return false;
  }
  const bool encoded = encode(view, out) && std::fflush(out) == 0 && fchmod(fd, 0644) == 0;
  return std::fclose(out) == 0 && encoded;
}

}  // namespace

std::span<const ImageCodecInfo> GetImageEncoders() { return kEncoders; }

const ImageCodecInfo* FindEncoder(std::string_view mimeType) {
  for (const ImageCodecInfo& info : kEncoders) {
    if (mimeType == info.mimeType) return &info;
  }
  return nullptr;
}

namespace detail {

Status SaveImageFile(const std::string& path, EncoderId encoder, const PixelView& view) {
  const EncodeFunction encode = FunctionFor(encoder);
  if (!encode) return Status::InvalidParameter;
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return Status::WriteFailed;
  if (!WriteAndClose(fd, encode, view) || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return Status::WriteFailed;
  }
  return Status::Ok;
}

}  // namespace detail
}  // namespace qelo::gdiplus
