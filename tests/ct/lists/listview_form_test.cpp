// A form file places a framed list view set up as the main window's file
// list is (report view, owner drawing, row selection, a custom frame, the
// program's own header drawing) with its columns and the handlers it
// binds, and each handler is reached by what it is bound to.
#include <gtest/gtest.h>

#include "listview_fixture.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;
namespace script = vcl::script;

constexpr const char* kFileListForm = R"(object frmFileList: TfrmFileList
  ClientWidth = 400
  ClientHeight = 300
  object lvMediaFile: TCtListView
    Left = 8
    Top = 8
    Width = 360
    Height = 200
    Columns = <
      item
        Caption = 'Source File'
        Width = 120
      end
      item
        Caption = 'Original Length'
        Width = 80
      end
      item
        Caption = 'Output Format'
        Width = 90
      end>
    FrameFlat = False
    FramingPreference = fpCustomFraming
    FrameStyle = fsNone
    FrameSides = []
    HeaderDefaultDrawing = False
    HeaderSortDisplayMode = hsdmRightOfText
    MultiSelect = True
    OwnerDraw = True
    ReadOnly = True
    RowSelect = True
    ColumnClick = False
    ViewStyle = vsReport
    OnCustomDraw = lvMediaFileCustomDraw
    OnCustomDrawItem = lvMediaFileCustomDrawItem
    OnDrawHeader = lvMediaFileDrawHeader
    OnColumnDragged = lvMediaFileColumnDragged
    OnDataStateChange = lvMediaFileDataStateChange
    OnSelectItem = lvMediaFileSelectItem
    OnMouseDown = lvMediaFileMouseDown
    OnKeyDown = lvMediaFileKeyDown
    OnDblClick = lvMediaFileDblClick
  end
end
)";

class TfrmFileList : public TForm {
  QELO_VCL_CLASS()
 public:
  explicit TfrmFileList(TComponent* owner) : TForm(owner) {
    ReadComponentText(*this, kFileListForm, "file_list.form");
  }
  TCtListView* lvMediaFile = nullptr;
  std::vector<std::string> journal;

  void lvMediaFileCustomDraw(TCustomListView*, const TRect&, bool&) { Note("draw"); }
  void lvMediaFileCustomDrawItem(TCustomListView*, TListItem* item, TCustomDrawState, bool& defaultDraw) {
    Note("item " + item->Caption());
    defaultDraw = false;
  }
  void lvMediaFileDrawHeader(TObject*, TCanvas*, int index, const TRect&) { Note("header " + std::to_string(index)); }
  void lvMediaFileColumnDragged(TObject*) { Note("dragged"); }
  void lvMediaFileDataStateChange(TObject*, int from, int to, TItemStates, TItemStates) {
    Note("data " + std::to_string(from) + "-" + std::to_string(to));
  }
  void lvMediaFileSelectItem(TObject*, TListItem* item, bool selected) {
    Note((selected ? "select " : "unselect ") + item->Caption());
  }
  void lvMediaFileMouseDown(TObject*, TMouseButton button, TShiftState, int, int) {
    Note(button == mbRight ? "right down" : "down");
  }
  void lvMediaFileKeyDown(TObject*, uint16_t& key, TShiftState) {
    if (key == win::VK_DELETE) Note("delete");
  }
  void lvMediaFileDblClick(TObject*) { Note("double"); }

  bool Saw(const std::string& line) const { return std::find(journal.begin(), journal.end(), line) != journal.end(); }

 private:
  void Note(const std::string& line) {
    if (journal.empty() || journal.back() != line) journal.push_back(line);
  }
};

const ClassInfo& TfrmFileList::StaticClass() {
  static const ClassInfo info = ClassBuilder<TfrmFileList>("TfrmFileList", TForm::StaticClass())
                                    .Field("lvMediaFile", &TfrmFileList::lvMediaFile)
                                    .Method("lvMediaFileCustomDraw", &TfrmFileList::lvMediaFileCustomDraw)
                                    .Method("lvMediaFileCustomDrawItem", &TfrmFileList::lvMediaFileCustomDrawItem)
                                    .Method("lvMediaFileDrawHeader", &TfrmFileList::lvMediaFileDrawHeader)
                                    .Method("lvMediaFileColumnDragged", &TfrmFileList::lvMediaFileColumnDragged)
                                    .Method("lvMediaFileDataStateChange", &TfrmFileList::lvMediaFileDataStateChange)
                                    .Method("lvMediaFileSelectItem", &TfrmFileList::lvMediaFileSelectItem)
                                    .Method("lvMediaFileMouseDown", &TfrmFileList::lvMediaFileMouseDown)
                                    .Method("lvMediaFileKeyDown", &TfrmFileList::lvMediaFileKeyDown)
                                    .Method("lvMediaFileDblClick", &TfrmFileList::lvMediaFileDblClick)
                                    .Done();
  return info;
}

class FileListFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application()->Initialize();
    RegisterCtListViewClasses();
    window = new TfrmFileList(Application());
    window->Show();
    script::Pump();
    list = window->lvMediaFile;
    ASSERT_NE(list, nullptr);
    for (const char* name : {"clip.avi", "talk.mp4"}) {
      TListItem* item = list->Items()->Add();
      item->SetCaption(name);
      item->SubItems()->Add("00:01:00");
      item->SubItems()->Add("MP4");
    }
    script::Pump();
  }
  void TearDown() override { window->Free(); }
  TPoint Row(int index) const {
    const TRect r = list->Items()->Item(index)->DisplayRect(drBounds);
    return Point(r.left + 150, (r.top + r.bottom) / 2);
  }
  TfrmFileList* window = nullptr;
  TCtListView* list = nullptr;
};

TEST_F(FileListFormTest, PropertiesAndColumnsComeFromTheFile) {
  EXPECT_EQ(list->Columns()->Count(), 3);
  EXPECT_EQ(list->Columns()->Items(1)->Caption(), "Original Length");
  EXPECT_EQ(list->FrameStyle(), fsNone);
  EXPECT_TRUE(list->FrameSides().Mask() == 0);
  EXPECT_EQ(list->FramingPreference(), fpCustomFraming);
  EXPECT_FALSE(list->HeaderDefaultDrawing());
  EXPECT_FALSE(list->FrameHotTrack()) << "the obsolete FrameFlat was read";
  const auto style = static_cast<win::DWORD>(win::GetWindowLongPtr(list->Handle(), win::GWL_STYLE));
  EXPECT_TRUE(style & win::LVS_OWNERDRAWFIXED);
  EXPECT_TRUE(style & win::LVS_NOSORTHEADER);
  EXPECT_FALSE(style & win::LVS_SINGLESEL);
  EXPECT_FALSE(style & win::LVS_EDITLABELS);
  // Loading filled the last column to the client width, less a scroll bar.
  EXPECT_EQ(list->Columns()->Items(2)->Width(), list->ClientWidth() - 16 - 200);
}

