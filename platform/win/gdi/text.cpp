// Fonts (faces through fontconfig, shaping and rasterising through Pango),
// text metrics, TextOut and ExtTextOut.
#include "gdi/text.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <strings.h>

#include "gdi/raster.h"

namespace qelo::win {
namespace {

constexpr int kDefaultEmPixels = 11;  // 8 points at 96 pixels per inch

struct Face {
  std::string family;
  bool outline = true;
};

// The installed face for a requested name: the name itself when fontconfig
// knows a face of that family, else the installed sans face.
Face MatchFace(const std::string& requested) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(requested.c_str()));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  Face face;
  if (match == nullptr) return face;
  FcChar8* family = nullptr;
  bool installed = false;
  std::string first;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
    const char* name = reinterpret_cast<const char*>(family);
    if (i == 0) first = name;
    if (strcasecmp(name, requested.c_str()) == 0) installed = true;
  }
  FcBool outline = FcTrue;
  FcPatternGetBool(match, FC_OUTLINE, 0, &outline);
  FcPatternDestroy(match);
  face.family = installed ? requested : first;
  face.outline = outline != FcFalse;
  return face;
}

Face ResolveFace(const std::string& requested) {
  static std::mutex mutex;
  static auto* cache = new std::map<std::string, Face>;  // faces do not change while running
  std::lock_guard lock(mutex);
  const std::string key = requested.empty() ? "sans-serif" : requested;
  auto it = cache->find(key);
  if (it != cache->end()) return it->second;
  Face face = MatchFace(key);
  if (face.family != key && key != "sans-serif") face = MatchFace("sans-serif");
  return cache->emplace(key, face).first->second;
}

// Text is always rasterised with greyscale antialiasing, so that it
// measures the same everywhere; monochrome bitmaps cut the coverage at half.
void ConfigureContext(PangoContext* context) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
}

// Each thread measures and draws unrotated text with a context of its own
// (Pango contexts are not shared between threads).
PangoContext* MeasuringContext() {
  struct Holder {
    PangoContext* context;
    Holder() : context(pango_font_map_create_context(pango_cairo_font_map_get_default())) {
      ConfigureContext(context);
    }
    ~Holder() { g_object_unref(context); }
  };
  thread_local Holder holder;
  return holder.context;
}

// The pictures the symbol face of window glyphs gives its letters, as
// characters of the installed faces.
std::string WindowGlyphs(std::string_view text) {
  struct Glyph {
    char letter;
    const char* picture;
  };
  static constexpr Glyph kGlyphs[] = {{'r', "\u2715"}};  // the close cross
  std::string out;
  for (char c : text) {
    const auto* it = std::find_if(std::begin(kGlyphs), std::end(kGlyphs), [c](const Glyph& g) { return g.letter == c; });
    out += it == std::end(kGlyphs) ? std::string(1, c) : std::string(it->picture);
  }
  return out;
}

PangoLayout* MakeLayout(PangoContext* context, const FontObject& font, std::string_view text,
                        const TextStyle& style) {
  const std::string pictures = font.windowGlyphs ? WindowGlyphs(text) : std::string();
  if (font.windowGlyphs) text = pictures;
  pango_context_set_base_dir(context, style.rtl ? PANGO_DIRECTION_RTL : PANGO_DIRECTION_LTR);
  PangoLayout* layout = pango_layout_new(context);
  pango_layout_set_auto_dir(layout, FALSE);
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  pango_layout_set_font_description(layout, font.description);
  pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
  PangoAttrList* attrs = pango_attr_list_new();
  if (font.log.lfUnderline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (font.log.lfStrikeOut) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
  if (style.underlineStart >= 0) {
    PangoAttribute* mark = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
    mark->start_index = style.underlineStart;
    mark->end_index = style.underlineEnd;
    pango_attr_list_insert(attrs, mark);
  }
  pango_layout_set_attributes(layout, attrs);
  pango_attr_list_unref(attrs);
  if (style.tabWidth > 0) {
    PangoTabArray* tabs = pango_tab_array_new_with_positions(1, TRUE, PANGO_TAB_LEFT, style.tabWidth);
    pango_layout_set_tabs(layout, tabs);
    pango_tab_array_free(tabs);
  }
  return layout;
}

int LayoutWidth(PangoLayout* layout) {
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  return logical.width;
}

PangoFontDescription* Describe(const LOGFONT& log, const std::string& family, int emPixels) {
  PangoFontDescription* d = pango_font_description_new();
  pango_font_description_set_family(d, family.c_str());
  pango_font_description_set_absolute_size(d, static_cast<double>(emPixels) * PANGO_SCALE);
  const int weight = log.lfWeight <= 0 ? FW_NORMAL : std::clamp(log.lfWeight, 100, 1000);
  pango_font_description_set_weight(d, static_cast<PangoWeight>(weight));
  pango_font_description_set_style(d, log.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  return d;
}

struct CellMetrics {
  int ascent;
  int descent;
};

CellMetrics MeasureCell(const PangoFontDescription* d) {
  PangoFontMetrics* m = pango_context_get_metrics(MeasuringContext(), d, nullptr);
  CellMetrics cell{PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(m)),
                   PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(m))};
  pango_font_metrics_unref(m);
  return cell;
}

