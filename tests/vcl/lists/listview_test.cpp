// The framework list view over the native one: items and columns kept in
// step with the window, selection and check events from real clicks,
// custom and owner drawing, row heights from image lists, label edits,
// column clicks and sorting.
#include "lists_fixture.h"
#include "vcl/controls/listview.h"
#include "vcl/form_reader.h"

namespace qelo::vcl::test {
namespace {

using namespace win;

std::string NativeText(TCustomListView& view, int item, int subItem) {
  char buffer[64] = {};
  LVITEM lv;
  lv.iSubItem = subItem;
  lv.pszText = buffer;
  lv.cchTextMax = sizeof buffer;
  SendMessage(view.Handle(), LVM_GETITEMTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
  return buffer;
}

std::string NativeColumnCaption(TCustomListView& view, int column) {
  char buffer[64] = {};
  LVCOLUMN lv;
  lv.mask = LVCF_TEXT;
  lv.pszText = buffer;
  lv.cchTextMax = sizeof buffer;
  SendMessage(view.Handle(), LVM_GETCOLUMN, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&lv));
  return buffer;
}

class ListViewTest : public FormTest {
 protected:
  // A report view on the form with columns "Name" (100) and "Size" (60)
  // and rows "alpha", "beta", "gamma" (sub-item "1", "2", "3").
  TListView* MakeReport(bool show = true) {
    TListView* view = NewReportView(form);
    int n = 1;
    for (const char* caption : {"alpha", "beta", "gamma"}) {
      TListItem* item = view->Items()->Add();
      item->SetCaption(caption);
      item->SubItems()->Add(std::to_string(n++));
    }
    if (show) {
      view->SetParent(form);
      script::Pump();
    }
    return view;
  }
  TPoint RowPoint(TListView& view, int row) {
    const TRect r = view.Items()->Item(row)->DisplayRect(drLabel);
    return Point(r.left + 4, (r.top + r.bottom) / 2);
  }
};

TEST_F(ListViewTest, ItemsAndColumnsReachTheWindowBeforeAndAfterItExistsAndSurviveARecreation) {
  TListView* view = MakeReport(false);
  view->Items()->Item(1)->SetSelected(true);
  view->Items()->Item(2)->SetData(view);
  view->SetParent(form);

  HWND h = view->Handle();
  EXPECT_EQ(SendMessage(h, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(NativeText(*view, 1, 0), "beta");
  EXPECT_EQ(NativeText(*view, 2, 1), "3");
  EXPECT_EQ(SendMessage(h, LVM_GETCOLUMNWIDTH, 1, 0), 60);
  EXPECT_EQ(view->Selected(), view->Items()->Item(1)) << "a selection made before the window is kept";

  // Changes after the window exists go to it at once.
  TListItem* gamma = view->Items()->Item(2);
  gamma->SetCaption("GAMMA");
  gamma->SubItems()->Clear();
  gamma->SubItems()->Add("x");
  gamma->SubItems()->Add("y");
  EXPECT_EQ(NativeText(*view, 2, 0), "GAMMA");
  EXPECT_EQ(NativeText(*view, 2, 1), "x");
  TListItem* inserted = view->Items()->Insert(0);
  inserted->SetCaption("first");
  EXPECT_EQ(NativeText(*view, 0, 0), "first");
  EXPECT_EQ(gamma->Index(), 3);
  EXPECT_EQ(NativeText(*view, 3, 0), "GAMMA");
  view->Items()->Delete(1);  // "alpha"
  EXPECT_EQ(SendMessage(h, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(NativeText(*view, 1, 0), "beta");

  // The user's column width, selection and focus outlive a new window.
  SendMessage(h, LVM_SETCOLUMNWIDTH, 0, 140);
  view->SetItemFocused(gamma);
  view->SetMultiSelect(true);  // needs a new window
  EXPECT_NE(view->Handle(), nullptr);
  EXPECT_EQ(view->Columns()->Items(0)->Width(), 140);
  EXPECT_EQ(view->Selected(), view->Items()->Item(1));
  EXPECT_EQ(view->ItemFocused(), gamma);
  EXPECT_EQ(gamma->Data(), view);
  EXPECT_EQ(NativeText(*view, 2, 2), "y");

  EXPECT_THROW(view->Items()->Insert(9), EListError);
  EXPECT_THROW(view->Columns()->Items(2), EListError);
}

TEST_F(ListViewTest, AClickOnARowSelectsItAfterAskingOnChanging) {
  TListView* view = MakeReport();
  Journal journal;
  bool allow = true;
  view->OnChanging = [&](TObject*, TListItem* item, TItemChange change, bool& allowChange) {
    if (change == ctState) journal.Add("changing " + (item ? item->Caption() : "-"));
    allowChange = allow;
  };
  view->OnChange = [&](TObject*, TListItem* item, TItemChange change) {
    if (change == ctState) journal.Add("change " + (item ? item->Caption() : "-"));
  };
  view->OnSelectItem = [&](TObject*, TListItem* item, bool selected) {
    journal.Add("select " + item->Caption() + (selected ? " on" : " off"));
  };

  ClickAt(*view, RowPoint(*view, 1));
  EXPECT_EQ(view->Selected(), view->Items()->Item(1));
  EXPECT_EQ(view->SelCount(), 1);
  ASSERT_FALSE(journal.lines.empty());
  EXPECT_EQ(journal.lines.front(), "changing beta");
  const auto select = std::find(journal.lines.begin(), journal.lines.end(), "select beta on");
  const auto change = std::find(journal.lines.begin(), journal.lines.end(), "change beta");
  ASSERT_NE(select, journal.lines.end());
  ASSERT_NE(change, journal.lines.end());

  journal.lines.clear();
  ClickAt(*view, RowPoint(*view, 2));
  EXPECT_EQ(view->Selected(), view->Items()->Item(2));
  EXPECT_NE(std::find(journal.lines.begin(), journal.lines.end(), "select beta off"), journal.lines.end());

  // A refused change keeps the selection where it was.
  allow = false;
  journal.lines.clear();
  ClickAt(*view, RowPoint(*view, 0));
  EXPECT_EQ(view->Selected(), view->Items()->Item(2));
  EXPECT_TRUE(std::none_of(journal.lines.begin(), journal.lines.end(),
                           [](const std::string& l) { return l.rfind("select", 0) == 0; }));
}

TEST_F(ListViewTest, MouseInputReachesTheClickMenuAndInfoTipEvents) {
  TListView* view = MakeReport();
  int clicks = 0, doubleClicks = 0;
  std::vector<TPoint> popups;
  std::vector<std::string> tips;
  view->OnClick = [&](TObject*) { ++clicks; };
  view->OnDblClick = [&](TObject*) { ++doubleClicks; };
  view->OnContextPopup = [&](TObject*, TPoint p, bool& handled) {
    popups.push_back(p);
    handled = true;
  };
  view->OnInfoTip = [&](TObject*, TListItem* item, std::string& tip) {
    tips.push_back(item->Caption() + ":" + tip);
    tip = "more about " + item->Caption();
  };
  ClickAt(*view, RowPoint(*view, 0));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(doubleClicks, 0);
  DoubleClickAt(*view, RowPoint(*view, 0));
  EXPECT_EQ(doubleClicks, 1);
  ClickAt(*view, RowPoint(*view, 2), true);
  ASSERT_EQ(popups.size(), 1u) << "one release, one menu";
  EXPECT_EQ(popups[0].y, RowPoint(*view, 2).y) << "in client coordinates";
  script::MoveMouse(*view, RowPoint(*view, 1));
  EXPECT_NE(std::find(tips.begin(), tips.end(), "beta:beta"), tips.end()) << "the tip starts as the caption";
}

TEST_F(ListViewTest, ACheckBoxClickCanBeRefused) {
  struct Case {
    bool allow;
    bool checkedAfter;
    int checkedEvents;
  };
  for (const Case c : {Case{true, true, 1}, Case{false, false, 0}}) {
    SCOPED_TRACE(c.allow ? "allowed" : "refused");
    TListView* view = MakeReport();
    view->SetCheckboxes(true);
    TListItem* beta = view->Items()->Item(1);
    EXPECT_FALSE(beta->Checked());
    int checkedEvents = 0;
    view->OnChanging = [&](TObject*, TListItem*, TItemChange, bool& allowChange) { allowChange = c.allow; };
    view->OnItemChecked = [&](TObject*, TListItem* item) {
      EXPECT_EQ(item, beta);
      ++checkedEvents;
    };
    const TRect bounds = beta->DisplayRect(drBounds);
    ClickAt(*view, Point(bounds.left + 8, (bounds.top + bounds.bottom) / 2));
    EXPECT_EQ(beta->Checked(), c.checkedAfter);
    EXPECT_EQ(checkedEvents, c.checkedEvents);
    view->Free();
  }
}

TEST_F(ListViewTest, CustomDrawEventsComeAtEachStageWithTheirRectanglesAndDrawOnTheCanvas) {
  TListView* view = MakeReport();
  std::vector<std::string> stages;
  TRect controlRect{}, betaRect{};
  std::vector<int> subItems;
  view->OnCustomDraw = [&](TCustomListView*, const TRect& r, bool&) {
    stages.push_back("control");
    controlRect = r;
  };
  view->OnCustomDrawItem = [&](TCustomListView* sender, TListItem* item, TCustomDrawState, bool& defaultDraw) {
    stages.push_back("item " + item->Caption());
    if (item->Caption() != "beta") return;
    betaRect = item->DisplayRect(drBounds);
    // Beta is painted by the handler alone.
    sender->Canvas()->Brush()->SetColor(clRed);
    sender->Canvas()->FillRect(betaRect);
    defaultDraw = false;
  };
  view->OnCustomDrawSubItem = [&](TCustomListView*, TListItem* item, int subItem, TCustomDrawState, bool&) {
    if (item->Caption() == "alpha") subItems.push_back(subItem);
  };

  const TPoint inBeta = RowPoint(*view, 1);
  EXPECT_EQ(PixelAt(*view, inBeta), RGB(255, 0, 0));
  ASSERT_FALSE(stages.empty());
  EXPECT_EQ(stages.front(), "control");
  EXPECT_EQ(Edges(controlRect), Edges(view->ClientRect()));
  EXPECT_NE(std::find(stages.begin(), stages.end(), "item alpha"), stages.end());
  EXPECT_EQ(Edges(betaRect), Edges(view->Items()->Item(1)->DisplayRect(drBounds)));
  EXPECT_NE(std::find(subItems.begin(), subItems.end(), 1), subItems.end()) << "the second column's sub-item stage";
  EXPECT_NE(PixelAt(*view, RowPoint(*view, 0)), RGB(255, 0, 0)) << "the other rows draw as usual";
}

TEST_F(ListViewTest, ColoursSetOnTheCanvasAtTheItemStageColourTheDefaultDrawing) {
  TListView* view = MakeReport();
  view->OnCustomDrawItem = [&](TCustomListView* sender, TListItem* item, TCustomDrawState, bool&) {
    if (item->Caption() == "alpha") sender->Canvas()->Font()->SetColor(clRed);
  };
  const TRect alpha = view->Items()->Item(0)->DisplayRect(drLabel);
  const TRect beta = view->Items()->Item(1)->DisplayRect(drLabel);
  EXPECT_GT(CountPixels(*view, alpha, RGB(255, 0, 0)), 0) << "alpha's text is red";
  EXPECT_EQ(CountPixels(*view, beta, RGB(255, 0, 0)), 0) << "beta keeps the control's font colour";
}

TEST_F(ListViewTest, OwnerDrawnRowsAreDrawnByOnDrawItemInTheirRectangles) {
  TListView* view = MakeReport(false);
  view->SetOwnerDraw(true);
  view->SetParent(form);
  std::vector<std::pair<std::string, TRect>> drawn;
  view->OnDrawItem = [&](TCustomListView* sender, TListItem* item, TRect rect, TOwnerDrawState) {
    drawn.emplace_back(item->Caption(), rect);
    sender->Canvas()->Brush()->SetColor(clBlue);
    sender->Canvas()->FillRect(rect);
  };
  EXPECT_EQ(PixelAt(*view, RowPoint(*view, 2)), RGB(0, 0, 255));
  const auto gamma = std::find_if(drawn.begin(), drawn.end(), [](auto& d) { return d.first == "gamma"; });
  ASSERT_NE(gamma, drawn.end());
  EXPECT_EQ(Edges(gamma->second), Edges(view->Items()->Item(2)->DisplayRect(drBounds)));
}

TEST_F(ListViewTest, ReportRowsTakeTheHeightOfTheirSmallImages) {
  TListView* view = MakeReport();
  auto images = SolidImages(16, 20);
  view->SetSmallImages(images.get());
  EXPECT_EQ(RectHeight(view->Items()->Item(0)->DisplayRect(drBounds)), 20);
  const int secondTop = view->Items()->Item(1)->DisplayRect(drBounds).top;
  EXPECT_EQ(secondTop - view->Items()->Item(0)->DisplayRect(drBounds).top, 20);
  images->SetHeight(26);  // told through the change link
  EXPECT_EQ(RectHeight(view->Items()->Item(0)->DisplayRect(drBounds)), 26);
  images.reset();  // the list forgets a freed image list
  EXPECT_EQ(view->SmallImages(), nullptr);
  EXPECT_LT(RectHeight(view->Items()->Item(0)->DisplayRect(drBounds)), 26);
}

TEST_F(ListViewTest, LabelEditsAskOnEditingAndTakeTheTextOnEditedLeaves) {
  TListView* view = MakeReport();
  bool allowEdit = false;
  view->OnEditing = [&](TObject*, TListItem*, bool& allow) { allow = allowEdit; };
  view->OnEdited = [&](TObject*, TListItem* item, std::string& text) {
    EXPECT_EQ(item->Caption(), "beta");
    EXPECT_EQ(text, "delta");
    text = "Delta!";
  };
  script::Focus(*view);
  TListItem* beta = view->Items()->Item(1);
  EXPECT_FALSE(beta->EditCaption()) << "OnEditing refused";
  allowEdit = true;
  ASSERT_TRUE(beta->EditCaption());
  HWND edit = reinterpret_cast<HWND>(SendMessage(view->Handle(), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  SetWindowText(edit, "delta");
  script::PressKey(VK_RETURN);
  script::Pump();
  EXPECT_EQ(beta->Caption(), "Delta!");
  EXPECT_EQ(NativeText(*view, 1, 0), "Delta!");

  view->SetReadOnly(true);
  EXPECT_FALSE(view->CanEdit(beta));
}

TEST_F(ListViewTest, AHeaderClickNamesItsColumn) {
  TListView* view = MakeReport();
  std::vector<int> clicked;
  view->OnColumnClick = [&](TObject*, TListColumn* column) { clicked.push_back(column->Index()); };
  HWND header = reinterpret_cast<HWND>(SendMessage(view->Handle(), LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  RECT r{};
  SendMessage(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(header, &p);
  ClickAt(*view, view->ScreenToClient(Point(p.x, p.y)));
  EXPECT_EQ(clicked, std::vector<int>{1});
}

// Owner-drawn header items and header notifications come to the list
// view's own window first, where a descendant can take them.
TEST_F(ListViewTest, TheHeaderChildTalksToTheListViewWindow) {
  TListView* view = MakeReport();
  HWND header = reinterpret_cast<HWND>(SendMessage(view->Handle(), LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  std::vector<UINT> drawn;
  std::vector<UINT> notified;
  auto inherited = view->WindowProc;
  view->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_DRAWITEM && reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem == header)
      drawn.push_back(reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->itemID);
    if (m.Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom == header)
      notified.push_back(reinterpret_cast<NMHDR*>(m.LParam)->code);
    inherited(m);
  };
  HDITEM item;
  item.mask = HDI_FORMAT;
  item.fmt = HDF_OWNERDRAW;
  SendMessage(header, HDM_SETITEM, 1, reinterpret_cast<LPARAM>(&item));
  RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  script::Pump();
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1u), drawn.end());
  EXPECT_EQ(std::find(drawn.begin(), drawn.end(), 0u), drawn.end());
  EXPECT_NE(std::find(notified.begin(), notified.end(), HDN_ITEMCHANGED), notified.end());
  view->WindowProc = inherited;
}

TEST_F(ListViewTest, ColumnsComeFromACollectionInTheFormFile) {
  ReadComponentText(*form, R"(object frmTest: TForm
  object lvFiles: TListView
    ViewStyle = vsReport
    BorderStyle = bsNone
    FullDrag = True
    Columns = <
      item
        Caption = 'Source File'
        Width = 150
      end
      item
        Alignment = taCenter
        Caption = 'Length'
        Width = 70
      end>
  end
end
)",
                    "columns.form");
  auto& view = script::Find<TListView>(*form, "lvFiles");
  ASSERT_EQ(view.Columns()->Count(), 2);
  EXPECT_EQ(view.Columns()->Items(0)->Caption(), "Source File");
  EXPECT_EQ(view.Columns()->Items(1)->Width(), 70);
  EXPECT_EQ(view.Columns()->Items(1)->Alignment(), taCenter);
  EXPECT_EQ(view.BorderStyle(), bsNone);
  EXPECT_TRUE(view.FullDrag());
  EXPECT_TRUE(SendMessage(view.Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_HEADERDRAGDROP);
  EXPECT_EQ(NativeColumnCaption(view, 1), "Length");

  // A second reading replaces the columns; a collection fits no other property.
  try {
    ReadComponentText(*form, "object frmTest: TForm\n  object lvOther: TListView\n    Font = <\n    >\n  end\nend\n",
                      "bad.form");
    ADD_FAILURE() << "a font is no collection";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "bad.form(3): Error reading lvOther: Invalid property value: Font is no collection");
  }
  try {
    ReadComponentText(*form, "object frmTest: TForm\n  object lvThird: TListView\n    Columns = <\n      item\n        Wide = 3\n      end>\n  end\nend\n",
                      "bad.form");
    ADD_FAILURE() << "an unknown column property";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "bad.form(5): Error reading lvThird: Property Wide does not exist");
  }
}

TEST_F(ListViewTest, TheSingleBorderIsATwoPixelEdgeOutsideTheClientArea) {
  TListView* view = MakeReport();
  EXPECT_EQ(view->ClientWidth(), view->Width() - 4);
  EXPECT_TRUE(GetWindowLongPtr(view->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  view->SetBorderStyle(bsNone);
  EXPECT_EQ(view->ClientWidth(), view->Width());
  EXPECT_EQ(view->Items()->Count(), 3) << "the window was made again with its items";
}

// The user drags "Name" behind "Size": the event comes once the header has
// its new order. A data-state change of a range of rows reaches its event
// with the states decoded.
TEST_F(ListViewTest, ColumnDragAndDataStateEventsReachTheirHandlers) {
  TListView* view = MakeReport();
  view->SetFullDrag(true);
  std::vector<int> orderSeen;
  view->OnColumnDragged = [&](TObject*) {
    int order[2] = {};
    SendMessage(view->Handle(), LVM_GETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(order));
    orderSeen.assign(order, order + 2);
  };
  HWND header = view->HeaderHandle();
  ASSERT_NE(header, nullptr);
  auto headerPoint = [&](int x) {
    POINT p{x, 5};
    ClientToScreen(header, &p);
    return view->ScreenToClient(Point(p.x, p.y));
  };
  DragAt(*view, headerPoint(30), headerPoint(140));
  EXPECT_EQ(orderSeen, (std::vector<int>{1, 0}));

  std::vector<std::string> changes;
  view->OnDataStateChange = [&](TObject*, int from, int to, TItemStates oldState, TItemStates newState) {
    changes.push_back(std::to_string(from) + "-" + std::to_string(to) + " " + std::to_string(oldState.Mask()) + ">" +
                      std::to_string(newState.Mask()));
  };
  NMLVODSTATECHANGE change;
  change.hdr.hwndFrom = view->Handle();
  change.hdr.code = LVN_ODSTATECHANGED;
  change.iFrom = 1;
  change.iTo = 2;
  change.uOldState = 0;
  change.uNewState = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessage(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(changes, std::vector<std::string>{"1-2 0>" + std::to_string(TItemStates{isFocused, isSelected}.Mask())});
}

TEST_F(ListViewTest, SortingOrdersTheItemsAndTheWindowAlike) {
  for (bool withWindow : {false, true}) {
    SCOPED_TRACE(withWindow ? "with a window" : "without a window");
    TListView* view = MakeReport(withWindow);
    view->Items()->Item(0)->SetCaption("Zeta");
    view->SetSortType(stText);
    std::vector<std::string> order;
    for (int i = 0; i < 3; ++i) order.push_back(view->Items()->Item(i)->Caption());
    EXPECT_EQ(order, (std::vector<std::string>{"beta", "gamma", "Zeta"}));
    view->CustomSort([](TListItem* a, TListItem* b, intptr_t) { return b->SubItems()->Get(0).compare(a->SubItems()->Get(0)); }, 0);
    EXPECT_EQ(view->Items()->Item(0)->SubItems()->Get(0), "3");
    if (!withWindow) view->SetParent(form);
    EXPECT_EQ(NativeText(*view, 0, 1), "3");
    EXPECT_EQ(NativeText(*view, 2, 1), "1");
    EXPECT_EQ(view->Items()->Item(2)->Index(), 2);
    view->Free();
  }
}

}  // namespace
}  // namespace qelo::vcl::test
