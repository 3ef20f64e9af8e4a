// The glyph-and-caption controls of the control library.
//
// TCtCustomGlyphButton shows a small state glyph beside a word-wrapped
// caption and sizes itself to both. The glyph comes from custom glyphs (a
// strip of equal cells, or an image list), from the library's own check
// painter while hot tracking, or from the classic frame controls. The
// control paints through an off-screen bitmap over a cached background,
// which for a transparent control is its parent's.
//
// TCtCustomCheckBox adds the three check states, Space and accelerators,
// and the glyph of each state; TCtCheckBox publishes it. A bound action's
// Checked and the box's follow each other: TCtCheckedActionLink passes the
// action's on (without firing OnClick), a click passes the box's to the
// action.
#pragma once

#include <memory>

#include "ct_button.h"
#include "ct_common_controller.h"
#include "ct_common_glyphs.h"
#include "vcl/controls/checkbox.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/image_list.h"

namespace qelo::ct {

// The two sides a caption can take beside its glyph.
extern const vcl::EnumInfo kLeftRightInfo;

class TCtCustomGlyphButton;

class TCtCheckedActionLink : public vcl::TWinControlActionLink {
 public:
  explicit TCtCheckedActionLink(TCtCustomGlyphButton& client);

  bool IsCheckedLinked() const override;
  void SetChecked(bool checked) override;

 private:
  TCtCustomGlyphButton& button_;
};

class TCtCustomGlyphButton : public TCtCustomButton, public ICtFrameControllerClient {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomGlyphButton(vcl::TComponent* owner);
  ~TCtCustomGlyphButton() override;

  // taRightJustify puts the caption right of the glyph (mirrored for
  // right-to-left alignment).
  vcl::TAlignment Alignment() const { return alignment_; }
  virtual void SetAlignment(vcl::TAlignment value);
  // The caption's side as a right-to-left layout reads it: left only when
  // the caption sits right of the glyph under right-to-left alignment.
  vcl::TAlignment GetControlsAlignment() const override;
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool value);
  TColor FrameColor() const { return frameColor_; }
  virtual void SetFrameColor(TColor value);
  // The strip of equal glyph cells, left to right; the control owns it.
  vcl::TBitmap* CustomGlyphs() const { return customGlyphs_.get(); }
  virtual void SetCustomGlyphs(const vcl::TBitmap* glyphs);
  // Form files name the strip by its resource name.
  const std::string& CustomGlyphsName() const { return customGlyphsName_; }
  void SetCustomGlyphsName(const std::string& name);
  vcl::TImageList* CustomGlyphImages() const { return customGlyphImages_; }
  virtual void SetCustomGlyphImages(vcl::TImageList* images);
  bool UseCustomGlyphs() const { return useCustomGlyphs_; }
  virtual void SetUseCustomGlyphs(bool value);
  TColor TransparentColor() const { return transparentColor_; }
  virtual void SetTransparentColor(TColor value);
  TColor WinMaskColor() const { return winMaskColor_; }
  virtual void SetWinMaskColor(TColor value);
  TColor FillColor() const { return fillColor_; }
  virtual void SetFillColor(TColor value);
  TColor FocusColor() const { return focusColor_; }
  virtual void SetFocusColor(TColor value);
  TColor DisabledColor() const { return disabledColor_; }
  virtual void SetDisabledColor(TColor value);
  bool ReadOnly() const { return readOnly_; }
  virtual void SetReadOnly(bool value);
  bool ReadOnlyColorOnFocus() const { return readOnlyColorOnFocus_; }
  void SetReadOnlyColorOnFocus(bool value);
  TColor ReadOnlyColor() const { return readOnlyColor_; }
  virtual void SetReadOnlyColor(TColor value);
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool value) { tabOnEnter_ = value; }
  THotTrackStyle HotTrackStyle() const { return hotTrackStyle_; }
  void SetHotTrackStyle(THotTrackStyle value);
  TCtFrameController* FrameController() const { return controllerLink_.Controller(); }
  virtual void SetFrameController(TCtFrameController* controller);
  TCtFrameControllerNotifications FrameControllerNotifications() const { return controllerLink_.Notifications(); }
  void SetFrameControllerNotifications(TCtFrameControllerNotifications mask) {
    controllerLink_.SetNotifications(mask);
  }

  int GlyphWidth() const { return glyphWidth_; }
  int GlyphHeight() const { return glyphHeight_; }
  // The glyph's place in the control.
  TRect GlyphRect() const;

  virtual bool GetChecked() const { return false; }
  virtual void SetChecked(bool) {}
  bool Checked() const { return GetChecked(); }
  // True while the action link changes the state (no OnClick fires).
  bool SetByAction() const { return setByAction_; }
  // Sets Checked as the action does: without OnClick.
  void SetCheckedByAction(bool checked);

  void SetTransparent(bool value) override;
  void SetHotTrack(bool value) override;
  void UpdateFrameFromController() override;
  // Passes the state on to a bound action, then runs OnClick or the action.
  void Click() override;
  void Dispatch(vcl::TMessage& message) override;

 protected:
  virtual void GetGlyph(vcl::TBitmap& glyph) = 0;
  virtual void AdjustTransparentGlyph(vcl::TBitmap&) {}
  virtual void DrawGlyph(TCanvas& canvas);
  // Copies cell `cell` of `strip` into the top-left of `target`.
  virtual void CopyGlyphCell(int cell, TCanvas& target, int height, int width, vcl::TBitmap& strip);
  // Fits the size to the caption and glyph (with a window, not while read).
  virtual void AdjustSize();

  void DrawBackground(win::HDC dc) override;
  void StateChanged() override { Repaint(); }
  void RepaintButton() override { Repaint(); }
  void GetHotTrackRect(TRect& rect) override { rect = GlyphRect(); }
  void Paint() override;
  void CreateWnd() override;
  void Loaded() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void ActionChange(vcl::TObject* sender, bool checkDefaults) override;
  vcl::TControlActionLinkClass GetActionLinkClass() const override;
  void KeyPress(char16_t& key) override;
  void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void MouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;

  void SetGlyphCells(int cells) { glyphCells_ = cells; }
  int GlyphCells() const { return glyphCells_; }
  bool MouseIsDown() const { return mouseDown_; }
  // The caption sits right of the glyph.
  bool GlyphOnLeft() const;
  // Glyph pixels of TransparentColor show `background`; custom glyphs'
  // WinMaskColor pixels show clWindow.
  void ReplaceColor(vcl::TBitmap& bitmap, TColor from, TColor to) const;
  void MarkBackgroundStale() { backgroundStale_ = true; }

 private:
  void CustomGlyphsChanged();
  // Whether there is a custom glyph source to draw: an image list with
  // images, or a strip.
  bool HasCustomGlyphSource() const;
  void SizeGlyphs();
  void RebuildBackground(vcl::TBitmap& frame);
  void PaintCaptionAndFocus(TCanvas& canvas);
  template <class T>
  void StoreAndInvalidate(T& field, T value) {
    if (StoreChanged(field, value)) Invalidate();
  }

  vcl::TAlignment alignment_ = vcl::taRightJustify;
  bool autoSize_ = true;
  TColor frameColor_ = vcl::clBtnShadow;
  int glyphCells_ = 2;
  std::unique_ptr<vcl::TBitmap> customGlyphs_;
  std::string customGlyphsName_;
  vcl::TImageList* customGlyphImages_ = nullptr;
  vcl::TChangeLink imagesLink_;
  bool useCustomGlyphs_ = false;
  TColor transparentColor_ = vcl::clOlive;
  TColor winMaskColor_ = vcl::clLime;
  TColor fillColor_ = vcl::clWindow;
  TColor focusColor_ = vcl::clWindow;
  TColor disabledColor_ = vcl::clBtnFace;
  bool readOnly_ = false;
  bool readOnlyColorOnFocus_ = false;
  TColor readOnlyColor_ = vcl::clInfoBk;
  int glyphWidth_ = 13;
  int glyphHeight_ = 13;
  bool tabOnEnter_ = false;
  THotTrackStyle hotTrackStyle_ = htsInterior;
  TCtFrameControllerLink controllerLink_;
  bool setByAction_ = false;
  std::unique_ptr<vcl::TBitmap> background_;
  bool backgroundStale_ = true;
  bool mouseDown_ = false;
  bool adjusting_ = false;
};

