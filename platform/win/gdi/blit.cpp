// Block transfers between contexts: raster operations, stretching and
// mirroring, colour <-> monochrome conversion, transparent and alpha blits.
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "gdi/raster.h"

namespace qelo::win {
namespace {

// Source pixels of a blit, already converted to the destination's kind.
class Source {
 public:
  Source(const DeviceContext& src, const DeviceContext& dest) : dc_(src) {
    if (src.bitmap->mono && !dest.bitmap->mono) {
      convert_ = Convert::MonoToColour;
      zero_ = ToPixel(dest.state.textColor);
      one_ = ToPixel(dest.state.bkColor);
    } else if (!src.bitmap->mono && dest.bitmap->mono) {
      convert_ = Convert::ColourToMono;
      key_ = ToPixel(src.state.bkColor) & 0xFFFFFF;
    }
    if (src.bitmap == dest.bitmap) {
      // Overlapping copies within one bitmap read from a snapshot.
      const size_t words = static_cast<size_t>(src.bitmap->width) * src.bitmap->height;
      snapshot_.resize(words);
      for (int y = 0; y < src.bitmap->height; ++y) {
        std::copy_n(src.bitmap->Row(y), src.bitmap->width, snapshot_.begin() + static_cast<ptrdiff_t>(y) * src.bitmap->width);
      }
    }
  }

  struct Sample {
    Pixel stored;     // as the source bitmap holds it
    Pixel converted;  // in the destination's kind
  };

  // x, y in the source's device units; nullopt outside its drawable part.
  std::optional<Sample> At(int x, int y) const {
    const RECT& b = dc_.bounds;
    if (x < b.left || x >= b.right || y < b.top || y >= b.bottom) return std::nullopt;
    const int bx = x + dc_.areaOrigin.x;
    const int by = y + dc_.areaOrigin.y;
    const Pixel raw = snapshot_.empty()
                          ? dc_.bitmap->Row(by)[bx]
                          : snapshot_[static_cast<size_t>(by) * dc_.bitmap->width + bx];
    switch (convert_) {
      case Convert::MonoToColour: return Sample{raw, (raw & 0xFFFFFF) ? one_ : zero_};
      case Convert::ColourToMono:
        return Sample{raw, (raw & 0xFFFFFF) == key_ ? kWhitePixel : kBlackPixel};
      case Convert::None: break;
    }
    return Sample{raw, raw};
  }

  bool Converts() const { return convert_ != Convert::None; }

  // Copies source pixels sx .. sx + count - 1 of row sy to out; pixels
  // beyond the source's drawable part are left alone.
  void CopyRun(int sx, int sy, int count, Pixel* out) const {
    const RECT& b = dc_.bounds;
    if (sy < b.top || sy >= b.bottom) return;
    const int from = std::max(sx, static_cast<int>(b.left));
    const int to = std::min(sx + count, static_cast<int>(b.right));
    if (from >= to) return;
    const int by = sy + dc_.areaOrigin.y;
    const Pixel* row = snapshot_.empty() ? dc_.bitmap->Row(by)
                                         : &snapshot_[static_cast<size_t>(by) * dc_.bitmap->width];
    std::copy(row + from + dc_.areaOrigin.x, row + to + dc_.areaOrigin.x, out + (from - sx));
  }

 private:
  enum class Convert { None, MonoToColour, ColourToMono };
  const DeviceContext& dc_;
  Convert convert_ = Convert::None;
  Pixel zero_ = 0;
  Pixel one_ = 0;
  Pixel key_ = 0;
  std::vector<Pixel> snapshot_;
};

// One axis of a stretch: destination pixels mapped to the nearest source
// pixel. A negative extent runs from its coordinate backwards, that pixel
// included (x + extent + 1 .. x); opposite signs on the two sides mirror.
struct Axis {
  int start;
  int length;
  int srcStart;
  int srcLength;
  bool mirror;

  static int First(int at, int extent) { return extent < 0 ? Coordinate(int64_t{at} + extent + 1) : at; }

  Axis(int dest, int extent, int src, int srcExtent)
      : start(First(dest, extent)),
        length(Coordinate(std::abs(int64_t{extent}))),
        srcStart(First(src, srcExtent)),
        srcLength(Coordinate(std::abs(int64_t{srcExtent}))),
        mirror((extent < 0) != (srcExtent < 0)) {}

