// The group box: where each style puts the children and the caption, what
// it paints, and the caption's accelerator.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "controls_fixture.h"
#include "ct_common_color.h"
#include "ct_panel_group_box.h"
#include "ct_panel_status_bar.h"
#include "vcl/controls/scripting.h"
#include "vcl/controls/edit.h"
#include "vcl/controls/extctrls.h"
#include "vcl/form_reader.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/window_pixel.h"

namespace qelo::ct {
namespace {

namespace script = vcl::script;
using vcl::Rect;
using vcl::TColor;
using vcl::TRect;

std::string Show(const TRect& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + ")";
}

class GroupBox : public vcl::test::FormTest {
 protected:
  TCtGroupBox* Place(TCtGroupBoxStyle style, const std::string& caption, int left = 10, int top = 10) {
    auto* box = new TCtGroupBox(form);
    box->SetParent(form);
    box->SetBounds(left, top, 200, 105);
    box->SetGroupStyle(style);
    box->SetCaption(caption);
    return box;
  }
  // A control filling the box's client area shows where children go.
  static TRect ChildArea(TCtGroupBox& box) {
    auto* child = new vcl::TPanel(&box);
    child->SetParent(&box);
    child->SetAlign(vcl::alClient);
    box.Realign();
    const TRect r = child->BoundsRect();
    delete child;
    return r;
  }
  static vcl::TSize Extent(TCtGroupBox& box, const std::string& text) {
    vcl::TBitmap sample(1, 1);
    sample.Canvas()->Font()->Assign(box.Font());
    return sample.Canvas()->TextExtent(text);
  }
  TColor Pixel(vcl::TControl& control, int x, int y) {
    script::Pump();
    return qelo::test::WindowPixel(form->Handle(), control.Left() + x, control.Top() + y);
  }
  static TColor Rgb(TColor color) { return vcl::ColorToRGB(color); }
};

TEST_F(GroupBox, DefaultsOfANewBox) {
  TCtGroupBox* box = Place(gsFlat, "");
  TCtGroupBox fresh(nullptr);
  EXPECT_EQ(fresh.GroupStyle(), gsFlat);
  EXPECT_EQ(fresh.Height(), 105);
  EXPECT_EQ(fresh.BorderOuter(), fsNone);
  EXPECT_EQ(fresh.BorderInner(), fsNone);
  EXPECT_EQ(fresh.Alignment(), vcl::taLeftJustify);
  EXPECT_EQ(fresh.AlignmentVertical(), avTop);
  EXPECT_TRUE(box->ControlStyle().Contains(vcl::csDoubleClicks));
  EXPECT_TRUE(box->ControlStyle().Contains(vcl::csSetCaption));
}

TEST_F(GroupBox, EachStyleLeavesItsOwnClientArea) {
  TCtGroupBox* probe = Place(gsFlat, "");
  const int h = Extent(*probe, "Yy").cy;
  ASSERT_GT(h, 4);
  struct Case {
    TCtGroupBoxStyle style;
    std::string caption;
    int bannerHeight, borderWidth;
    TRect expected;
  } cases[] = {
      {gsStandard, "Output", 0, 0, Rect(2, h + 2, 198, 103)},
      {gsFlat, "Output", 0, 0, Rect(1, h + 1, 199, 104)},
      {gsFlat, "", 0, 0, Rect(1, h + 1, 199, 104)},  // the frame leaves room for a caption anyway
      {gsCustom, "Output", 0, 0, Rect(2, h + 2, 198, 103)},
      {gsCustom, "", 0, 0, Rect(2, 2, 198, 103)},
      {gsTopLine, "Output", 0, 0, Rect(0, h, 200, 105)},
      {gsBanner, "Output", 0, 0, Rect(0, h + 8, 200, 105)},
      {gsBanner, "Output", 30, 0, Rect(0, 30, 200, 105)},
      {gsUnderline, "Output", 0, 0, Rect(0, h + 4, 200, 105)},
      // A border wider than half the text: the caption sits in it.
      {gsStandard, "Output", 0, 10, Rect(12, 10 + h / 2 - 1 + 2, 188, 93)},
      {gsFlat, "Output", 0, 3, Rect(4, h + 1, 196, 101)},
  };
  delete probe;
  for (const Case& c : cases) {
    TCtGroupBox* box = Place(c.style, c.caption);
    box->SetBannerHeight(c.bannerHeight);
    box->SetBorderWidth(c.borderWidth);
    EXPECT_EQ(Show(ChildArea(*box)), Show(c.expected))
        << kCtGroupBoxStyleInfo.NameOf(c.style) << " \"" << c.caption << "\" border " << c.borderWidth;
    delete box;
  }
}

TEST_F(GroupBox, CaptionRectanglesByStyleMeasureTheCaptionWithoutItsMarks) {
  TCtGroupBox* probe = Place(gsFlat, "");
  const vcl::TSize text = Extent(*probe, "Options");
  const int tw = text.cx, th = text.cy;
  delete probe;
  struct Case {
    TCtGroupBoxStyle style;
    bool rightToLeft;
    int bannerHeight;
    TRect expected;
  } cases[] = {
      {gsStandard, false, 0, Rect(8, 0, 8 + tw, th)},
      {gsFlat, false, 0, Rect(8, 0, 8 + tw, th)},
      {gsFlat, true, 0, Rect(200 - tw - 8, 0, 192, th)},
      {gsTopLine, false, 0, Rect(0, 0, tw + 4, th)},
      {gsTopLine, true, 0, Rect(200 - tw - 4, 0, 196, th)},
      {gsBanner, false, 0, Rect(0, 0, 200, th + 6)},
      {gsBanner, false, 22, Rect(0, 0, 200, 22)},
      {gsUnderline, false, 0, Rect(0, 0, 200, th + 2)},
      {gsCustom, false, 0, Rect(0, 0, 0, 0)},
  };
  for (const Case& c : cases) {
    TCtGroupBox* box = Place(c.style, "&Options");
    box->SetBiDiMode(c.rightToLeft ? vcl::bdRightToLeft : vcl::bdLeftToRight);
    box->SetBannerHeight(c.bannerHeight);
    EXPECT_EQ(Show(box->CaptionRect()), Show(c.expected)) << kCtGroupBoxStyleInfo.NameOf(c.style);
    box->SetCaption("");
    EXPECT_EQ(Show(box->CaptionRect()), Show(Rect(0, 0, 0, 0))) << kCtGroupBoxStyleInfo.NameOf(c.style);
    delete box;
  }
}

TEST_F(GroupBox, TheStandardFrameBreaksOnlyForACaption) {
  TCtGroupBox* plain = Place(gsStandard, "", 10, 10);
  TCtGroupBox* titled = Place(gsStandard, "Output", 10, 150);
  const int line = Extent(*plain, "Pp").cy / 2 - 1;
  // The etched line: shadow above, highlight below.
  for (int x = 2; x < 198; ++x) ASSERT_EQ(Pixel(*plain, x, line), Rgb(vcl::clBtnShadow)) << x;
  const TRect caption = titled->CaptionRect();
  EXPECT_EQ(Pixel(*titled, caption.left - 2, line), Rgb(vcl::clBtnShadow));
  EXPECT_EQ(Pixel(*titled, caption.right + 2, line), Rgb(vcl::clBtnShadow));
  int frameInCaption = 0;
  for (int x = caption.left; x < caption.right; ++x) frameInCaption += Pixel(*titled, x, line) == Rgb(vcl::clBtnShadow);
  EXPECT_LT(frameInCaption, caption.right - caption.left);
  EXPECT_EQ(Pixel(*titled, 0, 60), Rgb(vcl::clBtnShadow));
  EXPECT_EQ(Pixel(*titled, 1, 60), Rgb(vcl::clBtnHighlight));
}

TEST_F(GroupBox, TheFlatStyleRoundsItsCorners) {
  TCtGroupBox* box = Place(gsFlat, "");
  box->SetFlatColor(vcl::clBlue);
  box->SetFlatColorAdjustment(0);
  const int top = Extent(*box, "Pp").cy / 2 - 1;
  EXPECT_EQ(Pixel(*box, 0, top), Rgb(box->Color()));  // the corner is cut
  EXPECT_EQ(Pixel(*box, 2, top), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(*box, 1, top + 1), Rgb(vcl::clBlue));  // the inner corner pixel
  EXPECT_EQ(Pixel(*box, 0, 50), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(*box, 198, 103), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(*box, 199, 104), Rgb(box->Color()));
}

TEST_F(GroupBox, TheBannerIsAGradientBandFromTheLightColour) {
  TCtGroupBox* box = Place(gsBanner, "Watermark");
  box->SetGradientColorStyle(gcsCustom);
  box->SetGradientColorStart(vcl::clYellow);
  box->SetGradientColorStop(vcl::clRed);
  box->SetFlatColor(vcl::clBlue);
  box->SetFlatColorAdjustment(0);
  const TRect band = box->CaptionRect();
  EXPECT_EQ(Pixel(*box, 0, 0), Rgb(box->Color()));  // corners left out
  EXPECT_EQ(Pixel(*box, 1, 0), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(*box, 0, 1), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(*box, 190, 1), Rgb(vcl::clYellow));
  EXPECT_EQ(Pixel(*box, 190, band.bottom - 2), Rgb(vcl::clRed));
  EXPECT_EQ(Pixel(*box, 190, band.bottom - 1), Rgb(vcl::clBlue));
}

TEST_F(GroupBox, TheUnderlineRunsAlongTheCaptionsBottom) {
  TCtGroupBox* box = Place(gsUnderline, "Effects");
  box->SetFlatColor(vcl::clBlue);
  box->SetFlatColorAdjustment(0);
  const TRect caption = box->CaptionRect();
  EXPECT_EQ(Pixel(*box, 0, caption.bottom), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(*box, 199, caption.bottom), Rgb(vcl::clBlue));
  EXPECT_EQ(Pixel(*box, 100, caption.bottom + 1), Rgb(box->Color()));
  EXPECT_EQ(Pixel(*box, 150, caption.bottom - 1), Rgb(box->Color()));
}

TEST_F(GroupBox, OnlyTheCustomStyleTakesTheControllersFrame) {
  RegisterCtCommonClasses();
  TCtGroupBox* flat = Place(gsFlat, "A");
  TCtGroupBox* custom = Place(gsCustom, "B", 10, 150);
  auto* controller = new TCtFrameController(form);
  controller->SetFrameStyle(fsRaised);
  controller->SetFrameVisible(true);
  flat->SetFrameController(controller);
  custom->SetFrameController(controller);
  EXPECT_EQ(flat->BorderOuter(), fsNone);
  EXPECT_EQ(custom->BorderOuter(), fsRaised);
}

TEST_F(GroupBox, TheCaptionsAcceleratorFocusesTheFirstControlInside) {
  TCtGroupBox* box = Place(gsStandard, "&Options");
  auto* outside = new vcl::TPanel(form);  // takes no characters: they go to the form
  outside->SetParent(form);
  outside->SetBounds(250, 10, 100, 22);
  outside->SetTabStop(true);
  auto* second = new vcl::TEdit(form);
  second->SetParent(box);
  second->SetBounds(10, 60, 100, 22);
  auto* first = new vcl::TEdit(form);
  first->SetParent(box);
  first->SetBounds(10, 30, 100, 22);
  first->SetTabOrder(0);
  TCtGroupBox* other = Place(gsStandard, "&Format", 10, 150);
  auto* inOther = new vcl::TEdit(form);
  inOther->SetParent(other);
  inOther->SetBounds(10, 30, 100, 22);
  other->SetEnabled(false);
  script::Focus(*outside);

  script::TypeText("O");
  EXPECT_TRUE(first->Focused());
  script::Focus(*outside);
  script::TypeText("f");  // a disabled box cannot take the focus
  EXPECT_TRUE(outside->Focused());
  script::TypeText("q");  // no accelerator
  EXPECT_TRUE(outside->Focused());
  EXPECT_EQ(box->Perform(vcl::CM_DIALOGCHAR, 'x', 0), 0);
  EXPECT_EQ(box->Perform(vcl::CM_DIALOGCHAR, 'o', 0), 1);
}

TEST_F(GroupBox, StylesOnScreen) {
  const TCtGroupBoxStyle styles[] = {gsStandard, gsCustom, gsTopLine, gsFlat, gsBanner, gsUnderline};
  for (int i = 0; i < 6; ++i) {
    TCtGroupBox* box = Place(styles[i], "&" + kCtGroupBoxStyleInfo.NameOf(styles[i]), 8 + (i % 2) * 196, 4 + (i / 2) * 98);
    box->SetWidth(188);
    box->SetHeight(92);
    if (styles[i] == gsCustom) box->SetBorderOuter(fsRaised);
    auto* inside = new vcl::TEdit(form);
    inside->SetParent(box);
    inside->SetAlign(vcl::alTop);
    inside->SetText("inside");
  }
  script::Pump();
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(win::SaveWindowScreenshot(form->Handle(), QELO_SCREENSHOT_DIR "/group-boxes.png"));
}

TEST_F(GroupBox, AFormPlacesItWithItsStyle) {
  RegisterCtBarClasses();
  vcl::TComponent root(nullptr);
  vcl::ReadComponentText(root,
                         "object root: TComponent\n"
                         "  object grpWatermark: TCtGroupBox\n"
                         "    Caption = 'Watermark'\n"
                         "    GroupStyle = gsBanner\n"
                         "    BannerHeight = 24\n"
                         "    GradientColorStyle = gcsMSOffice\n"
                         "  end\n"
                         "end\n",
                         "box.form");
  auto& box = script::Find<TCtGroupBox>(root, "grpWatermark");
  EXPECT_EQ(box.GroupStyle(), gsBanner);
  EXPECT_EQ(box.BannerHeight(), 24);
  EXPECT_EQ(box.Caption(), "Watermark");
}

}  // namespace
}  // namespace qelo::ct
