#include "output_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/temp_dir.h"
#include "win/codepage.h"

namespace qelo::app {
namespace {

TEST(OutputFileExtensionTest, EveryFormatIdHasItsExtensionAndOthersNone) {
  const char* expected[] = {".mpg", ".mpg", ".mpg", ".mpg", ".vob", ".mp4", ".mov", ".3gp", ".3g2",
                            ".avi", ".wmv", ".asf", ".rm",  ".rmvb", ".flv", ".ogg", ".mp3", ".wav",
                            ".ape", ".wma", ".mkv", ".dv",  ".aac", ".ac3", ".aiff", ".flac"};
  for (int id = 0; id < 26; ++id) EXPECT_EQ(OutputFileExtension(id), expected[id]) << "FormatId " << id;
  EXPECT_EQ(OutputFileExtension(FORMAT_DVD), ".vob");
  EXPECT_EQ(OutputFileExtension(26), "");
  EXPECT_EQ(OutputFileExtension(-1), "");
}

class UniqueNameTest : public ::testing::Test {
 protected:
  void Touch(const std::string& name) { std::ofstream(dir_.File(name)) << "x"; }
  std::string Unique(const std::string& base, int32_t groupId = -1, const std::string& ext = ".mp4") {
    return MakeUniqueOutputName(jobs_, dir_.File(base + ext), base, groupId, ext);
  }
  test::TempDir dir_;
  TWorkGroupClassArray jobs_;
};

TEST_F(UniqueNameTest, AFreeCandidateIsKept) { EXPECT_EQ(Unique("clip"), dir_.File("clip.mp4")); }

// clip.avi added twice, MP4 output, clip.mp4 already in the folder.
TEST_F(UniqueNameTest, NamesTakenOnDiskOrByOtherJobsGetTheNextNumber) {
  Touch("clip.mp4");
  TWorkGroupClass* first = jobs_.AddJob();
  first->SetOutputName(Unique("clip"));
  EXPECT_EQ(first->GetOutputName(), dir_.File("clip(1).mp4"));
  TWorkGroupClass* second = jobs_.AddJob();
  second->SetOutputName(Unique("clip"));
  EXPECT_EQ(second->GetOutputName(), dir_.File("clip(2).mp4"));
  // A job's own name does not count against it.
  EXPECT_EQ(MakeUniqueOutputName(jobs_, dir_.File("clip(1).mp4"), "clip", first->groupId, ".mp4"),
            dir_.File("clip(1).mp4"));
  // Letter case matters: a.MP4 is another name than a.mp4.
  EXPECT_EQ(Unique("clip", -1, ".MP4"), dir_.File("clip.MP4"));
}

TEST_F(UniqueNameTest, FoldersAndDanglingLinksAreInTheWayToo) {
  std::filesystem::create_directory(dir_.File("clip.mp4"));
  std::filesystem::create_symlink(dir_.File("elsewhere.mp4"), dir_.File("clip(1).mp4"));
  EXPECT_EQ(Unique("clip"), dir_.File("clip(2).mp4"));
}

TEST_F(UniqueNameTest, NumberedNamesUseTheBaseNotTheCandidatesStem) {
  Touch("clip(1).mkv");
  // The format changed on a job named clip(1): its candidate is taken, so the
  // numbers start again from the base.
  EXPECT_EQ(MakeUniqueOutputName(jobs_, dir_.File("clip(1).mkv"), "clip", -1, ".mkv"), dir_.File("clip(2).mkv"));
}

// The stored name holds 259 characters: a long name is made to fit before
// it is checked, so the stored name is the one found free.
TEST_F(UniqueNameTest, LongNamesAreShortenedBeforeTheCheck) {
  const size_t folderChars = dir_.path().size() + 1;
  const std::string base(300, 'v');
  const std::string cut = base.substr(0, 259 - folderChars - 4);
  Touch(cut + ".mp4");  // what cutting the free-looking full name would hit
  const std::string name = MakeUniqueOutputName(jobs_, dir_.File(base + ".mp4"), base, -1, ".mp4");
  EXPECT_EQ(name, dir_.File(base.substr(0, 259 - folderChars - 7) + "(1).mp4"));
  EXPECT_EQ(win::Utf8ToUtf16(name).size(), 259u);
  EXPECT_FALSE(std::filesystem::exists(name));

  TWorkGroupClass* job = jobs_.AddJob();
  job->SetOutputName(name);
  EXPECT_EQ(job->GetOutputName(), name);
}

TEST_F(UniqueNameTest, ShorteningNeverSplitsACharacter) {
  const size_t folderChars = dir_.path().size() + 1;
  const size_t room = 259 - folderChars - 4;
  // One unit short of room, then a character of two units: it must go whole.
  const std::string base = std::string(room - 1, 'v') + "\xF0\x9F\x8E\xAC" + "tail";
  const std::string name = MakeUniqueOutputName(jobs_, dir_.File(base + ".mp4"), base, -1, ".mp4");
  EXPECT_EQ(name, dir_.File(std::string(room - 1, 'v') + ".mp4"));
}

TEST_F(UniqueNameTest, AFolderTooLongForAnyNameGivesNoName) {
  const std::string folder = "/" + std::string(255, 'f') + "/";
  EXPECT_EQ(MakeUniqueOutputName(jobs_, folder + "clip.mp4", "clip", -1, ".mp4"), "");
}

}  // namespace
}  // namespace qelo::app
