// The status bar of the control library: a panel at the bottom of its form
// that holds pane controls, draws a size grip that resizes the form, can
// show one text instead of its panes (simple mode), and can widen and
// narrow its panes with itself.
#pragma once

#include <map>
#include <string>

#include "ct_panel.h"

namespace qelo::ct {

class TCtStatusBar : public TCtCustomPanel {
  QELO_VCL_CLASS()
 public:
  // Width of the grip area at the right end.
  static constexpr int kSizeGripWidth = 13;

  explicit TCtStatusBar(vcl::TComponent* owner);

  bool AutoScalePanes() const { return autoScalePanes_; }
  virtual void SetAutoScalePanes(bool value);
  // The bar's own look (no borders, 19 pixels high), applied when a form
  // has been read; setting a border by hand turns it off.
  bool AutoStyle() const { return autoStyle_; }
  virtual void SetAutoStyle(bool value);
  bool ShowSizeGrip() const { return showSizeGrip_; }
  virtual void SetShowSizeGrip(bool value);
  const std::string& SimpleCaption() const { return simpleCaption_; }
  virtual void SetSimpleCaption(const std::string& value);
  TFrameStyleEx SimpleFrameStyle() const { return simpleFrameStyle_; }
  virtual void SetSimpleFrameStyle(TFrameStyleEx value);
  // Simple mode hides the panes and shows SimpleCaption.
  bool SimpleStatus() const { return simpleStatus_; }
  virtual void SetSimpleStatus(bool value);

  void SetBorderInner(TFrameStyleEx value) override;
  void SetBorderOuter(TFrameStyleEx value) override;
  void SetBorderSides(TSides value) override;

  // The grip works only on a form with a sizeable border that is not
  // maximised; checked before the window is made and on every paint.
  bool SizeGripUsable() const { return gripUsable_; }
  void CheckSizeGrip();
  vcl::TRect SizeGripRect() const { return vcl::Rect(Width() - kSizeGripWidth, 0, Width(), Height()); }

  // The panes reach one pixel past the left, right and bottom edges, so
  // that their own borders line up with the bar's.
  vcl::TRect ClientRect() const override;
  void GetGradientColors(vcl::TColor& start, vcl::TColor& stop) const override;
  void WndProc(vcl::TMessage& message) override;
  void Dispatch(vcl::TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  virtual void ApplyAutoStyle();
  virtual void DrawSimpleFrame(vcl::TRect rect);

 private:
  bool GripShown() const;
  bool InGrip(vcl::TPoint clientPoint) const;
  void DrawSizeGrip();
  void SetGripCursor(vcl::TMessage& m);
  void ScalePanes(int delta);
  void ShowPanes(bool show);

  bool autoScalePanes_ = false;
  bool autoStyle_ = true;
  bool showSizeGrip_ = true;
  std::string simpleCaption_;
  TFrameStyleEx simpleFrameStyle_ = fsFlat;
  bool simpleStatus_ = false;
  bool gripUsable_ = false;
  bool applyingStyle_ = false;
  bool resized_ = false;  // the first resize only records the width
  int lastWidth_ = 0;
  // Each pane's exact width as the bar scales it, so that small steps add
  // up instead of each rounding away.
  std::map<vcl::TControl*, double> paneWidths_;
  // The panes simple mode hid, shown again when it ends.
  std::vector<vcl::TControl*> hiddenPanes_;
  vcl::TCanvas gripCanvas_;
};

// Registers the status bar, the group box and the progress bar with the
// class registry (once), so that form files can place them.
void RegisterCtBarClasses();

}  // namespace qelo::ct