void FillMetrics(FontObject& font, int emPixels) {
  const CellMetrics cell = MeasureCell(font.description);
  TEXTMETRIC& tm = font.metrics;
  tm.tmAscent = cell.ascent;
  tm.tmDescent = cell.descent;
  tm.tmHeight = cell.ascent + cell.descent;
  tm.tmInternalLeading = std::max(0, tm.tmHeight - emPixels);
  tm.tmExternalLeading = 0;
  tm.tmAveCharWidth = std::max(1, TextWidth(font, "x"));
  tm.tmMaxCharWidth = std::max(tm.tmAveCharWidth, TextWidth(font, "W"));
  tm.tmWeight = font.log.lfWeight <= 0 ? FW_NORMAL : font.log.lfWeight;
  tm.tmItalic = font.log.lfItalic;
  tm.tmUnderlined = font.log.lfUnderline;
  tm.tmStruckOut = font.log.lfStrikeOut;
  tm.tmCharSet = font.log.lfCharSet;
  const bool fixed = (font.log.lfPitchAndFamily & 0x03) == FIXED_PITCH;
  tm.tmPitchAndFamily = static_cast<uint8_t>((fixed ? 0 : TMPF_FIXED_PITCH) |
                                             (font.outline ? TMPF_TRUETYPE | TMPF_VECTOR : 0));
}

// The em size for the LOGFONT height: a positive height is the cell
// (ascent + descent), so the em is scaled down to make the cell fit.
int EmPixels(const LOGFONT& log, const std::string& family) {
  if (log.lfHeight < 0) return -log.lfHeight;
  if (log.lfHeight == 0) return kDefaultEmPixels;
  PangoFontDescription* probe = Describe(log, family, log.lfHeight);
  const CellMetrics cell = MeasureCell(probe);
  pango_font_description_free(probe);
  const int total = std::max(1, cell.ascent + cell.descent);
  return std::max(1, static_cast<int>(std::lround(static_cast<double>(log.lfHeight) * log.lfHeight / total)));
}

}  // namespace

FontObject::~FontObject() {
  if (description) pango_font_description_free(description);
}

int32_t PointsToFontHeight(int points) {
  return -static_cast<int32_t>(std::lround(points * 96.0 / 72.0));
}

HFONT CreateFontIndirect(const LOGFONT* log) {
  if (log == nullptr) return nullptr;
  const Face face = ResolveFace(log->lfFaceName);
  auto* font = new FontObject;
  font->log = *log;
  font->face = face.family;
  font->outline = face.outline;
  font->windowGlyphs = strcasecmp(log->lfFaceName.c_str(), "Marlett") == 0;
  const int em = EmPixels(*log, face.family);
  font->description = Describe(*log, face.family, em);
  FillMetrics(*font, em);
  RegisterObject(font);
  return font;
}

HFONT DefaultFont() {
  static HFONT font = [] {
    LOGFONT log;
    log.lfHeight = -kDefaultEmPixels;
    HFONT f = CreateFontIndirect(&log);
    f->stock = true;
    return f;
  }();
  return font;
}

const FontObject& SelectedFont(const DeviceContext& dc) {
  const FontObject* font = Live(dc.state.font);
  return font ? *font : *DefaultFont();
}

int GetTextFace(HDC handle, std::string* face) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || face == nullptr) return 0;
  *face = SelectedFont(*dc).face;
  return static_cast<int>(face->size()) + 1;
}

BOOL GetTextMetrics(HDC handle, TEXTMETRIC* metrics) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || metrics == nullptr) return 0;
  *metrics = SelectedFont(*dc).metrics;
  return 1;
}

