// Panels of the control library: containers painted with the composite
// border, a solid or gradient client area, an optional grid and a caption
// placed by horizontal and vertical alignment with margins. A panel can let
// its parent show through, takes its frame from a frame controller, and
// disables its children with itself and gives each back its own state.
//
// A panel that is a dock site with UseDockManager lays its docked
// controls out with the library's dock manager (TCtPanelDockManager),
// whose grabbers show the controls' captions while ShowDockClientCaptions.
#pragma once

#include <map>

#include "ct_common_border_rect.h"
#include "ct_common_color.h"
#include "ct_common_controller.h"
#include "ct_common_types.h"
#include "ct_grafx_gradient.h"
#include "vcl/controls/extctrls.h"

namespace qelo::ct {

enum TCtGridStyle { gsDots, gsDottedLines, gsSolidLines };
extern const vcl::EnumInfo kCtGridStyleInfo;

class TCtCustomPanel : public vcl::TCustomPanel, public TCtFrameControllerClient, public TCtStyledBorderSettings {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomPanel(vcl::TComponent* owner);

  TAlignmentVertical AlignmentVertical() const { return alignmentVertical_; }
  virtual void SetAlignmentVertical(TAlignmentVertical value);
  TCtGradientColorStyle GradientColorStyle() const { return gradientColorStyle_; }
  virtual void SetGradientColorStyle(TCtGradientColorStyle value);
  vcl::TColor GradientColorStart() const { return gradientColorStart_; }
  virtual void SetGradientColorStart(vcl::TColor value);
  vcl::TColor GradientColorStop() const { return gradientColorStop_; }
  virtual void SetGradientColorStop(vcl::TColor value);
  TGradientDirection GradientDirection() const { return gradientDirection_; }
  virtual void SetGradientDirection(TGradientDirection value);
  vcl::TColor GridColor() const { return gridColor_; }
  virtual void SetGridColor(vcl::TColor value);
  TCtGridStyle GridStyle() const { return gridStyle_; }
  virtual void SetGridStyle(TCtGridStyle value);
  int GridXSize() const { return gridXSize_; }
  virtual void SetGridXSize(int value);
  int GridYSize() const { return gridYSize_; }
  virtual void SetGridYSize(int value);
  bool PaintClientArea() const { return paintClientArea_; }
  virtual void SetPaintClientArea(bool value);
  int TextMargin() const { return textMargin_; }
  virtual void SetTextMargin(int value);
  int TextMarginVertical() const { return textMarginVertical_; }
  virtual void SetTextMarginVertical(int value);
  bool ShowGrid() const { return showGrid_; }
  virtual void SetShowGrid(bool value);
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  TCtVisualStyle VisualStyle() const { return visualStyle_; }
  virtual void SetVisualStyle(TCtVisualStyle value);
  bool WordWrap() const { return wordWrap_; }
  virtual void SetWordWrap(bool value);
  bool ShowDockClientCaptions() const { return showDockClientCaptions_; }
  virtual void SetShowDockClientCaptions(bool value);

  void UpdateFrameFromController() override;

  vcl::TNotifyEvent OnPaint;

  // The rectangle inside the border: less BorderWidth when asked, then
  // less the outer and inner styles' widths on BorderSides.
  virtual void GetBorderRect(vcl::TRect& rect, bool withBorderWidth) const;
  virtual vcl::TRect GetControlRect() const { return vcl::Rect(0, 0, Width(), Height()); }
  virtual void GetGradientColors(vcl::TColor& start, vcl::TColor& stop) const;
  virtual void GetFlatColors(vcl::TColor& color, int& adjustment) const;

  // A bottom-aligned panel keeps its bottom edge when its height changes,
  // a right-aligned one its right edge when its width does.
  void SetBounds(int left, int top, int width, int height) override;
  void AlignControls(vcl::TControl* control, vcl::TRect& rect) override;
  // A dock site's docked controls share the area inside the frame's styles.
  void AdjustClientRect(vcl::TRect& rect) const override;
  void Dispatch(vcl::TMessage& message) override;

  // Adds the panel's properties to a panel class C's registration, with
  // the obsolete names of older forms.
  template <class C>
  static void PublishPanelProperties(vcl::ClassBuilder<C>& builder);

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void CreateWnd() override;
  vcl::TDockTree* CreateDockManager() override;
  void Paint() override;
  virtual void DrawCaption(vcl::TRect rect);
  virtual void DrawGrid(const vcl::TRect& rect);

