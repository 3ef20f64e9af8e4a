// Panels: the border rectangle children sit in, the caption's place, the
// grid, the gradient and transparent client areas, the children's enabled
// states, obsolete form properties and the theme change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/composed_window.h"
#include "common/temp_dir.h"
#include "controls_fixture.h"
#include "ct_panel.h"
#include "registry/registry.h"
#include "vcl/form_reader.h"

namespace qelo::ct {
namespace {

using namespace vcl;
using vcl::test::ControlPixel;
using vcl::test::FormTest;

class PanelTest : public FormTest {
 protected:
  TCtPanel* MakePanel(int width = 120, int height = 80) {
    auto* panel = new TCtPanel(form);
    panel->SetParent(form);
    panel->SetBounds(10, 10, width, height);
    return panel;
  }
  // What the control shows, composed once, row by row.
  std::vector<win::COLORREF> Shown(TWinControl& c) {
    script::Pump();
    const qelo::test::ComposedWindow picture(form->Handle());
    const TPoint origin = form->ScreenToClient(c.ClientToScreen(Point(0, 0)));
    std::vector<win::COLORREF> pixels;
    for (int y = 0; y < c.Height(); ++y)
      for (int x = 0; x < c.Width(); ++x) pixels.push_back(picture.Pixel(origin.x + x, origin.y + y));
    return pixels;
  }
  // The bounding box of the pixels inside `area` that differ from the
  // background.
  TRect InkOf(TWinControl& c, const TRect& area, TColor background) {
    const std::vector<win::COLORREF> shown = Shown(c);
    TRect box = Rect(c.Width(), c.Height(), -1, -1);
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x)
        if (shown[y * c.Width() + x] != ColorToRGB(background))
          box = Rect(std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x + 1),
                     std::max<int>(box.bottom, y + 1));
    return box;
  }
  int CountOf(TWinControl& c, TColor color) {
    int n = 0;
    for (win::COLORREF p : Shown(c)) n += p == ColorToRGB(color);
    return n;
  }
};

