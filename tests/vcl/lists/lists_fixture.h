// What the list control tests share: input at a point of a control, the
// pixels of a shown form, and a small image list of a given height.
#pragma once

#include <array>
#include <memory>

#include "controls_fixture.h"
#include "vcl/controls/listview.h"
#include "vcl/graphics/image_list.h"

namespace qelo::vcl::test {

// A left (or right) click at a client point of the control, through the
// window system's pointer.
void ClickAt(TControl& control, TPoint clientPoint, bool right = false);
void DoubleClickAt(TControl& control, TPoint clientPoint);
// A left-button drag from one client point to another, in a few moves.
void DragAt(TControl& control, TPoint from, TPoint to);
// The colour at a client point of a windowed control, after painting it.
win::COLORREF PixelAt(TWinControl& control, TPoint clientPoint);
// How many pixels of a client rectangle have the colour, after painting.
int CountPixels(TWinControl& control, const TRect& clientRect, win::COLORREF colour);
// A 300 x 200 report view owned by `owner` at (10, 10) with the columns
// "Name" (100) and "Size" (60), not yet placed on a parent.
TListView* NewReportView(TComponent* owner);
// `count` images of `width` x `height`, each filled with one colour.
std::unique_ptr<TImageList> SolidImages(int width, int height, int count = 1);

// A rectangle as its four edges, for comparisons that print.
inline std::array<int, 4> Edges(const TRect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline TPoint Centre(const TRect& r) { return Point((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

}  // namespace qelo::vcl::test
