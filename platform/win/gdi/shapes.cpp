// Pixels, lines and the closed shapes, with pens and brushes.
#include "gdi/shapes.h"

#include <algorithm>
#include <cmath>

namespace qelo::win {
namespace {

// Where masks of a shape are worth making: the drawable part of the
// context, with room for a pen's width so that outlines cut at the edge
// are not mistaken for real ones.
RECT MaskArea(const DeviceContext& dc, int margin) {
  RECT area = dc.bounds;
  InflateRect(&area, margin + 1, margin + 1);
  return area;
}


RECT Normalised(int left, int top, int right, int bottom) {
  return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

// The pixels a pen sets and, for styled pens, leaves as gaps.
struct Stroke {
  std::vector<POINT> on;
  std::vector<POINT> gaps;
};

const std::vector<int>& DashPattern(int style) {
  static const std::vector<int> kSolid;
  static const std::vector<int> kDash{18, 6};
  static const std::vector<int> kDot{3, 3};
  static const std::vector<int> kDashDot{9, 6, 3, 6};
  static const std::vector<int> kDashDotDot{9, 3, 3, 3, 3, 3};
  switch (style) {
    case PS_DASH: return kDash;
    case PS_DOT: return kDot;
    case PS_DASHDOT: return kDashDot;
    case PS_DASHDOTDOT: return kDashDotDot;
    default: return kSolid;
  }
}

bool Wide(const PenObject& pen) { return pen.width > 1; }

// Lines through the points; each leaves out its end pixel, so the joints of
// a polyline are set once. A wide pen is a square of its width stepped along
// the line, end pixel included.
// Whether the pixel at a position along a styled line is in a dash.
bool InDash(const std::vector<int>& dashes, int64_t position) {
  int period = 0;
  for (int d : dashes) period += d;
  int64_t at = position % period;
  for (size_t i = 0; i < dashes.size(); ++i) {
    if (at < dashes[i]) return i % 2 == 0;
    at -= dashes[i];
  }
  return true;
}

// Only pixels within `area` are kept, so a line running far off the bitmap
// costs nothing for its invisible part. Dashes run on from one segment to
// the next.
Stroke StrokeOf(const PenObject& pen, const std::vector<POINT>& points, const RECT& area) {
  Stroke stroke;
  const std::vector<int>& dashes = Wide(pen) ? DashPattern(PS_SOLID) : DashPattern(pen.style);
  int64_t start = 0;  // pixels of the earlier segments
  auto visit = [&](POINT p, int64_t step) {
    if (!PtInRect(&area, p)) return;
    (dashes.empty() || InDash(dashes, start + step) ? stroke.on : stroke.gaps).push_back(p);
  };
  for (size_t i = 1; i < points.size(); ++i) {
    StepLine(points[i - 1], points[i], area, visit);
    const int64_t steps = LineSteps(points[i - 1], points[i]);
    if (Wide(pen)) visit(points[i], steps);
    start += steps;
  }
  return stroke;
}

// Grows every set pixel of each row into a run of `width` starting
// `before` pixels to its left (a sliding count keeps this linear).
void DilateRows(Mask& mask, int before, int width, bool vertical) {
  const int rows = vertical ? mask.Width() : mask.Height();
  const int length = vertical ? mask.Height() : mask.Width();
  std::vector<uint8_t> line(length);
  for (int r = 0; r < rows; ++r) {
    auto cell = [&](int i) -> uint8_t& {
      return vertical ? mask.At(mask.box.left + r, mask.box.top + i) : mask.At(mask.box.left + i, mask.box.top + r);
    };
    for (int i = 0; i < length; ++i) line[i] = cell(i);
    // A pixel i is covered when a set pixel lies in i - (width - 1 - before) .. i + before.
    int count = 0;
    for (int i = 0; i < std::min(before, length); ++i) count += line[i] != 0;
    for (int i = 0; i < length; ++i) {
      if (i + before < length) count += line[i + before] != 0;
      const int leaving = i - (width - before);
      if (leaving >= 0) count -= line[leaving] != 0;
      cell(i) = count > 0 ? 255 : 0;
    }
  }
}

// The pixels a pen of `width` covers when centred on each point: a square
// of that size, `width / 2` of it before the point.
Mask MaskOfPoints(const std::vector<POINT>& points, int width) {
  if (points.empty()) return Mask::Blank({});
  const int before = width / 2;
  RECT box{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const POINT& p : points) {
    box = {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
           std::max(box.bottom, p.y)};
  }
  box = {box.left - before, box.top - before, box.right - before + width, box.bottom - before + width};
  Mask mask = Mask::Blank(box);
  for (const POINT& p : points) mask.At(p.x, p.y) = 255;
  if (width > 1) {
    DilateRows(mask, before, width, false);
    DilateRows(mask, before, width, true);
  }
  return mask;
}

PenObject* CurrentPen(const DeviceContext& dc) {
  PenObject* pen = Live(dc.state.pen);
  return pen && pen->style != PS_NULL ? pen : nullptr;
}

void PaintWithPen(DeviceContext& dc, const Target& target, const PenObject& pen, const Mask& mask) {
  PaintMask(target, mask, Ink::Solid(dc, pen.color), Rop2Table(dc.state.rop2));
}

void DrawStroke(DeviceContext& dc, const std::vector<POINT>& devicePoints) {
  PenObject* pen = CurrentPen(dc);
  if (pen == nullptr) return;
  Target target(dc);
  const Stroke stroke = StrokeOf(*pen, devicePoints, MaskArea(dc, pen->width));
  PaintWithPen(dc, target, *pen, MaskOfPoints(stroke.on, pen->width));
  if (dc.state.bkMode == OPAQUE && !stroke.gaps.empty()) {
    PaintMask(target, MaskOfPoints(stroke.gaps, 1), Ink::Solid(dc, dc.state.bkColor),
              Rop2Table(dc.state.rop2));
  }
}

Ink CurrentBrush(const DeviceContext& dc) { return Ink::FromBrush(dc, Live(dc.state.brush)); }

// Outer box of a shape's outline: a pen of width w is centred on the
// shape's edge pixels, unless it is an inside-frame pen.
RECT OutlineBox(const RECT& box, const PenObject& pen) {
  if (pen.style == PS_INSIDEFRAME || !Wide(pen)) return box;
  const int before = pen.width / 2;
  const int after = pen.width - 1 - before;
  return {box.left - before, box.top - before, box.right + after, box.bottom + after};
}

// Paints a closed shape: brush inside, pen on the outline. With a null pen
// the shape is one pixel smaller at the right and bottom, as the classic
// platform draws it.
void DrawClosedShape(HDC handle, int left, int top, int right, int bottom,
                     const std::function<RoundedShape(const RECT&)>& shape) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return;
  RECT box = ToDevice(*dc, Normalised(left, top, right, bottom));
  Target target(*dc);
  PenObject* pen = CurrentPen(*dc);
  if (pen == nullptr) {
    --box.right;
    --box.bottom;
    PaintMask(target, shape(box).MaskIn(MaskArea(*dc, 0)), CurrentBrush(*dc), Rop2Table(dc->state.rop2));
    return;
  }
  const Mask filled = shape(OutlineBox(box, *pen)).MaskIn(MaskArea(*dc, pen->width));
  const Mask outline = OutlineOf(filled, pen->width);
  Mask inside = filled;
  for (size_t i = 0; i < inside.coverage.size(); ++i) {
    if (outline.coverage[i]) inside.coverage[i] = 0;
  }
  PaintMask(target, inside, CurrentBrush(*dc), Rop2Table(dc->state.rop2));
  PaintWithPen(*dc, target, *pen, outline);
}

std::vector<POINT> DevicePoints(const DeviceContext& dc, const POINT* points, int count) {
  std::vector<POINT> out;
  out.reserve(count);
  for (int i = 0; i < count; ++i) out.push_back(ToDevice(dc, points[i].x, points[i].y));
  return out;
}

}  // namespace

RoundedShape::RoundedShape(const RECT& b, int ellipseWidth, int ellipseHeight) : box(b) {
  const int w = box.right - box.left;
  const int h = box.bottom - box.top;
  rx = std::clamp(ellipseWidth, 0, std::max(w, 0)) / 2.0;
  ry = std::clamp(ellipseHeight, 0, std::max(h, 0)) / 2.0;
}

RoundedShape RoundedShape::Ellipse(const RECT& b) {
  return RoundedShape(b, b.right - b.left, b.bottom - b.top);
}

bool RoundedShape::Row(int y, int* x0, int* x1) const {
  if (y < box.top || y >= box.bottom || box.right <= box.left) return false;
  const double centre = y + 0.5;
  double inset = 0;
  if (rx > 0 && ry > 0) {
    // Distance of the row into a corner ellipse, if it is in one.
    const double dy = std::max({box.top + ry - centre, centre - (box.bottom - ry), 0.0});
    if (dy > ry) return false;
    inset = rx - rx * std::sqrt(std::max(0.0, 1.0 - (dy / ry) * (dy / ry)));
  }
  // Pixels whose centres are inside: left + inset <= x + 0.5 <= right - inset.
  *x0 = static_cast<int>(std::ceil(box.left + inset - 0.5));
  *x1 = static_cast<int>(std::floor(box.right - inset - 0.5)) + 1;
  return *x1 > *x0;
}

Mask RoundedShape::MaskIn(const RECT& area) const {
  RECT limit;
  if (!IntersectRect(&limit, &box, &area)) return Mask::Blank({});
  Mask mask = Mask::Blank(limit);
  for (int y = limit.top; y < limit.bottom; ++y) {
    int x0, x1;
    if (!Row(y, &x0, &x1)) continue;
    for (int x = std::max(x0, static_cast<int>(limit.left)); x < std::min(x1, static_cast<int>(limit.right)); ++x) {
      mask.At(x, y) = 255;
    }
  }
  return mask;
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return CLR_INVALID;
  Target target(*dc);
  const POINT p = ToDevice(*dc, x, y);
  if (!target.Visible(p.x, p.y)) return CLR_INVALID;
  const Pixel value = DevicePixel(*dc, color);
  target.Row(p.y)[p.x] = value;
  return ToColor(value);
}

COLORREF GetPixel(HDC handle, int x, int y) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return CLR_INVALID;
  Target target(*dc);
  const POINT p = ToDevice(*dc, x, y);
  if (!target.Visible(p.x, p.y)) return CLR_INVALID;
  return ToColor(target.Row(p.y)[p.x]);
}

