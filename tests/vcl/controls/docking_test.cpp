// Dragging and docking controls with the mouse, size limits and the
// answer to a click that activates a window: dragging one control onto
// another that takes it (and the cursor on the way), docking into a dock
// site and the zones its manager gives, undocking from a grabber to float
// and back, the close button, a site that keeps its control, and the form
// file's properties.
#include <algorithm>
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "vcl/controls/dock_tree.h"
#include "vcl/form_reader.h"
#include "win/window/display.h"

namespace qelo::vcl::test {
namespace {

// The left button pressed at one screen point, the mouse moved through the
// others and released at the last: one drag.
void DragThrough(std::initializer_list<TPoint> path) {
  std::vector<TPoint> points(path);
  win::InjectMouseMove({points.front().x, points.front().y});
  win::InjectMouseButton(win::MouseButton::Left, true, {points.front().x, points.front().y});
  script::Pump();
  for (size_t i = 1; i < points.size(); ++i) {
    win::InjectMouseMove({points[i].x, points[i].y});
    script::Pump();
  }
  win::InjectMouseButton(win::MouseButton::Left, false, {points.back().x, points.back().y});
  script::Pump();
}

TPoint ScreenPoint(const TControl& c, int x, int y) { return c.ClientToScreen(Point(x, y)); }

class DockingTest : public FormTest {
 protected:
  TPanel* NewPanel(TWinControl* parent, const TRect& bounds, const std::string& caption) {
    auto* p = new TPanel(form);
    p->SetParent(parent);
    p->SetBoundsRect(bounds);
    p->SetCaption(caption);
    return p;
  }
  // A dock site along the form's left side with the framework's manager.
  TPanel* NewSite() {
    TPanel* site = NewPanel(form, Rect(0, 0, 150, 300), "");
    site->SetAlign(alLeft);
    site->SetDockSite(true);
    site->SetUseDockManager(true);
    return site;
  }
  // A control that docks itself when dragged.
  TPanel* NewDockable(const std::string& caption, int top = 20) {
    TPanel* p = NewPanel(form, Rect(250, top, 350, top + 60), caption);
    p->SetDragKind(dkDock);
    p->SetDragMode(dmAutomatic);
    return p;
  }
  void TearDown() override {
    for (int i = Screen()->FormCount() - 1; i >= 0; --i)
      if (Screen()->Forms(i) != form && Screen()->Forms(i)->Owner() == Application()) Screen()->Forms(i)->Free();
    FormTest::TearDown();
  }
};

// ---- drags onto controls ---------------------------------------------------------------

TEST_F(DockingTest, DragOntoAControlThatTakesItShowsTheDragCursorAndDrops) {
  TPanel* source = NewPanel(form, Rect(10, 10, 60, 40), "Source");
  source->SetDragCursor(crHandPoint);
  source->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { source->BeginDrag(false); };
  TPanel* taker = NewPanel(form, Rect(100, 10, 200, 90), "Taker");
  TPanel* refuser = NewPanel(form, Rect(100, 120, 200, 200), "Refuser");
  std::vector<std::string> journal;
  std::vector<win::HCURSOR> cursors;
  taker->OnDragOver = [&](TObject*, TObject* s, int, int, TDragState state, bool& accept) {
    journal.push_back(state == dsDragEnter ? "enter" : state == dsDragMove ? "move" : "leave");
    accept = s == source;
  };
  refuser->OnDragOver = [&](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = false; };
  taker->OnDragDrop = [&](TObject*, TObject* s, int x, int y) {
    journal.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
    EXPECT_EQ(s, source);
  };
  source->OnEndDrag = [&](TObject*, TObject* target, int, int) {
    journal.push_back(target == taker ? "ended on the taker" : "ended nowhere");
  };
  taker->OnMouseMove = [&](TObject*, TShiftState, int, int) { journal.push_back("taker saw the mouse"); };

  const TPoint start = ScreenPoint(*source, 10, 10);
  win::InjectMouseMove({start.x, start.y});
  win::InjectMouseButton(win::MouseButton::Left, true, {start.x, start.y});
  script::Pump();
  for (TPoint p : {ScreenPoint(*refuser, 50, 40), ScreenPoint(*taker, 20, 20), ScreenPoint(*taker, 30, 25)}) {
    win::InjectMouseMove({p.x, p.y});
    script::Pump();
    cursors.push_back(win::GetCursor());
  }
  const TPoint drop = ScreenPoint(*taker, 30, 25);
  win::InjectMouseButton(win::MouseButton::Left, false, {drop.x, drop.y});
  script::Pump();

  EXPECT_EQ(cursors[0], Screen()->Cursors(crNo)) << "over a control that refuses";
  EXPECT_EQ(cursors[1], Screen()->Cursors(crHandPoint)) << "over one that takes it: the DragCursor";
  EXPECT_EQ(journal, (std::vector<std::string>{"enter", "move", "drop 30,25", "ended on the taker"}))
      << "the capture keeps the target's own mouse messages away";
  EXPECT_FALSE(source->Dragging());
}

TEST_F(DockingTest, EscapeOrARefusingTargetEndsTheDragWithoutADrop) {
  TPanel* source = NewPanel(form, Rect(10, 10, 60, 40), "Source");
  TPanel* target = NewPanel(form, Rect(100, 10, 200, 90), "Target");
  int drops = 0;
  std::vector<TObject*> ends;
  target->OnDragDrop = [&](TObject*, TObject*, int, int) { ++drops; };
  source->OnEndDrag = [&](TObject*, TObject* t, int, int) { ends.push_back(t); };

  // Without OnDragOver a control refuses.
  source->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { source->BeginDrag(true); };
  DragThrough({ScreenPoint(*source, 5, 5), ScreenPoint(*target, 10, 10)});
  target->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool&) {};
  const TPoint start = ScreenPoint(*source, 5, 5), over = ScreenPoint(*target, 10, 10);
  win::InjectMouseMove({start.x, start.y});
  win::InjectMouseButton(win::MouseButton::Left, true, {start.x, start.y});
  win::InjectMouseMove({over.x, over.y});
  script::Pump();
  EXPECT_TRUE(source->Dragging());
  script::PressKey(win::VK_ESCAPE);
  EXPECT_FALSE(source->Dragging());
  win::InjectMouseButton(win::MouseButton::Left, false, {over.x, over.y});
  script::Pump();
  EXPECT_EQ(drops, 0);
  EXPECT_EQ(ends, (std::vector<TObject*>{nullptr, nullptr}));
}

// ---- docking ---------------------------------------------------------------------------

TEST_F(DockingTest, DraggedControlsDockIntoTheSitesZonesInTheOrderOfTheDrop) {
  TPanel* site = NewSite();
  TPanel* first = NewDockable("First");
  TPanel* second = NewDockable("Second", 120);
  int clicks = 0;
  first->OnClick = [&](TObject*) { ++clicks; };
  std::vector<std::string> events;
  site->OnDockDrop = [&](TObject*, TDragDockObject* d, int, int) { events.push_back("dropped " + d->Control()->Caption()); };
  first->OnEndDock = [&](TObject*, TObject* target, int, int) { events.push_back(target == site ? "first docked" : "?"); };

  DragThrough({ScreenPoint(*first, 50, 30), ScreenPoint(*first, 40, 30), ScreenPoint(*site, 70, 150)});
  EXPECT_EQ(first->HostDockSite(), site);
  EXPECT_EQ(first->Parent(), site);
  EXPECT_EQ(clicks, 0) << "the press that drags is no click";
  ASSERT_EQ(site->DockClientCount(), 1);
  const int grabber = TDockTree::kGrabberSize;
  TRect area;
  site->AdjustClientRect(area);
  EXPECT_EQ(first->BoundsRect().top, area.top + grabber) << "the zone less its grabber at the top";
  EXPECT_EQ(first->Height(), RectHeight(area) - grabber);
  EXPECT_EQ(first->Width(), RectWidth(area));
  EXPECT_EQ(events, (std::vector<std::string>{"dropped First", "first docked"}));

  // Into the upper half of the first zone: the new zone goes above it.
  DragThrough({ScreenPoint(*second, 50, 30), ScreenPoint(*second, 40, 30), ScreenPoint(*site, 70, 40)});
  EXPECT_EQ(second->HostDockSite(), site);
  EXPECT_EQ(site->DockManager()->Zones(), (std::vector<TControl*>{second, first}));
  EXPECT_EQ(second->Top(), area.top + grabber);
  EXPECT_EQ(first->Top(), area.top + RectHeight(area) / 2 + grabber) << "two zones share the height";
}

TEST_F(DockingTest, SiteAlongItsParentsTopLaysZonesSideBySideWithGrabbersOnTheLeft) {
  TPanel* bar = NewPanel(form, Rect(0, 0, 400, 60), "");
  bar->SetAlign(alTop);
  bar->SetDockSite(true);
  bar->SetUseDockManager(true);
  TPanel* a = NewDockable("A", 100);
  TPanel* b = NewDockable("B", 200);
  a->ManualDock(bar);
  b->ManualDock(bar, a, alRight);
  TRect area;
  bar->AdjustClientRect(area);
  const int half = RectWidth(area) / 2, grabber = TDockTree::kGrabberSize;
  EXPECT_EQ(a->Left(), area.left + grabber);
  EXPECT_EQ(b->Left(), area.left + half + grabber);
  EXPECT_EQ(a->Height(), RectHeight(area));
  TDockTree::Part part;
  EXPECT_EQ(bar->DockManager()->HitTest(Point(area.left + half + 3, area.top + 30), part), b);
  EXPECT_EQ(part, TDockTree::Part::Grabber);
}

TEST_F(DockingTest, GrabberDragFloatsTheControlAndItsCaptionDocksItBack) {
  TPanel* site = NewSite();
  TPanel* tool = NewDockable("Tools");
  tool->ManualDock(site);
  const TSize size{tool->Width(), tool->Height()};
  TRect area;
  site->AdjustClientRect(area);

  // Off the site by its grabber, to an empty part of the form.
  const TPoint grab = ScreenPoint(*site, area.left + 20, area.top + 5);
  const TPoint away = ScreenPoint(*form, 300, 200);
  DragThrough({grab, Point(grab.x + 10, grab.y + 10), away});
  ASSERT_TRUE(tool->Floating());
  EXPECT_EQ(site->DockClientCount(), 0);
  auto* floating = dynamic_cast<TCustomForm*>(tool->HostDockSite());
  ASSERT_NE(floating, nullptr);
  EXPECT_TRUE(floating->Visible());
  EXPECT_EQ(floating->Caption(), "Tools");
  EXPECT_EQ(floating->ClientWidth(), size.cx) << "the control keeps its size";
  const TPoint clientOrigin = floating->ClientToScreen(Point(0, 0));
  EXPECT_EQ(clientOrigin.x, away.x - 20) << "the point it was held by follows the mouse";

  // The floating form's caption drags the control back into the site.
  win::RECT frame;
  win::GetWindowRect(floating->Handle(), &frame);
  const TPoint caption = Point(frame.left + 30, frame.top + 5);
  DragThrough({caption, Point(caption.x - 10, caption.y), ScreenPoint(*site, 70, 150)});
  EXPECT_EQ(tool->HostDockSite(), site);
  EXPECT_FALSE(tool->Floating());
  script::Pump();
  for (int i = 0; i < Screen()->FormCount(); ++i)
    EXPECT_NE(Screen()->Forms(i), floating) << "the emptied floating form is gone";
}

TEST_F(DockingTest, CloseButtonHidesTheControlAndTheOthersTakeItsZone) {
  TPanel* site = NewSite();
  TPanel* a = NewDockable("A");
  TPanel* b = NewDockable("B", 120);
  a->ManualDock(site);
  b->ManualDock(site, a, alBottom);
  const TRect zone = site->DockManager()->ZoneRect(a);
  const TRect close = site->DockManager()->CloseButtonRect(zone);
  const TPoint p = ScreenPoint(*site, (close.left + close.right) / 2, (close.top + close.bottom) / 2);
  win::InjectMouseMove({p.x, p.y});
  win::InjectMouseButton(win::MouseButton::Left, true, {p.x, p.y});
  win::InjectMouseButton(win::MouseButton::Left, false, {p.x, p.y});
  script::Pump();
  EXPECT_FALSE(a->Visible());
  EXPECT_EQ(a->HostDockSite(), site) << "hidden, still docked";
  TRect area;
  site->AdjustClientRect(area);
  EXPECT_EQ(b->Top(), area.top + TDockTree::kGrabberSize);
  EXPECT_EQ(b->Height(), RectHeight(area) - TDockTree::kGrabberSize);
}

TEST_F(DockingTest, SiteMayKeepItsControlAndRefuseADrop) {
  TPanel* site = NewSite();
  TPanel* other = NewPanel(form, Rect(200, 150, 390, 290), "");
  other->SetDockSite(true);
  TPanel* tool = NewDockable("Tools");
  tool->ManualDock(site);
  site->OnUnDock = [](TObject*, TControl*, TWinControl*, bool& allow) { allow = false; };
  tool->ManualDock(other);
  EXPECT_EQ(tool->HostDockSite(), site) << "OnUnDock kept it";
  tool->ManualFloat(Rect(400, 400, 500, 460));
  EXPECT_EQ(tool->HostDockSite(), site);

  site->OnUnDock = nullptr;
  other->OnDockOver = [](TObject*, TDragDockObject*, int, int, TDragState, bool& accept) { accept = false; };
  TRect area;
  site->AdjustClientRect(area);
  const TPoint grab = ScreenPoint(*site, area.left + 20, area.top + 5);
  DragThrough({grab, Point(grab.x + 10, grab.y), ScreenPoint(*other, 90, 70)});
  EXPECT_TRUE(tool->Floating()) << "a site that refuses: the control floats where it was dropped";
  tool->ManualDock(other);
  EXPECT_EQ(tool->HostDockSite(), other);
  EXPECT_EQ(tool->Align(), alClient) << "a site without manager aligns what it takes";
}

// ---- size limits and the activating click ------------------------------------------------

TEST_F(DockingTest, ConstraintsBoundEverySizeAndTheSizeTheUserDrags) {
  TPanel* p = NewPanel(form, Rect(10, 10, 110, 60), "");
  p->Constraints()->SetMinWidth(50);
  p->Constraints()->SetMaxWidth(120);
  p->Constraints()->SetMinHeight(30);
  struct Case {
    int width, height, expectedWidth, expectedHeight;
  } cases[] = {{20, 10, 50, 30}, {200, 40, 120, 40}, {80, 500, 80, 500}};
  for (const Case& c : cases) {
    p->SetBounds(10, 10, c.width, c.height);
    EXPECT_EQ(p->Width(), c.expectedWidth) << c.width;
    EXPECT_EQ(p->Height(), c.expectedHeight) << c.height;
  }
  p->Constraints()->SetMaxHeight(100);
  EXPECT_EQ(p->Height(), 100) << "a new limit applies at once";

  form->Constraints()->SetMinWidth(250);
  win::MINMAXINFO info{};
  form->Perform(win::WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 250);
}

TEST_F(DockingTest, ClickInAnInactiveFormAsksOnMouseActivate) {
  TPanel* target = NewPanel(form, Rect(10, 10, 110, 60), "");
  auto* other = new TForm(Application());
  other->SetBounds(500, 400, 200, 150);
  other->Show();
  script::Pump();
  ASSERT_EQ(win::GetForegroundWindow(), other->Handle());
  int presses = 0;
  target->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++presses; };
  TMouseActivate answer = maNoActivateAndEat;
  std::vector<int> hitTests;
  target->OnMouseActivate = [&](TObject*, TMouseButton button, TShiftState, int x, int y, int hitTest,
                                TMouseActivate& result) {
    EXPECT_EQ(button, mbLeft);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 15);
    hitTests.push_back(hitTest);
    result = answer;
  };
  const TPoint p = ScreenPoint(*target, 20, 15);
  auto click = [&] {
    win::InjectMouseMove({p.x, p.y});
    win::InjectMouseButton(win::MouseButton::Left, true, {p.x, p.y});
    win::InjectMouseButton(win::MouseButton::Left, false, {p.x, p.y});
    script::Pump();
  };
  click();
  EXPECT_EQ(presses, 0) << "eaten";
  EXPECT_EQ(win::GetForegroundWindow(), other->Handle()) << "not activated";

  answer = maActivate;
  click();
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(win::GetForegroundWindow(), form->Handle());
  const int client = static_cast<int>(win::HTCLIENT);
  EXPECT_EQ(hitTests, (std::vector<int>{client, client}));
}

