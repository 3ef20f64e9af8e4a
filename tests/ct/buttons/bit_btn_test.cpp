// The push button with a picture: the cell count a strip tells, the stock
// kinds and when they stop holding, what a form keeps of them, where
// picture and caption go in each layout, and which cell or image shows.
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <set>
#include <string>

#include "controls_fixture.h"
#include "ct_button_bitbtn.h"
#include "ct_button_kind_glyphs.h"
#include "indexed_bmp.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"
#include "window_pixel.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;

// A strip of square cells of one colour each.
std::unique_ptr<TBitmap> Strip(std::initializer_list<TColor> colours, int size = 16) {
  auto strip = std::make_unique<TBitmap>(static_cast<int>(colours.size()) * size, size);
  int x = 0;
  for (TColor c : colours) {
    strip->Canvas()->Brush()->SetColor(c);
    strip->Canvas()->FillRect(Rect(x, 0, x + size, size));
    x += size;
  }
  strip->SetTransparentColor(clOlive);
  return strip;
}

class BitBtnTest : public vcl::test::FormTest {
 protected:
  TCtBitBtn* NewButton(int width = 75, int height = 25) {
    auto* b = new TCtBitBtn(form);
    b->SetParent(form);
    b->SetBounds(20, 20, width, height);
    return b;
  }
  win::COLORREF Pixel(TCtBitBtn& b, int x, int y) {
    b.Repaint();
    script::Pump();
    return qelo::test::WindowPixel(form->Handle(), b.Left() + x, b.Top() + y);
  }
  win::COLORREF GlyphCentre(TCtBitBtn& b) {
    TRect r;
    b.GetGlyphRect(r);
    return Pixel(b, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
};

TEST_F(BitBtnTest, StripOfSquareCellsTellsHowManyCellsItHas) {
  struct Case {
    int width, height;
    int before, expected;
  } cases[] = {
      {64, 16, 1, 4}, {32, 16, 1, 2}, {16, 16, 3, 1}, {48, 16, 1, 3},
      {80, 16, 3, 1},  // five cells are outside the range
      {30, 16, 3, 3},  // not whole cells: left as it was
      {16, 0, 2, 2},   // no height: left as it was
  };
  TCtBitBtn* b = NewButton();
  for (const Case& c : cases) {
    b->SetNumGlyphs(c.before);
    TBitmap glyph(c.width, c.height);
    b->SetGlyph(&glyph);
    EXPECT_EQ(b->NumGlyphs(), c.expected) << c.width << " by " << c.height;
  }
  b->SetNumGlyphs(5);
  b->SetNumGlyphs(0);
  EXPECT_EQ(b->NumGlyphs(), 2) << "outside 1 to 4 is ignored";
  b->SetMargin(-1);
  b->SetMargin(-2);
  EXPECT_EQ(b->Margin(), -1) << "-1 is taken, less is ignored";
}

TEST_F(BitBtnTest, EveryKindSetsItsRolesCaptionResultAndGlyphAndReadsBack) {
  struct Case {
    TBitBtnKind kind;
    const char* caption;
    TModalResult result;
    bool isDefault, cancel;
  } cases[] = {
      {bkOK, "OK", mrOk, true, false},         {bkCancel, "Cancel", mrCancel, false, true},
      {bkHelp, "&Help", mrNone, false, false},  {bkYes, "&Yes", mrYes, true, false},
      {bkNo, "&No", mrNo, false, true},         {bkClose, "&Close", mrNone, false, false},
      {bkAbort, "Abort", mrAbort, false, false}, {bkRetry, "&Retry", mrRetry, false, false},
      {bkIgnore, "&Ignore", mrIgnore, false, false}, {bkAll, "&All", mrAll, false, false},
  };
  TCtBitBtn* b = NewButton();
  for (const Case& c : cases) {
    b->SetKind(c.kind);
    const std::string name = kBitBtnKindInfo.NameOf(c.kind);
    EXPECT_EQ(b->Kind(), c.kind) << name;
    EXPECT_EQ(b->Caption(), c.caption) << name;
    EXPECT_EQ(b->ModalResult(), c.result) << name;
    EXPECT_EQ(b->Default(), c.isDefault) << name;
    EXPECT_EQ(b->Cancel(), c.cancel) << name;
    EXPECT_EQ(b->NumGlyphs(), 2) << name;
    EXPECT_EQ(b->Glyph()->Width(), 2 * kKindGlyphSize) << name;
    EXPECT_EQ(GetEnumProp(*b, "Kind"), name);
  }
}

TEST_F(BitBtnTest, KindTurnsCustomOnceOneOfItsValuesChanges) {
  TCtBitBtn* b = NewButton();
  b->SetKind(bkOK);
  b->SetModalResult(mrCancel);
  EXPECT_EQ(b->Kind(), bkCustom);
  EXPECT_EQ(b->Caption(), "OK") << "the rest stays as the kind left it";

  b->SetKind(bkOK);
  EXPECT_EQ(b->ModalResult(), mrOk);
  b->SetDefault(false);
  EXPECT_EQ(b->Kind(), bkCustom);

  b->SetKind(bkCancel);
  const auto own = Strip({clRed});
  b->SetGlyph(own.get());
  EXPECT_EQ(b->Kind(), bkCustom) << "a glyph of the user's own";
  EXPECT_EQ(b->NumGlyphs(), 1);

  b->SetKind(bkNo);
  b->SetCaption("Nope");
  EXPECT_EQ(b->Kind(), bkNo) << "the caption may differ";
}

TEST_F(BitBtnTest, FormKeepsOnlyWhatTheKindDoesNotSupply) {
  TCtBitBtn* b = NewButton();
  b->SetKind(bkOK);
  for (const char* name : {"Default", "Cancel", "ModalResult", "Glyph", "NumGlyphs", "Caption"})
    EXPECT_FALSE(IsStoredProp(*b, name)) << name;
  b->SetCaption("Accept");
  EXPECT_TRUE(IsStoredProp(*b, "Caption"));
  b->SetKind(bkCustom);
  for (const char* name : {"Default", "ModalResult", "Glyph", "NumGlyphs"}) EXPECT_TRUE(IsStoredProp(*b, name)) << name;
}

TEST(BitBtnForm, AKindReadFromAFormKeepsTheCaptionTheFormGives) {
  Application()->Initialize();
  RegisterControlClasses();
  RegisterCtBitBtnClasses();
  auto* f = new TForm(nullptr);
  ReadComponentText(*f,
                    "object frmKinds: TForm\n"
                    "  object btnCaptionFirst: TCtBitBtn\n"
                    "    Caption = 'Accept'\n"
                    "    Kind = bkOK\n"
                    "  end\n"
                    "  object btnKindFirst: TCtBitBtn\n"
                    "    Kind = bkOK\n"
                    "    Caption = 'Accept'\n"
                    "  end\n"
                    "  object btnPlain: TCtBitBtn\n"
                    "    Kind = bkCancel\n"
                    "  end\n"
                    "end\n",
                    "kinds.form");
  for (const char* name : {"btnCaptionFirst", "btnKindFirst"}) {
    auto& b = script::Find<TCtBitBtn>(*f, name);
    EXPECT_EQ(b.Caption(), "Accept") << name;
    EXPECT_EQ(b.Kind(), bkOK) << name;
    EXPECT_TRUE(b.Default()) << name;
  }
  EXPECT_EQ(script::Find<TCtBitBtn>(*f, "btnPlain").Caption(), "Cancel");
  f->Free();
}

TEST_F(BitBtnTest, ClickGivesTheFormTheKindsModalResult) {
  TCtBitBtn* b = NewButton();
  b->SetKind(bkCancel);
  script::Click(*b);
  EXPECT_EQ(form->ModalResult(), mrCancel);
}

TEST_F(BitBtnTest, PictureAndCaptionPlacesForEachLayoutWithAMargin) {
  struct Case {
    TButtonLayout layout;
    int height;
    TRect glyph;    // 16 by 16
    TRect caption;  // TCtButton's is the client area less 5 on each side
  } cases[] = {
      {blGlyphLeft, 25, Rect(7, 5, 23, 21), Rect(27, 5, 70, 20)},
      {blGlyphRight, 25, Rect(52, 5, 68, 21), Rect(5, 5, 48, 20)},
      {blGlyphTop, 60, Rect(30, 7, 46, 23), Rect(5, 27, 70, 55)},
      {blGlyphBottom, 60, Rect(30, 37, 46, 53), Rect(5, 5, 70, 33)},
  };
  const auto glyph = Strip({clRed, clBlue});
  for (const Case& c : cases) {
    TCtBitBtn* b = NewButton(75, c.height);
    b->SetGlyph(glyph.get());
    b->SetLayout(c.layout);
    TRect g, caption;
    b->GetGlyphRect(g);
    b->GetCaptionRect(caption);
    const std::string name = kButtonLayoutInfo.NameOf(c.layout);
    EXPECT_TRUE(win::EqualRect(&g, &c.glyph)) << name << " glyph " << g.left << "," << g.top;
    EXPECT_TRUE(win::EqualRect(&caption, &c.caption))
        << name << " caption " << caption.left << "," << caption.top << "," << caption.right << "," << caption.bottom;
    b->Free();
  }
}

TEST_F(BitBtnTest, WithoutAMarginPictureAndCaptionAreCentredTogether) {
  const auto glyph = Strip({clRed, clBlue});
  TCtBitBtn* b = NewButton(120, 25);
  b->SetCaption("OK");
  b->SetGlyph(glyph.get());
  b->SetMargin(-1);
  TRect g, caption;
  b->GetGlyphRect(g);
  b->GetCaptionRect(caption);
  EXPECT_EQ(caption.left, 5 + 16 + 4 - 1);
  TBitmap scratch(1, 1);
  scratch.Canvas()->Font()->Assign(b->Font());
  const int tw = scratch.Canvas()->TextWidth("OK");
  const int textLeft = caption.left + (RectWidth(caption) - tw) / 2;
  EXPECT_EQ(g.right + b->Spacing(), textLeft) << "the picture sits the spacing before the text";
  const int groupLeft = g.left, groupRight = textLeft + tw;
  EXPECT_LE(std::abs(groupLeft - (120 - groupRight)), 4) << "the group is centred";

  // Stacked: picture, spacing and caption centred in the height.
  b->SetBounds(20, 20, 120, 80);
  b->SetLayout(blGlyphTop);
  b->GetGlyphRect(g);
  b->GetCaptionRect(caption);
  EXPECT_EQ(caption.top, g.bottom + b->Spacing());
  EXPECT_LE(std::abs(g.top - (80 - caption.bottom)), 1);
  b->SetLayout(blGlyphBottom);
  b->GetGlyphRect(g);
  b->GetCaptionRect(caption);
  EXPECT_EQ(g.top, caption.bottom + b->Spacing());
  EXPECT_LE(std::abs(caption.top - (80 - g.bottom)), 1);
}

TEST_F(BitBtnTest, RightToLeftPutsALeftGlyphOnTheRight) {
  const auto glyph = Strip({clRed});
  TCtBitBtn* b = NewButton();
  b->SetGlyph(glyph.get());
  b->SetBiDiMode(bdRightToLeft);
  TRect g;
  b->GetGlyphRect(g);
  EXPECT_EQ(g.right, 75 - 5 - 2);
}

TEST_F(BitBtnTest, CellOfTheStateShows) {
  TCtBitBtn* b = NewButton();
  const auto two = Strip({clRed, clBlue});
  b->SetGlyph(two.get());
  EXPECT_EQ(GlyphCentre(*b), ColorToRGB(clRed));
  b->SetEnabled(false);
  EXPECT_EQ(GlyphCentre(*b), ColorToRGB(clBlue)) << "disabled: cell 1";
  b->SetEnabled(true);

  // Held down, a two-cell glyph still shows cell 0; three cells show cell 2.
  const TPoint centre = b->ClientToScreen(Point(37, 12));
  win::InjectMouseMove({centre.x, centre.y});
  win::InjectMouseButton(win::MouseButton::Left, true, {centre.x, centre.y});
  script::Pump();
  ASSERT_TRUE(b->Pressed());
  EXPECT_EQ(GlyphCentre(*b), ColorToRGB(clRed));
  const auto three = Strip({clRed, clBlue, clYellow});
  b->SetGlyph(three.get());
  EXPECT_EQ(GlyphCentre(*b), ColorToRGB(clYellow)) << "pressed: cell 2";
  win::InjectMouseButton(win::MouseButton::Left, false, {centre.x, centre.y});
  script::Pump();

  const auto four = Strip({clRed, clBlue, clYellow, clAqua});
  b->SetGlyph(four.get());
  b->SetGroupIndex(1);
  b->SetDown(true);
  EXPECT_EQ(GlyphCentre(*b), ColorToRGB(clAqua)) << "stayed down: cell 3";
}

class BitBtnImageTest : public BitBtnTest {
 protected:
  void SetUp() override {
    BitBtnTest::SetUp();
    images = new TImageList(form);
    for (TColor c : {clRed, clBlue}) {
      const auto cell = Strip({c});
      images->Add(cell.get(), nullptr);
    }
  }
  TImageList* images = nullptr;
};

TEST_F(BitBtnImageTest, ListImageShowsOnACustomButtonOnlyAndItsDisabledImageWhenDisabled) {
  TCtBitBtn* b = NewButton();
  b->SetImages(images);
  b->SetImageIndex(0);
  EXPECT_EQ(GlyphCentre(*b), ColorToRGB(clRed));
  b->SetDisabledIndex(1);
  b->SetEnabled(false);
  EXPECT_EQ(GlyphCentre(*b), ColorToRGB(clBlue));
  b->SetEnabled(true);

  b->SetKind(bkOK);
  EXPECT_NE(GlyphCentre(*b), ColorToRGB(clRed)) << "the kind's glyph, not the image";
  TSize size = b->GetGlyphSize();
  EXPECT_EQ(size.cx, kKindGlyphSize);

  images->Free();
  EXPECT_EQ(b->Images(), nullptr);
  b->Repaint();
}

TEST_F(BitBtnImageTest, ActionGivesItsImageIndex) {
  auto* action = new TAction(form);
  action->SetImageIndex(1);
  TCtBitBtn* b = NewButton();
  b->SetImages(images);
  b->SetAction(action);
  EXPECT_EQ(b->ImageIndex(), 1);
  action->SetImageIndex(0);
  EXPECT_EQ(b->ImageIndex(), 0);
}

TEST(KindGlyphs, EachKindHasAPictureOfItsOwnInTwoCellsMadeOnce) {
  std::set<std::string> pictures;
  for (int k = bkOK; k <= bkAll; ++k) {
    TBitmap* strip = LoadKindGlyph(static_cast<TBitBtnKind>(k));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip, LoadKindGlyph(static_cast<TBitBtnKind>(k))) << "cached";
    ASSERT_EQ(strip->Width(), 2 * kKindGlyphSize);
    ASSERT_EQ(strip->Height(), kKindGlyphSize);
    std::string up, greyed;
    int drawn = 0;
    for (int y = 0; y < kKindGlyphSize; ++y)
      for (int x = 0; x < kKindGlyphSize; ++x) {
        const TColor p = strip->Canvas()->Pixels(x, y);
        up += std::to_string(p) + ",";
        if (p != clOlive) ++drawn;
        greyed += strip->Canvas()->Pixels(kKindGlyphSize + x, y) != clOlive ? '#' : '.';
      }
    EXPECT_GT(drawn, 20) << kBitBtnKindInfo.NameOf(k);
    EXPECT_NE(greyed.find('#'), std::string::npos) << "a greyed cell for " << kBitBtnKindInfo.NameOf(k);
    pictures.insert(up);
  }
  EXPECT_EQ(pictures.size(), 10u) << "no two kinds look the same";
  EXPECT_EQ(LoadKindGlyph(bkCustom), nullptr);
}

// The kind's glyph and a button that names the picture (as the folder
// dialog's OK and Cancel do) show the same pixels.
TEST_F(BitBtnTest, KindGlyphsAreTheLibrarysPicturesThatButtonsMayNameToo) {
  TCtBitBtn* named = NewButton();
  for (int k = bkOK; k <= bkAll; ++k) {
    const auto kind = static_cast<TBitBtnKind>(k);
    const std::string name = KindGlyphResourceName(kind);
    std::string upper = kBitBtnKindInfo.NameOf(k).substr(2);
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(name, "CTCOMMON_" + upper);
    named->SetGlyphName(name);
    EXPECT_EQ(named->NumGlyphs(), 2) << name << ": the picture and its greyed form";
    TBitmap* strip = LoadKindGlyph(kind);
    ASSERT_EQ(named->Glyph()->Width(), strip->Width()) << name;
    int differing = 0;
    for (int y = 0; y < strip->Height(); ++y)
      for (int x = 0; x < strip->Width(); ++x)
        differing += named->Glyph()->Canvas()->Pixels(x, y) != strip->Canvas()->Pixels(x, y);
    EXPECT_EQ(differing, 0) << name;
  }
  EXPECT_EQ(KindGlyphResourceName(bkCustom), "");
}

TEST_F(BitBtnTest, PaletteIsTheGlyphsWhileItHasOne) {
  TCtBitBtn* b = NewButton();
  EXPECT_EQ(b->GetPalette(), nullptr) << "no glyph";
  const std::vector<uint8_t> file = IndexedBmp(32, 16, {clTeal, clMaroon, clOlive});
  TBitmap indexed;
  indexed.LoadFromMemory(file.data(), file.size());
  b->SetGlyph(&indexed);
  ASSERT_NE(b->GetPalette(), nullptr);
  std::vector<win::PALETTEENTRY> entries(3);
  ASSERT_EQ(win::GetPaletteEntries(b->GetPalette(), 0, 3, entries.data()), 3u);
  EXPECT_EQ(win::RGB(entries[1].peRed, entries[1].peGreen, entries[1].peBlue), ColorToRGB(clMaroon));
  b->SetKind(bkOK);
  EXPECT_EQ(b->GetPalette(), nullptr) << "the kind glyphs have many colours";
  b->SetGlyph(&indexed);
  b->SetGlyph(nullptr);
  EXPECT_EQ(b->GetPalette(), nullptr) << "no glyph, no palette";
}

TEST_F(BitBtnTest, ScalingGrowsMarginAndSpacingWithTheButtonButKeepsACentringMargin) {
  struct Case {
    int margin, spacing;
    int expectedMargin, expectedSpacing;
  } cases[] = {{4, 6, 6, 9}, {-1, 3, -1, 5}, {0, 0, 0, 0}};
  for (const Case& c : cases) {
    TCtBitBtn* b = NewButton(80, 24);
    b->SetMargin(c.margin);
    b->SetSpacing(c.spacing);
    b->ScaleBy(3, 2);
    EXPECT_EQ(b->Margin(), c.expectedMargin) << "margin " << c.margin;
    EXPECT_EQ(b->Spacing(), c.expectedSpacing) << "spacing " << c.spacing;
    const TRect bounds = b->BoundsRect();
    const TRect expected = Rect(30, 30, 150, 66);
    EXPECT_TRUE(win::EqualRect(&bounds, &expected)) << "the button's edges scale with it";
  }
}

}  // namespace
}  // namespace qelo::ct::test
