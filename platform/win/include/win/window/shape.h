// How a window's region becomes the shape of a real window on the screen.
#pragma once

#include <cstdint>
#include <vector>

#include "win/gdi/gdi.h"

namespace qelo::win {

// One byte a pixel, rows top to bottom: 0xFF where the region (in window
// coordinates) covers the pixel, as it clips painting, and 0 elsewhere.
// Without a region every pixel is covered. Empty for a size below 1.
std::vector<uint8_t> RegionToMask(HRGN region, int width, int height);

}  // namespace qelo::win
