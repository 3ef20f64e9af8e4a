// Owner-painted buttons of the control library.
//
// TCtCustomButton is the windowed base of the push, glyph and check
// buttons: it tracks the left mouse button (pressed while the button is
// held down inside), hot-tracks the mouse, and draws its caption with a
// vertical alignment and raised, recessed or shadowed text.
//
// TCtButton is the push button on it: the form's default and cancel
// buttons (Enter and Escape), the modal result it gives its form before
// OnClick, grouped toggle buttons that stay down, and its looks: themed,
// hot-track (a rounded gradient face) and classic (3D edges).
#pragma once

#include <memory>

#include "ct_common_types.h"
#include "vcl/controls/controls.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

namespace qelo::ct {

using vcl::TCanvas;
using vcl::TColor;
using vcl::TRect;

class TCtCustomButton : public vcl::TCustomControl {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomButton(vcl::TComponent* owner);

  TAlignmentVertical AlignmentVertical() const { return alignmentVertical_; }
  virtual void SetAlignmentVertical(TAlignmentVertical value);
  bool HotTrack() const { return hotTrack_; }
  virtual void SetHotTrack(bool value);
  TColor HotTrackColor() const { return hotTrackColor_; }
  void SetHotTrackColor(TColor value);
  TCtHotTrackColorType HotTrackColorType() const { return hotTrackColorType_; }
  void SetHotTrackColorType(TCtHotTrackColorType value);
  TColor HighlightColor() const { return highlightColor_; }
  virtual void SetHighlightColor(TColor value);
  bool LightTextStyle() const { return lightTextStyle_; }
  virtual void SetLightTextStyle(bool value);
  TTextStyle TextStyle() const { return textStyle_; }
  virtual void SetTextStyle(TTextStyle value);
  TColor TextHighlightColor() const { return textHighlightColor_; }
  virtual void SetTextHighlightColor(TColor value);
  TColor TextShadowColor() const { return textShadowColor_; }
  virtual void SetTextShadowColor(TColor value);
  int TextShadowDepth() const { return textShadowDepth_; }
  virtual void SetTextShadowDepth(int value);
  bool ThemeAware() const { return themeAware_; }
  virtual void SetThemeAware(bool value);
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);

  // Pressed: the left button went down on it and is held inside, or Space
  // is held. Tracking: the left button went down on it and is not up yet.
  bool Pressed() const { return pressed_; }
  bool Tracking() const { return tracking_; }
  bool MouseOver() const { return mouseOver_; }

  void Dispatch(vcl::TMessage& message) override;

 protected:
  // Paints what shows through a transparent button (WM_ERASEBKGND).
  virtual void DrawBackground(win::HDC dc);
  // The pressed or mouse-over state changed.
  virtual void StateChanged() {}
  virtual void RepaintButton() { Repaint(); }
  // The part that changes when the mouse enters or leaves.
  virtual void GetHotTrackRect(TRect& rect);
  // ThemeAware and the platform's themes are on.
  virtual bool UseThemes() const;
  // The caption within `rect`, placed by AlignmentVertical and drawn in
  // TextStyle; `flags` are the platform's DrawText flags.
  virtual void DrawCaption(TCanvas& canvas, TRect rect, vcl::UINT flags);
  // The button was activated by the mouse or a key.
  virtual void Clicked() = 0;

  void SetPressed(bool value) { pressed_ = value; }
  void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void MouseMove(vcl::TShiftState shift, int x, int y) override;
  void MouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;

 private:
  bool InClient(int x, int y) const;
  void MouseOverChanged(bool over);
  void EnabledChanged();
  void EraseBackground(vcl::TMessage& m);
  void DrawCaptionText(TCanvas& canvas, TRect rect, int dx, int dy, TColor color, vcl::UINT flags);

  TAlignmentVertical alignmentVertical_ = avCenter;
  bool hotTrack_ = false;
  TColor hotTrackColor_ = 0x149BF0;
  TCtHotTrackColorType hotTrackColorType_ = htctActual;
  TColor highlightColor_ = vcl::clHighlight;
  bool lightTextStyle_ = false;
  TTextStyle textStyle_ = tsNormal;
  TColor textHighlightColor_ = vcl::clBtnHighlight;
  TColor textShadowColor_ = vcl::clBtnShadow;
  int textShadowDepth_ = 2;
  bool themeAware_ = true;
  bool transparent_ = false;
  bool tracking_ = false;
  bool pressed_ = false;
  bool mouseOver_ = false;
};

