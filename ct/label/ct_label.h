// Labels of the control library.
//
// TCtLabel is the framework's label with raised, recessed or shadowed
// text, text turned by an angle or set along an ellipse, blinking on the
// shared blink timer, a fly-by colour while the mouse is over it, captions
// condensed with an ellipsis, and the composite border of the library; it
// takes its frame from a frame controller. TCtURLLabel is a link: it opens
// its address (or its caption) with the desktop's default handler when
// clicked, and then shows the visited colour.
#pragma once

#include <string>

#include "ct_common_border_rect.h"
#include "ct_common_controller.h"
#include "ct_common_types.h"
#include "vcl/controls/stdctrls.h"

namespace qelo::ct {

enum TCenterPoint {
  cpUpperLeft, cpUpperCenter, cpUpperRight, cpLeftCenter, cpCenter, cpRightCenter, cpLowerLeft, cpLowerCenter,
  cpLowerRight
};
enum TCtCondenseCaption { ccNone, ccAtEnd, ccWithinPath };
// roFlat turns the text by Angle; roCurve sets it along an ellipse,
// starting at Angle.
enum TRotation { roNone, roFlat, roCurve };

extern const vcl::EnumInfo kCenterPointInfo;
extern const vcl::EnumInfo kCtCondenseCaptionInfo;
extern const vcl::EnumInfo kRotationInfo;

// An angle in degrees brought into 0..359.
int NormalizeLabelAngle(int degrees);
// The box that a w x h box needs when turned by `degrees`.
vcl::TSize RotatedBoxSize(int width, int height, int degrees);

class TCtLabel : public vcl::TCustomLabel, public TCtFrameControllerClient, public TCtStyledBorderSettings {
  QELO_VCL_CLASS()
 public:
  explicit TCtLabel(vcl::TComponent* owner);
  ~TCtLabel() override;

  int Angle() const { return angle_; }
  virtual void SetAngle(int degrees);
  bool Blinking() const { return blinking_; }
  virtual void SetBlinking(bool value);
  vcl::TColor BlinkColor() const { return blinkColor_; }
  virtual void SetBlinkColor(vcl::TColor value);
  // One pair of intervals for every label: the shared blink list's.
  int BlinkIntervalOff() const;
  void SetBlinkIntervalOff(int ms);
  int BlinkIntervalOn() const;
  void SetBlinkIntervalOn(int ms);
  int BevelWidth() const { return bevelWidth_; }
  virtual void SetBevelWidth(int value);
  int BorderWidth() const { return borderWidth_; }
  virtual void SetBorderWidth(int value);
  // Anything but ccNone turns AutoSize off.
  TCtCondenseCaption CondenseCaption() const { return condenseCaption_; }
  virtual void SetCondenseCaption(TCtCondenseCaption value);
  TCenterPoint CenterPoint() const { return centerPoint_; }
  virtual void SetCenterPoint(TCenterPoint value);
  vcl::TColor FlyByColor() const { return flyByColor_; }
  virtual void SetFlyByColor(vcl::TColor value);
  bool FlyByEnabled() const { return flyByEnabled_; }
  virtual void SetFlyByEnabled(bool value);
  bool LightTextStyle() const { return lightTextStyle_; }
  virtual void SetLightTextStyle(bool value);
  TRotation Rotation() const { return rotation_; }
  virtual void SetRotation(TRotation value);
  vcl::TColor HighlightColor() const { return highlightColor_; }
  virtual void SetHighlightColor(vcl::TColor value);
  vcl::TColor ShadowColor() const { return shadowColor_; }
  virtual void SetShadowColor(vcl::TColor value);
  int ShadowDepth() const { return shadowDepth_; }
  virtual void SetShadowDepth(int value);
  int TextMargin() const { return textMargin_; }
  virtual void SetTextMargin(int value);
  TTextStyle TextStyle() const { return textStyle_; }
  virtual void SetTextStyle(TTextStyle value);

