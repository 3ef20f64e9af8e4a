// Image lists: rows of equally sized images, each with an optional mask,
// drawn onto device contexts normally, transparently, blended with a
// colour and with overlay images. Images are kept as 32-bit pixels (B, G,
// R, A); a mask marks the pixels that stay transparent.
#pragma once

#include "win/gdi/gdi.h"

namespace qelo::win {

struct ImageListObject;
using HIMAGELIST = ImageListObject*;

using UINT = uint32_t;

constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLORDDB = 0x00FE;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;

constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_SELECTED = ILD_BLEND50;
constexpr UINT ILD_BLEND = ILD_BLEND50;
constexpr UINT ILD_MASK = 0x0010;
constexpr UINT ILD_IMAGE = 0x0020;
constexpr UINT ILD_OVERLAYMASK = 0x0F00;
constexpr UINT INDEXTOOVERLAYMASK(int overlay) { return static_cast<UINT>(overlay) << 8; }

constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

// Images of cx by cy pixels (both 1 to 4096). `initial` and `grow` only
// hint at storage. nullptr for a bad size.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);

// Cuts the bitmap into as many images as its width holds (at least one
// whole image) and appends them; `mask` is a monochrome or colour bitmap
// whose white pixels are transparent (ignored without ILC_MASK). Returns
// the index of the first new image, -1 on failure.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// As Add, the pixels of `maskColor` becoming transparent.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor);
// -1 removes every image. Overlays that named a removed image are cleared.
BOOL ImageList_Remove(HIMAGELIST list, int index);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// Changes the image size and removes every image.
BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy);
// CLR_NONE (the default) draws masked pixels transparently under
// ILD_NORMAL; another colour fills them. Returns the previous colour.
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
// Overlay 1 to 15 draws image `image` on top when a draw call asks for it
// with INDEXTOOVERLAYMASK(overlay).
BOOL ImageList_SetOverlayImage(HIMAGELIST list, int image, int overlay);

// ILD_NORMAL fills masked pixels with the background colour (unless it is
// CLR_NONE); ILD_TRANSPARENT leaves them; ILD_BLEND25/ILD_BLEND50 mix the
// image with the selection colour; ILD_MASK draws the mask (black image,
// white transparency). 32-bit images with alpha are blended by it.
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
// dx, dy: the part of the image drawn (0: all); bk: the background
// colour for this call (CLR_DEFAULT: the list's, CLR_NONE: transparent);
// fg: the blend colour (CLR_DEFAULT: the system highlight colour).
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy,
                      COLORREF bk, COLORREF fg, UINT style);

}  // namespace qelo::win