// The group message of TCtButton (WM_USER + 0x2021).
constexpr vcl::UINT CM_CTBUTTONPRESSED = 9249;

class TCtButton : public TCtCustomButton {
  QELO_VCL_CLASS()
 public:
  explicit TCtButton(vcl::TComponent* owner);

  vcl::TAlignment Alignment() const { return alignment_; }
  virtual void SetAlignment(vcl::TAlignment value);
  bool AllowAllUp() const { return allowAllUp_; }
  virtual void SetAllowAllUp(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  bool Default() const { return default_; }
  virtual void SetDefault(bool value);
  // Kept for form files; it changes nothing here.
  bool DropDownOnEnter() const { return dropDownOnEnter_; }
  void SetDropDownOnEnter(bool value) { dropDownOnEnter_ = value; }
  int GroupIndex() const { return groupIndex_; }
  virtual void SetGroupIndex(int value);
  bool Down() const { return down_; }
  virtual void SetDown(bool value);
  TColor FrameColor() const { return frameColor_; }
  virtual void SetFrameColor(TColor value);
  vcl::TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(vcl::TModalResult value) { modalResult_ = value; }
  bool ShowDownPattern() const { return showDownPattern_; }
  virtual void SetShowDownPattern(bool value);
  bool ShowFocusRect() const { return showFocusRect_; }
  virtual void SetShowFocusRect(bool value);

  // Shows itself as the form's default button: the one Enter clicks.
  bool Active() const { return active_; }

  void SetHotTrack(bool value) override;
  // Gives the parent form the modal result, then runs OnClick.
  void Click() override;
  void Dispatch(vcl::TMessage& message) override;

 protected:
  virtual void GetCaptionRect(TRect& rect);
  virtual void DrawButtonCaption();
  // The 8 x 8 checker of the stayed-down look.
  virtual void MakeDownPattern(vcl::TBitmap& bitmap);

  void DrawBackground(win::HDC dc) override;
  void StateChanged() override { Invalidate(); }
  void Clicked() override;
  void CreateWnd() override;
  void Paint() override;
  void KeyDown(uint16_t& key, vcl::TShiftState shift) override;
  void KeyUp(uint16_t& key, vcl::TShiftState shift) override;

 private:
  bool Grouped() const { return groupIndex_ != 0; }
  // Grouped and staying down.
  bool DownLook() const { return Grouped() && down_; }
  bool PressedLook() const { return DownLook() || Pressed(); }
  TColor ParentFaceColor() const;
  // Each look paints the whole button and returns its face: what is left
  // inside its edges.
  TRect PaintThemed(const TRect& client);
  TRect PaintHotTrackLook(TRect r);
  void PaintHotTrackFace(const TRect& face);
  void PaintHotTrackRing(const TRect& face);
  TRect PaintClassicLook(TRect r);
  void PaintDownPattern(const TRect& face);
  void DialogKey(vcl::TMessage& m);
  void DialogChar(vcl::TMessage& m);
  void FocusChanged(vcl::TMessage& m);
  void GroupMessage(vcl::TMessage& m);
  void BroadcastGroup();
  void SetActive(bool value);

  vcl::TAlignment alignment_ = vcl::taCenter;
  bool allowAllUp_ = false;
  bool cancel_ = false;
  bool default_ = false;
  bool dropDownOnEnter_ = true;
  int groupIndex_ = 0;
  bool down_ = false;
  TColor frameColor_ = vcl::cl3DDkShadow;
  vcl::TModalResult modalResult_ = vcl::mrNone;
  bool showDownPattern_ = true;
  bool showFocusRect_ = true;
  bool active_ = false;
  bool clicking_ = false;
  bool spacePressed_ = false;
  std::unique_ptr<vcl::TBitmap> downPattern_;
};

// Registers TCtButton with the class registry (once), so that form files
// can place it.
void RegisterCtButtonClasses();

}  // namespace qelo::ct
