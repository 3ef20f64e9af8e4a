#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "canvas.h"
#include "vcl/form_reader.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/graphics.h"

namespace qelo::vcl {
namespace {

using qelo::test::Canvas;
using win::RGB;

// A canvas drawing on a white 32 x 24 memory bitmap.
struct CanvasFixture : ::testing::Test {
  Canvas sheet{32, 24};
  TCanvas canvas;
  CanvasFixture() { canvas.SetHandle(sheet.dc()); }
  ~CanvasFixture() override { canvas.SetHandle(nullptr); }
};

bool IsLiveFont(win::HFONT font) { return static_cast<win::HFONT>(win::HGDIOBJ(font)) != nullptr; }
bool IsLivePen(win::HPEN pen) { return static_cast<win::HPEN>(win::HGDIOBJ(pen)) != nullptr; }

TEST_F(CanvasFixture, RectangleHasPenOutlineAndBrushInterior) {
  canvas.Pen()->SetColor(clRed);
  canvas.Brush()->SetColor(clBlue);
  canvas.Rectangle(2, 2, 10, 8);
  EXPECT_EQ(sheet.At(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(sheet.At(9, 7), RGB(255, 0, 0));
  EXPECT_EQ(sheet.At(5, 5), RGB(0, 0, 255));
  EXPECT_EQ(sheet.At(10, 8), RGB(255, 255, 255));

  canvas.Brush()->SetStyle(bsClear);
  canvas.Rectangle(12, 2, 20, 8);
  EXPECT_EQ(sheet.At(15, 5), RGB(255, 255, 255)) << "a clear brush fills nothing";
  EXPECT_EQ(sheet.At(12, 4), RGB(255, 0, 0));
}

TEST_F(CanvasFixture, FillAndFrameUseOnlyTheBrush) {
  canvas.Pen()->SetColor(clRed);
  canvas.Brush()->SetColor(clLime);
  canvas.FillRect(Rect(1, 1, 5, 4));
  EXPECT_EQ(sheet.InkBox().left, 1);
  EXPECT_EQ(sheet.Count(RGB(0, 255, 0)), 12);
  canvas.Brush()->SetColor(clBlue);
  canvas.FrameRect(Rect(10, 10, 14, 14));
  EXPECT_EQ(sheet.Count(RGB(0, 0, 255)), 12);
  EXPECT_EQ(sheet.At(11, 11), RGB(255, 255, 255));
  EXPECT_EQ(sheet.Count(RGB(255, 0, 0)), 0);
}

TEST_F(CanvasFixture, LinesPolygonsAndPixels) {
  canvas.Pen()->SetColor(clBlack);
  canvas.MoveTo(0, 3);
  canvas.LineTo(10, 3);
  EXPECT_EQ(sheet.Count(RGB(0, 0, 0)), 10) << "the end pixel is left out";
  EXPECT_EQ(canvas.PenPos().x, 10);

  canvas.Pen()->SetColor(clBlue);
  canvas.Brush()->SetColor(clBlue);
  const TPoint triangle[] = {{20, 10}, {30, 10}, {20, 20}};
  canvas.Polygon(triangle);
  EXPECT_EQ(sheet.At(22, 12), RGB(0, 0, 255));
  EXPECT_EQ(sheet.At(29, 19), RGB(255, 255, 255));

  canvas.SetPixel(1, 20, clBtnFace);
  EXPECT_EQ(canvas.Pixels(1, 20), ColorToRGB(clBtnFace));
  EXPECT_EQ(canvas.Pixels(31, 23), RGB(255, 255, 255));
}

TEST_F(CanvasFixture, ChangedPenAndBrushReachTheNextDrawing) {
  canvas.Pen()->SetColor(clRed);
  canvas.MoveTo(0, 0);
  canvas.LineTo(5, 0);
  const win::HPEN first = canvas.Pen()->Handle();
  canvas.Pen()->SetColor(clLime);
  EXPECT_FALSE(IsLivePen(first)) << "the stale pen was taken out of the context and deleted";
  canvas.MoveTo(0, 1);
  canvas.LineTo(5, 1);
  EXPECT_EQ(sheet.At(2, 0), RGB(255, 0, 0));
  EXPECT_EQ(sheet.At(2, 1), RGB(0, 255, 0));

  canvas.Pen()->SetMode(pmNot);
  canvas.MoveTo(0, 1);
  canvas.LineTo(5, 1);
  EXPECT_EQ(sheet.At(2, 1), RGB(255, 0, 255)) << "the pen mode reaches the context";

  canvas.Brush()->SetColor(clRed);
  canvas.FillRect(Rect(0, 5, 3, 8));
  canvas.Brush()->SetColor(clBlue);
  canvas.FillRect(Rect(0, 5, 3, 8));
  EXPECT_EQ(sheet.At(1, 6), RGB(0, 0, 255));
}

TEST_F(CanvasFixture, FontHandleIsRemadeAfterAChange) {
  canvas.TextOut(0, 0, "x");
  const win::HFONT first = canvas.Font()->Handle();
  const int narrow = canvas.TextWidth("WWWW");
  canvas.Font()->SetSize(16);
  EXPECT_FALSE(IsLiveFont(first)) << "the font selected for drawing was released and deleted";
  EXPECT_GT(canvas.TextWidth("WWWW"), narrow);
  EXPECT_GT(canvas.TextHeight("W"), 16);

  const win::HFONT big = canvas.Font()->Handle();
  canvas.Font()->SetColor(clRed);
  EXPECT_EQ(canvas.Font()->Handle(), big) << "a colour change keeps the handle";
}

TEST_F(CanvasFixture, TextInFontColourOnBrushOrClear) {
  canvas.Font()->SetColor(clRed);
  canvas.Font()->SetSize(12);
  canvas.Brush()->SetColor(clYellow);
  canvas.TextOut(1, 1, "H");
  const TSize extent = canvas.TextExtent("H");
  EXPECT_EQ(sheet.At(1, 1), RGB(255, 255, 0)) << "an opaque background of the brush colour";
  EXPECT_GT(sheet.Count(RGB(255, 0, 0)) + sheet.Count(RGB(255, 255, 0)), extent.cx * extent.cy / 2);

  sheet.Fill(RGB(255, 255, 255));
  canvas.Brush()->SetStyle(bsClear);
  canvas.TextOut(1, 1, "H");
  EXPECT_EQ(sheet.Count(RGB(255, 255, 0)), 0);
  EXPECT_NE(sheet.InkBox().right, 0);

  sheet.Fill(RGB(255, 255, 255));
  canvas.Brush()->SetColor(clYellow);
  canvas.TextRect(Rect(0, 0, 4, 30), 0, 0, "HHHHHH");
  EXPECT_LE(sheet.InkBox().right, 4) << "text is clipped to its rectangle";
}

TEST_F(CanvasFixture, TheHandleComesWithFontAndBrushSelected) {
  canvas.Font()->SetSize(12);
  canvas.Font()->SetColor(clBlue);
  canvas.Brush()->SetStyle(bsClear);
  win::RECT r{0, 0, 32, 24};
  win::DrawText(canvas.Handle(), "H", &r, win::DT_SINGLELINE);
  EXPECT_GT(sheet.Count(RGB(0, 0, 255)), 0) << "drawn in the font's colour";
  EXPECT_EQ(sheet.Count(RGB(0, 0, 0)), 0);
  const int blue = sheet.Count(RGB(255, 255, 255));
  canvas.Font()->SetColor(clRed);
  win::DrawText(canvas.Handle(), "H", &r, win::DT_SINGLELINE);
  EXPECT_GT(sheet.Count(RGB(255, 0, 0)), 0) << "a changed font reaches the next direct drawing";
  EXPECT_EQ(sheet.Count(RGB(255, 255, 255)), blue) << "no background: the brush is clear";
}

TEST_F(CanvasFixture, CopyRectStretchesWithTheCopyMode) {
  Canvas other{8, 8, RGB(0, 0, 255)};
  TCanvas source;
  source.SetHandle(other.dc());
  canvas.CopyRect(Rect(0, 0, 16, 16), source, Rect(0, 0, 8, 8));
  EXPECT_EQ(sheet.Count(RGB(0, 0, 255)), 256);
  canvas.SetCopyMode(win::DSTINVERT);
  canvas.CopyRect(Rect(0, 0, 1, 1), source, Rect(0, 0, 1, 1));
  EXPECT_EQ(sheet.At(0, 0), RGB(255, 255, 0));
  source.SetHandle(nullptr);
}

TEST_F(CanvasFixture, DrawingCallsAreFramedByChangeEvents) {
  std::string events;
  canvas.OnChanging = [&](TObject*) { events += "<"; };
  canvas.OnChange = [&](TObject*) { events += ">"; };
  const std::function<void()> calls[] = {
      [&] { canvas.LineTo(3, 3); },
      [&] { canvas.Rectangle(0, 0, 2, 2); },
      [&] { canvas.FillRect(Rect(0, 0, 2, 2)); },
      [&] { canvas.TextOut(0, 0, "a"); },
      [&] { canvas.SetPixel(0, 0, clRed); },
  };
  for (const auto& call : calls) {
    events.clear();
    call();
    EXPECT_EQ(events, "<>");
  }
  events.clear();
  canvas.MoveTo(1, 1);
  canvas.TextWidth("abc");
  EXPECT_EQ(events, "") << "moving and measuring change nothing";
}

TEST(CanvasWithoutContext, RefusesToDraw) {
  TCanvas canvas;
  EXPECT_THROW(canvas.LineTo(1, 1), EInvalidOperation);
  EXPECT_THROW(canvas.Handle(), EInvalidOperation);
  EXPECT_FALSE(canvas.HandleAllocated());
}

TEST(CanvasLock, HoldsOutOtherThreads) {
  TCanvas canvas;
  canvas.Lock();
  canvas.Lock();
  EXPECT_EQ(canvas.LockCount(), 2);
  bool taken = true;
  std::thread([&] { taken = canvas.TryLock(); }).join();
  EXPECT_FALSE(taken);
  canvas.Unlock();
  canvas.Unlock();
  std::thread([&] {
    taken = canvas.TryLock();
    if (taken) canvas.Unlock();
  }).join();
  EXPECT_TRUE(taken);
}

// ---- drawing objects -------------------------------------------------------------

TEST(DrawingObjects, EachChangeNotifiesOnceAndRepeatsNotAtAll) {
  TFont font;
  TPen pen;
  TBrush brush;
  int changes = 0;
  for (TGraphicsObject* o : std::initializer_list<TGraphicsObject*>{&font, &pen, &brush})
    o->OnChange = [&](TObject*) { ++changes; };
  struct Case {
    const char* what;
    std::function<void()> change;
  } cases[] = {
      {"font name", [&] { font.SetName("Verdana"); }},
      {"font size", [&] { font.SetSize(12); }},
      {"font height", [&] { font.SetHeight(-20); }},
      {"font style", [&] { font.SetStyle({fsBold, fsItalic}); }},
      {"font colour", [&] { font.SetColor(clRed); }},
      {"font charset", [&] { font.SetCharset(ANSI_CHARSET); }},
      {"font pitch", [&] { font.SetPitch(fpFixed); }},
      {"font orientation", [&] { font.SetOrientation(450); }},
      {"pen colour", [&] { pen.SetColor(clRed); }},
      {"pen width", [&] { pen.SetWidth(3); }},
      {"pen style", [&] { pen.SetStyle(psDot); }},
      {"pen mode", [&] { pen.SetMode(pmXor); }},
      {"brush colour", [&] { brush.SetColor(clRed); }},
      {"brush style", [&] { brush.SetStyle(bsClear); }},
  };
  for (const Case& c : cases) {
    changes = 0;
    c.change();
    EXPECT_EQ(changes, 1) << c.what;
    c.change();
    EXPECT_EQ(changes, 1) << c.what << " set again";
  }
}

// Text of an angled font runs along its angle from the reference point:
// up for 90 degrees, down for 270, and TextRect still clips it.
TEST(AngledFont, TextOutAndTextRectTurnTheLine) {
  struct Case {
    int tenths;
    bool upward;
  };
  for (const Case c : {Case{900, true}, Case{2700, false}}) {
    qelo::test::Canvas sheet(80, 120);
    TCanvas canvas;
    canvas.SetHandle(sheet.dc());
    canvas.Font()->SetSize(12);
    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetOrientation(c.tenths);
    win::SetTextAlign(canvas.Handle(), win::TA_BASELINE);
    canvas.TextOut(40, 60, "HHHH");
    const TRect ink = sheet.InkBox();
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left)) << c.tenths << "\n" << sheet.Picture();
    if (c.upward)
      EXPECT_LE(ink.bottom, 62) << "from the reference point up";
    else
      EXPECT_GE(ink.top, 58) << "from the reference point down";

    sheet.Fill(qelo::test::kWhite);
    canvas.TextRect(Rect(0, 0, 80, 60), 40, 60, "HHHH");
    EXPECT_LE(sheet.InkBox().bottom, 60) << c.tenths << ": clipped to the rectangle";
    canvas.SetHandle(nullptr);
  }
}

TEST(AngledFont, AdoptedHandleGivesItsLogicalFontAndBelongsToTheFont) {
  win::LOGFONT log;
  log.lfHeight = -16;
  log.lfEscapement = 2700;
  log.lfWeight = win::FW_BOLD;
  log.lfItalic = 1;
  log.lfFaceName = "Verdana";
  const win::HFONT made = win::CreateFontIndirect(&log);
  TFont font;
  int changes = 0;
  font.OnChange = [&](TObject*) { ++changes; };
  const win::HFONT old = font.Handle();
  font.SetHandle(made);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(font.Handle(), made);
  EXPECT_FALSE(static_cast<win::HFONT>(win::HGDIOBJ(old))) << "the font's own handle went";
  EXPECT_EQ(font.Orientation(), 2700);
  EXPECT_EQ(font.Height(), -16);
  EXPECT_EQ(font.Name(), "Verdana");
  EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic}));

  font.SetSize(10);
  EXPECT_FALSE(static_cast<win::HFONT>(win::HGDIOBJ(made))) << "a change remakes the handle and deletes the adopted one";
  EXPECT_EQ(font.LogFont().lfEscapement, 2700) << "keeping the angle";

  font.SetHandle(nullptr);
  EXPECT_EQ(changes, 2) << "no font, no change";
  EXPECT_EQ(font.Orientation(), 2700);

  TFont copy;
  copy.Assign(&font);
  EXPECT_EQ(copy.Orientation(), 2700);
}

