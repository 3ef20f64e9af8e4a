#include "ddraw/ddraw.h"

#include <atomic>

namespace qelo::ddraw {
namespace {

std::atomic<bool> g_createFails{false};

RECT Whole(int width, int height) { return RECT{0, 0, width, height}; }

// A memory context on a bitmap, given back by its destructor.
class BitmapDC {
 public:
  explicit BitmapDC(win::HBITMAP bitmap) : dc_(win::CreateCompatibleDC(nullptr)) {
    old_ = win::SelectObject(dc_, bitmap);
  }
  ~BitmapDC() {
    win::SelectObject(dc_, old_);
    win::DeleteDC(dc_);
  }
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
  win::HGDIOBJ old_;
};

template <typename T>
uint32_t ReleaseRef(T* self, uint32_t& refs) {
  const uint32_t left = --refs;
  if (left == 0) delete self;
  return left;
}

}  // namespace

HRESULT IDirectDrawClipper::SetHWnd(uint32_t, HWND window) {
  if (!win::IsWindow(window)) return DDERR_INVALIDPARAMS;
  window_ = window;
  return DD_OK;
}

uint32_t IDirectDrawClipper::AddRef() { return ++refs_; }
uint32_t IDirectDrawClipper::Release() { return ReleaseRef(this, refs_); }

IDirectDrawSurface7::IDirectDrawSurface7(bool primary, int width, int height)
    : primary_(primary), width_(width), height_(height) {
  if (!primary_) bitmap_ = win::CreateBitmap(width, height, 1, 32, nullptr);
}

IDirectDrawSurface7::IDirectDrawSurface7(int width, int height, void* clientMemory)
    : primary_(false), width_(width), height_(height) {
  bitmap_ = win::CreateBitmapOverBits(width, height, clientMemory);
}

IDirectDrawSurface7::~IDirectDrawSurface7() {
  if (dc_) ReleaseDC(dc_);
  if (clipper_) clipper_->Release();
  if (bitmap_) win::DeleteObject(bitmap_);
}

HRESULT IDirectDrawSurface7::Lock(RECT* area, DDSURFACEDESC2* desc, uint32_t, void*) {
  if (desc == nullptr) return DDERR_INVALIDPARAMS;
  if (primary_ || bitmap_ == nullptr) return DDERR_UNSUPPORTED;
  if (locked_ || dc_) return DDERR_LOCKEDSURFACES;
  win::BITMAP info;
  win::GetObject(bitmap_, sizeof info, &info);
  const RECT r = area ? *area : Whole(width_, height_);
  if (r.left < 0 || r.top < 0 || r.right > width_ || r.bottom > height_ || r.left >= r.right ||
      r.top >= r.bottom)
    return DDERR_INVALIDPARAMS;
  GetSurfaceDesc(desc);
  desc->lpSurface = static_cast<uint8_t*>(info.bmBits) + r.top * info.bmWidthBytes + r.left * 4;
  locked_ = true;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::Unlock(RECT*) {
  if (!locked_) return DDERR_INVALIDPARAMS;
  locked_ = false;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::Blt(RECT* destArea, IDirectDrawSurface7* source, RECT* sourceArea,
                                 uint32_t, void*) {
  if (source == nullptr || source->primary_ || source->locked_ || locked_) return DDERR_INVALIDPARAMS;
  const RECT from = sourceArea ? *sourceArea : Whole(source->width_, source->height_);
  if (primary_) return BltToWindow(destArea, *source, from);
  const RECT to = destArea ? *destArea : Whole(width_, height_);
  BitmapDC src(source->bitmap_), dst(bitmap_);
  win::StretchBlt(dst.get(), to.left, to.top, to.right - to.left, to.bottom - to.top, src.get(),
                  from.left, from.top, from.right - from.left, from.bottom - from.top, win::SRCCOPY);
  return DD_OK;
}

HRESULT IDirectDrawSurface7::BltToWindow(RECT* destArea, IDirectDrawSurface7& source, const RECT& from) {
  if (clipper_ == nullptr || !win::IsWindow(clipper_->window())) return DDERR_NOCLIPPER;
  const HWND window = clipper_->window();
  RECT to;
  if (destArea) {
    to = *destArea;
  } else {
    win::GetClientRect(window, &to);
    win::MapWindowPoints(window, nullptr, reinterpret_cast<win::POINT*>(&to), 2);
  }
  // Screen to client coordinates; the window's context clips to its area
  // and the display clips it by its parents and siblings.
  win::MapWindowPoints(nullptr, window, reinterpret_cast<win::POINT*>(&to), 2);
  HDC dc = win::GetDC(window);
  if (dc == nullptr) return DDERR_GENERIC;
  {
    BitmapDC src(source.bitmap_);
    win::StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, src.get(), from.left,
                    from.top, from.right - from.left, from.bottom - from.top, win::SRCCOPY);
  }
  win::ReleaseDC(window, dc);
  return DD_OK;
}

HRESULT IDirectDrawSurface7::GetDC(HDC* dc) {
  if (dc == nullptr) return DDERR_INVALIDPARAMS;
  if (primary_) return DDERR_UNSUPPORTED;
  if (locked_ || dc_) return DDERR_LOCKEDSURFACES;
  dc_ = win::CreateCompatibleDC(nullptr);
  dcOld_ = win::SelectObject(dc_, bitmap_);
  *dc = dc_;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::ReleaseDC(HDC dc) {
  if (dc == nullptr || dc != dc_) return DDERR_INVALIDPARAMS;
  win::SelectObject(dc_, dcOld_);
  win::DeleteDC(dc_);
  dc_ = nullptr;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::SetClipper(IDirectDrawClipper* clipper) {
  if (clipper) clipper->AddRef();
  if (clipper_) clipper_->Release();
  clipper_ = clipper;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::GetSurfaceDesc(DDSURFACEDESC2* desc) {
  if (desc == nullptr) return DDERR_INVALIDPARAMS;
  *desc = DDSURFACEDESC2{};
  desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc->dwWidth = static_cast<uint32_t>(width_);
  desc->dwHeight = static_cast<uint32_t>(height_);
  desc->lPitch = width_ * 4;
  desc->dwCaps = primary_ ? DDSCAPS_PRIMARYSURFACE : DDSCAPS_OFFSCREENPLAIN;
  desc->dwRGBBitCount = 32;
  return DD_OK;
}

uint32_t IDirectDrawSurface7::AddRef() { return ++refs_; }
uint32_t IDirectDrawSurface7::Release() { return ReleaseRef(this, refs_); }

HRESULT IDirectDraw7::SetCooperativeLevel(HWND window, uint32_t flags) {
  if (flags != DDSCL_NORMAL || (window != nullptr && !win::IsWindow(window))) return DDERR_INVALIDPARAMS;
  return DD_OK;
}

HRESULT IDirectDraw7::GetDisplayMode(DDSURFACEDESC2* desc) {
  if (desc == nullptr) return DDERR_INVALIDPARAMS;
  IDirectDrawSurface7 screen(true, win::GetSystemMetrics(win::SM_CXSCREEN),
                             win::GetSystemMetrics(win::SM_CYSCREEN));
  screen.GetSurfaceDesc(desc);
  desc->dwCaps = 0;
  return DD_OK;
}

HRESULT IDirectDraw7::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, void*) {
  if (desc == nullptr || out == nullptr || !(desc->dwFlags & DDSD_CAPS)) return DDERR_INVALIDPARAMS;
  if (desc->dwCaps & DDSCAPS_PRIMARYSURFACE) {
    *out = new IDirectDrawSurface7(true, win::GetSystemMetrics(win::SM_CXSCREEN),
                                   win::GetSystemMetrics(win::SM_CYSCREEN));
    return DD_OK;
  }
  constexpr uint32_t kSized = DDSD_WIDTH | DDSD_HEIGHT;
  constexpr uint32_t kLargest = 16384;
  if ((desc->dwFlags & kSized) != kSized || desc->dwWidth == 0 || desc->dwHeight == 0 ||
      desc->dwWidth > kLargest || desc->dwHeight > kLargest)
    return DDERR_INVALIDPARAMS;
  const int width = static_cast<int>(desc->dwWidth), height = static_cast<int>(desc->dwHeight);
  if (!(desc->dwFlags & DDSD_LPSURFACE)) {
    *out = new IDirectDrawSurface7(false, width, height);
    return DD_OK;
  }
  if (desc->lpSurface == nullptr || ((desc->dwFlags & DDSD_PITCH) && desc->lPitch != width * 4))
    return DDERR_INVALIDPARAMS;
  *out = new IDirectDrawSurface7(width, height, desc->lpSurface);
  return DD_OK;
}

HRESULT IDirectDraw7::CreateClipper(uint32_t, IDirectDrawClipper** out, void*) {
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  *out = new IDirectDrawClipper;
  return DD_OK;
}

uint32_t IDirectDraw7::AddRef() { return ++refs_; }
uint32_t IDirectDraw7::Release() { return ReleaseRef(this, refs_); }

HRESULT DirectDrawCreateEx(void*, IDirectDraw7** out, const void*, void*) {
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (g_createFails) return DDERR_GENERIC;
  *out = new IDirectDraw7;
  return DD_OK;
}

void SetDirectDrawCreateFails(bool fail) { g_createFails = fail; }

}  // namespace qelo::ddraw
