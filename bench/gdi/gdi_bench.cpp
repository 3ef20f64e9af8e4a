// Speed of the drawing layer on an 800 x 600 window-sized bitmap: fills,
// text lines, blits and a paint of typical controls.
#include <benchmark/benchmark.h>

#include <string>

#include "win/gdi/gdi.h"

namespace {

using namespace qelo::win;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A memory context on a full-colour bitmap of the window's size.
class Surface {
 public:
  Surface() : bitmap_(CreateBitmap(kWidth, kHeight, 1, 32, nullptr)), dc_(CreateCompatibleDC(nullptr)) {
    SelectObject(dc_, bitmap_);
  }
  ~Surface() {
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC dc() const { return dc_; }

 private:
  HBITMAP bitmap_;
  HDC dc_;
};

HFONT GuiFont() {
  LOGFONT log;
  log.lfFaceName = "Tahoma";
  log.lfHeight = PointsToFontHeight(8);
  return CreateFontIndirect(&log);
}

void BM_FillRect(benchmark::State& state) {
  Surface s;
  RECT all{0, 0, kWidth, kHeight};
  for (auto _ : state) FillRect(s.dc(), &all, GetSysColorBrush(COLOR_BTNFACE));
}
BENCHMARK(BM_FillRect)->Unit(benchmark::kMicrosecond);

void BM_PatternFill(benchmark::State& state) {
  Surface s;
  const uint8_t bits[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH brush = CreatePatternBrush(pattern);
  RECT all{0, 0, kWidth, kHeight};
  for (auto _ : state) FillRect(s.dc(), &all, brush);
  DeleteObject(brush);
  DeleteObject(pattern);
}
BENCHMARK(BM_PatternFill)->Unit(benchmark::kMicrosecond);

// One iteration draws 1,000 lines; the per-line time is the counter.
template <bool kFormatted>
void BM_TextLines(benchmark::State& state) {
  Surface s;
  HFONT font = GuiFont();
  SelectObject(s.dc(), font);
  SetBkMode(s.dc(), TRANSPARENT);
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      const std::string line = "Entry " + std::to_string(i) + "  clip_0001.avi  00:01:23  720x576";
      const int y = (i * 13) % (kHeight - 13);
      if (kFormatted) {
        RECT r{4, y, 300, y + 13};
        DrawText(s.dc(), line, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
      } else {
        TextOut(s.dc(), 4, y, line);
      }
    }
  }
  state.counters["per_line"] = benchmark::Counter(
      1000, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  SelectObject(s.dc(), GetStockObject(DEFAULT_GUI_FONT));
  DeleteObject(font);
}
BENCHMARK(BM_TextLines<false>)->Name("BM_TextOut1000Lines")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextLines<true>)->Name("BM_DrawText1000Lines")->Unit(benchmark::kMillisecond);

void BM_BitBlt(benchmark::State& state) {
  Surface from, to;
  const uint32_t rop = static_cast<uint32_t>(state.range(0));
  for (auto _ : state) BitBlt(to.dc(), 0, 0, kWidth, kHeight, from.dc(), 0, 0, rop);
}
BENCHMARK(BM_BitBlt)->Arg(SRCCOPY)->Arg(SRCAND)->Arg(SRCINVERT)->Unit(benchmark::kMicrosecond);

void BM_StretchBlt(benchmark::State& state) {
  Surface from, to;
  for (auto _ : state) StretchBlt(to.dc(), 0, 0, kWidth, kHeight, from.dc(), 0, 0, 400, 300, SRCCOPY);
}
BENCHMARK(BM_StretchBlt)->Unit(benchmark::kMicrosecond);

void BM_AlphaBlend(benchmark::State& state) {
  Surface from, to;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 160, 0};
  for (auto _ : state) AlphaBlend(to.dc(), 0, 0, kWidth, kHeight, from.dc(), 0, 0, kWidth, kHeight, blend);
}
BENCHMARK(BM_AlphaBlend)->Unit(benchmark::kMicrosecond);

// A window of typical classic controls: background, a framed list of 40
// rows with a selected one, buttons with captions, check boxes, a combo
// button, a progress bar and a focus rectangle.
void BM_TypicalWindow(benchmark::State& state) {
  Surface s;
  HDC dc = s.dc();
  HFONT font = GuiFont();
  SelectObject(dc, font);
  for (auto _ : state) {
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    RECT list{8, 8, 792, 500};
    DrawEdge(dc, &list, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(dc, &list, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    for (int row = 0; row < 40; ++row) {
      RECT line{list.left + 2, list.top + row * 12, list.right - 2, list.top + row * 12 + 12};
      if (row == 3) FillRect(dc, &line, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(row == 3 ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      DrawText(dc, "clip_" + std::to_string(row) + ".avi    00:03:12    640x480    MPEG-4", &line,
               DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
      if (row == 3) DrawFocusRect(dc, &line);
    }
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (int b = 0; b < 4; ++b) {
      RECT button{8 + b * 110, 520, 108 + b * 110, 545};
      DrawFrameControl(dc, &button, DFC_BUTTON, DFCS_BUTTONPUSH);
      DrawText(dc, "&Button", &button, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
      RECT check{8 + b * 110, 555, 21 + b * 110, 568};
      DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | (b % 2 ? DFCS_CHECKED : 0));
    }
    RECT combo{760, 520, 777, 541};
    DrawFrameControl(dc, &combo, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    RECT progress{460, 555, 790, 575};
    DrawEdge(dc, &progress, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    progress.right = progress.left + (progress.right - progress.left) * 6 / 10;
    FillRect(dc, &progress, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  DeleteObject(font);
}
BENCHMARK(BM_TypicalWindow)->Unit(benchmark::kMillisecond);

}  // namespace