TEST(DrawingObjects, SizeAndHeightConvertAtNinetySixPixelsPerInch) {
  TFont font;
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(font.Height(), -11);
  font.SetSize(12);
  EXPECT_EQ(font.Height(), -16);
  font.SetHeight(-13);
  EXPECT_EQ(font.Size(), 10);
  font.SetStyle({fsBold, fsUnderline});
  const win::LOGFONT log = font.LogFont();
  EXPECT_EQ(log.lfWeight, win::FW_BOLD);
  EXPECT_TRUE(log.lfUnderline);
  EXPECT_FALSE(log.lfItalic);
}

TEST(DrawingObjects, AssignCopiesAndNotifiesOnlyOnDifference) {
  TFont a, b;
  b.SetName("Verdana");
  b.SetStyle({fsBold});
  b.SetColor(clBlue);
  int changes = 0;
  a.OnChange = [&](TObject*) { ++changes; };
  a.Assign(&b);
  a.Assign(&b);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(a.Name(), "Verdana");
  EXPECT_EQ(a.Color(), clBlue);
  TPen pen;
  EXPECT_THROW(a.Assign(&pen), EConvertError);
}

TEST(DrawingObjects, AColourMakesAClearBrushSolid) {
  TBrush brush;
  brush.SetStyle(bsClear);
  EXPECT_EQ(brush.Handle(), static_cast<win::HBRUSH>(win::GetStockObject(win::NULL_BRUSH)));
  brush.SetColor(clRed);
  EXPECT_EQ(brush.Style(), bsSolid);
}

