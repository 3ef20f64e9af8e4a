// A small program of the window system: a captioned window with three
// child panels that repaint, react to clicks and keys, and a timer that
// counts; beside it a round window, shaped by its region, that the pointer
// drags (with the hand cursor). With --screenshot PATH and --seconds N it
// saves the windows as PNG files (the round one as PATH less ".png" plus
// "-round.png") after N seconds and ends; otherwise it runs until closed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win/window/display.h"
#include "win/window/window.h"

using namespace qelo::win;

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT_PTR kEndTimer = 2;
constexpr COLORREF kColours[] = {RGB(200, 60, 60), RGB(60, 160, 80), RGB(60, 90, 200), RGB(230, 180, 40)};

int g_ticks = 0;
std::string g_lastKey = "none";
std::string g_screenshot;
HWND g_main = nullptr;
HWND g_round = nullptr;
constexpr int kRoundSize = 160;

LRESULT PanelProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_LBUTTONDOWN: {
      const LONG_PTR next = (GetWindowLongPtr(window, GWLP_USERDATA) + 1) % 4;
      SetWindowLongPtr(window, GWLP_USERDATA, next);
      SetFocus(window);
      InvalidateRect(window, nullptr, 1);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      RECT r;
      GetClientRect(window, &r);
      HBRUSH brush = CreateSolidBrush(kColours[GetWindowLongPtr(window, GWLP_USERDATA)]);
      FillRect(dc, &r, brush);
      DeleteObject(brush);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 255, 255));
      const std::string text = GetWindowText(window) + "\nticks " + std::to_string(g_ticks) +
                               "\nkey " + g_lastKey + (GetFocus() == window ? "\n(focus)" : "");
      InflateRect(&r, -6, -6);
      DrawText(dc, text, &r, DT_WORDBREAK | DT_NOPREFIX);
      EndPaint(window, &ps);
      return 0;
    }
    default: return DefWindowProc(window, message, w, l);
  }
}

// Dragged by any point inside its shape.
LRESULT RoundProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_NCHITTEST: return DefWindowProc(window, message, w, l) == HTCLIENT ? HTCAPTION : HTNOWHERE;
    case WM_SETCURSOR: SetCursor(LoadCursor(nullptr, IDC_HAND)); return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      RECT r;
      GetClientRect(window, &r);
      for (int ring = 0; ring < 4; ++ring) {
        HBRUSH brush = CreateSolidBrush(kColours[(ring + g_ticks) % 4]);
        const int inset = ring * 20;
        HRGN disc = CreateEllipticRgn(inset, inset, kRoundSize + 1 - inset, kRoundSize + 1 - inset);
        FillRgn(dc, disc, brush);
        DeleteObject(disc);
        DeleteObject(brush);
      }
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 255, 255));
      DrawText(dc, "round", &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
      EndPaint(window, &ps);
      return 0;
    }
    default: return DefWindowProc(window, message, w, l);
  }
}

std::string RoundScreenshotPath() {
  std::string path = g_screenshot;
  if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".png") == 0) path.resize(path.size() - 4);
  return path + "-round.png";
}

void RepaintPanels() {
  for (HWND c = GetWindow(g_main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    InvalidateRect(c, nullptr, 0);
  InvalidateRect(g_round, nullptr, 0);
}

LRESULT MainProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_TIMER:
      if (w == kEndTimer) {
        if (!g_screenshot.empty()) {
          SaveWindowScreenshot(window, g_screenshot);
          SaveWindowScreenshot(g_round, RoundScreenshotPath());
        }
        DestroyWindow(g_round);
        DestroyWindow(window);
        return 0;
      }
      ++g_ticks;
      RepaintPanels();
      return 0;
    case WM_KEYDOWN:
      g_lastKey = std::to_string(w);
      RepaintPanels();
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProc(window, message, w, l);
  }
}

void Register(const char* name, WNDPROC procedure, int background, const char* cursor) {
  WNDCLASS c;
  c.lpszClassName = name;
  c.lpfnWndProc = procedure;
  c.hbrBackground = SysColorBackground(background);
  c.hCursor = LoadCursor(nullptr, cursor);
  RegisterClass(c);
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--screenshot") == 0) g_screenshot = argv[i + 1];
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atoi(argv[i + 1]);
  }
  std::printf("display: %s\n", DisplayName());
  Register("SampleMain", MainProc, COLOR_BTNFACE, IDC_ARROW);
  Register("SamplePanel", PanelProc, COLOR_WINDOW, IDC_IBEAM);
  Register("SampleRound", RoundProc, COLOR_BTNFACE, IDC_HAND);
  g_main = CreateWindowEx(0, "SampleMain", "Window sample", WS_OVERLAPPEDWINDOW, 80, 80, 420, 220,
                          nullptr, nullptr);
  if (g_main == nullptr) return 1;
  const char* names[] = {"left", "middle", "right"};
  for (int i = 0; i < 3; ++i) {
    HWND panel = CreateWindowEx(0, "SamplePanel", names[i], WS_CHILD | WS_VISIBLE | WS_BORDER,
                                10 + i * 130, 10, 120, 150, g_main, nullptr);
    SetWindowLongPtr(panel, GWLP_USERDATA, i);
  }
  g_round = CreateWindowEx(WS_EX_TOOLWINDOW, "SampleRound", "Round", WS_POPUP, 520, 80, kRoundSize,
                           kRoundSize, nullptr, nullptr);
  SetWindowRgn(g_round, CreateEllipticRgn(0, 0, kRoundSize + 1, kRoundSize + 1), 0);
  ShowWindow(g_round, SW_SHOWNA);
  ShowWindow(g_main, SW_SHOW);
  UpdateWindow(g_main);
  SetTimer(g_main, kTickTimer, 250, nullptr);
  if (seconds > 0) SetTimer(g_main, kEndTimer, static_cast<UINT>(seconds) * 1000, nullptr);
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  return 0;
}
