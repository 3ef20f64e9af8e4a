// Bitmaps of the form framework: a platform bitmap with a canvas of its own,
// drawn opaque or with one colour left out.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "resource/resource.h"
#include "vcl/graphics/graphics.h"

namespace qelo::vcl {

// Every format but pf1bit keeps 32 bits a pixel (bytes B, G, R, A).
enum TPixelFormat { pfDevice, pf1bit, pf24bit, pf32bit };
// tmAuto takes the transparent colour from the bottom-left pixel.
enum TTransparentMode { tmAuto, tmFixed };

// Resource type of bitmaps carried by a library.
inline constexpr std::string_view kBitmapResourceType = "BITMAP";

class TBitmapCanvas;

class TBitmap : public TGraphic {
  QELO_VCL_CLASS()
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;

  bool Empty() const override { return width_ == 0 || height_ == 0; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int width) override { SetSize(width, height_); }
  void SetHeight(int height) override { SetSize(width_, height); }
  // Keeps the pixels that stay inside; new pixels are black. Negative
  // sizes count as 0.
  void SetSize(int width, int height);

  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const { return pixelFormat_ == pf1bit; }
  void SetMonochrome(bool mono) { SetPixelFormat(mono ? pf1bit : pfDevice); }

  // The canvas draws on the bitmap itself.
  TCanvas* Canvas();
  // The platform bitmap, for blits and selecting elsewhere: the canvas lets
  // go of it first (it takes it again when next drawn on). Null while empty.
  win::HBITMAP Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }

  // A row of 32-bit pixels (B, G, R, A), top row 0. EInvalidGraphic for a
  // monochrome bitmap or a row outside the bitmap.
  uint32_t* ScanLine(int row);

  TColor TransparentColor();
  // Setting a colour fixes the mode to tmFixed.
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

  // A BMP or PNG file's image; EInvalidGraphic for anything else.
  void LoadFromMemory(const void* data, size_t size) override;
  // EResNotFound "Resource <name> not found" when the table has no bitmap
  // of that name.
  void LoadFromResourceName(const res::ResourceTable& table, std::string_view name);
  // Writes the colours as a PNG file (alpha left out); EFCreateError.
  void SaveToFile(const std::string& path);

  // From another bitmap: a copy of its pixels, settings and palette; from
  // another graphic: a bitmap of its size with the graphic drawn on black.
  void Assign(const TPersistent* source) override;

  // The colour table of the picture of 256 colours or fewer the bitmap was
  // loaded from (a BMP file's), made into a palette on first use.
  win::HPALETTE Palette() override;

 protected:
  void Draw(TCanvas& canvas, const TRect& r) override;

 private:
  friend class TBitmapCanvas;
  void Adopt(win::HBITMAP handle, TPixelFormat format);
  win::HBITMAP NewHandle(int width, int height, TPixelFormat format) const;
  void Rebuild(int width, int height, TPixelFormat format);
  void FreeContext();
  void SetPaletteColors(std::vector<win::PALETTEENTRY> colors);

  int width_ = 0;
  int height_ = 0;
  TPixelFormat pixelFormat_ = pfDevice;
  TTransparentMode transparentMode_ = tmAuto;
  TColor transparentColor_ = clDefault;
  win::HBITMAP handle_ = nullptr;
  std::unique_ptr<TBitmapCanvas> canvas_;
  std::vector<win::PALETTEENTRY> paletteColors_;
  win::HPALETTE palette_ = nullptr;
};

}  // namespace qelo::vcl