// A brush with a bitmap fills with the bitmap's top-left 8 x 8 pixels,
// repeated; taking the bitmap away (or an empty one) fills with the colour.
TEST_F(CanvasFixture, PatternBrushRepeatsTheBitmapsCornerEveryEightPixels) {
  TBitmap pattern(10, 10);  // larger than a pattern: only its corner counts
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const TColor odd = x < 8 && y < 8 ? clBlue : clLime;
      pattern.Canvas()->SetPixel(x, y, (x + y) % 2 == 0 ? clRed : odd);
    }
  }
  canvas.Brush()->SetColor(clYellow);
  canvas.Brush()->SetBitmap(&pattern);
  canvas.FillRect(Rect(0, 0, 32, 24));
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 32; ++x)
      ASSERT_EQ(sheet.At(x, y), (x + y) % 2 == 0 ? RGB(255, 0, 0) : RGB(0, 0, 255)) << x << "," << y;

  // Drawn on afterwards, the bitmap is read again when it is set again.
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pattern.Canvas()->SetPixel(x, y, clGreen);
  canvas.Brush()->SetBitmap(&pattern);
  canvas.FillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(sheet.At(1, 0), RGB(0, 128, 0));

  canvas.Brush()->SetBitmap(nullptr);
  canvas.FillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(sheet.At(1, 0), RGB(255, 255, 0)) << "the colour again without a bitmap";
  TBitmap empty;
  canvas.Brush()->SetBitmap(&empty);
  canvas.FillRect(Rect(4, 0, 8, 4));
  EXPECT_EQ(sheet.At(5, 0), RGB(255, 255, 0)) << "an empty bitmap is no pattern";
  canvas.Brush()->SetBitmap(nullptr);
}

