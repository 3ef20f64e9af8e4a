// What the framed list view tests share: a report list on a shown form,
// popup menus that count their runs and close again, and points of the
// list's rows and header items.
#pragma once

#include <string>
#include <vector>

#include "ct_listvw.h"
#include "lists_fixture.h"

namespace qelo::ct::test {

class ListViewTest : public vcl::test::FormTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A report list at (10, 10), 300 x 200, with the columns "Name" (100),
  // "Size" (60, right-aligned) and "Kind" (80) and a row per caption whose
  // sub-items are given by `rows` ("caption|size|kind", missing parts left
  // out).
  TCtListView* MakeList(const std::vector<std::string>& rows = {"alpha|3|text", "Beta|1|", "gamma|2|image"});
  // A popup menu with one item; each run is counted (and, for the control
  // it popped up for, noted) and closed with Escape.
  vcl::TPopupMenu* CountingMenu(const std::string& name);

  vcl::TPoint RowPoint(int row, int x = 20) const;
  // A client point of the list over the header item's centre (or x into it).
  vcl::TPoint HeaderPoint(int column, int x = -1) const;
  std::vector<std::string> Captions() const;
  int TopRow() const;

  TCtListView* list = nullptr;
  int popups = 0;
  std::vector<std::string> popupsFor;  // "menu:control" per run
};

}  // namespace qelo::ct::test
