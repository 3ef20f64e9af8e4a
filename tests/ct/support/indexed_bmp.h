// A BMP file of 8 bits a pixel with a colour table, for the tests of the
// controls that take the palette of their pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "vcl/colors.h"

namespace qelo::ct::test {

// `width` x `height` pixels of colour index 0, with `colours` (RGB
// TColors) as the table.
inline std::vector<uint8_t> IndexedBmp(int width, int height, const std::vector<vcl::TColor>& colours) {
  const size_t stride = (static_cast<size_t>(width) + 3) / 4 * 4;
  const size_t offset = 14 + 40 + colours.size() * 4;
  std::vector<uint8_t> file(offset + stride * static_cast<size_t>(height), 0);
  auto put = [&](size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  put(0, 0x4D42, 2);
  put(2, static_cast<uint32_t>(file.size()), 4);
  put(10, static_cast<uint32_t>(offset), 4);
  put(14, 40, 4);
  put(18, static_cast<uint32_t>(width), 4);
  put(22, static_cast<uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, 8, 2);
  put(46, static_cast<uint32_t>(colours.size()), 4);
  for (size_t i = 0; i < colours.size(); ++i) {
    const vcl::TColor c = colours[i];  // 0x00BBGGRR; the table holds B, G, R, 0
    put(54 + i * 4, ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF), 4);
  }
  return file;
}

}  // namespace qelo::ct::test
