// Colour arithmetic: hue, saturation and luminance on the 0..240 scale,
// darker and lighter shades, blends, similarity and complements.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/temp_dir.h"
#include "ct_common_color.h"
#include "registry/registry.h"
#include "vcl/graphics/graphics.h"

namespace qelo::ct {
namespace {

using namespace vcl;

struct HslCase {
  TColor color;
  int hue, saturation, luminance;
};

class ColorToHslTable : public testing::TestWithParam<HslCase> {};

TEST_P(ColorToHslTable, GivesHueSaturationLuminance) {
  const HslCase c = GetParam();
  uint8_t h, s, l;
  ColorToHsl(c.color, h, s, l);
  EXPECT_EQ(h, c.hue) << std::hex << c.color;
  EXPECT_EQ(s, c.saturation) << std::hex << c.color;
  EXPECT_EQ(l, c.luminance) << std::hex << c.color;
  EXPECT_EQ(HueOfColor(c.color), c.hue);
}

INSTANTIATE_TEST_SUITE_P(PrimariesAndGreys, ColorToHslTable,
                         testing::Values(HslCase{clRed, 0, 240, 120}, HslCase{clYellow, 40, 240, 120},
                                         HslCase{clLime, 80, 240, 120}, HslCase{clAqua, 120, 240, 120},
                                         HslCase{clBlue, 160, 240, 120}, HslCase{clFuchsia, 200, 240, 120},
                                         HslCase{clBlack, 0, 0, 0}, HslCase{clWhite, 0, 0, 240},
                                         HslCase{clGray, 0, 0, 120}, HslCase{clSilver, 0, 0, 181},
                                         HslCase{0x404040, 0, 0, 60},
                                         // System colours are read as their palette entry.
                                         HslCase{clBtnFace, 27, 29, 194}, HslCase{clBtnShadow, 0, 0, 120}));

struct RgbCase {
  int hue, saturation, luminance;
  TColor color;
};

class MakeColorFromHslTable : public testing::TestWithParam<RgbCase> {};

TEST_P(MakeColorFromHslTable, BuildsTheColour) {
  const RgbCase c = GetParam();
  EXPECT_EQ(MakeColorFromHsl(c.hue, c.saturation, c.luminance), c.color)
      << "H " << c.hue << " S " << c.saturation << " L " << c.luminance;
}

// The sector runs over hue / 239 x 6, so pure hues past red pick up a
// little of the next primary; 239 and 240 close the circle at red.
INSTANTIATE_TEST_SUITE_P(Sectors, MakeColorFromHslTable,
                         testing::Values(RgbCase{0, 240, 120, 0x0000FF}, RgbCase{40, 240, 120, 0x00FFFE},
                                         RgbCase{80, 240, 120, 0x02FF00}, RgbCase{120, 240, 120, 0xFFFC00},
                                         RgbCase{160, 240, 120, 0xFF0004}, RgbCase{200, 240, 120, 0xFA00FF},
                                         RgbCase{239, 240, 120, 0x0000FF}, RgbCase{240, 240, 120, 0x0006FF},
                                         RgbCase{100, 0, 120, 0x808080}, RgbCase{0, 0, 0, 0x000000},
                                         RgbCase{0, 0, 240, 0xFFFFFF},
                                         // Luminance past 240 clips every channel at 255.
                                         RgbCase{160, 240, 255, 0xFFFFFF},
                                         // Saturation past 240 clips the low channel at 0.
                                         RgbCase{0, 255, 60, 0x000083}));

int HueDistance(int a, int b) {
  const int d = std::abs(a - b);
  return std::min(d, 240 - d);
}

TEST(HslRoundTrip, StaysWithinOneForSaturatedMidColours) {
  for (int h = 0; h < 240; ++h) {
    for (int s = 120; s <= 240; s += 6) {
      for (int l = 80; l <= 160; l += 4) {
        uint8_t h2, s2, l2;
        ColorToHsl(MakeColorFromHsl(h, s, l), h2, s2, l2);
        ASSERT_LE(HueDistance(h, h2), 1) << h << " " << s << " " << l;
        ASSERT_LE(std::abs(s - s2), 1) << h << " " << s << " " << l;
        ASSERT_LE(std::abs(l - l2), 1) << h << " " << s << " " << l;
      }
    }
  }
}

TEST(ShadesOfColour, SystemColoursAreTurnedIntoRgbFirst) {
  EXPECT_EQ(DarkenColor(clBtnFace, 20), 0xB0BCC1u);
  EXPECT_EQ(LightenColor(clBtnShadow, 30), 0x9F9F9Fu);
  EXPECT_EQ(AdjustColorLuminance(clBtnFace, -20), DarkenColor(clBtnFace, 20));
  EXPECT_EQ(AdjustColorLuminance(clBtnShadow, 30), LightenColor(clBtnShadow, 30));
}

TEST(ShadesOfColour, ZeroAdjustmentKeepsTheColourAsGiven) {
  EXPECT_EQ(AdjustColorLuminance(clBtnFace, 0), clBtnFace);
  EXPECT_EQ(AdjustColorLuminance(0x123456, 0), 0x123456u);
}

TEST(ShadesOfColour, LuminanceStopsAtBlackAndClipsAtWhite) {
  EXPECT_EQ(DarkenColor(clRed, 50), 0x000095u);
  EXPECT_EQ(DarkenColor(clRed, 200), clBlack);
  EXPECT_EQ(LightenColor(clRed, 200), clWhite);
  EXPECT_EQ(LightenColor(clWhite, 20), clWhite);
  EXPECT_EQ(AdjustColorLuminance(clRed, -1000), clBlack);
}

TEST(MixColors, WeighsTheFirstColourByWeightOver255) {
  EXPECT_EQ(MixColors(clRed, clBlue, 255), clRed);
  EXPECT_EQ(MixColors(clRed, clBlue, 0), clBlue);
  // The tool-button selection blend of the classic palette.
  EXPECT_EQ(MixColors(clHighlight, clWindow, 77), 0xD2BDB5u);
}

TEST(ColorsAreSimilar, HueAndLuminanceLimitsAreExclusive) {
  EXPECT_TRUE(ColorsAreSimilar(clRed, 0x0079FF));   // hue 19
  EXPECT_FALSE(ColorsAreSimilar(clRed, 0x0080FF));  // hue 20
  EXPECT_TRUE(ColorsAreSimilar(clBlack, 0x3F3F3F));   // luminance 59
  EXPECT_FALSE(ColorsAreSimilar(clBlack, 0x404040));  // luminance 60
  EXPECT_TRUE(ColorsAreSimilar(clBtnFace, clBtnFace));
}

TEST(ComplementColor, TurnsTheHueByAThirdAtFullSaturation) {
  EXPECT_EQ(ComplementColor(clRed, 120), MakeColorFromHsl(120, 240, 120));
  EXPECT_EQ(ComplementColor(clBlue, 120), MakeColorFromHsl(40, 240, 120));
  // The hot-track colour of the buttons.
  EXPECT_EQ(ComplementColor(0x149BF0, 180), 0xFFAD80u);
}

TEST(ThemeColours, ClassicColoursWithoutVisualStyles) {
  TColor frame, start, stop;
  SetFullColorDisplay(true);
  GetToolButtonSelectionColors(gcsMSOffice, frame, start, stop);
  EXPECT_EQ(frame, clHighlight);
  EXPECT_EQ(stop, MixColors(clHighlight, clWindow, 77));
  EXPECT_EQ(start, LightenColor(stop, 20));

  GetPanelGradientColors(gcsMSOffice, start, stop);
  EXPECT_EQ(start, clWindow);
  EXPECT_EQ(stop, DarkenColor(clBtnFace, 10));
  EXPECT_EQ(GetPanelFrameColor(gcsSystem), LightenColor(clBtnShadow, 30));

  TColor dark, light;
  GetThemedPanelColors(gcsMSOffice, dark, light, frame);
  EXPECT_EQ(dark, DarkenColor(clBtnFace, 20));
  EXPECT_EQ(light, clWindow);
  EXPECT_EQ(frame, DarkenColor(clBtnFace, 40));
}

TEST(ThemeColours, FewColoursGiveOneSelectionColour) {
  SetFullColorDisplay(false);
  TColor frame, start, stop;
  GetToolButtonSelectionColors(gcsSystem, frame, start, stop);
  EXPECT_EQ(start, stop);
  SetFullColorDisplay(HasFullColorDisplay());
}

class ColorSchemeTest : public testing::Test {
 protected:
  void SetUp() override { setenv("QELO_REGISTRY_DIR", dir_.File("config").c_str(), 1); }
  void TearDown() override { unsetenv("QELO_REGISTRY_DIR"); }

