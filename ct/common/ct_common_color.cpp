#include "ct_common_color.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "registry/registry.h"
#include "vcl/controls/themes.h"
#include "vcl/graphics/graphics.h"
#include "win/window/window.h"

namespace qelo::ct {
namespace {

constexpr double kScale = 240.0;

// Nearest integer, ties to even (the rounding of the whole library).
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

uint8_t ToByte(double value) { return static_cast<uint8_t>(std::clamp(RoundEven(value), 0, 255)); }

double Red(TColor rgb) { return (rgb & 0xFF) / 255.0; }
double Green(TColor rgb) { return ((rgb >> 8) & 0xFF) / 255.0; }
double Blue(TColor rgb) { return ((rgb >> 16) & 0xFF) / 255.0; }

// A channel of 0..1 (clipped) as a byte.
uint32_t Channel(double value) { return ToByte(std::clamp(value, 0.0, 1.0) * 255.0); }

TColor FromChannels(double r, double g, double b) {
  return Channel(r) | (Channel(g) << 8) | (Channel(b) << 16);
}

}  // namespace

void ColorToHsl(TColor color, uint8_t& hue, uint8_t& saturation, uint8_t& luminance) {
  const TColor rgb = vcl::ColorToRGB(color);
  const double r = Red(rgb), g = Green(rgb), b = Blue(rgb);
  const double max = std::max({r, g, b}), min = std::min({r, g, b});
  const double l = (max + min) / 2;
  double h = 0, s = 0;
  if (max != min) {
    const double d = max - min;
    s = l < 0.5 ? d / (max + min) : d / (2 - max - min);
    if (r == max)
      h = (g - b) / d;
    else if (g == max)
      h = 2 + (b - r) / d;
    else
      h = 4 + (r - g) / d;
    h /= 6;
    if (h < 0) h += 1;
  }
  hue = ToByte(h * kScale);
  saturation = ToByte(s * kScale);
  luminance = ToByte(l * kScale);
}

uint8_t HueOfColor(TColor color) {
  uint8_t h, s, l;
  ColorToHsl(color, h, s, l);
  return h;
}

TColor MakeColorFromHsl(uint8_t hue, uint8_t saturation, uint8_t luminance) {
  const double l = luminance / kScale, s = saturation / kScale;
  const double m2 = l < 0.5 ? l * (1 + s) : l + s - l * s;
  if (m2 <= 0) return vcl::clBlack;
  const double m1 = 2 * l - m2;
  const double position = hue / 239.0 * 6;
  const int sector = static_cast<int>(position);
  const double f = position - sector;
  const double rising = m1 + m2 * ((m2 - m1) / m2) * f;
  const double falling = m2 - m2 * ((m2 - m1) / m2) * f;
  // Hues 239 and above reach the seventh sector: the circle closes there,
  // so it is the red sector again (it has no row of its own).
  switch (sector % 6) {
    case 0: return FromChannels(m2, rising, m1);
    case 1: return FromChannels(falling, m2, m1);
    case 2: return FromChannels(m1, m2, rising);
    case 3: return FromChannels(m1, falling, m2);
    case 4: return FromChannels(rising, m1, m2);
    default: return FromChannels(m2, m1, falling);
  }
}

TColor DarkenColor(TColor color, uint8_t amount) {
  uint8_t h, s, l;
  ColorToHsl(color, h, s, l);
  return MakeColorFromHsl(h, s, static_cast<uint8_t>(std::max(l - amount, 0)));
}

TColor LightenColor(TColor color, uint8_t amount) {
  uint8_t h, s, l;
  ColorToHsl(color, h, s, l);
  return MakeColorFromHsl(h, s, static_cast<uint8_t>(std::min(l + amount, 255)));
}

TColor AdjustColorLuminance(TColor color, int delta) {
  if (delta < 0) return DarkenColor(color, static_cast<uint8_t>(std::min(-delta, 255)));
  if (delta > 0) return LightenColor(color, static_cast<uint8_t>(std::min(delta, 255)));
  return color;
}

TColor MixColors(TColor color1, TColor color2, uint8_t weight) {
  const TColor a = vcl::ColorToRGB(color1), b = vcl::ColorToRGB(color2);
  const float w = weight / 255.0f;
  TColor mixed = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const float c1 = static_cast<float>((a >> shift) & 0xFF), c2 = static_cast<float>((b >> shift) & 0xFF);
    mixed |= static_cast<TColor>(ToByte(c1 * w + c2 * (1 - w))) << shift;
  }
  return mixed;
}

bool ColorsAreSimilar(TColor color1, TColor color2) {
  uint8_t h1, s1, l1, h2, s2, l2;
  ColorToHsl(color1, h1, s1, l1);
  ColorToHsl(color2, h2, s2, l2);
  return std::abs(h1 - h2) < 20 && std::abs(l1 - l2) < 60;
}

TColor ComplementColor(TColor color, uint8_t luminance) {
  const int h = HueOfColor(color);
  return MakeColorFromHsl(static_cast<uint8_t>(h < 120 ? h + 120 : h - 120), 240, luminance);
}

// ---- colour scheme and display ----------------------------------------------

int GetXPColorScheme() {
  reg::Key key = reg::kNoKey;
  if (reg::OpenKey(reg::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager",
                   reg::kQueryValue, &key) != reg::Status::kOk)
    return kXPColorSchemeBlue;
  std::string name;
  uint32_t size = 0;
  reg::ValueType type{};
  if (reg::QueryValue(key, "ColorName", &type, nullptr, &size) == reg::Status::kOk &&
      type == reg::ValueType::kString && size > 0) {
    name.resize(size);
    if (reg::QueryValue(key, "ColorName", &type, name.data(), &size) != reg::Status::kOk) name.clear();
    name.resize(std::min<size_t>(name.size(), name.find('\0')));
  }
  reg::CloseKey(key);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (name == "HOMESTEAD") return kXPColorSchemeOlive;
  if (name == "METALLIC") return kXPColorSchemeSilver;
  return kXPColorSchemeBlue;
}

