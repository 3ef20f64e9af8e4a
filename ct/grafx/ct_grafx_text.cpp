#include "ct_grafx_text.h"

#include "win/window/window.h"

namespace qelo::ct {

using namespace vcl;

win::HFONT CreateAngledFont(const TFont& font, int angle) {
  win::LOGFONT lf;
  lf.lfHeight = font.Height();
  lf.lfWidth = 0;
  lf.lfEscapement = angle * 10;
  lf.lfOrientation = 0;
  lf.lfWeight = font.Style().Contains(fsBold) ? win::FW_BOLD : win::FW_NORMAL;
  lf.lfItalic = font.Style().Contains(fsItalic);
  lf.lfUnderline = font.Style().Contains(fsUnderline);
  lf.lfStrikeOut = font.Style().Contains(fsStrikeOut);
  lf.lfCharSet = font.Charset();
  lf.lfPitchAndFamily = font.Pitch() == fpFixed      ? win::FIXED_PITCH
                        : font.Pitch() == fpVariable ? win::VARIABLE_PITCH
                                                     : win::DEFAULT_PITCH;
  lf.lfFaceName = font.Name();
  return win::CreateFontIndirect(&lf);
}

bool IsTrueTypeFont(const TFont& font) {
  win::HDC screen = win::GetDC(nullptr);
  if (screen == nullptr) return false;
  const win::HGDIOBJ previous = win::SelectObject(screen, font.Handle());
  win::TEXTMETRIC metrics;
  const bool measured = win::GetTextMetrics(screen, &metrics) != 0;
  win::SelectObject(screen, previous);
  win::ReleaseDC(nullptr, screen);
  return measured && (metrics.tmPitchAndFamily & win::TMPF_TRUETYPE) != 0;
}

int CanvasDrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned format) {
  return win::DrawText(canvas.Handle(), text, &rect, format);
}

void DrawCenteredText(TCanvas& canvas, std::string_view text, const TRect& rect) {
  TRect r = rect;
  win::DrawText(canvas.Handle(), text, &r, win::DT_SINGLELINE | win::DT_VCENTER | win::DT_CENTER);
}

TRect CenteredRect(const TRect& rect, int width, int height) {
  const int left = (rect.left + rect.right - width) / 2;
  const int top = (rect.top + rect.bottom - height) / 2;
  return TRect{left, top, left + width, top + height};
}

std::string StripAcceleratorMarks(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&' || i + 1 == text.size()) {
      shown += text[i];
    } else if (text[i + 1] == '&') {
      shown += '&';
      ++i;
    }
  }
  return shown;
}

}  // namespace qelo::ct