  void WriteColorName(const std::string& name) {
    reg::Key key;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager",
                             reg::kAllAccess, &key),
              reg::Status::kOk);
    ASSERT_EQ(reg::SetValue(key, "ColorName", reg::ValueType::kString, name.c_str(),
                            static_cast<uint32_t>(name.size() + 1)),
              reg::Status::kOk);
    reg::CloseKey(key);
  }

  test::TempDir dir_;
};

TEST_F(ColorSchemeTest, NoValueIsTheBlueScheme) { EXPECT_EQ(GetXPColorScheme(), kXPColorSchemeBlue); }

TEST_F(ColorSchemeTest, SchemeNamesAreReadInAnyCase) {
  const std::pair<const char*, int> cases[] = {
      {"HomeStead", kXPColorSchemeOlive}, {"metallic", kXPColorSchemeSilver},
      {"NormalColor", kXPColorSchemeBlue}, {"", kXPColorSchemeBlue}};
  for (const auto& [name, scheme] : cases) {
    WriteColorName(name);
    EXPECT_EQ(GetXPColorScheme(), scheme) << name;
  }
  RefreshXPColorScheme();
  EXPECT_EQ(XPColorScheme(), kXPColorSchemeBlue);
  WriteColorName("Metallic");
  EXPECT_EQ(XPColorScheme(), kXPColorSchemeBlue) << "kept until refreshed";
  RefreshXPColorScheme();
  EXPECT_EQ(XPColorScheme(), kXPColorSchemeSilver);
}

TEST(Display, TheScreenShowsFullColour) { EXPECT_TRUE(HasFullColorDisplay()); }

}  // namespace
}  // namespace qelo::ct
