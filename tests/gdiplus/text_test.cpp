// Font families with the sans-serif fallback, sizes in points, and drawing
// and measuring strings.
#include <gtest/gtest.h>

#include <string>

#include "canvas.h"
#include "gdiplus/graphics.h"

namespace qelo::test {
namespace {

using namespace qelo::gdiplus;

class Text : public GdiplusTest {
 protected:
  // The engine's rule: the named family, else the generic sans-serif one.
  static const FontFamily* FamilyOrFallback(const FontFamily& named) {
    return named.GetLastStatus() == Status::Ok ? &named : FontFamily::GenericSansSerif();
  }
  static RectF Measure(const std::string& text, const Font& font, PointF origin = {}) {
    Canvas canvas(1, 1);
    RectF bounds;
    EXPECT_EQ(Graphics(&canvas.bitmap).MeasureString(text, font, origin, &bounds), Status::Ok);
    return bounds;
  }
  static InkBox Draw(Canvas& canvas, const std::string& text, const Font& font, PointF origin,
                     Color colour = Color(0xFFFFFFFF)) {
    EXPECT_EQ(Graphics(&canvas.bitmap).DrawString(text, font, origin, SolidBrush(colour)), Status::Ok);
    return FindInk(canvas, 0);
  }
};

TEST_F(Text, FamiliesAreFoundByNameIgnoringCase) {
  const struct {
    const char* name;
    Status status;
    const char* installed;
  } cases[] = {{"DejaVu Sans", Status::Ok, "DejaVu Sans"},
               {"dejavu SANS", Status::Ok, "DejaVu Sans"},
               {"DejaVu Serif", Status::Ok, "DejaVu Serif"},
               {"Qelo Face That Is Not Installed", Status::FontFamilyNotFound, ""},
               {"", Status::FontFamilyNotFound, ""}};
  for (const auto& c : cases) {
    FontFamily family(c.name);
    EXPECT_EQ(family.GetLastStatus(), c.status) << c.name;
    EXPECT_EQ(family.GetName(), c.installed) << c.name;
  }
  ASSERT_NE(FontFamily::GenericSansSerif(), nullptr);
  EXPECT_EQ(FontFamily::GenericSansSerif()->GetLastStatus(), Status::Ok);
  EXPECT_FALSE(FontFamily::GenericSansSerif()->GetName().empty());
}

TEST_F(Text, AFontOfAMissingFamilyCannotBeMadeButTheFallbackDraws) {
  FontFamily missing("Qelo Face That Is Not Installed");
  EXPECT_EQ(Font(&missing, 12).GetLastStatus(), Status::InvalidParameter);
  Font font(FamilyOrFallback(missing), 12, FontStyleRegular, Unit::Point);
  ASSERT_EQ(font.GetLastStatus(), Status::Ok);
  Canvas canvas(80, 30);
  EXPECT_GT(Draw(canvas, "Qelo", font, {2, 2}).count, 20);
}

TEST_F(Text, BadFontSizesAreRefused) {
  FontFamily family("DejaVu Sans");
  for (float size : {0.0f, -3.0f, NAN, INFINITY, 1e7f}) {
    EXPECT_EQ(Font(&family, size).GetLastStatus(), Status::InvalidParameter) << size;
  }
  EXPECT_EQ(Font(nullptr, 12).GetLastStatus(), Status::InvalidParameter);
}

TEST_F(Text, PointsAreAt96DotsAnInch) {
  FontFamily family("DejaVu Sans");
  Font points(&family, 12, FontStyleRegular, Unit::Point);
  Font pixels(&family, 16, FontStyleRegular, Unit::Pixel);
  EXPECT_FLOAT_EQ(points.GetSizeInPixels(), 16);
  const RectF a = Measure("Size", points), b = Measure("Size", pixels);
  EXPECT_FLOAT_EQ(a.Width, b.Width);
  EXPECT_FLOAT_EQ(a.Height, b.Height);
  // DejaVu Sans lines are about 1.16 em high.
  EXPECT_NEAR(a.Height, 16 * 1.164, 1.5);
}

TEST_F(Text, MeasuringCountsLinesAndKeepsTheOrigin) {
  FontFamily family("DejaVu Sans");
  Font font(&family, 10);
  const RectF one = Measure("Line", font, {7.5f, 3});
  EXPECT_FLOAT_EQ(one.X, 7.5f);
  EXPECT_FLOAT_EQ(one.Y, 3);
  EXPECT_GT(one.Width, 0);
  for (const char* twoLines : {"Line\nLine", "Line\r\nLine"}) {
    const RectF two = Measure(twoLines, font);
    EXPECT_NEAR(two.Height, 2 * one.Height, 1) << twoLines;
    EXPECT_FLOAT_EQ(two.Width, one.Width) << twoLines;
  }
  EXPECT_GT(Measure("Line Line", font).Width, one.Width);
  const RectF empty = Measure("", font, {4, 5});
  EXPECT_EQ(empty.Width, 0);
  EXPECT_EQ(empty.X, 4);
}

TEST_F(Text, TheOriginIsTheTopLeftOfTheFirstLine) {
  FontFamily family("DejaVu Sans");
  Font font(&family, 14);
  const PointF origin{20, 10};
  Canvas canvas(160, 60);
  const InkBox ink = Draw(canvas, "HgH", font, origin);
  const RectF box = Measure("HgH", font, origin);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.x0, 20);
  EXPECT_LE(ink.x0, 24);
  EXPECT_GE(ink.y0, 10);
  EXPECT_LE(ink.y0, 10 + box.Height * 0.35);  // the capital's top is near the line's top
  EXPECT_LE(ink.x1, box.X + box.Width + 1);
  EXPECT_LE(ink.y1, box.Y + box.Height + 1);
}

TEST_F(Text, LineBreaksStartNewLinesBelow) {
  FontFamily family("DejaVu Sans");
  Font font(&family, 12);
  Canvas one(100, 80), two(100, 80);
  const InkBox a = Draw(one, "X", font, {5, 5});
  const InkBox b = Draw(two, "X\nX", font, {5, 5});
  EXPECT_EQ(b.x0, a.x0);
  EXPECT_EQ(b.y0, a.y0);
  EXPECT_NEAR(b.y1 - a.y1, Measure("X", font).Height, 1.5);
}

TEST_F(Text, StylesChangeTheGlyphs) {
  FontFamily family("DejaVu Sans");
  Font regular(&family, 16);
  Canvas plain(200, 50);
  const InkBox base = Draw(plain, "Qelo text", regular, {4, 4});
  const struct {
    const char* name;
    int style;
  } cases[] = {{"bold", FontStyleBold}, {"italic", FontStyleItalic}, {"underline", FontStyleUnderline},
               {"strike-out", FontStyleStrikeout}};
  for (const auto& c : cases) {
    Font styled(&family, 16, c.style);
    Canvas canvas(200, 50);
    const InkBox ink = Draw(canvas, "Qelo text", styled, {4, 4});
    EXPECT_NE(canvas.pixels, plain.pixels) << c.name;
    if (c.style == FontStyleBold) {
      EXPECT_GT(Measure("Qelo text", styled).Width, Measure("Qelo text", regular).Width);
    }
    if (c.style == FontStyleUnderline || c.style == FontStyleStrikeout) {
      // A rule runs under the gap between the words, where plain text is blank.
      const int gapX = (base.x0 + base.x1) / 2;
      int plainInk = 0, styledInk = 0;
      for (int x = gapX - 1; x <= gapX + 1; ++x) {
        for (int y = 0; y < 50; ++y) {
          plainInk += plain.At(x, y) != 0;
          styledInk += canvas.At(x, y) != 0;
        }
      }
      EXPECT_GT(styledInk, plainInk) << c.name;
      EXPECT_GE(ink.y1, c.style == FontStyleUnderline ? base.y1 - 4 : 0) << c.name;
    }
  }
}

TEST_F(Text, TextLeavesEveryPixelItDoesNotMarkBitIdentical) {
  FontFamily family("DejaVu Sans");
  Font font(&family, 13, FontStyleBold | FontStyleUnderline);
  Canvas blank(90, 40);
  Draw(blank, "Mark\nme", font, {10, 4}, Color(0xC0FF8000));
  Canvas canvas(90, 40);
  FillFragile(canvas);
  const std::vector<uint32_t> before = canvas.pixels;
  ASSERT_EQ(Graphics(&canvas.bitmap).DrawString("Mark\nme", font, {10, 4}, SolidBrush(Color(0xC0FF8000))), Status::Ok);
  int unmarked = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (blank.pixels[i] != 0) continue;
    ++unmarked;
    EXPECT_EQ(canvas.pixels[i], before[i]) << "pixel " << i % 90 << "," << i / 90;
  }
  EXPECT_GT(unmarked, 1000);
}

