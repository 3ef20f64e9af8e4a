// Merging one-file jobs into one: entries in list order, the first job's id,
// settings and a unique output name, only one-file jobs taken, formats that
// differ reported.
#include "merge_jobs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "media_info_builder.h"
#include "win/codepage.h"

namespace qelo::app {
namespace {

class MergeJobsTest : public ::testing::Test {
 protected:
  // A one-file job of `seconds` with output <dir>/<name>.mp4.
  TWorkGroupClass* AddJob(const std::string& name, int seconds, int32_t formatIndex = 0) {
    TWorkGroupClass* job = jobs.AddJob();
    job->formatIndex = formatIndex;
    job->GetFormatSettings().formatId = FORMAT_MP4;
    job->SetOutputName(dir.File(name + ".mp4"));
    test::MediaInfoBuilder info;
    info.Video(seconds, 320, 240, 25, 1);
    EXPECT_TRUE(job->AddSourceEntry("/media/" + name + ".avi", info.Get()));
    return job;
  }
  std::string EntryName(const TWorkGroupClass& job, int index) { return job.EntryFileName(index); }

  test::TempDir dir;
  TWorkGroupClassArray jobs;
};

TEST_F(MergeJobsTest, JoinsTheFilesInListOrderIntoTheFirstJob) {
  TWorkGroupClass* a = AddJob("a", 3);
  TWorkGroupClass* b = AddJob("b", 4);
  TWorkGroupClass* c = AddJob("c", 5);
  a->done = 1;
  a->engineIndex = 3;
  const int32_t firstId = a->groupId;
  const TMergeResult merged = MergeJobs(jobs, {a->groupId, c->groupId, b->groupId});
  ASSERT_NE(merged.job, nullptr);
  EXPECT_EQ(merged.job->groupId, firstId);
  EXPECT_EQ(merged.mergedIds, (std::vector<int32_t>{3, 2}));
  EXPECT_FALSE(merged.formatsDiffered);
  ASSERT_EQ(jobs.Count(), 1);
  const TWorkGroupClass& job = *jobs.JobAt(0);
  ASSERT_EQ(job.EntryCount(), 3);
  EXPECT_EQ(EntryName(job, 0), "a.avi");
  EXPECT_EQ(EntryName(job, 1), "c.avi");
  EXPECT_EQ(EntryName(job, 2), "b.avi");
  EXPECT_EQ(job.JobCaption(), "Merge Workgroup");
  EXPECT_EQ(job.GetTotalDuration(), 12 * QELO_TIME_UNITS_PER_SECOND);
  EXPECT_EQ(job.done, 0) << "a merged job is converted again";
  EXPECT_EQ(job.engineIndex, -1);
  EXPECT_EQ(job.GetOutputName(), dir.File("a.mp4"));
}

TEST_F(MergeJobsTest, TheOutputNameIsMadeUniqueAgainstFilesAndOtherJobs) {
  TWorkGroupClass* a = AddJob("a", 3);
  TWorkGroupClass* b = AddJob("b", 3);
  std::ofstream(dir.File("a.mp4")) << "an earlier output";
  TWorkGroupClass* other = AddJob("x", 3);
  other->SetOutputName(dir.File("a(1).mp4"));
  const TMergeResult merged = MergeJobs(jobs, {a->groupId, b->groupId});
  ASSERT_NE(merged.job, nullptr);
  EXPECT_EQ(merged.job->GetOutputName(), dir.File("a(2).mp4"));
}

TEST_F(MergeJobsTest, TakesOnlyOneFileJobsAndNeedsTwoOfThem) {
  TWorkGroupClass* a = AddJob("a", 3);
  TWorkGroupClass* b = AddJob("b", 3);
  TWorkGroupClass* c = AddJob("c", 3);
  ASSERT_NE(MergeJobs(jobs, {b->groupId, c->groupId}).job, nullptr);
  // b now holds two files: merging it again with a takes a alone, which is
  // not enough.
  EXPECT_EQ(MergeJobs(jobs, {b->groupId, a->groupId}).job, nullptr);
  EXPECT_EQ(MergeJobs(jobs, {a->groupId, a->groupId}).job, nullptr) << "one job named twice is one job";
  EXPECT_EQ(MergeJobs(jobs, {a->groupId, 999}).job, nullptr);
  EXPECT_EQ(MergeJobs(jobs, {}).job, nullptr);
  EXPECT_EQ(jobs.Count(), 2);
  EXPECT_EQ(a->EntryCount(), 1);
  EXPECT_EQ(b->EntryCount(), 2);
}

TEST_F(MergeJobsTest, DifferentFormatsTakeTheFirstsAndSaySo) {
  TWorkGroupClass* a = AddJob("a", 3, 0);
  TWorkGroupClass* b = AddJob("b", 3, 2);
  b->GetFormatSettings().formatId = FORMAT_AVI;
  const int32_t formatId = a->GetFormatSettings().formatId;
  const TMergeResult merged = MergeJobs(jobs, {a->groupId, b->groupId});
  ASSERT_NE(merged.job, nullptr);
  EXPECT_TRUE(merged.formatsDiffered);
  EXPECT_EQ(merged.job->formatIndex, 0);
  EXPECT_EQ(merged.job->GetFormatSettings().formatId, formatId);
  EXPECT_EQ(MergedFormatText("MP4 Video", true), "MP4 Video (first file's format)");
  EXPECT_EQ(MergedFormatText("MP4 Video", false), "MP4 Video");
}

TEST_F(MergeJobsTest, AWholeListOfJobsBecomesOneJob) {
  std::vector<int32_t> ids;
  for (int i = 0; i < TWorkGroupClassArray::kMaxJobs; ++i) ids.push_back(AddJob("f" + std::to_string(i), 1)->groupId);
  const TMergeResult merged = MergeJobs(jobs, ids);
  ASSERT_NE(merged.job, nullptr);
  EXPECT_EQ(merged.job->EntryCount(), MAX_GROUP_SOURCES);
  EXPECT_EQ(jobs.Count(), 1);
  EXPECT_EQ(EntryName(*merged.job, MAX_GROUP_SOURCES - 1), "f127.avi");
}

}  // namespace
}  // namespace qelo::app