 private:
  void BorderChanged();
  void StyledBorderChanged(bool roomChanged) override;
  void InvalidateTransparentChildren();
  bool RoundedFrame() const;
  void PaintClient(vcl::TCanvas& canvas, vcl::TRect rect);
  void EnabledChanged();
  void EraseBackground(vcl::TMessage& m);
  void WindowPosChanged(vcl::TMessage& m);

  TAlignmentVertical alignmentVertical_ = avCenter;
  TCtGradientColorStyle gradientColorStyle_ = gcsSystem;
  vcl::TColor gradientColorStart_ = vcl::clWhite;
  vcl::TColor gradientColorStop_ = vcl::clBtnFace;
  TGradientDirection gradientDirection_ = gdHorizontalEnd;
  vcl::TColor gridColor_ = vcl::clBtnShadow;
  TCtGridStyle gridStyle_ = gsDots;
  int gridXSize_ = 8;
  int gridYSize_ = 8;
  bool paintClientArea_ = true;
  int textMargin_ = 0;
  int textMarginVertical_ = 0;
  bool showGrid_ = false;
  bool transparent_ = false;
  TCtVisualStyle visualStyle_ = vsWinXP;
  bool wordWrap_ = true;
  bool showDockClientCaptions_ = true;
  // Whether each child was enabled when the panel was disabled, by child.
  std::map<vcl::TControl*, bool> childrenEnabled_;
  // The window's size before its latest change.
  vcl::TSize windowSize_{};
};

class TCtPanel : public TCtCustomPanel {
  QELO_VCL_CLASS()
 public:
  using TCtCustomPanel::TCtCustomPanel;
};

// Reads the obsolete "UseGradients" of older forms: True is the gradient
// look.
void ReadObsoleteUseGradients(vcl::TObject& self, const vcl::FormValue& value);

template <class C>
void TCtCustomPanel::PublishPanelProperties(vcl::ClassBuilder<C>& b) {
  PublishStyledBorderProperties(b);
  PublishFrameControllerProperties(b);
  b.Enum("AlignmentVertical", kAlignmentVerticalInfo, &C::AlignmentVertical, &C::SetAlignmentVertical)
      .Enum("GradientColorStyle", kCtGradientColorStyleInfo, &C::GradientColorStyle, &C::SetGradientColorStyle)
      .Color("GradientColorStart", &C::GradientColorStart, &C::SetGradientColorStart)
      .Color("GradientColorStop", &C::GradientColorStop, &C::SetGradientColorStop)
      .Enum("GradientDirection", kGradientDirectionInfo, &C::GradientDirection, &C::SetGradientDirection)
      .Color("GridColor", &C::GridColor, &C::SetGridColor)
      .Enum("GridStyle", kCtGridStyleInfo, &C::GridStyle, &C::SetGridStyle)
      .Integer("GridXSize", &C::GridXSize, &C::SetGridXSize)
      .Integer("GridYSize", &C::GridYSize, &C::SetGridYSize)
      .Boolean("PaintClientArea", &C::PaintClientArea, &C::SetPaintClientArea)
      .Integer("TextMargin", &C::TextMargin, &C::SetTextMargin)
      .Integer("TextMarginVertical", &C::TextMarginVertical, &C::SetTextMarginVertical)
      .Boolean("ShowGrid", &C::ShowGrid, &C::SetShowGrid)
      .Boolean("Transparent", &C::Transparent, &C::SetTransparent)
      .Enum("VisualStyle", kCtVisualStyleInfo, &C::VisualStyle, &C::SetVisualStyle)
      .Boolean("WordWrap", &C::WordWrap, &C::SetWordWrap)
      .Boolean("ShowDockClientCaptions", &C::ShowDockClientCaptions, &C::SetShowDockClientCaptions)
      .template Event<void(vcl::TObject*)>("OnPaint", &C::OnPaint)
      .Skip("FrameSides")
      .Skip("ThemeAware")
      .Defined("UseGradients", ReadObsoleteUseGradients);
}

// Registers TCtPanel with the class registry (once), so that form files
// can place it.
void RegisterCtPanelClasses();

}  // namespace qelo::ct
