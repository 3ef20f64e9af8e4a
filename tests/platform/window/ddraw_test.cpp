// The drawing surfaces: off-screen lock and blits, and the primary surface
// landing in the visible part of its clipper's window.
#include <vector>

#include "ddraw/ddraw.h"
#include "window_fixture.h"

namespace qelo::win::test {
namespace {

using namespace qelo::ddraw;

IDirectDrawSurface7* Offscreen(IDirectDraw7* dd, uint32_t w, uint32_t h) {
  DDSURFACEDESC2 desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = w;
  desc.dwHeight = h;
  IDirectDrawSurface7* s = nullptr;
  EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), DD_OK);
  return s;
}

void FillByLock(IDirectDrawSurface7* s, uint32_t pixel) {
  DDSURFACEDESC2 desc;
  ASSERT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  for (uint32_t y = 0; y < desc.dwHeight; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch);
    for (uint32_t x = 0; x < desc.dwWidth; ++x) row[x] = pixel;
  }
  s->Unlock(nullptr);
}

TEST(DirectDraw, CreationCanBeMadeToFail) {
  IDirectDraw7* dd = nullptr;
  SetDirectDrawCreateFails(true);
  EXPECT_NE(DirectDrawCreateEx(nullptr, &dd, nullptr, nullptr), DD_OK);
  EXPECT_EQ(dd, nullptr);
  SetDirectDrawCreateFails(false);
  ASSERT_EQ(DirectDrawCreateEx(nullptr, &dd, nullptr, nullptr), DD_OK);
  DDSURFACEDESC2 mode;
  ASSERT_EQ(dd->GetDisplayMode(&mode), DD_OK);
  EXPECT_EQ(mode.dwRGBBitCount, 32u);
  DDSURFACEDESC2 bad;
  bad.dwFlags = DDSD_CAPS;
  bad.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  IDirectDrawSurface7* s = nullptr;
  EXPECT_EQ(dd->CreateSurface(&bad, &s, nullptr), DDERR_INVALIDPARAMS) << "no size";
  dd->Release();
}

