// Label editing in list and tree views: the edit box over the label, the
// begin and end notifications, and what Enter, Escape, losing the focus
// and the parent's answers do to the text.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "list_fixture.h"
#include "win/controls/edit.h"
#include "win/controls/lists/listview.h"
#include "win/controls/lists/treeview.h"

namespace qelo::win::test {
namespace {

enum class Ending { Enter, Escape, FocusLost };

struct EditCase {
  const char* name;
  LRESULT beginAnswer;  // nonzero refuses the edit
  Ending ending;
  LRESULT endAnswer;    // nonzero takes the new text
  bool edited;          // the label reads "renamed" afterwards
  std::vector<Event> expected;  // value: whether the record carried text
};

// One control under test: how to start an edit and read the label back.
struct Subject {
  HWND window;
  std::function<HWND()> startEdit;
  std::function<std::string()> label;
  RECT labelRect;
};

void DecodeEdits(const NMHDR* n, Event* e) {
  if (n->code == LVN_BEGINLABELEDIT || n->code == LVN_ENDLABELEDIT) {
    const auto* d = reinterpret_cast<const NMLVDISPINFO*>(n);
    e->item = d->item.iItem;
    e->value = d->item.pszText != nullptr;
  } else if (n->code == TVN_BEGINLABELEDIT || n->code == TVN_ENDLABELEDIT) {
    const auto* d = reinterpret_cast<const NMTVDISPINFO*>(n);
    e->item = static_cast<int>(d->item.lParam);
    e->value = d->item.pszText != nullptr;
  }
}

class EditSubjects {
 protected:
  Subject MakeList() {
    HWND list = CreateWindowEx(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_EDITLABELS,
                               0, 0, 300, 200, parent.window(), nullptr);
    LVCOLUMN c;
    c.mask = LVCF_WIDTH;
    c.cx = 150;
    SendMessage(list, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&c));
    for (const char* text : {"first", "second"}) {
      LVITEM item;
      item.mask = LVIF_TEXT;
      item.iItem = 9;
      item.pszText = const_cast<char*>(text);
      SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
    }
    RECT label{LVIR_LABEL, 0, 0, 0};
    SendMessage(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
    return {list, [list] { return reinterpret_cast<HWND>(SendMessage(list, LVM_EDITLABEL, 1, 0)); },
            [list] {
              char text[32] = {};
              LVITEM item;
              item.pszText = text;
              item.cchTextMax = sizeof text;
              SendMessage(list, LVM_GETITEMTEXT, 1, reinterpret_cast<LPARAM>(&item));
              return std::string(text);
            },
            label};
  }
  Subject MakeTree() {
    HWND tree = CreateWindowEx(0, WC_TREEVIEW, "", WS_CHILD | WS_VISIBLE | TVS_EDITLABELS, 0, 0,
                               300, 200, parent.window(), nullptr);
    HTREEITEM node = nullptr;
    for (const char* text : {"first", "second"}) {
      TVINSERTSTRUCT in;
      in.hParent = TVI_ROOT;
      in.hInsertAfter = TVI_LAST;
      in.item.mask = TVIF_TEXT | TVIF_PARAM;
      in.item.pszText = const_cast<char*>(text);
      in.item.lParam = 1;
      node = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&in)));
    }
    RECT label;
    PutItemInRect(&label, node);
    SendMessage(tree, TVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
    return {tree,
            [tree, node] { return reinterpret_cast<HWND>(SendMessage(tree, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(node))); },
            [tree, node] {
              char text[32] = {};
              TVITEM item;
              item.mask = TVIF_TEXT;
              item.hItem = node;
              item.pszText = text;
              item.cchTextMax = sizeof text;
              SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
              return std::string(text);
            },
            label};
  }
  ListParent parent{&DecodeEdits};
};

class LabelEditTest : public EditSubjects,
                      public ::testing::TestWithParam<std::tuple<bool, EditCase>> {};

