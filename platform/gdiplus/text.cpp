#include "text.h"

#include <algorithm>

namespace qelo::gdiplus::detail {
namespace {

// One rendering set-up everywhere, so that measurements and drawings agree
// and do not depend on the desktop's settings.
void UseFixedFontOptions(PangoContext* context) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
}

PangoAttrList* StyleAttributes(int style) {
  PangoAttrList* attributes = pango_attr_list_new();
  if (style & FontStyleUnderline) pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (style & FontStyleStrikeout) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
  return attributes;
}

RectF FromPango(const PangoRectangle& r) {
  return {static_cast<float>(r.x) / PANGO_SCALE, static_cast<float>(r.y) / PANGO_SCALE,
          static_cast<float>(r.width) / PANGO_SCALE, static_cast<float>(r.height) / PANGO_SCALE};
}

}  // namespace

bool IsValidText(std::string_view text) {
  return text.size() < G_MAXINT && g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr);
}

LayoutPtr MakeLayout(std::string_view text, const Font& font) {
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* cr = cairo_create(scratch);
  LayoutPtr layout(pango_cairo_create_layout(cr));
  cairo_destroy(cr);
  cairo_surface_destroy(scratch);
  UseFixedFontOptions(pango_layout_get_context(layout.get()));
  pango_layout_context_changed(layout.get());
  pango_layout_set_font_description(layout.get(), font.Description());
  PangoAttrList* attributes = StyleAttributes(font.GetStyle());
  pango_layout_set_attributes(layout.get(), attributes);
  pango_attr_list_unref(attributes);
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  return layout;
}

RectF LogicalExtent(PangoLayout* layout) {
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  return {0, 0, static_cast<float>(logical.width) / PANGO_SCALE, static_cast<float>(logical.height) / PANGO_SCALE};
}

RectF InkAndLogicalExtent(PangoLayout* layout) {
  PangoRectangle ink, logical;
  pango_layout_get_extents(layout, &ink, &logical);
  const RectF a = FromPango(ink), b = FromPango(logical);
  const float x0 = std::min(a.X, b.X), y0 = std::min(a.Y, b.Y);
  const float x1 = std::max(a.X + a.Width, b.X + b.Width), y1 = std::max(a.Y + a.Height, b.Y + b.Height);
  return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace qelo::gdiplus::detail
