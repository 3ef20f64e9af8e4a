// What the tool button shows, read back pixel by pixel: the face and frame
// of each look and state, the stayed-down checker, the drop-down arrow
// part, and where image and caption go for each layout and alignment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/composed_window.h"
#include "controls_fixture.h"
#include "ct_button_tool.h"
#include "ct_common_color.h"
#include "vcl/controls/scripting.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;

constexpr int kLeft = 20, kTop = 20;

// The button's pixels as the screen shows them now.
class Snapshot {
 public:
  Snapshot(TForm& form, const TControl& button) : width_(button.Width()), height_(button.Height()) {
    script::Pump();
    form.Repaint();
    const qelo::test::ComposedWindow screen(form.Handle());
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) pixels_.push_back(screen.Pixel(button.Left() + x, button.Top() + y));
  }
  win::COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }
  // The box of the pixels of one colour (empty when there are none).
  TRect Box(win::COLORREF colour) const {
    TRect box{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (At(x, y) == colour) {
          box.left = std::min<int>(box.left, x);
          box.top = std::min<int>(box.top, y);
          box.right = std::max<int>(box.right, x + 1);
          box.bottom = std::max<int>(box.bottom, y + 1);
        }
    return box;
  }
  // The box of the caption's ink: dark pixels.
  TRect InkBox() const {
    TRect box{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const win::COLORREF c = At(x, y);
        if (win::GetRValue(c) + win::GetGValue(c) + win::GetBValue(c) < 200) {
          box.left = std::min<int>(box.left, x);
          box.top = std::min<int>(box.top, y);
          box.right = std::max<int>(box.right, x + 1);
          box.bottom = std::max<int>(box.bottom, y + 1);
        }
      }
    return box;
  }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  int width_, height_;
  std::vector<win::COLORREF> pixels_;
};

win::COLORREF Rgb(TColor c) { return ColorToRGB(c); }

int Distance(win::COLORREF a, win::COLORREF b) {
  return std::abs(win::GetRValue(a) - win::GetRValue(b)) + std::abs(win::GetGValue(a) - win::GetGValue(b)) +
         std::abs(win::GetBValue(a) - win::GetBValue(b));
}

enum class State { Idle, Hot, Pressed, StayedDown };

const char* StateName(State s) {
  switch (s) {
    case State::Idle: return "idle";
    case State::Hot: return "hot";
    case State::Pressed: return "pressed";
    case State::StayedDown: return "stayed down";
  }
  return "";
}

class ToolButtonFaceTest : public vcl::test::FormTest {
 protected:
  TCtToolButton* NewButton(int width = 40, int height = 25) {
    auto* b = new TCtToolButton(form);
    b->SetParent(form);
    b->SetBounds(kLeft, kTop, width, height);
    return b;
  }
  // Puts the button into a state; Pressed holds the left button down over
  // it until Release.
  void Enter(TCtToolButton& b, State state) {
    script::MoveMouseToScreen(Point(390, 290));
    switch (state) {
      case State::Idle: break;
      case State::Hot: script::MoveMouse(b, Point(5, 5)); break;
      case State::Pressed: {
        const TPoint p = b.ClientToScreen(Point(5, 5));
        win::InjectMouseMove({p.x, p.y});
        win::InjectMouseButton(win::MouseButton::Left, true, {p.x, p.y});
        pressedAt_ = p;
        break;
      }
      case State::StayedDown:
        b.SetGroupIndex(1);
        b.SetDown(true);
        break;
    }
    script::Pump();
  }
  void Release() {
    win::InjectMouseButton(win::MouseButton::Left, false, {pressedAt_.x, pressedAt_.y});
    script::Pump();
  }
  TPoint pressedAt_{};
};

// ---- faces and frames ---------------------------------------------------------------

struct FrameCase {
  const char* look;
  TCtVisualStyle style;
  bool flat;
  State state;
  TColor topLeft, bottomRight;  // the outer edge's colours; clBtnFace: no frame
};