TEST(DirectDraw, LockBlitAndSurfaceContexts) {
  IDirectDraw7* dd = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(nullptr, &dd, nullptr, nullptr), DD_OK);
  IDirectDrawSurface7* a = Offscreen(dd, 8, 4);
  IDirectDrawSurface7* b = Offscreen(dd, 16, 8);
  FillByLock(a, 0xFF00FF00);
  DDSURFACEDESC2 desc;
  ASSERT_EQ(a->Lock(nullptr, &desc, 0, nullptr), DD_OK);
  EXPECT_EQ(desc.lPitch, 32);
  EXPECT_EQ(a->Lock(nullptr, &desc, 0, nullptr), DDERR_LOCKEDSURFACES);
  HDC dc = nullptr;
  EXPECT_EQ(a->GetDC(&dc), DDERR_LOCKEDSURFACES);
  a->Unlock(nullptr);
  ASSERT_EQ(b->Blt(nullptr, a, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  ASSERT_EQ(b->GetDC(&dc), DD_OK);
  EXPECT_EQ(GetPixel(dc, 15, 7), RGB(0, 255, 0)) << "stretched over the whole surface";
  SetPixel(dc, 0, 0, RGB(0, 0, 255));
  b->ReleaseDC(dc);
  ASSERT_EQ(b->Lock(nullptr, &desc, 0, nullptr), DD_OK);
  EXPECT_EQ(*static_cast<uint32_t*>(desc.lpSurface) & 0xFFFFFF, 0x0000FFu);
  b->Unlock(nullptr);
  a->Release();
  b->Release();
  dd->Release();
}

TEST(DirectDraw, AClientMemorySurfaceIsTheCallersPixels) {
  IDirectDraw7* dd = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(nullptr, &dd, nullptr, nullptr), DD_OK);
  std::vector<uint32_t> pixels(8 * 4, 0xFF00FF00);  // green
  DDSURFACEDESC2 desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_LPSURFACE;
  desc.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  desc.dwWidth = 8;
  desc.dwHeight = 4;
  desc.lPitch = 8 * 4;
  desc.lpSurface = pixels.data();
  IDirectDrawSurface7* client = nullptr;
  ASSERT_EQ(dd->CreateSurface(&desc, &client, nullptr), DD_OK);
  DDSURFACEDESC2 locked;
  ASSERT_EQ(client->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(locked.lpSurface, pixels.data()) << "locked in place";
  client->Unlock(nullptr);
  pixels[3] = 0xFF0000FF;  // blue, written by the caller after creation
  IDirectDrawSurface7* copy = Offscreen(dd, 8, 4);
  ASSERT_EQ(copy->Blt(nullptr, client, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  HDC dc = nullptr;
  ASSERT_EQ(copy->GetDC(&dc), DD_OK);
  EXPECT_EQ(GetPixel(dc, 3, 0), RGB(0, 0, 255)) << "blits read the caller's pixels";
  EXPECT_EQ(GetPixel(dc, 4, 0), RGB(0, 255, 0));
  copy->ReleaseDC(dc);
  ASSERT_EQ(client->GetDC(&dc), DD_OK);
  SetPixel(dc, 0, 1, RGB(255, 0, 0));
  client->ReleaseDC(dc);
  EXPECT_EQ(pixels[8] & 0xFFFFFF, 0xFF0000u) << "drawing writes them";
  client->Release();
  copy->Release();

  desc.lPitch = 8 * 4 + 16;
  EXPECT_EQ(dd->CreateSurface(&desc, &client, nullptr), DDERR_INVALIDPARAMS) << "rows must follow each other";
  desc.lPitch = 8 * 4;
  desc.lpSurface = nullptr;
  EXPECT_EQ(dd->CreateSurface(&desc, &client, nullptr), DDERR_INVALIDPARAMS) << "no memory";
  dd->Release();
}

TEST(DirectDraw, PrimaryBlitsLandInTheChildsVisiblePart) {
  auto& ws = Windows::Get();
  HWND top = ws.Create(WS_POPUP | WS_VISIBLE, RECT{50, 50, 150, 130}, nullptr, Paints(RGB(255, 0, 0)));
  HWND child = ws.Create(WS_CHILD | WS_VISIBLE, RECT{60, 40, 160, 100}, top);  // runs off the parent
  ws.SetHandler(child, [](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
    *handled = m == WM_PAINT || m == WM_ERASEBKGND;
    if (m == WM_PAINT) ValidateRect(h, nullptr);
    return 1;
  });
  Pump();
  IDirectDraw7* dd = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(nullptr, &dd, nullptr, nullptr), DD_OK);
  ASSERT_EQ(dd->SetCooperativeLevel(child, DDSCL_NORMAL), DD_OK);
  DDSURFACEDESC2 desc;
  desc.dwFlags = DDSD_CAPS;
  desc.dwCaps = DDSCAPS_PRIMARYSURFACE;
  IDirectDrawSurface7* primary = nullptr;
  ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
  IDirectDrawSurface7* frame = Offscreen(dd, 100, 60);
  FillByLock(frame, 0xFF0000FF);
  EXPECT_EQ(primary->Blt(nullptr, frame, nullptr, DDBLT_WAIT, nullptr), DDERR_NOCLIPPER);
  IDirectDrawClipper* clipper = nullptr;
  dd->CreateClipper(0, &clipper, nullptr);
  clipper->SetHWnd(0, child);
  primary->SetClipper(clipper);
  clipper->Release();
  RECT screen;
  GetWindowRect(child, &screen);
  ASSERT_EQ(primary->Blt(&screen, frame, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(PixelAt(top, 70, 50), RGB(0, 0, 255)) << "inside the child";
  EXPECT_EQ(PixelAt(top, 99, 79), RGB(0, 0, 255)) << "the child's visible corner";
  EXPECT_EQ(PixelAt(top, 30, 30), RGB(255, 0, 0)) << "outside the child";
  EXPECT_EQ(primary->Lock(nullptr, &desc, 0, nullptr), DDERR_UNSUPPORTED);
  frame->Release();
  primary->Release();
  dd->Release();
  DestroyWindow(top);
}

}  // namespace
}  // namespace qelo::win::test
