#include "snapshot.h"

namespace qelo::player {

const gdiplus::ImageCodecInfo* FindJpegEncoder() {
  for (const gdiplus::ImageCodecInfo& codec : gdiplus::GetImageEncoders()) {
    if (std::string_view(codec.mimeType) == "image/jpeg") return &codec;
  }
  return nullptr;
}

bool SaveSnapshot(const gdiplus::Bitmap* frame, const std::string& path) {
  if (frame == nullptr || path.empty()) return false;
  const gdiplus::ImageCodecInfo* jpeg = FindJpegEncoder();
  if (jpeg == nullptr) return false;
  return frame->Save(path, jpeg->id) == gdiplus::Status::Ok;
}

}  // namespace qelo::player