std::string Text(const TRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// ---- border rectangle ----

TEST_F(PanelTest, ChildrenSitInsideTheBorderRectangle) {
  struct Case {
    const char* name;
    TFrameStyleEx outer, inner;
    int borderWidth, bevelWidth;
    TSides sides;
    TRect withBorder, withoutBorder;  // of a 120 x 80 panel
  };
  const TSides all = kAllSides;
  const Case cases[] = {
      {"raised, the default", fsRaised, fsNone, 0, 1, all, Rect(2, 2, 118, 78), Rect(2, 2, 118, 78)},
      {"flat", fsFlat, fsNone, 0, 1, all, Rect(1, 1, 119, 79), Rect(1, 1, 119, 79)},
      {"status takes the bevel width", fsStatus, fsNone, 0, 3, all, Rect(3, 3, 117, 77), Rect(3, 3, 117, 77)},
      {"raised and lowered", fsRaised, fsLowered, 0, 1, all, Rect(4, 4, 116, 76), Rect(4, 4, 116, 76)},
      {"bold and rounded", fsFlatBold, fsFlatRounded, 0, 1, all, Rect(4, 4, 116, 76), Rect(4, 4, 116, 76)},
      {"border width on all sides", fsFlat, fsNone, 5, 1, TSides{sdLeft}, Rect(6, 5, 115, 75), Rect(1, 0, 120, 80)},
      {"left and top only", fsRaised, fsPopup, 0, 2, TSides{sdLeft, sdTop}, Rect(4, 4, 120, 80), Rect(4, 4, 120, 80)},
      {"none", fsNone, fsNone, 0, 1, all, Rect(0, 0, 120, 80), Rect(0, 0, 120, 80)},
  };
  for (const Case& c : cases) {
    TCtPanel* panel = MakePanel();
    auto* child = new TCustomControl(form);
    child->SetParent(panel);
    child->SetAlign(alClient);
    panel->SetBorderOuter(c.outer);
    panel->SetBorderInner(c.inner);
    panel->SetBorderWidth(c.borderWidth);
    panel->SetBevelWidth(c.bevelWidth);
    panel->SetBorderSides(c.sides);
    TRect with = panel->GetControlRect(), without = panel->GetControlRect();
    panel->GetBorderRect(with, true);
    panel->GetBorderRect(without, false);
    EXPECT_EQ(Text(with), Text(c.withBorder)) << c.name;
    EXPECT_EQ(Text(without), Text(c.withoutBorder)) << c.name;
    EXPECT_EQ(Text(child->BoundsRect()), Text(c.withBorder)) << c.name << ": the aligned child";
    panel->Free();
  }
}

// ---- caption ----

TEST_F(PanelTest, CaptionIsPlacedByBothAlignmentsInsideTheMargins) {
  struct Case {
    TAlignment horizontal;
    TAlignmentVertical vertical;
  };
  const int margin = 6, marginVertical = 5;
  for (TAlignment h : {taLeftJustify, taCenter, taRightJustify}) {
    for (TAlignmentVertical v : {avTop, avCenter, avBottom}) {
      TCtPanel* panel = MakePanel(160, 80);
      panel->SetBorderOuter(fsFlat);  // the inner rectangle is (1, 1, 159, 79)
      panel->Font()->SetSize(10);
      panel->SetCaption("Drop files here");
      panel->SetAlignment(h);
      panel->SetAlignmentVertical(v);
      panel->SetTextMargin(margin);
      panel->SetTextMarginVertical(marginVertical);
      const TRect ink = InkOf(*panel, Rect(1, 1, 159, 79), panel->Color());
      const std::string what = kAlignmentInfo.NameOf(h) + " " + kAlignmentVerticalInfo.NameOf(v);
      ASSERT_LT(ink.left, ink.right) << what;
      const int inkMiddleX = (ink.left + ink.right) / 2, inkMiddleY = (ink.top + ink.bottom) / 2;
      EXPECT_GE(ink.left, 1 + margin) << what;
      EXPECT_LE(ink.right, 159 - margin) << what;
      EXPECT_GE(ink.top, 1 + marginVertical) << what;
      EXPECT_LE(ink.bottom, 79 - marginVertical) << what;
      if (h == taLeftJustify) {
        EXPECT_LE(ink.left, 1 + margin + 1) << what;
      } else if (h == taRightJustify) {
        EXPECT_GE(ink.right, 159 - margin - 1) << what << " " << Text(ink);
      } else {
        EXPECT_NEAR(inkMiddleX, 80, 3) << what;
      }
      if (v == avTop) {
        EXPECT_LE(ink.top, 1 + marginVertical + 5) << what;
      } else if (v == avBottom) {
        EXPECT_GE(ink.bottom, 79 - marginVertical - 6) << what;
      } else {
        EXPECT_NEAR(inkMiddleY, 40, 3) << what;
      }
      panel->Free();
    }
  }
}

// The panel's frame is 2 pixels wide (fsRaised); what the panel shows
// inside it stays as it was while the size changes.
TEST_F(PanelTest, NewSizeRepaintsOnlyTheFrameStripsUnlessCaptionOrFullRepaintAsk) {
  struct Case {
    const char* what;
    bool fullRepaint;
    const char* caption;
    TSize to;
    std::vector<TPoint> repainted, kept;  // client points
  } cases[] = {
      {"growing", false, "", {130, 80}, {{97, 30}, {125, 30}, {50, 57}, {50, 75}, {125, 75}}, {{50, 30}, {96, 30}, {50, 56}}},
      {"shrinking", false, "", {80, 50}, {{77, 30}, {79, 30}, {40, 47}}, {{40, 20}, {76, 30}, {40, 46}}},
      {"only wider", false, "", {130, 60}, {{97, 30}}, {{50, 57}, {50, 30}}},
      {"with a caption", true, "", {130, 80}, {{50, 30}, {97, 30}}, {}},
      {"full repaint", false, "Title", {130, 80}, {{50, 30}, {97, 30}}, {}},
  };
  for (const Case& c : cases) {
    TCtPanel* panel = MakePanel(100, 60);
    panel->SetFullRepaint(c.fullRepaint);
    panel->SetCaption(c.caption);
    script::Pump();
    panel->SetBounds(10, 10, c.to.cx, c.to.cy);
    win::HRGN update = win::CreateRectRgn(0, 0, 0, 0);
    win::GetUpdateRgn(panel->Handle(), update, false);
    for (const TPoint& p : c.repainted) EXPECT_TRUE(win::PtInRegion(update, p.x, p.y)) << c.what << " at " << p.x << "," << p.y;
    for (const TPoint& p : c.kept) EXPECT_FALSE(win::PtInRegion(update, p.x, p.y)) << c.what << " at " << p.x << "," << p.y;
    win::DeleteObject(update);
    panel->Free();
  }
}

TEST_F(PanelTest, GrownPanelShowsItsFrameOnlyAtItsNewEdges) {
  TCtPanel* panel = MakePanel(100, 60);
  panel->SetFullRepaint(false);
  panel->SetColor(clTeal);
  script::Pump();
  panel->SetBounds(10, 10, 130, 80);
  const std::vector<win::COLORREF> shown = Shown(*panel);
  auto at = [&](int x, int y) { return shown[static_cast<size_t>(y * panel->Width() + x)]; };
  for (int x : {98, 99}) EXPECT_EQ(at(x, 30), ColorToRGB(clTeal)) << "the old frame's column " << x << " is gone";
  for (int y : {58, 59}) EXPECT_EQ(at(50, y), ColorToRGB(clTeal)) << "the old frame's row " << y << " is gone";
  EXPECT_NE(at(129, 30), ColorToRGB(clTeal)) << "the frame at the new right edge";
  EXPECT_NE(at(50, 79), ColorToRGB(clTeal)) << "the frame at the new bottom edge";
}

TEST_F(PanelTest, DisabledPanelShowsItsCaptionGrey) {
  TCtPanel* panel = MakePanel();
  panel->SetCaption("Preview");
  panel->SetEnabled(false);
  EXPECT_GT(CountOf(*panel, clGrayText), 0);
}

// ---- grid, gradient, transparency ----

TEST_F(PanelTest, GridDrawsDotsOrLinesEveryGridStep) {
  struct Case {
    const char* name;
    TCtGridStyle style;
    int xSize, ySize;
    int pixels;  // of the grid colour in a 40 x 30 client area
  };
  const Case cases[] = {
      {"dots", gsDots, 8, 8, 5 * 3},
      {"no columns, no dots", gsDots, 0, 8, 0},
      {"solid lines", gsSolidLines, 8, 8, 5 * 30 + 3 * 40 - 5 * 3},
      {"no columns: rows only", gsSolidLines, 0, 8, 3 * 40},
      {"dotted lines", gsDottedLines, 10, 10, 4 * 15 + 3 * 20 - 4 * 3},
  };
  for (const Case& c : cases) {
    TCtPanel* panel = MakePanel(40, 30);
    panel->SetBorderOuter(fsNone);
    panel->SetShowGrid(true);
    panel->SetGridColor(clRed);
    panel->SetGridStyle(c.style);
    panel->SetGridXSize(c.xSize);
    panel->SetGridYSize(c.ySize);
    EXPECT_EQ(CountOf(*panel, clRed), c.pixels) << c.name;
    if (c.style == gsDots && c.pixels > 0) {
      EXPECT_EQ(ControlPixel(*panel, 7, 7), ColorToRGB(clRed)) << c.name;
    }
    panel->Free();
  }
}

TEST_F(PanelTest, GradientFillRunsFromStartToStop) {
  TCtPanel* panel = MakePanel(40, 30);
  panel->SetBorderOuter(fsNone);
  panel->SetVisualStyle(vsGradient);
  panel->SetGradientColorStyle(gcsCustom);
  panel->SetGradientColorStart(clWhite);
  panel->SetGradientColorStop(clBlack);
  EXPECT_EQ(ControlPixel(*panel, 20, 0), ColorToRGB(clWhite));
  EXPECT_EQ(ControlPixel(*panel, 20, 29), ColorToRGB(clBlack));
  panel->SetVisualStyle(vsClassic);
  EXPECT_EQ(ControlPixel(*panel, 20, 29), ColorToRGB(clBtnFace));
}

// A windowed child that counts its paints.
class CountingChild : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  int paints = 0;

 protected:
  void Paint() override { ++paints; }
};

