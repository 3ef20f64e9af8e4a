// The form framework's drawing objects: fonts, pens and brushes that report
// their changes and make their drawing handles only when first asked, and
// the canvas that draws with them on a device context, selecting each into
// the context only when a drawing call needs it.
#pragma once

#include <istream>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "vcl/classes.h"
#include "vcl/colors.h"
#include "win/gdi/gdi.h"

namespace qelo::vcl {

using TRect = win::RECT;
using TPoint = win::POINT;
using TSize = win::SIZE;

constexpr TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
constexpr TPoint Point(int x, int y) { return TPoint{x, y}; }
constexpr int RectWidth(const TRect& r) { return r.right - r.left; }
constexpr int RectHeight(const TRect& r) { return r.bottom - r.top; }

// Raised by a canvas that has no device context to draw on, and by image
// operations that cannot be carried out.
struct EInvalidOperation : Exception {
  using Exception::Exception;
};
struct EInvalidGraphic : Exception {
  using Exception::Exception;
};

// The RGB value of a colour: system colours become their palette entry;
// clNone and clDefault keep their values.
TColor ColorToRGB(TColor color);

// ---- fonts -------------------------------------------------------------------

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2,
                       OEM_CHARSET = 255;

extern const EnumInfo kFontStyleInfo;
extern const EnumInfo kFontPitchInfo;

class TFont : public TGraphicsObject {
  QELO_VCL_CLASS()
 public:
  // Pixels per inch that Size and Height convert with.
  static constexpr int kPixelsPerInch = 96;

  TFont();
  ~TFont() override;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Character height in pixels (negative) or cell height (positive).
  int Height() const { return height_; }
  void SetHeight(int height);
  // Size in points; a negative size is a cell height in points.
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  // The angle of the text's baseline in tenths of a degree, counter-
  // clockwise (the logical font's escapement): a canvas draws turned text
  // with TextOut and TextRect.
  int Orientation() const { return orientation_; }
  void SetOrientation(int tenths);

  // The font's drawing handle, made on first use and remade after a change
  // of anything but the colour. It belongs to the font.
  win::HFONT Handle() const;
  // Takes a handle made elsewhere (an angled font): the font adopts its
  // logical font, name, size, style and angle, and owns the handle from
  // then on. A handle that is no font changes nothing and stays the
  // caller's.
  void SetHandle(win::HFONT handle);
  bool HandleAllocated() const { return handle_ != nullptr; }
  // The logical font the handle is made from.
  win::LOGFONT LogFont() const;

  void Assign(const TPersistent* source) override;

 private:
  void FontChanged(bool handleStale);

  std::string name_ = "Tahoma";
  int height_ = -11;  // 8 points
  TFontStyles style_;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  int orientation_ = 0;
  mutable win::HFONT handle_ = nullptr;
};

// ---- pens --------------------------------------------------------------------

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Raster modes of the pen, in the order of the platform's R2_ values 1 to 16.
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

extern const EnumInfo kPenStyleInfo;
extern const EnumInfo kPenModeInfo;

// The platform's raster mode (R2_*) of a pen mode.
int PenModeToRop2(TPenMode mode);

class TPen : public TGraphicsObject {
  QELO_VCL_CLASS()
 public:
  TPen() = default;
  ~TPen() override;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);  // widths below 1 are 1
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  // The mode is a state of the canvas, not of the handle: changing it keeps
  // the handle.
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);

  win::HPEN Handle() const;
  bool HandleAllocated() const { return handle_ != nullptr; }

  void Assign(const TPersistent* source) override;

 private:
  void PenChanged(bool handleStale);

  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
  mutable win::HPEN handle_ = nullptr;
};

// ---- brushes -----------------------------------------------------------------

// Solid or clear (nothing is filled, text is drawn without a background).
enum TBrushStyle { bsSolid, bsClear };

extern const EnumInfo kBrushStyleInfo;

class TBitmap;

class TBrush : public TGraphicsObject {
  QELO_VCL_CLASS()
 public:
  TBrush() = default;
  ~TBrush() override;

  TColor Color() const { return color_; }
  // Setting a colour makes a clear brush solid.
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  // A pattern brush: a solid brush paints the top-left 8 x 8 pixels of the
  // bitmap, repeated, instead of its colour (an empty bitmap counts as
  // none). The bitmap stays the caller's and is read when the handle is
  // made: set it again after drawing on it, and set null before freeing it.
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* bitmap);

  // The platform's null brush while the style is bsClear.
  win::HBRUSH Handle() const;
  bool HandleAllocated() const { return handle_ != nullptr; }

  void Assign(const TPersistent* source) override;

 private:
  void BrushChanged();

  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
  mutable win::HBRUSH handle_ = nullptr;
};

// ---- canvas --------------------------------------------------------------------

class TGraphic;

enum TCanvasStateItem { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStateItem>;

// Draws on a device context. The context is given with SetHandle, or made
// on demand by a descendant's CreateHandle (a control's or a bitmap's
// canvas). Pen, brush and font are selected into the context only when a
// drawing call needs them, and taken out again when they change, so that
// their handles can be remade. Every drawing call is framed by OnChanging
// and OnChange.
class TCanvas : public TPersistent {
  QELO_VCL_CLASS()
 public:
  TCanvas();
  ~TCanvas() override;

