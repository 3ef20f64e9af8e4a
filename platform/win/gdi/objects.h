// The objects behind the drawing handles, the table of live handles, and the
// state of a device context.
#pragma once

#include <cairo.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <vector>

#include "win/gdi/gdi.h"

using PangoFontDescription = struct _PangoFontDescription;

namespace qelo::win {

enum class GdiKind { Pen, Brush, Font, Bitmap, Region, Palette };

struct GdiObject {
  explicit GdiObject(GdiKind k) : kind(k) {}
  virtual ~GdiObject() = default;
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  GdiKind kind;
  bool stock = false;
  std::atomic<int> uses = 0;  // selections and saved states holding this object
};

struct PenObject : GdiObject {
  PenObject(int s, int w, COLORREF c) : GdiObject(GdiKind::Pen), style(s), width(w), color(c) {}
  int style;
  int width;
  COLORREF color;
};

// Pixels are 0xAARRGGBB words (bytes B, G, R, A in memory), as Cairo's
// ARGB32 surfaces hold them.
using Pixel = uint32_t;

struct BrushObject : GdiObject {
  enum class Style { Solid, Null, Pattern };
  explicit BrushObject(Style s) : GdiObject(GdiKind::Brush), style(s) {}
  Style style;
  COLORREF color = 0;
  std::array<Pixel, 64> pattern{};  // 8x8, row by row
  bool monoPattern = false;
};

struct FontObject : GdiObject {
  FontObject() : GdiObject(GdiKind::Font) {}
  ~FontObject() override;
  LOGFONT log;
  std::string face;  // the installed face drawn with
  bool outline = true;
  // The requested face is the system's symbol face of window glyphs
  // ("Marlett"), whose letters stand for pictures.
  bool windowGlyphs = false;
  PangoFontDescription* description = nullptr;
  TEXTMETRIC metrics;
};

struct BitmapObject : GdiObject {
  BitmapObject(int w, int h, bool m);
  // 32-bit over the caller's rows of w x 4 bytes, which it does not own.
  BitmapObject(int w, int h, uint8_t* bits);
  ~BitmapObject() override;
  int width;
  int height;
  bool mono;
  cairo_surface_t* surface = nullptr;
  DeviceContext* selectedInto = nullptr;
  DeviceContext* owner = nullptr;  // a context's default bitmap: only it may select it
  std::vector<Pixel> colorTable;   // of the picture of few colours it was loaded from

  Pixel* Row(int y) const {
    return reinterpret_cast<Pixel*>(cairo_image_surface_get_data(surface) +
                                    static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(surface));
  }
};

struct RegionDeleter {
  void operator()(cairo_region_t* r) const { cairo_region_destroy(r); }
};
using RegionPtr = std::unique_ptr<cairo_region_t, RegionDeleter>;

struct PaletteObject : GdiObject {
  PaletteObject() : GdiObject(GdiKind::Palette) {}
  std::vector<PALETTEENTRY> entries;
};

struct RegionObject : GdiObject {
  explicit RegionObject(RegionPtr r) : GdiObject(GdiKind::Region), region(std::move(r)) {}
  RegionPtr region;
};

struct DcState {
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  HPALETTE palette = nullptr;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  unsigned textAlign = TA_LEFT | TA_TOP;
  int polyFillMode = ALTERNATE;
  POINT viewport;
  POINT brushOrigin;
  POINT position;
  RegionPtr clip;  // device units; null: no clip region selected
};

struct DeviceContext {
  HBITMAP bitmap = nullptr;       // drawn into
  HBITMAP ownBitmap = nullptr;    // the default or display bitmap, owned (none for surfaces)
  bool surfaceDC = false;         // a window layer view; bitmaps cannot be selected
  POINT areaOrigin;               // device (0, 0) in the bitmap
  RECT bounds;                    // the drawable part, device units
  RegionPtr systemClip;           // the window layer's limit, device units; null: none
  DcState state;
  std::vector<DcState> saved;
};

// ---- live handle table ---------------------------------------------------

void RegisterObject(GdiObject* object);
void UnregisterObject(GdiObject* object);
void RegisterDC(DeviceContext* dc);
void UnregisterDC(DeviceContext* dc);
GdiObject* LiveObject(const GdiObject* handle, GdiKind kind);
DeviceContext* LiveDC(HDC dc);

template <typename T>
T* Live(T* handle);
template <>
inline PenObject* Live(PenObject* h) { return static_cast<PenObject*>(LiveObject(h, GdiKind::Pen)); }
template <>
inline BrushObject* Live(BrushObject* h) {
  return static_cast<BrushObject*>(LiveObject(h, GdiKind::Brush));
}
template <>
inline FontObject* Live(FontObject* h) { return static_cast<FontObject*>(LiveObject(h, GdiKind::Font)); }
template <>
inline BitmapObject* Live(BitmapObject* h) {
  return static_cast<BitmapObject*>(LiveObject(h, GdiKind::Bitmap));
}
template <>
inline RegionObject* Live(RegionObject* h) {
  return static_cast<RegionObject*>(LiveObject(h, GdiKind::Region));
}
template <>
inline PaletteObject* Live(PaletteObject* h) {
  return static_cast<PaletteObject*>(LiveObject(h, GdiKind::Palette));
}
template <>
inline DeviceContext* Live(DeviceContext* h) { return LiveDC(h); }

// Makes a registered object and hands out its handle.
template <typename T, typename... Args>
T* NewObject(Args&&... args) {
  auto* object = new T(std::forward<Args>(args)...);
  RegisterObject(object);
  return object;
}

// Adjusts use counts when a state slot changes hands.
void Hold(GdiObject* object);
void Release(GdiObject* object);

// ---- helpers shared by the drawing files ---------------------------------

inline Pixel ToPixel(COLORREF c) {
  return 0xFF000000u | (static_cast<Pixel>(GetRValue(c)) << 16) |
         (static_cast<Pixel>(GetGValue(c)) << 8) | GetBValue(c);
}
inline COLORREF ToColor(Pixel p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }
constexpr Pixel kBlackPixel = 0xFF000000u;
constexpr Pixel kWhitePixel = 0xFFFFFFFFu;

// The colour a monochrome bitmap stores for `c`: white for light colours.
Pixel NearestMono(COLORREF c);
// The pixel `c` becomes on the context's bitmap.
Pixel DevicePixel(const DeviceContext& dc, COLORREF c);

RegionPtr MakeRegion(const RECT& r);
RegionPtr CopyRegion(const cairo_region_t* r);
int RegionType(const cairo_region_t* r);

// The context's bitmap area clipped by the window layer's limit and the
// clip region, in device units.
RegionPtr VisibleRegion(const DeviceContext& dc);
RECT DeviceBounds(const DeviceContext& dc);

// Coordinates are kept within the platform's 28-bit range, so that no
// origin or extent arithmetic can overflow.
constexpr int kCoordinateLimit = 1 << 27;
inline int Coordinate(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, -kCoordinateLimit, kCoordinateLimit));
}

inline POINT ToDevice(const DeviceContext& dc, int x, int y) {
  return {Coordinate(int64_t{x} + dc.state.viewport.x), Coordinate(int64_t{y} + dc.state.viewport.y)};
}
RECT ToDevice(const DeviceContext& dc, const RECT& r);

// The default font (a sans face at 8 points), owned by the process.
HFONT DefaultFont();

}  // namespace qelo::win
