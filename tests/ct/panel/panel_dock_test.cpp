// Panels as dock sites: the library's dock manager and the double
// buffering it brings, the grabber's side, the grabbers' captions in the
// caption colours of the focus with their close glyph, the upright caption
// of a bar's grabbers, the repaint on a child's command or an activating
// click, and the form file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "common/composed_window.h"
#include "controls_fixture.h"
#include "ct_panel.h"
#include "ct_panel_dock_manager.h"
#include "vcl/form_reader.h"

namespace qelo::ct {
namespace {

using namespace vcl;
using vcl::test::FormTest;

class PanelDockTest : public FormTest {
 protected:
  TCtPanel* NewSite(TAlign align, const TRect& bounds = Rect(0, 0, 160, 300)) {
    auto* site = new TCtPanel(form);
    site->SetParent(form);
    site->SetBoundsRect(bounds);
    site->SetAlign(align);
    site->SetDockSite(true);
    site->SetUseDockManager(true);
    return site;
  }
  TPanel* NewClient(const std::string& caption) {
    auto* p = new TPanel(form);
    p->SetParent(form);
    p->SetBounds(250, 200, 100, 60);
    p->SetCaption(caption);
    p->SetTabStop(true);
    return p;
  }
  TRect Zone(TCtPanel& site, TControl& client) { return site.DockManager()->ZoneRect(&client); }
  // What the site shows, composed once.
  struct Shown {
    Shown(TForm& form, TCtPanel& site) : picture(form.Handle()), origin(form.ScreenToClient(site.ClientToScreen(Point(0, 0)))) {}
    win::COLORREF At(int x, int y) const { return picture.Pixel(origin.x + x, origin.y + y); }
    int Count(const TRect& r, TColor colour) const {
      int n = 0;
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += At(x, y) == ColorToRGB(colour);
      return n;
    }
    // The box of the ink of `text` on `ground`: the pixels nearer the
    // text's colour (smoothed edges count as far as they lean to it).
    TRect InkBox(const TRect& r, TColor text, TColor ground, int* count = nullptr) const {
      TRect box = Rect(r.right, r.bottom, r.left, r.top);
      int n = 0;
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
          if (Distance(At(x, y), ColorToRGB(text)) < Distance(At(x, y), ColorToRGB(ground))) {
            ++n;
            box = Rect(std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x + 1),
                       std::max<int>(box.bottom, y + 1));
          }
      if (count) *count = n;
      return box;
    }
    static int Distance(win::COLORREF a, win::COLORREF b) {
      return std::abs(win::GetRValue(a) - win::GetRValue(b)) + std::abs(win::GetGValue(a) - win::GetGValue(b)) +
             std::abs(win::GetBValue(a) - win::GetBValue(b));
    }
    qelo::test::ComposedWindow picture;
    TPoint origin;
  };
  Shown Look(TCtPanel& site) {
    site.Invalidate();
    script::Pump();
    return Shown(*form, site);
  }
};

TEST_F(PanelDockTest, SiteWithAManagerGetsTheLibrarysAndIsDoubleBufferedWhileItHasIt) {
  TCtPanel* site = NewSite(alLeft);
  EXPECT_NE(dynamic_cast<TCtPanelDockManager*>(site->DockManager()), nullptr);
  EXPECT_TRUE(site->DoubleBuffered());
  site->SetUseDockManager(false);
  EXPECT_EQ(site->DockManager(), nullptr);
  EXPECT_FALSE(site->DoubleBuffered());
}

// The manager repaints the panel when a docked control sends a command or
// a click activates: the focus, and with it the captions' colours, may
// have moved. Without the manager these leave the panel as it is.
TEST_F(PanelDockTest, CommandOrActivatingClickRepaintsThePanelWhileTheManagerHooksIt) {
  TCtPanel* site = NewSite(alLeft);
  for (bool hooked : {true, false}) {
    site->SetUseDockManager(hooked);
    for (UINT message : {win::WM_COMMAND, win::WM_MOUSEACTIVATE}) {
      script::Pump();
      win::RECT dirty;
      ASSERT_FALSE(win::GetUpdateRect(site->Handle(), &dirty, 0));
      win::SendMessage(site->Handle(), message, 0, 0);
      EXPECT_EQ(win::GetUpdateRect(site->Handle(), &dirty, 0) != 0, hooked) << "message " << message;
    }
  }
}

TEST_F(PanelDockTest, DockedControlLosesTheGrabberAtItsTopOrInABarAtItsLeft) {
  struct Case {
    TAlign align;
    bool left;
  } cases[] = {{alLeft, false}, {alNone, false}, {alRight, false}, {alTop, true}, {alBottom, true}};
  for (const Case& c : cases) {
    TCtPanel* site = NewSite(c.align, c.left ? Rect(0, 0, 400, 80) : Rect(0, 0, 160, 300));
    TPanel* client = NewClient("Tools");
    client->ManualDock(site);
    TRect area;
    site->AdjustClientRect(area);
    TRect border = site->ClientRect();
    site->GetBorderRect(border, false);
    EXPECT_EQ(area.left, border.left) << "a dock site's area lies inside its frame";
    const int g = TCtPanelDockManager::kGrabberSize;
    const TRect expected = c.left ? Rect(area.left + g, area.top, area.right, area.bottom)
                                  : Rect(area.left, area.top + g, area.right, area.bottom);
    const TRect got = client->BoundsRect();
    EXPECT_TRUE(win::EqualRect(&got, &expected)) << "align " << c.align << ": " << got.left << "," << got.top;
    site->Free();
  }
}

TEST_F(PanelDockTest, GrabbersShowCaptionsInTheCaptionColoursOfTheFocusWithTheCloseGlyph) {
  TCtPanel* site = NewSite(alLeft);
  TPanel* focused = NewClient("Focused");
  TPanel* other = NewClient("Other");
  focused->ManualDock(site);
  other->ManualDock(site, focused, alBottom);
  script::Focus(*focused);
  const Shown s = Look(*site);
  struct Case {
    TControl* control;
    TColor band, text;
  } cases[] = {{focused, clActiveCaption, clCaptionText}, {other, clInactiveCaption, clInactiveCaptionText}};
  for (const Case& c : cases) {
    const TRect zone = Zone(*site, *c.control);
    const TRect band = Rect(zone.left, zone.top, zone.right, zone.top + TCtPanelDockManager::kGrabberSize);
    const TRect close = site->DockManager()->CloseButtonRect(zone);
    EXPECT_EQ(close.right, zone.right - 2);
    EXPECT_EQ(s.At(zone.left, zone.top), ColorToRGB(c.band)) << c.control->Caption();
    const TRect caption = s.InkBox(Rect(band.left, band.top, close.left, band.bottom), c.text, c.band);
    EXPECT_GE(caption.left, zone.left + 2) << c.control->Caption() << ": the caption starts 2 pixels in";
    EXPECT_LT(caption.left, zone.left + 5);
    EXPECT_GT(RectWidth(caption), 20);
    int inked = 0;
    const TRect glyph = s.InkBox(close, c.text, c.band, &inked);
    EXPECT_GT(RectWidth(glyph), 3) << "the close glyph in the caption's colour";
    EXPECT_GT(RectHeight(glyph), 3);
    EXPECT_LT(inked, RectWidth(glyph) * RectHeight(glyph) * 2 / 3) << "a cross, not a block";
  }

  site->SetShowDockClientCaptions(false);
  const Shown plain = Look(*site);
  const TRect zone = Zone(*site, *focused);
  EXPECT_EQ(plain.Count(Rect(zone.left, zone.top, zone.right, zone.top + 14), clActiveCaption), 0)
      << "the framework's grabber instead";
}

TEST_F(PanelDockTest, BarsGrabbersTurnTheCaptionUpright) {
  TCtPanel* bar = NewSite(alTop, Rect(0, 0, 400, 100));
  TPanel* client = NewClient("Upright caption");
  client->ManualDock(bar);
  const Shown s = Look(*bar);
  const TRect zone = Zone(*bar, *client);
  const TRect band = Rect(zone.left, zone.top, zone.left + TCtPanelDockManager::kGrabberSize, zone.bottom);
  const TRect below = Rect(band.left, band.top + 14, band.right, band.bottom);
  // Nothing holds the focus: the inactive caption's colours.
  EXPECT_EQ(s.At(band.left + 1, band.bottom - 1), ColorToRGB(clInactiveCaption));
  const TRect caption = s.InkBox(below, clInactiveCaptionText, clInactiveCaption);
  ASSERT_GT(RectHeight(caption), 0);
  EXPECT_GT(RectHeight(caption), 3 * RectWidth(caption)) << "the text runs up the band";
  EXPECT_LE(caption.bottom, zone.bottom - 3 + 1);
  EXPECT_GE(caption.bottom, zone.bottom - 8) << "it starts at the band's bottom";
  const TRect close = bar->DockManager()->CloseButtonRect(zone);
  EXPECT_EQ(close.left, zone.left + 1);
  int inked = 0;
  s.InkBox(close, clInactiveCaptionText, clInactiveCaption, &inked);
  EXPECT_GT(inked, 3) << "the close glyph at the band's top";
}

TEST(PanelDockForm, FormFileMakesTheLibrarysManagerOnceLoaded) {
  Application()->Initialize();
  RegisterControlClasses();
  RegisterCtPanelClasses();
  auto* f = new TForm(nullptr);
  ReadComponentText(*f,
                    "object frmDock: TForm\n"
                    "  object pnlDock: TCtPanel\n"
                    "    Align = alTop\n"
                    "    DockSite = True\n"
                    "    UseDockManager = True\n"
                    "    ShowDockClientCaptions = False\n"
                    "  end\n"
                    "end\n",
                    "dock.form");
  auto& panel = script::Find<TCtPanel>(*f, "pnlDock");
  EXPECT_NE(dynamic_cast<TCtPanelDockManager*>(panel.DockManager()), nullptr);
  EXPECT_FALSE(panel.ShowDockClientCaptions());
  f->Free();
}

}  // namespace
}  // namespace qelo::ct
