// Device contexts: creation, selected objects, saved states, attributes and
// clipping.
#include <algorithm>

#include "gdi/objects.h"

namespace qelo::win {
namespace {

template <typename T>
T* Swap(T*& slot, T* object) {
  Hold(object);
  Release(slot);
  T* previous = slot;
  slot = object;
  return previous;
}

void HoldState(const DcState& s) {
  Hold(s.pen);
  Hold(s.brush);
  Hold(s.font);
  Hold(s.palette);
}

void ReleaseState(const DcState& s) {
  Release(s.pen);
  Release(s.brush);
  Release(s.font);
  Release(s.palette);
}

DcState CopyState(const DcState& s) {
  DcState copy;
  copy.pen = s.pen;
  copy.brush = s.brush;
  copy.font = s.font;
  copy.palette = s.palette;
  copy.textColor = s.textColor;
  copy.bkColor = s.bkColor;
  copy.bkMode = s.bkMode;
  copy.rop2 = s.rop2;
  copy.textAlign = s.textAlign;
  copy.polyFillMode = s.polyFillMode;
  copy.viewport = s.viewport;
  copy.brushOrigin = s.brushOrigin;
  copy.position = s.position;
  if (s.clip) copy.clip = CopyRegion(s.clip.get());
  HoldState(copy);
  return copy;
}

DeviceContext* NewDC(HBITMAP bitmap, HBITMAP own, bool surface, POINT origin, RECT bounds) {
  auto* dc = new DeviceContext;
  dc->bitmap = bitmap;
  dc->ownBitmap = own;
  dc->surfaceDC = surface;
  dc->areaOrigin = origin;
  dc->bounds = bounds;
  dc->state.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  dc->state.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  dc->state.font = DefaultFont();
  HoldState(dc->state);
  if (own) own->owner = dc;
  if (!surface) bitmap->selectedInto = dc;
  RegisterDC(dc);
  return dc;
}

// The 1x1 bitmap a fresh context draws into. It has a handle, so that the
// usual select-and-put-back works, but it cannot be deleted and belongs to
// its context alone.
HBITMAP OwnBitmap(bool mono) {
  auto* bitmap = NewObject<BitmapObject>(1, 1, mono);
  bitmap->stock = true;
  *bitmap->Row(0) = kBlackPixel;
  return bitmap;
}

}  // namespace

HDC CreateCompatibleDC(HDC) {
  HBITMAP own = OwnBitmap(true);
  return NewDC(own, own, false, {0, 0}, {0, 0, 1, 1});
}

HDC CreateDisplayDC() {
  HBITMAP own = OwnBitmap(false);
  return NewDC(own, own, false, {0, 0}, {0, 0, 1, 1});
}

HDC CreateSurfaceDC(HBITMAP surface, const RECT& area) {
  BitmapObject* bitmap = Live(surface);
  if (bitmap == nullptr) return nullptr;
  const RECT whole{0, 0, bitmap->width, bitmap->height};
  RECT inside;
  IntersectRect(&inside, &whole, &area);
  // The origin stays at the area's corner even when the area runs off the
  // bitmap; only the part on the bitmap can ever be drawn.
  OffsetRect(&inside, -area.left, -area.top);
  DeviceContext* dc = NewDC(bitmap, nullptr, true, {area.left, area.top}, inside);
  Hold(bitmap);
  return dc;
}

BOOL SetSystemClip(HDC handle, HRGN region) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || !dc->surfaceDC) return 0;
  if (region == nullptr) {
    dc->systemClip.reset();
    return 1;
  }
  RegionObject* limit = Live(region);
  if (limit == nullptr) return 0;
  dc->systemClip = CopyRegion(limit->region.get());
  return 1;
}

BOOL DeleteDC(HDC handle) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return 0;
  UnregisterDC(dc);
  for (const DcState& s : dc->saved) ReleaseState(s);
  ReleaseState(dc->state);
  if (dc->surfaceDC) {
    Release(dc->bitmap);
  } else {
    dc->bitmap->selectedInto = nullptr;
  }
  if (dc->ownBitmap) {
    UnregisterObject(dc->ownBitmap);
    delete dc->ownBitmap;
  }
  delete dc;
  return 1;
}

