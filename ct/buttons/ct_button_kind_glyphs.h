// The stock pictures of the push button with a glyph: one per kind (OK,
// Cancel, Help, Yes, No, Close, Abort, Retry, Ignore, All), the library's
// "CTCOMMON_*" pictures. Each is a strip of two 18 by 18 cells, the normal
// picture and its greyed form, on a background of clOlive that is the
// strip's transparent colour.
#pragma once

#include <string>

#include "vcl/controls/buttons.h"
#include "vcl/graphics/bitmap.h"

namespace qelo::ct {

constexpr int kKindGlyphSize = 18;

// The picture resource of a kind ("CTCOMMON_OK"); empty for bkCustom.
std::string KindGlyphResourceName(vcl::TBitBtnKind kind);

// The strip of a kind, loaded on the first request and kept until the
// program ends; null for bkCustom.
vcl::TBitmap* LoadKindGlyph(vcl::TBitBtnKind kind);

}  // namespace qelo::ct
