#include "work_group_class.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "media_info_builder.h"
#include "win/codepage.h"

namespace qelo::app {
namespace {

using test::MediaInfoBuilder;

constexpr int64_t kSecond = QELO_TIME_UNITS_PER_SECOND;

std::vector<int32_t> Ids(const TWorkGroupClassArray& jobs) {
  std::vector<int32_t> ids;
  for (int i = 0; i < jobs.Count(); ++i) ids.push_back(jobs.JobAt(i)->groupId);
  return ids;
}

std::string PathOf(const SourceEntry* entry) {
  return win::Utf16ToUtf8(win::Utf16Field(entry->path, QELO_PATH_CHARS));
}

// ---- the list ------------------------------------------------------------------

TEST(JobListTest, ANewJobIsCheckedNotDoneNotSubmittedAndEmpty) {
  TWorkGroupClassArray jobs;
  TWorkGroupClass* job = jobs.AddJob();
  ASSERT_NE(job, nullptr);
  EXPECT_EQ(job->groupId, 1);
  EXPECT_EQ(job->checked, 1);
  EXPECT_EQ(job->done, 0);
  EXPECT_EQ(job->engineIndex, -1);
  EXPECT_EQ(job->EntryCount(), 0);
  EXPECT_EQ(job->GroupData()->sourceCount, 0);
  EXPECT_EQ(job->GetOutputName(), "");
  EXPECT_EQ(job->LastEntry(), nullptr);
}

TEST(JobListTest, The129thJobIsRefusedAndTheListKeeps128) {
  TWorkGroupClassArray jobs;
  for (int i = 1; i <= 128; ++i) ASSERT_EQ(jobs.AddJob()->groupId, i);
  EXPECT_EQ(jobs.AddJob(), nullptr);
  EXPECT_EQ(jobs.Count(), 128);
  EXPECT_EQ(jobs.LastGroupId(), 128);
  jobs.RemoveJob(7);
  EXPECT_EQ(jobs.AddJob()->groupId, 129);
}

TEST(JobListTest, IdsGoOnAfterRemovingAndClearingAndAreNeverGivenTwice) {
  TWorkGroupClassArray jobs;
  jobs.AddJob();
  jobs.AddJob();
  jobs.AddJob();
  jobs.RemoveJob(2);
  jobs.RemoveJob(99);  // not in the list: ignored
  EXPECT_EQ(Ids(jobs), (std::vector<int32_t>{1, 3}));
  jobs.ClearJobs();
  EXPECT_EQ(jobs.Count(), 0);
  EXPECT_EQ(jobs.AddJob()->groupId, 4);
}

// Ids travel in the 16 low bits of a row's data word: past 65535 they start
// again at 1 and step over ids still in the list.
TEST(JobListTest, IdsStayWithin16BitsAndSkipIdsStillInUse) {
  TWorkGroupClassArray jobs;
  jobs.AddJob();  // 1 stays
  while (jobs.LastGroupId() < TWorkGroupClassArray::kMaxGroupId) {
    TWorkGroupClass* job = jobs.AddJob();
    if (job->groupId != 3) jobs.RemoveJob(job->groupId);  // 3 stays too
  }
  EXPECT_EQ(Ids(jobs), (std::vector<int32_t>{1, 3}));
  EXPECT_EQ(jobs.AddJob()->groupId, 2);
  EXPECT_EQ(jobs.AddJob()->groupId, 4);
}

TEST(JobListTest, LookupsByIdAndPositionGiveNothingOutsideTheList) {
  TWorkGroupClassArray jobs;
  TWorkGroupClass* first = jobs.AddJob();
  TWorkGroupClass* second = jobs.AddJob();
  MediaInfoBuilder info;
  info.Video(10, 320, 240, 25, 1);
  ASSERT_TRUE(second->AddSourceEntry("/v/a.avi", info.Get()));

  EXPECT_EQ(jobs.JobById(2), second);
  EXPECT_EQ(jobs.JobById(-1), nullptr);
  EXPECT_EQ(jobs.JobById(0), nullptr);
  EXPECT_EQ(jobs.JobAt(0), first);
  EXPECT_EQ(jobs.JobAt(-1), nullptr);
  EXPECT_EQ(jobs.JobAt(2), nullptr);
  EXPECT_EQ(jobs.GetGroupData(1), second->GroupData());
  EXPECT_EQ(jobs.GetGroupData(5), nullptr);
  EXPECT_EQ(jobs.EntryOfJob(2, 0), second->EntryAt(0));
  EXPECT_EQ(jobs.EntryOfJob(2, 1), nullptr);
  EXPECT_EQ(jobs.EntryOfJob(9, 0), nullptr);
  EXPECT_FALSE(jobs.JobHasEntries(1));
  EXPECT_TRUE(jobs.JobHasEntries(2));
  EXPECT_FALSE(jobs.JobHasEntries(9));

  jobs.RemoveJobEntry(9, 0);  // no such job: nothing
  jobs.RemoveJobEntry(2, 0);
  EXPECT_FALSE(jobs.JobHasEntries(2));
}

TEST(JobListTest, RunnableJobsAreCheckedAndNotDone) {
  TWorkGroupClassArray jobs;
  EXPECT_TRUE(jobs.AllChecked());
  EXPECT_FALSE(jobs.HasRunnable());
  TWorkGroupClass* a = jobs.AddJob();
  TWorkGroupClass* b = jobs.AddJob();
  TWorkGroupClass* c = jobs.AddJob();
  a->engineIndex = 0;
  b->engineIndex = 0;
  c->engineIndex = 1;
  EXPECT_EQ(jobs.FindRunnableByHandle(0), a);
  a->done = 1;
  EXPECT_EQ(jobs.FindRunnableByHandle(0), b);
  b->checked = 0;
  EXPECT_FALSE(jobs.AllChecked());
  EXPECT_EQ(jobs.FindRunnableByHandle(0), nullptr);
  EXPECT_EQ(jobs.FindRunnableByHandle(-1), nullptr);
  EXPECT_TRUE(jobs.HasRunnable());
  c->done = 1;
  EXPECT_FALSE(jobs.HasRunnable());

  jobs.SetAllChecked(true);
  EXPECT_TRUE(jobs.AllChecked());
  jobs.SetAllChecked(false);
  EXPECT_EQ(a->checked + b->checked + c->checked, 0);
}

TEST(JobListTest, AnOutputNameIsTakenOnlyByAnotherJobWithExactlyThatName) {
  TWorkGroupClassArray jobs;
  TWorkGroupClass* a = jobs.AddJob();
  jobs.AddJob()->SetOutputName("/out/b.mp4");
  a->SetOutputName("/out/a.mp4");
  EXPECT_TRUE(jobs.NameTakenByOtherJob("/out/a.mp4", 2));
  EXPECT_TRUE(jobs.NameTakenByOtherJob("/out/a.mp4", -1));
  EXPECT_FALSE(jobs.NameTakenByOtherJob("/out/a.mp4", 1));  // its own
  EXPECT_FALSE(jobs.NameTakenByOtherJob("/out/a.MP4", 2));
  EXPECT_FALSE(jobs.NameTakenByOtherJob("/out/a.mp", 2));
  EXPECT_FALSE(jobs.NameTakenByOtherJob("", 2));
}

// ---- a job's sources -------------------------------------------------------------

TEST(JobEntriesTest, AVideoStreamGivesSizeRateBitRateWholeTrimAndWholeCrop) {
  TWorkGroupClass job(1);
  MediaInfoBuilder info;
  info.BitRate(800000).Video(95, 640, 360, 30000, 1001);
  ASSERT_TRUE(job.AddSourceEntry("/v/clip.avi", info.Get()));
  const SourceEntry& e = *job.EntryAt(0);
  EXPECT_EQ(PathOf(&e), "/v/clip.avi");
  EXPECT_EQ(e.hasMediaInfo, 1);
  EXPECT_EQ(e.sourceDuration, 95 * kSecond);
  EXPECT_EQ(e.trimStart, 0);
  EXPECT_EQ(e.trimEnd, 95 * kSecond);
  EXPECT_EQ(e.videoWidth, 640);
  EXPECT_EQ(e.videoHeight, 360);
  EXPECT_DOUBLE_EQ(e.frameRate, 30000.0 / 1001.0);
  EXPECT_EQ(e.sourceBitRate, 800000);
  EXPECT_EQ(e.cropRect.left, 0.0);
  EXPECT_EQ(e.cropRect.width, 1.0);
  EXPECT_EQ(e.cropRect.height, 1.0);
  EXPECT_EQ(e.trimEnabled, 0);
  EXPECT_EQ(e.cropEnabled, 0);
  EXPECT_EQ(e.effectCount, 0);
}

struct DurationCase {
  const char* name;
  int64_t videoSeconds;  // -1: no video stream
  int64_t audioSeconds;  // -1: no audio stream
  int64_t expectedSeconds;
};

TEST(JobEntriesTest, TheLongestStreamSetsDurationAndTrim) {
  const DurationCase cases[] = {
      {"audio longer than video", 10, 12, 12},
      {"video longer than audio", 12, 10, 12},
      {"audio only", -1, 7, 7},
      {"video only", 5, -1, 5},
      {"no duration known", 0, 0, 0},
  };
  for (const DurationCase& c : cases) {
    SCOPED_TRACE(c.name);
    TWorkGroupClass job(1);
    MediaInfoBuilder info;
    if (c.videoSeconds >= 0) info.Video(c.videoSeconds, 320, 240, 25, 1);
    if (c.audioSeconds >= 0) info.Audio(c.audioSeconds, 44100, 2, 128000);
    ASSERT_TRUE(job.AddSourceEntry("/v/a.avi", info.Get()));
    const SourceEntry& e = *job.LastEntry();
    EXPECT_EQ(e.sourceDuration, c.expectedSeconds * kSecond);
    EXPECT_EQ(e.trimEnd, c.expectedSeconds * kSecond);
    EXPECT_EQ(job.GetTotalDuration(), c.expectedSeconds * kSecond);
  }
}

TEST(JobEntriesTest, AnAudioOnlyFileKeepsAZeroCropAndTakesTheSoundFacts) {
  TWorkGroupClass job(1);
  MediaInfoBuilder info;
  info.Audio(30, 48000, 6, 384000);
  ASSERT_TRUE(job.AddSourceEntry("/m/song.mp3", info.Get()));
  const SourceEntry& e = *job.LastEntry();
  EXPECT_EQ(e.audioSampleRate, 48000);
  EXPECT_EQ(e.audioChannels, 6);
  EXPECT_EQ(e.sourceAudioBitRate, 384000);
  EXPECT_EQ(e.cropRect.width, 0.0);
  EXPECT_EQ(e.cropRect.height, 0.0);
  EXPECT_EQ(e.videoWidth, 0);
}

TEST(JobEntriesTest, AFrameRateWithDenominatorZeroIsLeftUnknown) {
  TWorkGroupClass job(1);
  MediaInfoBuilder info;
  info.Video(3, 320, 240, 25, 0);
  ASSERT_TRUE(job.AddSourceEntry("/v/a.avi", info.Get()));
  EXPECT_EQ(job.LastEntry()->frameRate, 0.0);
  EXPECT_TRUE(std::isfinite(job.LastEntry()->frameRate));
}

TEST(JobEntriesTest, OnlyTheFourStreamSlotsAreReadAndEmptyOrUnknownOnesAreSkipped) {
  TWorkGroupClass job(1);
  MediaInfoBuilder info;
  info.Other(7, 99).Audio(4, 22050, 1, 64000).Video(3, 160, 120, 15, 1);
  MediaInfo copy = *info.Get();
  copy.streams[3] = nullptr;
  copy.streamCount = 40;  // claims more than the record holds
  ASSERT_TRUE(job.AddSourceEntry("/v/a.avi", &copy));
  const SourceEntry& e = *job.LastEntry();
  EXPECT_EQ(e.sourceDuration, 4 * kSecond);  // the unknown stream's 99 s is not taken
  EXPECT_EQ(e.videoWidth, 160);
  EXPECT_EQ(e.audioSampleRate, 22050);

  MediaInfoBuilder negative;
  negative.Video(3, 160, 120, 15, 1).ClaimStreams(-5);
  ASSERT_TRUE(job.AddSourceEntry("/v/b.avi", negative.Get()));
  EXPECT_EQ(job.LastEntry()->hasMediaInfo, 0);
}

TEST(JobEntriesTest, AbsurdDurationsSaturateInsteadOfOverflowing) {
  TWorkGroupClass job(1);
  MediaInfoBuilder info;
  info.Video(std::numeric_limits<int64_t>::max() / 1000, 320, 240, 25, 1);
  ASSERT_TRUE(job.AddSourceEntry("/v/a.avi", info.Get()));
  ASSERT_TRUE(job.AddSourceEntry("/v/b.avi", info.Get()));
  EXPECT_EQ(job.LastEntry()->sourceDuration, std::numeric_limits<int64_t>::max());
  EXPECT_EQ(job.GetTotalDuration(), std::numeric_limits<int64_t>::max());
}

TEST(JobEntriesTest, RefusedWithoutMediaInfoWhenFullAndForPathsTheRecordCannotHold) {
  TWorkGroupClass job(1);
  MediaInfoBuilder info;
  info.Video(1, 16, 16, 25, 1);
  EXPECT_FALSE(job.AddSourceEntry("/v/a.avi", nullptr));

  const std::string fits = "/" + std::string(QELO_PATH_CHARS - 2, 'a');  // 259 characters
  EXPECT_TRUE(job.AddSourceEntry(fits, info.Get()));
  EXPECT_EQ(PathOf(job.LastEntry()), fits);
  EXPECT_FALSE(job.AddSourceEntry(fits + "b", info.Get()));
  // 258 characters and one outside the basic plane (two UTF-16 units).
  EXPECT_FALSE(job.AddSourceEntry(fits.substr(1) + "\xF0\x9F\x8E\xAC", info.Get()));
  EXPECT_EQ(job.EntryCount(), 1);

  for (int i = 1; i < MAX_GROUP_SOURCES; ++i) ASSERT_TRUE(job.AddSourceEntry("/v/a.avi", info.Get()));
  EXPECT_FALSE(job.AddSourceEntry("/v/a.avi", info.Get()));
  EXPECT_EQ(job.EntryCount(), MAX_GROUP_SOURCES);
}

class JobOfThreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MediaInfoBuilder info;
    info.Video(10, 320, 240, 25, 1);
    for (const char* path : {"/v/a.avi", "/v/b.avi", "/v/c.avi"}) ASSERT_TRUE(job_.AddSourceEntry(path, info.Get()));
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (int i = 0; i < job_.EntryCount(); ++i) paths.push_back(PathOf(job_.EntryAt(i)));
    return paths;
  }
  TWorkGroupClass job_{1};
};