BOOL LineTo(HDC handle, int x, int y) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return 0;
  const POINT from = dc->state.position;
  DrawStroke(*dc, {ToDevice(*dc, from.x, from.y), ToDevice(*dc, x, y)});
  dc->state.position = {x, y};
  return 1;
}

BOOL Polyline(HDC handle, const POINT* points, int count) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || points == nullptr || count < 2) return 0;
  DrawStroke(*dc, DevicePoints(*dc, points, count));
  return 1;
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return 0;
  PenObject* pen = CurrentPen(*dc);
  if (pen && pen->style != PS_SOLID && pen->style != PS_INSIDEFRAME && !Wide(*pen)) {
    // A styled outline follows the edges like a closed polyline.
    const RECT box = Normalised(left, top, right, bottom);
    const RECT inner{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
    FillRect(handle, &inner, dc->state.brush);
    const POINT corners[5] = {{box.left, box.top},
                              {box.right - 1, box.top},
                              {box.right - 1, box.bottom - 1},
                              {box.left, box.bottom - 1},
                              {box.left, box.top}};
    DrawStroke(*dc, DevicePoints(*dc, corners, 5));
    return 1;
  }
  DrawClosedShape(handle, left, top, right, bottom, [](const RECT& b) { return RoundedShape(b, 0, 0); });
  return 1;
}