  void UpdateFrameFromController() override;

  // The colour the text is drawn in now: the font's, or BlinkColor while
  // the blink is on.
  vcl::TColor TextColor() const { return textColor_; }
  // The rectangle the text is laid out in: the client area less the
  // border width (when asked), the frame's styles on the chosen sides and
  // the text margin.
  virtual void GetTextRect(vcl::TRect& rect, bool withBorderWidth) const;

  void Dispatch(vcl::TMessage& message) override;

 protected:
  void Loaded() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void Paint() override;
  void AdjustBounds() override;
  // Adds what the frame, the margins and the shadow take to a text size.
  virtual void AdjustSizeForFrame(vcl::TSize& size) const;
  virtual void BlinkChanged(bool on);
  // The font's own colour: while the fly-by colour shows, the colour the
  // font returns to when the mouse leaves.
  void SetOwnFontColor(vcl::TColor color);

 private:
  bool Loading() const { return ComponentState().Contains(vcl::csLoading); }
  // A turned or curved text needs an outline font.
  void EnsureOutlineFont();
  void FrameChanged();
  void StyledBorderChanged(bool roomChanged) override;
  vcl::UINT DrawFlags() const;
  // Calls `draw` for the style's shadow and highlight copies, then for the
  // text itself, with the offset (right and down) and colour of each copy.
  template <class Draw>
  void DrawStyledCopies(Draw draw, int shadowOffset, int mainOffset) const;
  void DrawStraightText(vcl::TCanvas& canvas, vcl::TRect r);
  void DrawFlatRotatedText(vcl::TCanvas& canvas, const vcl::TRect& r);
  void DrawCurvedText(vcl::TCanvas& canvas);
  void MouseOverChanged(bool inside);

  int angle_ = 0;
  bool blinking_ = false;
  vcl::TColor blinkColor_ = vcl::clHighlight;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TCtCondenseCaption condenseCaption_ = ccNone;
  TCenterPoint centerPoint_ = cpCenter;
  vcl::TColor flyByColor_ = vcl::clHighlight;
  bool flyByEnabled_ = false;
  bool lightTextStyle_ = false;
  TRotation rotation_ = roNone;
  vcl::TColor highlightColor_ = vcl::clBtnHighlight;
  vcl::TColor shadowColor_ = vcl::clBtnShadow;
  int shadowDepth_ = 2;
  int textMargin_ = 0;
  TTextStyle textStyle_ = tsNormal;

  bool blinkOn_ = false;
  vcl::TColor textColor_;
  bool flyByActive_ = false;  // the font shows FlyByColor; flyBySaved_ is its own colour
  vcl::TColor flyBySaved_ = vcl::clWindowText;
};

class TCtURLLabel : public TCtLabel {
  QELO_VCL_CLASS()
 public:
  explicit TCtURLLabel(vcl::TComponent* owner);

  const std::string& URL() const { return url_; }
  void SetURL(const std::string& url) { url_ = url; }
  vcl::TColor UnvisitedColor() const { return unvisitedColor_; }
  virtual void SetUnvisitedColor(vcl::TColor value);
  bool Visited() const { return visited_; }
  virtual void SetVisited(bool value);
  vcl::TColor VisitedColor() const { return visitedColor_; }
  virtual void SetVisitedColor(vcl::TColor value);

  // OnClick first; then the target (URL unless it is blank, else the
  // caption) opens with the desktop's default handler, and the link shows
  // as visited once it did.
  void Click() override;

 protected:
  virtual void UpdateLinkColor();

 private:
  std::string url_;
  vcl::TColor unvisitedColor_ = vcl::clHighlight;
  bool visited_ = false;
  vcl::TColor visitedColor_ = 0x800080;
};

// The hand cursor of links, registered with the screen on first use.
constexpr vcl::TCursor crCtHandPoint = 26000;

// Registers the label classes with the class registry (once), so that
// form files can place them.
void RegisterCtLabelClasses();

}  // namespace qelo::ct
