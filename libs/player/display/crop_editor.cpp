#include "crop_editor.h"

#include <cmath>
#include <cstdlib>

#include "pane_geometry.h"

namespace qelo::player {
namespace {

using gdiplus::RectF;

constexpr float kHandleLength = 12;
constexpr float kHandleDepth = 6;
constexpr RelativeRect kWholeFrame{0, 0, 1, 1};

std::array<RectF, 4> HandlesOf(const RectF& r) {
  const float midX = r.X + r.Width / 2 - kHandleDepth;
  const float midY = r.Y + r.Height / 2 - kHandleDepth;
  std::array<RectF, 4> h;
  h[kHandleTop] = {midX, r.Y, kHandleLength, kHandleDepth};
  h[kHandleBottom] = {midX, r.Y + r.Height - kHandleDepth, kHandleLength, kHandleDepth};
  h[kHandleLeft] = {r.X, midY, kHandleDepth, kHandleLength};
  h[kHandleRight] = {r.X + r.Width - kHandleDepth, midY, kHandleDepth, kHandleLength};
  return h;
}

// The crop's aspect fitted into the whole frame and centred; empty for an
// empty crop.
RectF FitCropInto(const RectF& crop, int videoWidth, int videoHeight) {
  if (crop.Width <= 0 || crop.Height <= 0) return {};
  const float vw = static_cast<float>(videoWidth), vh = static_cast<float>(videoHeight);
  RectF dest{0, 0, vw, vh};
  if (crop.Height * vw > crop.Width * vh) {
    dest.Width = crop.Width * vh / crop.Height;
    dest.X = (vw - dest.Width) * 0.5f;
  } else {
    dest.Height = crop.Height * vw / crop.Width;
    dest.Y = (vh - dest.Height) * 0.5f;
  }
  return dest;
}

// The other side of a crop under a forced aspect, in whole window pixels of a
// W x H picture: a ratio for 16:9 and 4:3, the picture's own otherwise.
struct AspectRule {
  int32_t aspect;
  double W, H;

