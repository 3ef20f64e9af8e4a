// Accelerator marks, centred rectangles, turned fonts and text on a canvas.
#include <gtest/gtest.h>

#include "ct_common_color.h"
#include "ct_grafx_text.h"
#include "paint_canvas.h"

namespace qelo::ct {
namespace {

using namespace vcl;
using test::PaintCanvas;

struct MarksCase {
  const char* text;
  const char* shown;
};

class AcceleratorMarks : public testing::TestWithParam<MarksCase> {};

TEST_P(AcceleratorMarks, AreStripped) {
  EXPECT_EQ(StripAcceleratorMarks(GetParam().text), GetParam().shown) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Captions, AcceleratorMarks,
                         testing::Values(MarksCase{"", ""}, MarksCase{"&File", "File"}, MarksCase{"Save &As", "Save As"},
                                         MarksCase{"a&&b", "a&b"}, MarksCase{"&&&&x", "&&x"},
                                         MarksCase{"&&&x", "&x"}, MarksCase{"&&", "&"}, MarksCase{"&", "&"},
                                         MarksCase{"a&", "a&"}, MarksCase{"Gr&\xC3\xBC\xC3\x9F", "Gr\xC3\xBC\xC3\x9F"},
                                         MarksCase{"no marks", "no marks"}));

TEST(CenteredRect, CentresWithHalvesRoundedTowardZero) {
  const std::pair<std::array<int, 6>, TRect> cases[] = {
      {{0, 0, 10, 10, 4, 4}, {3, 3, 7, 7}},
      {{0, 0, 10, 10, 3, 3}, {3, 3, 6, 6}},
      {{-10, -10, -1, -1, 4, 4}, {-7, -7, -3, -3}},
      {{0, 0, 4, 4, 10, 10}, {-3, -3, 7, 7}},
      {{5, 2, 6, 3, 0, 0}, {5, 2, 5, 2}},
  };
  for (const auto& [in, expected] : cases) {
    const TRect r = CenteredRect(TRect{in[0], in[1], in[2], in[3]}, in[4], in[5]);
    EXPECT_TRUE(win::EqualRect(&r, &expected)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

TEST(AngledFont, TurnsTheLine) {
  TFont font;
  font.SetSize(12);
  font.SetStyle(TFontStyles{fsBold});
  auto inkOf = [&](int angle) {
    PaintCanvas c(120, 120);
    win::HFONT turned = CreateAngledFont(font, angle);
    EXPECT_NE(turned, nullptr);
    win::HDC dc = c.dc();
    const win::HGDIOBJ old = win::SelectObject(dc, turned);
    win::SetBkMode(dc, win::TRANSPARENT);
    win::TextOut(dc, 40, 100, "Turned text");
    win::SelectObject(dc, old);
    win::DeleteObject(turned);
    return c.InkBox();
  };
  const TRect flat = inkOf(0), upright = inkOf(90);
  EXPECT_GT(RectWidth(flat), 2 * RectHeight(flat));
  EXPECT_GT(RectHeight(upright), 2 * RectWidth(upright));
  EXPECT_LE(upright.bottom, 101) << "a line turned by 90 degrees runs up from its start";
}

TEST(TrueTypeFont, TheInstalledFacesAreOutlines) {
  TFont font;
  EXPECT_TRUE(IsTrueTypeFont(font));
  font.SetName("Marlett");
  EXPECT_TRUE(IsTrueTypeFont(font));
}

TEST(CanvasText, MeasuresWithCalcRectAndDrawsOtherwise) {
  PaintCanvas c(100, 40);
  TRect r{0, 0, 0, 0};
  const int height = CanvasDrawText(c.canvas, "Measured", r, win::DT_CALCRECT | win::DT_SINGLELINE);
  EXPECT_GT(height, 0);
  EXPECT_EQ(RectHeight(r), height);
  EXPECT_GT(RectWidth(r), 0);
  EXPECT_EQ(c.Count(qelo::test::kWhite), 4000) << "measuring draws nothing";
  TRect place{10, 10, 100, 40};
  CanvasDrawText(c.canvas, "Measured", place, win::DT_SINGLELINE);
  const TRect ink = c.InkBox();
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 10 + RectWidth(r) + 1);
}

TEST(CanvasText, CentredTextSitsInTheMiddle) {
  PaintCanvas c(120, 40);
  c.canvas.Brush()->SetStyle(bsClear);
  DrawCenteredText(c.canvas, "Middle", TRect{0, 0, 120, 40});
  const TRect ink = c.InkBox();
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 60, 2);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 20, 3);
}

TEST(ThemeElementColor, IsTheButtonFaceWithoutVisualStyles) {
  for (int kind = 0; kind <= 8; ++kind) EXPECT_EQ(GetThemeElementColor(static_cast<uint8_t>(kind)), clBtnFace);
}

}  // namespace
}  // namespace qelo::ct
