// The bitmap button: an image button whose face is one of six bitmaps,
// chosen by its state (up, hot, focused, disabled, down, stayed down),
// drawn with one colour transparent through an off-screen bitmap, with an
// optional caption and border and four ways of fitting bitmap and button
// to each other. A button with a group index is a toggle that keeps at
// most one button of its group under the same parent down.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "vcl/controls/buttons.h"
#include "vcl/controls/controls.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

namespace qelo::ct {

using vcl::TBitmap;
using vcl::TCanvas;
using vcl::TColor;
using vcl::TRect;
using vcl::TSize;

enum TButtonBorder { bbNone, bbSingle, bbButton };
// bszButtonToBitmap: the button takes the size of the Up bitmap (and its
// border); bszStretchToButton and bszTileToButton fit the bitmap to the
// button; bszNeither draws it at its own size beside the caption.
enum TBtnSize { bszNeither, bszButtonToBitmap, bszStretchToButton, bszTileToButton };

extern const vcl::EnumInfo kButtonBorderInfo;
extern const vcl::EnumInfo kBtnSizeInfo;

// The group message of TCtBmpButton (WM_USER + 0x2020): wParam the group
// index, lParam the button that went down or changed its group.
constexpr vcl::UINT CM_CTBMPBUTTONPRESSED = 9248;

// The six faces and the colour drawn as transparent. Each bitmap reports
// its changes to the set, which reports them through OnChange. Form files
// name a face by the resource name of its picture.
class TCtButtonBitmaps : public vcl::TPersistent {
  QELO_VCL_CLASS()
 public:
  enum Face { fcUp, fcUpAndFocused, fcDisabled, fcDown, fcStayDown, fcHot };
  static constexpr int kFaceCount = 6;

  TCtButtonBitmaps();
  ~TCtButtonBitmaps() override;

  TBitmap* Bitmap(Face face) const { return faces_[face].get(); }
  // Copies the bitmap (null empties the face).
  void SetBitmap(Face face, const TBitmap* bitmap);
  TBitmap* Up() const { return Bitmap(fcUp); }
  TBitmap* UpAndFocused() const { return Bitmap(fcUpAndFocused); }
  TBitmap* Disabled() const { return Bitmap(fcDisabled); }
  TBitmap* Down() const { return Bitmap(fcDown); }
  TBitmap* StayDown() const { return Bitmap(fcStayDown); }
  TBitmap* Hot() const { return Bitmap(fcHot); }
  void SetUp(const TBitmap* bitmap) { SetBitmap(fcUp, bitmap); }
  void SetUpAndFocused(const TBitmap* bitmap) { SetBitmap(fcUpAndFocused, bitmap); }
  void SetDisabled(const TBitmap* bitmap) { SetBitmap(fcDisabled, bitmap); }
  void SetDown(const TBitmap* bitmap) { SetBitmap(fcDown, bitmap); }
  void SetStayDown(const TBitmap* bitmap) { SetBitmap(fcStayDown, bitmap); }
  void SetHot(const TBitmap* bitmap) { SetBitmap(fcHot, bitmap); }
  // A face without pixels draws nothing and is passed over.
  bool IsEmpty(Face face) const { return faces_[face]->Empty(); }

  // The face's picture as a form file names it: the registered picture
  // resource of that name; an empty name empties the face.
  const std::string& ResourceName(Face face) const { return resourceNames_[face]; }
  void SetResourceName(Face face, const std::string& name);

  TColor TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(TColor color);

  void Assign(const vcl::TPersistent* source) override;

  vcl::TNotifyEvent OnChange;

 private:
  void Changed();

  std::array<std::unique_ptr<TBitmap>, kFaceCount> faces_;
  std::array<std::string, kFaceCount> resourceNames_;
  TColor transparentColor_ = vcl::clOlive;
};

// Where the glyph and the caption go inside a button's interior.
struct TGlyphCaptionLayout {
  TRect glyph{};    // empty when the glyph has no size
  TRect caption{};
};

// Places a glyph of size `glyph` and a caption of size `caption` in
// `interior` along the layout's axis: centred across it, `margin` from the
// edge the glyph starts at (-1 centres), `spacing` between the two (-1
// centres the caption in what the glyph leaves).
TGlyphCaptionLayout LayoutGlyphAndCaption(const TRect& interior, TSize glyph, TSize caption,
                                          vcl::TButtonLayout layout, int margin, int spacing);

// The platform's three-dimensional button face over `rect`, raised or
// pressed, in the new or the old (black-framed, optionally rounded) look,
// with a focus frame; returns the rectangle inside its edges.
TRect PaintButtonFace(TCanvas& canvas, TRect rect, int bevelWidth, vcl::TButtonStyle style, bool rounded,
                      bool pressed, bool focused);

// The face shown for a disabled button without a Disabled bitmap: the
// dark (black) pixels of `up` embossed in shadow and highlight on the
// button face colour.
void MakeDisabledFace(TBitmap& up, TBitmap& result);

class TCtBmpButton : public vcl::TCustomControl {
  QELO_VCL_CLASS()
 public:
  explicit TCtBmpButton(vcl::TComponent* owner);
  ~TCtBmpButton() override;

