#include "gdiplus/font.h"

#include <pango/pango.h>

#include <cmath>

#include "font_cache.h"

namespace qelo::gdiplus {
namespace {

constexpr float kDotsPerInch = 96.0f;
constexpr float kPointsPerInch = 72.0f;
// Pango keeps sizes as int in 1/PANGO_SCALE pixels.
constexpr float kLargestPixelSize = 100000.0f;

}  // namespace

FontFamily::FontFamily(const std::string& name) {
  const detail::FamilyMatch match = name.empty() ? detail::FamilyMatch{} : detail::MatchFamily(name);
  status_ = match.found ? Status::Ok : Status::FontFamilyNotFound;
  name_ = match.family;
}

const FontFamily* FontFamily::GenericSansSerif() {
  // The installed family behind the generic name is fixed for the process.
  static const FontFamily generic(Resolved{}, detail::GenericSansFamily());
  return &generic;
}

Font::Font(const FontFamily* family, float emSize, int style, Unit unit) : size_(emSize), style_(style), unit_(unit) {
  if (!family || family->GetLastStatus() != Status::Ok || !std::isfinite(emSize) || emSize <= 0 ||
      GetSizeInPixels() > kLargestPixelSize) {
    status_ = Status::InvalidParameter;
    return;
  }
  family_ = family->GetName();
  description_ = pango_font_description_new();
  pango_font_description_set_family(description_, family_.c_str());
  pango_font_description_set_absolute_size(description_, GetSizeInPixels() * PANGO_SCALE);
  pango_font_description_set_weight(description_, style & FontStyleBold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(description_, style & FontStyleItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
}

Font::~Font() {
  if (description_) pango_font_description_free(description_);
}

float Font::GetSizeInPixels() const { return unit_ == Unit::Point ? size_ * kDotsPerInch / kPointsPerInch : size_; }

std::size_t FontMatchCacheSize() { return detail::FontMatchCount(); }

}  // namespace qelo::gdiplus