namespace {

HGDIOBJ SelectBitmap(DeviceContext& dc, BitmapObject* bitmap) {
  if (dc.surfaceDC) return nullptr;
  if (bitmap->selectedInto != nullptr && bitmap->selectedInto != &dc) return nullptr;
  if (bitmap->owner != nullptr && bitmap->owner != &dc) return nullptr;
  HBITMAP previous = dc.bitmap;
  previous->selectedInto = nullptr;
  bitmap->selectedInto = &dc;
  dc.bitmap = bitmap;
  dc.bounds = {0, 0, bitmap->width, bitmap->height};
  return previous;
}

}  // namespace

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || object == nullptr) return nullptr;
  if (auto* pen = Live(static_cast<HPEN>(object))) return Swap(dc->state.pen, pen);
  if (auto* brush = Live(static_cast<HBRUSH>(object))) return Swap(dc->state.brush, brush);
  if (auto* font = Live(static_cast<HFONT>(object))) return Swap(dc->state.font, font);
  if (auto* bitmap = Live(static_cast<HBITMAP>(object))) return SelectBitmap(*dc, bitmap);
  return nullptr;
}

HPALETTE SelectPalette(HDC handle, HPALETTE palette, BOOL) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || (palette != nullptr && Live(palette) == nullptr)) return nullptr;
  return Swap(dc->state.palette, palette);
}

unsigned RealizePalette(HDC handle) {
  (void)Live(handle);
  return 0;
}

unsigned GetDIBColorTable(HDC handle, unsigned start, unsigned count, RGBQUAD* out) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || dc->bitmap == nullptr || out == nullptr) return 0;
  const std::vector<Pixel>& table = dc->bitmap->colorTable;
  unsigned copied = 0;
  for (unsigned i = start; i < table.size() && copied < count; ++i, ++copied) {
    const Pixel p = table[i];
    out[copied] = RGBQUAD{static_cast<uint8_t>(p & 0xFF), static_cast<uint8_t>((p >> 8) & 0xFF),
                          static_cast<uint8_t>((p >> 16) & 0xFF), 0};
  }
  return copied;
}

HGDIOBJ GetCurrentObject(HDC handle, unsigned type) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return nullptr;
  switch (type) {
    case OBJ_PEN: return dc->state.pen;
    case OBJ_BRUSH: return dc->state.brush;
    case OBJ_FONT: return dc->state.font;
    case OBJ_BITMAP: return dc->bitmap;
    case OBJ_PAL: return dc->state.palette;
    default: return nullptr;
  }
}

int SaveDC(HDC handle) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return 0;
  dc->saved.push_back(CopyState(dc->state));
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC handle, int level) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return 0;
  const int depth = static_cast<int>(dc->saved.size());
  const int target = level < 0 ? depth + level + 1 : level;
  if (target < 1 || target > depth) return 0;
  while (static_cast<int>(dc->saved.size()) > target) {
    ReleaseState(dc->saved.back());
    dc->saved.pop_back();
  }
  ReleaseState(dc->state);
  dc->state = std::move(dc->saved.back());  // its holds move with it
  dc->saved.pop_back();
  return 1;
}

// ---- attributes ----------------------------------------------------------

namespace {

template <typename T, typename F>
T Exchange(HDC handle, T fail, F member, T value) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return fail;
  T& field = member(dc->state);
  T previous = field;
  field = value;
  return previous;
}

template <typename T, typename F>
T Read(HDC handle, T fail, F member) {
  DeviceContext* dc = Live(handle);
  return dc == nullptr ? fail : member(dc->state);
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF c) {
  return Exchange(dc, CLR_INVALID, [](DcState& s) -> COLORREF& { return s.textColor; }, c & 0xFFFFFF);
}
COLORREF GetTextColor(HDC dc) {
  return Read(dc, CLR_INVALID, [](const DcState& s) { return s.textColor; });
}
COLORREF SetBkColor(HDC dc, COLORREF c) {
  return Exchange(dc, CLR_INVALID, [](DcState& s) -> COLORREF& { return s.bkColor; }, c & 0xFFFFFF);
}
COLORREF GetBkColor(HDC dc) { return Read(dc, CLR_INVALID, [](const DcState& s) { return s.bkColor; }); }

int SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return Exchange(dc, 0, [](DcState& s) -> int& { return s.bkMode; }, mode);
}
int GetBkMode(HDC dc) { return Read(dc, 0, [](const DcState& s) { return s.bkMode; }); }

int SetROP2(HDC dc, int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return 0;
  return Exchange(dc, 0, [](DcState& s) -> int& { return s.rop2; }, mode);
}

int SetPolyFillMode(HDC dc, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return Exchange(dc, 0, [](DcState& s) -> int& { return s.polyFillMode; }, mode);
}

