// The file list's row data words, time texts, the open dialog's filter and
// where the move commands may move a row.
#include "main_window_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qelo::app {
namespace {

TEST(RowDataTest, KindIdAndIndexComeBackAndEachIsCutToItsBits) {
  const uint32_t data = MakeRowData(rkMergedFile, 7, 3);
  EXPECT_EQ(data, 0x40030007u);
  EXPECT_EQ(RowKindOf(data), rkMergedFile);
  EXPECT_EQ(RowGroupId(data), 7);
  EXPECT_EQ(RowFileIndex(data), 3);
  const uint32_t wide = MakeRowData(rkSingleJob, 0x12345, 0x4001);
  EXPECT_EQ(RowKindOf(wide), rkSingleJob) << "neither part spills into the kind";
  EXPECT_EQ(RowGroupId(wide), 0x2345);
  EXPECT_EQ(RowFileIndex(wide), 1);
  EXPECT_EQ(RowKindOf(MakeRowData(rkMergedHeader, 0xFFFF, 0x3FFF)), rkMergedHeader);
}

TEST(RowTextTest, SecondsAreShownAsHoursMinutesAndSeconds) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "00:00:00"}, {59, "00:00:59"}, {187, "00:03:07"}, {3600, "01:00:00"}, {360000, "100:00:00"}, {-5, "00:00:00"}};
  for (const auto& [seconds, text] : cases) EXPECT_EQ(SecondsToTimeText(seconds), text) << seconds;
}

TEST(RowTextTest, TheFilterHas25PairsStartingWithAllFiles) {
  const std::string filter = MediaFileFilter();
  EXPECT_EQ(std::count(filter.begin(), filter.end(), '|'), 49);
  EXPECT_EQ(filter.rfind("All File(*.*)|*.*|Window Media Video(*.wmv)|*.wmv|", 0), 0u);
  EXPECT_NE(filter.find("|Gif\\Tiff File(*.gif, *.tif, *.tiff)|*.gif; *.tif; *.tiff|"), std::string::npos);
  EXPECT_EQ(filter.substr(filter.size() - 28), "|YUV Video File(*.YUV)|*.YUV");
}

// The list: a one-file job 1, merged job 2 with three files, one-file job 3,
// merged job 4 with two files at the end.
const std::vector<uint32_t> kRows = {
    MakeRowData(rkSingleJob, 1, 0),   MakeRowData(rkMergedHeader, 2, 0), MakeRowData(rkMergedFile, 2, 0),
    MakeRowData(rkMergedFile, 2, 1),  MakeRowData(rkMergedFile, 2, 2),   MakeRowData(rkSingleJob, 3, 0),
    MakeRowData(rkMergedHeader, 4, 0), MakeRowData(rkMergedFile, 4, 0),  MakeRowData(rkMergedFile, 4, 1)};

TEST(RowMoveTest, MovesAreOfferedExceptAtTheEndsOfTheListOrOfTheJob) {
  struct Case {
    int row;
    bool up, down;
    const char* what;
  };
  const Case cases[] = {
      {0, false, true, "the first row cannot go up"},
      {1, true, true, "a merged header passes the unit above or below"},
      {2, false, true, "a job's first file stays below its header"},
      {3, true, true, "a middle file moves within its job"},
      {4, true, false, "a job's last file cannot leave its job"},
      {5, true, true, "a one-file job between others"},
      {6, true, false, "the header of the job whose rows end the list"},
      {7, false, true, "first file of the last job"},
      {8, true, false, "the last row cannot go down"},
      {-1, false, false, "no row"},
      {9, false, false, "past the list"},
  };
  for (const Case& c : cases) {
    const MoveChoice choice = MoveChoiceOfRow(kRows, c.row);
    EXPECT_EQ(choice.up, c.up) << c.what;
    EXPECT_EQ(choice.down, c.down) << c.what;
  }
  const std::vector<uint32_t> lastIsSingle = {MakeRowData(rkMergedHeader, 2, 0), MakeRowData(rkMergedFile, 2, 0),
                                              MakeRowData(rkSingleJob, 3, 0)};
  EXPECT_FALSE(MoveChoiceOfRow(lastIsSingle, 2).down);
  EXPECT_TRUE(MoveChoiceOfRow(lastIsSingle, 0).down);
  EXPECT_FALSE(MoveChoiceOfRow(lastIsSingle, 0).up);
}

TEST(RowMoveTest, AJobsRowsAreItsHeaderAndFilesFromAnyOfThem) {
  const std::pair<int, RowBlock> cases[] = {{0, {0, 0}}, {1, {1, 4}}, {3, {1, 4}}, {4, {1, 4}},
                                            {5, {5, 5}}, {6, {6, 8}}, {8, {6, 8}}};
  for (const auto& [row, block] : cases) {
    const RowBlock got = JobRowsAt(kRows, row);
    EXPECT_EQ(got.first, block.first) << row;
    EXPECT_EQ(got.last, block.last) << row;
  }
}

}  // namespace
}  // namespace qelo::app