TEST_F(JobOfThreeTest, RemovingMovesLaterEntriesDownAndIgnoresBadIndexes) {
  job_.RemoveEntry(-1);
  job_.RemoveEntry(3);
  job_.RemoveEntry(0);
  EXPECT_EQ(Paths(), (std::vector<std::string>{"/v/b.avi", "/v/c.avi"}));
  EXPECT_EQ(job_.GroupData()->sources[2], nullptr);
  EXPECT_EQ(PathOf(job_.LastEntry()), "/v/c.avi");
  EXPECT_EQ(job_.EntryAt(2), nullptr);
  job_.ClearEntries();
  EXPECT_EQ(job_.EntryCount(), 0);
  EXPECT_EQ(job_.GroupData()->sources[0], nullptr);
}

TEST_F(JobOfThreeTest, SwappingExchangesAnEntryWithTheNextWithinTheEntries) {
  job_.SwapEntryWithNext(0);
  EXPECT_EQ(Paths(), (std::vector<std::string>{"/v/b.avi", "/v/a.avi", "/v/c.avi"}));
  job_.SwapEntryWithNext(2);   // the last has no next
  job_.SwapEntryWithNext(-1);
  EXPECT_EQ(Paths(), (std::vector<std::string>{"/v/b.avi", "/v/a.avi", "/v/c.avi"}));
  job_.SwapEntryWithNext(1);
  EXPECT_EQ(Paths(), (std::vector<std::string>{"/v/b.avi", "/v/c.avi", "/v/a.avi"}));
}