TEST(DockingForm, FormFilesKeepTheDragDockAndSizeProperties) {
  Application()->Initialize();
  RegisterControlClasses();
  auto* f = new TForm(nullptr);
  ReadComponentText(*f,
                    "object frmDock: TForm\n"
                    "  object pnlSite: TPanel\n"
                    "    DockSite = True\n"
                    "    UseDockManager = True\n"
                    "  end\n"
                    "  object pnlTool: TPanel\n"
                    "    DragKind = dkDock\n"
                    "    DragMode = dmAutomatic\n"
                    "    DragCursor = crHandPoint\n"
                    "    Constraints.MinWidth = 80\n"
                    "    Constraints.MaxHeight = 40\n"
                    "    Width = 20\n"
                    "    Height = 90\n"
                    "  end\n"
                    "end\n",
                    "dock.form");
  auto& site = script::Find<TPanel>(*f, "pnlSite");
  auto& tool = script::Find<TPanel>(*f, "pnlTool");
  EXPECT_TRUE(site.DockSite());
  EXPECT_NE(site.DockManager(), nullptr) << "made once the form is loaded";
  EXPECT_EQ(tool.DragKind(), dkDock);
  EXPECT_EQ(tool.DragCursor(), crHandPoint);
  EXPECT_EQ(tool.Constraints()->MinWidth(), 80);
  EXPECT_EQ(tool.Width(), 80);
  EXPECT_EQ(tool.Height(), 40);
  f->Free();
}

}  // namespace
}  // namespace qelo::vcl::test
