// Pango layouts for drawing and measuring strings.
#pragma once

#include <pango/pangocairo.h>

#include <memory>
#include <string_view>

#include "gdiplus/font.h"
#include "gdiplus/types.h"

namespace qelo::gdiplus::detail {

struct LayoutDeleter {
  void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

bool IsValidText(std::string_view text);
// A layout of `text` in `font`, unwrapped, made on a scratch context; draw it
// with pango_cairo_update_layout first.
LayoutPtr MakeLayout(std::string_view text, const Font& font);
// The line boxes' extent (width and height) and everything the glyphs may
// mark, relative to the layout's origin.
RectF LogicalExtent(PangoLayout* layout);
RectF InkAndLogicalExtent(PangoLayout* layout);

}  // namespace qelo::gdiplus::detail
