#include "ct_grafx_bitmaps.h"

#include <algorithm>

namespace qelo::ct {

using namespace vcl;

namespace {

int Width(const TRect& r) { return r.right - r.left; }
int Height(const TRect& r) { return r.bottom - r.top; }

// The text and background colours a monochrome blit turns its 0 and 1
// bits into, for the length of a scope.
class MonoColors {
 public:
  MonoColors(win::HDC dc, TColor text, TColor background)
      : dc_(dc), text_(win::SetTextColor(dc, text)), background_(win::SetBkColor(dc, background)) {}
  ~MonoColors() {
    win::SetTextColor(dc_, text_);
    win::SetBkColor(dc_, background_);
  }
  MonoColors(const MonoColors&) = delete;
  MonoColors& operator=(const MonoColors&) = delete;

 private:
  win::HDC dc_;
  win::COLORREF text_, background_;
};

}  // namespace

void DrawBitmapTransparent(TCanvas& canvas, TBitmap& bitmap, const TRect& destRect, TColor transparentColor,
                           const TRect& sourceRect) {
  if (bitmap.Empty() || Width(destRect) <= 0 || Height(destRect) <= 0) return;
  win::TransparentBlt(canvas.Handle(), destRect.left, destRect.top, Width(destRect), Height(destRect),
                      bitmap.Canvas()->Handle(), sourceRect.left, sourceRect.top, Width(sourceRect),
                      Height(sourceRect), ColorToRGB(transparentColor));
}

void DrawBitmapTransparentMasked(TCanvas& canvas, TBitmap& bitmap, const TRect& destRect,
                                 TColor transparentColor, const TRect& sourceRect) {
  const int w = Width(destRect), h = Height(destRect);
  if (bitmap.Empty() || w <= 0 || h <= 0 || Width(sourceRect) <= 0 || Height(sourceRect) <= 0) return;
  const TColor key = ColorToRGB(transparentColor);
  TBitmap colour(w, h);
  win::HDC colourDC = colour.Canvas()->Handle();
  win::StretchBlt(colourDC, 0, 0, w, h, bitmap.Canvas()->Handle(), sourceRect.left, sourceRect.top,
                  Width(sourceRect), Height(sourceRect), win::SRCCOPY);
  TBitmap mask;
  mask.SetMonochrome(true);
  mask.SetSize(w, h);
  win::HDC maskDC = mask.Canvas()->Handle();
  {
    // Set bits where the colour copy shows the transparent colour.
    MonoColors keyed(colourDC, clBlack, key);
    win::BitBlt(maskDC, 0, 0, w, h, colourDC, 0, 0, win::SRCCOPY);
  }
  if (key != clBlack) {
    MonoColors blackWhereSet(colourDC, clWhite, clBlack);
    win::BitBlt(colourDC, 0, 0, w, h, maskDC, 0, 0, win::SRCAND);
  }
  win::HDC dc = canvas.Handle();
  MonoColors keepWhereSet(dc, clBlack, clWhite);
  win::BitBlt(dc, destRect.left, destRect.top, w, h, maskDC, 0, 0, win::SRCAND);
  win::BitBlt(dc, destRect.left, destRect.top, w, h, colourDC, 0, 0, win::SRCPAINT);
}

void TileBitmapTransparent(TCanvas& canvas, TBitmap& bitmap, const TRect& destRect, TColor transparentColor) {
  const int tileWidth = bitmap.Width(), tileHeight = bitmap.Height();
  if (tileWidth <= 0 || tileHeight <= 0) return;
  for (int y = destRect.top; y < destRect.bottom; y += tileHeight) {
    const int h = std::min(tileHeight, destRect.bottom - y);
    for (int x = destRect.left; x < destRect.right; x += tileWidth) {
      const int w = std::min(tileWidth, destRect.right - x);
      DrawBitmapTransparentMasked(canvas, bitmap, TRect{x, y, x + w, y + h}, transparentColor, TRect{0, 0, w, h});
    }
  }
}

void StretchBitmapTransparent(TCanvas& canvas, TBitmap& bitmap, const TRect& destRect, TColor transparentColor) {
  DrawBitmapTransparent(canvas, bitmap, destRect, transparentColor, TRect{0, 0, bitmap.Width(), bitmap.Height()});
}

void FlipBitmapVertical(TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  TBitmap copy;
  copy.Assign(&bitmap);
  const int w = bitmap.Width(), h = bitmap.Height();
  TCanvas& canvas = *bitmap.Canvas();
  const uint32_t mode = canvas.CopyMode();
  canvas.SetCopyMode(win::SRCCOPY);
  // A negative height runs up from the bottom row: row i lands on row h - 1 - i.
  canvas.CopyRect(TRect{0, h - 1, w, -1}, *copy.Canvas(), TRect{0, 0, w, h});
  canvas.SetCopyMode(mode);
}

}  // namespace qelo::ct
