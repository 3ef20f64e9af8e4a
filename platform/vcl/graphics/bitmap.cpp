// Bitmaps: a platform bitmap held by size and format, a canvas whose memory
// context holds the bitmap only while drawing needs it.
#include "vcl/graphics/bitmap.h"

#include <algorithm>

namespace qelo::vcl {

// The canvas of a bitmap: its context is made on the first drawing call
// with the bitmap selected, and given up when the bitmap changes or its
// handle is handed out.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() {
    if (!HandleAllocated()) return;
    win::HDC dc = ContextHandle();
    SetHandle(nullptr);
    win::SelectObject(dc, previous_);
    win::DeleteDC(dc);
    previous_ = nullptr;
  }

 protected:
  void CreateHandle() override {
    win::HDC dc = win::CreateCompatibleDC(nullptr);
    if (bitmap_.handle_) previous_ = win::SelectObject(dc, bitmap_.handle_);
    SetHandle(dc);
  }
  void Changed() override {
    TCanvas::Changed();
    bitmap_.Changed();
  }

 private:
  TBitmap& bitmap_;
  win::HGDIOBJ previous_;
};

namespace {

// Copies the top-left width x height pixels of one platform bitmap onto
// another; neither may be selected anywhere.
void CopyPixels(win::HBITMAP from, win::HBITMAP to, int width, int height) {
  win::HDC source = win::CreateCompatibleDC(nullptr);
  win::HDC dest = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ oldSource = win::SelectObject(source, from);
  win::HGDIOBJ oldDest = win::SelectObject(dest, to);
  win::BitBlt(dest, 0, 0, width, height, source, 0, 0, win::SRCCOPY);
  win::SelectObject(source, oldSource);
  win::SelectObject(dest, oldDest);
  win::DeleteDC(source);
  win::DeleteDC(dest);
}

}  // namespace

const ClassInfo& TBitmap::StaticClass() {
  static const ClassInfo info = ClassBuilder<TBitmap>("TBitmap", TGraphic::StaticClass()).Done();
  return info;
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() {
  canvas_.reset();
  if (handle_) win::DeleteObject(handle_);
  if (palette_) win::DeleteObject(palette_);
}

void TBitmap::SetPaletteColors(std::vector<win::PALETTEENTRY> colors) {
  if (palette_) win::DeleteObject(palette_);
  palette_ = nullptr;
  paletteColors_ = std::move(colors);
}

win::HPALETTE TBitmap::Palette() {
  if (Empty()) return nullptr;
  if (!palette_ && !paletteColors_.empty()) {
    win::LOGPALETTE log;
    log.palPalEntry = paletteColors_;
    palette_ = win::CreatePalette(&log);
  }
  return palette_;
}

void TBitmap::FreeContext() {
  if (canvas_) canvas_->FreeContext();
}

win::HBITMAP TBitmap::NewHandle(int width, int height, TPixelFormat format) const {
  if (width == 0 || height == 0) return nullptr;
  return win::CreateBitmap(width, height, 1, format == pf1bit ? 1 : 32, nullptr);
}

// Replaces the platform bitmap by one of the new size and format that keeps
// the old pixels where both overlap.
void TBitmap::Rebuild(int width, int height, TPixelFormat format) {
  win::HBITMAP fresh = NewHandle(width, height, format);
  if (width > 0 && height > 0 && !fresh) throw EInvalidGraphic("Out of system resources");
  FreeContext();
  if (fresh && handle_) CopyPixels(handle_, fresh, std::min(width, width_), std::min(height, height_));
  if (handle_) win::DeleteObject(handle_);
  handle_ = fresh;
  width_ = width;
  height_ = height;
  pixelFormat_ = format;
}

void TBitmap::Adopt(win::HBITMAP handle, TPixelFormat format) {
  win::BITMAP info;
  win::GetObject(handle, sizeof info, &info);
  FreeContext();
  if (handle_) win::DeleteObject(handle_);
  handle_ = handle;
  width_ = info.bmWidth;
  height_ = info.bmHeight;
  pixelFormat_ = format;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  Rebuild(width, height, pixelFormat_);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pixelFormat_) return;
  const bool mono = (format == pf1bit) != (pixelFormat_ == pf1bit);
  if (mono)
    Rebuild(width_, height_, format);
  else
    pixelFormat_ = format;
  Changed();
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(*this);
  return canvas_.get();
}