TEST_P(LabelEditTest, EndsAsTheUserAndTheParentDecide) {
  const auto& [tree, c] = GetParam();
  const Subject subject = tree ? MakeTree() : MakeList();
  SetFocus(subject.window);
  PumpMessages();
  const UINT begin = tree ? TVN_BEGINLABELEDIT : LVN_BEGINLABELEDIT;
  const UINT end = tree ? TVN_ENDLABELEDIT : LVN_ENDLABELEDIT;
  parent.answers = {{begin, c.beginAnswer}, {end, c.endAnswer}};
  parent.events.clear();
  HWND edit = subject.startEdit();
  if (c.beginAnswer == 0) {
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetClassName(edit), WC_EDIT);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(GetWindowText(edit), "second");
    SetWindowText(edit, "renamed");
    switch (c.ending) {
      case Ending::Enter: case Ending::Escape: {
        const int key = c.ending == Ending::Enter ? VK_RETURN : VK_ESCAPE;
        InjectKey(key, true);
        InjectKey(key, false);
        break;
      }
      case Ending::FocusLost: SetFocus(parent.window()); break;
    }
    PumpMessages();
    EXPECT_FALSE(IsWindow(edit)) << "the edit box goes when the edit ends";
  } else {
    EXPECT_EQ(edit, nullptr);
  }
  std::vector<Event> got;
  for (const Event& e : parent.events)
    if (e.what == begin || e.what == end) got.push_back(Event{e.what == begin ? 1u : 2u, 0, e.value});
  EXPECT_EQ(got, c.expected);
  EXPECT_EQ(subject.label(), c.edited ? "renamed" : "second");
}

INSTANTIATE_TEST_SUITE_P(
    Both, LabelEditTest,
    ::testing::Combine(
        ::testing::Bool(),
        ::testing::Values(
            EditCase{"EnterAccepted", 0, Ending::Enter, 1, true, {{1, 0, 1}, {2, 0, 1}}},
            EditCase{"EnterRefusedByTheParent", 0, Ending::Enter, 0, false, {{1, 0, 1}, {2, 0, 1}}},
            EditCase{"EscapeCancels", 0, Ending::Escape, 1, false, {{1, 0, 1}, {2, 0, 0}}},
            EditCase{"LosingTheFocusAccepts", 0, Ending::FocusLost, 1, true, {{1, 0, 1}, {2, 0, 1}}},
            EditCase{"BeginRefused", 1, Ending::Enter, 1, false, {{1, 0, 1}}})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param) ? "Tree" : "List") + std::get<1>(info.param).name;
    });

class LabelEditOnBothTest : public EditSubjects, public ::testing::TestWithParam<bool> {};

TEST_P(LabelEditOnBothTest, ASecondClickOnTheSelectedLabelEdits) {
  const bool tree = GetParam();
  const Subject subject = tree ? MakeTree() : MakeList();
  const UINT getEdit = tree ? TVM_GETEDITCONTROL : LVM_GETEDITCONTROL;
  const RECT& r = subject.labelRect;
  parent.Click(POINT{r.left + 3, (r.top + r.bottom) / 2});
  EXPECT_EQ(SendMessage(subject.window, getEdit, 0, 0), 0) << "the first click selects";
  // Far enough from the first click not to make a double click.
  parent.Click(POINT{r.left + 3 + 2 * GetSystemMetrics(SM_CXDOUBLECLK), (r.top + r.bottom) / 2});
  EXPECT_NE(SendMessage(subject.window, getEdit, 0, 0), 0);
}

