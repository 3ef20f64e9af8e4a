#include "listview_fixture.h"

#include "ct_common_versions.h"
#include "popup_probe.h"
#include "vcl/controls/scripting.h"

namespace qelo::ct::test {

using namespace vcl;

void ListViewTest::SetUp() {
  FormTest::SetUp();
  RegisterCtListViewClasses();
}

void ListViewTest::TearDown() {
  RecordCommonControlsVersion(ComCtlVersion(6, 0));
  FormTest::TearDown();
}

TCtListView* ListViewTest::MakeList(const std::vector<std::string>& rows) {
  list = new TCtListView(form);
  list->SetName("lvFiles");
  list->SetBounds(10, 10, 300, 200);
  list->SetViewStyle(vsReport);
  for (auto [caption, width, alignment] : {std::tuple{"Name", 100, taLeftJustify},
                                           std::tuple{"Size", 60, taRightJustify},
                                           std::tuple{"Kind", 80, taLeftJustify}}) {
    TListColumn* c = list->Columns()->Add();
    c->SetCaption(caption);
    c->SetWidth(width);
    c->SetAlignment(alignment);
  }
  for (const std::string& row : rows) {
    TListItem* item = list->Items()->Add();
    size_t start = 0;
    for (int part = 0;; ++part) {
      const size_t bar = row.find('|', start);
      const std::string text = row.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
      if (part == 0) item->SetCaption(text);
      else item->SubItems()->Add(text);
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
  }
  list->SetParent(form);
  script::Pump();
  return list;
}

TPopupMenu* ListViewTest::CountingMenu(const std::string& name) {
  return MakeProbeMenu(form, name, [this](TPopupMenu& menu) {
    ++popups;
    popupsFor.push_back(PopupTarget(menu));
  });
}

TPoint ListViewTest::RowPoint(int row, int x) const {
  const TRect r = list->Items()->Item(row)->DisplayRect(drBounds);
  return Point(r.left + x, (r.top + r.bottom) / 2);
}

TPoint ListViewTest::HeaderPoint(int column, int x) const {
  win::RECT r{};
  win::SendMessage(list->GetHeaderHandle(), win::HDM_GETITEMRECT, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&r));
  win::POINT p{x < 0 ? (r.left + r.right) / 2 : r.left + x, (r.top + r.bottom) / 2};
  win::ClientToScreen(list->GetHeaderHandle(), &p);
  return list->ScreenToClient(Point(p.x, p.y));
}

std::vector<std::string> ListViewTest::Captions() const {
  std::vector<std::string> captions;
  for (int i = 0; i < list->Items()->Count(); ++i) captions.push_back(list->Items()->Item(i)->Caption());
  return captions;
}

int ListViewTest::TopRow() const {
  return static_cast<int>(win::SendMessage(list->WindowHandle(), win::LVM_GETTOPINDEX, 0, 0));
}

}  // namespace qelo::ct::test
