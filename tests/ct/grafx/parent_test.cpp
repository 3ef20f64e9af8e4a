// A parent's background painted under controls that let it show through.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "canvas.h"
#include "ct_grafx_parent.h"
#include "vcl/controls/scripting.h"
#include "window_pixel.h"

namespace qelo::ct {
namespace {

using namespace vcl;

constexpr win::COLORREF kRed = win::RGB(255, 0, 0), kBlue = win::RGB(0, 0, 255);
constexpr win::COLORREF kBlack = win::RGB(0, 0, 0), kYellow = win::RGB(255, 255, 0);

// Red on its left half, blue on its right half.
class Striped : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  int paints = 0;

 protected:
  void Paint() override {
    ++paints;
    const TRect r = ClientRect();
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(TRect{0, 0, r.right / 2, r.bottom});
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(TRect{r.right / 2, 0, r.right, r.bottom});
  }
};

// Shows its parent through, with a black mark in the middle.
template <class Base>
class SeeThrough : public Base {
 public:
  using Base::Base;

 protected:
  void Paint() override {
    PaintParentBackgroundCanvas(this, *this->Canvas(), false);
    this->Canvas()->Brush()->SetColor(clBlack);
    this->Canvas()->FillRect(TRect{9, 9, 11, 11});
  }
};

class ParentBackground : public vcl::test::FormTest {
 protected:
  win::COLORREF Pixel(int x, int y) { return qelo::test::WindowPixel(form->Handle(), x, y); }

  Striped* AddStriped() {
    auto* parent = new Striped(form);
    parent->SetParent(form);
    parent->SetBounds(0, 0, 100, 50);
    return parent;
  }
};

TEST_F(ParentBackground, ShowsUnderAWindowedChild) {
  Striped* parent = AddStriped();
  auto* child = new SeeThrough<TCustomControl>(form);
  child->SetParent(parent);
  child->SetBounds(40, 10, 20, 20);
  script::Pump();
  EXPECT_EQ(Pixel(41, 11), kRed);
  EXPECT_EQ(Pixel(49, 25), kRed);
  EXPECT_EQ(Pixel(50, 25), kBlue);
  EXPECT_EQ(Pixel(58, 28), kBlue);
  EXPECT_EQ(Pixel(49, 19), kBlack);
  EXPECT_EQ(Pixel(50, 20), kBlack);
}

TEST_F(ParentBackground, ShowsTheErasedColourOfAParentThatDoesNotPaint) {
  auto* panel = new TWinControl(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 100, 50);
  panel->SetColor(clYellow);
  auto* child = new SeeThrough<TCustomControl>(form);
  child->SetParent(panel);
  child->SetBounds(10, 10, 20, 20);
  script::Pump();
  EXPECT_EQ(Pixel(12, 12), kYellow);
  EXPECT_EQ(Pixel(20, 20), kBlack);
}

TEST_F(ParentBackground, ShowsUnderAWindowlessChildWithoutPaintingForever) {
  Striped* parent = AddStriped();
  auto* first = new SeeThrough<TGraphicControl>(form);
  first->SetParent(parent);
  first->SetBounds(40, 10, 20, 20);
  auto* second = new SeeThrough<TGraphicControl>(form);  // overlapping the first
  second->SetParent(parent);
  second->SetBounds(45, 15, 20, 20);
  script::Pump();
  EXPECT_EQ(Pixel(41, 11), kRed);
  EXPECT_EQ(Pixel(58, 12), kBlue);
  EXPECT_EQ(Pixel(49, 19), kBlack);
  EXPECT_EQ(Pixel(55, 25), kBlack);
  EXPECT_EQ(Pixel(62, 32), kBlue);
}

TEST_F(ParentBackground, ANativeParentIsInvalidatedOnRequest) {
  auto* panel = new TWinControl(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 100, 50);
  Striped* custom = AddStriped();
  custom->SetTop(50);
  auto* onNative = new TCustomControl(form);
  onNative->SetParent(panel);
  auto* onCustom = new TCustomControl(form);
  onCustom->SetParent(custom);
  script::Pump();
  win::HDC dc = win::GetDC(onNative->Handle());
  PaintParentBackground(onNative, dc, true);
  PaintParentBackground(onCustom, dc, true);
  win::ReleaseDC(onNative->Handle(), dc);
  win::RECT update;
  EXPECT_TRUE(win::GetUpdateRect(panel->Handle(), &update, 0));
  EXPECT_FALSE(win::GetUpdateRect(custom->Handle(), &update, 0));
}

TEST_F(ParentBackground, NothingWithoutAParent) {
  SeeThrough<TCustomControl> orphan(nullptr);
  win::HDC screen = win::GetDC(nullptr);
  EXPECT_NO_THROW(PaintParentBackground(&orphan, screen, true));
  win::ReleaseDC(nullptr, screen);
}

TEST_F(ParentBackground, TheContextIsLeftAsItWas) {
  Striped* parent = AddStriped();
  auto* child = new TCustomControl(form);
  child->SetParent(parent);
  child->SetBounds(40, 10, 20, 20);
  script::Pump();
  qelo::test::Canvas canvas(20, 20, kBlack);
  win::HDC dc = canvas.dc();
  win::IntersectClipRect(dc, 0, 0, 15, 20);
  PaintParentBackground(child, dc, false);
  EXPECT_EQ(canvas.At(5, 5), kRed);
  EXPECT_EQ(canvas.At(12, 5), kBlue);
  EXPECT_EQ(canvas.At(17, 5), kBlack) << "outside the caller's clip";
  win::POINT origin;
  win::GetViewportOrgEx(dc, &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  win::RECT clip;
  win::GetClipBox(dc, &clip);
  EXPECT_EQ(clip.right, 15);
}

}  // namespace
}  // namespace qelo::ct
