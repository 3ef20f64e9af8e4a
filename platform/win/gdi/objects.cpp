// The live handle table, stock objects, pens, brushes and rectangles.
#include "gdi/objects.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <unordered_set>

namespace qelo::win {
namespace {

struct HandleTable {
  std::mutex mutex;
  std::unordered_set<const void*> objects;
  std::unordered_set<const void*> contexts;
};

HandleTable& Handles() {
  static auto* table = new HandleTable;  // lives as long as the stock objects
  return *table;
}

}  // namespace

void RegisterObject(GdiObject* object) {
  std::lock_guard lock(Handles().mutex);
  Handles().objects.insert(object);
}

void UnregisterObject(GdiObject* object) {
  std::lock_guard lock(Handles().mutex);
  Handles().objects.erase(object);
}

void RegisterDC(DeviceContext* dc) {
  std::lock_guard lock(Handles().mutex);
  Handles().contexts.insert(dc);
}

void UnregisterDC(DeviceContext* dc) {
  std::lock_guard lock(Handles().mutex);
  Handles().contexts.erase(dc);
}

GdiObject* LiveObject(const GdiObject* handle, GdiKind kind) {
  if (handle == nullptr) return nullptr;
  std::lock_guard lock(Handles().mutex);
  if (Handles().objects.count(handle) == 0) return nullptr;
  auto* object = const_cast<GdiObject*>(handle);
  return object->kind == kind ? object : nullptr;
}

HGDIOBJ::HGDIOBJ(PenObject* object) : object_(object) {}
HGDIOBJ::HGDIOBJ(BrushObject* object) : object_(object) {}
HGDIOBJ::HGDIOBJ(FontObject* object) : object_(object) {}
HGDIOBJ::HGDIOBJ(BitmapObject* object) : object_(object) {}
HGDIOBJ::HGDIOBJ(RegionObject* object) : object_(object) {}
HGDIOBJ::HGDIOBJ(PaletteObject* object) : object_(object) {}
HGDIOBJ::operator PenObject*() const { return static_cast<PenObject*>(LiveObject(object_, GdiKind::Pen)); }
HGDIOBJ::operator BrushObject*() const {
  return static_cast<BrushObject*>(LiveObject(object_, GdiKind::Brush));
}
HGDIOBJ::operator FontObject*() const { return static_cast<FontObject*>(LiveObject(object_, GdiKind::Font)); }
HGDIOBJ::operator BitmapObject*() const {
  return static_cast<BitmapObject*>(LiveObject(object_, GdiKind::Bitmap));
}
HGDIOBJ::operator RegionObject*() const {
  return static_cast<RegionObject*>(LiveObject(object_, GdiKind::Region));
}
HGDIOBJ::operator PaletteObject*() const {
  return static_cast<PaletteObject*>(LiveObject(object_, GdiKind::Palette));
}

DeviceContext* LiveDC(HDC dc) {
  if (dc == nullptr) return nullptr;
  std::lock_guard lock(Handles().mutex);
  return Handles().contexts.count(dc) ? dc : nullptr;
}

void Hold(GdiObject* object) {
  if (object) ++object->uses;
}

void Release(GdiObject* object) {
  if (object) --object->uses;
}

BOOL DeleteObject(HGDIOBJ handle) {
  GdiObject* object = handle.get();
  if (object == nullptr) return 0;
  {
    std::lock_guard lock(Handles().mutex);
    if (Handles().objects.count(object) == 0) return 0;
    if (object->stock) return 1;
    if (object->uses > 0) return 0;
    if (object->kind == GdiKind::Bitmap && static_cast<BitmapObject*>(object)->selectedInto) return 0;
    Handles().objects.erase(object);
  }
  delete object;
  return 1;
}

// ---- bitmaps -------------------------------------------------------------

BitmapObject::BitmapObject(int w, int h, bool m)
    : GdiObject(GdiKind::Bitmap), width(w), height(h), mono(m) {
  surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
}

BitmapObject::BitmapObject(int w, int h, uint8_t* bits)
    : GdiObject(GdiKind::Bitmap), width(w), height(h), mono(false) {
  surface = cairo_image_surface_create_for_data(bits, CAIRO_FORMAT_ARGB32, w, h, w * 4);
}

BitmapObject::~BitmapObject() { cairo_surface_destroy(surface); }

// ---- palettes ------------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (palette == nullptr || palette->palPalEntry.empty()) return nullptr;
  auto* p = new PaletteObject;
  p->entries = palette->palPalEntry;
  RegisterObject(p);
  return p;
}

