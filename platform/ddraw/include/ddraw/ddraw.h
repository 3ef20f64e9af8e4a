// Drawing surfaces over the window system: a primary surface whose blits
// land in the visible part of a window named by a clipper, off-screen
// 32-bit surfaces with lock and unlock, blits, and surface contexts.
// Objects are reference counted; Release frees at zero.
#pragma once

#include <cstdint>

#include "win/window/window.h"

namespace qelo::ddraw {

using win::HDC;
using win::HWND;
using win::RECT;
using HRESULT = int32_t;

constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057);
constexpr HRESULT DDERR_NOCLIPPER = static_cast<HRESULT>(0x887600BC);
constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001);
constexpr HRESULT DDERR_LOCKEDSURFACES = static_cast<HRESULT>(0x887600A0);

constexpr uint32_t DDSCL_NORMAL = 0x00000008;
constexpr uint32_t DDSD_CAPS = 0x00000001;
constexpr uint32_t DDSD_HEIGHT = 0x00000002;
constexpr uint32_t DDSD_WIDTH = 0x00000004;
constexpr uint32_t DDSD_PITCH = 0x00000008;
constexpr uint32_t DDSD_LPSURFACE = 0x00000800;
constexpr uint32_t DDSD_PIXELFORMAT = 0x00001000;
constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x00000040;
constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x00000200;
constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x00000800;
constexpr uint32_t DDLOCK_WAIT = 0x00000001;
constexpr uint32_t DDBLT_WAIT = 0x01000000;

struct DDSURFACEDESC2 {
  uint32_t dwSize = sizeof(DDSURFACEDESC2);
  uint32_t dwFlags = 0;
  uint32_t dwHeight = 0;
  uint32_t dwWidth = 0;
  int32_t lPitch = 0;
  void* lpSurface = nullptr;
  uint32_t dwCaps = 0;
  uint32_t dwRGBBitCount = 0;  // always 32: bytes B, G, R, X
};

class IDirectDrawClipper {
 public:
  HRESULT SetHWnd(uint32_t flags, HWND window);
  uint32_t AddRef();
  uint32_t Release();
  HWND window() const { return window_; }

 private:
  HWND window_ = nullptr;
  uint32_t refs_ = 1;
};

class IDirectDrawSurface7 {
 public:
  explicit IDirectDrawSurface7(bool primary, int width, int height);
  // Off-screen over the caller's memory (rows of width x 4 bytes), which
  // locks and blits use in place; it must outlive the surface.
  IDirectDrawSurface7(int width, int height, void* clientMemory);
  ~IDirectDrawSurface7();
  IDirectDrawSurface7(const IDirectDrawSurface7&) = delete;
  IDirectDrawSurface7& operator=(const IDirectDrawSurface7&) = delete;

  // Off-screen surfaces only; the primary surface is not lockable.
  HRESULT Lock(RECT* area, DDSURFACEDESC2* desc, uint32_t flags, void* event);
  HRESULT Unlock(RECT* area);
  // Stretching copy. The destination rectangle of the primary surface is in
  // screen coordinates and is cut to its clipper window's visible part.
  HRESULT Blt(RECT* destArea, IDirectDrawSurface7* source, RECT* sourceArea, uint32_t flags,
              void* effects);
  HRESULT GetDC(HDC* dc);
  HRESULT ReleaseDC(HDC dc);
  HRESULT SetClipper(IDirectDrawClipper* clipper);
  HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc);
  uint32_t AddRef();
  uint32_t Release();

 private:
  HRESULT BltToWindow(RECT* destArea, IDirectDrawSurface7& source, const RECT& from);
  bool primary_;
  int width_, height_;
  win::HBITMAP bitmap_ = nullptr;  // off-screen pixels
  HDC dc_ = nullptr;               // handed out by GetDC
  win::HGDIOBJ dcOld_;
  bool locked_ = false;
  IDirectDrawClipper* clipper_ = nullptr;
  uint32_t refs_ = 1;
};

class IDirectDraw7 {
 public:
  HRESULT SetCooperativeLevel(HWND window, uint32_t flags);
  // A 32-bit display of the screen's size.
  HRESULT GetDisplayMode(DDSURFACEDESC2* desc);
  // DDSCAPS_PRIMARYSURFACE, or DDSCAPS_OFFSCREENPLAIN with a width and
  // height; with DDSD_LPSURFACE the off-screen surface is the caller's
  // memory at lpSurface (a pitch, when given, of width x 4 bytes).
  HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, void* outer);
  HRESULT CreateClipper(uint32_t flags, IDirectDrawClipper** out, void* outer);
  uint32_t AddRef();
  uint32_t Release();

 private:
  uint32_t refs_ = 1;
};

HRESULT DirectDrawCreateEx(void* guid, IDirectDraw7** out, const void* interfaceId, void* outer);
// For tests: creation fails (DDERR_GENERIC) while set.
void SetDirectDrawCreateFails(bool fail);

}  // namespace qelo::ddraw
