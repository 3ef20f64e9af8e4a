#include "qelo/wmvindex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include "common/media_fixture.h"
#include "common/temp_dir.h"
#include "probes/wmv_fixture.h"
#include "win/codepage.h"

namespace qelo::test {
namespace {

namespace fs = std::filesystem;

// Every temporary folder of this process, the tool's included, lives in one
// private folder that is removed at the end.
class PrivateTemporaryFolder : public ::testing::Environment {
 public:
  void SetUp() override {
    folder_ = std::make_unique<TempDir>();
    setenv("TMPDIR", folder_->path().c_str(), 1);
  }
  void TearDown() override { folder_.reset(); }
  static std::string Path() { return std::getenv("TMPDIR"); }

 private:
  std::unique_ptr<TempDir> folder_;
};

::testing::Environment* const kTemporaryFolder =
    ::testing::AddGlobalTestEnvironment(new PrivateTemporaryFolder);

int Index(const std::string& source, const std::string& destination) {
  return QeloIndexWMV(qelo::win::Utf8ToUtf16(source).c_str(),
                      qelo::win::Utf8ToUtf16(destination).c_str());
}

// The tool file written out by the library, or "" while there is none.
std::string FindTool() {
  for (const auto& entry : fs::directory_iterator(PrivateTemporaryFolder::Path())) {
    const fs::path tool = entry.path() / "reindex.exe";
    if (entry.path().filename().string().rfind("qelo-wmvindex-", 0) == 0 && fs::exists(tool))
      return tool.string();
  }
  return "";
}

class WmvIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(CachedWmv().empty());
    source_ = dir_.File("source.wmv");
    ASSERT_TRUE(CopyFileTo(CachedWmv(), source_));
  }

  void ExpectWmvLikeSource(const std::string& path) {
    const ProbedFile original = Probe(source_), copy = Probe(path);
    ASSERT_TRUE(copy.ok) << path;
    EXPECT_EQ(copy.format.at("format_name"), "asf");
    EXPECT_NEAR(copy.Duration(), original.Duration(), 0.05);
    ASSERT_EQ(copy.streams.size(), original.streams.size());
    for (std::size_t i = 0; i < copy.streams.size(); ++i) {
      EXPECT_EQ(copy.streams[i].Get("codec_type"), original.streams[i].Get("codec_type"));
      EXPECT_EQ(copy.streams[i].Get("codec_name"), original.streams[i].Get("codec_name"));
    }
  }

  TempDir dir_;
  std::string source_;
};

TEST_F(WmvIndexTest, ReindexedCopyHasTheSourcesStreamsAndDuration) {
  const std::string before = ReadFileBytes(source_);
  ASSERT_EQ(Index(source_, dir_.File("indexed.wmv")), 1);
  ExpectWmvLikeSource(dir_.File("indexed.wmv"));
  EXPECT_EQ(ReadFileBytes(source_), before);
}

TEST_F(WmvIndexTest, ToolIsAPrivateFileOfOursReusedOnTheNextCall) {
  ASSERT_EQ(Index(source_, dir_.File("first.wmv")), 1);
  const std::string tool = FindTool();
  ASSERT_FALSE(tool.empty());
  struct stat toolInfo, folderInfo;
  ASSERT_EQ(stat(tool.c_str(), &toolInfo), 0);
  ASSERT_EQ(stat(fs::path(tool).parent_path().c_str(), &folderInfo), 0);
  EXPECT_EQ(toolInfo.st_mode & 07777, 0700u);
  EXPECT_EQ(folderInfo.st_mode & 07777, 0700u);
  EXPECT_EQ(toolInfo.st_uid, geteuid());

  ASSERT_EQ(Index(source_, dir_.File("second.wmv")), 1);
  struct stat again;
  ASSERT_EQ(stat(tool.c_str(), &again), 0);
  EXPECT_EQ(again.st_ino, toolInfo.st_ino);
  EXPECT_EQ(again.st_mtim.tv_nsec, toolInfo.st_mtim.tv_nsec);
  EXPECT_EQ(again.st_mtim.tv_sec, toolInfo.st_mtim.tv_sec);
  ExpectWmvLikeSource(dir_.File("second.wmv"));
}

