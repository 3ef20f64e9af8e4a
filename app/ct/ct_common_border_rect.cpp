#include "ct_common_border_rect.h"

namespace qelo::ct {

int FrameStyleWidth(TFrameStyleEx style, int bevelWidth) {
  switch (style) {
    case fsNone: return 0;
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return bevelWidth;
    default: return 2;
  }
}

TRect InsideFrameStyles(TRect rect, TFrameStyleEx outer, TFrameStyleEx inner, TSides sides, int bevelWidth) {
  const int width = FrameStyleWidth(outer, bevelWidth) + FrameStyleWidth(inner, bevelWidth);
  if (sides.Contains(sdLeft)) rect.left += width;
  if (sides.Contains(sdTop)) rect.top += width;
  if (sides.Contains(sdRight)) rect.right -= width;
  if (sides.Contains(sdBottom)) rect.bottom -= width;
  return rect;
}

}  // namespace qelo::ct
