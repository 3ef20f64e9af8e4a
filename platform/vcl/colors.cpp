#include "vcl/colors.h"

#include <charconv>
#include <cstdio>
#include <utility>

#include "vcl/typeinfo.h"

namespace qelo::vcl {
namespace {

constexpr std::pair<TColor, const char*> kColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
    {clMedGray, "clMedGray"}, {clNone, "clNone"}, {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"}, {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
};

}  // namespace

std::optional<TColor> IdentToColor(std::string_view name) {
  for (const auto& [color, colorName] : kColorNames)
    if (SameText(colorName, name)) return color;
  return std::nullopt;
}

std::string ColorToString(TColor color) {
  for (const auto& [c, colorName] : kColorNames)
    if (c == color) return colorName;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%08X", color);
  return buffer;
}

TColor StringToColor(std::string_view text) {
  if (auto named = IdentToColor(text)) return *named;
  bool hex = !text.empty() && text.front() == '$';
  std::string_view digits = hex ? text.substr(1) : text;
  uint32_t value = 0;
  auto [end, err] = std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
  if (digits.empty() || err != std::errc() || end != digits.data() + digits.size())
    throw EConvertError("'" + std::string(text) + "' is not a valid colour");
  return value;
}

}  // namespace qelo::vcl
