// The file list's edge cases, with the mouse, the keys and the list's popup
// menu on the real program: where a click toggles a check mark, what
// removing a merged job's files leaves, and the moves the popup offers at
// the ends of the list and of a merged job.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/composed_window.h"
#include "main_window_rows.h"
#include "program_fixture.h"
#include "qelo/fileformat.h"
#include "vcl/controls/scripting.h"

namespace qelo::app::test {
namespace {

using namespace vcl;
using Rows = std::vector<std::string>;

constexpr const char* kMerged = "Merge Workgroup";

class FileListTest : public ProgramTestBase {
 protected:
  void SetUp() override {
    ProgramTestBase::SetUp();
    for (const char* name : {"a.avi", "b.avi", "c.avi", "d.avi"}) clips_.push_back(Clip("in", name));
  }
  // The list a, Merge Workgroup (b, c), d: rows 0 to 4.
  void MakeList(TfrmVideoConvertor& window) {
    window.miClearClick(nullptr);
    AddFiles(window, clips_);
    SelectRows(*window.lvMediaFile, {1, 2});
    script::Click(*window.BtnMerge);
    ASSERT_EQ(Texts(window, 0), (Rows{"a.avi", kMerged, "b.avi", "c.avi", "d.avi"}));
  }
  // Right-clicks the row (selected alone first) and picks the popup's item;
  // what the popup saw.
  static std::string ChooseOnRow(TfrmVideoConvertor& window, int row, const std::string& item) {
    SelectRows(*window.lvMediaFile, {row});
    script::PopupScript popups;
    popups.Choose(item);
    ClickAt(*window.lvMediaFile, RowPoint(*window.lvMediaFile->Items()->Item(row), 60), true);
    return popups.Seen().empty() ? "no popup" : popups.Seen().back();
  }
  static TWorkGroupClass& JobOfRow(TfrmVideoConvertor& window, int row) {
    return *window.Jobs().JobById(RowGroupId(TfrmVideoConvertor::RowData(window.lvMediaFile->Items()->Item(row))));
  }

