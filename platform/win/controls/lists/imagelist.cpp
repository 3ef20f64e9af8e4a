#include "win/controls/lists/imagelist.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

namespace qelo::win {

struct ImageListObject {
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
  COLORREF background = CLR_NONE;
  // Straight (not premultiplied) pixels B, G, R, A, row after row.
  std::vector<std::vector<uint32_t>> images;
  std::array<int, 16> overlays;  // overlay number -> image index, -1 none
};

namespace {

constexpr int kMaxSide = 4096;
constexpr uint32_t kOpaque = 0xFF000000u;

// Every list handed out and not yet destroyed; calls check handles here so a
// destroyed list fails instead of crashing.
std::mutex g_lock;
std::set<ImageListObject*>& LiveLists() {
  static auto* lists = new std::set<ImageListObject*>;
  return *lists;
}

ImageListObject* Live(HIMAGELIST list) {
  std::lock_guard lock(g_lock);
  return LiveLists().count(list) ? list : nullptr;
}

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> bgra;
  uint32_t At(int x, int y) const { return bgra[static_cast<size_t>(y) * width + x]; }
};

// The bitmap's pixels as B, G, R, A words; monochrome bitmaps come out
// black and white, opaque.
bool ReadPixels(HBITMAP bitmap, Pixels* out) {
  BITMAP info;
  if (!GetObject(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
    return false;
  out->width = info.bmWidth;
  out->height = info.bmHeight;
  out->bgra.resize(static_cast<size_t>(info.bmWidth) * info.bmHeight);
  if (info.bmBits != nullptr) {
    for (int y = 0; y < info.bmHeight; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(info.bmBits) +
                                                          static_cast<size_t>(y) * info.bmWidthBytes);
      std::copy(row, row + info.bmWidth, out->bgra.begin() + static_cast<size_t>(y) * info.bmWidth);
    }
    return true;
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  if (old == nullptr) {
    DeleteDC(dc);
    return false;
  }
  for (int y = 0; y < info.bmHeight; ++y)
    for (int x = 0; x < info.bmWidth; ++x)
      out->bgra[static_cast<size_t>(y) * info.bmWidth + x] =
          (GetPixel(dc, x, y) ? 0x00FFFFFFu : 0u) | kOpaque;
  SelectObject(dc, old);
  DeleteDC(dc);
  return true;
}

uint32_t Rgb(uint32_t bgra) { return bgra & 0x00FFFFFFu; }
uint32_t ToBgr(COLORREF c) { return GetBValue(c) | (GetGValue(c) << 8) | (GetRValue(c) << 16); }

// One image cut out of `source` at image column `column`: pixels outside
// the source are transparent; a mask's white pixels (or the mask colour's)
// become transparent; without a 32-bit list or without any alpha in the
// image, alpha is ignored.
std::vector<uint32_t> CutImage(const ImageListObject& list, const Pixels& source, int column,
                               const Pixels* mask, const COLORREF* maskColor) {
  std::vector<uint32_t> image(static_cast<size_t>(list.cx) * list.cy, 0);
  bool anyAlpha = false;
  const int x0 = column * list.cx;
  for (int y = 0; y < list.cy && y < source.height; ++y)
    for (int x = 0; x < list.cx && x0 + x < source.width; ++x) {
      const uint32_t p = source.At(x0 + x, y);
      anyAlpha = anyAlpha || (p >> 24) != 0;
      image[static_cast<size_t>(y) * list.cx + x] = p;
    }
  const bool keepAlpha = (list.flags & 0xFE) == ILC_COLOR32 && anyAlpha;
  const bool masked = (list.flags & ILC_MASK) != 0;
  for (int y = 0; y < list.cy; ++y)
    for (int x = 0; x < list.cx; ++x) {
      uint32_t& p = image[static_cast<size_t>(y) * list.cx + x];
      const bool inside = y < source.height && x0 + x < source.width;
      if (!keepAlpha && inside) p = Rgb(p) | kOpaque;
      if (!masked) continue;
      bool clear = false;
      if (maskColor) clear = Rgb(p) == ToBgr(*maskColor);
      else if (mask && y < mask->height && x0 + x < mask->width)
        clear = Rgb(mask->At(x0 + x, y)) == 0x00FFFFFFu;
      if (clear) p = 0;
    }
  return image;
}

int AddImages(HIMAGELIST handle, HBITMAP image, HBITMAP mask, const COLORREF* maskColor) {
  ImageListObject* list = Live(handle);
  Pixels source, maskPixels;
  if (list == nullptr || !ReadPixels(image, &source) || source.width < list->cx) return -1;
  const bool useMask = mask != nullptr && (list->flags & ILC_MASK) && !maskColor;
  if (useMask && !ReadPixels(mask, &maskPixels)) return -1;
  const int first = static_cast<int>(list->images.size());
  for (int column = 0; column < source.width / list->cx; ++column)
    list->images.push_back(
        CutImage(*list, source, column, useMask ? &maskPixels : nullptr, maskColor));
  return first;
}

uint8_t Mix(uint8_t a, uint8_t b, int percentOfB) {
  return static_cast<uint8_t>((a * (100 - percentOfB) + b * percentOfB + 50) / 100);
}

uint32_t MixColour(uint32_t p, uint32_t colour, int percent) {
  uint32_t out = p & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8)
    out |= static_cast<uint32_t>(Mix((p >> shift) & 0xFF, (colour >> shift) & 0xFF, percent))
           << shift;
  return out;
}

uint32_t Over(uint32_t p, uint32_t background) {
  const int a = static_cast<int>(p >> 24);
  uint32_t out = kOpaque;
  for (int shift = 0; shift < 24; shift += 8) {
    const int c = ((p >> shift) & 0xFF) * a + ((background >> shift) & 0xFF) * (255 - a);
    out |= static_cast<uint32_t>((c + 127) / 255) << shift;
  }
  return out;
}

uint32_t Premultiply(uint32_t p) {
  const uint32_t a = p >> 24;
  uint32_t out = a << 24;
  for (int shift = 0; shift < 24; shift += 8)
    out |= ((((p >> shift) & 0xFF) * a + 127) / 255) << shift;
  return out;
}

// What one image pixel becomes under the draw style, premultiplied.
uint32_t Styled(uint32_t p, UINT style, COLORREF background, COLORREF blend) {
  if (style & ILD_MASK) return (p >> 24) ? kOpaque : (0x00FFFFFFu | kOpaque);
  if ((p >> 24) && (style & (ILD_BLEND25 | ILD_BLEND50)))
    p = MixColour(p, ToBgr(blend), (style & ILD_BLEND50) ? 50 : 25);
  if (!(style & ILD_TRANSPARENT) && background != CLR_NONE) p = Over(p, ToBgr(background));
  return Premultiply(p);
}

BOOL DrawImage(const ImageListObject& list, int index, HDC dc, int x, int y, int width,
               int height, COLORREF background, COLORREF blend, UINT style) {
  void* bits = nullptr;
  BITMAPINFOHEADER info;
  info.biWidth = width;
  info.biHeight = -height;
  HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits);
  if (picture == nullptr) return 0;
  auto* out = static_cast<uint32_t*>(bits);
  const auto& image = list.images[static_cast<size_t>(index)];
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col)
      out[static_cast<size_t>(row) * width + col] =
          Styled(image[static_cast<size_t>(row) * list.cx + col], style, background, blend);
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, picture);
  BLENDFUNCTION f;
  f.AlphaFormat = AC_SRC_ALPHA;
  const BOOL ok = AlphaBlend(dc, x, y, width, height, source, 0, 0, width, height, f);
  SelectObject(source, old);
  DeleteDC(source);
  DeleteObject(picture);
  return ok;
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  (void)grow;
  if (cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide) return nullptr;
  auto* list = new ImageListObject;
  list->cx = cx;
  list->cy = cy;
  list->flags = flags;
  list->images.reserve(static_cast<size_t>(std::clamp(initial, 0, 1024)));
  list->overlays.fill(-1);
  std::lock_guard lock(g_lock);
  LiveLists().insert(list);
  return list;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
  {
    std::lock_guard lock(g_lock);
    if (LiveLists().erase(list) == 0) return 0;
  }
  delete list;
  return 1;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  return AddImages(list, image, mask, nullptr);
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor) {
  if (!Live(list) || !(list->flags & ILC_MASK)) return AddImages(list, image, nullptr, nullptr);
  return AddImages(list, image, nullptr, &maskColor);
}

