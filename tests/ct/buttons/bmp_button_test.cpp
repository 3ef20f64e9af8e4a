// The bitmap button: its size fitted to the Up bitmap, the face each state
// shows, the face made for a disabled button, grouped toggles, the modal
// result given before OnClick, and which inputs end a press.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/case_name.h"
#include "controls_fixture.h"
#include "ct_bmp_btn.h"
#include "indexed_bmp.h"
#include "vcl/form_reader.h"
#include "vcl/graphics/picture.h"
#include "win/window/display.h"

namespace qelo::ct {
namespace {

using namespace vcl;
using vcl::test::ControlPixel;
using vcl::test::FormTest;

std::unique_ptr<TBitmap> SolidBitmap(int w, int h, TColor color) {
  auto b = std::make_unique<TBitmap>(w, h);
  b->Canvas()->Brush()->SetColor(color);
  b->Canvas()->FillRect(Rect(0, 0, w, h));
  return b;
}

win::POINT ScreenPoint(TControl& control, int x, int y) {
  const TPoint p = control.ClientToScreen(Point(x, y));
  return win::POINT{p.x, p.y};
}

void MouseButton(TControl& control, bool down, int x, int y) {
  win::InjectMouseMove(ScreenPoint(control, x, y));
  win::InjectMouseButton(win::MouseButton::Left, down, ScreenPoint(control, x, y));
  script::Pump();
}

void Key(int key, bool down) {
  win::InjectKey(key, down);
  script::Pump();
}

class BmpButtonTest : public FormTest {
 protected:
  TCtBmpButton* MakeButton(int left = 10, int top = 10) {
    auto* b = new TCtBmpButton(form);
    b->SetParent(form);
    b->SetLeft(left);
    b->SetTop(top);
    b->OnClick = [this](TObject*) { ++clicks; };
    return b;
  }
  int clicks = 0;
};

// ---- size ----

struct SizeCase {
  TButtonBorder border;
  TButtonStyle style;
  TBtnSize sizing;
  int width, height;
};

TEST_F(BmpButtonTest, TakesTheSizeOfTheUpBitmapAndItsBorderOnlyWhenFittingButtonToBitmap) {
  const SizeCase cases[] = {
      {bbNone, bsAutoDetect, bszButtonToBitmap, 100, 28},  {bbSingle, bsAutoDetect, bszButtonToBitmap, 102, 30},
      {bbButton, bsNew, bszButtonToBitmap, 104, 32},        {bbButton, bsAutoDetect, bszButtonToBitmap, 104, 32},
      {bbButton, bsWin31, bszButtonToBitmap, 106, 34},      {bbSingle, bsAutoDetect, bszStretchToButton, 80, 30},
      {bbSingle, bsAutoDetect, bszTileToButton, 80, 30},    {bbSingle, bsAutoDetect, bszNeither, 80, 30},
  };
  for (const SizeCase& c : cases) {
    TCtBmpButton* b = MakeButton();
    b->SetButtonSize(c.sizing);
    b->SetButtonStyle(c.style);
    b->SetButtonBorder(c.border);
    b->Bitmaps()->SetUp(SolidBitmap(100, 28, clRed).get());
    EXPECT_EQ(b->Width(), c.width) << kButtonBorderInfo.NameOf(c.border) << " " << kBtnSizeInfo.NameOf(c.sizing);
    EXPECT_EQ(b->Height(), c.height) << kButtonBorderInfo.NameOf(c.border) << " " << kBtnSizeInfo.NameOf(c.sizing);
    b->Free();
  }
}

TEST_F(BmpButtonTest, KeepsItsSizeWithoutAnUpBitmapAndFollowsEveryLaterChange) {
  TCtBmpButton* b = MakeButton();
  b->Bitmaps()->SetHot(SolidBitmap(50, 20, clRed).get());
  EXPECT_EQ(b->Width(), 80) << "only Up gives the size";
  EXPECT_EQ(b->Height(), 30);

  b->Bitmaps()->SetUp(SolidBitmap(40, 20, clRed).get());
  EXPECT_EQ(b->Width(), 40);
  b->Bitmaps()->Up()->SetSize(60, 24);  // drawing on the face itself reports the change
  EXPECT_EQ(b->Width(), 60);
  EXPECT_EQ(b->Height(), 24);
  b->SetBounds(b->Left(), b->Top(), 200, 90);
  EXPECT_EQ(b->Width(), 60) << "the button cannot be sized away from its bitmap";
  b->SetButtonSize(bszStretchToButton);
  b->SetBounds(b->Left(), b->Top(), 200, 90);
  EXPECT_EQ(b->Width(), 200);
  b->SetButtonSize(bszButtonToBitmap);
  EXPECT_EQ(b->Width(), 60) << "going back to fitting fits again";
}

// A 24-bit BMP file of one colour, as a form file's picture resource.
std::vector<unsigned char> BmpFile(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  const int row = (w * 3 + 3) / 4 * 4;
  const uint32_t size = 54 + row * h;
  std::vector<unsigned char> f(size, 0);
  auto put32 = [&](int at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
  auto put16 = [&](int at, uint16_t v) { std::memcpy(&f[at], &v, 2); };
  f[0] = 'B';
  f[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  put16(26, 1);
  put16(28, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* p = &f[54 + y * row + x * 3];
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  return f;
}

// Notes the palette the button's context has while it paints.
class TPaletteProbeButton : public TCtBmpButton {
 public:
  using TCtBmpButton::TCtBmpButton;
  win::HGDIOBJ paintedWith = nullptr;

 protected:
  void Paint() override {
    paintedWith = win::GetCurrentObject(Canvas()->Handle(), win::OBJ_PAL);
    TCtBmpButton::Paint();
  }
};

TEST_F(BmpButtonTest, PaletteIsTheUpBitmapsAndIsSelectedWhileTheButtonPaints) {
  auto* b = new TPaletteProbeButton(form);
  b->SetParent(form);
  EXPECT_EQ(b->GetPalette(), nullptr);
  b->Bitmaps()->SetHot(SolidBitmap(20, 20, clRed).get());
  const std::vector<uint8_t> file = test::IndexedBmp(20, 20, {clGreen, clNavy});
  TBitmap up;
  up.LoadFromMemory(file.data(), file.size());
  b->Bitmaps()->SetUp(&up);
  ASSERT_NE(b->GetPalette(), nullptr);
  win::PALETTEENTRY first;
  win::GetPaletteEntries(b->GetPalette(), 0, 1, &first);
  EXPECT_EQ(win::RGB(first.peRed, first.peGreen, first.peBlue), ColorToRGB(clGreen));
  b->Repaint();
  script::Pump();
  EXPECT_EQ(b->paintedWith, win::HGDIOBJ(b->GetPalette()));
  b->Bitmaps()->SetUp(SolidBitmap(20, 20, clBlue).get());
  EXPECT_EQ(b->GetPalette(), nullptr) << "an Up of many colours has none";
}

TEST_F(BmpButtonTest, FormFileNamesTheFacesByResourceAndTheButtonFitsOnceTheFormIsRead) {
  RegisterCtBmpButtonClasses();
  std::vector<unsigned char> up = BmpFile(30, 20, 255, 0, 0);
  up.push_back(0);
  const res::Resource entries[] = {{"BITMAP", -1, "btnUp", up.data(), up.size() - 1}};
  const res::ResourceTable table{entries, 1};
  RegisterPictureResources(table);
  TForm* loaded = new TForm(nullptr);
  ReadComponentText(*loaded,
                    "object frmLoaded: TForm\n"
                    "  object btnStart: TCtBmpButton\n"
                    "    Left = 4\n"
                    "    Top = 4\n"
                    "    Width = 80\n"
                    "    Height = 30\n"
                    "    Bitmaps.Up = 'btnUp'\n"
                    "    Bitmaps.TransparentColor = clFuchsia\n"
                    "    ButtonBorder = bbSingle\n"
                    "    ModalResult = mrOk\n"
                    "    Constraints.MaxWidth = 60\n"
                    "    Constraints.MinHeight = 24\n"
                    "    DragCursor = crHandPoint\n"
                    "    DragKind = dkDock\n"
                    "  end\n"
                    "end\n",
                    "loaded.form");
  UnregisterPictureResources(table);
  auto& button = script::Find<TCtBmpButton>(*loaded, "btnStart");
  EXPECT_EQ(button.Width(), 32) << "Up is 30 wide, the single border 1 on each side";
  EXPECT_EQ(button.Height(), 24) << "22 fits Up, the constraints ask for 24";
  EXPECT_EQ(button.Constraints()->MaxWidth(), 60);
  EXPECT_EQ(button.DragCursor(), crHandPoint);
  EXPECT_EQ(button.DragKind(), dkDock);
  EXPECT_EQ(button.Bitmaps()->ResourceName(TCtButtonBitmaps::fcUp), "btnUp");
  EXPECT_EQ(button.Bitmaps()->TransparentColor(), clFuchsia);
  EXPECT_EQ(button.ModalResult(), mrOk);
  loaded->Free();
}

// ---- faces ----

constexpr TColor kUp = 0x0000C0, kHot = 0x00C000, kFocused = 0xC00000, kDown = 0x00C0C0, kStayDown = 0xC0C000,
                 kDisabled = 0xC000C0;

struct FaceCase {
  const char* name;
  std::vector<TCtButtonBitmaps::Face> faces;  // the faces the button has
  // What is done to the button before its centre is read.
  enum Action { None, Hover, Focus, FocusNoShowFocus, FocusAndHover, Press, StayDown, Disable } action;
  TColor expected;
};

class FaceSelection : public BmpButtonTest, public testing::WithParamInterface<FaceCase> {};

TEST_P(FaceSelection, ShowsTheFaceOfItsState) {
  const FaceCase& c = GetParam();
  TCtBmpButton* b = MakeButton();
  const TColor colours[] = {kUp, kFocused, kDisabled, kDown, kStayDown, kHot};
  b->SetButtonSize(bszStretchToButton);  // the faces, 40 x 20, fill the 80 x 30 button
  for (TCtButtonBitmaps::Face face : c.faces) b->Bitmaps()->SetBitmap(face, SolidBitmap(40, 20, colours[face]).get());
  script::MoveMouse(*form, Point(300, 250));
  switch (c.action) {
    case FaceCase::None: break;
    case FaceCase::Hover: script::MoveMouse(*b, Point(5, 5)); break;
    case FaceCase::FocusNoShowFocus: b->SetShowFocus(false); [[fallthrough]];
    case FaceCase::Focus: script::Focus(*b); break;
    case FaceCase::FocusAndHover:
      script::Focus(*b);
      script::MoveMouse(*b, Point(5, 5));
      break;
    case FaceCase::Press: MouseButton(*b, true, 5, 5); break;
    case FaceCase::StayDown:
      b->SetGroupIndex(1);
      b->SetDown(true);
      break;
    case FaceCase::Disable: b->SetEnabled(false); break;
  }
  EXPECT_EQ(ControlPixel(*b, 40, 15), ColorToRGB(c.expected)) << c.name;
  if (c.action == FaceCase::Press) MouseButton(*b, false, 5, 5);
}

using F = TCtButtonBitmaps::Face;
INSTANTIATE_TEST_SUITE_P(
    States, FaceSelection,
    testing::Values(
        FaceCase{"up", {F::fcUp, F::fcHot, F::fcDown}, FaceCase::None, kUp},
        FaceCase{"hot", {F::fcUp, F::fcHot}, FaceCase::Hover, kHot},
        FaceCase{"hot without a Hot face", {F::fcUp}, FaceCase::Hover, kUp},
        FaceCase{"focused", {F::fcUp, F::fcUpAndFocused}, FaceCase::Focus, kFocused},
        FaceCase{"focused without ShowFocus", {F::fcUp, F::fcUpAndFocused}, FaceCase::FocusNoShowFocus, kUp},
        FaceCase{"hot beats focused", {F::fcUp, F::fcUpAndFocused, F::fcHot}, FaceCase::FocusAndHover, kHot},
        FaceCase{"pressed", {F::fcUp, F::fcDown, F::fcHot}, FaceCase::Press, kDown},
        FaceCase{"pressed without a Down face", {F::fcUp}, FaceCase::Press, kUp},
        FaceCase{"stayed down", {F::fcUp, F::fcDown, F::fcStayDown}, FaceCase::StayDown, kStayDown},
        FaceCase{"stayed down without StayDown", {F::fcUp, F::fcDown}, FaceCase::StayDown, kDown},
        FaceCase{"stayed down with Up only", {F::fcUp}, FaceCase::StayDown, kUp},
        FaceCase{"disabled", {F::fcUp, F::fcDisabled}, FaceCase::Disable, kDisabled},
        FaceCase{"disabled without Up", {F::fcDisabled}, FaceCase::Disable, kDisabled},
        FaceCase{"enabled without Up shows the parent", {F::fcDisabled, F::fcHot}, FaceCase::None, clBtnFace}),
    qelo::test::CaseName());

TEST_F(BmpButtonTest, TransparentColourShowsWhatLiesBeneath) {
  form->SetColor(clNavy);
  TCtBmpButton* b = MakeButton();
  auto up = SolidBitmap(20, 10, clOlive);
  up->Canvas()->Brush()->SetColor(clRed);
  up->Canvas()->FillRect(Rect(0, 0, 10, 10));
  b->Bitmaps()->SetUp(up.get());
  EXPECT_EQ(ControlPixel(*b, 5, 5), ColorToRGB(clRed));
  EXPECT_EQ(ControlPixel(*b, 15, 5), ColorToRGB(clNavy)) << "olive, the default transparent colour, shows the parent";
  b->Bitmaps()->SetTransparentColor(clRed);
  EXPECT_EQ(ControlPixel(*b, 5, 5), ColorToRGB(clNavy));
  EXPECT_EQ(ControlPixel(*b, 15, 5), ColorToRGB(clOlive));
}

// ---- the made disabled face ----

TEST(MakeDisabledFaceTest, EmbossesTheBlackPixelsInShadowWithAHighlightBelowRight) {
  TBitmap up(6, 6);
  TCanvas& c = *up.Canvas();
  c.Brush()->SetColor(clWhite);
  c.FillRect(Rect(0, 0, 6, 6));
  c.SetPixel(1, 1, clBlack);
  c.SetPixel(2, 1, clBlack);
  c.SetPixel(4, 4, clRed);  // a colour that is not black counts as background
  TBitmap face;
  MakeDisabledFace(up, face);
  ASSERT_EQ(face.Width(), 6);
  ASSERT_EQ(face.Height(), 6);
  struct Expect {
    int x, y;
    TColor color;
  };
  const Expect expected[] = {
      {1, 1, clBtnShadow}, {2, 1, clBtnShadow},  // the shape
      {2, 2, clWhite},     {3, 2, clWhite},      // its highlight one pixel down and right
      {0, 0, clBtnFace},   {4, 4, clBtnFace},  {5, 5, clBtnFace}, {1, 2, clBtnFace},
  };
  for (const Expect& e : expected)
    EXPECT_EQ(face.Canvas()->Pixels(e.x, e.y), ColorToRGB(e.color)) << e.x << "," << e.y;
}

TEST_F(BmpButtonTest, DisabledButtonWithoutDisabledFaceShowsTheFaceMadeFromUp) {
  TCtBmpButton* b = MakeButton();
  auto up = SolidBitmap(20, 10, clWhite);
  up->Canvas()->SetPixel(5, 5, clBlack);
  b->Bitmaps()->SetUp(up.get());
  b->SetEnabled(false);
  EXPECT_EQ(ControlPixel(*b, 5, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ControlPixel(*b, 6, 6), ColorToRGB(clWhite));
  EXPECT_EQ(ControlPixel(*b, 15, 2), ColorToRGB(clBtnFace));
  b->SetEnabled(true);
  EXPECT_EQ(ControlPixel(*b, 5, 5), ColorToRGB(clBlack));
  EXPECT_EQ(ControlPixel(*b, 15, 2), ColorToRGB(clWhite));
}

// ---- groups ----

struct GroupCase {
  const char* name;
  bool allowAllUp;
  std::vector<int> clicks;           // which of the three buttons is clicked, in order
  std::vector<bool> downAfterwards;  // Down of the three at the end
};

class GroupToggling : public BmpButtonTest, public testing::WithParamInterface<GroupCase> {};

TEST_P(GroupToggling, KeepsAtMostOneButtonOfTheGroupDown) {
  const GroupCase& c = GetParam();
  std::vector<TCtBmpButton*> group;
  for (int i = 0; i < 3; ++i) {
    TCtBmpButton* b = MakeButton(10 + 90 * i, 10);
    b->SetGroupIndex(1);
    group.push_back(b);
  }
  group[0]->SetAllowAllUp(c.allowAllUp);
  for (TCtBmpButton* b : group) EXPECT_EQ(b->AllowAllUp(), c.allowAllUp) << "the group takes the setting";
  for (int i : c.clicks) script::Click(*group[static_cast<size_t>(i)]);
  for (size_t i = 0; i < group.size(); ++i) EXPECT_EQ(group[i]->Down(), c.downAfterwards[i]) << c.name << " button " << i;
  EXPECT_EQ(clicks, static_cast<int>(c.clicks.size())) << "every click is reported";
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, GroupToggling,
    testing::Values(GroupCase{"first", false, {0}, {true, false, false}},
                    GroupCase{"second raises first", false, {0, 1}, {false, true, false}},
                    GroupCase{"down button clicked again stays down", false, {0, 1, 1}, {false, true, false}},
                    GroupCase{"all up allowed raises it", true, {2, 2}, {false, false, false}},
                    GroupCase{"all up allowed still one down", true, {2, 0}, {true, false, false}}),
    qelo::test::CaseName());

TEST_F(BmpButtonTest, GroupsAreSeparatedByIndexAndByParent) {
  TCtBmpButton* a = MakeButton(10, 10);
  TCtBmpButton* b = MakeButton(100, 10);
  TCtBmpButton* other = MakeButton(190, 10);
  auto* panel = new TCustomControl(form);
  panel->SetParent(form);
  panel->SetBounds(0, 100, 300, 100);
  TCtBmpButton* elsewhere = MakeButton(10, 10);
  elsewhere->SetParent(panel);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  other->SetGroupIndex(2);
  elsewhere->SetGroupIndex(1);
  a->SetDown(true);
  other->SetDown(true);
  elsewhere->SetDown(true);
  b->SetDown(true);
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  EXPECT_TRUE(other->Down()) << "another group index";
  EXPECT_TRUE(elsewhere->Down()) << "another parent";

  b->SetDown(false);
  EXPECT_TRUE(b->Down()) << "a grouped button cannot raise itself without AllowAllUp";
  TCtBmpButton* plain = MakeButton(10, 60);
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down()) << "a push button is never down";
  b->SetGroupIndex(0);
  EXPECT_FALSE(b->Down()) << "leaving the group raises it";
}

// ---- click and modal result ----

TEST_F(BmpButtonTest, GivesTheFormItsModalResultBeforeOnClickAlsoWhenItIsNone) {
  TCtBmpButton* ok = MakeButton(10, 10);
  ok->SetModalResult(mrOk);
  TCtBmpButton* none = MakeButton(100, 10);
  std::vector<TModalResult> seen;
  ok->OnClick = none->OnClick = [&](TObject*) { seen.push_back(form->ModalResult()); };
  script::Click(*ok);
  form->SetModalResult(mrCancel);
  script::Click(*none);
  EXPECT_EQ(seen, (std::vector<TModalResult>{mrOk, mrNone}));
}

TEST_F(BmpButtonTest, ClickEndsTheModalRunOfItsFormWithItsResult) {
  RegisterCtBmpButtonClasses();
  TForm* dialog = new TForm(nullptr);
  dialog->SetBounds(50, 50, 200, 100);
  auto* cancel = new TCtBmpButton(dialog);
  cancel->SetParent(dialog);
  cancel->SetModalResult(mrCancel);
  script::ModalScript modal;
  modal.Answer([cancel](TCustomForm&) { script::Click(*cancel); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(modal.Unanswered(), 0);
  dialog->Free();
}

// ---- what ends a press ----

TEST_F(BmpButtonTest, OnlyTheInputThatBeganAPressEndsIt) {
  TCtBmpButton* b = MakeButton();
  b->Bitmaps()->SetUp(SolidBitmap(40, 20, kUp).get());
  b->Bitmaps()->SetDown(SolidBitmap(40, 20, kDown).get());

  // A key released during a mouse press neither clicks nor raises.
  MouseButton(*b, true, 5, 5);
  Key(win::VK_SPACE, true);
  Key(win::VK_SPACE, false);
  Key('A', true);
  Key('A', false);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(ControlPixel(*b, 20, 10), ColorToRGB(kDown)) << "still pressed";
  MouseButton(*b, false, 5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(ControlPixel(*b, 20, 10), ColorToRGB(kUp));

  // Another key released during a Space press changes nothing; the Space
  // key's release clicks.
  script::Focus(*b);
  Key(win::VK_SPACE, true);
  EXPECT_EQ(ControlPixel(*b, 20, 10), ColorToRGB(kDown));
  Key('A', true);
  Key('A', false);
  EXPECT_EQ(clicks, 1);
  MouseButton(*b, true, 5, 5);
  MouseButton(*b, false, 5, 5);
  EXPECT_EQ(clicks, 1) << "the mouse does not end a Space press";
  Key(win::VK_SPACE, false);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(ControlPixel(*b, 20, 10), ColorToRGB(kUp));
}

TEST_F(BmpButtonTest, ReleaseClicksOnlyInsideAndTheLastRowAndColumnAreInside) {
  struct Case {
    int x, y;
    bool clicks;
  };
  TCtBmpButton* b = MakeButton();
  b->Bitmaps()->SetUp(SolidBitmap(40, 20, kUp).get());
  b->Bitmaps()->SetDown(SolidBitmap(40, 20, kDown).get());
  const Case cases[] = {{39, 19, true}, {0, 0, true}, {40, 10, false}, {20, 20, false}, {-1, 10, false}, {20, -1, false}};
  for (const Case& c : cases) {
    clicks = 0;
    MouseButton(*b, true, 20, 10);
    win::InjectMouseMove(ScreenPoint(*b, c.x, c.y));
    script::Pump();
    // Pressed looks and the click agree on every point.
    const bool looksPressed = ControlPixel(*b, 20, 10) == ColorToRGB(kDown);
    MouseButton(*b, false, c.x, c.y);
    EXPECT_EQ(clicks == 1, c.clicks) << c.x << "," << c.y;
    EXPECT_EQ(looksPressed, c.clicks) << c.x << "," << c.y;
  }
}

TEST_F(BmpButtonTest, EnterClicksAndDoubleClickIsReportedOnlyWhileDown) {
  TCtBmpButton* b = MakeButton();
  int doubles = 0;
  b->OnDblClick = [&](TObject*) { ++doubles; };
  script::Focus(*b);
  script::PressKey(win::VK_RETURN);
  EXPECT_EQ(clicks, 1);
  script::DoubleClick(*b);
  EXPECT_EQ(doubles, 0) << "a push button is never down";
  b->SetGroupIndex(1);
  b->SetDown(true);
  script::DoubleClick(*b);
  EXPECT_EQ(doubles, 1);
}

TEST_F(BmpButtonTest, CaptionAcceleratorClicksAnEnabledButton) {
  TCtBmpButton* b = MakeButton();
  b->SetCaption("&Start");
  const auto alt = static_cast<LPARAM>(TShiftState{ssAlt}.Mask());
  EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 's', alt), 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 't', alt), 0) << "not the accelerator";
  b->SetEnabled(false);
  EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 's', alt), 0);
  EXPECT_EQ(clicks, 1);
}

// ---- glyph and caption layout ----

struct LayoutCase {
  const char* name;
  TButtonLayout layout;
  TSize glyph, caption;
  int margin, spacing;
  TRect glyphRect, captionRect;
};

TEST(GlyphCaptionLayoutTest, PlacesGlyphAndCaptionAlongTheLayoutAxis) {
  const TRect interior = Rect(10, 20, 110, 60);  // 100 x 40
  const LayoutCase cases[] = {
      {"margin 45, no glyph", blGlyphLeft, {0, 0}, {30, 12}, 45, 4, Rect(0, 0, 0, 0), Rect(55, 34, 85, 46)},
      {"centred caption, no glyph", blGlyphLeft, {0, 0}, {30, 12}, -1, 4, Rect(0, 0, 0, 0), Rect(45, 34, 75, 46)},
      {"glyph left, margin and spacing", blGlyphLeft, {16, 16}, {30, 12}, 2, 4, Rect(12, 32, 28, 48), Rect(32, 34, 62, 46)},
      {"glyph right", blGlyphRight, {16, 16}, {30, 12}, 2, 4, Rect(92, 32, 108, 48), Rect(58, 34, 88, 46)},
      {"glyph top", blGlyphTop, {16, 16}, {30, 12}, 0, 2, Rect(52, 20, 68, 36), Rect(45, 38, 75, 50)},
      {"glyph bottom", blGlyphBottom, {16, 16}, {30, 12}, 0, 2, Rect(52, 44, 68, 60), Rect(45, 30, 75, 42)},
      // (100 - 46) div 3 = 18 for margin and spacing alike.
      {"both centred", blGlyphLeft, {16, 16}, {30, 12}, -1, -1, Rect(28, 32, 44, 48), Rect(62, 34, 92, 46)},
      // Centred together: 100 div 2 - 50 div 2.
      {"margin centred", blGlyphLeft, {16, 16}, {30, 12}, -1, 4, Rect(35, 32, 51, 48), Rect(55, 34, 85, 46)},
      // The caption centred in what the glyph leaves: (100 - 2 - 16) div 2 - 15.
      {"spacing centred", blGlyphLeft, {16, 16}, {30, 12}, 2, -1, Rect(12, 32, 28, 48), Rect(54, 34, 84, 46)},
  };
  for (const LayoutCase& c : cases) {
    const TGlyphCaptionLayout placed = LayoutGlyphAndCaption(interior, c.glyph, c.caption, c.layout, c.margin, c.spacing);
    EXPECT_TRUE(win::EqualRect(&placed.glyph, &c.glyphRect))
        << c.name << ": glyph " << placed.glyph.left << "," << placed.glyph.top << "," << placed.glyph.right << ","
        << placed.glyph.bottom;
    EXPECT_TRUE(win::EqualRect(&placed.caption, &c.captionRect))
        << c.name << ": caption " << placed.caption.left << "," << placed.caption.top << "," << placed.caption.right
        << "," << placed.caption.bottom;
  }
}

TEST_F(BmpButtonTest, MarginBelowMinusOneIsRefused) {
  TCtBmpButton* b = MakeButton();
  b->SetMargin(3);
  b->SetMargin(-2);
  EXPECT_EQ(b->Margin(), 3);
  b->SetMargin(-1);
  EXPECT_EQ(b->Margin(), -1);
}

}  // namespace
}  // namespace qelo::ct
