#include "vcl/graphics/png_image.h"

#include <cstring>

namespace qelo::vcl {

const ClassInfo& TPngImage::StaticClass() {
  static const ClassInfo info = ClassBuilder<TPngImage>("TPngImage", TGraphic::StaticClass()).Done();
  return info;
}

TPngImage::TPngImage() {
  pixels_.SetPixelFormat(pf32bit);
  pixels_.OnChange = [this](TObject*) { Changed(); };
  SetTransparent(true);
}

TPngImage::~TPngImage() { pixels_.OnChange = nullptr; }

void TPngImage::LoadFromMemory(const void* data, size_t size) {
  static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (!data || size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0)
    throw EInvalidGraphic("The image is not a valid PNG image");
  try {
    pixels_.LoadFromMemory(data, size);
  } catch (const EInvalidGraphic&) {
    throw EInvalidGraphic("The image is not a valid PNG image");
  }
  pixels_.SetPixelFormat(pf32bit);
}

void TPngImage::LoadFromResourceName(const res::ResourceTable& table, std::string_view name,
                                     std::string_view type) {
  const res::Resource* found = res::FindResource(table, type, name);
  if (!found) throw EResNotFound("Resource " + std::string(name) + " not found");
  LoadFromMemory(found->data, found->size);
}

void TPngImage::Assign(const TPersistent* source) {
  if (const auto* png = dynamic_cast<const TPngImage*>(source)) {
    if (png != this) pixels_.Assign(&png->pixels_);
    return;
  }
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    pixels_.Assign(bitmap);
    pixels_.SetPixelFormat(pf32bit);
    pixels_.SetTransparent(false);
    for (int y = 0; y < pixels_.Height(); ++y) {
      uint32_t* row = pixels_.ScanLine(y);
      for (int x = 0; x < pixels_.Width(); ++x) row[x] |= 0xFF000000u;
    }
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TPngImage::Draw(TCanvas& canvas, const TRect& r) {
  win::BLENDFUNCTION blend;
  blend.AlphaFormat = win::AC_SRC_ALPHA;
  win::AlphaBlend(canvas.Handle(), r.left, r.top, RectWidth(r), RectHeight(r), pixels_.Canvas()->Handle(), 0, 0,
                  Width(), Height(), blend);
}

}  // namespace qelo::vcl
