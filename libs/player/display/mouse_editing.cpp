// Mouse editing on the player window: pressing picks what a drag moves (a
// crop edge, the crop, or the watermark in the second pane), moving drags it
// and tells the host, and the cursor shows what a press would pick.
#include <cmath>

#include "player_display.h"

namespace qelo::player {
namespace {

const char* CursorFor(DragMode zone) {
  switch (zone) {
    case DragMode::TopEdge:
    case DragMode::BottomEdge: return win::IDC_SIZENS;
    case DragMode::LeftEdge:
    case DragMode::RightEdge: return win::IDC_SIZEWE;
    case DragMode::MoveCrop:
    case DragMode::MoveWatermark: return win::IDC_HAND;
    default: return win::IDC_ARROW;
  }
}

// Two 16-bit values in one message word, the first in the high half.
win::WPARAM PackPair(int high, int low) {
  return static_cast<uint32_t>(high) << 16 | (static_cast<uint32_t>(low) & 0xFFFF);
}

int Scaled(int sourceSize, int offset, float pictureSize) {
  if (sourceSize <= 0 || pictureSize <= 0) return offset;
  return static_cast<int>(std::trunc(sourceSize * static_cast<double>(offset) / pictureSize));
}

}  // namespace

bool PlayerDisplay::OnMouseMessage(win::UINT message, win::LPARAM position, const EditContext& context) {
  if (!EditingActive()) return false;
  const int x = win::GET_X_LPARAM(position), y = win::GET_Y_LPARAM(position);
  switch (message) {
    case win::WM_LBUTTONDOWN: OnLButtonDown(x, y); return true;
    case win::WM_MOUSEMOVE: OnMouseMove(x, y, context); return true;
    case win::WM_LBUTTONUP: OnLButtonUp(); return true;
    default: return false;
  }
}

DragMode PlayerDisplay::ZoneAt(int x, int y) const {
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  if (crop_.cropEditing()) {
    const DragMode zone = crop_.HitTest(fx, fy);
    if (zone != DragMode::None) return zone;
  }
  if (watermark_.watermarkOn() && layout_.twoPane) {
    gdiplus::RectF inSecondPane = watermark_.watermarkBounds();
    inSecondPane.X += static_cast<float>(layout_.pane2Offset());
    if (Contains(inSecondPane, fx, fy)) return DragMode::MoveWatermark;
  }
  return DragMode::None;
}

void PlayerDisplay::SetCursorFor(DragMode zone) const { win::SetCursor(win::LoadCursor(nullptr, CursorFor(zone))); }

void PlayerDisplay::OnLButtonDown(int x, int y) {
  dragStartX_ = x;
  dragStartY_ = y;
  dragging_ = true;
  win::SetCapture(window_);
  if (crop_.cropEditing()) crop_.BeginDrag();
  if (watermark_.watermarkOn()) watermark_.BeginMove();
  dragMode_ = ZoneAt(x, y);
  SetCursorFor(dragMode_);
}

void PlayerDisplay::OnMouseMove(int x, int y, const EditContext& context) {
  if (!dragging_) {
    SetCursorFor(ZoneAt(x, y));
    return;
  }
  const int dx = x - dragStartX_, dy = y - dragStartY_;
  if (dragMode_ == DragMode::MoveWatermark) {
    PostWatermarkMoved(context.notifyWindow, watermark_.MoveBy(dx, dy));
  } else if (dragMode_ != DragMode::None && crop_.Drag(dragMode_, dx, dy)) {
    UpdateCropGeometry();
    PostCropRect(context.notifyWindow);
  }
  if (!context.playing) RepaintVideo();
}

void PlayerDisplay::OnLButtonUp() {
  dragging_ = false;
  dragMode_ = DragMode::None;
  win::ReleaseCapture();
}

void PlayerDisplay::PostCropRect(win::HWND notifyWindow) const {
  if (notifyWindow == nullptr) return;
  const RelativeRect& c = crop_.crop();
  const auto inSource = [](double fraction, int size) { return static_cast<int>(std::trunc(fraction * size)); };
  const int left = inSource(c.left, sourceWidth_), top = inSource(c.top, sourceHeight_);
  const int width = inSource(c.width, sourceWidth_), height = inSource(c.height, sourceHeight_);
  win::PostMessage(notifyWindow, WM_PLAYER_CROP_RECT, PackPair(left, top),
                   static_cast<win::LPARAM>(PackPair(width, height)));
}

void PlayerDisplay::PostWatermarkMoved(win::HWND notifyWindow, WatermarkLayer::Offset offset) const {
  if (notifyWindow == nullptr) return;
  const int x = Scaled(sourceWidth_, offset.x, videoRect().Width);
  const int y = Scaled(sourceHeight_, offset.y, videoRect().Height);
  win::PostMessage(notifyWindow, WM_PLAYER_WATERMARK_MOVED, static_cast<win::WPARAM>(x), static_cast<win::LPARAM>(y));
}

}  // namespace qelo::player
