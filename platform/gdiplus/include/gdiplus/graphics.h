// Drawing on a bitmap or on a plain 32-bit pixel surface (bytes B, G, R, A,
// not premultiplied) with the default settings: no anti-aliasing of shapes,
// bilinear image scaling, source-over compositing. Pixels a drawing does not
// touch stay bit-identical.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "gdiplus/bitmap.h"
#include "gdiplus/brush.h"
#include "gdiplus/font.h"
#include "gdiplus/region.h"
#include "gdiplus/types.h"

namespace qelo::gdiplus {

class Graphics {
 public:
  explicit Graphics(Bitmap* bitmap);
  // A surface the caller owns, such as a device context's memory; `stride`
  // as for Bitmap.
  Graphics(uint8_t* pixels, int width, int height, int stride);

  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  Status GetLastStatus() const { return status_; }

  // Sets every pixel inside the clip to exactly `color`.
  Status Clear(Color color);

  Status FillRectangle(const SolidBrush& brush, const RectF& rect);
  Status FillRegion(const SolidBrush& brush, const Region& region);
  // Outlines pixels X to X + Width and Y to Y + Height, as the pen's centre
  // line runs through the pixel centres.
  Status DrawRectangle(const Pen& pen, const RectF& rect);

  // The whole image at its own size; at whole-pixel positions an exact copy
  // (blended by the image's alpha).
  Status DrawImage(const Bitmap& image, float x, float y);
  // The whole image, or `source` of it, scaled into `dest`. Bilinear; no
  // colour from outside the source rectangle bleeds in. A same-size draw at
  // whole-pixel positions is an exact copy.
  Status DrawImage(const Bitmap& image, const RectF& dest);
  // `source` is in the image's pixels and lies within it.
  Status DrawImage(const Bitmap& image, const RectF& dest, const RectF& source);

  // UTF-8 text; line breaks start new lines; `origin` is the top-left corner
  // of the first line. No wrapping.
  Status DrawString(std::string_view text, const Font& font, PointF origin, const SolidBrush& brush);
  Status MeasureString(std::string_view text, const Font& font, PointF origin, RectF* bounds);

  // Drawing is limited to the clip; Replace sets it, the other modes combine.
  Status SetClip(const Region& region, CombineMode mode = CombineMode::Replace);
  void ResetClip();

  struct Surface {
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
  };

 private:
  Status Ready() const;
  Status Done(Status status);
  const Region* Clip() const;
  Status DrawExact(const Bitmap& image, const RectF& dest, const RectF& source);
  Status DrawScaled(const Bitmap& image, const RectF& dest, const RectF& source);

  bool valid_ = false;
  Bitmap* bitmap_ = nullptr;
  Surface surface_;
  std::optional<Region> clip_;
  Status status_ = Status::Ok;
};

}  // namespace qelo::gdiplus
