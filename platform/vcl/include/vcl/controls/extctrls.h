// Extra controls: the panel (a container with bevels and a centred
// caption) and the image.
#pragma once

#include "vcl/controls/controls.h"
#include "vcl/graphics/picture.h"

namespace qelo::vcl {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
extern const EnumInfo kBevelCutInfo;

// Whether a WM_WINDOWPOSCHANGED tells of a new size.
bool SizeChanged(const TMessage& windowPosChanged);

class TCustomPanel : public TCustomControl {
  QELO_VCL_CLASS()
 public:
  explicit TCustomPanel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  // True: a change of size repaints the whole panel; false: only what the
  // change uncovered (and what a descendant asks for).
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool value) { fullRepaint_ = value; }

  // Children sit inside the border and the bevels.
  void AdjustClientRect(TRect& rect) const override;

 protected:
  // The panel's window keeps its pixels when its size changes: FullRepaint
  // decides what is painted again.
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void Dispatch(TMessage& message) override;

 private:
  void BordersChanged();

  TAlignment alignment_ = taCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  bool fullRepaint_ = true;
};

class TPanel : public TCustomPanel {
  QELO_VCL_CLASS()
 public:
  using TCustomPanel::TCustomPanel;
  TNotifyEvent OnPaint;

 protected:
  void Paint() override;
};

// Shows a picture: at its own size (centred or at the top left), or
// stretched, optionally keeping its proportions. Form files name the
// picture by its resource name.
class TImage : public TGraphicControl {
  QELO_VCL_CLASS()
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* Picture() const { return picture_; }
  void SetPicture(const TPicture* picture) { picture_->Assign(picture); }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // Where the picture is drawn, in the control's coordinates.
  TRect DestRect() const;

 protected:
  void Paint() override;

 private:
  void PictureChanged(TObject*);
  const std::string& PictureName() const { return picture_->ResourceName(); }
  void SetPictureName(const std::string& name) { picture_->SetResourceName(name); }

  TPicture* picture_;
  bool autoSize_ = false;
  bool center_ = false;
  bool stretch_ = false;
  bool proportional_ = false;
  bool transparent_ = false;
};

}  // namespace qelo::vcl
