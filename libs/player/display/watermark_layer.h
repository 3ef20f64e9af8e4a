// The watermark as the player previews it: the state the host set (a text or
// an image with its region and alpha), its drawing objects (font, brush,
// source and scaled pictures), its place on the picture, drawing it on the
// second pane and moving it with the mouse.
#pragma once

#include <memory>

#include "gdiplus/bitmap.h"
#include "gdiplus/brush.h"
#include "gdiplus/font.h"
#include "gdiplus/graphics.h"
#include "qelo/player.h"

namespace qelo::player {

class WatermarkLayer {
 public:
  WatermarkLayer();
  ~WatermarkLayer();
  WatermarkLayer(const WatermarkLayer&) = delete;
  WatermarkLayer& operator=(const WatermarkLayer&) = delete;

  bool watermarkOn() const { return watermarkOn_; }
  // Null while there is no state.
  const WatermarkState* state() const { return state_.get(); }

  // The host's settings; each rebuilds what it changes.
  // Non-null: copies the record and turns the watermark on; null: turns it
  // off and frees the state.
  void Enable(const WatermarkState* state);
  // The whole record, or zeroes without a state.
  void GetState(WatermarkState* out) const;
  void SetImage(const ImageWatermark& image);
  void SetText(const TextWatermark& text);
  // The region of the current kind; nothing for kind 0.
  void SetRegion(const RelativeRect& region);
  // False (and `out` untouched) without a state; zeroes for kind 0.
  bool GetRegion(RelativeRect* out) const;
  // Text only: new font and colour, measured anew.
  void SetFont(const WatermarkFont& font);
  void SetTransparent(int alpha);
  // Off, no state, no drawing objects, at 0, 0: as after a close.
  void Reset();

  // The picture rectangle the watermark is placed on; lays it out anew.
  void SetVideoRect(const gdiplus::RectF& videoRect);

  // Top-left corner and extent in window coordinates of the first pane.
  float watermarkX() const { return watermarkX_; }
  float watermarkY() const { return watermarkY_; }
  const gdiplus::RectF& watermarkBounds() const { return watermarkBounds_; }
  // The scaled picture of an image watermark (null when none), for tests and
  // drawing.
  const gdiplus::Bitmap* watermarkScaled() const { return watermarkScaled_.get(); }
  // The text brush's colour, 0 without one.
  gdiplus::Argb textColor() const;

  // On the second pane's frame of videoWidth x videoHeight, with its outline.
  void DrawWatermark(gdiplus::Graphics& graphics, int videoWidth, int videoHeight, const gdiplus::Pen& framePen) const;
  // The outline alone: dashed around a text, solid around a picture's region.
  void DrawOutline(gdiplus::Graphics& graphics, int videoWidth, int videoHeight, const gdiplus::Pen& framePen) const;

  // Mouse moves: remember the place at the press, then move by the travel
  // since it, held within the picture; the region follows.
  void BeginMove();
  // The new top-left corner relative to the picture, in window pixels.
  struct Offset {
    int x;
    int y;
  };
  Offset MoveBy(int dx, int dy);

 private:
  void ApplyWatermarkKind();
  void SetupTextWatermark();
  void LoadWatermarkPicture();
  void LayoutWatermark();
  void ScalePicture();
  void MeasureWatermark();
  void ApplyWatermarkAlpha(int alpha);
  // Where the text or picture goes on a frame of width x height.
  gdiplus::PointF Origin(int width, int height) const;
  // The region of the current kind inside the state; null for none.
  RelativeRect* Region() const;
  void DropObjects();

  bool watermarkOn_ = false;
  std::unique_ptr<WatermarkState> state_;
  std::unique_ptr<gdiplus::Font> watermarkFont_;
  std::unique_ptr<gdiplus::SolidBrush> watermarkBrush_;
  std::unique_ptr<gdiplus::Bitmap> watermarkSource_;
  std::unique_ptr<gdiplus::Bitmap> watermarkScaled_;
  std::unique_ptr<gdiplus::Bitmap> scratch_;  // text is measured here, with or without a frame
  gdiplus::RectF videoRect_;
  float watermarkX_ = 0, watermarkY_ = 0;
  float watermarkAtDragStartX_ = 0, watermarkAtDragStartY_ = 0;
  gdiplus::RectF watermarkBounds_;
};

}  // namespace qelo::player