  std::vector<std::string> clips_;
};

// The row pictures are read from the skin once, when the window is made:
// rows keep theirs when the files go later, and a missing picture leaves a
// log line and rows drawn without it.
TEST_F(FileListTest, TheRowPicturesAreReadOnceWhenTheWindowIsMade) {
  auto markPixel = [](TfrmVideoConvertor& window) {
    window.lvMediaFile->Invalidate();
    script::Pump();
    // Inside the check box, clear of its tick: 3 pixels in, the row's middle.
    const TPoint p = window.ScreenToClient(window.lvMediaFile->ClientToScreen(
        RowPoint(*window.lvMediaFile->Items()->Item(0), 3)));
    return qelo::test::ComposedWindow(window.Handle()).Pixel(p.x, p.y);
  };
  win::COLORREF withPictures = 0;
  RunProgram([&](TfrmVideoConvertor& window) {
    AddFiles(window, {clips_[0]});
    withPictures = markPixel(window);
    EXPECT_NE(withPictures, win::RGB(0xFF, 0xFF, 0xFF)) << "the check mark is drawn";
    std::filesystem::remove(ProgramFolder() + "Skin");
    EXPECT_EQ(markPixel(window), withPictures);
  });

  // A skin of its own without the check marks.
  std::filesystem::copy(QELO_SKIN_DIR, ProgramFolder() + "Skin", std::filesystem::copy_options::recursive);
  for (const char* name : {"checked.png", "unchecked.png"})
    std::filesystem::remove(ProgramFolder() + "Skin/Control/" + name);
  RunProgram([&](TfrmVideoConvertor& window) {
    AddFiles(window, {clips_[0]});
    EXPECT_EQ(markPixel(window), win::RGB(0xFF, 0xFF, 0xFF)) << "no check mark";
    EXPECT_EQ(Texts(window, 0), Rows{"a.avi"});
  });
  int missing = 0;
  for (const std::string& line : Log()) missing += line.find("checked.png") != std::string::npos;
  EXPECT_EQ(missing, 2) << "one line for each picture";
}

// The check mark takes the first 20 pixels of a row; a merged job's file
// rows have none.
TEST_F(FileListTest, AClickInTheFirst20PixelsTogglesTheCheckMark) {
  RunProgram([&](TfrmVideoConvertor& window) {
    MakeList(window);
    // Two quick clicks on a row are a double click: the edit window they
    // open is cancelled.
    script::ModalScript editWindows;
    struct Case {
      int row;
      int x;
      bool toggles;
    };
    for (const Case c : {Case{0, 0, true}, Case{0, 19, true}, Case{0, 20, false}, Case{0, 60, false},
                         Case{1, 19, true}, Case{1, 20, false}, Case{2, 5, false}, Case{4, 19, true}}) {
      TWorkGroupClass& job = JobOfRow(window, c.row);
      const int before = job.checked;
      ClickAt(*window.lvMediaFile, RowPoint(*window.lvMediaFile->Items()->Item(c.row), c.x));
      EXPECT_EQ(job.checked != before, c.toggles) << "row " << c.row << " at " << c.x;
    }
  });
}

TEST_F(FileListTest, SelectAllChecksEveryJobUnlessAllAreChecked) {
  RunProgram([&](TfrmVideoConvertor& window) {
    MakeList(window);
    auto checks = [&] {
      std::vector<int> marks;
      for (int i = 0; i < window.Jobs().Count(); ++i) marks.push_back(window.Jobs().JobAt(i)->checked);
      return marks;
    };
    ASSERT_EQ(checks(), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(ChooseOnRow(window, 0, "menuSelectAll"), "pmMediaFile: menuSelectAll");
    EXPECT_EQ(checks(), (std::vector<int>{0, 0, 0}));
    window.Jobs().JobAt(1)->checked = 1;
    ChooseOnRow(window, 0, "menuSelectAll");
    EXPECT_EQ(checks(), (std::vector<int>{1, 1, 1}));
  });
}

TEST_F(FileListTest, RemovingAMergedJobsFilesRenumbersTheRestAndTheLastTakesTheHeader) {
  RunProgram([&](TfrmVideoConvertor& window) {
    MakeList(window);
    const int32_t merged = JobOfRow(window, 1).groupId;
    // The Delete key on the first file: c moves up to file index 0.
    SelectRows(*window.lvMediaFile, {2});
    window.lvMediaFile->SetFocus();
    script::PressKey(win::VK_DELETE);
    EXPECT_EQ(Texts(window, 0), (Rows{"a.avi", kMerged, "c.avi", "d.avi"}));
    ASSERT_NE(window.Jobs().JobById(merged), nullptr);
    EXPECT_EQ(window.Jobs().JobById(merged)->EntryCount(), 1);
    EXPECT_EQ(window.Jobs().JobById(merged)->EntryFileName(0), "c.avi");
    const uint32_t rest = TfrmVideoConvertor::RowData(window.lvMediaFile->Items()->Item(2));
    EXPECT_EQ(RowKindOf(rest), rkMergedFile);
    EXPECT_EQ(RowFileIndex(rest), 0);
    // Its only file removed, the merged job goes with its header.
    EXPECT_EQ(ChooseOnRow(window, 2, "ppmDelete"), "pmMediaFile: ppmDelete");
    EXPECT_EQ(Texts(window, 0), (Rows{"a.avi", "d.avi"}));
    EXPECT_EQ(window.Jobs().JobById(merged), nullptr);
    EXPECT_EQ(window.Jobs().Count(), 2);

    // A header removes its job and all its rows; a one-file row beside it
    // goes too.
    MakeList(window);
    SelectRows(*window.lvMediaFile, {1, 4});
    window.miDeleteClick(nullptr);
    EXPECT_EQ(Texts(window, 0), Rows{"a.avi"});
    EXPECT_EQ(window.Jobs().Count(), 1);
    EXPECT_FALSE(window.btnEdit->Enabled()) << "nothing is selected";
    EXPECT_TRUE(window.BtnStart->Enabled());
  });
}

// A merged job takes a format chosen on its header; a file row of it
// selected too changes nothing more.
TEST_F(FileListTest, AFormatChosenForAMergedHeaderAndAJobSkipsTheFileRow) {
  constexpr int kMp4 = 6;
  RunProgram([&](TfrmVideoConvertor& window) {
    MakeList(window);
    const std::string mpeg2 = Texts(window, 3)[0];
    for (int row : {1, 4}) JobOfRow(window, row).done = 1;
    SelectRows(*window.lvMediaFile, {1, 2, 4});
    window.OnProfileSelected(nullptr, "MP4", 0, kMp4);
    script::Pump();
    const std::string mp4 = Texts(window, 3)[1];
    EXPECT_NE(mp4, mpeg2);
    EXPECT_EQ(Texts(window, 3), (Rows{mpeg2, mp4, "", "", mp4}));
    EXPECT_EQ(Texts(window, 4), (Rows{"a.mpg", "b.mp4", "", "", "d.mp4"}));
    FormatSettings defaults{};
    QeloGetFileFormatDefault(0, kMp4, &defaults);
    for (int row : {1, 4}) {
      TWorkGroupClass& job = JobOfRow(window, row);
      EXPECT_EQ(job.formatIndex, kMp4) << row;
      EXPECT_EQ(job.GetFormatSettings().formatId, defaults.formatId) << row;
      EXPECT_EQ(job.done, 0) << row;
    }
    EXPECT_EQ(JobOfRow(window, 0).formatIndex, 0);
    EXPECT_EQ(window.btnProfile->Tag(), kMp4);
  });
}

// The list a, Merge Workgroup (b, c), d: the popup's moves at the ends are
// disabled and change nothing; the others move a job's rows as one, or a
// merged job's file within it.
TEST_F(FileListTest, MovesAreDisabledAtTheEndsOfTheListAndOfAMergedJob) {
  struct Case {
    int row;
    const char* item;
    bool enabled;
    Rows after;
    int selectedAfter;  // the moved row, where it went
  };
  const Rows unchanged{"a.avi", kMerged, "b.avi", "c.avi", "d.avi"};
  const std::vector<Case> cases = {
      {0, "ppmMoveup", false, unchanged, 0},
      {4, "ppmMoveDown", false, unchanged, 4},
      {2, "ppmMoveup", false, unchanged, 2},
      {3, "ppmMoveDown", false, unchanged, 3},
      {0, "ppmMoveDown", true, {kMerged, "b.avi", "c.avi", "a.avi", "d.avi"}, 3},
      {1, "ppmMoveup", true, {kMerged, "b.avi", "c.avi", "a.avi", "d.avi"}, 0},
      {1, "ppmMoveDown", true, {"a.avi", "d.avi", kMerged, "b.avi", "c.avi"}, 2},
      {4, "ppmMoveup", true, {"a.avi", "d.avi", kMerged, "b.avi", "c.avi"}, 1},
      {2, "ppmMoveDown", true, {"a.avi", kMerged, "c.avi", "b.avi", "d.avi"}, 3},
  };
  RunProgram([&](TfrmVideoConvertor& window) {
    for (const Case& c : cases) {
      MakeList(window);
      const std::string seen = ChooseOnRow(window, c.row, c.item);
      EXPECT_EQ(seen, std::string("pmMediaFile: ") + c.item + (c.enabled ? "" : " (disabled)")) << c.row;
      EXPECT_EQ(Texts(window, 0), c.after) << c.row << " " << c.item;
      EXPECT_EQ(window.lvMediaFile->SelCount(), 1) << c.row << " " << c.item;
      EXPECT_TRUE(window.lvMediaFile->Items()->Item(c.selectedAfter)->Selected()) << c.row << " " << c.item;
    }
    // A merged job's files exchanged in the list are joined in that order.
    MakeList(window);
    ChooseOnRow(window, 3, "ppmMoveup");
    TWorkGroupClass& merged = JobOfRow(window, 1);
    EXPECT_EQ(merged.EntryFileName(0), "c.avi");
    EXPECT_EQ(merged.EntryFileName(1), "b.avi");
    for (int row : {2, 3})
      EXPECT_EQ(RowFileIndex(TfrmVideoConvertor::RowData(window.lvMediaFile->Items()->Item(row))), row - 2);
    EXPECT_TRUE(window.lvMediaFile->Items()->Item(2)->Selected()) << "the moved row stays selected";
  });
}

}  // namespace
}  // namespace qelo::app::test
