// Extra controls: the panel (a container with bevels and a centred
// caption) and the image.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::vcl {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
extern const EnumInfo kBevelCutInfo;

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
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool value) { fullRepaint_ = value; }

  // Children sit inside the border and the bevels.
  void AdjustClientRect(TRect& rect) const override;

 protected:
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

}  // namespace qelo::vcl
