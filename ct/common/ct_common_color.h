// Colour arithmetic of the control library in a hue, saturation and
// luminance model on a 0 to 240 scale, and the colour pairs the painters
// take from the colour scheme of the visual style.
//
// Every function that splits a colour into channels turns system colours
// into RGB first (ColorToRGB); results are plain RGB colours 0x00BBGGRR.
#pragma once

#include <cstdint>

#include "vcl/colors.h"
#include "vcl/typeinfo.h"

namespace qelo::ct {

using vcl::TColor;

// ---- hue, saturation, luminance ---------------------------------------------

void ColorToHsl(TColor color, uint8_t& hue, uint8_t& saturation, uint8_t& luminance);
uint8_t HueOfColor(TColor color);
// Saturation or luminance above 240 drive the channels into the clip at
// 255 (and 0).
TColor MakeColorFromHsl(uint8_t hue, uint8_t saturation, uint8_t luminance);

// Luminance down by Amount (not below 0), hue and saturation kept.
TColor DarkenColor(TColor color, uint8_t amount);
// Luminance up by Amount, up to 255 (past 240 the channels clip at 255).
TColor LightenColor(TColor color, uint8_t amount);
// Darkens by -Delta or lightens by Delta; 0 gives the colour back as it is
// (a system colour stays one).
TColor AdjustColorLuminance(TColor color, int delta);

// Channel by channel Color1 x w + Color2 x (1 - w), w = Weight / 255.
TColor MixColors(TColor color1, TColor color2, uint8_t weight);
// Hues less than 20 and luminances less than 60 apart.
bool ColorsAreSimilar(TColor color1, TColor color2);
// The hue a third of the circle away, fully saturated, at the luminance.
TColor ComplementColor(TColor color, uint8_t luminance);

// ---- colour scheme and display ----------------------------------------------

// Colour schemes of the visual style (0 is also every unknown scheme).
constexpr uint8_t kXPColorSchemeBlue = 0;
constexpr uint8_t kXPColorSchemeOlive = 1;
constexpr uint8_t kXPColorSchemeSilver = 2;

// Reads the current user's "ThemeManager" value "ColorName": 1 for
// "HOMESTEAD", 2 for "METALLIC" (any case), else 0.
int GetXPColorScheme();
// True when the screen shows more than 256 colours.
bool HasFullColorDisplay();

// The scheme the painters use: read on first use, and again by
// RefreshXPColorScheme (after a theme change).
uint8_t XPColorScheme();
void RefreshXPColorScheme();
// Whether the display has more than 256 colours: read on first use and
// never again. SetFullColorDisplay replaces the reading (a display the
// platform cannot report, and tests).
bool FullColorDisplay();
void SetFullColorDisplay(bool full);

// ---- theme colours ---------------------------------------------------------------

// A colour of the current visual style: 0 the edit border, 1 and 2 the
// explorer bar's texts, 3 its fill, 4 its first gradient colour, 5 a fill
// of its own, 6 the group box text; white for other kinds. clBtnFace while
// visual styles are off (or the style has no such colour).
TColor GetThemeElementColor(uint8_t kind);

enum TCtGradientColorStyle { gcsSystem, gcsMSOffice, gcsCustom };
extern const vcl::EnumInfo kCtGradientColorStyleInfo;

void GetToolButtonSelectionColors(TCtGradientColorStyle style, TColor& frameColor, TColor& startColor,
                                  TColor& stopColor);
void GetPanelGradientColors(TCtGradientColorStyle style, TColor& startColor, TColor& stopColor);
TColor GetPanelFrameColor(TCtGradientColorStyle style);
void GetThemedPanelColors(TCtGradientColorStyle style, TColor& dark, TColor& light, TColor& frame);

}  // namespace qelo::ct