TEST_F(WmvIndexTest, ReplacedToolIsNeverStarted) {
  ASSERT_EQ(Index(source_, dir_.File("first.wmv")), 1);
  const std::string tool = FindTool();
  ASSERT_FALSE(tool.empty());
  const std::string original = ReadFileBytes(tool);
  const std::string marker = dir_.File("impostor-ran");
  fs::remove(tool);
  std::ofstream(tool) << "#!/bin/sh\ntouch '" << marker << "'\n";
  fs::permissions(tool, fs::perms::owner_all);

  ASSERT_EQ(Index(source_, dir_.File("second.wmv")), 1);
  EXPECT_FALSE(fs::exists(marker));
  EXPECT_EQ(ReadFileBytes(tool), original);
  ExpectWmvLikeSource(dir_.File("second.wmv"));
}

TEST_F(WmvIndexTest, BadOrSamePathsDoNothing) {
  const std::string before = ReadFileBytes(source_);
  ASSERT_EQ(link(source_.c_str(), dir_.File("hard-link.wmv").c_str()), 0);
  const std::u16string source = qelo::win::Utf8ToUtf16(source_);
  EXPECT_EQ(QeloIndexWMV(nullptr, source.c_str()), 0);
  EXPECT_EQ(QeloIndexWMV(source.c_str(), nullptr), 0);
  EXPECT_EQ(QeloIndexWMV(u"", source.c_str()), 0);
  EXPECT_EQ(QeloIndexWMV(source.c_str(), u""), 0);
  EXPECT_EQ(Index(source_, source_), 0);
  EXPECT_EQ(Index(source_, dir_.path() + "/./source.wmv"), 0);
  EXPECT_EQ(Index(source_, dir_.File("hard-link.wmv")), 0);
  EXPECT_EQ(ReadFileBytes(source_), before);
  EXPECT_EQ(ReadFileBytes(dir_.File("hard-link.wmv")), before);
}

TEST_F(WmvIndexTest, ExistingDestinationIsDeletedBeforeTheToolStarts) {
  const std::string destination = dir_.File("out.wmv");
  std::ofstream(destination) << "an older copy";
  ASSERT_EQ(Index(source_, destination), 1);
  ExpectWmvLikeSource(destination);

  // A source the tool refuses: the old destination is gone all the same.
  std::ofstream(destination) << "an older copy";
  std::ofstream(dir_.File("notes.txt")) << "not a video";
  EXPECT_EQ(Index(dir_.File("notes.txt"), destination), 0);
  EXPECT_FALSE(fs::exists(destination));
}

TEST_F(WmvIndexTest, FailingToolMakesTheCallFail) {
  ASSERT_TRUE(MakeMedia({"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=10:duration=1"},
                        dir_.File("clip.mp4")));
  EXPECT_EQ(Index(dir_.File("clip.mp4"), dir_.File("a.wmv")), 0);
  EXPECT_EQ(Index(dir_.File("missing.wmv"), dir_.File("b.wmv")), 0);
  fs::create_directory(dir_.File("folder.wmv"));
  EXPECT_EQ(Index(source_, dir_.File("folder.wmv")), 0);
  EXPECT_TRUE(fs::is_directory(dir_.File("folder.wmv")));
  EXPECT_EQ(Index(source_, dir_.File("no-such-folder/c.wmv")), 0);
  // A FIFO as the source is refused by the tool, which does not wait on it.
  ASSERT_EQ(mkfifo(dir_.File("pipe.wmv").c_str(), 0600), 0);
  EXPECT_EQ(Index(dir_.File("pipe.wmv"), dir_.File("d.wmv")), 0);
  for (const char* name : {"a.wmv", "b.wmv", "d.wmv"}) EXPECT_FALSE(fs::exists(dir_.File(name))) << name;
}

TEST_F(WmvIndexTest, QuotesBlanksAndDashesInPathsStayInsideTheirArguments) {
  const std::string source = dir_.File("my \"clip\" -o injected.wmv");
  ASSERT_TRUE(CopyFileTo(source_, source));
  const std::string destination = dir_.File("out \" -i x -o y.wmv");
  ASSERT_EQ(Index(source, destination), 1);
  ExpectWmvLikeSource(destination);
  EXPECT_FALSE(fs::exists(dir_.File("injected.wmv")));
  EXPECT_FALSE(fs::exists("injected.wmv"));
  EXPECT_FALSE(fs::exists("y.wmv"));
}

}  // namespace
}  // namespace qelo::test
