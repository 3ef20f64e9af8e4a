// PNG images: 32-bit pixels with alpha, drawn blended over what is below.
#pragma once

#include <string_view>

#include "resource/resource.h"
#include "vcl/graphics/bitmap.h"

namespace qelo::vcl {

// Resource type of PNG images carried by a library.
inline constexpr std::string_view kPngResourceType = "PNG";

class TPngImage : public TGraphic {
  QELO_VCL_CLASS()
 public:
  TPngImage();
  ~TPngImage() override;

  bool Empty() const override { return pixels_.Empty(); }
  int Width() const override { return pixels_.Width(); }
  int Height() const override { return pixels_.Height(); }
  // New pixels are fully transparent.
  void SetWidth(int width) override { Resize(width, Height()); }
  void SetHeight(int height) override { Resize(Width(), height); }

  // The image's pixels, colours premultiplied by their alpha (B, G, R, A).
  uint32_t* ScanLine(int row) { return pixels_.ScanLine(row); }
  // Draws on the pixels; what is drawn there keeps the alpha it finds.
  TCanvas* Canvas() { return pixels_.Canvas(); }

  // EInvalidGraphic "The image is not a valid PNG image" for other data.
  void LoadFromMemory(const void* data, size_t size) override;
  // The resource of the name and type in the table; EResNotFound when there is none.
  void LoadFromResourceName(const res::ResourceTable& table, std::string_view name,
                            std::string_view type = kPngResourceType);

  // From a PNG image: a copy; from a bitmap: its pixels, fully opaque.
  void Assign(const TPersistent* source) override;

 protected:
  void Draw(TCanvas& canvas, const TRect& r) override;

 private:
  void Resize(int width, int height);

  TBitmap pixels_;
};

}  // namespace qelo::vcl