int TextWidth(const FontObject& font, std::string_view text, const TextStyle& style) {
  if (text.empty()) return 0;
  PangoLayout* layout = MakeLayout(MeasuringContext(), font, text, style);
  const int width = LayoutWidth(layout);
  g_object_unref(layout);
  return width;
}

TextMeasure::TextMeasure(HFONT handle) : font_(std::make_unique<FontObject>()) {
  const FontObject* source = Live(handle);
  if (source == nullptr) source = DefaultFont();
  font_->log = source->log;
  font_->face = source->face;
  font_->outline = source->outline;
  font_->description = pango_font_description_copy(source->description);
  font_->metrics = source->metrics;
}

TextMeasure::~TextMeasure() = default;

BOOL GetTextExtentPoint32(HDC handle, std::string_view text, SIZE* size) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr || size == nullptr) return 0;
  const FontObject& font = SelectedFont(*dc);
  *size = {TextWidth(font, text), font.metrics.tmHeight};
  return 1;
}

// ---- drawing -------------------------------------------------------------

namespace {

// The cell's corner that the reference point stands for, in text space
// (x along the baseline, y down from the cell's top).
struct Anchor {
  double x;
  double y;
};

Anchor AnchorOf(unsigned align, int width, const TEXTMETRIC& tm) {
  Anchor a{0, 0};
  if ((align & TA_CENTER) == TA_CENTER) {
    a.x = width / 2;
  } else if (align & TA_RIGHT) {
    a.x = width;
  }
  if ((align & TA_BASELINE) == TA_BASELINE) {
    a.y = tm.tmAscent;
  } else if (align & TA_BOTTOM) {
    a.y = tm.tmHeight;
  }
  return a;
}

// Moves cairo from device space into the text space of the line.
void EnterTextSpace(cairo_t* cr, const TextPlacement& where, Anchor anchor) {
  cairo_translate(cr, where.reference.x, where.reference.y);
  cairo_rotate(cr, -where.escapement / 10.0 * M_PI / 180.0);
  cairo_translate(cr, -anchor.x, -anchor.y);
}

// The device box the rotated cell can touch, with room for overhangs.
RECT CellBox(const TextPlacement& where, Anchor anchor, int width, int height) {
  const double angle = -where.escapement / 10.0 * M_PI / 180.0;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double corners[4][2] = {{0, 0}, {double(width), 0}, {0, double(height)}, {double(width), double(height)}};
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  for (const auto& p : corners) {
    const double tx = p[0] - anchor.x;
    const double ty = p[1] - anchor.y;
    const double dx = where.reference.x + tx * c - ty * s;
    const double dy = where.reference.y + tx * s + ty * c;
    x0 = std::min(x0, dx);
    y0 = std::min(y0, dy);
    x1 = std::max(x1, dx);
    y1 = std::max(y1, dy);
  }
  const int margin = height / 2 + 2;
  return {static_cast<int>(std::floor(x0)) - margin, static_cast<int>(std::floor(y0)) - margin,
          static_cast<int>(std::ceil(x1)) + margin, static_cast<int>(std::ceil(y1)) + margin};
}

// For unrotated text: the glyphs' ink, and the cell too when it is filled.
RECT InkBox(PangoLayout* layout, const TextPlacement& where, Anchor anchor, int width, const TEXTMETRIC& tm) {
  PangoRectangle ink;
  pango_layout_line_get_pixel_extents(pango_layout_get_line_readonly(layout, 0), &ink, nullptr);
  const int left = where.reference.x - static_cast<int>(anchor.x);
  const int top = where.reference.y - static_cast<int>(anchor.y);
  const int baseline = top + tm.tmAscent;
  RECT cell{left, top, left + width, top + tm.tmHeight};
  const RECT glyphs{left + ink.x - 1, baseline + ink.y - 1, left + ink.x + ink.width + 1,
                    baseline + ink.y + ink.height + 1};
  if (!where.opaque) return glyphs;
  UnionRect(&cell, &cell, &glyphs);
  return cell;
}

RECT Clamp(const RECT& box, const DeviceContext& dc, const RECT* limit) {
  RECT out;
  IntersectRect(&out, &box, &dc.bounds);
  if (limit) IntersectRect(&out, &out, limit);
  return out;
}

// Rasterises the line into a coverage mask. Unrotated lines draw the
// layout they were measured with; rotated ones are laid out again in the
// rotated space so that hinting follows the rotation.
Mask GlyphMask(const RECT& box, const FontObject& font, PangoLayout* measured, std::string_view text,
               const TextStyle& style, const TextPlacement& where, Anchor anchor) {
  Mask mask = Mask::Blank(box);
  if (mask.coverage.empty()) return mask;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, mask.Width(), mask.Height());
  cairo_t* cr = cairo_create(surface);
  cairo_translate(cr, -box.left, -box.top);
  EnterTextSpace(cr, where, anchor);
  PangoContext* rotated = nullptr;
  PangoLayout* layout = measured;
  if (where.escapement != 0) {
    rotated = pango_cairo_create_context(cr);
    ConfigureContext(rotated);
    layout = MakeLayout(rotated, font, text, style);
  }
  cairo_move_to(cr, 0, font.metrics.tmAscent);
  pango_cairo_show_layout_line(cr, pango_layout_get_line_readonly(layout, 0));
  if (rotated) {
    g_object_unref(layout);
    g_object_unref(rotated);
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < mask.Height(); ++y) {
    std::copy_n(data + static_cast<ptrdiff_t>(y) * stride, mask.Width(),
                mask.coverage.begin() + static_cast<ptrdiff_t>(y) * mask.Width());
  }
  cairo_surface_destroy(surface);
  return mask;
}

}  // namespace

