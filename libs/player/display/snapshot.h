// Saving the shown frame as a JPEG file.
#pragma once

#include <string>

#include "gdiplus/bitmap.h"
#include "gdiplus/encoders.h"

namespace qelo::player {

// The first encoder whose MIME type is exactly "image/jpeg"; null when none.
const gdiplus::ImageCodecInfo* FindJpegEncoder();
// Writes `frame` to `path` (UTF-8). False, writing nothing, without a
// bitmap, a path or an encoder, or when the file could not be written.
bool SaveSnapshot(const gdiplus::Bitmap* frame, const std::string& path);

}  // namespace qelo::player