win::HBITMAP TBitmap::Handle() {
  FreeContext();
  return handle_;
}

uint32_t* TBitmap::ScanLine(int row) {
  if (Monochrome() || row < 0 || row >= height_) throw EInvalidGraphic("Scan line index out of range");
  win::BITMAP info;
  win::GetObject(handle_, sizeof info, &info);
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(info.bmBits) +
                                     static_cast<ptrdiff_t>(row) * info.bmWidthBytes);
}

TColor TBitmap::TransparentColor() {
  if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
  if (Empty()) return clDefault;
  return Canvas()->Pixels(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == transparentColor_ && transparentMode_ == tmFixed) return;
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  transparentMode_ = mode;
  if (mode == tmAuto) transparentColor_ = clDefault;
  Changed();
}

void TBitmap::LoadFromMemory(const void* data, size_t size) {
  win::HBITMAP loaded = win::LoadBitmapFromMemory(data, size);
  if (!loaded) throw EInvalidGraphic("Bitmap image is not valid");
  std::vector<win::RGBQUAD> table(256);
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  const win::HGDIOBJ old = win::SelectObject(dc, loaded);
  table.resize(win::GetDIBColorTable(dc, 0, 256, table.data()));
  win::SelectObject(dc, old);
  win::DeleteDC(dc);
  std::vector<win::PALETTEENTRY> colors;
  for (const win::RGBQUAD& q : table) colors.push_back(win::PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
  SetPaletteColors(std::move(colors));
  Adopt(loaded, pfDevice);
  Changed();
}

void TBitmap::LoadFromResourceName(const res::ResourceTable& table, std::string_view name) {
  const res::Resource* found = res::FindResource(table, kBitmapResourceType, name);
  if (!found) throw EResNotFound("Resource " + std::string(name) + " not found");
  LoadFromMemory(found->data, found->size);
}

void TBitmap::SaveToFile(const std::string& path) {
  if (Empty() || !win::SaveBitmapToPng(Handle(), path)) throw EFCreateError("Cannot create file \"" + path + "\".");
}

void TBitmap::Assign(const TPersistent* source) {
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    if (bitmap == this) return;
    auto* other = const_cast<TBitmap*>(bitmap);  // its canvas lets go of its pixels
    Rebuild(0, 0, other->pixelFormat_);
    Rebuild(other->width_, other->height_, other->pixelFormat_);
    if (handle_) CopyPixels(other->Handle(), handle_, width_, height_);
    transparentMode_ = other->transparentMode_;
    transparentColor_ = other->transparentColor_;
    SetPaletteColors(other->paletteColors_);
    TGraphic::SetTransparent(other->Transparent());
    Changed();
    return;
  }
  if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    auto* other = const_cast<TGraphic*>(graphic);
    SetPaletteColors({});
    Rebuild(0, 0, pfDevice);
    Rebuild(other->Width(), other->Height(), pfDevice);
    if (handle_) Canvas()->Draw(0, 0, other);
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& r) {
  if (!handle_) return;
  TCanvas* own = Canvas();
  win::HDC dest = canvas.Handle();
  win::HDC src = own->Handle();
  if (Transparent()) {
    win::TransparentBlt(dest, r.left, r.top, RectWidth(r), RectHeight(r), src, 0, 0, width_, height_,
                        ColorToRGB(TransparentColor()) & 0xFFFFFF);
  } else {
    win::StretchBlt(dest, r.left, r.top, RectWidth(r), RectHeight(r), src, 0, 0, width_, height_,
                    canvas.CopyMode());
  }
}

// A canvas call that needs the bitmap class.
void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& sourceRect, TColor color) {
  if (!bitmap || bitmap->Empty()) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  win::FillRect(dc_, &dest, brush_->Handle());
  win::TransparentBlt(dc_, dest.left, dest.top, RectWidth(dest), RectHeight(dest), bitmap->Canvas()->Handle(),
                      sourceRect.left, sourceRect.top, RectWidth(sourceRect), RectHeight(sourceRect),
                      ColorToRGB(color) & 0xFFFFFF);
  Changed();
}

}  // namespace qelo::vcl