TEST_F(Text, TextPastTheEdgeIsCutNotWrapped) {
  FontFamily family("DejaVu Sans");
  Font font(&family, 12);
  Canvas canvas(100, 40);
  const InkBox ink = Draw(canvas, "A long line of watermark text", font, {60, 30});
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.x0, 60);
  EXPECT_LT(ink.y1, 40);
  EXPECT_EQ(Draw(canvas, "Off", font, {-500, -500}).count, ink.count);
}

TEST_F(Text, BadTextIsRefusedAndEmptyTextDrawsNothing) {
  FontFamily family("DejaVu Sans");
  Font font(&family, 12);
  Canvas canvas(40, 20);
  Graphics graphics(&canvas.bitmap);
  const SolidBrush brush(Color(0xFFFFFFFF));
  EXPECT_EQ(graphics.DrawString("bad \xC3\x28 text", font, {0, 0}, brush), Status::InvalidParameter);
  EXPECT_EQ(graphics.DrawString("", font, {0, 0}, brush), Status::Ok);
  EXPECT_EQ(graphics.DrawString("Invisible", font, {0, 0}, SolidBrush(Color(0x00FFFFFF))), Status::Ok);
  RectF bounds;
  EXPECT_EQ(graphics.MeasureString("\xFF", font, {0, 0}, &bounds), Status::InvalidParameter);
  EXPECT_EQ(graphics.MeasureString("x", font, {0, 0}, nullptr), Status::InvalidParameter);
  FontFamily missing("Qelo Face That Is Not Installed");
  Font broken(&missing, 12);
  EXPECT_EQ(graphics.DrawString("x", broken, {0, 0}, brush), Status::InvalidParameter);
  EXPECT_EQ(canvas.pixels, std::vector<uint32_t>(800, 0));
}

TEST_F(Text, FontMatchesAreCachedPerNameUntilTheLastShutdown) {
  const std::size_t start = FontMatchCacheSize();
  for (int frame = 0; frame < 50; ++frame) {
    FontFamily a("DejaVu Sans Mono");
    FontFamily b("dejavu sans mono");
    FontFamily c("Qelo Other Missing Face");
    ASSERT_EQ(a.GetLastStatus(), Status::Ok);
    ASSERT_EQ(c.GetLastStatus(), Status::FontFamilyNotFound);
  }
  EXPECT_EQ(FontMatchCacheSize(), start + 2);

  uintptr_t second = 0;
  ASSERT_EQ(Startup(&second), Status::Ok);
  Shutdown(second);  // the fixture's start-up is still live
  EXPECT_EQ(FontMatchCacheSize(), start + 2);
  Shutdown(token_);
  EXPECT_EQ(FontMatchCacheSize(), 0u);
  ASSERT_EQ(Startup(&token_), Status::Ok);
}

}  // namespace
}  // namespace qelo::test