BOOL RoundRect(HDC handle, int left, int top, int right, int bottom, int ellipseWidth,
               int ellipseHeight) {
  if (Live(handle) == nullptr) return 0;
  DrawClosedShape(handle, left, top, right, bottom,
                  [&](const RECT& b) { return RoundedShape(b, ellipseWidth, ellipseHeight); });
  return 1;
}

BOOL Ellipse(HDC handle, int left, int top, int right, int bottom) {
  if (Live(handle) == nullptr) return 0;
  DrawClosedShape(handle, left, top, right, bottom, RoundedShape::Ellipse);
  return 1;
}

BOOL Polygon(HDC handle, const POINT* points, int count) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || points == nullptr || count < 2) return 0;
  std::vector<POINT> device = DevicePoints(*dc, points, count);
  RECT box{device[0].x, device[0].y, device[0].x, device[0].y};
  for (const POINT& p : device) {
    box = {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
           std::max(box.bottom, p.y)};
  }
  IntersectRect(&box, &box, &dc->bounds);
  const Mask fill = FillPathMask(
      box,
      [&](cairo_t* cr) {
        cairo_move_to(cr, device[0].x, device[0].y);
        for (const POINT& p : device) cairo_line_to(cr, p.x, p.y);
        cairo_close_path(cr);
      },
      dc->state.polyFillMode == WINDING);
  PaintMask(Target(*dc), fill, CurrentBrush(*dc), Rop2Table(dc->state.rop2));
  device.push_back(device[0]);
  DrawStroke(*dc, device);
  return 1;
}

