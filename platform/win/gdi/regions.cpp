// Regions: sets of pixels kept as rectangles.
#include "gdi/raster.h"
#include "gdi/shapes.h"

namespace qelo::win {
namespace {

HRGN NewRegion(RegionPtr r) { return NewObject<RegionObject>(std::move(r)); }

RegionPtr RegionFromShape(const RoundedShape& shape) {
  RegionPtr region(cairo_region_create());
  for (int y = shape.box.top; y < shape.box.bottom; ++y) {
    int x0, x1;
    if (!shape.Row(y, &x0, &x1)) continue;
    cairo_rectangle_int_t run{x0, y, x1 - x0, 1};
    cairo_region_union_rectangle(region.get(), &run);
  }
  return region;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRegion(MakeRegion({std::min(left, right), std::min(top, bottom), std::max(left, right),
                               std::max(top, bottom)}));
}

HRGN CreateRectRgnIndirect(const RECT* r) {
  return r ? CreateRectRgn(r->left, r->top, r->right, r->bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight) {
  const RECT box{left, top, right - 1, bottom - 1};
  return NewRegion(RegionFromShape(RoundedShape(box, ellipseWidth, ellipseHeight)));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  const RECT box{left, top, right - 1, bottom - 1};
  return NewRegion(RegionFromShape(RoundedShape::Ellipse(box)));
}

BOOL SetRectRgn(HRGN handle, int left, int top, int right, int bottom) {
  RegionObject* region = Live(handle);
  if (region == nullptr) return 0;
  region->region = MakeRegion({left, top, right, bottom});
  return 1;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  RegionObject* out = Live(dest);
  RegionObject* a = Live(src1);
  if (out == nullptr || a == nullptr) return ERROR;
  if (mode == RGN_COPY) {
    out->region = CopyRegion(a->region.get());
    return RegionType(out->region.get());
  }
  RegionObject* b = Live(src2);
  if (b == nullptr || mode < RGN_AND || mode > RGN_DIFF) return ERROR;
  RegionPtr result = CopyRegion(a->region.get());
  switch (mode) {
    case RGN_AND: cairo_region_intersect(result.get(), b->region.get()); break;
    case RGN_OR: cairo_region_union(result.get(), b->region.get()); break;
    case RGN_XOR: cairo_region_xor(result.get(), b->region.get()); break;
    case RGN_DIFF: cairo_region_subtract(result.get(), b->region.get()); break;
  }
  out->region = std::move(result);
  return RegionType(out->region.get());
}

int OffsetRgn(HRGN handle, int dx, int dy) {
  RegionObject* region = Live(handle);
  if (region == nullptr) return ERROR;
  cairo_region_translate(region->region.get(), dx, dy);
  return RegionType(region->region.get());
}

int GetRgnBox(HRGN handle, RECT* box) {
  RegionObject* region = Live(handle);
  if (region == nullptr || box == nullptr) return ERROR;
  cairo_rectangle_int_t e;
  cairo_region_get_extents(region->region.get(), &e);
  *box = {e.x, e.y, e.x + e.width, e.y + e.height};
  return RegionType(region->region.get());
}

BOOL PtInRegion(HRGN handle, int x, int y) {
  RegionObject* region = Live(handle);
  return region && cairo_region_contains_point(region->region.get(), x, y) ? 1 : 0;
}

BOOL RectInRegion(HRGN handle, const RECT* r) {
  RegionObject* region = Live(handle);
  if (region == nullptr || r == nullptr) return 0;
  cairo_rectangle_int_t rect{r->left, r->top, r->right - r->left, r->bottom - r->top};
  return cairo_region_contains_rectangle(region->region.get(), &rect) != CAIRO_REGION_OVERLAP_OUT;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  RegionObject* ra = Live(a);
  RegionObject* rb = Live(b);
  return ra && rb && cairo_region_equal(ra->region.get(), rb->region.get()) ? 1 : 0;
}

namespace {

void PaintRegion(DeviceContext& dc, const cairo_region_t* region, const Ink& ink) {
  Target target(dc);
  RegionPtr device = CopyRegion(region);
  cairo_region_translate(device.get(), dc.state.viewport.x, dc.state.viewport.y);
  const int n = cairo_region_num_rectangles(device.get());
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(device.get(), i, &r);
    FillBox(target, {r.x, r.y, r.x + r.width, r.y + r.height}, ink, 0xF0);
  }
}

}  // namespace

BOOL FillRgn(HDC handle, HRGN region, HBRUSH brush) {
  DeviceContext* dc = Live(handle);
  RegionObject* r = Live(region);
  BrushObject* b = Live(brush);
  if (dc == nullptr || r == nullptr || b == nullptr) return 0;
  PaintRegion(*dc, r->region.get(), Ink::FromBrush(*dc, b));
  return 1;
}

BOOL FrameRgn(HDC handle, HRGN region, HBRUSH brush, int width, int height) {
  DeviceContext* dc = Live(handle);
  RegionObject* r = Live(region);
  BrushObject* b = Live(brush);
  if (dc == nullptr || r == nullptr || b == nullptr || width < 0 || height < 0) return 0;
  // The inside is what stays in the region when it is moved by up to the
  // frame's size in each direction.
  RegionPtr inside = CopyRegion(r->region.get());
  const int moves[4][2] = {{width, 0}, {-width, 0}, {0, height}, {0, -height}};
  for (const auto& m : moves) {
    RegionPtr moved = CopyRegion(r->region.get());
    cairo_region_translate(moved.get(), m[0], m[1]);
    cairo_region_intersect(inside.get(), moved.get());
  }
  RegionPtr frame = CopyRegion(r->region.get());
  cairo_region_subtract(frame.get(), inside.get());
  PaintRegion(*dc, frame.get(), Ink::FromBrush(*dc, b));
  return 1;
}

}  // namespace qelo::win