  bool AllowAllUp() const { return allowAllUp_; }
  virtual void SetAllowAllUp(bool value);
  TButtonBorder ButtonBorder() const { return buttonBorder_; }
  virtual void SetButtonBorder(TButtonBorder value);
  TBtnSize ButtonSize() const { return buttonSize_; }
  virtual void SetButtonSize(TBtnSize value);
  vcl::TButtonStyle ButtonStyle() const { return buttonStyle_; }
  virtual void SetButtonStyle(vcl::TButtonStyle value);
  bool Down() const { return down_; }
  virtual void SetDown(bool value);
  int CaptionDownOffset() const { return captionDownOffset_; }
  virtual void SetCaptionDownOffset(int value);
  int GroupIndex() const { return groupIndex_; }
  virtual void SetGroupIndex(int value);
  vcl::TButtonLayout Layout() const { return layout_; }
  virtual void SetLayout(vcl::TButtonLayout value);
  // -1 centres; values below -1 are refused.
  int Margin() const { return margin_; }
  virtual void SetMargin(int value);
  bool ShowDownPattern() const { return showDownPattern_; }
  virtual void SetShowDownPattern(bool value);
  bool ShowFocus() const { return showFocus_; }
  virtual void SetShowFocus(bool value);
  int Spacing() const { return spacing_; }
  virtual void SetSpacing(int value);
  vcl::TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(vcl::TModalResult value) { modalResult_ = value; }

  TCtButtonBitmaps* Bitmaps() const { return bitmaps_.get(); }
  // The Up bitmap's palette.
  win::HPALETTE GetPalette() const override { return bitmaps_->Up()->Palette(); }
  void SetBitmaps(const TCtButtonBitmaps* bitmaps) { bitmaps_->Assign(bitmaps); }

  // Gives the parent form the button's modal result (0 too), then runs
  // OnClick.
  void Click() override;
  void Dispatch(vcl::TMessage& message) override;

 protected:
  enum class State { Up, Disabled, Down, Exclusive };

  void Loaded() override;
  void Paint() override;
  void KeyDown(uint16_t& key, vcl::TShiftState shift) override;
  void KeyUp(uint16_t& key, vcl::TShiftState shift) override;
  void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void MouseMove(vcl::TShiftState shift, int x, int y) override;
  void MouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void DblClick() override;

  State ButtonState() const { return state_; }

 private:
  // What started the press in progress; only the same input ends it.
  enum class Press { None, Mouse, SpaceKey };

  bool NewStyle() const;
  int BorderWidthOfStyle() const;
  void AdjustToBitmap();
  void SetState(State state);
  bool Inside(int x, int y) const;
  void BeginPress(Press source);
  void Release(bool click);
  void UpdateGroup();
  void GroupMessage(vcl::TMessage& m);
  void DialogChar(vcl::TMessage& m);
  void BitmapsChanged();

  // Paint steps, on the off-screen bitmap's canvas.
  void SyncEnabledState();
  TRect PaintBorder(TCanvas& canvas);
  void PaintDownPattern(TCanvas& canvas, TRect interior);
  TBitmap* FaceBitmap();
  void DrawFace(TCanvas& canvas, TBitmap& face, const TRect& interior, const TRect& glyphRect);
  void DrawButtonCaption(TCanvas& canvas, TRect captionRect);

  bool allowAllUp_ = false;
  TButtonBorder buttonBorder_ = bbNone;
  TBtnSize buttonSize_ = bszButtonToBitmap;
  vcl::TButtonStyle buttonStyle_ = vcl::bsAutoDetect;
  bool down_ = false;
  int captionDownOffset_ = 1;
  int groupIndex_ = 0;
  vcl::TButtonLayout layout_ = vcl::blGlyphLeft;
  int margin_ = -1;
  bool showDownPattern_ = true;
  bool showFocus_ = true;
  int spacing_ = 4;
  vcl::TModalResult modalResult_ = vcl::mrNone;
  std::unique_ptr<TCtButtonBitmaps> bitmaps_;
  std::unique_ptr<TBitmap> disabledFace_;  // made from Up when first needed, dropped when the faces change

  State state_ = State::Up;
  Press press_ = Press::None;
  bool focused_ = false;
  bool mouseInside_ = false;
};

// Registers TCtBmpButton with the class registry (once), so that form
// files can place it.
void RegisterCtBmpButtonClasses();

}  // namespace qelo::ct
