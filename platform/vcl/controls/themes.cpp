#include "vcl/controls/themes.h"

namespace qelo::vcl {

TThemeServices* ThemeServices() {
  static TThemeServices services;
  return &services;
}

void TThemeServices::DrawElement(win::HDC, const TThemedElementDetails&, const TRect&, const TRect*) const {}

void TThemeServices::DrawText(win::HDC, const TThemedElementDetails&, std::string_view, const TRect&,
                              win::UINT) const {}

void TThemeServices::DrawParentBackground(win::HWND, win::HDC, const TThemedElementDetails*, bool,
                                          const TRect*) const {}

bool TThemeServices::GetElementColor(const TThemedElementDetails&, int, TColor&) const { return false; }

}  // namespace qelo::vcl
