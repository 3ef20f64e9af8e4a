// The crop rectangle and its editing on the picture: the rectangle in frame
// and window coordinates, the handles on its edges, edge drags with the
// minimum size and a forced aspect, moving it, forcing an aspect on it, and
// the shaded overlay outside it.
#pragma once

#include <array>
#include <cstdint>

#include "gdiplus/brush.h"
#include "gdiplus/graphics.h"
#include "qelo/player.h"

namespace qelo::player {

enum class DragMode : int32_t {
  None = 0,
  LeftEdge = 1,
  TopEdge = 2,
  BottomEdge = 3,
  RightEdge = 4,
  MoveCrop = 5,
  MoveWatermark = 6,
};

// The smallest crop side, as a fraction of the frame.
constexpr double kMinCropFraction = 0.02;

enum HandleIndex { kHandleTop = 0, kHandleBottom = 1, kHandleLeft = 2, kHandleRight = 3 };

struct CropGeometry {
  gdiplus::RectF cropPixels;  // the crop in frame coordinates
  gdiplus::RectF cropWindow;  // the crop in window coordinates
  gdiplus::RectF cropDest;    // where the cropped picture goes in the second pane's frame
  std::array<gdiplus::RectF, 4> cropHandles{};        // frame coordinates, HandleIndex order
  std::array<gdiplus::RectF, 4> cropHandlesWindow{};  // window coordinates
};

class CropEditor {
 public:
  CropEditor();

  const RelativeRect& crop() const { return crop_; }
  void SetCrop(const RelativeRect& crop) { crop_ = crop; }
  bool cropEditing() const { return cropEditing_; }
  void SetCropEditing(bool on) { cropEditing_ = on; }
  int32_t clipAspect() const { return clipAspect_; }
  void SetClipAspect(int32_t aspect) { clipAspect_ = aspect; }
  // The whole frame, editing off, free aspect: as made and after a close.
  void Reset();

  // Recomputes the geometry for the picture rectangle and the frame size.
  void UpdateGeometry(const gdiplus::RectF& videoRect, int videoWidth, int videoHeight);
  const CropGeometry& geometry() const { return geometry_; }

  // The drag a press at this window point starts: an edge handle, the inside
  // of the crop (move) or none.
  DragMode HitTest(float x, float y) const;
  // Remembers the crop the following drags start from.
  void BeginDrag() { cropAtDragStart_ = crop_; }
  // Drags an edge (LeftEdge .. RightEdge) or moves the crop (MoveCrop) by the
  // mouse's travel since the press, in window pixels. False, with the crop
  // unchanged, when the picture rectangle is empty.
  bool Drag(DragMode mode, int dx, int dy);
  // Forces clipAspect() on the crop, keeping left and top. False when
  // nothing changed.
  bool ApplyClipAspect();

  // On the first pane's frame: shade everything outside the crop, outline it
  // dashed and draw the four handles.
  void DrawOverlay(gdiplus::Graphics& graphics, const gdiplus::Pen& framePen,
                   const gdiplus::SolidBrush& shadeBrush) const;

 private:
  bool DragLeftEdge(double d);
  bool DragTopEdge(double d);
  bool DragRightEdge(double d);
  bool DragBottomEdge(double d);
  void FollowAspectFromWidth(bool keepRight);
  void FollowAspectFromHeight(bool keepBottom);
  bool Move(int dx, int dy);
  bool HasPicture() const;

  RelativeRect crop_;
  RelativeRect cropAtDragStart_;
  bool cropEditing_ = false;
  int32_t clipAspect_ = CLIP_ASPECT_FREE;
  gdiplus::RectF videoRect_;
  int videoWidth_ = 0, videoHeight_ = 0;
  CropGeometry geometry_;
};

}  // namespace qelo::player
