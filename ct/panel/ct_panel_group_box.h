// The group box of the control library: a panel that frames a group of
// controls under a caption in one of six styles. The children sit below
// the caption inside the frame; the caption's accelerator moves the focus
// to the first control inside.
#pragma once

#include "ct_panel.h"

namespace qelo::ct {

enum TCtGroupBoxStyle { gsStandard, gsCustom, gsTopLine, gsFlat, gsBanner, gsUnderline };
extern const vcl::EnumInfo kCtGroupBoxStyleInfo;

class TCtCustomGroupBox : public TCtCustomPanel {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomGroupBox(vcl::TComponent* owner);

  TCtGroupBoxStyle GroupStyle() const { return groupStyle_; }
  virtual void SetGroupStyle(TCtGroupBoxStyle value);
  // The banner's height; 0 takes it from the font.
  int BannerHeight() const { return bannerHeight_; }
  virtual void SetBannerHeight(int value);

  // Where the caption is drawn (and the frame is broken): empty for an
  // empty caption and for gsCustom, which paints as a panel.
  vcl::TRect CaptionRect() const;

  // Below the caption, inside the style's frame.
  void AdjustClientRect(vcl::TRect& rect) const override;
  // Only gsCustom takes a frame from the controller.
  void UpdateFrameFromController() override;
  void Dispatch(vcl::TMessage& message) override;

  template <class C>
  static void PublishGroupBoxProperties(vcl::ClassBuilder<C>& builder);

 protected:
  void Paint() override;

 private:
  // Heights of sample text in the control's font.
  int TextHeight(std::string_view sample) const;
  vcl::TSize CaptionExtent() const;
  vcl::TColor FrameLineColor() const;
  void PaintFrame(vcl::TCanvas& canvas, const vcl::TRect& frame, const vcl::TRect& caption);
  void PaintTopLine(vcl::TCanvas& canvas, const vcl::TRect& frame);
  void PaintBanner(vcl::TCanvas& canvas, const vcl::TRect& caption);
  void PaintCaptionText(vcl::TCanvas& canvas, vcl::TRect caption);
  void DialogChar(vcl::TMessage& m);
  void StyleChanged();

  TCtGroupBoxStyle groupStyle_ = gsFlat;
  int bannerHeight_ = 0;
};

class TCtGroupBox : public TCtCustomGroupBox {
  QELO_VCL_CLASS()
 public:
  using TCtCustomGroupBox::TCtCustomGroupBox;
};

template <class C>
void TCtCustomGroupBox::PublishGroupBoxProperties(vcl::ClassBuilder<C>& b) {
  PublishPanelProperties(b);
  b.Enum("GroupStyle", kCtGroupBoxStyleInfo, &C::GroupStyle, &C::SetGroupStyle)
      .Integer("BannerHeight", &C::BannerHeight, &C::SetBannerHeight);
}

}  // namespace qelo::ct
