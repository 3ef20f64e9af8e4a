#include "renderer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "pane_geometry.h"
#include "player_log.h"

namespace qelo::player {
namespace {

using namespace ddraw;

constexpr win::COLORREF kGapColor = 0xE8E8E8;

template <typename T>
void ReleaseInto(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

// An off-screen surface of its own pixels, or, given `pixels` (rows of
// width x 4 bytes), over those.
HRESULT CreateOffscreen(IDirectDraw7* dd, int width, int height, IDirectDrawSurface7** out,
                        uint8_t* pixels = nullptr) {
  DDSURFACEDESC2 desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = static_cast<uint32_t>(width);
  desc.dwHeight = static_cast<uint32_t>(height);
  if (pixels) {
    desc.dwFlags |= DDSD_PITCH | DDSD_LPSURFACE;
    desc.dwCaps |= DDSCAPS_SYSTEMMEMORY;
    desc.lPitch = width * 4;
    desc.lpSurface = pixels;
  }
  return dd->CreateSurface(&desc, out, nullptr);
}

// The pieces of `area` that `covered` leaves, filled with `brush`.
void FillAround(win::HDC dc, const win::RECT& area, const win::RECT& covered, win::HBRUSH brush) {
  win::RECT inside;
  if (!win::IntersectRect(&inside, &area, &covered)) {
    win::FillRect(dc, &area, brush);
    return;
  }
  const win::RECT pieces[] = {{area.left, area.top, area.right, inside.top},
                              {area.left, inside.bottom, area.right, area.bottom},
                              {area.left, inside.top, inside.left, inside.bottom},
                              {inside.right, inside.top, area.right, inside.bottom}};
  for (const win::RECT& piece : pieces)
    if (piece.left < piece.right && piece.top < piece.bottom) win::FillRect(dc, &piece, brush);
}

bool Fails(HRESULT result, const char* message) {
  if (result == DD_OK) return false;
  gLog.Write("%s", message);
  return true;
}

void LogRect(const char* which, const win::RECT& r) {
  gLog.Write("%s video: left(%d), right(%d), top(%d), bottom(%d)", which, r.left, r.right, r.top, r.bottom);
}

}  // namespace

DDrawRenderer::DDrawRenderer(win::HWND window, int windowWidth, int windowHeight, bool twoPane)
    : window_(window), windowWidth_(windowWidth), windowHeight_(windowHeight), twoPane_(twoPane) {
  blackBrush_ = win::CreateSolidBrush(0);
  gapBrush_ = win::CreateSolidBrush(kGapColor);
}

DDrawRenderer::~DDrawRenderer() {
  ReleaseInto(videoSurface1_.surface);
  ReleaseInto(videoSurface2_.surface);
  ReleaseInto(backSurface_);
  ReleaseInto(primarySurface_);
  ReleaseInto(clipper_);
  ReleaseInto(directDraw_);
  win::DeleteObject(blackBrush_);
  win::DeleteObject(gapBrush_);
}

std::unique_ptr<DDrawRenderer> DDrawRenderer::Create(win::HWND window, int windowWidth, int windowHeight,
                                                     bool twoPane) {
  std::unique_ptr<DDrawRenderer> renderer(new DDrawRenderer(window, windowWidth, windowHeight, twoPane));
  if (!renderer->InitDirectDraw()) return nullptr;
  return renderer;
}

bool DDrawRenderer::InitDirectDraw() {
  if (Fails(DirectDrawCreateEx(nullptr, &directDraw_, nullptr, nullptr), "failed to initialize directdraw."))
    return false;
  if (Fails(directDraw_->SetCooperativeLevel(window_, DDSCL_NORMAL), "failed to set cooperativelevel."))
    return false;
  DDSURFACEDESC2 mode;
  if (directDraw_->GetDisplayMode(&mode) != DD_OK || mode.dwRGBBitCount != 32) {
    gLog.Write("adapter can't support 32 bpp.");
    return false;
  }
  DDSURFACEDESC2 primary;
  primary.dwFlags = DDSD_CAPS;
  primary.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (Fails(directDraw_->CreateSurface(&primary, &primarySurface_, nullptr), "failed to create primary surface."))
    return false;
  if (Fails(directDraw_->CreateClipper(0, &clipper_, nullptr), "failed to create clipper.")) return false;
  if (Fails(CreateOffscreen(directDraw_, windowWidth_, windowHeight_, &backSurface_), "failed to create back surface."))
    return false;
  if (Fails(clipper_->SetHWnd(0, window_), "failed to set wnd")) return false;
  if (Fails(primarySurface_->SetClipper(clipper_), "failed to set clipper.")) return false;
  return true;
}

void DDrawRenderer::SetVideoSize(int width, int height) {
  videoWidth_ = width;
  videoHeight_ = height;
  LayoutPanes(twoPane_);
}

void DDrawRenderer::LayoutPanes(bool twoPane) {
  twoPane_ = twoPane;
  gLog.Write("Window size(%dx%d), video size(%dx%d)", windowWidth_, windowHeight_, videoWidth_, videoHeight_);
  const PaneLayout layout{windowWidth_, windowHeight_, twoPane};
  if (!twoPane) {
    FitAspect(&paneRect1_, {0, 0, windowWidth_, windowHeight_}, videoWidth_, videoHeight_);
    return;
  }
  const int paneWidth = layout.paneWidth();
  const int pane2Offset = layout.pane2Offset();
  FitAspect(&paneRect1_, {0, 0, paneWidth, windowHeight_}, videoWidth_, videoHeight_);
  FitAspect(&paneRect2_, {pane2Offset, 0, pane2Offset + paneWidth, windowHeight_}, videoWidth_, videoHeight_);
}

bool DDrawRenderer::CreateVideoSurface(VideoSurface* target, const VideoFrame& frame) {
  target->over = nullptr;
  if (frame.stride == frame.width * 4 &&
      CreateOffscreen(directDraw_, frame.width, frame.height, &target->surface, frame.pixels) == DD_OK) {
    target->over = frame.pixels;
    return true;
  }
  return !Fails(CreateOffscreen(directDraw_, frame.width, frame.height, &target->surface),
                "failed to create video surface.");
}

bool DDrawRenderer::UpdateVideoSurface(VideoSurface* target, const VideoFrame& frame) {
  if (!directDraw_ || !primarySurface_ || !backSurface_ || frame.pixels == nullptr || frame.width <= 0 ||
      frame.height <= 0) {
    gLog.Write("please initialize ddraw.");
    return false;
  }
  IDirectDrawSurface7*& surface = target->surface;
  if (surface) {
    DDSURFACEDESC2 desc;
    surface->GetSurfaceDesc(&desc);
    // A surface over the pixels of frames since reallocated is remade too.
    if (desc.dwWidth != static_cast<uint32_t>(frame.width) || desc.dwHeight != static_cast<uint32_t>(frame.height) ||
        desc.dwRGBBitCount != 32 || (target->over && target->over != frame.pixels))
      ReleaseInto(surface);
  }
  if (surface == nullptr && !CreateVideoSurface(target, frame)) return false;
  if (target->over == frame.pixels) return true;  // the surface is the frame itself
  DDSURFACEDESC2 locked;
  if (Fails(surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), "failed to lock video buffer.")) return false;
  const size_t rowBytes = std::min<size_t>(std::abs(frame.stride), static_cast<size_t>(locked.lPitch));
  const int rows = std::min<int>(static_cast<int>(locked.dwHeight),
                                 frame.stride == 0 ? 0 : frame.bufferSize / std::abs(frame.stride));
  for (int y = 0; y < rows; ++y) {
    std::memcpy(static_cast<uint8_t*>(locked.lpSurface) + static_cast<ptrdiff_t>(y) * locked.lPitch,
                frame.pixels + static_cast<ptrdiff_t>(y) * std::abs(frame.stride), rowBytes);
  }
  surface->Unlock(nullptr);
  return true;
}

bool DDrawRenderer::FillBack(bool withGap, bool aroundPictures) {
  win::HDC dc = nullptr;
  if (backSurface_->GetDC(&dc) != DD_OK) {
    gLog.Write(withGap ? "failed to get back surface dc." : "warning: failed to get surface dc.");
    return false;
  }
  // The pictures blitted next cover their pane rectangles, so only what
  // lies around them is filled.
  const win::RECT none{};
  const win::RECT& picture1 = aroundPictures ? paneRect1_ : none;
  const win::RECT& picture2 = aroundPictures ? paneRect2_ : none;
  if (!withGap) {
    FillAround(dc, {0, 0, windowWidth_, windowHeight_}, picture1, blackBrush_);
  } else {
    const int paneWidth = PaneLayout{windowWidth_, windowHeight_, true}.paneWidth();
    FillAround(dc, {0, 0, paneWidth, windowHeight_}, picture1, blackBrush_);
    const win::RECT gap{paneWidth, 0, paneWidth + kPaneGap, windowHeight_};
    win::FillRect(dc, &gap, gapBrush_);
    FillAround(dc, {paneWidth + kPaneGap, 0, windowWidth_, windowHeight_}, picture2, blackBrush_);
  }
  backSurface_->ReleaseDC(dc);
  return true;
}

bool DDrawRenderer::BlitToScreen() {
  win::GetClientRect(window_, &screenRect_);
  win::MapWindowPoints(window_, nullptr, reinterpret_cast<win::POINT*>(&screenRect_), 2);
  const HRESULT result = primarySurface_->Blt(&screenRect_, backSurface_, nullptr, DDBLT_WAIT, nullptr);
  if (result == DD_OK) return true;
  gLog.Write("failed to blt primary surface video(%d).", result);
  return false;
}

bool DDrawRenderer::PresentOnePane(const VideoFrame& frame) {
  if (!UpdateVideoSurface(&videoSurface1_, frame)) {
    gLog.Write("failed to update video surface.");
    return false;
  }
  FillBack(false, true);
  backSurface_->Blt(&paneRect1_, videoSurface1_.surface, nullptr, DDBLT_WAIT, nullptr);
  return BlitToScreen();
}

bool DDrawRenderer::PresentTwoPanes(const VideoFrame& first, const VideoFrame& second) {
  if (!UpdateVideoSurface(&videoSurface1_, first)) {
    gLog.Write("failed to update video surface.");
    return false;
  }
  if (!UpdateVideoSurface(&videoSurface2_, second)) gLog.Write("warning: failed to update video effect surface.");
  FillBack(true, true);
  HRESULT result = backSurface_->Blt(&paneRect1_, videoSurface1_.surface, nullptr, DDBLT_WAIT, nullptr);
  if (result != DD_OK) {
    LogRect("First", paneRect1_);
    gLog.Write("failed to blt first video(%d).", result);
  }
  IDirectDrawSurface7* secondSurface = videoSurface2_.surface ? videoSurface2_.surface : videoSurface1_.surface;
  result = backSurface_->Blt(&paneRect2_, secondSurface, nullptr, DDBLT_WAIT, nullptr);
  if (result != DD_OK) {
    LogRect("Second", paneRect2_);
    gLog.Write("failed to blt second video(%d).", result);
  }
  return BlitToScreen();
}

bool DDrawRenderer::PresentBlank() {
  FillBack(twoPane_, false);
  return BlitToScreen();
}

}  // namespace qelo::player
