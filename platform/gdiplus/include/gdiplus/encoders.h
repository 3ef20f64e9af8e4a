// The image encoders that Bitmap::Save writes with, found by MIME type.
#pragma once

#include <span>
#include <string_view>

#include "gdiplus/bitmap.h"

namespace qelo::gdiplus {

struct ImageCodecInfo {
  EncoderId id;
  const char* formatDescription;
  const char* mimeType;           // "image/jpeg", "image/png"
  const char* filenameExtension;
};

std::span<const ImageCodecInfo> GetImageEncoders();

// The first encoder whose MIME type is exactly `mimeType`; null when none.
const ImageCodecInfo* FindEncoder(std::string_view mimeType);

}  // namespace qelo::gdiplus
