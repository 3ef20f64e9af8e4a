// Bitmaps: creation, DIB sections, BMP and PNG loading, PNG writing.
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "gdi/objects.h"

namespace qelo::win {
namespace {

constexpr int kMaxSide = 32767;  // the rasteriser's limit

bool SizeOk(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

HBITMAP NewBitmap(int width, int height, bool mono, Pixel fill) {
  auto* bitmap = new BitmapObject(width, height, mono);
  if (cairo_surface_status(bitmap->surface) != CAIRO_STATUS_SUCCESS) {
    delete bitmap;
    return nullptr;
  }
  for (int y = 0; y < height; ++y) std::fill_n(bitmap->Row(y), width, fill);
  RegisterObject(bitmap);
  return bitmap;
}

void CopyMonoBits(BitmapObject& bitmap, const uint8_t* bits) {
  const int stride = ((bitmap.width + 15) / 16) * 2;
  for (int y = 0; y < bitmap.height; ++y) {
    const uint8_t* row = bits + static_cast<ptrdiff_t>(y) * stride;
    for (int x = 0; x < bitmap.width; ++x) {
      const bool white = (row[x / 8] >> (7 - x % 8)) & 1;
      bitmap.Row(y)[x] = white ? kWhitePixel : kBlackPixel;
    }
  }
}

}  // namespace

HBITMAP CreateBitmap(int width, int height, unsigned planes, unsigned bitsPerPixel,
                     const void* bits) {
  if (!SizeOk(width, height) || planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32)) {
    return nullptr;
  }
  HBITMAP bitmap = NewBitmap(width, height, bitsPerPixel == 1, kBlackPixel);
  if (bitmap == nullptr || bits == nullptr) return bitmap;
  if (bitsPerPixel == 1) {
    CopyMonoBits(*bitmap, static_cast<const uint8_t*>(bits));
  } else {
    for (int y = 0; y < height; ++y) {
      std::memcpy(bitmap->Row(y), static_cast<const uint8_t*>(bits) + static_cast<ptrdiff_t>(y) * width * 4,
                  static_cast<size_t>(width) * 4);
    }
  }
  return bitmap;
}

HBITMAP CreateCompatibleBitmap(HDC handle, int width, int height) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || !SizeOk(width, height)) return nullptr;
  return NewBitmap(width, height, dc->bitmap->mono, kBlackPixel);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFOHEADER* info, unsigned usage, void** bits) {
  if (info == nullptr || usage != DIB_RGB_COLORS || info->biBitCount != 32 ||
      info->biCompression != BI_RGB || info->biPlanes != 1 || info->biHeight >= 0 ||
      !SizeOk(info->biWidth, -info->biHeight)) {
    return nullptr;
  }
  HBITMAP bitmap = NewBitmap(info->biWidth, -info->biHeight, false, 0);
  if (bitmap && bits) *bits = cairo_image_surface_get_data(bitmap->surface);
  return bitmap;
}

HBITMAP CreateBitmapOverBits(int width, int height, void* bits) {
  if (bits == nullptr || !SizeOk(width, height)) return nullptr;
  auto* bitmap = new BitmapObject(width, height, static_cast<uint8_t*>(bits));
  if (cairo_surface_status(bitmap->surface) != CAIRO_STATUS_SUCCESS) {
    delete bitmap;
    return nullptr;
  }
  RegisterObject(bitmap);
  return bitmap;
}

// ---- loading -------------------------------------------------------------

namespace {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }
  uint32_t U32(size_t o) const { return U16(o) | (static_cast<uint32_t>(U16(o + 2)) << 16); }
  uint16_t U16(size_t o) const { return static_cast<uint16_t>(data_[o] | (data_[o + 1] << 8)); }
  const uint8_t* At(size_t o) const { return data_ + o; }

 private:
  const uint8_t* data_;
  size_t size_;
};

struct BmpLayout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bpp = 0;
  size_t pixels = 0;
  size_t stride = 0;
  std::vector<Pixel> palette;
};

bool ReadBmpHeader(const Reader& in, BmpLayout& bmp) {
  if (!in.Has(0, 18) || in.U16(0) != 0x4D42) return false;
  const uint32_t infoSize = in.U32(14);
  if (!in.Has(14, infoSize)) return false;
  size_t paletteEntry = 4;
  uint32_t colours = 0;
  if (infoSize == 12) {
    bmp.width = in.U16(18);
    bmp.height = in.U16(20);
    bmp.bpp = in.U16(24);
    paletteEntry = 3;
  } else if (infoSize >= 40) {
    bmp.width = static_cast<int32_t>(in.U32(18));
    const int32_t h = static_cast<int32_t>(in.U32(22));
    bmp.topDown = h < 0;
    bmp.height = h == INT32_MIN ? 0 : (h < 0 ? -h : h);
    bmp.bpp = in.U16(28);
    if (in.U32(30) != BI_RGB) return false;
    colours = in.U32(46);
  } else {
    return false;
  }
  if (!SizeOk(bmp.width, bmp.height)) return false;
  if (bmp.bpp != 1 && bmp.bpp != 4 && bmp.bpp != 8 && bmp.bpp != 24 && bmp.bpp != 32) return false;
  if (bmp.bpp <= 8) {
    const uint32_t count = colours ? std::min<uint32_t>(colours, 1u << bmp.bpp) : (1u << bmp.bpp);
    const size_t at = 14 + infoSize;
    if (!in.Has(at, count * paletteEntry)) return false;
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* e = in.At(at + i * paletteEntry);
      bmp.palette.push_back(0xFF000000u | (e[2] << 16) | (e[1] << 8) | e[0]);
    }
  }
  bmp.pixels = in.U32(10);
  bmp.stride = ((static_cast<size_t>(bmp.width) * bmp.bpp + 31) / 32) * 4;
  return in.Has(bmp.pixels, bmp.stride * bmp.height);
}

