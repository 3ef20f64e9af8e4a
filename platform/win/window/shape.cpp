// The region is filled into a picture of the window's size, so the mask
// covers exactly the pixels that painting inside the region reaches.
#include "win/window/shape.h"

#include <cstring>

namespace qelo::win {

std::vector<uint8_t> RegionToMask(HRGN region, int width, int height) {
  if (width < 1 || height < 1) return {};
  std::vector<uint8_t> mask(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF);
  if (region == nullptr) return mask;
  HBITMAP picture = CreateBitmap(width, height, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, picture);
  const RECT whole{0, 0, width, height};
  FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  FillRgn(dc, region, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SelectObject(dc, old);
  DeleteDC(dc);
  BITMAP bits;
  GetObject(picture, sizeof bits, &bits);
  const auto* rows = static_cast<const uint8_t*>(bits.bmBits);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = rows + static_cast<size_t>(y) * static_cast<size_t>(bits.bmWidthBytes);
    for (int x = 0; x < width; ++x) {
      uint32_t pixel;
      std::memcpy(&pixel, row + 4 * x, sizeof pixel);
      mask[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
          (pixel & 0x00FFFFFF) != 0 ? 0xFF : 0x00;
    }
  }
  DeleteObject(picture);
  return mask;
}

}  // namespace qelo::win
