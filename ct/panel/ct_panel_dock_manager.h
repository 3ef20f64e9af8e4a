// The dock manager of the library's panels: the framework's dock tree with
// grabbers of 14 pixels that show each docked control's caption in the
// window-caption colours (active while the focus is in the control) and a
// close glyph, at the top of each zone, or at its left (the caption turned
// upright) in a panel aligned to its parent's top or bottom. Without the
// panel's ShowDockClientCaptions the framework's grabbers are drawn.
//
// Outside design mode it hooks the panel's window procedure: a command
// from a docked control or a click that activates repaints the panel, as
// the focus (and so the captions' colours) may have moved. The panel is
// double-buffered while it has the manager.
#pragma once

#include <functional>

#include "vcl/controls/dock_tree.h"

namespace qelo::ct {

class TCtCustomPanel;

class TCtPanelDockManager : public vcl::TDockTree {
 public:
  static constexpr int kGrabberSize = 14;

  explicit TCtPanelDockManager(TCtCustomPanel* panel);
  ~TCtPanelDockManager() override;

  // The control loses the grabber band: at its left in a panel aligned
  // alTop or alBottom, else at its top.
  void AdjustDockRect(vcl::TControl* control, vcl::TRect& rect) const override;
  vcl::TRect CloseButtonRect(const vcl::TRect& zone) const override;
  void PaintDockFrame(vcl::TCanvas& canvas, vcl::TControl* control, const vcl::TRect& rect) override;

 private:
  bool LeftGrabber() const;
  void PaintTopGrabber(vcl::TCanvas& canvas, const vcl::TControl& control, const vcl::TRect& rect);
  void PaintLeftGrabber(vcl::TCanvas& canvas, const vcl::TControl& control, const vcl::TRect& rect);
  void PaintCloseGlyph(vcl::TCanvas& canvas, const vcl::TRect& glyph);
  void PanelMessage(vcl::TMessage& m);

  TCtCustomPanel* panel_;
  vcl::TFont captionFont_;
  vcl::TFont closeFont_;
  std::function<void(vcl::TMessage&)> panelProc_;
};

}  // namespace qelo::ct