TEST_F(PanelTest, TransparentPanelShowsItsParentAndRepaintsItsChildren) {
  form->SetColor(clNavy);
  TCtPanel* panel = MakePanel(60, 40);
  panel->SetBorderOuter(fsNone);
  auto* child = new CountingChild(form);
  child->SetParent(panel);
  child->SetBounds(30, 20, 20, 10);
  EXPECT_EQ(ControlPixel(*panel, 5, 5), ColorToRGB(clBtnFace));
  child->paints = 0;
  panel->SetTransparent(true);
  EXPECT_EQ(ControlPixel(*panel, 5, 5), ColorToRGB(clNavy));
  EXPECT_GT(child->paints, 0) << "what shows through the child changed";
}

// ---- children's enabled states ----

TEST_F(PanelTest, EnablingGivesEachChildBackItsOwnState) {
  TCtPanel* panel = MakePanel();
  std::vector<TCustomControl*> children;
  for (int i = 0; i < 3; ++i) {
    auto* c = new TCustomControl(form);
    c->SetParent(panel);
    c->SetBounds(5 + 30 * i, 5, 20, 20);
    children.push_back(c);
  }
  TCustomControl* disabledBefore = children[1];
  disabledBefore->SetEnabled(false);

  panel->SetEnabled(false);
  for (TCustomControl* c : children) EXPECT_FALSE(c->Enabled());
  // The children change places, one leaves and another comes while the
  // panel is disabled: the remembered states stay with their controls.
  disabledBefore->BringToFront();
  children[0]->SendToBack();
  children[2]->Free();
  children.pop_back();
  auto* newcomer = new TCustomControl(form);
  newcomer->SetParent(panel);
  newcomer->SetEnabled(false);

  panel->SetEnabled(true);
  EXPECT_TRUE(children[0]->Enabled());
  EXPECT_FALSE(disabledBefore->Enabled()) << "disabled before the panel was";
  EXPECT_TRUE(newcomer->Enabled()) << "a child the panel did not disable is enabled with it";
}

