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

void TCtStyledBorderSettings::CopyStyledBorderTo(TStyledFrame& frame) const {
  frame.BorderOuter = borderOuter_;
  frame.BorderInner = borderInner_;
  frame.BorderSides = borderSides_;
  frame.BorderColor = borderColor_;
  frame.BorderHighlight = borderHighlight_;
  frame.BorderShadow = borderShadow_;
  frame.FlatColor = flatColor_;
  frame.FlatColorAdjustment = flatColorAdjustment_;
}

TRect TCtStyledBorderSettings::InsideBorderStyles(const TRect& rect, int bevelWidth) const {
  return InsideFrameStyles(rect, borderOuter_, borderInner_, borderSides_, bevelWidth);
}

}  // namespace qelo::ct