TEST_F(JobOfThreeTest, TheTotalDurationSumsTheTrimmedLengths) {
  job_.EntryAt(0)->trimStart = 2 * kSecond;
  job_.EntryAt(1)->trimEnd = 5 * kSecond;
  EXPECT_EQ(job_.GetTotalDuration(), (8 + 5 + 10) * kSecond);
}

TEST_F(JobOfThreeTest, AdoptedEntriesFollowInTheirOrderAndOnlyWhenAllFit) {
  MediaInfoBuilder info;
  info.Video(10, 320, 240, 25, 1);
  TWorkGroupClass other(2);
  ASSERT_TRUE(other.AddSourceEntry("/v/d.avi", info.Get()));
  ASSERT_TRUE(other.AddSourceEntry("/v/e.avi", info.Get()));
  ASSERT_TRUE(job_.AdoptEntries(other));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"/v/a.avi", "/v/b.avi", "/v/c.avi", "/v/d.avi", "/v/e.avi"}));
  EXPECT_EQ(other.EntryCount(), 0);
  EXPECT_EQ(other.GroupData()->sources[0], nullptr) << "the entries have one owner";
  EXPECT_EQ(job_.EntryFileName(3), "d.avi");
  EXPECT_EQ(job_.EntryFileName(5), "");
  EXPECT_FALSE(job_.AdoptEntries(job_));

  TWorkGroupClass full(3);
  for (int i = 0; i < MAX_GROUP_SOURCES - 4; ++i) ASSERT_TRUE(full.AddSourceEntry("/v/f.avi", info.Get()));
  EXPECT_FALSE(full.AdoptEntries(job_)) << "five more would pass 128";
  EXPECT_EQ(job_.EntryCount(), 5);
  EXPECT_EQ(full.EntryCount(), MAX_GROUP_SOURCES - 4);
}