TEST_F(ToolButtonFaceTest, EachLookAndStateDrawsItsFrame) {
  const FrameCase cases[] = {
      {"classic raised", vsClassic, false, State::Idle, clBtnHighlight, cl3DDkShadow},
      {"classic raised", vsClassic, false, State::Hot, clBtnHighlight, cl3DDkShadow},
      {"classic raised", vsClassic, false, State::Pressed, clBtnShadow, clBtnHighlight},
      {"classic flat", vsClassic, true, State::Idle, clBtnFace, clBtnFace},
      {"classic flat", vsClassic, true, State::Hot, clBtnHighlight, clBtnShadow},
      {"classic flat", vsClassic, true, State::Pressed, clBtnShadow, clBtnHighlight},
      {"classic flat", vsClassic, true, State::StayedDown, clBtnShadow, clBtnHighlight},
      // Without visual styles the XP look hot-tracks like a flat button.
      {"XP", vsWinXP, false, State::Idle, clBtnFace, clBtnFace},
      {"XP", vsWinXP, false, State::Hot, clBtnHighlight, clBtnShadow},
      {"XP", vsWinXP, false, State::Pressed, clBtnShadow, clBtnHighlight},
  };
  for (const FrameCase& c : cases) {
    TCtToolButton* b = NewButton();
    b->SetVisualStyle(c.style);
    b->SetFlat(c.flat);
    Enter(*b, c.state);
    const Snapshot s(*form, *b);
    if (c.state == State::Pressed) Release();
    const std::string what = std::string(c.look) + ", " + StateName(c.state);
    const int midX = s.Width() / 2, midY = s.Height() / 2;
    EXPECT_EQ(s.At(midX, 0), Rgb(c.topLeft)) << what << ": top edge";
    EXPECT_EQ(s.At(0, midY), Rgb(c.topLeft)) << what << ": left edge";
    EXPECT_EQ(s.At(midX, s.Height() - 1), Rgb(c.bottomRight)) << what << ": bottom edge";
    EXPECT_EQ(s.At(s.Width() - 1, midY), Rgb(c.bottomRight)) << what << ": right edge";
    b->Free();
  }
}

TEST_F(ToolButtonFaceTest, StayedDownClassicButtonIsFilledWithAChecker) {
  for (bool transparent : {true, false}) {
    TCtToolButton* b = NewButton();
    b->SetVisualStyle(vsClassic);
    b->SetTransparent(transparent);
    b->SetColor(clTeal);
    Enter(*b, State::StayedDown);
    const Snapshot s(*form, *b);
    // Transparent: the face colour and its highlight; opaque: the button's
    // colour and a lighter shade of it.
    const win::COLORREF dark = Rgb(transparent ? clBtnFace : clTeal);
    const win::COLORREF light = Rgb(transparent ? clBtnHighlight : LightenColor(clTeal, 20));
    int checkerPairs = 0;
    for (int y = 4; y < s.Height() - 4; ++y)
      for (int x = 4; x < s.Width() - 5; ++x) {
        const win::COLORREF a = s.At(x, y), n = s.At(x + 1, y), below = s.At(x, y + 1);
        ASSERT_TRUE(a == dark || a == light) << "transparent " << transparent << " at " << x << "," << y;
        EXPECT_NE(a, n) << "neighbours alternate";
        EXPECT_NE(a, below);
        ++checkerPairs;
      }
    EXPECT_GT(checkerPairs, 100);
    script::MoveMouse(*b, Point(5, 5));
    EXPECT_EQ(Snapshot(*form, *b).At(10, 10), dark) << "a flat stayed-down button under the mouse shows no checker";
    b->Free();
  }
}