unsigned SetTextAlign(HDC dc, unsigned align) {
  constexpr unsigned kFail = 0xFFFFFFFF;
  return Exchange(dc, kFail, [](DcState& s) -> unsigned& { return s.textAlign; }, align);
}
unsigned GetTextAlign(HDC dc) {
  return Read(dc, 0xFFFFFFFFu, [](const DcState& s) { return s.textAlign; });
}

namespace {

BOOL SetPoint(HDC handle, POINT DcState::*member, POINT value, POINT* previous) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return 0;
  if (previous) *previous = dc->state.*member;
  dc->state.*member = value;
  return 1;
}

}  // namespace

BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous) {
  return SetPoint(dc, &DcState::viewport, {x, y}, previous);
}

BOOL GetViewportOrgEx(HDC handle, POINT* origin) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || origin == nullptr) return 0;
  *origin = dc->state.viewport;
  return 1;
}

BOOL OffsetViewportOrgEx(HDC handle, int dx, int dy, POINT* previous) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return 0;
  const POINT now = dc->state.viewport;
  return SetViewportOrgEx(handle, Coordinate(int64_t{now.x} + dx), Coordinate(int64_t{now.y} + dy), previous);
}

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous) {
  return SetPoint(dc, &DcState::brushOrigin, {x, y}, previous);
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
  return SetPoint(dc, &DcState::position, {x, y}, previous);
}

// ---- clipping ------------------------------------------------------------

namespace {

int VisibleType(const DeviceContext& dc) { return RegionType(VisibleRegion(dc).get()); }

// The clip region, made explicit (the whole bitmap area) when none is set.
cairo_region_t* ClipForChange(DeviceContext& dc) {
  if (!dc.state.clip) dc.state.clip = MakeRegion(DeviceBounds(dc));
  return dc.state.clip.get();
}

}  // namespace

int SelectClipRgn(HDC dc, HRGN region) { return ExtSelectClipRgn(dc, region, RGN_COPY); }

int ExtSelectClipRgn(HDC handle, HRGN region, int mode) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  RegionObject* source = Live(region);
  if (source == nullptr) {
    if (region != nullptr || mode != RGN_COPY) return ERROR;
    dc->state.clip.reset();
    return VisibleType(*dc);
  }
  if (mode == RGN_COPY) {
    dc->state.clip = CopyRegion(source->region.get());
    return VisibleType(*dc);
  }
  cairo_region_t* clip = ClipForChange(*dc);
  const cairo_region_t* other = source->region.get();
  switch (mode) {
    case RGN_AND: cairo_region_intersect(clip, other); break;
    case RGN_OR: cairo_region_union(clip, other); break;
    case RGN_XOR: cairo_region_xor(clip, other); break;
    case RGN_DIFF: cairo_region_subtract(clip, other); break;
  }
  return VisibleType(*dc);
}

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return ERROR;
  RegionPtr r = MakeRegion(ToDevice(*dc, RECT{left, top, right, bottom}));
  cairo_region_intersect(ClipForChange(*dc), r.get());
  return VisibleType(*dc);
}

int ExcludeClipRect(HDC handle, int left, int top, int right, int bottom) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return ERROR;
  RegionPtr r = MakeRegion(ToDevice(*dc, RECT{left, top, right, bottom}));
  cairo_region_subtract(ClipForChange(*dc), r.get());
  return VisibleType(*dc);
}

int GetClipBox(HDC handle, RECT* box) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || box == nullptr) return ERROR;
  RegionPtr visible = VisibleRegion(*dc);
  cairo_rectangle_int_t e;
  cairo_region_get_extents(visible.get(), &e);
  *box = {e.x, e.y, e.x + e.width, e.y + e.height};
  if (IsRectEmpty(box)) {
    *box = {};
  } else {
    OffsetRect(box, -dc->state.viewport.x, -dc->state.viewport.y);
  }
  return RegionType(visible.get());
}

int GetClipRgn(HDC handle, HRGN region) {
  DeviceContext* dc = Live(handle);
  RegionObject* out = Live(region);
  if (dc == nullptr || out == nullptr) return -1;
  if (!dc->state.clip) return 0;
  out->region = CopyRegion(dc->state.clip.get());
  return 1;
}

int GetDeviceCaps(HDC handle, int index) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return 0;
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case BITSPIXEL: return dc->bitmap->mono ? 1 : 32;
    case NUMCOLORS: return dc->bitmap->mono ? 2 : -1;
    case HORZRES: return dc->bounds.right;
    case VERTRES: return dc->bounds.bottom;
    default: return 0;
  }
}

}  // namespace qelo::win