Pixel BmpPixel(const BmpLayout& bmp, const uint8_t* row, int x) {
  switch (bmp.bpp) {
    case 32:
    case 24: {
      const uint8_t* p = row + static_cast<ptrdiff_t>(x) * (bmp.bpp / 8);
      return 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
    }
    default: {
      const int perByte = 8 / bmp.bpp;
      const int shift = (perByte - 1 - x % perByte) * bmp.bpp;
      const size_t index = (row[x / perByte] >> shift) & ((1 << bmp.bpp) - 1);
      return index < bmp.palette.size() ? bmp.palette[index] : kBlackPixel;
    }
  }
}

HBITMAP LoadBmp(const uint8_t* data, size_t size) {
  const Reader in(data, size);
  BmpLayout bmp;
  if (!ReadBmpHeader(in, bmp)) return nullptr;
  HBITMAP bitmap = NewBitmap(bmp.width, bmp.height, false, kBlackPixel);
  if (bitmap == nullptr) return nullptr;
  bitmap->colorTable = bmp.palette;
  for (int y = 0; y < bmp.height; ++y) {
    const int fileRow = bmp.topDown ? y : bmp.height - 1 - y;
    const uint8_t* row = in.At(bmp.pixels + bmp.stride * fileRow);
    Pixel* out = bitmap->Row(y);
    for (int x = 0; x < bmp.width; ++x) out[x] = BmpPixel(bmp, row, x);
  }
  return bitmap;
}

struct PngStream {
  const uint8_t* data;
  size_t size;
  size_t offset = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* out, unsigned int length) {
  auto* stream = static_cast<PngStream*>(closure);
  if (length > stream->size - stream->offset) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, stream->data + stream->offset, length);
  stream->offset += length;
  return CAIRO_STATUS_SUCCESS;
}

HBITMAP LoadPng(const uint8_t* data, size_t size) {
  PngStream stream{data, size};
  cairo_surface_t* png = cairo_image_surface_create_from_png_stream(ReadPng, &stream);
  HBITMAP bitmap = nullptr;
  if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
    const int w = cairo_image_surface_get_width(png);
    const int h = cairo_image_surface_get_height(png);
    const bool opaque = cairo_image_surface_get_format(png) != CAIRO_FORMAT_ARGB32;
    bitmap = SizeOk(w, h) ? NewBitmap(w, h, false, kBlackPixel) : nullptr;
    for (int y = 0; bitmap && y < h; ++y) {
      const auto* row = reinterpret_cast<const Pixel*>(cairo_image_surface_get_data(png) +
                                                       static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(png));
      for (int x = 0; x < w; ++x) bitmap->Row(y)[x] = opaque ? (row[x] | 0xFF000000u) : row[x];
    }
  }
  cairo_surface_destroy(png);
  return bitmap;
}

}  // namespace

HBITMAP LoadBitmapFromMemory(const void* data, size_t size) {
  if (data == nullptr) return nullptr;
  const auto* bytes = static_cast<const uint8_t*>(data);
  static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size >= 8 && std::memcmp(bytes, kPngSignature, 8) == 0) return LoadPng(bytes, size);
  return LoadBmp(bytes, size);
}

HBITMAP LoadBitmapFromFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return nullptr;
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return LoadBitmapFromMemory(bytes.data(), bytes.size());
}

// ---- writing -------------------------------------------------------------

namespace {

BOOL SavePixels(const BitmapObject& bitmap, const RECT& part, const std::string& path) {
  if (IsRectEmpty(&part)) return 0;
  const int stride = cairo_image_surface_get_stride(bitmap.surface);
  unsigned char* first = cairo_image_surface_get_data(bitmap.surface) +
                         static_cast<ptrdiff_t>(part.top) * stride + static_cast<ptrdiff_t>(part.left) * 4;
  // Seen as RGB24 the alpha bytes are ignored, as the screen ignores them.
  cairo_surface_t* view = cairo_image_surface_create_for_data(first, CAIRO_FORMAT_RGB24, part.right - part.left,
                                                              part.bottom - part.top, stride);
  const bool ok = cairo_surface_write_to_png(view, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(view);
  return ok ? 1 : 0;
}

}  // namespace

BOOL SaveBitmapToPng(HBITMAP handle, const std::string& path) {
  BitmapObject* bitmap = Live(handle);
  if (bitmap == nullptr) return 0;
  return SavePixels(*bitmap, {0, 0, bitmap->width, bitmap->height}, path);
}

BOOL SaveDCToPng(HDC handle, const std::string& path) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return 0;
  RECT part = dc->bounds;
  OffsetRect(&part, dc->areaOrigin.x, dc->areaOrigin.y);
  return SavePixels(*dc->bitmap, part, path);
}

}  // namespace qelo::win
