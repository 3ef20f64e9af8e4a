// Fonts, metrics, text output and DrawText formatting.
#include <gtest/gtest.h>

#include <algorithm>

#include "canvas.h"

namespace qelo::test {
namespace {

HFONT MakeFont(const std::string& face, int height, int escapement = 0, int weight = FW_NORMAL) {
  LOGFONT log;
  log.lfFaceName = face;
  log.lfHeight = height;
  log.lfEscapement = escapement;
  log.lfWeight = weight;
  return CreateFontIndirect(&log);
}

std::string FaceOf(HFONT font) {
  Canvas canvas(1, 1);
  Selected selected(canvas.dc(), font);
  std::string face;
  GetTextFace(canvas.dc(), &face);
  return face;
}

TEST(GdiFonts, MissingFacesFallBackToTheInstalledSansFace) {
  const std::string sans = FaceOf(MakeFont("", -12));
  EXPECT_FALSE(sans.empty());
  for (const char* missing : {"Verdana", "Tahoma", "MS Sans Serif", "Marlett", "No Such Face 123"}) {
    EXPECT_EQ(FaceOf(MakeFont(missing, -12)), sans) << missing;
  }
  EXPECT_EQ(FaceOf(MakeFont("DejaVu Serif", -12)), "DejaVu Serif") << "an installed face is kept";
}

// The symbol face of window glyphs draws its letters as the pictures they
// stand for: "r" is the close cross, not the letter.
TEST(GdiFonts, WindowGlyphFaceDrawsTheCloseCrossForR) {
  auto draw = [](const std::string& face, const char* text) {
    Canvas canvas(24, 24);
    Selected font(canvas.dc(), MakeFont(face, -14));
    SetBkMode(canvas.dc(), TRANSPARENT);
    TextOut(canvas.dc(), 4, 2, text);
    return canvas.Pixels();
  };
  EXPECT_EQ(draw("Marlett", "r"), draw("", "\u2715"));
  EXPECT_NE(draw("Marlett", "r"), draw("", "r"));
  EXPECT_EQ(draw("Marlett", "x"), draw("", "x")) << "letters without a picture stay letters";
}

TEST(GdiFonts, MetricsFollowTheLogicalHeight) {
  Canvas canvas(1, 1);
  TEXTMETRIC em{}, cell{};
  {
    Selected font(canvas.dc(), MakeFont("Verdana", -20));
    ASSERT_TRUE(GetTextMetrics(canvas.dc(), &em));
  }
  {
    Selected font(canvas.dc(), MakeFont("Verdana", 20));
    ASSERT_TRUE(GetTextMetrics(canvas.dc(), &cell));
  }
  EXPECT_EQ(em.tmAscent + em.tmDescent, em.tmHeight);
  EXPECT_GE(em.tmHeight, 20) << "a negative height is the em, the cell is larger";
  EXPECT_EQ(em.tmInternalLeading, em.tmHeight - 20);
  EXPECT_NEAR(cell.tmHeight, 20, 1) << "a positive height is the cell";
  EXPECT_TRUE(em.tmPitchAndFamily & TMPF_TRUETYPE) << "outline faces report the scalable flag";
  EXPECT_TRUE(em.tmPitchAndFamily & TMPF_FIXED_PITCH) << "set for variable pitch";
  EXPECT_GT(em.tmAveCharWidth, 0);
  EXPECT_GE(em.tmMaxCharWidth, em.tmAveCharWidth);
}

TEST(GdiFonts, PointSizesAtNinetySixDpi) {
  EXPECT_EQ(PointsToFontHeight(8), -11);
  EXPECT_EQ(PointsToFontHeight(9), -12);
  EXPECT_EQ(PointsToFontHeight(12), -16);
}

TEST(GdiText, ExtentGrowsWithTextAndBoldIsWider) {
  Canvas canvas(1, 1);
  Selected font(canvas.dc(), MakeFont("Tahoma", -13));
  SIZE a, ab, empty;
  GetTextExtentPoint32(canvas.dc(), "Hello", &a);
  GetTextExtentPoint32(canvas.dc(), "Hello world", &ab);
  GetTextExtentPoint32(canvas.dc(), "", &empty);
  TEXTMETRIC tm;
  GetTextMetrics(canvas.dc(), &tm);
  EXPECT_GT(ab.cx, a.cx);
  EXPECT_EQ(a.cy, tm.tmHeight);
  EXPECT_EQ(empty.cx, 0);
  Selected bold(canvas.dc(), MakeFont("Tahoma", -13, 0, FW_BOLD));
  SIZE b;
  GetTextExtentPoint32(canvas.dc(), "Hello", &b);
  EXPECT_GT(b.cx, a.cx);
}

struct AlignCase {
  const char* name;
  unsigned align;
};

class TextAlignTest : public ::testing::TestWithParam<AlignCase> {};

TEST_P(TextAlignTest, ReferencePointSitsWhereTheAlignmentSays) {
  const unsigned align = GetParam().align;
  Canvas canvas(120, 60);
  Selected font(canvas.dc(), MakeFont("", -16));
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextAlign(canvas.dc(), align);
  SIZE size;
  GetTextExtentPoint32(canvas.dc(), "HHH", &size);
  TEXTMETRIC tm;
  GetTextMetrics(canvas.dc(), &tm);
  const int x = 60, y = 30;
  TextOut(canvas.dc(), x, y, "HHH");
  const RECT ink = canvas.InkBox();
  const int center = (ink.left + ink.right) / 2;
  if ((align & TA_CENTER) == TA_CENTER) {
    EXPECT_NEAR(center, x, 2);
  } else if (align & TA_RIGHT) {
    EXPECT_NEAR(ink.right, x, 3);
    EXPECT_LE(ink.right, x + 1);
  } else {
    EXPECT_NEAR(ink.left, x, 3);
    EXPECT_GE(ink.left, x);
  }
  // "H" stands on the baseline, ascent - (cap height) below the cell top.
  if ((align & TA_BASELINE) == TA_BASELINE) {
    EXPECT_EQ(ink.bottom, y);
  } else if (align & TA_BOTTOM) {
    EXPECT_EQ(ink.bottom, y - tm.tmDescent);
  } else {
    EXPECT_EQ(ink.bottom, y + tm.tmAscent);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Gdi, TextAlignTest,
    ::testing::Values(AlignCase{"LeftTop", TA_LEFT | TA_TOP}, AlignCase{"CenterTop", TA_CENTER | TA_TOP},
                      AlignCase{"RightTop", TA_RIGHT | TA_TOP}, AlignCase{"LeftBaseline", TA_LEFT | TA_BASELINE},
                      AlignCase{"CenterBaseline", TA_CENTER | TA_BASELINE},
                      AlignCase{"RightBottom", TA_RIGHT | TA_BOTTOM}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GdiText, OpaqueModeFillsTheCellTransparentDoesNot) {
  for (int mode : {OPAQUE, TRANSPARENT}) {
    Canvas canvas(80, 30);
    Selected font(canvas.dc(), MakeFont("", -14));
    SetBkMode(canvas.dc(), mode);
    SetBkColor(canvas.dc(), kBlue);
    SetTextColor(canvas.dc(), kRed);
    TextOut(canvas.dc(), 5, 5, "Ab");
    SIZE size;
    GetTextExtentPoint32(canvas.dc(), "Ab", &size);
    if (mode == OPAQUE) {
      EXPECT_EQ(canvas.At(5, 5), kBlue);
      EXPECT_EQ(canvas.At(5 + size.cx - 1, 5 + size.cy - 1), kBlue);
      EXPECT_EQ(canvas.At(5 + size.cx, 5), kWhite);
    } else {
      EXPECT_EQ(canvas.Count(kBlue), 0);
    }
    const int text = canvas.width() * canvas.height() - canvas.Count(kBlue) - canvas.Count(kWhite);
    EXPECT_GT(text, 10) << "antialiased glyph pixels";
  }
}

TEST(GdiText, ExtTextOutOpaqueFillsAndClippedStaysInside) {
  Canvas canvas(80, 30);
  Selected font(canvas.dc(), MakeFont("", -20));
  SetBkColor(canvas.dc(), kBlue);
  SetBkMode(canvas.dc(), TRANSPARENT);
  RECT r{10, 5, 30, 25};
  ASSERT_TRUE(ExtTextOut(canvas.dc(), 12, 2, ETO_OPAQUE | ETO_CLIPPED, &r, "WWWWWW"));
  const RECT ink = canvas.InkBox();
  EXPECT_TRUE(EqualRect(&ink, &r)) << canvas.Picture();
  EXPECT_EQ(canvas.At(10, 24), kBlue);
}

TEST(GdiText, RotatedNinetyDegreesRunsUpward) {
  Canvas canvas(60, 120);
  Selected font(canvas.dc(), MakeFont("Verdana", -16, 900));
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextAlign(canvas.dc(), TA_BASELINE);
  SIZE size;
  GetTextExtentPoint32(canvas.dc(), "Docked", &size);
  TEXTMETRIC tm;
  GetTextMetrics(canvas.dc(), &tm);
  TextOut(canvas.dc(), 30, 100, "Docked");
  const RECT ink = canvas.InkBox();
  EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left) << canvas.Picture();
  EXPECT_LE(ink.bottom, 100 + 1);
  EXPECT_NEAR(ink.top, 100 - size.cx, 3);
  EXPECT_LE(ink.right, 30 + tm.tmDescent + 1) << "glyphs stand left of the vertical baseline";
  EXPECT_GE(ink.left, 30 - tm.tmAscent - 1);
}

TEST(GdiText, MonochromeBitmapsGetTheSameLayoutInPureBlackAndWhite) {
  Canvas colour(120, 20);
  Canvas mono(120, 20, kWhite, true);
  RECT r{0, 0, 120, 20};
  RECT colourCalc = r, monoCalc = r;
  DrawText(colour.dc(), "Mask text 123", &colourCalc, DT_SINGLELINE | DT_CALCRECT);
  DrawText(mono.dc(), "Mask text 123", &monoCalc, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_TRUE(EqualRect(&colourCalc, &monoCalc));
  DrawText(mono.dc(), "Mask text 123", &r, DT_SINGLELINE);
  EXPECT_GT(mono.Count(kBlack), 20);
  EXPECT_EQ(mono.Count(kBlack) + mono.Count(kWhite), 120 * 20);
}

TEST(GdiText, UpdateCurrentPositionAdvancesByTheExtent) {
  Canvas canvas(100, 20);
  SetTextAlign(canvas.dc(), TA_UPDATECP);
  MoveToEx(canvas.dc(), 3, 2, nullptr);
  TextOut(canvas.dc(), 50, 50, "abc");
  SIZE size;
  GetTextExtentPoint32(canvas.dc(), "abc", &size);
  POINT now;
  MoveToEx(canvas.dc(), 0, 0, &now);
  EXPECT_EQ(now.x, 3 + size.cx);
  EXPECT_EQ(now.y, 2);
}

// ---- DrawText ------------------------------------------------------------

class DrawTextTest : public ::testing::Test {
 protected:
  DrawTextTest() : canvas_(200, 120), font_(canvas_.dc(), MakeFont("Tahoma", -13)) {
    SetBkMode(canvas_.dc(), TRANSPARENT);
    GetTextMetrics(canvas_.dc(), &tm_);
  }
  std::vector<COLORREF> Draw(const std::string& text, RECT r, unsigned format) {
    canvas_.Fill(kWhite);
    DrawText(canvas_.dc(), text, &r, format);
    return canvas_.Pixels();
  }
  RECT Measure(const std::string& text, RECT r, unsigned format) {
    DrawText(canvas_.dc(), text, &r, format | DT_CALCRECT);
    return r;
  }
  int Width(const std::string& text) {
    SIZE s;
    GetTextExtentPoint32(canvas_.dc(), text, &s);
    return s.cx;
  }

  Canvas canvas_;
  Selected font_;
  TEXTMETRIC tm_;
};

TEST_F(DrawTextTest, CalcRectAgreesWithWhatIsDrawn) {
  const std::string text = "The quick brown fox jumps over the lazy dog again and again";
  for (unsigned format : {0u, unsigned(DT_WORDBREAK), unsigned(DT_WORDBREAK | DT_CENTER),
                          unsigned(DT_SINGLELINE | DT_RIGHT), unsigned(DT_WORDBREAK | DT_RIGHT)}) {
    const RECT r{10, 10, 130, 110};
    const RECT calc = Measure(text, r, format);
    EXPECT_EQ(calc.left, 10);
    EXPECT_EQ(calc.top, 10);
    EXPECT_EQ((calc.bottom - calc.top) % tm_.tmHeight, 0);
    // Drawn into the measured rectangle, the text is the same clipped and
    // unclipped inside it, and its ink stays within it but for a pixel of
    // glyph overhang at the sides.
    const std::vector<COLORREF> clipped = Draw(text, calc, format);
    const std::vector<COLORREF> unclipped = Draw(text, calc, format | DT_NOCLIP);
    const RECT ink = canvas_.InkBox();
    for (int y = std::max(0, int(calc.top)); y < std::min(120, int(calc.bottom)); ++y) {
      for (int x = std::max(0, int(calc.left)); x < std::min(200, int(calc.right)); ++x) {
        const size_t i = static_cast<size_t>(y) * 200 + x;
        ASSERT_EQ(clipped[i], unclipped[i]) << "format " << format << " at " << x << "," << y;
      }
    }
    EXPECT_GE(ink.top, calc.top);
    EXPECT_LE(ink.bottom, calc.bottom);
    EXPECT_GE(ink.left, calc.left - 1);
    EXPECT_LE(ink.right, std::min<int>(calc.right + 1, 200));
  }
}

TEST_F(DrawTextTest, WordBreakMakesLinesThatFit) {
  const RECT r{0, 0, 80, 120};
  const RECT calc = Measure("alpha beta gamma delta epsilon", r, DT_WORDBREAK);
  const int lines = (calc.bottom - calc.top) / tm_.tmHeight;
  EXPECT_GE(lines, 2);
  EXPECT_LE(calc.right - calc.left, 80);
  const RECT one = Measure("alpha beta gamma delta epsilon", r, DT_SINGLELINE);
  EXPECT_EQ(one.bottom - one.top, tm_.tmHeight);
  // A word wider than the line stays whole on a line of its own.
  const RECT longWord = Measure("a Supercalifragilistic b", {0, 0, 40, 100}, DT_WORDBREAK);
  EXPECT_EQ(longWord.bottom - longWord.top, 3 * tm_.tmHeight);
  EXPECT_EQ(longWord.right - longWord.left, Width("Supercalifragilistic"));
  // As an edit control shows it, the long word is broken where the line
  // ends, and no line is wider than the rectangle.
  const RECT broken = Measure("a Supercalifragilistic b", {0, 0, 40, 100}, DT_WORDBREAK | DT_EDITCONTROL);
  EXPECT_LE(broken.right - broken.left, 40);
  EXPECT_GE(broken.bottom - broken.top, (1 + Width("Supercalifragilistic") / 40) * tm_.tmHeight);
  // Hard line breaks count with or without word breaking.
  EXPECT_EQ(Measure("one\r\ntwo\nthree", r, 0).bottom, 3 * tm_.tmHeight);
}

TEST_F(DrawTextTest, ReturnsHeightOrOffsetOfTheTextBottom) {
  RECT r{0, 0, 100, 50};
  EXPECT_EQ(DrawText(canvas_.dc(), "x", &r, DT_SINGLELINE), tm_.tmHeight);
  const int centred = DrawText(canvas_.dc(), "x", &r, DT_SINGLELINE | DT_VCENTER);
  EXPECT_EQ(centred, (50 - tm_.tmHeight) / 2 + tm_.tmHeight);
  EXPECT_EQ(DrawText(canvas_.dc(), "x", &r, DT_SINGLELINE | DT_BOTTOM), 50);
}

// Searches the shortened text the ellipsis produced among the candidates.
TEST_F(DrawTextTest, EndEllipsisKeepsTheLongestFittingStart) {
  const std::string text = "A rather long caption that does not fit";
  const RECT r{0, 0, 90, 20};
  const RECT calc = Measure(text, r, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(calc.right, 90);
  const std::vector<COLORREF> drawn = Draw(text, r, DT_SINGLELINE | DT_END_ELLIPSIS);
  std::string kept;
  for (size_t n = text.size(); n > 0; --n) {
    if (Width(text.substr(0, n) + "...") <= 90) {
      kept = text.substr(0, n) + "...";
      break;
    }
  }
  ASSERT_FALSE(kept.empty());
  EXPECT_EQ(drawn, Draw(kept, r, DT_SINGLELINE | DT_NOPREFIX));
  // Text that fits is left alone.
  EXPECT_EQ(Draw("Short", r, DT_SINGLELINE | DT_END_ELLIPSIS), Draw("Short", r, DT_SINGLELINE));
}

TEST_F(DrawTextTest, PathEllipsisKeepsTheLastElement) {
  struct Case {
    std::string path;
    std::string tail;
  };
  // A folder's trailing separator stays with its name.
  for (const Case& c : {Case{"/home/user/Videos/holiday/2009/summer/clip-0001.avi", "/clip-0001.avi"},
                        Case{"/home/user/Videos/holiday/2009/summer/Clipshift/", "/Clipshift/"},
                        Case{"C:\\Users\\someone\\Documents\\Holiday films\\Clipshift\\", "\\Clipshift\\"}}) {
    const RECT r{0, 0, 150, 20};
    const std::vector<COLORREF> drawn = Draw(c.path, r, DT_SINGLELINE | DT_PATH_ELLIPSIS);
    std::string kept;
    for (size_t n = c.path.size() - c.tail.size(); n > 0; --n) {
      if (Width(c.path.substr(0, n) + "..." + c.tail) <= 150) {
        kept = c.path.substr(0, n) + "..." + c.tail;
        break;
      }
    }
    ASSERT_FALSE(kept.empty()) << c.path;
    EXPECT_EQ(drawn, Draw(kept, r, DT_SINGLELINE)) << c.path;
    EXPECT_LE(Measure(c.path, r, DT_SINGLELINE | DT_PATH_ELLIPSIS).right, 150) << c.path;
  }
}

TEST_F(DrawTextTest, PrefixMarksUnderlineOneCharacterAndDoubleMarksShowOne) {
  const RECT r{0, 0, 200, 30};
  const std::vector<COLORREF> marked = Draw("&File", r, DT_SINGLELINE);
  const std::vector<COLORREF> plain = Draw("File", r, DT_SINGLELINE);
  EXPECT_NE(marked, plain);
  // The difference is an underline: below the baseline, under the F only.
  const int fWidth = Width("F");
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 200; ++x) {
      const size_t i = static_cast<size_t>(y) * 200 + x;
      if (marked[i] == plain[i]) continue;
      EXPECT_GE(y, tm_.tmAscent) << x << "," << y;
      EXPECT_LE(x, fWidth + 1) << x << "," << y;
    }
  }
  EXPECT_EQ(Draw("Fish && Chips", r, DT_SINGLELINE), Draw("Fish & Chips", r, DT_SINGLELINE | DT_NOPREFIX));
  EXPECT_EQ(Draw("&File", r, DT_SINGLELINE | DT_HIDEPREFIX), plain);
  EXPECT_NE(Draw("&File", r, DT_SINGLELINE | DT_NOPREFIX), plain) << "the mark itself is shown";
  EXPECT_EQ(Measure("&File", r, DT_SINGLELINE).right, Width("File"));
}

TEST_F(DrawTextTest, AlignmentFlagsPlaceTheLine) {
  const RECT r{0, 0, 200, 60};
  const int w = Width("Middle");
  Draw("Middle", r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  const RECT centred = canvas_.InkBox();
  EXPECT_NEAR((centred.left + centred.right) / 2, 100, 2);
  EXPECT_NEAR((centred.top + centred.bottom) / 2, 30, tm_.tmHeight / 2);
  Draw("Middle", r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
  const RECT right = canvas_.InkBox();
  EXPECT_LE(right.right, 200);
  EXPECT_GE(right.left, 200 - w - 1);
  EXPECT_LE(right.bottom, 60);
  EXPECT_GT(right.top, 60 - tm_.tmHeight);
}

TEST_F(DrawTextTest, ExpandTabsUsesStopsOfEightAverageCharacters) {
  const RECT r{0, 0, 200, 20};
  const RECT calc = Measure("a\tb", r, DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_EQ(calc.right, 8 * tm_.tmAveCharWidth + Width("b"));
}

TEST_F(DrawTextTest, RightToLeftReadingDrawsTheSameExtent) {
  const RECT r{0, 0, 200, 20};
  const RECT ltr = Measure("abc def", r, DT_SINGLELINE);
  const RECT rtl = Measure("abc def", r, DT_SINGLELINE | DT_RTLREADING);
  EXPECT_EQ(ltr.right, rtl.right);
  Draw("abc def", r, DT_SINGLELINE | DT_RTLREADING);
  EXPECT_GT(canvas_.Count(kBlack), 0);
}

TEST_F(DrawTextTest, EmptyTextDrawsNothing) {
  RECT r{5, 5, 50, 50};
  EXPECT_EQ(DrawText(canvas_.dc(), "", &r, DT_CALCRECT), 0);
  EXPECT_EQ(r.right, 5);
  EXPECT_EQ(r.bottom, 5);
}

}  // namespace
}  // namespace qelo::test
