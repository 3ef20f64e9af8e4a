// Loading image files: the kind is told by the first bytes, not the name.
#include <cstring>
#include <fstream>
#include <iterator>

#include "image_io.h"

namespace qelo::gdiplus::detail {
namespace {

constexpr std::size_t kMaxFileBytes = std::size_t{512} << 20;

bool StartsWith(const std::vector<uint8_t>& file, std::initializer_list<uint8_t> signature) {
  return file.size() >= signature.size() && std::equal(signature.begin(), signature.end(), file.begin());
}

Status ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return Status::FileNotFound;
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::size_t>(size) > kMaxFileBytes) return Status::UnknownImageFormat;
  bytes->resize(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes->data()), size)) return Status::FileNotFound;
  return Status::Ok;
}

}  // namespace

bool SizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

Status LoadImageFile(const std::string& path, DecodedImage* image) {
  if (path.empty()) return Status::InvalidParameter;
  std::vector<uint8_t> file;
  if (Status status = ReadWholeFile(path, &file); status != Status::Ok) return status;
  if (StartsWith(file, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) return DecodePng(file, image);
  if (StartsWith(file, {0xFF, 0xD8, 0xFF})) return DecodeJpeg(file, image);
  if (StartsWith(file, {'B', 'M'})) return DecodeBmp(file, image);
  return Status::UnknownImageFormat;
}

}  // namespace qelo::gdiplus::detail