  // The context with pen, brush and font selected, for drawing on it
  // directly; EInvalidOperation "Canvas does not allow drawing" when there
  // is none and none can be made.
  win::HDC Handle();
  void SetHandle(win::HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont* Font() const { return font_; }
  TPen* Pen() const { return pen_; }
  TBrush* Brush() const { return brush_; }
  void SetFont(const TFont* font) { font_->Assign(font); }
  void SetPen(const TPen* pen) { pen_->Assign(pen); }
  void SetBrush(const TBrush* brush) { brush_->Assign(brush); }

  // Raster operation of CopyRect and Draw of bitmaps (SRCCOPY by default).
  uint32_t CopyMode() const { return copyMode_; }
  void SetCopyMode(uint32_t rop) { copyMode_ = rop; }

  TPoint PenPos();
  void SetPenPos(TPoint p) { MoveTo(p.x, p.y); }
  void MoveTo(int x, int y);
  // Leaves out the end pixel, as the platform does.
  void LineTo(int x, int y);
  void Polyline(std::span<const TPoint> points);
  void Polygon(std::span<const TPoint> points);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const TRect& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
  // Fill and frame with the brush, no pen.
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void DrawFocusRect(const TRect& r);

  TColor Pixels(int x, int y);
  void SetPixel(int x, int y, TColor color);

  // Text in the font's colour; on the brush's colour unless the brush is
  // clear. TextRect clips the text to the rectangle and fills it first.
  void TextOut(int x, int y, std::string_view text);
  void TextRect(const TRect& r, int x, int y, std::string_view text);
  TSize TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }

  // Draws a graphic at its own size, or stretched into a rectangle; an
  // empty or null graphic draws nothing.
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& r, TGraphic* graphic);
  // Copies (stretching) from another canvas with CopyMode.
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
  // Copies (stretching) part of a bitmap with its pixels of `color` in the
  // brush's colour instead.
  void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& sourceRect, TColor color);

  // Takes pen, brush and font out of the context; they are selected again
  // when next needed.
  void Refresh();

  // Serialises drawing from several threads (a bitmap's canvas drawn by a
  // worker). Recursive within one thread.
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return lockCount_; }

  TCanvasState State() const { return state_; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Descendants make their context here and call SetHandle.
  virtual void CreateHandle() {}
  // The context as it is, nothing selected into it (null when none).
  win::HDC ContextHandle() const { return dc_; }
  // Selects what `required` names that is not selected yet.
  void RequiredState(TCanvasState required);
  virtual void Changing();
  virtual void Changed();

 private:
  void EnsureHandle();
  void DeselectHandles();
  void SelectFont();
  void SelectPen();
  void SelectBrush();
  void FontChanged(TObject*);
  void PenChanged(TObject*);
  void BrushChanged(TObject*);

  win::HDC dc_ = nullptr;
  TCanvasState state_;
  TFont* font_;
  TPen* pen_;
  TBrush* brush_;
  uint32_t copyMode_ = win::SRCCOPY;
  std::recursive_mutex lock_;
  int lockCount_ = 0;
};

// ---- graphics ------------------------------------------------------------------

// An image of some kind: a bitmap, a PNG image. Knows its size, whether it
// is drawn with a transparent part, and how to draw itself on a canvas.
class TGraphic : public TPersistent {
  QELO_VCL_CLASS()
 public:
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);

  // EFOpenError for a file that cannot be read; EInvalidGraphic for data
  // that is not an image of the class.
  void LoadFromFile(const std::string& path);
  void LoadFromStream(std::istream& stream);
  virtual void LoadFromMemory(const void* data, size_t size) = 0;

  bool Modified() const { return modified_; }
  void SetModified(bool modified);

  // The colours the picture was made with, as a palette (null when it has
  // none: every picture of more than 256 colours); the graphic owns it.
  virtual win::HPALETTE Palette() { return nullptr; }

  TNotifyEvent OnChange;

 protected:
  friend class TCanvas;
  virtual void Draw(TCanvas& canvas, const TRect& r) = 0;
  virtual void Changed();

 private:
  bool transparent_ = false;
  bool modified_ = false;
};

// Lends a canvas a device context for one drawing pass: the canvas is locked
// and given the context, and both are taken back when the scope ends, also
// when the drawing throws. A canvas lent again inside such a pass (a
// control painted while it paints) gets its outer context back.
class TCanvasContextScope {
 public:
  TCanvasContextScope(TCanvas& canvas, win::HDC dc) : canvas_(canvas) {
    canvas_.Lock();
    if (canvas_.HandleAllocated()) previous_ = canvas_.Handle();
    canvas_.SetHandle(dc);
  }
  ~TCanvasContextScope() {
    canvas_.SetHandle(previous_);
    canvas_.Unlock();
  }
  TCanvasContextScope(const TCanvasContextScope&) = delete;
  TCanvasContextScope& operator=(const TCanvasContextScope&) = delete;

 private:
  TCanvas& canvas_;
  win::HDC previous_ = nullptr;
};

}  // namespace qelo::vcl
