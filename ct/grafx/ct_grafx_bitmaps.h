// Bitmaps drawn with one colour left out, tiled, stretched and turned
// upside down.
#pragma once

#include "vcl/graphics/bitmap.h"

namespace qelo::ct {

using vcl::TBitmap;
using vcl::TCanvas;
using vcl::TColor;
using vcl::TRect;

// The source rectangle of the bitmap stretched into the destination, its
// pixels of TransparentColor left out.
void DrawBitmapTransparent(TCanvas& canvas, TBitmap& bitmap, const TRect& destRect, TColor transparentColor,
                           const TRect& sourceRect);
// The same through a mask: the mask is ANDed onto the canvas and the
// colour copy, its transparent pixels made black, ORed over it.
void DrawBitmapTransparentMasked(TCanvas& canvas, TBitmap& bitmap, const TRect& destRect,
                                 TColor transparentColor, const TRect& sourceRect);
// Tiles the rectangle with the bitmap row by row from its top-left, the
// last tiles of a row or column cut to the space left. An empty bitmap
// draws nothing.
void TileBitmapTransparent(TCanvas& canvas, TBitmap& bitmap, const TRect& destRect, TColor transparentColor);
// The whole bitmap stretched into the rectangle.
void StretchBitmapTransparent(TCanvas& canvas, TBitmap& bitmap, const TRect& destRect, TColor transparentColor);
// Turns the bitmap upside down; its settings stay.
void FlipBitmapVertical(TBitmap& bitmap);

}  // namespace qelo::ct
