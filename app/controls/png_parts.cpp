#include "png_parts.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qelo::controls {

using vcl::TRect;

void DrawPngPart(vcl::TCanvas& canvas, vcl::TPngImage& picture, const TRect& source, const TRect& dest) {
  if (picture.Empty() || vcl::RectWidth(source) <= 0 || vcl::RectHeight(source) <= 0 ||
      vcl::RectWidth(dest) <= 0 || vcl::RectHeight(dest) <= 0)
    return;
  win::BLENDFUNCTION blend;
  blend.AlphaFormat = win::AC_SRC_ALPHA;
  win::AlphaBlend(canvas.Handle(), dest.left, dest.top, vcl::RectWidth(dest), vcl::RectHeight(dest),
                  picture.Canvas()->Handle(), source.left, source.top, vcl::RectWidth(source),
                  vcl::RectHeight(source), blend);
}

void DrawThreeSlices(vcl::TCanvas& canvas, vcl::TPngImage& picture, int left, int top, int right, int edge) {
  const int w = picture.Width(), h = picture.Height();
  const int e = std::min(edge, w / 2);
  DrawPngPart(canvas, picture, vcl::Rect(0, 0, e, h), vcl::Rect(left, top, left + e, top + h));
  DrawPngPart(canvas, picture, vcl::Rect(e, 0, w - e, h), vcl::Rect(left + e, top, right - e, top + h));
  DrawPngPart(canvas, picture, vcl::Rect(w - e, 0, w, h), vcl::Rect(right - e, top, right, top + h));
}

int RoundHalfEven(double value) {
  // The default rounding mode rounds halves to the even neighbour.
  const double r = std::nearbyint(value);
  if (!(r > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (!(r < std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(r);
}

}  // namespace qelo::controls
