#include "ct_button_kind_glyphs.h"

#include <array>
#include <memory>

#include "ct_resources.h"
#include "vcl/graphics/png_image.h"

namespace qelo::ct {

using namespace vcl;

std::string KindGlyphResourceName(TBitBtnKind kind) {
  static constexpr std::array<const char*, bkAll + 1> kNames = {
      "",          "CTCOMMON_OK",    "CTCOMMON_CANCEL", "CTCOMMON_HELP",  "CTCOMMON_YES", "CTCOMMON_NO",
      "CTCOMMON_CLOSE", "CTCOMMON_ABORT", "CTCOMMON_RETRY", "CTCOMMON_IGNORE", "CTCOMMON_ALL"};
  return kNames[static_cast<size_t>(kind)];
}

TBitmap* LoadKindGlyph(TBitBtnKind kind) {
  static std::array<std::unique_ptr<TBitmap>, bkAll + 1> slots;
  if (kind == bkCustom) return nullptr;
  std::unique_ptr<TBitmap>& slot = slots[static_cast<size_t>(kind)];
  if (!slot) {
    TPngImage picture;
    picture.LoadFromResourceName(CtResources(), KindGlyphResourceName(kind));
    slot = std::make_unique<TBitmap>();
    slot->Assign(&picture);
    slot->SetTransparentColor(clOlive);
  }
  return slot.get();
}

}  // namespace qelo::ct
