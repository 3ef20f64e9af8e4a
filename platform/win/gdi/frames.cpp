// The classic system colours, edges and frame controls.
#include <algorithm>

#include "gdi/shapes.h"

namespace qelo::win {
namespace {

// The one classic palette of the platform, index by index.
constexpr std::array<COLORREF, 31> kSysColors = {
    RGB(212, 208, 200),  // 0 scroll bar
    RGB(58, 110, 165),   // 1 desktop
    RGB(10, 36, 106),    // 2 active caption
    RGB(128, 128, 128),  // 3 inactive caption
    RGB(212, 208, 200),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(0, 0, 0),        // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(255, 255, 255),  // 9 caption text
    RGB(212, 208, 200),  // 10 active border
    RGB(212, 208, 200),  // 11 inactive border
    RGB(128, 128, 128),  // 12 application workspace
    RGB(10, 36, 106),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(212, 208, 200),  // 15 button face
    RGB(128, 128, 128),  // 16 button shadow
    RGB(128, 128, 128),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(212, 208, 200),  // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(64, 64, 64),     // 21 3-D dark shadow
    RGB(212, 208, 200),  // 22 3-D light
    RGB(0, 0, 0),        // 23 tool tip text
    RGB(255, 255, 225),  // 24 tool tip background
    RGB(0, 0, 0),        // 25 (unused)
    RGB(0, 0, 128),      // 26 hot-tracked item
    RGB(166, 202, 240),  // 27 active caption gradient
    RGB(192, 192, 192),  // 28 inactive caption gradient
    RGB(10, 36, 106),    // 29 menu highlight
    RGB(212, 208, 200),  // 30 menu bar
};

}  // namespace

COLORREF GetSysColor(int index) {
  return index >= 0 && index < static_cast<int>(kSysColors.size()) ? kSysColors[index] : 0;
}

HBRUSH GetSysColorBrush(int index) {
  static const auto* brushes = [] {
    auto* table = new std::array<HBRUSH, kSysColors.size()>;  // stock: kept for the process
    for (size_t i = 0; i < table->size(); ++i) {
      (*table)[i] = CreateSolidBrush(kSysColors[i]);
      (*table)[i]->stock = true;
    }
    return table;
  }();
  return index >= 0 && index < static_cast<int>(brushes->size()) ? (*brushes)[index] : nullptr;
}

namespace {

void Fill(HDC dc, const RECT& r, int colorIndex) {
  FillRect(dc, &r, GetSysColorBrush(colorIndex));
}

void FillColor(DeviceContext& dc, const RECT& r, COLORREF color) {
  FillBox(Target(dc), ToDevice(dc, r), Ink::Solid(dc, color), 0xF0);
}

struct EdgeColors {
  int topLeft;
  int bottomRight;
};

EdgeColors OuterColors(unsigned edge, unsigned flags) {
  if (flags & BF_MONO) return {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
  if (flags & BF_FLAT) return {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
  if (edge & BDR_RAISEDOUTER) {
    return {(flags & BF_SOFT) ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
  }
  return {(flags & BF_SOFT) ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
}

EdgeColors InnerColors(unsigned edge, unsigned flags) {
  if (flags & BF_MONO) return {COLOR_WINDOW, COLOR_WINDOW};
  if (flags & BF_FLAT) return {COLOR_BTNFACE, COLOR_BTNFACE};
  if (edge & BDR_RAISEDINNER) {
    return {(flags & BF_SOFT) ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
  }
  return {(flags & BF_SOFT) ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
}

// One pixel on each chosen side; the bottom and right lines run the full
// length, so they own the bottom-left and top-right corners.
void Border(HDC dc, RECT& r, EdgeColors colors, unsigned flags) {
  if (flags & BF_LEFT) Fill(dc, {r.left, r.top, r.left + 1, r.bottom - 1}, colors.topLeft);
  if (flags & BF_TOP) Fill(dc, {r.left, r.top, r.right - 1, r.top + 1}, colors.topLeft);
  if (flags & BF_RIGHT) Fill(dc, {r.right - 1, r.top, r.right, r.bottom}, colors.bottomRight);
  if (flags & BF_BOTTOM) Fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, colors.bottomRight);
  r = {r.left + ((flags & BF_LEFT) ? 1 : 0), r.top + ((flags & BF_TOP) ? 1 : 0),
       r.right - ((flags & BF_RIGHT) ? 1 : 0), r.bottom - ((flags & BF_BOTTOM) ? 1 : 0)};
}

}  // namespace

BOOL DrawEdge(HDC dc, RECT* r, unsigned edge, unsigned flags) {
  if (Live(dc) == nullptr || r == nullptr) return 0;
  RECT inner = *r;
  if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) Border(dc, inner, OuterColors(edge, flags), flags);
  if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) Border(dc, inner, InnerColors(edge, flags), flags);
  if (flags & BF_MIDDLE) Fill(dc, inner, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
  if (flags & BF_ADJUST) *r = inner;
  return 1;
}

namespace {

RECT Square(const RECT& r) {
  const int side = std::min(r.right - r.left, r.bottom - r.top);
  const int left = r.left + (r.right - r.left - side) / 2;
  const int top = r.top + (r.bottom - r.top - side) / 2;
  return {left, top, left + side, top + side};
}

// A check mark: a short stroke down to the right and a long one up, three
// pixels thick, fitted to the box.
void CheckMark(DeviceContext& dc, const RECT& box, COLORREF color) {
  const int size = box.right - box.left;
  const int unit = std::max(1, size / 7);
  const int x0 = box.left + unit;
  const int y0 = box.top + size / 2 - unit;
  for (int i = 0; i < 5 * unit && x0 + i < box.right - unit / 2; ++i) {
    const int y = i < 2 * unit ? y0 + i : y0 + 4 * unit - i;
    FillColor(dc, {x0 + i, y, x0 + i + 1, y + 3 * unit}, color);
  }
}

void CheckBox(HDC handle, DeviceContext& dc, const RECT& r, unsigned state) {
  RECT box = Square(r);
  if (state & DFCS_MONO) {
    FrameRect(handle, &box, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&box, -1, -1);
  } else if (state & DFCS_FLAT) {
    FrameRect(handle, &box, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(&box, -1, -1);
  } else {
    DrawEdge(handle, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  }
  // A three-state box shows its mixed state as a shadowed mark on the button face.
  const bool mixed = (state & 0x1F) == DFCS_BUTTON3STATE;
  const bool dim = mixed || (state & (DFCS_PUSHED | DFCS_INACTIVE));
  Fill(handle, box, dim ? COLOR_BTNFACE : COLOR_WINDOW);
  if (state & DFCS_CHECKED) {
    const int mark = mixed ? COLOR_BTNSHADOW : (state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
    CheckMark(dc, box, GetSysColor(mark));
  }
}

// Paints a ring of the mask in two colours split along the anti-diagonal.
void PaintRing(DeviceContext& dc, const Mask& ring, const RECT& box, EdgeColors colors) {
  Mask topLeft = ring;
  Mask bottomRight = ring;
  const int size = box.right - box.left;
  for (int y = ring.box.top; y < ring.box.bottom; ++y) {
    for (int x = ring.box.left; x < ring.box.right; ++x) {
      const bool upper = (x - box.left) + (y - box.top) < size - 1;
      (upper ? bottomRight : topLeft).At(x, y) = 0;
    }
  }
  const Target target(dc);
  PaintMask(target, topLeft, Ink::Solid(dc, GetSysColor(colors.topLeft)), 0xF0);
  PaintMask(target, bottomRight, Ink::Solid(dc, GetSysColor(colors.bottomRight)), 0xF0);
}

Mask Without(Mask a, const Mask& b) {
  for (size_t i = 0; i < a.coverage.size(); ++i) {
    if (b.coverage[i]) a.coverage[i] = 0;
  }
  return a;
}

void RadioButton(DeviceContext& dc, const RECT& r, unsigned state) {
  const RECT box = ToDevice(dc, Square(r));
  const Mask disc = RoundedShape::Ellipse(box).MaskIn(box);
  const Mask outer = OutlineOf(disc, 1);
  const Mask rest = Without(disc, outer);
  const Mask inner = OutlineOf(rest, 1);
  const Mask middle = Without(rest, inner);
  PaintRing(dc, outer, box, {COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT});
  PaintRing(dc, inner, box, {COLOR_3DDKSHADOW, COLOR_3DLIGHT});
  const bool dim = state & (DFCS_PUSHED | DFCS_INACTIVE);
  const Target target(dc);
  PaintMask(target, middle, Ink::Solid(dc, GetSysColor(dim ? COLOR_BTNFACE : COLOR_WINDOW)), 0xF0);
  if (state & DFCS_CHECKED) {
    const int side = box.right - box.left;
    const int dot = std::max(2, side / 3);
    const int at = (side - dot) / 2;
    const RECT dotBox{box.left + at, box.top + at, box.left + at + dot, box.top + at + dot};
    const int text = (state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
    PaintMask(target, RoundedShape::Ellipse(dotBox).MaskIn(dotBox), Ink::Solid(dc, GetSysColor(text)), 0xF0);
  }
}

void PushButton(HDC dc, RECT r, unsigned state) {
  if (state & DFCS_FLAT) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(&r, -1, -1);
    Fill(dc, r, COLOR_BTNFACE);
    return;
  }
  const unsigned edge = (state & (DFCS_PUSHED | DFCS_CHECKED)) ? EDGE_SUNKEN : EDGE_RAISED;
  DrawEdge(dc, &r, edge, BF_RECT | BF_MIDDLE | ((state & DFCS_MONO) ? BF_MONO : 0u));
}

// A filled triangle pointing in the arrow's direction, centred in the box.
void Arrow(DeviceContext& dc, const RECT& box, unsigned direction, COLORREF color) {
  const int side = std::min(box.right - box.left, box.bottom - box.top);
  const int rows = std::max(1, (side + 1) / 4);
  const int cx = box.left + (box.right - box.left) / 2;
  const int cy = box.top + (box.bottom - box.top) / 2;
  for (int i = 0; i < rows; ++i) {
    const int half = (direction == DFCS_SCROLLUP || direction == DFCS_SCROLLLEFT) ? i : rows - 1 - i;
    const int at = i - rows / 2;
    if (direction == DFCS_SCROLLUP || direction == DFCS_SCROLLDOWN || direction == DFCS_SCROLLCOMBOBOX) {
      FillColor(dc, {cx - half, cy + at, cx + half + 1, cy + at + 1}, color);
    } else {
      FillColor(dc, {cx + at, cy - half, cx + at + 1, cy + half + 1}, color);
    }
  }
}

void ScrollButton(HDC handle, DeviceContext& dc, RECT r, unsigned state) {
  const unsigned direction = state & 0x1F;
  PushButton(handle, r, state & ~DFCS_CHECKED);
  InflateRect(&r, -2, -2);
  if (state & DFCS_PUSHED) OffsetRect(&r, 1, 1);
  if (state & DFCS_INACTIVE) {
    RECT shadow = r;
    OffsetRect(&shadow, 1, 1);
    Arrow(dc, shadow, direction, GetSysColor(COLOR_BTNHIGHLIGHT));
    Arrow(dc, r, direction, GetSysColor(COLOR_GRAYTEXT));
    return;
  }
  Arrow(dc, r, direction, GetSysColor(COLOR_BTNTEXT));
}

}  // namespace

BOOL DrawFrameControl(HDC handle, RECT* r, unsigned kind, unsigned state) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || r == nullptr || IsRectEmpty(r)) return 0;
  if (kind == DFC_BUTTON) {
    const unsigned type = state & 0x1F;
    if (type == DFCS_BUTTONCHECK || type == DFCS_BUTTON3STATE) {
      CheckBox(handle, *dc, *r, state);
    } else if (type == DFCS_BUTTONRADIO) {
      RadioButton(*dc, *r, state);
    } else if (type == DFCS_BUTTONPUSH) {
      PushButton(handle, *r, state);
    } else {
      return 0;
    }
    return 1;
  }
  if (kind == DFC_SCROLL) {
    const unsigned type = state & 0x1F;
    if (type > DFCS_SCROLLRIGHT && type != DFCS_SCROLLCOMBOBOX) return 0;
    ScrollButton(handle, *dc, *r, state);
    return 1;
  }
  return 0;
}

}  // namespace qelo::win