// ---- forms and theme ----

TEST_F(PanelTest, OlderFormsLoadWithTheirObsoleteProperties) {
  RegisterCtPanelClasses();
  TForm* loaded = new TForm(nullptr);
  ReadComponentText(*loaded,
                    "object frmLoaded: TForm\n"
                    "  object pnlOld: TCtPanel\n"
                    "    UseGradients = True\n"
                    "    FrameSides = [sdLeft]\n"
                    "    ThemeAware = False\n"
                    "    BorderOuter = fsFlatRounded\n"
                    "    GradientDirection = gdVerticalEnd\n"
                    "  end\n"
                    "  object pnlPlain: TCtPanel\n"
                    "    UseGradients = False\n"
                    "  end\n"
                    "end\n",
                    "loaded.form");
  auto& old = script::Find<TCtPanel>(*loaded, "pnlOld");
  EXPECT_EQ(old.VisualStyle(), vsGradient);
  EXPECT_EQ(old.BorderOuter(), fsFlatRounded);
  EXPECT_EQ(old.GradientDirection(), gdVerticalEnd);
  EXPECT_EQ(script::Find<TCtPanel>(*loaded, "pnlPlain").VisualStyle(), vsWinXP);
  loaded->Free();
}

TEST_F(PanelTest, ThemeChangeReadsTheColourSchemeAgain) {
  qelo::test::TempDir dir;
  setenv("QELO_REGISTRY_DIR", dir.File("config").c_str(), 1);
  TCtPanel* panel = MakePanel();
  RefreshXPColorScheme();
  ASSERT_EQ(XPColorScheme(), kXPColorSchemeBlue);
  reg::Key key;
  ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager",
                           reg::kAllAccess, &key),
            reg::Status::kOk);
  const std::string name = "Metallic";
  reg::SetValue(key, "ColorName", reg::ValueType::kString, name.c_str(), static_cast<uint32_t>(name.size() + 1));
  reg::CloseKey(key);
  panel->Perform(WM_THEMECHANGED);
  EXPECT_EQ(XPColorScheme(), kXPColorSchemeSilver);
  unsetenv("QELO_REGISTRY_DIR");
  RefreshXPColorScheme();
}

TEST_F(PanelTest, TakesTheFrameOfAVisibleController) {
  auto* controller = new TCtFrameController(form);
  controller->SetFrameVisible(true);
  controller->SetFrameStyle(fsFlat);
  controller->SetFrameColor(clRed);
  TCtPanel* panel = MakePanel();
  panel->SetFrameController(controller);
  EXPECT_EQ(panel->BorderOuter(), fsFlat);
  EXPECT_EQ(panel->FlatColor(), clRed);
  EXPECT_EQ(panel->FlatColorAdjustment(), 0);
  EXPECT_EQ(ControlPixel(*panel, 0, 40), ColorToRGB(clRed));
}

}  // namespace
}  // namespace qelo::ct