TEST_F(ToolButtonFaceTest, GradientFaceRunsItsColoursByState) {
  struct Case {
    State state;
    TColor top, bottom;
  };
  const TColor start = clWhite, stop = clNavy;
  const Case cases[] = {
      {State::Hot, start, stop},
      {State::Pressed, stop, start},
      {State::StayedDown, DarkenColor(stop, 40), start},
  };
  for (const Case& c : cases) {
    TCtToolButton* b = NewButton(40, 30);
    b->SetVisualStyle(vsGradient);
    b->SetGradientColorStyle(gcsCustom);
    b->SetSelectionColorStart(start);
    b->SetSelectionColorStop(stop);
    b->SetSelectionFrameColor(clRed);
    Enter(*b, c.state);
    const Snapshot s(*form, *b);
    if (c.state == State::Pressed) Release();
    const std::string what = StateName(c.state);
    EXPECT_EQ(s.At(s.Width() / 2, 0), Rgb(clRed)) << what << ": the frame";
    EXPECT_EQ(s.At(0, s.Height() / 2), Rgb(clRed)) << what;
    const win::COLORREF top = s.At(s.Width() / 2, 1), bottom = s.At(s.Width() / 2, s.Height() - 2);
    EXPECT_LT(Distance(top, Rgb(c.top)), Distance(top, Rgb(c.bottom))) << what << ": the first colour on top";
    EXPECT_LT(Distance(bottom, Rgb(c.bottom)), Distance(bottom, Rgb(c.top))) << what;
    b->Free();
  }
  TCtToolButton* idle = NewButton();
  idle->SetVisualStyle(vsGradient);
  EXPECT_EQ(Snapshot(*form, *idle).At(idle->Width() / 2, 0), Rgb(clBtnFace)) << "idle shows no face";
}

// ---- the arrow part ---------------------------------------------------------------------

TEST_F(ToolButtonFaceTest, ArrowPartShowsADownArrowAndASeparatorWhileHot) {
  auto* menu = new TPopupMenu(form);
  TCtToolButton* b = NewButton();
  b->SetVisualStyle(vsClassic);
  b->SetToolStyle(tsDropDown);
  b->SetDropDownMenu(menu);
  const int arrowLeft = b->Width() - TCtToolButton::kArrowWidth;
  const int cx = (arrowLeft + b->Width()) / 2, cy = b->Height() / 2 - 1;
  const int midY = b->Height() / 2;

  Snapshot idle(*form, *b);
  for (TPoint p : {Point(cx - 2, cy), Point(cx + 2, cy), Point(cx - 1, cy + 1), Point(cx, cy + 2)})
    EXPECT_EQ(idle.At(p.x, p.y), Rgb(clBtnText)) << "arrow at " << p.x << "," << p.y;
  for (TPoint p : {Point(cx - 2, cy + 1), Point(cx + 2, cy + 2), Point(cx, cy - 1), Point(cx, cy + 3)})
    EXPECT_EQ(idle.At(p.x, p.y), Rgb(clBtnFace)) << "beside the arrow at " << p.x << "," << p.y;
  EXPECT_EQ(idle.At(arrowLeft, midY), Rgb(clBtnFace)) << "no separator while idle";

  Enter(*b, State::Hot);
  Snapshot hot(*form, *b);
  EXPECT_EQ(hot.At(arrowLeft, midY), Rgb(clBtnShadow));
  EXPECT_EQ(hot.At(arrowLeft + 1, midY), Rgb(clBtnHighlight));

  script::MoveMouseToScreen(Point(390, 290));
  b->SetEnabled(false);
  EXPECT_EQ(Snapshot(*form, *b).At(cx, cy), Rgb(clBtnShadow)) << "a disabled arrow is grey";
}

// ---- image and caption ------------------------------------------------------------------

class ToolButtonLayoutTest : public ToolButtonFaceTest {
 protected:
  void SetUp() override {
    ToolButtonFaceTest::SetUp();
    images = new TImageList(form);
    images->SetSize(8, 8);
    TBitmap cell(8, 8);
    cell.Canvas()->Brush()->SetColor(clRed);
    cell.Canvas()->FillRect(Rect(0, 0, 8, 8));
    images->Add(&cell, nullptr);
  }
  TCtToolButton* NewImageButton(int width, int height) {
    TCtToolButton* b = NewButton(width, height);
    b->SetImages(images);
    b->SetImageIndex(0);
    return b;
  }
  TImageList* images = nullptr;
};