TEST(JobNamesTest, CaptionAndBaseNameByEntryCount) {
  TWorkGroupClass job(1);
  job.SetOutputName("/out/merged.part.mp4");
  EXPECT_EQ(job.JobCaption(), "Error");
  EXPECT_EQ(job.JobBaseName(), "");
  MediaInfoBuilder info;
  info.Video(1, 16, 16, 25, 1);
  job.AddSourceEntry("/v/holiday.clip.avi", info.Get());
  EXPECT_EQ(job.JobCaption(), "holiday.clip.avi");
  EXPECT_EQ(job.JobBaseName(), "holiday.clip");
  job.AddSourceEntry("/v/other.avi", info.Get());
  EXPECT_EQ(job.JobCaption(), "Merge Workgroup");
  EXPECT_EQ(job.JobBaseName(), "merged.part");
}

TEST(JobSettingsTest, SettingsAreCopiedWholeAndTheOutputNameIsCutTo259) {
  TWorkGroupClass job(1);
  FormatSettings settings{};
  settings.formatId = FORMAT_MKV;
  settings.videoBitRate = 1500000;
  win::CopyToUtf16Field(settings.outputPath, QELO_PATH_CHARS, u"/out/x.mkv");
  job.SetFormatSettings(&settings);
  job.SetFormatSettings(nullptr);  // nothing
  EXPECT_EQ(job.GetFormatSettings().formatId, FORMAT_MKV);
  EXPECT_EQ(job.GetFormatSettings().videoBitRate, 1500000);
  EXPECT_EQ(job.GetOutputName(), "/out/x.mkv");

  job.GetFormatSettings().width = 720;  // written in place
  EXPECT_EQ(job.GroupData()->format.width, 720);

  job.SetOutputName(std::string(300, 'n'));
  EXPECT_EQ(job.GetOutputName(), std::string(QELO_PATH_CHARS - 1, 'n'));
}

}  // namespace
}  // namespace qelo::app