TEST_P(LabelEditOnBothTest, LongNamesAreNotCut) {
  const bool tree = GetParam();
  const Subject subject = tree ? MakeTree() : MakeList();
  parent.answers = {{tree ? TVN_ENDLABELEDIT : LVN_ENDLABELEDIT, 1}};
  HWND edit = subject.startEdit();
  ASSERT_NE(edit, nullptr);
  const std::string longName(3000, 'x');
  SetWindowText(edit, longName);
  SendMessage(edit, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(subject.label().size(), 31u) << "read back through a 32-byte buffer";
  char big[4096] = {};
  if (tree) {
    TVITEM item;
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessage(subject.window, TVM_GETNEXTITEM, TVGN_LASTVISIBLE, 0));
    item.pszText = big;
    item.cchTextMax = sizeof big;
    SendMessage(subject.window, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
  } else {
    LVITEM item;
    item.pszText = big;
    item.cchTextMax = sizeof big;
    SendMessage(subject.window, LVM_GETITEMTEXT, 1, reinterpret_cast<LPARAM>(&item));
  }
  EXPECT_EQ(std::string(big).size(), longName.size());
  EXPECT_EQ(std::string(big), longName);
}

// As the shell controls do: the parent replaces the offered text with an
// editing name while the box exists but is not shown yet.
TEST_P(LabelEditOnBothTest, TheParentMayPutItsOwnTextIntoTheBoxAtTheBeginning) {
  const bool tree = GetParam();
  const Subject subject = tree ? MakeTree() : MakeList();
  const UINT begin = tree ? TVN_BEGINLABELEDIT : LVN_BEGINLABELEDIT;
  const UINT getEdit = tree ? TVM_GETEDITCONTROL : LVM_GETEDITCONTROL;
  bool hiddenAtBegin = false;
  parent.inspect = [&](NMHDR* n) {
    if (n->code != begin) return;
    HWND edit = reinterpret_cast<HWND>(SendMessage(subject.window, getEdit, 0, 0));
    ASSERT_NE(edit, nullptr) << "the box exists while the parent is asked";
    hiddenAtBegin = !IsWindowVisible(edit);
    SetWindowText(edit, "second.txt");
  };
  HWND edit = subject.startEdit();
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(hiddenAtBegin);
  EXPECT_TRUE(IsWindowVisible(edit));
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(GetWindowText(edit), "second.txt");
  parent.inspect = nullptr;  // it sees this test's locals
}

TEST_P(LabelEditOnBothTest, ARefusedBeginLeavesNoBoxBehind) {
  const bool tree = GetParam();
  const Subject subject = tree ? MakeTree() : MakeList();
  const UINT begin = tree ? TVN_BEGINLABELEDIT : LVN_BEGINLABELEDIT;
  const UINT getEdit = tree ? TVM_GETEDITCONTROL : LVM_GETEDITCONTROL;
  HWND during = nullptr;
  parent.inspect = [&](NMHDR* n) {
    if (n->code == begin) during = reinterpret_cast<HWND>(SendMessage(subject.window, getEdit, 0, 0));
  };
  parent.answers = {{begin, 1}};
  EXPECT_EQ(subject.startEdit(), nullptr);
  ASSERT_NE(during, nullptr);
  EXPECT_FALSE(IsWindow(during));
  EXPECT_EQ(SendMessage(subject.window, getEdit, 0, 0), 0);
  parent.inspect = nullptr;  // it sees this test's locals
}

TEST_P(LabelEditOnBothTest, DestroyingTheControlCancelsTheEdit) {
  const bool tree = GetParam();
  const Subject subject = tree ? MakeTree() : MakeList();
  HWND edit = subject.startEdit();
  ASSERT_NE(edit, nullptr);
  parent.events.clear();
  DestroyWindow(subject.window);
  EXPECT_FALSE(IsWindow(edit));
  const UINT end = tree ? TVN_ENDLABELEDIT : LVN_ENDLABELEDIT;
  std::erase_if(parent.events, [end](const Event& e) { return e.what != end; });
  EXPECT_EQ(parent.events, (std::vector<Event>{{end, 1, 0}})) << "one end, without text";
}

INSTANTIATE_TEST_SUITE_P(Both, LabelEditOnBothTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Tree" : "List"); });

}  // namespace
}  // namespace qelo::win::test