TEST_F(FileListFormTest, TheBoundHandlersAreReached) {
  list->Repaint();
  script::Pump();
  EXPECT_TRUE(window->Saw("draw"));
  EXPECT_TRUE(window->Saw("item clip.avi"));
  EXPECT_TRUE(window->Saw("header 0"));
  EXPECT_TRUE(window->Saw("header 2"));

  vcl::test::ClickAt(*list, Row(1));
  EXPECT_TRUE(window->Saw("down"));
  EXPECT_TRUE(window->Saw("select talk.mp4"));
  script::PressKey(win::VK_DELETE);
  EXPECT_TRUE(window->Saw("delete"));
  vcl::test::DoubleClickAt(*list, Row(0));
  EXPECT_TRUE(window->Saw("double"));

  win::NMLVODSTATECHANGE change;
  change.hdr.hwndFrom = list->Handle();
  change.hdr.code = win::LVN_ODSTATECHANGED;
  change.iFrom = 0;
  change.iTo = 1;
  win::SendMessage(window->Handle(), win::WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  EXPECT_TRUE(window->Saw("data 0-1"));

  list->SetFullDrag(true);
  win::RECT r{};
  win::SendMessage(list->GetHeaderHandle(), win::HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  win::POINT from{20, 5}, to{r.right + 40, 5};
  win::ClientToScreen(list->GetHeaderHandle(), &from);
  win::ClientToScreen(list->GetHeaderHandle(), &to);
  vcl::test::DragAt(*list, list->ScreenToClient(Point(from.x, from.y)), list->ScreenToClient(Point(to.x, to.y)));
  EXPECT_TRUE(window->Saw("dragged"));
}

// The list view's properties the main window's list does not use, set by
// a form file: groups, owner data, hover time and the data, header and
// drawing events.
constexpr const char* kDataListForm = R"(object frmDataList: TfrmDataList
  ClientWidth = 400
  ClientHeight = 300
  object imgGroups: TImageList
  end
  object lvClips: TCtListView
    Left = 8
    Top = 8
    Width = 360
    Height = 200
    ViewStyle = vsReport
    Columns = <
      item
        Caption = 'Clip'
        Width = 150
      end>
    Groups = <
      item
        Header = 'Today'
        GroupID = 3
      end>
    GroupView = True
    GroupHeaderImages = imgGroups
    OwnerData = True
    HoverTime = 250
    OnData = lvClipsData
    OnDataHint = lvClipsDataHint
    OnDataFind = lvClipsDataFind
    OnColumnRightClick = lvClipsColumnRightClick
    OnAdvancedCustomDraw = lvClipsAdvancedCustomDraw
    OnAdvancedCustomDrawItem = lvClipsAdvancedCustomDrawItem
    OnAdvancedCustomDrawSubItem = lvClipsAdvancedCustomDrawSubItem
  end
end
)";

class TfrmDataList : public TForm {
  QELO_VCL_CLASS()
 public:
  explicit TfrmDataList(TComponent* owner) : TForm(owner) { ReadComponentText(*this, kDataListForm, "data_list.form"); }
  TCtListView* lvClips = nullptr;
  TImageList* imgGroups = nullptr;
  std::vector<std::string> journal;

  void lvClipsData(TObject*, TListItem* item) {
    item->SetCaption("clip " + std::to_string(item->Index()));
    item->SetGroupID(3);
  }
  void lvClipsDataHint(TObject*, int from, int to) { Note("hint " + std::to_string(from) + "-" + std::to_string(to)); }
  void lvClipsDataFind(TObject*, TItemFind, const std::string& text, const TPoint&, void*, int, TSearchDirection, bool,
                       int& index) {
    Note("find " + text);
    index = 1;
  }
  void lvClipsColumnRightClick(TObject*, TListColumn* column, TPoint) { Note("right " + column->Caption()); }
  void lvClipsAdvancedCustomDraw(TCustomListView*, const TRect&, TCustomDrawStage stage, bool&) {
    if (stage == cdPostPaint) Note("drawn");
  }
  void lvClipsAdvancedCustomDrawItem(TCustomListView*, TListItem* item, TCustomDrawState, TCustomDrawStage stage,
                                     bool&) {
    if (stage == cdPostPaint) Note("drawn " + item->Caption());
  }
  void lvClipsAdvancedCustomDrawSubItem(TCustomListView*, TListItem*, int, TCustomDrawState, TCustomDrawStage, bool&) {}

  bool Saw(const std::string& line) const { return std::find(journal.begin(), journal.end(), line) != journal.end(); }

 private:
  void Note(const std::string& line) { journal.push_back(line); }
};

const ClassInfo& TfrmDataList::StaticClass() {
  using F = TfrmDataList;
  static const ClassInfo info = ClassBuilder<F>("TfrmDataList", TForm::StaticClass())
                                    .Field("lvClips", &F::lvClips)
                                    .Field("imgGroups", &F::imgGroups)
                                    .Method("lvClipsData", &F::lvClipsData)
                                    .Method("lvClipsDataHint", &F::lvClipsDataHint)
                                    .Method("lvClipsDataFind", &F::lvClipsDataFind)
                                    .Method("lvClipsColumnRightClick", &F::lvClipsColumnRightClick)
                                    .Method("lvClipsAdvancedCustomDraw", &F::lvClipsAdvancedCustomDraw)
                                    .Method("lvClipsAdvancedCustomDrawItem", &F::lvClipsAdvancedCustomDrawItem)
                                    .Method("lvClipsAdvancedCustomDrawSubItem", &F::lvClipsAdvancedCustomDrawSubItem)
                                    .Done();
  return info;
}

TEST(DataListForm, FormFileSetsGroupsOwnerDataHoverTimeAndTheirEvents) {
  Application()->Initialize();
  RegisterCtListViewClasses();
  RegisterControlClasses();
  auto* window = new TfrmDataList(Application());
  window->Show();
  TCtListView& list = *window->lvClips;
  list.Items()->SetCount(3);
  script::Pump();
  EXPECT_TRUE(list.OwnerData());
  EXPECT_TRUE(list.GroupView());
  EXPECT_EQ(win::SendMessage(list.Handle(), win::LVM_ISGROUPVIEWENABLED, 0, 0), 0) << "an owner-data list shows no groups";
  EXPECT_EQ(list.GroupHeaderImages(), window->imgGroups);
  EXPECT_EQ(list.HoverTime(), 250);
  ASSERT_EQ(list.Groups()->Count(), 1);
  EXPECT_EQ(list.Groups()->Items(0)->Header(), "Today");
  for (const char* event : {"OnDataFind", "OnAdvancedCustomDrawSubItem"})
    EXPECT_TRUE(GetMethodProp(list, event).has_value()) << event;

  list.Repaint();
  script::Pump();
  EXPECT_TRUE(window->Saw("hint 0-2"));
  EXPECT_TRUE(window->Saw("drawn clip 1")) << "the item stages of every stage";
  EXPECT_TRUE(window->Saw("drawn"));
  EXPECT_EQ(list.FindCaption(0, "clip 1", false, true, false)->Caption(), "clip 1");
  EXPECT_TRUE(window->Saw("find clip 1"));
  window->Free();
}

}  // namespace
}  // namespace qelo::ct::test
