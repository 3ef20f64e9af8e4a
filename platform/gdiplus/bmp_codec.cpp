// Uncompressed BMP files: 1, 4 and 8 bits with a palette; 16, 24 and 32 bits
// with the standard layouts or bit-field masks. Every size and offset is
// checked against the file before it is read.
#include <array>
#include <bit>
#include <cstring>

#include "image_io.h"

namespace qelo::gdiplus::detail {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
enum : uint32_t { kRgb = 0, kBitFields = 3, kAlphaBitFields = 6 };

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool Has(std::size_t offset, std::size_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  uint32_t U8(std::size_t at) const { return bytes_[at]; }
  uint32_t U16(std::size_t at) const { return U8(at) | U8(at + 1) << 8; }
  uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }
  const uint8_t* At(std::size_t at) const { return bytes_.data() + at; }

 private:
  const std::vector<uint8_t>& bytes_;
};

struct Masks {
  std::array<uint32_t, 4> channel{};  // red, green, blue, alpha; alpha 0 means opaque
};

struct Layout {
  int64_t width = 0;
  int64_t height = 0;  // negative: rows run top-down
  uint32_t bitsPerPixel = 0;
  uint32_t compression = kRgb;
  Masks masks;
  std::vector<uint32_t> palette;  // opaque ARGB
  std::size_t pixelOffset = 0;
};

// Reads a channel value under `mask` scaled to 0..255.
uint32_t Extract(uint32_t value, uint32_t mask) {
  if (mask == 0) return 255;
  const int shift = std::countr_zero(mask);
  const uint32_t max = mask >> shift;
  return static_cast<uint32_t>((uint64_t{(value & mask) >> shift} * 255 + max / 2) / max);
}

Masks DefaultMasks(uint32_t bitsPerPixel) {
  if (bitsPerPixel == 16) return {{0x7C00, 0x03E0, 0x001F, 0}};
  return {{0xFF0000, 0x00FF00, 0x0000FF, 0}};
}

bool ReadHeader(const Reader& in, Layout* layout, std::size_t* afterHeader, std::size_t* paletteEntryBytes) {
  if (!in.Has(0, kFileHeaderBytes + 4)) return false;
  const uint32_t headerBytes = in.U32(kFileHeaderBytes);
  const std::size_t h = kFileHeaderBytes + 4;
  layout->pixelOffset = in.U32(10);
  if (headerBytes == kCoreHeaderBytes) {
    if (!in.Has(h, 8)) return false;
    layout->width = in.U16(h);
    layout->height = in.U16(h + 2);
    layout->bitsPerPixel = in.U16(h + 6);
    *paletteEntryBytes = 3;
  } else if (headerBytes >= kInfoHeaderBytes) {
    if (!in.Has(kFileHeaderBytes, headerBytes)) return false;
    layout->width = static_cast<int32_t>(in.U32(h));
    layout->height = static_cast<int32_t>(in.U32(h + 4));
    layout->bitsPerPixel = in.U16(h + 10);
    layout->compression = in.U32(h + 12);
    *paletteEntryBytes = 4;
  } else {
    return false;
  }
  *afterHeader = kFileHeaderBytes + headerBytes;
  return true;
}

// Bit-field masks sit inside larger headers, or follow a 40-byte header.
bool ReadMasks(const Reader& in, Layout* layout, std::size_t* afterHeader) {
  layout->masks = DefaultMasks(layout->bitsPerPixel);
  if (layout->compression == kRgb) return true;
  if (layout->compression != kBitFields && layout->compression != kAlphaBitFields) return false;
  if (layout->bitsPerPixel != 16 && layout->bitsPerPixel != 32) return false;
  const uint32_t headerBytes = in.U32(kFileHeaderBytes);
  const std::size_t maskAt = kFileHeaderBytes + kInfoHeaderBytes;
  const std::size_t count = layout->compression == kAlphaBitFields || headerBytes >= 56 ? 4 : 3;
  if (!in.Has(maskAt, 4 * count)) return false;
  layout->masks = {};
  for (std::size_t i = 0; i < count; ++i) layout->masks.channel[i] = in.U32(maskAt + 4 * i);
  if (headerBytes == kInfoHeaderBytes) *afterHeader += 4 * count;
  return true;
}

bool ReadPalette(const Reader& in, Layout* layout, std::size_t at, std::size_t entryBytes) {
  if (layout->bitsPerPixel > 8) return true;
  const std::size_t most = std::size_t{1} << layout->bitsPerPixel;
  std::size_t count = most;
  if (entryBytes == 4) {
    const uint32_t used = in.U32(kFileHeaderBytes + 4 + 28);
    if (used != 0 && used < most) count = used;
  }
  if (!in.Has(at, count * entryBytes)) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t e = at + i * entryBytes;
    layout->palette.push_back(0xFF000000u | in.U8(e + 2) << 16 | in.U8(e + 1) << 8 | in.U8(e));
  }
  return true;
}

uint32_t PixelAt(const uint8_t* row, int64_t x, const Layout& layout) {
  const uint32_t bits = layout.bitsPerPixel;
  if (bits <= 8) {
    const int64_t bit = x * bits;
    const uint32_t index = row[bit / 8] >> (8 - bits - bit % 8) & ((1u << bits) - 1);
    return index < layout.palette.size() ? layout.palette[index] : 0xFF000000u;
  }
  const uint8_t* p = row + x * (bits / 8);
  uint32_t value = p[0] | p[1] << 8;
  if (bits >= 24) value |= uint32_t{p[2]} << 16;
  if (bits == 32) value |= uint32_t{p[3]} << 24;
  if (bits == 24) return 0xFF000000u | value;
  const auto& m = layout.masks.channel;
  return Extract(value, m[3]) << 24 | Extract(value, m[0]) << 16 | Extract(value, m[1]) << 8 | Extract(value, m[2]);
}

bool SupportedDepth(uint32_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

Status DecodeBmp(const std::vector<uint8_t>& file, DecodedImage* out) {
  const Reader in(file);
  Layout layout;
  std::size_t afterHeader = 0, paletteEntryBytes = 0;
  if (!ReadHeader(in, &layout, &afterHeader, &paletteEntryBytes) || !SupportedDepth(layout.bitsPerPixel) ||
      !ReadMasks(in, &layout, &afterHeader) || !ReadPalette(in, &layout, afterHeader, paletteEntryBytes)) {
    return Status::UnknownImageFormat;
  }
  const int64_t height = layout.height < 0 ? -layout.height : layout.height;
  if (!SizeAllowed(layout.width, height)) return Status::UnknownImageFormat;
  const std::size_t rowBytes = static_cast<std::size_t>((layout.width * layout.bitsPerPixel + 31) / 32 * 4);
  if (!in.Has(layout.pixelOffset, rowBytes * static_cast<std::size_t>(height))) return Status::UnknownImageFormat;

  const int width = static_cast<int>(layout.width);
  std::vector<uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
  for (int64_t y = 0; y < height; ++y) {
    const int64_t stored = layout.height < 0 ? y : height - 1 - y;
    const uint8_t* row = in.At(layout.pixelOffset + static_cast<std::size_t>(stored) * rowBytes);
    uint8_t* target = pixels.data() + static_cast<std::size_t>(y) * width * 4;
    for (int64_t x = 0; x < width; ++x) {
      const uint32_t argb = PixelAt(row, x, layout);
      std::memcpy(target + x * 4, &argb, 4);
    }
  }
  *out = {width, static_cast<int>(height), std::move(pixels)};
  return Status::Ok;
}

}  // namespace qelo::gdiplus::detail