unsigned GetPaletteEntries(HPALETTE handle, unsigned start, unsigned count, PALETTEENTRY* out) {
  PaletteObject* palette = Live(handle);
  if (palette == nullptr) return 0;
  if (out == nullptr) return static_cast<unsigned>(palette->entries.size());
  unsigned copied = 0;
  for (unsigned i = start; i < palette->entries.size() && copied < count; ++i) out[copied++] = palette->entries[i];
  return copied;
}

// ---- pens and brushes ----------------------------------------------------

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style < PS_SOLID || style > PS_INSIDEFRAME || width < 0) return nullptr;
  return NewObject<PenObject>(style, std::clamp(width, 1, kMaxPenWidth), color & 0xFFFFFF);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* brush = NewObject<BrushObject>(BrushObject::Style::Solid);
  brush->color = color & 0xFFFFFF;
  return brush;
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  BitmapObject* source = Live(bitmap);
  if (source == nullptr) return nullptr;
  auto* brush = NewObject<BrushObject>(BrushObject::Style::Pattern);
  brush->monoPattern = source->mono;
  cairo_surface_flush(source->surface);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      brush->pattern[y * 8 + x] = source->Row(y % source->height)[x % source->width] | 0xFF000000u;
    }
  }
  return brush;
}

namespace {

template <typename T>
T* MakeStock(T* object) {
  object->stock = true;
  return object;
}

HBRUSH StockBrush(COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  brush->stock = true;
  return brush;
}

struct StockObjects {
  std::array<HGDIOBJ, 18> table{};
  StockObjects() {
    table[WHITE_BRUSH] = StockBrush(RGB(255, 255, 255));
    table[LTGRAY_BRUSH] = StockBrush(RGB(192, 192, 192));
    table[GRAY_BRUSH] = StockBrush(RGB(128, 128, 128));
    table[DKGRAY_BRUSH] = StockBrush(RGB(64, 64, 64));
    table[BLACK_BRUSH] = StockBrush(RGB(0, 0, 0));
    table[NULL_BRUSH] = MakeStock(NewObject<BrushObject>(BrushObject::Style::Null));
    table[WHITE_PEN] = MakeStock(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    table[BLACK_PEN] = MakeStock(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    table[NULL_PEN] = MakeStock(CreatePen(PS_NULL, 1, 0));
    table[SYSTEM_FONT] = DefaultFont();
    table[DEFAULT_GUI_FONT] = DefaultFont();
  }
};

}  // namespace

HGDIOBJ GetStockObject(int index) {
  static StockObjects* stock = new StockObjects;  // never freed: handed out for the process
  if (index < 0 || index >= static_cast<int>(stock->table.size())) return nullptr;
  return stock->table[index];
}

int GetObject(HGDIOBJ object, int size, void* out) {
  if (FontObject* font = Live(static_cast<HFONT>(object))) {
    if (out == nullptr) return sizeof(LOGFONT);
    if (size < static_cast<int>(sizeof(LOGFONT))) return 0;
    *static_cast<LOGFONT*>(out) = font->log;
    return sizeof(LOGFONT);
  }
  BitmapObject* bitmap = Live(static_cast<HBITMAP>(object));
  if (bitmap == nullptr) return 0;
  if (out == nullptr) return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP info;
  info.bmWidth = bitmap->width;
  info.bmHeight = bitmap->height;
  info.bmBitsPixel = bitmap->mono ? 1 : 32;
  // Monochrome bitmaps are kept one word per pixel; their bits are not
  // handed out in a layout they do not have.
  info.bmWidthBytes = bitmap->mono ? ((bitmap->width + 15) / 16) * 2
                                   : cairo_image_surface_get_stride(bitmap->surface);
  info.bmBits = bitmap->mono ? nullptr : cairo_image_surface_get_data(bitmap->surface);
  std::memcpy(out, &info, sizeof info);
  return sizeof(BITMAP);
}

// ---- rectangles ----------------------------------------------------------

BOOL IsRectEmpty(const RECT* r) { return r == nullptr || r->right <= r->left || r->bottom <= r->top; }

BOOL InflateRect(RECT* r, int dx, int dy) {
  if (r == nullptr) return 0;
  *r = {r->left - dx, r->top - dy, r->right + dx, r->bottom + dy};
  return 1;
}

BOOL OffsetRect(RECT* r, int dx, int dy) {
  if (r == nullptr) return 0;
  *r = {r->left + dx, r->top + dy, r->right + dx, r->bottom + dy};
  return 1;
}

BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b) {
  if (out == nullptr || a == nullptr || b == nullptr) return 0;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    *out = {};
    return 0;
  }
  *out = r;
  return 1;
}