BOOL ImageList_Remove(HIMAGELIST handle, int index) {
  ImageListObject* list = Live(handle);
  if (list == nullptr || index < -1 || index >= static_cast<int>(list->images.size())) return 0;
  if (index == -1) {
    list->images.clear();
    list->overlays.fill(-1);
    return 1;
  }
  list->images.erase(list->images.begin() + index);
  for (int& overlay : list->overlays) {
    if (overlay == index) overlay = -1;
    else if (overlay > index) --overlay;
  }
  return 1;
}

int ImageList_GetImageCount(HIMAGELIST handle) {
  ImageListObject* list = Live(handle);
  return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int* cx, int* cy) {
  ImageListObject* list = Live(handle);
  if (list == nullptr || cx == nullptr || cy == nullptr) return 0;
  *cx = list->cx;
  *cy = list->cy;
  return 1;
}

BOOL ImageList_SetIconSize(HIMAGELIST handle, int cx, int cy) {
  ImageListObject* list = Live(handle);
  if (list == nullptr || cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide) return 0;
  list->cx = cx;
  list->cy = cy;
  return ImageList_Remove(handle, -1);
}

COLORREF ImageList_SetBkColor(HIMAGELIST handle, COLORREF color) {
  ImageListObject* list = Live(handle);
  if (list == nullptr) return CLR_NONE;
  return std::exchange(list->background, color);
}