bool HasFullColorDisplay() {
  win::HDC screen = win::GetDC(nullptr);
  if (screen == nullptr) return false;
  const bool full = win::GetDeviceCaps(screen, win::NUMCOLORS) == -1;
  win::ReleaseDC(nullptr, screen);
  return full;
}

namespace {

std::optional<uint8_t>& SchemeState() {
  static std::optional<uint8_t> scheme;
  return scheme;
}

std::optional<bool>& FullColorState() {
  static std::optional<bool> full;
  return full;
}

}  // namespace

uint8_t XPColorScheme() {
  if (!SchemeState()) RefreshXPColorScheme();
  return *SchemeState();
}

void RefreshXPColorScheme() { SchemeState() = static_cast<uint8_t>(GetXPColorScheme()); }

bool FullColorDisplay() {
  if (!FullColorState()) FullColorState() = HasFullColorDisplay();
  return *FullColorState();
}

void SetFullColorDisplay(bool full) { FullColorState() = full; }

// ---- theme colours ---------------------------------------------------------------

namespace {

struct SchemeColors {
  TColor selectionFrame, selectionStart, selectionStop, panelLight, panelDark, panelFrame;
};

constexpr std::array<SchemeColors, 3> kSchemeColors = {{
    {0x800000, 0xC2EEFF, 0xA0D9FF, 0xFFEFE3, 0xEABB99, 0xBF7F57},  // blue
    {0x385D3F, 0xC2EEFF, 0xA0D9FF, 0xEDFFFF, 0x92C7B8, 0x77A17F},  // olive
    {0x6F4B4B, 0xC2EEFF, 0xA0D9FF, 0xFFF9F9, 0xD0BCBD, 0xB19F9F},  // silver
}};

// The scheme's row when the style asks for the visual style's colours and
// visual styles are on; null otherwise.
const SchemeColors* ThemedColors(TCtGradientColorStyle style) {
  if (style != gcsMSOffice || !vcl::ThemeServices()->ThemesEnabled()) return nullptr;
  return &kSchemeColors[std::min<size_t>(XPColorScheme(), kSchemeColors.size() - 1)];
}

}  // namespace

TColor GetThemeElementColor(uint8_t kind) {
  constexpr int kBorderColor = 3801, kFillColor = 3802, kTextColor = 3803, kGradientColor1 = 3810;
  struct ElementColor {
    vcl::TThemedElementDetails element;
    int property;
  };
  static const std::array<ElementColor, 7> kElements = {{
      {{vcl::teEdit, 1, 0}, kBorderColor},
      {{vcl::teExplorerBar, 17, 0}, kTextColor},
      {{vcl::teExplorerBar, 25, 0}, kTextColor},
      {{vcl::teExplorerBar, 17, 0}, kFillColor},
      {{vcl::teExplorerBar, 1, 0}, kGradientColor1},
      {{vcl::teExplorerBar, 32, 0}, kFillColor},
      {{vcl::teButton, vcl::tbGroupBoxNormal, 0}, kTextColor},
  }};
  const vcl::TThemeServices& themes = *vcl::ThemeServices();
  if (!themes.ThemesEnabled()) return vcl::clBtnFace;
  if (kind >= kElements.size()) return vcl::clWhite;
  TColor color = vcl::clBtnFace;
  themes.GetElementColor(kElements[kind].element, kElements[kind].property, color);
  return color;
}

const vcl::EnumInfo kCtGradientColorStyleInfo{"TCtGradientColorStyle", {"gcsSystem", "gcsMSOffice", "gcsCustom"}};

void GetToolButtonSelectionColors(TCtGradientColorStyle style, TColor& frameColor, TColor& startColor,
                                  TColor& stopColor) {
  if (const SchemeColors* themed = ThemedColors(style)) {
    frameColor = themed->selectionFrame;
    startColor = themed->selectionStart;
    stopColor = themed->selectionStop;
  } else {
    frameColor = vcl::clHighlight;
    stopColor = MixColors(vcl::clHighlight, vcl::clWindow, 77);
    startColor = LightenColor(stopColor, 20);
  }
  if (!FullColorDisplay()) startColor = stopColor;
}

void GetPanelGradientColors(TCtGradientColorStyle style, TColor& startColor, TColor& stopColor) {
  if (const SchemeColors* themed = ThemedColors(style)) {
    startColor = themed->panelLight;
    stopColor = themed->panelDark;
    return;
  }
  startColor = vcl::clWindow;
  stopColor = DarkenColor(vcl::clBtnFace, 10);
}

TColor GetPanelFrameColor(TCtGradientColorStyle style) {
  if (const SchemeColors* themed = ThemedColors(style)) return themed->panelFrame;
  return LightenColor(vcl::clBtnShadow, 30);
}

void GetThemedPanelColors(TCtGradientColorStyle style, TColor& dark, TColor& light, TColor& frame) {
  if (const SchemeColors* themed = ThemedColors(style)) {
    dark = themed->panelDark;
    light = themed->panelLight;
    frame = themed->panelDark;
    return;
  }
  dark = DarkenColor(vcl::clBtnFace, 20);
  light = vcl::clWindow;
  frame = DarkenColor(vcl::clBtnFace, 40);
}

}  // namespace qelo::ct