class TCtCustomCheckBox : public TCtCustomGlyphButton {
  QELO_VCL_CLASS()
 public:
  explicit TCtCustomCheckBox(vcl::TComponent* owner);

  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }
  vcl::TCheckBoxState State() const { return state_; }
  virtual void SetState(vcl::TCheckBoxState value);

  bool GetChecked() const override { return state_ == vcl::cbChecked; }
  void SetChecked(bool checked) override { SetState(checked ? vcl::cbChecked : vcl::cbUnchecked); }

  void Dispatch(vcl::TMessage& message) override;

  // The image of a custom glyph list that shows a state, by the state table,
  // with the hot images (9 to 11) only where the list holds them.
  static int GlyphImageIndex(vcl::TCheckBoxState state, bool enabled, bool pressed, bool hot, bool hotTrack,
                             int imageCount);
  // The cell of a custom glyph strip that shows a state.
  static int GlyphCellIndex(vcl::TCheckBoxState state, bool enabled, bool pressed);

 protected:
  void GetGlyph(vcl::TBitmap& glyph) override;
  void Clicked() override;
  void KeyDown(uint16_t& key, vcl::TShiftState shift) override;
  void KeyUp(uint16_t& key, vcl::TShiftState shift) override;
  void DoExit() override;

 private:
  void DialogChar(vcl::TMessage& m);
  void PaintCheckPainterGlyph(vcl::TBitmap& glyph);
  void PaintClassicGlyph(vcl::TBitmap& glyph);

  bool allowGrayed_ = false;
  vcl::TCheckBoxState state_ = vcl::cbUnchecked;
  bool spacePending_ = false;
};

class TCtCheckBox : public TCtCustomCheckBox {
  QELO_VCL_CLASS()
 public:
  explicit TCtCheckBox(vcl::TComponent* owner);
};

// Registers TCtCheckBox with the class registry (once).
void RegisterCtRadChkClasses();

}  // namespace qelo::ct
