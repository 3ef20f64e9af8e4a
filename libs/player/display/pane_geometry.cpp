#include "pane_geometry.h"

#include <cmath>

namespace qelo::player {

int PaneLayout::paneWidth() const { return twoPane ? (windowWidth - kPaneGap) / 2 : windowWidth; }

int PaneLayout::pane2Offset() const { return twoPane ? paneWidth() + kPaneGap : 0; }

win::SIZE PaneLayout::DecodeSize() const { return {paneWidth(), windowHeight}; }

bool FitAspect(win::RECT* target, const win::RECT& pane, int w, int h) {
  const int64_t W = pane.right - pane.left;
  const int64_t H = pane.bottom - pane.top;
  if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return false;
  if (int64_t{h} * W < H * w) {  // wider than the pane
    const int64_t fitted = int64_t{h} * W / w;
    const int top = pane.top + static_cast<int>((H - fitted) >> 1);
    *target = {pane.left, top, pane.right, top + static_cast<int>(fitted)};
  } else {
    const int64_t fitted = H * w / h;
    const int left = pane.left + static_cast<int>((W - fitted) >> 1);
    *target = {left, pane.top, left + static_cast<int>(fitted), pane.bottom};
  }
  return true;
}

VideoRects ComputeVideoRects(const PaneLayout& layout, int frameWidth, int frameHeight) {
  VideoRects rects;
  const float pw = static_cast<float>(layout.paneWidth());
  const float ph = static_cast<float>(layout.windowHeight);
  if (frameWidth <= 0 || frameHeight <= 0 || pw <= 0 || ph <= 0) return rects;
  const double iw = frameWidth, ih = frameHeight;
  gdiplus::RectF r{0, 0, pw, ph};
  if (ih * pw > ph * iw) {
    r.Width = static_cast<float>(std::trunc(ph * iw / ih));
    r.X = (pw - r.Width) * 0.5f;
  } else {
    r.Height = static_cast<float>(std::trunc(ih * pw / iw));
    r.Y = (ph - r.Height) * 0.5f;
  }
  rects.videoRect = r;
  rects.videoRect2 = r;
  rects.videoRect2.X += static_cast<float>(layout.pane2Offset());
  return rects;
}

bool Contains(const gdiplus::RectF& r, float x, float y) {
  return x >= r.X && y >= r.Y && x < r.X + r.Width && y < r.Y + r.Height;
}

}  // namespace qelo::player
