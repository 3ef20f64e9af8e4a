// The pictures the player window shows while no file is open, carried by the
// library as bitmap resources.
#pragma once

#include <memory>

#include "gdiplus/bitmap.h"

namespace qelo::player {

constexpr int kIdlePictureTwoPane = 101;  // 782 x 282
constexpr int kIdlePictureOnePane = 102;  // 352 x 225

// Null when the resource is missing or cannot be decoded.
std::unique_ptr<gdiplus::Bitmap> LoadIdlePicture(int id);

}  // namespace qelo::player
