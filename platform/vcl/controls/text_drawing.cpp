#include "vcl/controls/text_drawing.h"

#include <cctype>

namespace qelo::vcl {

int DrawCanvasText(TCanvas& canvas, std::string_view text, TRect& r, win::UINT flags) {
  win::HDC dc = canvas.Handle();
  const int saved = win::SaveDC(dc);
  win::SelectObject(dc, canvas.Font()->Handle());
  win::SetTextColor(dc, ColorToRGB(canvas.Font()->Color()));
  if (canvas.Brush()->Style() == bsClear) {
    win::SetBkMode(dc, win::TRANSPARENT);
  } else {
    win::SetBkMode(dc, win::OPAQUE);
    win::SetBkColor(dc, ColorToRGB(canvas.Brush()->Color()));
  }
  const int height = win::DrawText(dc, text, &r, flags);
  win::RestoreDC(dc, saved);
  return height;
}

bool IsAccel(char16_t ch, std::string_view caption) {
  if (ch == 0 || ch >= 128) return false;
  const int typed = std::tolower(static_cast<int>(ch));
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::tolower(static_cast<unsigned char>(caption[i + 1])) == typed;
  }
  return false;
}

void Frame3D(TCanvas& canvas, TRect& r, TColor topLeft, TColor bottomRight, int width) {
  TPen* pen = canvas.Pen();
  pen->SetWidth(1);
  for (int i = 0; i < width; ++i) {
    --r.bottom;
    --r.right;
    pen->SetColor(topLeft);
    const TPoint upper[] = {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}};
    canvas.Polyline(upper);
    pen->SetColor(bottomRight);
    const TPoint lower[] = {{r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}};
    canvas.Polyline(lower);
    ++r.top;
    ++r.left;
  }
}

}  // namespace qelo::vcl