COLORREF ImageList_GetBkColor(HIMAGELIST handle) {
  ImageListObject* list = Live(handle);
  return list ? list->background : CLR_NONE;
}

BOOL ImageList_SetOverlayImage(HIMAGELIST handle, int image, int overlay) {
  ImageListObject* list = Live(handle);
  if (list == nullptr || overlay < 1 || overlay > 15 || image < -1 ||
      image >= static_cast<int>(list->images.size()))
    return 0;
  list->overlays[static_cast<size_t>(overlay)] = image;
  return 1;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_DrawEx(HIMAGELIST handle, int index, HDC dc, int x, int y, int dx, int dy,
                      COLORREF bk, COLORREF fg, UINT style) {
  ImageListObject* list = Live(handle);
  if (list == nullptr || dc == nullptr || index < 0 ||
      index >= static_cast<int>(list->images.size()))
    return 0;
  const int width = dx > 0 ? std::min(dx, list->cx) : list->cx;
  const int height = dy > 0 ? std::min(dy, list->cy) : list->cy;
  const COLORREF background = bk == CLR_DEFAULT ? list->background : bk;
  const COLORREF blend = fg == CLR_DEFAULT || fg == CLR_NONE ? GetSysColor(COLOR_HIGHLIGHT) : fg;
  if (!DrawImage(*list, index, dc, x, y, width, height, background, blend, style)) return 0;
  const int overlay = static_cast<int>((style & ILD_OVERLAYMASK) >> 8);
  const int overlayImage = overlay ? list->overlays[static_cast<size_t>(overlay)] : -1;
  if (overlayImage < 0) return 1;
  const UINT overlayStyle = ILD_TRANSPARENT | (style & (ILD_BLEND25 | ILD_BLEND50 | ILD_MASK));
  return DrawImage(*list, overlayImage, dc, x, y, width, height, CLR_NONE, blend, overlayStyle);
}

}  // namespace qelo::win