BOOL UnionRect(RECT* out, const RECT* a, const RECT* b) {
  if (out == nullptr || a == nullptr || b == nullptr) return 0;
  if (IsRectEmpty(a)) {
    *out = IsRectEmpty(b) ? RECT{} : *b;
  } else if (IsRectEmpty(b)) {
    *out = *a;
  } else {
    *out = {std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
            std::max(a->bottom, b->bottom)};
  }
  return !IsRectEmpty(out);
}

BOOL PtInRect(const RECT* r, POINT p) {
  return r != nullptr && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
  return a != nullptr && b != nullptr && a->left == b->left && a->top == b->top &&
         a->right == b->right && a->bottom == b->bottom;
}

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const int64_t product = static_cast<int64_t>(number) * numerator;
  const int64_t d = denominator;
  const bool negative = (product < 0) != (d < 0);
  const int64_t magnitude = ((product < 0 ? -product : product) + (d < 0 ? -d : d) / 2) / (d < 0 ? -d : d);
  if (magnitude > INT32_MAX) return -1;
  return static_cast<int>(negative ? -magnitude : magnitude);
}

// ---- colours and regions shared by the drawing files ---------------------

Pixel NearestMono(COLORREF c) {
  const int sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
  return sum >= 3 * 128 ? kWhitePixel : kBlackPixel;
}

Pixel DevicePixel(const DeviceContext& dc, COLORREF c) {
  return dc.bitmap->mono ? NearestMono(c) : ToPixel(c);
}

RegionPtr MakeRegion(const RECT& r) {
  const int left = Coordinate(r.left);
  const int top = Coordinate(r.top);
  cairo_rectangle_int_t rect{left, top, std::max(0, Coordinate(r.right) - left),
                             std::max(0, Coordinate(r.bottom) - top)};
  return RegionPtr(cairo_region_create_rectangle(&rect));
}

RegionPtr CopyRegion(const cairo_region_t* r) { return RegionPtr(cairo_region_copy(r)); }

int RegionType(const cairo_region_t* r) {
  const int n = cairo_region_num_rectangles(r);
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT DeviceBounds(const DeviceContext& dc) { return dc.bounds; }

RegionPtr VisibleRegion(const DeviceContext& dc) {
  RegionPtr visible = MakeRegion(DeviceBounds(dc));
  if (dc.systemClip) cairo_region_intersect(visible.get(), dc.systemClip.get());
  if (dc.state.clip) cairo_region_intersect(visible.get(), dc.state.clip.get());
  return visible;
}

RECT ToDevice(const DeviceContext& dc, const RECT& r) {
  const POINT topLeft = ToDevice(dc, r.left, r.top);
  const POINT bottomRight = ToDevice(dc, r.right, r.bottom);
  return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

}  // namespace qelo::win