  int SourceOf(int d) const {
    const int i = d - start;
    const int k = mirror ? length - 1 - i : i;
    return srcStart + static_cast<int>((2LL * k + 1) * srcLength / (2LL * length));
  }
};

// Walks the visible destination pixels of a blit. Logical units in; the
// op, op(Pixel& dest, const Source::Sample* src, int x, int y), sees device
// coordinates of the destination.
template <typename PixelOp>
BOOL ForEachBlitPixel(DeviceContext& dest, int x, int y, int width, int height,
                      const DeviceContext* src, int srcX, int srcY, int srcWidth, int srcHeight,
                      const PixelOp& op) {
  const POINT d = ToDevice(dest, x, y);
  std::optional<Source> source;
  POINT s{};
  if (src) {
    source.emplace(*src, dest);
    s = ToDevice(*src, srcX, srcY);
  }
  const Axis ax(d.x, width, s.x, srcWidth);
  const Axis ay(d.y, height, s.y, srcHeight);
  if (ax.length == 0 || ay.length == 0) return 1;
  // Source columns of the destination columns that can be drawn.
  RECT box{ax.start, ay.start, Coordinate(int64_t{ax.start} + ax.length), Coordinate(int64_t{ay.start} + ay.length)};
  if (!IntersectRect(&box, &box, &dest.bounds)) return 1;
  std::vector<int> sourceColumn(box.right - box.left);
  for (int i = 0; i < box.right - box.left; ++i) sourceColumn[i] = ax.SourceOf(box.left + i);
  const Target target(dest);
  target.ForEachSpan(box,
                     [&](int row, int x0, int x1) {
                       Pixel* pixels = target.Row(row);
                       const int sy = ay.SourceOf(row);
                       for (int col = x0; col < x1; ++col) {
                         if (!source) {
                           op(pixels[col], nullptr, col, row);
                           continue;
                         }
                         const auto sample = source->At(sourceColumn[col - box.left], sy);
                         if (sample) op(pixels[col], &*sample, col, row);
                       }
                     });
  return 1;
}

// An unscaled copy between bitmaps of the same kind, a row at a time.
bool TryPlainCopy(DeviceContext& dest, int x, int y, int width, int height, const DeviceContext& src,
                  int srcX, int srcY) {
  const Source source(src, dest);
  if (source.Converts()) return false;
  const POINT d = ToDevice(dest, x, y);
  const POINT s = ToDevice(src, srcX, srcY);
  const Target target(dest);
  const RECT box{d.x, d.y, Coordinate(int64_t{d.x} + width), Coordinate(int64_t{d.y} + height)};
  target.ForEachSpan(box, [&](int row, int x0, int x1) {
    source.CopyRun(s.x + (x0 - d.x), s.y + (row - d.y), x1 - x0, target.Row(row) + x0);
  });
  return true;
}

BOOL RopBlit(HDC destHandle, int x, int y, int width, int height, HDC srcHandle, int srcX, int srcY,
             int srcWidth, int srcHeight, uint32_t rop) {
  DeviceContext* dest = Live(destHandle);
  if (dest == nullptr) return 0;
  const uint8_t table = Rop3Table(rop);
  DeviceContext* src = nullptr;
  if (RopUsesSource(table)) {
    src = Live(srcHandle);
    if (src == nullptr) return 0;
  }
  const bool unscaled = width == srcWidth && height == srcHeight && width >= 0 && height >= 0;
  if (table == 0xCC && unscaled && TryPlainCopy(*dest, x, y, width, height, *src, srcX, srcY)) return 1;
  const Ink pattern = Ink::FromBrush(*dest, Live(dest->state.brush));
  if (RopUsesPattern(table) && pattern.Empty()) return 1;
  return ForEachBlitPixel(*dest, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight,
                          [&](Pixel& d, const Source::Sample* s, int px, int py) {
                            if (table == 0xCC) {
                              d = s->converted;
                              return;
                            }
                            const Pixel p = pattern.Empty() ? 0 : pattern.At(px, py);
                            d = ApplyRop3(table, p, s ? s->converted : 0, d);
                          });
}

}  // namespace

BOOL PatBlt(HDC dc, int x, int y, int width, int height, uint32_t rop) {
  if (RopUsesSource(Rop3Table(rop))) return 0;
  return RopBlit(dc, x, y, width, height, nullptr, 0, 0, width, height, rop);
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            uint32_t rop) {
  if (width < 0 || height < 0) return 0;
  return RopBlit(dest, x, y, width, height, src, srcX, srcY, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, uint32_t rop) {
  if (RopUsesSource(Rop3Table(rop)) && (srcWidth == 0 || srcHeight == 0)) return 0;
  return RopBlit(dest, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop);
}

BOOL TransparentBlt(HDC destHandle, int x, int y, int width, int height, HDC srcHandle, int srcX,
                    int srcY, int srcWidth, int srcHeight, COLORREF transparent) {
  DeviceContext* dest = Live(destHandle);
  DeviceContext* src = Live(srcHandle);
  if (dest == nullptr || src == nullptr || width < 0 || height < 0 || srcWidth <= 0 ||
      srcHeight <= 0) {
    return 0;
  }
  // The key is compared with the source as stored, before any conversion.
  const Pixel key = DevicePixel(*src, transparent) & 0xFFFFFF;
  return ForEachBlitPixel(*dest, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight,
                          [&](Pixel& out, const Source::Sample* s, int, int) {
                            if ((s->stored & 0xFFFFFF) != key) out = s->converted | 0xFF000000u;
                          });
}

BOOL AlphaBlend(HDC destHandle, int x, int y, int width, int height, HDC srcHandle, int srcX,
                int srcY, int srcWidth, int srcHeight, BLENDFUNCTION blend) {
  DeviceContext* dest = Live(destHandle);
  DeviceContext* src = Live(srcHandle);
  if (dest == nullptr || src == nullptr || blend.BlendOp != AC_SRC_OVER || width < 0 ||
      height < 0 || srcWidth <= 0 || srcHeight <= 0) {
    return 0;
  }
  const int constant = blend.SourceConstantAlpha;
  const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  return ForEachBlitPixel(*dest, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight,
                          [&](Pixel& d, const Source::Sample* sample, int, int) {
                            const Pixel s = sample->converted;
                            const int sourceAlpha = perPixel ? static_cast<int>(s >> 24) : 255;
                            const int alpha = sourceAlpha * constant / 255;
                            Pixel out = 0;
                            for (int shift = 0; shift < 32; shift += 8) {
                              const int sc = shift == 24 ? sourceAlpha : (s >> shift) & 0xFF;
                              const int dc = (d >> shift) & 0xFF;
                              const int v = (sc * constant + dc * (255 - alpha) + 127) / 255;
                              out |= static_cast<Pixel>(std::min(v, 255)) << shift;
                            }
                            d = out;
                          });
}

}  // namespace qelo::win