int FillRect(HDC handle, const RECT* r, HBRUSH brush) {
  DeviceContext* dc = Live(handle);
  BrushObject* b = Live(brush);
  if (dc == nullptr || r == nullptr || b == nullptr) return 0;
  FillBox(Target(*dc), ToDevice(*dc, *r), Ink::FromBrush(*dc, b), 0xF0);
  return 1;
}

int FrameRect(HDC handle, const RECT* r, HBRUSH brush) {
  DeviceContext* dc = Live(handle);
  BrushObject* b = Live(brush);
  if (dc == nullptr || r == nullptr || b == nullptr) return 0;
  const RECT box = ToDevice(*dc, *r);
  if (IsRectEmpty(&box)) return 1;
  const Target target(*dc);
  const Ink ink = Ink::FromBrush(*dc, b);
  FillBox(target, {box.left, box.top, box.right, box.top + 1}, ink, 0xF0);
  FillBox(target, {box.left, box.bottom - 1, box.right, box.bottom}, ink, 0xF0);
  FillBox(target, {box.left, box.top + 1, box.left + 1, box.bottom - 1}, ink, 0xF0);
  FillBox(target, {box.right - 1, box.top + 1, box.right, box.bottom - 1}, ink, 0xF0);
  return 1;
}

BOOL InvertRect(HDC handle, const RECT* r) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || r == nullptr) return 0;
  FillBox(Target(*dc), ToDevice(*dc, *r), Ink::Solid(*dc, 0), Rop3Table(DSTINVERT));
  return 1;
}

BOOL DrawFocusRect(HDC handle, const RECT* r) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || r == nullptr) return 0;
  const RECT box = ToDevice(*dc, *r);
  RECT visible;
  if (IsRectEmpty(&box) || !IntersectRect(&visible, &box, &dc->bounds)) return 1;
  // Every other pixel of the frame, counted from the top-left corner.
  std::vector<POINT> dots;
  auto dot = [&](int x, int y) {
    if (((x - box.left) + (y - box.top)) % 2 == 0 && PtInRect(&visible, {x, y})) dots.push_back({x, y});
  };
  for (int x = visible.left; x < visible.right; ++x) {
    dot(x, box.top);
    if (box.bottom - 1 > box.top) dot(x, box.bottom - 1);
  }
  for (int y = std::max(visible.top, box.top + 1); y < std::min(visible.bottom, box.bottom - 1); ++y) {
    dot(box.left, y);
    if (box.right - 1 > box.left) dot(box.right - 1, y);
  }
  PaintMask(Target(*dc), MaskOfPoints(dots, 1), Ink::Solid(*dc, 0), Rop3Table(DSTINVERT));
  return 1;
}

}  // namespace qelo::win