TEST_F(ToolButtonLayoutTest, ImageGoesOnTheLayoutsSideOfTheCaption) {
  struct Case {
    TButtonLayout layout;
    const char* what;
  } cases[] = {{blGlyphLeft, "left"}, {blGlyphRight, "right"}, {blGlyphTop, "top"}, {blGlyphBottom, "bottom"}};
  for (const Case& c : cases) {
    TCtToolButton* b = NewImageButton(90, 44);
    b->SetCaption("Go");
    b->SetShowCaption(true);
    b->SetLayout(c.layout);
    const Snapshot s(*form, *b);
    const TRect image = s.Box(Rgb(clRed)), ink = s.InkBox();
    ASSERT_EQ(RectWidth(image), 8) << c.what;
    ASSERT_GT(RectWidth(ink), 0) << c.what;
    switch (c.layout) {
      case blGlyphLeft: EXPECT_LE(image.right + 4, ink.left) << c.what; break;
      case blGlyphRight: EXPECT_GE(image.left, ink.right + 4) << c.what; break;
      case blGlyphTop: EXPECT_LE(image.bottom + 4, ink.top) << c.what; break;
      case blGlyphBottom: EXPECT_GE(image.top, ink.bottom + 4) << c.what; break;
    }
    // Across the layout both are centred.
    const bool sideBySide = c.layout == blGlyphLeft || c.layout == blGlyphRight;
    const int imageMiddle = sideBySide ? image.top + image.bottom : image.left + image.right;
    const int inkMiddle = sideBySide ? ink.top + ink.bottom : ink.left + ink.right;
    EXPECT_NEAR(imageMiddle, inkMiddle, 4) << c.what;
    b->Free();
  }
}

TEST_F(ToolButtonLayoutTest, AlignmentMovesTheContentFourPixelsFromAnEdge) {
  struct Case {
    TAlignment alignment;
    int expectedLeft;  // of the image in a 60-pixel button; -1: centred
  } cases[] = {{taLeftJustify, 4}, {taCenter, 26}, {taRightJustify, 60 - 4 - 8}};
  for (const Case& c : cases) {
    TCtToolButton* b = NewImageButton(60, 25);
    b->SetAlignment(c.alignment);
    const TRect image = Snapshot(*form, *b).Box(Rgb(clRed));
    EXPECT_EQ(image.left, c.expectedLeft) << "alignment " << c.alignment;
    EXPECT_EQ(image.top, (25 - 4 - 8) / 2 + 2) << "centred top to bottom";
    b->Free();
  }
}

TEST_F(ToolButtonLayoutTest, ContentMovesWhilePressedInTheClassicLook) {
  TCtToolButton* b = NewImageButton(40, 25);
  b->SetVisualStyle(vsClassic);
  const TRect up = Snapshot(*form, *b).Box(Rgb(clRed));
  Enter(*b, State::Pressed);
  const TRect pressed = Snapshot(*form, *b).Box(Rgb(clRed));
  Release();
  EXPECT_EQ(pressed.left, up.left + 1);
  EXPECT_EQ(pressed.top, up.top + 1);

  b->SetVisualStyle(vsGradient);
  const TRect gradientUp = Snapshot(*form, *b).Box(Rgb(clRed));
  Enter(*b, State::Pressed);
  const TRect gradientPressed = Snapshot(*form, *b).Box(Rgb(clRed));
  Release();
  EXPECT_EQ(gradientPressed.left, gradientUp.left) << "the gradient look keeps the content still";
  EXPECT_EQ(gradientPressed.top, gradientUp.top);
}

}  // namespace
}  // namespace qelo::ct::test