// A component with a font, pen and brush, as controls publish them.
class TDrawn : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TDrawn(TComponent* owner) : TComponent(owner) {}
  TFont* Font() const { return font_.get(); }
  TPen* Pen() const { return pen_.get(); }
  TBrush* Brush() const { return brush_.get(); }

 private:
  std::unique_ptr<TFont> font_ = std::make_unique<TFont>();
  std::unique_ptr<TPen> pen_ = std::make_unique<TPen>();
  std::unique_ptr<TBrush> brush_ = std::make_unique<TBrush>();
};

const ClassInfo& TDrawn::StaticClass() {
  static const ClassInfo info = ClassBuilder<TDrawn>("TDrawn", TComponent::StaticClass())
                                    .Object("Font", &TDrawn::Font)
                                    .Object("Pen", &TDrawn::Pen)
                                    .Object("Brush", &TDrawn::Brush)
                                    .Done();
  return info;
}

TEST(DrawingObjects, FormFilesSetThemMemberByMember) {
  TDrawn drawn(nullptr);
  ReadComponentText(drawn,
                    "object Drawn: TDrawn\n"
                    "  Font.Charset = ANSI_CHARSET\n"
                    "  Font.Color = clHighlight\n"
                    "  Font.Height = -14\n"
                    "  Font.Name = 'Verdana'\n"
                    "  Font.Style = [fsBold, fsStrikeOut]\n"
                    "  Font.Pitch = fpVariable\n"
                    "  Pen.Color = $00FF8000\n"
                    "  Pen.Width = 2\n"
                    "  Pen.Style = psDash\n"
                    "  Pen.Mode = pmXor\n"
                    "  Brush.Color = clBtnFace\n"
                    "  Brush.Style = bsClear\n"
                    "end\n",
                    "drawn.form");
  EXPECT_EQ(drawn.Font()->Charset(), ANSI_CHARSET);
  EXPECT_EQ(drawn.Font()->Color(), clHighlight);
  EXPECT_EQ(drawn.Font()->Height(), -14);
  EXPECT_EQ(drawn.Font()->Name(), "Verdana");
  EXPECT_EQ(drawn.Font()->Style(), (TFontStyles{fsBold, fsStrikeOut}));
  EXPECT_EQ(drawn.Font()->Pitch(), fpVariable);
  EXPECT_EQ(drawn.Pen()->Color(), 0x00FF8000u);
  EXPECT_EQ(drawn.Pen()->Width(), 2);
  EXPECT_EQ(drawn.Pen()->Style(), psDash);
  EXPECT_EQ(drawn.Pen()->Mode(), pmXor);
  EXPECT_EQ(drawn.Brush()->Color(), clBtnFace);
  EXPECT_EQ(drawn.Brush()->Style(), bsClear);
  EXPECT_THROW(ReadComponentText(drawn, "object Drawn: TDrawn\n  Font.Style = [fsHeavy]\nend\n", "bad.form"),
               EReadError);
}

}  // namespace
}  // namespace qelo::vcl
