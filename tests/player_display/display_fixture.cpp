#include "display_fixture.h"

#include <cstdlib>

#include "gdiplus/startup.h"
#include "win/window/display.h"

namespace qelo::player::test {
namespace {

// Tests run without a display whatever the environment says.
const bool g_headless = [] { return setenv("QELO_HEADLESS", "1", 1) == 0; }();

// The drawing layer stays started from the first window on.
bool StartDrawingLayer() {
  static const bool started = [] {
    uintptr_t token = 0;
    return gdiplus::Startup(&token) == gdiplus::Status::Ok;
  }();
  return started;
}

void RegisterOnce(const char* name, win::WNDPROC procedure) {
  win::WNDCLASS c;
  if (win::GetClassInfo(name, &c)) return;
  c.lpszClassName = name;
  c.lpfnWndProc = procedure;
  c.style = win::CS_HREDRAW | win::CS_VREDRAW;
  win::RegisterClass(c);
}

// 0x00RRGGBB of a screen pixel given as 0x00BBGGRR.
uint32_t Rgb(win::COLORREF c) { return win::GetRValue(c) << 16 | win::GetGValue(c) << 8 | win::GetBValue(c); }

}  // namespace

void PaintQuadrants(VideoFrame& frame) {
  for (int y = 0; y < frame.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(frame.pixels + static_cast<ptrdiff_t>(y) * frame.stride);
    for (int x = 0; x < frame.width; ++x) {
      const bool right = x >= frame.width / 2, bottom = y >= frame.height / 2;
      const uint32_t rgb = bottom ? (right ? kBottomRight : kBottomLeft) : (right ? kTopRight : kTopLeft);
      row[x] = 0xFF000000u | rgb;
    }
  }
}

PlayerWindow::PlayerWindow(bool twoPane, int width, int height) : display(twoPane, width, height) {
  EXPECT_TRUE(g_headless && StartDrawingLayer());
  RegisterOnce("Play Class", &PlayerWindow::Procedure);
  hwnd = win::CreateWindowEx(0, "Play Class", "Play Window", win::WS_POPUP | win::WS_VISIBLE, 0, 0, width, height,
                             nullptr, nullptr);
  win::SetWindowLongPtr(hwnd, win::GWLP_USERDATA, reinterpret_cast<win::LONG_PTR>(this));
  display.CreateRenderer(hwnd);
  Pump();
}

PlayerWindow::~PlayerWindow() {
  display.FreeRenderer();
  win::SetWindowLongPtr(hwnd, win::GWLP_USERDATA, 0);
  win::DestroyWindow(hwnd);
  Pump();
}

void PlayerWindow::OpenFrames(int frameWidth, int frameHeight, int sourceWidth, int sourceHeight) {
  ASSERT_TRUE(display.OpenVideo(frameWidth, frameHeight, 0, sourceWidth, sourceHeight));
  fileOpen = true;
  PaintQuadrants(display.frames().decodedFrame());
  display.CopyFramePanes(true);
  display.RepaintVideo();
  Pump();
}

void PlayerWindow::Close() {
  display.CloseVideo();
  fileOpen = false;
  win::InvalidateRect(hwnd, nullptr, 0);
  Pump();
}

void PlayerWindow::Mouse(win::UINT message, int x, int y) {
  win::SendMessage(hwnd, message, 0, win::MAKELPARAM(x, y));
}

uint32_t Screenshot::At(int x, int y) const { return Rgb(composed_.Pixel(x, y)); }

uint32_t PlayerWindow::Pixel(int x, int y) const { return Screenshot(hwnd).At(x, y); }

void PlayerWindow::Pump() {
  win::MSG m;
  while (win::PeekMessage(&m, nullptr, 0, 0, win::PM_REMOVE)) win::DispatchMessage(&m);
}

win::LRESULT PlayerWindow::Procedure(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
  auto* self = reinterpret_cast<PlayerWindow*>(win::GetWindowLongPtr(window, win::GWLP_USERDATA));
  if (self == nullptr) return win::DefWindowProc(window, message, w, l);
  switch (message) {
    case win::WM_ERASEBKGND: return 1;
    case win::WM_PAINT: self->display.OnPaint(self->fileOpen); return 0;
    default:
      if (self->display.OnMouseMessage(message, l, self->context)) return 0;
      return win::DefWindowProc(window, message, w, l);
  }
}

HostWindow::HostWindow() {
  RegisterOnce("TestHost", &win::DefWindowProc);
  hwnd = win::CreateWindowEx(0, "TestHost", "host", win::WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
}

HostWindow::~HostWindow() { win::DestroyWindow(hwnd); }

std::vector<HostWindow::Posted> HostWindow::Take(win::UINT message) {
  std::vector<Posted> posted;
  win::MSG m;
  while (win::PeekMessage(&m, hwnd, message, message, win::PM_REMOVE)) posted.push_back({m.message, m.wParam, m.lParam});
  return posted;
}

}  // namespace qelo::player::test