  int64_t HeightFor(int64_t w) const {
    if (aspect == CLIP_ASPECT_16_9) return w * 9 / 16;
    if (aspect == CLIP_ASPECT_4_3) return w * 3 / 4;
    return static_cast<int64_t>(std::trunc(H * w / W));
  }
  int64_t WidthFor(int64_t h) const {
    if (aspect == CLIP_ASPECT_16_9) return h * 16 / 9;
    if (aspect == CLIP_ASPECT_4_3) return h * 4 / 3;
    return static_cast<int64_t>(std::trunc(W * h / H));
  }
};

int64_t Pixels(double fraction, double size) { return static_cast<int64_t>(std::trunc(fraction * size)); }

}  // namespace

CropEditor::CropEditor() : crop_(kWholeFrame), cropAtDragStart_(kWholeFrame) {}

void CropEditor::Reset() {
  crop_ = kWholeFrame;
  cropAtDragStart_ = kWholeFrame;
  cropEditing_ = false;
  clipAspect_ = CLIP_ASPECT_FREE;
}

bool CropEditor::HasPicture() const { return videoRect_.Width > 0 && videoRect_.Height > 0; }

void CropEditor::UpdateGeometry(const RectF& videoRect, int videoWidth, int videoHeight) {
  videoRect_ = videoRect;
  videoWidth_ = videoWidth;
  videoHeight_ = videoHeight;
  CropGeometry& g = geometry_;
  g.cropPixels = {static_cast<float>(videoWidth * crop_.left), static_cast<float>(videoHeight * crop_.top),
              static_cast<float>(videoWidth * crop_.width), static_cast<float>(videoHeight * crop_.height)};
  g.cropWindow = {static_cast<float>(crop_.left * videoRect.Width + videoRect.X),
              static_cast<float>(crop_.top * videoRect.Height + videoRect.Y),
              static_cast<float>(crop_.width * videoRect.Width), static_cast<float>(crop_.height * videoRect.Height)};
  g.cropDest = FitCropInto(g.cropPixels, videoWidth, videoHeight);
  g.cropHandles = HandlesOf(g.cropPixels);
  g.cropHandlesWindow = HandlesOf(g.cropWindow);
}

DragMode CropEditor::HitTest(float x, float y) const {
  const auto& h = geometry_.cropHandlesWindow;
  if (Contains(h[kHandleTop], x, y)) return DragMode::TopEdge;
  if (Contains(h[kHandleBottom], x, y)) return DragMode::BottomEdge;
  if (Contains(h[kHandleLeft], x, y)) return DragMode::LeftEdge;
  if (Contains(h[kHandleRight], x, y)) return DragMode::RightEdge;
  if (Contains(geometry_.cropWindow, x, y)) return DragMode::MoveCrop;
  return DragMode::None;
}

bool CropEditor::Drag(DragMode mode, int dx, int dy) {
  if (!HasPicture()) return false;
  const double dw = dx / static_cast<double>(videoRect_.Width);
  const double dh = dy / static_cast<double>(videoRect_.Height);
  crop_ = cropAtDragStart_;
  switch (mode) {
    case DragMode::LeftEdge: return DragLeftEdge(dw);
    case DragMode::TopEdge: return DragTopEdge(dh);
    case DragMode::RightEdge: return DragRightEdge(dw);
    case DragMode::BottomEdge: return DragBottomEdge(dh);
    case DragMode::MoveCrop: return Move(dx, dy);
    default: return false;
  }
}

bool CropEditor::DragLeftEdge(double d) {
  const RelativeRect& s = cropAtDragStart_;
  crop_.left = s.left + d;
  crop_.width = s.width - d;
  if (crop_.left < 0) {
    crop_.left = 0;
    crop_.width = s.left + s.width;
  }
  if (crop_.width < kMinCropFraction) {
    crop_.width = kMinCropFraction;
    crop_.left = s.left + s.width - kMinCropFraction;
  }
  FollowAspectFromWidth(true);
  return true;
}

bool CropEditor::DragTopEdge(double d) {
  const RelativeRect& s = cropAtDragStart_;
  crop_.top = s.top + d;
  crop_.height = s.height - d;
  if (crop_.top < 0) {
    crop_.top = 0;
    crop_.height = s.top + s.height;
  }
  if (crop_.height < kMinCropFraction) {
    crop_.height = kMinCropFraction;
    crop_.top = s.top + s.height - kMinCropFraction;
  }
  FollowAspectFromHeight(true);
  return true;
}

bool CropEditor::DragRightEdge(double d) {
  crop_.width = std::max(cropAtDragStart_.width + d, kMinCropFraction);
  if (crop_.width + crop_.left > 1) crop_.width = 1 - crop_.left;
  FollowAspectFromWidth(false);
  return true;
}

bool CropEditor::DragBottomEdge(double d) {
  crop_.height = std::max(cropAtDragStart_.height + d, kMinCropFraction);
  if (crop_.height + crop_.top > 1) crop_.height = 1 - crop_.top;
  FollowAspectFromHeight(false);
  return true;
}

// From a width the height follows; where that would pass the picture's
// bottom, the room below the top sets the height and the width follows from
// it instead, so the crop keeps the aspect and stays inside the picture.
void CropEditor::FollowAspectFromWidth(bool keepRight) {
  if (clipAspect_ == CLIP_ASPECT_FREE) return;
  const AspectRule rule{clipAspect_, videoRect_.Width, videoRect_.Height};
  const double right = crop_.left + crop_.width;
  int64_t w = Pixels(crop_.width, rule.W);
  int64_t h = rule.HeightFor(w);
  const int64_t below = Pixels(1 - crop_.top, rule.H);
  if (h > below) {
    h = below;
    w = rule.WidthFor(h);
  }
  const int64_t across = Pixels(keepRight ? right : 1 - crop_.left, rule.W);
  if (w > across) {
    w = across;
    h = rule.HeightFor(w);
  }
  crop_.width = w / rule.W;
  crop_.height = h / rule.H;
  if (keepRight) crop_.left = right - crop_.width;
}

// As above with the sides swapped: the room right of the left edge limits the
// width.
void CropEditor::FollowAspectFromHeight(bool keepBottom) {
  if (clipAspect_ == CLIP_ASPECT_FREE) return;
  const AspectRule rule{clipAspect_, videoRect_.Width, videoRect_.Height};
  const double bottom = crop_.top + crop_.height;
  int64_t h = Pixels(crop_.height, rule.H);
  int64_t w = rule.WidthFor(h);
  const int64_t across = Pixels(1 - crop_.left, rule.W);
  if (w > across) {
    w = across;
    h = rule.HeightFor(w);
  }
  const int64_t down = Pixels(keepBottom ? bottom : 1 - crop_.top, rule.H);
  if (h > down) {
    h = down;
    w = rule.WidthFor(h);
  }
  crop_.width = w / rule.W;
  crop_.height = h / rule.H;
  if (keepBottom) crop_.top = bottom - crop_.height;
}

bool CropEditor::Move(int dx, int dy) {
  const RelativeRect& s = cropAtDragStart_;
  crop_.left = std::max(0.0, s.left + dx / static_cast<double>(videoRect_.Width));
  crop_.top = std::max(0.0, s.top + dy / static_cast<double>(videoRect_.Height));
  if (crop_.width + crop_.left > 1) crop_.left = 1 - crop_.width;
  if (crop_.height + crop_.top > 1) crop_.top = 1 - crop_.height;
  return true;
}

bool CropEditor::ApplyClipAspect() {
  if (!HasPicture()) return false;
  const double W = videoRect_.Width, H = videoRect_.Height;
  int64_t w = Pixels(crop_.width, W);
  int64_t h = Pixels(crop_.height, H);
  switch (clipAspect_) {
    case CLIP_ASPECT_4_3:
      if (3 * w == 4 * h) return false;
      if (3 * w > 4 * h) w = 4 * h / 3;
      else h = static_cast<int64_t>(std::trunc(3 * w * 0.25));
      break;
    case CLIP_ASPECT_16_9:
      if (9 * w == 16 * h) return false;
      if (9 * w > 16 * h) w = 16 * h / 9;
      else h = static_cast<int64_t>(std::trunc(9 * w * 0.0625));
      break;
    case CLIP_ASPECT_PICTURE:
      if (std::abs(w * H - h * W) <= 0.02) return false;
      if (w * H > h * W) w = static_cast<int64_t>(std::trunc(h * W / H));
      else h = static_cast<int64_t>(std::trunc(w * H / W));
      break;
    default: return false;
  }
  crop_.width = w / W;
  crop_.height = h / H;
  return true;
}

void CropEditor::DrawOverlay(gdiplus::Graphics& graphics, const gdiplus::Pen& framePen,
                             const gdiplus::SolidBrush& shadeBrush) const {
  gdiplus::Region outside(RectF{0, 0, static_cast<float>(videoWidth_), static_cast<float>(videoHeight_)});
  outside.Exclude(geometry_.cropPixels);
  graphics.FillRegion(shadeBrush, outside);
  gdiplus::Pen dashed = framePen;
  dashed.SetDashStyle(gdiplus::DashStyle::Dash);
  graphics.DrawRectangle(dashed, geometry_.cropPixels);
  gdiplus::Pen solid = framePen;
  solid.SetDashStyle(gdiplus::DashStyle::Solid);
  for (const RectF& handle : geometry_.cropHandles) graphics.DrawRectangle(solid, handle);
}

}  // namespace qelo::player