int DrawTextLine(DeviceContext& dc, const FontObject& font, std::string_view text,
                 const TextPlacement& where, const TextStyle& style) {
  PangoLayout* layout = MakeLayout(MeasuringContext(), font, text, style);
  const int width = text.empty() ? 0 : LayoutWidth(layout);
  const int height = font.metrics.tmHeight;
  const Anchor anchor = AnchorOf(where.align, width, font.metrics);
  const RECT box = Clamp(where.escapement == 0 ? InkBox(layout, where, anchor, width, font.metrics)
                                             : CellBox(where, anchor, width, height),
                         dc, where.limit);
  if (!IsRectEmpty(&box)) {
    const Target target(dc);
    constexpr uint8_t kCopy = 0xF0;
    if (where.opaque) {
      const Mask cell = FillPathMask(
          box,
          [&](cairo_t* cr) {
            EnterTextSpace(cr, where, anchor);
            cairo_rectangle(cr, 0, 0, width, height);
          },
          true);
      PaintMask(target, cell, Ink::Solid(dc, dc.state.bkColor), kCopy, where.limit);
    }
    if (!text.empty()) {
      const Mask glyphs = GlyphMask(box, font, layout, text, style, where, anchor);
      PaintMask(target, glyphs, Ink::Solid(dc, dc.state.textColor), kCopy, where.limit);
    }
  }
  g_object_unref(layout);
  return width;
}

namespace {

BOOL TextAt(HDC handle, int x, int y, unsigned options, const RECT* r, std::string_view text) {
  DeviceContext* dc = Live(handle);
  if (dc == nullptr) return 0;
  const FontObject& font = SelectedFont(*dc);
  const unsigned align = dc->state.textAlign;
  const POINT at = (align & TA_UPDATECP) ? dc->state.position : POINT{x, y};
  RECT limit;
  if (r) limit = ToDevice(*dc, *r);
  if (r && (options & ETO_OPAQUE)) {
    FillBox(Target(*dc), limit, Ink::Solid(*dc, dc->state.bkColor), 0xF0);
  }
  TextPlacement where;
  where.reference = ToDevice(*dc, at.x, at.y);
  where.align = align;
  where.escapement = font.log.lfEscapement;
  where.opaque = dc->state.bkMode == OPAQUE && !(r && (options & ETO_OPAQUE));
  where.limit = r && (options & ETO_CLIPPED) ? &limit : nullptr;
  TextStyle style;
  style.rtl = (align & TA_RTLREADING) != 0;
  const int width = DrawTextLine(*dc, font, text, where, style);
  if (align & TA_UPDATECP) dc->state.position.x += width;
  return 1;
}

}  // namespace

BOOL TextOut(HDC dc, int x, int y, std::string_view text) { return TextAt(dc, x, y, 0, nullptr, text); }

BOOL ExtTextOut(HDC dc, int x, int y, unsigned options, const RECT* r, std::string_view text) {
  return TextAt(dc, x, y, options, r, text);
}

}  // namespace qelo::win
